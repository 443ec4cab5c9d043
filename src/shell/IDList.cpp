#include "shell/IDList.h"

#include "core/ComPtr.h"
#include "core/ScopedResource.h"
#include "core/TextConversion.h"
#include "parse/IDListBytes.h"
#include "shell/PathUtils.h"
#include "shell/ShellHost.h"
#include "shell/ShellState.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

USHORT ItemSize(const BYTE* item)
{
    USHORT size;
    std::memcpy(&size, item, sizeof(size));  // items need not be aligned
    return size;
}

const BYTE* Bytes(TBorrowedIDList list)
{
    return reinterpret_cast<const BYTE*>(list);
}

// Byte offset of item `index` (or of the terminator when index equals the count).
UINT OffsetOfItem(TBorrowedIDList list, int index)
{
    UINT offset = 0;
    for (int i = 0; i < index; ++i)
        offset += ItemSize(Bytes(list) + offset);
    return offset;
}

TOwnedIDList CopyBytesAsList(const BYTE* data, UINT byteCount)
{
    TOwnedIDList list = AllocZeroed(byteCount + sizeof(USHORT));
    if (list && byteCount > 0)
        std::memcpy(list.get(), data, byteCount);
    return list;
}

}  // namespace

TOwnedIDList AllocZeroed(size_t size)
{
    void* block = CoTaskMemAlloc(size);
    if (block == nullptr)
        return {};
    std::memset(block, 0, size);
    return TOwnedIDList(static_cast<LPITEMIDLIST>(block));
}

UINT IDListSize(TBorrowedIDList list)
{
    if (list == nullptr)
        return 0;
    UINT size = 0;
    for (USHORT itemSize; (itemSize = ItemSize(Bytes(list) + size)) != 0;)
        size += itemSize;
    return size + sizeof(USHORT);
}

int IDListItemCount(TBorrowedIDList list)
{
    if (list == nullptr)
        return 0;
    int count = 0;
    UINT offset = 0;
    for (USHORT itemSize; (itemSize = ItemSize(Bytes(list) + offset)) != 0; ++count)
        offset += itemSize;
    return count;
}

TOwnedIDList CopyIDList(TBorrowedIDList list)
{
    if (list == nullptr)
        return {};
    const UINT size = IDListSize(list);
    TOwnedIDList copy = AllocZeroed(size);
    if (copy)
        std::memcpy(copy.get(), list, size);
    return copy;
}

UINT IDListSizeWithin(const void* data, size_t capacity)
{
    if (data == nullptr)
        return 0;
    return static_cast<UINT>(
        BoundedIDListSize(TByteSpan(static_cast<const std::uint8_t*>(data), capacity)));
}

TOwnedIDList CopyIDListWithin(const void* data, size_t capacity)
{
    const UINT size = IDListSizeWithin(data, capacity);
    if (size == 0)
        return {};
    TOwnedIDList copy = AllocZeroed(size);
    if (copy)
        std::memcpy(copy.get(), data, size);
    return copy;
}

TOwnedIDList ConcatIDLists(TBorrowedIDList first, TBorrowedIDList second)
{
    if (first == nullptr && second == nullptr)
        return {};
    const UINT firstSize = IDListSize(first);
    const UINT secondSize = IDListSize(second);
    UINT size = firstSize + secondSize;
    if (first != nullptr && second != nullptr)
        size -= sizeof(USHORT);
    TOwnedIDList result = AllocZeroed(size);
    if (!result)
        return result;
    BYTE* target = reinterpret_cast<BYTE*>(result.get());
    const UINT firstItems = first != nullptr ? firstSize - sizeof(USHORT) : 0;
    if (firstItems > 0)
        std::memcpy(target, first, firstItems);
    if (second != nullptr)
        std::memcpy(target + firstItems, second, secondSize);
    return result;
}

