// Thumbnails in the shell list for images the shell itself gives no thumbnail for. The list's
// requests are held back from the pool and run by the test, so that what the list shows before
// and after each result can be read.
#include "common/HostLinks.h"
#include "common/ImageFiles.h"
#include "controls/list/ShellListFixture.h"
#include "threadpool/ZelWorkItems.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <vector>

namespace {

constexpr COLORREF kRed = RGB(210, 30, 30);
constexpr COLORREF kGreen = RGB(30, 190, 50);

class ShellListThumbnailTest : public ShellListFixture {
protected:
    void HoldThumbnailRequests()
    {
        WorkRequestHook = [this](IWorkItem* item, IUnknown*) {
            auto* thumbnail = dynamic_cast<TThumbnailWorkItem*>(item);
            if (thumbnail == nullptr)
                return false;
            held.emplace_back(thumbnail);
            return true;
        };
    }
    COLORREF Centre(const std::wstring& caption)
    {
        TListItem* item = ItemNamed(caption);
        if (item == nullptr)
            return CLR_INVALID;
        return ImageListPixel(list->ThumbnailImages()->Handle(), item->ImageIndex(),
                              list->GetThumbnailWidth() / 2, list->GetThumbnailHeight() / 2);
    }

    std::vector<TComPtr<TThumbnailWorkItem>> held;
};

TEST_F(ShellListThumbnailTest, ImagesShowTheirColoursAndACorruptOneKeepsItsPlaceholder)
{
    tree.Folder(L"pictures");
    ASSERT_TRUE(
        WriteSolidImage(tree.Path(L"pictures\\red.png"), GUID_ContainerFormatPng, 64, 64, kRed));
    ASSERT_TRUE(WriteSolidImage(tree.Path(L"pictures\\green.jpg"), GUID_ContainerFormatJpeg, 120,
                                80, kGreen));
    tree.TextFile(L"pictures\\corrupt.png", "\x89PNG\r\n but nothing more");
    HoldThumbnailRequests();
    list->SetThumbnails(true);
    Show(L"pictures");
    ASSERT_EQ(held.size(), 3u);
    const COLORREF placeholder = Centre(L"corrupt.png");
    EXPECT_FALSE(NearColour(Centre(L"red.png"), kRed));  // nothing decoded yet

    for (const auto& item : held) {
        item->Execute();
        item->ApplyResult();
    }
    EXPECT_TRUE(NearColour(Centre(L"red.png"), kRed));
    EXPECT_TRUE(NearColour(Centre(L"green.jpg"), kGreen));
    EXPECT_EQ(Centre(L"corrupt.png"), placeholder);
}

TEST_F(ShellListThumbnailTest, TenThousandImagesShowTheirFirstScreenBeforeAnyThumbnail)
{
    if (!RunningOnWine())
        GTEST_SKIP() << "the folder is made from the host side";
    const std::wstring folder = tree.Folder(L"many");
    ASSERT_TRUE(
        RunHostScript(L"cd $1 && seq -f image%g.png 10000 | xargs touch", {UnixPathOf(folder)}));
    const std::wstring last = folder + L"\\image10000.png";
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return GetFileAttributesW(last.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
    HoldThumbnailRequests();
    list->SetThumbnails(true);
    Show(L"many");
    ASSERT_EQ(list->Items()->Count(), 10000);
    // The first screen asked for its own thumbnails and shows placeholders meanwhile; the rest
    // of the folder asked for nothing.
    EXPECT_GT(held.size(), 0u);
    EXPECT_LT(held.size(), 200u);
    const int top = ListView_GetTopIndex(list->Handle());
    EXPECT_GE(list->Items()->Item(top)->ImageIndex(), 0);
}

}  // namespace
