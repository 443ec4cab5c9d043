#include "controls/common/DiskWatcher.h"

#include "controls/common/TestSeams.h"
#include "core/MessageWindow.h"
#include "core/PathText.h"
#include "core/ScopedResource.h"
#include "shell/PathUtils.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>

namespace {

// Posted to the watcher's window when the thread has queued changes and none is on its way.
constexpr UINT WM_DISK_CHANGES = WM_APP + 0x3D1;
// One wait covers the wake-up event and every watch.
constexpr size_t kMaximumWatches = MAXIMUM_WAIT_OBJECTS - 1;
// Network servers refuse larger buffers.
constexpr DWORD kBufferBytes = 32 * 1024;
// Past this many queued changes the GUI thread is behind: each folder is looked at whole instead.
constexpr size_t kMaximumQueued = 16384;
// A watch that failed on a folder still there is opened again after this long, twice as long
// after each further failure, up to the longest delay.
constexpr DWORD kFirstRetryDelay = 1000;
constexpr DWORD kLongestRetryDelay = 60000;
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE;

// A folder whose watch failed while the folder was still there (or could not be asked).
struct TRetry {
    std::wstring folder;
    DWORD due = 0;
    DWORD delay = kFirstRetryDelay;
};

struct TWatch {
    std::wstring folder;
    TScopedHandle directory;
    TScopedHandle event;
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer = std::vector<DWORD>(kBufferBytes / sizeof(DWORD));
};

}  // namespace

struct TDiskWatcher::TShared {
    std::mutex lock;
    // Guarded by the lock.
    std::vector<std::wstring> wanted;
    unsigned wantedVersion = 0;
    bool stop = false;
    HWND target = nullptr;
    std::vector<TDiskChange> queue;
    bool posted = false;
    std::wstring failFolder;
    DWORD failError = ERROR_SUCCESS;

