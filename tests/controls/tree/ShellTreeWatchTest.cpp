// The shell tree follows folders changed on disk by other programs (the host side, behind
// Wine's back), watching only the expanded folders on screen.
#include "common/HostLinks.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/common/DiskWatcher.h"
#include "controls/common/TestSeams.h"
#include "controls/tree/ShellTree.h"
#include "core/PathText.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr DWORD kPatience = 20000;

class ShellTreeWatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TTestForm>(nullptr, 400, 420);
        shellTree = new TZelShellTree(form.get());
        shellTree->SetParent(form.get());
        shellTree->SetBounds(0, 0, 320, 400);
        form->Activate();
    }
    void TearDown() override { form.reset(); }

    TZelShellTreeNode* RootAtTemp()
    {
        shellTree->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree.Root()));
        UpdateWindow(shellTree->Handle());
        PumpMessages(20);
        return static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
    }
    static TTreeNode* Child(const TTreeNode* node, const std::wstring& text)
    {
        for (int index = 0; index < node->Count(); ++index)
            if (node->Item(index)->Text() == text)
                return node->Item(index);
        return nullptr;
    }
    template <class Predicate>
    bool WaitFor(Predicate done)
    {
        return PumpMessagesUntil(done, kPatience);
    }
    bool Watched(const std::wstring& relative)
    {
        const auto& folders = shellTree->DiskWatcher().Folders();
        const std::wstring path = ExcludeTrailingBackslash(tree.Path(relative));
        return std::any_of(folders.begin(), folders.end(), [&](const std::wstring& folder) {
            return SameFileName(ExcludeTrailingBackslash(folder), path);
        });
    }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelShellTree* shellTree = nullptr;
};

TEST_F(ShellTreeWatchTest, FoldersMadeRenamedAndRemovedOnTheHostSideReachTheTree)
{
    if (!RunningOnWine())
        GTEST_SKIP() << "the changes are made from the host side";
    tree.Folder(L"one");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    shellTree->FollowFoldersOnDisk();
    ASSERT_TRUE(Watched(L""));
    ASSERT_TRUE(WaitFor([&] { return shellTree->DiskWatcher().ActiveWatchCount() > 0; }));

    const std::wstring host = UnixPathOf(tree.Root());
    ASSERT_TRUE(RunHostScript(L"mkdir $1/made", {host}));
    EXPECT_TRUE(WaitFor([&] { return Child(root, L"made") != nullptr; }));
    ASSERT_TRUE(RunHostScript(L"mv $1/made $1/renamed", {host}));
    EXPECT_TRUE(WaitFor(
        [&] { return Child(root, L"renamed") != nullptr && Child(root, L"made") == nullptr; }));
    ASSERT_TRUE(RunHostScript(L"rmdir $1/renamed", {host}));
    EXPECT_TRUE(WaitFor([&] { return Child(root, L"renamed") == nullptr; }));
    EXPECT_NE(Child(root, L"one"), nullptr);
}

// Under Wine a folder deleted while a watch holds it open would stay until the watch closed.
TEST_F(ShellTreeWatchTest, AWatchedFolderThatIsDeletedAndReportedGoesAtOnce)
{
    tree.File(L"gone\\child\\file.txt");
    tree.Folder(L"kept");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    TTreeNode* gone = Child(root, L"gone");
    ASSERT_NE(gone, nullptr);
    gone->Expand(false);
    shellTree->FollowFoldersOnDisk();
    ASSERT_TRUE(Watched(L"gone"));
    ASSERT_TRUE(WaitFor([&] { return shellTree->DiskWatcher().ActiveWatchCount() == 2; }));

    TTempTree::RemoveTree(tree.Path(L"gone"));
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW | SHCNF_FLUSH, tree.Path(L"gone").c_str(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return !Watched(L"gone"); }));
    EXPECT_EQ(GetFileAttributesW(tree.Path(L"gone").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitFor([&] { return Child(root, L"gone") == nullptr; }));
    EXPECT_NE(Child(root, L"kept"), nullptr);
}

// Made while the node's children are being read, before any look at the screen could have
// picked the folder for a watch.
TEST_F(ShellTreeWatchTest, AFolderMadeDuringAnExpansionAppears)
{
    tree.Folder(L"opened\\first");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    TTreeNode* opened = Child(root, L"opened");
    ASSERT_NE(opened, nullptr);
    bool made = false;
    shellTree->OnAddFolder = [&](TObject*, TZelShellTreeNode*, const std::wstring& path, bool&) {
        if (!made && SameFileName(ExcludeTrailingBackslash(path),
                                  ExcludeTrailingBackslash(tree.Path(L"opened\\first"))))
            made = tree.Folder(L"opened\\late") != L"";
    };
    opened->Expand(false);
    shellTree->OnAddFolder = nullptr;
    ASSERT_TRUE(made);
    EXPECT_TRUE(WaitFor([&] { return Child(opened, L"late") != nullptr; }));
}

