#include "link/ZelSelectionList.h"
#include "core/SyncCall.h"
#include "link/DirectoryListingCache.h"
#include "link/SelectionPath.h"
#include "link/SelectionPaths.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ZelShellFolder.h"
#include "threadpool/ThreadPool.h"

#include "common/HostLinks.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::wstring>;

Strings Sorted(Strings values)
{
    std::sort(values.begin(), values.end());
    return values;
}

FILETIME AnHourAgo()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    ticks.QuadPart -= 36000000000ull;
    return FILETIME{ticks.LowPart, ticks.HighPart};
}

// A linkable control that counts the light refreshes the link passes on.
class TRefreshCounter : public IZelShellControl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void STDMETHODCALLTYPE SetShellLink(TZelShellLink* link) override { link_ = link; }
    TZelShellLink* STDMETHODCALLTYPE GetShellLink() override { return link_; }
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList) override {}
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList, TBorrowedIDList) override {}
    void STDMETHODCALLTYPE SelectAll() override {}
    void STDMETHODCALLTYPE RefreshContents() override {}
    void STDMETHODCALLTYPE RefreshChanges() override { ++refreshes; }
    bool STDMETHODCALLTYPE GoUp() override { return false; }

    int refreshes = 0;

private:
    TZelShellLink* link_ = nullptr;
};

struct TTotals {
    int64_t size = 0;
    int files = 0;
    int folders = 0;
    bool operator==(const TTotals&) const = default;
};

void PrintTo(const TTotals& totals, std::ostream* out)
{
    *out << totals.size << " bytes, " << totals.files << " files, " << totals.folders << " folders";
}

void Walk(const std::wstring& folder, TTotals& totals)
{
    WIN32_FIND_DATAW data;
    TScopedFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &data) != FALSE) {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++totals.files;
            totals.size += data.nFileSizeLow;
        } else if (!IsDotEntry(data.cFileName)) {
            ++totals.folders;
            Walk(folder + L"\\" + data.cFileName, totals);
        }
    }
}

// A pane's link with its selection list over a small real tree in Top (beside outside.txt, so
// that checking all of Top never covers the temporary folder):
//   a.txt  b.txt  Docs\one.txt  Docs\two.txt  Docs\Deep\three.txt  Docs\Deep\four.txt
//   Empty\  Other\five.txt
class SelectionListTest : public testing::Test {
protected:
    TTempTree tree;
    TRefreshCounter control;  // outlives the link, which detaches it
    TZelShellLink link{nullptr};
    TZelSelectionList& selection = *link.SelectionList();
    int changes = 0;

    void SetUp() override
    {
        tree.File(L"outside.txt");
        for (const auto& [name, size] : {std::pair{L"a.txt", 10},
                                         {L"b.txt", 20},
                                         {L"Docs\\one.txt", 100},
                                         {L"Docs\\two.txt", 200},
                                         {L"Docs\\Deep\\three.txt", 1000},
                                         {L"Docs\\Deep\\four.txt", 2000},
                                         {L"Other\\five.txt", 5}})
            tree.File(L"Top\\" + std::wstring(name), size);
        tree.Folder(L"Top\\Empty");
        link.AddControl(&control);
        selection.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &selection);
            ++changes;
        };
        // Most tests look at entries only; folder sizes are measured in the background.
        selection.SetCountTotals(false);
    }

    std::wstring P(const std::wstring& relative) const { return tree.Path(L"Top\\" + relative); }
    std::wstring F(const std::wstring& relative) const { return P(relative) + L"\\*"; }
    std::wstring Top() const { return tree.Path(L"Top"); }
    Strings Entries() const { return selection.Paths().Items(); }

    TTotals Totals() const
    {
        return {selection.TotalSize(), selection.FileCount(), selection.FolderCount()};
    }
    // What the entries hold, counted afresh: a folder entry counts itself and all below it.
    TTotals WalkEntries() const
    {
        TTotals totals;
        for (const auto& entry : Entries()) {
            if (IsFolderEntry(entry)) {
                ++totals.folders;
                Walk(EntryStem(entry), totals);
            } else {
                ++totals.files;
                totals.size += FileSizeOf(entry);
            }
        }
        return totals;
    }
    void ExpectTotalsMatchAWalk()
    {
        ASSERT_TRUE(PumpMessagesUntil(
            [] {
                CheckSynchronize();
                return WorkerPool->PendingCount() == 0 && PendingSyncCallCount() == 0;
            },
            10000));
        EXPECT_EQ(Totals(), WalkEntries());
    }
};

}  // namespace

