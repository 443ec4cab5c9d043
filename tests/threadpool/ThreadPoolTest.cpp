#include "threadpool/ThreadPool.h"

#include "PoolTestItems.h"
#include "common/TempTree.h"
#include "core/Assertion.h"
#include "core/CallbackException.h"

#include <gtest/gtest.h>

#include <new>
#include <set>
#include <thread>
#include <vector>

namespace {

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
    EXPECT_EQ(pool.MaxRunningThreads, ProcessorCount() * 3 + 2);
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
    // Whatever the pool's events touch is declared before the pool, which fires them as it goes.
    int ownerX = 0;
    int ownerY = 0;
    int allDone = 0;
    TTestPool pool(100);  // one worker only
    pool.OnAllWorkDone = [&](TCustomThreadPool*) { ++allDone; };
    auto running = NewLog();
    pool.AddWorkItem(new TTestItem(running, 10000, &ownerX));
    ASSERT_TRUE(WaitStarted(*running));

    std::vector<std::shared_ptr<TItemLog>> queued;
    for (int i = 0; i < 7; ++i) {
        queued.push_back(NewLog());
        if (i < 3)
            pool.AddWorkItem(new TTestItem(queued.back(), 0, &ownerX));
        else if (i < 5)
            pool.AddWorkItem(new TTestItem(queued.back(), 0, &ownerY));
        else
            pool.AddWorkItem(new TOtherTestItem(queued.back(), 0, &ownerX));
    }
    EXPECT_EQ(pool.PendingCount(), 8);
    EXPECT_EQ(pool.CancelWorkItems(&ownerY, nullptr), 2);
    EXPECT_EQ(pool.CancelWorkItemsOf<TOtherTestItem>(), 2);  // the exact class only
    EXPECT_EQ(pool.CancelWorkItemsOf<TOtherTestItem>(&ownerX), 0);
    EXPECT_EQ(pool.PendingCount(), 4);
    // Three queued items and the running one.
    EXPECT_EQ(pool.CancelWorkItems(nullptr, nullptr), 4);
    EXPECT_EQ(pool.QueueCount(), 0);

    // The event follows the last decrement of the pending count.
    EXPECT_TRUE(PumpMessagesUntil([&] { return allDone > 0; }, 3000));
    PumpMessages(50);
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(allDone, 1);
    // The aborted running item ended early; its handler ran but applied nothing.
    EXPECT_EQ(running->handled.load(), 1);
    EXPECT_EQ(running->applied.load(), 0);
    for (const auto& log : queued)
        EXPECT_EQ(log->executed.load(), 0);
}

