#pragma once
// A push button (the system control). A click raises OnClick and, with a ModalResult, gives
// that result to the form the button sits in (which ends a modal form's loop).
#include "ui/WinControl.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    ~TButton() override;

    int ModalResult = 0;
    // Drawn as the default button (Enter in a dialog).
    bool Default = false;
    // Clicked by Escape in its form.
    bool Cancel = false;

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool ReflectedMessage(TMessage& message) override;
};
