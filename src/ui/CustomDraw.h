#pragma once
// What a custom-draw handler of a list or tree view may change before the control draws an
// item (or a sub-item).
#include <windows.h>
#include <commctrl.h>

struct TItemDraw {
    HDC DC = nullptr;
    RECT Rect{};
    UINT ItemState = 0;  // CDIS_SELECTED, CDIS_FOCUS, CDIS_HOT ...
    COLORREF TextColor = CLR_DEFAULT;
    COLORREF TextBackground = CLR_DEFAULT;
    HFONT Font = nullptr;  // a font to draw with (stays the handler's)
};
