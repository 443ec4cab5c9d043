#pragma once
// Where a junction or symbolic link points.
#include <string>

// The target of the reparse point at `path` as a plain path ("\??\" prefixes removed, a
// relative symbolic link resolved against the link's folder). When the link's reparse data
// cannot be read, the path the system reaches by opening the link; empty when neither works.
std::wstring ReparsePointTarget(const std::wstring& path);
