// The shell list follows changes made on disk by other programs (here: the host side, behind
// Wine's back, announced to no one), and takes each change once however it is reported.
#include "common/HostLinks.h"
#include "controls/common/DiskWatcher.h"
#include "controls/common/TestSeams.h"
#include "controls/list/ShellListFixture.h"
#include "core/PathText.h"
#include "shell/FolderPreread.h"
#include "shell/PathUtils.h"
#include "shell/ZelShellFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Generous: a change shows within about a second, but the machine is shared.
constexpr DWORD kPatience = 20000;

class ShellListWatchTest : public ShellListFixture {
protected:
    void SetUp() override
    {
        ShellListFixture::SetUp();
        if (!RunningOnWine())
            GTEST_SKIP() << "the changes are made from the host side";
    }

    // Shows the folder and waits until its disk watch is in place.
    void ShowWatched(const std::wstring& relative = L"")
    {
        Show(relative);
        ASSERT_TRUE(WaitFor([&] { return list->DiskWatcher().ActiveWatchCount() == 1; }));
    }
    template <class Predicate>
    bool WaitFor(Predicate done)
    {
        return PumpMessagesUntil(done, kPatience);
    }
    // Runs `script` on the host with the folder shown as $1.
    void Host(const std::wstring& script)
    {
        ASSERT_TRUE(RunHostScript(script, {UnixPathOf(list->GetPath())}));
    }
    int Occurrences(const std::wstring& caption)
    {
        const auto captions = Captions();
        return static_cast<int>(std::count(captions.begin(), captions.end(), caption));
    }
    // Files made on the host side in the folder `relative`, before it is shown.
    void HostFiles(const std::wstring& relative, int count)
    {
        const std::wstring folder = tree.Folder(relative);
        ASSERT_TRUE(RunHostScript(L"cd $1 && seq 1 $2 | sed s/^/bulk/ | xargs touch",
                                  {UnixPathOf(folder), std::to_wstring(count)}));
        const std::wstring last = folder + L"\\bulk" + std::to_wstring(count);
        ASSERT_TRUE(
            WaitFor([&] { return GetFileAttributesW(last.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    }

    // Created, renamed and deleted on the host side; each change reaches the list by itself.
    void CreateRenameAndDelete()
    {
        Host(L"cd $1 && touch fresh.txt");
        EXPECT_TRUE(WaitFor([&] { return ItemNamed(L"fresh.txt") != nullptr; }));
        Host(L"cd $1 && mv fresh.txt renamed.txt");
        EXPECT_TRUE(WaitFor([&] {
            return ItemNamed(L"renamed.txt") != nullptr && ItemNamed(L"fresh.txt") == nullptr;
        }));
        Host(L"cd $1 && rm renamed.txt");
        EXPECT_TRUE(WaitFor([&] { return ItemNamed(L"renamed.txt") == nullptr; }));
        EXPECT_EQ(Occurrences(L"alpha.txt"), 1);
    }
};

TEST_F(ShellListWatchTest, HostSideChangesReachASmallList)
{
    ShowWatched();
    const int before = fullFills;
    CreateRenameAndDelete();
    EXPECT_EQ(fullFills, before);
}

// A folder too large to walk again takes the named objects alone, sizes included.
TEST_F(ShellListWatchTest, HostSideChangesReachALargeListWithoutARefill)
{
    HostFiles(L"", 400);
    ShowWatched();
    ASSERT_GT(list->Items()->Count(), TZelShellList::kIncrementalRefreshLimit);
    const int before = fullFills;
    CreateRenameAndDelete();

    TListItem* alpha = ItemNamed(L"alpha.txt");
    list->FillDisplayData(alpha);
    ASSERT_GT(alpha->SubItemCount(), 0);
    const std::wstring oldSize = alpha->SubItems()[0];
    const int refreshes = list->ChangeRefreshCount();
    Host(L"cd $1 && head -c 5000 /dev/zero >> alpha.txt");
    ASSERT_TRUE(WaitFor([&] { return list->ChangeRefreshCount() > refreshes; }));
    alpha = ItemNamed(L"alpha.txt");
    ASSERT_NE(alpha, nullptr);
    list->FillDisplayData(alpha);
    ASSERT_GT(alpha->SubItemCount(), 0);
    EXPECT_NE(alpha->SubItems()[0], oldSize);
    EXPECT_EQ(fullFills, before);
}

TEST_F(ShellListWatchTest, AFileReportedByTheShellAndTheDiskIsShownOnce)
{
    HostFiles(L"large", 400);
    for (const std::wstring relative : {L"", L"large"}) {
        SCOPED_TRACE(relative.empty() ? "small folder" : "large folder");
        ShowWatched(relative);
        Host(L"cd $1 && touch twice.txt");
        ASSERT_TRUE(WaitFor([&] { return ItemNamed(L"twice.txt") != nullptr; }));
        const int refreshes = list->ChangeRefreshCount();
        Announce(SHCNE_CREATE, list->GetPath() + L"twice.txt");
        ASSERT_TRUE(WaitFor([&] { return list->ChangeRefreshCount() > refreshes; }));
        EXPECT_EQ(Occurrences(L"twice.txt"), 1);
    }
}

TEST_F(ShellListWatchTest, ABurstOfFiveThousandFilesEndsInOneConsistentList)
{
    ShowWatched();
    const int shown = list->Items()->Count();
    const int refreshes = list->ChangeRefreshCount();
    Host(L"cd $1 && seq 1 5000 | sed s/^/burst/ | xargs touch");
    ASSERT_TRUE(WaitFor([&] { return list->Items()->Count() >= shown + 5000; }));
    // Whatever the watch still delivers about the burst finds the list complete.
    PumpMessages(2 * TZelShellList::kRefreshDelay);
    const auto captions = Captions();
    EXPECT_EQ(captions.size(), CaptionSet().size()) << "an object shown twice";
    EXPECT_EQ(list->Items()->Count(), shown + 5000);
    EXPECT_NE(ItemNamed(L"burst1"), nullptr);
    EXPECT_NE(ItemNamed(L"burst5000"), nullptr);
    // A refresh per batch the watch delivers at most, nowhere near one per file.
    EXPECT_LE(list->ChangeRefreshCount() - refreshes, 20);
}

// Made the moment the read is over (where the watch used to be opened only afterwards), in a
// folder walked again on a change and in one too large for that.
TEST_F(ShellListWatchTest, AFileMadeRightAfterTheReadAppears)
{
    HostFiles(L"large", TZelShellList::kIncrementalRefreshLimit + 20);
    tree.Folder(L"small");
    for (const std::wstring relative : {L"small", L"large"}) {
        SCOPED_TRACE(relative);
        bool made = false;
        list->OnPopulated = [&](TObject*) {
            if (!made)
                made = tree.File(relative + L"\\late.txt") != L"";
        };
        Show(relative);
        list->OnPopulated = nullptr;
        ASSERT_TRUE(made);
        EXPECT_TRUE(WaitFor([&] { return ItemNamed(L"late.txt") != nullptr; }));
    }
}

// The program's first fill: the folder read ahead on a thread, a file made after that read,
// the list filled from what was read, its watches opened (with automatic refresh on from the
// start, or turned on after the fill).
TEST_F(ShellListWatchTest, AFileMadeAfterAReadAheadAppearsOnceTheListWatches)
{
    HostFiles(L"ahead", 5);
    for (const bool watchedDuringFill : {true, false}) {
        SCOPED_TRACE(watchedDuringFill ? "watched during the fill" : "watched after the fill");
        const std::wstring late = watchedDuringFill ? L"late during.txt" : L"late after.txt";
        TFolderPreread preread(tree.Path(L"ahead"));
        TOwnedIDList folder;
        std::vector<TOwnedIDList> objects;
        TScopedChangeNotification changes;
        ASSERT_TRUE(preread.Take(folder, objects, &changes));
        tree.File(L"ahead\\" + late);
        list->SetAutomaticRefresh(watchedDuringFill);
        list->OfferObjects(folder.get(), std::move(objects), std::move(changes));
        Show(L"ahead");
        list->SetAutomaticRefresh(true);
        EXPECT_TRUE(WaitFor([&] { return ItemNamed(late) != nullptr; }));
        Show();
    }
}

// Where the shell reports other programs' changes itself (Windows), no folder is held open by
// a disk watch, and the list follows the shell's reports alone: a file written twice in quick
// succession shows its last size.
TEST_F(ShellListWatchTest, WhereTheShellReportsChangesNoDiskWatchIsOpened)
{
    struct TShellReports {
        TShellReports() { SetDiskWatchNeeded(false); }
        ~TShellReports() { SetDiskWatchNeeded(std::nullopt); }
    } shellReports;
    Show();
    EXPECT_EQ(list->DiskWatcher().ActiveWatchCount(), 0u);
    auto sizeShown = [&] {
        TListItem* item = ItemNamed(L"grows.txt");
        if (item == nullptr)
            return std::wstring();
        list->FillDisplayData(item);
        return item->SubItemCount() > 0 ? item->SubItems()[0] : std::wstring();
    };
    const std::wstring file = tree.File(L"grows.txt", 10);
    Announce(SHCNE_CREATE, file);
    ASSERT_TRUE(WaitFor([&] { return !sizeShown().empty(); }));
    const std::wstring small = sizeShown();
    tree.File(L"grows.txt", 50000);
    Announce(SHCNE_UPDATEITEM, file);
    ASSERT_TRUE(WaitFor([&] { return sizeShown() != small; }));
    const std::wstring middle = sizeShown();
    tree.File(L"grows.txt", 400000);
    Announce(SHCNE_UPDATEITEM, file);
    EXPECT_TRUE(WaitFor([&] { return sizeShown() != middle && sizeShown() != small; }));
    EXPECT_EQ(list->DiskWatcher().ActiveWatchCount(), 0u);
}

TEST_F(ShellListWatchTest, AutomaticRefreshOffEndsTheDiskWatch)
{
    ShowWatched();
    list->SetAutomaticRefresh(false);
    EXPECT_TRUE(list->DiskWatcher().Folders().empty());
    EXPECT_TRUE(WaitFor([&] { return list->DiskWatcher().ActiveWatchCount() == 0; }));
    list->SetAutomaticRefresh(true);
    EXPECT_TRUE(WaitFor([&] { return list->DiskWatcher().ActiveWatchCount() == 1; }));
}

TEST_F(ShellListWatchTest, AFolderDeletedOnTheHostSideMovesTheListToItsParent)
{
    ShowWatched(L"docs");
    Host(L"rm -rf $1");
    ASSERT_TRUE(WaitFor(
        [&] { return SameFileName(list->GetPath(), IncludeTrailingBackslash(tree.Root())); }));
    // The watch follows the list to the parent.
    EXPECT_TRUE(WaitFor([&] {
        const auto folders = list->DiskWatcher().Folders();
        return folders.size() == 1 && SameFileName(IncludeTrailingBackslash(folders.front()),
                                                   IncludeTrailingBackslash(tree.Root()));
    }));
}

}  // namespace
