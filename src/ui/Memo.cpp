#include "ui/Memo.h"

TMemo::TMemo(TComponent* owner) : TWinControl(owner)
{
    TabStop = true;
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo()
{
    DestroyHandle();
}

void TMemo::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"EDIT";
    params.WinClassName = L"Bivista.Memo";
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    if (ReadOnly)
        params.Style |= ES_READONLY;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

bool TMemo::ReflectedMessage(TMessage& message)
{
    // A read-only edit asks for the colours of a static text; it keeps the window colour.
    if (message.Msg != WM_CTLCOLORSTATIC && message.Msg != WM_CTLCOLOREDIT)
        return false;
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, Font().Color());
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    return true;
}
