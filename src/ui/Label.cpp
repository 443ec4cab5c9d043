#include "ui/Label.h"

TLabel::TLabel(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 65, 13);
}

TLabel::~TLabel()
{
    DestroyHandle();
}

void TLabel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = L"STATIC";
    params.WinClassName = L"Bivista.Label";
    params.Style |= SS_LEFT;
}

void TLabel::CreateWnd()
{
    if (AutoSize)
        AdjustSize();
    TWinControl::CreateWnd();
}

void TLabel::AdjustSize()
{
    const std::wstring text = Caption();
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return;
    const HGDIOBJ previous = SelectObject(dc, Font().Handle());
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
}

bool TLabel::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_CTLCOLORSTATIC)
        return false;
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, Font().Color());
    SetBkMode(dc, TRANSPARENT);
    message.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}
