// The cost of answering one change in a folder of 20,000 files: the list looks up the object
// the change names (as it does for a report or a disk-watch change naming it) against the full
// refill it falls back to for a change to the folder as a whole, measured in the same run.
//
// Usage: bench_diskchange.exe <folder holding files-20000>
#include "ShellBenchSupport.h"
#include "controls/list/ShellList.h"
#include "core/PathText.h"
#include "ui/Application.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 5;
constexpr wchar_t kChanged[] = L"bench-change.tmp";

double Timed(TZelShellList& list, const std::vector<std::wstring>& names)
{
    const double start = Seconds();
    if (names.empty())
        list.RefreshContents();
    else
        list.RefreshNamedObjects(names);
    UpdateWindow(list.Handle());
    return Seconds() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_diskchange <fixture folder>\n");
        return 2;
    }
    const std::wstring folder = IncludeTrailingBackslash(argv[1]) + L"files-20000\\";
    const std::wstring changed = folder + kChanged;
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    int result = 0;
    {
        TApplication application;
        TBenchForm form(900, 700);
        // The bench makes the changes and answers them itself.
        TZelShellList* list = ShowBenchList(form, false);
        DeleteFileW(changed.c_str());
        list->SetPath(folder);
        UpdateWindow(list->Handle());
        SettlePool();
        const int count = list->Items()->Count();
        std::vector<double> added, removed, refills;
        bool ok = count == 20000;
        for (int round = 0; round < kRounds && ok; ++round) {
            HANDLE file = CreateFileW(changed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ok = file != INVALID_HANDLE_VALUE;
            if (ok)
                CloseHandle(file);
            added.push_back(Timed(*list, {kChanged}));
            ok = ok && list->Items()->Count() == count + 1;
            DeleteFileW(changed.c_str());
            removed.push_back(Timed(*list, {kChanged}));
            ok = ok && list->Items()->Count() == count;
            SettlePool();
            refills.push_back(Timed(*list, {}));
            ok = ok && list->Items()->Count() == count;
            SettlePool();
        }
        DeleteFileW(changed.c_str());
        if (!ok) {
            std::fprintf(stderr, "fixture %ls is missing or incomplete\n", folder.c_str());
            result = 1;
        } else {
            const double add = Median(added);
            const double remove = Median(removed);
            const double refill = Median(refills);
            std::printf("one change in %d files (median of %d)\n", count, kRounds);
            std::printf("%24s %10s %14s\n", "", "seconds", "refill/this");
            std::printf("%24s %9.4fs %14.1f\n", "named object added", add, refill / add);
            std::printf("%24s %9.4fs %14.1f\n", "named object removed", remove, refill / remove);
            std::printf("%24s %9.4fs %14.1f\n", "full refill (baseline)", refill, 1.0);
        }
    }
    return result;
}
