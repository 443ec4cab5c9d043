#pragma once
// TfrmBookmark: ten numbered folder slots. Save stores the active pane's folder in the
// selected slot, Goto takes the active pane there, Delete clears a slot. The slots live in
// "MyList.DAT" in the current directory, read when the window is made and written when it
// goes. The window is made once and only hidden and shown.
#include "app/BookmarkStream.h"
#include "ui/Forms.h"

#include <string>
#include <vector>

class TButton;
class TLabel;
class TListBox;

// What the bookmark window works on: the tree of the main window's active pane.
class IBookmarkTarget {
public:
    virtual std::wstring ActiveTreeFolder() = 0;
    virtual void SelectInActiveTree(const std::wstring& folder) = 0;
    // The tree's full refresh.
    virtual void RefreshActiveTree() = 0;
    virtual void FocusActiveTree() = 0;

protected:
    ~IBookmarkTarget() = default;
};

class TfrmBookmark : public TForm {
public:
    static constexpr const wchar_t* kFileName = L"MyList.DAT";

    explicit TfrmBookmark(TComponent* owner);
    // Writes the bookmark file.
    ~TfrmBookmark() override;

    void SetTarget(IBookmarkTarget* target) noexcept { target_ = target; }
    // Shown without holding up the main window, with the focus in the list.
    void Open();

    // The commands, on the selected slot; nothing without one.
    void SaveSlot();
    void GotoSlot();
    void DeleteSlot();
    void CancelWindow();

    const std::vector<std::string>& Lines() const noexcept { return state_.Lines; }
    // Whether the file read at start could be used; the text the user was (or will be) told.
    const std::wstring& Problem() const noexcept { return problem_; }

    TLabel* Label1 = nullptr;
    TButton* SaveButton = nullptr;
    TButton* GotoButton = nullptr;
    TButton* DeleteButton = nullptr;
    TButton* CancelButton = nullptr;
    TListBox* ListBox1 = nullptr;

protected:
    void WndProc(TMessage& message) override;

private:
    void LoadFile();
    void WriteFile();
    // The list box takes the stored geometry, font and lines.
    void ApplyState();
    void SetLine(int slot, std::string line);
    static std::string SlotLabel(int slot);
    void ListKeyPress(wchar_t& key);
    void ReportProblem();

    TBookmarkListState state_;
    std::wstring problem_;
    bool problemShown_ = false;
    bool writeBlocked_ = false;
    IBookmarkTarget* target_ = nullptr;
};
