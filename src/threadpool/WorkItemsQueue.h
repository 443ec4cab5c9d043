#pragma once
// The pool's list of waiting work items, guarded by its own lock.
#include "core/ComPtr.h"
#include "core/CriticalSection.h"
#include "threadpool/WorkItem.h"

#include <deque>
#include <typeinfo>

class TWorkItemsQueue {
public:
    void Add(TComPtr<IWorkItem> item);
    // Removes and returns the first (or last) item; null when the queue is empty.
    TComPtr<IWorkItem> TakeFirst();
    TComPtr<IWorkItem> TakeLast();
    int Count() const;
    // Removes every item; returns how many.
    int Clear();
    // Removes the items whose owner is `owner` (when not null) and whose class is `itemClass`
    // (when not null); both null removes everything. Returns how many were removed.
    int RemoveMatching(TWorkItemOwner owner, const std::type_info* itemClass);

private:
    mutable TCriticalSection lock_;
    std::deque<TComPtr<IWorkItem>> items_;
};

// The match rule shared by the queue and the pool's cancelling of running items.
bool WorkItemMatches(IWorkItem* item, TWorkItemOwner owner, const std::type_info* itemClass);
