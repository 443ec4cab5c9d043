#include "threadpool/ThreadPool.h"

#include "PoolTestItems.h"
#include "common/TempTree.h"
#include "core/Assertion.h"
#include "threadpool/SystemLoad.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

namespace {

bool WaitStarted(const TItemLog& log)
{
    // Without dispatching: the test decides when the GUI thread serves calls.
    const DWORD start = GetTickCount();
    while (!log.started && GetTickCount() - start < 3000)
        Sleep(2);
    return log.started;
}

TEST(ThreadPoolTest, ProcessWidePoolHasTheDesignedLimits)
{
    ASSERT_NE(WorkerPool, nullptr);
    EXPECT_GE(ProcessorCount(), 1);
    EXPECT_EQ(WorkerPool->MaxRunningThreads, ProcessorCount() * 3 + 2);
    EXPECT_EQ(WorkerPool->HardTerminateWait, 3000u);
    EXPECT_EQ(WorkerPool->IdleTimeout.load(), 60000u);
    EXPECT_EQ(WorkerPool->MinThreads, 1);
    EXPECT_EQ(WorkerPool->CpuCeiling, 80);
    const int usage = WorkerPool->CpuUsage();
    EXPECT_GE(usage, 0);
    EXPECT_LE(usage, 101);
}

TEST(ThreadPoolTest, OneItemOnAnEmptyPoolStartsExactlyOneThreadEvenWhenTheCpuIsBusy)
{
    TTestPool pool(100);
    std::vector<std::shared_ptr<TItemLog>> logs;
    for (int i = 0; i < 4; ++i) {
        logs.push_back(NewLog());
        pool.AddWorkItem(new TTestItem(logs.back(), 40));
        EXPECT_EQ(pool.Count(), 1);
    }
    int most = 0;
    EXPECT_TRUE(PumpMessagesUntil(
        [&] {
            most = std::max(most, pool.Count());
            return pool.PendingCount() == 0;
        },
        5000));
    EXPECT_EQ(most, 1);
    for (const auto& log : logs) {
        EXPECT_EQ(log->applied.load(), 1);
        EXPECT_EQ(log->executeThread.load(), logs[0]->executeThread.load());
    }
}

TEST(ThreadPoolTest, BurstStartsFurtherThreadsOnlyAs200MillisecondsPass)
{
    TTestPool pool(0);
    std::vector<DWORD> growth;  // times at which the thread count rose
    int count = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1100) {
        pool.AddWorkItem(new TTestItem(NewLog(), 5000));
        for (int now = pool.Count(); count < now; ++count)
            growth.push_back(GetTickCount() - start);
        PumpMessages(15);
    }
    ASSERT_GE(growth.size(), 4u);
    EXPECT_LE(static_cast<int>(growth.size()), pool.MaxRunningThreads);
    // The first two may start together (at most one thread ran); after that, one per 200 ms.
    for (size_t i = 2; i < growth.size(); ++i)
        EXPECT_GE(growth[i] - growth[i - 1], 190u) << "start " << i;
    pool.TerminateAll(true);
    EXPECT_EQ(pool.Count(), 0);
}

TEST(ThreadPoolTest, CompletionHandlerRunsOnTheGuiThreadWhileTheWorkerWaits)
{
    TTestPool pool(0);
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0));
    const DWORD start = GetTickCount();
    while (log->executed == 0 && GetTickCount() - start < 3000)
        Sleep(5);
    Sleep(50);
    // Executed, but the handler waits for the GUI thread and so does the worker.
    EXPECT_EQ(log->handled.load(), 0);
    EXPECT_EQ(pool.PendingCount(), 1);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(log->handlerThread.load(), GetCurrentThreadId());
    EXPECT_NE(log->executeThread.load(), GetCurrentThreadId());
    EXPECT_EQ(log->applied.load(), 1);
}

