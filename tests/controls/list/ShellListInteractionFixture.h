#pragma once
// The shell list of ShellListFixture with what the interaction tests read: whether the list
// consumed each key, the operations it reported, the shell commands it asked for (refused
// unless a test allows them), and a link with a second control that counts its requests.
#include "common/DialogAnswerer.h"
#include "common/Input.h"
#include "common/MenuDriver.h"
#include "controls/list/ShellListFixture.h"
#include "link/ShellLink.h"
#include "shell/PathList.h"
#include "shell/Verbs.h"

#include <string>
#include <vector>

// Records what the key handling left of each key (0: consumed).
class TKeyProbeList : public TZelShellList {
public:
    using TZelShellList::TZelShellList;
    int LastKeyLeft = -1;
    int LastCharLeft = -1;

protected:
    void KeyDown(WORD& key, TShiftState shift) override
    {
        const WORD pressed = key;
        TZelShellList::KeyDown(key, shift);
        if (pressed != VK_SHIFT && pressed != VK_CONTROL && pressed != VK_MENU)
            LastKeyLeft = key;
    }
    void KeyPress(wchar_t& key) override
    {
        TZelShellList::KeyPress(key);
        LastCharLeft = key;
    }
};

// A second control of the link, counting the refreshes the list asks of the others.
class TCountingControl : public IZelShellControl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IZelShellControl) {
            *object = static_cast<IZelShellControl*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void STDMETHODCALLTYPE SetShellLink(TZelShellLink*) override {}
    TZelShellLink* STDMETHODCALLTYPE GetShellLink() override { return nullptr; }
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList) override {}
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList, TBorrowedIDList) override {}
    void STDMETHODCALLTYPE SelectAll() override {}
    void STDMETHODCALLTYPE RefreshContents() override { ++Refreshes; }
    void STDMETHODCALLTYPE RefreshChanges() override { ++RefreshChangesCount; }
    bool STDMETHODCALLTYPE GoUp() override { return false; }
    int Refreshes = 0;
    int RefreshChangesCount = 0;
};

struct TReport {
    TZelShellOperations Operation;
    std::vector<std::wstring> Files;
    std::wstring Destination;
};

class ShellListInteractionFixture : public ShellListFixture {
protected:
    TZelShellList* MakeList() override
    {
        probe = new TKeyProbeList(form.get());
        return probe;
    }
    void SetUp() override
    {
        ShellListFixture::SetUp();
        list->OnOperation = [this](TObject* sender, TZelShellOperations operation,
                                   const std::vector<std::wstring>& files,
                                   const std::wstring& destination) {
            EXPECT_EQ(sender, list);
            reports.push_back({operation, files, destination});
        };
        list->Browser().OnBeforeShellCommand = [this](TNautilex*, const std::string& command,
                                                      TZelPathList&, bool& allow) {
            commands.push_back(UpperVerb(command));
            // Nothing that starts a program or opens a window of its own.
            allow = allowCommands && !SameVerb(command, kVerbDefault) &&
                    !SameVerb(command, kVerbProperties) && !SameVerb(command, "open");
        };
        ParkMouse();
    }
    void TearDown() override
    {
        if (link != nullptr)
            link->RemoveControl(&other);
        OleSetClipboard(nullptr);
        ShellListFixture::TearDown();
    }

    TZelShellLink* Link()
    {
        if (link == nullptr) {
            link = new TZelShellLink(form.get());
            list->SetShellLink(link);
            link->AddControl(&other);
        }
        return link;
    }
    // Selects only that item and gives the list the focus.
    TListItem* Select(const std::wstring& caption)
    {
        TListItem* item = ItemNamed(caption);
        EXPECT_NE(item, nullptr) << caption;
        list->SetSelected(item);
        list->SetFocus();
        return item;
    }
    void Press(WORD key, TShiftState shift = 0)
    {
        list->SetFocus();
        probe->LastKeyLeft = -1;
        PressKey(key, shift);
        FlushInput();
    }
    void Type(const wchar_t* text)
    {
        TypeText(text);
        FlushInput();
    }
    POINT LabelCenter(const std::wstring& caption)
    {
        const RECT rect = ItemNamed(caption)->DisplayRect(TDisplayCode::drLabel);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    std::wstring Shown() { return list->GetPath(); }

    TKeyProbeList* probe = nullptr;
    TZelShellLink* link = nullptr;
    TCountingControl other;
    std::vector<TReport> reports;
    std::vector<std::string> commands;
    bool allowCommands = false;
};
