// What the user sees of the shell tree: the selected folder on the tree's one background, also
// while another control has the focus, and names readable from their first letter in a
// narrow tree that shows a deep folder.
#include "common/Screen.h"
#include "controls/tree/ShellTreeFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Colours a user tells apart at a glance differ by more than this in one component.
constexpr int kClearlyDifferent = 24;

class ShellTreeLookTest : public ShellTreeFixture {
protected:
    // The colour under a node's label (its text rectangle), as drawn on the screen.
    COLORREF LabelBackground(const TTreeNode* node)
    {
        return MostCommonColor(shellTree->Handle(), node->DisplayRect(true));
    }
    // The colour of the tree's empty rows at the bottom.
    COLORREF TreeBackground()
    {
        RECT client{};
        GetClientRect(shellTree->Handle(), &client);
        client.top = client.bottom - 24;
        return MostCommonColor(shellTree->Handle(), client);
    }
    int HorizontalScroll()
    {
        SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 0, 0};
        return GetScrollInfo(shellTree->Handle(), SB_HORZ, &info) ? info.nPos : 0;
    }
    int ClientWidth()
    {
        RECT client{};
        GetClientRect(shellTree->Handle(), &client);
        return client.right;
    }
    void Repaint()
    {
        InvalidateRect(shellTree->Handle(), nullptr, TRUE);
        Draw();
    }
};

TEST_F(ShellTreeLookTest, TheSelectedFolderStandsOutFromTheOneBackgroundWithOrWithoutTheFocus)
{
    tree.Folder(L"chosen folder");
    tree.Folder(L"other folder");
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* chosen = Child(root, L"chosen folder");
    TZelShellTreeNode* other = Child(root, L"other folder");
    ASSERT_NE(chosen, nullptr);
    ASSERT_NE(other, nullptr);
    chosen->SetSelected(true);

    for (const bool focused : {true, false}) {
        SCOPED_TRACE(focused ? "the tree has the focus" : "the focus is elsewhere");
        if (focused)
            shellTree->SetFocus();
        else
            SetFocus(form->Handle());
        ASSERT_EQ(GetFocus() == shellTree->Handle(), focused);
        Repaint();
        const COLORREF background = TreeBackground();
        ASSERT_NE(background, CLR_INVALID);
        EXPECT_EQ(LabelBackground(other), background) << "a label on a box of its own";
        EXPECT_EQ(LabelBackground(root), background);
        EXPECT_GT(ColorDistance(LabelBackground(chosen), background), kClearlyDifferent)
            << "the selection is lost in the background";
    }
}

// A folder at `depth` below the tree's root in a tree 100 pixels wide, its names long. Near
// the root its name starts within the tree as it stands; deep down only a scroll shows it.
struct TDeepFolderCase {
    const char* name;
    int depth;
    bool startsInSight;
};

class ShellTreeNarrowTest : public ShellTreeLookTest,
                            public testing::WithParamInterface<TDeepFolderCase> {};

TEST_P(ShellTreeNarrowTest, ShowingADeepFolderKeepsTheNamesReadableFromTheirFirstLetter)
{
    std::wstring relative;
    for (int level = 1; level <= GetParam().depth; ++level)
        relative += (level > 1 ? L"\\" : L"") + std::wstring(L"level ") + std::to_wstring(level) +
                    L" folder with a long name";
    tree.Folder(relative);
    tree.Folder(L"a sibling at the top");
    shellTree->SetBounds(0, 0, 100, 300);
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);

    // As at start-up, or when the linked list opens the folder.
    shellTree->SetSelectedFolder(tree.Path(relative));
    TZelShellTreeNode* selected = shellTree->Selected();
    ASSERT_NE(selected, nullptr);
    ASSERT_EQ(selected->Level(), GetParam().depth);
    Draw();

    const int width = ClientWidth();
    const RECT label = selected->DisplayRect(true);
    EXPECT_GE(label.left, 0) << "the selected name is cut on the left";
    EXPECT_LE(label.left + 16, width) << "the selected name starts out of sight";
    if (GetParam().startsInSight) {
        EXPECT_EQ(HorizontalScroll(), 0);
        for (const TTreeNode* top : std::vector<const TTreeNode*>{root, root->Item(0)}) {
            SCOPED_TRACE(top->Text());
            const RECT rect = top->DisplayRect(true);
            EXPECT_GE(rect.left, 0) << "cut on the left";
            EXPECT_LT(rect.left, width);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, ShellTreeNarrowTest,
                         testing::Values(TDeepFolderCase{"NearTheRoot", 1, true},
                                         TDeepFolderCase{"FarBelowTheRoot", 5, false}),
                         [](const testing::TestParamInfo<TDeepFolderCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
