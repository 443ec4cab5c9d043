#include "ui/ListView.h"

#include "core/ScopedResource.h"
#include "core/TextCompare.h"

#include <uxtheme.h>

#include <algorithm>
#include <cwctype>
#include <optional>

namespace {

// The marks the control keeps itself; the window asks for them when it draws.
constexpr UINT kCallbackStates =
    LVIS_CUT | LVIS_DROPHILITED | LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;

int ColumnFormat(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify: return LVCFMT_RIGHT;
    case TAlignment::taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

void CopyText(const std::wstring& text, wchar_t* buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return;
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::copy_n(text.data(), count, buffer);
    buffer[count] = L'\0';
}

}  // namespace

TListView::TListView(TComponent* owner)
    : TWinControl(owner),
      items_(this),
      columns_(this),
      imageLists_(this, {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE},
                  [this](int which, TCustomImageList* images) { AttachImageList(which, images); })
{
    SetBounds(0, 0, 250, 150);
}

TListView::~TListView()
{
    DestroyHandle();
    imageLists_.Release();
}

std::unique_ptr<TListItem> TListView::CreateListItem()
{
    return std::make_unique<TListItem>(this);
}

// --- window ----------------------------------------------------------------------------

DWORD TListView::ViewStyleBits() const
{
    switch (viewStyle_) {
    case vsSmallIcon: return LVS_SMALLICON;
    case vsList: return LVS_LIST;
    case vsReport: return LVS_REPORT;
    default: return LVS_ICON;
    }
}

DWORD TListView::ExtendedStyleBits() const
{
    DWORD bits = LVS_EX_INFOTIP | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
    if (rowSelect_)
        bits |= LVS_EX_FULLROWSELECT;
    if (gridLines_)
        bits |= LVS_EX_GRIDLINES;
    return bits;
}

void TListView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_LISTVIEWW;
    params.WinClassName = L"Bivista.ListView";
    params.Style |= WS_TABSTOP | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | ViewStyleBits();
    if (!multiSelect_)
        params.Style |= LVS_SINGLESEL;
    if (!readOnly_)
        params.Style |= LVS_EDITLABELS;
    if (!hideSelection_)
        params.Style |= LVS_SHOWSELALWAYS;
    if (autoArrange_)
        params.Style |= LVS_AUTOARRANGE;
    if (!showColumnHeaders_)
        params.Style |= LVS_NOCOLUMNHEADER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd()
{
    static bool commonControlsLoaded = false;
    if (!commonControlsLoaded) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        commonControlsLoaded = true;
    }
    TWinControl::CreateWnd();
    HWND window = WindowHandle();
    ApplyExtendedStyles();
    ApplyExplorerLook();
    SendMessageW(window, LVM_SETCALLBACKMASK, kCallbackStates, 0);
    imageLists_.AttachAll();
    nativeColumnCount_ = 0;
    RebuildColumns();
    nativeCount_ = 0;
    if (!items_.Updating())
        SyncItemCount();
    // The new window takes over the selection and focus the items kept meanwhile.
    TSelection selection;
    for (const auto& item : items_.items_) {
        if (item->selected_)
            selection.selected.push_back(item.get());
        if (item->focused_)
            selection.focused = item.get();
    }
    if (!selection.selected.empty() || selection.focused != nullptr)
        RestoreSelection(selection);
    if (items_.Updating())
        SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    CheckHeader();
}

void TListView::WindowDestroying()
{
    // The next window starts with this one's selection, focus and column widths.
    const TSelection selection = CaptureSelection();
    for (const auto& item : items_.items_) {
        item->selected_ = false;
        item->focused_ = false;
    }
    for (TListItem* item : selection.selected)
        item->selected_ = true;
    if (selection.focused != nullptr)
        selection.focused->focused_ = true;
    SaveColumnWidths();
    TWinControl::WindowDestroying();
    // Until the next window exists, selection and focus are read from the items.
    nativeCount_ = 0;
    countPending_ = false;
    syncPosted_ = false;
    nativeColumnCount_ = 0;
    header_ = nullptr;
}

