// What a user does to the shell tree besides selecting: keys, mouse buttons, verbs, the
// context menu, renaming, new folders and check boxes. Real folders, a real window, input
// sent as a user's.
#include "common/DialogAnswerer.h"
#include "common/Input.h"
#include "common/MenuDriver.h"
#include "common/Screen.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "controls/tree/ShellTreeFixture.h"
#include "core/PathText.h"
#include "core/TextCompare.h"
#include "link/ShellLink.h"
#include "link/ZelSelectionList.h"
#include "shell/ClipboardPaste.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/Verbs.h"
#include "threadpool/ThreadPool.h"
#include "ui/MenuItem.h"
#include "ui/Menus.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

const wchar_t kConfirmDeletion[] = L"Confirm";

struct TReport {
    TZelShellOperations Operation;
    Texts Files;
    std::wstring Destination;
    bool operator==(const TReport&) const = default;
};

void PrintTo(const TReport& report, std::ostream* out)
{
    *out << "{0x" << std::hex << report.Operation << std::dec << ", " << report.Files.size()
         << " files, dest " << std::string(report.Destination.begin(), report.Destination.end())
         << "}";
}

// The mouse's back (1) or forward (2) button over a client point.
void ClickXButton(HWND window, POINT client, DWORD button)
{
    POINT screen = client;
    ClientToScreen(window, &screen);
    INPUT inputs[3]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = static_cast<LONG>(screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    inputs[0].mi.dy = static_cast<LONG>(screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (int index : {1, 2}) {
        inputs[index].type = INPUT_MOUSE;
        inputs[index].mi.mouseData = button;
        inputs[index].mi.dwFlags = index == 1 ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

class ShellTreeInteraction : public ShellTreeFixture {
protected:
    void SetUp() override
    {
        ShellTreeFixture::SetUp();
        shellTree->OnOperation = [this](TObject*, TZelShellOperations operation, const Texts& files,
                                        const std::wstring& destination) {
            reports.push_back(TReport{operation, files, destination});
        };
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        ShellTreeFixture::TearDown();
        PumpMessagesUntil([] { return WorkerPool->PendingCount() == 0; }, 10000);
    }

    // Selects the node (its change raised at once) and gives the tree the keyboard.
    TZelShellTreeNode* Select(TZelShellTreeNode* node)
    {
        shellTree->SetChangeDelay(0);
        node->SetSelected(true);
        shellTree->SetFocus();
        Draw();
        return node;
    }
    void Press(WORD key, TShiftState shift = 0)
    {
        PressKey(key, shift);
        FlushInput();
    }
    // Where the node's state image is drawn: left of its icon.
    POINT StateImagePoint(const TTreeNode* node)
    {
        const RECT label = node->DisplayRect(true);
        const int icon = GetSystemMetrics(SM_CXSMICON);
        return POINT{label.left - icon - 8, (label.top + label.bottom) / 2};
    }
    TZelShellLink* AddLink()
    {
        link = new TZelShellLink(form.get());
        shellTree->SetShellLink(link);
        return link;
    }

    TZelShellLink* link = nullptr;
    std::vector<TReport> reports;
};

// ---- Keys ----

TEST_F(ShellTreeInteraction, DeleteGoesThroughTheShellAndReports)
{
    // With the notifier the node waits for the change report; without it, it goes at once.
    for (const bool automatic : {false, true}) {
        SCOPED_TRACE(automatic ? "automatic refresh" : "no automatic refresh");
        const std::wstring victim = tree.Folder(automatic ? L"victim2" : L"victim1");
        reports.clear();
        shellTree->SetAutomaticRefresh(automatic);
        TZelShellTreeNode* root = RootAtTemp();
        const std::wstring name = ExtractFileName(victim);
        Select(Child(root, name));
        {
            TDialogAnswerer answerer(kConfirmDeletion, IDYES);
            Press(VK_DELETE);
            EXPECT_EQ(answerer.Seen().size(), 1u);
        }
        EXPECT_FALSE(PathExists(victim));
        EXPECT_EQ(reports, (std::vector<TReport>{{sopDelete | sopRemove, {victim}, L""}}));
        if (automatic) {
            // Gone once the change report has been answered (it may have come already).
            SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW | SHCNF_FLUSH, victim.c_str(), nullptr);
            EXPECT_TRUE(PumpMessagesUntil([&] { return Child(Root(), name) == nullptr; }, 3000));
        } else {
            EXPECT_EQ(Child(Root(), name), nullptr);
        }
    }
}

TEST_F(ShellTreeInteraction, ReadOnlyStopsDeleteCutPasteAndRenameFromEveryEntryPoint)
{
    const std::wstring victim = tree.Folder(L"victim");
    tree.Folder(L"target");
    const std::wstring source = tree.File(L"source.txt", 5);
    TZelShellTreeNode* root = RootAtTemp();
    // Something on the clipboard to paste.
    Select(Child(root, L"victim"));
    Press('C', ssCtrl);
    ASSERT_FALSE(ClipboardFiles().empty());

    shellTree->SetReadOnly(true);
    TDialogAnswerer answerer(L"", IDYES);
    Press(VK_DELETE);
    Press('X', ssCtrl);
    EXPECT_FALSE(Child(Root(), L"victim")->Cut());
    Select(Child(Root(), L"target"));
    Press('V', ssCtrl);
    EXPECT_FALSE(PathExists(tree.Path(L"target\\victim")));
    Press(VK_F2);
    EXPECT_FALSE(shellTree->IsEditing());
    EXPECT_FALSE(shellTree->ExecuteVerb("delete"));
    EXPECT_FALSE(shellTree->ExecuteVerb("Cut"));
    // The context menu offers the entries but runs none of them.
    Select(Child(Root(), L"victim"));
    for (const wchar_t* caption : {L"Delete", L"Cut", L"Rename"}) {
        SCOPED_TRACE(caption);
        TMenuDriver driver;
        driver.ChooseCaption(caption);
        driver.Start();
        Press(VK_F10, ssShift);
        EXPECT_TRUE(driver.MenuShown());
        EXPECT_FALSE(shellTree->IsEditing());
    }
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(PathExists(victim));
    EXPECT_FALSE(Child(Root(), L"victim")->Cut());
    EXPECT_TRUE(reports.empty());
}

TEST_F(ShellTreeInteraction, CopyThenPasteReportsTwoOperationsAndCutThenPasteAMove)
{
    const std::wstring copied = tree.Folder(L"copied");
    tree.File(L"copied\\inside.txt", 3);
    const std::wstring moved = tree.Folder(L"moved");
    const std::wstring target = tree.Folder(L"target");
    TZelShellTreeNode* root = RootAtTemp();

    Select(Child(root, L"copied"));
    Press('C', ssCtrl);
    Select(Child(Root(), L"target"));
    Press('V', ssCtrl);
    EXPECT_TRUE(PathExists(tree.Path(L"target\\copied\\inside.txt")));
    EXPECT_TRUE(PathExists(copied));
    EXPECT_EQ(reports, (std::vector<TReport>{{sopCopy | sopPaste | sopAdd, {copied}, target},
                                             {sopPaste | sopAdd, {copied}, target}}));

    reports.clear();
    Select(Child(Root(), L"moved"));
    Press('X', ssCtrl);
    EXPECT_TRUE(Child(Root(), L"moved")->Cut());
    Select(Child(Root(), L"target"));
    Press('V', ssCtrl);
    EXPECT_TRUE(PathExists(tree.Path(L"target\\moved")));
    EXPECT_FALSE(PathExists(moved));  // moved, also where the shell's cut marks a copy
    EXPECT_EQ(reports, (std::vector<TReport>{{sopMove | sopPaste | sopAdd, {moved}, target},
                                             {sopPaste | sopAdd, {moved}, target}}));
}

TEST_F(ShellTreeInteraction, KeysAskForTheirVerbsAndReadOnlyHoldsBackTheChangingOnes)
{
    tree.Folder(L"a");
    TZelShellTreeNode* root = RootAtTemp();
    std::vector<std::string> asked;
    shellTree->Browser().OnBeforeShellCommand = [&](TNautilex*, const std::string& command,
                                                    TZelPathList&, bool& allow) {
        asked.push_back(UpperVerb(command));
        allow = false;  // only which verb each key asks for matters here
    };
    struct TCase {
        WORD key;
        TShiftState shift;
        const char* verb;  // asked for with ReadOnly off
        bool readOnlyToo;  // asked for with ReadOnly on as well
    };
    const TCase cases[] = {
        {VK_RETURN, ssAlt, "PROPERTIES", true},
        {'C', ssCtrl, "COPY", true},
        {'X', ssCtrl, "CUT", false},
        {VK_DELETE, 0, "DELETE", false},
        {VK_F2, 0, "RENAME", true},
        {VK_RETURN, 0, nullptr, false},
        {'C', 0, nullptr, false},
    };
    for (const bool readOnly : {false, true}) {
        shellTree->SetReadOnly(readOnly);
        Select(Child(root, L"a"));
        for (const TCase& item : cases) {
            SCOPED_TRACE(testing::Message() << "key " << item.key << " shift " << item.shift
                                            << (readOnly ? " read-only" : ""));
            asked.clear();
            Press(item.key, item.shift);
            std::vector<std::string> expected;
            if (item.verb != nullptr && (!readOnly || item.readOnlyToo))
                expected.push_back(item.verb);
            EXPECT_EQ(asked, expected);
        }
    }
}

TEST_F(ShellTreeInteraction, KeysOutsideTheCommandsSetTheChangeDelay)
{
    tree.Folder(L"a");
    tree.Folder(L"b");
    // The root: keys that walk the tree find nowhere to go from it.
    Select(RootAtTemp());
    struct TCase {
        WORD key;
        TShiftState shift;
        UINT delay;  // 0: the key is a command and leaves the delay alone
    };
    // (A modifier is a key of its own, outside the commands.)
    for (const TCase& item :
         {TCase{VK_HOME, 0, 100}, TCase{'Q', ssCtrl, 100}, TCase{VK_F5, 0, 0}}) {
        SCOPED_TRACE(item.key);
        shellTree->SetChangeDelay(0);
        Press(item.key, item.shift);
        EXPECT_EQ(shellTree->ChangeDelay(), item.delay);
    }
    // With a link the pause is longer; typed characters count as keys.
    AddLink();
    shellTree->SetChangeDelay(0);
    TypeText(L"z");
    FlushInput();
    EXPECT_EQ(shellTree->ChangeDelay(), 600u);
}

TEST_F(ShellTreeInteraction, F5FindsNewFoldersAndCtrlASelectsAllInTheLinkedList)
{
    tree.Folder(L"a");
    tree.File(L"a\\one.txt");
    tree.File(L"a\\two.txt");
    AddLink();
    auto* list = new TZelShellList(form.get());
    list->SetParent(form.get());
    list->SetBounds(330, 0, 420, 480);
    list->SetShellLink(link);
    TZelShellTreeNode* root = RootAtTemp();
    Select(Child(root, L"a"));
    ASSERT_EQ(list->Items()->Count(), 2);
    Press('A', ssCtrl);
    EXPECT_EQ(list->SelCount(), 2);

    tree.Folder(L"later");
    tree.File(L"a\\three.txt");
    shellTree->SetFocus();  // the list took it to show its selection
    Press(VK_F5);
    EXPECT_NE(Child(Root(), L"later"), nullptr);
    EXPECT_EQ(list->Items()->Count(), 3);
}

// ---- History ----

TEST_F(ShellTreeInteraction, AltArrowsAndTheMouseSideButtonsWalkTheHistory)
{
    tree.Folder(L"first");
    tree.Folder(L"second");
    tree.Folder(L"third");
    TZelShellTreeNode* root = RootAtTemp();
    for (const wchar_t* name : {L"first", L"second", L"third"})
        Select(Child(root, name));
    const POINT inside{100, 300};
    struct TStep {
        const char* how;
        std::function<void()> act;
        const wchar_t* expected;
    };
    const std::vector<TStep> steps{
        {"Alt+Left", [&] { Press(VK_LEFT, ssAlt); }, L"second"},
        {"back button",
         [&] {
             ClickXButton(shellTree->Handle(), inside, XBUTTON1);
             FlushInput();
         },
         L"first"},
        {"Alt+Right", [&] { Press(VK_RIGHT, ssAlt); }, L"second"},
        {"forward button",
         [&] {
             ClickXButton(shellTree->Handle(), inside, XBUTTON2);
             FlushInput();
         },
         L"third"},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.how);
        step.act();
        ASSERT_NE(shellTree->Selected(), nullptr);
        EXPECT_EQ(shellTree->Selected()->Text(), step.expected);
    }
}

// ---- Rename ----

TEST_F(ShellTreeInteraction, F2AndTypingRenamesTheFolderOnDiskAndReports)
{
    const std::wstring old = tree.Folder(L"before");
    tree.Folder(L"before\\child");
    tree.Folder(L"other");
    TZelShellTreeNode* root = RootAtTemp();
    Child(root, L"before")->Expand(false);
    Select(Child(root, L"before"));
    Press(VK_F2);
    ASSERT_TRUE(shellTree->IsEditing());
    TypeText(L"after");
    Press(VK_RETURN);
    EXPECT_FALSE(shellTree->IsEditing());
    const std::wstring renamed = tree.Path(L"after");
    EXPECT_TRUE(PathExists(renamed + L"\\child"));
    EXPECT_FALSE(PathExists(old));
    TZelShellTreeNode* node = Child(Root(), L"after");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(Child(Root(), L"before"), nullptr);
    EXPECT_TRUE(node->Selected());
    EXPECT_TRUE(SameText(shellTree->NodePath(node), renamed));
    EXPECT_TRUE(node->Expanded());  // opened again, from the new name
    EXPECT_NE(Child(node, L"child"), nullptr);
    EXPECT_EQ(reports, (std::vector<TReport>{{sopRename, {old}, renamed}}));
}

TEST_F(ShellTreeInteraction, EscapeCancelsARenameAndRefusedNamesKeepTheOldOne)
{
    const std::wstring folder = tree.Folder(L"keep");
    tree.Folder(L"taken");
    TZelShellTreeNode* root = RootAtTemp();
    std::vector<TTreeNode*> canceled;
    shellTree->OnEditCanceled = [&](TObject*, TTreeNode* node) { canceled.push_back(node); };
    TZelShellTreeNode* node = Select(Child(root, L"keep"));
    Press(VK_F2);
    TypeText(L"never");
    Press(VK_ESCAPE);
    EXPECT_EQ(canceled, std::vector<TTreeNode*>{node});
    EXPECT_EQ(node->Text(), L"keep");

    // A name the file system refuses: the shell's error is shown, nothing is renamed.
    for (const wchar_t* refused : {L"bad:name", L"taken"}) {
        SCOPED_TRACE(refused);
        TDialogAnswerer answerer(L"", IDOK);
        Press(VK_F2);
        ASSERT_TRUE(shellTree->IsEditing());
        TypeText(refused);
        Press(VK_RETURN);
        EXPECT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(node->Text(), L"keep");
        EXPECT_TRUE(PathExists(folder));
    }
    EXPECT_TRUE(PathExists(tree.Path(L"taken")));
    EXPECT_FALSE(PathExists(tree.Path(L"bad")));
    EXPECT_TRUE(reports.empty());
}

// ---- New folder ----

TEST_F(ShellTreeInteraction, CreateNewFolderMakesSelectsAndOpensItsNameForEditing)
{
    tree.Folder(L"parent");
    TZelShellTreeNode* root = RootAtTemp();
    const std::wstring parent = tree.Path(L"parent");
    shellTree->CreateNewFolder(parent, L"", true);
    const std::wstring defaultName = NewFolderName.empty() ? L"New Folder" : NewFolderName;
    EXPECT_TRUE(PathExists(parent + L"\\" + defaultName));
    TZelShellTreeNode* parentNode = Child(root, L"parent");
    ASSERT_NE(parentNode, nullptr);
    EXPECT_TRUE(parentNode->Selected());
    EXPECT_TRUE(parentNode->Expanded());
    ASSERT_NE(Child(parentNode, defaultName), nullptr);
    ASSERT_TRUE(shellTree->IsEditing());
    TypeText(L"named");
    Press(VK_RETURN);
    EXPECT_TRUE(PathExists(parent + L"\\named"));
    EXPECT_NE(Child(parentNode, L"named"), nullptr);
    EXPECT_EQ(reports, (std::vector<TReport>{
                           {sopRename, {parent + L"\\" + defaultName}, parent + L"\\named"}}));

    // Without editing, deeper, and again for a folder that exists: no error, no editing.
    for (int round = 0; round < 2; ++round) {
        shellTree->CreateNewFolder(parent + L"\\deep\\er", L"leaf", false);
        EXPECT_TRUE(PathExists(parent + L"\\deep\\er\\leaf"));
        EXPECT_FALSE(shellTree->IsEditing());
        EXPECT_EQ(shellTree->Selected()->Text(), L"er");
        EXPECT_NE(Child(shellTree->Selected(), L"leaf"), nullptr);
    }
}

// ---- Check boxes ----

class ShellTreeChecks : public ShellTreeInteraction {
protected:
    void SetUp() override
    {
        ShellTreeInteraction::SetUp();
        tree.File(L"top\\mid\\low\\file.txt", 10);
        tree.File(L"top\\mid\\sibling.txt", 10);
        tree.Folder(L"top\\other");
        AddLink();
        list = new TZelShellList(form.get());
        list->SetParent(form.get());
        list->SetBounds(330, 0, 420, 480);
        list->SetShellLink(link);
        list->SetCheckboxes(true);
        shellTree->SetCheckBoxes(true);
        root = RootAtTemp();
        top = Child(root, L"top");
        top->Expand(false);
        mid = Child(top, L"mid");
        mid->Expand(false);
        low = Child(mid, L"low");
        Draw();
    }
    std::vector<int> States()
    {
        return {top->StateIndex(), mid->StateIndex(), low->StateIndex(),
                Child(top, L"other")->StateIndex()};
    }
    int ListState(const std::wstring& caption)
    {
        for (int index = 0; index < list->Items()->Count(); ++index)
            if (list->Items()->Item(index)->Caption() == caption)
                return list->Items()->Item(index)->StateIndex();
        return -1;
    }

    TZelShellList* list = nullptr;
    TZelShellTreeNode* root = nullptr;
    TZelShellTreeNode* top = nullptr;
    TZelShellTreeNode* mid = nullptr;
    TZelShellTreeNode* low = nullptr;
};

TEST_F(ShellTreeInteraction, WithoutCheckBoxesNoNodeTouchesItsStateImage)
{
    // Setting a state on every node made the program's trees many times slower to fill.
    tree.Folder(L"a\\b");
    tree.Folder(L"c");
    TZelShellTreeNode* root = RootAtTemp();
    Child(root, L"a")->Expand(false);
    Draw();
    for (TTreeNode* node = root; node != nullptr; node = node->GetNext())
        EXPECT_EQ(node->StateIndex(), -1) << node->Text();
}

TEST_F(ShellTreeChecks, NeedALinkAndShowTheStateImages)
{
    ASSERT_TRUE(shellTree->GetCheckBoxes());
    ASSERT_NE(shellTree->StateImages(), nullptr);
    EXPECT_EQ(States(), (std::vector<int>{ssUnChecked, ssUnChecked, ssUnChecked, ssUnChecked}));
    // The window draws the image of the state itself.
    EXPECT_EQ(SendMessageW(shellTree->Handle(), TVM_GETITEMSTATE,
                           reinterpret_cast<WPARAM>(mid->ItemId()), TVIS_STATEIMAGEMASK),
              static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(ssUnChecked)));
    shellTree->SetCheckBoxes(false);
    EXPECT_EQ(shellTree->StateImages(), nullptr);
    EXPECT_EQ(mid->StateIndex(), 0);
    shellTree->SetShellLink(nullptr);
    shellTree->SetCheckBoxes(true);
    EXPECT_FALSE(shellTree->GetCheckBoxes());
}

TEST_F(ShellTreeChecks, SpaceAndTheStateImageClickToggleAndTheFamilyFollows)
{
    std::vector<std::wstring> changed;
    shellTree->OnCheckStateChanged = [&](TObject*, int, const std::wstring& path, int state) {
        changed.push_back(path + L"=" + std::to_wstring(state));
    };
    // Check the middle folder with Space: it and what lies below are checked, the top is
    // partly checked.
    Select(mid);
    Press(VK_SPACE);
    EXPECT_EQ(States(), (std::vector<int>{ssGrayed, ssChecked, ssChecked, ssUnChecked}));
    EXPECT_EQ(link->SelectionList()->StateOf(tree.Path(L"top\\mid\\low\\file.txt")), ssChecked);
    // The list of the pane shows the same states.
    EXPECT_EQ(ListState(L"low"), ssChecked);
    EXPECT_EQ(ListState(L"sibling.txt"), ssChecked);

    // Uncheck the lowest folder by a click on its check box: the ancestors are partly checked.
    ClickAt(shellTree->Handle(), StateImagePoint(low));
    FlushInput();
    EXPECT_EQ(States(), (std::vector<int>{ssGrayed, ssGrayed, ssUnChecked, ssUnChecked}));
    EXPECT_EQ(ListState(L"low"), ssUnChecked);
    EXPECT_EQ(ListState(L"sibling.txt"), ssChecked);
    EXPECT_EQ(shellTree->Selected(), mid);  // the click did not select

    // Check the top: everything shown below follows.
    ClickAt(shellTree->Handle(), StateImagePoint(top));
    FlushInput();
    EXPECT_EQ(States(), (std::vector<int>{ssChecked, ssChecked, ssChecked, ssChecked}));
    EXPECT_EQ(changed.size(), 3u);
    EXPECT_EQ(changed.back(), tree.Path(L"top") + L"=" + std::to_wstring(ssChecked));
}

TEST_F(ShellTreeChecks, ANodeWithoutACheckBoxIgnoresTheClick)
{
    int changes = 0;
    shellTree->OnCheckStateChanged = [&](TObject*, int, const std::wstring&, int) { ++changes; };
    mid->SetStateIndex(ssNone);
    ClickAt(shellTree->Handle(), StateImagePoint(mid));
    FlushInput();
    shellTree->ToggleCheck(mid);
    EXPECT_EQ(mid->StateIndex(), ssNone);
    EXPECT_EQ(link->SelectionList()->Paths().Count(), 0);
    EXPECT_EQ(changes, 0);
}

// ---- Context menu and mouse ----

TEST_F(ShellTreeInteraction, TheContextMenuMergesThePopupMenuAndOpensFromKeysAndMouse)
{
    tree.Folder(L"a");
    TZelShellTreeNode* root = RootAtTemp();
    auto* popup = new TPopupMenu(form.get());
    auto* own = new TMenuItem(popup);
    own->SetCaption(L"Own entry");
    int clicks = 0;
    own->OnClick = [&](TObject*) { ++clicks; };
    popup->Items()->Add(own);
    shellTree->SetPopupMenu(popup);
    TZelShellTreeNode* node = Select(Child(root, L"a"));

    const RECT label = node->DisplayRect(true);
    const std::vector<std::pair<const char*, std::function<void()>>> openers{
        {"right click",
         [&] {
             // The mouse rests on the label first: a move during the press starts a drag.
             const POINT point{label.left + 4, label.top + 4};
             MoveMouseTo(shellTree->Handle(), point);
             FlushInput();
             ClickAt(shellTree->Handle(), point, TMouseButton::mbRight);
             FlushInput();
         }},
        {"Shift+F10", [&] { Press(VK_F10, ssShift); }},
        {"menu key", [&] { Press(VK_APPS); }},
    };
    for (const auto& [how, open] : openers) {
        SCOPED_TRACE(how);
        TMenuDriver driver;
        driver.ChooseCaption(L"Own entry");
        driver.Start();
        open();
        EXPECT_TRUE(driver.MenuShown());
        bool shellEntries = false;
        for (const TMenuEntry& entry : driver.Entries())
            shellEntries |= entry.Text.find(L"Delete") != std::wstring::npos;
        EXPECT_TRUE(shellEntries);
    }
    EXPECT_EQ(clicks, 3);

    // Without the shell's menu the control's own popup shows alone.
    shellTree->ShellContextMenu = false;
    TMenuDriver driver;
    driver.Cancel();
    driver.Start();
    Press(VK_F10, ssShift);
    EXPECT_TRUE(driver.MenuShown());
    EXPECT_EQ(driver.Entries().size(), 1u);
}

TEST_F(ShellTreeInteraction, DoubleClickOnAFileRunsItsDefaultVerb)
{
    tree.File(L"doc.txt");
    tree.Folder(L"folder");
    shellTree->SetShowFiles(true);
    TZelShellTreeNode* root = RootAtTemp();
    std::vector<std::string> commands;
    shellTree->Browser().OnBeforeShellCommand = [&](TNautilex*, const std::string& command,
                                                    TZelPathList&, bool& allow) {
        commands.push_back(command);
        allow = false;  // nothing is opened in the test
    };
    for (const wchar_t* name : {L"folder", L"doc.txt"}) {
        const RECT label = Child(root, name)->DisplayRect(true);
        ClickAt(shellTree->Handle(), POINT{label.left + 4, label.top + 4}, TMouseButton::mbLeft,
                true);
        FlushInput();
    }
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_TRUE(SameVerb(commands[0], "default"));
}

TEST_F(ShellTreeInteraction, MouseEnterAndLeaveAreRaised)
{
    std::vector<std::string> events;
    shellTree->OnMouseEnter = [&](TObject*) { events.push_back("enter"); };
    shellTree->OnMouseLeave = [&](TObject*) { events.push_back("leave"); };
    // The mouse may rest over the new window: away with it, and let the system see it go (it
    // looks on a timer of its own).
    RootAtTemp();
    ParkMouse();
    PumpMessages(500);
    events.clear();
    MoveMouseTo(shellTree->Handle(), POINT{50, 50});
    MoveMouseTo(shellTree->Handle(), POINT{60, 60});
    EXPECT_TRUE(PumpMessagesUntil([&] { return !events.empty(); }, 3000));
    ParkMouse();
    EXPECT_TRUE(PumpMessagesUntil([&] { return events.size() >= 2; }, 3000));
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

// ---- Colours ----

TEST_F(ShellTreeInteraction, MarkedNamesAreDrawnInTheirColoursAndWineMarksNone)
{
    tree.Folder(L"marked");
    tree.Folder(L"plain");
    shellTree->SetColorCompressed(true);
    shellTree->SetColorEncrypted(true);
    TZelShellTreeNode* root = RootAtTemp();
    TZelShellTreeNode* marked = Child(root, L"marked");
    TZelShellTreeNode* plain = Child(root, L"plain");
    // Wine's file system knows neither compression nor encryption: no folder is marked.
    EXPECT_FALSE(marked->IsCompressed() || marked->IsEncrypted());
    // So the marks are set by hand, and the window must draw them; green wins over blue.
    struct TCase {
        BYTE flags;
        COLORREF colour;
    };
    for (const TCase& item :
         {TCase{TZelShellTreeNode::kCompressed, RGB(0, 0, 255)},
          TCase{TZelShellTreeNode::kEncrypted, RGB(0, 128, 0)},
          TCase{TZelShellTreeNode::kCompressed | TZelShellTreeNode::kEncrypted, RGB(0, 128, 0)}}) {
        SCOPED_TRACE(item.flags);
        marked->SetFlag(TZelShellTreeNode::kCompressed | TZelShellTreeNode::kEncrypted, false);
        marked->SetFlag(item.flags, true);
        InvalidateRect(shellTree->Handle(), nullptr, TRUE);
        Draw();
        const auto inColour = [&](BYTE red, BYTE green, BYTE blue) {
            return RGB(red, green, blue) == item.colour;
        };
        const RECT markedLabel = marked->DisplayRect(true);
        const RECT plainLabel = plain->DisplayRect(true);
        EXPECT_GT(CountPixels(shellTree->Handle(), inColour, &markedLabel), 0);
        EXPECT_EQ(CountPixels(shellTree->Handle(), inColour, &plainLabel), 0);
    }
}

}  // namespace
