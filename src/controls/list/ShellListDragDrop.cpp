// TZelShellList: OLE drag and drop. Drags carry the shell's data object of the selected
// objects; drops go to the shell's drop target of the item under the cursor, or of the list's
// folder over the background.
#include "controls/list/ShellList.h"

#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ShellUtils.h"

namespace {

// The folder at an absolute ID list; null when it cannot be bound.
TComPtr<IShellFolder> BindFolder(TBorrowedIDList absolute)
{
    TComPtr<IShellFolder> folder;
    if (absolute == nullptr || !DesktopFolder)
        return folder;
    if (IDListItemCount(absolute) == 0)
        return DesktopFolder;
    if (FAILED(DesktopFolder->BindToObject(absolute, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))))
        folder.Reset();
    return folder;
}

}  // namespace

void TZelShellList::SetOleDragDrop(bool value)
{
    if (value != oleDragDrop_)
        oleDragDrop_ =
            dragDrop_->Follow(value, IsDesigning() || IsLoading() ? nullptr : WindowHandle());
}

// ---- Source ----

void TZelShellList::StartOleDrag(DWORD button)
{
    if (!itemsFolder_)
        return;
    std::vector<TBorrowedIDList> items;
    for (TListItem* item : SelectedObjectItems())
        if (const TZelShellListItem* record = RecordOf(item);
            record != nullptr && !record->IsParentFolder() && record->IDList() != nullptr)
            items.push_back(record->IDList());
    if (items.empty())
        return;
    const TComPtr<IShellFolder> folder = BindFolder(itemsFolder_);
    const DWORD allowed = AllowedDragEffects(CopyMode, folder.Get(), items);
    const TComPtr<IDataObject> data = DragDataObject(folder.Get(), items, WindowHandle());
    // The items may go while the drag runs (it dispatches messages): their lists were copied.
    items.clear();
    if (!data || allowed == DROPEFFECT_NONE)
        return;
    const std::optional<DWORD> effect = dragDrop_->RunDrag(data.Get(), allowed, button);
    // Nothing is left to report to when the list went during the drag.
    if (!effect || *effect == DROPEFFECT_NONE)
        return;
    if (const auto files = GetFilenamesFromDataObject(data.Get()))
        ReportOperation(DragOperations(*effect), *files, std::wstring());
}

// ---- Target: the answers the drop protocol asks of the list ----

HWND TZelShellList::DropWindow() const
{
    return WindowHandle();
}

DWORD TZelShellList::DropEffects() const
{
    return ReadOnly() ? DROPEFFECT_NONE : CopyModeEffects(CopyMode);
}

TListItem* TZelShellList::DropItemAt(POINT client)
{
    return GetItemAt(client.x, client.y);
}

TComPtr<IDropTarget> TZelShellList::ItemDropTarget(TListItem* item)
{
    const TZelShellListItem* record = RecordOf(item);
    if (record == nullptr)
        return {};
    if (record->IsParentFolder()) {
        const TBorrowedIDList folder = FolderIDList();
        const int count = IDListItemCount(folder);
        if (count <= 0)
            return {};
        return FolderDropTarget(IDListHead(folder, count - 1), WindowHandle());
    }
    if (!itemsFolder_)
        return {};
    return ObjectDropTarget(BindFolder(itemsFolder_).Get(), record->IDList(), WindowHandle());
}

TComPtr<IDropTarget> TZelShellList::BackgroundDropTarget()
{
    return FolderDropTarget(FolderIDList(), WindowHandle());
}

void TZelShellList::ShowDropHighlight(TListItem* item, bool shown)
{
    item->SetDropTarget(shown);
}

DWORD TZelShellList::OwnDragButton() const
{
    return dragDrop_->DragButton();
}

std::wstring TZelShellList::DropDestination(TListItem* item)
{
    std::wstring destination = IncludeTrailingBackslash(GetPath());
    if (item == nullptr)
        return destination;
    const TZelShellListItem* record = RecordOf(item);
    return record != nullptr && record->IsParentFolder()
               ? ExtractFilePath(ExcludeTrailingBackslash(destination))
               : ItemPath(item);
}

void TZelShellList::BeforeShellDrop(TListItem* item, const std::vector<std::wstring>& files,
                                    bool& execute, DWORD keyState)
{
    if (OnBeforeShellDrop)
        OnBeforeShellDrop(this, item, files, execute, keyState);
}

// Selected when they show up.
void TZelShellList::DropOffered(const std::vector<std::wstring>& files)
{
    droppedFiles_ = files;
}

void TZelShellList::ReportDrop(TZelShellOperations operations,
                               const std::vector<std::wstring>& files,
                               const std::wstring& destination)
{
    ReportOperation(operations, files, destination);
}
