#include "ui/GroupBox.h"

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 185, 105);
}

TGroupBox::~TGroupBox()
{
    DestroyHandle();
}

void TGroupBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"BUTTON";
    params.WinClassName = L"Bivista.GroupBox";
    params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TGroupBox::WndProc(TMessage& message)
{
    // The system's group box paints only its frame; the inside is the parent's background.
    if (message.Msg == WM_ERASEBKGND) {
        RECT rect = ClientRect();
        FillRect(reinterpret_cast<HDC>(message.WParam), &rect, GetSysColorBrush(COLOR_BTNFACE));
        message.Result = TRUE;
        return;
    }
    TWinControl::WndProc(message);
}
