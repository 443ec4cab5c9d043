#include "controls/common/BrowseForFolder.h"

#include "core/ScopedResource.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "ui/Application.h"

#include <shlobj.h>

namespace {

std::wstring& ProcessLastPath()
{
    static std::wstring path;
    return path;
}

// Reads the start of every folder from the drive's root down to `path`. Wine's dialog finds a
// folder by comparing ID lists byte for byte, and its ID lists of file-system folders carry the
// last-access time, which the file system renews at the first read after a change: a folder that
// the dialog reads while filling its tree would no longer match the list of it made before, and
// the preselection would stop at its parent. Once read, the folders keep their times. Only
// fixed drives: nothing here may wait on a network or on media.
void ReadFoldersDownTo(const std::wstring& path)
{
    if (path.empty() || !IsOnFixedDrive(path))
        return;
    std::wstring folder = ExcludeTrailingBackslash(path);
    for (int depth = 0; depth < 256 && folder.size() >= 2; ++depth) {
        WIN32_FIND_DATAW data;
        const TScopedFindHandle search(
            FindFirstFileW((IncludeTrailingBackslash(folder) + L"*").c_str(), &data));
        const std::wstring parent = ExcludeTrailingBackslash(ExtractFilePath(folder));
        if (parent.size() >= folder.size())
            break;
        folder = parent;
    }
}

}  // namespace

const std::wstring& LastBrowsePath()
{
    return ProcessLastPath();
}

UINT BrowseFlagsOf(TZelBrowseFlags options)
{
    UINT flags = 0;
    if ((options & bfNewDialogStyle) != 0)
        flags |= BIF_NEWDIALOGSTYLE;
    if ((options & bfFileSystemOnly) != 0)
        flags |= BIF_RETURNONLYFSDIRS;
    if ((options & bfBrowseIncludeFiles) != 0)
        flags |= BIF_BROWSEINCLUDEFILES;
    if ((options & bfEditBox) != 0)
        flags |= BIF_EDITBOX;
    if ((options & bfBrowseForComputer) != 0)
        flags |= BIF_BROWSEFORCOMPUTER;
    if ((options & bfReturnInvalidPath) != 0)
        flags |= BIF_VALIDATE;
    return flags;
}

TZelBaseBrowseDialog::TZelBaseBrowseDialog(TComponent* owner)
    : TZelBaseDialog(owner), path_(LastBrowsePath())
{
}

TZelBaseBrowseDialog::~TZelBaseBrowseDialog() = default;

void TZelBaseBrowseDialog::SetOptions(TZelBrowseFlags value)
{
    if ((value & bfEditBox) != 0)
        value |= bfNewDialogStyle;
    if ((value & bfBrowseForComputer) != 0)
        value &= ~bfNewDialogStyle;
    if ((value & bfNewDialogStyle) == 0)
        value &= ~bfEditBox;
    options_ = value;
}

void TZelBaseBrowseDialog::SetRootedAtFileSystemFolder(const std::wstring& value)
{
    if (IsDesigning() && !value.empty() && !PathExists(value))
        MessageBoxW(OwnerWindow(), L"Path not exists!", nullptr, MB_OK | MB_ICONWARNING);
    rootedAtPath_ = value;
    rootedAt_ = SF_FILESYSTEMFOLDER;
}

int TZelBaseBrowseDialog::GetDialogLeft() const
{
    RECT rect{};
    if (window_ != nullptr && GetWindowRect(window_, &rect))
        return rect.left;
    return dialogLeft_;
}

int TZelBaseBrowseDialog::GetDialogTop() const
{
    RECT rect{};
    if (window_ != nullptr && GetWindowRect(window_, &rect))
        return rect.top;
    return dialogTop_;
}

void TZelBaseBrowseDialog::SetDialogLeft(int value)
{
    dialogLeft_ = value;
    PlaceWindow();
}

void TZelBaseBrowseDialog::SetDialogTop(int value)
{
    dialogTop_ = value;
    PlaceWindow();
}

