// The shell tree over a folder of 20,000 subfolders, against a baseline measured in the same
// run: the folder's enumeration with the display name of every object (b), which is what a
// tree that reads every node's text pays. (a) is the enumeration alone.
// - expand: the folder's node opened for the first time, its children sorted, the first
//   screens of them in the tree view and the first screen drawn; also with an OnAddFolder
//   handler, as the program has one; and until the rest of the rows are in the window too;
// - refresh: one subfolder made and announced (SHChangeNotify), until its node is shown;
// - bare tree view: the system's tree view alone, made like the shell tree's window, taking
//   the same number of children (texts made beforehand) under a collapsed item, expanding it
//   and drawing the first screen: the share of the expansion that is the tree view's own.
//
// Usage: bench_shelltree.exe <fixture folder holding folders-20000> [count]
#include "ShellBenchSupport.h"
#include "controls/tree/ShellTree.h"
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "core/SyncCall.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"
#include "ui/Application.h"

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 3;
// The size of the folder; another size (a folders-N fixture) may be given as a second argument.
int kFolders = 20000;

TZelShellTreeNode* ChildNamed(TZelShellTreeNode* node, const std::wstring& text)
{
    for (int index = 0; node != nullptr && index < node->Count(); ++index)
        if (node->Item(index)->Text() == text)
            return node->Item(index);
    return nullptr;
}

// Opens the node afresh (its children dropped first) and draws the first screen; `allRows`
// gets the time until every child has its row in the window (the rows after the first
// screens go in while the program waits for input).
double TimeExpansion(TZelShellTree& tree, TZelShellTreeNode* node, double* allRows = nullptr)
{
    node->Collapse(false);
    tree.RefreshNode(node, false, true);  // collapsed: its children go
    SettlePool();
    const double start = Seconds();
    node->Expand(false);
    UpdateWindow(tree.Handle());
    const double firstScreen = Seconds() - start;
    while (tree.ItemsPending()) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    if (allRows != nullptr)
        *allRows = Seconds() - start;
    return firstScreen;
}

