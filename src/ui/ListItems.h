#pragma once
// The items of a list view. The control keeps them itself (the window only asks for what it
// draws), so a caption can be left to be supplied when first read, and a fill of many items
// costs no more than making the objects.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TListView;

enum class TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };

class TListItem {
public:
    explicit TListItem(TListView* listView);
    virtual ~TListItem() = default;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListView* ListView() const noexcept { return listView_; }
    // Position in the list; -1 once the item was taken out.
    int Index() const noexcept { return index_; }

    // A deferred caption is asked from the list (OnGetCaption) when first read, and kept.
    const std::wstring& Caption() const;
    void SetCaption(const std::wstring& caption);
    void DeferCaption();
    bool CaptionDeferred() const noexcept { return captionDeferred_; }

    // The texts of the report view's second and later columns.
    int SubItemCount() const noexcept { return static_cast<int>(subItems_.size()); }
    const std::vector<std::wstring>& SubItems() const noexcept { return subItems_; }
    // Empty for an index the item has no text for.
    std::wstring SubItem(int index) const;
    // Grows the list of texts as needed.
    void SetSubItem(int index, const std::wstring& text);
    void AddSubItem(const std::wstring& text);
    void ClearSubItems();

    // An image of the list's small or large image list; -1 for none.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    // An overlay image of the image list (0 for the first overlay); -1 for none.
    int OverlayIndex() const noexcept { return overlayIndex_; }
    void SetOverlayIndex(int index);
    // An image of the state image list, drawn beside the item; -1 for none.
    int StateIndex() const noexcept { return stateIndex_; }
    void SetStateIndex(int index);
    // Drawn ghosted, as a cut object.
    bool Cut() const noexcept { return cut_; }
    void SetCut(bool cut);
    // Drawn highlighted as the target of a drag.
    bool DropTarget() const noexcept { return dropTarget_; }
    void SetDropTarget(bool dropTarget);
    bool Selected() const;
    void SetSelected(bool selected);
    bool Focused() const;
    void SetFocused(bool focused);

    // The program's own data for the item; the list never looks at it.
    void* Data = nullptr;

    // Takes the item out of its list and frees it.
    void Delete();
    bool MakeVisible(bool partialOK = false);
    RECT DisplayRect(TDisplayCode code) const;
    // Starts editing the caption in place; false when the list does not allow it.
    bool EditCaption();
    // Draws the item again.
    void Update();

private:
    friend class TListView;
    friend class TListItems;

    TListView* listView_;
    int index_ = -1;
    mutable std::wstring caption_;
    mutable bool captionDeferred_ = false;
    std::vector<std::wstring> subItems_;
    int imageIndex_ = -1;
    signed char overlayIndex_ = -1;
    signed char stateIndex_ = -1;
    bool cut_ = false;
    bool dropTarget_ = false;
    // Selection and focus while the list has no window (the window keeps them otherwise).
    bool selected_ = false;
    bool focused_ = false;
};

class TListItems {
public:
    explicit TListItems(TListView* listView) : listView_(listView) {}
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TListView* Owner() const noexcept { return listView_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TListItem* Item(int index) const;
    TListItem* operator[](int index) const { return Item(index); }

    TListItem* Add();
    TListItem* Insert(int index);
    // Takes the item out, raises OnDeletion and frees it.
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const;

    // A bulk update: nothing is drawn and the window hears of the new item count only at the
    // end. Nests.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const noexcept { return updateCount_ > 0; }

private:
    friend class TListView;
    friend class TListItem;
    void Renumber(size_t from);
    void Reserve(size_t needed);

    TListView* listView_;
    std::vector<std::unique_ptr<TListItem>> items_;
    int updateCount_ = 0;
};
