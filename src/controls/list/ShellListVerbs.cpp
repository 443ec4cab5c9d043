// TZelShellList: shell verbs on the selection and on the current folder, the shell context
// menu of the selection, and what the list reports about them.
#include "controls/common/FileOperation.h"
#include "controls/list/ShellList.h"

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

// A read-only list changes nothing: no deleting, cutting, pasting or renaming by any way in.
bool BlockedWhenReadOnly(const std::string& verb)
{
    return IsModifyingVerb(verb) || SameVerb(verb, kVerbRename);
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

bool TZelShellList::TransferSelection(const std::wstring& destination, bool move)
{
    if (move && ReadOnly())
        return false;
    std::vector<std::wstring> paths = SelectedPaths();
    std::erase_if(paths, [](const std::wstring& path) { return !PathExists(path); });
    if (!TransferThroughShell(this, paths, destination, move))
        return false;
    ReportOperation(move ? sopMove | sopRemove : sopCopy, paths, destination);
    return true;
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
                   !target.empty() && DirectoryExists(target)) {
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
    TScopeExit refreshAfterwards([this] { StartRefreshTimer(); });
    {
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
    }
    if (result && paste && !clipboard.empty())
        ReportPaste(clipboard, GetPath());
    refreshAfterwards.Run();
    return result;
}

void TZelShellList::ShowBackgroundContextMenu(POINT screen)
{
    const std::vector<std::wstring> clipboard = ClipboardFiles();
    browser_->ReadOnly = ReadOnly();
    browser_->ShowContextMenuOnTop = GetShowContextMenuOnTop();
    std::string verb;
    try {
        browser_->ShowBackgroundContextMenu(screen, nullptr, verb);
    } catch (const ENautilexError&) {
        RefreshChanges();
        return;
    }
    if (SameVerb(verb, kVerbPaste))
        ReportPaste(clipboard, GetPath());
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
        ShowSelectionCut();
    }
}