// Seconds of the system's tree view alone: `count` children inserted under a collapsed item,
// expanded, the first screen drawn. The window copies the shell tree's styles, font and images.
double TimeBareTreeView(TZelShellTree& tree, int count)
{
    std::vector<std::wstring> texts;
    texts.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        wchar_t text[32];
        swprintf(text, 32, L"folder%06d", index);
        texts.emplace_back(text);
    }
    const HWND shell = tree.Handle();
    RECT bounds{};
    GetClientRect(shell, &bounds);
    const HWND window = CreateWindowExW(
        static_cast<DWORD>(GetWindowLongPtrW(shell, GWL_EXSTYLE)), WC_TREEVIEWW, L"",
        static_cast<DWORD>(GetWindowLongPtrW(shell, GWL_STYLE)) & ~WS_TABSTOP, 0, 0, bounds.right,
        bounds.bottom, GetParent(shell), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return 0;
    SendMessageW(window, WM_SETFONT, SendMessageW(shell, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(window, TVM_SETEXTENDEDSTYLE, ~0u,
                 SendMessageW(shell, TVM_GETEXTENDEDSTYLE, 0, 0));
    SendMessageW(window, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 SendMessageW(shell, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    SetWindowTheme(window, L"explorer", nullptr);
    ShowWindow(shell, SW_HIDE);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(L"folders");
    insert.item.cChildren = 1;
    const auto parent = reinterpret_cast<HTREEITEM>(
        SendMessageW(window, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    UpdateWindow(window);
    const double start = Seconds();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    insert.hParent = parent;
    insert.item.cChildren = 0;
    for (const std::wstring& text : texts) {
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(window, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    SendMessageW(window, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    UpdateWindow(window);
    const double seconds = Seconds() - start;
    DestroyWindow(window);
    ShowWindow(shell, SW_SHOW);
    UpdateWindow(shell);
    return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_shelltree <fixture folder>\n");
        return 2;
    }
    const std::wstring root = ExcludeTrailingBackslash(argv[1]);
    if (argc >= 3)
        kFolders = _wtoi(argv[2]);
    const std::wstring folder = root + L"\\folders-" + std::to_wstring(kFolders);
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    int result = 0;
    {
        TApplication application;
        TBenchForm form(500, 700);
        auto* tree = new TZelShellTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 480, 660);
        // Rooted at the desktop, as the program's tree.
        form.Handle();
        tree->SetSelectedFolder(root);
        UpdateWindow(form.Handle());
        TZelShellTreeNode* fixture = tree->Selected();
        if (fixture != nullptr)
            fixture->Expand(false);
        TZelShellTreeNode* node = ChildNamed(fixture, L"folders-" + std::to_wstring(kFolders));
        if (node == nullptr || Enumerate(folder, false) != kFolders) {
            std::fprintf(stderr, "fixture %ls is missing or incomplete\n", folder.c_str());
            return 1;
        }
        UpdateWindow(tree->Handle());

        std::vector<double> enumTimes, nameTimes, expandTimes, allRowsTimes, handlerTimes,
            refreshTimes, bareTimes;
        const std::wstring added = folder + L"\\added by the bench";
        for (int round = 0; round < kRounds && result == 0; ++round) {
            double start = Seconds();
            Enumerate(folder, false);
            enumTimes.push_back(Seconds() - start);
            start = Seconds();
            Enumerate(folder, true);
            nameTimes.push_back(Seconds() - start);

            bareTimes.push_back(TimeBareTreeView(*tree, kFolders));
            PumpMessages();
            tree->OnAddFolder = nullptr;
            double allRows = 0;
            expandTimes.push_back(TimeExpansion(*tree, node, &allRows));
            allRowsTimes.push_back(allRows);
            if (node->Count() != kFolders)
                result = 1;
            tree->OnAddFolder = [](TObject*, TZelShellTreeNode*, const std::wstring&, bool&) {};
            handlerTimes.push_back(TimeExpansion(*tree, node));
            tree->OnAddFolder = nullptr;
            SettlePool();

            // One subfolder more, announced as the shell announces it.
            CreateDirectoryW(added.c_str(), nullptr);
            start = Seconds();
            SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW | SHCNF_FLUSH, added.c_str(), nullptr);
            while (node->Count() != kFolders + 1 && Seconds() - start < 120) {
                PumpMessages();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
            UpdateWindow(tree->Handle());
            refreshTimes.push_back(Seconds() - start);
            if (node->Count() != kFolders + 1)
                result = 1;
            RemoveDirectoryW(added.c_str());
            SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW | SHCNF_FLUSH, added.c_str(), nullptr);
            start = Seconds();
            while (node->Count() != kFolders && Seconds() - start < 120) {
                PumpMessages();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            }
            SettlePool();
        }
        RemoveDirectoryW(added.c_str());
        if (result != 0) {
            std::fprintf(stderr, "the tree did not show the folder's %d subfolders\n", kFolders);
        } else {
            const double a = Median(enumTimes);
            const double b = Median(nameTimes);
            const double expand = Median(expandTimes);
            const double withHandler = Median(handlerTimes);
            const double refresh = Median(refreshTimes);
            const double bare = Median(bareTimes);
            std::printf("%8s %10s %14s %10s %10s %10s %12s %12s %12s %10s\n", "folders", "enum (a)",
                        "enum+name (b)", "expand", "+handler", "refresh", "expand/(b)",
                        "+handler/(b)", "refresh/(b)", "peak MB");
            std::printf("%8d %9.3fs %13.3fs %9.3fs %9.3fs %9.3fs %12.2f %12.2f %12.2f %10.1f\n",
                        kFolders, a, b, expand, withHandler, refresh, expand / b, withHandler / b,
                        refresh / b, PeakMegabytes());
            std::printf("targets: expand <= 1.0 x (b), refresh <= 1.2 x (b)\n");
            std::printf("the system's tree view alone, %d children inserted, expanded, drawn: "
                        "%.3fs = %.2f x (b); expansion without it: %.2f x (b)\n",
                        kFolders, bare, bare / b, (expand - bare) / b);
            std::printf("every row in the window (the rest added after the first screens): "
                        "%.3fs = %.2f x (b)\n",
                        Median(allRowsTimes), Median(allRowsTimes) / b);
        }
    }
    return result;
}
