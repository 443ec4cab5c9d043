#pragma once
// Where a folder really is, as far as waiting goes: on a fixed disk of this computer (asking
// about it never waits on anything but that disk), or somewhere that may not answer: a server,
// a mapped or removable drive, or a place a junction, symbolic link or mount point leads to.
// Deciding never waits: only the drive's type and folders on the fixed disk are asked about.
#include "core/IDListPtr.h"

#include <string>

// What asking about the folder may wait on, as the key of a bounded wait: "\\SERVER" for a
// network path, "X:" for a drive that is not fixed, the link's path for a folder reached
// through one; "\\" for the network's own virtual folders (workgroups, servers). Empty for a
// folder that never waits, and for names that are no file-system path.
std::wstring FolderWaitPlace(const std::wstring& path);
std::wstring FolderWaitPlace(TBorrowedIDList absolute);

// FolderWaitPlace of `path`, a folder directly inside `parent`, whose own place was judged
// empty: only the last step is asked about (a refresh judges every folder of a tree).
std::wstring FolderWaitPlaceInside(const std::wstring& parent, const std::wstring& path);

inline bool FolderMayWait(TBorrowedIDList absolute)
{
    return !FolderWaitPlace(absolute).empty();
}
