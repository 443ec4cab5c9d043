#include "ui/ListItems.h"

#include "core/Exception.h"
#include "ui/ListView.h"

#include <algorithm>

// --- TListItem -------------------------------------------------------------------------

TListItem::TListItem(TListView* listView) : listView_(listView) {}

const std::wstring& TListItem::Caption() const
{
    if (captionDeferred_) {
        std::wstring text;
        listView_->GetItemCaption(const_cast<TListItem*>(this), text);
        caption_ = std::move(text);
        captionDeferred_ = false;
    }
    return caption_;
}

void TListItem::SetCaption(const std::wstring& caption)
{
    if (!captionDeferred_ && caption == caption_)
        return;
    caption_ = caption;
    captionDeferred_ = false;
    listView_->RedrawItem(this, true);
    listView_->Change(this, TItemChange::ctText);
}

void TListItem::DeferCaption()
{
    caption_.clear();
    captionDeferred_ = true;
    listView_->RedrawItem(this, true);
}

std::wstring TListItem::SubItem(int index) const
{
    if (index < 0 || index >= SubItemCount())
        return {};
    return subItems_[static_cast<size_t>(index)];
}

void TListItem::SetSubItem(int index, const std::wstring& text)
{
    if (index < 0)
        return;
    if (index >= SubItemCount())
        subItems_.resize(static_cast<size_t>(index) + 1);
    subItems_[static_cast<size_t>(index)] = text;
    listView_->RedrawItem(this, false);
}

void TListItem::AddSubItem(const std::wstring& text)
{
    subItems_.push_back(text);
    listView_->RedrawItem(this, false);
}

void TListItem::ClearSubItems()
{
    if (subItems_.empty())
        return;
    subItems_.clear();
    listView_->RedrawItem(this, false);
}

void TListItem::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    // Set while the window asks for it: the answer carries it, nothing to redraw.
    if (listView_->answering_ == this)
        return;
    listView_->RedrawItem(this, false);
    listView_->Change(this, TItemChange::ctImage);
}

void TListItem::SetOverlayIndex(int index)
{
    index = std::clamp(index, -1, 14);
    if (index == overlayIndex_)
        return;
    overlayIndex_ = static_cast<signed char>(index);
    listView_->RedrawItem(this, false);
    listView_->Change(this, TItemChange::ctImage);
}

void TListItem::SetStateIndex(int index)
{
    index = std::clamp(index, -1, 14);
    if (index == stateIndex_)
        return;
    stateIndex_ = static_cast<signed char>(index);
    listView_->RedrawItem(this, false);
    listView_->Change(this, TItemChange::ctState);
}

void TListItem::SetCut(bool cut)
{
    if (cut == cut_)
        return;
    cut_ = cut;
    listView_->RedrawItem(this, false);
    listView_->Change(this, TItemChange::ctState);
}

void TListItem::SetDropTarget(bool dropTarget)
{
    if (dropTarget == dropTarget_)
        return;
    dropTarget_ = dropTarget;
    listView_->RedrawItem(this, false);
    listView_->Change(this, TItemChange::ctState);
}

