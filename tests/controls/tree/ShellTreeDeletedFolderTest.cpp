// The selected folder of a shell tree deleted from disk behind the tree's back: the pane moves
// to the nearest folder still there above it, whatever else the deleted folder's parent holds.
#include "common/HostLinks.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTreeFixture.h"
#include "link/ShellLink.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

struct TDeletedFolderCase {
    const char* name;
    std::vector<const wchar_t*> folders;
    const wchar_t* selected;
    const wchar_t* deleted;  // the selected folder or one above it
    const wchar_t* expected;
    bool byTheHost;  // deleted by a program the shell does not hear of, else announced
};

class ShellTreeDeletedFolderTest : public ShellTreeFixture,
                                   public testing::WithParamInterface<TDeletedFolderCase> {};

TEST_P(ShellTreeDeletedFolderTest, TheTreeAndItsListMoveToTheNearestFolderLeftAbove)
{
    const TDeletedFolderCase& example = GetParam();
    if (example.byTheHost && !RunningOnWine())
        GTEST_SKIP() << "the folder is deleted from the host side";
    for (const wchar_t* folder : example.folders)
        tree.Folder(folder);
    auto* link = new TZelShellLink(form.get());
    auto* list = new TZelShellList(form.get());
    list->SetParent(form.get());
    list->SetBounds(330, 0, 420, 480);
    shellTree->SetShellLink(link);
    list->SetShellLink(link);
    ASSERT_NE(RootAtTemp(), nullptr);
    shellTree->SetSelectedFolder(tree.Path(example.selected));
    ASSERT_TRUE(SameText(shellTree->GetSelectedFolder(), tree.Path(example.selected)));
    ASSERT_TRUE(SameText(list->GetPath(), tree.Path(example.selected) + L"\\"));
    shellTree->FollowFoldersOnDisk();
    Draw();

    const std::wstring deleted = tree.Path(example.deleted);
    if (example.byTheHost) {
        ASSERT_TRUE(RunHostScript(L"rm -r $1", {UnixPathOf(deleted)}));
    } else {
        TTempTree::RemoveTree(deleted);
        SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW | SHCNF_FLUSH, deleted.c_str(), nullptr);
    }
    const std::wstring expected = tree.Path(example.expected);
    EXPECT_TRUE(PumpMessagesUntil(
        [&] { return SameText(shellTree->GetSelectedFolder(), expected); }, 20000))
        << "selected: " << testing::PrintToString(shellTree->GetSelectedFolder());
    PumpMessages(500);  // whatever follows the change must not move the pane on
    EXPECT_TRUE(SameText(shellTree->GetSelectedFolder(), expected))
        << "selected: " << testing::PrintToString(shellTree->GetSelectedFolder());
    EXPECT_TRUE(SameText(list->GetPath(), expected + L"\\"))
        << "list: " << testing::PrintToString(list->GetPath());
    // Nothing of the pane holds on to the deleted folder: what a watch kept from going goes.
    EXPECT_TRUE(PumpMessagesUntil(
        [&] {
            if (!example.byTheHost)
                TTempTree::RemoveTree(deleted);
            return GetFileAttributesW(deleted.c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        5000));
    delete list;
}

INSTANTIATE_TEST_SUITE_P(
    Deletions, ShellTreeDeletedFolderTest,
    testing::Values(TDeletedFolderCase{"TheOnlyChild",
                                       {L"one\\two\\three"},
                                       L"one\\two\\three",
                                       L"one\\two\\three",
                                       L"one\\two",
                                       false},
                    TDeletedFolderCase{"OneWithSiblingsAround",
                                       {L"one\\two\\alpha", L"one\\two\\beta", L"one\\two\\gamma"},
                                       L"one\\two\\beta",
                                       L"one\\two\\beta",
                                       L"one\\two",
                                       false},
                    TDeletedFolderCase{"SeveralLevelsAtOnce",
                                       {L"one\\two\\three\\four", L"one\\other"},
                                       L"one\\two\\three\\four",
                                       L"one\\two",
                                       L"one",
                                       false},
                    TDeletedFolderCase{"ByAnotherProgram",
                                       {L"one\\two\\alpha", L"one\\two\\beta", L"one\\two\\gamma"},
                                       L"one\\two\\beta",
                                       L"one\\two\\beta",
                                       L"one\\two",
                                       true}),
    [](const testing::TestParamInfo<TDeletedFolderCase>& info) {
        return std::string(info.param.name);
    });

}  // namespace
