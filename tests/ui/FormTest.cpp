#include "ui/Forms.h"

#include "common/Input.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/ListBox.h"
#include "ui/MainMenu.h"
#include "ui/SpeedButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records when its loading ends and whether the component it watches still loaded then.
class TLoadProbe : public TComponent {
public:
    TLoadProbe(TComponent* owner, std::vector<std::wstring>& log) : TComponent(owner), log_(log) {}
    TComponent* Watched = nullptr;

protected:
    void Loaded() override
    {
        TComponent::Loaded();
        std::wstring entry = L"loaded " + Name;
        if (Watched != nullptr && Watched->IsLoading())
            entry += L" while " + Watched->Name + L" loads";
        log_.push_back(entry);
    }

private:
    std::vector<std::wstring>& log_;
};

// A control that asks for keys through WM_GETDLGCODE and records the keys it gets.
class TKeyProbe : public TWinControl {
public:
    TKeyProbe(TComponent* owner, LRESULT dialogCode) : TWinControl(owner), code_(dialogCode)
    {
        TabStop = true;
    }
    ~TKeyProbe() override { DestroyHandle(); }
    std::vector<WPARAM> keys;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_GETDLGCODE) {
            message.Result = code_;
            return;
        }
        if (message.Msg == WM_KEYDOWN)
            keys.push_back(message.WParam);
        if (message.Msg == WM_LBUTTONDOWN)
            SetFocus();
        TWinControl::WndProc(message);
    }

private:
    LRESULT code_;
};

class FormTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(40, 40, 420, 300);
        form_->SetCaption(L"Bivista form test");
    }

    TKeyProbe* AddProbe(int left, LRESULT code)
    {
        auto* probe = MakeOwned<TKeyProbe>(form_.get(), code);
        probe->SetParent(form_.get());
        probe->SetBounds(left, 10, 100, 100);
        return probe;
    }

    TListBox* AddList(int left, const std::wstring& name)
    {
        auto* list = MakeOwned<TListBox>(form_.get());
        list->Name = name;
        list->SetParent(form_.get());
        list->SetBounds(left, 10, 100, 100);
        list->SetItems({L"one", L"two"});
        list->OnEnter = [this, name](TObject*) { events_.push_back(L"enter " + name); };
        list->OnExit = [this, name](TObject*) { events_.push_back(L"exit " + name); };
        return list;
    }

    static HWND Focus() { return GetFocus(); }

    std::unique_ptr<TForm> form_;
    std::vector<std::wstring> events_;
};

TEST_F(FormTest, OneLoadingBracketCoversEveryComponentAndTheCreateHandlerComesAfter)
{
    std::vector<std::wstring> log;
    auto* first = MakeOwned<TLoadProbe>(form_.get(), log);
    first->Name = L"first";
    auto* second = MakeOwned<TLoadProbe>(form_.get(), log);
    second->Name = L"second";
    first->Watched = second;
    second->Watched = first;
    form_->OnCreate = [&](TObject*) {
        log.push_back(std::wstring(L"create") +
                      (first->IsLoading() || second->IsLoading() ? L" while loading" : L""));
    };

    form_->BeginFormLoading();
    EXPECT_TRUE(form_->IsLoading());
    EXPECT_TRUE(first->IsLoading());
    EXPECT_TRUE(second->IsLoading());
    form_->EndFormLoading();

    // The first component ends loading while the second still loads: what it announces then
    // reaches the second as a stored value, not as work done twice.
    const std::vector<std::wstring> expected{L"loaded first while second loads", L"loaded second",
                                             L"create"};
    EXPECT_EQ(log, expected);
}

