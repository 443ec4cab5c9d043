// TfrmMain: the "Edit" and "View" menus. They show the commands the keys and the tool bar
// already give, each with its key, enabled only where it applies, and act on the pane and
// control the key or button would: the keys themselves stay with the controls (a menu
// shortcut would take Ctrl+C or Del from the path box's text too), so the menu shows them.
#include "app/Main.h"
#include "app/MenuActions.h"

#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "link/ShellLink.h"
#include "shell/Verbs.h"
#include "ui/Action.h"
#include "ui/MainMenu.h"
#include "ui/MenuItem.h"
#include "ui/SpeedButton.h"

#include <shlobj.h>

namespace {

// Files (or shell objects) on the clipboard that a paste would take.
bool ClipboardHasFiles()
{
    static const UINT shellIDList = RegisterClipboardFormatW(CFSTR_SHELLIDLIST);
    return IsClipboardFormatAvailable(CF_HDROP) ||
           (shellIDList != 0 && IsClipboardFormatAvailable(shellIDList));
}

}  // namespace

TAction* MenuAction(TComponent* owner, TMenuItem* menu, const wchar_t* caption, TShortCut shortCut)
{
    auto* action = MakeOwned<TAction>(owner);
    action->SetCaption(caption);
    action->SetShortCut(shortCut);
    auto* item = MakeOwned<TMenuItem>(owner);
    menu->Add(item);
    item->SetAction(action);
    return action;
}

void MenuLine(TComponent* owner, TMenuItem* menu)
{
    auto* item = MakeOwned<TMenuItem>(owner);
    item->SetCaption(L"-");
    menu->Add(item);
}

