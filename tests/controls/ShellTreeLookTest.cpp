// What the user sees of the shell tree: the selected folder on the tree's one background, also
// while another control has the focus.
#include "common/Screen.h"
#include "controls/ShellTreeFixture.h"

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

}  // namespace
