#pragma once
// The list-view control: a Windows list view with wide captions, sub-items, columns, the four
// view styles, small, large and state image lists, custom draw and info tips.
//
// The control keeps its items itself and runs the window as a virtual list (LVS_OWNERDATA):
// the window asks for the text, image and marks of each item it draws, so filling the list
// costs one item count message, an image index can be decided when the item is first drawn
// (OnGetImageIndex) and a caption when it is first read (OnGetCaption). The window keeps
// selection and focus; the control keeps everything else and carries the selection over
// when it sorts, inserts or makes its window again.
#include "ui/CustomDraw.h"
#include "ui/ImageList.h"
#include "ui/ImageListSlots.h"
#include "ui/ListColumns.h"
#include "ui/ListItems.h"
#include "ui/WinControl.h"

#include <commctrl.h>

#include <functional>

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

enum class TItemChange { ctText, ctImage, ctState };

using TListViewDraw = TItemDraw;

using TLVItemEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2,
                                           LPARAM Data, int& Compare)>;
using TLVGetCaptionEvent =
    std::function<void(TObject* Sender, TListItem* Item, std::wstring& Caption)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, std::wstring& S)>;
using TLVInfoTipEvent =
    std::function<void(TObject* Sender, TListItem* Item, std::wstring& InfoTip)>;
using TLVCustomDrawItemEvent =
    std::function<void(TObject* Sender, TListItem* Item, TListViewDraw& Draw, bool& DefaultDraw)>;
using TLVCustomDrawSubItemEvent = std::function<void(TObject* Sender, TListItem* Item, int SubItem,
                                                     TListViewDraw& Draw, bool& DefaultDraw)>;
