#include "core/BoundedWait.h"

#include "core/CriticalSection.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"
#include "core/TextCompare.h"

#include <process.h>

#include <atomic>
#include <memory>
#include <set>

namespace {

// Shell calls run on the thread: more than a plain file-system question needs, far less than a
// default stack.
constexpr unsigned kStackSize = 256 * 1024;

// Shared by the caller and the thread: whichever lets go last frees it.
struct TQuestion {
    std::function<bool()> ask;
    std::wstring key;
    bool showErrors = false;
    TScopedHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> found{false};
};

std::atomic<int> runningThreads{0};

// The keys whose question is still running, whether or not anyone still waits for it.
class TBusyKeys {
public:
    bool Claim(const std::wstring& key)
    {
        if (key.empty())
            return true;
        TCriticalSectionLock lock(section_);
        return keys_.insert(UpperCase(key)).second;
    }
    void Release(const std::wstring& key)
    {
        if (key.empty())
            return;
        TCriticalSectionLock lock(section_);
        keys_.erase(UpperCase(key));
    }

private:
    TCriticalSection section_;
    std::set<std::wstring> keys_;
};

TBusyKeys& BusyKeys()
{
    static TBusyKeys keys;
    return keys;
}

unsigned __stdcall Ask(void* parameter)
{
    std::unique_ptr<std::shared_ptr<TQuestion>> holder(
        static_cast<std::shared_ptr<TQuestion>*>(parameter));
    TQuestion& question = **holder;
    {
        const TComInitScope com;
        // This thread's own mode: the process's belongs to the GUI thread.
        const TErrorModeScope errorMode(question.showErrors ? 0 : SEM_FAILCRITICALERRORS);
        try {
            question.found = question.ask();
        } catch (...) {
            question.found = false;
        }
    }
    // The place is free again before anyone learns the answer: a caller may ask again at once.
    BusyKeys().Release(question.key);
    SetEvent(question.done.get());
    holder.reset();
    --runningThreads;
    return 0;
}

}  // namespace

TBoundedWaitResult WaitBounded(const TBoundedWaitRequest& request, std::function<bool()> question)
{
    if (!question)
        return bwNotFound;
    if (!BusyKeys().Claim(request.Key))
        return bwTimedOut;
    auto state = std::make_shared<TQuestion>();
    state->ask = std::move(question);
    state->key = request.Key;
    state->showErrors = request.ShowErrors;
    if (!state->done) {
        BusyKeys().Release(request.Key);
        return bwTimedOut;
    }
    auto* parameter = new std::shared_ptr<TQuestion>(state);
    ++runningThreads;
    const auto thread = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, kStackSize, &Ask, parameter, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (thread == nullptr) {
        --runningThreads;
        delete parameter;
        BusyKeys().Release(request.Key);
        return bwTimedOut;
    }
    CloseHandle(thread);

    const DWORD start = GetTickCount();
    HANDLE handles[] = {state->done.get(), SyncEvent()};
    const DWORD count = IsMainThread() && handles[1] != nullptr ? 2 : 1;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD remaining = elapsed < request.TimeLimit ? request.TimeLimit - elapsed : 0;
        const DWORD wait = WaitForMultipleObjects(count, handles, FALSE, remaining);
        if (wait == WAIT_OBJECT_0)
            return state->found ? bwFound : bwNotFound;
        if (wait == WAIT_OBJECT_0 + 1 && remaining > 0) {
            CheckSynchronize();
            continue;
        }
        return bwTimedOut;
    }
}

int BoundedWaitThreadCount() noexcept
{
    return runningThreads;
}
