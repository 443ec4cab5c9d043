#include "ui/TreeNodes.h"

#include "core/Exception.h"
#include "core/ScopedResource.h"
#include "ui/TreeView.h"
#include "ui/UpdateScope.h"

#include <algorithm>

namespace {

// Serials are never reused in the life of the process.
LPARAM nextSerial = 1;

}  // namespace

// --- TTreeNode -------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner), serial_(nextSerial++) {}

TTreeNode::~TTreeNode() = default;

TTreeView* TTreeNode::TreeView() const noexcept
{
    return owner_ != nullptr ? owner_->Owner() : nullptr;
}

TTreeNode* TTreeNode::Parent() const noexcept
{
    return parent_ != nullptr && parent_ != owner_->root_.get() ? parent_ : nullptr;
}

int TTreeNode::Level() const noexcept
{
    int level = 0;
    for (const TTreeNode* node = Parent(); node != nullptr; node = node->Parent())
        ++level;
    return level;
}

TTreeNode* TTreeNode::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception(L"Tree node index out of bounds (" + std::to_wstring(index) + L")");
    return children_[static_cast<size_t>(index)].get();
}

TTreeNode* TTreeNode::GetFirstChild() const noexcept
{
    return children_.empty() ? nullptr : children_.front().get();
}

TTreeNode* TTreeNode::GetLastChild() const noexcept
{
    return children_.empty() ? nullptr : children_.back().get();
}

