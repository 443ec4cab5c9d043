// Sorting the shell list by a column against a refill of the same folder, in the same run: the
// list in report view, on screen in the virtual display, clicked to sort by Size, Type,
// Modified and File (name), each time until the first screen is drawn. The refill reads the
// folder again, sorted by name, as RefreshContents does; "folder's" is the same refill with the
// folder's own comparison forced, whatever order it gives (under Wine not the logical one).
//
// Usage: bench_shelllist_sort.exe <folder> [<folder> ...]
// (the fixture's sizes-100000 holds files of many sizes, types and times; files-100000 empty
// files of one time, where sorting by size is sorting by name)
#include "ShellBenchSupport.h"
#include "controls/common/ColumnValues.h"
#include "controls/list/ShellList.h"
#include "ui/Application.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 3;

double Timed(TZelShellList& list, void (*action)(TZelShellList&, int), int column)
{
    const double start = Seconds();
    action(list, column);
    UpdateWindow(list.Handle());
    return Seconds() - start;
}

void Refill(TZelShellList& list, int)
{
    list.RefreshContents();
}

void Click(TZelShellList& list, int column)
{
    list.ColumnClick(column);
}

int ColumnShowing(TZelShellList& list, DWORD property)
{
    for (int column = 1; column < list.ColumnCount(); ++column)
        if (StoragePropertyOf(list.Browser().ShellFolder(), list.ColumnMap(column)) == property)
            return column;
    return -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_shelllist_sort <folder> [<folder> ...]\n");
        return 2;
    }
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    int result = 0;
    TApplication application;
    TBenchForm form(900, 700);
    TZelShellList* list = ShowBenchList(form);
    std::printf("%-14s %7s %8s %9s %9s %9s %9s %9s %10s %9s %9s\n", "folder", "files", "refill",
                "folder's", "by size", "size/ref", "by type", "type/ref", "by modif.", "modif/ref",
                "name/ref");
    for (int argument = 1; argument < argc; ++argument) {
        const std::wstring folder = argv[argument];
        list->SetSpecialFolder(SF_DRIVES);
        PumpMessages();
        list->SetPath(folder);
        UpdateWindow(list->Handle());
        const int size = ColumnShowing(*list, kSizeProperty);
        const int type = ColumnShowing(*list, kTypeProperty);
        const int modified = ColumnShowing(*list, kWriteTimeProperty);
        if (list->Items()->Count() < 2 || size < 0 || type < 0 || modified < 0) {
            std::fprintf(stderr, "%ls is missing or shows no details\n", folder.c_str());
            result = 1;
            continue;
        }
        std::vector<double> refills, folderRefills, bySize, byType, byModified, byName;
        for (int round = 0; round < kRounds; ++round) {
            // Sorted by name, ascending, before every round.
            if (list->SortColumn() != 0)
                list->ColumnClick(0);
            if (list->Descending())
                list->ColumnClick(0);
            SettlePool();
            refills.push_back(Timed(*list, Refill, 0));
            SettlePool();
            list->ColumnComparer = TColumnComparer::Folder;
            folderRefills.push_back(Timed(*list, Refill, 0));
            list->ColumnComparer = TColumnComparer::Probe;
            SettlePool();
            bySize.push_back(Timed(*list, Click, size));
            SettlePool();
            byType.push_back(Timed(*list, Click, type));
            SettlePool();
            byModified.push_back(Timed(*list, Click, modified));
            SettlePool();
            byName.push_back(Timed(*list, Click, 0));
            SettlePool();
        }
        const double refill = Median(refills);
        std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
        std::printf("%-14ls %7d %7.3fs %8.3fs %8.3fs %9.2f %8.3fs %9.2f %9.3fs %9.2f %9.2f\n",
                    name.c_str(), list->Items()->Count(), refill, Median(folderRefills),
                    Median(bySize), Median(bySize) / refill, Median(byType),
                    Median(byType) / refill, Median(byModified), Median(byModified) / refill,
                    Median(byName) / refill);
        std::fflush(stdout);
    }
    return result;
}
