#include "ui/Panel.h"

namespace {

// A frame `width` pixels wide: light on the top and left edges and dark on the others for a
// raised bevel, the other way round for a lowered one.
void DrawBevel(HDC dc, RECT& rect, TBevelCut bevel, int width)
{
    if (bevel == TBevelCut::bvNone)
        return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF topLeft = bevel == TBevelCut::bvRaised ? light : dark;
    const COLORREF bottomRight = bevel == TBevelCut::bvRaised ? dark : light;
    for (int i = 0; i < width; ++i) {
        const auto fill = [dc](int left, int top, int right, int bottom, COLORREF color) {
            const RECT line{left, top, right, bottom};
            SetBkColor(dc, color);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
        };
        fill(rect.left, rect.top, rect.right - 1, rect.top + 1, topLeft);
        fill(rect.left, rect.top, rect.left + 1, rect.bottom - 1, topLeft);
        fill(rect.left, rect.bottom - 1, rect.right, rect.bottom, bottomRight);
        fill(rect.right - 1, rect.top, rect.right, rect.bottom, bottomRight);
        InflateRect(&rect, -1, -1);
    }
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

void TPanel::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    params.WinClassName = L"Bivista.Panel";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelOuter(TBevelCut bevel)
{
    bevelOuter_ = bevel;
    BevelsChanged();
}

void TPanel::SetBevelInner(TBevelCut bevel)
{
    bevelInner_ = bevel;
    BevelsChanged();
}

void TPanel::SetBevelWidth(int width)
{
    bevelWidth_ = width < 1 ? 1 : width;
    BevelsChanged();
}

int TPanel::BorderExtent() const noexcept
{
    int extent = 0;
    if (bevelOuter_ != TBevelCut::bvNone)
        extent += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone)
        extent += bevelWidth_;
    return extent;
}

void TPanel::BevelsChanged()
{
    Realign();
    Invalidate();
}

RECT TPanel::AlignArea() const
{
    RECT area = ClientRect();
    const int extent = BorderExtent();
    InflateRect(&area, -extent, -extent);
    return area;
}

void TPanel::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(WindowHandle(), &paint);
        Paint(dc);
        EndPaint(WindowHandle(), &paint);
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

void TPanel::Paint(HDC dc)
{
    RECT rect = ClientRect();
    const int saved = SaveDC(dc);
    DrawBevel(dc, rect, bevelOuter_, bevelWidth_);
    DrawBevel(dc, rect, bevelInner_, bevelWidth_);
    const std::wstring text = Caption();
    if (!text.empty()) {
        SelectObject(dc, Font().Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Font().Color());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RestoreDC(dc, saved);
}
