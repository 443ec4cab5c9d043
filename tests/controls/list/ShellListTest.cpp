// The shell list over real folders, in a real window of the virtual display.
#include "common/Screen.h"
#include "controls/list/ShellListColumns.h"
#include "controls/list/ShellListFixture.h"
#include "link/ShellLink.h"
#include "link/ZelSelectionList.h"
#include "link/ZelSelectionState.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "threadpool/ThreadPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

namespace {

class ShellListTest : public ShellListFixture {};

TEST_F(ShellListTest, VisibilityFollowsTheOptionsAfterAFillAndAfterAnIncrementalRefresh)
{
    EXPECT_EQ(list->GetOptions(), 19);
    Show();
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"docs"}));

    list->SetShowHidden(true);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"docs", L"secret.txt",
                                   L"RECYCLER"}));
    list->SetShowRecycleBin(false);
    EXPECT_EQ(CaptionSet(),
              (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"docs", L"secret.txt"}));

    list->SetShowFiles(false);
    EXPECT_EQ(CaptionSet(), (Names{L"docs"}));
    list->RefreshChanges();
    EXPECT_EQ(CaptionSet(), (Names{L"docs"}));

    list->SetShowFiles(true);
    list->SetShowFolders(false);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"secret.txt"}));
    tree.Folder(L"later");
    tree.File(L"later.txt");
    list->RefreshChanges();
    EXPECT_EQ(CaptionSet(),
              (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"secret.txt", L"later.txt"}));
}

TEST_F(ShellListTest, SettingTheSameOptionWordDoesNotRefill)
{
    Show();
    const int before = fullFills;
    list->SetShowNethood(true);
    list->SetOptions(list->GetOptions());
    EXPECT_EQ(fullFills, before);
}

TEST_F(ShellListTest, ItemsAreReadOnlyWhenDrawn)
{
    for (int index = 0; index < 300; ++index)
        tree.File(L"many\\file" + std::to_wstring(1000 + index) + L".txt");
    Show(L"many");
    ASSERT_EQ(list->Items()->Count(), 300);
    // The first rows were drawn: they have texts and a placeholder icon at once.
    TListItem* first = list->Items()->Item(0);
    EXPECT_FALSE(first->CaptionDeferred());
    EXPECT_NE(first->ImageIndex(), -1);
    EXPECT_GT(first->SubItemCount(), 0);
    // Rows never drawn have had nothing read.
    TListItem* last = list->Items()->Item(299);
    EXPECT_TRUE(last->CaptionDeferred());
    EXPECT_EQ(last->ImageIndex(), -1);
    EXPECT_EQ(last->SubItemCount(), 0);
    EXPECT_EQ(last->Caption(), L"file1299.txt");
}

TEST_F(ShellListTest, ParentFolderItemIsFirstInBothDirectionsAndAbsentOnTheDesktop)
{
    list->SetShowParentFolder(true);
    Show();
    ASSERT_GT(list->Items()->Count(), 1);
    EXPECT_EQ(Captions().front(), L" .. ");
    EXPECT_TRUE(TZelShellList::RecordOf(list->Items()->Item(0))->IsParentFolder());
    list->ColumnClick(0);
    ASSERT_TRUE(list->Descending());
    EXPECT_EQ(Captions().front(), L" .. ");

    list->SetSpecialFolder(SF_DESKTOP);
    for (const std::wstring& caption : Captions())
        EXPECT_NE(caption, L" .. ");
}

TEST_F(ShellListTest, ColumnClicksSortAscendingDescendingAscending)
{
    Show();
    list->SetShowFolders(false);
    const std::vector<std::wstring> ascending{L"alpha.txt", L"beta.txt", L"gamma.dat"};
    EXPECT_EQ(Captions(), ascending);
    list->ColumnClick(0);
    EXPECT_TRUE(list->Descending());
    EXPECT_EQ(Captions(), (std::vector<std::wstring>(ascending.rbegin(), ascending.rend())));
    list->ColumnClick(0);
    EXPECT_FALSE(list->Descending());
    EXPECT_EQ(Captions(), ascending);
    // Another column always starts ascending: by size the order is alpha, beta, gamma again.
    list->ColumnClick(1);
    EXPECT_FALSE(list->Descending());
    EXPECT_EQ(list->SortColumn(), 1);
    EXPECT_EQ(Captions(), ascending);
}

