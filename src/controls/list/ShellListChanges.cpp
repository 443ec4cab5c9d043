// TZelShellList: the answers to changes. The shell's reports and the disk watch both name the
// objects that changed; the names wait in one batch for the refresh timer, so an object
// reported by both, or many times in a burst, is looked at once. In a folder too large to walk
// again the named objects alone are looked up; otherwise the incremental refresh walks the
// folder.
#include "controls/common/ChangeBatch.h"
#include "controls/common/DiskWatcher.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "core/PathText.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"

namespace {

// The same place, by the desktop's comparison or by path: a report about a folder that has gone
// carries a list that no longer says it is a folder, and the comparison finds it unequal.
bool SamePlace(TBorrowedIDList first, TBorrowedIDList second)
{
    if (SameIDLists(first, second))
        return true;
    const std::wstring path = PathFromIDList(first);
    return !path.empty() && SameFileName(path, PathFromIDList(second));
}

}  // namespace

void TZelShellList::CreateChangeBatch()
{
    changes_ =
        std::make_unique<TFolderChanges>(kRefreshDelay, kNamedChangeLimit, kRefreshPutOffLimit);
    // A fill that served messages meanwhile: its changes wait until it is over.
    changes_->Busy = [this] { return filling_; };
    changes_->OnDue = [this] { AnswerChanges(); };
}

// ---- Reports ----

void TZelShellList::OnChangeReport(int event, TBorrowedIDList first)
{
    if (closing_)
        return;
    NoteReportedChange(first);
    // A report during a fill (its messages served meanwhile) waits for the timer: the items
    // are being made.
    if (filling_) {
        StartRefreshTimer();
        return;
    }
    switch (event) {
    case neFileDelete:
    case neFolderDelete: {
        if (first == nullptr)
            return;
        const TBorrowedIDList folder = FolderIDList();
        const int depth = IDListItemCount(first);
        if (depth <= IDListItemCount(folder) && SamePlace(IDListHead(folder, depth), first)) {
            // The folder shown, or one it lies in: the timer applies the vanished-folder rule.
            StartRefreshTimer();
            return;
        }
        // Only an object of this folder: another folder's may share a name with one here.
        if (depth < 1 || !SamePlace(IDListHead(first, depth - 1), folder))
            return;
        if (TListItem* item = ItemByIDList(IDListLastItem(first)))
            item->Delete();
        return;
    }
    case neDriveRemove:
    case neMediaRemove:
    case neNetShare:
    case neNetUnShare:
        changes_->Stop();
        RefreshContents();
        return;
    default: StartRefreshTimer(); return;
    }
}

void TZelShellList::DiskChanges(const std::vector<TDiskChange>& changes)
{
    if (closing_ || !automaticRefresh_)
        return;
    bool any = false;
    for (const TDiskChange& change : changes)
        if (change.Folder == diskWatchFolder_) {
            any = true;
            changes_->NoteDiskChange(change);
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
        changes_->NoteWhole();
        return;
    }
    changes_->NoteName(ExtractFileName(PathFromIDList(first)));
}

// ---- The refresh timer ----

void TZelShellList::StartRefreshTimer()
{
    changes_->Start();
}

void TZelShellList::AnswerChanges()
{
    const std::wstring path = GetPath();
    if (GetSpecialFolder() != SF_FILESYSTEMFOLDER || path.empty()) {
        ApplyPendingChanges();
        return;
    }
    // A folder that does not answer in time keeps what the list shows: reading it now would
    // freeze the window, and it may well still be there.
    switch (FolderStillExists(path)) {
    case bwFound: ApplyPendingChanges(); break;
    case bwNotFound: ShowNearestExistingParent(path); break;
    case bwTimedOut: break;
    }
}

void TZelShellList::ShowNearestExistingParent(const std::wstring& vanished)
{
    // The folder shown has gone: the pane stays as close to it as it can, on the nearest
    // folder above it that is still there; the computer folder when none is (a drive gone).
    std::wstring folder = vanished;
    while (!IsDriveRoot(folder)) {
        std::wstring parent = ExtractFilePath(ExcludeTrailingBackslash(folder));
        if (parent.empty() || SameFileName(parent, folder))
            break;
        folder = std::move(parent);
        if (FolderStillExists(folder) != bwFound)
            continue;
        try {
            SetPath(folder);
            return;
        } catch (const ENautilexError&) {
            // Not one the shell can show: further up.
        }
    }
    SetSpecialFolder(SF_DRIVES);
}

// ---- Applying ----

void TZelShellList::ApplyPendingChanges()
{
    ++changeRefreshes_;
    bool whole = false;
    const std::vector<std::wstring> names = changes_->TakeNames(whole);
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
