#pragma once
// The nodes of a tree view. The control keeps them itself: each node holds its text, images,
// marks, expanded state and children, and the window's items only mirror them, so that the
// window can be made again with everything it showed. A node's image and expand button are
// asked of the control when the window first draws the node (see TTreeView::GetImageIndex).
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TTreeView;
class TTreeNodes;
class TTreeNode;

// Negative when the first node goes first, positive when the second does, 0 when equal.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2)>;

class TTreeNode {
public:
    explicit TTreeNode(TTreeNodes* owner);
    virtual ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const noexcept { return owner_; }
    TTreeView* TreeView() const noexcept;
    // A number no other node of the process ever gets; the window's items carry it, so that a
    // late message about a node that is gone finds nothing rather than freed memory.
    LPARAM Serial() const noexcept { return serial_; }
    // The window's item; null without a window, before the node is in the tree, and while the
    // node waits among the children of a large folder that go into the window after the first
    // screen (TTreeView::ItemsPending).
    HTREEITEM ItemId() const noexcept { return item_; }

    // Null for a node at the top level.
    TTreeNode* Parent() const noexcept;
    // 0 at the top level.
    int Level() const noexcept;
    // Position among its siblings; -1 once taken out of the tree.
    int Index() const noexcept { return index_; }
    // Still in its tree.
    bool InTree() const noexcept { return index_ >= 0; }
    int Count() const noexcept { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstChild() const noexcept;
    TTreeNode* GetLastChild() const noexcept;
    TTreeNode* GetNextSibling() const noexcept;
    TTreeNode* GetPrevSibling() const noexcept;
    // The child after `child`, or null.
    TTreeNode* GetNextChild(const TTreeNode* child) const noexcept;
    // The next node in tree order: the first child, else the next sibling, else the next
    // sibling of the nearest ancestor that has one.
    TTreeNode* GetNext() const noexcept;

    const std::wstring& Text() const noexcept { return text_; }
    void SetText(const std::wstring& text);
    // Images of the tree's image list; -1 for none.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int index);
    // An overlay image of the image list (0 for the first overlay); -1 for none.
    int OverlayIndex() const noexcept { return overlayIndex_; }
    void SetOverlayIndex(int index);
    // An image of the state image list, drawn beside the node; 0 or -1 for none (a tree
    // view never draws the first image).
    int StateIndex() const noexcept { return stateIndex_; }
    void SetStateIndex(int index);
    // Shows the expand button, whether or not the node has children yet.
    bool HasChildren() const noexcept { return hasChildren_; }
    void SetHasChildren(bool hasChildren);
    // Drawn ghosted, as a cut object.
    bool Cut() const noexcept { return cut_; }
    void SetCut(bool cut);
    // Drawn highlighted as the target of a drag.
    bool DropTarget() const noexcept { return dropTarget_; }
    void SetDropTarget(bool dropTarget);

    bool Expanded() const noexcept { return expanded_; }
    // Expanding asks the tree first (TTreeView::CanExpand) and fails without children.
    void SetExpanded(bool expanded);
    void Expand(bool recursive);
    void Collapse(bool recursive);
    bool Selected() const;
    void SetSelected(bool selected);
    // Every ancestor is expanded (the node has a row, on screen or scrolled away).
    bool IsVisible() const noexcept;

    // The program's own data for the node; the tree never looks at it.
    void* Data = nullptr;

    // Takes the node (and its children) out of the tree and frees it.
    void Delete();
    void DeleteChildren();
    // Expands the ancestors and scrolls the node into view.
    bool MakeVisible();
    // The node's row (or only its label) in client coordinates; empty when not shown.
    RECT DisplayRect(bool textOnly) const;
    // Starts editing the text in place; false when the tree does not allow it.
    bool EditText();
    // Orders the children (a stable sort; an exception from the comparison leaves the order
    // as it was). True when the order was applied.
    bool CustomSort(const TTVCompare& compare, bool recurse = false);
    // By OnCompare, or by text ignoring case without a handler.
    bool AlphaSort(bool recurse = false);

private:
    friend class TTreeNodes;
    friend class TTreeView;

    UINT NativeState() const noexcept;
    void Renumber(size_t from) noexcept;

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    LPARAM serial_;
    HTREEITEM item_ = nullptr;
    // The children that have window items: always the first ones, in order.
    size_t nativeChildren_ = 0;
    int index_ = -1;
    std::wstring text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    signed char overlayIndex_ = -1;
    signed char stateIndex_ = -1;
    bool hasChildren_ = false;
    bool cut_ = false;
    bool dropTarget_ = false;
    bool expanded_ = false;
    // Selection while the tree has no window (the window keeps it otherwise).
    bool selected_ = false;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* treeView);
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TTreeView* Owner() const noexcept { return treeView_; }
    // Every node of the tree.
    int Count() const noexcept { return static_cast<int>(bySerial_.size()); }
    int TopLevelCount() const noexcept { return root_->Count(); }
    TTreeNode* TopLevelItem(int index) const { return root_->Item(index); }
    TTreeNode* GetFirstNode() const noexcept { return root_->GetFirstChild(); }

    // A new last sibling of `sibling` (at the top level for null).
    TTreeNode* Add(TTreeNode* sibling, const std::wstring& text);
    // A new last child of `parent` (at the top level for null).
    TTreeNode* AddChild(TTreeNode* parent, const std::wstring& text);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::wstring& text);
    // A new node before `sibling`.
    TTreeNode* Insert(TTreeNode* sibling, const std::wstring& text);
    // A new child of `parent` (top level for null) at `index` (clamped). `prepare` gives the
    // node its images and marks before the window gets its item (cheaper than changing an
    // item the window holds); it may not add or remove nodes.
    TTreeNode* InsertChild(TTreeNode* parent, int index, const std::wstring& text,
                           const std::function<void(TTreeNode*)>& prepare = nullptr);

    // Takes the node out, raises OnDeletion for it and its children and frees them.
    void Delete(TTreeNode* node);
    // The same for every child of `parent` (top level for null) that `which` picks, in one
    // pass over the children.
    void DeleteChildren(TTreeNode* parent, const std::function<bool(TTreeNode*)>& which);
    void Clear();

    // The node of a window item, or of an item's serial; null when there is none (any more).
    TTreeNode* GetNode(HTREEITEM item) const;
    TTreeNode* FindBySerial(LPARAM serial) const;

    // A bulk update: nothing is drawn until the end. Nests.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const noexcept { return updateCount_ > 0; }

private:
    friend class TTreeNode;
    friend class TTreeView;

    TTreeNode* Parented(TTreeNode* parent) const noexcept
    {
        return parent != nullptr ? parent : root_.get();
    }
    TTreeNode* InsertNode(TTreeNode* parent, size_t index, const std::wstring& text,
                          const std::function<void(TTreeNode*)>& prepare = nullptr);
    // Takes `node`'s subtree out of the serial index and the window.
    void Unregister(TTreeNode* node) noexcept;
    // Raises OnDeletion for the subtree, children first.
    void RaiseDeletion(TTreeNode* node);

    TTreeView* treeView_;
    std::unique_ptr<TTreeNode> root_;
    std::unordered_map<LPARAM, TTreeNode*> bySerial_;
    int updateCount_ = 0;
};
