// The shell list's keys, mouse and context menus, with input sent as a user's.
#include "controls/list/ShellListInteractionFixture.h"
#include "shell/PathUtils.h"
#include "ui/Menus.h"

#include <gtest/gtest.h>

namespace {

class ShellListKeysTest : public ShellListInteractionFixture {};

void SendExtraButton(DWORD button)
{
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_XDOWN;
    inputs[0].mi.mouseData = button;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = MOUSEEVENTF_XUP;
    SendInput(2, inputs, sizeof(INPUT));
    FlushInput();
}

// Keys that run a verb on the selection or the folder: whether the key was consumed and which
// command the shell was asked for (refused, so that nothing happens to the files).
struct TVerbKeyCase {
    const char* Name;
    WORD Key;
    TShiftState Shift;
    const wchar_t* Selected;  // null: nothing selected
    bool ReadOnly;
    bool Consumed;
    const char* Command;  // null: none
};

const TVerbKeyCase kVerbKeyCases[] = {
    {"Enter", VK_RETURN, 0, L"alpha.txt", false, true, kVerbDefault},
    {"Enter without a selection", VK_RETURN, 0, nullptr, false, true, nullptr},
    {"Alt+Enter", VK_RETURN, ssAlt, L"alpha.txt", false, true, kVerbProperties},
    {"Delete", VK_DELETE, 0, L"alpha.txt", false, false, kVerbDelete},
    {"Delete read-only", VK_DELETE, 0, L"alpha.txt", true, false, nullptr},
    {"Ctrl+C", 'C', ssCtrl, L"alpha.txt", false, true, kVerbCopy},
    {"Ctrl+C read-only", 'C', ssCtrl, L"alpha.txt", true, true, kVerbCopy},
    {"Ctrl+X", 'X', ssCtrl, L"alpha.txt", false, true, kVerbCut},
    {"Ctrl+X read-only", 'X', ssCtrl, L"alpha.txt", true, false, nullptr},
    {"Ctrl+V", 'V', ssCtrl, nullptr, false, true, kVerbPaste},
    {"Ctrl+V read-only", 'V', ssCtrl, nullptr, true, false, nullptr},
    {"F2", VK_F2, 0, L"alpha.txt", false, false, kVerbRename},
    {"F2 without a selection", VK_F2, 0, nullptr, false, false, nullptr},
    {"F2 read-only", VK_F2, 0, L"alpha.txt", true, false, nullptr},
    {"plain C", 'C', 0, L"alpha.txt", false, false, nullptr},
};

}  // namespace

TEST_F(ShellListKeysTest, VerbKeysAskTheShellForTheirVerbOnlyWhenAllowed)
{
    Show();
    for (const TVerbKeyCase& entry : kVerbKeyCases) {
        SCOPED_TRACE(entry.Name);
        list->SetReadOnly(entry.ReadOnly);
        if (entry.Selected != nullptr)
            Select(entry.Selected);
        else
            list->ClearSelection();
        commands.clear();
        Press(entry.Key, entry.Shift);
        EXPECT_EQ(probe->LastKeyLeft == 0, entry.Consumed);
        EXPECT_EQ(commands, entry.Command != nullptr ? std::vector<std::string>{entry.Command}
                                                     : std::vector<std::string>{});
        EXPECT_FALSE(list->IsEditing());
    }
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(PathExists(tree.Path(L"alpha.txt")));
}

TEST_F(ShellListKeysTest, CtrlASelectsAllAndF5RefillsAndAsksTheLinkToRefreshTheOthers)
{
    Link();
    Show();
    Press('A', ssCtrl);
    EXPECT_EQ(probe->LastKeyLeft, 0);
    EXPECT_EQ(list->SelCount(), list->Items()->Count());

    const int fills = fullFills;
    tree.File(L"late.txt");
    Press(VK_F5);
    EXPECT_NE(probe->LastKeyLeft, 0);
    EXPECT_EQ(fullFills, fills + 1);
    EXPECT_NE(ItemNamed(L"late.txt"), nullptr);
    EXPECT_EQ(other.Refreshes, 1);
}

