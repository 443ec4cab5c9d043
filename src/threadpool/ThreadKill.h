#pragma once
// Ending a thread that does not end when asked.
#include "core/Thread.h"

#include <windows.h>

// Kills the thread (TThread::Kill) at a moment when it holds none of the process's heap locks,
// waiting up to `patience` milliseconds for one: a thread killed while it holds a heap's lock
// leaves every later allocation from that heap waiting for ever. After that it is killed
// anyway.
void KillOutsideHeapLocks(TThread& thread, DWORD exitCode, DWORD patience);