void TListView::ChildWindowCreated(HWND child)
{
    TWinControl::ChildWindowCreated(child);
    CheckHeader();
}

void TListView::CheckHeader()
{
    HWND header = HeaderHandle();
    if (header == nullptr || header == header_)
        return;
    header_ = header;
    HeaderCreated(header);
}

HWND TListView::HeaderHandle() const
{
    if (!HandleAllocated())
        return nullptr;
    return reinterpret_cast<HWND>(SendMessageW(WindowHandle(), LVM_GETHEADER, 0, 0));
}

void TListView::SetStyleBit(DWORD bit, bool on)
{
    if (!HandleAllocated())
        return;
    HWND window = WindowHandle();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit));
    if (wanted != style)
        SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

void TListView::ApplyExtendedStyles()
{
    if (!HandleAllocated())
        return;
    const DWORD mask = LVS_EX_INFOTIP | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER |
                       LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageW(WindowHandle(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, ExtendedStyleBits());
}

void TListView::ApplyExplorerLook()
{
    if (HandleAllocated() && explorerStyle_)
        SetWindowTheme(WindowHandle(), L"explorer", nullptr);
}

void TListView::SetExplorerStyle(bool explorerStyle)
{
    if (explorerStyle == explorerStyle_)
        return;
    explorerStyle_ = explorerStyle;
    if (explorerStyle) {
        SetRowSelect(true);
        ApplyExplorerLook();
    } else if (HandleAllocated()) {
        SetWindowTheme(WindowHandle(), nullptr, nullptr);
    }
}

void TListView::SetViewStyle(TViewStyle style)
{
    if (style == viewStyle_)
        return;
    if (viewStyle_ == vsReport)
        SaveColumnWidths();
    viewStyle_ = style;
    if (!HandleAllocated())
        return;
    HWND window = WindowHandle();
    const LONG_PTR oldStyle = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE,
                      (oldStyle & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) |
                          static_cast<LONG_PTR>(ViewStyleBits()));
    // The scroll bars of the new view are laid out, and every part of the old one repainted
    // (the old view leaves its rows behind where the new one draws nothing).
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CheckHeader();
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TListView::SetMultiSelect(bool multiSelect)
{
    if (multiSelect == multiSelect_)
        return;
    multiSelect_ = multiSelect;
    SetStyleBit(LVS_SINGLESEL, !multiSelect);
}

void TListView::SetReadOnly(bool readOnly)
{
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    SetStyleBit(LVS_EDITLABELS, !readOnly);
}

void TListView::SetHideSelection(bool hide)
{
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    SetStyleBit(LVS_SHOWSELALWAYS, !hide);
}

void TListView::SetRowSelect(bool rowSelect)
{
    if (rowSelect == rowSelect_)
        return;
    rowSelect_ = rowSelect;
    ApplyExtendedStyles();
}

void TListView::SetGridLines(bool gridLines)
{
    if (gridLines == gridLines_)
        return;
    gridLines_ = gridLines;
    ApplyExtendedStyles();
}

void TListView::SetShowColumnHeaders(bool show)
{
    if (show == showColumnHeaders_)
        return;
    showColumnHeaders_ = show;
    SetStyleBit(LVS_NOCOLUMNHEADER, !show);
}

void TListView::SetAutoArrange(bool autoArrange)
{
    if (autoArrange == autoArrange_)
        return;
    autoArrange_ = autoArrange;
    SetStyleBit(LVS_AUTOARRANGE, autoArrange);
}

// --- image lists -----------------------------------------------------------------------

void TListView::AttachImageList(int which, TCustomImageList* images)
{
    if (!HandleAllocated())
        return;
    HIMAGELIST handle = images != nullptr ? images->Handle() : nullptr;
    SendMessageW(WindowHandle(), LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                 reinterpret_cast<LPARAM>(handle));
    Invalidate();
}

void TListView::SetLargeImages(TCustomImageList* images)
{
    imageLists_.Set(kLargeImages, images);
}

void TListView::SetSmallImages(TCustomImageList* images)
{
    imageLists_.Set(kSmallImages, images);
}

void TListView::SetStateImages(TCustomImageList* images)
{
    imageLists_.Set(kStateImages, images);
}

void TListView::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove)
        imageLists_.Removed(component);
}