TEST_F(ShellListKeysTest, EnterAndDoubleClickOpenFoldersAndTheParentItemGoesUp)
{
    list->SetShowParentFolder(true);
    struct TCase {
        const char* Name;
        bool DoubleClick;
    };
    for (const TCase entry : {TCase{"Enter", false}, TCase{"double click", true}}) {
        SCOPED_TRACE(entry.Name);
        Show();
        Select(L"docs");
        if (entry.DoubleClick)
            ClickAt(list->Handle(), LabelCenter(L"docs"), TMouseButton::mbLeft, true);
        else
            PressKey(VK_RETURN);
        FlushInput();
        EXPECT_TRUE(SameFileName(Shown(), tree.Path(L"docs\\")));
        EXPECT_NE(ItemNamed(L"inner.txt"), nullptr);

        Select(kParentFolderCaption);
        if (entry.DoubleClick)
            ClickAt(list->Handle(), LabelCenter(kParentFolderCaption), TMouseButton::mbLeft, true);
        else
            PressKey(VK_RETURN);
        FlushInput();
        EXPECT_TRUE(SameFileName(Shown(), tree.Root()));
        ParkMouse();
    }
    EXPECT_TRUE(commands.empty());
}

TEST_F(ShellListKeysTest, EnterOnAShortcutToAFolderOpensTheTarget)
{
    tree.Shortcut(L"to docs.lnk", tree.Path(L"docs"));
    Show();
    TListItem* shortcut = nullptr;
    for (int index = 0; index < list->Items()->Count(); ++index)
        if (HasExtension(list->ItemPath(list->Items()->Item(index)), L".lnk"))
            shortcut = list->Items()->Item(index);
    ASSERT_NE(shortcut, nullptr);
    list->SetSelected(shortcut);
    Press(VK_RETURN);
    EXPECT_TRUE(SameFileName(Shown(), tree.Path(L"docs\\")));
    EXPECT_TRUE(commands.empty());
}

TEST_F(ShellListKeysTest, ADoubleClickHandlerOfAnOwnedListKeepsTheItemClosed)
{
    int clicks = 0;
    list->OnDblClick = [&](TObject*) { ++clicks; };
    Show();
    Select(L"docs");
    ClickAt(list->Handle(), LabelCenter(L"docs"), TMouseButton::mbLeft, true);
    FlushInput();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(SameFileName(Shown(), tree.Root()));
}

TEST_F(ShellListKeysTest, BackspaceGoesUpUnlessTheLinkSaysNoAndIsAlwaysConsumed)
{
    Show(L"docs");
    list->SetFocus();
    Type(L"\b");
    EXPECT_EQ(probe->LastCharLeft, 0);
    EXPECT_TRUE(SameFileName(Shown(), tree.Root()));

    Show(L"docs");
    Link()->SetCanGoUp(false);
    probe->LastCharLeft = -1;
    list->SetFocus();
    Type(L"\b");
    EXPECT_EQ(probe->LastCharLeft, 0);
    EXPECT_TRUE(SameFileName(Shown(), tree.Path(L"docs\\")));
}

TEST_F(ShellListKeysTest, AltArrowsAndTheExtraMouseButtonsWalkTheHistory)
{
    Show();
    Show(L"docs");
    const std::wstring root = tree.Root();
    const std::wstring docs = tree.Path(L"docs\\");
    struct TStep {
        const char* Name;
        std::function<void()> Act;
        const std::wstring& Expected;
    };
    const TStep steps[] = {
        {"Alt+Left", [&] { Press(VK_LEFT, ssAlt); }, root},
        {"Alt+Right", [&] { Press(VK_RIGHT, ssAlt); }, docs},
        {"Ctrl+Alt+Left does nothing", [&] { Press(VK_LEFT, ssAlt | ssCtrl); }, docs},
        {"first extra button", [&] { SendExtraButton(XBUTTON1); }, root},
        {"second extra button", [&] { SendExtraButton(XBUTTON2); }, docs},
    };
    MoveMouseTo(list->Handle(), POINT{300, 300});
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Act();
        EXPECT_TRUE(SameFileName(Shown(), step.Expected)) << Shown();
    }
}

