#pragma once
// Small value types shared by the controls: modifier keys and mouse buttons, alignment.
#include <windows.h>

// Modifier keys and mouse buttons held during an input event, as a set of bits.
using TShiftState = unsigned;
enum TShiftFlag : TShiftState {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Where a control sits in its parent: at a fixed place, along one edge (stretched along it),
// or filling what the edge-aligned siblings leave.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The modifier keys down now, as the thread's keyboard state says.
TShiftState KeyboardShiftState();
// The modifier keys and buttons of a mouse message's wParam.
TShiftState MouseShiftState(WPARAM keys);