TEST_F(ShellListTest, DetailsOffLeavesOneColumn)
{
    Show();
    EXPECT_GT(list->Columns()->Count(), 1);
    list->SetDetails(false);
    EXPECT_EQ(list->Columns()->Count(), 1);
    EXPECT_EQ(list->ColumnCount(), 1);
}

TEST_F(ShellListTest, ColumnWidthsFollowPlainFoldersOnly)
{
    Show();
    list->Columns()->Items(0)->SetWidth(321);
    Show(L"docs");
    EXPECT_EQ(list->Columns()->Items(0)->Width(), 321);
    list->SetSpecialFolder(SF_DRIVES);
    Draw();
    EXPECT_NE(list->Columns()->Items(0)->Width(), 321);
}

TEST_F(ShellListTest, WritingTheCurrentPathAgainRefillsOnlyASmallList)
{
    Show();
    const int before = fullFills;
    list->SetPath(tree.Root());
    EXPECT_EQ(fullFills, before);
    Show(L"docs");
    ASSERT_EQ(list->Items()->Count(), 1);
    const int one = fullFills;
    list->SetPath(tree.Path(L"docs"));
    EXPECT_EQ(fullFills, one + 1);
}

TEST_F(ShellListTest, SelectionSurvivesAFullRefresh)
{
    Show();
    list->SetShowFolders(false);
    list->Items()->Item(1)->SetSelected(true);
    list->Items()->Item(2)->SetSelected(true);
    list->RefreshContents();
    EXPECT_EQ(list->SelectedNames(), (std::vector<std::wstring>{L"beta.txt", L"gamma.dat"}));
    EXPECT_FALSE(list->Items()->Item(0)->Selected());
}

TEST_F(ShellListTest, AnnouncedChangesUpdateTheListWithoutARefill)
{
    Show();
    const int before = fullFills;
    DeleteFileW(tree.Path(L"beta.txt").c_str());
    Announce(SHCNE_DELETE, tree.Path(L"beta.txt"));
    tree.File(L"zeta.txt");
    Announce(SHCNE_CREATE, tree.Path(L"zeta.txt"));
    PumpMessagesUntil([&] { return CaptionSet().count(L"zeta.txt") != 0; }, 3000);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"gamma.dat", L"docs", L"zeta.txt"}));
    EXPECT_EQ(Captions().back(), L"zeta.txt");  // appended, not sorted in
    EXPECT_EQ(fullFills, before);
}

// Named objects are looked up alone; a change to the folder as a whole reads it again.
TEST_F(ShellListTest, AListOfMoreThanThreeHundredItemsIsRefilledOnlyForUnnamedChanges)
{
    for (int index = 0; index < 301; ++index)
        tree.File(L"many\\f" + std::to_wstring(index));
    Show(L"many");
    const int before = fullFills;
    tree.File(L"many\\new");
    Announce(SHCNE_CREATE, tree.Path(L"many\\new"));
    PumpMessagesUntil([&] { return list->Items()->Count() == 302; }, 3000);
    EXPECT_EQ(list->Items()->Count(), 302);
    EXPECT_EQ(fullFills, before);
    Announce(SHCNE_UPDATEDIR, tree.Path(L"many"));
    PumpMessagesUntil([&] { return fullFills > before; }, 3000);
    EXPECT_EQ(fullFills, before + 1);
    EXPECT_EQ(list->Items()->Count(), 302);
}

