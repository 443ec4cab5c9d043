#pragma once
// Runs one question on a thread of its own and waits for the answer only so long: a question
// that may sit on a network, a removable drive or behind a junction cannot hold up the thread
// that asked, least of all the GUI thread. Questions about the same place share a key: while
// one of them is still running past its limit, the next gives up at once instead of starting
// another thread, so a dead server never collects a pile of stuck threads.
#include <windows.h>

#include <functional>
#include <string>

enum TBoundedWaitResult {
    bwFound,     // the question answered yes
    bwNotFound,  // it answered no, or raised
    bwTimedOut,  // no answer in time, another question about the place still runs, or no thread
};

struct TBoundedWaitRequest {
    // What the question waits on ("\\SERVER", "E:"); empty: a place of its own.
    std::wstring Key;
    DWORD TimeLimit = 1500;
    // The system's critical-error boxes ("insert a disk") on the asking thread; off by default.
    bool ShowErrors = false;
};

// Runs `question` on a new thread (COM initialised, the thread's own error mode set) and waits
// at most `request.TimeLimit` ms for it, serving synchronised calls meanwhile on the GUI thread.
// A question that outlives the wait runs on alone; whatever it holds is freed by whichever of
// the two lets go last, so the caller may return at once.
TBoundedWaitResult WaitBounded(const TBoundedWaitRequest& request, std::function<bool()> question);

// Threads of this helper that are still running, those given up on included.
int BoundedWaitThreadCount() noexcept;
