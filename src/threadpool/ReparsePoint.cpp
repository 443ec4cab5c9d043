#include "threadpool/ReparsePoint.h"

#include "core/ScopedResource.h"
#include "parse/ReparseData.h"
#include "shell/PathUtils.h"

#include <winioctl.h>

#include <algorithm>
#include <vector>

namespace {

const DWORD kReparseBufferSize = 16384;

std::wstring WideOf(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring FullPathOf(const std::wstring& path)
{
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring result(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, result.data(), nullptr);
    result.resize(size);
    return result;
}

}  // namespace

std::wstring FinalPathOf(const std::wstring& path)
{
    TScopedHandle file(CreateFileW(path.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return {};
    std::wstring result(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(file.get(), result.data(), static_cast<DWORD>(result.size()), 0);
    if (length >= result.size()) {
        result.resize(length + 1);
        length = GetFinalPathNameByHandleW(file.get(), result.data(),
                                           static_cast<DWORD>(result.size()), 0);
    }
    if (length == 0 || length >= result.size())
        return {};
    result.resize(length);
    return result;
}

std::wstring ReparsePointTarget(const std::wstring& path)
{
    TScopedHandle file(CreateFileW(
        ExcludeTrailingBackslash(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return {};
    std::vector<unsigned char> buffer(kReparseBufferSize);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(file.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                                    kReparseBufferSize, &returned, nullptr);
    file.reset();
    // Wine shows host symbolic links as reparse points but cannot read their data: there,
    // where opening the link leads.
    if (!ok)
        return PlainPath(FinalPathOf(ExcludeTrailingBackslash(path)));
    const std::optional<TReparseLink> link =
        ParseReparseData(TByteSpan(buffer.data(), std::min<DWORD>(returned, kReparseBufferSize)));
    if (!link)
        return {};
    if (link->Relative)
        return FullPathOf(ExtractFilePath(ExcludeTrailingBackslash(path)) + WideOf(link->Target));
    return WideOf(PlainReparseTarget(link->Target));
}
