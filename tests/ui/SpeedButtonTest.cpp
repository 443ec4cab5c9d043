#include "ui/SpeedButton.h"

#include "common/Accessibility.h"
#include "common/Input.h"
#include "ui/Forms.h"
#include "ui/ListBox.h"
#include "ui/Panel.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

BOOL CALLBACK FindToolTips(HWND window, LPARAM found)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0 || !IsWindow(GetWindow(window, GW_OWNER)))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

class SpeedButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(30, 30, 400, 300);
        bar_ = MakeOwned<TPanel>(form_.get());
        bar_->SetBounds(0, 0, 400, 30);
        bar_->SetAlign(TAlign::alTop);
        bar_->SetParent(form_.get());
        list_ = MakeOwned<TListBox>(form_.get());
        list_->SetParent(form_.get());
        list_->SetBounds(10, 60, 150, 100);
    }

    TSpeedButton* AddButton(int left, int group)
    {
        auto* button = MakeOwned<TSpeedButton>(form_.get());
        button->SetParent(bar_);
        button->SetBounds(left, 3, 25, 24);
        button->SetGroupIndex(group);
        button->OnClick = [this](TObject* sender) { clicked_.push_back(sender); };
        return button;
    }

    static bool IsDown(TSpeedButton* button)
    {
        return SendMessageW(button->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    std::unique_ptr<TForm> form_;
    TPanel* bar_ = nullptr;
    TListBox* list_ = nullptr;
    std::vector<TObject*> clicked_;
};

TEST_F(SpeedButtonTest, AGroupHasAtMostOneButtonDown)
{
    TSpeedButton* list = AddButton(4, 1);
    TSpeedButton* details = AddButton(29, 1);
    TSpeedButton* thumbs = AddButton(54, 1);
    details->SetDown(true);
    form_->Show();
    EXPECT_TRUE(clicked_.empty()) << "setting a button down runs no click";

    list->Click();
    EXPECT_TRUE(IsDown(list));
    EXPECT_FALSE(IsDown(details));
    EXPECT_FALSE(IsDown(thumbs));
    // Without "all up", the down button stays down when clicked again, and still clicks.
    list->Click();
    EXPECT_TRUE(IsDown(list));
    EXPECT_EQ(clicked_.size(), 2u);

    list->SetAllowAllUp(true);
    EXPECT_TRUE(thumbs->AllowAllUp()) << "the whole group allows it";
    list->Click();
    EXPECT_FALSE(IsDown(list));
    EXPECT_FALSE(IsDown(details));
}

TEST_F(SpeedButtonTest, AButtonInAGroupOfItsOwnTogglesAndOneWithoutGroupNeverStaysDown)
{
    TSpeedButton* hidden = AddButton(4, 2);
    hidden->SetAllowAllUp(true);
    TSpeedButton* plain = AddButton(40, 0);
    form_->Show();
    SendMessageW(hidden->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(hidden->Down());
    SendMessageW(hidden->Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(hidden->Down());
    plain->SetDown(true);
    plain->Click();
    EXPECT_FALSE(plain->Down());
    EXPECT_EQ(clicked_.size(), 3u);
}

TEST_F(SpeedButtonTest, AMouseClickLeavesTheFocusWhereItWas)
{
    TSpeedButton* button = AddButton(4, 0);
    button->Hint = L"Parent Folder";
    button->ShowHint = true;
    form_->Show();
    list_->SetFocus();
    FlushInput();

    ClickAt(button->Handle(), POINT{12, 12});
    FlushInput();
    ParkMouse();
    FlushInput();
    ASSERT_EQ(clicked_.size(), 1u);
    EXPECT_EQ(GetFocus(), list_->WindowHandle());

    // Its hint is a tool of the form's tool tips.
    HWND tips = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindToolTips, reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), form_->WindowHandle());
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(SpeedButtonTest, ADisabledButtonDoesNotClick)
{
    TSpeedButton* back = AddButton(4, 0);
    back->SetCaption(L"<-");
    back->SetEnabled(false);
    form_->Show();
    FlushInput();
    ClickAt(back->Handle(), POINT{12, 12});
    SendMessageW(back->Handle(), BM_CLICK, 0, 0);
    FlushInput();
    EXPECT_TRUE(clicked_.empty());
}

// A screen reader hears each button's hint as a push button's name, whether a toggle is down,
// and whether it can be used; its default action clicks it.
TEST_F(SpeedButtonTest, ScreenReadersHearTheHintAndStateOfAPushButton)
{
    TSpeedButton* details = AddButton(4, 1);
    details->Hint = L"Show Details";
    TSpeedButton* list = AddButton(29, 1);
    list->Hint = L"Show List";
    TSpeedButton* back = AddButton(54, 0);
    back->SetCaption(L"<-");
    back->SetEnabled(false);
    details->SetDown(true);
    form_->Show();

    struct TExpected {
        TSpeedButton* button;
        const wchar_t* name;
        LONG pressed;
        LONG unavailable;
    };
    for (const TExpected& row : {TExpected{details, L"Show Details", STATE_SYSTEM_PRESSED, 0},
                                 TExpected{list, L"Show List", 0, 0},
                                 TExpected{back, L"<-", 0, STATE_SYSTEM_UNAVAILABLE}}) {
        SCOPED_TRACE(testing::Message() << row.name);
        const TAccessibleReading reading =
            ReadAccessible(AccessibleClientOf(row.button->Handle()).Get());
        EXPECT_EQ(reading.Name, row.name);
        EXPECT_EQ(reading.Role, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(reading.State & STATE_SYSTEM_PRESSED, row.pressed);
        EXPECT_EQ(reading.State & STATE_SYSTEM_UNAVAILABLE, row.unavailable);
    }

    const TComPtr<IAccessible> object = AccessibleClientOf(list->Handle());
    ASSERT_TRUE(object);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    ASSERT_EQ(object->accDoDefaultAction(self), S_OK);
    FlushInput();
    ASSERT_EQ(clicked_.size(), 1u);
    EXPECT_EQ(clicked_[0], list);
    EXPECT_TRUE(IsDown(list));
    EXPECT_EQ(ReadAccessible(object.Get()).State & STATE_SYSTEM_PRESSED, STATE_SYSTEM_PRESSED);

    // A reader that keeps the object after the button has gone gets an error, not a crash.
    delete list;
    BSTR name = nullptr;
    EXPECT_TRUE(FAILED(object->get_accName(self, &name)));
}

}  // namespace
