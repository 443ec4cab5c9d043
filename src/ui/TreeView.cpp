#include "ui/TreeView.h"

#include "core/Exception.h"
#include "core/ScopedResource.h"
#include "ui/Timer.h"
#include "ui/UpdateScope.h"

#include <uxtheme.h>

#include <algorithm>
#include <cstring>

namespace {

// Children that go into the window at once when their node expands; of more, the first
// screens go in at once and the rest in steps of kPendingStep once the program waits for
// input. Wine's tree view measures every item again at the end of each step (about 4 us an
// item), so the steps are few and large: one for most folders, a tenth of a second or so.
constexpr size_t kEagerChildren = 1000;
constexpr size_t kPendingStep = 25000;

// The marks a node keeps in the window's item state.
constexpr UINT kNodeStates = TVIS_CUT | TVIS_DROPHILITED | TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK;

// Orders a parent's items in the window as the nodes are ordered in the model.
int CALLBACK CompareByPosition(LPARAM first, LPARAM second, LPARAM nodes)
{
    const auto* owner = reinterpret_cast<const TTreeNodes*>(nodes);
    const TTreeNode* a = owner->FindBySerial(first);
    const TTreeNode* b = owner->FindBySerial(second);
    return (a != nullptr ? a->Index() : 0) - (b != nullptr ? b->Index() : 0);
}

}  // namespace

// A change to an item the window shows. Under Wine the window measures every shown item
// again after each such change unless drawing is off (200 ms for one new row among 5,000):
// the change goes in with drawing off, and what it touched is drawn afterwards.
class TTreeView::TShownChange {
public:
    // `shown`: the item is (or goes) among the shown ones; `whole`: rows below move.
    TShownChange(TTreeView* tree, const TTreeNode* node, bool shown, bool whole)
        : tree_(tree),
          node_(node),
          whole_(whole),
          active_(shown && tree->NativeReady() && !tree->items_.Updating())
    {
        if (active_)
            tree_->Native(WM_SETREDRAW, FALSE, 0);
    }
    ~TShownChange()
    {
        if (!active_)
            return;
        tree_->Native(WM_SETREDRAW, TRUE, 0);
        const RECT rect =
            whole_ || node_ == nullptr ? RECT{} : tree_->NativeItemRect(node_->item_, false);
        InvalidateRect(tree_->WindowHandle(), rect.right > rect.left ? &rect : nullptr, TRUE);
    }
    TShownChange(const TShownChange&) = delete;
    TShownChange& operator=(const TShownChange&) = delete;

private:
    TTreeView* tree_;
    const TTreeNode* node_;
    bool whole_;
    bool active_;
};

TTreeView::TTreeView(TComponent* owner)
    : TWinControl(owner),
      items_(this),
      imageLists_(this, {TVSIL_NORMAL, TVSIL_STATE},
                  [this](int which, TCustomImageList* images) { AttachImageList(which, images); })
{
    SetBounds(0, 0, 121, 97);
    changeTimer_ = MakeOwned<TTimer>(this);
    changeTimer_->SetEnabled(false);
    changeTimer_->OnTimer = [this](TObject*) { ChangeTimerFired(); };
    pendingTimer_ = MakeOwned<TTimer>(this);
    pendingTimer_->SetEnabled(false);
    pendingTimer_->SetInterval(1);
    pendingTimer_->OnTimer = [this](TObject*) { MaterializePendingStep(); };
}

LRESULT TTreeView::Native(UINT message, WPARAM wParam, LPARAM lParam) const
{
    // Straight to the window class: through our own procedure every message would look the
    // control up first, which under Wine costs a server round trip (a window property).
    TMessage request{message, wParam, lParam, 0};
    const_cast<TTreeView*>(this)->DefaultHandler(request);
    return request.Result;
}

TTreeView::~TTreeView()
{
    changeTimer_->SetEnabled(false);
    changeTimer_->OnTimer = nullptr;
    pendingTimer_->SetEnabled(false);
    pendingTimer_->OnTimer = nullptr;
    DestroyHandle();
    imageLists_.Release();
}

TTreeNodeClass TTreeView::DefaultNodeClass() const
{
    return [](TTreeNodes* owner) { return std::make_unique<TTreeNode>(owner); };
}

std::unique_ptr<TTreeNode> TTreeView::CreateNode()
{
    TTreeNodeClass nodeClass = DefaultNodeClass();
    if (OnCreateNodeClass)
        OnCreateNodeClass(this, nodeClass);
    std::unique_ptr<TTreeNode> node = nodeClass ? nodeClass(&items_) : nullptr;
    if (!node)
        throw Exception(L"The tree's node class made no node");
    return node;
}

// --- window ----------------------------------------------------------------------------

