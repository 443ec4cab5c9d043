#pragma once
// A static text on the parent's background, in its font and colour. With AutoSize the label
// takes the size of its text.
#include "ui/WinControl.h"

class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* owner);
    ~TLabel() override;

    bool AutoSize = true;
    // Resizes to the caption in the font now (AutoSize does it when the window is made).
    void AdjustSize();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    bool ReflectedMessage(TMessage& message) override;
};
