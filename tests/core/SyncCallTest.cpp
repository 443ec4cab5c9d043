#include "core/SyncCall.h"

#include "common/TempTree.h"
#include "core/CallbackException.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
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

TEST(SyncCallTest, QueuedCallsRunLaterFromTheMessageLoopOnly)
{
    std::vector<int> order;
    std::thread worker([&] { EXPECT_TRUE(Queue([&] { order.push_back(1); })); });
    worker.join();
    EXPECT_TRUE(Queue([&] { order.push_back(2); }));
    // A loop that waits for workers does not run them: they would land inside its work.
    CheckSynchronize(20);
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(PumpMessagesUntil([&] { return order.size() == 2; }, 3000));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(SyncCallTest, FailuresReportedLaterComeOncePerBurstFromTheMessageLoop)
{
    std::vector<std::string> reported;
    SetCallbackExceptionHandler([&](TObject*) {
        try {
            throw;
        } catch (const std::exception& e) {
            reported.push_back(e.what());
        }
    });
    const auto fail = [](const char* text) {
        CallEventHandler([text] { throw std::runtime_error(text); });
    };
    fail("first");
    fail("second");
    EXPECT_TRUE(reported.empty());
    PumpMessages(50);
    EXPECT_EQ(reported, std::vector<std::string>{"first"});
    // A handler that does not fail, or none at all, reports nothing.
    CallEventHandler([] {});
    CallEventHandler(std::function<void()>());
    fail("third");
    PumpMessages(50);
    EXPECT_EQ(reported, (std::vector<std::string>{"first", "third"}));
    SetCallbackExceptionHandler(nullptr);
}

}  // namespace
