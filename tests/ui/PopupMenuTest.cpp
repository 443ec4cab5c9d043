// Popup menus shown in the virtual display and driven like a user would.
#include "ui/Menus.h"

#include "common/Input.h"
#include "common/MenuDriver.h"
#include "common/Screen.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "core/MessageWindow.h"
#include "ui/Application.h"
#include "ui/ListView.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PopupMenuTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TTestForm>();
        form_->Activate();
        menu_ = new TPopupMenu(form_.get());
        ParkMouse();
    }
    TMenuItem* AddItem(TMenuItem* parent, const std::wstring& caption,
                       std::vector<std::wstring>* clicks = nullptr)
    {
        auto* item = new TMenuItem(form_.get());
        item->SetCaption(caption);
        if (clicks != nullptr)
            item->OnClick = [clicks, caption](TObject*) { clicks->push_back(caption); };
        parent->Add(item);
        return item;
    }
    void Popup() { menu_->Popup(100, 100); }

    std::unique_ptr<TTestForm> form_;
    TPopupMenu* menu_ = nullptr;
};

TEST_F(PopupMenuTest, ShowsTheMenuAndClicksTheChosenItem)
{
    std::vector<std::wstring> events;
    menu_->OnPopup = [&](TObject*) { events.push_back(L"popup"); };
    AddItem(menu_->Items(), L"&First", &events);
    AddItem(menu_->Items(), L"-");
    AddItem(menu_->Items(), L"Disabled", &events)->SetEnabled(false);
    TMenuItem* second = AddItem(menu_->Items(), L"&Second", &events);

    TMenuDriver driver;
    driver.Inspect([&] { events.push_back(L"open"); }).Choose(second->Command());
    driver.Start();
    Popup();
    EXPECT_TRUE(driver.MenuShown());
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"popup", L"open", L"&Second"}));
    ASSERT_EQ(driver.Entries().size(), 4u);
    EXPECT_EQ(driver.Entries()[3].Text, L"&Second");

    // Enter on a disabled entry, and Escape, choose nothing.
    events.clear();
    TMenuDriver disabled;
    disabled.ChooseCaption(L"Disabled").Cancel();
    disabled.Start();
    Popup();
    TMenuDriver escape;
    escape.Cancel();
    escape.Start();
    Popup();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"popup", L"popup"}));
}

TEST_F(PopupMenuTest, ASubmenuItemUpdatesItsChildrenBeforeTheyShow)
{
    std::vector<std::wstring> events;
    TMenuItem* view = AddItem(menu_->Items(), L"&View", &events);
    TMenuItem* icons = AddItem(view, L"&Icons", &events);
    TMenuItem* details = AddItem(view, L"&Details", &events);
    view->OnClick = [&](TObject*) {
        events.push_back(L"view opens");
        details->SetChecked(true);
    };
    std::vector<TMenuEntry> shown;
    TMenuDriver driver;
    driver.ChooseCaption(L"View\\Icons");
    driver.Start();
    Popup();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"view opens", L"&Icons"}));
    EXPECT_TRUE(MenuEntries(view->Handle())[1].Checked);
    EXPECT_FALSE(icons->Checked());
}

TEST_F(PopupMenuTest, MenuSelectionShowsTheLongHint)
{
    AddItem(menu_->Items(), L"&Copy")->SetHint(L"Copy|Copies the selected files");
    AddItem(menu_->Items(), L"&Plain");
    int hintChanges = 0;
    Application->OnHint = [&](TObject*) { ++hintChanges; };
    std::vector<std::wstring> hints;
    TMenuDriver driver;
    driver.PressKeys({VK_HOME})
        .Inspect([&] { hints.push_back(Application->Hint()); })
        .PressKeys({VK_DOWN})
        .Inspect([&] { hints.push_back(Application->Hint()); })
        .PressKeys({VK_UP})
        .Cancel();
    driver.Start();
    Popup();
    Application->OnHint = nullptr;
    EXPECT_EQ(hints, (std::vector<std::wstring>{L"Copies the selected files", L""}));
    EXPECT_EQ(Application->Hint(), L"");  // cleared when the menu closed
    EXPECT_EQ(hintChanges, 4);
}

