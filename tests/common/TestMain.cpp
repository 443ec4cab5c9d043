// Entry point of every test executable. Every suite serves calls from workers on its main
// thread; suites above the ui layer also start the shell state and, above the shell layer,
// the worker pool once for the process, as the program does before its first window.
// BIVISTA_TEST_STARTUP_LEVEL says which (0 calls only, 1 also the shell, 2 also the pool).
#include "core/SyncCall.h"
#if BIVISTA_TEST_STARTUP_LEVEL >= 1
#include "shell/ShellHost.h"
#include "shell/ShellState.h"
#include "ui/Application.h"
#endif
#if BIVISTA_TEST_STARTUP_LEVEL >= 2
#include "threadpool/ThreadPool.h"
#endif

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    SyncCallStartup();
#if BIVISTA_TEST_STARTUP_LEVEL >= 1
    // The shell's windows belong to whichever application object a test has made, as the
    // program's shell windows belong to its own.
    SetShellHost(
        TShellHost{[] { return Application != nullptr ? Application->Handle() : nullptr; },
                   [] { return Application != nullptr ? Application->MainFormHandle() : nullptr; },
                   [](const std::wstring& hint) {
                       if (Application != nullptr)
                           Application->SetHint(hint);
                   },
                   [] { return Application != nullptr && Application->Terminated(); }});
    if (!ShellStartup()) {
        std::fprintf(stderr, "the shell could not be started\n");
        return 2;
    }
#endif
#if BIVISTA_TEST_STARTUP_LEVEL >= 2
    ThreadPoolStartup();
#endif
    const int result = RUN_ALL_TESTS();
#if BIVISTA_TEST_STARTUP_LEVEL >= 2
    ThreadPoolShutdown();
#endif
#if BIVISTA_TEST_STARTUP_LEVEL >= 1
    ShellShutdown();
#endif
    SyncCallShutdown();
    return result;
}
