#include "ui/WinControl.h"

#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "ui/Cursor.h"
#include "ui/ListView.h"
#include "ui/WindowSubclass.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records what reaches the virtual handlers.
class TProbeControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::wstring> events;
    int destroying = 0;
    int measured = 0;

protected:
    bool ReflectedMessage(TMessage& message) override
    {
        if (message.Msg != WM_MEASUREITEM)
            return false;
        ++measured;
        message.Result = TRUE;
        return true;
    }
    void WindowDestroying() override { ++destroying; }
    void MouseEnter() override
    {
        events.push_back(L"enter");
        TWinControl::MouseEnter();
    }
    void MouseLeave() override
    {
        events.push_back(L"leave");
        TWinControl::MouseLeave();
    }
};

class WinControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TTestForm>();
        control_ = new TProbeControl(form_.get());
        control_->SetParent(form_.get());
        control_->SetBounds(10, 20, 200, 100);
    }
    std::unique_ptr<TTestForm> form_;
    TProbeControl* control_ = nullptr;
};

TEST_F(WinControlTest, TheWindowIsMadeWhenNeededAndMadeAgainWithItsState)
{
    EXPECT_FALSE(control_->HandleAllocated());
    control_->SetCaption(L"probe");
    control_->SetEnabled(false);
    HWND first = control_->Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(form_->HandleAllocated());
    EXPECT_EQ(GetParent(first), form_->WindowHandle());
    EXPECT_EQ(TWinControl::FindControl(first), control_);

    control_->RecreateWnd();
    HWND second = control_->WindowHandle();
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(control_->destroying, 1);
    wchar_t text[32] = {};
    GetWindowTextW(second, text, 32);
    EXPECT_STREQ(text, L"probe");
    EXPECT_FALSE(IsWindowEnabled(second));
    RECT rect{};
    GetWindowRect(second, &rect);
    MapWindowPoints(nullptr, form_->WindowHandle(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 200);

    // The parent's window destroyed by the system takes the child's along; both come back.
    DestroyWindow(form_->WindowHandle());
    EXPECT_FALSE(control_->HandleAllocated());
    EXPECT_FALSE(form_->HandleAllocated());
    EXPECT_EQ(control_->destroying, 2);
    EXPECT_NE(control_->Handle(), nullptr);
    EXPECT_EQ(GetParent(control_->WindowHandle()), form_->WindowHandle());
}

TEST_F(WinControlTest, AControlInAForeignWindowStillAnswersItsNotifications)
{
    HWND foreign = CreateWindowExW(0, L"STATIC", L"foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    {
        TListView list(nullptr);
        list.SetParentWindow(foreign);
        list.Items()->Add()->SetCaption(L"reflected");
        wchar_t buffer[32] = {};
        LVITEMW item{};
        item.pszText = buffer;
        item.cchTextMax = 32;
        SendMessageW(list.Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(buffer, L"reflected");
    }
    DestroyWindow(foreign);
}

TEST_F(WinControlTest, ChildIdentifiersStayUniqueAcrossTheWrapAndOwnerDrawFindsItsControl)
{
    const UINT firstId = GetDlgCtrlID(control_->Handle());
    ASSERT_NE(firstId, 0u);
    // The counter comes round to a live window's identifier: the next control gets another.
    TWinControl::SetNextChildId(firstId);
    auto* second = new TProbeControl(form_.get());
    second->SetParent(form_.get());
    const UINT secondId = GetDlgCtrlID(second->Handle());
    EXPECT_NE(secondId, firstId);
    EXPECT_NE(secondId, 0u);
    // At the top of the range it wraps past 0, which marks menus.
    TWinControl::SetNextChildId(0x7FFF);
    auto* third = new TProbeControl(form_.get());
    third->SetParent(form_.get());
    auto* fourth = new TProbeControl(form_.get());
    fourth->SetParent(form_.get());
    EXPECT_NE(GetDlgCtrlID(third->Handle()), 0);
    EXPECT_NE(GetDlgCtrlID(fourth->Handle()), 0);
    EXPECT_NE(GetDlgCtrlID(third->Handle()), GetDlgCtrlID(fourth->Handle()));

    // The parent hands a measure request to the control with that identifier only.
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_LISTBOX;
    measure.CtlID = secondId;
    SendMessageW(form_->WindowHandle(), WM_MEASUREITEM, secondId,
                 reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(second->measured, 1);
    EXPECT_EQ(control_->measured, 0);

    // A destroyed window's identifier is free again.
    TWinControl::SetNextChildId(secondId);
    delete second;
    auto* fifth = new TProbeControl(form_.get());
    fifth->SetParent(form_.get());
    EXPECT_EQ(GetDlgCtrlID(fifth->Handle()), static_cast<int>(secondId));
    TWinControl::SetNextChildId(1);
}

TEST_F(WinControlTest, InputReachesTheHandlersAndEvents)
{
    form_->Activate();
    std::vector<std::wstring> events;
    control_->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        events.push_back(L"down " + std::to_wstring(x) + L"," + std::to_wstring(y) +
                         ((shift & ssLeft) ? L" left" : L""));
    };
    control_->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        events.push_back(L"up");
    };
    control_->OnResize = [&](TObject*) { events.push_back(L"resize"); };
    control_->OnEnter = [&](TObject*) { events.push_back(L"focus"); };
    control_->OnKeyPress = [&](TObject*, wchar_t& key) { events.push_back(std::wstring(1, key)); };
    control_->Handle();
    MoveMouseTo(control_->WindowHandle(), POINT{5, 5});
    FlushInput();
    ClickAt(control_->WindowHandle(), POINT{30, 40});
    FlushInput();
    control_->SetFocus();
    TypeText(L"k");
    FlushInput();
    control_->SetBounds(10, 20, 220, 100);
    ParkMouse();
    PumpMessagesUntil([&] { return control_->events.size() >= 2; }, 3000);
    EXPECT_EQ(events,
              (std::vector<std::wstring>{L"down 30,40 left", L"up", L"focus", L"k", L"resize"}));
    EXPECT_EQ(control_->events, (std::vector<std::wstring>{L"enter", L"leave"}));
}

TEST_F(WinControlTest, AChildWindowProcedureCanBeTakenOver)
{
    auto* list = new TListView(form_.get());
    list->SetParent(form_.get());
    list->SetViewStyle(vsReport);
    list->Columns()->Add()->SetCaption(L"Name");
    list->Handle();
    HWND header = list->HeaderHandle();
    ASSERT_NE(header, nullptr);

    std::vector<UINT> seen;
    TWindowSubclass takeover;
    ASSERT_TRUE(takeover.Attach(header, [&](TMessage& message) {
        seen.push_back(message.Msg);
        if (message.Msg == HDM_GETITEMCOUNT && message.WParam == 42) {
            message.Result = 42;  // answered here, the header never sees it
            return true;
        }
        if (message.Msg == HDM_GETITEMCOUNT) {
            takeover.DefaultHandler(message);  // the header's own answer, then ours
            message.Result += 100;
            return true;
        }
        return false;
    }));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 42, 0), 42);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 101);
    EXPECT_EQ(SendMessageW(header, WM_GETTEXTLENGTH, 0, 0), 0);  // passed on
    EXPECT_EQ(seen.size(), 3u);

    // The takeover ends with the window.
    list->DestroyHandle();
    EXPECT_FALSE(takeover.Attached());
    EXPECT_EQ(seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(WinControlTest, TheWaitCursorShowsInEveryControlAndNests)
{
    form_->Activate();
    HWND window = control_->Handle();
    auto cursorShown = [&] {
        SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(cursorShown(), arrow);
    {
        TWaitCursor outer;
        EXPECT_EQ(ScreenCursor(), crHourGlass);
        EXPECT_EQ(GetCursor(), wait);
        EXPECT_EQ(cursorShown(), wait);
        {
            TWaitCursor inner;
            SetScreenCursor(crHourGlass);
        }
        EXPECT_EQ(ScreenCursor(), crHourGlass);
        EXPECT_EQ(cursorShown(), wait);
    }
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_EQ(cursorShown(), arrow);
}

TEST_F(WinControlTest, TheFontReachesTheWindow)
{
    auto* list = new TListView(form_.get());
    list->SetParent(form_.get());
    auto shownFont = [&] {
        LOGFONTW shown{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list->Handle(), WM_GETFONT, 0, 0)),
                   sizeof(shown), &shown);
        return shown;
    };
    list->Font().SetName(L"Tahoma");
    list->Font().SetHeight(20);
    EXPECT_STREQ(shownFont().lfFaceName, L"Tahoma");
    EXPECT_EQ(shownFont().lfHeight, -20);
    list->RecreateWnd();
    EXPECT_STREQ(shownFont().lfFaceName, L"Tahoma");
}