// Negative when the first item goes first, positive when the second does, 0 when equal.
using TLVCompare = std::function<int(TListItem* Item1, TListItem* Item2)>;

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    // Frees the items without OnDeletion: a derived list frees its item data in its own
    // destructor (Items()->Clear() raises the event while it still can).
    ~TListView() override;

    TListItems* Items() noexcept { return &items_; }
    const TListItems* Items() const noexcept { return &items_; }
    TListColumns* Columns() noexcept { return &columns_; }

    TViewStyle ViewStyle() const noexcept { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool multiSelect);
    // Captions cannot be edited in place.
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool rowSelect);
    bool GridLines() const noexcept { return gridLines_; }
    void SetGridLines(bool gridLines);
    bool ShowColumnHeaders() const noexcept { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool show);
    // The explorer's look: its visual style and full-row selection, kept for every window
    // the control makes.
    bool ExplorerStyle() const noexcept { return explorerStyle_; }
    void SetExplorerStyle(bool explorerStyle);
    // Icons keep arranged in the icon views.
    bool AutoArrange() const noexcept { return autoArrange_; }
    void SetAutoArrange(bool autoArrange);
    // Item storage grows in whole blocks of this many items.
    int AllocBy() const noexcept { return allocBy_; }
    void SetAllocBy(int count) noexcept { allocBy_ = count > 0 ? count : 1; }

    // The image lists stay the caller's; the list hears when they change or go.
    TCustomImageList* LargeImages() const noexcept { return imageLists_.Get(kLargeImages); }
    void SetLargeImages(TCustomImageList* images);
    TCustomImageList* SmallImages() const noexcept { return imageLists_.Get(kSmallImages); }
    void SetSmallImages(TCustomImageList* images);
    TCustomImageList* StateImages() const noexcept { return imageLists_.Get(kStateImages); }
    void SetStateImages(TCustomImageList* images);

    // The first selected item, or null; setting selects only that item (null: none) and
    // focuses it.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    // Many selection or focus changes at once: for the life of the scope the window draws
    // nothing, and full-row selection is off (under Wine a window with it works out each
    // changed row's rectangle even while it draws nothing: 20,000 rows took seconds). Nested
    // scopes act as one; at the end of the outermost the look is back and the whole window is
    // drawn again.
    class TStateBatch {
    public:
        explicit TStateBatch(TListView& list) noexcept;
        ~TStateBatch();
        TStateBatch(const TStateBatch&) = delete;
        TStateBatch& operator=(const TStateBatch&) = delete;

    private:
        TListView& list_;
    };
    // The next selected item after `item` (from the start for null), in list order.
    TListItem* GetNextSelected(const TListItem* item) const;
    // The item at a client point, or null.
    TListItem* GetItemAt(int x, int y) const;
    TListItem* TopItem() const;
    int VisibleRowCount() const;
    // A caption is being edited in place.
    bool IsEditing() const;
    void CancelEdit();
    void Scroll(int dx, int dy);
    // The first item from `start` on (after it unless `inclusive`) whose caption equals
    // `text`, or starts with it when `partial`, ignoring case; wraps to the top when `wrap`.
    TListItem* FindCaption(int start, const std::wstring& text, bool partial, bool inclusive,
                           bool wrap) const;
    TListItem* FindData(int start, const void* data, bool inclusive, bool wrap) const;

    // Orders the items with a comparison (a stable sort). The selection and focus stay on
    // their items. An exception from the comparison leaves the order as it was.
    void CustomSort(const TLVCompare& compare);
    // By OnCompare, or by caption ignoring case without a handler.
    void AlphaSort(LPARAM data = 0);

    // The window of the report view's column header, or null.
    HWND HeaderHandle() const;

    TLVItemEvent OnDeletion;
    // A change of an item's text, image or state; null Item: the state of many items changed
    // at once (the window reports range and select-all changes that way).
    TLVChangeEvent OnChange;
    // One item was selected or deselected by the user or the program.
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVCompareEvent OnCompare;
    // Each time the window asks for an item's image; the handler may set Item->ImageIndex.
    TLVItemEvent OnGetImageIndex;
    TLVGetCaptionEvent OnGetCaption;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVInfoTipEvent OnInfoTip;
    TLVCustomDrawItemEvent OnCustomDrawItem;
    TLVCustomDrawSubItemEvent OnCustomDrawSubItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    void WndProc(TMessage& message) override;
    bool ReflectedMessage(TMessage& message) override;
    void ChildWindowCreated(HWND child) override;
    void Notification(TComponent* component, TOperation operation) override;

    // A list-view notification; an override handles what it wants and passes the rest on.
    virtual bool Notify(NMHDR& header, LRESULT& result);
    // The items are made here; a derived list may make its own kind.
    virtual std::unique_ptr<TListItem> CreateListItem();
    // An item was taken out of the list (Index() is -1); raises OnDeletion before it is freed.
    virtual void Delete(TListItem* item);
    // Null `item`: many items at once.
    virtual void Change(TListItem* item, TItemChange change);
    virtual void GetImageIndex(TListItem* item);
    virtual void GetItemCaption(TListItem* item, std::wstring& caption);
    virtual void ColClick(TListColumn* column);
    virtual bool CanEdit(TListItem* item);
    virtual void Edited(TListItem* item, std::wstring& text);
    virtual void InfoTip(TListItem* item, std::wstring& text);
    // Whether the window should ask before drawing each item.
    virtual bool IsCustomDrawn() const;
    virtual void CustomDrawItem(TListItem* item, TListViewDraw& draw, bool& defaultDraw);
    virtual void CustomDrawSubItem(TListItem* item, int subItem, TListViewDraw& draw,
                                   bool& defaultDraw);
    // The report view's header window exists (after each creation of it).
    virtual void HeaderCreated(HWND header) {}
    // A key that leaves one item selected out of many clears the others first, in one batch.
    void KeyDown(WORD& key, TShiftState shift) override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;

    struct TSelection {
        std::vector<TListItem*> selected;
        TListItem* focused = nullptr;
    };

    DWORD ViewStyleBits() const;
    DWORD ExtendedStyleBits() const;
    void SetStyleBit(DWORD bit, bool on);
    void ApplyExtendedStyles();
    void ApplyExplorerLook();
    void AttachImageList(int which, TCustomImageList* images);
    // Items
    static UINT SyncMessage();
    // Before items are added or taken out; `movesItems` when items after them move.
    void ItemsChanging(bool movesItems);
    void ForgetPendingItem(const TListItem* item);
    // Passes a changed item count (and the selection carried over) on to the window.
    void SyncItemCount();
    void RedrawItem(const TListItem* item, bool textChanged);
    void ItemsCleared();
    void BeginBulkUpdate();
    void EndBulkUpdate();
    TSelection CaptureSelection() const;
    void RestoreSelection(const TSelection& selection);
    UINT NativeState(int index, UINT mask) const;
    void SetNativeState(int index, UINT state, UINT mask);
    // Columns
    void RebuildColumns();
    void InsertNativeColumn(int index);
    void UpdateNativeColumn(int index);
    void SaveColumnWidths();
    int NativeColumnWidth(int index) const;
    // Notifications
    void AnswerDisplayRequest(NMLVDISPINFOW& info);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    void CheckHeader();
    // Selection collapsing (ListViewCollapse.cpp): the window deselects the other items of a
    // selection one at a time, each with its own change report (seconds for 100,000 items
    // under Wine); the control deselects them in one batch just before the window acts.
    bool KeyLeavesOneSelected(WORD key) const;
    // The item at a client point as the window's click sees it, at its widest; -1 for none.
    int ItemAtForClick(int x, int y) const;
    void CollapseBeforeClick(TMessage& message);
    // Deselects every item but `keep` (-1: all) in one batch.
    void CollapseSelection(int keep);

    TListItems items_;
    TListColumns columns_;
    TViewStyle viewStyle_ = vsIcon;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool rowSelect_ = false;
    bool gridLines_ = false;
    bool showColumnHeaders_ = true;
    bool autoArrange_ = true;
    bool explorerStyle_ = false;
    int allocBy_ = 32;
    static constexpr size_t kLargeImages = 0, kSmallImages = 1, kStateImages = 2;
    TImageListSlots<3> imageLists_;
    int nativeCount_ = 0;
    bool countPending_ = false;
    bool selectionPending_ = false;
    bool syncPosted_ = false;
    bool syncing_ = false;
    TSelection pendingSelection_;
    int nativeColumnCount_ = 0;
    int quietSelection_ = 0;  // >0: selection changes are the control's own, not reported
    int stateBatch_ = 0;      // open state batches
    bool batchPausedDrawing_ = false;
    DWORD batchLeftOut_ = 0;                // extended styles the open batches took off
    const TListItem* answering_ = nullptr;  // the item whose display data is being asked for
    HWND header_ = nullptr;
    // The selected item a plain left click went down on: the window keeps the selection
    // until the button comes up there.
    int clickedSelected_ = -1;
};
