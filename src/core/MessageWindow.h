#pragma once
// A hidden window that only receives messages, handled by a function: for timers, menus that
// need an owner window, and replies from other threads or the shell.
#include <windows.h>

#include <functional>

class TObject;

class TMessageWindow {
public:
    // Returns true when it handled the message and set the result; otherwise the default
    // window procedure runs.
    using THandler =
        std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    // A message-only window needs no display; a menu's owner must be a hidden top-level one
    // instead, so that it can become the foreground window.
    enum class TKind { MessageOnly, HiddenTopLevel };

    // An exception from the handler goes to the application's handler, with `sender` as the
    // object that failed.
    explicit TMessageWindow(THandler handler, TKind kind = TKind::MessageOnly,
                            TObject* sender = nullptr);
    ~TMessageWindow();
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    // Null when no window could be created (no display).
    HWND Handle() const noexcept { return handle_; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    THandler handler_;
    TObject* sender_ = nullptr;
    HWND handle_ = nullptr;
};
