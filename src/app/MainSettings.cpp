// TfrmMain: restoring the window and both panes from the settings file, and writing them back.
#include "app/Main.h"

#include "app/ALStatusBar.h"
#include "app/CodePagePath.h"
#include "controls/combo/ShellCombo.h"
#include "controls/list/ShellList.h"
#include "controls/tree/ShellTree.h"
#include "controls/tree/ShellTreeNode.h"
#include "core/ScopedResource.h"
#include "core/StartupTrace.h"
#include "core/TextConversion.h"
#include "link/ShellLink.h"
#include "shell/FolderPreread.h"
#include "shell/FolderProbe.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "ui/Application.h"
#include "ui/Panel.h"
#include "ui/Scaling.h"
#include "ui/SpeedButton.h"
#include "ui/Splitter.h"

#include <uxtheme.h>

#include <algorithm>

namespace {

const char kForm[] = "MForm";
const char kInfo[] = "GenInfo";

// Set at the first showing: the panes' remaining start-up runs once the window has drawn
// itself (a timer comes after every other message, painting included).
constexpr UINT_PTR kFinishStartupTimer = 0xB15A;

// The test seam of the start-up: while an event of this name exists unset, the steps after the
// first paint wait, so that a test can act on the window before a pane's step runs.
constexpr wchar_t kHoldStartupStepsEvent[] = L"Local\\Bivista.HoldStartupSteps";

bool StartupStepsHeld()
{
    const TScopedHandle hold(OpenEventW(SYNCHRONIZE, FALSE, kHoldStartupStepsEvent));
    return hold && WaitForSingleObject(hold.get(), 0) == WAIT_TIMEOUT;
}

// Notes whether a link told its controls of a folder while the scope lasts.
class TLinkChangeWatch {
public:
    explicit TLinkChangeWatch(TZelShellLink* link) : link_(link)
    {
        link_->OnChange = [this](TObject*) { reached_ = true; };
    }
    ~TLinkChangeWatch() { link_->OnChange = nullptr; }
    TLinkChangeWatch(const TLinkChangeWatch&) = delete;
    TLinkChangeWatch& operator=(const TLinkChangeWatch&) = delete;
    bool Reached() const noexcept { return reached_; }

private:
    TZelShellLink* link_;
    bool reached_ = false;
};

// A combo out of its link while the scope lasts (when `leaveOut` is set): what the link tells
// its pane meanwhile does not reach it.
class TComboLeftOut {
public:
    TComboLeftOut(TZelShellCombo* combo, TZelShellLink* link, bool leaveOut)
        : combo_(leaveOut ? combo : nullptr), link_(link)
    {
        if (combo_ != nullptr)
            combo_->SetShellLink(nullptr);
    }
    ~TComboLeftOut()
    {
        if (combo_ != nullptr)
            combo_->SetShellLink(link_);
    }
    TComboLeftOut(const TComboLeftOut&) = delete;
    TComboLeftOut& operator=(const TComboLeftOut&) = delete;

private:
    TZelShellCombo* combo_;
    TZelShellLink* link_;
};

bool StillOn(TZelShellTree* tree, const TOwnedIDList& fallback)
{
    const TZelShellTreeNode* selected = tree->Selected();
    return fallback && selected != nullptr &&
           SameIDLists(selected->AbsoluteIDList(), fallback.get());
}

}  // namespace

std::wstring TfrmMain::StoredFirstFolder()
{
    return NarrowToWide(TSettingsFile().ReadString(kInfo, "Path1", ""));
}

// Before anything else: pane 1's list will show the stored folder, whose objects are read on
// a thread of their own while the window is made.
void TfrmMain::StartReadingFirstFolder()
{
    settings_ = std::make_unique<TSettingsFile>();
    path1_ = settings_->ReadString(kInfo, "Path1", "");
    if (!firstFolder_)
        firstFolder_ = std::make_unique<TFolderPreread>(NarrowToWide(path1_));
}

// Inside the loading bracket: the values that the controls take as stored properties, so
// that the lists fill once, after loading, with the folder and the view they end up with.
void TfrmMain::RestoreStoredProperties()
{
    RestoreGeometry();
    RestorePaneSizes();

    view1_.List = settings_->ReadBool(kForm, "IconList1", false);
    view1_.Details = settings_->ReadBool(kForm, "Details1", true);
    view1_.Thumbnails = settings_->ReadBool(kForm, "Tumbnails1", false);
    view2_.List = settings_->ReadBool(kForm, "IconList2", false);
    view2_.Details = settings_->ReadBool(kForm, "Details2", true);
    view2_.Thumbnails = settings_->ReadBool(kForm, "Tumbnails2", false);

    SetFirstPaneActive(settings_->ReadBool(kForm, "Expl1Focus", true));
    ApplyPaneView(firstPaneActive_ ? 1 : 2);

    HiddenButton->SetDown(settings_->ReadBool(kForm, "Hidden", false));
    ShellList->SetShowHidden(HiddenButton->Down());
}