// The pane stays as close as it can: on the nearest folder above that is still there.
TEST_F(ShellListTest, AVanishedFolderMovesTheListToItsNearestExistingParent)
{
    tree.Folder(L"docs\\inner\\deepest");
    Show(L"docs\\inner\\deepest");
    TTempTree::RemoveTree(tree.Path(L"docs\\inner"));
    Announce(SHCNE_UPDATEDIR, tree.Path(L"docs\\inner\\deepest"));
    // A folder the list watched goes only once its watch lets go: its parent may outlive it
    // for that moment, and then goes too.
    const std::wstring docs = IncludeTrailingBackslash(tree.Path(L"docs"));
    const std::wstring inner = IncludeTrailingBackslash(tree.Path(L"docs\\inner"));
    PumpMessagesUntil(
        [&] { return SameFileName(list->GetPath(), docs) || SameFileName(list->GetPath(), inner); },
        3000);
    if (SameFileName(list->GetPath(), inner)) {
        TTempTree::RemoveTree(tree.Path(L"docs\\inner"));
        Announce(SHCNE_UPDATEDIR, tree.Path(L"docs\\inner"));
    }
    PumpMessagesUntil([&] { return SameFileName(list->GetPath(), docs); }, 3000);
    EXPECT_EQ(list->GetPath(), docs);
    EXPECT_EQ(list->GetSpecialFolder(), SF_FILESYSTEMFOLDER);
}

TEST_F(ShellListTest, ThumbnailsSwitchToIconsAndBack)
{
    Show();
    list->SetThumbnails(true);
    EXPECT_EQ(list->GetViewStyle(), vsIcon);
    Draw();
    EXPECT_GT(list->ThumbnailImages()->Count(), 0);
    list->SetViewStyle(vsReport);
    EXPECT_FALSE(list->GetThumbnails());
    EXPECT_EQ(list->GetViewStyle(), vsReport);
}

TEST_F(ShellListTest, IconResultsApplyOnlyToLiveItems)
{
    Show();
    list->SetShowFolders(false);
    Draw();
    TListItem* item = list->Items()->Item(0);
    // A live item takes the result; an item that left the list is never touched.
    list->SetImage(7, kIconKindOverlay, item);
    EXPECT_EQ(item->OverlayIndex(), 7);
    list->SetImage(7, kIconKindNormal, reinterpret_cast<TListItem*>(0x1234));
    list->SetImage(-1, kIconKindNormal, item);
    EXPECT_NE(item->ImageIndex(), -1);
    item->Delete();
    list->SetImage(9, kIconKindNormal, item);  // stale owner: dropped
    PumpMessagesUntil([] { return WorkerPool == nullptr || WorkerPool->PendingCount() == 0; },
                      5000);
    EXPECT_EQ(list->Items()->Count(), 2);
}

TEST_F(ShellListTest, AThousandFilesShowTheirFirstScreenBeforeTheIcons)
{
    for (int index = 0; index < 2000; ++index)
        tree.File(L"many\\file" + std::to_wstring(index) + L".bin");
    list->SetPath(tree.Path(L"many"));
    UpdateWindow(list->Handle());
    ASSERT_EQ(list->Items()->Count(), 2000);
    const int top = ListView_GetTopIndex(list->Handle());
    TListItem* item = list->Items()->Item(top);
    EXPECT_NE(item->ImageIndex(), -1);  // a placeholder, already drawn
    ASSERT_NE(WorkerPool, nullptr);
    EXPECT_GT(WorkerPool->PendingCount(), 0);  // real icons still on their way
    PumpMessagesUntil([] { return WorkerPool->PendingCount() == 0; }, 10000);
}

