#include "link/SelectionPath.h"

#include "core/ScopedResource.h"
#include "shell/PathUtils.h"

#include <windows.h>

std::wstring NormalizePath(const std::wstring& path)
{
    if (path.empty() || path == L"." || path == L"..")
        return {};
    std::wstring result = path;
    if (result.back() == L'*')
        result.pop_back();
    if (result.empty())
        return {};
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(result.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return IncludeTrailingBackslash(result) + L'*';
    return result;
}

bool IsFolderEntry(const std::wstring& entry)
{
    return !entry.empty() && entry.back() == L'*';
}

std::wstring EntryStem(const std::wstring& entry)
{
    if (!IsFolderEntry(entry))
        return entry;
    return ExcludeTrailingBackslash(entry.substr(0, entry.size() - 1));
}

std::wstring ExtractFileDir(const std::wstring& path)
{
    const size_t position = path.find_last_of(L"\\:");
    if (position == std::wstring::npos)
        return {};
    size_t length = position + 1;
    // Drop the backslash unless it follows a drive colon or another backslash (a root).
    if (position > 0 && path[position] == L'\\' && path[position - 1] != L'\\' &&
        path[position - 1] != L':')
        length = position;
    return path.substr(0, length);
}

std::wstring ParentFolderEntry(const std::wstring& entry)
{
    const std::wstring folder = ExtractFileDir(EntryStem(entry));
    if (folder.empty())
        return {};
    const std::wstring parent = IncludeTrailingBackslash(folder) + L'*';
    return SameText(parent, entry) ? std::wstring() : parent;
}

std::wstring ParentFolderKey(const std::wstring& upperEntry)
{
    return ExcludeTrailingBackslash(ExtractFilePath(EntryStem(upperEntry)));
}

std::wstring FolderShortcutFile(const std::wstring& folder)
{
    std::wstring stem = folder;
    if (IsFolderEntry(stem))
        stem.pop_back();
    return IncludeTrailingBackslash(stem) + L"target.lnk";
}

bool IsFolderShortcut(const std::wstring& folder)
{
    if (folder.empty())
        return false;
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    // One attribute read is much cheaper than a search for the one name, under Wine above all.
    const DWORD attributes = GetFileAttributesW(FolderShortcutFile(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
