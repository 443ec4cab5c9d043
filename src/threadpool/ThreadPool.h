#pragma once
// The worker pool: threads that run work items. Controls hand an item to the process-wide pool
// and forget it; a worker runs it and, when it has a completion handler, runs that on the GUI
// thread while it waits. The pool grows on demand (at most one new thread per 200 ms once more
// than one runs, none while the CPU is busy, up to three per processor plus two), and idle
// workers end after a timeout. Everything that runs on the GUI thread for a worker goes through
// the synchronised call; GUI-thread code that waits for workers keeps serving those calls.
#include "core/ComPtr.h"
#include "core/CriticalSection.h"
#include "core/ScopedResource.h"
#include "core/Thread.h"
#include "threadpool/SystemLoad.h"
#include "threadpool/WorkItemsQueue.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <typeinfo>
#include <vector>

class TCustomThreadPool;
class TWorkerThreadPool;

// A pool thread: created suspended, started when added to a pool, frees itself when it ends,
// and leaves its pool from the GUI thread as it ends.
class TZelThread : public TThread {
public:
    TZelThread();

    // Set once the thread has begun to end.
    bool Finished() const noexcept { return finished_; }
    bool Paused() const noexcept { return paused_; }
    virtual void SetPaused(bool paused);
    // Given when the thread joins a pool and never given again: unlike the object's address
    // or the system's thread id, it names this thread only.
    uint64_t Serial() const noexcept { return serial_; }
    // While paused and not asked to end, sleeps 100 ms at a time; then answers Terminated.
    bool CheckTerminated();
    TCustomThreadPool* Pool() const noexcept { return pool_; }
    // Signalled when the thread is asked to end, so that its waits return at once.
    HANDLE TerminateEvent() const noexcept { return terminateEvent_.get(); }

protected:
    void DoTerminate() override;
    void TerminatedSet() override;
    // Tells the pool, on the GUI thread, that this thread ends.
    virtual void ThreadTerminated();

private:
    friend class TCustomThreadPool;

    std::atomic<bool> finished_{false};
    std::atomic<bool> paused_{false};
    TCustomThreadPool* pool_ = nullptr;
    uint64_t serial_ = 0;
    TScopedHandle terminateEvent_;
};

class TCustomThreadPool {
public:
    using TThreadEvent = std::function<void(TZelThread* thread)>;
    using TPoolEvent = std::function<void(TCustomThreadPool* pool)>;

    TCustomThreadPool();
    virtual ~TCustomThreadPool();
    TCustomThreadPool(const TCustomThreadPool&) = delete;
    TCustomThreadPool& operator=(const TCustomThreadPool&) = delete;

    int Count() const;
    // Ids of the threads in the pool, in list order.
    std::vector<DWORD> ThreadIds() const;
    // Whether this thread, alive, is in the pool.
    bool Contains(const TZelThread* thread) const;
    bool Terminating() const noexcept { return terminating_; }
    // Id of the thread that left the pool last; 0 before any did.
    DWORD LastTerminatedThreadId() const noexcept { return lastTerminatedThreadId_; }

    // Takes a suspended thread into the pool; adding one twice is an assertion failure.
    virtual void AddThread(TZelThread* thread);
    // A finished thread leaves the list; an unfinished one is stopped.
    virtual void RemoveThread(TZelThread* thread);
    // Asks every thread to end; with `wait`, returns only when every thread has left the pool,
    // killing those that do not end within HardTerminateWait.
    virtual void TerminateAll(bool wait);
    // Asks the thread (alive and in the pool) to end and waits until it has left the pool, at
    // most HardTerminateWait; then kills it, removes it and frees it.
    void StopThread(TZelThread* thread);

    // Optional events, run on the GUI thread.
    TThreadEvent OnThreadFinished;
    TPoolEvent OnAllThreadsFinished;

    int MaxRunningThreads;
    bool Paused = false;
    TThreadPriority ThreadPriority = tpNormal;
    // Milliseconds a thread is given to end before it is killed.
    DWORD HardTerminateWait = 3000;

protected:
    // A thread came into the list (under the lock): it learns its pool and priority.
    virtual void ThreadAdded(TZelThread* thread);
    // How TerminateAll asks one thread to end (under the lock).
    virtual void AskToTerminate(TZelThread* thread);
    // GUI thread, from the thread's own termination.
    void ThreadTerminated(TZelThread* thread);
    void WaitForThreads();
    bool InList(const TZelThread* thread) const;
    // The thread in the list with this serial; null when it has left. Under the lock.
    TZelThread* FindThread(uint64_t serial) const;
    // The list has become empty.
    virtual void AllThreadsLeft();
    // A thread that would not end was killed and has left the list; it is freed next.
    virtual void ThreadKilled(TZelThread* /*thread*/) {}

