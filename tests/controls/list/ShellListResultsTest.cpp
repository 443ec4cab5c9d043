// Icon and thumbnail results reaching a shell list: the requests are kept from the pool (the
// list's test hook) and answered by the test, late, out of order or after the list has gone,
// as a worker that a cancel missed would answer them.
#include "controls/list/ShellListFixture.h"
#include "core/ComPtr.h"
#include "threadpool/ZelWorkItems.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

struct TRequest {
    TComPtr<IWorkItem> Item;
    TComPtr<IUnknown> Receiver;
    TWorkItemOwner Owner = nullptr;
    // Thumbnails only: the image the result is meant for.
    int ImageIndex = -1;
    bool IsThumbnail() const { return ImageIndex >= 0; }
};

// A 32-bit bitmap of one colour.
HBITMAP SolidBitmap(int width, int height, COLORREF colour)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    const DWORD pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int index = 0; index < width * height; ++index)
        pixels[index] = pixel;
    return bitmap;
}

// The colour at (x, y) of an image of an image list, as stored.
COLORREF ImagePixel(HIMAGELIST images, int index, int x, int y)
{
    IMAGEINFO image{};
    if (!ImageList_GetImageInfo(images, index, &image))
        return CLR_INVALID;
    BITMAP info{};
    GetObjectW(image.hbmImage, sizeof(info), &info);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    const HDC screen = GetDC(nullptr);
    const int lines =
        GetDIBits(screen, image.hbmImage, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != info.bmHeight)
        return CLR_INVALID;
    const DWORD pixel =
        pixels[static_cast<size_t>(image.rcImage.top + y) * info.bmWidth + image.rcImage.left + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void AnswerThumbnail(const TRequest& request, HBITMAP bitmap)
{
    TComPtr<IThumbnailViewer> viewer;
    ASSERT_TRUE(SUCCEEDED(request.Receiver.As(&viewer)));
    viewer->SetThumbnail(bitmap, request.ImageIndex);
}

void AnswerOverlay(const TRequest& request, int overlay)
{
    TComPtr<IIconViewer> viewer;
    ASSERT_TRUE(SUCCEEDED(request.Receiver.As(&viewer)));
    viewer->SetImage(overlay, kIconKindOverlay, request.Owner);
}

class ShellListResultsTest : public ShellListFixture {
protected:
    void TearDown() override
    {
        requests.clear();
        ShellListFixture::TearDown();
    }
    void CaptureRequests()
    {
        WorkRequestHook = [this](IWorkItem* item, IUnknown* receiver) {
            TRequest request{item, receiver, item->GetOwner()};
            if (auto* thumbnail = dynamic_cast<TThumbnailWorkItem*>(item))
                request.ImageIndex = thumbnail->ImageIndex();
            requests.push_back(std::move(request));
            return true;
        };
    }
    int Count(bool thumbnails) const
    {
        int count = 0;
        for (const TRequest& request : requests)
            count += request.IsThumbnail() == thumbnails ? 1 : 0;
        return count;
    }
    HIMAGELIST Thumbnails() const { return list->ThumbnailImages()->Handle(); }

    std::vector<TRequest> requests;
};

TEST_F(ShellListResultsTest, AThumbnailResultReplacesThePlaceholderFramedAndFitted)
{
    CaptureRequests();
    list->SetThumbnails(true);
    Show();
    ASSERT_GE(Count(true), 2);
    const TRequest request = *std::find_if(requests.rbegin(), requests.rend(),
                                           [](const TRequest& each) { return each.IsThumbnail(); });
    int updated = -1;
    list->OnThumbnailUpdated = [&](TObject*, int index, HBITMAP& bitmap) {
        updated = index;
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 96);
        EXPECT_EQ(info.bmHeight, 96);
    };
    // Smaller than the thumbnail: it keeps the top left, the window colour fills the rest.
    AnswerThumbnail(request, SolidBitmap(60, 40, RGB(0, 200, 0)));
    EXPECT_EQ(updated, request.ImageIndex);
    const HIMAGELIST images = Thumbnails();
    EXPECT_EQ(ImagePixel(images, request.ImageIndex, 20, 20), RGB(0, 200, 0));
    EXPECT_EQ(ImagePixel(images, request.ImageIndex, 0, 20), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(ImagePixel(images, request.ImageIndex, 80, 80), GetSysColor(COLOR_WINDOW));
    // The same answer again finds its image taken.
    updated = -1;
    AnswerThumbnail(request, SolidBitmap(96, 96, RGB(255, 0, 0)));
    EXPECT_EQ(updated, -1);
    EXPECT_EQ(ImagePixel(images, request.ImageIndex, 20, 20), RGB(0, 200, 0));
    // The list itself takes a picture for an image that waits for one, and only for such.
    const TRequest other =
        *std::find_if(requests.begin(), requests.end(), [&](const TRequest& each) {
            return each.IsThumbnail() && each.ImageIndex != request.ImageIndex;
        });
    list->SetThumbnail(SolidBitmap(96, 96, RGB(0, 0, 200)), other.ImageIndex);
    EXPECT_EQ(ImagePixel(images, other.ImageIndex, 20, 20), RGB(0, 0, 200));
    AnswerThumbnail(other, SolidBitmap(96, 96, RGB(255, 0, 0)));
    list->SetThumbnail(SolidBitmap(96, 96, RGB(255, 0, 0)), request.ImageIndex);
    EXPECT_EQ(ImagePixel(images, other.ImageIndex, 20, 20), RGB(0, 0, 200));
    EXPECT_EQ(ImagePixel(images, request.ImageIndex, 20, 20), RGB(0, 200, 0));
}

TEST_F(ShellListResultsTest, ThumbnailsOfTheOldSizeNeverReplaceNewPictures)
{
    CaptureRequests();
    list->SetThumbnails(true);
    Show();
    std::vector<TRequest> old = std::move(requests);
    requests.clear();
    ASSERT_FALSE(old.empty());
    list->SetThumbnailWidth(64);
    Draw();
    ASSERT_GT(Count(true), 0);
    for (const TRequest& request : old)
        if (request.IsThumbnail())
            AnswerThumbnail(request, SolidBitmap(96, 96, RGB(255, 0, 0)));
    const HIMAGELIST images = Thumbnails();
    for (int index = 0; index < ImageList_GetImageCount(images); ++index)
        EXPECT_NE(ImagePixel(images, index, 30, 30), RGB(255, 0, 0)) << "image " << index;
    // The new requests still land.
    for (const TRequest& request : requests)
        if (request.IsThumbnail()) {
            AnswerThumbnail(request, SolidBitmap(64, 96, RGB(0, 0, 255)));
            EXPECT_EQ(ImagePixel(images, request.ImageIndex, 30, 30), RGB(0, 0, 255));
        }
}

TEST_F(ShellListResultsTest, ChangingTheBorderColourKeepsOneImagePerItem)
{
    list->SetThumbnails(true);
    Show();
    const int count = list->ThumbnailImages()->Count();
    ASSERT_GT(count, 0);
    for (const COLORREF colour : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        list->SetThumbnailBorderColor(colour);
        Draw();
    }
    EXPECT_EQ(list->ThumbnailImages()->Count(), count);
    EXPECT_EQ(ImagePixel(Thumbnails(), 0, 1, 40), RGB(0, 0, 255));  // the placeholder frame
}

// Items that take the memory of the item freed last, as a heap may well do.
class TRecycledItem : public TListItem {
public:
    using TListItem::TListItem;
    static void* operator new(size_t size)
    {
        if (Freed().empty())
            return ::operator new(size);
        void* block = Freed().back();
        Freed().pop_back();
        return block;
    }
    static void operator delete(void* block) { Freed().push_back(block); }
    static std::vector<void*>& Freed()
    {
        static std::vector<void*> blocks;
        return blocks;
    }
    static void Release()
    {
        for (void* block : Freed())
            ::operator delete(block);
        Freed().clear();
    }
};

class TRecyclingList : public TZelShellList {
public:
    using TZelShellList::TZelShellList;

protected:
    std::unique_ptr<TListItem> CreateListItem() override
    {
        return std::make_unique<TRecycledItem>(this);
    }
};

class ShellListRecycledItemsTest : public ShellListResultsTest {
protected:
    TZelShellList* MakeList() override { return new TRecyclingList(form.get()); }
    void TearDown() override
    {
        ShellListResultsTest::TearDown();
        TRecycledItem::Release();
    }
};

TEST_F(ShellListRecycledItemsTest, ResultsForAnItemThatLeftNeverReachTheItemInItsPlace)
{
    CaptureRequests();
    Show();
    list->SetShowFolders(false);
    Draw();
    TListItem* beta = ItemNamed(L"beta.txt");
    ASSERT_NE(beta, nullptr);
    std::vector<TRequest> old;
    for (TRequest& request : requests)
        if (request.Owner == beta)
            old.push_back(std::move(request));
    requests.clear();
    ASSERT_FALSE(old.empty());
    // beta.txt leaves, and delta.txt's item takes its item's memory.
    DeleteFileW(tree.Path(L"beta.txt").c_str());
    list->RefreshChanges();
    tree.File(L"delta.txt");
    list->RefreshChanges();
    Draw();
    TListItem* delta = ItemNamed(L"delta.txt");
    ASSERT_EQ(delta, beta);
    for (const TRequest& request : old)
        AnswerOverlay(request, 3);
    EXPECT_NE(delta->OverlayIndex(), 3);
    // delta's own requests do land.
    const auto own = std::find_if(requests.begin(), requests.end(), [&](const TRequest& each) {
        return each.Owner == delta && !each.IsThumbnail();
    });
    ASSERT_NE(own, requests.end());
    AnswerOverlay(*own, 3);
    EXPECT_EQ(delta->OverlayIndex(), 3);
}

// A list whose memory, once freed, is kept filled with a pattern that no call survives: a late
// call into it crashes the test instead of passing unnoticed.
class TPoisonedList : public TZelShellList {
public:
    using TZelShellList::TZelShellList;
    static void* operator new(size_t size) { return ::operator new(size); }
    static void operator delete(void* memory, size_t size)
    {
        std::memset(memory, 0xDD, size);
        Graveyard().push_back(memory);
    }
    static std::vector<void*>& Graveyard()
    {
        static std::vector<void*> blocks;
        return blocks;
    }
    static void FreeGraveyard()
    {
        for (void* block : Graveyard())
            ::operator delete(block);
        Graveyard().clear();
    }
};

class ShellListDestroyedTest : public ShellListResultsTest {
protected:
    TZelShellList* MakeList() override { return new TPoisonedList(form.get()); }
    void TearDown() override
    {
        ShellListResultsTest::TearDown();
        TPoisonedList::FreeGraveyard();
    }
};

TEST_F(ShellListDestroyedTest, ResultsThatComeAfterTheListIsGoneAreDropped)
{
    CaptureRequests();
    Show();
    list->SetThumbnails(true);
    Draw();
    ASSERT_GT(Count(false), 0);
    ASSERT_GT(Count(true), 0);
    form.reset();
    list = nullptr;
    // As workers whose items a cancel missed: run them, hand over the results, let go.
    for (TRequest& request : requests) {
        request.Item->Execute();
        if (TWorkItemHandler handler = request.Item->GetCompletionHandler())
            handler();
    }
    for (const TRequest& request : requests)
        if (request.IsThumbnail())
            AnswerThumbnail(request, SolidBitmap(8, 8, RGB(255, 0, 0)));
        else
            AnswerOverlay(request, 1);
    requests.clear();
}

}  // namespace
