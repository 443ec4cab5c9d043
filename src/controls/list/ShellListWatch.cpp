// TZelShellList: changes known by name. The shell's reports and the disk watch both name the
// objects that changed; the names wait for the refresh timer together, so an object reported
// by both, or many times in a burst, is looked at once. In a folder too large to walk again
// the named objects alone are looked up; otherwise the incremental refresh walks the folder.
#include "controls/common/DiskWatcher.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "core/TextCompare.h"
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
    pendingNames_.clear();
    pendingWholeFolder_ = false;
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
    pendingNames_.clear();
    pendingWholeFolder_ = false;
    StopRefreshTimer();
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
        NoteWholeFolder();
        StartRefreshTimer();
    }
}

void TZelShellList::DiskChanges(const std::vector<TDiskChange>& changes)
{
    if (closing_ || !automaticRefresh_)
        return;
    bool any = false;
    for (const TDiskChange& change : changes) {
        if (change.Folder != diskWatchFolder_)
            continue;
        any = true;
        switch (change.Kind) {
        case dcAdded:
        case dcRemoved:
        case dcModified: NoteChangedName(change.Name); break;
        case dcRenamed:
            NoteChangedName(change.OldName);
            NoteChangedName(change.Name);
            break;
        case dcOverflow:
        case dcFolderGone: NoteWholeFolder(); break;
        }
    }
    if (any)
        StartRefreshTimer();
}

// A report about an object of this folder names it; any other report concerns the folder.
void TZelShellList::NoteReportedChange(TBorrowedIDList first)
{
    const int depth = IDListItemCount(first);
    if (first == nullptr || depth < 1 ||
        !SameIDLists(IDListHead(first, depth - 1), FolderIDList())) {
        NoteWholeFolder();
        return;
    }
    const std::wstring name = ExtractFileName(PathFromIDList(first));
    if (name.empty())
        NoteWholeFolder();
    else
        NoteChangedName(name);
}

void TZelShellList::NoteChangedName(const std::wstring& name)
{
    if (pendingWholeFolder_)
        return;
    if (name.empty() || pendingNames_.size() >= kNamedChangeLimit) {
        NoteWholeFolder();
        return;
    }
    pendingNames_.emplace(UpperCase(name), name);
}

void TZelShellList::NoteWholeFolder()
{
    pendingWholeFolder_ = true;
    pendingNames_.clear();
}

TBoundedWaitResult TZelShellList::FolderStillExists(const std::wstring& path)
{
    if (diskWatchFolder_.empty() || !TDiskWatcher::Needed() ||
        (!pendingWholeFolder_ && !pendingNames_.empty()))
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

void TZelShellList::ApplyPendingChanges()
{
    ++changeRefreshes_;
    std::vector<std::wstring> names;
    for (const auto& [key, name] : pendingNames_)
        names.push_back(name);
    // A timer started without a name (another path into it) counts as the whole folder.
    const bool whole = pendingWholeFolder_ || names.empty();
    pendingNames_.clear();
    pendingWholeFolder_ = false;
    if (!whole && Items()->Count() > kIncrementalRefreshLimit) {
        RefreshNamedObjects(names);
        return;
    }
    RefreshChanges();
    // The walk adds and removes; an object written to keeps its item, whose size and times
    // come from the ID list it was read with: the named ones take their new one.
    if (!whole)
        RefreshNamedObjects(names);
}

void TZelShellList::RefreshNamedObjects(const std::vector<std::wstring>& names)
{
    if (IsLoading() || !Enabled() || filling_)
        return;
    ApplyNamedChanges(names);
}

TListItem* TZelShellList::ItemByName(const std::wstring& name)
{
    for (int index = 0; index < Items()->Count(); ++index) {
        TListItem* item = Items()->Item(index);
        const TZelShellListItem* record = RecordOf(item);
        if (record == nullptr || record->IsParentFolder() || record->IDList() == nullptr)
            continue;
        // The name is read from the ID list itself: the object may no longer exist.
        browser_->SetObjectIDList(record->IDList());
        if (SameFileName(browser_->GetObjectName(), name))
            return item;
    }
    return nullptr;
}

void TZelShellList::ApplyNamedChanges(const std::vector<std::wstring>& names)
{
    IShellFolder* folder = browser_->ShellFolder();
    if (folder == nullptr) {
        RefreshChanges();
        return;
    }
    TZelVisibilityRule rule(options_);
    const std::wstring folderPath = GetPath();
    std::vector<std::wstring> cutPaths;
    bool updated = false;
    for (const std::wstring& name : names) {
        std::wstring text = name;
        LPITEMIDLIST parsed = nullptr;
        TOwnedIDList object;
        if (SUCCEEDED(
                folder->ParseDisplayName(nullptr, nullptr, text.data(), nullptr, &parsed, nullptr)))
            object.reset(parsed);
        bool shown = false;
        if (object) {
            browser_->SetObjectIDList(object);
            shown = (showFolders_ || !browser_->IsFolder()) && browser_->MatchesFilter() &&
                    rule.Accepts(*browser_);
        }
        TListItem* item = object ? ItemByIDList(object) : ItemByName(name);
        if (shown && item == nullptr) {
            browser_->SetObjectIDList(object);
            AddCurrentObject(rule);
        } else if (shown) {
            // The ID list carries the size and times the columns show: take the new one.
            CancelItemWork(item);
            TZelShellListItem* record = RecordOf(item);
            browser_->SetObjectIDList(object);
            record->Folder = browser_->IsFolder();
            record->SetIDList(std::move(object));
            record->FullPath.clear();
            item->ClearSubItems();
            item->DeferCaption();
            item->SetImageIndex(-1);
            if (checkboxes_ && shellLink_ != nullptr)
                UpdateCheckState(item);
            updated = true;
        } else if (item != nullptr) {
            if (item->Cut())
                cutPaths.push_back(folderPath + item->Caption());
            item->Delete();
        }
    }
    if (!cutPaths.empty())
        ReportOperation(sopCut | sopRemove, cutPaths, std::wstring());
    if (updated || thumbnails_)
        Invalidate();
}