TOwnedIDList IDListItem(TBorrowedIDList list, int index)
{
    if (list == nullptr || index < 0)
        return {};
    const int count = IDListItemCount(list);
    if (index > count)
        return {};
    if (index == count)
        return AllocZeroed(sizeof(USHORT));
    const UINT offset = OffsetOfItem(list, index);
    return CopyBytesAsList(Bytes(list) + offset, ItemSize(Bytes(list) + offset));
}

TOwnedIDList IDListHead(TBorrowedIDList list, int count)
{
    if (list == nullptr)
        return {};
    const int itemCount = IDListItemCount(list);
    if (count < 0)
        count = 0;
    if (count >= itemCount)
        return CopyIDList(list);
    return CopyBytesAsList(Bytes(list), OffsetOfItem(list, count));
}

TOwnedIDList IDListLastItem(TBorrowedIDList list)
{
    const int count = IDListItemCount(list);
    if (count == 0)
        return {};
    return IDListItem(list, count - 1);
}

bool SameIDLists(TBorrowedIDList first, TBorrowedIDList second)
{
    if (first == nullptr || second == nullptr || !DesktopFolder)
        return false;
    const HRESULT result = DesktopFolder->CompareIDs(0, first, second);
    return SUCCEEDED(result) && static_cast<short>(HRESULT_CODE(result)) == 0;
}

namespace {

// Room for the longest path the system knows (32,767 characters and the terminator).
constexpr DWORD kLongestPathCapacity = 32768;

// The parsing name of an absolute list's last item within its folder: a file name, never cut.
std::wstring NameInFolder(TBorrowedIDList list)
{
    const int count = IDListItemCount(list);
    if (count == 0 || !DesktopFolder)
        return {};
    const TOwnedIDList parent = IDListHead(list, count - 1);
    const TOwnedIDList last = IDListLastItem(list);
    TComPtr<IShellFolder> folder;
    if (count == 1)
        folder = DesktopFolder;
    else if (FAILED(
                 DesktopFolder->BindToObject(parent, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))))
        return {};
    STRRET name{};
    if (!folder || !last ||
        FAILED(folder->GetDisplayNameOf(last, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)))
        return {};
    std::wstring text = StrRetToString(last, name);
    // A name of a buffer's length may be cut in its turn.
    if (text.size() >= MAX_PATH - 1 || text.find(L'\\') != std::wstring::npos)
        return {};
    return text;
}

}  // namespace

std::wstring PathFromIDList(TBorrowedIDList list)
{
    if (list == nullptr)
        return {};
    // Not zero-filled: this runs for every row drawn.
    const std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[kLongestPathCapacity]);
    if (!buffer)
        return {};
    buffer[0] = L'\0';
    if (!SHGetPathFromIDListEx(list, buffer.get(), kLongestPathCapacity, GPFIDL_DEFAULT))
        return {};
    const std::wstring path(buffer.get(), wcsnlen(buffer.get(), kLongestPathCapacity));
    if (path.size() < MAX_PATH - 1)
        return path;
    // From the classic buffer's length on the text may be cut, with success reported all the
    // same: Wine's shell keeps the first 259 characters of a folder (which may name another
    // folder) and puts a backslash after them for an object inside. The parent's path and the
    // object's name tell the whole path; the shell's text must agree with its beginning.
    const int count = IDListItemCount(list);
    if (count == 0 || path.size() >= kLongestPathCapacity - 1)
        return {};
    const std::wstring parentPath = PathFromIDList(IDListHead(list, count - 1));
    const std::wstring name = NameInFolder(list);
    if (parentPath.empty() || name.empty())
        return {};
    std::wstring whole = IncludeTrailingBackslash(parentPath) + name;
    if (!StartsWithText(whole, path.substr(0, MAX_PATH - 1)))
        return {};
    return whole;
}

