#pragma once
// Undo and redo for the icon: whole snapshots of what the editor shows, one
// per change. An icon is a few kilobytes, so a snapshot is cheaper and surer
// than recording every tool's inverse; the history is bounded in bytes and
// drops its oldest steps first.

#include <QImage>
#include <QSize>

#include <deque>
#include <optional>

// Everything a step restores: the icon's pixels, the sizes of Ikon and the
// grid (Resize shrinks both), and the colour Save writes transparent.
struct IconState
{
    QImage pixels;
    QSize ikonSize;
    QSize gridSize;
    std::optional<QRgb> transparent;

    bool operator==(const IconState &o) const
    {
        return ikonSize == o.ikonSize && gridSize == o.gridSize && transparent == o.transparent && pixels == o.pixels;
    }
    bool operator!=(const IconState &o) const { return !(*this == o); }
};

class UndoHistory
{
public:
    static constexpr qsizetype kMaxBytes = 8 * 1024 * 1024;

    explicit UndoHistory(qsizetype maxBytes = kMaxBytes)
        : maxBytes_(maxBytes)
    {
    }

    // Forgets every step: `now` is where the history starts.
    void reset(const IconState &now);
    // Makes `now` a new step when it differs from the current state; a new
    // step drops whatever could be redone. True when a step was added.
    bool record(const IconState &now);
    // The state to show after one step back or forward, nullopt when there is none.
    std::optional<IconState> undo();
    std::optional<IconState> redo();

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    int undoSteps() const { return int(undo_.size()); }
    qsizetype bytes() const { return bytes_; }

private:
    static qsizetype sizeOf(const IconState &s) { return s.pixels.sizeInBytes() + qsizetype(sizeof(IconState)); }
    void push(std::deque<IconState> &to, IconState s);
    std::optional<IconState> step(std::deque<IconState> &from, std::deque<IconState> &to);
    void trim();

    qsizetype maxBytes_;
    qsizetype bytes_ = 0; // of both stacks
    IconState current_;
    std::deque<IconState> undo_; // oldest first
    std::deque<IconState> redo_; // next redo last
};