void TZelBaseBrowseDialog::PlaceWindow()
{
    if (window_ == nullptr)
        return;
    int x = dialogLeft_;
    int y = dialogTop_;
    if (x <= 0 || y <= 0) {
        RECT rect{};
        GetWindowRect(window_, &rect);
        x = GetSystemMetrics(SM_CXSCREEN) / 2 - (rect.right - rect.left) / 2;
        y = GetSystemMetrics(SM_CYSCREEN) / 2 - (rect.bottom - rect.top) / 2;
    }
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TZelBaseBrowseDialog::EnableOK(bool enable)
{
    okEnabled_ = enable;
    if (window_ != nullptr)
        SendMessageW(window_, BFFM_ENABLEOK, 0, enable ? TRUE : FALSE);
}

int CALLBACK TZelBaseBrowseDialog::BrowseCallback(HWND window, UINT message, LPARAM lParam,
                                                  LPARAM data)
{
    auto* dialog = reinterpret_cast<TZelBaseBrowseDialog*>(data);
    try {
        switch (message) {
        case BFFM_INITIALIZED: dialog->Initialized(window); break;
        case BFFM_SELCHANGED:
            dialog->SelectionChanged(reinterpret_cast<TBorrowedIDList>(lParam));
            break;
        case BFFM_VALIDATEFAILEDA:
            dialog->validationFailed_ = true;
            dialog->path_ = NarrowToWide(reinterpret_cast<const char*>(lParam));
            break;
        case BFFM_VALIDATEFAILEDW:
            dialog->validationFailed_ = true;
            dialog->path_ = reinterpret_cast<const wchar_t*>(lParam);
            break;
        default: break;
        }
    } catch (...) {
        HandleCallbackException(dialog);
    }
    return 0;
}

void TZelBaseBrowseDialog::Initialized(HWND window)
{
    window_ = window;
    PlaceWindow();
    TOwnedIDList selection;
    if (lastSelection_ != SF_FILESYSTEMFOLDER)
        selection = SpecialFolderIDList(lastSelection_);
    else if (!path_.empty())
        selection = IDListFromPath(nullptr, path_);
    if (selection)
        SendMessageW(window, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(selection.get()));
    EnableOK((options_ & bfFileSystemOnly) == 0 || !path_.empty());
    if (!WindowTitle.empty())
        SetWindowTextW(window, WindowTitle.c_str());
    if (!DialogButtonCaption.empty())
        SetDlgItemTextW(window, IDOK, DialogButtonCaption.c_str());
}

void TZelBaseBrowseDialog::SelectionChanged(TBorrowedIDList selection)
{
    if (window_ == nullptr)
        return;
    path_ = LongPathFromIDList(selection);
    lastSelection_ = selection != nullptr ? SpecialFolderOf(selection) : SF_FILESYSTEMFOLDER;
    if ((options_ & bfFileSystemOnly) != 0)
        EnableOK(!path_.empty());
    if (OnChange)
        OnChange(this);
}

std::wstring TZelBaseBrowseDialog::VirtualFolderPath(TBorrowedIDList chosen,
                                                     const wchar_t* displayName)
{
    TNautilex browser(nullptr);
    browser.ShowErrorMessages = false;
    std::wstring path;
    try {
        browser.SetFolderIDList(chosen);
        path = browser.GetFolder();
        ProcessLastPath() = path;
        if (path.empty()) {
            browser.SelectFolderInParent();
            path = browser.GetObjectName();
            if (!path.empty() && IsInNetwork(chosen) && !StartsWithText(path, L"\\\\"))
                path = L"\\\\" + path;
        }
    } catch (const ENautilexError&) {
        // A folder the browser cannot bind is named by the dialog's display name.
    }
    if (path.empty() && displayName != nullptr)
        path = displayName;
    return path;
}

bool TZelBaseBrowseDialog::Execute()
{
    validationFailed_ = false;
    ReadFoldersDownTo(rootedAtPath_);
    if (lastSelection_ == SF_FILESYSTEMFOLDER)
        ReadFoldersDownTo(path_);
    TOwnedIDList root;
    if (!rootedAtPath_.empty() && PathExists(rootedAtPath_))
        root = IDListFromPath(nullptr, rootedAtPath_);
    if (!root)
        root = SpecialFolderIDList(rootedAt_);

    // The shell fills at most MAX_PATH characters here; a long path is read from the ID list.
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = OwnerWindow();
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = Title.empty() ? nullptr : Title.c_str();
    info.ulFlags = BrowseFlagsOf(options_);
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    DoShow();
    TOwnedIDList chosen(SHBrowseForFolderW(&info));
    window_ = nullptr;
    bool result = false;
    if (validationFailed_) {
        lastSelection_ = SF_FILESYSTEMFOLDER;
        result = true;
    } else if (!chosen) {
        lastSelection_ = SF_FILESYSTEMFOLDER;
    } else {
        path_ = LongPathFromIDList(chosen);
        lastSelection_ = SpecialFolderOf(chosen);
        if (path_.empty())
            path_ = VirtualFolderPath(chosen, displayName);
        result = true;
    }
    DoClose();
    return result;
}
