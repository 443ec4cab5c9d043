// Thumbnails decoded through the imaging component, for images the shell gives none for.
#include "threadpool/WicThumbnail.h"

#include "common/ImageFiles.h"
#include "common/TempTree.h"
#include "shell/IDList.h"
#include "threadpool/ZelWorkItems.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <string>

namespace {

constexpr COLORREF kBackground = RGB(250, 250, 250);

class WicThumbnailTest : public testing::Test {
protected:
    // A file of one colour; the test stops when the system cannot write the format.
    std::wstring Image(const std::wstring& name, REFGUID container, UINT width, UINT height,
                       COLORREF colour)
    {
        const std::wstring path = tree.Path(name);
        if (!WriteSolidImage(path, container, width, height, colour))
            ADD_FAILURE() << "no encoder wrote " << std::string(name.begin(), name.end());
        return path;
    }

    TTempTree tree;
};

TEST_F(WicThumbnailTest, EachFormatGivesAFramedPictureOfItsColour)
{
    const struct {
        const wchar_t* name;
        GUID container;
        COLORREF colour;
    } formats[] = {
        {L"red.png", GUID_ContainerFormatPng, RGB(220, 30, 30)},
        {L"green.jpg", GUID_ContainerFormatJpeg, RGB(30, 200, 40)},
        {L"blue.bmp", GUID_ContainerFormatBmp, RGB(20, 40, 210)},
        {L"yellow.tif", GUID_ContainerFormatTiff, RGB(230, 220, 20)},
    };
    for (const auto& format : formats) {
        SCOPED_TRACE(std::string(format.name, format.name + wcslen(format.name)));
        const std::wstring path = Image(format.name, format.container, 48, 48, format.colour);
        ASSERT_TRUE(IsWicImageFile(path));
        const TScopedGdiObject bitmap = WicThumbnail(path, 96, 80, kBackground);
        ASSERT_TRUE(bitmap);
        BITMAP info{};
        ASSERT_NE(GetObjectW(bitmap.get(), sizeof(info), &info), 0);
        EXPECT_EQ(info.bmWidth, 96);
        EXPECT_EQ(info.bmHeight, 80);
        const auto picture = static_cast<HBITMAP>(bitmap.get());
        // A small picture is not enlarged: centred, with the background around it.
        EXPECT_TRUE(NearColour(BitmapPixel(picture, 48, 40), format.colour));
        EXPECT_TRUE(NearColour(BitmapPixel(picture, 2, 2), kBackground, 2));
        EXPECT_TRUE(NearColour(BitmapPixel(picture, 93, 77), kBackground, 2));
        // Opaque everywhere: a 32-bit image list shows pixels of alpha zero as see-through.
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(picture, sizeof(section), &section), sizeof(section));
        const auto* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
        for (size_t pixel : {0u, 40u * 96u + 48u})
            EXPECT_EQ(bits[pixel * 4 + 3], 255) << pixel;
    }
}

TEST_F(WicThumbnailTest, ALargePictureIsScaledDownWithItsAspectKept)
{
    const std::wstring path = Image(L"wide.png", GUID_ContainerFormatPng, 400, 100, RGB(0, 0, 255));
    const TScopedGdiObject bitmap = WicThumbnail(path, 96, 96, kBackground);
    ASSERT_TRUE(bitmap);
    const auto picture = static_cast<HBITMAP>(bitmap.get());
    // 400 x 100 fits 96 wide as 96 x 24, rows 36 to 59.
    for (int x : {1, 48, 94})
        EXPECT_TRUE(NearColour(BitmapPixel(picture, x, 48), RGB(0, 0, 255))) << x;
    EXPECT_TRUE(NearColour(BitmapPixel(picture, 48, 30), kBackground, 2));
    EXPECT_TRUE(NearColour(BitmapPixel(picture, 48, 66), kBackground, 2));
}

TEST_F(WicThumbnailTest, FilesThatAreNoImagesGiveNothing)
{
    std::string truncated(200, '\0');
    const std::wstring valid = Image(L"valid.png", GUID_ContainerFormatPng, 64, 64, RGB(9, 9, 9));
    HANDLE file = CreateFileW(valid.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD read = 0;
    ReadFile(file, truncated.data(), 60, &read, nullptr);  // the header, no pixels
    CloseHandle(file);
    truncated.resize(read);

    const std::wstring cases[] = {
        tree.TextFile(L"text.png", "this is not a picture"),
        tree.TextFile(L"empty.jpg", ""),
        tree.TextFile(L"cut.png", truncated),
        tree.Path(L"missing.png"),
    };
    for (const std::wstring& path : cases)
        EXPECT_FALSE(WicThumbnail(path, 96, 96, kBackground))
            << std::string(path.begin(), path.end());
    EXPECT_FALSE(IsWicImageFile(L"C:\\notes.txt"));
    EXPECT_TRUE(IsWicImageFile(L"C:\\Photo.JPEG"));
    EXPECT_TRUE(IsWicImageFile(L"C:\\icon.ico"));
}

// The work item uses the decoder only where the shell gave nothing, and only for images.
TEST_F(WicThumbnailTest, TheWorkItemFallsBackToTheDecoderForImagesOnly)
{
    const std::wstring picture = Image(L"red.png", GUID_ContainerFormatPng, 32, 32, RGB(200, 0, 0));
    const std::wstring corrupt = tree.TextFile(L"corrupt.png", "\x89PNG broken");
    const std::wstring text = tree.TextFile(L"plain.txt", "text");
    auto run = [](const std::wstring& path) {
        const TOwnedIDList list = IDListFromPath(nullptr, path);
        TComPtr<TThumbnailWorkItem> item(new TThumbnailWorkItem(list, nullptr, 0, nullptr, 64, 64));
        item->Execute();
        return item;
    };
    const auto fromPicture = run(picture);
    ASSERT_NE(fromPicture->Bitmap(), nullptr);
    EXPECT_TRUE(NearColour(BitmapPixel(fromPicture->Bitmap(), 32, 32), RGB(200, 0, 0)));
    EXPECT_EQ(run(corrupt)->Bitmap(), nullptr);
    EXPECT_EQ(run(text)->Bitmap(), nullptr);
}

}  // namespace
