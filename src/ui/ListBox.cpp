#include "ui/ListBox.h"

TListBox::TListBox(TComponent* owner) : TWinControl(owner)
{
    TabStop = true;
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox()
{
    DestroyHandle();
}

void TListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"LISTBOX";
    params.WinClassName = L"Bivista.ListBox";
    params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    FillWindow();
}

void TListBox::WindowDestroying()
{
    itemIndex_ = ItemIndex();
    TWinControl::WindowDestroying();
}

void TListBox::FillWindow()
{
    HWND window = WindowHandle();
    if (window == nullptr)
        return;
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : items_)
        SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (itemHeight_ > 0)
        SendMessageW(window, LB_SETITEMHEIGHT, 0, itemHeight_);
    SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
}

void TListBox::SetItems(std::vector<std::wstring> items)
{
    items_ = std::move(items);
    if (itemIndex_ >= Count())
        itemIndex_ = -1;
    FillWindow();
}

void TListBox::SetItem(int index, const std::wstring& text)
{
    items_.at(static_cast<size_t>(index)) = text;
    HWND window = WindowHandle();
    if (window == nullptr)
        return;
    const int selected = ItemIndex();
    SendMessageW(window, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(window, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int TListBox::ItemIndex() const
{
    HWND window = WindowHandle();
    if (window == nullptr)
        return itemIndex_;
    const LRESULT index = SendMessageW(window, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TListBox::SetItemIndex(int index)
{
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
    if (HWND window = WindowHandle())
        SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TListBox::SetItemHeight(int height)
{
    itemHeight_ = height;
    if (HWND window = WindowHandle(); window != nullptr && height > 0)
        SendMessageW(window, LB_SETITEMHEIGHT, 0, height);
}

bool TListBox::ReflectedMessage(TMessage& message)
{
    if (message.Msg == WM_COMMAND && HIWORD(message.WParam) == LBN_SELCHANGE) {
        Click();
        return true;
    }
    return false;
}
