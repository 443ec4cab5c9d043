#pragma once
// The text forms of selection entries. A file entry is the file's full path; a folder entry is
// the folder's path followed by "\*" and stands for the folder and everything below it.
#include <string>

// The entry form of an existing file or folder: a file stays as given, a folder gets "\*".
// Empty for the empty path, "." and "..", and for anything that exists as neither.
std::wstring NormalizePath(const std::wstring& path);

// True for an entry that ends with "*" (a folder entry).
bool IsFolderEntry(const std::wstring& entry);
// The path an entry names: a folder entry without its "\*" ("C:\*" gives "C:"), a file entry
// unchanged.
std::wstring EntryStem(const std::wstring& entry);

// The folder part of a path without its trailing backslash, except that a root keeps it:
// "C:\A\B" gives "C:\A", "C:\A" gives "C:\", "C:" gives "C:".
std::wstring ExtractFileDir(const std::wstring& path);

// The folder entry one level up from an entry: "C:\A\f" and "C:\A\B\*" give "C:\A\*"; empty
// when there is no folder part or the root has been reached.
std::wstring ParentFolderEntry(const std::wstring& entry);

// The key under which an entry is filed beside its siblings: the upper-cased folder that holds
// the entry's stem, without a trailing backslash ("C:\A\f" and "C:\A\B\*" give "C:\A").
std::wstring ParentFolderKey(const std::wstring& upperEntry);

// True when `folder` holds a "target.lnk" file, the mark of a folder shortcut.
bool IsFolderShortcut(const std::wstring& folder);
// The shortcut file inside a folder shortcut.
std::wstring FolderShortcutFile(const std::wstring& folder);
