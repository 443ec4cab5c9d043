// What the shell list does to files: renaming in place, new folders, copy, cut and paste,
// deletion through the shell, and check boxes; asserted on the disk and on the reports.
#include "controls/list/ShellListInteractionFixture.h"
#include "link/ZelSelectionList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kConfirmDeletion[] = L"Confirm file deletion";

class ShellListVerbsTest : public ShellListInteractionFixture {
protected:
    void SetUp() override
    {
        ShellListInteractionFixture::SetUp();
        allowCommands = true;
    }
    // F2 on the item, then the text typed into the caption editor and the closing key.
    void EditCaption(const std::wstring& caption, const wchar_t* text, WORD closingKey)
    {
        Select(caption);
        Press(VK_F2);
        ASSERT_TRUE(list->IsEditing());
        // Into the caption editor, which has the focus now.
        PressKey('A', ssCtrl);
        TypeText(text);
        PressKey(closingKey);
        FlushInput();
    }
    bool Exists(const std::wstring& relative) { return PathExists(tree.Path(relative)); }
};

}  // namespace

// ---- Renaming ----

TEST_F(ShellListVerbsTest, EditingACaptionRenamesTheFileAndReportsOldAndNewPaths)
{
    Show();
    EditCaption(L"alpha.txt", L"omega.txt", VK_RETURN);
    EXPECT_FALSE(list->IsEditing());
    EXPECT_FALSE(Exists(L"alpha.txt"));
    EXPECT_TRUE(Exists(L"omega.txt"));
    TListItem* item = ItemNamed(L"omega.txt");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(SameFileName(list->ItemPath(item), tree.Path(L"omega.txt")));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Operation, static_cast<TZelShellOperations>(sopRename));
    ASSERT_EQ(reports[0].Files.size(), 1u);
    EXPECT_TRUE(SameFileName(reports[0].Files[0], tree.Path(L"alpha.txt")));
    EXPECT_TRUE(SameFileName(reports[0].Destination, tree.Path(L"omega.txt")));
    // The item is the renamed object now: a verb on it reaches the new file.
    commands.clear();
    allowCommands = false;
    Select(L"omega.txt");
    Press(VK_DELETE);
    EXPECT_EQ(commands, std::vector<std::string>{kVerbDelete});
}

