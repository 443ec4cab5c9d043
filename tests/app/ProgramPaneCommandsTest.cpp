// The commands between the two panes, driven by their keys as a user would: copy and move
// into the other pane's folder (checked on disk and in both lists), refused where the other
// pane cannot take files, the same folder in the other pane, and the panes swapped.
#include "ProgramDriver.h"

#include "common/Input.h"
#include "common/Screen.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The tool bar's "Single Explorer" button by its design place.
constexpr int kSingleWindowButton = 228;

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ProgramPaneCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        left_ = tree_.Folder(L"data\\left");
        for (int i = 0; i < 3; ++i)
            tree_.File(L"data\\left\\l" + std::to_wstring(i) + L".txt", 3);
        tree_.File(L"data\\left\\sub\\inner.txt", 3);
        right_ = tree_.Folder(L"data\\right");
        tree_.File(L"data\\right\\r.txt", 3);
    }

    bool Start(TProgramDriver& program)
    {
        program.WriteSettings("[GenInfo]\r\nPath1=" + WideToNarrow(left_) +
                              "\r\nPath2=" + WideToNarrow(right_) +
                              "\r\n[MForm]\r\nTop=20\r\nLeft=30\r\nWidth=900\r\nHeight=700\r\n"
                              "wsNormal=1\r\nwsMaximized=0\r\nExpl2Height=250\r\n");
        if (!program.Start())
            return false;
        program.Activate();
        return true;
    }
    static void Key(const TProgramDriver& program, WORD key, TShiftState shift = 0)
    {
        PressKey(key, shift);
        program.Settle();
    }
    // The focus in pane 1's list, by a click on its empty part.
    static void FocusFirstList(const TProgramDriver& program)
    {
        HWND list = program.List(1);
        RECT client{};
        GetClientRect(list, &client);
        program.Click(list, POINT{client.right - 30, client.bottom - 10});
    }
    // The path box of a pane shows `folder`.
    static bool PaneShows(const TProgramDriver& program, int pane, const std::wstring& folder)
    {
        return TProgramDriver::WaitFor([&] {
            HWND edit = FindWindowExW(program.Combo(pane), nullptr, L"Bivista.Edit", nullptr);
            return WindowText(edit) == folder;
        });
    }

    TTempTree tree_;
    std::wstring left_;
    std::wstring right_;
};

TEST_F(ProgramPaneCommandsTest, CopyAndMoveIntoTheOtherPaneFromTheListAndTheTree)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(Start(program));
    ASSERT_TRUE(PaneShows(program, 2, right_));
    const int leftCount = TProgramDriver::ItemCount(program.List(1));
    ASSERT_EQ(TProgramDriver::ItemCount(program.List(2)), 1);

    // The list's last object (l2.txt, after the folder and the other files) copied.
    FocusFirstList(program);
    Key(program, VK_END);
    Key(program, VK_F6);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return Exists(right_ + L"\\l2.txt"); }));
    EXPECT_TRUE(Exists(left_ + L"\\l2.txt"));
    EXPECT_TRUE(
        TProgramDriver::WaitFor([&] { return TProgramDriver::ItemCount(program.List(2)) == 2; }));

    // Its first object (the folder) moved, with what it holds.
    Key(program, VK_HOME);
    Key(program, VK_F7);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return Exists(right_ + L"\\sub\\inner.txt"); }));
    EXPECT_FALSE(Exists(left_ + L"\\sub"));
    EXPECT_TRUE(TProgramDriver::WaitFor([&] {
        return TProgramDriver::ItemCount(program.List(1)) == leftCount - 1 &&
               TProgramDriver::ItemCount(program.List(2)) == 3;
    }));

    // From the tree: its selected folder, the whole of it.
    Key(program, VK_TAB, ssShift);
    Key(program, VK_F6);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return Exists(right_ + L"\\left\\l0.txt"); }));
    EXPECT_TRUE(Exists(left_ + L"\\l0.txt"));
    EXPECT_EQ(program.MessageBoxWindow(), nullptr);
}

TEST_F(ProgramPaneCommandsTest, SameFolderAndSwapMoveThePanesNotTheFiles)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(Start(program));
    FocusFirstList(program);
    Key(program, 'U', ssCtrl);
    EXPECT_TRUE(PaneShows(program, 1, right_));
    EXPECT_TRUE(PaneShows(program, 2, left_));

    Key(program, 'U', ssCtrl | ssShift);
    EXPECT_TRUE(PaneShows(program, 2, right_));
    EXPECT_TRUE(PaneShows(program, 1, right_));
    EXPECT_TRUE(Exists(left_ + L"\\l0.txt"));
    EXPECT_FALSE(Exists(right_ + L"\\l0.txt"));
}