TTreeNode* TTreeNode::GetNextSibling() const noexcept
{
    if (parent_ == nullptr || index_ < 0)
        return nullptr;
    const size_t next = static_cast<size_t>(index_) + 1;
    return next < parent_->children_.size() ? parent_->children_[next].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const noexcept
{
    if (parent_ == nullptr || index_ <= 0)
        return nullptr;
    return parent_->children_[static_cast<size_t>(index_) - 1].get();
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* child) const noexcept
{
    return child != nullptr && child->parent_ == this ? child->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const noexcept
{
    if (!children_.empty())
        return children_.front().get();
    for (const TTreeNode* node = this; node != nullptr; node = node->Parent())
        if (TTreeNode* sibling = node->GetNextSibling())
            return sibling;
    return nullptr;
}

void TTreeNode::SetText(const std::wstring& text)
{
    if (text == text_)
        return;
    text_ = text;
    TreeView()->UpdateNativeText(this);
}

void TTreeNode::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    TreeView()->RedrawNode(this);
}

void TTreeNode::SetSelectedIndex(int index)
{
    if (index == selectedIndex_)
        return;
    selectedIndex_ = index;
    TreeView()->RedrawNode(this);
}

void TTreeNode::SetOverlayIndex(int index)
{
    index = std::clamp(index, -1, 14);
    if (index == overlayIndex_)
        return;
    overlayIndex_ = static_cast<signed char>(index);
    TreeView()->UpdateNativeState(this, TVIS_OVERLAYMASK);
}

void TTreeNode::SetStateIndex(int index)
{
    index = std::clamp(index, -1, 14);
    if (index == stateIndex_)
        return;
    stateIndex_ = static_cast<signed char>(index);
    TreeView()->UpdateNativeState(this, TVIS_STATEIMAGEMASK);
}

void TTreeNode::SetHasChildren(bool hasChildren)
{
    if (hasChildren == hasChildren_)
        return;
    hasChildren_ = hasChildren;
    TreeView()->UpdateNativeChildren(this);
}

void TTreeNode::SetCut(bool cut)
{
    if (cut == cut_)
        return;
    cut_ = cut;
    TreeView()->UpdateNativeState(this, TVIS_CUT);
}

void TTreeNode::SetDropTarget(bool dropTarget)
{
    if (dropTarget == dropTarget_)
        return;
    dropTarget_ = dropTarget;
    TreeView()->UpdateNativeState(this, TVIS_DROPHILITED);
}

UINT TTreeNode::NativeState() const noexcept
{
    UINT state = 0;
    if (cut_)
        state |= TVIS_CUT;
    if (dropTarget_)
        state |= TVIS_DROPHILITED;
    if (overlayIndex_ >= 0)
        state |= INDEXTOOVERLAYMASK(overlayIndex_ + 1);
    // A tree view draws the state image of the index itself (a list view the one before).
    if (stateIndex_ > 0)
        state |= INDEXTOSTATEIMAGEMASK(stateIndex_);
    return state;
}

void TTreeNode::SetExpanded(bool expanded)
{
    if (expanded)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool recursive)
{
    if (!InTree())
        return;
    TTreeView* tree = TreeView();
    if (!expanded_ && tree->AskExpand(this) && InTree() && !children_.empty()) {
        tree->NativeExpand(this, TVE_EXPAND);
        if (expanded_)
            tree->Expand(this);
    }
    if (!recursive)
        return;
    // A handler may change the children: walk by serial, not by position.
    std::vector<LPARAM> serials;
    for (const auto& child : children_)
        serials.push_back(child->serial_);
    for (LPARAM serial : serials)
        if (TTreeNode* child = owner_->FindBySerial(serial))
            child->Expand(true);
}

void TTreeNode::Collapse(bool recursive)
{
    if (!InTree())
        return;
    TTreeView* tree = TreeView();
    if (expanded_ && tree->CanCollapse(this) && InTree()) {
        tree->NativeExpand(this, TVE_COLLAPSE);
        if (!expanded_)
            tree->Collapse(this);
    }
    if (!recursive)
        return;
    std::vector<LPARAM> serials;
    for (const auto& child : children_)
        serials.push_back(child->serial_);
    for (LPARAM serial : serials)
        if (TTreeNode* child = owner_->FindBySerial(serial))
            child->Collapse(true);
}

bool TTreeNode::Selected() const
{
    return InTree() && TreeView()->Selected() == this;
}

void TTreeNode::SetSelected(bool selected)
{
    if (!InTree())
        return;
    if (selected)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const noexcept
{
    if (!InTree())
        return false;
    for (const TTreeNode* parent = Parent(); parent != nullptr; parent = parent->Parent())
        if (!parent->expanded_)
            return false;
    return true;
}

void TTreeNode::Delete()
{
    owner_->Delete(this);
}

void TTreeNode::DeleteChildren()
{
    owner_->DeleteChildren(this, [](TTreeNode*) { return true; });
}

bool TTreeNode::MakeVisible()
{
    if (!InTree())
        return false;
    std::vector<TTreeNode*> ancestors;
    for (TTreeNode* parent = Parent(); parent != nullptr; parent = parent->Parent())
        ancestors.push_back(parent);
    for (auto parent = ancestors.rbegin(); parent != ancestors.rend(); ++parent)
        (*parent)->Expand(false);
    TTreeView* tree = TreeView();
    tree->EnsureNativeItem(this);
    if (!tree->HandleAllocated() || item_ == nullptr)
        return false;
    const int scroll = tree->HorizontalScroll();
    tree->Native(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
    tree->ShowNameStart(scroll, item_);
    return true;
}

RECT TTreeNode::DisplayRect(bool textOnly) const
{
    // A row still waiting to go into the window has a place all the same.
    TTreeView* tree = TreeView();
    tree->EnsureNativeItem(const_cast<TTreeNode*>(this));
    return tree->NativeItemRect(item_, textOnly);
}

bool TTreeNode::EditText()
{
    TTreeView* tree = TreeView();
    if (InTree())
        tree->EnsureNativeItem(this);
    if (!InTree() || tree->ReadOnly() || !tree->HandleAllocated() || item_ == nullptr)
        return false;
    tree->SetFocus();
    return tree->Native(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

bool TTreeNode::CustomSort(const TTVCompare& compare, bool recurse)
{
    if (!InTree() && this != owner_->root_.get())
        return false;
    TreeView()->SortChildren(this, compare, recurse);
    return true;
}

bool TTreeNode::AlphaSort(bool recurse)
{
    TTreeView* tree = TreeView();
    return CustomSort(
        [tree](TTreeNode* first, TTreeNode* second) {
            int result = 0;
            if (tree->OnCompare) {
                tree->OnCompare(tree, first, second, 0, result);
                return result;
            }
            return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first->text_.data(),
                                  static_cast<int>(first->text_.size()), second->text_.data(),
                                  static_cast<int>(second->text_.size())) -
                   CSTR_EQUAL;
        },
        recurse);
}

void TTreeNode::Renumber(size_t from) noexcept
{
    for (size_t i = from; i < children_.size(); ++i)
        children_[i]->index_ = static_cast<int>(i);
}

// --- TTreeNodes ------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TTreeView* treeView)
    : treeView_(treeView), root_(std::make_unique<TTreeNode>(this))
{
    // The invisible parent of the top-level nodes.
    root_->index_ = 0;
    root_->item_ = TVI_ROOT;
    root_->expanded_ = true;
}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, size_t index, const std::wstring& text,
                                  const std::function<void(TTreeNode*)>& prepare)
{
    TTreeNode* parentNode = Parented(parent);
    if (parent != nullptr && (parent->owner_ != this || !parent->InTree()))
        throw Exception(L"The parent node is not in this tree");
    std::unique_ptr<TTreeNode> node = treeView_->CreateNode();
    TTreeNode* raw = node.get();
    raw->owner_ = this;
    raw->parent_ = parentNode;
    raw->text_ = text;
    index = std::min(index, parentNode->children_.size());
    parentNode->children_.insert(parentNode->children_.begin() + static_cast<ptrdiff_t>(index),
                                 std::move(node));
    parentNode->Renumber(index);
    bySerial_[raw->serial_] = raw;
    if (prepare) {
        // A node whose preparation failed leaves the tree again.
        TScopeExit takeOut([&] {
            std::unique_ptr<TTreeNode> gone = std::move(parentNode->children_[index]);
            parentNode->children_.erase(parentNode->children_.begin() +
                                        static_cast<ptrdiff_t>(index));
            parentNode->Renumber(index);
            Unregister(raw);
        });
        prepare(raw);
        takeOut.Dismiss();
    }
    if (parent != nullptr && !parent->hasChildren_)
        parent->SetHasChildren(true);
    treeView_->CreateNativeItem(raw);
    return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::wstring& text)
{
    TTreeNode* parent = sibling != nullptr ? sibling->Parent() : nullptr;
    return AddChild(parent, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::wstring& text)
{
    return InsertNode(parent, Parented(parent)->children_.size(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::wstring& text)
{
    return InsertNode(parent, 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::wstring& text)
{
    if (sibling == nullptr || !sibling->InTree())
        return AddChild(nullptr, text);
    return InsertNode(sibling->Parent(), static_cast<size_t>(sibling->index_), text);
}

TTreeNode* TTreeNodes::InsertChild(TTreeNode* parent, int index, const std::wstring& text,
                                   const std::function<void(TTreeNode*)>& prepare)
{
    return InsertNode(parent, static_cast<size_t>(std::max(index, 0)), text, prepare);
}

void TTreeNodes::Unregister(TTreeNode* node) noexcept
{
    bySerial_.erase(node->serial_);
    node->index_ = -1;
    node->item_ = nullptr;
    node->nativeChildren_ = 0;
    for (const auto& child : node->children_)
        Unregister(child.get());
}

void TTreeNodes::RaiseDeletion(TTreeNode* node)
{
    for (const auto& child : node->children_)
        RaiseDeletion(child.get());
    treeView_->Delete(node);
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (node == nullptr || node->owner_ != this || !node->InTree() || node == root_.get())
        return;
    treeView_->LeaveBeforeDeleting(node);
    if (!node->InTree())
        return;  // a handler of the new selection took it out
    // Out of the model first, then out of the window: whatever the window reports while it
    // lets go of the item (a new selection) sees the tree without the node.
    TTreeNode* parent = node->parent_;
    const size_t index = static_cast<size_t>(node->index_);
    std::unique_ptr<TTreeNode> owned = std::move(parent->children_[index]);
    parent->children_.erase(parent->children_.begin() + static_cast<ptrdiff_t>(index));
    parent->Renumber(index);
    const HTREEITEM item = node->item_;
    if (item != nullptr && parent->nativeChildren_ > 0)
        --parent->nativeChildren_;
    Unregister(node);
    node->parent_ = nullptr;
    treeView_->DeleteNativeItem(item);
    RaiseDeletion(node);
}

void TTreeNodes::DeleteChildren(TTreeNode* parent, const std::function<bool(TTreeNode*)>& which)
{
    TTreeNode* parentNode = Parented(parent);
    if (parentNode->children_.empty())
        return;
    // A selection below a child that goes leaves first.
    for (TTreeNode* within = treeView_->Selected(); within != nullptr; within = within->parent_) {
        if (within->parent_ == parentNode) {
            if (which(within))
                treeView_->LeaveBeforeDeleting(within);
            break;
        }
    }
    if (parent != nullptr && !parent->InTree())
        return;
    std::vector<std::unique_ptr<TTreeNode>> kept;
    std::vector<std::unique_ptr<TTreeNode>> gone;
    kept.reserve(parentNode->children_.size());
    for (auto& child : parentNode->children_) {
        if (which(child.get()))
            gone.push_back(std::move(child));
        else
            kept.push_back(std::move(child));
    }
    parentNode->children_ = std::move(kept);
    parentNode->Renumber(0);
    // What stays keeps its order, so the children with window items still come first.
    parentNode->nativeChildren_ = static_cast<size_t>(
        std::count_if(parentNode->children_.begin(), parentNode->children_.end(),
                      [](const auto& child) { return child->item_ != nullptr; }));
    if (gone.empty())
        return;
    std::vector<HTREEITEM> items;
    items.reserve(gone.size());
    for (const auto& node : gone) {
        items.push_back(node->item_);
        Unregister(node.get());
        node->parent_ = nullptr;
    }
    if (parentNode->children_.empty() && parent != nullptr) {
        treeView_->DeleteNativeChildren(parent);  // one message for all of them
    } else {
        // Drawn once at the end, not once per item.
        const TUpdateScope update(this);
        for (HTREEITEM item : items)
            treeView_->DeleteNativeItem(item);
    }
    for (const auto& node : gone)
        RaiseDeletion(node.get());
}

void TTreeNodes::Clear()
{
    if (root_->children_.empty())
        return;
    std::vector<std::unique_ptr<TTreeNode>> gone;
    gone.swap(root_->children_);
    root_->nativeChildren_ = 0;
    for (const auto& node : gone) {
        Unregister(node.get());
        node->parent_ = nullptr;
    }
    treeView_->DeleteAllNativeItems();
    for (const auto& node : gone)
        RaiseDeletion(node.get());
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM item) const
{
    if (item == nullptr || !treeView_->HandleAllocated())
        return nullptr;
    TVITEMW request{};
    request.mask = TVIF_PARAM | TVIF_HANDLE;
    request.hItem = item;
    if (!treeView_->Native(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&request)))
        return nullptr;
    return FindBySerial(request.lParam);
}

TTreeNode* TTreeNodes::FindBySerial(LPARAM serial) const
{
    const auto found = bySerial_.find(serial);
    return found != bySerial_.end() ? found->second : nullptr;
}

void TTreeNodes::BeginUpdate()
{
    if (updateCount_++ == 0)
        treeView_->BeginBulkUpdate();
}

void TTreeNodes::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        treeView_->EndBulkUpdate();
}
