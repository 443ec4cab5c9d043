#pragma once
// Menu items: a tree of items with caption, shortcut, click handler and the usual states,
// each with a command number that is unique in the process. An item with children has a
// system popup menu (its Handle) that follows every change of the children.
#include "core/Component.h"
#include "ui/Action.h"
#include "ui/ShortCut.h"

#include <cstdint>
#include <string>
#include <vector>

class TMenu;

enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenuItem : public TComponent, private TActionClient {
public:
    explicit TMenuItem(TComponent* owner);
    // Frees the children too.
    ~TMenuItem() override;

    // "-" makes the item a separator line.
    const std::wstring& Caption() const noexcept { return caption_; }
    void SetCaption(const std::wstring& caption);
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    TMenuBreak Break() const noexcept { return break_; }
    void SetBreak(TMenuBreak menuBreak);
    // Checking a radio item unchecks the radio items of its group among its siblings.
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked);
    bool Default() const noexcept { return default_; }
    void SetDefault(bool isDefault);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    BYTE GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(BYTE groupIndex);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int context) noexcept { helpContext_ = context; }
    bool RadioItem() const noexcept { return radioItem_; }
    void SetRadioItem(bool radioItem);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    // An image of the menu's image list, shown beside the caption; -1 for none.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    // "short|long"; menu selection shows the long part as the application's hint.
    const std::wstring& Hint() const noexcept { return hint_; }
    void SetHint(const std::wstring& hint) { hint_ = hint; }
    // A TAction gives the item its properties; clicking runs the action unless OnClick is set.
    TBasicAction* Action() const noexcept { return action_; }
    void SetAction(TBasicAction* action);
    intptr_t Tag = 0;
    TNotifyEvent OnClick;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes a child out without freeing it.
    void Remove(TMenuItem* item);
    // Takes a child out and frees it.
    void Delete(int index);
    // Frees every child.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const noexcept { return parent_; }
    int MenuIndex() const { return parent_ != nullptr ? parent_->IndexOf(this) : -1; }
    // The child whose caption, without '&' marks, equals `caption` ignoring case.
    TMenuItem* Find(const std::wstring& caption) const;
    TMenu* GetParentMenu() const;
    bool IsLine() const { return caption_ == L"-"; }

    // The command number the item is chosen by (WM_COMMAND, TrackPopupMenu).
    UINT Command() const noexcept { return command_; }
    // The system menu of the children, made when first asked for.
    HMENU Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }

    // Raises OnClick, or runs the action; nothing for a disabled item.
    virtual void Click();
    // Lets the action refresh the item (OnUpdate).
    void InitiateAction();
    // InitiateAction for every child.
    void InitiateActions();

private:
    friend class TMenu;
    void ActionChanged(TAction* action) override;
    void Notification(TComponent* component, TOperation operation) override;
    // After a change of this item's own look: the entry in the parent's menu follows.
    void UpdateEntry();
    // After a change of the children: this item's menu is built again.
    void RebuildHandle();
    void RebuildTree();
    void DestroyHandle();
    // Takes this item's children's entries out of its menu.
    void DetachEntries();
    // The child whose entry stands at `position` of this item's menu; null for others' entries.
    TMenuItem* ChildOfEntry(int position) const;
    // Where a child's entry stands in this item's menu; -1 when it is not there.
    int EntryPositionOf(const TMenuItem* child) const;
    void TurnSiblingsOff();
    bool ShowsImage() const;

    std::wstring caption_;
    TShortCut shortCut_ = scNone;
    TMenuBreak break_ = TMenuBreak::mbNone;
    bool checked_ = false;
    bool default_ = false;
    bool enabled_ = true;
    BYTE groupIndex_ = 0;
    int helpContext_ = 0;
    bool radioItem_ = false;
    bool visible_ = true;
    int imageIndex_ = -1;
    std::wstring hint_;
    TBasicAction* action_ = nullptr;

    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    TMenu* menu_ = nullptr;  // set on the root item of a menu
    HMENU handle_ = nullptr;
    UINT command_ = 0;
};

// The command numbers of menu items come from one range of the process, above the numbers
// that shell context menus are given, so that merged menus never clash.
constexpr UINT kFirstMenuCommand = 0x8000;
constexpr UINT kLastMenuCommand = 0xEFFF;

// Removes '&' marks ("&&" stays as one '&').
std::wstring StripHotkey(const std::wstring& caption);