TEST(SelectionPathTest, EntryFormsOfExistingPathsOnly)
{
    TTempTree tree;
    const std::wstring file = tree.File(L"file.txt");
    const std::wstring folder = tree.Folder(L"Folder");
    EXPECT_EQ(NormalizePath(file), file);
    EXPECT_EQ(NormalizePath(folder), folder + L"\\*");
    EXPECT_EQ(NormalizePath(folder + L"\\*"), folder + L"\\*");
    for (const std::wstring& rejected : {tree.Path(L"missing"), std::wstring(L""),
                                         std::wstring(L"."), std::wstring(L".."), file + L"\\"})
        EXPECT_EQ(NormalizePath(rejected), L"") << rejected;
    EXPECT_EQ(NormalizePath(L"C:\\"), L"C:\\*");
    EXPECT_EQ(ParentFolderEntry(L"C:\\A\\*"), L"C:\\*");
    EXPECT_EQ(ParentFolderEntry(L"C:\\*"), L"");  // the climb ends at the root
}

TEST_F(SelectionListTest, StatesOfEntriesTheirAncestorsAndTheirContents)
{
    selection.Check(P(L"Docs\\Deep"));
    EXPECT_EQ(Entries(), (Strings{F(L"Docs\\Deep")}));
    bool inherited = true;
    EXPECT_EQ(selection.StateOf(P(L"Docs\\Deep"), inherited), ssChecked);
    EXPECT_FALSE(inherited);
    EXPECT_EQ(selection.StateOf(P(L"Docs\\Deep\\three.txt"), inherited), ssChecked);
    EXPECT_TRUE(inherited);
    EXPECT_EQ(selection.StateOf(P(L"Docs"), inherited), ssGrayed);
    EXPECT_FALSE(inherited);
    EXPECT_EQ(selection.StateOf(tree.Root()), ssGrayed);
    EXPECT_EQ(selection.StateOf(P(L"Docs\\one.txt")), ssUnChecked);
    // Case, a trailing backslash or star do not matter.
    EXPECT_EQ(selection.StateOf(UpperCase(P(L"Docs\\Deep\\"))), ssChecked);
    EXPECT_EQ(selection.StateOf(F(L"Docs\\Deep")), ssChecked);
    EXPECT_EQ(selection.StateOf(L""), ssNone);
    EXPECT_EQ(selection.StateOf(P(L"Docs\\missing.txt")), ssNone);

    EXPECT_TRUE(selection.IsChecked(P(L"Docs\\Deep\\")));
    EXPECT_FALSE(selection.IsChecked(P(L"Docs")));
    EXPECT_FALSE(selection.IsChecked(L""));
}

TEST_F(SelectionListTest, NamesThatOnlyStartAlikeAreTold)
{
    tree.File(L"Top\\Docs2\\x.txt");
    tree.File(L"Top\\Docs2\\y.txt");
    tree.File(L"Top\\Other\\five.tx");
    selection.Check(P(L"Docs2\\x.txt"));
    selection.Check(P(L"Other\\five.txt"));
    EXPECT_EQ(selection.StateOf(P(L"Docs")), ssUnChecked);
    EXPECT_EQ(selection.StateOf(P(L"Docs2")), ssGrayed);
    // "five.tx" is not "five.txt": Other is not complete, so nothing is merged.
    EXPECT_EQ(selection.StateOf(P(L"Other\\five.tx")), ssUnChecked);
    EXPECT_EQ(Entries(), (Strings{P(L"Docs2\\x.txt"), P(L"Other\\five.txt")}));
}

