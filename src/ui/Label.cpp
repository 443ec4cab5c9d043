#include "ui/Label.h"

#include "core/ScopedResource.h"

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
    RECT rect{0, 0, 0, 0};
    {
        const TScopedWindowDC dc;
        if (!dc)
            return;
        const TSelectObjectScope selectFont(dc.get(), Font().Handle());
        DrawTextW(dc.get(), text.empty() ? L" " : text.c_str(), -1, &rect,
                  DT_CALCRECT | DT_SINGLELINE);
    }
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
