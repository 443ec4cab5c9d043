#include "shell/SystemImageList.h"

#include "common/TempTree.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

using TImages = TZelSystemImageList;

namespace {

DWORD PixelAt(HGDIOBJ bitmap, int x, int y)
{
    DIBSECTION dib{};
    GetObjectW(bitmap, sizeof(dib), &dib);
    const auto* row = static_cast<const BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes;
    return reinterpret_cast<const DWORD*>(row)[x];
}

}  // namespace

TEST(SystemImageList, BindsTheSystemListSharedOrCopied)
{
    TComponent owner(nullptr);
    auto* images = MakeOwned<TImages>(&owner);
    int changes = 0;
    images->OnChange = [&changes](TObject*) { ++changes; };
    HIMAGELIST small = TImages::SystemImageList(si_small);
    EXPECT_EQ(images->Handle(), small);
    EXPECT_EQ(images->Width(), GetSystemMetrics(SM_CXSMICON));

    images->SetShareImages(false);
    EXPECT_TRUE(images->OwnsHandle());
    EXPECT_NE(images->Handle(), small);
    EXPECT_EQ(images->Count(), ImageList_GetImageCount(small));

    // While loading, the size waits for Loaded; at design time the list is always shared.
    images->BeginLoading();
    images->SetSize(si_large);
    EXPECT_EQ(images->Height(), GetSystemMetrics(SM_CYSMICON));
    images->SetDesigning(true);
    images->EndLoading();
    EXPECT_EQ(images->Handle(), TImages::SystemImageList(si_large));
    EXPECT_FALSE(images->OwnsHandle());
    EXPECT_EQ(changes, 2);

    delete images;  // the shared lists outlive the component
    EXPECT_GT(ImageList_GetImageCount(small), 0);
}

TEST(SystemImageList, LookupsAgreeForRealFilesFoldersAndTypes)
{
    TTempTree tree;
    const std::wstring text = tree.File(L"notes.txt");
    const std::wstring folder = tree.Folder(L"Folder");
    const int textIndex = TImages::IndexOfPath(text, si_small, false, false);
    ASSERT_GE(textIndex, 0);
    EXPECT_EQ(TImages::IndexOfExtension(L".txt", si_small, false), textIndex);
    EXPECT_EQ(TImages::IndexOfExtension(L"txt", si_large, false), textIndex);
    EXPECT_EQ(TImages::IndexOfIDList(IDListFromPath(nullptr, text), si_small, false), textIndex);
    EXPECT_EQ(TImages::IndexOfExtension(L"", si_small, false),
              TImages::IndexOfPath(tree.File(L"README"), si_small, false, false));

    const int folderIndex = TImages::FolderIndex(false);
    EXPECT_NE(folderIndex, textIndex);
    EXPECT_EQ(TImages::FolderIndex(true), folderIndex);
    EXPECT_EQ(TImages::IndexOfPath(folder, si_small, false, false), folderIndex);
    EXPECT_EQ(TImages::IndexOfIDList(IDListFromPath(nullptr, folder), si_small, false),
              folderIndex);
    EXPECT_EQ(TImages::IndexOfIDList(nullptr, si_small, false), -1);
}

TEST(SystemImageList, MissingFilesFallBackToTheirTypeOrAFolder)
{
    TTempTree tree;
    const std::wstring missing = tree.Path(L"gone.txt");
    const int textIndex = TImages::IndexOfExtension(L"txt", si_small, false);
    const int folderIndex = TImages::FolderIndex(false);
    EXPECT_EQ(TImages::IndexOfPath(missing, si_small, false, false), -1);
    EXPECT_EQ(TImages::IndexOfFile(missing, si_small, false), textIndex);
    EXPECT_EQ(TImages::IndexOfFile(tree.Path(L"gone\\"), si_small, false), folderIndex);
    // Server and share names show as folders, deeper network paths by their type.
    EXPECT_EQ(TImages::IndexOfMissingFile(L"\\\\server\\share", si_small, false), folderIndex);
    EXPECT_EQ(TImages::IndexOfMissingFile(L"\\\\server\\share\\a.txt", si_small, false), textIndex);
}

TEST(SystemImageList, IconBitmapCentresTheIconInsideAnOpaqueFrame)
{
    ASSERT_TRUE(IsVistaOrLater);  // Wine reports a current Windows
    HIMAGELIST large = TImages::SystemImageList(si_large);
    const int folderIndex = TImages::FolderIndex(false);
    TScopedGdiObject bitmap = TImages::IconBitmap(large, 96, 90, RGB(255, 0, 0), folderIndex);
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(bitmap.get(), sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 90);
    EXPECT_EQ(info.bmHeight, 96);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(PixelAt(bitmap.get(), 0, 0), 0x00FFFFFFu);  // see-through white
    EXPECT_EQ(PixelAt(bitmap.get(), 1, 1), 0xFFFF0000u);  // opaque red frame
    EXPECT_EQ(PixelAt(bitmap.get(), 88, 94), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(bitmap.get(), 89, 95), 0x00FFFFFFu);
    // The 32 x 32 icon covers (29..60, 32..63) and nothing outside it.
    int drawnInside = 0, drawnOutside = 0;
    for (int y = 2; y < 94; ++y)
        for (int x = 2; x < 88; ++x)
            if (PixelAt(bitmap.get(), x, y) != 0x00FFFFFFu)
                ++(x >= 29 && x < 61 && y >= 32 && y < 64 ? drawnInside : drawnOutside);
    EXPECT_GT(drawnInside, 100);
    EXPECT_EQ(drawnOutside, 0);

    TScopedGdiObject bare = TImages::IconBitmap(large, 40, 40, TImages::kColorNone, folderIndex);
    EXPECT_EQ(PixelAt(bare.get(), 1, 1), 0x00FFFFFFu);
    EXPECT_FALSE(TImages::IconBitmap(large, 0, 10, RGB(0, 0, 0), folderIndex));

    // A 24-bit list becomes an empty 32-bit one of the same size that keeps the alpha.
    HIMAGELIST list = ImageList_Create(90, 96, ILC_COLOR24, 4, 4);
    TImages::MakeImageList32(list, 4);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
    EXPECT_EQ(width, 90);
    EXPECT_EQ(height, 96);
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    ASSERT_EQ(ImageList_Add(list, static_cast<HBITMAP>(bitmap.get()), nullptr), 0);
    IMAGEINFO stored{};
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &stored));
    ASSERT_TRUE(GetObjectW(stored.hbmImage, sizeof(info), &info));
    EXPECT_EQ(info.bmBitsPixel, 32);
    ImageList_Destroy(list);
}