TEST_F(ShellListTest, CheckedObjectsShowTheCheckedStateImage)
{
    tree.File(L"docs\\other.txt", 1);
    auto* link = new TZelShellLink(form.get());
    list->SetShellLink(link);
    list->SetCheckboxes(true);
    ASSERT_TRUE(list->GetCheckboxes());
    ASSERT_NE(list->StateImages(), nullptr);
    EXPECT_EQ(list->StateImages()->Count(), 5);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(
                  SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0)),
              list->StateImages()->Handle());
    link->SelectionList()->Check(tree.Path(L"alpha.txt"));
    link->SelectionList()->Check(tree.Path(L"docs\\inner.txt"));
    Show();
    TListItem* alpha = ItemNamed(L"alpha.txt");
    TListItem* beta = ItemNamed(L"beta.txt");
    TListItem* docs = ItemNamed(L"docs");
    ASSERT_TRUE(alpha && beta && docs);
    EXPECT_EQ(alpha->StateIndex(), ssChecked);
    EXPECT_EQ(beta->StateIndex(), ssUnChecked);
    EXPECT_EQ(docs->StateIndex(), ssGrayed);
    // What the window shows, not only what the item holds.
    // The window counts state images from 1, 0 being none.
    EXPECT_EQ(ListView_GetItemState(list->Handle(), alpha->Index(), LVIS_STATEIMAGEMASK) >> 12,
              static_cast<UINT>(ssChecked) + 1);

    list->SetCheckboxes(false);
    EXPECT_EQ(list->StateImages(), nullptr);
    EXPECT_EQ(SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0), 0);
}

TEST_F(ShellListTest, CheckboxesNeedALink)
{
    list->SetCheckboxes(true);
    EXPECT_FALSE(list->GetCheckboxes());
}

TEST_F(ShellListTest, OnCompareHasTheLastWord)
{
    Show();
    list->SetShowFolders(false);
    // Names backwards, whatever the column and the direction.
    list->OnCompare = [](TObject*, TListItem* first, TListItem* second, LPARAM, int& compare) {
        compare = second->Caption().compare(first->Caption());
    };
    const std::vector<std::wstring> backwards{L"gamma.dat", L"beta.txt", L"alpha.txt"};
    list->ColumnClick(1);
    EXPECT_EQ(Captions(), backwards);
    list->ColumnClick(1);
    EXPECT_TRUE(list->Descending());
    EXPECT_EQ(Captions(), backwards);
    list->OnCompare = nullptr;
    list->ColumnClick(0);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>(backwards.rbegin(), backwards.rend())));
}

TEST_F(ShellListTest, CompressedItemsAreDrawnBlueAndEncryptedGreen)
{
    list->SetColorCompressed(true);
    list->SetColorEncrypted(true);
    Show();
    list->SetShowFolders(false);
    Draw();
    // Wine keeps neither attribute on its files, so the marks are set as the display fill sets
    // them from the attributes, and the drawing is observed.
    TListItem* alpha = ItemNamed(L"alpha.txt");
    TListItem* beta = ItemNamed(L"beta.txt");
    TListItem* gamma = ItemNamed(L"gamma.dat");
    ASSERT_TRUE(alpha && beta && gamma);
    TZelShellList::RecordOf(alpha)->Compressed = true;
    TZelShellList::RecordOf(beta)->Encrypted = true;
    std::map<std::wstring, COLORREF> colours;
    list->OnCustomDrawItem = [&](TObject*, TListItem* item, TListViewDraw& draw, bool&) {
        colours[item->Caption()] = draw.TextColor;
    };
    InvalidateRect(list->Handle(), nullptr, TRUE);
    Draw();
    EXPECT_EQ(colours[L"alpha.txt"], RGB(0, 0, 255));
    EXPECT_EQ(colours[L"beta.txt"], RGB(0, 128, 0));
    ASSERT_TRUE(colours.count(L"gamma.dat"));
    EXPECT_NE(colours[L"gamma.dat"], RGB(0, 0, 255));
    EXPECT_NE(colours[L"gamma.dat"], RGB(0, 128, 0));
    // And the window shows it: blue letters in alpha's label, none in gamma's.
    const auto blue = [](BYTE red, BYTE green, BYTE blueness) {
        return red < 80 && green < 80 && blueness > 180;
    };
    RECT alphaLabel{}, gammaLabel{};
    ListView_GetItemRect(list->Handle(), alpha->Index(), &alphaLabel, LVIR_LABEL);
    ListView_GetItemRect(list->Handle(), gamma->Index(), &gammaLabel, LVIR_LABEL);
    EXPECT_GT(CountPixels(list->Handle(), blue, &alphaLabel), 0);
    EXPECT_EQ(CountPixels(list->Handle(), blue, &gammaLabel), 0);
}

