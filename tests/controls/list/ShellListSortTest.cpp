// Sorting the shell list by its columns: by the values each column shows, in both directions,
// through clicks on the header, whatever the folder's own comparison does with the column.
#include "common/ComparisonFolder.h"
#include "common/Input.h"
#include "controls/common/ColumnOrder.h"
#include "controls/list/ShellListFixture.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

FILETIME TimeOf(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = 12;
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return file;
}

// Sizes, types and times all order the files differently from their names and from one another.
struct TSortedFile {
    const wchar_t* name;
    uint64_t size;
    WORD year;
};
const TSortedFile kFiles[] = {
    {L"img10.png", 300, 2021}, {L"img2.png", 100, 2023},  {L"notes.txt", 5000, 2020},
    {L"alpha.log", 20, 2024},  {L"zeta.dat", 1000, 2022},
};

constexpr wchar_t kParent[] = L" .. ";

class ShellListSortTest : public ShellListFixture {
protected:
    void SetUp() override
    {
        ShellListFixture::SetUp();
        for (const TSortedFile& file : kFiles) {
            tree.File(std::wstring(L"sorted\\") + file.name, file.size);
            tree.SetModifiedTime(std::wstring(L"sorted\\") + file.name, TimeOf(file.year, 6, 1));
        }
        tree.Folder(L"sorted\\sub");
        tree.SetModifiedTime(L"sorted\\sub", TimeOf(2019, 6, 1));
    }

    // The list column that shows the file-system property (0: the name column).
    int ColumnShowing(DWORD property)
    {
        for (int column = 0; column < list->ColumnCount(); ++column)
            if (property == 0 ? list->ColumnMap(column) == 0
                              : StoragePropertyOf(list->Browser().ShellFolder(),
                                                  list->ColumnMap(column)) == property)
                return column;
        ADD_FAILURE() << "no column shows property " << property;
        return 0;
    }
    void ClickHeader(int column)
    {
        const HWND header = list->HeaderHandle();
        RECT rect{};
        ASSERT_TRUE(Header_GetItemRect(header, column, &rect));
        ClickAt(header, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        FlushInput();
        Draw();
    }
    // Clicks the column's header until the list sorts by it in that direction.
    void SortBy(int column, bool descending)
    {
        for (int click = 0; click < 2; ++click) {
            if (list->SortColumn() == column && list->Descending() == descending)
                return;
            ClickHeader(column);
        }
        ASSERT_EQ(list->SortColumn(), column);
        ASSERT_EQ(list->Descending(), descending);
    }
    // The header's sort mark on a column: 1 up, -1 down, 2 the arrow bitmap, 0 none.
    int SortMark(int column)
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(list->HeaderHandle(), column, &item);
        if ((item.fmt & HDF_SORTUP) != 0)
            return 1;
        if ((item.fmt & HDF_SORTDOWN) != 0)
            return -1;
        return (item.fmt & HDF_BITMAP) != 0 ? 2 : 0;
    }
};

struct TColumnCase {
    const char* column;
    DWORD property;  // 0: the name column
    std::vector<std::wstring> ascending;
};

TEST_F(ShellListSortTest, EveryColumnOrdersByItsValuesInBothDirections)
{
    // Under Wine the folder compares names whatever the column; probed or forced, the list
    // orders by the values.
    const TColumnCase cases[] = {
        {"name", 0, {L"sub", L"alpha.log", L"img2.png", L"img10.png", L"notes.txt", L"zeta.dat"}},
        {"size",
         kSizeProperty,
         {L"sub", L"alpha.log", L"img2.png", L"img10.png", L"zeta.dat", L"notes.txt"}},
        {"type",
         kTypeProperty,
         {L"sub", L"zeta.dat", L"alpha.log", L"img2.png", L"img10.png", L"notes.txt"}},
        {"modified",
         kWriteTimeProperty,
         {L"sub", L"notes.txt", L"img10.png", L"zeta.dat", L"img2.png", L"alpha.log"}},
    };
    list->SetShowParentFolder(true);
    for (const TColumnComparer comparer : {TColumnComparer::Probe, TColumnComparer::Values}) {
        list->ColumnComparer = comparer;
        Show(L"sorted");
        for (const TColumnCase& row : cases) {
            const int column = ColumnShowing(row.property);
            for (const bool descending : {false, true}) {
                SCOPED_TRACE(std::string(row.column) + (descending ? " descending" : " ascending") +
                             (comparer == TColumnComparer::Probe ? ", probed" : ", forced"));
                std::vector<std::wstring> expected{kParent};
                if (descending)
                    expected.insert(expected.end(), row.ascending.rbegin(), row.ascending.rend());
                else
                    expected.insert(expected.end(), row.ascending.begin(), row.ascending.end());
                SortBy(column, descending);
                EXPECT_EQ(Captions(), expected);
                EXPECT_EQ(SortMark(column) == -1, descending);
                EXPECT_NE(SortMark(column), 0);
                for (int other = 0; other < list->Columns()->Count(); ++other)
                    EXPECT_TRUE(other == column || SortMark(other) == 0) << "column " << other;
                // A refill keeps the order.
                list->RefreshContents();
                EXPECT_EQ(Captions(), expected);
            }
        }
    }
}

