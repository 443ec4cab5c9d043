#include "core/Thread.h"

#include "core/Exception.h"
#include "core/TextConversion.h"

#include <process.h>

namespace {

int SystemPriority(TThreadPriority priority)
{
    static const int values[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                 THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                 THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                 THREAD_PRIORITY_TIME_CRITICAL};
    return values[priority];
}

}  // namespace

TThread::TThread()
{
    unsigned id = 0;
    // _beginthreadex rather than CreateThread: the C runtime sets up its per-thread data.
    handle_ = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id));
    if (handle_ == nullptr)
        throw Exception(SystemErrorMessage(GetLastError()));
    threadId_ = id;
}

TThread::~TThread()
{
    if (handle_ == nullptr)
        return;
    if (!exited_ && GetCurrentThreadId() != threadId_) {
        // Destroyed from outside: this object frees it, so the thread must not free itself.
        freeOnTerminate_ = false;
        Terminate();
        Start();
        WaitFor();
    }
    CloseHandle(handle_);
}

void TThread::Start()
{
    if (suspended_.exchange(false))
        ResumeThread(handle_);
}

void TThread::Terminate() noexcept
{
    terminated_ = true;
    TerminatedSet();
}

void TThread::SetPriority(TThreadPriority priority)
{
    priority_ = priority;
    SetThreadPriority(handle_, SystemPriority(priority));
}

DWORD TThread::WaitFor()
{
    if (IsMainThread()) {
        HANDLE handles[] = {handle_, SyncEvent()};
        while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0)
            CheckSynchronize();
        CheckSynchronize();
    } else {
        WaitForSingleObject(handle_, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeThread(handle_, &code);
    return code;
}

void TThread::Kill(DWORD exitCode)
{
    if (exited_)
        return;
    TerminateThread(handle_, exitCode);
    // TerminateThread only starts the termination.
    WaitForSingleObject(handle_, 1000);
    exited_ = true;
    RemoveQueuedSyncCalls(threadId_);
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

unsigned __stdcall TThread::ThreadProc(void* parameter)
{
    TThread* thread = static_cast<TThread*>(parameter);
    if (!thread->Terminated()) {
        try {
            thread->Execute();
        } catch (...) {
            // Nothing to hand an escaped exception to: the thread ends as it would normally.
        }
    }
    const DWORD result = thread->ReturnValue;
    try {
        thread->DoTerminate();
    } catch (...) {
    }
    const bool freeThread = thread->freeOnTerminate_;
    thread->exited_ = true;
    if (freeThread)
        delete thread;
    return result;
}
