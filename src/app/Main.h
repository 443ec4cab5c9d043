#pragma once
// TfrmMain: the program's window. A tool bar on top, then two explorer panes stacked, each a
// folder tree, a list of the folder's contents and a path combo in a status bar; the lower
// pane can be collapsed. The window and both panes are restored from the settings file when
// the window is made and written back when it goes.
#include "app/Bookmark.h"
#include "app/SettingsFile.h"
#include "controls/common/NotificationEvents.h"
#include "core/IDListPtr.h"
#include "ui/Forms.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

class TALStatusBar;
class TAction;
class TFolderPreread;
class TCustomImageList;
class TMainMenu;
class TMenuItem;
class TPanel;
class TSpeedButton;
class TSplitter;
class TZelBrowseForFolder;
class TZelFileOperation;
class TZelNetConnectionDialog;
class TZelNetDisconnectDialog;
class TZelShellChangeNotifier;
class TZelShellCombo;
class TZelShellLink;
class TZelShellList;
class TZelShellTree;
class TfrmAbout;

// The view last chosen for a pane's list: exactly one is set after any view command.
struct TPaneView {
    bool List = false;
    bool Details = true;
    bool Thumbnails = false;
};

class TfrmMain : public TForm, public IBookmarkTarget {
public:
    static constexpr const wchar_t* kCaption = L"Bivista V1.3";

    // Makes the window's components and restores the window from the settings file.
    // `firstFolder`, when given, is already reading pane 1's stored folder (StoredFirstFolder);
    // otherwise the window starts that read itself.
    explicit TfrmMain(TComponent* owner, std::unique_ptr<TFolderPreread> firstFolder = nullptr);
    // "Path1" of the settings file: the folder pane 1's list shows first.
    static std::wstring StoredFirstFolder();
    // Writes the settings.
    ~TfrmMain() override;

    // The other windows the commands open.
    void SetBookmarkWindow(TfrmBookmark* window) noexcept { bookmark_ = window; }
    void SetAboutBox(TfrmAbout* box) noexcept { about_ = box; }

    // True while pane 1 is the active pane.
    bool FirstPaneActive() const noexcept { return firstPaneActive_; }
    // The active pane's "Path:" panel is marked.
    void SetFirstPaneActive(bool value);
    const TPaneView& PaneView(int pane) const noexcept { return pane == 1 ? view1_ : view2_; }

    // ---- IBookmarkTarget: the active pane's tree ----
    std::wstring ActiveTreeFolder() override;
    void SelectInActiveTree(const std::wstring& folder) override;
    void RefreshActiveTree() override;
    void FocusActiveTree() override;

    // ---- The window's components ----
    TPanel* Panel1 = nullptr;
    TSpeedButton* ParentButton = nullptr;
    TSpeedButton* NewFolderButton = nullptr;
    TSpeedButton* PropertiesButton = nullptr;
    TSpeedButton* IconListButton = nullptr;
    TSpeedButton* DetailsButton = nullptr;
    TSpeedButton* TumbnailsButton = nullptr;
    TSpeedButton* HiddenButton = nullptr;
    TSpeedButton* SingleWinButton = nullptr;
    TSpeedButton* DualHButton = nullptr;
    TSpeedButton* DualVButton = nullptr;
    TSpeedButton* NetworkButton = nullptr;
    TSpeedButton* MoveBackButton = nullptr;
    TSpeedButton* MoveForwardButton = nullptr;

    TPanel* Panel2 = nullptr;
    TZelShellTree* ShellTree = nullptr;
    TSplitter* Splitter1 = nullptr;
    TZelShellList* ShellList = nullptr;
    TALStatusBar* ALStatusBar2 = nullptr;
    TZelShellCombo* ZelShellCombo2 = nullptr;
    TSplitter* Splitter2 = nullptr;

    TPanel* PanelExpl2 = nullptr;
    TZelShellTree* ShellTree2 = nullptr;
    TSplitter* Splitter3 = nullptr;
    TZelShellList* ShellList2 = nullptr;
    TALStatusBar* ALStatusBar1 = nullptr;
    TZelShellCombo* ZelShellCombo3 = nullptr;

    TZelShellLink* ZelShellLink = nullptr;
    TZelShellLink* ZelShellLink2 = nullptr;
    TZelShellChangeNotifier* FileRenameNotifier = nullptr;
    TZelNetConnectionDialog* ZelNetConnectionDialog1 = nullptr;
    TZelNetDisconnectDialog* ZelNetDisconnectDialog1 = nullptr;
    TZelBrowseForFolder* ZelBrowseForFolder1 = nullptr;
    TZelFileOperation* ZelFileOperation1 = nullptr;

    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* Bookmark1 = nullptr;
    TMenuItem* Edit1 = nullptr;
    TMenuItem* View1 = nullptr;
    TAction* CopyToOtherPaneAction = nullptr;
    TAction* MoveToOtherPaneAction = nullptr;
    TAction* SameFolderInOtherPaneAction = nullptr;
    TAction* SwapPanesAction = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* About1 = nullptr;
    TCustomImageList* Glyphs = nullptr;

protected:
    void WndProc(TMessage& message) override;

private:
    // Construction (MainForm.cpp)
    void CreateComponents();
    void SetDesignProperties();
    void BindHandlers();
    void ToolButton(TSpeedButton* button, int left, const wchar_t* hint, int glyph);

