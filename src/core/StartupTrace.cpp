#include "core/StartupTrace.h"

#ifdef BIVISTA_STARTUP_TRACE

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

struct TTraceClock {
    bool enabled = false;
    FILE* output = nullptr;
    double frequency = 1;
    LONGLONG anchorCounter = 0;
    double anchorMilliseconds = 0;  // the anchor's distance from the process's creation
};

ULONGLONG FileTimeValue(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

TTraceClock MakeClock()
{
    TTraceClock clock;
    wchar_t target[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"BIVISTA_TRACE_STARTUP", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return clock;
    // "1" traces to standard error, anything else names a file the lines are added to.
    clock.output = wcscmp(target, L"1") == 0 ? stderr : _wfopen(target, L"a");
    clock.enabled = clock.output != nullptr;
    if (!clock.enabled)
        return clock;
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    clock.frequency = static_cast<double>(frequency.QuadPart);
    clock.anchorCounter = counter.QuadPart;
    FILETIME creation;
    FILETIME exit;
    FILETIME kernel;
    FILETIME user;
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
        clock.anchorMilliseconds =
            static_cast<double>(FileTimeValue(now) - FileTimeValue(creation)) / 10000.0;
    return clock;
}

}  // namespace

void TraceStartup(const char* step) noexcept
{
    static const TTraceClock clock = MakeClock();
    if (!clock.enabled)
        return;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const double milliseconds =
        clock.anchorMilliseconds +
        static_cast<double>(counter.QuadPart - clock.anchorCounter) * 1000.0 / clock.frequency;
    std::fprintf(clock.output, "%9.1f ms  %s\n", milliseconds, step);
    std::fflush(clock.output);
}

#endif
