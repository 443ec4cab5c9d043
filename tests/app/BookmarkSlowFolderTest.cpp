// Goto a bookmarked folder that stops answering (a share whose server went, taken here for a
// local folder the hooks make a slow network one), with a real tree as the active tree: the
// folder is asked once within the limit, the tree's refresh does not ask it again while that
// question is stuck, what the tree shows of it stays, and the tree goes on.
#include "app/Bookmark.h"
#include "common/SlowPlaces.h"
#include "common/TestForm.h"
#include "controls/tree/ShellTree.h"
#include "controls/tree/ShellTreeNode.h"
#include "ui/Application.h"
#include "ui/ListBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

using Names = std::set<std::wstring>;

class TTreeTarget : public IBookmarkTarget {
public:
    explicit TTreeTarget(TZelShellTree* tree) : tree_(tree) {}
    std::wstring ActiveTreeFolder() override { return tree_->GetSelectedFolder(); }
    void SelectInActiveTree(const std::wstring& folder) override
    {
        tree_->SetSelectedFolder(folder);
    }
    void RefreshActiveTree() override { tree_->RefreshContents(); }
    void FocusActiveTree() override { tree_->SetFocus(); }

private:
    TZelShellTree* tree_;
};

class BookmarkSlowFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, previousDirectory_);
        SetCurrentDirectoryW(tree_.Root().c_str());
        tree_.Folder(L"share\\sub");
        tree_.Folder(L"other\\inside");
        application_ = std::make_unique<TApplication>();
        form_ = std::make_unique<TTestForm>(nullptr, 400, 500);
        shellTree_ = new TZelShellTree(form_.get());
        shellTree_->SetParent(form_.get());
        shellTree_->SetBounds(0, 0, 380, 480);
        form_->Activate();
        shellTree_->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree_.Root()));
        target_ = std::make_unique<TTreeTarget>(shellTree_);
        bookmarks_ = std::make_unique<TfrmBookmark>(nullptr);
        bookmarks_->SetTarget(target_.get());
        PumpMessages(20);
    }
    void TearDown() override
    {
        bookmarks_.reset();
        form_.reset();
        application_.reset();
        SetCurrentDirectoryW(previousDirectory_);
    }

    TZelShellTreeNode* Node(const std::wstring& text)
    {
        TTreeNode* root = shellTree_->Items()->GetFirstNode();
        for (int index = 0; root != nullptr && index < root->Count(); ++index)
            if (root->Item(index)->Text() == text)
                return static_cast<TZelShellTreeNode*>(root->Item(index));
        return nullptr;
    }
    static Names ChildNames(TTreeNode* node)
    {
        Names names;
        for (int index = 0; index < node->Count(); ++index)
            names.insert(node->Item(index)->Text());
        return names;
    }
    // Saves the tree's selected folder into slot 1 and goes back to it.
    void SaveSlot()
    {
        bookmarks_->Open();
        bookmarks_->ListBox1->SetItemIndex(0);
        bookmarks_->SaveSlot();
    }
    void GotoSlot()
    {
        bookmarks_->Open();
        bookmarks_->ListBox1->SetItemIndex(0);
        bookmarks_->GotoSlot();
    }

    TTempTree tree_;
    wchar_t previousDirectory_[MAX_PATH] = {};
    std::unique_ptr<TApplication> application_;
    std::unique_ptr<TTestForm> form_;
    TZelShellTree* shellTree_ = nullptr;
    std::unique_ptr<TTreeTarget> target_;
    std::unique_ptr<TfrmBookmark> bookmarks_;
};

TEST_F(BookmarkSlowFolderTest, GotoAFolderThatDoesNotAnswerAsksItOnceAndTheTreeGoesOn)
{
    const std::wstring share = tree_.Path(L"share");
    TSlowPlaces slow({share});
    slow.Answer();
    shellTree_->SetSelectedFolder(share);
    ASSERT_NE(Node(L"share"), nullptr);
    Node(L"share")->Expand(false);
    ASSERT_EQ(ChildNames(Node(L"share")), Names{L"sub"});
    SaveSlot();
    shellTree_->SetSelectedFolder(tree_.Path(L"other"));

    // The server stops answering, and something changes on it meanwhile.
    slow.Hold();
    tree_.Folder(L"share\\later");
    GotoSlot();
    EXPECT_EQ(slow.Asked(), 1);
    EXPECT_FALSE(IsWindowVisible(bookmarks_->WindowHandle()));
    EXPECT_EQ(GetFocus(), shellTree_->Handle());
    ASSERT_NE(Node(L"share"), nullptr);
    EXPECT_EQ(ChildNames(Node(L"share")), Names{L"sub"});
    shellTree_->SetSelectedFolder(tree_.Path(L"other\\inside"));
    EXPECT_TRUE(SameFileName(shellTree_->GetSelectedFolder(), tree_.Path(L"other\\inside")));

    // It answers again: Goto reaches it and shows what changed.
    slow.Answer();
    PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 10000);
    GotoSlot();
    EXPECT_TRUE(SameFileName(shellTree_->GetSelectedFolder(), share));
    EXPECT_EQ(ChildNames(Node(L"share")), (Names{L"later", L"sub"}));
}

}  // namespace