    std::atomic<size_t> active{0};
    std::atomic<unsigned> appliedVersion{0};
    TScopedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    TScopedHandle applied{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    TScopedHandle thread;

    void Queue(std::vector<TDiskChange>& changes);
    DWORD InjectedError(const std::wstring& folder);
    void Run();
    static unsigned __stdcall ThreadProc(void* parameter);
};

void TDiskWatcher::TShared::Queue(std::vector<TDiskChange>& changes)
{
    if (changes.empty())
        return;
    std::lock_guard guard(lock);
    if (queue.size() + changes.size() > kMaximumQueued) {
        std::vector<TDiskChange> whole;
        for (const auto* part : {&queue, &changes})
            for (const TDiskChange& change : *part)
                if (std::none_of(whole.begin(), whole.end(), [&](const TDiskChange& kept) {
                        return kept.Folder == change.Folder;
                    }))
                    whole.push_back(TDiskChange{dcOverflow, change.Folder, {}, {}});
        queue = std::move(whole);
    } else {
        queue.insert(queue.end(), std::make_move_iterator(changes.begin()),
                     std::make_move_iterator(changes.end()));
    }
    changes.clear();
    if (!posted && target != nullptr)
        posted = PostMessageW(target, WM_DISK_CHANGES, 0, 0) != FALSE;
}

namespace {

bool StartRead(TWatch& watch)
{
    ResetEvent(watch.event.get());
    watch.overlapped = OVERLAPPED{};
    watch.overlapped.hEvent = watch.event.get();
    return ReadDirectoryChangesW(watch.directory.get(), watch.buffer.data(), kBufferBytes, FALSE,
                                 kChangeFilter, nullptr, &watch.overlapped, nullptr) != FALSE;
}

std::unique_ptr<TWatch> OpenWatch(const std::wstring& folder)
{
    auto watch = std::make_unique<TWatch>();
    watch->folder = folder;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    watch->directory.reset(CreateFileW(
        folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    watch->event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!watch->directory || !watch->event || !StartRead(*watch))
        return nullptr;
    return watch;
}

// The read must be over before its buffer goes. Should the system not finish it, the watch is
// left behind rather than freed under a read that may still write to it.
void CloseWatch(std::unique_ptr<TWatch> watch)
{
    CancelIo(watch->directory.get());
    if (WaitForSingleObject(watch->event.get(), 2000) != WAIT_OBJECT_0) {
        watch->directory.reset();
        watch.release();
    }
}

void ReadChanges(const TWatch& watch, DWORD bytes, std::vector<TDiskChange>& changes)
{
    const auto* start = reinterpret_cast<const BYTE*>(watch.buffer.data());
    std::wstring oldName;
    bool haveOldName = false;
    constexpr DWORD kHeader = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    for (DWORD offset = 0; offset + kHeader <= bytes;) {
        const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(start + offset);
        if (offset + kHeader + info->FileNameLength > bytes)
            break;
        std::wstring name(info->FileName, info->FileNameLength / sizeof(WCHAR));
        switch (info->Action) {
        case FILE_ACTION_ADDED:
            changes.push_back(TDiskChange{dcAdded, watch.folder, std::move(name), {}});
            break;
        case FILE_ACTION_REMOVED:
            changes.push_back(TDiskChange{dcRemoved, watch.folder, std::move(name), {}});
            break;
        case FILE_ACTION_MODIFIED:
            changes.push_back(TDiskChange{dcModified, watch.folder, std::move(name), {}});
            break;
        case FILE_ACTION_RENAMED_OLD_NAME:
            if (haveOldName)  // moved out of the folder
                changes.push_back(TDiskChange{dcRemoved, watch.folder, oldName, {}});
            oldName = std::move(name);
            haveOldName = true;
            break;
        case FILE_ACTION_RENAMED_NEW_NAME:
            if (haveOldName)
                changes.push_back(TDiskChange{dcRenamed, watch.folder, std::move(name), oldName});
            else  // moved in from elsewhere
                changes.push_back(TDiskChange{dcAdded, watch.folder, std::move(name), {}});
            haveOldName = false;
            break;
        default: changes.push_back(TDiskChange{dcOverflow, watch.folder, {}, {}}); break;
        }
        if (info->NextEntryOffset == 0)
            break;
        offset += info->NextEntryOffset;
    }
    if (haveOldName)
        changes.push_back(TDiskChange{dcRemoved, watch.folder, oldName, {}});
}

// Whether a folder whose watch failed is known to be gone: only the system's "not found"
// (or a file in its place) says so. A server that does not answer, access refused, a read
// that failed for its own reasons: the folder may well be there.
bool FolderIsGone(const std::wstring& folder)
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What one finished read says; false when the watch has ended. `injected`, when not
// ERROR_SUCCESS, stands for the read's own failure.
bool Collect(TWatch& watch, std::vector<TDiskChange>& changes, DWORD injected)
{
    DWORD bytes = 0;
    bool read =
        GetOverlappedResult(watch.directory.get(), &watch.overlapped, &bytes, FALSE) != FALSE;
    DWORD error = read ? ERROR_SUCCESS : GetLastError();
    if (injected != ERROR_SUCCESS) {
        read = false;
        error = injected;
    }
    if (read && bytes > 0) {
        ReadChanges(watch, bytes, changes);
    } else if (read || error == ERROR_NOTIFY_ENUM_DIR) {
        // Too much at once for the buffer, or the folder itself was deleted.
        if (!DirectoryExists(watch.folder))
            return false;
        changes.push_back(TDiskChange{dcOverflow, watch.folder, {}, {}});
    } else {
        return false;  // deleted, unmounted, disconnected, or failed for its own reasons
    }
    return StartRead(watch);
}

DWORD Remaining(DWORD due, DWORD now)
{
    const auto left = static_cast<LONG>(due - now);
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

}  // namespace

DWORD TDiskWatcher::TShared::InjectedError(const std::wstring& folder)
{
    std::lock_guard guard(lock);
    if (failError == ERROR_SUCCESS || failFolder != folder)
        return ERROR_SUCCESS;
    const DWORD error = failError;
    failError = ERROR_SUCCESS;
    failFolder.clear();
    return error;
}

void TDiskWatcher::TShared::Run()
{
    std::vector<std::unique_ptr<TWatch>> watches;
    // Folders that could not be opened, not tried again until the wanted set changes.
    std::vector<std::wstring> refused;
    std::vector<TRetry> retries;
    unsigned version = 0;
    bool first = true;
    std::vector<TDiskChange> changes;
    for (;;) {
        std::vector<std::wstring> folders;
        bool changed = false;
        {
            std::lock_guard guard(lock);
            if (stop)
                break;
            if (first || version != wantedVersion) {
                folders = wanted;
                version = wantedVersion;
                changed = true;
                first = false;
            }
        }
        if (changed) {
            refused.clear();
            std::erase_if(retries, [&](const TRetry& retry) {
                return std::find(folders.begin(), folders.end(), retry.folder) == folders.end();
            });
            for (size_t index = watches.size(); index-- > 0;)
                if (std::find(folders.begin(), folders.end(), watches[index]->folder) ==
                    folders.end()) {
                    CloseWatch(std::move(watches[index]));
                    watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(index));
                }
            for (const std::wstring& folder : folders) {
                if (watches.size() >= kMaximumWatches)
                    break;
                if (std::any_of(watches.begin(), watches.end(),
                                [&](const auto& watch) { return watch->folder == folder; }) ||
                    std::any_of(retries.begin(), retries.end(),
                                [&](const TRetry& retry) { return retry.folder == folder; }))
                    continue;
                if (std::unique_ptr<TWatch> watch = OpenWatch(folder))
                    watches.push_back(std::move(watch));
                else
                    refused.push_back(folder);
            }
            active = watches.size();
            appliedVersion = version;
            SetEvent(applied.get());
        }

        // Failed watches due again: one that opens reports a look at the whole folder, for
        // what changed while it was closed.
        const DWORD now = GetTickCount();
        DWORD timeout = INFINITE;
        for (size_t index = retries.size(); index-- > 0;) {
            TRetry& retry = retries[index];
            if (Remaining(retry.due, now) > 0) {
                timeout = std::min(timeout, Remaining(retry.due, now));
                continue;
            }
            std::unique_ptr<TWatch> watch =
                watches.size() < kMaximumWatches ? OpenWatch(retry.folder) : nullptr;
            if (watch) {
                changes.push_back(TDiskChange{dcOverflow, retry.folder, {}, {}});
                watches.push_back(std::move(watch));
            } else if (FolderIsGone(retry.folder)) {
                changes.push_back(TDiskChange{dcFolderGone, retry.folder, {}, {}});
            } else {
                retry.delay = std::min(retry.delay * 2, kLongestRetryDelay);
                retry.due = now + retry.delay;
                timeout = std::min(timeout, retry.delay);
                continue;
            }
            retries.erase(retries.begin() + static_cast<std::ptrdiff_t>(index));
        }
        active = watches.size();
        Queue(changes);

        std::vector<HANDLE> handles{wake.get()};
        for (const auto& watch : watches)
            handles.push_back(watch->event.get());
        const DWORD signalled = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                       handles.data(), FALSE, timeout);
        if (signalled == WAIT_FAILED)
            break;
        if (signalled == WAIT_OBJECT_0 || signalled >= WAIT_OBJECT_0 + handles.size())
            continue;
        const size_t index = signalled - WAIT_OBJECT_0 - 1;
        TWatch& watch = *watches[index];
        if (!Collect(watch, changes, InjectedError(watch.folder))) {
            // Let go of the folder before asking about it: under Wine a folder deleted while
            // watched is there until its watch closes.
            const std::wstring folder = watch.folder;
            CloseWatch(std::move(watches[index]));
            watches.erase(watches.begin() + static_cast<std::ptrdiff_t>(index));
            active = watches.size();
            if (FolderIsGone(folder))
                changes.push_back(TDiskChange{dcFolderGone, folder, {}, {}});
            else
                retries.push_back(TRetry{folder, GetTickCount() + kFirstRetryDelay});
        }
        Queue(changes);
    }
    for (auto& watch : watches)
        CloseWatch(std::move(watch));
    active = 0;
}

unsigned __stdcall TDiskWatcher::TShared::ThreadProc(void* parameter)
{
    // The thread keeps the shared part alive: the watcher may go before the thread ends.
    std::shared_ptr<TShared> shared = std::move(*static_cast<std::shared_ptr<TShared>*>(parameter));
    delete static_cast<std::shared_ptr<TShared>*>(parameter);
    try {
        shared->Run();
    } catch (...) {
        // Out of memory, most likely: the folders stay unwatched, the shell still reports.
        shared->active = 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------

TDiskWatcher::TDiskWatcher(TComponent* owner, size_t budget)
    : TComponent(owner),
      budget_(std::min(budget, kMaximumWatches)),
      shared_(std::make_shared<TShared>())
{
    window_ = std::make_unique<TMessageWindow>(
        [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != WM_DISK_CHANGES)
                return false;
            Deliver();
            result = 0;
            return true;
        },
        TMessageWindow::TKind::MessageOnly, this);
    shared_->target = window_->Handle();
}

TDiskWatcher::~TDiskWatcher()
{
    {
        std::lock_guard guard(shared_->lock);
        shared_->stop = true;
        shared_->target = nullptr;
    }
    SetEvent(shared_->wake.get());
    // A read on a network folder that does not answer may hold the thread: it ends by itself
    // later, with the shared part it keeps.
    if (shared_->thread)
        WaitForSingleObject(shared_->thread.get(), 5000);
}

namespace {

// Set by tests to force either side: 0 by the platform, 1 needed, 2 not needed.
std::atomic<int> neededForTests{0};

// Wine's own ntdll exports its version; Windows' does not.
bool RunningOnWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

bool TDiskWatcher::Needed()
{
    if (const int forced = neededForTests; forced != 0)
        return forced == 1;
    static const bool onWine = RunningOnWine();
    return onWine;
}

void SetDiskWatchNeeded(std::optional<bool> needed)
{
    neededForTests = needed ? (*needed ? 1 : 2) : 0;
}

bool TDiskWatcher::IsWatchable(const std::wstring& folder)
{
    if (IsUNCPath(folder))
        return true;
    if (folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\')
        return false;
    const std::wstring root = folder.substr(0, 3);
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK: return true;
    default: return false;
    }
}

void TDiskWatcher::SetFolders(const std::vector<std::wstring>& folders)
{
    if (folders == folders_)
        return;
    folders_ = folders;
    Publish();
}

void TDiskWatcher::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    Publish();
}

void FailNextDiskWatchRead(TDiskWatcher& watcher, const std::wstring& folder, DWORD error)
{
    std::lock_guard guard(watcher.shared_->lock);
    watcher.shared_->failFolder = folder;
    watcher.shared_->failError = error;
}

size_t TDiskWatcher::ActiveWatchCount() const
{
    return shared_->active;
}

bool TDiskWatcher::WaitUntilApplied()
{
    unsigned version = 0;
    {
        std::lock_guard guard(shared_->lock);
        version = shared_->wantedVersion;
    }
    if (!shared_->thread)
        return true;  // nothing was ever opened
    const DWORD start = GetTickCount();
    while (shared_->appliedVersion != version) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= 1000)
            return false;
        WaitForSingleObject(shared_->applied.get(), 1000 - waited);
    }
    return true;
}

