// TZelShellList: ordering the items (the folder's own comparison, or the column's values where
// the folder does not order by the column; " .. " first), column clicks and the sort marks in
// the header.
#include "controls/list/ShellList.h"

#include "core/CallbackException.h"
#include "core/ScopedResource.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"

#include <shlobj.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstring>

namespace {

// Objects a probe looks at, spread over the folder.
constexpr size_t kProbeObjects = 256;

// The system draws the header with visual styles (common controls 6 and an active theme).
bool HeaderIsThemed(HWND header)
{
    if (!IsThemeActive() || !IsAppThemed())
        return false;
    const HTHEME theme = OpenThemeData(header, L"HEADER");
    if (theme == nullptr)
        return false;
    CloseThemeData(theme);
    return true;
}

}  // namespace

int TZelShellList::CompareItems(TListItem* item1, TListItem* item2, LPARAM key,
                                IShellFolder* folder)
{
    const TZelShellListItem* record1 = RecordOf(item1);
    const TZelShellListItem* record2 = RecordOf(item2);
    if (record1->IsParentFolder())
        return -1;
    if (record2->IsParentFolder())
        return 1;
    if (folder != nullptr) {
        const HRESULT result =
            folder->CompareIDs(static_cast<LPARAM>(columnMap_[static_cast<size_t>(sortColumn_)]),
                               record1->IDList(), record2->IDList());
        if (FAILED(result))
            return 0;
        return static_cast<short>(HRESULT_CODE(result)) * sortDirection_;
    }
    int compare;
    const int column = static_cast<int>(key);
    if (column != 0 && GetViewStyle() == vsReport) {
        EnsureSubItems(item1);
        EnsureSubItems(item2);
        const std::wstring text1 = item1->SubItem(column - 1);
        const std::wstring text2 = item2->SubItem(column - 1);
        compare = CompareTextForDisplay(text1, text2) * sortDirection_;
    } else {
        compare = CompareNames(item1->Caption(), item2->Caption()) * sortDirection_;
    }
    CallEventHandler(OnCompare, this, item1, item2, key, compare);
    return compare;
}

// The list view's sort is a merge sort: whatever a folder's comparison or a handler answers,
// it never reads outside the items.
void TZelShellList::SortItems()
{
    if (Items()->Count() == 0)
        return;
    if (sortColumn_ >= std::max(1, Columns()->Count()))
        sortColumn_ = 0;
    sortDirection_ = descending_ ? -1 : 1;
    // Said outright rather than told from the key's size: a list may have more columns than
    // any bound between column numbers and pointers.
    IShellFolder* folder = browser_->ShellFolder();
    if (sortColumn_ >= columnCount_ || OnCompare)
        folder = nullptr;
    if (folder != nullptr) {
        std::vector<TZelShellListItem*> records;
        records.reserve(static_cast<size_t>(Items()->Count()));
        for (int index = 0; index < Items()->Count(); ++index)
            if (TZelShellListItem* record = RecordOf(Items()->Item(index));
                !record->IsParentFolder())
                records.push_back(record);
        std::vector<size_t> order;
        if (OrderByOwnValues(records, order)) {
            for (size_t place = 0; place < order.size(); ++place)
                records[order[place]]->SortRank = place + 1;
            // " .. " keeps rank 0: first in both directions.
            CustomSort([](TListItem* first, TListItem* second) {
                const size_t rank1 = RecordOf(first)->SortRank;
                const size_t rank2 = RecordOf(second)->SortRank;
                return rank1 < rank2 ? -1 : (rank1 > rank2 ? 1 : 0);
            });
            return;
        }
    }
    const LPARAM key = folder != nullptr ? reinterpret_cast<LPARAM>(folder) : sortColumn_;
    CustomSort([this, key, folder](TListItem* first, TListItem* second) {
        return CompareItems(first, second, key, folder);
    });
}

