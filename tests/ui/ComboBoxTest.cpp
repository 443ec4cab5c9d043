// The combo box: entries kept by the control through a new window, owned objects freed with
// their entries, owner-drawn measuring and drawing, the dropped list and its context menu.
#include "ui/ComboBox.h"

#include "common/Input.h"
#include "common/TempTree.h"
#include "common/TestForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Counts the objects alive.
class TCounted : public TObject {
public:
    explicit TCounted(int* alive) : alive_(alive) { ++*alive_; }
    ~TCounted() override { --*alive_; }

private:
    int* alive_;
};

class ComboBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TTestForm>();
        combo = new TComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(10, 10, 200, 24);
        form->Activate();
    }
    void TearDown() override { form.reset(); }

    std::vector<std::wstring> WindowEntries()
    {
        std::vector<std::wstring> entries;
        HWND window = combo->Handle();
        const int count = static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            wchar_t text[256] = {};
            SendMessageW(window, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }

    std::unique_ptr<TTestForm> form;
    TComboBox* combo = nullptr;
    int alive = 0;
};

TEST_F(ComboBoxTest, EntriesAndSelectionOutliveTheWindowAndObjectsGoWithTheirEntries)
{
    combo->SetStyle(csDropDownList);
    combo->Items()->Add(L"one", std::make_unique<TCounted>(&alive));
    combo->Items()->Add(L"three", std::make_unique<TCounted>(&alive));
    combo->Items()->Insert(1, L"two", std::make_unique<TCounted>(&alive));
    combo->SetItemIndex(2);  // before the window exists
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(WindowEntries(), (std::vector<std::wstring>{L"one", L"two", L"three"}));
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), L"three");

    combo->Items()->Delete(0);
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->RecreateWnd();
    EXPECT_EQ(WindowEntries(), (std::vector<std::wstring>{L"two", L"three"}));
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Items()->IndexOfObject(combo->Items()->Objects(1)), 1);

    combo->SetText(L"TWO");
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetItemIndex(5);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->Items()->Clear();
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(WindowEntries().empty());

    combo->Items()->Add(L"last", std::make_unique<TCounted>(&alive));
    delete combo;  // the box frees what it still holds
    combo = nullptr;
    EXPECT_EQ(alive, 0);
}

TEST_F(ComboBoxTest, OwnerDrawnEntriesAreMeasuredAndDrawnByIndex)
{
    combo->SetStyle(csOwnerDrawVariable);
    std::vector<int> measured;
    std::set<int> drawnInList;
    std::set<int> drawnClosed;
    combo->OnMeasureItem = [&](TObject*, int index, int& height) {
        measured.push_back(index);
        height = 20 + (index >= 0 ? index : 0);
    };
    combo->OnDrawItem = [&](TObject*, int index, HDC, const RECT&, UINT state) {
        ((state & ODS_COMBOBOXEDIT) != 0 ? drawnClosed : drawnInList).insert(index);
    };
    for (const wchar_t* text : {L"a", L"b", L"c"})
        combo->Items()->Add(text);
    HWND window = combo->Handle();
    EXPECT_EQ(SendMessageW(window, CB_GETITEMHEIGHT, 2, 0), 22);
    EXPECT_NE(std::find(measured.begin(), measured.end(), 2), measured.end());

    combo->SetItemIndex(1);
    UpdateWindow(window);
    EXPECT_TRUE(drawnClosed.count(1));

    combo->SetDroppedWidth(300);
    EXPECT_EQ(SendMessageW(window, CB_GETDROPPEDWIDTH, 0, 0), 300);
    combo->SetDroppedDown(true);
    EXPECT_TRUE(combo->DroppedDown());
    UpdateWindow(combo->ListHandle());
    PumpMessages(50);
    EXPECT_EQ(drawnInList, (std::set<int>{0, 1, 2}));
    RECT list{};
    GetWindowRect(combo->ListHandle(), &list);
    EXPECT_GE(list.right - list.left, 300);
    combo->SetDroppedDown(false);
    EXPECT_FALSE(combo->DroppedDown());

    combo->RecreateWnd();
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 300);
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(ComboBoxTest, OnlyTheUsersChoiceIsAChange)
{
    combo->SetStyle(csDropDownList);
    for (const wchar_t* text : {L"a", L"b", L"c"})
        combo->Items()->Add(text);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetItemIndex(0);
    EXPECT_EQ(changes, 0);
    combo->SetFocus();
    PressKey(VK_DOWN);
    FlushInput();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(ComboBoxTest, AContextMenuAskedForInTheDroppedListIsTheBoxs)
{
    combo->SetStyle(csDropDownList);
    for (const wchar_t* text : {L"a", L"b", L"c"})
        combo->Items()->Add(text);
    int asked = 0;
    combo->OnContextPopup = [&](TObject*, POINT, bool& handled) {
        ++asked;
        handled = true;
    };
    combo->SetFocus();
    combo->SetDroppedDown(true);
    HWND list = combo->ListHandle();
    ASSERT_NE(list, nullptr);
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(combo->DroppedDown());
}

}  // namespace
