#include "shell/PathUtils.h"

#include "core/ScopedResource.h"
#include "core/TextCompare.h"
#include "shell/ShellState.h"

#include <shlwapi.h>

#include <cwctype>

bool MatchesMask(const std::wstring& name, const std::wstring& mask)
{
    if (mask == L"*.*")
        return name.find(L'.') != std::wstring::npos;
    if (mask == L"*." && name.find(L'.') == std::wstring::npos)
        return true;
    if (ShellEntries.PathMatchSpecEntry == nullptr)
        return false;
    return ShellEntries.PathMatchSpecEntry(name.c_str(), mask.c_str()) != FALSE;
}

int CompareNames(const std::wstring& a, const std::wstring& b)
{
    if (ShellEntries.StrCmpLogicalEntry != nullptr)
        return ShellEntries.StrCmpLogicalEntry(a.c_str(), b.c_str());
    return CompareTextForDisplay(a, b);
}

bool IsDriveRoot(const std::wstring& path)
{
    if (path.empty())
        return false;
    const std::wstring trimmed = ExcludeTrailingBackslash(path);
    return !trimmed.empty() && SameText(ExtractFileDrive(trimmed), trimmed);
}

bool IsUNCPath(const std::wstring& path)
{
    if (path.size() <= 2 || path[0] != L'\\' || path[1] != L'\\')
        return false;
    if (path.size() > 3 && path.find(L'\\', 3) != std::wstring::npos)
        return true;
    return path.size() > 7 && StartsWithText(path, L"\\\\?\\UNC\\");
}

bool IsNetworkPath(const std::wstring& path)
{
    if (IsUNCPath(path))
        return true;
    const std::wstring drive = ExtractFileDrive(path);
    if (drive.empty())
        return false;
    return GetDriveTypeW(IncludeTrailingBackslash(drive).c_str()) == DRIVE_REMOTE;
}

bool IsOnFixedDrive(const std::wstring& path)
{
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\' || !iswalpha(path[0]))
        return false;
    const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
    return GetDriveTypeW(root) == DRIVE_FIXED && LinkOnTheWay(path).empty();
}

std::wstring LinkOnTheWay(const std::wstring& path)
{
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\')
        return {};
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        if (end > start) {
            const std::wstring step = path.substr(0, end);
            const std::wstring asked = step.size() < MAX_PATH ? step : L"\\\\?\\" + step;
            const DWORD attributes = GetFileAttributesW(asked.c_str());
            // What is not there is no link, and nothing below it is reached.
            if (attributes == INVALID_FILE_ATTRIBUTES)
                return {};
            if (IsReparsePoint(attributes))
                return step;
        }
        start = end + 1;
    }
    return {};
}

bool HasExtension(const std::wstring& path, const std::wstring& extension)
{
    std::wstring wanted = extension;
    if (wanted.empty() || wanted.front() != L'.')
        wanted.insert(wanted.begin(), L'.');
    return SameText(ExtractFileExt(path), wanted);
}

bool SameFileName(const std::wstring& a, const std::wstring& b)
{
    return SameText(ExcludeTrailingBackslash(a), ExcludeTrailingBackslash(b));
}

bool IsInsideFolder(const std::wstring& folder, const std::wstring& path)
{
    if (path.empty() || folder.empty())
        return false;
    // Compare whole components: "C:\AB" is not inside "C:\A".
    return StartsWithText(IncludeTrailingBackslash(path), IncludeTrailingBackslash(folder)) &&
           !SameFileName(folder, path);
}

std::wstring PlainPath(const std::wstring& path)
{
    if (StartsWithText(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWithText(path, L"\\\\?\\"))
        return path.substr(4);
    return path;
}

bool DirectoryExists(const std::wstring& path)
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::wstring& path)
{
    if (path.empty())
        return false;
    const std::wstring pattern =
        IsDriveRoot(path) ? IncludeTrailingBackslash(path) + L"*" : ExcludeTrailingBackslash(path);
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAW data;
    TScopedFindHandle search(FindFirstFileW(pattern.c_str(), &data));
    return search.valid();
}

int64_t FileSizeOf(const std::wstring& path)
{
    if (path.empty())
        return -1;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAW data;
    TScopedFindHandle search(FindFirstFileW(path.c_str(), &data));
    if (!search)
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::wstring FormatByteSize(int64_t size)
{
    if (ShellEntries.StrFormatByteSizeEntry == nullptr)
        return {};
    wchar_t buffer[256] = {};
    if (ShellEntries.StrFormatByteSizeEntry(size, buffer, 255) == nullptr)
        return {};
    std::wstring text = buffer;
    if (text.find(L"-1") != std::wstring::npos)
        return {};
    return text;
}

bool DiskFreeSpace(const std::wstring& path, uint64_t& freeForCaller, uint64_t& total,
                   uint64_t& totalFree)
{
    freeForCaller = total = totalFree = 0;
    const std::wstring drive = ExtractFileDrive(path);
    if (drive.empty())
        return false;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER callerBytes{}, totalBytes{}, freeBytes{};
    if (!GetDiskFreeSpaceExW(IncludeTrailingBackslash(drive).c_str(), &callerBytes, &totalBytes,
                             &freeBytes))
        return false;
    freeForCaller = callerBytes.QuadPart;
    total = totalBytes.QuadPart;
    totalFree = freeBytes.QuadPart;
    return true;
}

bool IsReparsePoint(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsLinkReparsePoint(DWORD attributes, DWORD reparseTag)
{
    if (!IsReparsePoint(attributes))
        return false;
    return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

bool IsLinkEntry(const WIN32_FIND_DATAW& data)
{
    return IsLinkReparsePoint(data.dwFileAttributes, data.dwReserved0);
}
