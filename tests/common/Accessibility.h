#pragma once
// Windows as a screen reader sees them: the accessible object of a window's client area, read
// through the system's accessibility library (from this process or another).
#include "core/ComPtr.h"

#include <windows.h>

#include <oleacc.h>

#include <string>

TComPtr<IAccessible> AccessibleClientOf(HWND window);

// The object's own name, role and state (0 and "" when it does not answer).
struct TAccessibleReading {
    std::wstring Name;
    LONG Role = 0;
    LONG State = 0;
};
TAccessibleReading ReadAccessible(IAccessible* object);
