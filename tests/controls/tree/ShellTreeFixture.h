#pragma once
// A shell tree in a real window of the virtual display, over a temporary folder tree that
// each test fills itself.
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/tree/ShellTree.h"
#include "core/TextCompare.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ShellTreeFixture : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TTestForm>(nullptr, 760, 520);
        shellTree = new TZelShellTree(form.get());
        shellTree->SetParent(form.get());
        shellTree->SetBounds(0, 0, 320, 480);
        form->Activate();
    }
    void TearDown() override
    {
        form.reset();
        PumpMessages(10);
    }

    // The tree rooted at the temporary folder, its first level shown.
    TZelShellTreeNode* RootAtTemp()
    {
        shellTree->SetRootedAtFileSystemFolder(ExcludeTrailingBackslash(tree.Root()));
        Draw();
        return Root();
    }
    TZelShellTreeNode* Root()
    {
        return static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
    }
    void Draw()
    {
        UpdateWindow(shellTree->Handle());
        PumpMessages(20);
    }
    // The child shown with that text (in any case), or null.
    static TZelShellTreeNode* Child(const TTreeNode* node, const std::wstring& text)
    {
        if (node == nullptr)
            return nullptr;
        for (int index = 0; index < node->Count(); ++index)
            if (SameText(node->Item(index)->Text(), text))
                return static_cast<TZelShellTreeNode*>(node->Item(index));
        return nullptr;
    }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelShellTree* shellTree = nullptr;
};
