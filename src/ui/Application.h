#pragma once
// The application object: the hidden application window, the main form's window, the
// message loop, the terminating flag, the hint line and the last-resort exception handler.
// At most one exists; `Application` is null without it.
#include "core/CallbackException.h"
#include "core/Component.h"
#include "core/MessageWindow.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

// Raised with the exception that a window procedure or event handler let escape.
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;

    // The hidden top-level window that owns the program's other top-level windows; null when
    // no window can be created (no display).
    HWND Handle() const noexcept { return handle_; }
    HWND MainFormHandle() const noexcept { return mainFormHandle_; }
    void SetMainFormHandle(HWND window) noexcept { mainFormHandle_ = window; }

    std::wstring Title;

    // The hint line: menus and controls set it to the long form of the hint of what the
    // mouse or the menu selection is on; OnHint tells the status line when it changes.
    const std::wstring& Hint() const noexcept { return hint_; }
    void SetHint(const std::wstring& hint);
    TNotifyEvent OnHint;

    // Exceptions that reach a window procedure or a callback from the system end here: they
    // must not unwind through system code. With OnException assigned it decides what the
    // user sees; otherwise the message is shown in a message box.
    TExceptionEvent OnException;
    // Call from inside a catch block only.
    void HandleException(TObject* sender);
    void ShowException(const std::exception& e);

    // Told of each click and key press before it is dispatched (the window is the message's):
    // what the user does first may stop work that was about to override it.
    std::function<void(HWND window)> OnUserInput;

    bool Terminated() const noexcept { return terminated_; }
    // Ends the message loop (posts WM_QUIT) and marks the application as terminating.
    void Terminate();

    // Dispatches every pending message; returns at once when none is pending.
    void ProcessMessages();
    // Waits for one message and dispatches it (modal loops); false once the loop must end
    // (WM_QUIT, which stays queued for the outer loops).
    bool HandleMessage();
    // Runs the message loop until WM_QUIT.
    void Run();

private:
    bool ProcessMessage(MSG& message);
    // The form that a keyboard message goes to may take it first (Tab, shortcuts).
    static bool PreTranslate(MSG& message);
    static void Dispatch(MSG& message);

    std::unique_ptr<TMessageWindow> window_;
    HWND handle_ = nullptr;
    HWND mainFormHandle_ = nullptr;
    bool terminated_ = false;
    std::wstring hint_;
};

extern TApplication* Application;

// The two halves of a hint text "short|long"; a text without a bar is both.
std::wstring GetShortHint(const std::wstring& hint);
std::wstring GetLongHint(const std::wstring& hint);
