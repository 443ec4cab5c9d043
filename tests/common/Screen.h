#pragma once
// Looking at what a window shows: its pixels copied from the virtual display.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// How many pixels of the window's client area (or of `area` in client coordinates) satisfy
// the test; -1 when the window could not be read.
int CountPixels(HWND window, const std::function<bool(BYTE red, BYTE green, BYTE blue)>& test,
                const RECT* area = nullptr);

// The pixels the screen shows in a rectangle of screen coordinates, row by row (0x00RRGGBB);
// empty when it could not be read.
std::vector<DWORD> CaptureScreen(const RECT& area);
// The pixels the window shows, frame and children included, as CaptureScreen.
std::vector<DWORD> CaptureWindow(HWND window);
// How many pixels of two captures of the same size differ (-1 when the sizes differ or either
// is empty).
int DifferingPixels(const std::vector<DWORD>& first, const std::vector<DWORD>& second);
// Where two such captures of `width` pixels a row differ, as text for a failure message.
std::string DifferenceBounds(const std::vector<DWORD>& first, const std::vector<DWORD>& second,
                             int width);
// The colour most pixels of `area` (client coordinates) show: the background of a text, say;
// CLR_INVALID when the window could not be read.
COLORREF MostCommonColor(HWND window, const RECT& area);
// How far apart two colours are: the largest difference of one of their components.
int ColorDistance(COLORREF first, COLORREF second);
