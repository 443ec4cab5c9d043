#pragma once
// TZelCustomEditComboBox: an owner-drawn combo box with a single-line edit of its own laid
// over the closed field (right of where the entry's icon is drawn). The edit's keys reach the
// combo's key handlers and events, and a context menu asked for in the edit is the combo's.
#include "ui/ComboBox.h"

#include <string>

class TCustomEdit;

class TZelCustomEditComboBox : public TCustomComboBox {
public:
    // Where the edit sits in the combo.
    static constexpr int kEditLeft = 24;
    static constexpr int kEditTop = 3;

    explicit TZelCustomEditComboBox(TComponent* owner);
    ~TZelCustomEditComboBox() override;

    virtual std::wstring ClassName() const { return L"TZelCustomEditComboBox"; }
    std::wstring Version() const { return ClassName() + L" V6.2.3"; }

    // The embedded edit exists.
    bool GetEditable() const noexcept { return edit_ != nullptr; }
    virtual void SetEditable(bool value);
    // The embedded edit, or null.
    TCustomEdit* Edit() const noexcept { return edit_; }

    // Take the system's icon-title font once the stored properties are loaded.
    bool UseIconTitleFont = true;

protected:
    void CreateWnd() override;
    void Resize() override;
    void Loaded() override;

    // Makes the embedded edit.
    virtual void CreateEdit();
    // The edit's keys, passed on to OnKeyPress, OnKeyDown and OnKeyUp; a key set to 0 is
    // swallowed.
    virtual void EditKeyPress(wchar_t& key);
    virtual void EditKeyDown(WORD& key, TShiftState shift);
    virtual void EditKeyUp(WORD& key, TShiftState shift);
    // Places the edit over the closed field and gives it the combo's font.
    void PlaceEdit();
    void ApplyIconTitleFont();

private:
    TCustomEdit* edit_ = nullptr;  // owned by the combo as a component
};