TEST_F(ShellListSortTest, ForcedToTheFolderTheListKeepsTheFolderOrder)
{
    list->ColumnComparer = TColumnComparer::Folder;
    Show(L"sorted");
    const int column = ColumnShowing(kSizeProperty);
    SortBy(column, false);
    // What a stable sort by the folder's own comparison of that column gives.
    IShellFolder* folder = list->Browser().ShellFolder();
    std::vector<TOwnedIDList> objects;
    for (int index = 0; index < list->Items()->Count(); ++index)
        objects.push_back(
            CopyIDList(TZelShellList::RecordOf(list->Items()->Item(index))->IDList()));
    std::vector<size_t> order(objects.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t first, size_t second) {
        const HRESULT result = folder->CompareIDs(list->ColumnMap(column), objects[first].get(),
                                                  objects[second].get());
        return static_cast<short>(HRESULT_CODE(result)) < 0;
    });
    const std::vector<std::wstring> shown = Captions();
    std::vector<std::wstring> expected;
    for (const size_t index : order)
        expected.push_back(shown[index]);
    EXPECT_EQ(shown, expected);
    // Under Wine that is not the order of sizes, which the probed list gives.
    list->ColumnComparer = TColumnComparer::Probe;
    list->Sort();
    EXPECT_NE(Captions(), shown);
}

TEST_F(ShellListSortTest, EqualValuesAreOrderedByNameInTheLogicalOrder)
{
    // Nothing but the names tells these files apart, by size or by type.
    for (const wchar_t* name : {L"img10.png", L"img2.png", L"img1.png"})
        tree.File(std::wstring(L"same\\") + name, 64);
    Show(L"same");
    for (const DWORD property : {kSizeProperty, kTypeProperty}) {
        SCOPED_TRACE(property);
        SortBy(ColumnShowing(property), false);
        EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"img1.png", L"img2.png", L"img10.png"}));
        SortBy(ColumnShowing(property), true);
        EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"img10.png", L"img2.png", L"img1.png"}));
    }
}

TEST_F(ShellListSortTest, NamesFollowTheLogicalOrderInAFolderOfMany)
{
    // More names than the probe looks at, digits anywhere, and names that differ in case only.
    std::vector<std::wstring> names;
    for (int number = 1; number <= 320; ++number)
        names.push_back(L"img" + std::to_wstring(number) + L".jpg");
    for (const wchar_t* name : {L"IMG_5.jpg", L"img_40.jpg", L"a01.txt", L"a1b.txt", L"a 1.txt",
                                L"x-y.txt", L"xy.txt", L"10.txt", L"9.txt", L"\u00e9t\u00e9.txt"})
        names.push_back(name);
    for (const std::wstring& name : names)
        tree.File(L"many\\" + name);
    tree.Folder(L"many\\dir10");
    tree.Folder(L"many\\dir9");
    Show(L"many");
    std::vector<std::wstring> shown = Captions();
    ASSERT_EQ(shown.size(), names.size() + 2);
    EXPECT_EQ(shown[0], L"dir9");
    EXPECT_EQ(shown[1], L"dir10");
    for (size_t place = 3; place < shown.size(); ++place)
        EXPECT_LE(CompareNames(shown[place - 1], shown[place]), 0)
            << "\"" << std::string(shown[place - 1].begin(), shown[place - 1].end())
            << "\" before \"" << std::string(shown[place].begin(), shown[place].end()) << "\"";
    const auto at = [&](const wchar_t* name) {
        return std::find(shown.begin(), shown.end(), name) - shown.begin();
    };
    EXPECT_LT(at(L"img2.jpg"), at(L"img10.jpg"));
    EXPECT_LT(at(L"img99.jpg"), at(L"img100.jpg"));

    ClickHeader(0);
    ASSERT_TRUE(list->Descending());
    shown = Captions();
    EXPECT_EQ(shown[shown.size() - 2], L"dir10");
    EXPECT_EQ(shown.back(), L"dir9");
    EXPECT_GT(at(L"img2.jpg"), at(L"img10.jpg"));
}