TEST_F(SelectionListTest, DrivesThatAreNotReadyHaveNoState)
{
    const DWORD drives = GetLogicalDrives();
    wchar_t letter = L'Q';
    while (letter < L'Y' && (drives & (1u << (letter - L'A'))) != 0)
        ++letter;
    ASSERT_EQ(drives & (1u << (letter - L'A')), 0u);
    const std::wstring root = std::wstring(1, letter) + L":\\";
    EXPECT_EQ(selection.StateOf(root), ssNone);
    EXPECT_EQ(selection.StateOf(root + L"folder\\file.txt"), ssNone);
    selection.Check(root);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(selection.StateOf(L"C:\\"), ssUnChecked);
}

TEST_F(SelectionListTest, CheckingEveryChildOneByOneCollapsesToTheFolder)
{
    selection.Check(P(L"Docs\\Deep\\three.txt"));
    EXPECT_EQ(Entries(), (Strings{P(L"Docs\\Deep\\three.txt")}));
    selection.Check(P(L"Docs\\Deep\\four.txt"));
    EXPECT_EQ(Entries(), (Strings{F(L"Docs\\Deep")}));
    selection.Check(P(L"Docs\\one.txt"));
    selection.Check(P(L"Docs\\two.txt"));
    EXPECT_EQ(Entries(), (Strings{F(L"Docs")}));

    // The last child completes its folder and the folder above at once.
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"Empty", L"Other\\five.txt"})
        selection.Check(P(name));
    EXPECT_EQ(Entries(), (Strings{Top() + L"\\*"}));
    EXPECT_EQ(selection.StateOf(P(L"Docs\\Deep\\four.txt")), ssChecked);
}

TEST_F(SelectionListTest, CheckingAFolderReplacesItsContentsAndMissingPathsChangeNothing)
{
    selection.Check(P(L"Docs\\one.txt"));
    selection.Check(P(L"Docs\\Deep\\three.txt"));
    selection.Check(P(L"a.txt"));
    selection.Check(P(L"Docs"));
    EXPECT_EQ(Entries(), (Strings{P(L"a.txt"), F(L"Docs")}));
    selection.Check(P(L"Docs\\Deep\\four.txt"));  // already covered
    for (const std::wstring& path : {P(L"missing.txt"), P(L"Docs\\missing\\x"), std::wstring(),
                                     std::wstring(L"."), std::wstring(L"..")}) {
        selection.Check(path);
        selection.Uncheck(path);
    }
    EXPECT_EQ(Entries(), (Strings{P(L"a.txt"), F(L"Docs")}));
}

TEST_F(SelectionListTest, UncheckingInsideACheckedFolderExpandsEveryLevelOnTheWay)
{
    selection.Check(P(L"Docs"));
    selection.Uncheck(P(L"Docs\\one.txt"));
    EXPECT_EQ(Sorted(Entries()), Sorted({P(L"Docs\\two.txt"), F(L"Docs\\Deep")}));
    EXPECT_EQ(selection.StateOf(P(L"Docs")), ssGrayed);

    selection.Clear();
    selection.Check(Top());
    selection.Uncheck(P(L"Docs\\Deep\\three.txt"));
    EXPECT_EQ(Sorted(Entries()),
              Sorted({P(L"a.txt"), P(L"b.txt"), F(L"Empty"), F(L"Other"), P(L"Docs\\one.txt"),
                      P(L"Docs\\two.txt"), P(L"Docs\\Deep\\four.txt")}));
    selection.Check(P(L"Docs\\Deep\\three.txt"));
    EXPECT_EQ(Entries(), (Strings{Top() + L"\\*"}));

    // A grayed folder loses everything below it; an entry just goes.
    selection.Clear();
    selection.Check(P(L"a.txt"));
    selection.Check(P(L"Docs\\one.txt"));
    selection.Check(P(L"Docs\\Deep"));
    selection.Uncheck(P(L"Docs"));
    selection.Uncheck(P(L"b.txt"));
    EXPECT_EQ(Entries(), (Strings{P(L"a.txt")}));
    selection.Uncheck(P(L"a.txt"));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SelectionListTest, EveryChangeIsAnnouncedOnceAndRedrawsTheLinkUnlessLocked)
{
    EXPECT_EQ(selection.Owner(), &link);
    EXPECT_EQ(selection.Link(), &link);
    EXPECT_EQ(TZelSelectionList(nullptr).Link(), nullptr);
    selection.Check(P(L"Docs\\Deep\\three.txt"));
    selection.Check(P(L"Docs\\Deep\\four.txt"));  // merges: still one announcement
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(control.refreshes, 2);

    selection.LockRefresh();
    selection.Uncheck(P(L"Docs\\Deep\\four.txt"));
    selection.Check(P(L"a.txt"));
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(control.refreshes, 2);
    selection.UnlockRefresh();
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(control.refreshes, 3);

    selection.Clear();
    selection.SetPaths({P(L"a.txt"), P(L"b.txt")});
    EXPECT_EQ(changes, 7);
}

