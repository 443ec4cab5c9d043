// TfrmMain: the components of the window and their design settings.
#include "app/Main.h"

#include "app/ALStatusBar.h"
#include "controls/combo/ShellCombo.h"
#include "controls/common/BrowseForFolder.h"
#include "controls/common/FileOperation.h"
#include "controls/common/NetDialogs.h"
#include "controls/common/ShellChangeNotifier.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "core/ScopedResource.h"
#include "core/StartupTrace.h"
#include "link/ShellLink.h"
#include "shell/FolderPreread.h"
#include "ui/ImageList.h"
#include "ui/MainMenu.h"
#include "ui/Panel.h"
#include "ui/Scaling.h"
#include "ui/SpeedButton.h"
#include "ui/Splitter.h"

#include <utility>
#include <vector>

namespace {

// The pictures of the tool-bar strip, in order.
enum TGlyph {
    glParent,
    glNewFolder,
    glProperties,
    glList,
    glDetails,
    glThumbnails,
    glHidden,
    glSingle,
    glDual,
    glNetwork,
};

// The three groups of the tool bar.
constexpr int kViewGroup = 1;
constexpr int kHiddenGroup = 2;
constexpr int kLayoutGroup = 3;

void UseTahoma(TWinControl* control)
{
    control->Font().SetName(L"Tahoma");
    control->Font().SetSize(8);
}

TMenuItem* MenuItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption)
{
    auto* item = MakeOwned<TMenuItem>(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

}  // namespace

TfrmMain::TfrmMain(TComponent* owner, std::unique_ptr<TFolderPreread> firstFolder)
    : TForm(owner), firstFolder_(std::move(firstFolder))
{
    StartReadingFirstFolder();
    CreateComponents();
    TraceStartup("components");
    BindHandlers();
    BeginFormLoading();
    SetDesignProperties();
    RestoreStoredProperties();
    TraceStartup("settings read");
    EndFormLoading();
}

TfrmMain::~TfrmMain()
{
    DoDestroy();
    DestroyHandle();
    DestroyComponents();
}

void TfrmMain::CreateComponents()
{
    Glyphs = MakeOwned<TImageList>(this);
    MainMenu1 = MakeOwned<TMainMenu>(this);
    Exit1 = MenuItem(this, MainMenu1->Items(), L"&Exit");
    CreateMenus();
    Bookmark1 = MenuItem(this, MainMenu1->Items(), L"&Bookmark");
    Help1 = MenuItem(this, MainMenu1->Items(), L"&Help");
    About1 = MenuItem(this, Help1, L"&About...");
    Panel1 = MakeOwned<TPanel>(this);
    ParentButton = MakeOwned<TSpeedButton>(this);
    NewFolderButton = MakeOwned<TSpeedButton>(this);
    PropertiesButton = MakeOwned<TSpeedButton>(this);
    IconListButton = MakeOwned<TSpeedButton>(this);
    DetailsButton = MakeOwned<TSpeedButton>(this);
    TumbnailsButton = MakeOwned<TSpeedButton>(this);
    HiddenButton = MakeOwned<TSpeedButton>(this);
    SingleWinButton = MakeOwned<TSpeedButton>(this);
    DualHButton = MakeOwned<TSpeedButton>(this);
    DualVButton = MakeOwned<TSpeedButton>(this);
    NetworkButton = MakeOwned<TSpeedButton>(this);
    MoveBackButton = MakeOwned<TSpeedButton>(this);
    MoveForwardButton = MakeOwned<TSpeedButton>(this);

    // The links first: the controls register with them while loading.
    ZelShellLink = MakeOwned<TZelShellLink>(this);
    ZelShellLink2 = MakeOwned<TZelShellLink>(this);
    // Each pane's tree before its list: what the tree announces while the window loads
    // reaches the list as its folder, not as a fill.
    Panel2 = MakeOwned<TPanel>(this);
    ShellTree = MakeOwned<TZelShellTree>(this);
    Splitter1 = MakeOwned<TSplitter>(this);
    ShellList = MakeOwned<TZelShellList>(this);
    ALStatusBar2 = MakeOwned<TALStatusBar>(this);
    ZelShellCombo2 = MakeOwned<TZelShellCombo>(this);
    Splitter2 = MakeOwned<TSplitter>(this);
    PanelExpl2 = MakeOwned<TPanel>(this);
    ShellTree2 = MakeOwned<TZelShellTree>(this);
    Splitter3 = MakeOwned<TSplitter>(this);
    ShellList2 = MakeOwned<TZelShellList>(this);
    ALStatusBar1 = MakeOwned<TALStatusBar>(this);
    ZelShellCombo3 = MakeOwned<TZelShellCombo>(this);

    FileRenameNotifier = MakeOwned<TZelShellChangeNotifier>(this);
    ZelNetConnectionDialog1 = MakeOwned<TZelNetConnectionDialog>(this);
    ZelNetDisconnectDialog1 = MakeOwned<TZelNetDisconnectDialog>(this);
    ZelBrowseForFolder1 = MakeOwned<TZelBrowseForFolder>(this);
    ZelFileOperation1 = MakeOwned<TZelFileOperation>(this);
}

void TfrmMain::ToolButton(TSpeedButton* button, int left, const wchar_t* hint, int glyph)
{
    button->SetParent(Panel1);
    button->SetBounds(Scale(left), Scale(3), Scale(25), Scale(24));
    button->Hint = hint;
    button->ShowHint = true;
    if (glyph >= 0)
        button->SetGlyph(Glyphs, glyph);
}

void TfrmMain::SetDesignProperties()
{
    Name = L"frmMain";
    SetCaption(kCaption);
    UseTahoma(this);
    ShowHints = true;

    const TScopedGdiObject strip(LoadImageW(GetModuleHandleW(nullptr), L"TOOLGLYPHS", IMAGE_BITMAP,
                                            0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        Glyphs->SetColorDepth(ILC_COLOR24);
        Glyphs->AddMasked(static_cast<HBITMAP>(strip.get()), RGB(255, 0, 255));
    }

    SetMenu(MainMenu1);

    // The order in which the controls join the window is the order of the layout: the tool
    // bar on top; from the bottom up pane 2, the splitter between the panes and pane 1's
    // status bar; then pane 1's tree panel, its splitter and its list filling the rest.
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 0, Scale(700), Scale(30));
    Panel1->SetAlign(TAlign::alTop);
    Panel1->SetBevelOuter(TBevelCut::bvLowered);
    Panel1->SetBevelInner(TBevelCut::bvRaised);

    ToolButton(ParentButton, 4, L"Parent Folder", glParent);
    ToolButton(NewFolderButton, 27, L"New Folder", glNewFolder);
    ToolButton(PropertiesButton, 50, L"Show Properties", glProperties);
    ToolButton(IconListButton, 84, L"Show List", glList);
    ToolButton(DetailsButton, 109, L"Show Details", glDetails);
    ToolButton(TumbnailsButton, 134, L"Show Thumbnails", glThumbnails);
    ToolButton(HiddenButton, 178, L"Show hidden files", glHidden);
    ToolButton(SingleWinButton, 228, L"Single Explorer", glSingle);
    ToolButton(DualHButton, 252, L"Double Horizontal Explorer", glDual);
    ToolButton(DualVButton, 276, L"Double Vertical Explorer", glDual);
    ToolButton(NetworkButton, 517, L"Connect network drive", glNetwork);
    ToolButton(MoveBackButton, 546, L"", -1);
    ToolButton(MoveForwardButton, 570, L"", -1);
    for (TSpeedButton* view : {IconListButton, DetailsButton, TumbnailsButton})
        view->SetGroupIndex(kViewGroup);
    IconListButton->SetAllowAllUp(true);
    DetailsButton->SetDown(true);
    HiddenButton->SetGroupIndex(kHiddenGroup);
    HiddenButton->SetAllowAllUp(true);
    for (TSpeedButton* layout : {SingleWinButton, DualHButton, DualVButton})
        layout->SetGroupIndex(kLayoutGroup);
    for (TSpeedButton* unused : {DualVButton, NetworkButton, MoveBackButton, MoveForwardButton})
        unused->SetVisible(false);
    MoveBackButton->SetCaption(L"<-");
    MoveBackButton->SetEnabled(false);
    MoveForwardButton->SetCaption(L"->");
    MoveForwardButton->SetEnabled(false);

    PanelExpl2->SetParent(this);
    PanelExpl2->SetBounds(0, 0, Scale(700), Scale(250));
    PanelExpl2->SetAlign(TAlign::alBottom);
    PanelExpl2->SetBevelOuter(TBevelCut::bvNone);
    Splitter2->SetParent(this);
    Splitter2->SetBounds(0, 0, Scale(700), Scale(4));
    Splitter2->SetAlign(TAlign::alBottom);
    ALStatusBar2->SetParent(this);
    ALStatusBar2->SetBounds(0, 0, Scale(700), Scale(22));
    ALStatusBar2->SetAlign(TAlign::alBottom);
    Panel2->SetParent(this);
    Panel2->SetBounds(0, 0, Scale(100), Scale(300));
    Panel2->SetAlign(TAlign::alLeft);
    Panel2->SetBevelOuter(TBevelCut::bvNone);
    Splitter1->SetParent(this);
    Splitter1->SetBounds(0, 0, Scale(4), Scale(300));
    Splitter1->SetAlign(TAlign::alLeft);
    ShellList->SetParent(this);
    ShellList->SetAlign(TAlign::alClient);

    // Pane 1
    ShellTree->SetParent(Panel2);
    ShellTree->SetAlign(TAlign::alClient);
    ShellTree->SetShellLink(ZelShellLink);
    ShellTree->SetSpecialFolder(SF_DESKTOP);
    ShellTree->SetFilter(L"*");
    ShellTree->SetShowContextMenuOnTop(true);
    ShellTree->SetShowRoot(true);
    ShellTree->SetIndent(Scale(19));
    UseTahoma(ShellTree);

    ShellList->SetShellLink(ZelShellLink);
    ShellList->SetSpecialFolder(SF_DESKTOP);
    ShellList->SetFilter(L"*");
    ShellList->SetNoFillOnStartup(true);
    ShellList->SetViewStyle(vsReport);
    ShellList->SetAutoArrange(true);
    UseTahoma(ShellList);

    // Pane 2
    ALStatusBar1->SetParent(PanelExpl2);
    ALStatusBar1->SetBounds(0, 0, Scale(700), Scale(22));
    ALStatusBar1->SetAlign(TAlign::alBottom);
    ShellTree2->SetParent(PanelExpl2);
    ShellTree2->SetBounds(0, 0, Scale(100), Scale(200));
    ShellTree2->SetAlign(TAlign::alLeft);
    Splitter3->SetParent(PanelExpl2);
    Splitter3->SetBounds(0, 0, Scale(4), Scale(200));
    Splitter3->SetAlign(TAlign::alLeft);
    ShellList2->SetParent(PanelExpl2);
    ShellList2->SetAlign(TAlign::alClient);

    ShellTree2->SetShellLink(ZelShellLink2);
    ShellTree2->SetFilter(L"*");
    ShellTree2->SetShowContextMenuOnTop(true);
    ShellTree2->SetShowRoot(true);
    ShellTree2->SetIndent(Scale(19));

    ShellList2->SetShellLink(ZelShellLink2);
    ShellList2->SetFilter(L"*");
    ShellList2->SetNoFillOnStartup(true);
    ShellList2->SetViewStyle(vsReport);
    ShellList2->SetAutoArrange(true);

    // The path combos in their status bars. They join their panes' links when the window is
    // first shown (FormShow), and read the drives for their lists when first told of a folder:
    // what the trees announce while loading would only be shown over.
    const std::vector<TStatusPanel> panels{{Scale(50), L"Path:"}, {Scale(50), L""}};
    for (auto [bar, combo] :
         {std::pair{ALStatusBar2, ZelShellCombo2}, std::pair{ALStatusBar1, ZelShellCombo3}}) {
        bar->SetPanels(panels);
        combo->SetParent(bar);
        combo->SetBounds(Scale(52), Scale(1), Scale(600), Scale(22));
        combo->SetShowFullPath(true);
        combo->SetNoFillOnStartup(true);
        combo->SetItemHeight(Scale(16));
        combo->SetItemIndex(-1);
    }

    for (TWinControl* control : std::initializer_list<TWinControl*>{
             ShellTree, ShellList, ZelShellCombo2, ShellTree2, ShellList2, ZelShellCombo3})
        control->TabStop = true;

    // Renames anywhere on the computer: the empty entry stands for the computer folder.
    FileRenameNotifier->SetDirectories({L""});
    FileRenameNotifier->SetRecursive(true);
    TNotificationEvents renames;
    renames.set(neFileChange);
    FileRenameNotifier->SetEventFilter(renames);
    FileRenameNotifier->SetEnabled(true);
    ZelFileOperation1->SetEnabled(false);
    ZelFileOperation1->Options = 0;
}

void TfrmMain::BindHandlers()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };
    OnDestroy = [this](TObject* sender) { FormDestroy(sender); };

    ParentButton->OnClick = [this](TObject* s) { ParentButtonClick(s); };
    NewFolderButton->OnClick = [this](TObject* s) { NewFolderButtonClick(s); };
    PropertiesButton->OnClick = [this](TObject* s) { PropertiesButtonClick(s); };
    IconListButton->OnClick = [this](TObject* s) { IconListButtonClick(s); };
    DetailsButton->OnClick = [this](TObject* s) { DetailsButtonClick(s); };
    TumbnailsButton->OnClick = [this](TObject* s) { TumbnailsButtonClick(s); };
    HiddenButton->OnClick = [this](TObject* s) { HiddenButtonClick(s); };
    SingleWinButton->OnClick = [this](TObject* s) { SingleWinButtonClick(s); };
    DualHButton->OnClick = [this](TObject* s) { DualHButtonClick(s); };
    NetworkButton->OnClick = [this](TObject* s) { NetworkButtonClick(s); };
    Exit1->OnClick = [this](TObject* s) { Exit1Click(s); };
    Bookmark1->OnClick = [this](TObject* s) { Bookmark1Click(s); };
    About1->OnClick = [this](TObject* s) { About1Click(s); };

    Splitter1->OnCanResize = [this](TObject* s, int& size, bool& accept) {
        Splitter1CanResize(s, size, accept);
    };
    Splitter2->OnCanResize = [this](TObject* s, int& size, bool& accept) {
        Splitter2CanResize(s, size, accept);
    };
    Splitter3->OnCanResize = [this](TObject* s, int& size, bool& accept) {
        Splitter3CanResize(s, size, accept);
    };
    Splitter1->OnMoved = [this](TObject*) { SetTreeWidth(Panel2->Width()); };
    ALStatusBar2->OnResize = [this](TObject*) { FitPathCombo(ALStatusBar2, ZelShellCombo2); };
    ALStatusBar1->OnResize = [this](TObject*) { FitPathCombo(ALStatusBar1, ZelShellCombo3); };
    Splitter2->OnMoved = [this](TObject*) { SetPaneTwoHeight(PanelExpl2->Height()); };
    Splitter3->OnMoved = [this](TObject*) { SetTreeWidth(ShellTree2->Width()); };

    // A click makes a pane the active one; entering pane 2's tree shows its view.
    ShellTree->OnClick = [this](TObject*) { SetFirstPaneActive(true); };
    ShellList->OnClick = [this](TObject*) { SetFirstPaneActive(true); };
    ShellTree2->OnClick = [this](TObject*) { SetFirstPaneActive(false); };
    ShellList2->OnClick = [this](TObject*) { SetFirstPaneActive(false); };
    ShellTree2->OnEnter = [this](TObject*) { ApplyPaneView(2); };
    // The trees' and lists' add, operation, menu and change events stay unbound: a handler
    // that accepts everything would only make the lists ask about every item up front.

    FileRenameNotifier->OnChange = [this](TObject* s, TNotificationEvent event,
                                          const std::wstring& path1, const std::wstring& path2) {
        FileRenameNotifierChange(s, event, path1, path2);
    };
}
