#pragma once
// Parses a typed path on a thread of its own and waits for the answer only so long: a path on
// a drive or share that does not answer cannot freeze the window that asked. The thread is
// not one of the pool's, whose workers the icons of the panes wait for.
#include "core/IDListPtr.h"

#include <windows.h>

#include <functional>
#include <string>

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

// Parses `path` from the desktop, waiting at most `waitLimit` ms (serving synchronised calls
// meanwhile). The system's critical-error boxes are suppressed unless `showErrors`.
TPathProbeResult ProbePath(const std::wstring& path, DWORD waitLimit, bool showErrors);

// Tests only: runs on the probing thread before it parses, with the path.
extern std::function<void(const std::wstring& path)> PathProbeTestHook;
