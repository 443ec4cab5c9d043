#pragma once
// The report-view columns of a list view: caption, width and alignment. A change reaches the
// window at once, or at the end of a bulk update of the collection.
#include "ui/UITypes.h"

#include <memory>
#include <string>
#include <vector>

class TListView;
class TListColumns;

class TListColumn {
public:
    explicit TListColumn(TListColumns* columns) : columns_(columns) {}
    TListColumn(const TListColumn&) = delete;
    TListColumn& operator=(const TListColumn&) = delete;

    int Index() const;
    const std::wstring& Caption() const noexcept { return caption_; }
    void SetCaption(const std::wstring& caption);
    // Pixels; in the report view the width the user dragged the column to.
    int Width() const;
    void SetWidth(int width);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment alignment);
    intptr_t Tag = 0;

private:
    friend class TListColumns;
    friend class TListView;
    void Changed();

    TListColumns* columns_;
    std::wstring caption_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TListColumns {
public:
    explicit TListColumns(TListView* listView) : listView_(listView) {}
    TListColumns(const TListColumns&) = delete;
    TListColumns& operator=(const TListColumns&) = delete;

    TListView* Owner() const noexcept { return listView_; }
    int Count() const noexcept { return static_cast<int>(columns_.size()); }
    TListColumn* Items(int index) const;
    TListColumn* operator[](int index) const { return Items(index); }
    TListColumn* Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TListColumn* column) const;

    // The window gets the whole set of columns once, at the end. Nests.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const noexcept { return updateCount_ > 0; }

private:
    friend class TListColumn;
    friend class TListView;

    TListView* listView_;
    std::vector<std::unique_ptr<TListColumn>> columns_;
    int updateCount_ = 0;
};
