#pragma once
// User input for tests in the virtual display: keys and mouse clicks through SendInput, so
// they arrive as a user's would (at the focused window, with the keyboard state updated).
#include "ui/UITypes.h"

#include <initializer_list>

// Presses and releases a key with the given modifiers held.
void PressKey(WORD key, TShiftState shift = 0);
// Types text as characters (Unicode input).
void TypeText(const wchar_t* text);
// Moves the mouse to a client point of a window and clicks (twice for a double click).
void ClickAt(HWND window, POINT client, TMouseButton button = TMouseButton::mbLeft,
             bool doubleClick = false);
// Moves the mouse to a client point of a window.
void MoveMouseTo(HWND window, POINT client);
// Moves the mouse out of the way (the bottom-right corner of the screen).
void ParkMouse();
// Dispatches messages until the input sent so far has been handled.
void FlushInput();
