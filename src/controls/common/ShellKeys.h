#pragma once
// The keys the shell list and the shell tree give the same meaning: each names a command that
// the control carries out in its own way (the list selects all its items for Ctrl+A, the tree
// asks the link to). Keys that only one of them knows, or that they answer differently, stay
// with the control.
#include "ui/UITypes.h"

#include <windows.h>

enum class TShellKeyCommand {
    Properties,
    ToggleCheck,
    Delete,
    SelectAll,
    Copy,
    Paste,
    Cut,
    Rename,
    Refresh,
};

struct TShellKey {
    WORD Key;
    // The modifier that must be among those pressed (0: any or none).
    TShiftState Modifier;
    // Changes files: not while the control is read-only.
    bool ChangesFiles;
    TShellKeyCommand Command;
    // The view itself never sees the key.
    bool Consumed;
};

// The command of a key pressed with `shift` in a control that is `readOnly`; null for none.
const TShellKey* FindShellKey(WORD key, TShiftState shift, bool readOnly) noexcept;
