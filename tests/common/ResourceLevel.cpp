#include "common/ResourceLevel.h"

#include <psapi.h>

#include <string>

namespace {

BOOL CALLBACK CountChildWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountThreadWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountChildWindow, count);
    return TRUE;
}

// Where the process's handle count is not reported (Wine 8), the valid handle values are
// counted instead: kernel handles are multiples of four from four up.
DWORD CountHandlesByProbing()
{
    DWORD count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

}  // namespace

TResourceLevel TResourceLevel::Measure()
{
    TResourceLevel level;
    HANDLE process = GetCurrentProcess();
    if (!GetProcessHandleCount(process, &level.Handles) || level.Handles == 0)
        level.Handles = CountHandlesByProbing();
    level.GdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    level.UserObjects = GetGuiResources(process, GR_USEROBJECTS);
    level.GuiReported = level.GdiObjects != 0 || level.UserObjects != 0;
    EnumThreadWindows(GetCurrentThreadId(), CountThreadWindow,
                      reinterpret_cast<LPARAM>(&level.Windows));
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory)))
        level.PrivateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    return level;
}

std::string TResourceLevel::Text() const
{
    std::string text = "handles " + std::to_string(Handles);
    if (GuiReported)
        text += ", GDI " + std::to_string(GdiObjects) + ", USER " + std::to_string(UserObjects);
    else
        text += ", GDI/USER not reported";
    text += ", windows " + std::to_string(Windows) + ", private " +
            std::to_string(PrivateBytes / 1024) + " KB";
    return text;
}
