// TZelShellList: the watches on the folder shown. The shell's change reports and the disk
// watch are opened before the folder is read, so that nothing changed meanwhile is missed; the
// disk watch lets go of the folder whenever the list must know whether it still exists.
#include "controls/common/ChangeBatch.h"
#include "controls/common/DiskWatcher.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"

void TZelShellList::CreateDiskWatcher()
{
    diskWatcher_ = MakeOwned<TDiskWatcher>(this, 1);
    diskWatcher_->OnChanges = [this](const std::vector<TDiskChange>& changes) {
        DiskChanges(changes);
    };
}

void TZelShellList::FollowFolderOnDisk()
{
    const std::wstring folder = automaticRefresh_ && !closing_ && !IsDesigning() ? GetPath() : L"";
    if (folder == diskWatchFolder_)
        return;
    changes_->Clear();
    diskWatchFolder_ = folder;
    if (diskWatchFolder_.empty()) {
        diskWatcher_->SetFolders({});
        return;
    }
    diskWatcher_->SetFolders({diskWatchFolder_});
    diskWatcher_->WaitUntilApplied();
}

void TZelShellList::WatchBeforeReading()
{
    changes_->Clear();
    changes_->Stop();
    folderIDList_.reset();  // the folder about to be read, not the one the items came from
    const bool watch = automaticRefresh_ && !closing_ && !IsDesigning();
    notifier_->SetEnabled(watch);
    if (watch)
        notifier_->WatchIDList(FolderIDList());
    FollowFolderOnDisk();
}

void TZelShellList::CheckChangesSinceOffer()
{
    if (!offerChanges_ || !automaticRefresh_)
        return;  // kept until the list's watches are open
    const bool changed = WaitForSingleObject(offerChanges_.get(), 0) != WAIT_TIMEOUT;
    const bool ours = SameIDLists(offerChangesFolder_, FolderIDList());
    offerChanges_.reset();
    offerChangesFolder_.reset();
    if (changed && ours) {
        changes_->NoteWhole();
        StartRefreshTimer();
    }
}

TBoundedWaitResult TZelShellList::FolderStillExists(const std::wstring& path)
{
    if (diskWatchFolder_.empty() || !TDiskWatcher::Needed() ||
        (!changes_->Whole() && !changes_->Changes().empty()))
        return AskAboutPath(path, PathExists, NetworkWaitLimit, GetShowErrorMessages());
    diskWatcher_->SetFolders({});
    diskWatcher_->WaitUntilApplied();
    const TBoundedWaitResult exists =
        AskAboutPath(path, PathExists, NetworkWaitLimit, GetShowErrorMessages());
    if (exists != bwNotFound) {
        // Back before the folder is read again, so that nothing changed meanwhile is missed.
        diskWatcher_->SetFolders({diskWatchFolder_});
        diskWatcher_->WaitUntilApplied();
    }
    return exists;
}
