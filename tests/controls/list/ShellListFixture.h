#pragma once
// A shell list in a real window of the virtual display, over a temporary folder tree:
//   alpha.txt (10 bytes), beta.txt (20), gamma.dat (30), secret.txt (hidden), docs\inner.txt,
//   RECYCLER\ (hidden).
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/common/TestSeams.h"
#include "controls/list/ShellList.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

class ShellListFixture : public testing::Test {
protected:
    void SetUp() override
    {
        tree.File(L"alpha.txt", 10);
        tree.File(L"beta.txt", 20);
        tree.File(L"gamma.dat", 30);
        tree.File(L"secret.txt", 5, FILE_ATTRIBUTE_HIDDEN);
        tree.Folder(L"docs");
        tree.File(L"docs\\inner.txt", 1);
        tree.Folder(L"RECYCLER");
        SetFileAttributesW(tree.Path(L"RECYCLER").c_str(), FILE_ATTRIBUTE_HIDDEN);
        form = std::make_unique<TTestForm>(nullptr, 700, 500);
        Place(MakeList());
        form->Activate();
    }
    void TearDown() override
    {
        WorkRequestHook = nullptr;
        form.reset();
    }

    // The list the fixture uses; a test may make its own kind.
    virtual TZelShellList* MakeList() { return new TZelShellList(form.get()); }
    void Place(TZelShellList* made)
    {
        list = made;
        list->SetParent(form.get());
        list->SetBounds(0, 0, 680, 460);
        list->OnBeforeFullRefresh = [this](TObject*) { ++fullFills; };
        // Wine reports a change inside a folder only to recursive registrations.
        list->Notifier().SetRecursive(true);
    }

    void Show(const std::wstring& relative = L"")
    {
        list->SetPath(tree.Path(relative));
        Draw();
    }
    void Draw()
    {
        UpdateWindow(list->Handle());
        PumpMessages(20);
    }
    std::vector<std::wstring> Captions()
    {
        std::vector<std::wstring> captions;
        for (int index = 0; index < list->Items()->Count(); ++index)
            captions.push_back(list->Items()->Item(index)->Caption());
        return captions;
    }
    std::set<std::wstring> CaptionSet()
    {
        const auto captions = Captions();
        return {captions.begin(), captions.end()};
    }
    std::vector<std::wstring> SelectedCaptions()
    {
        std::vector<std::wstring> captions;
        for (TListItem* item = list->GetNextSelected(nullptr); item != nullptr;
             item = list->GetNextSelected(item))
            captions.push_back(item->Caption());
        return captions;
    }
    TListItem* ItemNamed(const std::wstring& caption)
    {
        for (int index = 0; index < list->Items()->Count(); ++index)
            if (list->Items()->Item(index)->Caption() == caption)
                return list->Items()->Item(index);
        return nullptr;
    }
    void Announce(LONG event, const std::wstring& path)
    {
        SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, path.c_str(), nullptr);
    }

    TTempTree tree;
    std::unique_ptr<TTestForm> form;
    TZelShellList* list = nullptr;
    int fullFills = 0;
};

using Names = std::set<std::wstring>;
