// A folder that stops answering (a share whose server went, taken here for a local folder the
// hooks make a slow network one): refreshing the tree over it and checking the list's folder
// after a change give up within the limit, keep what they show, and the pane goes on; once
// the folder answers again, both catch up.
#include "PaneFixture.h"
#include "common/HostLinks.h"
#include "common/SlowPlaces.h"
#include "shell/NautilexError.h"

namespace {

using Names = std::set<std::wstring>;

class SlowFolderTest : public PaneFixture {
public:
    void SetUp() override
    {
        PaneFixture::SetUp();
        tree.Folder(L"share\\sub");
        tree.File(L"share\\file.txt");
        share = tree.Path(L"share");
        shellTree->NetworkWaitLimit = 300;
        list->NetworkWaitLimit = 300;
    }

    TZelShellTreeNode* ShareNode()
    {
        auto* root = static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
        if (root == nullptr)
            return nullptr;
        for (int index = 0; index < root->Count(); ++index)
            if (root->Item(index)->Text() == L"share")
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

    std::wstring share;
};

TEST_F(SlowFolderTest, ARefreshOverAFolderThatDoesNotAnswerKeepsItsChildren)
{
    TSlowPlaces slow({share});
    slow.Answer();
    shellTree->RefreshContents();
    Draw();
    TZelShellTreeNode* node = ShareNode();
    ASSERT_NE(node, nullptr);
    node->Expand(false);
    ASSERT_EQ(ChildNames(node), Names{L"sub"});
    const int askedWhileAnswering = slow.Asked();
    EXPECT_GE(askedWhileAnswering, 1);

    // The server stops answering, and something changes on it meanwhile.
    slow.Hold();
    tree.Folder(L"share\\later");
    shellTree->RefreshContents();
    EXPECT_EQ(slow.Asked(), 1);
    node = ShareNode();
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(node->Expanded());
    EXPECT_EQ(ChildNames(node), Names{L"sub"});
    // Refreshing again while the first question is still stuck asks no more.
    shellTree->RefreshContents();
    EXPECT_EQ(slow.Asked(), 1);
    ExpectUsable(L"one", {L"a.txt", L"b.txt", L"inner"});

    // It answers again.
    slow.Answer();
    PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 10000);
    shellTree->RefreshContents();
    node = ShareNode();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(ChildNames(node), (Names{L"later", L"sub"}));
}

// A link inside a local folder leads somewhere that may not answer: the tree asks it within
// the limit, though everything above it is on the fixed disk.
TEST_F(SlowFolderTest, AFolderBehindALinkIsAskedWithinTheLimitByTheTree)
{
    TDirectoryLinks links;
    ASSERT_TRUE(links.Add(tree.Path(L"link"), tree.Path(L"share")));
    shellTree->RefreshContents();
    Draw();
    TZelShellTreeNode* link = nullptr;
    auto* root = static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
    for (int index = 0; index < root->Count(); ++index)
        if (root->Item(index)->Text() == L"link")
            link = root->Item(index);
    ASSERT_NE(link, nullptr);
    TSlowPlaces slow;
    link->Expand(false);
    EXPECT_EQ(slow.Asked(), 1);
    EXPECT_EQ(link->Count(), 0);
    ExpectUsable(L"two", {L"c.txt"});
    slow.Answer();
    PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 10000);
    link->Expand(false);
    EXPECT_EQ(ChildNames(link), Names{L"sub"});
}

TEST_F(SlowFolderTest, RootingTheTreeAtAFolderThatDoesNotAnswerLeavesItWhereItWas)
{
    const std::wstring before = shellTree->NodePath(shellTree->Items()->GetFirstNode());
    {
        TSlowPlaces slow({share});
        shellTree->SetRootedAtFileSystemFolder(share);
        EXPECT_EQ(slow.Asked(), 1);
        EXPECT_EQ(shellTree->NodePath(shellTree->Items()->GetFirstNode()), before);
        ExpectUsable(L"one", {L"a.txt", L"b.txt", L"inner"});
    }
    shellTree->SetRootedAtFileSystemFolder(share);
    EXPECT_TRUE(SameFileName(shellTree->NodePath(shellTree->Items()->GetFirstNode()), share));
}

TEST_F(SlowFolderTest, GoingToAFolderThatDoesNotAnswerByItsPathLeavesTheListWhereItWas)
{
    ExpectUsable(L"two", {L"c.txt"});
    {
        TSlowPlaces slow({share});
        EXPECT_THROW(list->SetPath(share), ENautilexError);
        EXPECT_EQ(slow.Asked(), 1);
        EXPECT_TRUE(SameFileName(ListFolder(), tree.Path(L"two")));
        ExpectUsable(L"one", {L"a.txt", L"b.txt", L"inner"});
    }
    list->SetPath(share);
    EXPECT_EQ(ListNames(), (Names{L"sub", L"file.txt"}));
}

TEST_F(SlowFolderTest, AChangeInAListedFolderThatDoesNotAnswerKeepsTheList)
{
    list->SetPath(share);
    Draw();
    ASSERT_EQ(ListNames(), (Names{L"sub", L"file.txt"}));

    TSlowPlaces slow({share});
    tree.File(L"share\\later.txt");
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSH, share.c_str(), nullptr);
    // The change is looked at once the refresh timer runs: the folder is asked, gives no
    // answer, and the list stays as it was, on the same folder.
    ASSERT_TRUE(PumpMessagesUntil([&] { return slow.Asked() > 0; }, 10000));
    PumpMessages(500);
    EXPECT_TRUE(SameFileName(ListFolder(), share));
    EXPECT_EQ(ListNames(), (Names{L"sub", L"file.txt"}));
    ExpectUsable(L"two", {L"c.txt"});

    // Answering again, the next change shows both.
    slow.Answer();
    PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 10000);
    list->SetPath(share);
    Draw();
    tree.File(L"share\\latest.txt");
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSH, share.c_str(), nullptr);
    PumpMessagesUntil([&] { return ListNames().count(L"latest.txt") > 0; }, 10000);
    EXPECT_EQ(ListNames(), (Names{L"sub", L"file.txt", L"later.txt", L"latest.txt"}));
}

}  // namespace