TEST_F(FormTest, EnterAndExitFireOnlyWhenTheActiveControlChanges)
{
    TListBox* left = AddList(10, L"left");
    TListBox* right = AddList(150, L"right");
    form_->Show();
    FlushInput();
    events_.clear();

    ASSERT_EQ(Focus(), left->WindowHandle()) << "showing focuses the first in tab order";
    right->SetFocus();
    left->SetFocus();
    right->SetFocus();
    EXPECT_EQ(form_->ActiveControl(), right);
    const std::vector<std::wstring> moved{L"exit left",  L"enter right", L"exit right",
                                          L"enter left", L"exit left",   L"enter right"};
    EXPECT_EQ(events_, moved);
    events_.clear();

    // Another window of the program takes the activation, then the form gets it back.
    TForm other(nullptr);
    other.SetBounds(300, 300, 200, 150);
    other.Show();
    FlushInput();
    EXPECT_NE(Focus(), right->WindowHandle());
    SetForegroundWindow(form_->Handle());
    SetActiveWindow(form_->Handle());
    FlushInput();
    EXPECT_EQ(Focus(), right->WindowHandle());

    // A window inside the control (as a label edit is) takes the focus and gives it back.
    HWND inner = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                 right->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(inner, nullptr);
    SetFocus(inner);
    right->SetFocus();
    DestroyWindow(inner);

    EXPECT_TRUE(events_.empty()) << events_.front();
}

TEST_F(FormTest, AWindowInsideAControlEntersThatControl)
{
    TListBox* list = AddList(10, L"list");
    auto* holder = MakeOwned<TKeyProbe>(form_.get(), DLGC_WANTCHARS);
    holder->SetParent(form_.get());
    holder->SetBounds(150, 10, 120, 40);
    holder->OnEnter = [this](TObject*) { events_.push_back(L"enter holder"); };
    form_->Show();
    list->SetFocus();
    FlushInput();
    events_.clear();

    // As the edit of a combo box: a plain window inside the control takes the focus.
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 2, 2, 100, 20,
                                holder->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    const std::vector<std::wstring> entered{L"exit list", L"enter holder"};
    EXPECT_EQ(events_, entered);
    EXPECT_EQ(form_->ActiveControl(), holder);
    DestroyWindow(edit);
}

TEST_F(FormTest, TabMovesAmongTabStopsUnlessTheWindowWantsTheKey)
{
    TListBox* first = AddList(10, L"first");
    TKeyProbe* wantsTab = AddProbe(120, DLGC_WANTTAB | DLGC_WANTCHARS);
    auto* button = MakeOwned<TSpeedButton>(form_.get());  // never a tab stop
    button->SetParent(form_.get());
    button->SetBounds(10, 150, 25, 24);
    TListBox* hidden = AddList(240, L"hidden");
    hidden->SetVisible(false);
    TListBox* last = AddList(300, L"last");
    form_->Show();
    first->SetFocus();
    FlushInput();

    PressKey(VK_TAB);
    FlushInput();
    EXPECT_EQ(Focus(), wantsTab->WindowHandle());

    // A window that wants Tab for itself (a label edit, an edit of a combo) keeps the key.
    PressKey(VK_TAB);
    FlushInput();
    EXPECT_EQ(Focus(), wantsTab->WindowHandle());
    EXPECT_EQ(wantsTab->keys, std::vector<WPARAM>{VK_TAB});

    last->SetFocus();
    PressKey(VK_TAB);
    FlushInput();
    EXPECT_EQ(Focus(), first->WindowHandle()) << "round from the last to the first";
    PressKey(VK_TAB, ssShift);
    FlushInput();
    EXPECT_EQ(Focus(), last->WindowHandle()) << "backwards, past the hidden list";
}

TEST_F(FormTest, TabFollowsThePlacesNotTheOrderOfMaking)
{
    TListBox* lower = AddList(10, L"lower");
    lower->SetBounds(10, 150, 100, 100);
    TListBox* right = AddList(150, L"right");
    TListBox* left = AddList(10, L"left");
    form_->Show();
    FlushInput();
    EXPECT_EQ(Focus(), left->WindowHandle()) << "the first in reading order";
    PressKey(VK_TAB);
    FlushInput();
    EXPECT_EQ(Focus(), right->WindowHandle());
    PressKey(VK_TAB);
    FlushInput();
    EXPECT_EQ(Focus(), lower->WindowHandle());
}

