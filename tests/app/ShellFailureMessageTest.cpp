#include "app/ShellFailureMessage.h"
#include "common/DialogAnswerer.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Takes StrRetToStrW away for the test's duration, as on a system without it.
class TMissingStrRetEntry {
public:
    TMissingStrRetEntry() : saved_(ShellEntries.StrRetToStrEntry)
    {
        ShellEntries.StrRetToStrEntry = nullptr;
    }
    ~TMissingStrRetEntry()
    {
        ShellEntries.StrRetToStrEntry = saved_;
        SetShellFailureHook(nullptr);
    }

private:
    TShellEntryPoints::StrRetToStrWProc saved_;
};

STRRET OwnedStrRet(const wchar_t* text)
{
    STRRET value{};
    value.uType = STRRET_WSTR;
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    value.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    memcpy(value.pOleStr, text, bytes);
    return value;
}

}  // namespace

TEST(ShellFailureMessage, TheShellOnlyReportsWhenNoHookIsInstalled)
{
    TMissingStrRetEntry missing;
    STRRET value = OwnedStrRet(L"name");
    // No dialog, no termination: the caller just gets the documented empty string.
    EXPECT_EQ(StrRetToString(nullptr, value), L"");
    EXPECT_EQ(value.pOleStr, nullptr);
}

TEST(ShellFailureMessage, TheProgramShowsTheMessageOnceAndEnds)
{
    auto application = std::make_unique<TApplication>();
    TMissingStrRetEntry missing;
    InstallShellFailureMessage();
    {
        TDialogAnswerer answerer(L"Error", IDOK);
        STRRET value = OwnedStrRet(L"name");
        EXPECT_EQ(StrRetToString(nullptr, value), L"");
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_FALSE(answerer.TimedOut());
    }
    EXPECT_TRUE(application->Terminated());
    {
        // Already ending: a second failure shows nothing.
        TDialogAnswerer answerer(L"", IDOK, 300);
        STRRET value = OwnedStrRet(L"name");
        StrRetToString(nullptr, value);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    MSG message;
    PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the loop's quit request
}
