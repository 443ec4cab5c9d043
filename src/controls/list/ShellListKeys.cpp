// TZelShellList: the keys. They come after the ordinary key handling (OnKeyDown) and only while
// no caption is being edited.
#include "controls/list/ShellList.h"

#include "link/ShellLink.h"
#include "shell/Verbs.h"

namespace {

// Ctrl, Alt and Shift mean "among the pressed modifiers"; `onlyAlt` asks for Alt alone.
constexpr TShiftState kModifiers = ssShift | ssAlt | ssCtrl;

bool Has(TShiftState shift, TShiftState modifier)
{
    return (shift & modifier) != 0;
}

}  // namespace

void TZelShellList::KeyDown(WORD& key, TShiftState shift)
{
    TListView::KeyDown(key, shift);
    if (key == 0 || IsEditing())
        return;
    const bool onlyAlt = (shift & kModifiers) == ssAlt;
    switch (key) {
    case VK_RETURN:
        InvokeVerb(Has(shift, ssAlt) ? kVerbProperties : kVerbDefault);
        key = 0;
        break;
    case VK_SPACE:
        if (shellLink_ != nullptr && checkboxes_ && Selected() != nullptr)
            ToggleCheck(Selected());
        break;
    case VK_LEFT:
        if (onlyAlt)
            NavigateHistory(-1);
        break;
    case VK_RIGHT:
        if (onlyAlt)
            NavigateHistory(1);
        break;
    case VK_DELETE:
        if (!ReadOnly())
            InvokeVerb(kVerbDelete);
        break;
    case 'A':
        if (Has(shift, ssCtrl)) {
            SelectAll();
            key = 0;
        }
        break;
    case 'C':
        if (Has(shift, ssCtrl)) {
            InvokeVerb(kVerbCopy);
            key = 0;
        }
        break;
    case 'V':
        if (Has(shift, ssCtrl) && !ReadOnly()) {
            InvokeFolderVerb(kVerbPaste);
            key = 0;
        }
        break;
    case 'X':
        if (Has(shift, ssCtrl) && !ReadOnly()) {
            InvokeVerb(kVerbCut);
            key = 0;
        }
        break;
    case VK_F2:
        if (Selected() != nullptr)
            InvokeVerb(kVerbRename);
        break;
    case VK_F5:
        RefreshContents();
        if (shellLink_ != nullptr)
            shellLink_->BroadcastRefresh(this);
        break;
    case VK_F10:
        if (Has(shift, ssShift) && ShellContextMenu && Selected() != nullptr) {
            const RECT bounds = Selected()->DisplayRect(TDisplayCode::drSelectBounds);
            contextMenuByKey_ = true;
            ShowSelectionContextMenu(ClientToScreen(POINT{bounds.right, bounds.bottom}));
        }
        break;
    default: break;
    }
}

void TZelShellList::DoEnter()
{
    // The focus only, not the selection: nothing is chosen by coming in.
    if (HandleAllocated() && Items()->Count() > 0 && ItemFocused() == nullptr)
        Items()->Item(0)->SetFocused(true);
    TListView::DoEnter();
}

void TZelShellList::KeyPress(wchar_t& key)
{
    TListView::KeyPress(key);
    if (key != VK_BACK || IsEditing())
        return;
    if (shellLink_ == nullptr || shellLink_->CanGoUp())
        GoUp();
    key = 0;
}
