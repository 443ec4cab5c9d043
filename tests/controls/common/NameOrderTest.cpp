// The quick order by name agrees with a stable sort by the folder's own comparison, and gives
// up rather than accept an order the folder denies.
#include "controls/common/NameOrder.h"

#include "common/ComparisonFolder.h"
#include "common/TempTree.h"
#include "controls/list/ShellListFixture.h"
#include "core/ComPtr.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

class NameOrderTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name :
             {L"b.txt",          L"A.txt",           L"file10.txt",   L"file2.txt",
              L"_under.txt",     L"-dash.txt",       L"x y.txt",      L"x-y.txt",
              L"9.txt",          L"~tilde.txt",      L"apple",        L"Apple pie.txt",
              L"\u00c4rger.txt", L"stra\u00dfe.txt", L"strasse2.txt", L"\u6570.txt",
              L"a.b.c",          L"UPPER.TXT",       L"lower.txt",    L"z"})
            tree.File(name);
        for (const wchar_t* name : {L"Zeta", L"a folder", L"10 folder", L"\u00e9t\u00e9"})
            tree.Folder(name);
        const TOwnedIDList list = IDListFromPath(nullptr, tree.Root());
        ASSERT_TRUE(list);
        ASSERT_HRESULT_SUCCEEDED(DesktopFolder->BindToObject(
            list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.GetAddressOf())));
        TComPtr<IEnumIDList> enumerator;
        ASSERT_HRESULT_SUCCEEDED(folder->EnumObjects(
            nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
            enumerator.GetAddressOf()));
        for (;;) {
            TOwnedIDList item;
            if (enumerator->Next(1, item.put(), nullptr) != S_OK)
                break;
            WIN32_FIND_DATAW data{};
            ASSERT_HRESULT_SUCCEEDED(
                SHGetDataFromIDListW(folder.Get(), item, SHGDFIL_FINDDATA, &data, sizeof(data)));
            entries.push_back({item.get(), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                               data.cFileName});
            lists.push_back(std::move(item));
        }
        ASSERT_EQ(entries.size(), 24u);
    }

    // What a stable sort by the folder's comparison gives.
    std::vector<size_t> FolderOrder(IShellFolder* by, int direction)
    {
        std::vector<size_t> order(entries.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](size_t first, size_t second) {
            const HRESULT result = by->CompareIDs(0, entries[first].IDList, entries[second].IDList);
            return static_cast<short>(HRESULT_CODE(result)) * direction < 0;
        });
        return order;
    }

    TTempTree tree;
    TComPtr<IShellFolder> folder;
    std::vector<TOwnedIDList> lists;
    std::vector<TNameOrderEntry> entries;
};

TEST_F(NameOrderTest, AgreesWithTheFolderInBothDirections)
{
    for (const int direction : {1, -1}) {
        std::vector<size_t> order;
        const bool confirmed = OrderByName(folder.Get(), entries, direction, order);
        if (confirmed) {
            EXPECT_EQ(order, FolderOrder(folder.Get(), direction)) << direction;
        }
        // Plain names are confirmed, or the quick order would never help.
        std::vector<TNameOrderEntry> plain;
        for (const TNameOrderEntry& entry : entries)
            if (entry.Name.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz.") == std::wstring::npos)
                plain.push_back(entry);
        ASSERT_GE(plain.size(), 4u);
        ASSERT_TRUE(OrderByName(folder.Get(), plain, direction, order)) << direction;
        entries.swap(plain);
        EXPECT_EQ(order, FolderOrder(folder.Get(), direction)) << direction;
        entries.swap(plain);
    }
}

TEST_F(NameOrderTest, GivesUpWhenTheFolderDisagreesOrANameIsMissing)
{
    std::vector<size_t> order;
    TComparingFolder reversed(folder.Get(), [&](LPARAM column, auto first, auto second) {
        return static_cast<short>(HRESULT_CODE(folder->CompareIDs(column, second, first)));
    });
    EXPECT_FALSE(OrderByName(&reversed, entries, 1, order));

    // All equal to the folder: only the walk's own order is its stable sort.
    TComparingFolder equal(folder.Get(), [](LPARAM, auto, auto) { return 0; });
    if (OrderByName(&equal, entries, 1, order)) {
        EXPECT_EQ(order, FolderOrder(&equal, 1));
    }

    std::vector<TNameOrderEntry> unnamed = entries;
    unnamed[3].Name.clear();
    EXPECT_FALSE(OrderByName(folder.Get(), unnamed, 1, order));
    EXPECT_FALSE(OrderByName(nullptr, entries, 1, order));
}

// The list fills a file-system folder in the folder's order, by name both ways.
TEST_F(ShellListFixture, FillOrderIsTheFoldersOrderByName)
{
    for (const wchar_t* name :
         {L"file10.txt", L"File2.txt", L"x-y.txt", L"x y.txt", L"9.txt", L"\u00c4rger.txt"})
        tree.File(name);
    tree.Folder(L"Zeta");
    tree.Folder(L"a folder");
    // The folder orders the names here, as it does wherever it orders them logically (Wine's
    // does not, and the probed list orders them itself: ShellListSortTest).
    list->ColumnComparer = TColumnComparer::Folder;
    Show();
    for (const bool descending : {false, true}) {
        if (descending)
            list->ColumnClick(0);
        ASSERT_EQ(list->Descending(), descending);
        list->RefreshContents();
        TComPtr<IShellFolder> shown;
        const TOwnedIDList path = IDListFromPath(nullptr, tree.Root());
        ASSERT_HRESULT_SUCCEEDED(DesktopFolder->BindToObject(
            path, nullptr, IID_IShellFolder, reinterpret_cast<void**>(shown.GetAddressOf())));
        const int count = list->Items()->Count();
        ASSERT_GT(count, 10);
        for (int index = 1; index < count; ++index) {
            const HRESULT result = shown->CompareIDs(
                0, TZelShellList::RecordOf(list->Items()->Item(index - 1))->IDList(),
                TZelShellList::RecordOf(list->Items()->Item(index))->IDList());
            EXPECT_LE(static_cast<short>(HRESULT_CODE(result)) * (descending ? -1 : 1), 0) << index;
        }
    }
}

}  // namespace