void TDiskWatcher::Publish()
{
    std::vector<std::wstring> wanted;
    if (enabled_ && Needed() && window_->Handle() != nullptr)
        for (const std::wstring& folder : folders_) {
            if (wanted.size() >= budget_)
                break;
            if (std::find(wanted.begin(), wanted.end(), folder) == wanted.end() &&
                IsWatchable(folder))
                wanted.push_back(folder);
        }
    {
        std::lock_guard guard(shared_->lock);
        if (wanted == shared_->wanted)
            return;
        shared_->wanted = std::move(wanted);
        ++shared_->wantedVersion;
    }
    if (!shared_->thread && !shared_->wanted.empty()) {
        auto* parameter = new std::shared_ptr<TShared>(shared_);
        const uintptr_t thread =
            _beginthreadex(nullptr, 0, &TShared::ThreadProc, parameter, 0, nullptr);
        if (thread == 0) {
            delete parameter;
            return;  // no disk watch: the shell's reports still arrive
        }
        shared_->thread.reset(reinterpret_cast<HANDLE>(thread));
    }
    SetEvent(shared_->wake.get());
}

void TDiskWatcher::Deliver()
{
    std::vector<TDiskChange> changes;
    {
        std::lock_guard guard(shared_->lock);
        changes.swap(shared_->queue);
        shared_->posted = false;
    }
    if (!enabled_ || changes.empty() || !OnChanges)
        return;
    // Only what is still watched: a batch may cross a change of folders.
    std::erase_if(changes, [this](const TDiskChange& change) {
        return std::find(folders_.begin(), folders_.end(), change.Folder) == folders_.end();
    });
    if (!changes.empty())
        OnChanges(changes);
}
