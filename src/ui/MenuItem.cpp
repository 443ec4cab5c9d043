#include "ui/MenuItem.h"

#include "core/Exception.h"
#include "ui/Menus.h"

#include <algorithm>
#include <cwctype>

namespace {

// Which command numbers are taken; freed numbers are handed out again.
class TCommandPool {
public:
    UINT Allocate()
    {
        const size_t size = kLastMenuCommand - kFirstMenuCommand + 1;
        if (used_.empty())
            used_.assign(size, false);
        for (size_t step = 0; step < size; ++step) {
            const size_t at = (next_ + step) % size;
            if (!used_[at]) {
                used_[at] = true;
                next_ = (at + 1) % size;
                return static_cast<UINT>(kFirstMenuCommand + at);
            }
        }
        throw Exception(L"Too many menu items");
    }
    void Release(UINT command)
    {
        if (command >= kFirstMenuCommand && command <= kLastMenuCommand && !used_.empty())
            used_[command - kFirstMenuCommand] = false;
    }

private:
    std::vector<bool> used_;
    size_t next_ = 0;
};

TCommandPool& CommandPool()
{
    static TCommandPool pool;
    return pool;
}

std::wstring UpperCase(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

}  // namespace

std::wstring StripHotkey(const std::wstring& caption)
{
    std::wstring result;
    result.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&')
                result += L'&';
            else
                continue;
            ++i;
            continue;
        }
        result += caption[i];
    }
    return result;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(CommandPool().Allocate()) {}

TMenuItem::~TMenuItem()
{
    if (parent_ != nullptr)
        parent_->Remove(this);
    Clear();
    DestroyHandle();
    if (auto* action = dynamic_cast<TAction*>(action_))
        action->UnRegisterClient(this);
    if (action_ != nullptr)
        action_->RemoveFreeNotification(this);
    CommandPool().Release(command_);
}

// --- properties ------------------------------------------------------------------------

void TMenuItem::SetCaption(const std::wstring& caption)
{
    if (caption == caption_)
        return;
    const bool wasLine = IsLine();
    caption_ = caption;
    // A line and a text entry differ in kind; the parent builds its menu again.
    if (wasLine != IsLine() && parent_ != nullptr)
        parent_->RebuildHandle();
    else
        UpdateEntry();
}

void TMenuItem::SetShortCut(TShortCut shortCut)
{
    if (shortCut == shortCut_)
        return;
    shortCut_ = shortCut;
    UpdateEntry();
}

void TMenuItem::SetBreak(TMenuBreak menuBreak)
{
    if (menuBreak == break_)
        return;
    break_ = menuBreak;
    UpdateEntry();
}

void TMenuItem::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    if (checked && radioItem_)
        TurnSiblingsOff();
    UpdateEntry();
}

void TMenuItem::TurnSiblingsOff()
{
    if (parent_ == nullptr)
        return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
            sibling->SetChecked(false);
}

void TMenuItem::SetDefault(bool isDefault)
{
    if (isDefault == default_)
        return;
    default_ = isDefault;
    UpdateEntry();
}

void TMenuItem::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    UpdateEntry();
}

void TMenuItem::SetGroupIndex(BYTE groupIndex)
{
    if (groupIndex == groupIndex_)
        return;
    groupIndex_ = groupIndex;
    if (checked_ && radioItem_)
        TurnSiblingsOff();
}

void TMenuItem::SetRadioItem(bool radioItem)
{
    if (radioItem == radioItem_)
        return;
    radioItem_ = radioItem;
    if (checked_ && radioItem_)
        TurnSiblingsOff();
    UpdateEntry();
}

void TMenuItem::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (parent_ != nullptr)
        parent_->RebuildHandle();
}

void TMenuItem::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    UpdateEntry();
}

void TMenuItem::SetAction(TBasicAction* action)
{
    if (action == action_)
        return;
    if (action_ != nullptr) {
        if (auto* old = dynamic_cast<TAction*>(action_))
            old->UnRegisterClient(this);
        action_->RemoveFreeNotification(this);
    }
    action_ = action;
    if (action_ != nullptr) {
        action_->FreeNotification(this);
        if (auto* linked = dynamic_cast<TAction*>(action_)) {
            linked->RegisterClient(this);
            ActionChanged(linked);
        }
    }
}

