#pragma once
// User input for tests in the virtual display: keys and mouse clicks through SendInput, so
// they arrive as a user's would (at the focused window, with the keyboard state updated).
#include "ui/UITypes.h"

#include <functional>
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

// Presses or releases one mouse button where the mouse is.
void SendMouseButton(TMouseButton button, bool down);
// A mouse drag as a user makes it: the button goes down at a client point of `from`, the
// mouse moves in small steps to a client point of `to`, `beforeRelease` runs (to press Escape
// or another button), and the button goes up. The input comes from another thread while this
// one keeps dispatching messages, because a drag and drop runs its own loop on this thread.
void DragMouse(HWND from, POINT fromClient, HWND to, POINT toClient, TMouseButton button,
               const std::function<void()>& beforeRelease = {});
