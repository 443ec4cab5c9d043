#include "ui/ComboBox.h"

#include "ui/WindowSubclass.h"

#include <commctrl.h>

#include <algorithm>

// ---- Entries ----------------------------------------------------------------------------

int TComboBoxItems::Add(const std::wstring& text, std::unique_ptr<TObject> object)
{
    Insert(Count(), text, std::move(object));
    return Count() - 1;
}

void TComboBoxItems::Insert(int index, const std::wstring& text, std::unique_ptr<TObject> object)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("combo box index out of bounds");
    entries_.insert(entries_.begin() + index, TEntry{text, std::move(object)});
    owner_->EntryInserted(index);
}

void TComboBoxItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("combo box index out of bounds");
    // The object goes after the window has let go of its entry.
    std::unique_ptr<TObject> object = std::move(entries_[static_cast<size_t>(index)].object);
    entries_.erase(entries_.begin() + index);
    owner_->EntryDeleted(index);
}

void TComboBoxItems::Clear()
{
    std::vector<TEntry> old = std::move(entries_);
    entries_.clear();
    owner_->NativeClear();
}

int TComboBoxItems::IndexOf(const std::wstring& text) const
{
    for (int index = 0; index < Count(); ++index) {
        const std::wstring& entry = entries_[static_cast<size_t>(index)].text;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry.data(),
                           static_cast<int>(entry.size()), text.data(),
                           static_cast<int>(text.size())) == CSTR_EQUAL)
            return index;
    }
    return -1;
}

int TComboBoxItems::IndexOfObject(const TObject* object) const
{
    for (int index = 0; index < Count(); ++index)
        if (entries_[static_cast<size_t>(index)].object.get() == object)
            return index;
    return -1;
}

// ---- Window -----------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(this), listSubclass_(std::make_unique<TWindowSubclass>())
{
    SetBounds(0, 0, 145, 24);
}

TCustomComboBox::~TCustomComboBox()
{
    DestroyHandle();
    listSubclass_.reset();
}

void TCustomComboBox::WndProc(TMessage& message)
{
    TWinControl::WndProc(message);
    // A narrower box draws its button anew where it now ends, but not the box's inside
    // around it: everything is repainted, so no part of the old button stays.
    if (message.Msg == WM_SIZE)
        RedrawWindow(WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TCustomComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = WC_COMBOBOXW;
    params.WinClassName = L"Bivista.ComboBox";
    params.Style |= WS_TABSTOP | WS_VSCROLL;
    switch (style_) {
    case csDropDown: params.Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL; break;
    case csSimple: params.Style |= CBS_SIMPLE | CBS_AUTOHSCROLL; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        break;
    case csOwnerDrawVariable:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
        break;
    }
    // The height a drop-down box is made with is its height with the list dropped.
    if (style_ != csSimple)
        params.Height = Height() + dropDownCount_ * itemHeight_ + 2;
}

void TCustomComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = WindowHandle();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    for (const auto& entry : items_.entries_)
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    ApplyListSettings();
    if (itemIndex_ >= 0)
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    AttachList();
}

void TCustomComboBox::ApplyListSettings()
{
    if (!HandleAllocated())
        return;
    HWND window = WindowHandle();
    if (style_ == csOwnerDrawFixed) {
        SendMessageW(window, CB_SETITEMHEIGHT, 0, itemHeight_);
        SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    }
    SendMessageW(window, CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_), 0);
    SendMessageW(window, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(droppedWidth_), 0);
}

void TCustomComboBox::AttachList()
{
    listSubclass_->Attach(ListHandle(), [this](TMessage& message) {
        HandleListMessage(message);
        return message.Msg == WM_CONTEXTMENU;
    });
}

void TCustomComboBox::HandleListMessage(TMessage& message)
{
    // The dropped list is a window of its own (on Windows not even a child of the box): its
    // context menu is asked of the box.
    if (message.Msg != WM_CONTEXTMENU || !HandleAllocated())
        return;
    HWND window = WindowHandle();
    if (DroppedDown())
        SetDroppedDown(false);
    message.Result =
        SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), message.LParam);
}

