// TZelShellList: shell verbs on the selection and on the current folder, the shell context
// menu of the selection, and what the list reports about them.
#include "controls/ShellList.h"

#include "shell/ClipboardPaste.h"
#include "shell/Nautilex.h"
#include "shell/PathList.h"
#include "shell/PathUtils.h"
#include "shell/ShellUtils.h"
#include "shell/Verbs.h"

#include <algorithm>
#include <memory>
#include <ole2.h>
#include <shlobj.h>

namespace {

constexpr char kVerbOpen[] = "OPEN";
constexpr char kVerbUndelete[] = "UNDELETE";

// The files on the clipboard (CF_HDROP); none when it holds no files.
std::vector<std::wstring> ClipboardFiles()
{
    TComPtr<IDataObject> data;
    if (FAILED(OleGetClipboard(data.GetAddressOf())) || !data)
        return {};
    std::unique_ptr<TWideStringList> names = GetFilenamesFromDataObject(data.Get());
    return names ? *names : std::vector<std::wstring>();
}

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A read-only list changes nothing: no deleting, cutting, pasting or renaming by any way in.
bool BlockedWhenReadOnly(const std::string& verb)
{
    return IsModifyingVerb(verb) || SameVerb(verb, kVerbRename);
}

struct TGlobalFree {
    void operator()(HGLOBAL memory) const noexcept { GlobalFree(memory); }
};
using TScopedGlobal = std::unique_ptr<void, TGlobalFree>;

// Puts the files on the clipboard as cut (CF_HDROP with a move effect), for shells whose cut
// verb leaves them marked as copied (Wine's); a paste would copy them otherwise.
void MarkClipboardAsCut(const std::vector<std::wstring>& files, HWND owner)
{
    if (files.empty() || ClipboardDropEffect() == DROPEFFECT_MOVE)
        return;
    size_t characters = 1;
    for (const std::wstring& file : files)
        characters += file.size() + 1;
    const size_t bytes = sizeof(DROPFILES) + characters * sizeof(wchar_t);
    TScopedGlobal names(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    TScopedGlobal effect(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD)));
    if (!names || !effect)
        return;
    auto* header = static_cast<DROPFILES*>(GlobalLock(names.get()));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& file : files) {
        std::copy(file.begin(), file.end(), text);
        text += file.size() + 1;
    }
    GlobalUnlock(names.get());
    *static_cast<DWORD*>(GlobalLock(effect.get())) = DROPEFFECT_MOVE;
    GlobalUnlock(effect.get());
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    // The clipboard owns what it accepted.
    if (SetClipboardData(CF_HDROP, names.get()) != nullptr)
        names.release();
    if (SetClipboardData(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), effect.get()) !=
        nullptr)
        effect.release();
    CloseClipboard();
}

// Some shells (Wine's) offer no paste on a folder as an object of its parent, and their paste
// inside a folder copies nothing: the clipboard's files are copied or moved here directly.
bool PasteFiles(const std::vector<std::wstring>& files, const std::wstring& folder, HWND owner)
{
    if (files.empty() || folder.empty())
        return false;
    std::wstring from;
    for (const std::wstring& file : files)
        from.append(file).push_back(L'\0');
    from.push_back(L'\0');
    std::wstring to = folder;
    to.append(2, L'\0');
    const bool move = ClipboardDropEffect() == DROPEFFECT_MOVE;
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = move ? FO_MOVE : FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
    if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted)
        return false;
    // Cut files are pasted once.
    if (move)
        OleSetClipboard(nullptr);
    return true;
}

}  // namespace

void TZelShellList::SetBrowserRename()
{
    if (ReadOnly()) {
        browser_->OnRename = nullptr;
        return;
    }
    browser_->OnRename = [this](TObject*) {
        if (TListItem* item = Selected())
            item->EditCaption();
    };
}

std::vector<std::wstring> TZelShellList::SelectedPaths()
{
    std::vector<std::wstring> paths;
    for (TListItem* item : SelectedObjectItems())
        paths.push_back(ItemPath(item));
    return paths;
}

void TZelShellList::ReportPaste(const std::vector<std::wstring>& files,
                                const std::wstring& destination)
{
    // A paste of cut files moves them: the first one is gone from where it was.
    const TZelShellOperations kind = files.empty() || PathExists(files.front()) ? sopCopy : sopMove;
    ReportOperation(kind | sopPaste | sopAdd, files, destination);
}

// The clipboard holds the new selection only: marks of an earlier cut go.
void TZelShellList::ShowSelectionCut()
{
    for (int index = 0; index < Items()->Count(); ++index) {
        TListItem* item = Items()->Item(index);
        const bool cut = item->Selected() && !RecordOf(item)->IsParentFolder();
        if (item->Cut() != cut)
            item->SetCut(cut);
    }
}

