#include "app/CodePagePath.h"

#include "core/TextConversion.h"

#include <windows.h>

#include <vector>

namespace {

// Converts only when every character has its own code in the code page.
bool ConvertExactly(const std::wstring& text, std::string& narrow)
{
    if (text.empty()) {
        narrow.clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        result.data(), length, nullptr, &usedDefault);
    if (usedDefault || NarrowToWide(result) != text)
        return false;
    narrow = std::move(result);
    return true;
}

std::wstring ShortPath(const std::wstring& path)
{
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), needed + 1);
    if (length == 0 || length > needed)
        return {};
    return std::wstring(buffer.data(), length);
}

}  // namespace

bool CodePagePath(const std::wstring& path, std::string& narrow)
{
    if (ConvertExactly(path, narrow))
        return true;
    const std::wstring shortPath = ShortPath(path);
    return !shortPath.empty() && ConvertExactly(shortPath, narrow);
}

std::string NearestCodePagePath(const std::wstring& path)
{
    std::wstring folder = path;
    std::string narrow;
    while (!folder.empty()) {
        if (CodePagePath(folder, narrow))
            return narrow;
        while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
            folder.pop_back();
        const size_t slash = folder.find_last_of(L"\\/");
        if (slash == std::wstring::npos)
            return {};
        folder.erase(slash + 1);
    }
    return {};
}
