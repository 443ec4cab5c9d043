#include "controls/ShellComboEdit.h"

#include "shell/ShellUtils.h"
#include "ui/Edit.h"

#include <algorithm>

namespace {

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

void TZelCustomEditComboBox::EditKeyPress(wchar_t& key)
{
    if (key != 0 && OnKeyPress)
        OnKeyPress(this, key);
}

void TZelCustomEditComboBox::EditKeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TZelCustomEditComboBox::EditKeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}
