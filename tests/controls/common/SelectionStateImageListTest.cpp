// The check-box images: five of them, masked, and the checked and unchecked
// boxes differ.
#include "controls/common/SelectionStateImageList.h"
#include "core/ScopedResource.h"
#include "link/ZelSelectionState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// The image's pixels drawn over blue: blue where the mask lets the background
// through.
std::vector<COLORREF> Pixels(TCustomImageList& images, int index)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    TScopedGdiObject bitmap(CreateCompatibleBitmap(screen, 16, 16));
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap.get());
    TScopedGdiObject brush(CreateSolidBrush(kBlue));
    const RECT rect{0, 0, 16, 16};
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
    images.Draw(dc, 0, 0, index, ILD_TRANSPARENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

TEST(SelectionStateImageListTest, FiveMaskedBoxesCheckedDifferentFromUnchecked)
{
    TZelSelectionStateImageList images(nullptr);
    ASSERT_EQ(images.Count(), 5);
    EXPECT_EQ(images.Width(), 16);
    EXPECT_EQ(images.Height(), 16);
    const auto checked = Pixels(images, ssChecked);
    const auto unchecked = Pixels(images, ssUnChecked);
    EXPECT_NE(checked, unchecked);
    for (int index = ssNone; index <= ssGrayed; ++index) {
        const auto pixels = Pixels(images, index);
        // The corner is background, so masked; the box itself is drawn.
        EXPECT_EQ(pixels.front(), kBlue) << index;
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](COLORREF pixel) {
            return pixel != kBlue;
        })) << index;
        // No red background shows through anywhere.
        EXPECT_TRUE(std::none_of(pixels.begin(), pixels.end(), [](COLORREF pixel) {
            return pixel == RGB(255, 0, 0);
        })) << index;
    }
}

}  // namespace
