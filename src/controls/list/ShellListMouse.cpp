// TZelShellList: the mouse (double click, the check-box click, the extra buttons) and the
// context menu, from the mouse and from the keyboard.
#include "controls/list/ShellList.h"

#include "ui/Menus.h"

#include <windowsx.h>

#include <utility>

bool TZelShellList::InteractionMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_XBUTTONDOWN:
        NavigateHistory(GET_XBUTTON_WPARAM(message.WParam) == XBUTTON1 ? -1 : 1);
        message.Result = TRUE;
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (message.WParam != VK_F10)
            return false;
        // Shift+F10 also makes the system ask for a context menu, once the key handler has
        // shown one already.
        TListView::WndProc(message);
        contextMenuByKey_ = false;
        return true;
    case WM_CONTEXTMENU:
        if (!contextMenuByKey_ || GET_X_LPARAM(message.LParam) != -1 ||
            GET_Y_LPARAM(message.LParam) != -1)
            return false;
        contextMenuByKey_ = false;
        return true;
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM: {
        HWND menuWindow = browser_->ContextMenuWindow();
        if (menuWindow == nullptr)
            return false;
        // The list's own handling first; the shell's menu entries are the browser's to serve.
        TListView::WndProc(message);
        const LRESULT shellResult =
            SendMessageW(menuWindow, message.Msg, message.WParam, message.LParam);
        if (message.Result == 0)
            message.Result = shellResult;
        return true;
    }
    default: return false;
    }
}

void TZelShellList::DblClick()
{
    if (Owner() != nullptr && OnDblClick) {
        TListView::DblClick();
        return;
    }
    if (IsLoading()) {
        const int index = Selected() != nullptr ? Selected()->Index() : -1;
        Loaded();
        if (index >= 0 && index < Items()->Count())
            SetSelected(Items()->Item(index));
    }
    POINT point{};
    GetCursorPos(&point);
    point = ScreenToClient(point);
    TListItem* item = GetItemAt(point.x, point.y);
    TListItem* selected = Selected();
    if (item != nullptr && selected != nullptr && item->Index() == selected->Index())
        InvokeVerb("default");
}

void TZelShellList::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbRight)
        rightPressedHere_ = true;
    TListView::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || shellLink_ == nullptr || !checkboxes_)
        return;
    TListItem* item = GetItemAt(x, y);
    if (item != nullptr && CheckBoxHit(item, x, y))
        ToggleCheck(item);
}

void TZelShellList::DoContextPopup(POINT mousePos, bool& handled)
{
    TListItem* item = nullptr;
    POINT client = mousePos;
    const bool byKeyboard = mousePos.x == -1 && mousePos.y == -1;
    // A right click that began here; not the release of a button that cancelled a drag.
    const bool clickedHere = byKeyboard || std::exchange(rightPressedHere_, false);
    if (byKeyboard) {
        item = Selected();
        if (item != nullptr) {
            const RECT bounds = item->DisplayRect(TDisplayCode::drSelectBounds);
            client = POINT{bounds.right, bounds.bottom};
        } else {
            client = POINT{1, 1};
        }
    } else {
        // The list view keeps the button's release to itself when it asks for the menu.
        MouseUp(TMouseButton::mbRight, KeyboardShiftState(), mousePos.x, mousePos.y);
        item = GetItemAt(mousePos.x, mousePos.y);
    }
    const POINT screen = ClientToScreen(client);
    handled = true;
    if (item == nullptr) {
        if (backgroundPopupMenu_ != nullptr) {
            backgroundPopupMenu_->SetPopupComponent(this);
            backgroundPopupMenu_->Popup(screen.x, screen.y);
        } else if (ShellContextMenu && clickedHere) {
            ShowBackgroundContextMenu(screen);
        }
        return;
    }
    if (ShellContextMenu) {
        ShowSelectionContextMenu(screen);
        return;
    }
    handled = false;
    TListView::DoContextPopup(mousePos, handled);
    handled = true;
}
