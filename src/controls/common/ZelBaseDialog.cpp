#include "controls/common/ZelBaseDialog.h"

#include "shell/ShellHost.h"

HWND DialogOwnerWindow(const TComponent* component)
{
    for (const TComponent* owner = component != nullptr ? component->Owner() : nullptr;
         owner != nullptr; owner = owner->Owner()) {
        if (HWND window = owner->ComponentWindow()) {
            HWND form = GetAncestor(window, GA_ROOT);
            return form != nullptr ? form : window;
        }
    }
    return MainWindowHandle();
}

void TZelBaseDialog::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TZelBaseDialog::DoClose()
{
    if (OnClose)
        OnClose(this);
}

HWND TZelBaseDialog::OwnerWindow() const
{
    return DialogOwnerWindow(this);
}
