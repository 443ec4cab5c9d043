#pragma once
// An application object for the suites that drive windows: an exception that reaches a window
// procedure or callback fails the running test instead of showing a message box. A suite opts
// in with one line: AddGlobalTestEnvironment(NewApplicationEnvironment()).
#include <gtest/gtest.h>

testing::Environment* NewApplicationEnvironment();
