#include "threadpool/ThreadKill.h"

#include "core/ScopedResource.h"

#include <atomic>
#include <memory>
#include <vector>

namespace {

// How long one heap's lock may take to come free before the thread is let run again.
const DWORD kProbeWait = 50;

// A thread that locks and unlocks one heap when asked, so that the killer learns, with a time
// limit, whether the heap's lock is free. Between requests it holds no lock; it may be left
// waiting for a lock that never comes free, and then holds nothing else either.
struct THeapProbe {
    TScopedHandle request{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    TScopedHandle done{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<HANDLE> heap{nullptr};
    std::atomic<bool> quit{false};
};

DWORD WINAPI RunHeapProbe(void* parameter)
{
    std::shared_ptr<THeapProbe> probe;
    {
        std::unique_ptr<std::shared_ptr<THeapProbe>> given(
            static_cast<std::shared_ptr<THeapProbe>*>(parameter));
        probe = *given;
    }
    while (WaitForSingleObject(probe->request.get(), INFINITE) == WAIT_OBJECT_0 && !probe->quit) {
        HANDLE heap = probe->heap;
        if (HeapLock(heap))
            HeapUnlock(heap);
        SetEvent(probe->done.get());
    }
    return 0;
}

std::vector<HANDLE> ProcessHeaps()
{
    std::vector<HANDLE> heaps(16);
    for (;;) {
        const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
        if (count <= heaps.size()) {
            heaps.resize(count);
            return heaps;
        }
        heaps.resize(count + 4);
    }
}

// With the thread suspended: whether every heap's lock can be had, that is, whether the
// thread holds none. Allocates nothing, since the thread may hold a heap's lock.
bool HeapLocksFree(THeapProbe& probe, const std::vector<HANDLE>& heaps)
{
    for (HANDLE heap : heaps) {
        probe.heap = heap;
        SetEvent(probe.request.get());
        if (WaitForSingleObject(probe.done.get(), kProbeWait) != WAIT_OBJECT_0)
            return false;
    }
    return true;
}

// Suspends the thread and waits until it has stopped (suspending only starts it).
bool Suspend(HANDLE thread)
{
    if (SuspendThread(thread) == static_cast<DWORD>(-1))
        return false;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    GetThreadContext(thread, &context);
    return true;
}

}  // namespace

void KillOutsideHeapLocks(TThread& thread, DWORD exitCode, DWORD patience)
{
    if (thread.Exited())
        return;
    const std::vector<HANDLE> heaps = ProcessHeaps();
    auto probe = std::make_shared<THeapProbe>();
    TScopedHandle probeThread;
    if (probe->request && probe->done) {
        auto* parameter = new std::shared_ptr<THeapProbe>(probe);
        probeThread.reset(CreateThread(nullptr, 0, &RunHeapProbe, parameter, 0, nullptr));
        if (!probeThread)
            delete parameter;
    }
    if (probeThread) {
        HANDLE handle = thread.Handle();
        const DWORD start = GetTickCount();
        bool probeWaiting = false;
        while (!probeWaiting && GetTickCount() - start < patience && Suspend(handle)) {
            if (HeapLocksFree(*probe, heaps)) {
                // Still suspended, so it cannot take a lock before it ends.
                TerminateThread(handle, exitCode);
                break;
            }
            ResumeThread(handle);
            // The probe waits for a lock that the thread, or another, holds: once it has had
            // it, try again.
            const DWORD spent = GetTickCount() - start;
            probeWaiting =
                spent >= patience ||
                WaitForSingleObject(probe->done.get(), patience - spent) != WAIT_OBJECT_0;
        }
        probe->quit = true;
        SetEvent(probe->request.get());
    }
    thread.Kill(exitCode);
}
