#include "core/PathText.h"

#include <windows.h>

namespace {

size_t LastDelimiter(const std::wstring& path)
{
    return path.find_last_of(L"\\:");
}

}  // namespace

std::wstring IncludeTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\')
        return path;
    return path + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\')
        return path.substr(0, path.size() - 1);
    return path;
}

std::wstring ExtractFileDrive(const std::wstring& path)
{
    if (path.size() >= 2 && path[1] == L':')
        return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        // Server and share: up to (not including) the backslash after the share name.
        int separators = 0;
        size_t index = 2;
        while (index < path.size()) {
            if (path[index] == L'\\' && ++separators == 2)
                break;
            ++index;
        }
        return path.substr(0, index);
    }
    return {};
}

std::wstring ExtractFilePath(const std::wstring& path)
{
    const size_t position = LastDelimiter(path);
    return position == std::wstring::npos ? std::wstring() : path.substr(0, position + 1);
}

std::wstring ExtractFileName(const std::wstring& path)
{
    const size_t position = LastDelimiter(path);
    return position == std::wstring::npos ? path : path.substr(position + 1);
}

std::wstring ExtractFileExt(const std::wstring& path)
{
    const size_t position = path.find_last_of(L".\\:");
    if (position == std::wstring::npos || path[position] != L'.')
        return {};
    return path.substr(position);
}

std::wstring TempDirectory()
{
    const DWORD needed = GetTempPathW(0, nullptr);
    if (needed == 0)
        return {};
    std::wstring buffer(needed, L'\0');
    const DWORD length = GetTempPathW(needed, buffer.data());
    if (length == 0 || length >= needed)
        return {};
    buffer.resize(length);
    return buffer;
}

std::wstring WindowsDirectory()
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"C:\\Windows";
    return std::wstring(buffer, length);
}

bool IsDotEntry(const std::wstring& name)
{
    return name == L"." || name == L"..";
}
