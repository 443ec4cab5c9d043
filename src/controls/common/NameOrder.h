#pragma once
// Orders the objects of one folder as a stable sort by the folder's own comparison of the name
// column gives, with far fewer calls into the folder: the objects are ordered by a sort key of
// their names (folders first), and the folder then confirms each neighbouring pair. When it does
// not (another collation, names in another form), the caller sorts by the folder as before.
#include "core/IDListPtr.h"

#include <shlobj.h>

#include <string>
#include <vector>

struct TNameOrderEntry {
    TBorrowedIDList IDList = nullptr;  // relative to the folder
    bool Folder = false;
    std::wstring Name;  // the object's file name
};

// `order` receives the entries' indexes in the folder's order (`direction` 1 or -1, ties in
// the given order). False when the order could not be confirmed; `order` is then unspecified.
bool OrderByName(IShellFolder* folder, const std::vector<TNameOrderEntry>& entries, int direction,
                 std::vector<size_t>& order);
