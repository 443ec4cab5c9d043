#include "ui/StatusBar.h"

#include "core/ScopedResource.h"

#include <commctrl.h>

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

TStatusBar::~TStatusBar()
{
    DestroyHandle();
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClassName = STATUSCLASSNAMEW;
    params.WinClassName = L"Bivista.StatusBar";
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (SizeGrip)
        params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyPanels();
}

void TStatusBar::WndProc(TMessage& message)
{
    TWinControl::WndProc(message);
    // The last panel's border moves with the bar's width: repainting only what a resize
    // uncovers would leave the old borders standing.
    if (message.Msg == WM_SIZE)
        RedrawWindow(WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels)
{
    panels_ = std::move(panels);
    ApplyPanels();
}

void TStatusBar::SetPanelText(int index, const std::wstring& text)
{
    panels_.at(static_cast<size_t>(index)).Text = text;
    SendPanelText(index);
}

void TStatusBar::SetPanelMarked(int index, bool marked)
{
    TStatusPanel& panel = panels_.at(static_cast<size_t>(index));
    if (panel.Marked == marked)
        return;
    panel.Marked = marked;
    SendPanelText(index);
}

// A marked panel is drawn by the bar itself (WM_DRAWITEM), the others by the control.
void TStatusBar::SendPanelText(int index) const
{
    HWND window = WindowHandle();
    if (window == nullptr)
        return;
    const TStatusPanel& panel = panels_.at(static_cast<size_t>(index));
    if (panel.Marked)
        SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(index) | SBT_OWNERDRAW,
                     static_cast<LPARAM>(index));
    else
        SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(panel.Text.c_str()));
}

bool TStatusBar::ReflectedMessage(TMessage& message)
{
    if (message.Msg != WM_DRAWITEM)
        return false;
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    if (draw.itemID >= panels_.size())
        return false;
    const TStatusPanel& panel = panels_[draw.itemID];
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0));
    const TSelectObjectScope selectFont(draw.hDC, font);
    const COLORREF oldColor = SetTextColor(draw.hDC, GetSysColor(COLOR_HIGHLIGHTTEXT));
    const int oldMode = SetBkMode(draw.hDC, TRANSPARENT);
    RECT text = draw.rcItem;
    text.left += 2;
    DrawTextW(draw.hDC, panel.Text.c_str(), static_cast<int>(panel.Text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SetBkMode(draw.hDC, oldMode);
    SetTextColor(draw.hDC, oldColor);
    message.Result = TRUE;
    return true;
}

void TStatusBar::ApplyPanels()
{
    HWND window = WindowHandle();
    if (window == nullptr)
        return;
    // Right edges; the last panel reaches the bar's end.
    std::vector<int> edges;
    int edge = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        edge += panels_[i].Width;
        edges.push_back(i + 1 == panels_.size() ? -1 : edge);
    }
    if (edges.empty()) {
        SendMessageW(window, SB_SIMPLE, TRUE, 0);
        return;
    }
    SendMessageW(window, SB_SIMPLE, FALSE, 0);
    SendMessageW(window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < panels_.size(); ++i)
        SendPanelText(static_cast<int>(i));
}
