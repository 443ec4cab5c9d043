#include "shell/ZelShellFolder.h"

#include "core/PathText.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"

#include <shlobj.h>

namespace {

constexpr int kCSIDL[kSpecialFolderCount] = {
    0x11, 0x0A, 0x03, 0x00, 0x10, 0x11, 0x14, 0x13, 0x12, 0x05, 0x04, 0x02, 0x08,
    0x09, 0x0B, 0x07, 0x15, 0x06, 0x16, 0x18, 0x19, 0x1A, 0x1B, 0x1F, 0x20, 0x21,
    0x22, 0x17, 0x1D, 0x23, 0x2E, 0x01, 0x1C, 0x27, 0x26, 0x25, 0x2B, 0x24,
};

TOwnedIDList LocateCSIDL(int csidl)
{
    TOwnedIDList list;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.put())))
        list.reset();
    return list;
}

}  // namespace

int SpecialFolderCSIDL(TZelShellFolder folder)
{
    const int index = static_cast<int>(folder);
    return index >= 0 && index < kSpecialFolderCount ? kCSIDL[index] : -1;
}

TOwnedIDList SpecialFolderIDList(TZelShellFolder folder)
{
    if (folder == SF_DESKTOP)
        return CopyIDList(DesktopIDList);
    const int csidl = SpecialFolderCSIDL(folder);
    if (csidl < 0)
        return {};
    return LocateCSIDL(csidl);
}

std::wstring SpecialFolderPath(TZelShellFolder folder)
{
    return PathFromIDList(SpecialFolderIDList(folder));
}

TZelShellFolder SpecialFolderOf(TBorrowedIDList list, const TZelShellFolders& among)
{
    if (list == nullptr || !DesktopFolder)
        return SF_FILESYSTEMFOLDER;
    // Making a special folder's list parses its path, a step per folder on it: a list with a
    // path of its own is first held against the special folders' paths, which only the one
    // that names it (if any) has to pass.
    std::wstring path = PathFromIDList(list);
    if (path.compare(0, 2, L"::") == 0)
        path.clear();
    if (!path.empty())
        path = IncludeTrailingBackslash(path);
    for (int index = 1; index < kSpecialFolderCount; ++index) {
        if (among.any() && !among.test(static_cast<size_t>(index)))
            continue;
        if (!path.empty()) {
            wchar_t specialPath[MAX_PATH] = {};
            if (SHGetFolderPathW(nullptr, kCSIDL[index], nullptr, SHGFP_TYPE_CURRENT,
                                 specialPath) != S_OK ||
                !SameFileName(path, IncludeTrailingBackslash(specialPath)))
                continue;  // no path (a virtual folder), or another one
        }
        const TOwnedIDList special = LocateCSIDL(kCSIDL[index]);
        if (!special)
            continue;
        if (SameIDLists(list, special))
            return static_cast<TZelShellFolder>(index);
    }
    return SF_FILESYSTEMFOLDER;
}
