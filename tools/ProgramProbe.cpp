// Watches a program's windows from outside, for the run and bench scripts.
//
//   bivista_probe ready [time limit ms]
//       Waits until Bivista's main window is shown with both panes' lists and has drawn
//       them; prints the window's caption. Exit code 1 when that does not happen in time.
//   bivista_probe close [time limit ms]
//       Closes Bivista's main window as the user would and waits for the program to end.
//   bivista_probe fill <item count> <program> [arguments...]
//       Starts the program (in its own folder) and measures the time from the start until a
//       list view of its windows holds at least that many items, and the time until the
//       program is idle after that (see WaitUntilIdle); prints both in seconds and the
//       process's peak working set in MB, then closes the program.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double Seconds()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

struct TSearch {
    DWORD process = 0;  // 0: any
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (search->process == 0 || process == search->process)
        search->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectLists(HWND window, LPARAM parameter)
{
    const std::wstring name = ClassOf(window);
    if (name == L"Bivista.ListView" || name == WC_LISTVIEWW)
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD process)
{
    TSearch search;
    search.process = process;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::vector<HWND> ListsOf(HWND top)
{
    std::vector<HWND> lists;
    EnumChildWindows(top, CollectLists, reinterpret_cast<LPARAM>(&lists));
    return lists;
}

// The answer to a message once the window's thread gets to it; -1 if it never does.
LRESULT Ask(HWND window, UINT message, DWORD timeLimit = 60000)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, timeLimit, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

HWND FindBivista()
{
    for (HWND window : TopWindows(0)) {
        wchar_t caption[64] = {};
        GetWindowTextW(window, caption, 64);
        if (ClassOf(window) == L"Bivista.Form" && std::wcscmp(caption, L"Bivista V1.3") == 0 &&
            IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

int Ready(DWORD timeLimit)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND main = FindBivista();
        if (main != nullptr && Ask(main, WM_NULL) != -1 && ListsOf(main).size() >= 2) {
            // Everything drawn now, the lists' rows included.
            RedrawWindow(main, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Ask(main, WM_NULL);
            wchar_t caption[64] = {};
            GetWindowTextW(main, caption, 64);
            std::printf("%ls\n", caption);
            return 0;
        }
        if (GetTickCount() - start > timeLimit) {
            std::fprintf(stderr, "Bivista's window did not come up within %lu ms\n", timeLimit);
            return 1;
        }
        Sleep(100);
    }
}

int CloseBivista(DWORD timeLimit)
{
    HWND main = FindBivista();
    if (main == nullptr)
        return 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended =
        process == nullptr || WaitForSingleObject(process, timeLimit) == WAIT_OBJECT_0;
    if (process != nullptr)
        CloseHandle(process);
    if (!ended)
        std::fprintf(stderr, "Bivista did not end within %lu ms\n", timeLimit);
    return ended ? 0 : 1;
}

void CloseProgram(const PROCESS_INFORMATION& process)
{
    for (HWND window : TopWindows(process.dwProcessId))
        if (IsWindowVisible(window))
            PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
}

// A program is idle from the end of the last round trip of WM_NULL to its list that took 15 ms
// or more, once 40 round trips in a row (one every 5 ms) came back faster: from then on input
// is answered at once. Returns that time in seconds from `start`, or -1 if it never settles.
double WaitUntilIdle(HWND list, HANDLE process, double start, double filled)
{
    constexpr double kSlowTrip = 0.015;
    constexpr int kQuietTrips = 40;
    double lastSlowEnd = filled;
    int quiet = 0;
    while (quiet < kQuietTrips && WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
           Seconds() - start < 300) {
        const double sent = Seconds();
        if (Ask(list, WM_NULL) == -1)
            return -1;
        const double back = Seconds();
        if (back - sent >= kSlowTrip) {
            lastSlowEnd = back - start;
            quiet = 0;
        } else {
            ++quiet;
        }
        Sleep(5);
    }
    return quiet >= kQuietTrips ? lastSlowEnd : -1;
}

int Fill(int count, int argc, wchar_t** argv)
{
    std::wstring command;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            command += L' ';
        command += L'"';
        command += argv[i];
        command += L'"';
    }
    std::wstring folder = argv[0];
    folder.erase(folder.find_last_of(L"\\/") + 1);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double start = Seconds();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %ls\n", argv[0]);
        return 2;
    }
    double filled = -1;
    HWND fullList = nullptr;
    while (filled < 0 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT &&
           Seconds() - start < 300) {
        for (HWND top : TopWindows(process.dwProcessId))
            for (HWND list : ListsOf(top))
                if (fullList == nullptr && Ask(list, LVM_GETITEMCOUNT) >= count) {
                    filled = Seconds() - start;
                    fullList = list;
                }
        if (filled < 0)
            Sleep(5);
    }
    const double idle =
        fullList != nullptr ? WaitUntilIdle(fullList, process.hProcess, start, filled) : -1;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    const bool haveMemory = GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory)) &&
                            memory.PeakWorkingSetSize > 0;
    CloseProgram(process);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (filled < 0) {
        std::fprintf(stderr, "%ls never showed %d items\n", argv[0], count);
        return 1;
    }
    if (idle < 0)
        std::printf("%.3f -", filled);
    else
        std::printf("%.3f %.3f", filled, idle);
    if (haveMemory)
        std::printf(" %.1f\n", static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    else
        std::printf(" n/a\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 2 && std::wcscmp(argv[1], L"ready") == 0)
        return Ready(argc >= 3 ? static_cast<DWORD>(_wtoi(argv[2])) : 60000);
    if (argc >= 2 && std::wcscmp(argv[1], L"close") == 0)
        return CloseBivista(argc >= 3 ? static_cast<DWORD>(_wtoi(argv[2])) : 30000);
    if (argc >= 4 && std::wcscmp(argv[1], L"fill") == 0)
        return Fill(_wtoi(argv[2]), argc - 3, argv + 3);
    std::fprintf(stderr, "usage: bivista_probe ready [time limit ms]\n"
                         "       bivista_probe close [time limit ms]\n"
                         "       bivista_probe fill <item count> <program> [arguments...]\n");
    return 2;
}
