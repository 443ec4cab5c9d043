// TfrmMain: the tool-bar and menu commands, the splitters and the handlers of the panes.
#include "app/Main.h"

#include "app/AboutUnit.h"
#include "controls/common/NetDialogs.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "core/TextConversion.h"
#include "ui/Application.h"
#include "ui/Panel.h"
#include "ui/Scaling.h"
#include "ui/SpeedButton.h"

#include <algorithm>

int TfrmMain::FocusPane() const
{
    // A label being edited in the tree or the list still counts as that control's focus.
    return ShellTree->ContainsFocus() || ShellList->ContainsFocus() ? 1 : 2;
}

void TfrmMain::ApplyPaneView(int pane)
{
    const TPaneView& view = ViewOf(pane);
    IconListButton->SetDown(view.List);
    DetailsButton->SetDown(view.Details);
    TumbnailsButton->SetDown(view.Thumbnails);
    // A list already in that view keeps its items: setting a view fills the list again.
    TZelShellList* list = ListOf(pane);
    const auto show = [list](TViewStyle style) {
        if (list->GetViewStyle() != style || list->GetThumbnails())
            list->SetViewStyle(style);
    };
    if (view.List)
        show(vsList);
    else if (view.Details)
        show(vsReport);
    else
        list->SetThumbnails(true);
}

// ---- Tool bar ----

void TfrmMain::ParentButtonClick(TObject*)
{
    TreeOf(FocusPane())->GoUp();
}

void TfrmMain::NewFolderButtonClick(TObject*)
{
    const int pane = FocusPane();
    TZelShellTree* tree = TreeOf(pane);
    if (tree->ContainsFocus())
        tree->CreateNewFolder(tree->GetSelectedFolder(), L"New Folder", true);
    else
        ListOf(pane)->CreateFolder(L"New Folder", true);
}

void TfrmMain::PropertiesButtonClick(TObject*)
{
    // Pane 2 has no properties command.
    if (ShellList->ContainsFocus())
        ShellList->InvokeVerb("properties");
    if (ShellTree->ContainsFocus())
        ShellTree->ExecuteVerb("properties");
}

void TfrmMain::IconListButtonClick(TObject*)
{
    const int pane = FocusPane();
    ListOf(pane)->SetViewStyle(vsList);
    ViewOf(pane) = TPaneView{true, false, false};
}

void TfrmMain::DetailsButtonClick(TObject*)
{
    const int pane = FocusPane();
    ListOf(pane)->SetViewStyle(vsReport);
    ViewOf(pane) = TPaneView{false, true, false};
}

void TfrmMain::TumbnailsButtonClick(TObject*)
{
    const int pane = FocusPane();
    ListOf(pane)->SetThumbnails(true);
    ViewOf(pane) = TPaneView{false, false, true};
}

void TfrmMain::HiddenButtonClick(TObject*)
{
    const int pane = FocusPane();
    const bool show = HiddenButton->Down();
    ListOf(pane)->SetShowHidden(show);
    TreeOf(pane)->SetShowHidden(show);
}

void TfrmMain::SingleWinButtonClick(TObject*)
{
    SetPaneTwoHeight(0);
    SetFirstPaneActive(true);
}

void TfrmMain::DualHButtonClick(TObject*)
{
    SetPaneTwoHeight(Height() / 2 - Scale(60));
}

void TfrmMain::NetworkButtonClick(TObject*)
{
    ZelNetConnectionDialog1->Execute();
}

// ---- Menu ----

void TfrmMain::Exit1Click(TObject*)
{
    Close();
}

void TfrmMain::Bookmark1Click(TObject*)
{
    if (bookmark_ != nullptr)
        bookmark_->Open();
}

void TfrmMain::About1Click(TObject*)
{
    if (about_ != nullptr)
        about_->ShowModal();
}

// ---- Handlers ----

void TfrmMain::FileRenameNotifierChange(TObject*, TNotificationEvent event,
                                        const std::wstring& path1, const std::wstring& path2)
{
    if (event != neFileRename)
        return;
    const std::string text =
        WideToNarrow(L"File \r\n\r\n" + path1 + L"\r\n\r\nhas been renamed to \r\n\r\n" + path2);
    const std::string title = WideToNarrow(Application != nullptr ? Application->Title : L"");
    MessageBoxA(WindowHandle(), text.c_str(), title.c_str(), MB_OK);
}

// ---- The bookmark window's side: the active pane's tree ----

std::wstring TfrmMain::ActiveTreeFolder()
{
    return ActiveTree()->GetSelectedFolder();
}

void TfrmMain::SelectInActiveTree(const std::wstring& folder)
{
    ActiveTree()->SetSelectedFolder(folder);
}

void TfrmMain::RefreshActiveTree()
{
    ActiveTree()->RefreshContents();
}

void TfrmMain::FocusActiveTree()
{
    ActiveTree()->SetFocus();
}
