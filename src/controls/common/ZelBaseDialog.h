#pragma once
// The base of the dialog components: Execute shows a system dialog and tells whether the user
// confirmed it; OnShow runs right before the dialog appears and OnClose right after it is gone.
#include "core/Component.h"

class TZelBaseDialog : public TComponent {
public:
    explicit TZelBaseDialog(TComponent* owner) : TComponent(owner) {}

    virtual bool Execute() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    virtual void DoShow();
    virtual void DoClose();
    // The window that owns the dialog (see DialogOwnerWindow).
    HWND OwnerWindow() const;
};

// The window of the form a component sits on: the top-level window of the first windowed
// component up its owner chain; without one, the program's main window.
HWND DialogOwnerWindow(const TComponent* component);
