#pragma once
// Questions about folders, asked without holding up the caller on a folder that may wait
// (FolderPlace.h): a folder on a fixed disk of this computer is asked at once on the caller's
// thread; any other on a thread of its own through the one bounded wait, keyed by the place
// it waits on. Folders elsewhere cost nothing more than the question itself.
#include "core/BoundedWait.h"
#include "core/IDListPtr.h"
#include "shell/FolderPlace.h"

#include <windows.h>

#include <functional>
#include <string>

// What a user sees as "about two seconds" for a folder that does not answer.
constexpr DWORD kNetworkFolderWaitLimit = 1500;

// `question` about `path`: found when it answers true, not found when false. The system's
// critical-error boxes are suppressed on the asking thread unless `showErrors`.
TBoundedWaitResult AskAboutPath(const std::wstring& path,
                                const std::function<bool(const std::wstring&)>& question,
                                DWORD waitLimit, bool showErrors);

// Whether `path` is an existing folder.
TBoundedWaitResult AskFolderExists(const std::wstring& path, DWORD waitLimit, bool showErrors);
// The same, an answer that takes too long counting as "no".
bool FolderExistsWithin(const std::wstring& path, DWORD waitLimit = kNetworkFolderWaitLimit);

// Whether the folder can be bound and asked for its first object: found when it answered with
// a list of objects, not found when it answered with a failure. A folder that never waits is
// not asked (found at once): the caller walks it itself.
TBoundedWaitResult AskFolderAnswers(TBorrowedIDList absolute, DWORD waitLimit, bool showErrors);
// The same for a folder whose FolderWaitPlace the caller already knows.
TBoundedWaitResult AskFolderAnswersAt(const std::wstring& place, TBorrowedIDList absolute,
                                      DWORD waitLimit, bool showErrors);

// What parsing a typed path found.
struct TPathProbeResult {
    enum TState { psFound, psNotFound, psTimedOut };
    TState State = psNotFound;
    // The absolute ID list of the path (psFound only).
    TOwnedIDList IDList;
    // The object is a folder the shell can browse into.
    bool Folder = false;
    // The shell's answer when the path was not found.
    HRESULT Error = S_OK;
};

// Parses `path` from the desktop on a thread of its own (not one of the pool's, whose workers
// the icons of the panes wait for), waiting at most `waitLimit` ms: a path on a drive or share
// that does not answer cannot freeze the window that asked. A file-system folder is asked of
// the file system as well. The system's critical-error boxes are suppressed unless
// `showErrors`.
TPathProbeResult ProbePath(const std::wstring& path, DWORD waitLimit, bool showErrors);
