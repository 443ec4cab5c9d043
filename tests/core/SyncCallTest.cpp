#include "core/SyncCall.h"

#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(SyncCallTest, WorkerBlocksUntilTheGuiThreadRunsTheCallFromItsMessageLoop)
{
    ASSERT_TRUE(IsMainThread());
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        Synchronize([&] { ranOn = GetCurrentThreadId(); });
        returned = true;
    });
    Sleep(150);  // not served yet: the worker must still be waiting
    EXPECT_FALSE(returned);
    EXPECT_EQ(PendingSyncCallCount(), 1);
    // The hidden window runs it as soon as messages are dispatched.
    EXPECT_TRUE(PumpMessagesUntil([&] { return returned.load(); }, 3000));
    worker.join();
    EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
}

TEST(SyncCallTest, WaitLoopsServeCallsWithoutDispatchingMessages)
{
    std::vector<std::thread> workers;
    int counter = 0;  // touched only on the GUI thread
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&] {
            for (int j = 0; j < 25; ++j)
                Synchronize([&] {
                    EXPECT_TRUE(IsMainThread());
                    ++counter;
                });
        });
    const DWORD start = GetTickCount();
    while (counter < 100 && GetTickCount() - start < 5000)
        CheckSynchronize(10);
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(counter, 100);
}

TEST(SyncCallTest, ExceptionOfTheCallIsRaisedInTheWorker)
{
    std::atomic<bool> caught{false};
    std::thread worker([&] {
        try {
            Synchronize([] { throw std::runtime_error("from the GUI thread"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    const DWORD start = GetTickCount();
    while (!caught && GetTickCount() - start < 3000)
        CheckSynchronize(10);
    worker.join();
    EXPECT_TRUE(caught);
}

}  // namespace
