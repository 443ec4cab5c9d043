// The disk watcher over real folders, changed from the host side behind Wine's back: nothing
// announces these changes to the shell.
#include "controls/common/DiskWatcher.h"
#include "common/HostLinks.h"
#include "common/TempTree.h"
#include "controls/common/TestSeams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Generous: the watch answers in about a tenth of a second, but the machine is shared.
constexpr DWORD kPatience = 15000;

class DiskWatcherTest : public testing::Test {
protected:
    void SetUp() override
    {
        watcher = std::make_unique<TDiskWatcher>(nullptr, 4);
        watcher->OnChanges = [this](const std::vector<TDiskChange>& changes) {
            seen.insert(seen.end(), changes.begin(), changes.end());
        };
    }

    bool WaitForWatches(size_t count)
    {
        return PumpMessagesUntil([&] { return watcher->ActiveWatchCount() == count; }, kPatience);
    }
    bool Seen(TDiskChangeKind kind, const std::wstring& folder, const std::wstring& name,
              const std::wstring& oldName = L"") const
    {
        return std::any_of(seen.begin(), seen.end(), [&](const TDiskChange& change) {
            return change.Kind == kind && change.Folder == folder && change.Name == name &&
                   change.OldName == oldName;
        });
    }
    bool WaitFor(TDiskChangeKind kind, const std::wstring& folder, const std::wstring& name,
                 const std::wstring& oldName = L"")
    {
        return PumpMessagesUntil([&] { return Seen(kind, folder, name, oldName); }, kPatience);
    }
    // Runs `script` on the host with the tree's host path as $1.
    void Host(const std::wstring& script)
    {
        ASSERT_TRUE(RunHostScript(script, {UnixPathOf(tree.Root())}));
    }

    TTempTree tree;
    std::unique_ptr<TDiskWatcher> watcher;
    std::vector<TDiskChange> seen;
};

TEST_F(DiskWatcherTest, HostSideCreateRenameAndDeleteArriveByName)
{
    if (!RunningOnWine())
        GTEST_SKIP() << "the changes are made from the host side";
    const std::wstring folder = tree.Folder(L"watched");
    const std::wstring other = tree.Folder(L"other");
    watcher->SetFolders({folder});
    ASSERT_TRUE(WaitForWatches(1));

    Host(L"cd $1 && touch other/elsewhere.txt && cd watched && touch new.txt && "
         L"mv new.txt moved.txt && mkdir sub && rm moved.txt");
    ASSERT_TRUE(WaitFor(dcRemoved, folder, L"moved.txt"));
    EXPECT_TRUE(Seen(dcAdded, folder, L"new.txt"));
    EXPECT_TRUE(Seen(dcRenamed, folder, L"moved.txt", L"new.txt"));
    EXPECT_TRUE(Seen(dcAdded, folder, L"sub"));
    // Only the folder watched: the other one's change came first and was never reported.
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(),
                            [&](const TDiskChange& change) { return change.Folder == folder; }));
}

TEST_F(DiskWatcherTest, WatchesFollowTheFoldersTheBudgetAndTheSwitch)
{
    std::vector<std::wstring> folders;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e", L"f"})
        folders.push_back(tree.Folder(name));
    watcher->SetFolders(folders);
    EXPECT_TRUE(WaitForWatches(watcher->Budget()));
    EXPECT_EQ(watcher->Folders().size(), 6u);

    // A folder that cannot be opened takes no watch; the others are unaffected.
    watcher->SetFolders({tree.Path(L"missing"), folders[0]});
    EXPECT_TRUE(WaitForWatches(1));
    watcher->SetEnabled(false);
    EXPECT_TRUE(WaitForWatches(0));
    watcher->SetEnabled(true);
    EXPECT_TRUE(WaitForWatches(1));
    watcher->SetFolders({});
    EXPECT_TRUE(WaitForWatches(0));
}

TEST_F(DiskWatcherTest, AVanishedFolderEndsItsWatchAndTheOthersGoOn)
{
    if (!RunningOnWine())
        GTEST_SKIP() << "the changes are made from the host side";
    const std::wstring gone = tree.Folder(L"gone");
    const std::wstring stay = tree.Folder(L"stay");
    tree.File(L"gone\\inside.txt");
    watcher->SetFolders({gone, stay});
    ASSERT_TRUE(WaitForWatches(2));

    Host(L"rm -rf $1/gone");
    ASSERT_TRUE(WaitFor(dcRemoved, gone, L"inside.txt"));
    Host(L"touch $1/stay/after.txt");
    EXPECT_TRUE(WaitFor(dcAdded, stay, L"after.txt"));
    // Forgetting the folder closes whatever is left of its watch.
    watcher->SetFolders({stay});
    EXPECT_TRUE(WaitForWatches(1));
}

// A read that fails (a dropped connection, say) on a folder that is still there is no
// deletion: the watch is opened again and reports the whole folder for what it missed.
TEST_F(DiskWatcherTest, AFailedReadOnAFolderStillThereReopensItsWatch)
{
    const std::wstring folder = tree.Folder(L"kept");
    watcher->SetFolders({folder});
    ASSERT_TRUE(WaitForWatches(1));

    FailNextDiskWatchRead(*watcher, folder, ERROR_NETNAME_DELETED);
    tree.File(L"kept\\wakes the read.txt");
    ASSERT_TRUE(WaitFor(dcOverflow, folder, L""));
    EXPECT_FALSE(Seen(dcFolderGone, folder, L""));
    EXPECT_TRUE(WaitForWatches(1));
    tree.File(L"kept\\after.txt");
    EXPECT_TRUE(WaitFor(dcAdded, folder, L"after.txt"));
}

TEST_F(DiskWatcherTest, OnlyLocalFixedAndNetworkFoldersAreWatchable)
{
    wchar_t unused = 0;
    for (wchar_t letter = L'Z'; letter >= L'D' && unused == 0; --letter)
        if (GetDriveTypeW((std::wstring(1, letter) + L":\\").c_str()) == DRIVE_NO_ROOT_DIR)
            unused = letter;
    const struct {
        std::wstring folder;
        bool watchable;
    } cases[] = {
        {tree.Root(), true},
        {L"\\\\server\\share\\folder\\", true},
        {L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", false},
        {L"", false},
        {L"relative\\folder", false},
        {std::wstring(1, unused) + L":\\folder\\", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(TDiskWatcher::IsWatchable(row.folder), row.watchable) << row.folder;
}

}  // namespace
