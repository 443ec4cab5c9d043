// TZelShellTree: OLE drag and drop. A node's object is dragged out with the shell's data
// object from its parent folder; drops go to the shell's drop target of the node under the
// cursor.
#include "controls/tree/ShellTree.h"

#include "shell/IDList.h"
#include "shell/ShellUtils.h"
#include "ui/Application.h"

namespace {

// A node stays under the cursor this long before it opens.
constexpr DWORD kExpandDelay = 2000;

void Report(TZelShellTree* tree, TZelShellOperations operation,
            const std::vector<std::wstring>& files, const std::wstring& destination)
{
    if (tree->OnOperation && !files.empty())
        tree->OnOperation(tree, operation, files, destination);
}

TComPtr<IDropTarget> NodeDropTarget(TZelShellTreeNode* node, HWND owner)
{
    if (node->Parent() == nullptr || IDListItemCount(node->RelativeIDList()) == 0)
        return FolderDropTarget(node->AbsoluteIDList(), owner);
    return ObjectDropTarget(node->ParentFolder.Get(), node->RelativeIDList(), owner);
}

}  // namespace

void TZelShellTree::SetOleDragDrop(bool value)
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

void TZelShellTree::WindowDestroying()
{
    EndDropDrag();
    dragDrop_->Revoke();
    TTreeView::WindowDestroying();
}

bool TZelShellTree::BeginDragNotify(NMHDR& header, LRESULT& result)
{
    if ((header.code == TVN_BEGINDRAGW || header.code == TVN_BEGINRDRAGW) && oleDragDrop_ &&
        !destroying_) {
        const auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
        TZelShellTreeNode* node = Typed(GetNodeAt(view.ptDrag.x, view.ptDrag.y));
        StartOleDrag(node != nullptr ? node : Selected(),
                     header.code == TVN_BEGINDRAGW ? MK_LBUTTON : MK_RBUTTON);
        result = 0;
        return true;
    }
    return false;
}

void TZelShellTree::ForgetDragNode(TTreeNode* node) noexcept
{
    if (node == dropNode_) {
        dropNode_ = nullptr;
        dragDrop_->LeaveTarget();
    }
    if (node == dragParent_)
        dragParent_ = nullptr;
}

// ---- Source ----

void TZelShellTree::StartOleDrag(TZelShellTreeNode* node, DWORD button)
{
    if (!IsValidNode(node) || node->Parent() == nullptr)
        return;
    const std::vector<TBorrowedIDList> items{node->RelativeIDList()};
    IShellFolder* folder = node->ParentFolder.Get();
    const DWORD allowed = AllowedDragEffects(GetCopyMode(), folder, items);
    const TComPtr<IDataObject> data = DragDataObject(folder, items, WindowHandle());
    dragParent_ = node->Parent();
    DWORD effect = DROPEFFECT_NONE;
    if (data && allowed != DROPEFFECT_NONE) {
        const std::optional<DWORD> chosen = dragDrop_->RunDrag(data.Get(), allowed, button);
        if (!chosen)
            return;  // the tree went during the drag: nothing of it is left to touch
        effect = *chosen;
    }
    const TShellDragDrop::TPresence presence = dragDrop_->Presence();
    if (Application != nullptr)
        Application->ProcessMessages();
    if (!presence.Present())
        return;
    if (TZelShellTreeNode* parent = std::exchange(dragParent_, nullptr))
        RefreshNode(parent, true, true);
    if (effect == DROPEFFECT_NONE)
        return;
    if (const auto files = GetFilenamesFromDataObject(data.Get()))
        Report(this, DragOperations(effect), *files, std::wstring());
}

HRESULT TZelShellTree::QueryContinueDrag(bool escapePressed, DWORD keyState)
{
    return ContinueDragAnswer(escapePressed, keyState, dragDrop_->DragButton());
}

HRESULT TZelShellTree::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- Target ----

void TZelShellTree::SetDropNode(TZelShellTreeNode* node)
{
    if (node == dropNode_)
        return;
    if (dropNode_ != nullptr)
        dropNode_->SetDropTarget(false);
    dragDrop_->LeaveTarget();
    dropNode_ = node;
    if (node != nullptr)
        node->SetDropTarget(true);
}

