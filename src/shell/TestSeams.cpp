#include "shell/TestSeams.h"

std::function<bool(const std::wstring& path)> NetworkFolderTestHook;
std::function<void()> NetworkProbeTestHook;
std::function<void(const std::wstring& path)> PathProbeTestHook;
