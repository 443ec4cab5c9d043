// TZelShellList: ordering the items (the folder's own comparison, " .. " first), column clicks
// and the sort marks in the header.
#include "controls/ShellList.h"

#include "core/CallbackException.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"

#include <uxtheme.h>

#include <algorithm>

namespace {

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
    const LPARAM key = folder != nullptr ? reinterpret_cast<LPARAM>(folder) : sortColumn_;
    CustomSort([this, key, folder](TListItem* first, TListItem* second) {
        return CompareItems(first, second, key, folder);
    });
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