bool TListItem::Selected() const
{
    if (index_ < 0)
        return false;
    if (!listView_->HandleAllocated())
        return selected_;
    return listView_->NativeState(index_, LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool selected)
{
    if (index_ < 0)
        return;
    if (!listView_->HandleAllocated()) {
        if (selected && !listView_->MultiSelect())
            for (auto& other : listView_->items_.items_)
                other->selected_ = false;
        selected_ = selected;
        return;
    }
    listView_->SetNativeState(index_, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

bool TListItem::Focused() const
{
    if (index_ < 0)
        return false;
    if (!listView_->HandleAllocated())
        return focused_;
    return listView_->NativeState(index_, LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool focused)
{
    if (index_ < 0)
        return;
    if (!listView_->HandleAllocated()) {
        if (focused)
            for (auto& other : listView_->items_.items_)
                other->focused_ = false;
        focused_ = focused;
        return;
    }
    listView_->SetNativeState(index_, focused ? LVIS_FOCUSED : 0, LVIS_FOCUSED);
}

void TListItem::Delete()
{
    if (index_ >= 0)
        listView_->items_.Delete(index_);
}

bool TListItem::MakeVisible(bool partialOK)
{
    if (index_ < 0 || !listView_->HandleAllocated())
        return false;
    listView_->SyncItemCount();
    return SendMessageW(listView_->WindowHandle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index_),
                        partialOK) != FALSE;
}

RECT TListItem::DisplayRect(TDisplayCode code) const
{
    RECT rect{};
    if (index_ < 0 || !listView_->HandleAllocated())
        return rect;
    listView_->SyncItemCount();
    switch (code) {
    case TDisplayCode::drBounds: rect.left = LVIR_BOUNDS; break;
    case TDisplayCode::drIcon: rect.left = LVIR_ICON; break;
    case TDisplayCode::drLabel: rect.left = LVIR_LABEL; break;
    case TDisplayCode::drSelectBounds: rect.left = LVIR_SELECTBOUNDS; break;
    }
    if (!SendMessageW(listView_->WindowHandle(), LVM_GETITEMRECT, static_cast<WPARAM>(index_),
                      reinterpret_cast<LPARAM>(&rect)))
        rect = RECT{};
    return rect;
}

bool TListItem::EditCaption()
{
    if (index_ < 0 || listView_->ReadOnly())
        return false;
    listView_->SetFocus();
    listView_->SyncItemCount();
    return SendMessageW(listView_->WindowHandle(), LVM_EDITLABELW, static_cast<WPARAM>(index_),
                        0) != 0;
}

void TListItem::Update()
{
    listView_->RedrawItem(this, false);
}

// --- TListItems ------------------------------------------------------------------------

TListItem* TListItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception(L"List index out of bounds (" + std::to_wstring(index) + L")");
    return items_[static_cast<size_t>(index)].get();
}

void TListItems::Reserve(size_t needed)
{
    if (needed <= items_.capacity())
        return;
    // Whole blocks of AllocBy items, at least half as many again as now.
    const size_t block = static_cast<size_t>(listView_->AllocBy());
    size_t capacity = std::max(needed, items_.capacity() + items_.capacity() / 2);
    capacity = (capacity + block - 1) / block * block;
    items_.reserve(capacity);
}

TListItem* TListItems::Add()
{
    return Insert(Count());
}

TListItem* TListItems::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    std::unique_ptr<TListItem> item = listView_->CreateListItem();
    TListItem* raw = item.get();
    Reserve(items_.size() + 1);
    listView_->ItemsChanging(index < Count());
    items_.insert(items_.begin() + index, std::move(item));
    Renumber(static_cast<size_t>(index));
    return raw;
}

void TListItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw Exception(L"List index out of bounds (" + std::to_wstring(index) + L")");
    TListItem* raw = items_[static_cast<size_t>(index)].get();
    listView_->ItemsChanging(true);
    listView_->ForgetPendingItem(raw);
    std::unique_ptr<TListItem> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    item->index_ = -1;
    Renumber(static_cast<size_t>(index));
    listView_->Delete(item.get());
}

void TListItems::Clear()
{
    std::vector<std::unique_ptr<TListItem>> gone;
    gone.swap(items_);
    listView_->ItemsCleared();
    for (auto& item : gone) {
        item->index_ = -1;
        listView_->Delete(item.get());
        item.reset();
    }
}

int TListItems::IndexOf(const TListItem* item) const
{
    return item != nullptr && item->listView_ == listView_ && item->index_ >= 0 ? item->index_ : -1;
}

void TListItems::BeginUpdate()
{
    if (updateCount_++ == 0)
        listView_->BeginBulkUpdate();
}

void TListItems::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        listView_->EndBulkUpdate();
}

void TListItems::Renumber(size_t from)
{
    for (size_t i = from; i < items_.size(); ++i)
        items_[i]->index_ = static_cast<int>(i);
}
