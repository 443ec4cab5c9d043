// TZelShellList: the keys. They come after the ordinary key handling (OnKeyDown) and only while
// no caption is being edited.
#include "controls/list/ShellList.h"

#include "controls/common/ShellKeys.h"
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
    if (const TShellKey* command = FindShellKey(key, shift, ReadOnly())) {
        RunKeyCommand(command->Command);
        if (command->Consumed)
            key = 0;
        return;
    }
    const bool onlyAlt = (shift & kModifiers) == ssAlt;
    switch (key) {
    case VK_RETURN:  // without Alt: the table has Alt+Enter
        InvokeVerb(kVerbDefault);
        key = 0;
        break;
    case VK_LEFT:
        if (onlyAlt)
            NavigateHistory(-1);
        break;
    case VK_RIGHT:
        if (onlyAlt)
            NavigateHistory(1);
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

void TZelShellList::RunKeyCommand(TShellKeyCommand command)
{
    switch (command) {
    case TShellKeyCommand::Properties: InvokeVerb(kVerbProperties); break;
    case TShellKeyCommand::ToggleCheck:
        if (shellLink_ != nullptr && checkboxes_ && Selected() != nullptr)
            ToggleCheck(Selected());
        break;
    case TShellKeyCommand::Delete: InvokeVerb(kVerbDelete); break;
    case TShellKeyCommand::SelectAll: SelectAll(); break;
    case TShellKeyCommand::Copy: InvokeVerb(kVerbCopy); break;
    case TShellKeyCommand::Paste: InvokeFolderVerb(kVerbPaste); break;
    case TShellKeyCommand::Cut: InvokeVerb(kVerbCut); break;
    case TShellKeyCommand::Rename:
        if (Selected() != nullptr)
            InvokeVerb(kVerbRename);
        break;
    case TShellKeyCommand::Refresh: RefreshWithLink(); break;
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
