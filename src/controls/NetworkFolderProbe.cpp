#include "controls/NetworkFolderProbe.h"

#include "core/ComPtr.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"
#include "core/Thread.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"

#include <shlobj.h>

#include <memory>

std::function<void()> NetworkProbeTestHook;
std::function<bool(const std::wstring& path)> NetworkFolderTestHook;

namespace {

// Shared by the caller and the thread: whichever lets go last frees it, so a caller that gave
// up leaves the thread nothing dangling.
struct TNetworkProbe {
    TOwnedIDList folder;
    bool showErrors = false;
    std::function<void()> hook;
    TScopedHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

class TNetworkProbeThread : public TThread {
public:
    explicit TNetworkProbeThread(std::shared_ptr<TNetworkProbe> probe) : probe_(std::move(probe))
    {
        SetFreeOnTerminate(true);
    }

protected:
    void Execute() override
    {
        try {
            Ask();
        } catch (...) {
        }
        SetEvent(probe_->done.get());
    }

private:
    void Ask()
    {
        if (probe_->hook)
            probe_->hook();
        TComInitScope com;
        TErrorModeScope errorMode(probe_->showErrors ? 0 : SEM_FAILCRITICALERRORS);
        TComPtr<IShellFolder> desktop;
        if (FAILED(SHGetDesktopFolder(desktop.GetAddressOf())))
            return;
        TComPtr<IShellFolder> folder;
        if (FAILED(desktop->BindToObject(probe_->folder.get(), nullptr, IID_IShellFolder,
                                         reinterpret_cast<void**>(folder.GetAddressOf()))))
            return;
        TComPtr<IEnumIDList> objects;
        if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS,
                                objects.GetAddressOf()) != S_OK ||
            !objects)
            return;
        TOwnedIDList first;
        ULONG fetched = 0;
        objects->Next(1, first.put(), &fetched);
    }

    std::shared_ptr<TNetworkProbe> probe_;
};

}  // namespace

bool IsNetworkFolder(TBorrowedIDList absolute)
{
    if (absolute == nullptr)
        return false;
    if (IsInNetwork(absolute))
        return true;
    const std::wstring path = LongPathFromIDList(absolute);
    if (NetworkFolderTestHook && NetworkFolderTestHook(path))
        return true;
    return IsUNCPath(path);
}

bool NetworkFolderAnswers(TBorrowedIDList absolute, DWORD waitLimit, bool showErrors)
{
    auto probe = std::make_shared<TNetworkProbe>();
    probe->folder = CopyIDList(absolute);
    probe->showErrors = showErrors;
    probe->hook = NetworkProbeTestHook;
    if (!probe->done || !probe->folder)
        return true;  // nothing to probe with: the caller asks the folder itself
    (new TNetworkProbeThread(probe))->Start();

    const DWORD start = GetTickCount();
    HANDLE handles[] = {probe->done.get(), SyncEvent()};
    const DWORD count = IsMainThread() ? 2 : 1;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD remaining = elapsed < waitLimit ? waitLimit - elapsed : 0;
        const DWORD wait = WaitForMultipleObjects(count, handles, FALSE, remaining);
        if (wait == WAIT_OBJECT_0)
            return true;
        if (wait == WAIT_OBJECT_0 + 1) {
            CheckSynchronize();
            continue;
        }
        // The thread goes on waiting for the network alone and frees what it holds.
        return false;
    }
}