// A watch whose read fails on a folder that is still there (a dropped connection, say) leaves
// the folder's node, and the folder is followed again.
TEST_F(ShellTreeWatchTest, AFailedWatchOnAFolderStillThereKeepsItsNode)
{
    tree.Folder(L"kept\\inner");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    TTreeNode* kept = Child(root, L"kept");
    ASSERT_NE(kept, nullptr);
    kept->Expand(false);
    shellTree->SetSelected(kept->Item(0));
    shellTree->FollowFoldersOnDisk();
    ASSERT_TRUE(Watched(L"kept"));
    ASSERT_TRUE(WaitFor([&] { return shellTree->DiskWatcher().ActiveWatchCount() == 2; }));

    FailNextDiskWatchRead(shellTree->DiskWatcher(), ExcludeTrailingBackslash(tree.Path(L"kept")),
                          ERROR_NETNAME_DELETED);
    tree.Folder(L"kept\\made");
    EXPECT_TRUE(WaitFor([&] { return Child(kept, L"made") != nullptr; }));
    EXPECT_EQ(Child(root, L"kept"), kept);
    EXPECT_NE(Child(kept, L"inner"), nullptr);
    EXPECT_TRUE(shellTree->Selected() == Child(kept, L"inner"));
}

// Where the shell reports other programs' changes itself (Windows), the tree holds no folder
// open (an open watch would keep every folder above it from being renamed) and follows the
// shell's reports.
TEST_F(ShellTreeWatchTest, WhereTheShellReportsChangesNoFolderIsHeldOpen)
{
    struct TShellReports {
        TShellReports() { SetDiskWatchNeeded(false); }
        ~TShellReports() { SetDiskWatchNeeded(std::nullopt); }
    } shellReports;
    tree.Folder(L"outer\\inner");
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    TTreeNode* outer = Child(root, L"outer");
    ASSERT_NE(outer, nullptr);
    outer->Expand(false);
    shellTree->FollowFoldersOnDisk();
    PumpMessages(2 * TZelShellTree::kDiskWatchInterval);
    EXPECT_EQ(shellTree->DiskWatcher().ActiveWatchCount(), 0u);
    EXPECT_TRUE(MoveFileW(tree.Path(L"outer").c_str(), tree.Path(L"renamed").c_str()));

    SHChangeNotify(SHCNE_RENAMEFOLDER, SHCNF_PATHW | SHCNF_FLUSH, tree.Path(L"outer").c_str(),
                   tree.Path(L"renamed").c_str());
    EXPECT_TRUE(WaitFor([&] { return Child(root, L"renamed") != nullptr; }));
    EXPECT_EQ(Child(root, L"outer"), nullptr);
}

TEST_F(ShellTreeWatchTest, OnlyExpandedFoldersOnScreenAreWatchedWithinTheBudget)
{
    for (int index = 0; index < 40; ++index) {
        wchar_t name[8];
        swprintf(name, 8, L"f%02d", index);
        tree.File(std::wstring(name) + L"\\inner\\file.txt");
    }
    TZelShellTreeNode* root = RootAtTemp();
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->Count(), 40);
    for (int index = 0; index < root->Count(); ++index)
        root->Item(index)->Expand(false);
    root->Item(0)->MakeVisible();
    shellTree->FollowFoldersOnDisk();
    const size_t count = shellTree->DiskWatcher().Folders().size();
    EXPECT_GT(count, 1u);
    EXPECT_LE(count, shellTree->DiskWatcher().Budget());
    EXPECT_TRUE(Watched(L"f00"));
    EXPECT_FALSE(Watched(L"f39"));  // expanded, but far below the window's end

    root->Item(39)->Item(0)->MakeVisible();
    shellTree->FollowFoldersOnDisk();
    EXPECT_TRUE(Watched(L"f39"));
    EXPECT_FALSE(Watched(L"f00"));
    // Collapsed folders on screen are not watched: their children are not shown.
    EXPECT_FALSE(Watched(L"f39\\inner"));

    shellTree->SetAutomaticRefresh(false);
    EXPECT_TRUE(shellTree->DiskWatcher().Folders().empty());
}

}  // namespace