TEST_F(SelectionListTest, SetPathsAndAssignEnterEachPathAsCheckDoes)
{
    selection.Check(P(L"Other"));
    // The last path completes Docs; entered in capitals, it enters Docs in capitals.
    selection.SetPaths({P(L"Docs\\one.txt"), P(L"missing.txt"), P(L"Docs\\two.txt"),
                        P(L"Docs\\Deep\\three.txt"), UpperCase(P(L"Docs\\Deep\\four.txt"))});
    ASSERT_EQ(selection.Paths().Count(), 1);
    EXPECT_TRUE(SameText(selection.Paths()[0], F(L"Docs")));

    TZelSelectionList copy(nullptr);
    copy.SetCountTotals(false);
    copy.Check(P(L"a.txt"));
    copy.Assign(selection);
    EXPECT_EQ(copy.Paths().Items(), Entries());
    const Strings before = Entries();
    selection.SetPaths(selection.Paths().Items());
    EXPECT_EQ(Entries(), before);
}

TEST_F(SelectionListTest, NextFileGivesFileEntriesFirstThenFolderContentsDepthFirst)
{
    tree.File(L"Top\\Other\\Sub\\six.txt");
    selection.Check(P(L"Docs"));
    selection.Check(P(L"b.txt"));
    selection.Check(P(L"Other"));
    selection.Check(tree.Folder(L"Top\\Gone"));
    selection.Check(P(L"a.txt"));
    TTempTree::RemoveTree(P(L"Gone"));  // a folder that cannot be searched is skipped

    Strings files;
    for (std::wstring file = selection.NextFile(); !file.empty(); file = selection.NextFile())
        files.push_back(file);
    ASSERT_EQ(files.size(), 8u);
    EXPECT_EQ(files[0], P(L"b.txt"));
    EXPECT_EQ(files[1], P(L"a.txt"));
    // Docs: its own files, then its subfolder's.
    EXPECT_EQ(Sorted({files[2], files[3]}), Sorted({P(L"Docs\\one.txt"), P(L"Docs\\two.txt")}));
    EXPECT_EQ(Sorted({files[4], files[5]}),
              Sorted({P(L"Docs\\Deep\\three.txt"), P(L"Docs\\Deep\\four.txt")}));
    EXPECT_EQ(files[6], P(L"Other\\five.txt"));
    EXPECT_EQ(files[7], P(L"Other\\Sub\\six.txt"));

    // The next call starts over, and so does the first call after a change.
    EXPECT_EQ(selection.NextFile(), P(L"b.txt"));
    EXPECT_EQ(selection.NextFile(), P(L"a.txt"));
    selection.Uncheck(P(L"b.txt"));
    EXPECT_EQ(selection.NextFile(), P(L"a.txt"));
}

TEST_F(SelectionListTest, NextFileDoesNotFollowFolderLinks)
{
    // A link inside Docs back up to Top would be walked again and again.
    if (!CreateDirectoryLink(P(L"Docs\\Back"), Top()))
        GTEST_SKIP() << "no directory links here";
    selection.Check(P(L"Docs"));
    std::multiset<std::wstring> files;
    for (std::wstring file = selection.NextFile(); !file.empty() && files.size() < 100;
         file = selection.NextFile())
        files.insert(UpperCase(file));
    RemoveDirectoryLink(P(L"Docs\\Back"));
    EXPECT_EQ(files, (std::multiset<std::wstring>{UpperCase(P(L"Docs\\one.txt")),
                                                  UpperCase(P(L"Docs\\two.txt")),
                                                  UpperCase(P(L"Docs\\Deep\\three.txt")),
                                                  UpperCase(P(L"Docs\\Deep\\four.txt"))}));
}

