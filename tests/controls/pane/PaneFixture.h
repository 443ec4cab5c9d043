#pragma once
// One explorer pane in a real window of the virtual display: a folder combo above, a shell
// tree on the left and a shell list on the right, all on one link, over a temporary tree:
//   one (a.txt, b.txt, folder inner), two (c.txt), three (empty)
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/combo/ShellCombo.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

// Public: the table-driven tests act on the pane from their rows.
class PaneFixture : public testing::Test {
public:
    void SetUp() override
    {
        tree.File(L"one\\a.txt", 10);
        tree.File(L"one\\b.txt", 20);
        tree.Folder(L"one\\inner");
        tree.File(L"two\\c.txt", 30);
        tree.Folder(L"three");
        form = std::make_unique<TTestForm>(nullptr, 800, 560);
        link = new TZelShellLink(form.get());
        combo = new TZelShellCombo(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(0, 0, 780, 24);
        shellTree = new TZelShellTree(form.get());
        shellTree->SetParent(form.get());
        shellTree->SetBounds(0, 30, 300, 500);
        list = new TZelShellList(form.get());
        list->SetParent(form.get());
        list->SetBounds(310, 30, 470, 500);
        // Wine reports a change inside a folder only to recursive registrations.
        list->Notifier().SetRecursive(true);
        combo->SetShellLink(link);
        shellTree->SetShellLink(link);
        list->SetShellLink(link);
        form->Activate();
        shellTree->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree.Root()));
        Draw();
    }
    void TearDown() override
    {
        form.reset();
        PumpMessages(10);
    }

    void Draw()
    {
        UpdateWindow(form->Handle());
        PumpMessages(20);
    }
    std::set<std::wstring> ListNames()
    {
        std::set<std::wstring> names;
        for (int index = 0; index < list->Items()->Count(); ++index)
            names.insert(list->Items()->Item(index)->Caption());
        return names;
    }
    std::wstring ListFolder() { return ExcludeTrailingBackslash(list->GetPath()); }
    // The pane answers: the list moves to a folder and the tree follows.
    void ExpectUsable(const std::wstring& relative, const std::set<std::wstring>& names)
    {
        list->SetPath(tree.Path(relative));
        Draw();
        EXPECT_TRUE(SameFileName(ListFolder(), tree.Path(relative)));
        EXPECT_EQ(ListNames(), names);
        ASSERT_NE(shellTree->Selected(), nullptr);
        EXPECT_TRUE(
            SameFileName(ExcludeTrailingBackslash(shellTree->NodePath(shellTree->Selected())),
                         tree.Path(relative)));
    }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelShellLink* link = nullptr;
    TZelShellCombo* combo = nullptr;
    TZelShellTree* shellTree = nullptr;
    TZelShellList* list = nullptr;
};
