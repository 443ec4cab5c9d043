#pragma once
// A speed button: a flat tool-bar button that never takes the keyboard focus, so commands
// that act on "the control with the focus" see the control the user left it in. Buttons
// with the same non-zero GroupIndex under one parent form a group: at most one is down; with
// AllowAllUp the down one comes up when clicked again (a single button in its own group is a
// toggle). It answers BM_GETCHECK, BM_SETCHECK and BM_CLICK like a button control, and tells
// screen readers its hint as its name.
#include "ui/ImageList.h"
#include "ui/WinControl.h"

struct TAccessibleFacts;

class TSpeedButton : public TWinControl {
public:
    // 23 x 22.
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int index);
    // Only a button in a group stays down. Setting it down puts the others of its group up;
    // it runs no click.
    bool Down() const noexcept { return down_; }
    void SetDown(bool down);
    // For the whole group.
    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool allow);
    bool Flat = true;

    // The picture: an image of a list (borrowed); without one the caption is drawn.
    void SetGlyph(TCustomImageList* images, int index);

    // A user's click: the group's state changes, then OnClick.
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    void WndProc(TMessage& message) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void Paint(HDC dc);
    // Its hint as its name, a push button, pressed while down (screen readers).
    void TellAccessibleFacts(TAccessibleFacts& facts) const;
    // The other buttons of this one's group.
    template <class Action>
    void ForEachInGroup(Action action);

    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    bool pressed_ = false;  // mouse button held on it
    bool hot_ = false;
    TCustomImageList* images_ = nullptr;
    int imageIndex_ = -1;
};