void TZelShellTree::EndDropDrag()
{
    SetDropNode(nullptr);
    dragDrop_->Reset();
}

HRESULT TZelShellTree::DragEnter(IDataObject* data, DWORD keyState, POINT, DWORD& effect)
{
    EndDropDrag();
    dragDrop_->Data = data;
    dragDrop_->KeyState = keyState;
    dragDrop_->StartScrollPace();
    // The node under the cursor decides, from the first move on.
    effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TZelShellTree::DragOver(DWORD keyState, POINT point, DWORD& effect)
{
    const DWORD allowed = effect & CopyModeEffects(GetCopyMode());
    effect = DROPEFFECT_NONE;
    if (ReadOnly() || !dragDrop_->Data || !HandleAllocated())
        return S_OK;
    const POINT client = ScreenToClient(point);
    TZelShellTreeNode* node = Typed(GetNodeAt(client.x, client.y));
    dragDrop_->KeyState = keyState;
    if (node != dropNode_) {
        SetDropNode(node);
        if (node != nullptr) {
            TComPtr<IDropTarget> target = NodeDropTarget(node, WindowHandle());
            DWORD entered = allowed;
            if (SUCCEEDED(ForwardDragEnter(target.Get(), dragDrop_->Data.Get(), keyState, point,
                                           entered)))
                dragDrop_->Target = std::move(target);
        }
        dragDrop_->HoverStart = GetTickCount();
        UpdateWindow(WindowHandle());
    }
    if (dragDrop_->ScrollDue())
        AutoScrollForDrag(WindowHandle(), client);
    if (dropNode_ != nullptr && !dropNode_->Expanded() && dropNode_->HasChildren() &&
        GetTickCount() - dragDrop_->HoverStart > kExpandDelay)
        dropNode_->Expand(false);
    if (!dragDrop_->Target)
        return S_OK;
    effect = allowed;
    const HRESULT result = ForwardDragOver(dragDrop_->Target.Get(), keyState, point, effect);
    dragDrop_->LastEffect = effect;
    return result;
}

HRESULT TZelShellTree::DragLeave()
{
    EndDropDrag();
    return S_OK;
}

HRESULT TZelShellTree::Drop(IDataObject* data, DWORD keyState, POINT point, DWORD& effect)
{
    const DWORD allowed = effect & CopyModeEffects(GetCopyMode());
    effect = DROPEFFECT_NONE;
    std::vector<std::wstring> files;
    if (const auto names = GetFilenamesFromDataObject(data))
        files = *names;
    const DWORD lastKeyState = dragDrop_->KeyState != 0 ? dragDrop_->KeyState : keyState;
    TZelShellTreeNode* node = dropNode_;
    const TComPtr<IDropTarget> target = dragDrop_->Target;
    bool forwarded = false;
    HRESULT result = E_UNEXPECTED;
    std::wstring destination;
    if (target && node != nullptr && !ReadOnly()) {
        destination = NodePath(node);
        bool execute = true;
        if (OnBeforeShellDrop)
            OnBeforeShellDrop(this, node, files, execute, lastKeyState);
        // The handler may have taken the node away: its target then got its leave, and a
        // target that was left gets no drop.
        if (dragDrop_->Target != target)
            execute = false;
        if (execute) {
            // The target gets the drop instead of a leave.
            dragDrop_->Target.Reset();
            effect = allowed;
            result = ForwardDrop(target.Get(), data, lastKeyState, point, effect);
            forwarded = true;
        }
    }
    if (forwarded && SUCCEEDED(result)) {
        effect = ReportedDropEffect(effect, files);
        if (effect != DROPEFFECT_NONE)
            Report(this, DropOperations(effect), files, destination);
        // The handler may have changed the tree: the node counts only if it is still there.
        if (dropNode_ == node && node->HasChildren())
            RefreshNode(node, true, true);
    } else {
        effect = DROPEFFECT_NONE;
    }
    EndDropDrag();
    return forwarded ? result : E_UNEXPECTED;
}
