#pragma once
// The screen cursor: one cursor that, when not crDefault, every control of the program shows
// instead of its own, and the hourglass as a scoped object.
#include <windows.h>

enum TCursor : int {
    crDefault = 0,
    crArrow = -2,
    crIBeam = -4,
    crCross = -3,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crHourGlass = -11,
    crNo = -18,
    crAppStart = -19,
    crHandPoint = -21,
};

// The system cursor of a cursor value (the arrow for crDefault and unknown values).
HCURSOR CursorHandle(TCursor cursor);

TCursor ScreenCursor() noexcept;
// Shows the cursor at once; back to crDefault, the window under the mouse chooses again.
void SetScreenCursor(TCursor cursor);

// Shows the hourglass for the life of the scope and then the cursor shown before; nests. The
// hourglass is the screen cursor, so the next WM_SETCURSOR keeps it rather than replacing it.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    TCursor previous_;
    bool active_;
};
