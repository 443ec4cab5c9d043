// TListView: keys and clicks that leave one item selected out of many. The window would
// deselect the others one at a time, each with a change report of its own: seconds for
// 100,000 items under Wine. The control deselects them in one batch (one report) just before
// the window acts, so that the window has only its own item left to do. Where the window would
// do nothing (Home on the first item, a click on a selected item that turns into a drag), the
// selection is left alone.
#include "ui/ListView.h"

#include <windowsx.h>

#include <algorithm>

namespace {

bool Down(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

void TListView::KeyDown(WORD& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    // Shift extends and Ctrl only moves the focus; Space is left to its own handlers, which
    // read the selection first.
    if (key == 0 || !multiSelect_ || !HandleAllocated() || Down(VK_SHIFT) || Down(VK_CONTROL) ||
        Down(VK_MENU))
        return;
    if (SelCount() > 1 && KeyLeavesOneSelected(key))
        CollapseSelection(-1);
}

// Whether the window moves the focus for the key and selects only the item it moves to: the
// window's own rule, which asks the same questions of itself.
bool TListView::KeyLeavesOneSelected(WORD key) const
{
    const HWND window = WindowHandle();
    const int count = items_.Count();
    if (count == 0)
        return false;
    const int focused = static_cast<int>(
        SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    const auto next = [window, focused](UINT direction) {
        return static_cast<int>(
            SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(focused), direction));
    };
    int target = -1;
    switch (key) {
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_LEFT: target = next(LVNI_TOLEFT); break;
    case VK_RIGHT: target = next(LVNI_TORIGHT); break;
    case VK_UP: target = next(LVNI_ABOVE); break;
    case VK_DOWN: target = next(LVNI_BELOW); break;
    case VK_PRIOR:
    case VK_NEXT: {
        const int page =
            std::max(1, static_cast<int>(SendMessageW(window, LVM_GETCOUNTPERPAGE, 0, 0)));
        if (viewStyle_ == vsReport) {
            const int top = static_cast<int>(SendMessageW(window, LVM_GETTOPINDEX, 0, 0));
            const int bottom = top + page - 1;
            if (key == VK_PRIOR)
                target = focused == top ? top - page + 1 : top;
            else
                target = focused == bottom ? focused + page - 1 : bottom;
        } else {
            target = key == VK_PRIOR ? focused - page : focused + page;
        }
        target = std::clamp(target, 0, count - 1);
        break;
    }
    default: return false;
    }
    return target >= 0 && target != focused;
}

int TListView::ItemAtForClick(int x, int y) const
{
    const HWND window = WindowHandle();
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    int index = static_cast<int>(
        SendMessageW(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index < 0 && viewStyle_ == vsReport) {
        // Anywhere on a row counts as the row (full-row selection, the space after the last
        // column): asked again inside the first column, at the same height.
        RECT label{LVIR_LABEL, 0, 0, 0};
        const int top = static_cast<int>(SendMessageW(window, LVM_GETTOPINDEX, 0, 0));
        if (SendMessageW(window, LVM_GETITEMRECT, static_cast<WPARAM>(top),
                         reinterpret_cast<LPARAM>(&label)) != FALSE) {
            hit = LVHITTESTINFO{};
            hit.pt = POINT{label.left + 1, y};
            index = static_cast<int>(
                SendMessageW(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        }
    }
    return index >= 0 && index < items_.Count() ? index : -1;
}

void TListView::CollapseBeforeClick(TMessage& message)
{
    const bool plain = (message.WParam & (MK_SHIFT | MK_CONTROL)) == 0;
    const bool buttonUp = message.Msg == WM_LBUTTONUP;
    const int pressed = std::exchange(clickedSelected_, -1);
    if (!plain || !multiSelect_ || !HandleAllocated() || SelCount() < 2)
        return;
    const int item = ItemAtForClick(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
    const bool selected = item >= 0 && NativeState(item, LVIS_SELECTED) != 0;
    if (buttonUp) {
        // The window selects the pressed item alone when the button comes up on it.
        if (pressed >= 0 && item == pressed && selected)
            CollapseSelection(pressed);
        return;
    }
    if (selected) {
        // The window waits: the press may start a drag of the whole selection.
        if (message.Msg == WM_LBUTTONDOWN)
            clickedSelected_ = item;
        return;
    }
    // On an unselected item or on no item: the window selects that item alone, or nothing.
    CollapseSelection(-1);
}

void TListView::CollapseSelection(int keep)
{
    const TStateBatch batch(*this);
    SetNativeState(-1, 0, LVIS_SELECTED);
    if (keep >= 0) {
        // Selected before and after: not a change anyone is told of.
        ++quietSelection_;
        SetNativeState(keep, LVIS_SELECTED, LVIS_SELECTED);
        --quietSelection_;
    }
}
