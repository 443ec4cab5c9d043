#pragma once
// What a screen reader learns of a control drawn by the program itself: the system's standard
// object for the window's client area, with the name, role and state the control tells. The
// object asks the window each time (a registered message), so a client that keeps it after
// the control has gone gets a failure, never a call into freed memory.
#include <windows.h>

#include <string>

struct TAccessibleFacts {
    std::wstring Name;
    LONG Role = 0;   // ROLE_SYSTEM_...
    LONG State = 0;  // STATE_SYSTEM_..., added to the standard object's
    // Empty when the control has none; otherwise the action BM_CLICK performs.
    std::wstring DefaultAction;
};

// The message the object sends its window: LPARAM points to a TAccessibleFacts to fill, and a
// window that filled it answers TRUE.
UINT AccessibleFactsMessage();

// The answer to WM_GETOBJECT for OBJID_CLIENT (0 for other objects, or when the system's
// accessibility library is missing: the default answer then stands).
LRESULT AnswerAccessibleClient(HWND window, WPARAM flags, LPARAM objectId);
