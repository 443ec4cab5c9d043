#include "ui/ImageList.h"

#include <gtest/gtest.h>

namespace {

// A bitmap of one colour.
TScopedGdiObject SolidBitmap(int width, int height, COLORREF color)
{
    HDC screen = GetDC(nullptr);
    TScopedGdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

COLORREF DrawnPixel(TCustomImageList& images, int index)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    TScopedGdiObject target(CreateCompatibleBitmap(screen, 16, 16));
    HGDIOBJ old = SelectObject(dc, target.get());
    images.Draw(dc, 0, 0, index);
    const COLORREF pixel = GetPixel(dc, 8, 8);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixel;
}

TEST(ImageListTest, ImagesAreAddedReplacedDrawnAndDeleted)
{
    TImageList images(nullptr);
    images.SetMasked(false);
    const TScopedGdiObject red = SolidBitmap(16, 16, RGB(255, 0, 0));
    const TScopedGdiObject blue = SolidBitmap(16, 16, RGB(0, 0, 255));
    EXPECT_EQ(images.Add(static_cast<HBITMAP>(red.get()), nullptr), 0);
    EXPECT_EQ(images.Add(static_cast<HBITMAP>(blue.get()), nullptr), 1);
    EXPECT_EQ(images.Count(), 2);
    EXPECT_EQ(DrawnPixel(images, 1), RGB(0, 0, 255));
    EXPECT_TRUE(images.Replace(1, static_cast<HBITMAP>(red.get()), nullptr));
    EXPECT_EQ(DrawnPixel(images, 1), RGB(255, 0, 0));
    EXPECT_FALSE(images.Replace(5, static_cast<HBITMAP>(red.get()), nullptr));
    EXPECT_TRUE(images.Delete(0));
    EXPECT_EQ(images.Count(), 1);
    EXPECT_FALSE(images.Draw(nullptr, 0, 0, 3));
    EXPECT_NE(images.AddIcon(LoadIconW(nullptr, IDI_WARNING)), -1);
    EXPECT_TRUE(images.GetIcon(1));
    images.Clear();
    EXPECT_EQ(images.Count(), 0);
}

TEST(ImageListTest, ASharedListIsNeverFreedEmptiedOrResized)
{
    HIMAGELIST shared = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
    const TScopedGdiObject red = SolidBitmap(16, 16, RGB(255, 0, 0));
    ImageList_Add(shared, static_cast<HBITMAP>(red.get()), nullptr);
    ImageList_Add(shared, static_cast<HBITMAP>(red.get()), nullptr);
    {
        TImageList images(nullptr);
        int changes = 0;
        TChangeLink link;
        link.OnChange = [&] { ++changes; };
        images.RegisterChanges(&link);
        images.AttachShared(shared);
        EXPECT_EQ(images.Handle(), shared);
        EXPECT_EQ(images.Count(), 2);
        EXPECT_EQ(changes, 1);

        images.Clear();  // a list of its own instead
        EXPECT_NE(images.Handle(), shared);
        EXPECT_EQ(ImageList_GetImageCount(shared), 2);

        images.AttachShared(shared);
        images.SetSize(32, 32);
        EXPECT_NE(images.Handle(), shared);
        EXPECT_EQ(images.Width(), 32);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(shared, &width, &height);
        EXPECT_EQ(width, 16);
        images.AttachShared(shared);
        EXPECT_EQ(changes, 5);
    }
    EXPECT_EQ(ImageList_GetImageCount(shared), 2);  // still there after the wrapper went
    ImageList_Destroy(shared);
}

TEST(ImageListTest, AnOwnedListResizesInPlaceAndTellsItsLinks)
{
    TImageList images(nullptr);
    HIMAGELIST handle = images.Handle();
    int changes = 0;
    TChangeLink link;
    link.OnChange = [&] { ++changes; };
    images.RegisterChanges(&link);
    const TScopedGdiObject red = SolidBitmap(16, 16, RGB(255, 0, 0));
    images.Add(static_cast<HBITMAP>(red.get()), nullptr);
    images.SetSize(48, 48);
    EXPECT_EQ(images.Handle(), handle);
    EXPECT_EQ(images.Count(), 0);
    EXPECT_EQ(images.Height(), 48);
    EXPECT_EQ(changes, 2);
    {
        TChangeLink gone;
        images.RegisterChanges(&gone);
    }  // a link that goes unregisters itself
    images.Clear();
    EXPECT_EQ(changes, 3);
}

}  // namespace
