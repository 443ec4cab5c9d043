#include "ui/StatusBar.h"

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
    if (HWND window = WindowHandle())
        SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.c_str()));
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
        SendMessageW(window, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(panels_[i].Text.c_str()));
}
