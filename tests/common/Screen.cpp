#include "common/Screen.h"

#include "core/ScopedResource.h"

int CountPixels(HWND window, const std::function<bool(BYTE, BYTE, BYTE)>& test, const RECT* area)
{
    RECT rect{};
    GetClientRect(window, &rect);
    if (area != nullptr)
        IntersectRect(&rect, &rect, area);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return -1;
    HDC windowDC = GetDC(window);
    if (windowDC == nullptr)
        return -1;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TScopedGdiObject bitmap(CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HGDIOBJ old = SelectObject(memoryDC, bitmap.get());
    BitBlt(memoryDC, 0, 0, width, height, windowDC, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    int count = 0;
    const auto* pixels = static_cast<const BYTE*>(bits);
    for (int i = 0; i < width * height; ++i)
        if (test(pixels[i * 4 + 2], pixels[i * 4 + 1], pixels[i * 4]))
            ++count;
    SelectObject(memoryDC, old);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return count;
}
