#include "threadpool/ThreadPool.h"

#include "core/Assertion.h"
#include "core/CallbackException.h"
#include "core/Exception.h"
#include "core/TextConversion.h"
#include "threadpool/ThreadKill.h"
#include "threadpool/WicThumbnail.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

TWorkerThreadPool* WorkerPool = nullptr;

namespace {

const DWORD kThreadStartInterval = 200;
const DWORD kCpuSampleInterval = 200;
const DWORD kIdleWakeInterval = 500;
const DWORD kStopPollInterval = 5;
// How long a thread that is to be killed may take to let go of a heap lock.
const DWORD kHeapLockPatience = 2000;

int threadPoolStartups = 0;

// The program's handlers run on the GUI thread for the pool. What they raise is reported there
// like any handler's failure: it must neither travel back into a worker, where nobody would
// see it, nor end the worker's loop, nor reach whoever happened to cancel work.
template <class Handler>
void RunHandler(const Handler& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        HandleCallbackException();
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TZelThread

TZelThread::TZelThread() : terminateEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    SetFreeOnTerminate(true);
}

void TZelThread::SetPaused(bool paused)
{
    paused_ = paused;
}

bool TZelThread::CheckTerminated()
{
    while (paused_ && !Terminated())
        Sleep(100);
    return Terminated();
}

void TZelThread::TerminatedSet()
{
    if (terminateEvent_)
        SetEvent(terminateEvent_.get());
}

void TZelThread::DoTerminate()
{
    finished_ = true;
    try {
        TThread::DoTerminate();
    } catch (...) {
        // The pool must still learn that this thread ends.
    }
    if (pool_ != nullptr)
        ThreadTerminated();
}

void TZelThread::ThreadTerminated()
{
    TCustomThreadPool* pool = pool_;
    Synchronize([pool, this] { pool->ThreadTerminated(this); });
}

// ---------------------------------------------------------------------------------------------
// TCustomThreadPool

TCustomThreadPool::TCustomThreadPool() : MaxRunningThreads(ProcessorCount() * 3 + 2) {}

TCustomThreadPool::~TCustomThreadPool()
{
    TCustomThreadPool::TerminateAll(true);
}

int TCustomThreadPool::Count() const
{
    TCriticalSectionLock guard(lock_);
    return static_cast<int>(threads_.size());
}

std::vector<DWORD> TCustomThreadPool::ThreadIds() const
{
    TCriticalSectionLock guard(lock_);
    std::vector<DWORD> ids;
    for (const TZelThread* thread : threads_)
        ids.push_back(thread->ThreadID());
    return ids;
}

bool TCustomThreadPool::Contains(const TZelThread* thread) const
{
    TCriticalSectionLock guard(lock_);
    return InList(thread);
}

bool TCustomThreadPool::InList(const TZelThread* thread) const
{
    return std::find(threads_.begin(), threads_.end(), thread) != threads_.end();
}

TZelThread* TCustomThreadPool::FindThread(uint64_t serial) const
{
    for (TZelThread* thread : threads_)
        if (thread->serial_ == serial)
            return thread;
    return nullptr;
}

void TCustomThreadPool::AddThread(TZelThread* thread)
{
    TCriticalSectionLock guard(lock_);
    if (InList(thread))
        AssertionFailed(L"A thread was added a second time to the thread pool", L"ThreadPool", 746);
    thread->serial_ = ++lastSerial_;
    threads_.push_back(thread);
    ThreadAdded(thread);
}

void TCustomThreadPool::ThreadAdded(TZelThread* thread)
{
    thread->pool_ = this;
    thread->SetPriority(ThreadPriority);
}

void TCustomThreadPool::AskToTerminate(TZelThread* thread)
{
    thread->Terminate();
    thread->Start();
}

void TCustomThreadPool::ThreadTerminated(TZelThread* thread)
{
    lastTerminatedThreadId_ = thread->ThreadID();
    // Whatever the event did, the thread must leave: it frees itself right after this.
    RunHandler([this, thread] {
        if (OnThreadFinished)
            OnThreadFinished(thread);
    });
    RemoveThread(thread);
}

void TCustomThreadPool::RemoveThread(TZelThread* thread)
{
    if (!thread->Finished()) {
        StopThread(thread);
        return;
    }
    bool emptied = false;
    {
        TCriticalSectionLock guard(lock_);
        auto found = std::find(threads_.begin(), threads_.end(), thread);
        if (found == threads_.end())
            return;
        threads_.erase(found);
        emptied = threads_.empty();
    }
    if (emptied)
        AllThreadsLeft();
}

void TCustomThreadPool::AllThreadsLeft()
{
    if (OnAllThreadsFinished)
        Synchronize([this] {
            RunHandler([this] {
                if (OnAllThreadsFinished)
                    OnAllThreadsFinished(this);
            });
        });
    terminating_ = false;
}

void TCustomThreadPool::StopThread(TZelThread* thread)
{
    uint64_t serial = 0;
    {
        TCriticalSectionLock guard(lock_);
        if (InList(thread))
            serial = thread->serial_;
    }
    terminating_ = true;
    if (serial != 0)
        StopThreadWithSerial(serial);
}

// By serial rather than address: once the thread has left and freed itself, a new thread may
// come into the pool at its address.
void TCustomThreadPool::StopThreadWithSerial(uint64_t serial)
{
    terminating_ = true;
    {
        TCriticalSectionLock guard(lock_);
        TZelThread* thread = FindThread(serial);
        if (thread == nullptr)
            return;
        if (!thread->Finished()) {
            thread->Terminate();
            thread->Start();
        }
    }
    // The thread leaves the pool through a synchronised call: the GUI thread serves those
    // while it waits. A finished thread leaves at the first call served.
    const auto inPool = [this, serial] {
        TCriticalSectionLock guard(lock_);
        return FindThread(serial) != nullptr;
    };
    const bool onGuiThread = IsMainThread();
    const DWORD start = GetTickCount();
    while (inPool() && GetTickCount() - start < HardTerminateWait) {
        if (onGuiThread)
            CheckSynchronize(kStopPollInterval);
        else
            Sleep(kStopPollInterval);
    }
    TZelThread* killed = nullptr;
    bool emptied = false;
    {
        TCriticalSectionLock guard(lock_);
        killed = FindThread(serial);
        if (killed == nullptr)
            return;
        KillOutsideHeapLocks(*killed, 0, kHeapLockPatience);
        threads_.erase(std::find(threads_.begin(), threads_.end(), killed));
        emptied = threads_.empty();
    }
    ThreadKilled(killed);
    delete killed;
    if (emptied)
        AllThreadsLeft();
}

void TCustomThreadPool::TerminateAll(bool wait)
{
    if (Count() == 0)
        return;
    terminating_ = true;
    {
        TCriticalSectionLock guard(lock_);
        for (auto thread = threads_.rbegin(); thread != threads_.rend(); ++thread)
            AskToTerminate(*thread);
    }
    if (wait)
        WaitForThreads();
}

void TCustomThreadPool::WaitForThreads()
{
    Sleep(10);
    CheckSynchronize();
    // Until the list is empty rather than until every thread has finished: a finished thread
    // still calls back into the pool as it leaves, so the pool must outlive that call.
    for (;;) {
        uint64_t first = 0;
        {
            TCriticalSectionLock guard(lock_);
            if (threads_.empty())
                break;
            first = threads_.front()->serial_;
        }
        StopThreadWithSerial(first);
    }
    Sleep(1);
    CheckSynchronize();
}

// ---------------------------------------------------------------------------------------------
// TWorkerThread

TWorkerThread::TWorkerThread(bool initializeCom) : initializeCom_(initializeCom) {}

TWorkerThread::~TWorkerThread() = default;

void TWorkerThread::SetPaused(bool paused)
{
    TZelThread::SetPaused(paused);
    if (TCustomThreadPool* pool = Pool()) {
        TCriticalSectionLock guard(static_cast<TWorkerThreadPool*>(pool)->lock_);
        if (currentItem_)
            currentItem_->SetPaused(paused);
    }
}

void TWorkerThread::Execute()
{
    if (CheckTerminated())
        return;
    std::optional<TComInitScope> com;
    if (initializeCom_) {
        com.emplace(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (!com->Succeeded())
            return;
    }
    // After COM: it lets go of what it keeps before COM ends.
    const TWicThreadCache wicCache;
    auto* pool = static_cast<TWorkerThreadPool*>(Pool());
    while (!CheckTerminated()) {
        if (!pool->TakeNextItem(this))
            continue;
        // Held by currentItem_ alone, which only this thread clears: should the thread be
        // killed, the pool still lets go of the item.
        IWorkItem* item = currentItem_.Get();
        try {
            item->Execute();
            if (TWorkItemHandler handler = item->GetCompletionHandler())
                Synchronize([&handler] { RunHandler(handler); });
        } catch (...) {
            // A failing item costs its result, not the worker.
        }
        pool->WorkItemFinished(this);
    }
}

// ---------------------------------------------------------------------------------------------
// TWorkerThreadPool

TWorkerThreadPool::TWorkerThreadPool(bool initializeCom)
    : initializeCom_(initializeCom), workEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (!workEvent_)
        throw Exception(SystemErrorMessage(GetLastError()));
}

TWorkerThreadPool::~TWorkerThreadPool()
{
    TerminateAll(true);
    closing_ = true;
}

void TWorkerThreadPool::AddWorkItem(IWorkItem* item)
{
    TComPtr<IWorkItem> held(item);
    if (!held || cancelling_ > 0 || closing_)
        return;
    if (Count() == 0 && queue_.Count() > 1)
        AssertionFailed(L"The work item queue of the TWorkerThreadPool should be empty now, nut "
                        L"the number of elements were: " +
                            std::to_wstring(queue_.Count()),
                        L"ThreadPool", 890);
    ++pendingCount_;
    queue_.Add(std::move(held));
    SetEvent(workEvent_.get());
    ConsiderNewThread();
}

int TWorkerThreadPool::CpuUsage()
{
    TCriticalSectionLock guard(lock_);
    const DWORD now = GetTickCount();
    if (!cpuSampled_ || now - lastCpuSample_ > kCpuSampleInterval) {
        cpuUsage_ = ReadCpuUsage();
        lastCpuSample_ = now;
        cpuSampled_ = true;
    }
    return cpuUsage_;
}

int TWorkerThreadPool::ReadCpuUsage()
{
    const long usage = std::lround(cpuSampler_.Sample());
    return usage < 0 ? 0 : static_cast<int>(usage);
}

void TWorkerThreadPool::ConsiderNewThread()
{
    TCriticalSectionLock guard(lock_);
    if (closing_ || queue_.Count() == 0)
        return;
    // Threads asked to end, or retiring after their idle time, take no more work: they do not
    // count, or work that comes as they leave would wait for a thread that never starts.
    const int count = static_cast<int>(
        std::count_if(threads_.begin(), threads_.end(),
                      [](const TZelThread* thread) { return !thread->Terminated(); }));
    const DWORD now = GetTickCount();
    const bool intervalPassed = !startedOnce_ || now - lastThreadStart_ >= kThreadStartInterval;
    if (count >= MaxRunningThreads || !(intervalPassed || count <= MinThreads))
        return;
    if (count < MinThreads || CpuUsage() < CpuCeiling) {
        TWorkerThread* thread = nullptr;
        try {
            thread = new TWorkerThread(initializeCom_);
        } catch (...) {
            // No thread now; the queue waits for the next chance.
        }
        if (thread != nullptr)
            AddThread(thread);
    }
    lastThreadStart_ = now;
    startedOnce_ = true;
}

void TWorkerThreadPool::ThreadAdded(TZelThread* thread)
{
    TCustomThreadPool::ThreadAdded(thread);
    thread->Start();
}

void TWorkerThreadPool::RemoveThread(TZelThread* thread)
{
    TCustomThreadPool::RemoveThread(thread);
    if (queue_.Count() > 0)
        ConsiderNewThread();
}

void TWorkerThreadPool::AllThreadsLeft()
{
    // The end of a termination that did not wait for the threads.
    if (waitingTerminations_ == 0)
        closing_ = false;
    TCustomThreadPool::AllThreadsLeft();
}

void TWorkerThreadPool::ThreadKilled(TZelThread* thread)
{
    auto* worker = dynamic_cast<TWorkerThread*>(thread);
    if (worker == nullptr)
        return;
    // The item it held stays pending until released here; its execute was cut short.
    TComPtr<IWorkItem> item;
    {
        TCriticalSectionLock guard(lock_);
        item.Swap(worker->currentItem_);
    }
    if (!item)
        return;
    item.Reset();
    if (--pendingCount_ == 0)
        FireAllWorkDone();
}

void TWorkerThreadPool::AskToTerminate(TZelThread* thread)
{
    thread->Terminate();
    if (auto* worker = dynamic_cast<TWorkerThread*>(thread))
        if (worker->currentItem_)
            worker->currentItem_->Abort();
    thread->Start();
}

TComPtr<IWorkItem> TWorkerThreadPool::TakeItem()
{
    return TakeNewestFirst ? queue_.TakeLast() : queue_.TakeFirst();
}

bool TWorkerThreadPool::TakeNextItem(TWorkerThread* thread)
{
    if (thread->CheckTerminated())
        return false;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD now = GetTickCount();
        const bool idleTooLong = now < start || now - start > IdleTimeout;
        {
            // Taking and marking as current in one step under the lock, as cancelling looks
            // at the queue and then, under the lock, at the current items.
            TCriticalSectionLock guard(lock_);
            if (TComPtr<IWorkItem> item = TakeItem()) {
                thread->currentItem_.Swap(item);
                WorkItemTaken(thread->currentItem_.Get());
                break;
            }
            if (idleTooLong) {
                // Retiring under the lock, after a last look at the queue: from here on the
                // thread does not count, so whatever comes next starts another.
                thread->Terminate();
                return false;
            }
        }
        HANDLE handles[] = {workEvent_.get(), thread->TerminateEvent()};
        WaitForMultipleObjects(2, handles, FALSE, kIdleWakeInterval);
        if (thread->CheckTerminated())
            return false;
    }
    // More work may be waiting behind this item.
    ConsiderNewThread();
    return true;
}

