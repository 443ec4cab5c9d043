// TNautilex: the shell's context menu merged with the application's popup menu, and the hidden
// window that serves both while the menu is open.
#include "shell/Nautilex.h"

#include "core/MessageWindow.h"
#include "shell/ClipboardPaste.h"
#include "shell/PathList.h"
#include "shell/PathUtils.h"
#include "shell/ShellHost.h"
#include "shell/Verbs.h"
#include "ui/Application.h"
#include "ui/Menus.h"

#include <algorithm>
#include <vector>

namespace {

// Command numbers of the shell's entries in a shown menu: everything below the application's
// items. Shells number their entries sparsely (Wine's "Open" is the 259th), so a narrow range
// would lose some of them.
constexpr UINT kFirstShellCommand = 1;
constexpr UINT kLastShellCommand = kFirstMenuCommand - 1;
constexpr UINT kVerbLength = 260;
constexpr UINT kHelpTextLength = 261;

bool IsShellCommand(UINT command)
{
    return command >= kFirstShellCommand && command < kFirstMenuCommand;
}

// Where the entry of `item` stands in its parent's menu; -1 when it is not shown.
int EntryPosition(TMenuItem* item)
{
    HMENU menu = item->Parent()->Handle();
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        HMENU submenu = GetSubMenu(menu, position);
        if (submenu != nullptr ? item->HandleAllocated() && submenu == item->Handle()
                               : GetMenuItemID(menu, position) == item->Command())
            return position;
    }
    return -1;
}

// An entry of a system menu by what stays when entries move: a submenu's handle, otherwise the
// command number.
struct TEntryKey {
    UINT command;
    HMENU submenu;
    bool operator==(const TEntryKey&) const = default;
};

TEntryKey KeyOfEntry(HMENU menu, int position)
{
    HMENU submenu = GetSubMenu(menu, position);
    return TEntryKey{submenu != nullptr ? 0 : GetMenuItemID(menu, position), submenu};
}

std::vector<TEntryKey> EntryKeys(HMENU menu)
{
    std::vector<TEntryKey> keys;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position)
        keys.push_back(KeyOfEntry(menu, position));
    return keys;
}

// The entries the shell puts into a menu, taken out again by their command numbers and submenu
// handles: the application's menu may build itself again while it is open (an action's
// update, a submenu's click) and move them, so positions tell nothing afterwards.
class TAddedEntries {
public:
    explicit TAddedEntries(HMENU menu) : menu_(menu), before_(EntryKeys(menu)) {}
    ~TAddedEntries() { Remove(); }
    TAddedEntries(const TAddedEntries&) = delete;
    TAddedEntries& operator=(const TAddedEntries&) = delete;

    // After the shell has added its entries: those not there before are its.
    void Note()
    {
        std::vector<TEntryKey> earlier = before_;
        for (const TEntryKey& key : EntryKeys(menu_)) {
            const auto found = std::find(earlier.begin(), earlier.end(), key);
            if (found != earlier.end())
                earlier.erase(found);
            else
                added_.push_back(key);
        }
    }
    void Remove()
    {
        if (added_.empty() || !IsMenu(menu_))
            return;
        for (int position = GetMenuItemCount(menu_) - 1; position >= 0 && !added_.empty();
             --position) {
            const auto found = std::find(added_.begin(), added_.end(), KeyOfEntry(menu_, position));
            if (found == added_.end())
                continue;
            added_.erase(found);
            // The shell's submenus go with their entries.
            DeleteMenu(menu_, static_cast<UINT>(position), MF_BYPOSITION);
        }
        added_.clear();
    }

private:
    HMENU menu_;
    std::vector<TEntryKey> before_;
    std::vector<TEntryKey> added_;
};

TMenuItem* FindMenuItem(TPopupMenu* menu, const void* value, TFindItemKind kind)
{
    return menu->FindItem(static_cast<UINT>(reinterpret_cast<UINT_PTR>(value)), kind);
}

}  // namespace

HWND TNautilex::ContextMenuWindow() const noexcept
{
    return contextMenuWindow_ ? contextMenuWindow_->Handle() : nullptr;
}

void TNautilex::PopupContextMenu(POINT point, TPopupMenu* menu, std::string& verb,
                                 TMenuItem* insertAfter)
{
    verb.clear();
    // Taken now: the menu uses the entries up.
    TZelPathList paths = CommandPaths();
    TrackContextMenu(GetUIObject<IContextMenu>(), std::move(paths), point, menu, verb, insertAfter);
}

