#include "editor/undo_history.h"

#include <utility>

void UndoHistory::reset(const IconState &now)
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
    current_ = now;
}

void UndoHistory::push(std::deque<IconState> &to, IconState s)
{
    bytes_ += sizeOf(s);
    to.push_back(std::move(s));
}

// The oldest steps go first; the redo steps are never dropped, as they are
// newer than anything there is to undo.
void UndoHistory::trim()
{
    while (bytes_ > maxBytes_ && !undo_.empty()) {
        bytes_ -= sizeOf(undo_.front());
        undo_.pop_front();
    }
}

bool UndoHistory::record(const IconState &now)
{
    if (now == current_)
        return false;
    for (const IconState &s : redo_)
        bytes_ -= sizeOf(s);
    redo_.clear();
    push(undo_, std::exchange(current_, now));
    trim();
    return true;
}

// One step from one list to the other: what it holds becomes current, and
// what was current goes onto the other list.
std::optional<IconState> UndoHistory::step(std::deque<IconState> &from, std::deque<IconState> &to)
{
    if (from.empty())
        return std::nullopt;
    IconState taken = std::move(from.back());
    bytes_ -= sizeOf(taken);
    from.pop_back();
    push(to, std::exchange(current_, std::move(taken)));
    trim();
    return current_;
}

std::optional<IconState> UndoHistory::undo() { return step(undo_, redo_); }

std::optional<IconState> UndoHistory::redo() { return step(redo_, undo_); }