void TWorkerThreadPool::WorkItemFinished(TWorkerThread* thread)
{
    TComPtr<IWorkItem> finished;
    LONG left = 0;
    {
        // Cleared and counted together: a thread killed in between would leave the count
        // wrong for ever.
        TCriticalSectionLock guard(lock_);
        finished.Swap(thread->currentItem_);
        left = --pendingCount_;
    }
    finished.Reset();  // outside the lock: an item's destructor may reach the pool
    if (left == 0)
        FireAllWorkDone();
}

void TWorkerThreadPool::FireAllWorkDone()
{
    if (OnAllWorkDone)
        Synchronize([this] {
            RunHandler([this] {
                if (OnAllWorkDone)
                    OnAllWorkDone(this);
            });
        });
}

int TWorkerThreadPool::CancelWorkItems(TWorkItemOwner owner, const std::type_info* itemClass)
{
    struct TCancellingScope {
        std::atomic<int>& flag;
        explicit TCancellingScope(std::atomic<int>& f) : flag(f) { ++flag; }
        ~TCancellingScope() { --flag; }
    } cancelling(cancelling_);

    const int removed = owner == nullptr && itemClass == nullptr
                            ? queue_.Clear()
                            : queue_.RemoveMatching(owner, itemClass);
    if (removed > 0 && (pendingCount_ -= removed) == 0)
        FireAllWorkDone();
    int aborted = 0;
    TCriticalSectionLock guard(lock_);
    for (auto thread = threads_.rbegin(); thread != threads_.rend(); ++thread) {
        auto* worker = dynamic_cast<TWorkerThread*>(*thread);
        if (worker != nullptr && WorkItemMatches(worker->currentItem_.Get(), owner, itemClass)) {
            worker->currentItem_->Abort();
            ++aborted;
        }
        (*thread)->Start();
    }
    return removed + aborted;
}

