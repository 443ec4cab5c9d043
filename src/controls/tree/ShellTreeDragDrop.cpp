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

}  // namespace

void TZelShellTree::SetOleDragDrop(bool value)
{
    if (value != oleDragDrop_)
        oleDragDrop_ =
            dragDrop_->Follow(value, IsDesigning() || IsLoading() ? nullptr : WindowHandle());
}

void TZelShellTree::WindowDestroying()
{
    DropProtocol().End();
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
    DropProtocol().Forget(static_cast<const TZelShellTreeNode*>(node));
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

// ---- Target: the answers the drop protocol asks of the tree ----

HWND TZelShellTree::DropWindow() const
{
    return WindowHandle();
}

DWORD TZelShellTree::DropEffects() const
{
    return ReadOnly() ? DROPEFFECT_NONE : CopyModeEffects(GetCopyMode());
}

TZelShellTreeNode* TZelShellTree::DropItemAt(POINT client)
{
    return Typed(GetNodeAt(client.x, client.y));
}

TComPtr<IDropTarget> TZelShellTree::ItemDropTarget(TZelShellTreeNode* node)
{
    if (node->Parent() == nullptr || IDListItemCount(node->RelativeIDList()) == 0)
        return FolderDropTarget(node->AbsoluteIDList(), WindowHandle());
    return ObjectDropTarget(node->ParentFolder.Get(), node->RelativeIDList(), WindowHandle());
}

void TZelShellTree::ShowDropHighlight(TZelShellTreeNode* node, bool shown)
{
    node->SetDropTarget(shown);
}

void TZelShellTree::HoverDropItem(TZelShellTreeNode* node, DWORD milliseconds)
{
    if (!node->Expanded() && node->HasChildren() && milliseconds > kExpandDelay)
        node->Expand(false);
}

DWORD TZelShellTree::OwnDragButton() const
{
    return dragDrop_->DragButton();
}

std::wstring TZelShellTree::DropDestination(TZelShellTreeNode* node)
{
    return NodePath(node);
}

void TZelShellTree::BeforeShellDrop(TZelShellTreeNode* node, const std::vector<std::wstring>& files,
                                    bool& execute, DWORD keyState)
{
    if (OnBeforeShellDrop)
        OnBeforeShellDrop(this, node, files, execute, keyState);
}

void TZelShellTree::ReportDrop(TZelShellOperations operations,
                               const std::vector<std::wstring>& files,
                               const std::wstring& destination)
{
    Report(this, operations, files, destination);
}

void TZelShellTree::DropArrived(TZelShellTreeNode* node)
{
    if (node != nullptr && node->HasChildren())
        RefreshNode(node, true, true);
}
