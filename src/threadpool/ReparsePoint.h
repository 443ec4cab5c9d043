#pragma once
// Where a junction or symbolic link points, and where a path leads.
#include <string>

// The target of the reparse point at `path` as a plain path ("\??\" prefixes removed, a
// relative symbolic link resolved against the link's folder). When the link's reparse data
// cannot be read, the path the system reaches by opening the link; empty when neither works.
std::wstring ReparsePointTarget(const std::wstring& path);

// Where the system ends up when it opens `path`, links followed: the folder's or file's one
// true name, in long form ("\\?\C:\..."). Empty when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& path);
