// TZelShellList: following the current folder (path, special folder, filter, history, the
// shell link) and the selection, by item and by name.
#include "controls/ShellList.h"

#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"

// ---- Current folder ----

std::wstring TZelShellList::GetPath()
{
    if (IsLoading())
        return loadingPath_;
    return browser_->GetFolder();
}

void TZelShellList::SetPath(const std::wstring& value)
{
    if (IsLoading()) {
        loadingPath_ = value;
        Items()->Clear();
        return;
    }
    // "C:\x" and "C:\x\" name the same folder.
    const std::wstring current = GetPath();
    const bool sameFolder =
        !value.empty() && !current.empty() &&
        SameFileName(IncludeTrailingBackslash(value), IncludeTrailingBackslash(current));
    if (sameFolder && Items()->Count() > 1)
        return;
    browser_->SetFolder(value);
    AnnounceFolder();
    RefreshContents();
}

TZelShellFolder TZelShellList::GetSpecialFolder()
{
    const TZelShellFolder folder = browser_->GetSpecialFolder();
    if (folder == SF_DRIVES && !GetPath().empty())
        return SF_FILESYSTEMFOLDER;
    return folder;
}

void TZelShellList::SetSpecialFolder(TZelShellFolder value)
{
    if (value != SF_FILESYSTEMFOLDER) {
        try {
            browser_->SetSpecialFolder(value);
        } catch (const ENautilexError&) {
            // The list shows whatever folder the browser then holds.
        }
        loadingPath_.clear();
    }
    AnnounceFolder();
    RefreshContents();
}

std::wstring TZelShellList::GetFilter() const
{
    return browser_->GetFilter();
}

void TZelShellList::SetFilter(const std::wstring& value)
{
    if (value == browser_->GetFilter())
        return;
    if (Parent() != nullptr || ParentWindow() != nullptr)
        HandleNeeded();
    browser_->SetFilter(value);
    Refill();
}

void TZelShellList::AnnounceFolder()
{
    const TOwnedIDList folder = browser_->FolderIDList();
    if (!navigatingHistory_)
        history_.Push(CopyIDList(folder));
    if (shellLink_ != nullptr && !IsLoading())
        shellLink_->BroadcastFolderChanged(this, folder);
}

void TZelShellList::BrowseToIDList(TBorrowedIDList folder)
{
    browser_->SetFolderIDList(folder);
    AnnounceFolder();
    RefreshContents();
}

bool STDMETHODCALLTYPE TZelShellList::GoUp()
{
    browser_->SelectFolderInParent();
    AnnounceFolder();
    RefreshContents();
    return true;
}

void TZelShellList::NavigateHistory(int offset)
{
    if (offset == 0)
        return;
    navigatingHistory_ = true;
    try {
        if (offset < 0)
            history_.Back(-offset);
        else
            history_.Forward(offset);
        if (history_.Current() != nullptr) {
            const TOwnedIDList target = CopyIDList(history_.Current());
            BrowseToIDList(target);
        }
    } catch (...) {
        navigatingHistory_ = false;
        throw;
    }
    navigatingHistory_ = false;
}

// ---- The link's requests ----

void STDMETHODCALLTYPE TZelShellList::FolderChanged(TBorrowedIDList folder)
{
    try {
        // Browsing fills the list; the selection that a fill carries over by name belongs to
        // the folder left behind.
        BrowseToIDList(folder);
        if (SelCount() > 0)
            ClearSelection();
    } catch (...) {
        Items()->Clear();
    }
}

void STDMETHODCALLTYPE TZelShellList::ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object)
{
    FolderChanged(folder);
    SelectByIDList(object);
}

void STDMETHODCALLTYPE TZelShellList::SelectAll()
{
    TListView::SelectAll();
    if (HandleAllocated())
        SetFocus();
}

// ---- Finding items ----

int TZelShellList::FindItem(TBorrowedIDList object)
{
    IShellFolder* folder = browser_->ShellFolder();
    if (folder == nullptr || object == nullptr)
        return -1;
    const int count = Items()->Count();
    for (int index = 0; index < count; ++index) {
        const TZelShellListItem* record = RecordOf(Items()->Item(index));
        if (record == nullptr || record->IsParentFolder() || record->IDList() == nullptr)
            continue;
        const HRESULT result = folder->CompareIDs(0, record->IDList(), object);
        if (SUCCEEDED(result) && static_cast<short>(HRESULT_CODE(result)) == 0)
            return index;
    }
    return -1;
}

TListItem* TZelShellList::ItemByIDList(TBorrowedIDList object)
{
    const int index = FindItem(object);
    return index >= 0 ? Items()->Item(index) : nullptr;
}

void TZelShellList::SelectByIDList(TBorrowedIDList object)
{
    TListItem* item = ItemByIDList(object);
    if (item == nullptr)
        return;
    item->SetSelected(true);
    item->SetFocused(true);
    item->MakeVisible(false);
}

// ---- Selection by name ----

const std::vector<std::wstring>& TZelShellList::SelectedNames()
{
    selectedNames_.clear();
    for (TListItem* item = GetNextSelected(nullptr); item != nullptr;
         item = GetNextSelected(item)) {
        const TZelShellListItem* record = RecordOf(item);
        if (record == nullptr || record->IsParentFolder())
            continue;
        browser_->SetObjectIDList(record->IDList());
        std::wstring name = browser_->GetObjectName();
        if (name.empty())
            name = browser_->DisplayName();
        selectedNames_.push_back(std::move(name));
    }
    return selectedNames_;
}

void TZelShellList::SetSelectedNames(const std::vector<std::wstring>& names)
{
    if (applyingSelection_)
        return;
    applyingSelection_ = true;
    try {
        // Under Wine, clearing touches every item of the list: only when there is something.
        if (SelCount() > 0)
            ClearSelection();
        // A name is parsed in the folder, not searched for: a name that no longer parses costs
        // one shell call, not a walk over the folder's display names.
        IShellFolder* folder = browser_->ShellFolder();
        for (const std::wstring& name : names) {
            if (folder == nullptr)
                break;
            TOwnedIDList object;
            {
                TErrorModeScope errorMode(GetShowErrorMessages() ? 0 : SEM_FAILCRITICALERRORS);
                object = IDListFromPath(folder, name);
            }
            if (object)
                SelectByIDList(object);
        }
        selectedNames_ = names;
    } catch (...) {
        applyingSelection_ = false;
        throw;
    }
    applyingSelection_ = false;
}

void TZelShellList::Change(TListItem* item, TItemChange change)
{
    TListView::Change(item, change);
    if (closing_ || applyingSelection_)
        return;
    selectedNames_.clear();
    if (filling_ || IsLoading() || shellLink_ == nullptr || item == nullptr ||
        change == TItemChange::ctText || !item->Selected() || SelCount() != 1)
        return;
    const TZelShellListItem* record = RecordOf(item);
    if (record == nullptr || record->IsParentFolder())
        return;
    shellLink_->BroadcastObjectChanged(this, FolderIDList(), record->IDList());
}
