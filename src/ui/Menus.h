#pragma once
// Menus: a tree of TMenuItem under a root item, an image list for the items' pictures, and
// the popup menu that a control shows on a right click. Every popup menu is served by one
// hidden window of the program (PopupListWindow) that owns the system menus while they are
// open: it runs the chosen item, lets a submenu's item update its children before they show,
// draws the items' images and puts the selected item's hint into the application's hint.
#include "ui/ImageList.h"
#include "ui/ImageListSlots.h"
#include "ui/MenuItem.h"

#include <memory>

enum class TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const noexcept { return items_.get(); }
    HMENU Handle() { return items_->Handle(); }

    TCustomImageList* Images() const noexcept { return images_.Get(0); }
    void SetImages(TCustomImageList* images);

    // The item (the root included) with that command number, submenu handle or shortcut.
    TMenuItem* FindItem(UINT value, TFindItemKind kind) const;
    // Clicks the item with that command number; false when the menu has none.
    bool DispatchCommand(UINT command);
    // A submenu is about to open: its item updates its children (actions, OnClick).
    bool DispatchPopup(HMENU submenu);
    // The image beside an item (HBMMENU_CALLBACK), for WM_MEASUREITEM and WM_DRAWITEM.
    bool MeasureItem(MEASUREITEMSTRUCT& measure) const;
    bool DrawItem(const DRAWITEMSTRUCT& draw) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::unique_ptr<TMenuItem> items_;
    // The items' pictures; the role number is unused (a menu has one list).
    TImageListSlots<1> images_;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Shown by its control's right click (WM_CONTEXTMENU) when on.
    bool AutoPopup = true;
    // TPM_LEFTALIGN, TPM_CENTERALIGN or TPM_RIGHTALIGN, and the button that chooses.
    UINT Alignment = TPM_LEFTALIGN;
    UINT TrackButton = TPM_RIGHTBUTTON;
    // The control that showed the menu last.
    TComponent* PopupComponent() const noexcept { return popupComponent_; }
    void SetPopupComponent(TComponent* component);

    // Raises OnPopup, lets the actions update the items, shows the menu at the screen point
    // and clicks the item chosen (after the menu has closed).
    virtual void Popup(int x, int y);
    // Raises OnPopup.
    virtual void DoPopup();
    TNotifyEvent OnPopup;

    // The hidden window that owns and serves every popup menu of the program; a menu of
    // ours shown by other code (a shell context menu with our items merged in) should send
    // WM_INITMENUPOPUP, WM_MENUSELECT, WM_MEASUREITEM and WM_DRAWITEM here.
    static HWND PopupListWindow();
    // The item with that command number in any popup menu of the program.
    static TMenuItem* FindPopupItem(UINT command);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TComponent* popupComponent_ = nullptr;
};