TEST_F(SelectionListTest, FolderShortcutsStandForTheirTargets)
{
    tree.Shortcut(L"Top\\Link\\target.lnk", P(L"Other"));
    selection.Check(P(L"Link"));
    EXPECT_EQ(Entries(), (Strings{F(L"Other")}));
    EXPECT_EQ(selection.StateOf(P(L"Link")), ssChecked);
    selection.Uncheck(P(L"Link"));
    EXPECT_TRUE(Entries().empty());

    selection.SetResolveFolderShortcuts(false);
    EXPECT_EQ(selection.StateOf(P(L"Link")), ssNone);
    selection.Check(P(L"Link"));
    EXPECT_EQ(Entries(), (Strings{F(L"Link")}));
}

TEST_F(SelectionListTest, TheComputerAndNetworkFoldersAreGrayedForDriveAndNetworkPaths)
{
    const TOwnedIDList computer = SpecialFolderIDList(SF_DRIVES);
    ASSERT_TRUE(computer);
    ASSERT_TRUE(NetworkIDList);
    EXPECT_EQ(selection.StateOfIDList(computer), ssNone);
    EXPECT_EQ(selection.StateOfIDList(NetworkIDList), ssNone);
    selection.Check(P(L"a.txt"));
    EXPECT_EQ(selection.StateOfIDList(computer), ssGrayed);
    EXPECT_EQ(selection.StateOfIDList(NetworkIDList), ssNone);

    // No share exists here: the entry is written as stored entries are read back, unchecked.
    TZelBaseSelectionList& base = selection;
    base.TZelBaseSelectionList::SetPaths({L"\\\\server\\share\\file.txt"});
    EXPECT_EQ(selection.StateOfIDList(computer), ssNone);
    EXPECT_EQ(selection.StateOfIDList(NetworkIDList), ssGrayed);

    // Any other ID list is answered through its path.
    selection.Clear();
    selection.Check(P(L"Docs"));
    const TOwnedIDList one = IDListFromPath(nullptr, P(L"Docs\\one.txt"));
    selection.UncheckIDList(one);
    EXPECT_EQ(selection.StateOfIDList(one), ssUnChecked);
    selection.CheckIDList(one);
    EXPECT_EQ(selection.StateOfIDList(one), ssChecked);
}

TEST_F(SelectionListTest, KeptFolderListingsNeverHideAChange)
{
    tree.SetModifiedTime(L"Top\\Docs\\Deep", AnHourAgo());
    selection.Check(P(L"Docs\\Deep\\three.txt"));
    tree.File(L"Top\\Docs\\Deep\\five.txt");
    selection.Check(P(L"Docs\\Deep\\four.txt"));
    EXPECT_EQ(Entries(), (Strings{P(L"Docs\\Deep\\three.txt"), P(L"Docs\\Deep\\four.txt")}));
    DeleteFileW(P(L"Docs\\Deep\\five.txt").c_str());
    selection.Uncheck(P(L"Docs\\Deep\\four.txt"));
    selection.Check(P(L"Docs\\Deep\\four.txt"));
    EXPECT_EQ(Entries(), (Strings{F(L"Docs\\Deep")}));
}

