#include "ui/Edit.h"

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 120, 21);
}

TCustomEdit::~TCustomEdit()
{
    DestroyHandle();
}

void TCustomEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"EDIT";
    params.WinClassName = L"Bivista.Edit";
    params.Style |= WS_TABSTOP | ES_AUTOHSCROLL;
    if (borderVisible_)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::WindowDestroying()
{
    // The next window starts with the text typed into this one.
    SetCaption(Caption());
    TWinControl::WindowDestroying();
}

void TCustomEdit::SetBorderVisible(bool visible)
{
    if (visible == borderVisible_)
        return;
    borderVisible_ = visible;
    RecreateWnd();
}

void TCustomEdit::DoEnter()
{
    if (AutoSelect)
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::SelectAll()
{
    SetSelection(0, -1);
}

void TCustomEdit::SetSelection(int start, int length)
{
    if (!HandleAllocated())
        return;
    const int end = length < 0 ? -1 : start + length;
    SendMessageW(WindowHandle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

int TCustomEdit::SelStart() const
{
    DWORD start = 0;
    if (HandleAllocated())
        SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

int TCustomEdit::SelLength() const
{
    DWORD start = 0, end = 0;
    if (HandleAllocated())
        SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}