// --- items -----------------------------------------------------------------------------

UINT TListView::SyncMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Bivista.ListView.SyncItemCount");
    return message;
}

void TListView::ItemsChanging(bool movesItems)
{
    if (!HandleAllocated())
        return;
    // Items keep their window indexes until the count is passed on: the selection the window
    // holds is taken (by item) before the first change that moves items.
    if (movesItems && !selectionPending_) {
        pendingSelection_ = CaptureSelection();
        selectionPending_ = true;
    }
    countPending_ = true;
    if (!syncPosted_ && !items_.Updating())
        syncPosted_ = PostMessageW(WindowHandle(), SyncMessage(), 0, 0) != FALSE;
}

void TListView::ForgetPendingItem(const TListItem* item)
{
    std::erase(pendingSelection_.selected, item);
    if (pendingSelection_.focused == item)
        pendingSelection_.focused = nullptr;
}

void TListView::SyncItemCount()
{
    if (!HandleAllocated() || syncing_ || (!countPending_ && nativeCount_ == items_.Count()))
        return;
    // Under Wine every count change of a visible report view costs tens of milliseconds
    // (scroll bars): changes are passed on in one go, when the window is next used.
    syncing_ = true;
    const bool grows = items_.Count() > nativeCount_;
    const bool moved = selectionPending_;
    countPending_ = false;
    nativeCount_ = items_.Count();
    ++quietSelection_;
    SendMessageW(WindowHandle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(nativeCount_),
                 grows && !moved ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : 0);
    if (moved) {
        selectionPending_ = false;
        const TSelection selection = std::move(pendingSelection_);
        pendingSelection_ = TSelection();
        RestoreSelection(selection);
    }
    --quietSelection_;
    syncing_ = false;
}

void TListView::ItemsCleared()
{
    countPending_ = false;
    selectionPending_ = false;
    pendingSelection_ = TSelection();
    if (!HandleAllocated())
        return;
    ++quietSelection_;
    SendMessageW(WindowHandle(), LVM_DELETEALLITEMS, 0, 0);
    --quietSelection_;
    nativeCount_ = 0;
}

