// TfrmMain: the layout at any window size. The user's choices (pane 2's height, the trees'
// width) are kept as chosen; the panes show them as far as the window leaves pane 1 and the
// lists a usable size, and the window cannot be made smaller than what shows every part.
#include "app/Main.h"

#include "app/ALStatusBar.h"
#include "controls/combo/ShellCombo.h"
#include "controls/tree/ShellTree.h"
#include "ui/Panel.h"
#include "ui/Scaling.h"
#include "ui/Splitter.h"

#include <algorithm>

namespace {

// Design pixels. A list keeps its header and a few rows, and a few columns beside its tree.
constexpr int kUsableListHeight = 80;
constexpr int kUsableListWidth = 120;
// Pane 2 below its path bar: the top rows of its tree and list.
constexpr int kPaneTwoRows = 40;
// The visible tool-bar buttons end at 277.
constexpr int kToolBarWidth = 300;
// The path combo: its place in its status bar, and its width where the bar has room.
constexpr int kComboLeft = 52;
constexpr int kComboWidth = 600;
constexpr int kComboSmallest = 120;

}  // namespace

int TfrmMain::RoomForPaneTwo(int clientHeight) const
{
    return std::max(0, clientHeight - Panel1->Height() - ALStatusBar2->Height() -
                           Splitter2->Height() - Scale(kUsableListHeight));
}

int TfrmMain::RoomForTrees(int clientWidth) const
{
    return std::max(0, clientWidth - Splitter1->Width() - Scale(kUsableListWidth));
}

void TfrmMain::SetPaneTwoHeight(int height)
{
    paneTwoHeight_ = std::max(0, height);
    FitPanes();
}

void TfrmMain::SetTreeWidth(int width)
{
    treeWidth_ = std::max(0, width);
    FitPanes();
}

void TfrmMain::FitPanes()
{
    // Before the window exists the sizes were fitted to the window it will open in; a
    // minimised window has no room to fit to.
    int paneTwo = paneTwoHeight_;
    int tree = treeWidth_;
    if (HandleAllocated()) {
        if (IsIconic(Handle()))
            return;
        paneTwo = std::min(paneTwo, RoomForPaneTwo(ClientHeight()));
        tree = std::min(tree, RoomForTrees(ClientWidth()));
    }
    if (PanelExpl2->Height() != paneTwo)
        PanelExpl2->SetBounds(PanelExpl2->Left(), PanelExpl2->Top(), PanelExpl2->Width(), paneTwo);
    if (Panel2->Width() != tree)
        Panel2->SetBounds(Panel2->Left(), Panel2->Top(), tree, Panel2->Height());
    if (ShellTree2->Width() != tree)
        ShellTree2->SetBounds(ShellTree2->Left(), ShellTree2->Top(), tree, ShellTree2->Height());
}

void TfrmMain::FitPathCombo(TALStatusBar* bar, TZelShellCombo* combo)
{
    // On a narrow window the combo gives way, so that its drop button stays in sight.
    const int room = bar->ClientWidth() - Scale(kComboLeft) - Scale(2);
    const int width = std::clamp(room, Scale(kComboSmallest), Scale(kComboWidth));
    if (combo->Width() != width)
        combo->SetBounds(Scale(kComboLeft), Scale(1), width, combo->Height());
}

void TfrmMain::LimitTracking(MINMAXINFO& limits) const
{
    RECT smallest{0, 0, Scale(kToolBarWidth),
                  Panel1->Height() + ALStatusBar2->Height() + Splitter2->Height() +
                      Scale(kUsableListHeight) + ALStatusBar1->Height() + Scale(kPaneTwoRows)};
    const HWND window = WindowHandle();
    AdjustWindowRectEx(&smallest, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                       GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    limits.ptMinTrackSize.x =
        std::max<LONG>(limits.ptMinTrackSize.x, smallest.right - smallest.left);
    limits.ptMinTrackSize.y =
        std::max<LONG>(limits.ptMinTrackSize.y, smallest.bottom - smallest.top);
}

// ---- Splitters: both trees stay equally wide; a drag is the user's new choice ----

void TfrmMain::Splitter1CanResize(TObject*, int& newSize, bool&)
{
    newSize = std::min(newSize, RoomForTrees(ClientWidth()));
    ShellTree2->SetBounds(ShellTree2->Left(), ShellTree2->Top(), newSize, ShellTree2->Height());
}

void TfrmMain::Splitter2CanResize(TObject*, int& newSize, bool&)
{
    newSize = std::min(newSize, RoomForPaneTwo(ClientHeight()));
}

void TfrmMain::Splitter3CanResize(TObject*, int& newSize, bool&)
{
    newSize = std::min(newSize, RoomForTrees(ClientWidth()));
    Panel2->SetBounds(Panel2->Left(), Panel2->Top(), newSize, Panel2->Height());
}

void TfrmMain::SetFirstPaneActive(bool value)
{
    firstPaneActive_ = value;
    ALStatusBar2->SetPanelMarked(0, value);
    ALStatusBar1->SetPanelMarked(0, !value);
}