void TMenuItem::ActionChanged(TAction* action)
{
    if (action != action_)
        return;
    caption_ = action->Caption();
    checked_ = action->Checked();
    enabled_ = action->Enabled();
    hint_ = action->Hint();
    imageIndex_ = action->ImageIndex();
    shortCut_ = action->ShortCut();
    helpContext_ = action->HelpContext();
    if (checked_ && radioItem_)
        TurnSiblingsOff();
    if (visible_ != action->Visible())
        SetVisible(action->Visible());
    if (parent_ != nullptr)
        parent_->RebuildHandle();
}

void TMenuItem::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == action_)
        action_ = nullptr;  // the action is going; it forgets its clients itself
}

// --- children --------------------------------------------------------------------------

void TMenuItem::Add(TMenuItem* item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (item == nullptr)
        return;
    if (item->parent_ != nullptr)
        throw Exception(L"Menu inserted twice");
    for (const TMenuItem* up = this; up != nullptr; up = up->parent_)
        if (up == item)
            throw Exception(L"A menu item cannot contain itself");
    index = std::clamp(index, 0, Count());
    const bool hadChildren = !items_.empty();
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    RebuildHandle();
    if (!hadChildren && parent_ != nullptr)
        parent_->RebuildHandle();  // the entry gets its submenu
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto found = std::find(items_.begin(), items_.end(), item);
    if (found == items_.end())
        return;
    // The child's menu must not go with this menu's entry: take its entry out first.
    if (handle_ != nullptr) {
        const int position = EntryPositionOf(item);
        if (position >= 0)
            RemoveMenu(handle_, static_cast<UINT>(position), MF_BYPOSITION);
    }
    items_.erase(found);
    item->parent_ = nullptr;
    RebuildHandle();
    if (items_.empty() && parent_ != nullptr)
        parent_->RebuildHandle();
}

