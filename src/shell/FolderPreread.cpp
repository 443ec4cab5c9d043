#include "shell/FolderPreread.h"

#include "core/ComPtr.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"

#include <shlobj.h>

namespace {

// Anything that would change what a list shows of the folder's objects: names, attributes
// (hidden ones), sizes and times.
constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                  FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                  FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

TFolderPreread::TFolderPreread(const std::wstring& path) : path_(path)
{
    if (!IsOnFixedDrive(path_))
        return;
    // Watched from before the read, by this thread: a change at any time after the read
    // began is seen by Take. (The system ends a watch when the thread that set it ends.)
    changes_.reset(FindFirstChangeNotificationW(path_.c_str(), FALSE, kWatchedChanges));
    if (!changes_)
        return;
    thread_.reset(CreateThread(nullptr, 256 * 1024, ReadOnThread, this,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
}

TFolderPreread::~TFolderPreread()
{
    if (thread_)
        WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI TFolderPreread::ReadOnThread(void* parameter)
{
    auto* preread = static_cast<TFolderPreread*>(parameter);
    try {
        preread->Read();
    } catch (...) {
        // Out of memory: the caller reads the folder itself.
        preread->complete_ = false;
        preread->objects_.clear();
    }
    return 0;
}

void TFolderPreread::Read()
{
    const TComInitScope com(COINIT_MULTITHREADED);
    TComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.GetAddressOf())))
        return;
    TOwnedIDList folder = IDListFromPath(desktop.Get(), path_);
    if (!folder)
        return;
    TComPtr<IShellFolder> shellFolder;
    if (FAILED(desktop->BindToObject(folder.get(), nullptr, IID_IShellFolder,
                                     reinterpret_cast<void**>(shellFolder.GetAddressOf()))))
        return;
    TComPtr<IEnumIDList> enumerator;
    if (shellFolder->EnumObjects(nullptr, TNautilex::kEnumerationFlags,
                                 enumerator.GetAddressOf()) != S_OK ||
        !enumerator)
        return;
    for (;;) {
        TOwnedIDList item;
        ULONG fetched = 0;
        const HRESULT result = enumerator->Next(1, item.put(), &fetched);
        if (FAILED(result))
            return;
        if (result != S_OK || !item)
            break;
        objects_.push_back(std::move(item));
    }
    folder_ = std::move(folder);
    complete_ = true;
}

bool TFolderPreread::Take(TOwnedIDList& folder, std::vector<TOwnedIDList>& objects,
                          TScopedChangeNotification* changesSinceRead)
{
    if (!thread_)
        return false;
    WaitForSingleObject(thread_.get(), INFINITE);
    const bool unchanged = changes_ && WaitForSingleObject(changes_.get(), 0) == WAIT_TIMEOUT;
    const bool taken = complete_ && unchanged;
    if (taken) {
        folder = std::move(folder_);
        objects = std::move(objects_);
        if (changesSinceRead != nullptr)
            *changesSinceRead = std::move(changes_);
    }
    complete_ = false;
    objects_.clear();
    changes_.reset();
    return taken;
}
