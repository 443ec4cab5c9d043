#include "threadpool/WorkItemsQueue.h"

#include <vector>

bool WorkItemMatches(IWorkItem* item, TWorkItemOwner owner, const std::type_info* itemClass)
{
    if (item == nullptr)
        return false;
    if (owner != nullptr && item->GetOwner() != owner)
        return false;
    return itemClass == nullptr || item->ClassType() == *itemClass;
}

void TWorkItemsQueue::Add(TComPtr<IWorkItem> item)
{
    TCriticalSectionLock guard(lock_);
    items_.push_back(std::move(item));
}

TComPtr<IWorkItem> TWorkItemsQueue::TakeFirst()
{
    TCriticalSectionLock guard(lock_);
    if (items_.empty())
        return nullptr;
    TComPtr<IWorkItem> item = std::move(items_.front());
    items_.pop_front();
    return item;
}

TComPtr<IWorkItem> TWorkItemsQueue::TakeLast()
{
    TCriticalSectionLock guard(lock_);
    if (items_.empty())
        return nullptr;
    TComPtr<IWorkItem> item = std::move(items_.back());
    items_.pop_back();
    return item;
}

int TWorkItemsQueue::Count() const
{
    TCriticalSectionLock guard(lock_);
    return static_cast<int>(items_.size());
}

int TWorkItemsQueue::Clear()
{
    std::deque<TComPtr<IWorkItem>> removed;
    {
        TCriticalSectionLock guard(lock_);
        removed.swap(items_);
    }
    // Released outside the lock: an item's destructor may reach the queue again.
    return static_cast<int>(removed.size());
}

int TWorkItemsQueue::RemoveMatching(TWorkItemOwner owner, const std::type_info* itemClass)
{
    std::vector<TComPtr<IWorkItem>> removed;
    {
        TCriticalSectionLock guard(lock_);
        std::deque<TComPtr<IWorkItem>> kept;
        for (TComPtr<IWorkItem>& item : items_) {
            if (WorkItemMatches(item.Get(), owner, itemClass))
                removed.push_back(std::move(item));
            else
                kept.push_back(std::move(item));
        }
        items_.swap(kept);
    }
    return static_cast<int>(removed.size());
}
