// The program driven as a user at the keyboard does: Tab through both panes, paths typed into
// the path boxes, the about box and the bookmark window closed with their keys, and the way
// back (Alt+Left) after each way of moving a pane.
#include "ProgramDriver.h"

#include "app/BookmarkStream.h"
#include "common/Input.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Tool-bar buttons by their design places.
constexpr int kParent = 4;

std::string Narrow(const std::wstring& text)
{
    return WideToNarrow(text);
}

// The edit of a pane's path box.
HWND EditOf(HWND combo)
{
    return combo != nullptr ? FindWindowExW(combo, nullptr, L"Bivista.Edit", nullptr) : nullptr;
}

// The selected part of an edit, as (start, end).
std::pair<int, int> Selection(HWND edit)
{
    DWORD_PTR packed = 0;
    SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 10000, &packed);
    return {LOWORD(packed), HIWORD(packed)};
}

std::wstring ComputerName()
{
    LPITEMIDLIST computer = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(computer), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(computer);
    return info.szDisplayName;
}

class ProgramKeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        folderA_ = tree_.Folder(L"data\\alpha");
        for (int i = 0; i < 5; ++i)
            tree_.File(L"data\\alpha\\a" + std::to_wstring(i) + L".txt", 3);
        folderInner_ = tree_.Folder(L"data\\alpha\\inner");
        tree_.File(L"data\\alpha\\inner\\i.txt", 3);
        folderB_ = tree_.Folder(L"data\\beta");
        for (int i = 0; i < 3; ++i)
            tree_.File(L"data\\beta\\b" + std::to_wstring(i) + L".txt", 3);
    }

    std::string Settings(const std::wstring& path1) const
    {
        return "[GenInfo]\r\nPath1=" + Narrow(path1) + "\r\nPath2=" + Narrow(folderB_) +
               "\r\n[MForm]\r\nTop=20\r\nLeft=30\r\nWidth=900\r\nHeight=700\r\nwsNormal=1\r\n"
               "wsMaximized=0\r\nExpl2Height=250\r\n";
    }

    static void Key(const TProgramDriver& program, WORD key, TShiftState shift = 0)
    {
        PressKey(key, shift);
        program.Settle();
    }
    static void Type(const TProgramDriver& program, const std::wstring& text)
    {
        TypeText(text.c_str());
        program.Settle();
    }
    // Pane 1's path box shows `folder` (its full path).
    static bool PaneOneShows(const TProgramDriver& program, const std::wstring& folder)
    {
        return TProgramDriver::WaitFor(
            [&] { return WindowText(EditOf(program.Combo(1))) == folder; });
    }
    // A click on the empty part of pane 1's list; never twice at one place, which would be
    // a double click.
    void FocusFirstList(const TProgramDriver& program)
    {
        HWND list = program.List(1);
        RECT client{};
        GetClientRect(list, &client);
        clicks_ = (clicks_ + 1) % 4;
        program.Click(list, POINT{client.right - 20 - 40 * clicks_, client.bottom - 10});
    }

    TTempTree tree_;
    std::wstring folderA_;
    std::wstring folderInner_;
    std::wstring folderB_;
    int clicks_ = 0;
};

