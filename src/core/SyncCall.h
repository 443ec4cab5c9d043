#pragma once
// Calls from worker threads into the GUI thread. A worker hands a call over and blocks until
// the GUI thread has run it. The GUI thread runs pending calls from its message loop (a hidden
// message window receives a wake-up message for each call) and from every loop in which it
// waits for threads (CheckSynchronize), so that such a wait never deadlocks.
#include <windows.h>

#include <functional>

using TThreadMethod = std::function<void()>;

// Both calls nest: only the outermost pair acts. Call them on the GUI thread: startup makes the
// calling thread the GUI thread and creates the message window there.
void SyncCallStartup();
void SyncCallShutdown();

// Whether this is the GUI thread: the one that started the synchronised calls, else the thread
// that loaded the program.
bool IsMainThread() noexcept;

// Runs `method` on the GUI thread and returns once it has run; on the GUI thread itself it runs
// at once. An exception thrown by the method is raised again in the calling thread.
void Synchronize(const TThreadMethod& method);

// Runs `method` later on the GUI thread, from its message loop, and returns at once. Unlike
// the synchronised calls, queued ones never run inside a loop that waits for workers, so they
// never land in the middle of work the GUI thread is doing. An exception they raise goes to
// HandleCallbackException. False when the call was dropped: the synchronised calls are not
// running, or they shut down before it ran (then it is dropped silently).
bool Queue(TThreadMethod method);

// On the GUI thread: runs every pending call. With a timeout, waits up to that long for a call
// to arrive when none is pending. True when at least one call ran; false on other threads.
bool CheckSynchronize(DWORD timeout = 0);

// Number of calls waiting for the GUI thread.
int PendingSyncCallCount();

// Drops the pending calls of a thread that will never collect them (one that was killed);
// returns how many were dropped.
int RemoveQueuedSyncCalls(DWORD threadId);

// Signalled whenever a call is queued, for GUI-thread loops that wait on handles.
HANDLE SyncEvent();
