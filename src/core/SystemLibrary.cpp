#include "core/SystemLibrary.h"

#include <string>

HMODULE LoadSystemLibrary(const wchar_t* fileName)
{
    wchar_t directory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path(directory, length);
    if (path.back() != L'\\')
        path += L'\\';
    return LoadLibraryExW((path + fileName).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