void TListView::WndProc(TMessage& message)
{
    if (message.Msg == SyncMessage()) {
        syncPosted_ = false;
        SyncItemCount();
        return;
    }

    if (countPending_ && !syncing_) {
        // The window is about to use its items: give it the count first.
        const UINT msg = message.Msg;
        if ((msg >= LVM_FIRST && msg < LVM_FIRST + 0x100) || msg == WM_PAINT ||
            (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
            (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_CONTEXTMENU ||
            msg == WM_TIMER || msg == WM_VSCROLL || msg == WM_HSCROLL)
            SyncItemCount();
    }
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN ||
        message.Msg == WM_LBUTTONUP)
        CollapseBeforeClick(message);
    TWinControl::WndProc(message);
    if (message.Msg == WM_SIZE) {
        // The header draws a divider at its right end and the scroll bars move with the
        // size: repainting only what a resize uncovers leaves the old ones standing.
        RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        if (HWND header = ListView_GetHeader(WindowHandle()))
            RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}

void TListView::BeginBulkUpdate()
{
    if (HandleAllocated())
        SendMessageW(WindowHandle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndBulkUpdate()
{
    if (!HandleAllocated())
        return;
    countPending_ = true;
    SyncItemCount();
    SendMessageW(WindowHandle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(WindowHandle(), nullptr, TRUE);
}

void TListView::RedrawItem(const TListItem* item, bool textChanged)
{
    if (!HandleAllocated() || items_.Updating() || selectionPending_ || item->index_ < 0 ||
        item->index_ >= nativeCount_)
        return;  // a pending count change repaints everything anyway
    HWND window = WindowHandle();
    const WPARAM index = static_cast<WPARAM>(item->index_);
    if (textChanged && viewStyle_ != vsReport && viewStyle_ != vsList)
        SendMessageW(window, LVM_UPDATE, index, 0);  // the label's size may change
    else
        SendMessageW(window, LVM_REDRAWITEMS, index, static_cast<LPARAM>(index));
}

UINT TListView::NativeState(int index, UINT mask) const
{
    const_cast<TListView*>(this)->SyncItemCount();
    return static_cast<UINT>(
        SendMessageW(WindowHandle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
}

TListView::TStateBatch::TStateBatch(TListView& list) noexcept : list_(list)
{
    if (list_.stateBatch_++ > 0 || !list_.HandleAllocated())
        return;
    const HWND window = list_.WindowHandle();
    list_.batchPausedDrawing_ = !list_.items_.Updating();
    if (list_.batchPausedDrawing_)
        SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    list_.batchLeftOut_ =
        static_cast<DWORD>(SendMessageW(window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) &
        LVS_EX_FULLROWSELECT;
    if (list_.batchLeftOut_ != 0)
        SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, list_.batchLeftOut_, 0);
}

TListView::TStateBatch::~TStateBatch()
{
    if (--list_.stateBatch_ > 0 || !list_.HandleAllocated())
        return;
    const HWND window = list_.WindowHandle();
    if (list_.batchLeftOut_ != 0)
        SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, list_.batchLeftOut_,
                     list_.batchLeftOut_);
    list_.batchLeftOut_ = 0;
    if (list_.batchPausedDrawing_) {
        list_.batchPausedDrawing_ = false;
        SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
}

void TListView::SetNativeState(int index, UINT state, UINT mask)
{
    SyncItemCount();
    // A change of every item touches every row.
    std::optional<TStateBatch> batch;
    if (index < 0)
        batch.emplace(*this);
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(WindowHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

TListView::TSelection TListView::CaptureSelection() const
{
    TSelection selection;
    if (!HandleAllocated()) {
        for (const auto& item : items_.items_) {
            if (item->selected_)
                selection.selected.push_back(item.get());
            if (item->focused_)
                selection.focused = item.get();
        }
        return selection;
    }
    const_cast<TListView*>(this)->SyncItemCount();
    HWND window = WindowHandle();
    const int limit = std::min(nativeCount_, items_.Count());
    int index = -1;
    while ((index = static_cast<int>(SendMessageW(
                window, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED))) >= 0) {
        if (index >= limit)
            break;
        selection.selected.push_back(items_.items_[static_cast<size_t>(index)].get());
    }
    const int focused = static_cast<int>(
        SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0 && focused < limit)
        selection.focused = items_.items_[static_cast<size_t>(focused)].get();
    return selection;
}

void TListView::RestoreSelection(const TSelection& selection)
{
    if (!HandleAllocated())
        return;
    SyncItemCount();
    const TStateBatch batch(*this);
    ++quietSelection_;
    // Clearing over all items touches every item (slow in large lists): only when needed.
    HWND window = WindowHandle();
    if (SendMessageW(window, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
        SetNativeState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    } else {
        const int focused = static_cast<int>(
            SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focused >= 0)
            SetNativeState(focused, 0, LVIS_FOCUSED);
    }
    for (const TListItem* item : selection.selected)
        if (item->index_ >= 0)
            SetNativeState(item->index_, LVIS_SELECTED, LVIS_SELECTED);
    if (selection.focused != nullptr && selection.focused->index_ >= 0)
        SetNativeState(selection.focused->index_, LVIS_FOCUSED, LVIS_FOCUSED);
    --quietSelection_;
}

TListItem* TListView::Selected() const
{
    return GetNextSelected(nullptr);
}

void TListView::SetSelected(TListItem* item)
{
    ClearSelection();
    if (item != nullptr && item->listView_ == this && item->index_ >= 0) {
        item->SetSelected(true);
        item->SetFocused(true);
    }
}

TListItem* TListView::ItemFocused() const
{
    if (!HandleAllocated()) {
        for (const auto& item : items_.items_)
            if (item->focused_)
                return item.get();
        return nullptr;
    }
    const_cast<TListView*>(this)->SyncItemCount();
    const int index = static_cast<int>(
        SendMessageW(WindowHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    return index >= 0 && index < items_.Count() ? items_.items_[static_cast<size_t>(index)].get()
                                                : nullptr;
}

void TListView::SetItemFocused(TListItem* item)
{
    if (item != nullptr)
        item->SetFocused(true);
    else if (TListItem* focused = ItemFocused())
        focused->SetFocused(false);
}

int TListView::SelCount() const
{
    if (!HandleAllocated())
        return static_cast<int>(std::count_if(items_.items_.begin(), items_.items_.end(),
                                              [](const auto& item) { return item->selected_; }));
    const_cast<TListView*>(this)->SyncItemCount();
    return static_cast<int>(SendMessageW(WindowHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
}

void TListView::ClearSelection()
{
    if (!HandleAllocated()) {
        for (const auto& item : items_.items_)
            item->selected_ = false;
        return;
    }
    if (SelCount() > 0)
        SetNativeState(-1, 0, LVIS_SELECTED);
}

void TListView::SelectAll()
{
    if (!multiSelect_)
        return;
    if (!HandleAllocated()) {
        for (const auto& item : items_.items_)
            item->selected_ = true;
        return;
    }
    SetNativeState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

TListItem* TListView::GetNextSelected(const TListItem* item) const
{
    const int start = item != nullptr && item->listView_ == this ? item->index_ : -1;
    if (!HandleAllocated()) {
        for (size_t i = static_cast<size_t>(start + 1); i < items_.items_.size(); ++i)
            if (items_.items_[i]->selected_)
                return items_.items_[i].get();
        return nullptr;
    }
    const_cast<TListView*>(this)->SyncItemCount();
    const int index = static_cast<int>(
        SendMessageW(WindowHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(start), LVNI_SELECTED));
    return index >= 0 && index < items_.Count() ? items_.items_[static_cast<size_t>(index)].get()
                                                : nullptr;
}

TListItem* TListView::GetItemAt(int x, int y) const
{
    if (!HandleAllocated())
        return nullptr;
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    const int index = static_cast<int>(
        SendMessageW(WindowHandle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index < 0 || index >= items_.Count() || (hit.flags & LVHT_ONITEM) == 0)
        return nullptr;
    return items_.items_[static_cast<size_t>(index)].get();
}

TListItem* TListView::TopItem() const
{
    if (!HandleAllocated() || items_.Count() == 0)
        return nullptr;
    const int index = static_cast<int>(SendMessageW(WindowHandle(), LVM_GETTOPINDEX, 0, 0));
    return index >= 0 && index < items_.Count() ? items_.items_[static_cast<size_t>(index)].get()
                                                : nullptr;
}

int TListView::VisibleRowCount() const
{
    if (!HandleAllocated())
        return 0;
    return static_cast<int>(SendMessageW(WindowHandle(), LVM_GETCOUNTPERPAGE, 0, 0));
}

bool TListView::IsEditing() const
{
    return HandleAllocated() && SendMessageW(WindowHandle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

void TListView::CancelEdit()
{
    if (IsEditing())
        SendMessageW(WindowHandle(), LVM_CANCELEDITLABEL, 0, 0);
}

void TListView::Scroll(int dx, int dy)
{
    if (HandleAllocated())
        SendMessageW(WindowHandle(), LVM_SCROLL, static_cast<WPARAM>(dx), dy);
}

TListItem* TListView::FindCaption(int start, const std::wstring& text, bool partial, bool inclusive,
                                  bool wrap) const
{
    const int count = items_.Count();
    if (count == 0)
        return nullptr;
    int first = std::clamp(inclusive ? start : start + 1, 0, count);
    const int steps = wrap ? count : count - first;
    for (int step = 0; step < steps; ++step) {
        const int index = (first + step) % count;
        const TListItem* item = items_.items_[static_cast<size_t>(index)].get();
        const std::wstring& caption = item->Caption();
        if (partial ? StartsWithText(caption, text) : SameText(caption, text))
            return items_.items_[static_cast<size_t>(index)].get();
    }
    return nullptr;
}

TListItem* TListView::FindData(int start, const void* data, bool inclusive, bool wrap) const
{
    const int count = items_.Count();
    if (count == 0)
        return nullptr;
    int first = std::clamp(inclusive ? start : start + 1, 0, count);
    const int steps = wrap ? count : count - first;
    for (int step = 0; step < steps; ++step) {
        const int index = (first + step) % count;
        if (items_.items_[static_cast<size_t>(index)]->Data == data)
            return items_.items_[static_cast<size_t>(index)].get();
    }
    return nullptr;
}

// --- sorting ---------------------------------------------------------------------------

void TListView::CustomSort(const TLVCompare& compare)
{
    auto& storage = items_.items_;
    if (storage.size() < 2 || !compare)
        return;
    // Sort a copy of the order: a throwing comparison leaves the list as it was.
    std::vector<TListItem*> order;
    order.reserve(storage.size());
    for (const auto& item : storage)
        order.push_back(item.get());
    std::stable_sort(order.begin(), order.end(),
                     [&compare](TListItem* a, TListItem* b) { return compare(a, b) < 0; });

    const TSelection selection = CaptureSelection();
    for (auto& item : storage)
        (void)item.release();
    for (size_t i = 0; i < storage.size(); ++i)
        storage[i].reset(order[i]);
    items_.Renumber(0);
    RestoreSelection(selection);
    if (HandleAllocated() && !items_.Updating())
        InvalidateRect(WindowHandle(), nullptr, TRUE);
}

void TListView::AlphaSort(LPARAM data)
{
    CustomSort([this, data](TListItem* a, TListItem* b) {
        int result = 0;
        if (OnCompare) {
            OnCompare(this, a, b, data, result);
            return result;
        }
        return CompareTextForDisplay(a->Caption(), b->Caption());
    });
}

// --- columns ---------------------------------------------------------------------------

int TListView::NativeColumnWidth(int index) const
{
    if (!HandleAllocated() || viewStyle_ != vsReport || columns_.Updating() || index < 0 ||
        index >= nativeColumnCount_)
        return -1;
    return static_cast<int>(
        SendMessageW(WindowHandle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
}

void TListView::SaveColumnWidths()
{
    if (!HandleAllocated() || viewStyle_ != vsReport)
        return;
    const int count = std::min(nativeColumnCount_, columns_.Count());
    for (int i = 0; i < count; ++i)
        columns_.columns_[static_cast<size_t>(i)]->width_ = static_cast<int>(
            SendMessageW(WindowHandle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}

void TListView::InsertNativeColumn(int index)
{
    if (!HandleAllocated())
        return;
    const TListColumn& column = *columns_.columns_[static_cast<size_t>(index)];
    LVCOLUMNW native{};
    native.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    native.fmt = ColumnFormat(column.alignment_);
    native.cx = column.width_;
    native.pszText = const_cast<wchar_t*>(column.caption_.c_str());
    if (SendMessageW(WindowHandle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&native)) >= 0)
        ++nativeColumnCount_;
}

void TListView::UpdateNativeColumn(int index)
{
    if (!HandleAllocated() || index < 0 || index >= nativeColumnCount_)
        return;
    const TListColumn& column = *columns_.columns_[static_cast<size_t>(index)];
    LVCOLUMNW native{};
    native.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    native.fmt = ColumnFormat(column.alignment_);
    native.cx = column.width_;
    native.pszText = const_cast<wchar_t*>(column.caption_.c_str());
    SendMessageW(WindowHandle(), LVM_SETCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&native));
}

void TListView::RebuildColumns()
{
    if (!HandleAllocated())
        return;
    HWND window = WindowHandle();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    while (nativeColumnCount_ > 0 &&
           SendMessageW(window, LVM_DELETECOLUMN, static_cast<WPARAM>(nativeColumnCount_ - 1), 0))
        --nativeColumnCount_;
    nativeColumnCount_ = 0;
    for (int i = 0; i < columns_.Count(); ++i)
        InsertNativeColumn(i);
    if (!items_.Updating()) {
        SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    CheckHeader();
}

// --- notifications ---------------------------------------------------------------------

bool TListView::ReflectedMessage(TMessage& message)
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

bool TListView::Notify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_GETDISPINFOW:
        AnswerDisplayRequest(reinterpret_cast<NMLVDISPINFOW&>(header));
        return true;
    case LVN_ODFINDITEMW: {
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.lvfi.psz != nullptr) {
            const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
            const bool wrap = (find.lvfi.flags & LVFI_WRAP) != 0;
            if (TListItem* found = FindCaption(find.iStart, find.lvfi.psz, partial, true, wrap))
                result = found->index_;
        }
        return true;
    }
    case LVN_ODCACHEHINT: return true;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (quietSelection_ > 0 || (change.uChanged & LVIF_STATE) == 0)
            return true;
        const UINT changed = change.uOldState ^ change.uNewState;
        if ((changed & (LVIS_SELECTED | LVIS_FOCUSED)) == 0)
            return true;
        TListItem* item = change.iItem >= 0 && change.iItem < items_.Count()
                              ? items_.items_[static_cast<size_t>(change.iItem)].get()
                              : nullptr;
        if (item != nullptr && (changed & LVIS_SELECTED) != 0 && OnSelectItem)
            OnSelectItem(this, item, (change.uNewState & LVIS_SELECTED) != 0);
        Change(item, TItemChange::ctState);
        return true;
    }
    case LVN_ODSTATECHANGED:
        if (quietSelection_ == 0)
            Change(nullptr, TItemChange::ctState);
        return true;
    case LVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        TListItem* item = info.item.iItem >= 0 && info.item.iItem < items_.Count()
                              ? items_.items_[static_cast<size_t>(info.item.iItem)].get()
                              : nullptr;
        result = item != nullptr && CanEdit(item) ? FALSE : TRUE;
        return true;
    }
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        result = FALSE;
        if (info.item.pszText == nullptr || info.item.iItem < 0 ||
            info.item.iItem >= items_.Count())
            return true;  // cancelled
        TListItem* item = items_.items_[static_cast<size_t>(info.item.iItem)].get();
        std::wstring text = info.item.pszText;
        Edited(item, text);
        item->SetCaption(text);
        result = TRUE;
        return true;
    }
    case LVN_COLUMNCLICK: {
        const auto& click = reinterpret_cast<NMLISTVIEW&>(header);
        if (click.iSubItem >= 0 && click.iSubItem < columns_.Count())
            ColClick(columns_.columns_[static_cast<size_t>(click.iSubItem)].get());
        return true;
    }
    case LVN_GETINFOTIPW: {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
        if (tip.iItem < 0 || tip.iItem >= items_.Count())
            return true;
        std::wstring text = tip.pszText != nullptr ? tip.pszText : L"";
        InfoTip(items_.items_[static_cast<size_t>(tip.iItem)].get(), text);
        CopyText(text, tip.pszText, tip.cchTextMax);
        return true;
    }
    case NM_CUSTOMDRAW: result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header)); return true;
    case NM_CLICK: Click(); return true;
    case LVN_DELETEALLITEMS:
        result = TRUE;  // no LVN_DELETEITEM for each: the control frees its own items
        return true;
    default: return false;
    }
}

void TListView::AnswerDisplayRequest(NMLVDISPINFOW& info)
{
    LVITEMW& request = info.item;
    if (request.iItem < 0 || request.iItem >= items_.Count())
        return;
    TListItem* item = items_.items_[static_cast<size_t>(request.iItem)].get();
    const TRestoreOnExit answering(answering_, item);
    if ((request.mask & LVIF_IMAGE) != 0) {
        if (request.iSubItem == 0) {
            GetImageIndex(item);
            request.iImage = item->imageIndex_ >= 0 ? item->imageIndex_ : I_IMAGENONE;
        } else {
            request.iImage = I_IMAGENONE;
        }
    }
    if ((request.mask & LVIF_TEXT) != 0) {
        if (request.iSubItem == 0)
            CopyText(item->Caption(), request.pszText, request.cchTextMax);
        else if (request.iSubItem - 1 < item->SubItemCount())
            CopyText(item->subItems_[static_cast<size_t>(request.iSubItem - 1)], request.pszText,
                     request.cchTextMax);
        else
            CopyText(std::wstring(), request.pszText, request.cchTextMax);
    }
    if ((request.mask & LVIF_STATE) != 0) {
        UINT state = 0;
        if (item->cut_)
            state |= LVIS_CUT;
        if (item->dropTarget_)
            state |= LVIS_DROPHILITED;
        if (item->overlayIndex_ >= 0)
            state |= INDEXTOOVERLAYMASK(item->overlayIndex_ + 1);
        if (item->stateIndex_ >= 0)
            state |= INDEXTOSTATEIMAGEMASK(item->stateIndex_ + 1);
        request.state =
            (request.state & ~kCallbackStates) | (state & request.stateMask & kCallbackStates);
    }
    if ((request.mask & LVIF_INDENT) != 0)
        request.iIndent = 0;
}

bool TListView::IsCustomDrawn() const
{
    return static_cast<bool>(OnCustomDrawItem) || static_cast<bool>(OnCustomDrawSubItem);
}

LRESULT TListView::CustomDraw(NMLVCUSTOMDRAW& draw)
{
    const DWORD stage = draw.nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT)
        return IsCustomDrawn() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    const bool itemStage = stage == CDDS_ITEMPREPAINT;
    const bool subItemStage = stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM);
    if (!itemStage && !subItemStage)
        return CDRF_DODEFAULT;
    const int index = static_cast<int>(draw.nmcd.dwItemSpec);
    if (index < 0 || index >= items_.Count())
        return CDRF_DODEFAULT;
    TListItem* item = items_.items_[static_cast<size_t>(index)].get();

    TListViewDraw canvas;
    canvas.DC = draw.nmcd.hdc;
    canvas.Rect = draw.nmcd.rc;
    canvas.ItemState = draw.nmcd.uItemState;
    canvas.TextColor = draw.clrText;
    canvas.TextBackground = draw.clrTextBk;
    bool defaultDraw = true;
    if (itemStage)
        CustomDrawItem(item, canvas, defaultDraw);
    else
        CustomDrawSubItem(item, draw.iSubItem, canvas, defaultDraw);
    if (!defaultDraw)
        return CDRF_SKIPDEFAULT;
    LRESULT result = CDRF_DODEFAULT;
    draw.clrText = canvas.TextColor;
    draw.clrTextBk = canvas.TextBackground;
    if (canvas.Font != nullptr) {
        SelectObject(draw.nmcd.hdc, canvas.Font);
        result |= CDRF_NEWFONT;
    }
    if (itemStage && OnCustomDrawSubItem)
        result |= CDRF_NOTIFYSUBITEMDRAW;
    return result;
}

// --- virtual defaults ------------------------------------------------------------------

void TListView::Delete(TListItem* item)
{
    if (OnDeletion)
        OnDeletion(this, item);
}

void TListView::Change(TListItem* item, TItemChange change)
{
    if (OnChange)
        OnChange(this, item, change);
}

void TListView::GetImageIndex(TListItem* item)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, item);
}

void TListView::GetItemCaption(TListItem* item, std::wstring& caption)
{
    if (OnGetCaption)
        OnGetCaption(this, item, caption);
}

void TListView::ColClick(TListColumn* column)
{
    if (OnColumnClick)
        OnColumnClick(this, column);
}

bool TListView::CanEdit(TListItem* item)
{
    if (readOnly_)
        return false;
    bool allow = true;
    if (OnEditing)
        OnEditing(this, item, allow);
    return allow;
}

void TListView::Edited(TListItem* item, std::wstring& text)
{
    if (OnEdited)
        OnEdited(this, item, text);
}

void TListView::InfoTip(TListItem* item, std::wstring& text)
{
    if (OnInfoTip)
        OnInfoTip(this, item, text);
}

void TListView::CustomDrawItem(TListItem* item, TListViewDraw& draw, bool& defaultDraw)
{
    if (OnCustomDrawItem)
        OnCustomDrawItem(this, item, draw, defaultDraw);
}

void TListView::CustomDrawSubItem(TListItem* item, int subItem, TListViewDraw& draw,
                                  bool& defaultDraw)
{
    if (OnCustomDrawSubItem)
        OnCustomDrawSubItem(this, item, subItem, draw, defaultDraw);
}
