// Long use without growth: a pane driven between folders from its list, tree and combo, with
// view switches and thumbnails turned on and off, and the shell's context menu opened and
// closed again and again, must come back to the handle, GDI, USER and memory level it had
// after warming up. BIVISTA_LONG_USE_NAVIGATIONS sets the count (the bench runs 1,000).
#include "PaneFixture.h"
#include "common/MenuDriver.h"
#include "common/ResourceLevel.h"
#include "shell/Nautilex.h"
#include "threadpool/ThreadPool.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWarmUp = 50;
// What may come and go without being a leak: the heap keeps some of what it was given back,
// and the shell caches a little per folder it has seen.
constexpr DWORD kHandleMargin = 16;
constexpr DWORD kGuiObjectMargin = 16;
constexpr uint64_t kPrivateBytesMargin = 4 * 1024 * 1024;

int CountFromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    const int value = text != nullptr ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

class LongUseTest : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        for (int index = 0; index < 12; ++index)
            tree.File(L"many\\file " + std::to_wstring(index) + L".txt", 100 + index);
        folders = {L"one", L"two", L"one\\inner", L"", L"three", L"many"};
    }

    // The pool done with everything queued and its idle workers gone: their threads and
    // handles are not what is measured.
    TResourceLevel Settle()
    {
        PumpMessagesUntil([] { return WorkerPool->PendingCount() == 0; }, 10000);
        WorkerPool->TerminateAll(true);
        PumpMessages(50);
        return TResourceLevel::Measure();
    }

    void Navigate(int step)
    {
        const std::wstring folder = tree.Path(folders[static_cast<size_t>(step) % folders.size()]);
        switch (step % 3) {
        case 0: list->SetPath(folder); break;
        case 1: shellTree->SetSelectedFolder(ExcludeTrailingBackslash(folder)); break;
        default: combo->GoToPath(folder); break;
        }
        if (step % 7 == 0)
            list->SetViewStyle(static_cast<TViewStyle>((step / 7) % 4));
        if (step % 25 == 0)
            list->SetThumbnails(!list->GetThumbnails());
        UpdateWindow(form->Handle());
        PumpMessages(5);
    }

    std::vector<std::wstring> folders;
};

void Report(const char* what, int count, const TResourceLevel& before, const TResourceLevel& after)
{
    std::printf("%s: after warming up %s\n%s: after %d more      %s\n", what, before.Text().c_str(),
                what, count, after.Text().c_str());
}

void ExpectNoGrowth(const TResourceLevel& before, const TResourceLevel& after)
{
    EXPECT_LE(after.Handles, before.Handles + kHandleMargin);
    EXPECT_LE(after.Windows, before.Windows);
    if (before.GuiReported) {
        EXPECT_LE(after.GdiObjects, before.GdiObjects + kGuiObjectMargin);
        EXPECT_LE(after.UserObjects, before.UserObjects + kGuiObjectMargin);
    }
    EXPECT_LE(after.PrivateBytes, before.PrivateBytes + kPrivateBytesMargin);
}

TEST_F(LongUseTest, NavigationsFromEveryControlLeaveNothingBehind)
{
    const int count = CountFromEnvironment("BIVISTA_LONG_USE_NAVIGATIONS", 250);
    int step = 0;
    for (; step < kWarmUp; ++step)
        Navigate(step);
    const TResourceLevel before = Settle();
    for (; step < kWarmUp + count; ++step)
        Navigate(step);
    // Back where the warm-up ended, with the same view.
    list->SetThumbnails(false);
    const TResourceLevel after = Settle();
    Report("navigations", count, before, after);
    ExpectNoGrowth(before, after);
    // Still a working pane.
    ExpectUsable(L"two", {L"c.txt"});
}

TEST_F(LongUseTest, OpenedAndClosedContextMenusLeaveNothingBehind)
{
    const int count = CountFromEnvironment("BIVISTA_LONG_USE_MENUS", 100);
    TNautilex browser(nullptr);
    browser.SetFolder(tree.Path(L"one"));
    browser.SetObjectName(L"a.txt");
    auto open = [&] {
        TMenuDriver driver;
        driver.Cancel();
        driver.Start();
        std::string verb;
        browser.ShowContextMenu(POINT{200, 200}, nullptr, verb);
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_TRUE(verb.empty());
    };
    for (int index = 0; index < 10; ++index)
        open();
    const TResourceLevel before = Settle();
    for (int index = 0; index < count; ++index)
        open();
    const TResourceLevel after = Settle();
    Report("context menus", count, before, after);
    ExpectNoGrowth(before, after);
    EXPECT_EQ(browser.ContextMenuWindow(), nullptr);
}

}  // namespace