// Stands for a shell context menu: entries with command numbers of its own in our menu,
// shown by other code with an owner window that passes the menu messages on.
TEST_F(PopupMenuTest, AMergedMenuMapsChosenCommandsBackToOurItems)
{
    std::vector<std::wstring> clicks;
    TMenuItem* ours = AddItem(menu_->Items(), L"Our &item", &clicks);
    ours->SetHint(L"Ours");
    HMENU merged = menu_->Handle();
    InsertMenuW(merged, 0, MF_BYPOSITION | MF_STRING, 1, L"Shell &open");
    InsertMenuW(merged, 1, MF_BYPOSITION | MF_STRING, 2, L"Shell &delete");

    std::vector<std::wstring> hints;
    TMessageWindow owner(
        [](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (message != WM_MENUSELECT && message != WM_INITMENUPOPUP && message != WM_DRAWITEM &&
                message != WM_MEASUREITEM)
                return false;
            result = SendMessageW(TPopupMenu::PopupListWindow(), message, wParam, lParam);
            return true;
        },
        TMessageWindow::TKind::HiddenTopLevel);
    auto show = [&] {
        const UINT command = static_cast<UINT>(TrackPopupMenu(
            merged, TPM_RETURNCMD | TPM_RIGHTBUTTON, 100, 100, 0, owner.Handle(), nullptr));
        if (TMenuItem* item = TPopupMenu::FindPopupItem(command)) {
            item->Click();
            return 0u;
        }
        return command;
    };
    TMenuDriver chooseOurs;
    chooseOurs.PressKeys({VK_HOME, VK_DOWN, VK_DOWN})
        .Inspect([&] { hints.push_back(Application->Hint()); })
        .PressKeys({VK_RETURN});
    chooseOurs.Start();
    EXPECT_EQ(show(), 0u);
    EXPECT_EQ(clicks, (std::vector<std::wstring>{L"Our &item"}));
    EXPECT_EQ(hints, (std::vector<std::wstring>{L"Ours"}));

    // A rebuild of our entries leaves the others alone.
    AddItem(menu_->Items(), L"Second of ours");
    InsertMenuW(merged, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, 3, L"Shell last");
    ours->SetVisible(false);
    ours->SetVisible(true);
    std::vector<std::wstring> texts;
    for (const TMenuEntry& entry : MenuEntries(merged))
        texts.push_back(entry.Text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Shell &open", L"Shell &delete", L"Our &item",
                                                L"Second of ours", L"Shell last"}));
    TMenuDriver chooseShell;
    chooseShell.ChooseCaption(L"Shell delete");
    chooseShell.Start();
    EXPECT_EQ(show(), 2u);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(PopupMenuTest, ImagesAreDrawnBesideTheCaptions)
{
    auto* images = new TImageList(form_.get());
    {
        HDC screen = GetDC(nullptr);
        TScopedGdiObject red(CreateCompatibleBitmap(screen, 16, 16));
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, red.get());
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        images->Add(static_cast<HBITMAP>(red.get()), nullptr);
    }
    menu_->SetImages(images);
    AddItem(menu_->Items(), L"Plain");
    AddItem(menu_->Items(), L"Red")->SetImageIndex(0);
    int redPixels = -1;
    TMenuDriver driver;
    driver.Inspect([] {})
        .Inspect([&] {
            HWND window = FindWindowW(L"#32768", nullptr);
            redPixels = CountPixels(
                window, [](BYTE r, BYTE g, BYTE b) { return r > 200 && g < 60 && b < 60; });
        })
        .Cancel();
    driver.Start();
    Popup();
    EXPECT_GE(redPixels, 16 * 12);
}

TEST_F(PopupMenuTest, AControlShowsItsPopupMenuOnARightClick)
{
    auto* list = new TListView(form_.get());
    list->SetParent(form_.get());
    list->SetBounds(0, 0, 300, 200);
    list->SetPopupMenu(menu_);
    std::vector<std::wstring> clicks;
    TMenuItem* item = AddItem(menu_->Items(), L"&Refresh", &clicks);

    TMenuDriver driver;
    driver.Choose(item->Command());
    driver.Start();
    ClickAt(list->Handle(), POINT{150, 150}, TMouseButton::mbRight);
    FlushInput();
    PumpMessagesUntil([&] { return !clicks.empty(); }, 3000);
    EXPECT_EQ(clicks, (std::vector<std::wstring>{L"&Refresh"}));
    EXPECT_EQ(menu_->PopupComponent(), list);

    // A handler that takes the request keeps the menu away.
    bool asked = false;
    list->OnContextPopup = [&](TObject*, POINT, bool& handled) {
        asked = true;
        handled = true;
    };
    TMenuDriver unused(500);
    unused.Cancel();
    unused.Start();
    ClickAt(list->Handle(), POINT{150, 150}, TMouseButton::mbRight);
    FlushInput();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(unused.MenuShown());

    delete menu_;  // the control forgets a menu that goes
    menu_ = nullptr;
    EXPECT_EQ(list->PopupMenu(), nullptr);
}

TEST_F(PopupMenuTest, TheDriverClosesAMenuLeftOpenAndClicksWithTheMouse)
{
    std::vector<std::wstring> clicks;
    AddItem(menu_->Items(), L"One", &clicks);
    TMenuItem* two = AddItem(menu_->Items(), L"Two", &clicks);
    TMenuDriver idle(300);
    idle.Start();
    const DWORD start = GetTickCount();
    Popup();
    EXPECT_TRUE(idle.TimedOut());
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_TRUE(clicks.empty());

    TMenuDriver mouse;
    mouse.Click(two->Command());
    mouse.Start();
    Popup();
    EXPECT_EQ(clicks, (std::vector<std::wstring>{L"Two"}));
}

}  // namespace
