#include "shell/PidlHistory.h"

#include "shell/IDList.h"

#include <algorithm>

void TPidlHistory::Push(TOwnedIDList list)
{
    if (!list)
        return;
    // Reserve first so that a failed allocation leaves the history as it was.
    entries_.reserve(static_cast<size_t>(index_) + 2);
    for (int last = Count() - 1; last > index_; --last)
        DeleteEntry(last);
    entries_.push_back(std::move(list));
    index_ = Count() - 1;
}

void TPidlHistory::Visit(TOwnedIDList list)
{
    if (!list || (Current() != nullptr && SameIDLists(Current(), list)))
        return;
    Push(std::move(list));
}

void TPidlHistory::DeleteEntry(int index)
{
    if (index < 0 || index >= Count())
        return;
    entries_.erase(entries_.begin() + index);
    if (index < index_)
        --index_;
    ClampIndex();
}

void TPidlHistory::Clear()
{
    entries_.clear();
    index_ = 0;
}

void TPidlHistory::Back(int steps)
{
    index_ = std::max(index_ - std::max(steps, 0), 0);
}

void TPidlHistory::Forward(int steps)
{
    const int room = std::max(Count() - 1 - index_, 0);
    index_ += std::min(std::max(steps, 0), room);
}

TBorrowedIDList TPidlHistory::Current() const noexcept
{
    return Items(index_);
}

void TPidlHistory::SetIndex(int index) noexcept
{
    if (index >= 0 && index < Count())
        index_ = index;
}

TBorrowedIDList TPidlHistory::Items(int index) const noexcept
{
    if (index < 0 || index >= Count())
        return nullptr;
    return entries_[static_cast<size_t>(index)].get();
}

void TPidlHistory::ClampIndex() noexcept
{
    index_ = std::clamp(index_, 0, std::max(Count() - 1, 0));
}
