#include "common/Screen.h"

#include "core/ScopedResource.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>

namespace {

// The pixels of a rectangle of a device context, row by row (0x00RRGGBB); empty when it could
// not be read.
std::vector<DWORD> ReadPixels(HDC source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (source == nullptr || width <= 0 || height <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TScopedGdiObject bitmap(
        CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return {};
    HDC memoryDC = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memoryDC, bitmap.get());
    BitBlt(memoryDC, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    std::vector<DWORD> pixels(first, first + static_cast<size_t>(width) * height);
    for (DWORD& pixel : pixels)
        pixel &= 0x00FFFFFF;
    SelectObject(memoryDC, old);
    DeleteDC(memoryDC);
    return pixels;
}

// Hands every pixel of the window's client area (or of `area` within it) to `visit`; false
// when the window could not be read.
bool VisitPixels(HWND window, const RECT* area,
                 const std::function<void(BYTE red, BYTE green, BYTE blue)>& visit)
{
    RECT rect{};
    GetClientRect(window, &rect);
    if (area != nullptr)
        IntersectRect(&rect, &rect, area);
    HDC windowDC = GetDC(window);
    const std::vector<DWORD> pixels = ReadPixels(windowDC, rect);
    if (windowDC != nullptr)
        ReleaseDC(window, windowDC);
    if (pixels.empty())
        return false;
    for (const DWORD pixel : pixels)
        visit(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
              static_cast<BYTE>(pixel));
    return true;
}

}  // namespace

int CountPixels(HWND window, const std::function<bool(BYTE, BYTE, BYTE)>& test, const RECT* area)
{
    int count = 0;
    if (!VisitPixels(window, area, [&](BYTE red, BYTE green, BYTE blue) {
            if (test(red, green, blue))
                ++count;
        }))
        return -1;
    return count;
}

std::vector<DWORD> CaptureScreen(const RECT& area)
{
    HDC screenDC = GetDC(nullptr);
    std::vector<DWORD> pixels = ReadPixels(screenDC, area);
    if (screenDC != nullptr)
        ReleaseDC(nullptr, screenDC);
    return pixels;
}

std::vector<DWORD> CaptureWindow(HWND window)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return {};
    return CaptureScreen(rect);
}

int DifferingPixels(const std::vector<DWORD>& first, const std::vector<DWORD>& second)
{
    if (first.empty() || first.size() != second.size())
        return -1;
    int count = 0;
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != second[i])
            ++count;
    return count;
}

std::string DifferenceBounds(const std::vector<DWORD>& first, const std::vector<DWORD>& second,
                             int width)
{
    if (width <= 0 || first.size() != second.size())
        return "(captures of different sizes)";
    RECT bounds{INT_MAX, INT_MAX, -1, -1};
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i] == second[i])
            continue;
        const int x = static_cast<int>(i % width);
        const int y = static_cast<int>(i / width);
        bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
    }
    if (bounds.right < 0)
        return "(none)";
    return "x " + std::to_string(bounds.left) + ".." + std::to_string(bounds.right) + ", y " +
           std::to_string(bounds.top) + ".." + std::to_string(bounds.bottom);
}

COLORREF MostCommonColor(HWND window, const RECT& area)
{
    std::map<COLORREF, int> counts;
    if (!VisitPixels(window, &area,
                     [&](BYTE red, BYTE green, BYTE blue) { ++counts[RGB(red, green, blue)]; }))
        return CLR_INVALID;
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most->first;
}

int ColorDistance(COLORREF first, COLORREF second)
{
    return std::max({std::abs(GetRValue(first) - GetRValue(second)),
                     std::abs(GetGValue(first) - GetGValue(second)),
                     std::abs(GetBValue(first) - GetBValue(second))});
}