void TfrmMain::RestoreGeometry()
{
    RECT rect{};
    rect.left = settings_->ReadInteger(kForm, "Left", Scale(100));
    rect.top = settings_->ReadInteger(kForm, "Top", Scale(100));
    rect.right = rect.left + std::max(settings_->ReadInteger(kForm, "Width", Scale(700)),
                                      GetSystemMetrics(SM_CXMIN));
    rect.bottom = rect.top + std::max(settings_->ReadInteger(kForm, "Height", Scale(500)),
                                      GetSystemMetrics(SM_CYMIN));
    // A rectangle on no monitor (one that was removed) moves onto the nearest one.
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) == nullptr) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            const LONG width = std::min(rect.right - rect.left, work.right - work.left);
            const LONG height = std::min(rect.bottom - rect.top, work.bottom - work.top);
            const LONG left = std::clamp(rect.left, work.left, work.right - width);
            const LONG top = std::clamp(rect.top, work.top, work.bottom - height);
            rect = RECT{left, top, left + width, top + height};
        }
    }
    SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TfrmMain::RestorePaneSizes()
{
    // The client area the panes will share: the monitor's work area when the window will
    // open maximised, its own rectangle otherwise.
    RECT window{Left(), Top(), Left() + Width(), Top() + Height()};
    const bool maximized = settings_->ReadBool(kForm, "wsMaximized", true);
    if (maximized) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
            window = monitor.rcWork;
    }
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    const int clientWidth = (window.right - window.left) - (frame.right - frame.left);
    const int clientHeight = (window.bottom - window.top) - (frame.bottom - frame.top);

    // Sizes larger than the window, or negative, keep both panes usable.
    SetPaneTwoHeight(std::min(settings_->ReadInteger(kForm, "Expl2Height", Scale(250)),
                              RoomForPaneTwo(clientHeight)));
    // Both trees start equally wide.
    ShellTree->SetBounds(ShellTree->Left(), ShellTree->Top(), 800, ShellTree->Height());
    SetTreeWidth(std::min(settings_->ReadInteger(kForm, "Expl1Width", Scale(100)),
                          RoomForTrees(clientWidth)));
}

// After loading: the window state and what needs the windows. Pane 1's list fills when the
// window shows (FormShow); the rest of the panes follows from the message loop.
void TfrmMain::FormCreate(TObject*)
{
    HandleNeeded();
    TraceStartup("window handles");

    if (settings_->ReadBool(kForm, "wsNormal", true))
        SetWindowState(TWindowState::wsNormal);
    if (settings_->ReadBool(kForm, "wsMaximized", true))
        SetWindowState(TWindowState::wsMaximized);

    const bool single = settings_->ReadBool(kForm, "SingleWinB", false);
    SingleWinButton->SetDown(single);
    DualHButton->SetDown(!single);

    // Hints show as tool tips only.
    if (Application != nullptr)
        Application->OnHint = [](TObject*) {};

    if (IsVistaOrLater)
        for (TWinControl* control :
             std::initializer_list<TWinControl*>{ShellTree, ShellList, ShellTree2, ShellList2})
            SetWindowTheme(control->Handle(), L"explorer", nullptr);
}

// The first showing fills pane 1's list: the window's first painting comes from the message
// loop, after the fill, so the list never shows empty; meanwhile its folder was being read
// (and the window put on screen) while the fill would otherwise wait for the read.
void TfrmMain::FormShow(TObject*)
{
    if (!firstListRestored_) {
        firstListRestored_ = true;
        // Watched from before its fill: nothing made meanwhile may go missing.
        ShellList->SetAutomaticRefresh(true);
        RestoreFirstList();
        TraceStartup("first list");

        ShellTree->SetAutomaticRefresh(true);
        ShellTree->SetOleDragDrop(true);
        ShellTree->ShellContextMenu = true;
        ShellList->ShellContextMenu = true;
        ShellTree2->SetAutomaticRefresh(true);
        ShellTree2->SetOleDragDrop(true);
        ShellTree2->ShellContextMenu = true;
        ShellList2->SetAutomaticRefresh(true);
        ShellList2->ShellContextMenu = true;
        // The combos join their links now (they read nothing until told of a folder), so
        // that a path typed into one during the start-up moves its pane.
        ZelShellCombo2->SetShellLink(ZelShellLink);
        ZelShellCombo3->SetShellLink(ZelShellLink2);

        // Pane 2's folder is read on a thread of its own meanwhile.
        path2_ = settings_->ReadString(kInfo, "Path2", "");
        secondFolder_ = std::make_unique<TFolderPreread>(NarrowToWide(path2_));
        if (Application != nullptr)
            Application->OnUserInput = [this](HWND window) { NoteStartupInput(window); };
        ZelShellLink2->OnChange = [this](TObject*) { secondPaneMoved_ = true; };
        startupSteps_ = {[this] { FollowFirstList(); }, [this] { RestoreSecondPane(); }};
        if (SetTimer(Handle(), kFinishStartupTimer, USER_TIMER_MINIMUM, nullptr) == 0)
            FinishStartup();
    }
    ShellTree->SetFocus();
}

