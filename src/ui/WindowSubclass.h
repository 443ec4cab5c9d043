#pragma once
// Takes over the window procedure of a window that belongs to someone else (a common
// control's child such as a list view's header): every message goes to a handler first.
// The takeover ends when the object goes or when the window is destroyed.
#include "ui/WinMessage.h"

#include <functional>

class TWindowSubclass {
public:
    // Returns true when it handled the message (message.Result is the answer); otherwise the
    // window's own procedure runs. A handler may call DefaultHandler itself to act after it.
    using THandler = std::function<bool(TMessage& message)>;

    TWindowSubclass() = default;
    ~TWindowSubclass();
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // Takes over `window` (ending any earlier takeover by this object); false when it fails.
    bool Attach(HWND window, THandler handler);
    void Detach();
    HWND Window() const noexcept { return window_; }
    bool Attached() const noexcept { return window_ != nullptr; }

    // Runs the window's own procedure for the message and stores its result.
    void DefaultHandler(TMessage& message);

private:
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR id, DWORD_PTR data);

    HWND window_ = nullptr;
    THandler handler_;
};
