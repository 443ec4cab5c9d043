#include "app/ShellProcessReference.h"

#include "common/ShownWindows.h"
#include "ui/Application.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const wchar_t kReason[] = L"A file operation started in Bivista is still running.";
const wchar_t kQuit[] = L"Quit Now";
// Only a bound on a broken wait: the window shows within moments.
const DWORD kWindowLimit = 20000;

// The program's exit, with the shell holding the reference a running copy takes.
class ShellProcessReferenceTest : public testing::Test {
protected:
    void SetUp() override
    {
        application_ = std::make_unique<TApplication>();
        reference_ = std::make_unique<TShellProcessReference>();
        // The shell's own way to take it, as its copy engine does when it starts a thread.
        ASSERT_EQ(SHGetInstanceExplorer(&held_), S_OK);
        ASSERT_NE(held_, nullptr);
    }

    std::unique_ptr<TApplication> application_;
    std::unique_ptr<TShellProcessReference> reference_;
    IUnknown* held_ = nullptr;
    const DWORD gui_ = GetCurrentThreadId();
};

TEST_F(ShellProcessReferenceTest, ExitWaitsForTheShellAndSaysWhyUntilItLetsGo)
{
    std::atomic<bool> waitEnded{false};
    std::vector<TShownWindow> shown;
    bool endedBeforeRelease = true;
    bool visibleAfterClose = false;
    std::thread shell([&] {
        shown = WaitForShownWindows(gui_, kWindowLimit);
        if (!shown.empty()) {
            // Closing the window is no way to quit by mistake.
            SendMessageW(shown.front().handle, WM_CLOSE, 0, 0);
            visibleAfterClose = IsWindowVisible(shown.front().handle) != FALSE;
        }
        endedBeforeRelease = waitEnded;
        held_->Release();  // the copy is done
    });
    const TShellWaitResult result = reference_->WaitForShell(50);
    waitEnded = true;
    shell.join();

    EXPECT_EQ(result, TShellWaitResult::Released);
    EXPECT_FALSE(endedBeforeRelease);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front().caption, L"Bivista");
    EXPECT_NE(shown.front().ChildWithText(kReason), nullptr);
    EXPECT_NE(shown.front().ChildWithText(kQuit), nullptr);
    EXPECT_TRUE(visibleAfterClose);
    // Gone with the wait, and the shell can no longer take the process.
    EXPECT_FALSE(IsWindow(shown.front().handle));
    IUnknown* late = nullptr;
    EXPECT_NE(SHGetInstanceExplorer(&late), S_OK);
    EXPECT_EQ(late, nullptr);
}

TEST_F(ShellProcessReferenceTest, TheUserMayChooseToQuitBeforeTheShellLetsGo)
{
    std::vector<TShownWindow> shown;
    std::atomic<bool> releasedByHelper{false};
    std::thread user([&] {
        shown = WaitForShownWindows(gui_, kWindowLimit);
        const HWND quit = shown.empty() ? nullptr : shown.front().ChildWithText(kQuit);
        if (quit != nullptr) {
            SendMessageW(quit, BM_CLICK, 0, 0);
        } else {
            releasedByHelper = true;  // nothing to click: end the wait the other way
            held_->Release();
        }
    });
    const TShellWaitResult result = reference_->WaitForShell(50);
    user.join();
    ASSERT_FALSE(releasedByHelper) << "no window with a quit button was shown";
    EXPECT_EQ(result, TShellWaitResult::Abandoned);
    // The program lets go of the reference but leaves it to the shell, whose thread still
    // calls it.
    reference_.reset();
    std::thread([this] { held_->Release(); }).join();
}

TEST_F(ShellProcessReferenceTest, NothingIsShownWhenTheShellLetsGoInTime)
{
    // Done before the exit, or within the grace time after it.
    std::thread([this] { held_->Release(); }).join();
    EXPECT_EQ(reference_->WaitForShell(), TShellWaitResult::NotHeld);

    reference_ = std::make_unique<TShellProcessReference>();
    IUnknown* held = nullptr;
    ASSERT_EQ(SHGetInstanceExplorer(&held), S_OK);
    std::thread shell([held] {
        Sleep(20);
        held->Release();
    });
    EXPECT_EQ(reference_->WaitForShell(60000), TShellWaitResult::NotHeld);
    shell.join();
}

}  // namespace
