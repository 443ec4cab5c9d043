#include "threadpool/ReparsePoint.h"

#include "core/ScopedResource.h"
#include "shell/PathUtils.h"

#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

const DWORD kReparseBufferSize = 16384;
const ULONG kSymlinkFlagRelative = 1;

// The reparse data layouts of the file system (kept here: the user-mode headers lack them).
struct TReparseHeader {
    ULONG ReparseTag;
    USHORT ReparseDataLength;
    USHORT Reserved;
};
struct TNameOffsets {
    USHORT SubstituteNameOffset;
    USHORT SubstituteNameLength;
    USHORT PrintNameOffset;
    USHORT PrintNameLength;
};
// Symbolic links carry a flags word between the offsets and the path buffer; mount points
// (junctions) do not.
const size_t kMountPointPathBuffer = sizeof(TReparseHeader) + sizeof(TNameOffsets);
const size_t kSymlinkPathBuffer = kMountPointPathBuffer + sizeof(ULONG);

// The NT prefix "\??\" has no letters, so a plain search is case-insensitive.
void RemoveAll(std::wstring& text, const std::wstring& what)
{
    for (size_t at = 0; (at = text.find(what, at)) != std::wstring::npos;)
        text.erase(at, what.size());
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

// Removes the "\\?\" form that final paths come in: "\\?\C:\x" to "C:\x", "\\?\UNC\s\x" to
// "\\s\x".
std::wstring PlainPath(const std::wstring& path)
{
    if (StartsWithText(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWithText(path, L"\\\\?\\"))
        return path.substr(4);
    return path;
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
    if (returned < kMountPointPathBuffer)
        return {};
    TReparseHeader header;
    TNameOffsets names;
    std::memcpy(&header, buffer.data(), sizeof(header));
    std::memcpy(&names, buffer.data() + sizeof(header), sizeof(names));
    const bool symlink = header.ReparseTag == IO_REPARSE_TAG_SYMLINK;
    const size_t pathBuffer = symlink ? kSymlinkPathBuffer : kMountPointPathBuffer;
    // The name must lie wholly inside what the file system returned.
    const size_t nameStart = pathBuffer + names.SubstituteNameOffset;
    if (returned < pathBuffer || nameStart + names.SubstituteNameLength > returned ||
        names.SubstituteNameLength % sizeof(wchar_t) != 0)
        return {};
    std::wstring target(names.SubstituteNameLength / sizeof(wchar_t), L'\0');
    std::memcpy(target.data(), buffer.data() + nameStart, names.SubstituteNameLength);

    if (symlink) {
        ULONG flags = 0;
        std::memcpy(&flags, buffer.data() + kMountPointPathBuffer, sizeof(flags));
        if ((flags & kSymlinkFlagRelative) != 0)
            return FullPathOf(ExtractFilePath(ExcludeTrailingBackslash(path)) + target);
    }
    if (StartsWithText(target, L"\\??\\UNC\\"))
        target = L"\\\\" + target.substr(8);
    RemoveAll(target, L"\\??\\");
    return target;
}