TEST(ThreadPoolTest, CancelByOwnerByClassAndEverythingReturnsWhatItCancelled)
{
    TTestPool pool(100);  // one worker only
    int ownerX = 0;
    int ownerY = 0;
    int allDone = 0;
    pool.OnAllWorkDone = [&](TCustomThreadPool*) { ++allDone; };
    auto running = NewLog();
    pool.AddWorkItem(new TTestItem(running, 10000, &ownerX));
    ASSERT_TRUE(WaitStarted(*running));

    std::vector<std::shared_ptr<TItemLog>> queued;
    auto queue = [&](bool other, TWorkItemOwner owner) {
        queued.push_back(NewLog());
        if (other)
            pool.AddWorkItem(new TOtherTestItem(queued.back(), 0, owner));
        else
            pool.AddWorkItem(new TTestItem(queued.back(), 0, owner));
    };
    for (int i = 0; i < 3; ++i)
        queue(false, &ownerX);
    for (int i = 0; i < 2; ++i)
        queue(false, &ownerY);
    for (int i = 0; i < 2; ++i)
        queue(true, &ownerX);
    EXPECT_EQ(pool.PendingCount(), 8);

    EXPECT_EQ(pool.CancelWorkItems(&ownerY, nullptr), 2);
    EXPECT_EQ(pool.CancelWorkItemsOf<TOtherTestItem>(), 2);
    EXPECT_EQ(pool.CancelWorkItemsOf<TOtherTestItem>(&ownerX), 0);
    EXPECT_EQ(pool.PendingCount(), 4);
    // Three queued items and the running one.
    EXPECT_EQ(pool.CancelWorkItems(nullptr, nullptr), 4);
    EXPECT_EQ(pool.QueueCount(), 0);

    // The event follows the last decrement of the pending count.
    EXPECT_TRUE(PumpMessagesUntil([&] { return allDone > 0; }, 3000));
    PumpMessages(50);
    EXPECT_EQ(pool.PendingCount(), 0);
    // The aborted running item ended early; its handler ran but applied nothing.
    EXPECT_EQ(running->handled.load(), 1);
    EXPECT_EQ(running->applied.load(), 0);
    for (const auto& log : queued)
        EXPECT_EQ(log->executed.load(), 0);
    EXPECT_EQ(allDone, 1);
}

TEST(ThreadPoolTest, AnItemAddedWhileThePoolCancelsIsDropped)
{
    // An item whose release queues more work, as an owner's clean-up might.
    class TRequeueingItem : public TTestItem {
    public:
        TRequeueingItem(TWorkerThreadPool& pool, std::shared_ptr<TItemLog> log,
                        std::shared_ptr<TItemLog> requeued)
            : TTestItem(std::move(log), 0), pool_(pool), requeued_(std::move(requeued))
        {
        }
        ~TRequeueingItem() override { pool_.AddWorkItem(new TTestItem(requeued_, 0)); }

    private:
        TWorkerThreadPool& pool_;
        std::shared_ptr<TItemLog> requeued_;
    };

    TTestPool pool(100);
    auto blocker = NewLog();
    pool.AddWorkItem(new TTestItem(blocker, 10000));
    ASSERT_TRUE(WaitStarted(*blocker));
    auto requeued = NewLog();
    pool.AddWorkItem(new TRequeueingItem(pool, NewLog(), requeued));
    EXPECT_EQ(pool.CancelWorkItems(nullptr, nullptr), 2);
    EXPECT_EQ(pool.QueueCount(), 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(requeued->executed.load(), 0);
}

TEST(ThreadPoolTest, PendingCountReturnsToZeroAndAllWorkDoneFiresOnce)
{
    TTestPool pool(0);
    int allDone = 0;
    DWORD firedOn = 0;
    pool.OnAllWorkDone = [&](TCustomThreadPool*) {
        ++allDone;
        firedOn = GetCurrentThreadId();
    };
    std::vector<std::shared_ptr<TItemLog>> logs;
    for (int i = 0; i < 6; ++i) {
        logs.push_back(NewLog());
        pool.AddWorkItem(new TTestItem(logs.back(), 30));
    }
    EXPECT_EQ(pool.PendingCount(), 6);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 5000));
    PumpMessages(100);
    EXPECT_EQ(allDone, 1);
    EXPECT_EQ(firedOn, GetCurrentThreadId());
    for (const auto& log : logs)
        EXPECT_EQ(log->applied.load(), 1);
}

TEST(ThreadPoolTest, IdleWorkersEndAfterTheIdleTimeout)
{
    TTestPool pool(0);
    pool.IdleTimeout = 300;
    std::set<DWORD> finished;
    int allFinished = 0;
    pool.OnThreadFinished = [&](TZelThread* thread) {
        EXPECT_TRUE(IsMainThread());
        finished.insert(thread->ThreadID());
    };
    pool.OnAllThreadsFinished = [&](TCustomThreadPool*) { ++allFinished; };
    for (int i = 0; i < 3; ++i)
        pool.AddWorkItem(new TTestItem(NewLog(), 50));
    const std::vector<DWORD> ids = pool.ThreadIds();
    ASSERT_FALSE(ids.empty());
    ASSERT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 5000));
    const DWORD idleSince = GetTickCount();
    ASSERT_TRUE(PumpMessagesUntil([&] { return pool.Count() == 0; }, 5000));
    const DWORD idle = GetTickCount() - idleSince;
    EXPECT_GE(idle, 250u);
    EXPECT_LT(idle, 2500u);
    EXPECT_EQ(finished, std::set<DWORD>(ids.begin(), ids.end()));
    EXPECT_EQ(allFinished, 1);
    EXPECT_TRUE(finished.count(pool.LastTerminatedThreadId()));
    EXPECT_FALSE(pool.Terminating());

    // The pool grows again for new work.
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0));
    EXPECT_EQ(pool.Count(), 1);
    EXPECT_TRUE(PumpMessagesUntil([&] { return log->applied == 1; }, 3000));
}

