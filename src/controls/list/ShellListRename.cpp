// TZelShellList: renaming an object by editing its caption in place, and making new folders.
#include "controls/list/ShellList.h"

#include "core/TextConversion.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

#include <shlobj.h>

namespace {

constexpr wchar_t kReservedCharacters[] = L"\\/:*?\"<>|";

// What the user is told when the shell refuses a new name; empty when the shell has told them
// itself (or they cancelled a question of its own).
std::wstring RenameFailureText(const std::wstring& oldName, const std::wstring& newName,
                               const std::wstring& folder, DWORD failure)
{
    if (newName.find_first_of(kReservedCharacters) != std::wstring::npos)
        return L"A file name cannot contain any of the following characters:\n\\ / : * ? \" < > |";
    const std::wstring target = folder + newName;
    if (!folder.empty() && PathExists(target) && !SameFileName(oldName, newName))
        return L"Cannot rename " + oldName + L": an object named " + newName +
               L" already exists here.";
    // Shell results carry a system error code.
    const auto result = static_cast<HRESULT>(failure);
    const DWORD code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : failure;
    if (code == ERROR_CANCELLED)
        return {};
    std::wstring reason = SystemErrorMessage(code);
    if (reason.empty())
        reason = L"the shell refused the name.";
    return L"Cannot rename " + oldName + L" to " + newName + L": " + reason;
}

}  // namespace

bool TZelShellList::CanEdit(TListItem* item)
{
    const TZelShellListItem* record = RecordOf(item);
    if (ReadOnly() || record == nullptr || record->IsParentFolder())
        return false;
    browser_->SetObjectIDList(record->IDList());
    return browser_->CanRename() && TListView::CanEdit(item);
}

void TZelShellList::CaptionEdited(TListItem* item, const std::wstring& oldCaption)
{
    TZelShellListItem* record = RecordOf(item);
    if (record == nullptr || record->IsParentFolder())
        return;
    const std::wstring name = item->Caption();
    // An unchanged or empty name renames nothing.
    if (name == oldCaption || name.find_first_not_of(L' ') == std::wstring::npos) {
        item->SetCaption(oldCaption);
        return;
    }
    browser_->SetObjectIDList(record->IDList());
    const std::wstring oldPath = ItemPath(item);
    std::wstring shown = name;
    const bool renamed = browser_->Rename(shown);
    const DWORD failure = GetLastError();
    item->SetCaption(shown.empty() ? oldCaption : shown);
    item->Update();
    if (!renamed) {
        const std::wstring text = RenameFailureText(oldCaption, name, GetPath(), failure);
        if (!text.empty())
            MessageBoxW(GetAncestor(WindowHandle(), GA_ROOT), text.c_str(), nullptr,
                        MB_OK | MB_ICONERROR);
        return;
    }
    // The object has a new identity: its list, path, icon and column texts are read again.
    CancelItemWork(item);
    record->SetIDList(browser_->ObjectIDList());
    record->FullPath.clear();
    item->SetImageIndex(-1);
    item->ClearSubItems();
    FillDisplayData(item);
    item->Update();
    ReportOperation(sopRename, {oldPath}, ItemPath(item));
    if (GetViewStyle() == vsIcon)
        RefreshContents();
}

bool TZelShellList::CreateFolder(const std::wstring& name, bool edit)
{
    std::wstring folderName = name;
    if (folderName.empty())
        folderName = !NewFolderName.empty() ? NewFolderName : std::wstring(L"New Folder");
    const std::wstring folder = GetPath();
    bool exists = false;
    if (!folder.empty()) {
        const std::wstring path = IncludeTrailingBackslash(folder) + folderName;
        // Missing parents are made too; a folder that is there already counts as made.
        const int made = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
        exists = made == ERROR_SUCCESS || DirectoryExists(path);
        if (IsNT) {
            SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, path.c_str(), nullptr);
        } else {
            const std::string narrow = WideToNarrow(path);
            SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHA, narrow.c_str(), nullptr);
        }
    }
    if (!edit)
        return exists;
    RefreshChanges();
    // No number is added to the name: an existing folder of that name is the one edited.
    for (int index = 0; index < Items()->Count(); ++index) {
        TListItem* item = Items()->Item(index);
        if (item->Caption() != folderName)
            continue;
        SetSelected(item);
        item->MakeVisible(false);
        item->EditCaption();
        break;
    }
    return exists;
}
