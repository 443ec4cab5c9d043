#pragma once
// Operations on shell ID lists. A null list is legal everywhere and means "no object" (it is
// not the desktop). Every TOwnedIDList returned is a new block the caller owns.
#include "core/IDListPtr.h"

#include <shlobj.h>

#include <string>

// A zero-filled block from CoTaskMemAlloc; null when the allocation fails.
TOwnedIDList AllocZeroed(size_t size);

// Total bytes including the terminator; 0 for null. For lists the shell gave us: these walk
// until the terminator.
UINT IDListSize(TBorrowedIDList list);
// Number of items; 0 for null and for the empty list.
int IDListItemCount(TBorrowedIDList list);
TOwnedIDList CopyIDList(TBorrowedIDList list);

// For list bytes from outside (a data object, the clipboard, a shell extension) that may be
// read in `capacity` bytes: the list's size, or 0 when it does not end properly within them.
UINT IDListSizeWithin(const void* data, size_t capacity);
// A copy of such a list; null when it is malformed.
TOwnedIDList CopyIDListWithin(const void* data, size_t capacity);
TOwnedIDList ConcatIDLists(TBorrowedIDList first, TBorrowedIDList second);
// One-item copy of item `index`; the empty list when index equals the count; null past it.
TOwnedIDList IDListItem(TBorrowedIDList list, int index);
// Copy cut after the first `count` items.
TOwnedIDList IDListHead(TBorrowedIDList list, int count);
TOwnedIDList IDListLastItem(TBorrowedIDList list);

// True when the desktop folder's CompareIDs (parameter 0) finds the two absolute lists equal.
bool SameIDLists(TBorrowedIDList first, TBorrowedIDList second);

// File-system path of an absolute list, whole at any length (never cut to a buffer); empty
// for null, for an object without a path, and when the whole path cannot be told.
std::wstring PathFromIDList(TBorrowedIDList list);

// PathFromIDList for code that must have a real file-system path: also empty for the
// "::{GUID}" text Wine gives virtual folders, and, where the shell gives no path at all, the
// parsing name of a file-system object.
std::wstring LongPathFromIDList(TBorrowedIDList list);

// Parses `path` in `folder` (null = the desktop). The empty path gives the computer folder.
// On failure returns null and leaves the HRESULT in the thread's last error.
TOwnedIDList IDListFromPath(IShellFolder* folder, const std::wstring& path);

// True when the absolute list lies in the network folder.
bool IsInNetwork(TBorrowedIDList list);

// Text of a STRRET (frees its wide buffer); empty on failure.
std::wstring StrRetToString(TBorrowedIDList list, STRRET& value);
void FreeStrRet(STRRET& value);

// Remote name of a domain or server object of the network folder; empty otherwise.
std::wstring NetworkNameOf(IShellFolder* folder, TBorrowedIDList list);