TEST(ThreadPoolTest, AnItemAddedWhileThePoolCancelsIsDropped)
{
    // An item whose release queues more work, as an owner's clean-up might.
    class TRequeueingItem : public TTestItem {
    public:
        TRequeueingItem(TWorkerThreadPool& pool, std::shared_ptr<TItemLog> requeued)
            : TTestItem(NewLog(), 0), pool_(pool), requeued_(std::move(requeued))
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
    pool.AddWorkItem(new TRequeueingItem(pool, requeued));
    EXPECT_EQ(pool.CancelWorkItems(nullptr, nullptr), 2);
    EXPECT_EQ(pool.QueueCount(), 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(requeued->executed.load(), 0);
}

TEST(ThreadPoolTest, PendingCountReturnsToZeroAndAllWorkDoneFiresOnce)
{
    int allDone = 0;
    DWORD firedOn = 0;
    TTestPool pool(0);
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
    EXPECT_TRUE(PumpMessagesUntil([&] { return allDone > 0; }, 5000));
    PumpMessages(100);
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(allDone, 1);
    EXPECT_EQ(firedOn, GetCurrentThreadId());
    for (const auto& log : logs)
        EXPECT_EQ(log->applied.load(), 1);
}

TEST(ThreadPoolTest, IdleWorkersEndAfterTheIdleTimeout)
{
    std::set<DWORD> finished;
    int allFinished = 0;
    TTestPool pool(0);
    EXPECT_EQ(pool.IdleTimeout.load(), 60000u);
    pool.IdleTimeout = 300;
    pool.OnThreadFinished = [&](TZelThread* thread) {
        EXPECT_TRUE(IsMainThread());
        finished.insert(thread->ThreadID());
    };
    pool.OnAllThreadsFinished = [&](TCustomThreadPool*) { ++allFinished; };
    for (int i = 0; i < 3; ++i)
        pool.AddWorkItem(new TTestItem(NewLog(), 50));
    const std::vector<DWORD> ids = pool.ThreadIds();
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
    int allDone = 0;
    int allFinished = 0;
    TTestPool pool(0);
    EXPECT_EQ(pool.HardTerminateWait, 3000u);
    pool.HardTerminateWait = 300;
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
    // The cooperative item stopped and its handler ran on this thread while it waited (applying
    // nothing); the killed one never reached its handler.
    EXPECT_EQ(cooperative->handled.load(), 1);
    EXPECT_EQ(cooperative->handlerThread.load(), GetCurrentThreadId());
    EXPECT_EQ(cooperative->applied.load(), 0);
    EXPECT_EQ(stubborn->handled.load(), 0);
    EXPECT_EQ(allDone, 1);
    EXPECT_EQ(allFinished, 1);
    EXPECT_FALSE(pool.Terminating());
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
            EXPECT_EQ(
                error.Message(),
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

// Waits (bounded, without serving calls) until a worker waits for this thread to serve a call.
bool WaitForSyncCall()
{
    const DWORD start = GetTickCount();
    while (PendingSyncCallCount() == 0 && GetTickCount() - start < 3000)
        Sleep(2);
    return PendingSyncCallCount() > 0;
}

TEST(ThreadPoolTest, AWorkerRetiringUnderLoadLeavesNoWorkBehind)
{
    TTestPool pool(100);
    pool.IdleTimeout = 100;
    auto first = NewLog();
    pool.AddWorkItem(new TTestItem(first, 0));
    ASSERT_TRUE(PumpMessagesUntil([&] { return first->applied == 1; }, 3000));
    // The only worker times out and, on its way out, waits for this thread to take it off the
    // list. Work that comes meanwhile must still find a worker, busy processor or not.
    ASSERT_TRUE(WaitForSyncCall());
    ASSERT_EQ(pool.Count(), 1);
    std::vector<std::shared_ptr<TItemLog>> logs{NewLog(), NewLog()};
    for (const auto& log : logs)
        pool.AddWorkItem(new TTestItem(log, 0));
    EXPECT_TRUE(
        PumpMessagesUntil([&] { return logs[0]->applied == 1 && logs[1]->applied == 1; }, 3000));
    EXPECT_EQ(pool.QueueCount(), 0);

    // And later work, under load or not, keeps finding one.
    for (int cpu : {100, 0}) {
        pool.cpu = cpu;
        auto log = NewLog();
        EXPECT_NO_THROW(pool.AddWorkItem(new TTestItem(log, 0)));
        EXPECT_NO_THROW(pool.AddWorkItem(new TTestItem(NewLog(), 0)));
        EXPECT_TRUE(PumpMessagesUntil([&] { return log->applied == 1; }, 3000)) << cpu;
    }
}

TEST(ThreadPoolTest, AFreshPoolsFirstLoadReadingDoesNotHoldThreadsBack)
{
    // Nothing precedes the first sample: it cannot tell a busy processor from an idle one.
    TWorkerThreadPool pool(false);
    EXPECT_LT(pool.CpuUsage(), pool.CpuCeiling);
}

TEST(ThreadPoolTest, CancellingSeesAnItemThatAWorkerIsTaking)
{
    // Takes its time over taking an item.
    class TSlowTakingPool : public TTestPool {
    public:
        using TTestPool::TTestPool;
        std::atomic<bool> taking{false};

    protected:
        void WorkItemTaken(IWorkItem*) override
        {
            taking = true;
            Sleep(200);
        }
    };
    int owner = 0;
    TSlowTakingPool pool(0);
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0, &owner));
    const DWORD start = GetTickCount();
    while (!pool.taking && GetTickCount() - start < 3000)
        Sleep(1);
    ASSERT_TRUE(pool.taking);
    EXPECT_EQ(pool.CancelWorkItems(&owner, nullptr), 1);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.PendingCount() == 0; }, 3000));
    EXPECT_EQ(log->applied.load(), 0);
}

