// TZelShellList: following the current folder (path, special folder, filter, history, the
// shell link) and the selection, by item and by name.
#include "controls/list/ShellList.h"

#include "link/ShellLink.h"
#include "shell/FolderProbe.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "ui/Cursor.h"

#include <shellapi.h>

#include <unordered_set>

namespace {

std::wstring NoAnswerMessage(const std::wstring& where)
{
    return L"The location does not answer:\r\n" + where;
}

// The folder's path, or its name where it has none.
std::wstring DisplayPath(TBorrowedIDList folder)
{
    std::wstring text = LongPathFromIDList(folder);
    SHFILEINFOW info{};
    if (text.empty() && SHGetFileInfoW(reinterpret_cast<LPCWSTR>(folder), 0, &info, sizeof(info),
                                       SHGFI_PIDL | SHGFI_DISPLAYNAME) != 0)
        text = info.szDisplayName;
    return text;
}

}  // namespace

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
    // Parsing a path on a server or drive that does not answer waits for it: asked on a
    // thread of its own first.
    if (!FolderWaitPlace(value).empty()) {
        TPathProbeResult probe;
        {
            TWaitCursor waitCursor;
            probe = ProbePath(value, NetworkWaitLimit, GetShowErrorMessages());
        }
        if (probe.State == TPathProbeResult::psTimedOut)
            throw ENautilexError(NoAnswerMessage(value));
    }
    browser_->SetFolder(value);
    AnnounceFolder();
    RefreshContents();
}

void TZelShellList::OfferObjects(TBorrowedIDList folder, std::vector<TOwnedIDList> objects,
                                 TScopedChangeNotification changesSinceRead)
{
    browser_->OfferObjects(folder, std::move(objects));
    offerChanges_ = std::move(changesSinceRead);
    offerChangesFolder_ = offerChanges_ ? CopyIDList(folder) : TOwnedIDList();
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
        history_.Visit(CopyIDList(folder));
    if (shellLink_ != nullptr && !IsLoading())
        shellLink_->BroadcastFolderChanged(this, folder);
}

