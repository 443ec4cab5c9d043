#pragma once
// A group box: a captioned frame whose controls sit inside it.
#include "ui/WinControl.h"

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    ~TGroupBox() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
};
