#pragma once
// The combo box: a Windows combo box whose entries (a text and an owned object each) the
// control keeps itself, so that they survive a re-created window. The owner-drawn styles
// measure and draw each entry through virtual handlers and On... events; the drop-down list
// can be wider than the box, and a context menu asked for in the dropped list is the box's.
#include "ui/WinControl.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TCustomComboBox;
class TWindowSubclass;

enum TComboBoxStyle {
    csDropDown,           // an edit and a list
    csSimple,             // an edit over a list that is always shown
    csDropDownList,       // a list only; the closed box shows the selected entry
    csOwnerDrawFixed,     // a drop-down list whose entries the control draws, all one height
    csOwnerDrawVariable,  // the same with a height per entry
};

// The entries of a combo box. The box owns each entry's object and frees it with the entry.
class TComboBoxItems {
public:
    explicit TComboBoxItems(TCustomComboBox* owner) : owner_(owner) {}
    TComboBoxItems(const TComboBoxItems&) = delete;
    TComboBoxItems& operator=(const TComboBoxItems&) = delete;

    int Count() const noexcept { return static_cast<int>(entries_.size()); }
    const std::wstring& Strings(int index) const { return At(index).text; }
    TObject* Objects(int index) const { return At(index).object.get(); }
    // Appends; returns the new entry's index.
    int Add(const std::wstring& text, std::unique_ptr<TObject> object = {});
    // Inserts before `index` (0 to Count).
    void Insert(int index, const std::wstring& text, std::unique_ptr<TObject> object = {});
    void Delete(int index);
    void Clear();
    // The first entry with that text (ignoring case), or -1.
    int IndexOf(const std::wstring& text) const;
    int IndexOfObject(const TObject* object) const;

private:
    friend class TCustomComboBox;
    struct TEntry {
        std::wstring text;
        std::unique_ptr<TObject> object;
    };
    const TEntry& At(int index) const { return entries_.at(static_cast<size_t>(index)); }

    TCustomComboBox* owner_;
    std::vector<TEntry> entries_;
};

// `Index` is -1 for the closed field of an empty box; `State` holds ODS_... flags
// (ODS_COMBOBOXEDIT when the closed field is drawn).
using TDrawItemEvent =
    std::function<void(TObject* Sender, int Index, HDC DC, const RECT& Rect, UINT State)>;
using TMeasureItemEvent = std::function<void(TObject* Sender, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TComboBoxItems* Items() noexcept { return &items_; }
    const TComboBoxItems* Items() const noexcept { return &items_; }

    TComboBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TComboBoxStyle style);
    // -1 when no entry is selected. Selecting from the program raises no OnChange.
    int ItemIndex() const;
    virtual void SetItemIndex(int index);
    // Height of the entries of an owner-drawn box, and of its closed field.
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int height);
    // How many entries the dropped list shows without scrolling.
    int DropDownCount() const noexcept { return dropDownCount_; }
    void SetDropDownCount(int count);
    // Width of the dropped list; 0 is the box's width.
    int DroppedWidth() const noexcept { return droppedWidth_; }
    void SetDroppedWidth(int width);
    bool DroppedDown() const;
    void SetDroppedDown(bool dropped);
    // The selected entry's text in the list styles; the edit's text in the others.
    virtual std::wstring Text() const;
    // Selects the entry with that text in the list styles (none when there is none).
    virtual void SetText(const std::wstring& text);

    // The windows the system made inside the box: its edit (edit styles only) and its list.
    HWND EditHandle() const;
    HWND ListHandle() const;

    // The user chose another entry (or changed the text of an edit style).
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    bool ReflectedMessage(TMessage& message) override;
    void WndProc(TMessage& message) override;

    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    // `height` comes in as ItemHeight.
    virtual void MeasureItem(int index, int& height);
    virtual void DrawItem(int index, HDC dc, const RECT& rect, UINT state);
    bool IsOwnerDrawn() const noexcept
    {
        return style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable;
    }

private:
    friend class TComboBoxItems;
    void NativeClear();
    void EntryInserted(int index);
    void EntryDeleted(int index);
    void ApplyListSettings();
    void AttachList();
    void HandleListMessage(TMessage& message);

    TComboBoxItems items_;
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1;  // the selection while there is no window
    int itemHeight_ = 16;
    int dropDownCount_ = 16;
    int droppedWidth_ = 0;
    std::unique_ptr<TWindowSubclass> listSubclass_;
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};