void TMenuItem::Delete(int index)
{
    TMenuItem* item = Items(index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear()
{
    while (!items_.empty())
        Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const
{
    const auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::wstring& caption) const
{
    const std::wstring wanted = UpperCase(StripHotkey(caption));
    for (TMenuItem* item : items_)
        if (UpperCase(StripHotkey(item->caption_)) == wanted)
            return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* root = this;
    while (root->parent_ != nullptr)
        root = root->parent_;
    return root->menu_;
}

// --- actions and clicks ----------------------------------------------------------------

void TMenuItem::Click()
{
    if (!enabled_)
        return;
    if (OnClick)
        OnClick(this);
    else if (action_ != nullptr)
        action_->Execute();
}

void TMenuItem::InitiateAction()
{
    if (action_ != nullptr)
        action_->Update();
}

void TMenuItem::InitiateActions()
{
    const auto children = items_;
    for (TMenuItem* child : children)
        child->InitiateAction();
}

// --- the system menu -------------------------------------------------------------------

bool TMenuItem::ShowsImage() const
{
    const TMenu* menu = GetParentMenu();
    return imageIndex_ >= 0 && menu != nullptr && menu->Images() != nullptr &&
           imageIndex_ < menu->Images()->Count();
}

namespace {

// The entry of `item` as the system menu shows it; `text` keeps the string alive.
MENUITEMINFOW EntryInfo(TMenuItem& item, bool showsImage, std::wstring& text)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
    info.wID = item.Command();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(&item);
    if (item.IsLine()) {
        info.fType = MFT_SEPARATOR;
        return info;
    }
    info.fMask |= MIIM_STRING | MIIM_BITMAP;
    info.fType = MFT_STRING;
    if (item.RadioItem())
        info.fType |= MFT_RADIOCHECK;
    if (item.Break() == TMenuBreak::mbBreak)
        info.fType |= MFT_MENUBREAK;
    else if (item.Break() == TMenuBreak::mbBarBreak)
        info.fType |= MFT_MENUBARBREAK;
    info.fState = MFS_ENABLED;
    if (item.Checked())
        info.fState |= MFS_CHECKED;
    if (!item.Enabled())
        info.fState |= MFS_DISABLED;
    if (item.Default())
        info.fState |= MFS_DEFAULT;
    text = item.Caption();
    const std::wstring shortCut = ShortCutToText(item.ShortCut());
    if (!shortCut.empty())
        text += L"\t" + shortCut;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    info.hbmpItem = showsImage ? HBMMENU_CALLBACK : nullptr;
    return info;
}

}  // namespace

HMENU TMenuItem::Handle()
{
    if (handle_ == nullptr) {
        handle_ = CreatePopupMenu();
        if (handle_ == nullptr)
            throw Exception(L"A menu cannot be created");
        RebuildHandle();
    }
    return handle_;
}

void TMenuItem::UpdateEntry()
{
    if (parent_ == nullptr || parent_->handle_ == nullptr || !visible_)
        return;
    std::wstring text;
    MENUITEMINFOW info = EntryInfo(*this, ShowsImage(), text);
    SetMenuItemInfoW(parent_->handle_, command_, FALSE, &info);
}

TMenuItem* TMenuItem::ChildOfEntry(int position) const
{
    HMENU submenu = GetSubMenu(handle_, position);
    const UINT id = GetMenuItemID(handle_, position);
    for (TMenuItem* child : items_)
        if (submenu != nullptr ? submenu == child->handle_ : id == child->command_)
            return child;
    return nullptr;
}

int TMenuItem::EntryPositionOf(const TMenuItem* child) const
{
    const int count = GetMenuItemCount(handle_);
    for (int position = 0; position < count; ++position)
        if (ChildOfEntry(position) == child)
            return position;
    return -1;
}

void TMenuItem::DetachEntries()
{
    if (handle_ == nullptr)
        return;
    // Only our own entries: entries others added (a merged shell menu) stay where they are.
    for (int position = GetMenuItemCount(handle_) - 1; position >= 0; --position)
        if (ChildOfEntry(position) != nullptr)
            RemoveMenu(handle_, static_cast<UINT>(position), MF_BYPOSITION);
}

void TMenuItem::RebuildHandle()
{
    if (handle_ == nullptr)
        return;
    // Entries others put into our menu (a merged shell menu, shown while we rebuild) stay
    // after the child they followed: note that child for each of them, in order.
    std::vector<const TMenuItem*> followed;
    const TMenuItem* last = nullptr;
    const int count = GetMenuItemCount(handle_);
    for (int position = 0; position < count; ++position) {
        if (const TMenuItem* child = ChildOfEntry(position))
            last = child;
        else
            followed.push_back(last);
    }
    DetachEntries();

    // Our entries go between the others again, in our order; an entry whose child is no
    // longer ours stays after the one before it.
    UINT position = 0;
    size_t other = 0;
    int after = -1;
    const auto passOthersAfter = [&](int index) {
        for (; other < followed.size(); ++other) {
            const int at = followed[other] != nullptr ? IndexOf(followed[other]) : -1;
            after = std::max(after, at);
            if (after > index)
                break;
            ++position;
        }
    };
    passOthersAfter(-1);
    for (int index = 0; index < Count(); ++index) {
        TMenuItem* child = items_[static_cast<size_t>(index)];
        if (child->visible_) {
            std::wstring text;
            MENUITEMINFOW info = EntryInfo(*child, child->ShowsImage(), text);
            if (!child->items_.empty()) {
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = child->Handle();
            }
            InsertMenuItemW(handle_, position++, TRUE, &info);
        }
        passOthersAfter(index);
    }
}

void TMenuItem::RebuildTree()
{
    for (TMenuItem* child : items_)
        child->RebuildTree();
    RebuildHandle();
}

void TMenuItem::DestroyHandle()
{
    if (handle_ == nullptr)
        return;
    // Submenus are destroyed with the menu that holds them: take ours out first, so that
    // each item frees only its own.
    DetachEntries();
    HMENU handle = handle_;
    handle_ = nullptr;
    DestroyMenu(handle);
}
