#pragma once
// Small helpers shared by the browser's source files.
#include <windows.h>

// Shows the hourglass for the life of the scope and restores the previous cursor.
class TWaitCursorScope {
public:
    TWaitCursorScope() noexcept : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~TWaitCursorScope() { SetCursor(previous_); }
    TWaitCursorScope(const TWaitCursorScope&) = delete;
    TWaitCursorScope& operator=(const TWaitCursorScope&) = delete;

private:
    HCURSOR previous_;
};