    // The "Edit" and "View" menus (MainMenus.cpp)
    void CreateMenus();

    // Between the panes (OtherPaneCommands.cpp)
    void CreateOtherPaneCommands(TMenuItem* menu);
    // The pane whose tree or list has the focus; the active one when neither has.
    int CommandPane() const;
    bool PaneTwoShown() const;
    void UpdateOtherPaneCommands();
    void TransferToOtherPane(bool move);
    void SameFolderInOtherPane();
    void SwapPanes();

    // Start-up and shut-down (MainSettings.cpp)
    void StartReadingFirstFolder();
    void RestoreStoredProperties();
    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormDestroy(TObject* sender);
    void RestoreGeometry();
    void RestorePaneSizes();
    void RestoreFirstList();
    void FinishStartup();
    void RunStartupStep();
    void NoteStartupInput(HWND window);
    void FollowFirstList();
    void RestoreSecondPane();
    void SaveSettings();

    // Layout at any window size (MainLayout.cpp)
    // The sizes the user chose for pane 2's height and the trees' width; the panes show them
    // as far as the window leaves pane 1 and the lists a usable size.
    void SetPaneTwoHeight(int height);
    void SetTreeWidth(int width);
    void FitPanes();
    int RoomForPaneTwo(int clientHeight) const;
    int RoomForTrees(int clientWidth) const;
    void LimitTracking(MINMAXINFO& limits) const;
    static void FitPathCombo(TALStatusBar* bar, TZelShellCombo* combo);

    // Commands (MainCommands.cpp)
    // The focus rule: 1 when pane 1's tree or list has the focus, else 2.
    int FocusPane() const;
    TZelShellTree* TreeOf(int pane) const noexcept { return pane == 1 ? ShellTree : ShellTree2; }
    TZelShellList* ListOf(int pane) const noexcept { return pane == 1 ? ShellList : ShellList2; }
    TPaneView& ViewOf(int pane) noexcept { return pane == 1 ? view1_ : view2_; }
    TZelShellTree* ActiveTree() const noexcept { return firstPaneActive_ ? ShellTree : ShellTree2; }
    void ApplyPaneView(int pane);
    void ParentButtonClick(TObject* sender);
    void NewFolderButtonClick(TObject* sender);
    void PropertiesButtonClick(TObject* sender);
    void IconListButtonClick(TObject* sender);
    void DetailsButtonClick(TObject* sender);
    void TumbnailsButtonClick(TObject* sender);
    void HiddenButtonClick(TObject* sender);
    void SingleWinButtonClick(TObject* sender);
    void DualHButtonClick(TObject* sender);
    void NetworkButtonClick(TObject* sender);
    void Exit1Click(TObject* sender);
    void Bookmark1Click(TObject* sender);
    void About1Click(TObject* sender);
    void Splitter1CanResize(TObject* sender, int& newSize, bool& accept);
    void Splitter2CanResize(TObject* sender, int& newSize, bool& accept);
    void Splitter3CanResize(TObject* sender, int& newSize, bool& accept);
    void FileRenameNotifierChange(TObject* sender, TNotificationEvent event,
                                  const std::wstring& path1, const std::wstring& path2);

    std::unique_ptr<TSettingsFile> settings_;
    // Pane 1's stored folder, read while the window is made; gone once the list is filled.
    std::unique_ptr<TFolderPreread> firstFolder_;
    TPaneView view1_;
    TPaneView view2_;
    bool firstPaneActive_ = true;
    // Pane 1's list has been filled (on the first showing).
    bool firstListRestored_ = false;
    // The panes' start-up that follows the first paint, one step per turn of the message loop.
    std::deque<std::function<void()>> startupSteps_;
    // Pane 1's tree and combo, and pane 2, have been brought to their folders (or a pane was
    // left where the user took it first).
    bool startupFinished_ = false;
    // The user typed into (or clicked) pane 1's or pane 2's combo during the start-up.
    bool comboTouched_[2] = {false, false};
    // The user took pane 2 to a folder before its stored one was restored.
    bool secondPaneMoved_ = false;
    // Pane 2's stored folder, read while pane 1's tree and combo find their folder.
    std::unique_ptr<TFolderPreread> secondFolder_;
    int paneTwoHeight_ = 0;
    int treeWidth_ = 0;
    std::string path1_;
    std::string path2_;
    // Where a pane fell back to when its stored folder could not be reached: while it stays
    // there, the stored folder is written back, not the fallback.
    TOwnedIDList fallback1_;
    TOwnedIDList fallback2_;
    TfrmBookmark* bookmark_ = nullptr;
    TfrmAbout* about_ = nullptr;
};
