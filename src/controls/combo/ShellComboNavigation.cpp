// TZelShellCombo: showing a folder (by its entry, by the way from its drive, by the chain of
// its ancestors), the change step that follows every new selection, and typed paths.
#include "controls/combo/ShellCombo.h"

#include "controls/combo/ShellComboItem.h"
#include "link/ShellLink.h"
#include "shell/FolderProbe.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/NautilexError.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ZelShellFolder.h"
#include "ui/Cursor.h"
#include "ui/Edit.h"

// ---- Selection ----

void TZelShellCombo::SelectEntry(int index)
{
    TZelCustomFolderCombo::SetItemIndex(index);
}

void TZelShellCombo::SetItemIndex(int index)
{
    if (index < 0 || index == ItemIndex())
        return;
    SelectEntry(index);
    ChangeStep();
}

void TZelShellCombo::Change()
{
    ChangeStep();
}

void TZelShellCombo::ChangeStep()
{
    const int index = ItemIndex();
    if (!HandleAllocated() || index < 0)
        return;
    TrimAfter(index);
    ShowSelectionText();
    AnnounceSelection();
}

void TZelShellCombo::ShowSelectionText()
{
    TZelComboItem* item = ItemOf(ItemIndex());
    if (item == nullptr)
        return;
    std::wstring text;
    if (showFullPath_)
        text = SelectedPath();
    if (text.empty())
        text = item->Name();
    shownText_ = text;
    if (Edit() != nullptr) {
        Edit()->SetText(text);
        Edit()->Invalidate();
    }
    TZelCustomFolderCombo::Change();  // OnChange
}

void TZelShellCombo::AnnounceSelection()
{
    const TZelComboItem* item = ItemOf(ItemIndex());
    if (shellLink_ == nullptr || IsLoading() || item == nullptr)
        return;
    // A copy: what the others do in answer may rebuild the entries.
    const TOwnedIDList folder = CopyIDList(item->IDList());
    shellLink_->BroadcastFolderChanged(this, folder);
}

// ---- Showing a folder ----

void TZelShellCombo::ShowIDList(TBorrowedIDList list)
{
    if (list == nullptr)
        return;
    EnsureInitialized();
    if (!initialized_)
        return;  // designing

    const std::wstring path = LongPathFromIDList(list);
    if (!path.empty() && !SameIDLists(list, DesktopIDList) && path[0] != L'\\') {
        if (!ShowFileSystemPath(path)) {
            // On a drive that is not listed: no entry claims to be the folder shown.
            SelectEntry(-1);
            shownText_ = path;
            if (Edit() != nullptr)
                Edit()->SetText(path);
            return;
        }
    } else {
        TrimAfter(-1);
        const int found = FindEntry(list);
        if (found >= 0) {
            SelectEntry(found);
            ChangeStep();
            return;
        }
        ShowAncestorChain(list);
    }
    ChangeStep();
}

bool TZelShellCombo::ShowFileSystemPath(const std::wstring& path)
{
    TrimAfter(-1);
    int previous = -1;
    for (int index = 0; index < Items()->Count(); ++index) {
        const TZelComboItem* item = ItemOf(index);
        if (item != nullptr && item->IsDriveRoot && path.size() >= 3 &&
            SameText(item->Name(), path.substr(0, 3))) {
            previous = index;
            break;
        }
    }
    if (previous < 0)
        return false;  // a drive that is not listed

    browser_->SetFolderIDList(ItemOf(previous)->IDList());
    // The whole rest of the path, however long: a shortened path names another folder.
    const std::wstring rest = IncludeTrailingBackslash(path.substr(3));
    int level = ItemOf(previous)->Level;
    size_t start = 0;
    while (start < rest.size()) {
        const size_t end = rest.find(L'\\', start);
        const std::wstring component = rest.substr(start, end - start);
        start = end + 1;
        if (component.empty())
            continue;
        browser_->SetObjectName(component);
        if (!browser_->EnterObject())
            throw ENautilexError(PathNotFoundMessage(path));
        ++level;
        previous = AddEntry(previous + 1, component, component, level, false, -1,
                            browser_->FolderIDList());
    }
    SelectEntry(previous);
    if (!ItemOf(previous)->Fixed) {
        browser_->SelectFolderInParent();
        ItemOf(previous)->SetImageIndex(browser_->OpenImageIndex());
    }
    Invalidate();
    return true;
}

void TZelShellCombo::ShowAncestorChain(TBorrowedIDList list)
{
    TrimAfter(-1);
    const int count = IDListItemCount(list);
    // The deepest ancestor that has an entry; the desktop when none has.
    int previous = 0;
    int length = 0;
    int searchFrom = 0;
    for (int head = 1; head <= count; ++head) {
        const TOwnedIDList ancestor = IDListHead(list, head);
        const int found = FindEntry(ancestor, searchFrom);
        if (found >= 0) {
            previous = found;
            length = head;
            searchFrom = found + 1;
        }
    }
    if (ItemOf(previous) == nullptr)
        return;
    int level = ItemOf(previous)->Level;
    for (int head = length + 1; head <= count; ++head) {
        const TOwnedIDList ancestor = IDListHead(list, head);
        browser_->SetAbsoluteIDList(ancestor);
        const std::wstring name = browser_->DisplayName();
        const int index = AddEntry(previous + 1, name, name, level + 1, false, -1,
                                   CopyIDList(browser_->AbsoluteIDList()));
        if (index < 0)
            break;
        previous = index;
        ++level;
    }
    SelectEntry(previous);
}

// ---- Typed paths ----

void TZelShellCombo::GoToPath(const std::wstring& typed)
{
    std::wstring path = typed;
    while (!path.empty() && (path.back() == L' ' || path.back() == L'\t'))
        path.pop_back();
    while (!path.empty() && (path.front() == L' ' || path.front() == L'\t'))
        path.erase(path.begin());

    TPathProbeResult probe;
    if (path.empty()) {
        // No path names the computer.
        probe.IDList = SpecialFolderIDList(SF_DRIVES);
        probe.State = probe.IDList ? TPathProbeResult::psFound : TPathProbeResult::psNotFound;
        probe.Folder = true;
    } else {
        TWaitCursor wait;
        probe = ProbePath(path, PathWaitLimit, GetShowErrorMessages());
    }
    switch (probe.State) {
    case TPathProbeResult::psTimedOut:
        RefuseTypedPath(L"The location does not answer:\r\n" + path);
        return;
    case TPathProbeResult::psNotFound: RefuseTypedPath(PathNotFoundMessage(path)); return;
    case TPathProbeResult::psFound: break;
    }
    if (!probe.Folder) {
        RefuseTypedPath(L"Not a folder:\r\n" + path);
        return;
    }
    try {
        browser_->SetFolderIDList(probe.IDList);
    } catch (const ENautilexError& error) {
        RefuseTypedPath(error.Message());
        return;
    }
    const TOwnedIDList folder = browser_->FolderIDList();
    ShowIDList(folder);
    // A folder the combo has no entry for still moves the pane.
    const TZelComboItem* selected = ItemOf(ItemIndex());
    if (shellLink_ != nullptr && (selected == nullptr || !SameIDLists(selected->IDList(), folder)))
        shellLink_->BroadcastFolderChanged(this, folder);
}

void TZelShellCombo::RefuseTypedPath(const std::wstring& message)
{
    if (GetShowErrorMessages())
        ReportPathError(message);
    else
        MessageBeep(MB_OK);
    // The edit shows again where the pane is, ready for another try.
    if (Edit() != nullptr) {
        Edit()->SetText(shownText_);
        Edit()->SelectAll();
    }
}
