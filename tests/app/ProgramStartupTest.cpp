// The panes' start-up after the first paint, held by the test between the window showing and
// the remaining steps: what the user does meanwhile is kept, and closing meanwhile leaves the
// stored folders as they were.
#include "ProgramDriver.h"

#include "common/Input.h"
#include "common/TempTree.h"
#include "core/ScopedResource.h"
#include "core/TextConversion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The program's start-up steps wait while this event exists unset.
class THeldStartup {
public:
    THeldStartup() : event_(CreateEventW(nullptr, TRUE, FALSE, L"Local\\Bivista.HoldStartupSteps"))
    {
    }
    bool Holding() const { return static_cast<bool>(event_); }
    void Release() { SetEvent(event_.get()); }

private:
    TScopedHandle event_;
};

HWND EditOf(HWND combo)
{
    return combo != nullptr ? FindWindowExW(combo, nullptr, L"Bivista.Edit", nullptr) : nullptr;
}

HTREEITEM TreeItem(HWND tree, WPARAM which)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, which, 0));
}

class ProgramStartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        first_ = tree_.Folder(L"data\\first");
        tree_.File(L"data\\first\\f.txt", 3);
        second_ = tree_.Folder(L"data\\second");
        for (int i = 0; i < 3; ++i)
            tree_.File(L"data\\second\\s" + std::to_wstring(i) + L".txt", 3);
        typed_ = tree_.Folder(L"data\\typed");
        for (int i = 0; i < 4; ++i)
            tree_.File(L"data\\typed\\t" + std::to_wstring(i) + L".txt", 3);
        ASSERT_TRUE(held_.Holding());
    }

    std::string Settings() const
    {
        return "[GenInfo]\r\nPath1=" + WideToNarrow(first_) + "\r\nPath2=" + WideToNarrow(second_) +
               "\r\n[MForm]\r\nTop=20\r\nLeft=30\r\nWidth=900\r\nHeight=700\r\nwsNormal=1\r\n"
               "wsMaximized=0\r\nExpl2Height=250\r\n";
    }

    TTempTree tree_;
    THeldStartup held_;
    std::wstring first_;
    std::wstring second_;
    std::wstring typed_;
};

TEST_F(ProgramStartupTest, WhatTheUserDoesBeforeThePanesSettleIsKept)
{
    TProgramDriver program(tree_);
    program.WriteSettings(Settings());
    ASSERT_TRUE(program.StartShown());
    program.Activate();
    // Pane 1's list is full from the first paint; its tree has not gone there yet.
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 1);
    HWND tree1 = program.Tree(1);
    const HTREEITEM treeBefore = TreeItem(tree1, TVGN_CARET);

    // The user picks the top of pane 2's tree, and types a path into pane 1's path box.
    HWND tree2 = program.Tree(2);
    const HTREEITEM top = TreeItem(tree2, TVGN_ROOT);
    ASSERT_NE(top, nullptr);
    SendMessageW(tree2, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(top));
    HWND edit = EditOf(program.Combo(1));
    RECT box{};
    GetClientRect(edit, &box);
    program.Click(edit, POINT{box.right / 2, box.bottom / 2});
    program.Settle();
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    TypeText(typed_.c_str());
    program.Settle();

    held_.Release();
    // Pane 1's tree goes where its list is: the steps have run.
    ASSERT_TRUE(TProgramDriver::WaitFor([&] { return TreeItem(tree1, TVGN_CARET) != treeBefore; }));
    program.Settle();
    program.Settle();
    EXPECT_EQ(TreeItem(tree2, TVGN_CARET), top) << "pane 2 stays where the user took it";
    EXPECT_NE(TProgramDriver::ItemCount(program.List(2)), 3) << "not the stored folder's files";
    EXPECT_EQ(WindowText(edit), typed_) << "the typed path stays";
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 1);

    // And the typed path still works.
    PressKey(VK_RETURN, 0);
    EXPECT_TRUE(
        TProgramDriver::WaitFor([&] { return TProgramDriver::ItemCount(program.List(1)) == 4; }));
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramStartupTest, ClosingBeforeThePanesSettleKeepsTheStoredFolders)
{
    TProgramDriver program(tree_);
    program.WriteSettings(Settings());
    ASSERT_TRUE(program.StartShown());
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 1);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("GenInfo", "Path1"), WideToNarrow(first_));
    EXPECT_EQ(program.Setting("GenInfo", "Path2"), WideToNarrow(second_));
}

}  // namespace
