#include "threadpool/WorkItemsQueue.h"

#include "PoolTestItems.h"

#include <gtest/gtest.h>

namespace {

TComPtr<IWorkItem> Item(TWorkItemOwner owner, bool other = false)
{
    if (other)
        return TComPtr<IWorkItem>(new TOtherTestItem(NewLog(), 0, owner));
    return TComPtr<IWorkItem>(new TTestItem(NewLog(), 0, owner));
}

TEST(WorkItemsQueueTest, TakesFromEitherEnd)
{
    TWorkItemsQueue queue;
    int a = 0, b = 0, c = 0;
    queue.Add(Item(&a));
    queue.Add(Item(&b));
    queue.Add(Item(&c));
    EXPECT_EQ(queue.TakeFirst()->GetOwner(), &a);
    EXPECT_EQ(queue.TakeLast()->GetOwner(), &c);
    EXPECT_EQ(queue.TakeLast()->GetOwner(), &b);
    EXPECT_EQ(queue.TakeFirst(), nullptr);
    EXPECT_EQ(queue.TakeLast(), nullptr);
}

TEST(WorkItemsQueueTest, RemovesByOwnerClassOrBothAndKeepsTheRestInOrder)
{
    TWorkItemsQueue queue;
    int a = 0, b = 0;
    queue.Add(Item(&a));
    queue.Add(Item(&b));
    queue.Add(Item(&a, true));
    queue.Add(Item(&b, true));
    queue.Add(Item(&a));
    EXPECT_EQ(queue.RemoveMatching(&a, &typeid(TOtherTestItem)), 1);
    EXPECT_EQ(queue.RemoveMatching(nullptr, &typeid(TTestItem)), 3);  // the exact class only
    EXPECT_EQ(queue.Count(), 1);
    EXPECT_EQ(queue.RemoveMatching(&a, nullptr), 0);
    queue.Add(Item(&a));
    EXPECT_EQ(queue.RemoveMatching(&b, nullptr), 1);
    EXPECT_EQ(queue.TakeFirst()->GetOwner(), &a);
    queue.Add(Item(&a));
    queue.Add(Item(&b));
    EXPECT_EQ(queue.RemoveMatching(nullptr, nullptr), 2);
    EXPECT_EQ(queue.Clear(), 0);
}

}  // namespace
