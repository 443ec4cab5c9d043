// Check boxes drawn with the visual style where it draws something, else
// classic ones.
#include "controls/common/SelectionStateImageList.h"

#include "core/ScopedResource.h"

#include <uxtheme.h>
#include <vsstyle.h>

namespace {

constexpr int kSize = 16;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct TCheckImage {
    COLORREF background;
    bool checked;
    bool disabled;
};

// Index = TZelSelectionState: unused, none, checked, unchecked, grayed.
constexpr TCheckImage kImages[] = {
    {kWhite, false, false}, {kRed, false, true}, {kRed, true, false},
    {kRed, false, false},   {kRed, true, true},
};

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
    TScopedGdiObject brush(CreateSolidBrush(color));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// True when the theme changed at least one pixel of the square.
bool DrawThemed(HDC dc, const RECT& rect, const TCheckImage& image)
{
    const HTHEME theme = OpenThemeData(nullptr, L"BUTTON");
    if (theme == nullptr)
        return false;
    int state = CBS_UNCHECKEDNORMAL;
    if (image.checked)
        state = image.disabled ? CBS_CHECKEDDISABLED : CBS_CHECKEDNORMAL;
    else if (image.disabled)
        state = CBS_UNCHECKEDDISABLED;
    const HRESULT result = DrawThemeBackground(theme, dc, BP_CHECKBOX, state, &rect, nullptr);
    CloseThemeData(theme);
    if (FAILED(result))
        return false;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (GetPixel(dc, x, y) != image.background)
                return true;
    return false;
}

void DrawClassic(HDC dc, const RECT& rect, const TCheckImage& image)
{
    RECT box{rect.left + 2, rect.top + 2, rect.right - 1, rect.bottom - 1};
    UINT state = DFCS_BUTTONCHECK;
    if (image.checked)
        state |= DFCS_CHECKED;
    if (image.disabled)
        state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
}

}  // namespace

TZelSelectionStateImageList::TZelSelectionStateImageList(TComponent* owner)
    : TCustomImageList(owner, kSize, kSize)
{
    const TScopedWindowDC screen;
    const TScopedMemoryDC dc(CreateCompatibleDC(screen.get()));
    for (const TCheckImage& image : kImages) {
        const TScopedGdiObject bitmap(CreateCompatibleBitmap(screen.get(), kSize, kSize));
        {
            // The image list takes the bitmap only once no DC holds it.
            const TSelectObjectScope select(dc.get(), bitmap.get());
            const RECT rect{0, 0, kSize, kSize};
            Fill(dc.get(), rect, image.background);
            if (!DrawThemed(dc.get(), rect, image)) {
                Fill(dc.get(), rect, image.background);
                DrawClassic(dc.get(), rect, image);
            }
        }
        AddMasked(static_cast<HBITMAP>(bitmap.get()), image.background);
    }
}