DWORD TTreeView::ExtendedStyleBits() const
{
    DWORD bits = 0;
    if (doubleBuffered_)
        bits |= TVS_EX_DOUBLEBUFFER;
    if (explorerStyle_)
        bits |= TVS_EX_FADEINOUTEXPANDOS;
    return bits;
}

void TTreeView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_TREEVIEWW;
    params.WinClassName = L"Bivista.TreeView";
    params.Style |= WS_TABSTOP;
    if (showButtons_)
        params.Style |= TVS_HASBUTTONS;
    if (showLines_)
        params.Style |= TVS_HASLINES;
    if (showRoot_)
        params.Style |= TVS_LINESATROOT;
    if (!readOnly_)
        params.Style |= TVS_EDITLABELS;
    if (!hideSelection_)
        params.Style |= TVS_SHOWSELALWAYS;
    if (rowSelect_)
        params.Style |= TVS_FULLROWSELECT;
    if (!toolTips_)
        params.Style |= TVS_NOTOOLTIPS;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::CreateWnd()
{
    static bool commonControlsLoaded = false;
    if (!commonControlsLoaded) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        commonControlsLoaded = true;
    }
    closing_ = false;
    TWinControl::CreateWnd();
    const HWND window = WindowHandle();
    ApplyExtendedStyles();
    ApplyExplorerLook();
    if (indent_ > 0)
        Native(TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
    imageLists_.AttachAll();

    // The new window gets every node, the expanded states and the selection kept meanwhile.
    Native(WM_SETREDRAW, FALSE, 0);
    {
        const TRestoreOnExit quiet(quietSelection_, quietSelection_ + 1);
        CreateNativeSubtree(items_.root_.get());
        RestoreExpanded(items_.root_.get());
        if (TTreeNode* selected = items_.FindBySerial(pendingSelection_))
            Native(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected->item_));
    }
    pendingSelection_ = 0;
    if (!items_.Updating()) {
        Native(WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void TTreeView::WindowDestroying()
{
    // The next window starts with this one's selection and expanded states.
    if (TTreeNode* selected = Selected())
        pendingSelection_ = selected->serial_;
    closing_ = true;
    changeTimer_->SetEnabled(false);
    pendingTimer_->SetEnabled(false);
    pendingParents_.clear();
    for (TTreeNode* node = items_.GetFirstNode(); node != nullptr; node = node->GetNext()) {
        if (node->item_ != nullptr)
            node->expanded_ =
                (Native(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->item_), TVIS_EXPANDED) &
                 TVIS_EXPANDED) != 0;
        node->item_ = nullptr;
        node->nativeChildren_ = 0;
    }
    items_.root_->nativeChildren_ = 0;
    TWinControl::WindowDestroying();
}

void TTreeView::SetStyleBit(DWORD bit, bool on)
{
    if (!HandleAllocated())
        return;
    const HWND window = WindowHandle();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit));
    if (wanted != style) {
        SetWindowLongPtrW(window, GWL_STYLE, wanted);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void TTreeView::ApplyExtendedStyles()
{
    if (!HandleAllocated())
        return;
    Native(TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER | TVS_EX_FADEINOUTEXPANDOS,
           ExtendedStyleBits());
}

void TTreeView::ApplyExplorerLook()
{
    if (HandleAllocated() && explorerStyle_)
        SetWindowTheme(WindowHandle(), L"explorer", nullptr);
}

void TTreeView::SetShowButtons(bool show)
{
    if (show == showButtons_)
        return;
    showButtons_ = show;
    SetStyleBit(TVS_HASBUTTONS, show);
}

void TTreeView::SetShowLines(bool show)
{
    if (show == showLines_)
        return;
    showLines_ = show;
    SetStyleBit(TVS_HASLINES, show);
}

void TTreeView::SetShowRoot(bool show)
{
    if (show == showRoot_)
        return;
    showRoot_ = show;
    SetStyleBit(TVS_LINESATROOT, show);
}

void TTreeView::SetReadOnly(bool readOnly)
{
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    SetStyleBit(TVS_EDITLABELS, !readOnly);
}

void TTreeView::SetHideSelection(bool hide)
{
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    SetStyleBit(TVS_SHOWSELALWAYS, !hide);
}

void TTreeView::SetRowSelect(bool rowSelect)
{
    if (rowSelect == rowSelect_)
        return;
    rowSelect_ = rowSelect;
    SetStyleBit(TVS_FULLROWSELECT, rowSelect);
}

void TTreeView::SetToolTips(bool toolTips)
{
    if (toolTips == toolTips_)
        return;
    toolTips_ = toolTips;
    SetStyleBit(TVS_NOTOOLTIPS, !toolTips);
}

void TTreeView::SetDoubleBuffered(bool doubleBuffered)
{
    if (doubleBuffered == doubleBuffered_)
        return;
    doubleBuffered_ = doubleBuffered;
    ApplyExtendedStyles();
}

void TTreeView::SetExplorerStyle(bool explorerStyle)
{
    if (explorerStyle == explorerStyle_)
        return;
    explorerStyle_ = explorerStyle;
    if (explorerStyle) {
        SetShowLines(false);
        doubleBuffered_ = true;
        ApplyExplorerLook();
    } else if (HandleAllocated()) {
        SetWindowTheme(WindowHandle(), nullptr, nullptr);
    }
    ApplyExtendedStyles();
}

int TTreeView::Indent() const
{
    if (HandleAllocated())
        return static_cast<int>(Native(TVM_GETINDENT, 0, 0));
    return indent_;
}

void TTreeView::SetIndent(int indent)
{
    indent_ = std::max(indent, 0);
    if (HandleAllocated() && indent_ > 0)
        Native(TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
}

void TTreeView::SetChangeDelay(UINT delay)
{
    changeDelay_ = delay;
}

// --- image lists -----------------------------------------------------------------------

void TTreeView::AttachImageList(int which, TCustomImageList* images)
{
    if (!HandleAllocated())
        return;
    HIMAGELIST handle = images != nullptr ? images->Handle() : nullptr;
    Native(TVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(handle));
    Invalidate();
}

void TTreeView::SetImages(TCustomImageList* images)
{
    imageLists_.Set(kImages, images);
}

void TTreeView::SetStateImages(TCustomImageList* images)
{
    imageLists_.Set(kStateImages, images);
}

void TTreeView::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove)
        imageLists_.Removed(component);
}

