// Entry point of every test executable: the shell state and the worker pool are started once
// for the process, as the program does before its first window.
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!ShellStartup()) {
        std::fprintf(stderr, "the shell could not be started\n");
        return 2;
    }
    ThreadPoolStartup();
    const int result = RUN_ALL_TESTS();
    ThreadPoolShutdown();
    ShellShutdown();
    return result;
}