TEST(ThreadPoolTest, TerminateAllWithWaitKillsAThreadThatIgnoresTermination)
{
    TTestPool pool(0);
    pool.HardTerminateWait = 300;
    int allDone = 0;
    int allFinished = 0;
    pool.OnAllWorkDone = [&](TCustomThreadPool*) { ++allDone; };
    pool.OnAllThreadsFinished = [&](TCustomThreadPool*) { ++allFinished; };
    auto stubborn = NewLog();
    auto cooperative = NewLog();
    pool.AddWorkItem(new TTestItem(stubborn, 30000, nullptr, true));
    pool.AddWorkItem(new TTestItem(cooperative, 30000));
    ASSERT_EQ(pool.Count(), 2);
    ASSERT_TRUE(WaitStarted(*stubborn));
    ASSERT_TRUE(WaitStarted(*cooperative));

    const DWORD start = GetTickCount();
    pool.TerminateAll(true);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_GE(elapsed, 280u);
    EXPECT_LT(elapsed, 2500u);
    EXPECT_EQ(pool.PendingCount(), 0);
    // The cooperative item stopped and its handler ran (applying nothing); the killed one never
    // reached its handler.
    EXPECT_EQ(cooperative->handled.load(), 1);
    EXPECT_EQ(cooperative->applied.load(), 0);
    EXPECT_EQ(stubborn->handled.load(), 0);
    EXPECT_EQ(allDone, 1);
    EXPECT_EQ(allFinished, 1);
    EXPECT_FALSE(pool.Terminating());
}

TEST(ThreadPoolTest, TerminateAllServesAWorkerThatWaitsForTheGuiThread)
{
    TTestPool pool(0);
    pool.HardTerminateWait = 2000;
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0));
    const DWORD waitStart = GetTickCount();
    while (log->executed == 0 && GetTickCount() - waitStart < 3000)
        Sleep(5);
    Sleep(20);  // the worker now waits in its completion handler's call
    const DWORD start = GetTickCount();
    pool.TerminateAll(true);
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_EQ(log->handled.load(), 1);
    EXPECT_EQ(log->handlerThread.load(), GetCurrentThreadId());
}

TEST(ThreadPoolTest, WorkersRunItemsWithComApartmentThreaded)
{
    class TComProbe : public TBasicWorkItem {
    public:
        explicit TComProbe(std::atomic<HRESULT>& result) : result_(result) {}
        void Execute() override
        {
            result_ = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(result_))
                CoUninitialize();
        }

    private:
        std::atomic<HRESULT>& result_;
    };
    std::atomic<HRESULT> result{E_FAIL};
    TTestPool pool(0);
    pool.AddWorkItem(new TComProbe(result));
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(result.load(), RPC_E_CHANGED_MODE);
}

TEST(ThreadPoolTest, AFailingItemDoesNotCostTheWorker)
{
    class TFailingItem : public TBasicWorkItem {
    public:
        void Execute() override { throw std::runtime_error("failed"); }
    };
    TTestPool pool(100);
    pool.AddWorkItem(new TFailingItem);
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0));
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(log->applied.load(), 1);
    EXPECT_EQ(pool.Count(), 1);
}

TEST(ThreadPoolTest, ConsistencyChecksRaiseTheirMessages)
{
    class TIdleThread : public TZelThread {
    protected:
        void Execute() override
        {
            while (!CheckTerminated())
                WaitForSingleObject(TerminateEvent(), 100);
        }
    };
    {
        TCustomThreadPool pool;
        auto* thread = new TIdleThread;
        pool.AddThread(thread);
        try {
            pool.AddThread(thread);
            ADD_FAILURE() << "no assertion";
        } catch (const EAssertionFailed& error) {
            EXPECT_EQ(error.Message(),
                      L"A thread was added a second time to the thread pool (ThreadPool, line 746)");
        }
        EXPECT_EQ(pool.Count(), 1);
    }  // the pool ends its thread
    {
        TTestPool pool(0);
        pool.MaxRunningThreads = 0;  // no thread can start
        pool.AddWorkItem(new TTestItem(NewLog(), 0));
        pool.AddWorkItem(new TTestItem(NewLog(), 0));
        try {
            pool.AddWorkItem(new TTestItem(NewLog(), 0));
            ADD_FAILURE() << "no assertion";
        } catch (const EAssertionFailed& error) {
            EXPECT_EQ(error.Message(),
                      L"The work item queue of the TWorkerThreadPool should be empty now, nut the "
                      L"number of elements were: 2 (ThreadPool, line 890)");
        }
    }
}

}  // namespace
