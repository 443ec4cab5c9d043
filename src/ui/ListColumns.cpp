#include "ui/ListColumns.h"

#include "core/Exception.h"
#include "ui/ListView.h"

int TListColumn::Index() const
{
    return columns_->IndexOf(this);
}

void TListColumn::SetCaption(const std::wstring& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    width_ = Width();  // the width the user gave it stays
    Changed();
}

int TListColumn::Width() const
{
    const int native = columns_->listView_->NativeColumnWidth(Index());
    return native >= 0 ? native : width_;
}

void TListColumn::SetWidth(int width)
{
    width_ = width;
    Changed();
}

void TListColumn::SetAlignment(TAlignment alignment)
{
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    width_ = Width();
    Changed();
}

void TListColumn::Changed()
{
    if (!columns_->Updating())
        columns_->listView_->UpdateNativeColumn(Index());
}

TListColumn* TListColumns::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception(L"List index out of bounds (" + std::to_wstring(index) + L")");
    return columns_[static_cast<size_t>(index)].get();
}

TListColumn* TListColumns::Add()
{
    columns_.push_back(std::make_unique<TListColumn>(this));
    if (!Updating())
        listView_->InsertNativeColumn(Count() - 1);
    return columns_.back().get();
}

void TListColumns::Delete(int index)
{
    Items(index);  // checks the index
    BeginUpdate();
    columns_.erase(columns_.begin() + index);
    EndUpdate();
}

void TListColumns::Clear()
{
    if (columns_.empty())
        return;
    BeginUpdate();
    columns_.clear();
    EndUpdate();
}

int TListColumns::IndexOf(const TListColumn* column) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].get() == column)
            return static_cast<int>(i);
    return -1;
}

void TListColumns::BeginUpdate()
{
    if (updateCount_++ == 0)
        listView_->SaveColumnWidths();
}

void TListColumns::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        listView_->RebuildColumns();
}