// Pane 1's list goes to the stored folder on its own, with the link quiet: the tree's way
// there (reading every folder on the path) and the combo wait until the list is shown.
void TfrmMain::RestoreFirstList()
{
    const std::wstring folder = NarrowToWide(path1_);
    // Whatever happens below, the read ahead serves this one fill or none.
    const std::unique_ptr<TFolderPreread> preread = std::move(firstFolder_);
    // A folder that is not there (or does not answer) leaves the pane where its tree put it
    // while loading; its list, which only took note of that folder then, fills now.
    if (!FolderExistsWithin(folder)) {
        ShellList->RefreshContents();
        if (!folder.empty())
            fallback1_ = CopyIDList(ShellList->FolderIDList());
        return;
    }
    TOwnedIDList readFolder;
    std::vector<TOwnedIDList> objects;
    TScopedChangeNotification changesSinceRead;
    if (preread && preread->Take(readFolder, objects, &changesSinceRead))
        ShellList->OfferObjects(readFolder.get(), std::move(objects), std::move(changesSinceRead));
    TraceStartup("first folder read");
    bool listed = false;
    {
        ZelShellLink->SetEnabled(false);
        const TScopeExit enable([this] { ZelShellLink->SetEnabled(true); });
        try {
            ShellList->SetPath(folder);
            listed = true;
        } catch (const Exception&) {
        }
    }
    if (listed)
        return;
    // The shell does not take the path as the file system did: the tree's own way, and the
    // list where the tree is.
    TLinkChangeWatch watch(ZelShellLink);
    ShellTree->SetSelectedFolder(folder);
    if (const TZelShellTreeNode* selected = ShellTree->Selected(); !watch.Reached() && selected) {
        const TOwnedIDList shown = CopyIDList(selected->AbsoluteIDList());
        ShellList->FolderChanged(shown.get());
    }
}

void TfrmMain::WndProc(TMessage& message)
{
    if (message.Msg == WM_TIMER && message.WParam == kFinishStartupTimer) {
        RunStartupStep();
        return;
    }
    switch (message.Msg) {
    case WM_SIZE:
        if (message.WParam != SIZE_MINIMIZED)
            FitPanes();
        break;
    case WM_GETMINMAXINFO:
        TForm::WndProc(message);
        LimitTracking(*reinterpret_cast<MINMAXINFO*>(message.LParam));
        return;
    default: break;
    }
    TForm::WndProc(message);
}

// One step of the panes' start-up per timer message: a timer comes after input and painting,
// so the window answers between the steps.
void TfrmMain::RunStartupStep()
{
    if (StartupStepsHeld())
        return;
    if (startupSteps_.empty()) {
        FinishStartup();
        return;
    }
    const std::function<void()> step = std::move(startupSteps_.front());
    startupSteps_.pop_front();
    step();
    TraceStartup(startupSteps_.empty() ? "second pane" : "first pane");
    if (startupSteps_.empty())
        FinishStartup();
}

// Runs what is left of the start-up at once (closing, or no timer to be had).
void TfrmMain::FinishStartup()
{
    KillTimer(Handle(), kFinishStartupTimer);
    while (!startupSteps_.empty()) {
        const std::function<void()> step = std::move(startupSteps_.front());
        startupSteps_.pop_front();
        step();
    }
    if (startupFinished_)
        return;
    startupFinished_ = true;
    secondFolder_.reset();
    if (Application != nullptr)
        Application->OnUserInput = nullptr;
}

// What the user types into a combo during the start-up stays there (see TComboLeftOut).
void TfrmMain::NoteStartupInput(HWND window)
{
    for (int pane = 1; pane <= 2; ++pane) {
        TZelShellCombo* combo = pane == 1 ? ZelShellCombo2 : ZelShellCombo3;
        if (combo->HandleAllocated() &&
            (window == combo->Handle() || IsChild(combo->Handle(), window)))
            comboTouched_[pane - 1] = true;
    }
}

