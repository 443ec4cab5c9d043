#include "controls/ShellComboPathProbe.h"

#include "core/ComPtr.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"
#include "core/Thread.h"
#include "shell/IDList.h"

#include <shlobj.h>

#include <memory>

std::function<void(const std::wstring& path)> PathProbeTestHook;

namespace {

// Shared by the caller and the thread: whichever lets go last frees it, so a caller that gave
// up leaves the thread nothing dangling.
struct TProbeState {
    std::wstring path;
    bool showErrors = false;
    std::function<void(const std::wstring&)> hook;
    TScopedHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    TOwnedIDList list;
    ULONG attributes = 0;
    HRESULT result = E_FAIL;
};

// The shell parses a drive letter that has no drive behind it: a file-system folder is
// asked of the file system as well (where a drive that does not answer would wait).
bool FolderExists(TBorrowedIDList list)
{
    const std::wstring path = LongPathFromIDList(list);
    if (path.empty())
        return true;  // nothing more to ask
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class TProbeThread : public TThread {
public:
    explicit TProbeThread(std::shared_ptr<TProbeState> state) : state_(std::move(state))
    {
        SetFreeOnTerminate(true);
    }

protected:
    void Execute() override
    {
        try {
            Probe();
        } catch (...) {
            state_->result = E_UNEXPECTED;
        }
        SetEvent(state_->done.get());
    }

private:
    void Probe()
    {
        if (state_->hook)
            state_->hook(state_->path);
        TComInitScope com;
        // This thread's own error mode: the process's belongs to the GUI thread.
        DWORD previousMode = 0;
        SetThreadErrorMode(state_->showErrors ? 0 : SEM_FAILCRITICALERRORS, &previousMode);
        TComPtr<IShellFolder> desktop;
        state_->result = SHGetDesktopFolder(desktop.GetAddressOf());
        if (SUCCEEDED(state_->result)) {
            std::wstring text = state_->path;
            if (text.size() == 2 && text[1] == L':')
                text += L'\\';
            ULONG eaten = 0;
            ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
            state_->result = desktop->ParseDisplayName(nullptr, nullptr, text.data(), &eaten,
                                                       state_->list.put(), &attributes);
            if (FAILED(state_->result))
                state_->list.reset();
            else if (!state_->list)
                state_->result = E_FAIL;
            else if ((attributes & SFGAO_FILESYSTEM) != 0 && !FolderExists(state_->list))
                state_->result = HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
            if (FAILED(state_->result))
                state_->list.reset();
            state_->attributes = attributes;
        }
        SetThreadErrorMode(previousMode, nullptr);
    }

    std::shared_ptr<TProbeState> state_;
};

}  // namespace

TPathProbeResult ProbePath(const std::wstring& path, DWORD waitLimit, bool showErrors)
{
    TPathProbeResult answer;
    auto state = std::make_shared<TProbeState>();
    state->path = path;
    state->showErrors = showErrors;
    state->hook = PathProbeTestHook;
    if (!state->done)
        return answer;
    (new TProbeThread(state))->Start();

    const DWORD start = GetTickCount();
    HANDLE handles[] = {state->done.get(), SyncEvent()};
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD remaining = elapsed < waitLimit ? waitLimit - elapsed : 0;
        const DWORD count = IsMainThread() ? 2 : 1;
        const DWORD wait = WaitForMultipleObjects(count, handles, FALSE, remaining);
        if (wait == WAIT_OBJECT_0)
            break;
        if (wait == WAIT_OBJECT_0 + 1) {
            CheckSynchronize();
            continue;
        }
        answer.State = TPathProbeResult::psTimedOut;
        return answer;
    }
    if (!state->list) {
        answer.Error = state->result;
        return answer;
    }
    answer.State = TPathProbeResult::psFound;
    answer.IDList = std::move(state->list);
    answer.Folder = (state->attributes & SFGAO_FOLDER) != 0;
    return answer;
}