TEST_F(ProgramPaneCommandsTest, NothingGoesWhereTheOtherPaneCannotTakeFiles)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(Start(program));
    FocusFirstList(program);
    // Pane 2's path box emptied: no path at all is the computer, which holds no files.
    for (int step = 0; step < 4; ++step)
        Key(program, VK_TAB);
    ASSERT_EQ(program.Focus(), FindWindowExW(program.Combo(2), nullptr, L"Bivista.Edit", nullptr));
    Key(program, VK_DELETE);
    Key(program, VK_RETURN);
    const auto atComputer = [&] {
        HWND edit = FindWindowExW(program.Combo(2), nullptr, L"Bivista.Edit", nullptr);
        const std::wstring shown = WindowText(edit);
        return !shown.empty() && shown.find(L'\\') == std::wstring::npos;
    };
    ASSERT_TRUE(TProgramDriver::WaitFor(atComputer));

    FocusFirstList(program);
    Key(program, VK_END);
    Key(program, VK_F6);
    HWND box = nullptr;
    ASSERT_TRUE(
        TProgramDriver::WaitFor([&] { return (box = program.MessageBoxWindow()) != nullptr; }));
    EXPECT_NE(TProgramDriver::MessageText(box).find(L"does not show a folder"), std::wstring::npos);
    PostMessageW(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return program.MessageBoxWindow() == nullptr; }));
    EXPECT_TRUE(Exists(left_ + L"\\l2.txt"));

    // With pane 2 collapsed the commands do not apply: nothing happens, nothing is asked.
    program.Click(program.ToolButton(kSingleWindowButton), POINT{10, 10});
    FocusFirstList(program);
    Key(program, VK_END);
    Key(program, VK_F7);
    program.Settle();
    EXPECT_EQ(program.MessageBoxWindow(), nullptr);
    EXPECT_TRUE(Exists(left_ + L"\\l2.txt"));
}

}  // namespace

namespace {

// A menu command chosen by its keys: Alt with the menu's letter, then the item's letter.
void Choose(const TProgramDriver& program, WORD menu, WORD item)
{
    PressKey(menu, ssAlt);
    program.Settle();
    PressKey(item);
    program.Settle();
}

LRESULT Ask(HWND window, UINT message)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, 10000, &answer);
    return static_cast<LRESULT>(answer);
}

}  // namespace

// The View and Edit menus act on the pane with the focus as the tool bar and keys do.
TEST_F(ProgramPaneCommandsTest, TheMenusActOnThePaneWithTheFocus)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(Start(program));
    FocusFirstList(program);
    Choose(program, 'V', 'L');
    EXPECT_TRUE(TProgramDriver::WaitFor(
        [&] { return TProgramDriver::ListView(program.List(1)) == LVS_LIST; }));
    EXPECT_EQ(TProgramDriver::ListView(program.List(2)), LVS_REPORT);
    Choose(program, 'V', 'D');
    EXPECT_TRUE(TProgramDriver::WaitFor(
        [&] { return TProgramDriver::ListView(program.List(1)) == LVS_REPORT; }));

    Choose(program, 'D', 'A');
    const int count = TProgramDriver::ItemCount(program.List(1));
    ASSERT_GT(count, 0);
    EXPECT_EQ(Ask(program.List(1), LVM_GETSELECTEDCOUNT), count);

    // Copied from pane 1 by the menu, pasted into pane 2 by the menu.
    FocusFirstList(program);
    Key(program, VK_END);
    Choose(program, 'D', 'C');
    HWND list2 = program.List(2);
    RECT client{};
    GetClientRect(list2, &client);
    program.Click(list2, POINT{client.right - 30, client.bottom - 10});
    Choose(program, 'D', 'P');
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return Exists(right_ + L"\\l2.txt"); }));
    EXPECT_TRUE(Exists(left_ + L"\\l2.txt"));
    EXPECT_EQ(program.MessageBoxWindow(), nullptr);
}

namespace {

// How many pixels of the "Path:" panel of a pane's status bar show the selection's colour.
int MarkedPixels(const TProgramDriver& program, int pane)
{
    HWND bar = GetParent(program.Combo(pane));
    RECT client{};
    GetClientRect(bar, &client);
    POINT corner{0, 0};
    ClientToScreen(bar, &corner);
    const RECT panel{corner.x + 4, corner.y + 4, corner.x + 20, corner.y + client.bottom - 4};
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const DWORD wanted =
        (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
    int count = 0;
    for (const DWORD pixel : CaptureScreen(panel))
        count += (pixel & 0xFFFFFF) == wanted ? 1 : 0;
    return count;
}

}  // namespace

// The active pane (the one last clicked, or stored) shows its "Path:" panel marked.
TEST_F(ProgramPaneCommandsTest, TheActivePaneIsMarked)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(Start(program));
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return MarkedPixels(program, 1) > 100; }));
    EXPECT_EQ(MarkedPixels(program, 2), 0);

    HWND list2 = program.List(2);
    RECT client{};
    GetClientRect(list2, &client);
    program.Click(list2, POINT{client.right - 30, client.bottom - 10});
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return MarkedPixels(program, 2) > 100; }));
    EXPECT_EQ(MarkedPixels(program, 1), 0);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Expl1Focus"), "0");
}
