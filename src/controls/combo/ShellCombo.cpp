// TZelShellCombo: construction, the interfaces, the published properties, the life of the
// window, the change notifier and the context menu.
#include "controls/combo/ShellCombo.h"

#include "controls/combo/ShellComboItem.h"
#include "controls/common/ShellChangeNotifier.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/ShellHost.h"
#include "shell/ShellState.h"
#include "shell/ShellUtils.h"
#include "shell/SystemImageList.h"
#include "ui/Application.h"
#include "ui/Cursor.h"
#include "ui/Edit.h"

#include <windowsx.h>

TZelShellCombo::TZelShellCombo(TComponent* owner)
    : TZelCustomFolderCombo(owner), TZelShellLinkMember(kDefaultOptions, soShowFiles)
{
    SetStyle(csOwnerDrawVariable);
    drawImages_ = MakeOwned<TZelSystemImageList>(this);
    notifier_ = MakeOwned<TZelShellChangeNotifier>(this);
    notifier_->SetEnabled(false);
    notifier_->SetRecursive(true);
    notifier_->SetEventFilter(TNotificationEvents(kNotifierEvents));
    notifier_->SetInternalCallback([this](TZelShellChangeNotifier*, TNotificationEvent,
                                          TBorrowedIDList, TBorrowedIDList) { DriveReport(); });
    notifier_->WatchIDList(DesktopIDList);
    notifier_->SetEnabled(automaticRefresh_);
}

TZelShellCombo::~TZelShellCombo()
{
    LeaveShellLink();
    notifier_->SetInternalCallback(nullptr);
    notifier_->SetEnabled(false);
    try {
        DestroyHandle();
    } catch (...) {
    }
    Items()->Clear();
}

// ---- The link ----

void TZelShellCombo::Notification(TComponent* component, TOperation operation)
{
    TZelCustomFolderCombo::Notification(component, operation);
    ForgetRemovedLink(component, operation);
}

void STDMETHODCALLTYPE TZelShellCombo::FolderChanged(TBorrowedIDList folder)
{
    try {
        ShowIDList(folder);
    } catch (const Exception&) {
        // A folder the combo cannot show leaves it showing what it showed.
    }
}

void STDMETHODCALLTYPE TZelShellCombo::SelectAll()
{
    if (Edit() == nullptr || !Edit()->HandleAllocated())
        return;
    Edit()->SelectAll();
    Edit()->SetFocus();
}

void STDMETHODCALLTYPE TZelShellCombo::RefreshContents()
{
    BuildBaseList();
}

// ---- Properties ----

void TZelShellCombo::OptionsChanged()
{
    // A list not built yet is built with the new options when it first is.
    if (initialized_ || IsDesigning())
        RefreshContents();
}

bool TZelShellCombo::GetFileSystemOnly() const
{
    return browser_->FileSystemOnly;
}

void TZelShellCombo::SetFileSystemOnly(bool value)
{
    if (value == browser_->FileSystemOnly)
        return;
    browser_->FileSystemOnly = value;
    if (initialized_)
        RefreshContents();
}

void TZelShellCombo::SetAutomaticRefresh(bool value)
{
    automaticRefresh_ = value;
    notifier_->SetEnabled(value);
}

void TZelShellCombo::SetShowFullPath(bool value)
{
    if (value == showFullPath_)
        return;
    showFullPath_ = value;
    ShowSelectionText();
}

void TZelShellCombo::SetEditable(bool value)
{
    TZelCustomFolderCombo::SetEditable(value);
    ShowSelectionText();
}

std::wstring TZelShellCombo::Text() const
{
    if (Edit() != nullptr) {
        std::wstring text = Edit()->Text();
        if (!text.empty())
            return text;
    }
    return TZelCustomFolderCombo::Text();
}

void TZelShellCombo::SetText(const std::wstring& text)
{
    if (Edit() != nullptr)
        Edit()->SetText(text);
    else
        TZelCustomFolderCombo::SetText(text);
}

// ---- Window ----

void TZelShellCombo::CreateWnd()
{
    TZelCustomFolderCombo::CreateWnd();
    browser_->UseOwnerWindow(true);
    RejoinShellLink();
    EnsureInitialized();
}

void TZelShellCombo::Loaded()
{
    TZelCustomFolderCombo::Loaded();
    notifier_->SetEnabled(automaticRefresh_);
}

// ---- Change reports ----

void TZelShellCombo::DriveReport()
{
    // Called from the notifier's window procedure: nothing may escape.
    try {
        if (initialized_)
            RefreshContents();
    } catch (...) {
        HandleCallbackException(this);
    }
}

// ---- Context menu ----

void TZelShellCombo::DoContextPopup(POINT mousePos, bool& handled)
{
    TZelCustomFolderCombo::DoContextPopup(mousePos, handled);
    if (handled || PopupMenu() != nullptr || !ShowContextMenu || ItemIndex() < 0)
        return;
    POINT screen = mousePos;
    if (screen.x == -1 && screen.y == -1)
        screen = POINT{0, Height()};
    screen = ClientToScreen(screen);
    handled = true;
    ShowShellMenu(screen);
}

void TZelShellCombo::ShowShellMenu(POINT screen)
{
    const TZelComboItem* item = ItemOf(ItemIndex());
    // The desktop has no parent folder to ask for its menu.
    if (item == nullptr || IDListItemCount(item->IDList()) == 0)
        return;
    struct TCursorRestore {
        TCursor saved = ScreenCursor();
        ~TCursorRestore() { SetScreenCursor(saved); }
    } cursor;
    const TOwnedIDList folder = CopyIDList(item->IDList());
    try {
        browser_->SetFolderIDList(folder);
        browser_->SelectFolderInParent();
        browser_->ShowContextMenuOnTop = GetShowContextMenuOnTop();
        std::string verb;
        browser_->ShowContextMenu(screen, nullptr, verb);
    } catch (const ENautilexError& error) {
        ReportPathError(error.Message());
    }
}

void TZelShellCombo::ReportPathError(const std::wstring& message)
{
    if (!GetShowErrorMessages())
        return;
    HWND owner = HandleAllocated() ? GetAncestor(WindowHandle(), GA_ROOT) : MainWindowHandle();
    MessageBoxW(owner, message.c_str(), nullptr, MB_OK | MB_ICONERROR);
}
