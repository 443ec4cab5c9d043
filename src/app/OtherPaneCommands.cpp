// TfrmMain: the commands between the two panes, what people keep two panes open for: the
// focused control's selection copied or moved into the other pane's folder (through the
// shell, with its progress, conflict questions and undo), this pane's folder shown in the
// other one, and the two panes' folders swapped.
#include "app/Main.h"
#include "app/MenuActions.h"

#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "ui/Action.h"
#include "ui/Application.h"
#include "ui/MenuItem.h"
#include "ui/Panel.h"

void TfrmMain::CreateOtherPaneCommands(TMenuItem* menu)
{
    CopyToOtherPaneAction = MenuAction(this, menu, L"C&opy to Other Pane", ShortCut(VK_F6, 0));
    MoveToOtherPaneAction = MenuAction(this, menu, L"&Move to Other Pane", ShortCut(VK_F7, 0));
    SameFolderInOtherPaneAction =
        MenuAction(this, menu, L"&Same Folder in Other Pane", ShortCut('U', ssCtrl | ssShift));
    SwapPanesAction = MenuAction(this, menu, L"S&wap Panes", ShortCut('U', ssCtrl));

    for (TAction* action : {CopyToOtherPaneAction, MoveToOtherPaneAction,
                            SameFolderInOtherPaneAction, SwapPanesAction})
        action->OnUpdate = [this](TObject*) { UpdateOtherPaneCommands(); };
    CopyToOtherPaneAction->OnExecute = [this](TObject*) { TransferToOtherPane(false); };
    MoveToOtherPaneAction->OnExecute = [this](TObject*) { TransferToOtherPane(true); };
    SameFolderInOtherPaneAction->OnExecute = [this](TObject*) { SameFolderInOtherPane(); };
    SwapPanesAction->OnExecute = [this](TObject*) { SwapPanes(); };
}

int TfrmMain::CommandPane() const
{
    if (ShellTree->ContainsFocus() || ShellList->ContainsFocus())
        return 1;
    if (ShellTree2->ContainsFocus() || ShellList2->ContainsFocus())
        return 2;
    return firstPaneActive_ ? 1 : 2;
}

bool TfrmMain::PaneTwoShown() const
{
    return PanelExpl2->Height() > 0 && PanelExpl2->Visible();
}

// The commands apply only with both panes on screen; copying needs something selected.
void TfrmMain::UpdateOtherPaneCommands()
{
    const bool both = PaneTwoShown();
    const int pane = CommandPane();
    TZelShellTree* tree = TreeOf(pane);
    const bool selection =
        tree->ContainsFocus() ? !tree->GetSelectedFolder().empty() : ListOf(pane)->SelCount() > 0;
    CopyToOtherPaneAction->SetEnabled(both && selection);
    MoveToOtherPaneAction->SetEnabled(both && selection);
    SameFolderInOtherPaneAction->SetEnabled(both);
    SwapPanesAction->SetEnabled(both);
}

void TfrmMain::TransferToOtherPane(bool move)
{
    const int pane = CommandPane();
    const int other = 3 - pane;
    TZelShellTree* tree = TreeOf(pane);
    TZelShellList* list = ListOf(pane);
    TZelShellList* target = ListOf(other);
    const std::wstring destination = target->GetPath();
    const std::wstring title = Application != nullptr ? Application->Title : L"";
    auto refuse = [&](const wchar_t* text) {
        MessageBoxW(WindowHandle(), text, title.c_str(), MB_OK | MB_ICONINFORMATION);
    };
    if (destination.empty() || !DirectoryExists(destination)) {
        refuse(L"The other pane does not show a folder that files can be put in.");
        return;
    }
    if (target->ReadOnly() || TreeOf(other)->ReadOnly()) {
        refuse(L"The other pane is read-only: nothing can be put in its folder.");
        return;
    }
    const bool fromTree = tree->ContainsFocus();
    if (move && (fromTree ? tree->ReadOnly() : list->ReadOnly())) {
        refuse(L"This pane is read-only: nothing can be moved out of it.");
        return;
    }
    if (fromTree)
        tree->TransferSelection(destination, move);
    else
        list->TransferSelection(destination, move);
}

void TfrmMain::SameFolderInOtherPane()
{
    const int pane = CommandPane();
    const TOwnedIDList folder = CopyIDList(ListOf(pane)->FolderIDList());
    if (folder)
        TreeOf(3 - pane)->LocateIDList(folder.get(), laSelect);
}

void TfrmMain::SwapPanes()
{
    const TOwnedIDList first = CopyIDList(ShellList->FolderIDList());
    const TOwnedIDList second = CopyIDList(ShellList2->FolderIDList());
    if (!first || !second)
        return;
    ShellTree->LocateIDList(second.get(), laSelect);
    ShellTree2->LocateIDList(first.get(), laSelect);
}
