#pragma once
// The platform thread: created suspended and started with Start, asked to end with Terminate
// (it checks Terminated), optionally freeing itself when its Execute returns. DoTerminate runs
// on the thread after Execute; OnTerminate runs from it on the GUI thread.
#include "core/SyncCall.h"

#include <windows.h>

#include <atomic>
#include <functional>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread {
public:
    // Throws Exception when the system cannot create the thread.
    TThread();
    // Asks a running thread to end and waits for it (serving synchronised calls on the GUI
    // thread). A thread that frees itself is freed only by its own exit, or by whoever killed it.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Lets the suspended thread run; later calls do nothing.
    void Start();
    void Terminate() noexcept;
    bool Terminated() const noexcept { return terminated_; }
    bool Suspended() const noexcept { return suspended_; }
    // True once the thread function has returned (or the thread was killed).
    bool Exited() const noexcept { return exited_; }

    HANDLE Handle() const noexcept { return handle_; }
    DWORD ThreadID() const noexcept { return threadId_; }
    TThreadPriority Priority() const noexcept { return priority_; }
    void SetPriority(TThreadPriority priority);

    // Set before Start: the object deletes itself when the thread ends.
    void SetFreeOnTerminate(bool value) noexcept { freeOnTerminate_ = value; }
    bool FreeOnTerminate() const noexcept { return freeOnTerminate_; }

    // Waits until the thread has ended; on the GUI thread pending synchronised calls keep
    // running meanwhile. Returns the thread's exit code.
    DWORD WaitFor();

    // Ends the thread at once (TerminateThread) for one that ignores Terminate, and drops the
    // synchronised calls it left pending. The caller then frees the object.
    void Kill(DWORD exitCode);

    std::function<void(TThread* sender)> OnTerminate;

protected:
    virtual void Execute() = 0;
    // Runs on the thread after Execute, also when Execute raised.
    virtual void DoTerminate();
    // Called on the terminating thread's side after the terminated flag is set.
    virtual void TerminatedSet() {}

    DWORD ReturnValue = 0;

private:
    static unsigned __stdcall ThreadProc(void* parameter);

    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
    TThreadPriority priority_ = tpNormal;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{true};
    std::atomic<bool> exited_{false};
    std::atomic<bool> freeOnTerminate_{false};
};
