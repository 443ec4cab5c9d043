#pragma once
// The check-box states of a shell object in a selection; the state queries return these
// values as their codes (1 to 4), and the check-box images come in this order.
enum TZelSelectionState {
    ssUnused,     // 0: not a code
    ssNone,       // 1: no check box: nothing there, or nothing to select
    ssChecked,    // 2: the object is selected, itself or through a folder above it
    ssUnChecked,  // 3: nothing at or below the object is selected
    ssGrayed,     // 4: something below the object is selected
};