// --- native items ----------------------------------------------------------------------

bool TTreeView::NativeReady() const noexcept
{
    return HandleAllocated() && !closing_;
}

void TTreeView::CreateNativeItem(TTreeNode* node)
{
    if (!NativeReady())
        return;
    TTreeNode* parent = node->parent_;
    if (parent == nullptr || parent->item_ == nullptr || node->item_ != nullptr)
        return;
    // Only next to a sibling already in the window, so those in it stay the first ones; the
    // children a node gets as it expands wait for PrepareExpansion.
    const size_t index = static_cast<size_t>(node->index_);
    if (index > parent->nativeChildren_ ||
        (index == parent->nativeChildren_ && parent->serial_ == deferredParent_))
        return;
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent->item_;
    if (index + 1 == parent->children_.size())
        insert.hInsertAfter = TVI_LAST;
    else if (index == 0)
        insert.hInsertAfter = TVI_FIRST;
    else
        insert.hInsertAfter = parent->children_[index - 1]->item_;
    if (insert.hInsertAfter == nullptr)
        insert.hInsertAfter = TVI_LAST;
    TVITEMW& item = insert.item;
    // Images and the expand button are asked for when the item is drawn.
    item.mask =
        TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM | TVIF_STATE;
    item.pszText = const_cast<wchar_t*>(node->text_.c_str());
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    item.cChildren = I_CHILDRENCALLBACK;
    item.lParam = node->serial_;
    item.state = node->NativeState();
    item.stateMask = kNodeStates;
    TShownChange change(this, node, node->IsVisible(), true);
    node->item_ =
        reinterpret_cast<HTREEITEM>(Native(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node->item_ != nullptr)
        ++parent->nativeChildren_;
}

bool TTreeView::AskExpand(TTreeNode* node)
{
    const TRestoreOnExit deferred(deferredParent_, node->serial_);
    return CanExpand(node);
}

void TTreeView::EnsureNativeItem(TTreeNode* node)
{
    if (!NativeReady() || node == nullptr || node->item_ != nullptr || !node->InTree() ||
        node->owner_ != &items_)
        return;
    TTreeNode* parent = node->parent_;
    if (parent != items_.root_.get())
        EnsureNativeItem(parent);
    MaterializeChildren(parent, static_cast<size_t>(node->index_) + 1);
}

void TTreeView::MaterializeChildren(TTreeNode* parent, size_t count)
{
    count = std::min(count, parent->children_.size());
    if (!NativeReady() || parent->item_ == nullptr || parent->nativeChildren_ >= count)
        return;
    const LPARAM serial = parent->serial_;
    // One measuring pass of the window for the whole batch.
    const TUpdateScope update(items_);
    const TRestoreOnExit deferred(deferredParent_, 0);
    while (items_.FindBySerial(serial) == parent && parent->nativeChildren_ < count) {
        TTreeNode* child = parent->children_[parent->nativeChildren_].get();
        CreateNativeItem(child);
        if (child->item_ == nullptr)
            break;
        // Children it got meanwhile go in as it opens; one kept open goes in open.
        if (child->expanded_) {
            child->expanded_ = false;
            if (!child->children_.empty())
                NativeExpand(child, TVE_EXPAND);
        }
    }
}

size_t TTreeView::FirstScreensOfRows() const
{
    const int rowHeight = std::max(1, static_cast<int>(Native(TVM_GETITEMHEIGHT, 0, 0)));
    RECT client{};
    GetClientRect(WindowHandle(), &client);
    // Two screens and a margin: a page down or a few turns of the wheel need nothing more.
    return static_cast<size_t>(std::max(1L, client.bottom / rowHeight)) * 2 + 64;
}

void TTreeView::PrepareExpansion(TTreeNode* node)
{
    if (!NativeReady())
        return;
    EnsureNativeItem(node);
    const size_t count = node->children_.size();
    if (node->item_ == nullptr || node->nativeChildren_ >= count)
        return;
    MaterializeChildren(node, count <= kEagerChildren ? count : FirstScreensOfRows());
    if (node->nativeChildren_ < count && std::find(pendingParents_.begin(), pendingParents_.end(),
                                                   node->serial_) == pendingParents_.end()) {
        pendingParents_.push_back(node->serial_);
        pendingTimer_->SetEnabled(true);
    }
}

void TTreeView::MaterializePendingStep()
{
    while (!pendingParents_.empty()) {
        TTreeNode* parent = items_.FindBySerial(pendingParents_.front());
        if (parent != nullptr && parent->item_ != nullptr &&
            parent->nativeChildren_ < parent->children_.size()) {
            MaterializeChildren(parent, parent->nativeChildren_ + kPendingStep);
            break;  // one step per tick: input and painting go between steps
        }
        pendingParents_.erase(pendingParents_.begin());
    }
    if (pendingParents_.empty())
        pendingTimer_->SetEnabled(false);
}

bool TTreeView::ItemsPending() const noexcept
{
    return std::any_of(pendingParents_.begin(), pendingParents_.end(), [this](LPARAM serial) {
        const TTreeNode* parent = items_.FindBySerial(serial);
        return parent != nullptr && parent->item_ != nullptr &&
               parent->nativeChildren_ < parent->children_.size();
    });
}

void TTreeView::FlushPendingItems()
{
    while (!pendingParents_.empty()) {
        const LPARAM serial = pendingParents_.front();
        pendingParents_.erase(pendingParents_.begin());
        if (TTreeNode* parent = items_.FindBySerial(serial))
            MaterializeChildren(parent, parent->children_.size());
    }
    pendingTimer_->SetEnabled(false);
}

void TTreeView::WndProc(TMessage& message)
{
    // Jumps, scrolling and type-ahead search see every row.
    if (!pendingParents_.empty()) {
        switch (message.Msg) {
        case WM_KEYDOWN:
            if (message.WParam == VK_END || message.WParam == VK_NEXT)
                FlushPendingItems();
            break;
        case WM_CHAR:
        case WM_VSCROLL:
        case WM_MOUSEWHEEL: FlushPendingItems(); break;
        default: break;
        }
    }
    TWinControl::WndProc(message);
}

void TTreeView::CreateNativeSubtree(TTreeNode* node)
{
    for (const auto& child : node->children_) {
        CreateNativeItem(child.get());
        CreateNativeSubtree(child.get());
    }
}

void TTreeView::RestoreExpanded(TTreeNode* node)
{
    for (const auto& child : node->children_) {
        if (child->expanded_) {
            child->expanded_ = false;
            if (!child->children_.empty())
                NativeExpand(child.get(), TVE_EXPAND);
        }
        RestoreExpanded(child.get());
    }
}

void TTreeView::UpdateNativeText(TTreeNode* node)
{
    if (!NativeReady() || node->item_ == nullptr)
        return;
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node->item_;
    item.pszText = const_cast<wchar_t*>(node->text_.c_str());
    TShownChange change(this, node, node->IsVisible(), false);
    Native(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeView::UpdateNativeState(TTreeNode* node, UINT mask)
{
    if (!NativeReady() || node->item_ == nullptr)
        return;
    TVITEMW item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = node->item_;
    item.state = node->NativeState();
    item.stateMask = mask;
    TShownChange change(this, node, node->IsVisible(), false);
    Native(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeView::UpdateNativeChildren(TTreeNode* node)
{
    if (!NativeReady() || node->item_ == nullptr || answering_ == node)
        return;
    // Set again, the callback makes the window ask for the button anew.
    TVITEMW item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = node->item_;
    item.cChildren = I_CHILDRENCALLBACK;
    TShownChange change(this, node, node->IsVisible(), false);
    Native(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

RECT TTreeView::NativeItemRect(HTREEITEM item, bool textOnly) const
{
    RECT rect{};
    if (!NativeReady() || item == nullptr)
        return rect;
    // The request carries the item in the rectangle's first bytes.
    std::memcpy(&rect, &item, sizeof(item));
    if (!Native(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect)))
        rect = RECT{};
    return rect;
}

int TTreeView::HorizontalScroll() const
{
    if (!HandleAllocated())
        return 0;
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(WindowHandle(), SB_HORZ, &info) ? info.nPos : 0;
}

void TTreeView::ScrollHorizontally(int position)
{
    Native(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::clamp(position, 0, 0x7FFF)), 0);
}

void TTreeView::ShowNameStart(int scrollBefore, HTREEITEM item)
{
    if (!NativeReady() || item == nullptr)
        return;
    if (HorizontalScroll() != scrollBefore)
        ScrollHorizontally(scrollBefore);
    RECT client{};
    GetClientRect(WindowHandle(), &client);
    const RECT text = NativeItemRect(item, true);
    if (client.right <= 0 || text.right <= text.left)
        return;  // no room yet, or the item is not shown
    // The first few letters (about as wide as two rows are high): the other names stay whole
    // as far as they can.
    const int letters = 2 * static_cast<int>(Native(TVM_GETITEMHEIGHT));
    const int start = std::min<int>({text.right - text.left, letters, client.right});
    int shift = 0;
    if (text.left < 0)
        shift = text.left;
    else if (text.left + start > client.right)
        shift = text.left + start - client.right;
    if (shift != 0)
        ScrollHorizontally(HorizontalScroll() + shift);
}

void TTreeView::RedrawNode(const TTreeNode* node)
{
    // Set while the window asks for it: the answer carries it, nothing to redraw.
    if (!NativeReady() || node->item_ == nullptr || answering_ == node || items_.Updating())
        return;
    const RECT rect = NativeItemRect(node->item_, false);
    if (rect.right > rect.left)
        InvalidateRect(WindowHandle(), &rect, TRUE);
}

void TTreeView::LeaveBeforeDeleting(TTreeNode* node)
{
    if (!NativeReady() || node == nullptr || !node->InTree())
        return;
    const TTreeNode* within = Selected();
    while (within != nullptr && within != node)
        within = within->Parent();
    if (within == nullptr)
        return;
    const TRestoreOnExit noDelay(changeDelay_, 0u);
    for (TTreeNode* above = node->Parent(); above != nullptr; above = above->Parent()) {
        SetSelected(above);
        if (Selected() == above || !node->InTree())
            break;
    }
}

void TTreeView::DeleteNativeItem(HTREEITEM item)
{
    if (!NativeReady() || item == nullptr)
        return;
    TShownChange change(this, nullptr, true, true);
    Native(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void TTreeView::DeleteNativeChildren(TTreeNode* node)
{
    if (!NativeReady() || node->item_ == nullptr)
        return;
    {
        const TRestoreOnExit quiet(quietExpansion_, quietExpansion_ + 1);
        Native(TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(node->item_));
    }
    node->expanded_ = false;
}

void TTreeView::DeleteAllNativeItems()
{
    changeTimer_->SetEnabled(false);
    pendingSelection_ = 0;
    if (!NativeReady())
        return;
    const TRestoreOnExit quiet(quietSelection_, quietSelection_ + 1);
    Native(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TTreeView::NativeExpand(TTreeNode* node, UINT action)
{
    if (action == TVE_EXPAND)
        PrepareExpansion(node);
    if (!NativeReady() || node->item_ == nullptr) {
        node->expanded_ = action == TVE_EXPAND;
        return;
    }
    {
        const TRestoreOnExit quiet(quietExpansion_, quietExpansion_ + 1);
        Native(TVM_EXPAND, action, reinterpret_cast<LPARAM>(node->item_));
    }
    node->expanded_ =
        (Native(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->item_), TVIS_EXPANDED) &
         TVIS_EXPANDED) != 0;
}

void TTreeView::BeginBulkUpdate()
{
    if (NativeReady())
        Native(WM_SETREDRAW, FALSE, 0);
}

void TTreeView::EndBulkUpdate()
{
    if (!NativeReady())
        return;
    Native(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(WindowHandle(), nullptr, TRUE);
}

// --- selection -------------------------------------------------------------------------

TTreeNode* TTreeView::Selected() const
{
    if (!NativeReady())
        return items_.FindBySerial(pendingSelection_);
    const auto item = reinterpret_cast<HTREEITEM>(Native(TVM_GETNEXTITEM, TVGN_CARET, 0));
    return items_.GetNode(item);
}

void TTreeView::SetSelected(TTreeNode* node)
{
    if (node != nullptr && (node->owner_ != &items_ || !node->InTree()))
        return;
    if (!NativeReady()) {
        if (items_.FindBySerial(pendingSelection_) == node || !CanChange(node))
            return;
        pendingSelection_ = node != nullptr ? node->serial_ : 0;
        Change(node);
        return;
    }
    EnsureNativeItem(node);
    const int scroll = HorizontalScroll();
    // The window asks (TVN_SELCHANGING) and reports (TVN_SELCHANGED) as for the user.
    Native(TVM_SELECTITEM, TVGN_CARET,
           reinterpret_cast<LPARAM>(node != nullptr ? node->item_ : nullptr));
    if (HorizontalScroll() != scroll && node != nullptr && node->InTree())
        ShowNameStart(scroll, node->item_);
}

void TTreeView::SelectionChanged(TTreeNode* node)
{
    if (changeDelay_ > 0) {
        changeTimer_->SetInterval(changeDelay_);
        changeTimer_->Restart();
        return;
    }
    changeTimer_->SetEnabled(false);
    Change(node);
}

bool TTreeView::ChangePending() const
{
    return changeTimer_->Enabled();
}

void TTreeView::SetChangePending(bool pending)
{
    if (!pending) {
        changeTimer_->SetEnabled(false);
        return;
    }
    changeTimer_->SetInterval(std::max<UINT>(changeDelay_, 1));
    changeTimer_->Restart();
}

void TTreeView::ChangeTimerFired()
{
    changeTimer_->SetEnabled(false);
    Change(Selected());
}

TTreeNode* TTreeView::TopItem() const
{
    if (!NativeReady())
        return items_.GetFirstNode();
    return items_.GetNode(
        reinterpret_cast<HTREEITEM>(Native(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

UINT TTreeView::GetHitTestInfoAt(int x, int y, TTreeNode** node) const
{
    if (node != nullptr)
        *node = nullptr;
    if (!NativeReady())
        return TVHT_NOWHERE;
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    const auto item =
        reinterpret_cast<HTREEITEM>(Native(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (node != nullptr)
        *node = items_.GetNode(item);
    return hit.flags;
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const
{
    TTreeNode* node = nullptr;
    const UINT flags = GetHitTestInfoAt(x, y, &node);
    return (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)) != 0
               ? node
               : nullptr;
}

bool TTreeView::IsEditing() const
{
    return NativeReady() && Native(TVM_GETEDITCONTROL, 0, 0) != 0;
}

void TTreeView::EndEditing(bool cancel)
{
    if (IsEditing())
        Native(TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE, 0);
}

// --- sorting ---------------------------------------------------------------------------

void TTreeView::SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse)
{
    auto& children = parent->children_;
    if (children.size() >= 2 && compare) {
        std::vector<TTreeNode*> order;
        order.reserve(children.size());
        for (const auto& child : children)
            order.push_back(child.get());
        // Folders mostly come in order already: then n - 1 comparisons settle it.
        bool sorted = true;
        for (size_t i = 1; i < order.size() && sorted; ++i)
            sorted = compare(order[i - 1], order[i]) <= 0;
        if (!sorted) {
            // The window sorts only whole runs of children.
            if (parent->nativeChildren_ > 0)
                MaterializeChildren(parent, children.size());
            // Sorted as a copy: a throwing comparison leaves the children as they were.
            std::stable_sort(order.begin(), order.end(),
                             [&compare](TTreeNode* a, TTreeNode* b) { return compare(a, b) < 0; });
            for (auto& child : children)
                (void)child.release();
            for (size_t i = 0; i < children.size(); ++i)
                children[i].reset(order[i]);
            parent->Renumber(0);
            if (NativeReady() && parent->item_ != nullptr) {
                TVSORTCB sort{};
                sort.hParent = parent->item_;
                sort.lpfnCompare = CompareByPosition;
                sort.lParam = reinterpret_cast<LPARAM>(&items_);
                Native(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
            }
        }
    }
    if (!recurse)
        return;
    for (const auto& child : children)
        SortChildren(child.get(), compare, true);
}

bool TTreeView::CustomSort(const TTVCompare& compare, bool recurse)
{
    SortChildren(items_.root_.get(), compare, recurse);
    return true;
}

bool TTreeView::AlphaSort(bool recurse)
{
    return items_.root_->AlphaSort(recurse);
}

// --- notifications ---------------------------------------------------------------------

bool TTreeView::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_NOTIFY)
        return TWinControl::ReflectedMessage(message);
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    LRESULT result = 0;
    if (!Notify(*header, result))
        return false;
    message.Result = result;
    return true;
}

bool TTreeView::Notify(NMHDR& header, LRESULT& result)
{
    if (closing_ && header.code != TVN_GETDISPINFOW)
        return true;  // the window is going: its last reports concern no node
    switch (header.code) {
    case TVN_GETDISPINFOW:
        AnswerDisplayRequest(reinterpret_cast<NMTVDISPINFOW&>(header));
        return true;
    case TVN_ITEMEXPANDINGW: {
        const auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
        result = FALSE;
        if (quietExpansion_ > 0)
            return true;
        TTreeNode* node = NodeOfParam(view.itemNew.lParam);
        if (node == nullptr)
            return true;
        bool allowed = true;
        if ((view.action & TVE_EXPAND) != 0) {
            const LPARAM serial = node->serial_;
            allowed = AskExpand(node);
            if (allowed && NodeOfParam(serial) == node)
                PrepareExpansion(node);
        } else if ((view.action & TVE_COLLAPSE) != 0)
            allowed = CanCollapse(node);
        result = allowed ? FALSE : TRUE;
        return true;
    }
    case TVN_ITEMEXPANDEDW: {
        const auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
        if (quietExpansion_ > 0)
            return true;
        TTreeNode* node = NodeOfParam(view.itemNew.lParam);
        if (node == nullptr || node->item_ == nullptr)
            return true;
        const bool expanded =
            (Native(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->item_), TVIS_EXPANDED) &
             TVIS_EXPANDED) != 0;
        if (expanded == node->expanded_)
            return true;
        node->expanded_ = expanded;
        if (expanded)
            Expand(node);
        else
            Collapse(node);
        return true;
    }
    case TVN_SELCHANGINGW: {
        const auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
        result = FALSE;
        if (quietSelection_ > 0)
            return true;
        result = CanChange(NodeOfParam(view.itemNew.lParam)) ? FALSE : TRUE;
        return true;
    }
    case TVN_SELCHANGEDW: {
        const auto& view = reinterpret_cast<NMTREEVIEWW&>(header);
        if (quietSelection_ == 0)
            SelectionChanged(NodeOfParam(view.itemNew.lParam));
        return true;
    }
    case TVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
        TTreeNode* node = NodeOfParam(info.item.lParam);
        result = node != nullptr && CanEdit(node) ? FALSE : TRUE;
        editedSerial_ = result == FALSE ? info.item.lParam : 0;
        return true;
    }
    case TVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
        // The node's text is set here, not by the window (whose answer stays FALSE).
        result = FALSE;
        const LPARAM serial = info.item.lParam;
        // One end per edit: Wine ends an edit a second time when the edit box, being hidden,
        // loses the focus, and then reports a cancelled edit as a committed one.
        if (serial != editedSerial_)
            return true;
        editedSerial_ = 0;
        TTreeNode* node = NodeOfParam(serial);
        if (node == nullptr)
            return true;
        if (info.item.pszText == nullptr) {
            EditCanceled(node);
            return true;
        }
        std::wstring text = info.item.pszText;
        Edit(node, text);
        if (TTreeNode* still = NodeOfParam(serial))
            still->SetText(text);
        return true;
    }
    case TVN_DELETEITEMW: return true;  // the control frees its own nodes
    case NM_CUSTOMDRAW: result = CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(header)); return true;
    case NM_CLICK: Click(); return true;
    case NM_RCLICK:
        if (RightClickSelect) {
            POINT point{};
            GetCursorPos(&point);
            point = ScreenToClient(point);
            if (TTreeNode* node = GetNodeAt(point.x, point.y))
                SetSelected(node);
        }
        result = 0;
        return true;
    default: return false;
    }
}

void TTreeView::AnswerDisplayRequest(NMTVDISPINFOW& info)
{
    TVITEMW& request = info.item;
    const LPARAM serial = request.lParam;
    TTreeNode* node = NodeOfParam(serial);
    if (node == nullptr)
        return;
    {
        const TRestoreOnExit answering(answering_, node);
        if ((request.mask & (TVIF_IMAGE | TVIF_CHILDREN)) != 0)
            GetImageIndex(node);
        if ((request.mask & TVIF_SELECTEDIMAGE) != 0 && NodeOfParam(serial) == node)
            GetSelectedIndex(node);
    }
    if (NodeOfParam(serial) != node)
        return;  // a handler took the node out
    if ((request.mask & TVIF_IMAGE) != 0)
        request.iImage = node->imageIndex_;
    if ((request.mask & TVIF_SELECTEDIMAGE) != 0)
        request.iSelectedImage =
            node->selectedIndex_ >= 0 ? node->selectedIndex_ : node->imageIndex_;
    if ((request.mask & TVIF_CHILDREN) != 0)
        request.cChildren = node->hasChildren_ ? 1 : 0;
}

bool TTreeView::IsCustomDrawn() const
{
    return static_cast<bool>(OnCustomDrawItem);
}

COLORREF TTreeView::BackgroundColor() const
{
    const auto color = static_cast<COLORREF>(Native(TVM_GETBKCOLOR));
    return color == CLR_NONE ? GetSysColor(COLOR_WINDOW) : color;
}

COLORREF TTreeView::InactiveSelectionColor() const
{
    // The highlight, faded into the background: plainly a selection, plainly not the focus.
    // The window's own (the button face) is hardly told from a white background.
    const COLORREF background = BackgroundColor();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    auto mix = [](BYTE back, BYTE fore) { return static_cast<BYTE>((back * 3 + fore * 2) / 5); };
    return RGB(mix(GetRValue(background), GetRValue(highlight)),
               mix(GetGValue(background), GetGValue(highlight)),
               mix(GetBValue(background), GetBValue(highlight)));
}

bool TTreeView::ShowsInactiveSelection() const
{
    return !hideSelection_ && GetFocus() != WindowHandle();
}

void TTreeView::FillBackground(HDC dc) const
{
    RECT box{};
    if (GetClipBox(dc, &box) == ERROR)
        return;
    TScopedGdiObject brush(CreateSolidBrush(BackgroundColor()));
    FillRect(dc, &box, static_cast<HBRUSH>(brush.get()));
}

LRESULT TTreeView::CustomDraw(NMTVCUSTOMDRAW& draw)
{
    const DWORD stage = draw.nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) {
        // Themed (under Wine), the window fills its background with its parent's colour once
        // this stage is over, and puts its own background colour under each label: white boxes
        // on grey. The first item's turn comes before any row is drawn: one colour under all.
        backgroundPending_ = true;
        return CDRF_NOTIFYITEMDRAW;
    }
    if (stage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    if (backgroundPending_) {
        backgroundPending_ = false;
        FillBackground(draw.nmcd.hdc);
    }
    TTreeNode* node = NodeOfParam(draw.nmcd.lItemlParam);
    if (node == nullptr)
        return CDRF_DODEFAULT;
    if ((draw.nmcd.uItemState & CDIS_SELECTED) != 0 && !node->DropTarget() &&
        ShowsInactiveSelection()) {
        draw.clrTextBk = InactiveSelectionColor();
        draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
    }
    if (!IsCustomDrawn())
        return CDRF_DODEFAULT;
    TItemDraw canvas;
    canvas.DC = draw.nmcd.hdc;
    canvas.Rect = draw.nmcd.rc;
    canvas.ItemState = draw.nmcd.uItemState;
    canvas.TextColor = draw.clrText;
    canvas.TextBackground = draw.clrTextBk;
    bool defaultDraw = true;
    CustomDrawItem(node, canvas, defaultDraw);
    if (!defaultDraw)
        return CDRF_SKIPDEFAULT;
    draw.clrText = canvas.TextColor;
    draw.clrTextBk = canvas.TextBackground;
    if (canvas.Font != nullptr) {
        SelectObject(draw.nmcd.hdc, canvas.Font);
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

// --- virtual defaults ------------------------------------------------------------------

bool TTreeView::CanExpand(TTreeNode* node)
{
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, node, allow);
    return allow;
}

void TTreeView::Expand(TTreeNode* node)
{
    if (OnExpanded)
        OnExpanded(this, node);
}

bool TTreeView::CanCollapse(TTreeNode* node)
{
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, node, allow);
    return allow;
}

void TTreeView::Collapse(TTreeNode* node)
{
    if (OnCollapsed)
        OnCollapsed(this, node);
}

bool TTreeView::CanChange(TTreeNode* node)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, node, allow);
    return allow;
}

void TTreeView::Change(TTreeNode* node)
{
    if (OnChange)
        OnChange(this, node);
}

void TTreeView::Delete(TTreeNode* node)
{
    if (OnDeletion)
        OnDeletion(this, node);
}

bool TTreeView::CanEdit(TTreeNode* node)
{
    if (readOnly_)
        return false;
    bool allow = true;
    if (OnEditing)
        OnEditing(this, node, allow);
    return allow;
}

void TTreeView::Edit(TTreeNode* node, std::wstring& text)
{
    if (OnEdited)
        OnEdited(this, node, text);
}

void TTreeView::EditCanceled(TTreeNode* node)
{
    if (OnCancelEdit)
        OnCancelEdit(this, node);
}

void TTreeView::GetImageIndex(TTreeNode* node)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, node);
}

void TTreeView::GetSelectedIndex(TTreeNode* node)
{
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, node);
}

void TTreeView::CustomDrawItem(TTreeNode* node, TItemDraw& draw, bool& defaultDraw)
{
    if (OnCustomDrawItem)
        OnCustomDrawItem(this, node, draw, defaultDraw);
}
