#pragma once
// The application object: the hidden application window, the main form's window, the
// message loop and the terminating flag. At most one exists; `Application` is null without it.
#include "core/Component.h"

#include <string>

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

    bool Terminated() const noexcept { return terminated_; }
    // Ends the message loop (posts WM_QUIT) and marks the application as terminating.
    void Terminate();

    // Dispatches every pending message; returns at once when none is pending.
    void ProcessMessages();
    // Runs the message loop until WM_QUIT.
    void Run();

private:
    bool ProcessMessage(MSG& message);

    HWND handle_ = nullptr;
    HWND mainFormHandle_ = nullptr;
    bool terminated_ = false;
};

extern TApplication* Application;