// Pane 1's tree and combo go where its list is. A folder the tree cannot reach (one it leaves
// out, or that went meanwhile) leaves the tree on the nearest one it can, and the list follows
// it there, as it would had the tree gone first.
void TfrmMain::FollowFirstList()
{
    const TOwnedIDList folder = CopyIDList(ShellList->FolderIDList());
    if (!folder)
        return;
    const TComboLeftOut typedInto(ZelShellCombo2, ZelShellLink, comboTouched_[0]);
    ZelShellLink->BroadcastFolderChanged(ShellList, folder.get());
    const TZelShellTreeNode* selected = ShellTree->Selected();
    if (selected == nullptr || SameIDLists(selected->AbsoluteIDList(), folder.get()))
        return;
    const TOwnedIDList reached = CopyIDList(selected->AbsoluteIDList());
    ZelShellLink->BroadcastFolderChanged(ShellTree, reached.get());
}

// Pane 2 goes to its stored folder, unless the user took it elsewhere first.
void TfrmMain::RestoreSecondPane()
{
    const std::unique_ptr<TFolderPreread> preread = std::move(secondFolder_);
    ZelShellLink2->OnChange = nullptr;
    if (secondPaneMoved_)
        return;
    const TComboLeftOut typedInto(ZelShellCombo3, ZelShellLink2, comboTouched_[1]);
    const std::wstring folder = NarrowToWide(path2_);
    {
        TLinkChangeWatch watch(ZelShellLink2);
        if (FolderExistsWithin(folder)) {
            TOwnedIDList readFolder;
            std::vector<TOwnedIDList> objects;
            TScopedChangeNotification changesSinceRead;
            if (preread && preread->Take(readFolder, objects, &changesSinceRead))
                ShellList2->OfferObjects(readFolder.get(), std::move(objects),
                                         std::move(changesSinceRead));
            ShellTree2->SetSelectedFolder(folder);
        }
        if (watch.Reached())
            return;
    }
    // The list fills with the folder the tree told it while loading; the combo shows it too.
    ShellList2->RefreshContents();
    if (const TOwnedIDList shown = CopyIDList(ShellList2->FolderIDList()))
        ZelShellLink2->BroadcastFolderChanged(ShellList2, shown.get());
    if (!folder.empty())
        fallback2_ = CopyIDList(ShellList2->FolderIDList());
}

void TfrmMain::FormDestroy(TObject*)
{
    SaveSettings();
}

void TfrmMain::SaveSettings()
{
    if (!settings_)
        return;
    // All keys or none: a shut-down cut short leaves the previous file whole.
    TSettingsUpdate update(*settings_);
    const TWindowState state = WindowState();
    if (state == TWindowState::wsNormal) {
        update.WriteInteger(kForm, "Top", Top());
        update.WriteInteger(kForm, "Left", Left());
        update.WriteInteger(kForm, "Height", Height());
        update.WriteInteger(kForm, "Width", Width());
    }
    update.WriteBool(kForm, "Expl1Focus", firstPaneActive_);
    if (state != TWindowState::wsMinimized)
        update.WriteInteger(kForm, "Expl2Height", paneTwoHeight_);
    update.WriteInteger(kForm, "Expl1Width", treeWidth_);

    // A folder the code page cannot name is kept by its short name, or its nearest parent
    // that can be named, so that the next start goes back there (not to a "?" path). Closed
    // before the panes reached their folders, the stored ones stay; so does the stored folder
    // of a pane still where it fell back from it (a drive or share away for now is tried again
    // next time).
    if (startupFinished_) {
        if (!StillOn(ShellTree, fallback1_))
            path1_ = NearestCodePagePath(ShellTree->GetSelectedFolder());
        if (!StillOn(ShellTree2, fallback2_))
            path2_ = NearestCodePagePath(ShellTree2->GetSelectedFolder());
    }
    update.WriteString(kInfo, "Path1", path1_);
    update.WriteString(kInfo, "Path2", path2_);

    update.WriteBool(kForm, "IconList1", view1_.List);
    update.WriteBool(kForm, "Details1", view1_.Details);
    update.WriteBool(kForm, "Tumbnails1", view1_.Thumbnails);
    update.WriteBool(kForm, "IconList2", view2_.List);
    update.WriteBool(kForm, "Details2", view2_.Details);
    update.WriteBool(kForm, "Tumbnails2", view2_.Thumbnails);
    update.WriteBool(kForm, "wsNormal", state == TWindowState::wsNormal);
    update.WriteBool(kForm, "wsMaximized", state == TWindowState::wsMaximized);
    update.WriteBool(kForm, "SingleWinB", SingleWinButton->Down());
    update.Commit();
}
