#pragma once
// A window draws nothing for the life of the scope, then everything once. Under Wine a list
// view repaints a row for every state change, so changing many rows costs a repaint each
// without it. Inside a bulk update, where drawing is off already, the scope does nothing.
#include <windows.h>

class TRedrawPause {
public:
    TRedrawPause(HWND window, bool drawingOffAlready) noexcept
        : window_(drawingOffAlready ? nullptr : window)
    {
        if (window_ != nullptr)
            SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~TRedrawPause()
    {
        if (window_ == nullptr)
            return;
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    TRedrawPause(const TRedrawPause&) = delete;
    TRedrawPause& operator=(const TRedrawPause&) = delete;

private:
    HWND window_;
};
