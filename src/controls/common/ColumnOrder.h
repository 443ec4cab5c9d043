#pragma once
// Ordering a folder's objects by a details column when the folder's own comparison does not
// order by it. Wine's file-system folder answers CompareIDs by name whatever the column, and
// by a plain name order where Windows puts "img2" before "img10". Whether a folder does so is
// found out from the folder itself (a probe with two of its objects), never assumed from the
// platform, so that a folder that does order by the column keeps doing the ordering.
#include "controls/common/ColumnValues.h"
#include "core/IDListPtr.h"

#include <shlobj.h>

#include <vector>

// Whose comparison orders the objects by a column.
enum class TColumnComparer {
    Probe,   // as the probe finds: the folder's, unless the folder is seen not to order so
    Folder,  // the folder's CompareIDs
    Values,  // the list's own, of the column's values
};

// Indexes of `values` in the order of the column: folders first, then by the value (numbers
// as numbers, texts and names in the logical order), ties by name in the logical order, then
// as given; all of it reversed for `direction` -1, as the folder's comparison would be.
std::vector<size_t> OrderByColumnValues(const std::vector<TColumnValue>& values,
                                        TColumnValueKind kind, int direction);

// Whether `order` is the order a stable sort of `objects` by the folder's comparison of `column`
// gives (`direction` 1 or -1): each neighbouring pair in order, ties in their given order.
// Asks the folder once per pair, a fraction of what a sort asks.
bool FolderConfirmsOrder(IShellFolder* folder, int column,
                         const std::vector<TBorrowedIDList>& objects,
                         const std::vector<size_t>& order, int direction);

// Whether the folder's comparison of `column` orders by the column (Folder) or by something
// else (Values), seen from a pair of the objects given (`objects[i]` has `values[i]`) whose
// values and whose names order them opposite ways (for the name column: whose logical and
// plain orders differ). Probe when no such pair is among them.
TColumnComparer ProbeFolderComparison(IShellFolder* folder, int column,
                                      const std::vector<TBorrowedIDList>& objects,
                                      const std::vector<TColumnValue>& values,
                                      TColumnValueKind kind);