TEST_F(SelectionListTest, TotalsFollowChecksAndUnchecksAsAWalkCountsThem)
{
    int completed = 0;
    selection.OnCompletedCalculateFiles = [&completed](TObject*) { ++completed; };
    selection.SetCountTotals(true);
    selection.Check(P(L"a.txt"));
    EXPECT_EQ(Totals(), (TTotals{10, 1, 0}));  // a file counts at once
    selection.Check(P(L"Docs"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{3310, 5, 2}));
    EXPECT_EQ(completed, 1);

    // Two levels below the covering folder: both levels stop counting as selected folders.
    selection.Uncheck(P(L"Docs\\Deep\\three.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{2310, 4, 0}));

    selection.Check(P(L"Other"));
    selection.Check(Top());
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{3335, 7, 5}));
    selection.Uncheck(P(L"Other\\five.txt"));
    ExpectTotalsMatchAWalk();
    selection.Uncheck(P(L"Docs"));
    selection.Uncheck(P(L"b.txt"));
    ExpectTotalsMatchAWalk();

    // Results still on their way when the selection is emptied or replaced are dropped.
    selection.Check(P(L"Docs"));
    selection.Clear();
    selection.Check(P(L"b.txt"));
    ExpectTotalsMatchAWalk();
    selection.Check(P(L"Docs"));
    selection.SetPaths({P(L"Other")});
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{5, 1, 1}));
}