std::wstring LongPathFromIDList(TBorrowedIDList list)
{
    std::wstring path = PathFromIDList(list);
    // Wine names virtual folders (the network) by a "::{GUID}" text: they have no path.
    if (path.size() >= 2 && path[0] == L':' && path[1] == L':')
        return {};
    if (!path.empty() || list == nullptr || IDListItemCount(list) == 0)
        return path;
    // A path that does not fit the shell's MAX_PATH buffer is read as the parsing name of a
    // file-system object.
    TComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(list, IID_PPV_ARGS(parent.GetAddressOf()), &last)) || !parent)
        return {};
    ULONG attributes = SFGAO_FILESYSTEM;
    if (FAILED(parent->GetAttributesOf(1, &last, &attributes)) ||
        (attributes & SFGAO_FILESYSTEM) == 0)
        return {};
    STRRET name{};
    if (FAILED(parent->GetDisplayNameOf(last, SHGDN_FORPARSING, &name)))
        return {};
    path = StrRetToString(last, name);
    if (path.size() < 3 || path[0] == L':')
        return {};
    return path;
}

TOwnedIDList IDListFromPath(IShellFolder* folder, const std::wstring& path)
{
    TOwnedIDList list;
    if (path.empty()) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, list.put())))
            list.reset();
        return list;
    }
    if (folder == nullptr)
        folder = DesktopFolder.Get();
    if (folder == nullptr) {
        SetLastError(static_cast<DWORD>(E_FAIL));
        return {};
    }
    std::wstring text = path;
    if (text.size() == 2 && text[1] == L':')
        text += L'\\';
    HWND owner = IsUNCPath(text) ? ShellHostWindow() : nullptr;
    ULONG eaten = 0;
    HRESULT result;
    {
        TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
        result = folder->ParseDisplayName(owner, nullptr, text.data(), &eaten, list.put(), nullptr);
    }
    if (FAILED(result) || !list) {
        list.reset();
        SetLastError(static_cast<DWORD>(FAILED(result) ? result : E_FAIL));
    }
    return list;
}

bool IsInNetwork(TBorrowedIDList list)
{
    if (list == nullptr || IDListItemCount(list) == 0 || !NetworkIDList)
        return false;
    const TOwnedIDList first = IDListItem(list, 0);
    return SameIDLists(first, NetworkIDList);
}

void FreeStrRet(STRRET& value)
{
    if (value.uType == STRRET_WSTR && value.pOleStr != nullptr) {
        CoTaskMemFree(value.pOleStr);
        value.pOleStr = nullptr;
    }
}

std::wstring StrRetToString(TBorrowedIDList list, STRRET& value)
{
    if (ShellEntries.StrRetToStrEntry == nullptr) {
        ReportShellFailure(L"A Dll, which is needed to execute this program, is not installed. \r\n"
                           L"Please install Internet Explorer 5.5 or higher to use this program.");
        FreeStrRet(value);
        return {};
    }
    wchar_t* text = nullptr;
    if (FAILED(ShellEntries.StrRetToStrEntry(&value, list, &text)) || text == nullptr)
        return {};
    TScopedCoTaskMem owner(text);
    return text;
}

std::wstring NetworkNameOf(IShellFolder* folder, TBorrowedIDList list)
{
    if (folder == nullptr || list == nullptr)
        return {};
    // The resource record is followed by its strings, which the pointers in it refer to.
    alignas(NETRESOURCEA) BYTE block[1024] = {};
    if (FAILED(SHGetDataFromIDListA(folder, list, SHGDFIL_NETRESOURCE, block, sizeof(block))))
        return {};
    const auto* resource = reinterpret_cast<const NETRESOURCEA*>(block);
    if (resource->dwDisplayType != RESOURCEDISPLAYTYPE_DOMAIN &&
        resource->dwDisplayType != RESOURCEDISPLAYTYPE_SERVER)
        return {};
    const char* name = resource->lpRemoteName;
    const char* blockEnd = reinterpret_cast<const char*>(block) + sizeof(block);
    if (name == nullptr || name < reinterpret_cast<const char*>(block) || name >= blockEnd)
        return {};
    return NarrowToWide(std::string(name, strnlen(name, static_cast<size_t>(blockEnd - name))));
}