    mutable TCriticalSection lock_;
    // Every thread in the list is alive: a thread leaves the list before it frees itself.
    std::vector<TZelThread*> threads_;
    std::atomic<bool> terminating_{false};

private:
    friend class TZelThread;

    void StopThreadWithSerial(uint64_t serial);

    uint64_t lastSerial_ = 0;
    std::atomic<DWORD> lastTerminatedThreadId_{0};
};

// A worker: takes items from its pool's queue and runs them, COM initialised
// apartment-threaded when the pool asks for it.
class TWorkerThread : public TZelThread {
public:
    explicit TWorkerThread(bool initializeCom);
    ~TWorkerThread() override;

    // Pauses the thread and the item it runs.
    void SetPaused(bool paused) override;

protected:
    void Execute() override;

private:
    friend class TWorkerThreadPool;

    bool initializeCom_;
    // Set and cleared by the thread itself under the pool's lock: taking an item and making it
    // current is one step, so that cancelling always finds it either queued or here.
    TComPtr<IWorkItem> currentItem_;
};

class TWorkerThreadPool : public TCustomThreadPool {
public:
    explicit TWorkerThreadPool(bool initializeCom);
    ~TWorkerThreadPool() override;

    // Queues an item (the pool takes a reference; callers may pass a new item and forget it)
    // and considers starting a thread. An item added while the pool cancels, or while it
    // terminates all its threads, is dropped.
    void AddWorkItem(IWorkItem* item);
    // Removes matching queued items and aborts matching running ones; a null owner or class
    // matches any, so (nullptr, nullptr) cancels everything. Returns removed + aborted.
    virtual int CancelWorkItems(TWorkItemOwner owner, const std::type_info* itemClass);
    template <class TItem>
    int CancelWorkItemsOf(TWorkItemOwner owner = nullptr)
    {
        return CancelWorkItems(owner, &typeid(TItem));
    }
    void TerminateAll(bool wait) override;

    // Items added and not yet finished or cancelled: queued ones and those that workers hold.
    int PendingCount() const noexcept { return pendingCount_; }
    int QueueCount() const { return queue_.Count(); }
    // The machine's CPU load in percent (0 when unknown), sampled at most every 200 ms.
    int CpuUsage();

    // Optional, run on the GUI thread whenever the pending count drops to 0.
    TPoolEvent OnAllWorkDone;

    int MinThreads = 1;
    // False: items run in the order they came; true: the newest first.
    bool TakeNewestFirst = false;
    // Milliseconds an idle worker waits for work before it ends.
    std::atomic<DWORD> IdleTimeout{60000};
    // No thread beyond the minimum starts while the CPU load is at or above this percentage.
    int CpuCeiling = 80;

protected:
    // One fresh reading of the CPU load in percent, 0 when unknown.
    virtual int ReadCpuUsage();
    void RemoveThread(TZelThread* thread) override;
    void ThreadAdded(TZelThread* thread) override;
    void AskToTerminate(TZelThread* thread) override;
    void AllThreadsLeft() override;
    void ThreadKilled(TZelThread* thread) override;
    // Runs on a worker under the pool's lock as it has taken an item; tests widen that moment
    // with it.
    virtual void WorkItemTaken(IWorkItem* /*item*/) {}

private:
    friend class TWorkerThread;

    void ConsiderNewThread();
    TComPtr<IWorkItem> TakeItem();
    // Worker side: makes the next item the thread's current one; false when the thread is to
    // end (asked to, or idle for too long).
    bool TakeNextItem(TWorkerThread* thread);
    // Worker side: the current item is done.
    void WorkItemFinished(TWorkerThread* thread);
    void FireAllWorkDone();

    TWorkItemsQueue queue_;
    std::atomic<int> cancelling_{0};
    // Set while all threads are made to end: no work is taken and no thread starts.
    std::atomic<bool> closing_{false};
    int waitingTerminations_ = 0;
    std::atomic<LONG> pendingCount_{0};
    DWORD lastThreadStart_ = 0;
    bool startedOnce_ = false;
    bool initializeCom_;
    TScopedHandle workEvent_;
    TCpuUsageSampler cpuSampler_;
    int cpuUsage_ = 0;
    DWORD lastCpuSample_ = 0;
    bool cpuSampled_ = false;
};

// The process-wide pool, created at start-up (with COM for its threads) before any control and
// freed at the end; null outside that span. Both calls nest and belong on the GUI thread; they
// also start and end the synchronised calls.
extern TWorkerThreadPool* WorkerPool;
void ThreadPoolStartup();
void ThreadPoolShutdown();
