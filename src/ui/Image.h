#pragma once
// A picture on the parent's background: an icon, drawn at its own size.
#include "ui/WinControl.h"

class TImage : public TWinControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    // The icon stays the caller's (a shared resource icon, or one it frees after this).
    HICON Icon() const noexcept { return icon_; }
    void SetIcon(HICON icon);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    HICON icon_ = nullptr;
};
