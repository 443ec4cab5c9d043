#pragma once
// The shell's folder picker as a component: options, root, texts and position of the dialog,
// the folder to preselect and, after Execute, the folder chosen.
#include "controls/common/ZelBaseDialog.h"
#include "shell/ZelShellFolder.h"

#include <string>

enum TZelBrowseFlag : unsigned {
    bfNewDialogStyle = 0x01,
    bfFileSystemOnly = 0x02,
    bfBrowseIncludeFiles = 0x04,
    bfEditBox = 0x08,
    bfBrowseForComputer = 0x10,
    bfReturnInvalidPath = 0x20,
};
using TZelBrowseFlags = unsigned;

// The BIF_... flags of an option set.
UINT BrowseFlagsOf(TZelBrowseFlags options);

// The folder last taken from a virtual folder's browser by any browse dialog of the process;
// a new dialog preselects it.
const std::wstring& LastBrowsePath();

class TZelBaseBrowseDialog : public TZelBaseDialog {
public:
    explicit TZelBaseBrowseDialog(TComponent* owner);
    ~TZelBaseBrowseDialog() override;

    // True when the user chose a folder (or, with bfReturnInvalidPath, confirmed a typed name
    // that does not exist: Path holds the text).
    bool Execute() override;

    TZelBrowseFlags GetOptions() const noexcept { return options_; }
    // An edit box needs the new dialog style; browsing for computers cannot have it.
    void SetOptions(TZelBrowseFlags value);
    TZelShellFolder GetRootedAt() const noexcept { return rootedAt_; }
    void SetRootedAt(TZelShellFolder value) { rootedAt_ = value; }
    const std::wstring& GetRootedAtFileSystemFolder() const noexcept { return rootedAtPath_; }
    void SetRootedAtFileSystemFolder(const std::wstring& value);
    std::wstring Title;
    std::wstring WindowTitle;
    std::wstring DialogButtonCaption;
    const std::wstring& GetPath() const noexcept { return path_; }
    void SetPath(const std::wstring& value) { path_ = value; }
    // The dialog's position; -1 centres it on the screen. While the dialog is open, reading
    // gives its window's position and writing moves it.
    int GetDialogLeft() const;
    void SetDialogLeft(int value);
    int GetDialogTop() const;
    void SetDialogTop(int value);
    // The open dialog's window; null while none is open.
    HWND DialogWindow() const noexcept { return window_; }

    // The selection in the open dialog changed (Path holds it).
    TNotifyEvent OnChange;

private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
    void Initialized(HWND window);
    void SelectionChanged(TBorrowedIDList selection);
    void PlaceWindow();
    void EnableOK(bool enable);
    // Path of a chosen folder that has no file-system path of its own.
    std::wstring VirtualFolderPath(TBorrowedIDList chosen, const wchar_t* displayName);

    TZelBrowseFlags options_ = bfNewDialogStyle;
    TZelShellFolder rootedAt_ = SF_DESKTOP;
    std::wstring rootedAtPath_;
    std::wstring path_;
    int dialogLeft_ = -1;
    int dialogTop_ = -1;
    HWND window_ = nullptr;
    TZelShellFolder lastSelection_ = SF_FILESYSTEMFOLDER;
    bool validationFailed_ = false;
    bool okEnabled_ = true;
};

class TZelBrowseForFolder : public TZelBaseBrowseDialog {
public:
    using TZelBaseBrowseDialog::TZelBaseBrowseDialog;
};