void TNautilex::ShowBackgroundContextMenu(POINT point, TPopupMenu* menu, std::string& verb)
{
    verb.clear();
    if (!shellFolder_)
        throw ENautilexError(NoFolderMessage());
    TComPtr<IContextMenu> contextMenu;
    {
        const TErrorModeScope errorMode(ShellErrorMode());
        if (FAILED(shellFolder_->CreateViewObject(
                OwnerWindow(), IID_IContextMenu,
                reinterpret_cast<void**>(contextMenu.GetAddressOf()))))
            contextMenu.Reset();
    }
    // What the background's commands act on is the folder itself.
    TZelPathList paths;
    if (const std::wstring folder = GetFolder(); !folder.empty())
        paths.Add(folder);
    multiObjects_->clear();
    TrackContextMenu(contextMenu, std::move(paths), point, menu, verb, nullptr);
}

void TNautilex::TrackContextMenu(const TComPtr<IContextMenu>& contextMenu, TZelPathList paths,
                                 POINT point, TPopupMenu* menu, std::string& verb,
                                 TMenuItem* insertAfter)
{
    // The menu's state lives only as long as the menu is shown.
    struct TOpenMenuState {
        TNautilex& browser;
        ~TOpenMenuState()
        {
            browser.contextMenuWindow_.reset();
            browser.contextMenu2_.Reset();
            browser.contextMenu_.Reset();
            browser.contextPopupMenu_ = nullptr;
            browser.multiObjects_->clear();
        }
    } openMenuState{*this};

    if (!contextMenu)
        return;
    contextMenu_ = contextMenu;
    contextMenu->QueryInterface(IID_IContextMenu2,
                                reinterpret_cast<void**>(contextMenu2_.GetAddressOf()));
    contextPopupMenu_ = menu;

    TScopedMenu ownMenu;
    HMENU shown;
    if (menu != nullptr) {
        shown = menu->Handle();
    } else {
        ownMenu.reset(CreatePopupMenu());
        shown = ownMenu.get();
    }
    if (shown == nullptr)
        return;
    HMENU target = shown;
    UINT position = static_cast<UINT>(GetMenuItemCount(shown));
    if (insertAfter != nullptr && menu != nullptr && insertAfter->GetParentMenu() == menu &&
        insertAfter->Parent() != nullptr) {
        target = insertAfter->Parent()->Handle();
        const int entry = EntryPosition(insertAfter);
        position = static_cast<UINT>(entry >= 0 ? entry + 1 : GetMenuItemCount(target));
    }
    if (ShowContextMenuOnTop)
        position = 0;

    UINT flags = CMF_EXPLORE;
    if (OnRename)
        flags |= CMF_CANRENAME;
    if (GetKeyState(VK_SHIFT) < 0)
        flags |= CMF_EXTENDEDVERBS;
    // The shell's entries are taken out again afterwards: the caller's menu must not keep
    // them (and gather more with every showing).
    TAddedEntries shellEntries(target);
    const HRESULT queried = contextMenu->QueryContextMenu(target, position, kFirstShellCommand,
                                                          kLastShellCommand, flags);
    shellEntries.Note();
    if (FAILED(queried))
        return;

    contextMenuWindow_ = std::make_unique<TMessageWindow>(
        [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            return HandleContextMenuMessage(message, wParam, lParam, result);
        },
        TMessageWindow::TKind::HiddenTopLevel);
    if (contextMenuWindow_->Handle() == nullptr)
        return;
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(shown, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y,
                                         0, contextMenuWindow_->Handle(), nullptr));
    contextMenuWindow_.reset();
    shellEntries.Remove();

    if (command == 0)
        return;
    if (menu != nullptr && ClickMenuCommand(menu->Items(), command) == 0)
        return;

    char buffer[kVerbLength] = {};
    if (SUCCEEDED(contextMenu->GetCommandString(command - kFirstShellCommand, GCS_VERBA, nullptr,
                                                buffer, kVerbLength)))
        verb.assign(buffer, strnlen(buffer, kVerbLength));
    if (!AllowShellCommand(verb, paths))
        return;
    bool execute = true;
    if (OnContextMenuSelect)
        OnContextMenuSelect(verb, execute);
    if (ReadOnly && IsModifyingVerb(verb))
        execute = false;
    if (!execute) {
        verb.clear();
        return;
    }
    if (SameVerb(verb, kVerbRename) && OnRename) {
        OnRename(this);
        return;
    }

    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.hwnd = OwnerWindow();
    info.lpVerb = MAKEINTRESOURCEA(command - kFirstShellCommand);
    info.nShow = SW_SHOWNORMAL;
    const TErrorModeScope errorMode(ShellErrorMode());
    if (FAILED(contextMenu->InvokeCommand(&info)))
        verb.clear();
    else if (SameVerb(verb, kVerbCut))
        MarkClipboardAsCut(CommandPaths().Strings(), OwnerWindow());
}

