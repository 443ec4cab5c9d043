#include "ui/Menus.h"

#include "core/MessageWindow.h"
#include "ui/Application.h"

#include <algorithm>
#include <vector>

namespace {

TMenuItem* FindIn(TMenuItem* item, UINT value, TFindItemKind kind)
{
    switch (kind) {
    case TFindItemKind::fkCommand:
        if (item->Command() == value)
            return item;
        break;
    case TFindItemKind::fkHandle:
        // Menu handles carry 32 significant bits; a 64-bit one may come sign-extended, so
        // only the low half compares with the 32-bit value.
        if (item->HandleAllocated() &&
            static_cast<UINT>(reinterpret_cast<UINT_PTR>(item->Handle())) == value)
            return item;
        break;
    case TFindItemKind::fkShortCut:
        if (item->ShortCut() != scNone && item->ShortCut() == value)
            return item;
        break;
    }
    for (int i = 0; i < item->Count(); ++i)
        if (TMenuItem* found = FindIn(item->Items(i), value, kind))
            return found;
    return nullptr;
}

// The popup menus of the program and the hidden window that serves them while one is open.
class TPopupList {
public:
    static TPopupList& Instance()
    {
        static TPopupList list;
        return list;
    }

    void Add(TPopupMenu* menu) { menus_.push_back(menu); }
    void Remove(TPopupMenu* menu)
    {
        std::erase(menus_, menu);
        if (menus_.empty())
            window_.reset();  // nothing left to serve
    }
    HWND Window()
    {
        if (window_ == nullptr)
            window_ = std::make_unique<TMessageWindow>(
                [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                    return HandleMessage(message, wParam, lParam, result);
                },
                TMessageWindow::TKind::HiddenTopLevel);
        return window_->Handle();
    }
    TMenuItem* Find(UINT value, TFindItemKind kind) const
    {
        for (TPopupMenu* menu : menus_)
            if (TMenuItem* item = menu->FindItem(value, kind))
                return item;
        return nullptr;
    }

private:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) {
                const auto menus = menus_;
                for (TPopupMenu* menu : menus)
                    if (menu->DispatchCommand(LOWORD(wParam)))
                        return true;
            }
            return false;
        case WM_INITMENUPOPUP: {
            const auto menus = menus_;
            for (TPopupMenu* menu : menus)
                if (menu->DispatchPopup(reinterpret_cast<HMENU>(wParam)))
                    break;
            return false;
        }
        case WM_MENUSELECT: MenuSelect(wParam, lParam); return false;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure == nullptr || measure->CtlType != ODT_MENU)
                return false;
            for (TPopupMenu* menu : menus_)
                if (menu->MeasureItem(*measure)) {
                    result = TRUE;
                    return true;
                }
            return false;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw == nullptr || draw->CtlType != ODT_MENU)
                return false;
            for (TPopupMenu* menu : menus_)
                if (menu->DrawItem(*draw)) {
                    result = TRUE;
                    return true;
                }
            return false;
        }
        default: return false;
        }
    }

    void MenuSelect(WPARAM wParam, LPARAM lParam)
    {
        if (Application == nullptr)
            return;
        const UINT flags = HIWORD(wParam);
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (flags == 0xFFFF && menu == nullptr) {  // the menu closed
            Application->SetHint(L"");
            return;
        }
        TMenuItem* item = nullptr;
        if ((flags & MF_POPUP) != 0) {
            HMENU submenu = GetSubMenu(menu, LOWORD(wParam));
            if (submenu != nullptr)
                item = Find(static_cast<UINT>(reinterpret_cast<UINT_PTR>(submenu)),
                            TFindItemKind::fkHandle);
        } else {
            item = Find(LOWORD(wParam), TFindItemKind::fkCommand);
        }
        Application->SetHint(item != nullptr ? GetLongHint(item->Hint()) : L"");
    }

    std::vector<TPopupMenu*> menus_;
    std::unique_ptr<TMessageWindow> window_;
};

}  // namespace

// --- TMenu -----------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner)
    : TComponent(owner),
      items_(std::make_unique<TMenuItem>(nullptr)),
      images_(this, {0}, [this](int, TCustomImageList*) {
          if (items_ != nullptr)
              items_->RebuildTree();
      })
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    images_.Release();
    items_.reset();
}

void TMenu::SetImages(TCustomImageList* images)
{
    images_.Set(0, images);
}

void TMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove)
        images_.Removed(component);
}

TMenuItem* TMenu::FindItem(UINT value, TFindItemKind kind) const
{
    return FindIn(items_.get(), value, kind);
}

bool TMenu::DispatchCommand(UINT command)
{
    TMenuItem* item = FindItem(command, TFindItemKind::fkCommand);
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU submenu)
{
    TMenuItem* item =
        FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(submenu)), TFindItemKind::fkHandle);
    if (item == nullptr)
        return false;
    item->InitiateActions();
    // The root's click is the menu's own OnPopup business; a submenu's item may update its
    // children here.
    if (item != items_.get())
        item->Click();
    return true;
}

bool TMenu::MeasureItem(MEASUREITEMSTRUCT& measure) const
{
    TMenuItem* item = FindItem(measure.itemID, TFindItemKind::fkCommand);
    if (item == nullptr || Images() == nullptr)
        return false;
    measure.itemWidth = static_cast<UINT>(Images()->Width());
    measure.itemHeight = static_cast<UINT>(Images()->Height());
    return true;
}

bool TMenu::DrawItem(const DRAWITEMSTRUCT& draw) const
{
    TMenuItem* item = FindItem(draw.itemID, TFindItemKind::fkCommand);
    if (item == nullptr || Images() == nullptr)
        return false;
    const int top =
        draw.rcItem.top + (draw.rcItem.bottom - draw.rcItem.top - Images()->Height()) / 2;
    const UINT style =
        (draw.itemState & ODS_GRAYED) != 0 ? ILD_TRANSPARENT | ILD_BLEND50 : ILD_TRANSPARENT;
    Images()->Draw(draw.hDC, draw.rcItem.left, top, item->ImageIndex(), style);
    return true;
}

// --- TPopupMenu ------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner)
{
    TPopupList::Instance().Add(this);
}

TPopupMenu::~TPopupMenu()
{
    if (popupComponent_ != nullptr)
        popupComponent_->RemoveFreeNotification(this);
    TPopupList::Instance().Remove(this);
}

void TPopupMenu::SetPopupComponent(TComponent* component)
{
    if (component == popupComponent_)
        return;
    if (popupComponent_ != nullptr)
        popupComponent_->RemoveFreeNotification(this);
    popupComponent_ = component;
    if (popupComponent_ != nullptr)
        popupComponent_->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation)
{
    TMenu::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupComponent_)
        popupComponent_ = nullptr;
}

void TPopupMenu::DoPopup()
{
    if (OnPopup)
        OnPopup(this);
}

void TPopupMenu::Popup(int x, int y)
{
    DoPopup();
    Items()->InitiateActions();
    HWND owner = PopupListWindow();
    if (owner == nullptr)
        return;
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(Handle(), Alignment | TrackButton | TPM_RETURNCMD, x, y, 0, owner, nullptr));
    if (command != 0)
        DispatchCommand(command);
}

HWND TPopupMenu::PopupListWindow()
{
    return TPopupList::Instance().Window();
}

TMenuItem* TPopupMenu::FindPopupItem(UINT command)
{
    return TPopupList::Instance().Find(command, TFindItemKind::fkCommand);
}