TEST(ThreadPoolTest, TerminateAllWithoutWaitKeepsThePendingCountTrue)
{
    int allDone = 0;
    TTestPool pool(0);
    pool.OnAllWorkDone = [&](TCustomThreadPool*) { ++allDone; };
    std::vector<std::shared_ptr<TItemLog>> running{NewLog(), NewLog()};
    for (const auto& log : running)
        pool.AddWorkItem(new TTestItem(log, 30000));
    ASSERT_EQ(pool.Count(), 2);
    for (const auto& log : running)
        ASSERT_TRUE(WaitStarted(*log));
    pool.AddWorkItem(new TTestItem(NewLog(), 0));  // still queued

    pool.TerminateAll(false);
    // The queued item is gone; the two aborted ones are still running.
    EXPECT_EQ(pool.QueueCount(), 0);
    EXPECT_EQ(pool.PendingCount(), 2);
    EXPECT_EQ(allDone, 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return pool.Count() == 0; }, 5000));
    EXPECT_EQ(pool.PendingCount(), 0);
    EXPECT_EQ(allDone, 1);
    for (const auto& log : running)
        EXPECT_EQ(log->applied.load(), 0);

    // The pool works on, and says so again when it is done.
    auto log = NewLog();
    pool.AddWorkItem(new TTestItem(log, 0));
    EXPECT_TRUE(PumpMessagesUntil([&] { return allDone == 2; }, 3000));
    EXPECT_EQ(log->applied.load(), 1);
    EXPECT_EQ(pool.PendingCount(), 0);
}

TEST(ThreadPoolTest, WorkAddedWhileThePoolTerminatesIsRefused)
{
    // Its completion handler queues more work, as an owner's handler might.
    class TAddingItem : public TTestItem {
    public:
        TAddingItem(TWorkerThreadPool& pool, std::shared_ptr<TItemLog> log,
                    std::shared_ptr<TItemLog> added)
            : TTestItem(std::move(log), 30000), pool_(pool), added_(std::move(added))
        {
        }
        void ApplyResult() override
        {
            TTestItem::ApplyResult();
            pool_.AddWorkItem(new TTestItem(added_, 0));
        }

    private:
        TWorkerThreadPool& pool_;
        std::shared_ptr<TItemLog> added_;
    };
    std::set<DWORD> finished;
    TTestPool pool(0);
    pool.OnThreadFinished = [&](TZelThread* thread) { finished.insert(thread->ThreadID()); };
    auto log = NewLog();
    auto added = NewLog();
    pool.AddWorkItem(new TAddingItem(pool, log, added));
    ASSERT_TRUE(WaitStarted(*log));
    const std::vector<DWORD> ids = pool.ThreadIds();

    pool.TerminateAll(true);
    EXPECT_EQ(log->handled.load(), 1);
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_EQ(pool.QueueCount(), 0);
    EXPECT_EQ(pool.PendingCount(), 0);
    // The added item never ran and is gone; no thread beyond the first was started.
    EXPECT_EQ(added->executed.load(), 0);
    EXPECT_EQ(added->destroyed.load(), 1);
    EXPECT_EQ(finished, std::set<DWORD>(ids.begin(), ids.end()));

    // Once terminated, the pool takes work again.
    auto later = NewLog();
    pool.AddWorkItem(new TTestItem(later, 0));
    EXPECT_TRUE(PumpMessagesUntil([&] { return later->applied == 1; }, 3000));
}

// Pool threads that all live in one slot of memory, so that a new thread gets the address of
// one that has just gone (as the allocator may well arrange for threads of one size).
class TSlotThread : public TZelThread {
public:
    static void* operator new(size_t size)
    {
        if (size > sizeof(slot) || inUse.exchange(true))
            throw std::bad_alloc();
        return slot;
    }
    static void operator delete(void*) noexcept { inUse = false; }

    alignas(16) static inline unsigned char slot[1024];
    static inline std::atomic<bool> inUse{false};

protected:
    void Execute() override
    {
        while (!CheckTerminated())
            WaitForSingleObject(TerminateEvent(), 100);
    }
};

