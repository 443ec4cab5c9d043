#include "threadpool/LongPath.h"

#include <windows.h>

#include <vector>

namespace {

const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
const size_t kLongPrefixLength = 4;

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

// "\\?\", "\\.\" or the NT form "\??\".
bool HasDevicePrefix(const std::wstring& path)
{
    return path.size() >= kLongPrefixLength && path[0] == L'\\' &&
           (path[1] == L'\\' || path[1] == L'?') && (path[2] == L'?' || path[2] == L'.') &&
           path[3] == L'\\';
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "C:\..." (or "C:" alone).
bool IsDrivePath(const std::wstring& path)
{
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':' &&
           (path.size() == 2 || path[2] == L'\\');
}

// "\\server\share..." with both parts present.
bool IsUncPath(const std::wstring& path)
{
    if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\' || path[2] == L'\\')
        return false;
    const size_t shareStart = path.find(L'\\', 2);
    return shareStart != std::wstring::npos && shareStart + 1 < path.size() &&
           path[shareStart + 1] != L'\\';
}

std::vector<std::wstring> Steps(const std::wstring& path, size_t from)
{
    std::vector<std::wstring> steps;
    size_t start = from;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        if (end > start)
            steps.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return steps;
}

// Joins the steps after the root, resolving "." and ".."; the first `fixed` steps (a share's
// server and name) cannot be climbed out of.
std::wstring Resolved(const std::vector<std::wstring>& steps, size_t fixed)
{
    std::vector<const std::wstring*> kept;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i >= fixed && steps[i] == L".")
            continue;
        if (i >= fixed && steps[i] == L"..") {
            if (kept.size() > fixed)
                kept.pop_back();
            continue;
        }
        kept.push_back(&steps[i]);
    }
    std::wstring joined;
    for (const std::wstring* step : kept) {
        if (!joined.empty())
            joined += L'\\';
        joined += *step;
    }
    return joined;
}

std::wstring FromAbsolute(const std::wstring& path)
{
    if (IsDrivePath(path))
        return kLongPrefix + path.substr(0, 2) + L"\\" + Resolved(Steps(path, 2), 0);
    if (IsUncPath(path))
        return kLongUncPrefix + Resolved(Steps(path, 2), 2);
    return {};
}

std::wstring FullPathOf(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    return full;
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path)
{
    if (HasDevicePrefix(path))
        return path;
    std::wstring plain = path;
    for (wchar_t& c : plain)
        if (c == L'/')
            c = L'\\';
    if (std::wstring longForm = FromAbsolute(plain); !longForm.empty())
        return longForm;
    // Relative, relative to a drive's current folder, or from the current drive's root: the
    // system knows where that is.
    return FromAbsolute(FullPathOf(plain));
}

bool IsVolumeRoot(const std::wstring& longPath)
{
    if (!HasDevicePrefix(longPath))
        return false;
    const std::vector<std::wstring> steps = Steps(longPath, kLongPrefixLength);
    if (StartsWith(longPath, kLongUncPrefix))
        return steps.size() <= 3;
    return steps.size() <= 1;
}

bool HasWildcard(const std::wstring& path)
{
    // "<", ">" and '"' are the wildcards that the find functions take from old programs.
    return path.find_first_of(L"*?<>\"", HasDevicePrefix(path) ? kLongPrefixLength : 0) !=
           std::wstring::npos;
}
