// TZelShellTree: what the tree view shows. A node's icon, marks and expand button are filled
// when the tree view first draws it; icons come from the worker pool.
#include "controls/tree/ShellTree.h"

#include "shell/IDList.h"
#include "shell/SystemImageList.h"
#include "threadpool/ThreadPool.h"

namespace {

constexpr COLORREF kCompressedColor = RGB(0, 0, 255);
constexpr COLORREF kEncryptedColor = RGB(0, 128, 0);

}  // namespace

void TZelShellTree::GetImageIndex(TTreeNode* node)
{
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode != nullptr && shellNode->ImageIndex() < 0 && !destroying_) {
        TBusyScope busy(this);
        try {
            MakeBrowserObject(shellNode);
            UpdateNode(shellNode, true);
        } catch (const ENautilexError&) {
            // An object the shell cannot reach any more keeps a plain folder icon.
            if (IsValidNode(shellNode))
                shellNode->SetImageIndex(TZelSystemImageList::FolderIndex(false));
        }
    }
    TTreeView::GetImageIndex(node);
}

void TZelShellTree::QueueIcon(TZelShellTreeNode* node, BYTE kind)
{
    if (WorkerPool == nullptr || destroying_)
        return;
    node->WorkQueued();
    WorkerPool->AddWorkItem(new TIconWorkItem(CopyIDList(node->AbsoluteIDList()), node->WorkOwner(),
                                              static_cast<IIconViewer*>(this), kind));
}

void STDMETHODCALLTYPE TZelShellTree::SetImage(int index, BYTE kind, TWorkItemOwner owner)
{
    if (WindowHandle() == nullptr || index < 0 || destroying_)
        return;
    try {
        TZelShellTreeNode* node =
            Typed(Items()->FindBySerial(TZelShellTreeNode::SerialOfWorkOwner(owner)));
        if (node == nullptr)
            return;  // the node is gone
        switch (kind) {
        case kIconKindNormal:
            if (node->ImageIndex() != index)
                node->SetImageIndex(index);
            break;
        case kIconKindOverlay:
            if (node->OverlayIndex() != index)
                node->SetOverlayIndex(index);
            break;
        case kIconKindOpen:
            if (node->SelectedIndex() != index)
                node->SetSelectedIndex(index);
            break;
        default: break;
        }
    } catch (...) {
    }
}

bool TZelShellTree::IsCustomDrawn() const
{
    return GetColorCompressed() || GetColorEncrypted() || TTreeView::IsCustomDrawn();
}

void TZelShellTree::CustomDrawItem(TTreeNode* node, TItemDraw& draw, bool& defaultDraw)
{
    if (const TZelShellTreeNode* shellNode = Typed(node)) {
        if (GetColorCompressed() && shellNode->IsCompressed())
            draw.TextColor = kCompressedColor;
        if (GetColorEncrypted() && shellNode->IsEncrypted())
            draw.TextColor = kEncryptedColor;
    }
    TTreeView::CustomDrawItem(node, draw, defaultDraw);
}
