#pragma once
// A multi-line edit (the system control) with a vertical scroll bar; read-only when asked.
#include "ui/WinControl.h"

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;

    bool ReadOnly = false;
    // The text, lines separated by "\r\n" (the caption).
    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }

protected:
    void CreateParams(TCreateParams& params) override;
    bool ReflectedMessage(TMessage& message) override;
};
