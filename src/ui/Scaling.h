#pragma once
// The program is aware of the system's DPI: sizes designed for 96 dots per inch are scaled
// to it through this one function, and fonts given in points are made for it.
#include <windows.h>

// The screen's dots per inch (96 at 100 %), read once.
int ScreenDpi() noexcept;
// A size in pixels designed at 96 DPI, for the screen.
int Scale(int designPixels) noexcept;
