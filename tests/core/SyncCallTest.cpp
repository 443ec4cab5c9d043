#include "core/SyncCall.h"

#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Waits (bounded) for a flag set by another thread, without serving synchronised calls.
bool WaitWithoutServing(const std::atomic<bool>& flag, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (!flag && GetTickCount() - start < milliseconds)
        Sleep(5);
    return flag;
}

class SyncCallTest : public testing::Test {
protected:
    void SetUp() override { SyncCallStartup(); }
    void TearDown() override
    {
        // Nothing a test left behind may leak into the next one.
        CheckSynchronize();
        SyncCallShutdown();
    }
};

TEST_F(SyncCallTest, WorkerBlocksUntilTheGuiThreadRunsTheCallFromItsMessageLoop)
{
    ASSERT_TRUE(IsMainThread());
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        Synchronize([&] { ranOn = GetCurrentThreadId(); });
        returned = true;
    });
    // Not served yet: the worker must still be waiting.
    EXPECT_FALSE(WaitWithoutServing(returned, 150));
    EXPECT_EQ(ranOn.load(), 0u);
    EXPECT_EQ(PendingSyncCallCount(), 1);
    // The message window runs it as soon as messages are dispatched.
    EXPECT_TRUE(PumpMessagesUntil([&] { return returned.load(); }, 3000));
    worker.join();
    EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
}

TEST_F(SyncCallTest, WaitLoopsServeCallsWithoutDispatchingMessages)
{
    std::atomic<int> calls{0};
    std::vector<std::thread> workers;
    int counter = 0;  // touched only on the GUI thread
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&] {
            for (int j = 0; j < 25; ++j)
                Synchronize([&] {
                    ++counter;
                    if (!IsMainThread())
                        ADD_FAILURE() << "a call ran off the GUI thread";
                    ++calls;
                });
        });
    const DWORD start = GetTickCount();
    while (calls < 100 && GetTickCount() - start < 5000)
        CheckSynchronize(10);
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(counter, 100);
}

TEST_F(SyncCallTest, ExceptionOfTheCallIsRaisedInTheWorker)
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

TEST_F(SyncCallTest, OnTheGuiThreadTheCallRunsAtOnce)
{
    bool ran = false;
    Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(CheckSynchronize());
}

TEST_F(SyncCallTest, CheckSynchronizeDoesNothingOffTheGuiThread)
{
    std::atomic<bool> served{true};
    std::thread other([&] { served = CheckSynchronize(10); });
    other.join();
    EXPECT_FALSE(served);
}

}  // namespace