TEST(ThreadPoolTest, ANewThreadAtTheAddressOfOneThatLeftIsNotTakenForIt)
{
    TCustomThreadPool pool;
    pool.HardTerminateWait = 300;
    std::atomic<bool> leaving{false};
    pool.OnThreadFinished = [&](TZelThread*) {
        if (leaving.exchange(true))
            return;
        // The other thread's call queues up behind this one.
        const DWORD start = GetTickCount();
        while (PendingSyncCallCount() == 0 && GetTickCount() - start < 3000)
            Sleep(1);
    };
    TSlotThread* first = new TSlotThread;
    pool.AddThread(first);
    // Served right after the first thread has left the pool: that thread frees itself, and a
    // new one takes its place in memory and in the pool.
    std::atomic<TSlotThread*> second{nullptr};
    std::thread other([&] {
        const DWORD start = GetTickCount();
        while (!leaving && GetTickCount() - start < 3000)
            Sleep(1);
        Synchronize([&] {
            const DWORD freed = GetTickCount();
            while (TSlotThread::inUse && GetTickCount() - freed < 3000)
                Sleep(1);
            try {
                TSlotThread* thread = new TSlotThread;
                pool.AddThread(thread);
                second = thread;
            } catch (...) {
            }
        });
    });
    pool.StopThread(first);
    other.join();
    ASSERT_NE(second.load(), nullptr);
    // The new thread was neither stopped nor killed in the first one's place.
    EXPECT_EQ(pool.Count(), 1);
    ASSERT_TRUE(TSlotThread::inUse);
    EXPECT_TRUE(pool.Contains(second));
    EXPECT_FALSE(second.load()->Terminated());
    EXPECT_FALSE(second.load()->Exited());
}

// Whether some thread can lock the heap within `milliseconds`; a thread that cannot is left
// waiting.
bool HeapLockableWithin(HANDLE heap, DWORD milliseconds)
{
    struct TProbe {
        static DWORD WINAPI Run(void* heap)
        {
            HeapLock(heap);
            HeapUnlock(heap);
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, &TProbe::Run, heap, 0, nullptr);
    if (thread == nullptr)
        return false;
    const bool locked = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return locked;
}

TEST(ThreadPoolTest, AStubbornWorkerIsNotKilledWhileItHoldsAHeapLock)
{
    // Holds a heap's lock for a while and ignores every request to end, before and after.
    class THeapHoldingItem : public TBasicWorkItem {
    public:
        THeapHoldingItem(HANDLE heap, std::shared_ptr<TItemLog> log)
            : heap_(heap), log_(std::move(log))
        {
        }
        ~THeapHoldingItem() override { ++log_->destroyed; }
        void Execute() override
        {
            HeapLock(heap_);
            log_->started = true;
            Sleep(600);
            HeapUnlock(heap_);
            ++log_->executed;
            for (;;)
                Sleep(10);
        }

    private:
        HANDLE heap_;
        std::shared_ptr<TItemLog> log_;
    };
    // A heap of the test's own: one left locked by a dead thread stops only this test.
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    auto log = NewLog();
    {
        TTestPool pool(0);
        pool.HardTerminateWait = 200;
        pool.AddWorkItem(new THeapHoldingItem(heap, log));
        ASSERT_TRUE(WaitStarted(*log));
        pool.TerminateAll(true);
        EXPECT_EQ(pool.Count(), 0);
        EXPECT_EQ(pool.PendingCount(), 0);
    }
    // Killed only once it had let go of the lock; its item went with it.
    EXPECT_EQ(log->executed.load(), 1);
    EXPECT_EQ(log->destroyed.load(), 1);
    const bool heapFree = HeapLockableWithin(heap, 2000);
    EXPECT_TRUE(heapFree);
    if (heapFree)
        HeapDestroy(heap);
}

}  // namespace

namespace {

class TFailingHandlerItem : public TTestItem {
public:
    using TTestItem::TTestItem;
    void ApplyResult() override
    {
        TTestItem::ApplyResult();
        throw std::runtime_error("completion handler failed");
    }
};

}  // namespace

TEST(ThreadPoolTest, FailingHandlersAreReportedOnTheGuiThreadAndTheWorkerGoesOn)
{
    std::vector<DWORD> reportedOn;
    SetCallbackExceptionHandler([&](TObject*) { reportedOn.push_back(GetCurrentThreadId()); });
    {
        TTestPool pool(0);
        int allDone = 0;
        pool.OnAllWorkDone = [&](TCustomThreadPool*) {
            ++allDone;
            throw std::runtime_error("all-work-done handler failed");
        };
        auto log = NewLog();
        pool.AddWorkItem(new TFailingHandlerItem(log, 0));
        ASSERT_TRUE(PumpMessagesUntil([&] { return allDone == 1; }, 3000));
        // Work goes on after both failures.
        pool.AddWorkItem(new TTestItem(log, 0));
        ASSERT_TRUE(PumpMessagesUntil([&] { return allDone == 2; }, 3000));
        EXPECT_EQ(log->applied.load(), 2);
    }
    SetCallbackExceptionHandler(nullptr);
    ASSERT_EQ(reportedOn.size(), 3u);
    for (DWORD thread : reportedOn)
        EXPECT_EQ(thread, GetCurrentThreadId());
}