TEST_F(ProgramKeyboardTest, TabGoesThroughTreeListAndPathOfEachPaneInTurn)
{
    TProgramDriver program(tree_);
    program.WriteSettings(Settings(folderA_));
    ASSERT_TRUE(program.Start());
    program.Activate();
    ASSERT_EQ(program.Focus(), program.Tree(1));

    const std::vector<HWND> forward = {program.List(1), EditOf(program.Combo(1)), program.Tree(2),
                                       program.List(2), EditOf(program.Combo(2)), program.Tree(1)};
    for (size_t step = 0; step < forward.size(); ++step) {
        Key(program, VK_TAB);
        EXPECT_EQ(program.Focus(), forward[step]) << "Tab " << step + 1;
        // In a list an item shows the focus, none is selected by coming in.
        if (step == 0 || step == 3) {
            EXPECT_GE(
                SendMessageW(forward[step], LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
                0);
            EXPECT_EQ(SendMessageW(forward[step], LVM_GETSELECTEDCOUNT, 0, 0), 0);
        }
        // In a path box the caret is in the edit with the path selected whole.
        if (step == 1 || step == 4) {
            const std::wstring text = WindowText(forward[step]);
            EXPECT_EQ(text, step == 1 ? folderA_ : folderB_);
            EXPECT_EQ(Selection(forward[step]), std::make_pair(0, static_cast<int>(text.size())));
        }
    }
    const std::vector<HWND> backward = {EditOf(program.Combo(2)), program.List(2), program.Tree(2),
                                        EditOf(program.Combo(1)), program.List(1), program.Tree(1)};
    for (size_t step = 0; step < backward.size(); ++step) {
        Key(program, VK_TAB, ssShift);
        EXPECT_EQ(program.Focus(), backward[step]) << "Shift+Tab " << step + 1;
    }
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramKeyboardTest, ThePathBoxTakesATypedPathWithEnter)
{
    TProgramDriver program(tree_);
    program.WriteSettings(Settings(folderA_));
    ASSERT_TRUE(program.Start());
    program.Activate();
    Key(program, VK_TAB);
    Key(program, VK_TAB);
    HWND edit = EditOf(program.Combo(1));
    ASSERT_EQ(program.Focus(), edit);

    // The typed text replaces the selected path; Enter moves the pane.
    Type(program, folderB_);
    Key(program, VK_RETURN);
    EXPECT_TRUE(PaneOneShows(program, folderB_));
    EXPECT_TRUE(
        TProgramDriver::WaitFor([&] { return TProgramDriver::ItemCount(program.List(1)) == 3; }));
    EXPECT_EQ(program.Focus(), edit);

    // A path that cannot be opened leaves the pane and puts its folder back in the edit.
    Type(program, L"Q:\\nowhere");
    Key(program, VK_RETURN);
    EXPECT_TRUE(PaneOneShows(program, folderB_)) << Narrow(WindowText(edit));
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 3);

    // No path at all is the computer.
    Key(program, VK_DELETE);
    ASSERT_EQ(WindowText(edit), L"");
    Key(program, VK_RETURN);
    EXPECT_TRUE(PaneOneShows(program, ComputerName())) << Narrow(WindowText(edit));
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramKeyboardTest, TheAboutBoxClosesWithEscapeAndEnterAndTheBookmarksWithEscape)
{
    TProgramDriver program(tree_);
    program.WriteSettings(Settings(folderA_));
    ASSERT_TRUE(program.Start());
    for (const WORD key : {VK_ESCAPE, VK_RETURN}) {
        program.Activate();
        program.Press('H', true);
        program.Press(VK_RETURN);
        HWND about = nullptr;
        ASSERT_TRUE(TProgramDriver::WaitFor(
            [&] { return (about = program.TopWindow(L"About Bivista")) != nullptr; }));
        program.Settle();
        Key(program, key);
        EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(about); })) << key;
        EXPECT_TRUE(IsWindowEnabled(program.MainWindow()));
    }

    program.Activate();
    program.Press('B', true);
    const std::wstring caption = L"Bookmark List  (shortcut Alt-B, 1..10, S or G or D)";
    HWND bookmarks = nullptr;
    ASSERT_TRUE(TProgramDriver::WaitFor(
        [&] { return (bookmarks = program.TopWindow(caption)) != nullptr; }));
    program.Settle();
    Key(program, VK_ESCAPE);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(bookmarks); }));
    EXPECT_EQ(program.Close(), 0u);
}

