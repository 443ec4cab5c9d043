// The program the shell runs in, as the shell sees it through the host the program installs.
#include "shell/ShellHost.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HWND NewPopup()
{
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                           nullptr);
}

}  // namespace

// The suite's entry point installs a host that follows the application object, as the program
// does with its own.
TEST(MainWindowHandle, FollowsTheApplicationObject)
{
    ASSERT_EQ(Application, nullptr);
    EXPECT_EQ(MainWindowHandle(), nullptr);
    {
        TApplication application;
        EXPECT_EQ(MainWindowHandle(), application.Handle());
        HWND form = NewPopup();
        application.SetMainFormHandle(form);
        EXPECT_EQ(MainWindowHandle(), form);
        DestroyWindow(form);
    }
    EXPECT_EQ(Application, nullptr);
}

TEST(ShellHost, WithoutOneTheShellHasNoOwnerNoHintsAndNeverEnds)
{
    const TShellHostScope none{TShellHost{}};
    EXPECT_EQ(ShellHostWindow(), nullptr);
    EXPECT_EQ(MainWindowHandle(), nullptr);
    EXPECT_FALSE(ShellHostTakesHints());
    ShowShellHostHint(L"nowhere");
    EXPECT_FALSE(ShellHostTerminated());
}

TEST(ShellHost, AScopeAnswersForItsHostAndPutsThePreviousOneBack)
{
    HWND outerWindow = NewPopup();
    HWND innerWindow = NewPopup();
    HWND innerForm = nullptr;
    std::vector<std::wstring> hints;
    bool ending = false;
    {
        const TShellHostScope outer{TShellHost{[&] { return outerWindow; }, {}, {}, {}}};
        {
            const TShellHostScope inner{TShellHost{
                [&] { return innerWindow; }, [&] { return innerForm; },
                [&](const std::wstring& hint) { hints.push_back(hint); }, [&] { return ending; }}};
            EXPECT_EQ(ShellHostWindow(), innerWindow);
            // No main form yet: the host's window stands in.
            EXPECT_EQ(MainWindowHandle(), innerWindow);
            innerForm = NewPopup();
            EXPECT_EQ(MainWindowHandle(), innerForm);
            EXPECT_TRUE(ShellHostTakesHints());
            ShowShellHostHint(L"Opens the item");
            ShowShellHostHint(L"");
            EXPECT_FALSE(ShellHostTerminated());
            ending = true;
            EXPECT_TRUE(ShellHostTerminated());
        }
        EXPECT_EQ(ShellHostWindow(), outerWindow);
        EXPECT_EQ(MainWindowHandle(), outerWindow);
        EXPECT_FALSE(ShellHostTakesHints());
        EXPECT_FALSE(ShellHostTerminated());
    }
    EXPECT_EQ(hints, (std::vector<std::wstring>{L"Opens the item", L""}));
    DestroyWindow(innerForm);
    DestroyWindow(innerWindow);
    DestroyWindow(outerWindow);
}
