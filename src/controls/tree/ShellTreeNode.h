#pragma once
// A node of the shell tree: one object of the shell namespace, held by its ID list relative to
// the folder that contains it (and that folder's IShellFolder) and by its absolute ID list.
// Its text, images and marks live in the tree node itself and are filled when the tree first
// draws the node.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "threadpool/WorkItem.h"
#include "ui/TreeNodes.h"

#include <shlobj.h>

class TZelShellTree;

class TZelShellTreeNode : public TTreeNode {
public:
    // Node flags, one byte.
    static constexpr BYTE kFolderNode = 0x02;  // a folder (every node while ShowFiles is off)
    static constexpr BYTE kCompressed = 0x04;
    static constexpr BYTE kEncrypted = 0x08;
    static constexpr BYTE kPinned = 0x20;  // placed by a locate; refresh keeps it when not found

    explicit TZelShellTreeNode(TTreeNodes* owner);
    // Frees both ID lists and cancels the pool work queued for the node.
    ~TZelShellTreeNode() override;

    TZelShellTree* OwningTree() const noexcept;
    TZelShellTreeNode* Parent() const noexcept { return Typed(TTreeNode::Parent()); }
    TZelShellTreeNode* GetFirstChild() const noexcept { return Typed(TTreeNode::GetFirstChild()); }
    TZelShellTreeNode* GetNextChild(const TTreeNode* child) const noexcept
    {
        return Typed(TTreeNode::GetNextChild(child));
    }
    TZelShellTreeNode* GetNext() const noexcept { return Typed(TTreeNode::GetNext()); }
    TZelShellTreeNode* GetNextSibling() const noexcept
    {
        return Typed(TTreeNode::GetNextSibling());
    }
    TZelShellTreeNode* GetPrevSibling() const noexcept
    {
        return Typed(TTreeNode::GetPrevSibling());
    }
    TZelShellTreeNode* Item(int index) const { return Typed(TTreeNode::Item(index)); }

    bool IsFolderNode() const noexcept { return (Flags & kFolderNode) != 0; }
    bool IsCompressed() const noexcept { return (Flags & kCompressed) != 0; }
    bool IsEncrypted() const noexcept { return (Flags & kEncrypted) != 0; }
    bool IsPinned() const noexcept { return (Flags & kPinned) != 0; }
    void SetFlag(BYTE flag, bool on) noexcept
    {
        Flags = on ? static_cast<BYTE>(Flags | flag) : static_cast<BYTE>(Flags & ~flag);
    }
    // RefreshNode of this node (full).
    void Refresh(bool recursive);

    // The folder that contains the node's object.
    TComPtr<IShellFolder> ParentFolder;
    // Relative to ParentFolder; owned by the node.
    TBorrowedIDList RelativeIDList() const noexcept;
    void SetRelativeIDList(TOwnedIDList list) noexcept;
    // Owned by the node, except the desktop's list of a desktop root. Null only when memory
    // ran out making it.
    TBorrowedIDList AbsoluteIDList() const noexcept;
    void SetAbsoluteIDList(TOwnedIDList list) noexcept;
    // The absolute list is `base`'s followed by the relative one, made when first asked for:
    // most children of a large folder are never asked. `base` is the parent, which outlives
    // the node.
    void DeriveAbsoluteIDList(const TZelShellTreeNode* base) noexcept;
    // Both lists become the process-wide desktop list, which the node never frees.
    void UseDesktopIDList() noexcept;

    // The node's file-system path once worked out (NodePath); empty for none.
    bool PathKnown = false;
    std::wstring Path;
    // What asking the node's folder may wait on (NodeWaitPlace), once judged, with the path it
    // was judged for.
    bool WaitPlaceKnown = false;
    std::wstring WaitPlacePath;
    std::wstring WaitPlace;

    // Refresh's mark: found again in the last enumeration.
    bool Seen = false;
    BYTE Flags = 0;

    // The tag the node's pool work carries. A node's serial is never reused, and an odd
    // number is never an object's address, so the tag names this node and nothing else.
    TWorkItemOwner WorkOwner() const noexcept
    {
        return reinterpret_cast<TWorkItemOwner>((static_cast<UINT_PTR>(Serial()) << 1) | 1);
    }
    // The serial a work tag stands for; 0 for a tag that is no node's.
    static LPARAM SerialOfWorkOwner(TWorkItemOwner owner) noexcept;
    // Work was queued for the node: its destruction cancels it.
    void WorkQueued() noexcept { workQueued_ = true; }
    bool HasQueuedWork() const noexcept { return workQueued_; }

    // The children are in the order of the folder's comparison (after a sort, and kept so by
    // inserting in place); cleared when a child is placed otherwise.
    bool ChildrenInOrder = false;

private:
    static TZelShellTreeNode* Typed(TTreeNode* node) noexcept
    {
        return static_cast<TZelShellTreeNode*>(node);
    }

    TOwnedIDList relativeIDList_;
    mutable TOwnedIDList absoluteIDList_;
    const TZelShellTreeNode* absoluteBase_ = nullptr;
    bool usesDesktopIDList_ = false;
    bool workQueued_ = false;
};
