#include "controls/combo/ShellComboFolder.h"

#include "controls/combo/ShellComboItem.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/ShellUtils.h"
#include "shell/SystemImageList.h"
#include "ui/Edit.h"

TZelCustomFolderCombo::TZelCustomFolderCombo(TComponent* owner) : TZelCustomEditComboBox(owner)
{
    browser_ = MakeOwned<TNautilex>(this);
    browser_->FileSystemOnly = false;
    browser_->ShowErrorMessages = false;
    images_ = MakeOwned<TZelSystemImageList>(this);
}

TZelCustomFolderCombo::~TZelCustomFolderCombo()
{
    DestroyHandle();
}

TZelComboItem* TZelCustomFolderCombo::ItemOf(int index) const
{
    if (index < 0 || index >= Items()->Count())
        return nullptr;
    return static_cast<TZelComboItem*>(Items()->Objects(index));
}

std::wstring TZelCustomFolderCombo::SelectedPath()
{
    const TZelComboItem* item = ItemOf(ItemIndex());
    return item != nullptr ? LongPathFromIDList(item->IDList()) : std::wstring();
}

void TZelCustomFolderCombo::CreateWnd()
{
    autoCompleteEdit_ = nullptr;
    TZelCustomEditComboBox::CreateWnd();
}

void TZelCustomFolderCombo::EditKeyPress(wchar_t& key)
{
    if (AutoComplete && Edit() != nullptr && Edit()->HandleAllocated() &&
        Edit()->WindowHandle() != autoCompleteEdit_) {
        autoCompleteEdit_ = Edit()->WindowHandle();
        EnableAutoComplete(autoCompleteEdit_, true, false);
    }
    // Enter was taken by the key-down; its character would only beep.
    if (key == L'\r')
        key = 0;
    TZelCustomEditComboBox::EditKeyPress(key);
}

void TZelCustomFolderCombo::EditKeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_RETURN && Edit() != nullptr) {
        key = 0;
        GoToPath(Edit()->Text());
        return;
    }
    TZelCustomEditComboBox::EditKeyDown(key, shift);
}
