#pragma once
// Paths in long form ("\\?\C:\dir", "\\?\UNC\server\share\dir"), which the system takes as
// written: no length limit, and a name that ends in a dot or a space keeps it.
#include <string>

// The long form of a path. A drive ("C:") stands for its root. Forward slashes become
// backslashes and "." and ".." steps are resolved, while every name is kept as written; a
// relative path is made absolute first. A path already in long or device form comes back as
// it is. Empty when the path cannot be made absolute.
std::wstring LongPathForm(const std::wstring& path);
// Whether a long-form path names the root of a drive, share or volume, which has no entry of
// its own in its parent.
bool IsVolumeRoot(const std::wstring& longPath);
// Whether the path holds a wildcard of the find functions; the "?" of a long-form prefix is
// not one.
bool HasWildcard(const std::wstring& path);