TEST_F(SelectionListTest, EmptyingTheSelectionDropsTheSizeWorkStillOnItsWay)
{
    int completed = 0;
    selection.OnCompletedCalculateFiles = [&completed](TObject*) { ++completed; };
    selection.SetCountTotals(true);
    selection.Check(P(L"a.txt"));
    selection.Check(P(L"Docs"));
    ExpectTotalsMatchAWalk();

    // Unchecking everything, one entry after the other, leaves nothing that can still move
    // the totals of the next selection, not even while the selection is empty.
    selection.Uncheck(P(L"a.txt"));
    selection.Uncheck(P(L"Docs"));
    EXPECT_EQ(Totals(), TTotals{});
    const int before = completed;
    PumpMessagesUntil(
        [&] {
            CheckSynchronize();
            return completed > before || WorkerPool->PendingCount() == 0;
        },
        10000);
    selection.Check(P(L"b.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{20, 1, 0}));

    // The same when the selection empties before the folder's own measurement is back.
    selection.Check(P(L"Docs"));
    selection.Uncheck(P(L"b.txt"));
    selection.Uncheck(P(L"Docs"));
    selection.Check(P(L"a.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{10, 1, 0}));
}

TEST_F(SelectionListTest, UncheckingTakesBackWhatCheckingAddedWhateverChangedOnDisk)
{
    selection.SetCountTotals(true);
    selection.Check(P(L"Docs"));
    selection.Check(P(L"a.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{3310, 5, 2}));

    // A file that appears in the folder after it was measured, then the folder unchecked.
    tree.File(L"Top\\Docs\\late.txt", 50);
    selection.Uncheck(P(L"Docs"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{10, 1, 0}));

    // A file that grew after it was checked.
    tree.File(L"Top\\a.txt", 70);
    selection.Uncheck(P(L"a.txt"));
    selection.Check(P(L"b.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{20, 1, 0}));

    // Inside a checked folder that changed since it was measured: the entries that take its
    // place count what they hold now, and each of them is taken back exactly later.
    selection.Check(P(L"Docs"));
    ExpectTotalsMatchAWalk();
    tree.File(L"Top\\Docs\\Deep\\later.txt", 500);
    selection.Uncheck(P(L"Docs\\one.txt"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{20 + 200 + 50 + 1000 + 2000 + 500, 6, 1}));
    tree.File(L"Top\\Docs\\Deep\\latest.txt", 5000);
    selection.Uncheck(P(L"Docs\\Deep"));
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(Totals(), (TTotals{270, 3, 0}));
}

TEST_F(SelectionListTest, AListDestroyedWithWorkInFlightIsNotCalledBack)
{
    auto doomed = std::make_unique<TZelSelectionList>(nullptr);
    int calls = 0;
    doomed->OnCompletedCalculateFiles = [&calls](TObject*) { ++calls; };
    doomed->Check(P(L"Docs"));
    doomed->Check(P(L"Other"));
    doomed.reset();
    ExpectTotalsMatchAWalk();
    EXPECT_EQ(calls, 0);
}

TEST(SelectionPathsTest, IndexedQueriesAnswerAsAPlainScanWould)
{
    TZelSelectionPaths paths;
    int changes = 0;
    paths.OnChange = [&changes] { ++changes; };
    paths.BeginUpdate();
    for (const wchar_t* entry :
         {L"C:\\Data\\a.txt", L"c:\\data\\Sub\\*", L"C:\\Database\\x", L"\\\\srv\\share\\f",
          L"relative\\C:\\Data\\odd", L"D:\\Data\\b.txt", L"C:\\Data\\a.txt"})
        paths.Add(entry);
    paths.EndUpdate();
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(paths.IndexOf(L"C:\\DATA\\A.TXT"), 0);
    EXPECT_EQ(paths.IndexOf(L"C:\\Data"), -1);
    // "Contains anywhere": the irregular entry holds "C:\DATA\" in its middle.
    EXPECT_EQ(paths.IndexesContaining(L"c:\\data\\"), (std::vector<int>{0, 1, 4, 6}));
    EXPECT_TRUE(paths.AnyContains(L"C:\\Data\\Sub\\"));
    EXPECT_FALSE(paths.AnyContains(L"C:\\Data\\Sub\\deeper\\"));
    EXPECT_TRUE(paths.AnyContains(L"data\\b"));  // not a plain absolute path: scanned
    EXPECT_FALSE(paths.AnyContains(L"E:\\"));
    EXPECT_EQ(paths.CountInFolder(L"C:\\Data"), 3);
    EXPECT_EQ(paths.DriveEntryCount(), 5);
    EXPECT_EQ(paths.NetworkEntryCount(), 1);

    paths.DeleteIndexes({0, 3, 4});
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(paths.Items(), (Strings{L"c:\\data\\Sub\\*", L"C:\\Database\\x", L"D:\\Data\\b.txt",
                                      L"C:\\Data\\a.txt"}));
    EXPECT_EQ(paths.IndexOf(L"C:\\Data\\a.txt"), 3);  // one of the two equal entries is left
    EXPECT_FALSE(paths.AnyContains(L"C:\\Data\\odd"));
    EXPECT_EQ(paths.CountInFolder(L"C:\\Data"), 2);
    EXPECT_EQ(paths.NetworkEntryCount(), 0);
    paths.Clear();
    EXPECT_FALSE(paths.AnyContains(L"C:\\"));
}

TEST(DirectoryListingCacheTest, KeepsSettledListingsAndSeesEveryChange)
{
    TTempTree tree;
    tree.File(L"Old\\one.txt");
    tree.Folder(L"Old\\Sub");
    const std::wstring folder = tree.Path(L"Old");
    tree.SetModifiedTime(L"Old", AnHourAgo());

    TDirectoryListingCache cache;
    auto listing = cache.Listing(folder);
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->Count(), 2);
    EXPECT_EQ(listing->distinctFileNames, 1);
    ASSERT_NE(listing->Find(L"ONE.TXT"), nullptr);
    EXPECT_FALSE(listing->Find(L"SUB")->hasFile);
    EXPECT_EQ(cache.Listing(UpperCase(folder)), listing);
    EXPECT_EQ(cache.SearchCount(), 1u);

    // A new entry moves the folder's time: searched again, and not kept while it settles.
    tree.File(L"Old\\two.txt");
    EXPECT_EQ(cache.Listing(folder)->Count(), 3);
    cache.Listing(folder);
    EXPECT_EQ(cache.SearchCount(), 3u);
    EXPECT_EQ(cache.KeptFolderCount(), 0);

    // Without a settling time a listing is kept at once, and dropped at the next change.
    TDirectoryListingCache eager(0);
    eager.Listing(folder);
    EXPECT_EQ(eager.Listing(folder)->Count(), 3);
    EXPECT_EQ(eager.SearchCount(), 1u);
    Sleep(20);
    DeleteFileW(tree.Path(L"Old\\one.txt").c_str());
    EXPECT_EQ(eager.Listing(folder)->Count(), 2);
    EXPECT_FALSE(eager.Listing(tree.Path(L"missing")));
    EXPECT_FALSE(eager.Listing(tree.Path(L"Old\\two.txt")));
}
