// Thumbnails while the user scrolls a folder of many images: the list's requests are held back
// from the pool and run by the test in the order the pool would take them (first come, first
// run), each late enough that the cells it was made for may have been scrolled past.
#include "common/ImageFiles.h"
#include "controls/list/ShellListFixture.h"
#include "threadpool/ZelWorkItems.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <deque>
#include <set>
#include <vector>

namespace {

constexpr int kImages = 240;

// A colour of its own for every image (exact: PNG keeps it, and the picture is not scaled).
COLORREF ColourOf(int index)
{
    return RGB(index % 256, 40 + (index / 256) * 80, 200);
}

class ShellListThumbnailScrollTest : public ShellListFixture {
protected:
    void SetUp() override
    {
        ShellListFixture::SetUp();
        tree.Folder(L"images");
        for (int index = 0; index < kImages; ++index) {
            wchar_t name[40];
            swprintf(name, 40, L"images\\img%03d.png", index);
            ASSERT_TRUE(
                WriteSolidImage(tree.Path(name), GUID_ContainerFormatPng, 8, 8, ColourOf(index)));
        }
        WorkRequestHook = [this](IWorkItem* item, IUnknown*) {
            auto* thumbnail = dynamic_cast<TThumbnailWorkItem*>(item);
            if (thumbnail == nullptr)
                return false;
            pool.emplace_back(thumbnail);
            return true;
        };
        list->SetThumbnails(true);
        Show(L"images");
        ASSERT_EQ(list->Items()->Count(), kImages);
    }

    // The image's number, from its caption ("img017.png").
    static int NumberOf(TListItem* item) { return std::stoi(item->Caption().substr(3, 3)); }

    bool OnScreen(TListItem* item)
    {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        RECT client{};
        RECT common{};
        GetClientRect(list->Handle(), &client);
        return SendMessageW(list->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(item->Index()),
                            reinterpret_cast<LPARAM>(&bounds)) != 0 &&
               IntersectRect(&common, &bounds, &client) != FALSE;
    }
    std::set<int> ItemsOnScreen()
    {
        std::set<int> shown;
        for (int index = 0; index < list->Items()->Count(); ++index)
            if (OnScreen(list->Items()->Item(index)))
                shown.insert(NumberOf(list->Items()->Item(index)));
        return shown;
    }
    // The image number of the item a request was made for.
    static int RequestedNumber(TThumbnailWorkItem* request)
    {
        return NumberOf(static_cast<TListItem*>(request->GetOwner()));
    }

    // Scrolls by `pages` screens (a large number reaches either end) and draws.
    void Scroll(int pages)
    {
        RECT client{};
        GetClientRect(list->Handle(), &client);
        SendMessageW(list->Handle(), LVM_SCROLL, 0, pages * (client.bottom - client.top));
        Draw();
    }

    // Runs the oldest request as a worker would, and hands its result to the list.
    TComPtr<TThumbnailWorkItem> RunOldest()
    {
        TComPtr<TThumbnailWorkItem> request = pool.front();
        pool.pop_front();
        request->Execute();
        request->ApplyResult();
        return request;
    }
    void RunAll()
    {
        for (int run = 0; run < 4 * kImages && !pool.empty(); ++run) {
            RunOldest();
            if (pool.empty())
                Draw();
        }
        ASSERT_TRUE(pool.empty());
    }

    COLORREF Centre(TListItem* item)
    {
        return ImageListPixel(list->ThumbnailImages()->Handle(), item->ImageIndex(),
                              list->GetThumbnailWidth() / 2, list->GetThumbnailHeight() / 2);
    }

