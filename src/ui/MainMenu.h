#pragma once
// The menu bar of a form: the root item's children are the bar's entries, each a command of
// its own or the title of a submenu (whose system menu belongs to that item).
#include "ui/Menus.h"

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // The bar, built from the items when first asked for.
    HMENU BarHandle();
    // The form's window shows the bar.
    void AttachTo(HWND window);
    // The form's window stops showing the bar (it is being destroyed and must not take the
    // bar and the items' submenus with it).
    void DetachFrom(HWND window);

private:
    void DestroyBar() noexcept;

    HMENU bar_ = nullptr;
    HWND window_ = nullptr;
};
