#pragma once
// Looking at what a window shows: its pixels copied from the virtual display.
#include <windows.h>

#include <functional>

// How many pixels of the window's client area (or of `area` in client coordinates) satisfy
// the test; -1 when the window could not be read.
int CountPixels(HWND window, const std::function<bool(BYTE red, BYTE green, BYTE blue)>& test,
                const RECT* area = nullptr);
// The colour most pixels of `area` (client coordinates) show: the background of a text, say;
// CLR_INVALID when the window could not be read.
COLORREF MostCommonColor(HWND window, const RECT& area);
// How far apart two colours are: the largest difference of one of their components.
int ColorDistance(COLORREF first, COLORREF second);
