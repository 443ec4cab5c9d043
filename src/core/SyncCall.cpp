#include "core/SyncCall.h"

#include "core/CallbackException.h"
#include "core/CriticalSection.h"
#include "core/Exception.h"
#include "core/MessageWindow.h"
#include "core/ScopedResource.h"
#include "core/TextConversion.h"

#include <atomic>
#include <deque>
#include <exception>
#include <memory>

namespace {

const UINT kSyncMessage = WM_APP + 0x5C1;
const UINT kQueuedMessage = WM_APP + 0x5C2;

struct TSyncRecord {
    TThreadMethod method;
    DWORD threadId = 0;
    TScopedHandle done;
    std::exception_ptr error;
};

// Shared between threads: the queue under its lock, the event, the window. The records are
// shared so that a record stays valid for the GUI thread even when its worker was killed.
struct TSyncState {
    TCriticalSection lock;
    std::deque<std::shared_ptr<TSyncRecord>> pending;
    std::deque<TThreadMethod> queued;
    TScopedHandle event{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::unique_ptr<TMessageWindow> window;   // GUI thread only
    std::atomic<HWND> windowHandle{nullptr};  // what workers post their wake-up to
    int startups = 0;
};

TSyncState& State()
{
    static TSyncState state;
    return state;
}

std::atomic<DWORD> mainThreadId{GetCurrentThreadId()};

// The wake-up message runs the pending calls. Each call's own exception goes back to its
// worker; nothing else may cross into the system's dispatch, and there is nobody here to
// report it to.
void RunQueuedCalls();

bool HandleSyncMessage(UINT message, WPARAM, LPARAM, LRESULT& result)
{
    if (message == kQueuedMessage) {
        RunQueuedCalls();
        result = 0;
        return true;
    }
    if (message != kSyncMessage)
        return false;
    try {
        CheckSynchronize();
    } catch (...) {
    }
    result = 0;
    return true;
}

std::shared_ptr<TSyncRecord> TakeFirst()
{
    TSyncState& state = State();
    TCriticalSectionLock guard(state.lock);
    if (state.pending.empty())
        return nullptr;
    std::shared_ptr<TSyncRecord> record = std::move(state.pending.front());
    state.pending.pop_front();
    return record;
}

// One at a time, each behind its own barrier: one that shows a message box runs a modal loop,
// where the next wake-up message runs the calls queued after it.
void RunQueuedCalls()
{
    TSyncState& state = State();
    for (;;) {
        TThreadMethod method;
        {
            TCriticalSectionLock guard(state.lock);
            if (state.queued.empty())
                return;
            method = std::move(state.queued.front());
            state.queued.pop_front();
        }
        try {
            method();
        } catch (...) {
            HandleCallbackException();
        }
    }
}

}  // namespace

void SyncCallStartup()
{
    TSyncState& state = State();
    if (state.startups++ > 0)
        return;
    mainThreadId = GetCurrentThreadId();
    state.window = std::make_unique<TMessageWindow>(HandleSyncMessage);
    state.windowHandle = state.window->Handle();
}

void SyncCallShutdown()
{
    TSyncState& state = State();
    if (state.startups == 0 || --state.startups > 0)
        return;
    state.windowHandle = nullptr;
    state.window.reset();
    std::deque<TThreadMethod> dropped;
    {
        TCriticalSectionLock guard(state.lock);
        dropped.swap(state.queued);
    }
}

bool IsMainThread() noexcept
{
    return GetCurrentThreadId() == mainThreadId;
}

void Synchronize(const TThreadMethod& method)
{
    if (!method)
        return;
    if (IsMainThread()) {
        method();
        return;
    }
    auto record = std::make_shared<TSyncRecord>();
    record->method = method;
    record->threadId = GetCurrentThreadId();
    record->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!record->done)
        throw Exception(SystemErrorMessage(GetLastError()));
    TSyncState& state = State();
    {
        TCriticalSectionLock guard(state.lock);
        state.pending.push_back(record);
    }
    SetEvent(state.event.get());
    // The message wakes a GUI thread that sits in its message loop (or in a modal loop).
    if (HWND window = state.windowHandle)
        PostMessageW(window, kSyncMessage, 0, 0);
    WaitForSingleObject(record->done.get(), INFINITE);
    if (record->error)
        std::rethrow_exception(record->error);
}

bool Queue(TThreadMethod method)
{
    if (!method)
        return false;
    TSyncState& state = State();
    const HWND window = state.windowHandle;
    if (window == nullptr)
        return false;
    {
        TCriticalSectionLock guard(state.lock);
        state.queued.push_back(std::move(method));
    }
    PostMessageW(window, kQueuedMessage, 0, 0);
    return true;
}

bool CheckSynchronize(DWORD timeout)
{
    if (!IsMainThread())
        return false;
    TSyncState& state = State();
    if (timeout != 0 && PendingSyncCallCount() == 0)
        WaitForSingleObject(state.event.get(), timeout);
    bool ran = false;
    // One at a time: a call may itself wait for threads and run further calls.
    while (std::shared_ptr<TSyncRecord> record = TakeFirst()) {
        try {
            record->method();
        } catch (...) {
            record->error = std::current_exception();
        }
        SetEvent(record->done.get());
        ran = true;
    }
    return ran;
}

int PendingSyncCallCount()
{
    TSyncState& state = State();
    TCriticalSectionLock guard(state.lock);
    return static_cast<int>(state.pending.size());
}

int RemoveQueuedSyncCalls(DWORD threadId)
{
    TSyncState& state = State();
    std::deque<std::shared_ptr<TSyncRecord>> dropped;
    {
        TCriticalSectionLock guard(state.lock);
        for (auto it = state.pending.begin(); it != state.pending.end();) {
            if ((*it)->threadId == threadId) {
                dropped.push_back(std::move(*it));
                it = state.pending.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Released outside the lock: a method's captures may run arbitrary destructors.
    return static_cast<int>(dropped.size());
}

HANDLE SyncEvent()
{
    return State().event.get();
}
