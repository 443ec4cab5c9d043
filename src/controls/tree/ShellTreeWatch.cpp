// TZelShellTree: the disk watch. The folders watched are those whose children are on screen
// (the parents of the visible nodes and the visible expanded nodes), within the watcher's
// budget; what the watch sees joins the shell's change reports as a refresh of the folder's
// node, so a folder reported by both is refreshed once.
#include "controls/common/DiskWatcher.h"
#include "controls/tree/ShellTree.h"
#include "controls/tree/ShellTreeNode.h"
#include "core/PathText.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "ui/Timer.h"

#include <algorithm>

void TZelShellTree::CreateDiskWatcher()
{
    diskWatcher_ = MakeOwned<TDiskWatcher>(this);
    diskWatcher_->OnChanges = [this](const std::vector<TDiskChange>& changes) {
        DiskChanges(changes);
    };
    // Expanding, collapsing and scrolling all change what is on screen: a look every little
    // while follows them all without hooking each.
    diskWatchTimer_ = MakeOwned<TTimer>(this);
    diskWatchTimer_->SetInterval(kDiskWatchInterval);
    diskWatchTimer_->OnTimer = [this](TObject*) { FollowFoldersOnDisk(); };
    diskWatchTimer_->SetEnabled(!IsDesigning());
}

void TZelShellTree::StopDiskWatch()
{
    diskWatchTimer_->SetEnabled(false);
    diskWatchTimer_->OnTimer = nullptr;
    diskWatcher_->OnChanges = nullptr;
    diskWatcher_->SetFolders({});
    diskWatchNodes_.clear();
}

void TZelShellTree::FollowFoldersOnDisk()
{
    std::vector<std::pair<std::wstring, LPARAM>> nodes;
    if (automaticRefresh_ && !destroying_ && !IsLoading() && HandleAllocated() &&
        IsWindowVisible(Handle()) && TDiskWatcher::Needed()) {
        HWND window = Handle();
        const size_t budget = diskWatcher_->Budget();
        auto add = [&](const TTreeNode* node) {
            if (!IsValidNode(node) || nodes.size() >= budget)
                return;
            const LPARAM serial = node->Serial();
            if (std::any_of(nodes.begin(), nodes.end(),
                            [serial](const auto& known) { return known.second == serial; }))
                return;
            const std::wstring path = NodePath(node);
            if (!path.empty())
                nodes.emplace_back(path, serial);
        };
        const auto count = static_cast<int>(SendMessageW(window, TVM_GETVISIBLECOUNT, 0, 0)) + 1;
        auto item = reinterpret_cast<HTREEITEM>(
            SendMessageW(window, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
        for (int index = 0; index < count && item != nullptr; ++index) {
            const TTreeNode* node = Items()->GetNode(item);
            if (node != nullptr) {
                add(node->Parent());
                if (node->Expanded())
                    add(node);
            }
            item = reinterpret_cast<HTREEITEM>(SendMessageW(
                window, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
        }
    }
    std::vector<std::wstring> folders;
    for (const auto& [path, serial] : nodes)
        folders.push_back(path);
    diskWatchNodes_ = std::move(nodes);
    diskWatcher_->SetFolders(folders);
}

void TZelShellTree::WatchBeforeReading(const TZelShellTreeNode* node)
{
    if (!automaticRefresh_ || destroying_ || IsLoading() || IsDesigning() ||
        !TDiskWatcher::Needed())
        return;
    const std::wstring path = NodePath(node);
    if (path.empty() || std::any_of(diskWatchNodes_.begin(), diskWatchNodes_.end(),
                                    [&](const auto& watched) { return watched.first == path; }))
        return;
    diskWatchNodes_.emplace(diskWatchNodes_.begin(), path, node->Serial());
    if (diskWatchNodes_.size() > diskWatcher_->Budget())
        diskWatchNodes_.pop_back();
    std::vector<std::wstring> folders;
    for (const auto& [watched, serial] : diskWatchNodes_)
        folders.push_back(watched);
    diskWatcher_->SetFolders(folders);
    diskWatcher_->WaitUntilApplied();
}

void TZelShellTree::DiskChanges(const std::vector<TDiskChange>& changes)
{
    if (destroying_ || !automaticRefresh_)
        return;
    // One report per folder and batch: a burst in one folder refreshes it once.
    std::vector<std::pair<LPARAM, bool>> folders;
    for (const TDiskChange& change : changes) {
        // A file's contents do not show in the tree; its name does when files are shown.
        if (change.Kind == dcModified && !GetShowFiles())
            continue;
        const auto watched =
            std::find_if(diskWatchNodes_.begin(), diskWatchNodes_.end(),
                         [&](const auto& known) { return known.first == change.Folder; });
        if (watched == diskWatchNodes_.end())
            continue;
        const std::pair<LPARAM, bool> folder{watched->second, change.Kind == dcFolderGone};
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    for (const auto& [serial, gone] : folders) {
        auto* node = static_cast<TZelShellTreeNode*>(Items()->FindBySerial(serial));
        if (IsValidNode(node))
            ReportChange(gone ? neFolderDelete : neFolderUpdate, node->AbsoluteIDList(), nullptr);
    }
}

void TZelShellTree::ReleaseDiskWatchBelow(TBorrowedIDList folder)
{
    const std::wstring path = ExcludeTrailingBackslash(PathFromIDList(folder));
    if (path.empty() || diskWatchNodes_.empty())
        return;
    const size_t before = diskWatchNodes_.size();
    std::erase_if(diskWatchNodes_, [&](const auto& watched) {
        const std::wstring other = ExcludeTrailingBackslash(watched.first);
        return SameFileName(other, path) || IsInsideFolder(path, other);
    });
    if (diskWatchNodes_.size() == before)
        return;
    std::vector<std::wstring> folders;
    for (const auto& [watched, serial] : diskWatchNodes_)
        folders.push_back(watched);
    diskWatcher_->SetFolders(folders);
    diskWatcher_->WaitUntilApplied();
}
