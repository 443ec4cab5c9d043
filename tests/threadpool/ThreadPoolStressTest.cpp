// The pool under a long burst of work from several owners, with owners cancelling at random
// and the pool made to end all its threads in the middle and freed with work still queued.
#include "threadpool/ThreadPool.h"

#include "PoolTestItems.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <random>

namespace {

constexpr int kOwners = 8;

struct TStressCounts {
    std::atomic<int> created{0};
    std::atomic<int> destroyed{0};
    std::atomic<int> executed{0};
    // GUI thread only.
    int delivered = 0;
    int deliveredAfterCancel = 0;
    // Per owner: how many times it has cancelled (GUI thread only).
    std::array<int, kOwners> cancels{};
};

// Remembers how many times its owner had cancelled when it was queued: a delivery that finds
// a later count reaches an owner that cancelled it.
class TStressItem : public TBasicWorkItem {
public:
    // Only some items hand a result back: each one costs the worker a wait for the GUI thread.
    TStressItem(TStressCounts& counts, int owner, bool withResult) : counts_(counts), owner_(owner)
    {
        ++counts_.created;
        cancelsAtQueue_ = counts_.cancels[static_cast<size_t>(owner)];
        SetOwner(&counts_.cancels[static_cast<size_t>(owner)]);
        if (withResult)
            SetOnWorkDone([this](TBasicWorkItem*) {
                ++counts_.delivered;
                if (counts_.cancels[static_cast<size_t>(owner_)] != cancelsAtQueue_)
                    ++counts_.deliveredAfterCancel;
            });
    }
    ~TStressItem() override { ++counts_.destroyed; }
    void Execute() override { ++counts_.executed; }

private:
    TStressCounts& counts_;
    int owner_;
    int cancelsAtQueue_ = 0;
};

TEST(ThreadPoolStressTest, AHundredThousandItemsWithCancelsAndAShutDownInTheMiddle)
{
    constexpr int kItems = 100000;
    TStressCounts counts;
    std::mt19937 random(15);
    std::uniform_int_distribution<int> owners(0, kOwners - 1);
    std::uniform_int_distribution<int> chance(0, 999);
    auto pool = std::make_unique<TTestPool>(0);
    pool->IdleTimeout = 200;  // threads also come and go while the burst lasts
    int cancels = 0;
    for (int index = 0; index < kItems; ++index) {
        pool->AddWorkItem(new TStressItem(counts, owners(random), index % 4 == 0));
        const int roll = chance(random);
        if (roll < 8) {
            const int owner = owners(random);
            ++counts.cancels[static_cast<size_t>(owner)];
            pool->CancelWorkItems(&counts.cancels[static_cast<size_t>(owner)], nullptr);
            ++cancels;
        } else if (roll < 10) {
            CheckSynchronize();
        }
        if (index == kItems / 2) {
            // Every thread ends with work queued and workers waiting for the GUI thread.
            pool->TerminateAll(true);
            EXPECT_EQ(pool->Count(), 0);
            EXPECT_EQ(pool->PendingCount(), 0);
        }
    }
    // Part of the work gets done; then the pool goes with the rest still queued.
    PumpMessagesUntil([&] { return counts.executed > kItems / 2 + 1000; }, 20000);
    pool.reset();
    PumpMessages(50);

    EXPECT_GT(cancels, 100);
    EXPECT_GT(counts.delivered, 0);
    EXPECT_EQ(counts.deliveredAfterCancel, 0);
    EXPECT_EQ(counts.created.load(), kItems);
    EXPECT_EQ(counts.destroyed.load(), kItems);
    EXPECT_LE(counts.delivered, counts.executed.load());
}

}  // namespace