void TZelShellList::BrowseToIDList(TBorrowedIDList folder)
{
    if (FolderMayWait(folder)) {
        TBoundedWaitResult answer;
        {
            TWaitCursor waitCursor;
            answer = AskFolderAnswers(folder, NetworkWaitLimit, GetShowErrorMessages());
        }
        if (answer == bwTimedOut)
            throw ENautilexError(NoAnswerMessage(DisplayPath(folder)));
    }
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
    const TScopeExit navigated([this] { navigatingHistory_ = false; });
    if (offset < 0)
        history_.Back(-offset);
    else
        history_.Forward(offset);
    if (history_.Current() != nullptr) {
        const TOwnedIDList target = CopyIDList(history_.Current());
        BrowseToIDList(target);
    }
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

std::wstring TZelShellList::CurrentObjectKey()
{
    std::wstring name = browser_->GetObjectName();
    if (name.empty())
        name = browser_->DisplayName();
    return name;
}

// Asking the list view for each selected item costs a message; when every object is selected
// (a select-all, with or without " .. "), none is needed.
std::vector<TListItem*> TZelShellList::SelectedObjectItems()
{
    std::vector<TListItem*> items;
    const int selected = SelCount();
    if (selected == 0)
        return items;
    const int count = Items()->Count();
    const TZelShellListItem* first = RecordOf(Items()->Item(0));
    TListItem* parent = first != nullptr && first->IsParentFolder() ? Items()->Item(0) : nullptr;
    if (selected == count || (parent != nullptr && selected == count - 1 && !parent->Selected())) {
        items.reserve(static_cast<size_t>(count));
        for (int index = parent != nullptr ? 1 : 0; index < count; ++index)
            items.push_back(Items()->Item(index));
        return items;
    }
    for (TListItem* item = GetNextSelected(nullptr); item != nullptr; item = GetNextSelected(item))
        if (item != parent)
            items.push_back(item);
    return items;
}

const std::vector<std::wstring>& TZelShellList::SelectedNames()
{
    selectedNames_.clear();
    for (TListItem* item : SelectedObjectItems())
        if (const TZelShellListItem* record = RecordOf(item)) {
            browser_->SetObjectIDList(record->IDList());
            selectedNames_.push_back(CurrentObjectKey());
        }
    return selectedNames_;
}

void TZelShellList::SetSelectedNames(const std::vector<std::wstring>& names)
{
    SelectNames(names, true);
}

void TZelShellList::SelectNames(const std::vector<std::wstring>& names, bool anyForm)
{
    if (applyingSelection_)
        return;
    const TRestoreOnExit applying(applyingSelection_, true);
    // Under Wine, clearing touches every item of the list: only when there is something.
    if (SelCount() > 0)
        ClearSelection();
    if (!names.empty() && browser_->ShellFolder() != nullptr)
        SelectItems(NamedItems(names, anyForm));
    selectedNames_ = names;
}

// One pass over the items, each item's name read once and looked up among the names: a
// refill with thousands of objects selected costs about what one without does.
std::vector<TListItem*> TZelShellList::NamedItems(const std::vector<std::wstring>& names,
                                                  bool anyForm)
{
    // Each name with the places in `names` still waiting for an item (a name may come twice).
    std::unordered_map<std::wstring, std::vector<size_t>> waiting;
    for (size_t place = names.size(); place-- > 0;)
        waiting[names[place]].push_back(place);
    std::vector<TListItem*> found(names.size(), nullptr);
    size_t missing = names.size();
    // Items no name took, by name: where names in another form are looked for.
    std::unordered_map<std::wstring, std::vector<TListItem*>> others;
    const int count = Items()->Count();
    for (int index = 0; index < count && missing > 0; ++index) {
        TListItem* item = Items()->Item(index);
        const TZelShellListItem* record = RecordOf(item);
        if (record == nullptr || record->IsParentFolder())
            continue;
        browser_->SetObjectIDList(record->IDList());
        std::wstring key = CurrentObjectKey();
        const auto wanted = waiting.find(key);
        if (wanted != waiting.end() && !wanted->second.empty()) {
            found[wanted->second.back()] = item;
            wanted->second.pop_back();
            --missing;
        } else if (anyForm) {
            others[std::move(key)].push_back(item);
        }
    }
    if (missing > 0 && anyForm)
        FindNamesInOtherForms(names, found, others);
    return found;
}

// Names given in another form than SelectedNames gives them: another case, a path or parsing
// name the folder parses, or a display name (the folder's own name lookup compares those).
void TZelShellList::FindNamesInOtherForms(
    const std::vector<std::wstring>& names, std::vector<TListItem*>& found,
    std::unordered_map<std::wstring, std::vector<TListItem*>>& others)
{
    std::unordered_set<TListItem*> taken;
    // The first of the items not taken yet.
    const auto take = [&taken](std::vector<TListItem*>& items) -> TListItem* {
        for (TListItem* item : items)
            if (taken.insert(item).second)
                return item;
        return nullptr;
    };
    IShellFolder* folder = browser_->ShellFolder();
    // Built on first need: the names and captions of the items no name took, ignoring case.
    std::unordered_map<std::wstring, std::vector<TListItem*>> byText;
    bool byTextBuilt = false;
    for (size_t place = 0; place < names.size(); ++place) {
        if (found[place] != nullptr)
            continue;
        TOwnedIDList object;
        {
            TErrorModeScope errorMode(GetShowErrorMessages() ? 0 : SEM_FAILCRITICALERRORS);
            object = IDListFromPath(folder, names[place]);
        }
        if (object) {
            browser_->SetObjectIDList(object);
            const auto same = others.find(CurrentObjectKey());
            if (same != others.end())
                found[place] = take(same->second);
            continue;
        }
        if (!byTextBuilt) {
            byTextBuilt = true;
            for (const auto& [key, items] : others)
                for (TListItem* item : items) {
                    byText[UpperCase(key)].push_back(item);
                    if (!SameText(item->Caption(), key))
                        byText[UpperCase(item->Caption())].push_back(item);
                }
        }
        const auto same = byText.find(UpperCase(names[place]));
        if (same != byText.end())
            found[place] = take(same->second);
    }
}

// Selects the items (nulls are skipped); the last one becomes focused and is scrolled to, once.
// Under Wine each item whose state changes costs the list view a message and two notifications,
// and with drawing on, an invalidation that costs more still: the window draws nothing until
// the end (a state batch), and when most items are to be selected, all are at once and the rest
// unselected.
void TZelShellList::SelectItems(const std::vector<TListItem*>& items)
{
    const int count = Items()->Count();
    std::vector<bool> chosen(static_cast<size_t>(count), false);
    TListItem* last = nullptr;
    int chosenCount = 0;
    for (TListItem* item : items)
        if (item != nullptr && !chosen[static_cast<size_t>(item->Index())]) {
            chosen[static_cast<size_t>(item->Index())] = true;
            ++chosenCount;
            last = item;
        }
    if (last == nullptr)
        return;
    const TStateBatch batch(*this);
    if (chosenCount > count / 2 && MultiSelect()) {
        TListView::SelectAll();
        for (int index = 0; index < count; ++index)
            if (!chosen[static_cast<size_t>(index)])
                Items()->Item(index)->SetSelected(false);
    } else {
        for (int index = 0; index < count; ++index)
            if (chosen[static_cast<size_t>(index)])
                Items()->Item(index)->SetSelected(true);
    }
    last->SetFocused(true);
    last->MakeVisible(false);
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
