#include "ui/Cursor.h"

#include "core/SyncCall.h"

namespace {

TCursor screenCursor = crDefault;

}  // namespace

HCURSOR CursorHandle(TCursor cursor)
{
    const wchar_t* name = IDC_ARROW;
    switch (cursor) {
    case crIBeam: name = IDC_IBEAM; break;
    case crCross: name = IDC_CROSS; break;
    case crSizeNESW: name = IDC_SIZENESW; break;
    case crSizeNS: name = IDC_SIZENS; break;
    case crSizeNWSE: name = IDC_SIZENWSE; break;
    case crSizeWE: name = IDC_SIZEWE; break;
    case crHourGlass: name = IDC_WAIT; break;
    case crNo: name = IDC_NO; break;
    case crAppStart: name = IDC_APPSTARTING; break;
    case crHandPoint: name = IDC_HAND; break;
    default: break;
    }
    return LoadCursorW(nullptr, name);
}

TCursor ScreenCursor() noexcept
{
    return screenCursor;
}

void SetScreenCursor(TCursor cursor)
{
    screenCursor = cursor;
    if (cursor == crDefault) {
        // Let the window under the mouse pick its own cursor again, as a mouse move would.
        POINT point{};
        GetCursorPos(&point);
        HWND window = WindowFromPoint(point);
        if (window != nullptr &&
            GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
            SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                         MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
            return;
        }
    }
    SetCursor(CursorHandle(cursor));
}

// Only the GUI thread shows cursors: on a worker (a browser running a work item) the scope
// does nothing.
TWaitCursor::TWaitCursor() : previous_(ScreenCursor()), active_(IsMainThread())
{
    if (active_)
        SetScreenCursor(crHourGlass);
}

TWaitCursor::~TWaitCursor()
{
    if (active_)
        SetScreenCursor(previous_);
}
