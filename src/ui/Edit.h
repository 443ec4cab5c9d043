#pragma once
// The single-line edit control.
#include "ui/WinControl.h"

#include <string>

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    std::wstring Text() const { return Caption(); }
    void SetText(const std::wstring& text) { SetCaption(text); }
    // With a sunken border (the default) or none.
    bool BorderVisible() const noexcept { return borderVisible_; }
    void SetBorderVisible(bool visible);
    // The whole text is selected whenever the edit takes the focus.
    bool AutoSelect = true;

    void SelectAll();
    void SetSelection(int start, int length);
    int SelStart() const;
    int SelLength() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void WindowDestroying() override;
    void DoEnter() override;

private:
    bool borderVisible_ = true;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};
