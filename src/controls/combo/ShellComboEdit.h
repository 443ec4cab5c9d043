#pragma once
// TZelCustomEditComboBox: an owner-drawn combo box with a single-line edit of its own laid
// over the closed field (right of where the entry's icon is drawn). The edit's keys reach the
// combo's key handlers and events, and a context menu asked for in the edit is the combo's.
// The focus given to the box goes on to the edit, where the keys are typed; only the dropped
// list keeps it in the box, and gives it back to the edit when it closes.
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
    void WndProc(TMessage& message) override;
    void CloseUp() override;

    // Gives the focus to the box itself (for its dropped list) rather than to the edit.
    void FocusBox();

    // Makes the embedded edit.
    virtual void CreateEdit();
    // The edit's keys, passed on to OnKeyPress, OnKeyDown and OnKeyUp; a key set to 0 is
    // swallowed. As in the box itself, F4, Alt+Down and Alt+Up open and close the list, and
    // Up and Down select the entry above or below.
    virtual void EditKeyPress(wchar_t& key);
    virtual void EditKeyDown(WORD& key, TShiftState shift);
    virtual void EditKeyUp(WORD& key, TShiftState shift);
    // Places the edit over the closed field and gives it the combo's font.
    void PlaceEdit();
    void ApplyIconTitleFont();

private:
    bool EditUsable() const;

    TCustomEdit* edit_ = nullptr;  // owned by the combo as a component
    // The box keeps a focus it is given (a click that drops the list, FocusBox).
    bool keepBoxFocus_ = false;
};
