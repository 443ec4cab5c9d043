// Scans a folder tree with the folder-size work item (directly and through the worker pool)
// and with a plain FindFirstFileW walk, alternating, and prints the median times and ratios.
// Usage: bench_foldersize <folder>
#include "core/SyncCall.h"
#include "threadpool/ThreadPool.h"
#include "threadpool/ZelWorkItems.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TCounts {
    uint64_t size = 0;
    int files = 0;
    int folders = 0;
};

void PlainWalk(const std::wstring& folder, TCounts& counts)
{
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
                continue;
            ++counts.folders;
            PlainWalk(folder + data.cFileName + L"\\", counts);
        } else {
            ++counts.files;
            counts.size += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TCounts ItemCounts(TZelFolderSizeWorkItem& item)
{
    return {item.Size(), item.FileCount(), item.FolderCount() - 1};
}

bool Same(const TCounts& a, const TCounts& b)
{
    return a.size == b.size && a.files == b.files && a.folders == b.folders;
}

// One scan through the pool: queued, run by a worker, result handed back on this thread.
TCounts PoolScan(const std::wstring& root)
{
    TCounts counts;
    bool done = false;
    auto* item = new TZelFolderSizeWorkItem(root, false, true);
    item->SetOnWorkDone([&](TBasicWorkItem* finished) {
        counts = ItemCounts(*static_cast<TZelFolderSizeWorkItem*>(finished));
        done = true;
    });
    WorkerPool->AddWorkItem(item);
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return counts;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_foldersize <folder>\n");
        return 2;
    }
    std::wstring root = argv[1];
    if (root.back() != L'\\')
        root += L'\\';
    ThreadPoolStartup();

    const int rounds = 7;
    std::vector<double> plainTimes;
    std::vector<double> itemTimes;
    std::vector<double> poolTimes;
    TCounts plain;
    TCounts direct;
    TCounts pooled;
    bool consistent = true;
    for (int round = -1; round < rounds; ++round) {  // round -1 warms the caches
        double start = Now();
        TCounts walked;
        PlainWalk(root, walked);
        const double plainTime = Now() - start;

        start = Now();
        TComPtr<TZelFolderSizeWorkItem> item(new TZelFolderSizeWorkItem(root, false, true));
        item->Execute();
        const double itemTime = Now() - start;

        start = Now();
        const TCounts viaPool = PoolScan(root);
        const double poolTime = Now() - start;

        consistent = consistent && Same(walked, ItemCounts(*item.Get())) && Same(walked, viaPool);
        plain = walked;
        direct = ItemCounts(*item.Get());
        pooled = viaPool;
        if (round >= 0) {
            plainTimes.push_back(plainTime);
            itemTimes.push_back(itemTime);
            poolTimes.push_back(poolTime);
        }
    }
    ThreadPoolShutdown();

    const double plainMedian = Median(plainTimes);
    const double itemMedian = Median(itemTimes);
    const double poolMedian = Median(poolTimes);
    std::printf("tree: %d files, %d folders, %llu bytes\n", plain.files, plain.folders,
                static_cast<unsigned long long>(plain.size));
    std::printf("medians of %d rounds (ms):\n", rounds);
    std::printf("  plain FindFirstFileW walk      %8.1f\n", plainMedian);
    std::printf("  folder-size item, direct       %8.1f   ratio to walk %.2f\n", itemMedian,
                itemMedian / plainMedian);
    std::printf("  folder-size item, through pool %8.1f   ratio to walk %.2f\n", poolMedian,
                poolMedian / plainMedian);
    if (!consistent) {
        std::printf("MISMATCH: walk %d/%d/%llu, item %d/%d/%llu, pool %d/%d/%llu\n", plain.files,
                    plain.folders, static_cast<unsigned long long>(plain.size), direct.files,
                    direct.folders, static_cast<unsigned long long>(direct.size), pooled.files,
                    pooled.folders, static_cast<unsigned long long>(pooled.size));
        return 1;
    }
    return 0;
}