TEST_F(ShellListVerbsTest, RefusedOrCancelledNamesKeepTheOldNameAndTheFiles)
{
    Show();
    struct TCase {
        const char* Name;
        const wchar_t* Text;
        WORD ClosingKey;
        bool Message;
    };
    const TCase cases[] = {
        {"Escape", L"omega.txt", VK_ESCAPE, false},
        {"reserved character", L"bad:name.txt", VK_RETURN, true},
        {"existing name", L"beta.txt", VK_RETURN, true},
    };
    for (const TCase& entry : cases) {
        SCOPED_TRACE(entry.Name);
        const TDialogAnswerer answerer(L"", IDOK);
        EditCaption(L"alpha.txt", entry.Text, entry.ClosingKey);
        PumpMessagesUntil([&] { return !list->IsEditing(); }, 2000);
        EXPECT_EQ(!answerer.Seen().empty(), entry.Message);
        EXPECT_NE(ItemNamed(L"alpha.txt"), nullptr);
        EXPECT_TRUE(Exists(L"alpha.txt"));
        EXPECT_TRUE(Exists(L"beta.txt"));
        EXPECT_FALSE(Exists(L"omega.txt"));
        EXPECT_EQ(FileSizeOf(tree.Path(L"beta.txt")), 20);
    }
    EXPECT_EQ(CaptionSet(), (Names{L"alpha.txt", L"beta.txt", L"gamma.dat", L"docs"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(ShellListVerbsTest, AReadOnlyListStartsNoEditing)
{
    list->SetReadOnly(true);
    Show();
    Select(L"alpha.txt");
    Press(VK_F2);
    EXPECT_FALSE(list->IsEditing());
    EXPECT_FALSE(ItemNamed(L"alpha.txt")->EditCaption());
}

// ---- New folders ----

TEST_F(ShellListVerbsTest, CreateFolderMakesTheFolderAndEditsItsCaptionWhenAsked)
{
    Show();
    const std::wstring defaultName = NewFolderName.empty() ? L"New Folder" : NewFolderName;
    struct TCase {
        const char* Name;
        std::wstring Argument;
        bool Edit;
        std::wstring Expected;  // the folder's name on disk
    };
    const TCase cases[] = {
        {"plain", L"made", false, L"made"},
        {"edited", L"edited", true, L"edited"},
        {"existing", L"docs", true, L"docs"},
        {"default name", L"", true, defaultName},
        {"default name again", L"", true, defaultName},
        {"with parents", L"deep\\deeper", false, L"deep\\deeper"},
    };
    for (const TCase& entry : cases) {
        SCOPED_TRACE(entry.Name);
        EXPECT_TRUE(list->CreateFolder(entry.Argument, entry.Edit));
        EXPECT_TRUE(Exists(entry.Expected));
        EXPECT_EQ(list->IsEditing(), entry.Edit);
        if (entry.Edit) {
            EXPECT_EQ(SelectedCaptions(), std::vector<std::wstring>{entry.Expected});
            list->CancelEdit();
        }
    }
    // No numbered copies: the existing folders were selected instead.
    EXPECT_FALSE(Exists(defaultName + L" (2)"));
    EXPECT_TRUE(reports.empty());
}

// ---- Copy, cut and paste ----

TEST_F(ShellListVerbsTest, CopyAndCutThenPasteInAnotherFolderReportThePaste)
{
    tree.Folder(L"target");
    struct TCase {
        const char* Name;
        WORD Key;
        const wchar_t* File;
        TZelShellOperations Expected;
        bool SourceStays;
    };
    const TCase cases[] = {
        {"copy", 'C', L"alpha.txt", sopCopy | sopPaste | sopAdd, true},
        {"cut", 'X', L"beta.txt", sopMove | sopPaste | sopAdd, false},
    };
    for (const TCase& entry : cases) {
        SCOPED_TRACE(entry.Name);
        reports.clear();
        Show();
        Select(entry.File);
        Press(entry.Key, ssCtrl);
        EXPECT_EQ(ItemNamed(entry.File)->Cut(), entry.Key == 'X');
        Show(L"target");
        Press('V', ssCtrl);
        EXPECT_TRUE(PumpMessagesUntil(
            [&] { return Exists(L"target\\" + std::wstring(entry.File)); }, 5000));
        EXPECT_EQ(Exists(entry.File), entry.SourceStays);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].Operation, entry.Expected);
        ASSERT_EQ(reports[0].Files.size(), 1u);
        EXPECT_TRUE(SameFileName(reports[0].Files[0], tree.Path(entry.File)));
        EXPECT_TRUE(SameFileName(reports[0].Destination, tree.Path(L"target\\")));
    }
}

// ---- Deletion ----

TEST_F(ShellListVerbsTest, DeleteRunsTheShellVerbWithItsConfirmationAndReportsTheRemoval)
{
    Link();
    Show();
    {
        const TDialogAnswerer declined(kConfirmDeletion, IDNO);
        Select(L"alpha.txt");
        Press(VK_DELETE);
        EXPECT_EQ(declined.Seen(), std::vector<std::wstring>{kConfirmDeletion});
    }
    EXPECT_TRUE(Exists(L"alpha.txt"));
    EXPECT_NE(ItemNamed(L"alpha.txt"), nullptr);
    EXPECT_TRUE(reports.empty());

    const TDialogAnswerer accepted(kConfirmDeletion, IDYES);
    Select(L"alpha.txt");
    Press(VK_DELETE);
    EXPECT_EQ(accepted.Seen(), std::vector<std::wstring>{kConfirmDeletion});
    EXPECT_FALSE(Exists(L"alpha.txt"));
    EXPECT_EQ(ItemNamed(L"alpha.txt"), nullptr);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Operation, sopDelete | sopRemove);
    ASSERT_EQ(reports[0].Files.size(), 1u);
    EXPECT_TRUE(SameFileName(reports[0].Files[0], tree.Path(L"alpha.txt")));
    EXPECT_TRUE(reports[0].Destination.empty());
    EXPECT_EQ(other.RefreshChangesCount, 1);
}

TEST_F(ShellListVerbsTest, DeleteOnSeveralItemsRemovesThemAll)
{
    Show();
    list->SetSelected(ItemNamed(L"alpha.txt"));
    ItemNamed(L"beta.txt")->SetSelected(true);
    const TDialogAnswerer accepted(L"", IDYES);
    Press(VK_DELETE);
    EXPECT_FALSE(Exists(L"alpha.txt"));
    EXPECT_FALSE(Exists(L"beta.txt"));
    EXPECT_EQ(CaptionSet(), (Names{L"gamma.dat", L"docs"}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Files.size(), 2u);
}

TEST_F(ShellListVerbsTest, DeleteFromTheContextMenuReportsTheRemoval)
{
    Show();
    Select(L"gamma.dat");
    const TDialogAnswerer accepted(kConfirmDeletion, IDYES);
    TMenuDriver driver;
    driver.ChooseCaption(L"Delete");
    driver.Start();
    Press(VK_F10, ssShift);
    EXPECT_FALSE(Exists(L"gamma.dat"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Operation, sopDelete | sopRemove);
    EXPECT_EQ(ItemNamed(L"gamma.dat"), nullptr);
}

// A right click on no item opens the shell's menu of the folder's background (paste, the
// folder's properties), not nothing.
TEST_F(ShellListVerbsTest, ARightClickOnNoItemShowsTheFoldersBackgroundMenu)
{
    Show();
    RECT client{};
    GetClientRect(list->Handle(), &client);
    TMenuDriver driver;
    driver.Cancel();
    driver.Start();
    ClickAt(list->Handle(), POINT{client.right / 2, client.bottom - 10}, TMouseButton::mbRight);
    FlushInput();
    EXPECT_TRUE(driver.MenuShown());
    EXPECT_FALSE(driver.TimedOut());
    bool hasProperties = false;
    for (const TMenuEntry& entry : driver.Entries())
        hasProperties = hasProperties || entry.Text.find(L"Propert") != std::wstring::npos;
    EXPECT_TRUE(hasProperties) << "the folder's own commands";
    EXPECT_EQ(reports.size(), 0u);
}

// ---- Check boxes ----

TEST_F(ShellListVerbsTest, SpaceAndTheCheckBoxClickToggleTheStateAndTheTotalsFollow)
{
    Link();
    list->SetCheckboxes(true);
    Show();
    TZelSelectionList* selection = link->SelectionList();
    std::vector<std::pair<std::wstring, TZelSelectionState>> changes;
    list->OnCheckStateChanged = [&](TObject*, int index, const std::wstring& path,
                                    TZelSelectionState state) {
        EXPECT_EQ(list->Items()->Item(index)->Caption(), ExtractFileName(path));
        changes.emplace_back(ExtractFileName(path), state);
    };
    TListItem* alpha = Select(L"alpha.txt");
    ASSERT_EQ(alpha->StateIndex(), ssUnChecked);

    Press(VK_SPACE);
    EXPECT_NE(probe->LastKeyLeft, 0);
    EXPECT_EQ(alpha->StateIndex(), ssChecked);
    EXPECT_TRUE(selection->IsChecked(tree.Path(L"alpha.txt")));

    // A click on the label is no check-box click; one left of the icon is.
    const RECT icon = ItemNamed(L"beta.txt")->DisplayRect(TDisplayCode::drIcon);
    ClickAt(list->Handle(), LabelCenter(L"beta.txt"));
    FlushInput();
    EXPECT_EQ(ItemNamed(L"beta.txt")->StateIndex(), ssUnChecked);
    ClickAt(list->Handle(), POINT{icon.left - 4, icon.bottom - 4});
    FlushInput();
    EXPECT_EQ(ItemNamed(L"beta.txt")->StateIndex(), ssChecked);
    EXPECT_EQ(selection->FileCount(), 2);
    EXPECT_EQ(selection->TotalSize(), 30);

    Select(L"alpha.txt");
    Press(VK_SPACE);
    EXPECT_EQ(alpha->StateIndex(), ssUnChecked);
    EXPECT_FALSE(selection->IsChecked(tree.Path(L"alpha.txt")));
    EXPECT_EQ(selection->FileCount(), 1);
    EXPECT_EQ(selection->TotalSize(), 20);
    EXPECT_EQ(
        changes,
        (std::vector<std::pair<std::wstring, TZelSelectionState>>{
            {L"alpha.txt", ssChecked}, {L"beta.txt", ssChecked}, {L"alpha.txt", ssUnChecked}}));
}

TEST_F(ShellListVerbsTest, TheCheckBoxAreaFollowsTheViewStyle)
{
    Link();
    list->SetCheckboxes(true);
    Show();
    const int stateWidth = list->StateImages()->Width();
    const int stateHeight = list->StateImages()->Height();
    struct TCase {
        const char* Name;
        TViewStyle Style;
        int X;  // from the icon's left edge
        int Y;  // from the icon's bottom edge
        bool Hit;
    };
    // Wine loads version 6.0 of the common controls with the manifest: beside a large icon the
    // check box reaches 20 pixels past the state image.
    const TCase cases[] = {
        {"report, left of the icon", vsReport, -4, -4, true},
        {"report, on the icon", vsReport, 2, -4, false},
        {"report, above the state image", vsReport, -4, -stateHeight - 2, false},
        {"icon, inside the reach", vsIcon, stateWidth + 16, -4, true},
        {"icon, past the reach", vsIcon, stateWidth + 24, -4, false},
    };
    for (const TCase& entry : cases) {
        SCOPED_TRACE(entry.Name);
        list->SetViewStyle(entry.Style);
        Draw();
        TListItem* item = ItemNamed(L"alpha.txt");
        const RECT icon = item->DisplayRect(TDisplayCode::drIcon);
        EXPECT_EQ(list->CheckBoxHit(item, icon.left + entry.X, icon.bottom + entry.Y), entry.Hit);
    }
}
