#include "shell/FolderPlace.h"

#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/TestSeams.h"

#include <cwctype>

std::wstring FolderWaitPlace(const std::wstring& path)
{
    if (NetworkFolderTestHook && NetworkFolderTestHook(path))
        return UpperCase(ExcludeTrailingBackslash(path));
    const std::wstring plain = PlainPath(path);
    if (plain.size() > 2 && plain[0] == L'\\' && plain[1] == L'\\') {
        const size_t end = plain.find(L'\\', 2);
        return UpperCase(plain.substr(0, end));
    }
    if (plain.size() < 2 || plain[1] != L':' || !iswalpha(plain[0]))
        return {};
    const std::wstring drive = UpperCase(plain.substr(0, 2));
    if (GetDriveTypeW((drive + L"\\").c_str()) != DRIVE_FIXED)
        return drive;
    return UpperCase(LinkOnTheWay(plain));
}

std::wstring FolderWaitPlace(TBorrowedIDList absolute)
{
    if (absolute == nullptr)
        return {};
    const std::wstring path = LongPathFromIDList(absolute);
    if (!path.empty()) {
        std::wstring place = FolderWaitPlace(path);
        if (!place.empty())
            return place;
    }
    if (IsInNetwork(absolute))
        return L"\\\\";
    return {};
}

std::wstring FolderWaitPlaceInside(const std::wstring& parent, const std::wstring& path)
{
    const std::wstring folder = ExcludeTrailingBackslash(path);
    const std::wstring above = IncludeTrailingBackslash(parent);
    if (NetworkFolderTestHook || !IsInsideFolder(parent, folder) || above.size() < 3 ||
        above[1] != L':' || folder.find(L'\\', above.size()) != std::wstring::npos)
        return FolderWaitPlace(path);
    const std::wstring asked = folder.size() < MAX_PATH ? folder : L"\\\\?\\" + folder;
    return IsReparsePoint(GetFileAttributesW(asked.c_str())) ? UpperCase(folder) : std::wstring();
}
