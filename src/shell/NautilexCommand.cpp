// TNautilex: shell verbs run without a menu, and what every command shares: the objects it
// acts on, the deletion check and the OnBeforeShellCommand veto.
#include "shell/Nautilex.h"

#include "core/PathText.h"
#include "core/TextConversion.h"
#include "shell/ClipboardPaste.h"
#include "shell/PathList.h"
#include "shell/PathUtils.h"
#include "shell/Verbs.h"
#include "ui/Cursor.h"

namespace {

// Command numbers the shell may give its entries when no menu is shown.
constexpr UINT kFirstVerbCommand = 1;
constexpr UINT kLastVerbCommand = 0x7FFF;
// The invocation mask the program has always passed with the default command.
constexpr DWORD kDefaultInvokeMask = 0x10000;

// The default entry of a menu the shell filled, as a command number; 0 when it has none.
UINT DefaultCommand(IContextMenu* contextMenu, UINT flags)
{
    const TScopedMenu menu(CreatePopupMenu());
    if (!menu || FAILED(contextMenu->QueryContextMenu(menu.get(), 0, kFirstVerbCommand,
                                                      kLastVerbCommand, flags)))
        return 0;
    const UINT command = GetMenuDefaultItem(menu.get(), FALSE, 0);
    // GetMenuDefaultItem answers -1 for none.
    return command >= kFirstVerbCommand && command <= kLastVerbCommand ? command : 0;
}

// The menu's own spelling of a verb given in any letter case (shells differ in how they
// compare verbs); the verb as given when no entry has it.
std::string MenuVerb(IContextMenu* contextMenu, HMENU menu, const std::string& verb)
{
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (HMENU submenu = GetSubMenu(menu, position)) {
            const std::string inner = MenuVerb(contextMenu, submenu, verb);
            if (inner != verb)
                return inner;
            continue;
        }
        const UINT command = GetMenuItemID(menu, position);
        if (command < kFirstVerbCommand || command > kLastVerbCommand)
            continue;
        char buffer[260] = {};
        if (SUCCEEDED(contextMenu->GetCommandString(command - kFirstVerbCommand, GCS_VERBA, nullptr,
                                                    buffer, sizeof(buffer))) &&
            SameVerb(std::string(buffer, strnlen(buffer, sizeof(buffer))), verb))
            return std::string(buffer, strnlen(buffer, sizeof(buffer)));
    }
    return verb;
}

}  // namespace

std::wstring TNautilex::CommandTargetPath()
{
    if (multiObjects_->empty())
        return HasObject() ? GetFolder() + GetObjectName() : std::wstring();
    const std::wstring& first = multiObjects_->front();
    return ExtractFileDrive(first).empty() ? GetFolder() + first : first;
}

TZelPathList TNautilex::CommandPaths()
{
    TZelPathList paths;
    if (multiObjects_->empty()) {
        if (HasObject())
            paths.Add(GetFolder() + GetObjectName());
        return paths;
    }
    // Names inside the folder become full paths: a bare name means nothing to the handler.
    const std::wstring folder = GetFolder();
    for (const std::wstring& entry : *multiObjects_)
        paths.Add(entry.find(L':') != std::wstring::npos ? entry : folder + entry);
    return paths;
}

bool TNautilex::AllowShellCommand(const std::string& verb, TZelPathList& paths)
{
    bool allow = true;
    if (OnBeforeShellCommand)
        OnBeforeShellCommand(this, verb, paths, allow);
    return allow;
}

HRESULT TNautilex::InvokeVerb(IContextMenu* contextMenu, const std::string& verb)
{
    const TScopedMenu menu(CreatePopupMenu());
    if (!menu)
        return HRESULT_FROM_WIN32(GetLastError());
    // The shell runs only verbs it has put into a menu; extended ones included, since the
    // caller named the verb on purpose.
    HRESULT result = contextMenu->QueryContextMenu(
        menu.get(), 0, kFirstVerbCommand, kLastVerbCommand, CMF_EXPLORE | CMF_EXTENDEDVERBS);
    if (FAILED(result))
        return result;
    const std::string menuVerb = MenuVerb(contextMenu, menu.get(), verb);
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.hwnd = OwnerWindow();
    info.lpVerb = menuVerb.c_str();
    info.nShow = SW_SHOWNORMAL;
    return contextMenu->InvokeCommand(&info);
}

HRESULT TNautilex::InvokeDefaultCommand(IContextMenu* contextMenu)
{
    UINT command = DefaultCommand(contextMenu, CMF_DEFAULTONLY);
    // Some shells (Wine's) add nothing at all for the default-only query: the full menu
    // still marks its default entry.
    if (command == 0)
        command = DefaultCommand(contextMenu, CMF_EXPLORE);
    if (command == 0)
        return HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION);

    const std::wstring folder = GetFolder();
    const std::string narrowFolder = WideToNarrow(folder);
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof(info);
    info.fMask = kDefaultInvokeMask;
    info.hwnd = OwnerWindow();
    info.lpVerb = MAKEINTRESOURCEA(command - kFirstVerbCommand);
    info.lpVerbW = MAKEINTRESOURCEW(command - kFirstVerbCommand);
    info.lpDirectory = narrowFolder.empty() ? nullptr : narrowFolder.c_str();
    info.lpDirectoryW = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return contextMenu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

bool TNautilex::ExecuteCommand(const std::string& verb)
{
    // The entries name the objects of this one command, whatever becomes of it: left over,
    // they would silently redirect the next command.
    struct TClearEntries {
        TNautilex& browser;
        ~TClearEntries() { browser.multiObjects_->clear(); }
    } clearEntries{*this};

    bool execute = true;
    if (OnContextMenuSelect)
        OnContextMenuSelect(verb, execute);
    if (!execute)
        return false;
    if ((!HasObject() && multiObjects_->empty()) || !shellFolder_)
        return false;

    const std::string command = verb.empty() ? std::string("default") : verb;
    const bool isDelete = SameVerb(command, kVerbDelete);
    if (isDelete && multiObjects_->empty() && GetAttributes(SFGAO_CANDELETE) == 0)
        return false;

    const TWaitCursor waitCursor;
    const std::wstring target = CommandTargetPath();
    TZelPathList paths = CommandPaths();
    const TComPtr<IContextMenu> contextMenu = GetUIObject<IContextMenu>();
    if (!contextMenu || !AllowShellCommand(command, paths))
        return false;

    HRESULT result;
    if (SameVerb(command, kVerbRename) && OnRename) {
        OnRename(this);
        result = S_OK;
    } else {
        const TErrorModeScope errorMode(ShellErrorMode());
        result = SameVerb(command, kVerbDefault) ? InvokeDefaultCommand(contextMenu.Get())
                                                 : InvokeVerb(contextMenu.Get(), command);
        // Shells without a paste on folder items (Wine's) get a file operation instead.
        if (FAILED(result) && SameVerb(command, kVerbPaste) && multiObjects_->empty() &&
            IsFolder() && !target.empty() &&
            PasteClipboardFiles(IncludeTrailingBackslash(target), OwnerWindow()))
            result = S_OK;
    }
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return false;
    }
    if (SameVerb(command, kVerbCut))
        MarkClipboardAsCut(CommandPaths().Strings(), OwnerWindow());
    // The shell reports success when the user declines a deletion.
    return !(isDelete && PathExists(target));
}
