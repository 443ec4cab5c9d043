// Times the check-box selection on one folder of many files: checking every file one by one
// (the last one turns the files into one folder entry), asking the state of every file, then
// unchecking every other file and asking again with thousands of entries. Each figure is also
// given as a multiple of one plain search of the folder, measured in the same run. The totals,
// partly computed by the worker pool, are awaited (timed apart) and checked.
//
// Usage: bench_selection.exe [folder] [file count]
// The folder (default C:\bivista-bench\selection-<count>) is filled with empty files f00000.txt
// and up when it lacks them, and kept for the next run.
#include "core/SyncCall.h"
#include "link/ZelSelectionList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

class TStopwatch {
public:
    TStopwatch() { QueryPerformanceCounter(&start_); }
    double Seconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

std::wstring FileName(int index)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"f%05d.txt", index);
    return name;
}

// Creates what is missing; returns how many files were made.
int MakeFixture(const std::wstring& folder, int count)
{
    CreateDirectoryW(ExcludeTrailingBackslash(ExtractFilePath(folder)).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    // A file beside the folder, so that the fully checked folder does not cover its parent.
    const std::wstring neighbour = ExtractFilePath(folder) + L"keep.txt";
    HANDLE keep = CreateFileW(neighbour.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (keep != INVALID_HANDLE_VALUE)
        CloseHandle(keep);
    int made = 0;
    for (int index = 0; index < count; ++index) {
        const std::wstring path = folder + L"\\" + FileName(index);
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::fwprintf(stderr, L"cannot create %ls\n", path.c_str());
            std::exit(1);
        }
        DWORD written = 0;
        WriteFile(file, "0123456789", static_cast<DWORD>(index % 10 + 1), &written, nullptr);
        CloseHandle(file);
        ++made;
    }
    return made;
}

int CountBySearch(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileW(search, &data));
    FindClose(search);
    return count;
}

// Serves the pool's results until every queued size calculation has been applied.
void WaitForTotals()
{
    while (WorkerPool->PendingCount() > 0 || PendingSyncCallCount() > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        CheckSynchronize(10);
    }
}

void Report(const wchar_t* what, double seconds, double walk, int operations)
{
    std::wprintf(L"%-44ls %9.3f s  %10.1f us each  %9.1f walks\n", what, seconds,
                 seconds * 1e6 / operations, seconds / walk);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5000;
    const std::wstring folder = argc > 1
                                    ? ExcludeTrailingBackslash(argv[1])
                                    : L"C:\\bivista-bench\\selection-" + std::to_wstring(count);
    if (!ShellStartup())
        return 2;
    ThreadPoolStartup();

    TStopwatch making;
    const int made = MakeFixture(folder, count);
    if (made > 0) {
        std::wprintf(L"made %d files in %.1f s; waiting for the folder to settle\n", made,
                     making.Seconds());
        Sleep(5000);
    }
    std::vector<std::wstring> files;
    for (int index = 0; index < count; ++index)
        files.push_back(folder + L"\\" + FileName(index));
    const int entries = CountBySearch(folder) - 2;
    if (entries != count) {
        std::fwprintf(stderr, L"%ls holds %d entries, expected exactly %d files\n", folder.c_str(),
                      entries, count);
        return 1;
    }

    // The yardstick: one plain search of the folder.
    constexpr int kWalks = 5;
    TStopwatch walking;
    for (int walk = 0; walk < kWalks; ++walk)
        CountBySearch(folder);
    const double walk = walking.Seconds() / kWalks;
    std::wprintf(L"%ls: %d files; one search of the folder %.4f s\n\n", folder.c_str(), count,
                 walk);
    std::fflush(stdout);

    TZelSelectionList selection(nullptr);

    // Progress every tenth of the files: the cost of a check as the selection grows.
    TStopwatch checking;
    for (int index = 0; index < count; ++index) {
        selection.Check(files[index]);
        if ((index + 1) % std::max(1, count / 10) == 0) {
            std::wprintf(L"  %5d checked after %8.3f s\n", index + 1, checking.Seconds());
            std::fflush(stdout);
        }
    }
    Report(L"Check every file one by one", checking.Seconds(), walk, count);
    if (selection.Paths().Count() != 1 || selection.Paths()[0] != folder + L"\\*") {
        std::fwprintf(stderr, L"the files did not turn into one folder entry: %ls\n",
                      selection.Paths().Count() > 0 ? selection.Paths()[0].c_str() : L"none");
        return 1;
    }

    TStopwatch settling;
    WaitForTotals();
    Report(L"  then the background totals", settling.Seconds(), walk, count);
    int64_t expectedSize = 0;
    for (int index = 0; index < count; ++index)
        expectedSize += index % 10 + 1;
    if (selection.FileCount() != count || selection.TotalSize() != expectedSize ||
        selection.FolderCount() != 1) {
        std::fwprintf(stderr, L"wrong totals: %d files, %lld bytes, %d folders\n",
                      selection.FileCount(), static_cast<long long>(selection.TotalSize()),
                      selection.FolderCount());
        return 1;
    }

    TStopwatch querying;
    int checked = 0;
    for (const auto& file : files)
        checked += selection.StateOf(file) == ssChecked ? 1 : 0;
    Report(L"StateOf every file (one folder entry)", querying.Seconds(), walk, count);

    TStopwatch unchecking;
    for (int index = 0; index < count; index += 2)
        selection.Uncheck(files[index]);
    Report(L"Uncheck every other file", unchecking.Seconds(), walk, (count + 1) / 2);

    TStopwatch settling2;
    WaitForTotals();
    Report(L"  then the background totals", settling2.Seconds(), walk, (count + 1) / 2);
    if (selection.FileCount() != count / 2 || selection.FolderCount() != 0) {
        std::fwprintf(stderr, L"wrong totals: %d files, %d folders\n", selection.FileCount(),
                      selection.FolderCount());
        return 1;
    }

    TStopwatch querying2;
    int half = 0;
    for (const auto& file : files)
        half += selection.StateOf(file) == ssChecked ? 1 : 0;
    Report(L"StateOf every file (half of them entries)", querying2.Seconds(), walk, count);

    TStopwatch walkingFiles;
    int walked = 0;
    while (!selection.NextFile().empty())
        ++walked;
    Report(L"NextFile over the selection", walkingFiles.Seconds(), walk, walked > 0 ? walked : 1);

    if (checked != count || half != count / 2 || walked != count / 2) {
        std::fwprintf(stderr, L"wrong results: %d checked, %d half, %d walked\n", checked, half,
                      walked);
        return 1;
    }
    selection.Clear();
    ThreadPoolShutdown();
    ShellShutdown();
    return 0;
}