TEST_F(FormTest, MenuShortcutsRunUnlessTheWindowWantsEveryKey)
{
    TListBox* list = AddList(10, L"list");
    TKeyProbe* wantsAll = AddProbe(120, DLGC_WANTALLKEYS);
    auto* menu = MakeOwned<TMainMenu>(form_.get());
    auto* file = MakeOwned<TMenuItem>(menu);
    file->SetCaption(L"&File");
    menu->Items()->Add(file);
    auto* run = MakeOwned<TMenuItem>(menu);
    run->SetCaption(L"&Run");
    run->SetShortCut(ShortCut('K', ssCtrl));
    int runs = 0;
    run->OnClick = [&](TObject*) { ++runs; };
    file->Add(run);
    form_->SetMenu(menu);
    form_->Show();
    list->SetFocus();
    FlushInput();

    PressKey('K', ssCtrl);
    FlushInput();
    EXPECT_EQ(runs, 1);

    wantsAll->SetFocus();
    PressKey('K', ssCtrl);
    FlushInput();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(wantsAll->keys.back(), static_cast<WPARAM>('K')) << "the window keeps its keys";
}

TEST_F(FormTest, AMenuBarEntryWithoutSubmenuRunsFromItsAltKey)
{
    TListBox* list = AddList(10, L"list");
    auto* menu = MakeOwned<TMainMenu>(form_.get());
    auto* exit = MakeOwned<TMenuItem>(menu);
    exit->SetCaption(L"E&xit");
    menu->Items()->Add(exit);
    auto* mark = MakeOwned<TMenuItem>(menu);
    mark->SetCaption(L"&Bookmark");
    menu->Items()->Add(mark);
    int marks = 0;
    mark->OnClick = [&](TObject*) { ++marks; };
    form_->SetMenu(menu);
    form_->Show();
    list->SetFocus();
    FlushInput();
    HMENU bar = GetMenu(form_->WindowHandle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 2);

    PressKey('B', ssAlt);
    FlushInput();
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(Focus(), list->WindowHandle()) << "the menu gives the focus back";
}

TEST_F(FormTest, ShowModalReturnsTheButtonsResultAndFreesTheOtherWindowsAfterwards)
{
    TListBox* list = AddList(10, L"list");
    form_->Show();
    FlushInput();

    TForm dialog(nullptr);
    dialog.BorderStyle = TFormBorderStyle::bsDialog;
    dialog.Position = TPosition::poScreenCenter;
    dialog.SetBounds(0, 0, 240, 120);
    auto* accept = MakeOwned<TButton>(&dialog);
    accept->SetParent(&dialog);
    accept->SetCaption(L"Accept");
    accept->ModalResult = mrOk;
    accept->SetBounds(80, 40, 75, 25);
    bool formDisabledMeanwhile = false;
    dialog.OnShow = [&](TObject*) {
        formDisabledMeanwhile = !IsWindowEnabled(form_->WindowHandle());
        PostMessageW(accept->Handle(), BM_CLICK, 0, 0);
    };

    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(formDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(form_->WindowHandle()));
    EXPECT_FALSE(IsWindowVisible(dialog.WindowHandle()));

    // Closing the box is a cancel.
    dialog.OnShow = [&](TObject*) { PostMessageW(dialog.WindowHandle(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(form_->WindowHandle()));
    (void)list;
}

TEST_F(FormTest, TheWindowStateIsTheWindowsOwnWhileShownAndKeptWhileHidden)
{
    form_->SetWindowState(TWindowState::wsMaximized);
    EXPECT_EQ(form_->WindowState(), TWindowState::wsMaximized);
    form_->Show();
    FlushInput();
    EXPECT_TRUE(IsZoomed(form_->WindowHandle()));
    form_->SetWindowState(TWindowState::wsMinimized);
    FlushInput();
    EXPECT_TRUE(IsIconic(form_->WindowHandle()));
    EXPECT_EQ(form_->WindowState(), TWindowState::wsMinimized);
    form_->SetWindowState(TWindowState::wsNormal);
    FlushInput();
    EXPECT_EQ(form_->WindowState(), TWindowState::wsNormal);
    form_->Hide();
    EXPECT_EQ(form_->WindowState(), TWindowState::wsNormal);
}

}  // namespace