    std::deque<TComPtr<TThumbnailWorkItem>> pool;
};

// Whatever the scrolling, no cell ever shows another image's picture, and every cell on
// screen ends with its own.
TEST_F(ShellListThumbnailScrollTest, EveryThumbnailEndsInItsOwnCell)
{
    const struct {
        const char* name;
        std::vector<int> pages;
    } sequences[] = {
        {"none", {}},
        {"one page down", {1}},
        {"three pages down", {1, 1, 1}},
        {"to the end", {1000}},
        {"down and back", {1, -1}},
        {"to the end and back", {1000, -1000}},
        {"down two, up one", {2, -1}},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        list->RefreshContents();
        pool.clear();
        Scroll(-1000);
        for (const int pages : sequence.pages) {
            // One result comes between two scrolls; the rest arrive late.
            if (!pool.empty())
                RunOldest();
            Scroll(pages);
        }
        RunAll();
        const std::set<int> shown = ItemsOnScreen();
        ASSERT_FALSE(shown.empty());
        for (int index = 0; index < list->Items()->Count(); ++index) {
            TListItem* item = list->Items()->Item(index);
            const int number = NumberOf(item);
            if (shown.count(number) != 0) {
                EXPECT_EQ(Centre(item), ColourOf(number)) << number;
                EXPECT_FALSE(list->ThumbnailPending(item)) << number;
            } else if (item->ImageIndex() >= 0) {
                // Off screen: its own picture or its placeholder, never another's.
                const COLORREF centre = Centre(item);
                for (int other = 0; other < kImages; ++other) {
                    if (other != number) {
                        EXPECT_NE(centre, ColourOf(other)) << number << " shows " << other;
                    }
                }
            }
        }
    }
}

// After a scroll, the pictures of the cells now on screen are asked for next: of the requests
// made for the cells scrolled past, only those already on their way are still run.
TEST_F(ShellListThumbnailScrollTest, TheCellsOnScreenAreAskedForBeforeThoseScrolledPast)
{
    const std::set<int> first = ItemsOnScreen();
    ASSERT_GE(first.size(), 12u);
    Scroll(1000);
    const std::set<int> last = ItemsOnScreen();
    ASSERT_FALSE(last.empty());
    for (const int number : last)
        ASSERT_EQ(first.count(number), 0u);

    int scrolledPast = 0;
    std::set<int> served;
    while (!pool.empty()) {
        const int number = RequestedNumber(RunOldest().Get());
        if (first.count(number) != 0) {
            // No picture for the cells now on screen came before this one.
            EXPECT_TRUE(served.empty()) << number;
            ++scrolledPast;
        } else {
            EXPECT_EQ(last.count(number), 1u) << number;
            served.insert(number);
        }
    }
    EXPECT_LE(scrolledPast, 8);
    EXPECT_LT(scrolledPast, static_cast<int>(first.size()));
    EXPECT_EQ(served, last);
    for (int index = 0; index < list->Items()->Count(); ++index) {
        TListItem* item = list->Items()->Item(index);
        if (last.count(NumberOf(item)) != 0) {
            EXPECT_EQ(Centre(item), ColourOf(NumberOf(item))) << NumberOf(item);
        }
    }
}

// Results that come after their cells were scrolled past land in those cells only: scrolling
// back shows each its own picture, and the cells on screen meanwhile never showed them.
TEST_F(ShellListThumbnailScrollTest, ALateResultNeverReachesTheCellsOnScreen)
{
    const std::set<int> first = ItemsOnScreen();
    std::vector<TComPtr<TThumbnailWorkItem>> late(pool.begin(), pool.end());
    pool.clear();
    ASSERT_FALSE(late.empty());
    Scroll(3);
    const std::set<int> now = ItemsOnScreen();
    for (const auto& request : late) {
        request->Execute();
        request->ApplyResult();
    }
    Draw();
    for (int index = 0; index < list->Items()->Count(); ++index) {
        TListItem* item = list->Items()->Item(index);
        if (now.count(NumberOf(item)) == 0 || item->ImageIndex() < 0)
            continue;
        const COLORREF centre = Centre(item);
        for (const auto& request : late)
            EXPECT_NE(centre, ColourOf(RequestedNumber(request.Get()))) << NumberOf(item);
    }
    RunAll();
    Scroll(-1000);
    RunAll();
    for (int index = 0; index < list->Items()->Count(); ++index) {
        TListItem* item = list->Items()->Item(index);
        if (OnScreen(item)) {
            EXPECT_EQ(Centre(item), ColourOf(NumberOf(item))) << NumberOf(item);
        }
    }
    EXPECT_EQ(ItemsOnScreen(), first);
}

}  // namespace