bool TZelShellList::InvokeVerb(const std::string& verb)
{
    if (SelCount() == 0)
        return false;
    const std::vector<TListItem*> items = SelectedObjectItems();
    if (items.empty()) {
        // Only " .. " is selected: opening it goes up, anything else is nothing to do.
        if (SameVerb(verb, kVerbDefault))
            GoUp();
        return true;
    }
    if (ReadOnly() && BlockedWhenReadOnly(verb))
        return false;
    SetBrowserRename();
    const bool paste = SameVerb(verb, kVerbPaste);
    const bool remove = SameVerb(verb, kVerbDelete);
    const std::vector<std::wstring> clipboard =
        paste ? ClipboardFiles() : std::vector<std::wstring>();
    const std::vector<std::wstring> paths = remove ? SelectedPaths() : std::vector<std::wstring>();

    bool result = false;
    if (items.size() == 1) {
        browser_->SetObjectIDList(RecordOf(items.front())->IDList());
        if (!SameVerb(verb, kVerbDefault) && !SameVerb(verb, kVerbOpen)) {
            result = browser_->ExecuteCommand(verb);
        } else if (browser_->IsFolder() && !HasExtension(browser_->GetObjectName(), L".zip")) {
            browser_->EnterObject();
            AnnounceFolder();
            RefreshContents();
            return true;
        } else if (const std::wstring target = browser_->LinkTarget();
                   !target.empty() && IsDirectory(target)) {
            browser_->SetFolder(target);
            AnnounceFolder();
            RefreshContents();
            return true;
        } else {
            result = browser_->ExecuteCommand(verb);
        }
    } else {
        browser_->MultiObjects() = SelectedNames();
        result = browser_->ExecuteCommand(verb);
    }
    if (!result)
        return false;
    if (remove) {
        ReportOperation(sopDelete | sopRemove, paths, std::wstring());
        if (!automaticRefresh_)
            StartRefreshTimer();
    } else if (paste) {
        ReportPaste(clipboard, GetPath());
    } else if (SameVerb(verb, kVerbCut)) {
        MarkClipboardAsCut(SelectedPaths(), WindowHandle());
        ShowSelectionCut();
    }
    return true;
}

bool TZelShellList::InvokeFolderVerb(const std::string& verb)
{
    if (ReadOnly() && BlockedWhenReadOnly(verb))
        return false;
    const bool paste = SameVerb(verb, kVerbPaste);
    const std::vector<std::wstring> clipboard =
        paste ? ClipboardFiles() : std::vector<std::wstring>();
    bool result = false;
    try {
        // The folder as an object of its parent: a browser of its own, so that the list's
        // stays on the folder. The list's handlers see and may stop the command.
        const std::unique_ptr<TNautilex> parent = std::make_unique<TNautilex>(this);
        parent->UseOwnerWindow(true);
        parent->ShowErrorMessages = browser_->ShowErrorMessages;
        parent->OnContextMenuSelect = browser_->OnContextMenuSelect;
        bool allowed = false;
        parent->OnBeforeShellCommand = [this, &allowed](TNautilex* sender,
                                                        const std::string& command,
                                                        TZelPathList& paths, bool& allow) {
            if (browser_->OnBeforeShellCommand)
                browser_->OnBeforeShellCommand(sender, command, paths, allow);
            allowed = allow;
        };
        parent->SetFolderIDList(FolderIDList());
        parent->SelectFolderInParent();
        result = parent->ExecuteCommand(verb);
        if (!result && allowed && paste)
            result = PasteFiles(clipboard, GetPath(), browser_->OwnerWindow());
    } catch (...) {
        StartRefreshTimer();
        throw;
    }
    if (result && paste && !clipboard.empty())
        ReportPaste(clipboard, GetPath());
    StartRefreshTimer();
    return result;
}

void TZelShellList::ShowSelectionContextMenu(POINT screen)
{
    const std::vector<std::wstring> names = SelectedNames();
    if (names.empty())
        return;
    browser_->MultiObjects() = names;
    SetBrowserRename();
    const std::vector<std::wstring> clipboard = ClipboardFiles();
    const std::vector<std::wstring> paths = SelectedPaths();
    browser_->ReadOnly = ReadOnly();
    browser_->ShowContextMenuOnTop = GetShowContextMenuOnTop();
    std::string verb;
    try {
        browser_->ShowContextMenu(screen, PopupMenu(), verb);
    } catch (const ENautilexError&) {
        RefreshChanges();
        return;
    }
    if (SameVerb(verb, kVerbDelete)) {
        ReportOperation(sopDelete | sopRemove, paths, std::wstring());
    } else if (SameVerb(verb, kVerbUndelete)) {
        StartRefreshTimer();
    } else if (SameVerb(verb, kVerbPaste)) {
        TListItem* target = Selected();
        ReportPaste(clipboard,
                    GetPath() + (target != nullptr ? target->Caption() : std::wstring()));
    } else if (SameVerb(verb, kVerbCut)) {
        MarkClipboardAsCut(paths, WindowHandle());
        ShowSelectionCut();
    }
}
