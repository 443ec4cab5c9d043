// TZelShellList: check boxes. The state of each object comes from the link's selection list;
// Space and a click on the check box change it there.
#include "controls/list/ShellList.h"

#include "link/ShellLink.h"
#include "link/ZelSelectionList.h"
#include "shell/IDList.h"
#include "ui/Cursor.h"

#include <shlwapi.h>

#include <cwctype>

namespace {

// The loaded common controls as major * 100 + minor. Wine's version 6 answers 5.81 to
// DllGetVersion; the copy the manifest loads from the side-by-side store tells it by its path.
int CommonControlsVersion()
{
    HMODULE module = GetModuleHandleW(L"comctl32.dll");
    if (module == nullptr)
        return 0;
    int version = 0;
    using TDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    const auto getVersion =
        reinterpret_cast<TDllGetVersion>(GetProcAddress(module, "DllGetVersion"));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (getVersion != nullptr && SUCCEEDED(getVersion(&info)))
        version = static_cast<int>(info.dwMajorVersion * 100 + info.dwMinorVersion);
    if (version >= 600)
        return version;
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH * 2);
    std::wstring path(buffer, length);
    for (wchar_t& letter : path)
        letter = static_cast<wchar_t>(std::towlower(letter));
    return path.find(L"common-controls_6595b64144ccf1df_6.") != std::wstring::npos ? 600 : version;
}

}  // namespace

bool TZelShellList::CheckBoxHit(TListItem* item, int x, int y)
{
    TCustomImageList* states = StateImages();
    if (item == nullptr || states == nullptr)
        return false;
    RECT icon = item->DisplayRect(TDisplayCode::drIcon);
    if (GetViewStyle() == vsIcon) {
        // Each version of the list view puts the state image elsewhere beside a large icon.
        const int version = CommonControlsVersion();
        if (version < 600) {
            icon.left += 6;
        } else if (version < 610) {
            icon.left += states->Width() + 20;
        } else {
            icon.left += states->Width() + 40;
            const TCustomImageList* large = thumbnails_ ? thumbnailImages_ : LargeImages();
            if (large != nullptr)
                icon.bottom -= large->Height() / 2;
        }
    }
    return x < icon.left && y >= icon.bottom - states->Height();
}

void TZelShellList::ToggleCheck(TListItem* item)
{
    const TZelShellListItem* record = RecordOf(item);
    if (record == nullptr || record->IsParentFolder() || shellLink_ == nullptr)
        return;
    TZelSelectionList* selection = shellLink_->SelectionList();
    if (selection == nullptr)
        return;
    const TWaitCursor waitCursor;
    const TOwnedIDList absolute = ConcatIDLists(FolderIDList(), record->IDList());
    const int state = selection->StateOfIDList(absolute);
    if (state == ssNone || state == ssUnused)
        return;
    // One change handling for the whole toggle, and none of the refreshes it asks for while
    // the list sets the new state itself.
    selection->LockRefresh();
    TScopeExit unlock([selection] { selection->UnlockRefresh(); });
    if (state == ssChecked)
        selection->UncheckIDList(absolute);
    else
        selection->CheckIDList(absolute);
    item->SetStateIndex(selection->StateOfIDList(absolute));
    {
        const TRestoreOnExit filling(filling_, true);
        unlock.Run();
    }
    if (OnCheckStateChanged)
        OnCheckStateChanged(this, item->Index(), ItemPath(item),
                            static_cast<TZelSelectionState>(item->StateIndex()));
}