void TNautilex::ShowContextMenu(POINT point, TPopupMenu* menu, std::string& verb,
                                TMenuItem* insertAfter)
{
    verb.clear();
    struct TClearEntries {
        TNautilex& browser;
        ~TClearEntries() { browser.multiObjects_->clear(); }
    } clearEntries{*this};

    const std::wstring target = CommandTargetPath();
    if (menu != nullptr)
        menu->DoPopup();

    // The shell's entries go into a copy: the application's menu stays as it was.
    const auto shown = std::make_unique<TPopupMenu>(nullptr);
    TMenuItem* copyAfter = nullptr;
    if (menu != nullptr) {
        shown->SetImages(menu->Images());
        const UINT found = CopyMenuItems(menu->Items(), shown->Items(), insertAfter);
        if (found != 0)
            copyAfter = shown->FindItem(found, TFindItemKind::fkCommand);
    }
    PopupContextMenu(point, shown.get(), verb, copyAfter);

    // A declined confirmation still reports success: only a vanished path proves it.
    if (SameVerb(verb, kVerbDelete) && PathExists(target))
        verb.clear();
}

bool TNautilex::HandleContextMenuMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result)
{
    if (!contextMenu2_ || ShellHostTerminated())
        return false;
    switch (message) {
    case WM_INITMENUPOPUP: {
        // A submenu of the application's is none of the shell's business.
        TMenuItem* item = contextPopupMenu_ != nullptr
                              ? FindMenuItem(contextPopupMenu_, reinterpret_cast<HMENU>(wParam),
                                             TFindItemKind::fkHandle)
                              : nullptr;
        if (item == nullptr || item == contextPopupMenu_->Items())
            contextMenu2_->HandleMenuMsg(message, wParam, lParam);
        if (contextPopupMenu_ != nullptr)
            SendMessageW(TPopupMenu::PopupListWindow(), message, wParam, lParam);
        return false;
    }
    case WM_MEASUREITEM:
    case WM_DRAWITEM: {
        const UINT type = message == WM_DRAWITEM
                              ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType
                              : reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlType;
        if (type != ODT_MENU)
            return false;
        const UINT id = message == WM_DRAWITEM
                            ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemID
                            : reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->itemID;
        // The application draws its own items' pictures; the shell draws its entries.
        if (contextPopupMenu_ != nullptr &&
            contextPopupMenu_->FindItem(id, TFindItemKind::fkCommand) != nullptr)
            result = SendMessageW(TPopupMenu::PopupListWindow(), message, wParam, lParam);
        else
            result = SUCCEEDED(contextMenu2_->HandleMenuMsg(message, wParam, lParam));
        return result != 0;
    }
    case WM_MENUSELECT: ShowMenuHint(wParam, lParam); return false;
    default: return false;
    }
}

void TNautilex::ShowMenuHint(WPARAM wParam, LPARAM lParam)
{
    if (!ShellHostTakesHints())
        return;
    const UINT flags = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (flags == 0xFFFF && menu == nullptr) {  // the menu closed
        ShowShellHostHint(L"");
        return;
    }
    if ((flags & MF_POPUP) == 0 && IsShellCommand(id) && contextMenu_) {
        wchar_t help[kHelpTextLength] = {};
        std::wstring hint;
        if (SUCCEEDED(contextMenu_->GetCommandString(id - kFirstShellCommand, GCS_HELPTEXTW,
                                                     nullptr, reinterpret_cast<LPSTR>(help),
                                                     kHelpTextLength)))
            hint.assign(help, wcsnlen(help, kHelpTextLength));
        ShowShellHostHint(hint);
        return;
    }
    if (contextPopupMenu_ == nullptr)
        return;
    TMenuItem* item = (flags & MF_POPUP) != 0
                          ? FindMenuItem(contextPopupMenu_, GetSubMenu(menu, static_cast<int>(id)),
                                         TFindItemKind::fkHandle)
                          : contextPopupMenu_->FindItem(id, TFindItemKind::fkCommand);
    ShowShellHostHint(item != nullptr ? GetLongHint(item->Hint()) : std::wstring());
}
