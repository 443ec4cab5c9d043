// Fill time of the shell list against two baselines measured in the same run: the folder's
// enumeration alone (a), and the enumeration with the display name of every object (b), which
// is what a list that reads every caption up front pays. The fill is the list in report view,
// sorted, on screen in the virtual display, with all items present and the first screen drawn.
// A second table compares a refill (RefreshContents) with every item selected, which selects
// them all again by name, against the same refill with nothing selected.
//
// Usage: bench_shelllist.exe <folder holding files-1000, files-20000, files-100000> [largest]
// (`largest`: leave out the folders of more files than this)
#include "ShellBenchSupport.h"
#include "controls/list/ShellList.h"
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "core/SyncCall.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 3;
// Folders up to this size are refilled with every item selected as well.
constexpr int kReselectionLimit = 20000;
// Refills without and with a selection in each round.
constexpr int kRefillPairs = 3;

// Seconds of one refill of the list as it is, up to the first screen drawn.
double Refill(TZelShellList& list)
{
    const double start = Seconds();
    list.RefreshContents();
    UpdateWindow(list.Handle());
    return Seconds() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_shelllist <fixture folder>\n");
        return 2;
    }
    const std::wstring root = IncludeTrailingBackslash(argv[1]);
    const int largest = argc > 2 ? std::stoi(argv[2]) : 100000;
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    int result = 0;
    {
        TApplication application;
        TBenchForm form(900, 700);
        TZelShellList* list = ShowBenchList(form);

        struct TReselection {
            int count;
            double refill;
            double reselect;
        };
        std::vector<TReselection> reselection;
        std::printf("%8s %10s %14s %10s %10s %10s %10s %10s\n", "files", "enum (a)",
                    "enum+name (b)", "fill", "(sort)", "fill/(a)", "fill/(b)", "peak MB");
        for (const int count : {1000, 20000, 100000}) {
            if (count > largest)
                break;
            const std::wstring folder = root + L"files-" + std::to_wstring(count);
            std::vector<double> enumTimes, nameTimes, fillTimes, sortTimes, refillTimes,
                reselectTimes;
            bool ok = true;
            for (int round = 0; round < kRounds && ok; ++round) {
                double start = Seconds();
                ok = Enumerate(folder, false) == count;
                enumTimes.push_back(Seconds() - start);

                start = Seconds();
                ok = ok && Enumerate(folder, true) == count;
                nameTimes.push_back(Seconds() - start);

                // Away and back, so that writing the path fills.
                list->SetSpecialFolder(SF_DRIVES);
                PumpMessages();
                start = Seconds();
                list->SetPath(folder);
                UpdateWindow(list->Handle());
                fillTimes.push_back(Seconds() - start);
                ok = ok && list->Items()->Count() == count;
                // The share of the fill that is sorting: the same sort once more.
                start = Seconds();
                list->Sort();
                sortTimes.push_back(Seconds() - start);
                // Let the icon work of the first screen finish before the next round.
                SettlePool();
                if (count > kReselectionLimit)
                    continue;
                // In pairs, so that both cases see the same moments of a noisy machine.
                for (int pair = 0; pair < kRefillPairs; ++pair) {
                    list->ClearSelection();
                    refillTimes.push_back(Refill(*list));
                    SettlePool();
                    list->SelectAll();
                    reselectTimes.push_back(Refill(*list));
                    ok = ok && list->SelCount() == count;
                    list->ClearSelection();
                    SettlePool();
                }
            }
            if (!ok) {
                std::fprintf(stderr, "fixture %ls is missing or incomplete\n", folder.c_str());
                result = 1;
                break;
            }
            const double a = Median(enumTimes);
            const double b = Median(nameTimes);
            const double fill = Median(fillTimes);
            std::printf("%8d %9.3fs %13.3fs %9.3fs %9.3fs %10.2f %10.2f %10.1f\n", count, a, b,
                        fill, Median(sortTimes), fill / a, fill / b, PeakMegabytes());
            if (!refillTimes.empty())
                reselection.push_back({count, Median(refillTimes), Median(reselectTimes)});
            std::fflush(stdout);
        }
        if (result == 0 && !reselection.empty()) {
            std::printf("\n%8s %10s %18s %14s\n", "files", "refill", "refill all sel.",
                        "sel./refill");
            for (const TReselection& row : reselection)
                std::printf("%8d %9.3fs %17.3fs %14.2f\n", row.count, row.refill, row.reselect,
                            row.reselect / row.refill);
        }
    }
    return result;
}