bool TZelShellList::OrderByOwnValues(const std::vector<TZelShellListItem*>& records,
                                     std::vector<size_t>& order)
{
    IShellFolder* folder = browser_->ShellFolder();
    if (folder == nullptr || sortColumn_ >= columnCount_ || records.size() < 2)
        return false;
    const int details = columnMap_[static_cast<size_t>(sortColumn_)];
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    TColumnValueReader reader(folder, details);
    const TColumnComparer comparer = ComparerFor(details, reader, records);
    // The folder's order of names has its own quick path (OrderByName).
    if (comparer != TColumnComparer::Values && details == 0)
        return false;
    std::vector<TColumnValue> values;
    values.reserve(records.size());
    for (const TZelShellListItem* record : records)
        values.push_back(reader.Read(record->IDList(), record->Folder));
    const int direction = descending_ ? -1 : 1;
    order = OrderByColumnValues(values, reader.Kind(), direction);
    if (comparer == TColumnComparer::Values)
        return true;
    // The folder orders: where it confirms this order pair by pair, its own sort gives the same.
    std::vector<TBorrowedIDList> objects;
    objects.reserve(records.size());
    for (const TZelShellListItem* record : records)
        objects.push_back(record->IDList());
    return FolderConfirmsOrder(folder, details, objects, order, direction);
}

TColumnComparer TZelShellList::ComparerFor(int details, TColumnValueReader& reader,
                                           const std::vector<TZelShellListItem*>& records)
{
    if (ColumnComparer != TColumnComparer::Probe)
        return ColumnComparer;
    // Where the logical order of names is turned off by policy, the folder's order stands.
    if (details == 0 && SHRestricted(REST_NOSTRCMPLOGICAL) != 0)
        return TColumnComparer::Folder;
    // What a folder does is its own: another folder is probed anew.
    const TBorrowedIDList folder = FolderIDList();
    const UINT size = IDListSize(folder);
    if (!comparersFolder_ || IDListSize(comparersFolder_) != size ||
        std::memcmp(comparersFolder_.get(), folder, size) != 0) {
        folderComparers_.clear();
        comparersFolder_ = CopyIDList(folder);
    }
    if (const auto known = folderComparers_.find(details); known != folderComparers_.end())
        return known->second;
    std::vector<TBorrowedIDList> objects;
    std::vector<TColumnValue> values;
    const size_t step = std::max<size_t>(1, records.size() / kProbeObjects);
    for (size_t index = 0; index < records.size(); index += step) {
        objects.push_back(records[index]->IDList());
        values.push_back(reader.Read(records[index]->IDList(), records[index]->Folder));
    }
    const TColumnComparer found =
        ProbeFolderComparison(browser_->ShellFolder(), details, objects, values, reader.Kind());
    if (found != TColumnComparer::Probe) {
        folderComparers_[details] = found;
        return found;
    }
    // The values tell the objects apart nowhere the names do not: the names order them, and
    // whoever orders names best orders them. The question stays open for the next sort.
    if (details != 0) {
        TColumnValueReader names(browser_->ShellFolder(), 0);
        return ComparerFor(0, names, records);
    }
    return found;
}

void TZelShellList::Sort()
{
    SortItems();
    DrawSortArrows();
}

void TZelShellList::ColumnClick(int column)
{
    descending_ = column == sortColumn_ && !descending_;
    sortColumn_ = column;
    Sort();
}

void TZelShellList::ColClick(TListColumn* column)
{
    ColumnClick(column->Index());
    TListView::ColClick(column);
}

void TZelShellList::DrawSortArrows()
{
    const HWND header = HeaderHandle();
    if (header == nullptr)
        return;
    const bool themed = HeaderIsThemed(header);
    const int count = Header_GetItemCount(header);
    for (int column = 0; column < count; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, column, &item))
            continue;
        const int before = item.fmt;
        if (themed) {
            item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
            if (column == sortColumn_)
                item.fmt |= descending_ ? HDF_SORTDOWN : HDF_SORTUP;
        } else {
            item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
            if (column == sortColumn_) {
                item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
                item.mask |= HDI_BITMAP;
                item.hbm = static_cast<HBITMAP>(descending_ ? arrowDown_.get() : arrowUp_.get());
            }
        }
        if (item.fmt != before || (item.mask & HDI_BITMAP) != 0)
            Header_SetItem(header, column, &item);
    }
}
