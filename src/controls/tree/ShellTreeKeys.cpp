// TZelShellTree: the keyboard commands, the double click, the context-menu request, the
// state-image click and the mouse's back and forward buttons.
#include "controls/tree/ShellTree.h"

#include "controls/common/ShellKeys.h"
#include "link/ShellLink.h"
#include "shell/ClipboardPaste.h"
#include "shell/Verbs.h"

#include <windowsx.h>

namespace {

// Control characters of Ctrl+C, Ctrl+V and Ctrl+X: the tree view would beep at them.
constexpr wchar_t kCtrlC = 3;
constexpr wchar_t kCtrlV = 22;
constexpr wchar_t kCtrlX = 24;

}  // namespace

void TZelShellTree::KeyDown(WORD& key, TShiftState shift)
{
    if (IsEditing() || destroying_) {
        TTreeView::KeyDown(key, shift);
        return;
    }
    const TShiftState modifiers = shift & (ssShift | ssAlt | ssCtrl);
    bool command = true;  // a key of the table: the change delay stays as it is
    if (const TShellKey* shared = FindShellKey(key, shift, ReadOnly())) {
        command = RunKeyCommand(shared->Command);
        if (command && shared->Consumed)
            key = 0;
    } else {
        switch (key) {
        case VK_MENU:
            // Alt alone would put the focus on the window's menu bar.
            if (modifiers == ssAlt) {
                key = 0;
                return;
            }
            command = false;
            break;
        case VK_LEFT:
        case VK_RIGHT:
            command = modifiers == ssAlt;
            if (command) {
                NavigateHistory(key == VK_LEFT ? -1 : 1);
                key = 0;
            }
            break;
        case VK_F10:
        case VK_APPS:
            command = key == VK_APPS || (modifiers & ssShift) != 0;
            if (command) {
                ContextMenuFromKeyboard();
                key = 0;
            }
            break;
        default: command = false; break;
        }
    }
    // Walking the tree with the keyboard acts on a node once the keys rest.
    if (!command)
        SetChangeDelay(shellLink_ != nullptr ? 600 : 100);
    TTreeView::KeyDown(key, shift);
}

bool TZelShellTree::RunKeyCommand(TShellKeyCommand command)
{
    TZelShellTreeNode* selected = Typed(Selected());
    switch (command) {
    case TShellKeyCommand::Properties: ExecuteVerb(kVerbProperties); break;
    case TShellKeyCommand::ToggleCheck:
        if (!CheckBoxesShown())
            return false;
        if (selected != nullptr)
            ToggleCheck(selected);
        break;
    case TShellKeyCommand::Delete: ExecuteVerb(kVerbDelete); break;
    case TShellKeyCommand::SelectAll:
        if (shellLink_ != nullptr)
            shellLink_->BroadcastSelectAll(this);
        break;
    case TShellKeyCommand::Copy: ExecuteVerb(kVerbCopy); break;
    case TShellKeyCommand::Paste: PasteIntoSelected(); break;
    case TShellKeyCommand::Cut: ExecuteVerb(kVerbCut); break;
    case TShellKeyCommand::Rename:
        if (selected == nullptr)
            return false;
        ExecuteVerb(kVerbRename);
        break;
    case TShellKeyCommand::Refresh: RefreshWithLink(); break;
    }
    return true;
}

void TZelShellTree::KeyUp(WORD& key, TShiftState shift)
{
    // The menu opened on the key going down: the system would ask for it again here.
    if (!IsEditing() && (key == VK_APPS || (key == VK_F10 && (shift & ssShift) != 0)))
        key = 0;
    TTreeView::KeyUp(key, shift);
}

void TZelShellTree::ContextMenuFromKeyboard()
{
    if (ShellContextMenu && Typed(Selected()) != nullptr) {
        std::string verb;
        ShowShellContextMenu(SelectedLabelCorner(), verb);
        return;
    }
    bool handled = false;
    DoContextPopup(POINT{-1, -1}, handled);
}

void TZelShellTree::KeyPress(wchar_t& key)
{
    if (key == kCtrlC || key == kCtrlV || key == kCtrlX)
        key = 0;
    SetChangeDelay(shellLink_ != nullptr ? 600 : 100);
    TTreeView::KeyPress(key);
}

void TZelShellTree::DblClick()
{
    TTreeView::DblClick();
    if (OnDblClick || destroying_)
        return;
    POINT point{};
    GetCursorPos(&point);
    point = ScreenToClient(point);
    TZelShellTreeNode* node = Typed(GetNodeAt(point.x, point.y));
    if (node == nullptr)
        return;
    bool isFile = false;
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(node);
        isFile = GetShowFiles() && !browser_->IsFolder();
    } catch (const ENautilexError&) {
        return;
    }
    if (isFile)
        ExecuteVerb(kVerbDefault);
}

TZelShellTreeNode* TZelShellTree::StateImageHit(int x, int y) const
{
    if (!CheckBoxesShown())
        return nullptr;
    TTreeNode* node = nullptr;
    const UINT where = GetHitTestInfoAt(x, y, &node);
    return (where & TVHT_ONITEMSTATEICON) != 0 ? Typed(node) : nullptr;
}

bool TZelShellTree::Notify(NMHDR& header, LRESULT& result)
{
    if (BeginDragNotify(header, result))
        return true;
    if (header.code != NM_RCLICK || destroying_)
        return TTreeView::Notify(header, result);
    // The right click selects (RightClickSelect) and asks for the menu here, where the mouse
    // was: not every tree view asks by itself once the click is reported.
    TTreeView::Notify(header, result);
    const DWORD position = GetMessagePos();
    SendMessageW(WindowHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(WindowHandle()),
                 static_cast<LPARAM>(position));
    result = 1;
    return true;
}

void TZelShellTree::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(message.WParam) == WindowHandle() && !destroying_ &&
            ContextMenuAt(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}))
            return;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A click on a check box toggles it and is no ordinary click.
        if (TZelShellTreeNode* node =
                StateImageHit(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam))) {
            ToggleCheck(node);
            return;
        }
        break;
    case WM_XBUTTONUP:
        NavigateHistory(GET_XBUTTON_WPARAM(message.WParam) == XBUTTON1 ? -1 : 1);
        message.Result = TRUE;
        return;
    default: break;
    }
    TTreeView::WndProc(message);
}
