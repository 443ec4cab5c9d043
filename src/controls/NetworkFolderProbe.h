#pragma once
// Asks a network folder for its first object on a thread of its own and waits for the answer
// only so long: a server that does not exist or does not answer cannot freeze the window that
// wants to show the folder. Folders elsewhere are not asked: ordinary expansions and fills
// cost nothing more.
#include "core/IDListPtr.h"

#include <windows.h>

#include <functional>
#include <string>

// A folder on the network: below the network neighbourhood, or with a UNC path.
bool IsNetworkFolder(TBorrowedIDList absolute);

// False when the folder gave no answer (a list of objects or a failure) within `waitLimit` ms;
// the caller then leaves it alone. Serves synchronised calls while it waits on the GUI thread.
// The system's critical-error boxes are suppressed unless `showErrors`.
bool NetworkFolderAnswers(TBorrowedIDList absolute, DWORD waitLimit, bool showErrors);

// What a user sees as "about two seconds" for a folder that does not answer.
constexpr DWORD kNetworkFolderWaitLimit = 1500;

// Tests only: runs on the probing thread before it asks (a slow server, for example).
extern std::function<void()> NetworkProbeTestHook;
// Tests only: a folder path for which this answers true is taken for a network folder (Wine
// cannot parse the UNC path of a share into an ID list).
extern std::function<bool(const std::wstring& path)> NetworkFolderTestHook;