// Each way of moving pane 1 from a folder up to its parent is one step back for Alt+Left,
// in the list and in the tree alike.
TEST_F(ProgramKeyboardTest, EachWayOfMovingIsOneStepBack)
{
    enum TRoute {
        rParentFromList,
        rParentFromTree,
        rBackspaceInList,
        rBackspaceInTree,
        rTyped,
        rBookmark
    };
    const std::vector<std::pair<TRoute, const char*>> routes = {
        {rParentFromList, "Parent button, focus in the list"},
        {rParentFromTree, "Parent button, focus in the tree"},
        {rBackspaceInList, "Backspace in the list"},
        {rBackspaceInTree, "Backspace in the tree"},
        {rTyped, "path typed into the path box"},
        {rBookmark, "bookmark"},
    };

    TProgramDriver program(tree_);
    program.WriteSettings(Settings(folderInner_));
    std::vector<std::string> lines = InitialBookmarkLines();
    lines[4] = "5 " + Narrow(folderA_);
    TBookmarkListState state;
    state.Lines = lines;
    WriteFileBytes(program.BookmarkFile(), WriteBookmarkStream(state));
    ASSERT_TRUE(program.Start());
    program.Activate();
    ASSERT_TRUE(PaneOneShows(program, folderInner_));

    const auto focusTree = [&] {
        FocusFirstList(program);
        Key(program, VK_TAB, ssShift);
    };
    for (const auto& [route, name] : routes) {
        for (const bool backInList : {true, false}) {
            const std::string what =
                std::string(name) + (backInList ? ", back in the list" : ", back in the tree");
            switch (route) {
            case rParentFromList:
                FocusFirstList(program);
                program.Click(program.ToolButton(kParent), POINT{10, 10});
                break;
            case rParentFromTree:
                focusTree();
                program.Click(program.ToolButton(kParent), POINT{10, 10});
                break;
            case rBackspaceInList:
                FocusFirstList(program);
                Key(program, VK_BACK);
                break;
            case rBackspaceInTree:
                focusTree();
                Key(program, VK_BACK);
                break;
            case rTyped:
                FocusFirstList(program);
                Key(program, VK_TAB);
                Type(program, folderA_);
                Key(program, VK_RETURN);
                break;
            case rBookmark:
                FocusFirstList(program);
                program.Press('B', true);
                Key(program, '5');
                Key(program, 'G');
                break;
            }
            ASSERT_TRUE(PaneOneShows(program, folderA_)) << what;
            program.Activate();
            if (backInList)
                FocusFirstList(program);
            else
                focusTree();
            program.Press(VK_LEFT, true);
            if (!PaneOneShows(program, folderInner_)) {
                ADD_FAILURE() << what << ": one Alt+Left went to "
                              << Narrow(WindowText(EditOf(program.Combo(1))));
                // Back where the next way starts.
                FocusFirstList(program);
                Key(program, VK_TAB);
                Type(program, folderInner_);
                Key(program, VK_RETURN);
                ASSERT_TRUE(PaneOneShows(program, folderInner_));
            }
        }
    }
    EXPECT_EQ(program.Close(), 0u);
}

}  // namespace

namespace {

// Pictures of the focus in each place (run with --gtest_also_run_disabled_tests; they go to
// /tmp/bivista-shots): tree, list and path box of pane 1, and pane 2's path box dropped.
TEST_F(ProgramKeyboardTest, DISABLED_FocusScreenshots)
{
    CreateDirectoryW(L"Z:\\tmp\\bivista-shots", nullptr);
    TProgramDriver program(tree_);
    program.WriteSettings(Settings(folderA_));
    ASSERT_TRUE(program.Start());
    program.Activate();
    Sleep(800);
    EXPECT_EQ(program.Focus(), program.Tree(1));
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/focus-tree.png"));
    Key(program, VK_TAB);
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/focus-list.png"));
    Key(program, VK_TAB);
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/focus-combo.png"));
    for (int i = 0; i < 3; ++i)
        Key(program, VK_TAB);
    Key(program, VK_F4);
    Sleep(800);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/focus-combo-dropped.png"));
    Key(program, VK_ESCAPE);
    // On from pane 2's path box to pane 1's tree.
    Key(program, VK_TAB);
    Sleep(500);
    EXPECT_EQ(program.Focus(), program.Tree(1));
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/focus-tree-again.png"));
    EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