TEST_F(WinControlTest, TheFocusIsInTheControlWhileAWindowInsideItHasIt)
{
    form_->Activate();
    HWND control = control_->Handle();
    HWND inner = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 80, 20, control,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(inner, nullptr);
    auto* sibling = new TListView(form_.get());
    sibling->SetParent(form_.get());
    sibling->SetBounds(300, 20, 100, 100);

    control_->SetFocus();
    EXPECT_TRUE(control_->Focused());
    EXPECT_TRUE(control_->ContainsFocus());
    SetFocus(inner);
    ASSERT_EQ(GetFocus(), inner);
    EXPECT_FALSE(control_->Focused());
    EXPECT_TRUE(control_->ContainsFocus());
    EXPECT_TRUE(control_->ContainsWindow(inner));
    sibling->SetFocus();
    EXPECT_FALSE(control_->ContainsFocus());
    EXPECT_FALSE(control_->ContainsWindow(sibling->Handle()));
    EXPECT_FALSE(control_->ContainsWindow(nullptr));
    EXPECT_FALSE(form_->Focused());
    EXPECT_TRUE(form_->ContainsFocus());
}

TEST_F(WinControlTest, AContextMenuAskedForInAWindowInsideTheControlReachesIt)
{
    form_->Activate();
    HWND control = control_->Handle();
    // A plain child window passes the request up to its parent, as every window does that has
    // no menu of its own.
    HWND inner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 5, 60, 40, control,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(inner, nullptr);
    std::vector<POINT> asked;
    control_->OnContextPopup = [&](TObject*, POINT point, bool& handled) {
        asked.push_back(point);
        handled = true;
    };
    ClickAt(inner, POINT{10, 10}, TMouseButton::mbRight);
    FlushInput();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].x, 15);  // in the control's client coordinates
    EXPECT_EQ(asked[0].y, 15);

    // From the keyboard: no position.
    SendMessageW(inner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(inner), MAKELPARAM(-1, -1));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].x, -1);

    // A request about a window outside the control is not the control's.
    auto* sibling = new TListView(form_.get());
    sibling->SetParent(form_.get());
    POINT inside{20, 20};  // not on the form's caption, where the system shows its own menu
    ClientToScreen(control, &inside);
    SendMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(sibling->Handle()),
                 MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(asked.size(), 2u);

    // One the control leaves unhandled goes on to its parent.
    std::vector<POINT> formAsked;
    form_->OnContextPopup = [&](TObject*, POINT point, bool& handled) {
        formAsked.push_back(point);
        handled = true;
    };
    control_->OnContextPopup = [&](TObject*, POINT point, bool&) { asked.push_back(point); };
    ClickAt(inner, POINT{10, 10}, TMouseButton::mbRight);
    FlushInput();
    EXPECT_EQ(asked.size(), 3u);
    EXPECT_EQ(formAsked.size(), 1u);
}

}  // namespace
