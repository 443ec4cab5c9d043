#pragma once
// Whether a stored folder exists, without holding up the program on an unreachable network
// share or a missing drive: the check runs on a thread of its own with critical-error dialogs
// off, and an answer that takes longer than the time limit counts as "no".
#include <windows.h>

#include <string>

constexpr DWORD kFolderCheckTimeLimit = 2000;

// A folder on a fixed drive of this computer ("C:\...") is asked about at once: that never
// waits on a network or on a drive's media.
bool FolderExistsWithin(const std::wstring& path, DWORD timeLimit = kFolderCheckTimeLimit);
