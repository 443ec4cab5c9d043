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
    if (value == oleDragDrop_)
        return;
    oleDragDrop_ = value;
    if (IsDesigning() || IsLoading() || !HandleAllocated())
        return;
    if (!value)
        dragDrop_->Revoke();
    else if (!dragDrop_->Register(WindowHandle()))
        oleDragDrop_ = false;
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

HRESULT TZelShellList::QueryContinueDrag(bool escapePressed, DWORD keyState)
{
    return ContinueDragAnswer(escapePressed, keyState, dragDrop_->DragButton());
}

HRESULT TZelShellList::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- Target ----

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

void TZelShellList::SetDropItem(TListItem* item)
{
    if (item == dropItem_)
        return;
    if (dropItem_ != nullptr)
        dropItem_->SetDropTarget(false);
    dragDrop_->LeaveTarget();
    dropItem_ = item;
    if (item != nullptr)
        item->SetDropTarget(true);
}

void TZelShellList::EndDropDrag()
{
    SetDropItem(nullptr);
    dragDrop_->Reset();
}

HRESULT TZelShellList::DragEnter(IDataObject* data, DWORD keyState, POINT point, DWORD& effect)
{
    EndDropDrag();
    dragDrop_->Data = data;
    dragDrop_->KeyState = keyState;
    dragDrop_->StartScrollPace();
    effect &= CopyModeEffects(CopyMode);
    if (ReadOnly()) {
        effect = DROPEFFECT_NONE;
        return S_OK;
    }
    const TBorrowedIDList folder = FolderIDList();
    dragDrop_->BackgroundTarget = FolderDropTarget(folder, WindowHandle());
    if (FAILED(ForwardDragEnter(dragDrop_->BackgroundTarget.Get(), data, keyState, point, effect)))
        dragDrop_->BackgroundTarget.Reset();
    // Without a background target the items may still take the drop.
    if (!dragDrop_->BackgroundTarget)
        effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TZelShellList::DragOver(DWORD keyState, POINT point, DWORD& effect)
{
    const DWORD allowed = effect & CopyModeEffects(CopyMode);
    effect = DROPEFFECT_NONE;
    if (ReadOnly() || !dragDrop_->Data || !HandleAllocated())
        return S_OK;
    const POINT client = ScreenToClient(point);
    TListItem* item = GetItemAt(client.x, client.y);
    dragDrop_->KeyState = keyState;
    if (item != dropItem_) {
        SetDropItem(nullptr);
        if (TComPtr<IDropTarget> target = item != nullptr ? ItemDropTarget(item) : nullptr) {
            DWORD entered = allowed;
            if (SUCCEEDED(ForwardDragEnter(target.Get(), dragDrop_->Data.Get(), keyState, point,
                                           entered))) {
                SetDropItem(item);
                dragDrop_->Target = std::move(target);
            }
        }
        UpdateWindow(WindowHandle());
    }
    if (dragDrop_->ScrollDue())
        AutoScrollForDrag(WindowHandle(), client);
    effect = allowed;
    if (dragDrop_->Target)
        return ForwardDragOver(dragDrop_->Target.Get(), keyState, point, effect);
    // A left-button drag from this list onto its own folder would do nothing useful; with the
    // right button the shell offers its menu.
    if (dragDrop_->BackgroundTarget &&
        (dragDrop_->DragButton() == 0 || (keyState & MK_RBUTTON) != 0))
        return ForwardDragOver(dragDrop_->BackgroundTarget.Get(), keyState, point, effect);
    effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TZelShellList::DragLeave()
{
    EndDropDrag();
    return S_OK;
}

HRESULT TZelShellList::Drop(IDataObject* data, DWORD keyState, POINT point, DWORD& effect)
{
    const DWORD allowed = effect & CopyModeEffects(CopyMode);
    effect = DROPEFFECT_NONE;
    std::vector<std::wstring> files;
    if (const auto names = GetFilenamesFromDataObject(data))
        files = *names;
    // The key state of the last move still holds the button, as the shell's targets expect.
    const DWORD lastKeyState = dragDrop_->KeyState != 0 ? dragDrop_->KeyState : keyState;
    TListItem* item = dropItem_;
    TComPtr<IDropTarget> target = item != nullptr ? dragDrop_->Target : dragDrop_->BackgroundTarget;
    // As over it: the list's own folder takes a drag from the list only with the right button.
    if (item == nullptr && dragDrop_->DragButton() != 0 && (lastKeyState & MK_RBUTTON) == 0)
        target.Reset();
    bool forwarded = false;
    bool execute = true;
    HRESULT result = E_UNEXPECTED;
    if (target && !ReadOnly()) {
        std::wstring destination = IncludeTrailingBackslash(GetPath());
        if (item != nullptr) {
            const TZelShellListItem* record = RecordOf(item);
            destination = record != nullptr && record->IsParentFolder()
                              ? ExtractFilePath(ExcludeTrailingBackslash(destination))
                              : ItemPath(item);
        }
        if (OnBeforeShellDrop)
            OnBeforeShellDrop(this, item, files, execute, lastKeyState);
        // The handler may have taken the item away: its target then got its leave, and a
        // target that was left gets no drop.
        const TComPtr<IDropTarget>& entered =
            item != nullptr ? dragDrop_->Target : dragDrop_->BackgroundTarget;
        if (entered != target)
            execute = false;
        if (execute) {
            // The target gets the drop instead of a leave.
            if (target == dragDrop_->Target)
                dragDrop_->Target.Reset();
            else
                dragDrop_->BackgroundTarget.Reset();
            effect = allowed;
            result = ForwardDrop(target.Get(), data, lastKeyState, point, effect);
            forwarded = true;
        }
        droppedFiles_ = files;
        if (forwarded && FAILED(result))
            effect = DROPEFFECT_NONE;
        if (forwarded && SUCCEEDED(result)) {
            effect = ReportedDropEffect(effect, files);
            if (effect != DROPEFFECT_NONE)
                ReportOperation(DropOperations(effect), files, destination);
        }
    }
    EndDropDrag();
    if (!forwarded) {
        effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
    return result;
}
