#pragma once
// What tests may put in place of the shell layer's own answers, and why: the places they stand
// for (a network share, a server or drive that does not answer) cannot be made in a test
// prefix. All are empty in the program. A test sets one on the GUI thread and clears it when it
// is done; a question takes its copy as it starts, so one still running keeps the hook it
// started with.
#include <functional>
#include <string>

// A folder path for which this answers true is taken for a network folder (Wine cannot parse
// the UNC path of a share into an ID list).
extern std::function<bool(const std::wstring& path)> NetworkFolderTestHook;

// Runs on the asking thread before each question about a folder that may wait, as a slow
// server would hold it.
extern std::function<void()> NetworkProbeTestHook;

// Runs on the probing thread before a typed path is parsed, with the path.
extern std::function<void(const std::wstring& path)> PathProbeTestHook;
