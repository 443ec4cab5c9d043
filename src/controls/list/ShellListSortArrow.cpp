// Sort-arrow bitmaps for the report header.
#include "controls/list/ShellListSortArrow.h"

#include <uxtheme.h>

namespace {

constexpr int kToolbarPart = 5;
constexpr int kFillColorProperty = 3802;
constexpr int kArrowWidth = 9;
constexpr int kArrowHeight = 5;

COLORREF HeaderBackgroundColor()
{
    COLORREF color = GetSysColor(COLOR_BTNFACE);
    if (IsThemeActive() && IsAppThemed()) {
        if (const HTHEME theme = OpenThemeData(nullptr, L"TOOLBAR")) {
            COLORREF themed;
            if (SUCCEEDED(GetThemeColor(theme, kToolbarPart, 0, kFillColorProperty, &themed)))
                color = themed;
            CloseThemeData(theme);
        }
    }
    return color;
}

TScopedGdiObject NewBitmap(int width, int height)
{
    const TScopedWindowDC screen;
    return TScopedGdiObject(CreateCompatibleBitmap(screen.get(), width, height));
}

void Fill(HDC dc, int width, int height, COLORREF color)
{
    const RECT rect{0, 0, width, height};
    TScopedGdiObject brush(CreateSolidBrush(color));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

TScopedGdiObject DrawnArrow(bool down, COLORREF background)
{
    TScopedGdiObject bitmap = NewBitmap(kArrowWidth, kArrowHeight);
    const TScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc)
        return {};
    const TSelectObjectScope selected(dc.get(), bitmap.get());
    Fill(dc.get(), kArrowWidth, kArrowHeight, background);
    const COLORREF arrow = GetSysColor(COLOR_BTNSHADOW);
    for (int row = 0; row < kArrowHeight; ++row) {
        // Row 0 is the tip of an up arrow.
        const int halfWidth = down ? kArrowHeight - 1 - row : row;
        for (int x = kArrowWidth / 2 - halfWidth; x <= kArrowWidth / 2 + halfWidth; ++x)
            SetPixel(dc.get(), x, row, arrow);
    }
    return bitmap;
}

}  // namespace

TScopedGdiObject LoadSortArrow(const std::wstring& resourceName, bool down)
{
    const COLORREF background = HeaderBackgroundColor();
    TScopedGdiObject resource(
        LoadImageW(GetModuleHandleW(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0, 0));
    if (!resource)
        return DrawnArrow(down, background);

    BITMAP info{};
    GetObjectW(resource.get(), sizeof(info), &info);
    TScopedGdiObject bitmap = NewBitmap(info.bmWidth, info.bmHeight);
    const TScopedMemoryDC source(CreateCompatibleDC(nullptr));
    const TScopedMemoryDC target(CreateCompatibleDC(nullptr));
    if (!bitmap || !source || !target)
        return DrawnArrow(down, background);
    const TSelectObjectScope sourceSelected(source.get(), resource.get());
    const TSelectObjectScope targetSelected(target.get(), bitmap.get());
    Fill(target.get(), info.bmWidth, info.bmHeight, background);
    const COLORREF transparent = GetPixel(source.get(), 0, info.bmHeight - 1);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) {
            const COLORREF pixel = GetPixel(source.get(), x, y);
            if (pixel != transparent)
                SetPixel(target.get(), x, y, pixel);
        }
    return bitmap;
}
