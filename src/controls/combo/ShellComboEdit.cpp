#include "controls/combo/ShellComboEdit.h"

#include "core/ScopedResource.h"
#include "shell/ShellUtils.h"
#include "ui/Edit.h"

#include <algorithm>

namespace {

// Posted to the box when its list has closed: the focus goes back to the edit.
constexpr UINT kFocusEditMessage = WM_APP + 0x2E1;

// The combo's edit has no menu of its own: a context menu asked for in it goes up to the
// combo, as a plain child window's does.
class TComboEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_CONTEXTMENU && PopupMenu() == nullptr && !OnContextPopup &&
            HandleAllocated()) {
            message.Result =
                DefWindowProcW(WindowHandle(), message.Msg, message.WParam, message.LParam);
            return;
        }
        TCustomEdit::WndProc(message);
    }
};

}  // namespace

TZelCustomEditComboBox::TZelCustomEditComboBox(TComponent* owner) : TCustomComboBox(owner)
{
    SetStyle(csOwnerDrawFixed);
    CreateEdit();
    if (UseIconTitleFont)
        ApplyIconTitleFont();
}

TZelCustomEditComboBox::~TZelCustomEditComboBox()
{
    DestroyHandle();
}

void TZelCustomEditComboBox::CreateEdit()
{
    if (edit_ != nullptr)
        return;
    edit_ = MakeOwned<TComboEdit>(this);
    edit_->SetBorderVisible(false);
    edit_->OnKeyPress = [this](TObject*, wchar_t& key) { EditKeyPress(key); };
    edit_->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { EditKeyDown(key, shift); };
    edit_->OnKeyUp = [this](TObject*, WORD& key, TShiftState shift) { EditKeyUp(key, shift); };
    PlaceEdit();
    edit_->SetParent(this);
}

void TZelCustomEditComboBox::SetEditable(bool value)
{
    if (value == GetEditable())
        return;
    if (value) {
        CreateEdit();
    } else {
        delete edit_;
        edit_ = nullptr;
        Invalidate();
    }
}

void TZelCustomEditComboBox::PlaceEdit()
{
    if (edit_ == nullptr)
        return;
    const int width =
        Width() - kEditLeft - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
    const int height = Height() - kEditTop - GetSystemMetrics(SM_CXEDGE);
    edit_->Font().Assign(Font());
    edit_->SetBounds(kEditLeft, kEditTop, std::max(width, 0), std::max(height, 0));
}

void TZelCustomEditComboBox::CreateWnd()
{
    TCustomComboBox::CreateWnd();
    PlaceEdit();
}

void TZelCustomEditComboBox::Resize()
{
    PlaceEdit();
    TCustomComboBox::Resize();
}

void TZelCustomEditComboBox::Loaded()
{
    TCustomComboBox::Loaded();
    if (UseIconTitleFont)
        ApplyIconTitleFont();
    PlaceEdit();
}

void TZelCustomEditComboBox::ApplyIconTitleFont()
{
    TScopedGdiObject font = IconTitleFont();
    if (font)
        Font().AssignHandle(static_cast<HFONT>(font.get()));
}

bool TZelCustomEditComboBox::EditUsable() const
{
    return edit_ != nullptr && edit_->HandleAllocated() && IsWindowVisible(edit_->WindowHandle()) &&
           IsWindowEnabled(edit_->WindowHandle());
}

void TZelCustomEditComboBox::FocusBox()
{
    const TRestoreOnExit keep(keepBoxFocus_, true);
    SetFocus();
}

void TZelCustomEditComboBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS:
        if (!keepBoxFocus_ && EditUsable() && !DroppedDown()) {
            ::SetFocus(edit_->WindowHandle());
            return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The box takes the focus to drop its list.
        const TRestoreOnExit keep(keepBoxFocus_, true);
        TCustomComboBox::WndProc(message);
        return;
    }
    case kFocusEditMessage:
        if (Focused() && EditUsable() && !DroppedDown())
            edit_->SetFocus();
        return;
    default: break;
    }
    TCustomComboBox::WndProc(message);
}

void TZelCustomEditComboBox::CloseUp()
{
    // Later: the box is still closing its list.
    if (HandleAllocated())
        PostMessageW(WindowHandle(), kFocusEditMessage, 0, 0);
    TCustomComboBox::CloseUp();
}

void TZelCustomEditComboBox::EditKeyPress(wchar_t& key)
{
    if (key != 0 && OnKeyPress)
        OnKeyPress(this, key);
}

void TZelCustomEditComboBox::EditKeyDown(WORD& key, TShiftState shift)
{
    const TShiftState modifiers = shift & (ssShift | ssAlt | ssCtrl);
    if ((key == VK_F4 && modifiers == 0) ||
        ((key == VK_DOWN || key == VK_UP) && modifiers == ssAlt)) {
        // With Alt the key goes on to the system, which would otherwise take the Alt let go
        // afterwards for a press of Alt alone and open the menu bar.
        if (modifiers == 0)
            key = 0;
        const bool drop = !DroppedDown();
        // The dropped list takes its keys through the box.
        FocusBox();
        SetDroppedDown(drop);
        if (key == 0)
            return;
    }
    if ((key == VK_UP || key == VK_DOWN) && modifiers == 0) {
        // Steps through the entries as in the closed box itself.
        const int index = ItemIndex() + (key == VK_DOWN ? 1 : -1);
        key = 0;
        if (index >= 0 && index < Items()->Count()) {
            TCustomComboBox::SetItemIndex(index);
            Change();
        }
        return;
    }
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TZelCustomEditComboBox::EditKeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}
