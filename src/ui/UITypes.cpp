#include "ui/UITypes.h"

TShiftState KeyboardShiftState()
{
    TShiftState state = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        state |= ssAlt;
    return state;
}

TShiftState MouseShiftState(WPARAM keys)
{
    TShiftState state = 0;
    if (keys & MK_SHIFT)
        state |= ssShift;
    if (keys & MK_CONTROL)
        state |= ssCtrl;
    if (keys & MK_LBUTTON)
        state |= ssLeft;
    if (keys & MK_RBUTTON)
        state |= ssRight;
    if (keys & MK_MBUTTON)
        state |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        state |= ssAlt;
    return state;
}