void TWorkerThreadPool::TerminateAll(bool wait)
{
    // No new work from here (a completion handler run while this waits may try to add some):
    // it would start threads that nobody asked to end. Open again once every thread has gone:
    // here when waiting (or when there was none), otherwise as the last one leaves.
    struct TClosingScope {
        TWorkerThreadPool& pool;
        bool wait;
        TClosingScope(TWorkerThreadPool& p, bool w) : pool(p), wait(w)
        {
            pool.closing_ = true;
            pool.waitingTerminations_ += wait ? 1 : 0;
        }
        ~TClosingScope()
        {
            pool.waitingTerminations_ -= wait ? 1 : 0;
            if (pool.waitingTerminations_ == 0 && pool.Count() == 0)
                pool.closing_ = false;
        }
    } closing(*this, wait);

    CancelWorkItems(nullptr, nullptr);
    TCustomThreadPool::TerminateAll(wait);
    // The running items that were aborted stay pending until their workers let go of them.
    const int cleared = queue_.Clear();
    if (cleared > 0 && (pendingCount_ -= cleared) == 0)
        FireAllWorkDone();
}

// ---------------------------------------------------------------------------------------------
// The process-wide pool

void ThreadPoolStartup()
{
    if (threadPoolStartups++ > 0)
        return;
    SyncCallStartup();
    WorkerPool = new TWorkerThreadPool(true);
}

void ThreadPoolShutdown()
{
    if (threadPoolStartups == 0 || --threadPoolStartups > 0)
        return;
    delete WorkerPool;
    WorkerPool = nullptr;
    SyncCallShutdown();
}
