#pragma once
// Path and file-name utilities over wide strings.
#include "core/PathText.h"
#include "core/TextCompare.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Wildcard match of one mask; "*.*" requires a dot, "*." matches names without one.
bool MatchesMask(const std::wstring& name, const std::wstring& mask);
// Negative, zero or positive; digit runs compare by value where the system offers it.
int CompareNames(const std::wstring& a, const std::wstring& b);
bool IsDriveRoot(const std::wstring& path);
bool IsUNCPath(const std::wstring& path);
bool IsNetworkPath(const std::wstring& path);
// "X:\..." on a fixed drive of this computer, reached without a junction, symbolic link or
// mount point: asking about it never waits on a network or on a drive's media.
bool IsOnFixedDrive(const std::wstring& path);
// The first folder on the way from the drive's root of "X:\..." to `path` (itself included)
// that is a junction, symbolic link or mount point; empty when there is none. Only folders
// reached without one are asked about, so the walk itself never leaves the drive.
std::wstring LinkOnTheWay(const std::wstring& path);
bool HasExtension(const std::wstring& path, const std::wstring& extension);
bool SameFileName(const std::wstring& a, const std::wstring& b);
// True when `path` lies below `folder` (not the folder itself).
bool IsInsideFolder(const std::wstring& folder, const std::wstring& path);
bool PathExists(const std::wstring& path);
// Without the "\\?\" form that final paths come in: "\\?\C:\x" to "C:\x",
// "\\?\UNC\s\x" to "\\s\x".
std::wstring PlainPath(const std::wstring& path);
// A folder (not a file) is at `path`.
bool DirectoryExists(const std::wstring& path);
// Size in bytes; -1 when nothing is found.
int64_t FileSizeOf(const std::wstring& path);
// "1.5 KB" and the like; empty when the system cannot render the size.
std::wstring FormatByteSize(int64_t size);
bool DiskFreeSpace(const std::wstring& path, uint64_t& freeForCaller, uint64_t& total,
                   uint64_t& totalFree);
bool IsReparsePoint(DWORD attributes);
// Whether an entry with these attributes and reparse tag (the find data's dwReserved0) is a link
// to another place: a junction, a symbolic link, a mount point. Other reparse points (cloud
// placeholders, deduplicated, compressed or app-alias files) are the files and folders they
// look like. A reparse point without a tag (Wine's host links) counts as a link.
bool IsLinkReparsePoint(DWORD attributes, DWORD reparseTag);
bool IsLinkEntry(const WIN32_FIND_DATAW& data);