void TCustomComboBox::WindowDestroying()
{
    itemIndex_ = static_cast<int>(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
    listSubclass_->Detach();
    TWinControl::WindowDestroying();
}

bool TCustomComboBox::ReflectedMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_COMMAND:
        switch (HIWORD(message.WParam)) {
        case CBN_SELCHANGE:
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: DropDown(); break;
        case CBN_CLOSEUP: CloseUp(); break;
        default: return false;
        }
        message.Result = 0;
        return true;
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
        const int index = static_cast<int>(draw.itemID);
        DrawItem(index < items_.Count() ? index : -1, draw.hDC, draw.rcItem, draw.itemState);
        message.Result = TRUE;
        return true;
    }
    case WM_MEASUREITEM: {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        int height = itemHeight_;
        MeasureItem(static_cast<int>(measure.itemID), height);
        measure.itemHeight = static_cast<UINT>(std::max(height, 1));
        message.Result = TRUE;
        return true;
    }
    default: return TWinControl::ReflectedMessage(message);
    }
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, index, height);
}

void TCustomComboBox::DrawItem(int index, HDC dc, const RECT& rect, UINT state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, dc, rect, state);
        return;
    }
    const bool selected = (state & ODS_SELECTED) != 0;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (index < 0)
        return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = rect;
    text.left += 2;
    const std::wstring& caption = items_.Strings(index);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// ---- Properties -------------------------------------------------------------------------

void TCustomComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    RecreateWnd();
}

int TCustomComboBox::ItemIndex() const
{
    if (HandleAllocated())
        return static_cast<int>(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
    return itemIndex_;
}

void TCustomComboBox::SetItemIndex(int index)
{
    if (index < -1 || index >= items_.Count())
        index = -1;
    itemIndex_ = index;
    if (HandleAllocated())
        SendMessageW(WindowHandle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomComboBox::SetItemHeight(int height)
{
    if (height < 1 || height == itemHeight_)
        return;
    itemHeight_ = height;
    ApplyListSettings();
}

void TCustomComboBox::SetDropDownCount(int count)
{
    dropDownCount_ = std::max(count, 1);
    ApplyListSettings();
}

void TCustomComboBox::SetDroppedWidth(int width)
{
    droppedWidth_ = std::max(width, 0);
    ApplyListSettings();
}

bool TCustomComboBox::DroppedDown() const
{
    return HandleAllocated() && SendMessageW(WindowHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool dropped)
{
    if (HandleAllocated())
        SendMessageW(WindowHandle(), CB_SHOWDROPDOWN, dropped ? TRUE : FALSE, 0);
}

std::wstring TCustomComboBox::Text() const
{
    if (style_ == csDropDown || style_ == csSimple)
        return Caption();
    const int index = ItemIndex();
    return index >= 0 && index < items_.Count() ? items_.Strings(index) : std::wstring();
}

void TCustomComboBox::SetText(const std::wstring& text)
{
    if (style_ == csDropDown || style_ == csSimple)
        SetCaption(text);
    else
        SetItemIndex(items_.IndexOf(text));
}

HWND TCustomComboBox::EditHandle() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!HandleAllocated() || !GetComboBoxInfo(WindowHandle(), &info))
        return nullptr;
    return info.hwndItem != WindowHandle() ? info.hwndItem : nullptr;
}

HWND TCustomComboBox::ListHandle() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!HandleAllocated() || !GetComboBoxInfo(WindowHandle(), &info))
        return nullptr;
    return info.hwndList;
}

// ---- The window's entries ---------------------------------------------------------------

void TCustomComboBox::EntryInserted(int index)
{
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(items_.Strings(index).c_str()));
    } else if (itemIndex_ >= index) {
        ++itemIndex_;
    }
}

void TCustomComboBox::EntryDeleted(int index)
{
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    } else if (itemIndex_ == index) {
        itemIndex_ = -1;
    } else if (itemIndex_ > index) {
        --itemIndex_;
    }
}

void TCustomComboBox::NativeClear()
{
    itemIndex_ = -1;
    if (HandleAllocated())
        SendMessageW(WindowHandle(), CB_RESETCONTENT, 0, 0);
}
