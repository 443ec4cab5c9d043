#pragma once
// A visible top-level window for control tests: controls are placed in it with SetParent.
#include "ui/WinControl.h"

class TTestForm : public TWinControl {
public:
    explicit TTestForm(TComponent* owner = nullptr, int width = 640, int height = 480);
    ~TTestForm() override;

    // Brings the window to the front with the keyboard focus, so that input reaches it.
    void Activate();

protected:
    void CreateParams(TCreateParams& params) override;
};