TEST_F(ShellListKeysTest, AnAddItemHandlerKeepsItemsOutOfFillsAndRefreshes)
{
    list->OnAddItem = [](TObject*, TListItem* item, bool& canAdd) {
        canAdd = !HasExtension(item->Caption(), L".dat");
    };
    tree.File(L"more.dat");
    Show();
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"docs"}));
    tree.File(L"later.dat");
    tree.File(L"later.txt");
    list->RefreshChanges();
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"docs", L"later.txt"}));
}

TEST_F(ShellListKeysTest, TheMouseEnteringAndLeavingIsReported)
{
    std::vector<std::string> events;
    list->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    list->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
    Show();
    MoveMouseTo(list->Handle(), POINT{200, 200});
    FlushInput();
    MoveMouseTo(list->Handle(), POINT{210, 210});
    FlushInput();
    ParkMouse();
    // The system notices the mouse has left on a round of its own.
    PumpMessagesUntil([&] { return events.size() > 1; }, 5000);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

// ---- Context menus ----

TEST_F(ShellListKeysTest, ShiftF10ShowsOneShellMenuWithTheListsOwnItemsMerged)
{
    auto* popup = new TPopupMenu(form.get());
    auto* own = new TMenuItem(popup);
    own->SetCaption(L"Own entry");
    popup->Items()->Add(own);
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    list->SetPopupMenu(popup);
    Show();
    Select(L"alpha.txt");

    TMenuDriver driver;
    driver.Cancel();
    driver.Start();
    Press(VK_F10, ssShift);
    EXPECT_TRUE(driver.MenuShown());
    EXPECT_EQ(popups, 1);
    bool ownShown = false;
    bool shellShown = false;
    for (const TMenuEntry& entry : driver.Entries()) {
        ownShown = ownShown || entry.Text == L"Own entry";
        shellShown = shellShown || entry.Text.find(L"Cop") != std::wstring::npos;
    }
    EXPECT_TRUE(ownShown);
    EXPECT_TRUE(shellShown);
    // The shell's entries do not stay in the list's menu.
    EXPECT_EQ(popup->Items()->Count(), 1);
}

TEST_F(ShellListKeysTest, ARightClickShowsTheShellMenuOnAnItemAndTheBackgroundMenuElsewhere)
{
    auto* background = new TPopupMenu(form.get());
    auto* entry = new TMenuItem(background);
    entry->SetCaption(L"Background entry");
    background->Items()->Add(entry);
    int backgroundPopups = 0;
    background->OnPopup = [&](TObject*) { ++backgroundPopups; };
    list->SetBackgroundPopupMenu(background);
    std::vector<TMouseButton> releases;
    list->OnMouseUp = [&](TObject*, TMouseButton button, TShiftState, int, int) {
        releases.push_back(button);
    };
    Show();

    {
        TMenuDriver driver;
        driver.Cancel();
        driver.Start();
        ClickAt(list->Handle(), LabelCenter(L"beta.txt"), TMouseButton::mbRight);
        FlushInput();
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_EQ(backgroundPopups, 0);
        EXPECT_EQ(SelectedCaptions(), std::vector<std::wstring>{L"beta.txt"});
    }
    EXPECT_FALSE(releases.empty());
    {
        TMenuDriver driver;
        driver.Cancel();
        driver.Start();
        ClickAt(list->Handle(), POINT{600, 400}, TMouseButton::mbRight);
        FlushInput();
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_EQ(backgroundPopups, 1);
        ASSERT_FALSE(driver.Entries().empty());
        EXPECT_EQ(driver.Entries().front().Text, L"Background entry");
    }
}

TEST_F(ShellListKeysTest, AReadOnlyListRunsNoDeleteFromTheContextMenu)
{
    allowCommands = true;
    list->SetReadOnly(true);
    Show();
    Select(L"alpha.txt");
    const TDialogAnswerer answerer(L"", IDYES);
    TMenuDriver driver;
    driver.ChooseCaption(L"Delete");
    driver.Start();
    Press(VK_F10, ssShift);
    EXPECT_TRUE(driver.MenuShown());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(PathExists(tree.Path(L"alpha.txt")));
    EXPECT_TRUE(reports.empty());
    EXPECT_NE(ItemNamed(L"alpha.txt"), nullptr);
}
