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

std::optional<IconState> UndoHistory::undo()
{
    if (undo_.empty())
        return std::nullopt;
    IconState back = std::move(undo_.back());
    bytes_ -= sizeOf(back);
    undo_.pop_back();
    push(redo_, std::exchange(current_, std::move(back)));
    return current_;
}

std::optional<IconState> UndoHistory::redo()
{
    if (redo_.empty())
        return std::nullopt;
    IconState next = std::move(redo_.back());
    bytes_ -= sizeOf(next);
    redo_.pop_back();
    push(undo_, std::exchange(current_, std::move(next)));
    trim();
    return current_;
}