// Not part of the suite: shows the list in report view, then as thumbnails, for a look at the
// virtual display (run with --gtest_also_run_disabled_tests and take screenshots meanwhile).
TEST_F(ShellListTest, DISABLED_ShowReportThenThumbnails)
{
    form->SetBounds(0, 0, 900, 600);
    list->SetBounds(0, 0, 880, 560);
    for (int index = 0; index < 30; ++index)
        tree.File(L"file" + std::to_wstring(index) + L".txt", index * 1000);
    list->SetColorCompressed(true);
    Show();
    if (TListItem* item = ItemNamed(L"alpha.txt"))
        TZelShellList::RecordOf(item)->Compressed = true;
    list->Invalidate();
    PumpMessages(6000);
    list->SetThumbnails(true);
    PumpMessages(6000);
}

}  // namespace

namespace {

// A folder with more details columns than the shell's own (some extensions add dozens).
class TManyColumnsList : public TZelShellList {
public:
    using TZelShellList::TZelShellList;

protected:
    void CreateColumns() override
    {
        TZelShellList::CreateColumns();
        while (Columns()->Count() < 40)
            Columns()->Add()->SetCaption(L"Extra " + std::to_wstring(Columns()->Count()));
    }
};

class ShellListManyColumnsTest : public ShellListFixture {
protected:
    TZelShellList* MakeList() override { return new TManyColumnsList(form.get()); }
};

TEST_F(ShellListManyColumnsTest, SortingByAColumnPastTheFolderColumnsComparesTexts)
{
    Show();
    list->SetShowFolders(false);
    ASSERT_EQ(list->Columns()->Count(), 40);
    ASSERT_LT(list->ColumnCount(), 34);
    // Column 35 has no text at all: every item equals every other, and nothing breaks.
    list->ColumnClick(35);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat"}));
    list->RefreshContents();
    EXPECT_EQ(list->SortColumn(), 35);
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat"}));
    // With a handler every column sorts by texts, the handler having the last word.
    list->OnCompare = [](TObject*, TListItem* first, TListItem* second, LPARAM column,
                         int& compare) {
        EXPECT_EQ(column, 33);
        compare = second->Caption().compare(first->Caption());
    };
    list->ColumnClick(33);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"gamma.dat", L"beta.txt", L"alpha.txt"}));
}

}  // namespace

namespace {

// A folder that answers a header for every column number; widths by `shown`.
struct TEndlessColumns {
    std::wstring DetailsText(int column, bool)
    {
        if (++asked > 100000)
            throw std::runtime_error("the walk over the columns does not end");
        return L"Column " + std::to_wstring(column);
    }
    TColumnAlignment ColumnInfo(int column, int& width)
    {
        width = shown(column) ? 50 : 0;
        return TColumnAlignment::LeftJustify;
    }
    std::function<bool(int)> shown;
    int asked = 0;
};

TEST(ShellListColumns, AFolderWithoutEndToItsColumnsStillEnds)
{
    TEndlessColumns everyOther{[](int column) { return column % 2 == 0; }};
    const auto columns = CollectShownColumns(everyOther, true, TZelShellList::kMaxColumns);
    ASSERT_EQ(columns.size(), static_cast<size_t>(TZelShellList::kMaxColumns));
    EXPECT_EQ(columns[1].Details, 2);
    EXPECT_EQ(columns[1].Caption, L"Column 2");
    // Hidden columns count against the limit too, or a folder of them would never end.
    TEndlessColumns onlyTheFirst{[](int column) { return column == 0; }};
    EXPECT_EQ(CollectShownColumns(onlyTheFirst, true, TZelShellList::kMaxColumns).size(), 1u);
    EXPECT_LE(onlyTheFirst.asked, kMaxDetailsColumns);
    // Without details only the name column is asked for.
    TEndlessColumns names{[](int) { return true; }};
    EXPECT_EQ(CollectShownColumns(names, false, TZelShellList::kMaxColumns).size(), 1u);
    EXPECT_EQ(names.asked, 1);
}

}  // namespace
