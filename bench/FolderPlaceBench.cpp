// What judging where a folder is costs a tree's full refresh. Every node a refresh walks is
// judged (on a fixed disk and reached without a link, or somewhere that may wait?) so that a
// folder that may wait is asked within a limit; on a fixed disk the judgement must stay a small
// share of the refresh. Baseline, measured in the same run: the full refresh (RefreshContents)
// of a tree with every node expanded and drawn, over `count` folders with two subfolders each,
// four levels below the fixture's root. Printed: the refresh; the judgement of every node
// made afresh (what a node's first refresh pays) and as the tree keeps it (what every later
// refresh pays), each also as a share of the refresh.
//
// Usage: bench_folderplace.exe [fixture folder] [count]
#include "ShellBenchSupport.h"
#include "controls/tree/ShellTree.h"
#include "controls/tree/ShellTreeNode.h"
#include "shell/FolderPlace.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "ui/Application.h"

#include <cstdio>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 3;

std::wstring MakeFixture(const std::wstring& base, int count)
{
    const std::wstring root = base + L"\\bivista-bench-folderplace-" + std::to_wstring(count);
    std::wstring deep = root;
    CreateDirectoryW(base.c_str(), nullptr);
    CreateDirectoryW(root.c_str(), nullptr);
    for (const wchar_t* level :
         {L"\\level one", L"\\level two", L"\\level three", L"\\level four"}) {
        deep += level;
        CreateDirectoryW(deep.c_str(), nullptr);
    }
    for (int index = 0; index < count; ++index) {
        const std::wstring folder = deep + L"\\folder" + std::to_wstring(index);
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\first").c_str(), nullptr);
        CreateDirectoryW((folder + L"\\second").c_str(), nullptr);
    }
    return root;
}

// Every node expanded and drawn once: a refresh walks only nodes that were drawn.
std::vector<TZelShellTreeNode*> ExpandAll(TZelShellTree& tree)
{
    std::vector<TZelShellTreeNode*> nodes;
    for (auto* node = static_cast<TZelShellTreeNode*>(tree.Items()->GetFirstNode());
         node != nullptr; node = node->GetNext()) {
        node->Expand(false);
        nodes.push_back(node);
    }
    for (TZelShellTreeNode* node : nodes) {
        node->MakeVisible();
        UpdateWindow(tree.Handle());
    }
    return nodes;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = ExcludeTrailingBackslash(argc >= 2 ? argv[1] : temp);
    const int count = argc >= 3 ? _wtoi(argv[2]) : 1000;
    const TShellBenchSession session;
    if (!session.Started())
        return 2;
    const std::wstring root = MakeFixture(base, count);
    const DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        std::fprintf(stderr, "cannot make the fixture %ls\n", root.c_str());
        return 1;
    }
    int result = 0;
    {
        TApplication application;
        TBenchForm form(500, 700);
        auto* tree = new TZelShellTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 480, 660);
        form.Handle();
        tree->SetRootedAtFileSystemFolder(root);
        const std::vector<TZelShellTreeNode*> nodes = ExpandAll(*tree);
        UpdateWindow(tree->Handle());
        SettlePool();
        if (static_cast<int>(nodes.size()) != 5 + 3 * count) {
            std::fprintf(stderr, "the tree shows %d nodes, not %d\n",
                         static_cast<int>(nodes.size()), 5 + 3 * count);
            return 1;
        }
        std::vector<double> refreshTimes, freshTimes, keptTimes;
        int waiting = 0;
        int drawn = 0;
        for (TZelShellTreeNode* node : nodes)
            drawn += node->ImageIndex() >= 0 ? 1 : 0;
        for (int round = 0; round <= kRounds; ++round) {
            double start = Seconds();
            tree->RefreshContents();
            // The first refresh judges every node; later ones find the judgement kept.
            if (round > 0)
                refreshTimes.push_back(Seconds() - start);
            SettlePool();
            // The tree is the same after a refresh of unchanged folders: its nodes stay.
            for (TZelShellTreeNode* node : nodes)
                node->WaitPlaceKnown = false;
            start = Seconds();
            for (TZelShellTreeNode* node : nodes)
                waiting += tree->NodeWaitPlace(node).empty() ? 0 : 1;
            freshTimes.push_back(Seconds() - start);
            start = Seconds();
            for (TZelShellTreeNode* node : nodes)
                waiting += tree->NodeWaitPlace(node).empty() ? 0 : 1;
            keptTimes.push_back(Seconds() - start);
        }
        if (waiting != 0) {
            std::fprintf(stderr, "%d nodes judged as folders that may wait\n", waiting);
            result = 1;
        }
        const double refresh = Median(refreshTimes);
        const double fresh = Median(freshTimes);
        const double kept = Median(keptTimes);
        std::printf("%8s %8s %10s %12s %12s %16s %15s\n", "nodes", "drawn", "refresh",
                    "judge afresh", "judge kept", "afresh/refresh", "kept/refresh");
        std::printf("%8d %8d %9.3fs %11.3fs %11.3fs %16.3f %15.4f\n",
                    static_cast<int>(nodes.size()), drawn, refresh, fresh, kept, fresh / refresh,
                    kept / refresh);
        std::printf("targets: afresh/refresh <= 0.05, kept/refresh <= 0.01\n");
    }
    return result;
}
