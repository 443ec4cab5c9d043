#pragma once
// The back and forward navigation history of a browsing control: absolute ID lists owned by
// the history, and the index of the current one.
#include "core/IDListPtr.h"

#include <vector>

class TPidlHistory {
public:
    TPidlHistory() = default;
    TPidlHistory(const TPidlHistory&) = delete;
    TPidlHistory& operator=(const TPidlHistory&) = delete;

    // Takes ownership; a null list is ignored. The entries after the current one (the forward
    // history) are discarded and the new entry becomes current.
    void Push(TOwnedIDList list);
    // Records a visit: pushes the list unless it is the current entry already (the same folder
    // reported again by another route is one visit, and keeps the forward history).
    void Visit(TOwnedIDList list);
    // Frees the entry's list and removes it. The current entry stays current when an earlier
    // one goes; when the current one goes the index stays, within the remaining entries.
    void DeleteEntry(int index);
    void Clear();

    // Move the current index by up to `steps`, never before the first or past the last entry.
    void Back(int steps = 1);
    void Forward(int steps = 1);
    bool CanGoBack() const noexcept { return index_ > 0; }
    bool CanGoForward() const noexcept { return index_ + 1 < Count(); }

    // The entry at the current index (borrowed); null while the history is empty.
    TBorrowedIDList Current() const noexcept;
    int Index() const noexcept { return index_; }
    // An index outside the entries is ignored.
    void SetIndex(int index) noexcept;

    int Count() const noexcept { return static_cast<int>(entries_.size()); }
    // Borrowed; null outside the entries.
    TBorrowedIDList Items(int index) const noexcept;

private:
    void ClampIndex() noexcept;

    std::vector<TOwnedIDList> entries_;
    int index_ = 0;
};
