#include "controls/common/ShellKeys.h"

namespace {

constexpr TShellKey kShellKeys[] = {
    {VK_RETURN, ssAlt, false, TShellKeyCommand::Properties, true},
    {VK_SPACE, 0, false, TShellKeyCommand::ToggleCheck, false},
    {VK_DELETE, 0, true, TShellKeyCommand::Delete, false},
    {'A', ssCtrl, false, TShellKeyCommand::SelectAll, true},
    {'C', ssCtrl, false, TShellKeyCommand::Copy, true},
    {'V', ssCtrl, true, TShellKeyCommand::Paste, true},
    {'X', ssCtrl, true, TShellKeyCommand::Cut, true},
    {VK_F2, 0, false, TShellKeyCommand::Rename, false},
    {VK_F5, 0, false, TShellKeyCommand::Refresh, false},
};

}  // namespace

const TShellKey* FindShellKey(WORD key, TShiftState shift, bool readOnly) noexcept
{
    for (const TShellKey& entry : kShellKeys)
        if (entry.Key == key && (shift & entry.Modifier) == entry.Modifier &&
            !(entry.ChangesFiles && readOnly))
            return &entry;
    return nullptr;
}
