#include "controls/list/ThumbnailSlots.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ThumbnailSlotsTest, OnceAllAreLentTheLeastRecentlyDrawnGoesToTheNextItem)
{
    TThumbnailSlots slots(3);
    for (uint32_t item = 1; item <= 3; ++item)
        EXPECT_EQ(slots.Lend(item).evicted, 0u);
    EXPECT_EQ(slots.Used(), 3);
    slots.Touch(slots.Lend(1).slot);  // drawn again: item 2 is now the oldest
    const int second = slots.Lend(2).slot;
    slots.Touch(slots.Lend(1).slot);
    slots.Touch(slots.Lend(3).slot);
    const TThumbnailSlots::TLease lease = slots.Lend(4);
    EXPECT_EQ(lease.evicted, 2u);
    EXPECT_EQ(lease.slot, second);
    EXPECT_EQ(slots.OwnerOf(second), 4u);
    EXPECT_EQ(slots.Used(), 3);
    // An item keeps its slot however often it asks.
    EXPECT_EQ(slots.Lend(4).slot, second);
    EXPECT_EQ(slots.Lend(4).evicted, 0u);
}

TEST(ThumbnailSlotsTest, TheNewestWantedAreAskedForFirstAndThoseRefusedAreDropped)
{
    TThumbnailSlots slots(10);
    std::vector<int> slotOf(7, -1);
    for (uint32_t item = 1; item <= 6; ++item) {
        slotOf[item] = slots.Lend(item).slot;
        slots.Want(slotOf[item]);
    }
    EXPECT_EQ(slots.WantedCount(), 6);
    // Items 5 and 3 are no longer worth asking for (scrolled past).
    const auto worth = [](uint32_t item) { return item != 5 && item != 3; };
    std::vector<uint32_t> dropped;
    std::vector<uint32_t> asked;
    for (int slot; (slot = slots.TakeWanted(worth, dropped)) >= 0;)
        asked.push_back(slots.OwnerOf(slot));
    EXPECT_EQ(asked, (std::vector<uint32_t>{6, 4, 2, 1}));
    EXPECT_EQ(dropped, (std::vector<uint32_t>{5, 3}));
    EXPECT_EQ(slots.OwnerOf(slotOf[5]), 0u);
    EXPECT_EQ(slots.InFlight(), 4);
    EXPECT_EQ(slots.WantedCount(), 0);

    EXPECT_TRUE(slots.Awaited(slotOf[6], 6));
    EXPECT_FALSE(slots.Awaited(slotOf[6], 4));
    slots.Finished(slotOf[6]);
    EXPECT_FALSE(slots.Awaited(slotOf[6], 6));
    EXPECT_EQ(slots.InFlight(), 3);
    // A slot lent to another item meanwhile awaits nothing for the first.
    slots.Release(4);
    EXPECT_EQ(slots.InFlight(), 2);
    const int reused = slots.Lend(7).slot;
    EXPECT_EQ(reused, slotOf[4]);
    EXPECT_FALSE(slots.Awaited(reused, 4));
}

TEST(ThumbnailSlotsTest, WantingTheSameSlotsOverAndOverKeepsOneRequestEach)
{
    TThumbnailSlots slots(2);
    const int first = slots.Lend(1).slot;
    const int second = slots.Lend(2).slot;
    for (int round = 0; round < 100; ++round) {
        slots.Want(first);
        slots.Want(second);
    }
    std::vector<uint32_t> dropped;
    std::vector<uint32_t> asked;
    for (int slot; (slot = slots.TakeWanted([](uint32_t) { return true; }, dropped)) >= 0;)
        asked.push_back(slots.OwnerOf(slot));
    EXPECT_EQ(asked, (std::vector<uint32_t>{2, 1}));
    EXPECT_TRUE(dropped.empty());
}

}  // namespace