// The probe, against the folder under test (Wine's, which compares names whatever the column,
// and not in the logical order) and against folders that order as Windows' does.
class FolderComparisonProbeTest : public ShellListSortTest {
protected:
    void SetUp() override
    {
        ShellListSortTest::SetUp();
        tree.File(L"sorted\\img1.png", 200);
        Show(L"sorted");
        folder = list->Browser().ShellFolder();
        for (int index = 0; index < list->Items()->Count(); ++index)
            objects.push_back(TZelShellList::RecordOf(list->Items()->Item(index))->IDList());
    }
    std::vector<TColumnValue> Values(TColumnValueReader& reader)
    {
        std::vector<TColumnValue> values;
        for (int index = 0; index < list->Items()->Count(); ++index)
            values.push_back(
                reader.Read(objects[static_cast<size_t>(index)],
                            TZelShellList::RecordOf(list->Items()->Item(index))->Folder));
        return values;
    }

    IShellFolder* folder = nullptr;
    std::vector<TBorrowedIDList> objects;
};

TEST_F(FolderComparisonProbeTest, TellsAFolderThatOrdersByTheColumnFromOneThatDoesNot)
{
    for (const DWORD property : {DWORD{0}, kSizeProperty, kTypeProperty, kWriteTimeProperty}) {
        SCOPED_TRACE(property);
        const int details = list->ColumnMap(ColumnShowing(property));
        TColumnValueReader reader(folder, details);
        const std::vector<TColumnValue> values = Values(reader);
        EXPECT_EQ(ProbeFolderComparison(folder, details, objects, values, reader.Kind()),
                  TColumnComparer::Values);
        // A folder that orders by the column (folders first, then the values, then the names
        // in the logical order), as Windows' file-system folder does.
        TComparingFolder ordering(
            folder, [&](LPARAM column, PCUIDLIST_RELATIVE first, PCUIDLIST_RELATIVE second) {
                TColumnValueReader by(folder, static_cast<int>(column));
                const TColumnValue one = by.Read(first, false);
                const TColumnValue other = by.Read(second, false);
                const bool folder1 = one.Name == L"sub";
                const bool folder2 = other.Name == L"sub";
                if (folder1 != folder2)
                    return folder1 ? -1 : 1;
                if (one.Number != other.Number)
                    return one.Number < other.Number ? -1 : 1;
                if (const int text = CompareNames(one.Text, other.Text); text != 0)
                    return text;
                return CompareNames(one.Name, other.Name);
            });
        EXPECT_EQ(ProbeFolderComparison(&ordering, details, objects, values, reader.Kind()),
                  TColumnComparer::Folder);
    }
}

TEST_F(FolderComparisonProbeTest, ObjectsThatShowNothingLeaveTheQuestionOpen)
{
    // Two objects whose sizes and names agree: any comparison would order them so.
    const int details = list->ColumnMap(ColumnShowing(kSizeProperty));
    TColumnValueReader reader(folder, details);
    const std::vector<TColumnValue> all = Values(reader);
    std::vector<TBorrowedIDList> two;
    std::vector<TColumnValue> values;
    for (size_t index = 0; index < all.size(); ++index)
        if (all[index].Name == L"img1.png" || all[index].Name == L"img10.png") {
            two.push_back(objects[index]);
            values.push_back(all[index]);
        }
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(ProbeFolderComparison(folder, details, two, values, reader.Kind()),
              TColumnComparer::Probe);
}

TEST_F(FolderComparisonProbeTest, TheFolderConfirmsOnlyTheOrderItsOwnSortGives)
{
    const int details = list->ColumnMap(ColumnShowing(kSizeProperty));
    std::vector<size_t> sorted(objects.size());
    std::iota(sorted.begin(), sorted.end(), size_t{0});
    std::stable_sort(sorted.begin(), sorted.end(), [&](size_t first, size_t second) {
        return static_cast<short>(
                   HRESULT_CODE(folder->CompareIDs(details, objects[first], objects[second]))) < 0;
    });
    EXPECT_TRUE(FolderConfirmsOrder(folder, details, objects, sorted, 1));
    EXPECT_FALSE(FolderConfirmsOrder(folder, details, objects, sorted, -1));
    std::vector<size_t> reversed(sorted.rbegin(), sorted.rend());
    EXPECT_TRUE(FolderConfirmsOrder(folder, details, objects, reversed, -1));
    // Where the folder finds objects equal, a stable sort keeps them as they were.
    TComparingFolder allEqual(folder,
                              [](LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) { return 0; });
    std::vector<size_t> given(objects.size());
    std::iota(given.begin(), given.end(), size_t{0});
    EXPECT_TRUE(FolderConfirmsOrder(&allEqual, details, objects, given, 1));
    std::swap(given[1], given[2]);
    EXPECT_FALSE(FolderConfirmsOrder(&allEqual, details, objects, given, 1));
}

}  // namespace