void TfrmMain::CreateMenus()
{
    Edit1 = MakeOwned<TMenuItem>(this);
    // "&Exit" has the E.
    Edit1->SetCaption(L"E&dit");
    MainMenu1->Items()->Add(Edit1);
    TAction* cut = MenuAction(this, Edit1, L"Cu&t\tCtrl+X");
    TAction* copy = MenuAction(this, Edit1, L"&Copy\tCtrl+C");
    TAction* paste = MenuAction(this, Edit1, L"&Paste\tCtrl+V");
    TAction* remove = MenuAction(this, Edit1, L"&Delete\tDel");
    TAction* rename = MenuAction(this, Edit1, L"&Rename\tF2");
    TAction* selectAll = MenuAction(this, Edit1, L"Select &All\tCtrl+A");
    MenuLine(this, Edit1);
    CreateOtherPaneCommands(Edit1);

    // What a verb acts on: the focused tree's selected folder, or the pane's list's selection.
    const auto verb = [this](const char* name) {
        TZelShellTree* tree = TreeOf(CommandPane());
        if (tree->ContainsFocus())
            tree->ExecuteVerb(name);
        else
            ListOf(CommandPane())->InvokeVerb(name);
    };
    const auto selection = [this] {
        TZelShellTree* tree = TreeOf(CommandPane());
        return tree->ContainsFocus() ? tree->Selected() != nullptr
                                     : ListOf(CommandPane())->SelCount() > 0;
    };
    const auto readOnly = [this] {
        TZelShellTree* tree = TreeOf(CommandPane());
        return tree->ContainsFocus() ? tree->ReadOnly() : ListOf(CommandPane())->ReadOnly();
    };
    cut->OnExecute = [verb](TObject*) { verb(kVerbCut); };
    copy->OnExecute = [verb](TObject*) { verb(kVerbCopy); };
    remove->OnExecute = [verb](TObject*) { verb(kVerbDelete); };
    rename->OnExecute = [verb](TObject*) { verb(kVerbRename); };
    paste->OnExecute = [this](TObject*) {
        TZelShellTree* tree = TreeOf(CommandPane());
        if (tree->ContainsFocus())
            tree->PasteIntoSelected();
        else
            ListOf(CommandPane())->InvokeFolderVerb(kVerbPaste);
    };
    selectAll->OnExecute = [this](TObject*) { ListOf(CommandPane())->SelectAll(); };
    const auto update = [=, this](TObject*) {
        const bool any = selection();
        const bool locked = readOnly();
        cut->SetEnabled(any && !locked);
        copy->SetEnabled(any);
        remove->SetEnabled(any && !locked);
        rename->SetEnabled(any && !locked);
        paste->SetEnabled(!locked && ClipboardHasFiles());
        selectAll->SetEnabled(ListOf(CommandPane())->Items()->Count() > 0);
    };
    for (TAction* action : {cut, copy, paste, remove, rename, selectAll})
        action->OnUpdate = update;

    View1 = MakeOwned<TMenuItem>(this);
    View1->SetCaption(L"&View");
    MainMenu1->Items()->Add(View1);
    TAction* asList = MenuAction(this, View1, L"&List");
    TAction* asDetails = MenuAction(this, View1, L"&Details");
    TAction* asThumbnails = MenuAction(this, View1, L"&Thumbnails");
    MenuLine(this, View1);
    TAction* hidden = MenuAction(this, View1, L"&Hidden Files");
    MenuLine(this, View1);
    TAction* single = MenuAction(this, View1, L"&Single Pane");
    TAction* dual = MenuAction(this, View1, L"Dou&ble Pane");
    MenuLine(this, View1);
    TAction* back = MenuAction(this, View1, L"&Back\tAlt+Left");
    TAction* forward = MenuAction(this, View1, L"&Forward\tAlt+Right");
    TAction* up = MenuAction(this, View1, L"&Parent Folder\tBackspace");
    TAction* refresh = MenuAction(this, View1, L"&Refresh\tF5");

    // The view and layout items do what their tool-bar buttons do.
    asList->OnExecute = [this](TObject*) { IconListButton->Click(); };
    asDetails->OnExecute = [this](TObject*) { DetailsButton->Click(); };
    asThumbnails->OnExecute = [this](TObject*) { TumbnailsButton->Click(); };
    hidden->OnExecute = [this](TObject*) { HiddenButton->Click(); };
    single->OnExecute = [this](TObject*) { SingleWinButton->Click(); };
    dual->OnExecute = [this](TObject*) { DualHButton->Click(); };
    up->OnExecute = [this](TObject*) { ParentButton->Click(); };
    // The history and refresh of the control the keys would reach.
    const auto step = [this](int offset) {
        TZelShellTree* tree = TreeOf(CommandPane());
        if (tree->ContainsFocus())
            tree->NavigateHistory(offset);
        else
            ListOf(CommandPane())->NavigateHistory(offset);
    };
    back->OnExecute = [step](TObject*) { step(-1); };
    forward->OnExecute = [step](TObject*) { step(1); };
    refresh->OnExecute = [this](TObject*) {
        TZelShellTree* tree = TreeOf(CommandPane());
        IZelShellControl* control = tree;
        if (tree->ContainsFocus()) {
            tree->RefreshContents();
        } else {
            TZelShellList* list = ListOf(CommandPane());
            control = list;
            list->RefreshContents();
        }
        if (TZelShellLink* link = control->GetShellLink())
            link->BroadcastRefresh(control);
    };
    const auto updateView = [=, this](TObject*) {
        const TPaneView& view = ViewOf(FocusPane());
        asList->SetChecked(view.List);
        asDetails->SetChecked(view.Details);
        asThumbnails->SetChecked(view.Thumbnails);
        hidden->SetChecked(HiddenButton->Down());
        single->SetChecked(SingleWinButton->Down());
        dual->SetChecked(DualHButton->Down());
        TZelShellTree* tree = TreeOf(CommandPane());
        TPidlHistory& history =
            tree->ContainsFocus() ? tree->History() : ListOf(CommandPane())->History();
        back->SetEnabled(history.CanGoBack());
        forward->SetEnabled(history.CanGoForward());
    };
    for (TAction* action :
         {asList, asDetails, asThumbnails, hidden, single, dual, back, forward, up, refresh})
        action->OnUpdate = updateView;
}
