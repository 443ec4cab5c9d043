#include "ui/MainMenu.h"

#include "core/Exception.h"

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu()
{
    if (window_ != nullptr && IsWindow(window_) && GetMenu(window_) == bar_)
        SetMenu(window_, nullptr);
    DestroyBar();
}

HMENU TMainMenu::BarHandle()
{
    if (bar_ != nullptr)
        return bar_;
    bar_ = CreateMenu();
    if (bar_ == nullptr)
        throw Exception(L"A menu bar cannot be created");
    TMenuItem* root = Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible())
            continue;
        UINT flags = MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED);
        UINT_PTR id = item->Command();
        if (item->Count() > 0) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(item->Handle());
        }
        AppendMenuW(bar_, flags, id, item->Caption().c_str());
    }
    return bar_;
}

void TMainMenu::AttachTo(HWND window)
{
    if (window == nullptr)
        return;
    SetMenu(window, BarHandle());
    window_ = window;
}

void TMainMenu::DetachFrom(HWND window)
{
    if (window != nullptr && GetMenu(window) == bar_ && bar_ != nullptr)
        SetMenu(window, nullptr);
    if (window == window_)
        window_ = nullptr;
}

void TMainMenu::DestroyBar() noexcept
{
    if (bar_ == nullptr)
        return;
    // The submenus belong to their items: take them out before the bar goes.
    for (int position = GetMenuItemCount(bar_) - 1; position >= 0; --position)
        if (GetSubMenu(bar_, position) != nullptr)
            RemoveMenu(bar_, static_cast<UINT>(position), MF_BYPOSITION);
    DestroyMenu(bar_);
    bar_ = nullptr;
}
