// What judging where a folder is costs a tree's full refresh. Every node a refresh walks is
// judged (is it on a fixed disk, reached without a link?) before it is read, so that a folder
// that may wait is asked within a limit; on a fixed disk the judgement must stay a small share
// of the refresh. Baseline, measured in the same run: the full refresh (RefreshContents) of a
// tree with every node expanded, over a fixture of `count` folders, each with two subfolders,
// four levels below the fixture's root. Printed: the refresh, the judgement of every node, the
// part of it the tree paid before (the node's path alone), and their shares of the refresh.
//
// Usage: bench_folderplace.exe [fixture folder] [count]
#include "ShellBenchSupport.h"
#include "controls/ShellTree.h"
#include "controls/ShellTreeNode.h"
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
    CreateDirectoryW(root.c_str(), nullptr);
    for (const wchar_t* level : {L"\\level one", L"\\level two", L"\\level three", L"\\level four"}) {
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

std::vector<TZelShellTreeNode*> ExpandAll(TZelShellTree& tree)
{
    std::vector<TZelShellTreeNode*> nodes;
    for (auto* node = static_cast<TZelShellTreeNode*>(tree.Items()->GetFirstNode());
         node != nullptr; node = node->GetNext()) {
        node->Expand(false);
        nodes.push_back(node);
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
        std::vector<double> refreshTimes, judgeTimes, pathTimes;
        int waiting = 0;
        for (int round = 0; round < kRounds; ++round) {
            double start = Seconds();
            tree->RefreshContents();
            refreshTimes.push_back(Seconds() - start);
            SettlePool();
            // The tree is the same after a refresh of unchanged folders: its nodes stay.
            start = Seconds();
            for (TZelShellTreeNode* node : nodes)
                waiting += FolderWaitPlace(node->AbsoluteIDList()).empty() ? 0 : 1;
            judgeTimes.push_back(Seconds() - start);
            start = Seconds();
            size_t length = 0;
            for (TZelShellTreeNode* node : nodes)
                length += LongPathFromIDList(node->AbsoluteIDList()).size();
            pathTimes.push_back(Seconds() - start + (length == 0 ? 1 : 0));
        }
        if (waiting != 0) {
            std::fprintf(stderr, "%d nodes judged as folders that may wait\n", waiting);
            result = 1;
        }
        const double refresh = Median(refreshTimes);
        const double judge = Median(judgeTimes);
        const double path = Median(pathTimes);
        std::printf("%8s %10s %10s %10s %14s %16s\n", "nodes", "refresh", "judge", "path alone",
                    "judge/refresh", "(judge-path)/refresh");
        std::printf("%8d %9.3fs %9.3fs %9.3fs %14.3f %16.3f\n", static_cast<int>(nodes.size()),
                    refresh, judge, path, judge / refresh, (judge - path) / refresh);
        std::printf("target: (judge-path)/refresh <= 0.10\n");
    }
    return result;
}
