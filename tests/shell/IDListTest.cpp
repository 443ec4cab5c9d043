#include "shell/IDList.h"
#include "common/TempTree.h"
#include "core/TextCompare.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/ZelShellFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Builds an ID list from item payloads: every item gets its 16-bit count, then the terminator.
TOwnedIDList MakeList(const std::vector<Bytes>& items)
{
    Bytes raw;
    for (const Bytes& payload : items) {
        const auto count = static_cast<unsigned short>(payload.size() + 2);
        raw.push_back(static_cast<unsigned char>(count & 0xFF));
        raw.push_back(static_cast<unsigned char>(count >> 8));
        raw.insert(raw.end(), payload.begin(), payload.end());
    }
    raw.push_back(0);
    raw.push_back(0);
    TOwnedIDList list(static_cast<LPITEMIDLIST>(CoTaskMemAlloc(raw.size())));
    std::memcpy(list.get(), raw.data(), raw.size());
    return list;
}

Bytes BytesOf(TBorrowedIDList list)
{
    const auto* data = reinterpret_cast<const unsigned char*>(list);
    return Bytes(data, data + IDListSize(list));
}

const std::vector<Bytes> kThreeItems = {{1, 2, 3}, {4}, {5, 6, 7, 8, 9}};

}  // namespace

TEST(IDListOperations, SizesAndCountsOfNullEmptyAndCraftedLists)
{
    EXPECT_EQ(IDListSize(nullptr), 0u);
    EXPECT_EQ(IDListItemCount(nullptr), 0);
    EXPECT_EQ(IDListSize(DesktopIDList), 2u);
    EXPECT_EQ(IDListItemCount(DesktopIDList), 0);

    const TOwnedIDList list = MakeList(kThreeItems);
    EXPECT_EQ(IDListSize(list), 5u + 3u + 7u + 2u);
    EXPECT_EQ(IDListItemCount(list), 3);
}

TEST(IDListOperations, CopyIsExactAndNullStaysNull)
{
    const TOwnedIDList list = MakeList(kThreeItems);
    const TOwnedIDList copy = CopyIDList(list);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), list.get());
    EXPECT_EQ(BytesOf(copy), BytesOf(list));
    EXPECT_FALSE(CopyIDList(nullptr));
}

TEST(IDListOperations, ConcatenationJoinsItemsUnderOneTerminator)
{
    const TOwnedIDList first = MakeList({{1, 2}, {3}});
    const TOwnedIDList second = MakeList({{4, 5, 6}});
    const TOwnedIDList joined = ConcatIDLists(first, second);
    EXPECT_EQ(BytesOf(joined), BytesOf(MakeList({{1, 2}, {3}, {4, 5, 6}})));
    EXPECT_EQ(IDListSize(joined), IDListSize(first) + IDListSize(second) - 2);

    EXPECT_EQ(BytesOf(ConcatIDLists(first, DesktopIDList)), BytesOf(first));
    EXPECT_EQ(BytesOf(ConcatIDLists(DesktopIDList, second)), BytesOf(second));
    EXPECT_EQ(BytesOf(ConcatIDLists(first, nullptr)), BytesOf(first));
    EXPECT_EQ(BytesOf(ConcatIDLists(nullptr, second)), BytesOf(second));
    EXPECT_FALSE(ConcatIDLists(nullptr, nullptr));
}

TEST(IDListOperations, ItemByIndexAtAndPastTheCount)
{
    const TOwnedIDList list = MakeList(kThreeItems);
    EXPECT_EQ(BytesOf(IDListItem(list, 0)), BytesOf(MakeList({kThreeItems[0]})));
    EXPECT_EQ(BytesOf(IDListItem(list, 1)), BytesOf(MakeList({kThreeItems[1]})));
    EXPECT_EQ(BytesOf(IDListItem(list, 2)), BytesOf(MakeList({kThreeItems[2]})));

    const TOwnedIDList atCount = IDListItem(list, 3);
    ASSERT_TRUE(atCount);
    EXPECT_EQ(IDListSize(atCount), 2u);
    EXPECT_FALSE(IDListItem(list, 4));
    EXPECT_FALSE(IDListItem(list, -1));
    EXPECT_FALSE(IDListItem(nullptr, 0));

    EXPECT_EQ(BytesOf(IDListLastItem(list)), BytesOf(MakeList({kThreeItems[2]})));
    EXPECT_FALSE(IDListLastItem(DesktopIDList));
    EXPECT_FALSE(IDListLastItem(nullptr));
}

TEST(IDListOperations, HeadCutsAfterTheGivenItems)
{
    const TOwnedIDList list = MakeList(kThreeItems);
    EXPECT_EQ(BytesOf(IDListHead(list, 0)), BytesOf(DesktopIDList));
    EXPECT_EQ(BytesOf(IDListHead(list, 2)), BytesOf(MakeList({kThreeItems[0], kThreeItems[1]})));
    EXPECT_EQ(BytesOf(IDListHead(list, 3)), BytesOf(list));
    const TOwnedIDList single = MakeList({{7, 7}});
    EXPECT_EQ(BytesOf(IDListHead(single, 5)), BytesOf(single));
    EXPECT_FALSE(IDListHead(nullptr, 1));
}

TEST(IDListOperations, ItemsNeedNoAlignment)
{
    // An odd first item puts the second item's count on an odd address.
    const TOwnedIDList list = MakeList({{1}, {2, 3, 4, 5}});
    EXPECT_EQ(IDListItemCount(list), 2);
    EXPECT_EQ(BytesOf(IDListLastItem(list)), BytesOf(MakeList({{2, 3, 4, 5}})));
}

TEST(IDListOperations, ListsFromOutsideAreCopiedOnlyWhenTheyEndInsideTheirBytes)
{
    const TOwnedIDList list = MakeList(kThreeItems);
    const UINT size = IDListSize(list);
    EXPECT_EQ(IDListSizeWithin(list, size), size);
    EXPECT_EQ(IDListSizeWithin(list, size + 10), size);
    EXPECT_EQ(BytesOf(CopyIDListWithin(list, size)), BytesOf(list));
    // One byte short of the terminator, and a list whose item claims more than there is.
    EXPECT_EQ(IDListSizeWithin(list, size - 1), 0u);
    EXPECT_FALSE(CopyIDListWithin(list, size - 1));
    const TOwnedIDList overlong = MakeList({{1, 2, 3}});
    reinterpret_cast<unsigned char*>(overlong.get())[0] = 0xF0;
    EXPECT_FALSE(CopyIDListWithin(overlong, IDListSize(MakeList({{1, 2, 3}}))));
    EXPECT_FALSE(CopyIDListWithin(nullptr, 100));
}

TEST(ShellEntryPoints, EmptyPathGivesTheComputerFolder)
{
    const TOwnedIDList computer = IDListFromPath(nullptr, L"");
    ASSERT_TRUE(computer);
    const TOwnedIDList drives = SpecialFolderIDList(SF_DRIVES);
    EXPECT_TRUE(SameIDLists(computer, drives));
    EXPECT_EQ(SpecialFolderOf(computer), SF_DRIVES);
    EXPECT_EQ(PathFromIDList(computer), L"");
}

TEST(ShellEntryPoints, BareDriveLetterParsesTheDriveRoot)
{
    const TOwnedIDList drive = IDListFromPath(nullptr, L"C:");
    ASSERT_TRUE(drive);
    EXPECT_EQ(IDListItemCount(drive), 2);
    EXPECT_TRUE(SameText(PathFromIDList(drive), L"C:\\"));
}

TEST(ShellEntryPoints, FolderPathRoundTripsAndRelativeParseNeedsItsFolder)
{
    TTempTree tree;
    tree.File(L"inner\\file.txt", 10);
    const TOwnedIDList folder = IDListFromPath(nullptr, tree.Path(L"inner"));
    ASSERT_TRUE(folder);
    EXPECT_TRUE(SameFileName(PathFromIDList(folder), tree.Path(L"inner")));
    EXPECT_EQ(SpecialFolderOf(folder), SF_FILESYSTEMFOLDER);

    TComPtr<IShellFolder> inner;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(inner.GetAddressOf())));
    const TOwnedIDList relative = IDListFromPath(inner.Get(), L"file.txt");
    ASSERT_TRUE(relative);
    EXPECT_EQ(IDListItemCount(relative), 1);
    const TOwnedIDList absolute = ConcatIDLists(folder, relative);
    EXPECT_TRUE(SameFileName(PathFromIDList(absolute), tree.Path(L"inner\\file.txt")));
}

// The absolute list of `root` + `relative`, parsed one folder name at a time.
TOwnedIDList LongPathIDList(const std::wstring& root, const std::wstring& relative)
{
    TOwnedIDList list = IDListFromPath(nullptr, root);
    size_t start = 0;
    while (list && start < relative.size()) {
        const size_t end = relative.find(L'\\', start);
        const std::wstring name = relative.substr(start, end - start);
        start = end == std::wstring::npos ? relative.size() : end + 1;
        TComPtr<IShellFolder> folder;
        if (FAILED(DesktopFolder->BindToObject(list, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))))
            return {};
        const TOwnedIDList child = IDListFromPath(folder.Get(), name);
        if (!child)
            return {};
        list = ConcatIDLists(list, child);
    }
    return list;
}

TEST(ShellEntryPoints, ALongPathIsReadWholeOrNotAtAll)
{
    TTempTree tree;
    const TOwnedIDList shortFolder = IDListFromPath(nullptr, tree.Root());
    EXPECT_TRUE(SameFileName(LongPathFromIDList(shortFolder), tree.Root()));
    EXPECT_EQ(LongPathFromIDList(SpecialFolderIDList(SF_DRIVES)), L"");
    EXPECT_EQ(LongPathFromIDList(SpecialFolderIDList(SF_NETWORK)), L"");
    EXPECT_EQ(LongPathFromIDList(nullptr), L"");

    std::wstring relative;
    while (tree.Path(relative).size() < MAX_PATH + 20)
        relative += std::wstring(40, L'x') + L"\\";
    const std::wstring folder = ExcludeTrailingBackslash(tree.Folder(relative));
    // The shell parses no path that long at once: one folder at a time.
    const TOwnedIDList list = LongPathIDList(tree.Root(), relative);
    if (!list)
        GTEST_SKIP() << "the shell reaches no folder " << folder.size() << " characters long";
    // The MAX_PATH form gives nothing rather than a shorter path, which names another folder.
    const std::wstring limited = PathFromIDList(list);
    EXPECT_TRUE(limited.empty() || SameFileName(limited, folder)) << limited;
    EXPECT_TRUE(SameFileName(LongPathFromIDList(list), folder)) << LongPathFromIDList(list);
}

TEST(ShellEntryPoints, MissingPathGivesNullAndLeavesTheErrorCode)
{
    TTempTree tree;
    SetLastError(0);
    const TOwnedIDList missing = IDListFromPath(nullptr, tree.Path(L"no such folder\\x"));
    EXPECT_FALSE(missing);
    const DWORD code = GetLastError();
    EXPECT_NE(code, 0u);
    EXPECT_TRUE(FAILED(static_cast<HRESULT>(code)));
}

TEST(ShellEntryPoints, SpecialFolderOfDesktopAndOfferedFolders)
{
    EXPECT_EQ(SpecialFolderOf(DesktopIDList), SF_DESKTOP);
    EXPECT_EQ(SpecialFolderOf(nullptr), SF_FILESYSTEMFOLDER);
    for (TZelShellFolder folder :
         {SF_NETWORK, SF_BITBUCKET, SF_PERSONAL, SF_CONTROLS, SF_DESKTOPDIRECTORY, SF_WINDOWS}) {
        const TOwnedIDList list = SpecialFolderIDList(folder);
        ASSERT_TRUE(list) << folder;
        EXPECT_EQ(SpecialFolderOf(list), folder);
    }
    // A path spelled in other letter cases names the same folder.
    const TOwnedIDList windows = IDListFromPath(nullptr, UpperCase(WindowsDirectory()));
    ASSERT_TRUE(windows);
    EXPECT_EQ(SpecialFolderOf(windows), SF_WINDOWS);
    // SF_FILESYSTEMFOLDER locates the computer folder, which reports its own value.
    EXPECT_EQ(SpecialFolderOf(SpecialFolderIDList(SF_FILESYSTEMFOLDER)), SF_DRIVES);
    // Restricting the set skips the others.
    TZelShellFolders onlyPersonal;
    onlyPersonal.set(SF_PERSONAL);
    EXPECT_EQ(SpecialFolderOf(SpecialFolderIDList(SF_NETWORK), onlyPersonal), SF_FILESYSTEMFOLDER);
    EXPECT_EQ(SpecialFolderCSIDL(SF_WINDOWS), 0x24);
    EXPECT_EQ(SpecialFolderCSIDL(SF_COMMON_DOCUMENTS), 0x2E);
}

TEST(ShellEntryPoints, SpecialFolderPathsOfRealAndVirtualFolders)
{
    EXPECT_EQ(SpecialFolderPath(SF_DRIVES), L"");
    const std::wstring windows = SpecialFolderPath(SF_WINDOWS);
    EXPECT_TRUE(SameFileName(windows, WindowsDirectory())) << windows;
}

TEST(ShellEntryPoints, NetworkMembership)
{
    ASSERT_TRUE(NetworkIDList);
    EXPECT_TRUE(IsInNetwork(NetworkIDList));
    EXPECT_FALSE(IsInNetwork(nullptr));
    EXPECT_FALSE(IsInNetwork(DesktopIDList));
    EXPECT_FALSE(IsInNetwork(IDListFromPath(nullptr, L"C:\\")));
}

TEST(ShellEntryPoints, StrRetTextsOfAllKinds)
{
    TTempTree tree;
    tree.File(L"named file.txt");
    const TOwnedIDList folder = IDListFromPath(nullptr, tree.Root());
    TComPtr<IShellFolder> shellFolder;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf())));
    const TOwnedIDList item = IDListFromPath(shellFolder.Get(), L"named file.txt");
    STRRET name{};
    ASSERT_HRESULT_SUCCEEDED(shellFolder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name));
    EXPECT_TRUE(SameFileName(StrRetToString(item, name), tree.Path(L"named file.txt")));

    STRRET narrow{};
    narrow.uType = STRRET_CSTR;
    std::strcpy(narrow.cStr, "plain");
    EXPECT_EQ(StrRetToString(nullptr, narrow), L"plain");

    STRRET wide{};
    wide.uType = STRRET_WSTR;
    wide.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(6 * sizeof(wchar_t)));
    std::wcscpy(wide.pOleStr, L"wides");
    EXPECT_EQ(StrRetToString(nullptr, wide), L"wides");
}

TEST(ShellEntryPoints, NetworkNameIsEmptyForOrdinaryObjects)
{
    TTempTree tree;
    tree.File(L"a.txt");
    const TOwnedIDList folder = IDListFromPath(nullptr, tree.Root());
    TComPtr<IShellFolder> shellFolder;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf())));
    const TOwnedIDList item = IDListFromPath(shellFolder.Get(), L"a.txt");
    EXPECT_EQ(NetworkNameOf(shellFolder.Get(), item), L"");
    EXPECT_EQ(NetworkNameOf(nullptr, item), L"");
}

namespace {

// The child of `folder` with that file name, found by enumeration: Wine parses no path of 260
// characters or more.
TOwnedIDList ChildByName(IShellFolder* folder, const std::wstring& name)
{
    TComPtr<IEnumIDList> enumerator;
    if (FAILED(folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS,
                                   enumerator.GetAddressOf())) ||
        !enumerator)
        return {};
    for (TOwnedIDList item; enumerator->Next(1, item.put(), nullptr) == S_OK;) {
        STRRET text{};
        if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &text)) &&
            StrRetToString(item, text) == name)
            return item;
    }
    return {};
}

// A folder whose full path has exactly `length` characters, with its absolute list: a middle
// folder of a 200-character name where one name would be too long, the rest in the last name.
struct TLongFolder {
    std::wstring Path;
    TOwnedIDList List;
};

TLongFolder MakeLongFolder(TTempTree& tree, size_t length, wchar_t fill)
{
    std::wstring parent = tree.Root();
    if (length - parent.size() > 240)
        parent += std::wstring(200, L'm') + L"\\";
    TLongFolder folder;
    folder.Path = parent + std::wstring(length - parent.size(), fill);
    tree.Folder(folder.Path.substr(tree.Root().size()));
    const TOwnedIDList parentList = IDListFromPath(nullptr, parent);
    TComPtr<IShellFolder> shellFolder;
    if (parentList && SUCCEEDED(DesktopFolder->BindToObject(
                          parentList, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf()))))
        if (const TOwnedIDList child =
                ChildByName(shellFolder.Get(), folder.Path.substr(parent.size())))
            folder.List = ConcatIDLists(parentList, child);
    return folder;
}

}  // namespace

// The shell may cut a long path to its buffer and still report success (Wine gives the first
// 259 characters, which for a 260-character folder name its 259-character sibling).
TEST(ShellEntryPoints, LongPathsComeWholeOrNotAtAll)
{
    TTempTree tree;
    ASSERT_LT(tree.Root().size(), 50u);
    const TLongFolder sibling = MakeLongFolder(tree, 259, L'x');
    const TLongFolder cut = MakeLongFolder(tree, 260, L'x');
    const TLongFolder deep = MakeLongFolder(tree, 300, L'y');
    for (const TLongFolder* folder : {&sibling, &cut, &deep}) {
        ASSERT_TRUE(folder->List) << folder->Path.size();
        const std::wstring path = PathFromIDList(folder->List);
        EXPECT_EQ(path, folder->Path) << folder->Path.size() << " characters gave " << path.size();
    }
    // The browser reports the whole folder too.
    TNautilex browser(nullptr);
    browser.SetFolderIDList(deep.List);
    EXPECT_EQ(browser.GetFolder(), deep.Path + L"\\");

    // A file below a long folder, and a file whose own name makes the path long. Wine lists no
    // folder of 260 characters or more: the file's item comes from a short folder's namesake.
    tree.File(deep.Path.substr(tree.Root().size()) + L"\\f.txt", 1);
    const TLongFolder shortTwin = MakeLongFolder(tree, tree.Root().size() + 5, L'z');
    tree.File(shortTwin.Path.substr(tree.Root().size()) + L"\\f.txt", 1);
    TComPtr<IShellFolder> twin;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(shortTwin.List, nullptr, IID_PPV_ARGS(twin.GetAddressOf())));
    const TOwnedIDList file = ChildByName(twin.Get(), L"f.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(PathFromIDList(ConcatIDLists(deep.List, file)), deep.Path + L"\\f.txt");

    const std::wstring longName(260 - tree.Root().size(), L'n');
    tree.File(longName, 1);
    TComPtr<IShellFolder> root;
    const TOwnedIDList rootList = IDListFromPath(nullptr, tree.Root());
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(rootList, nullptr, IID_PPV_ARGS(root.GetAddressOf())));
    const TOwnedIDList longFile = ChildByName(root.Get(), longName);
    ASSERT_TRUE(longFile);
    EXPECT_EQ(PathFromIDList(ConcatIDLists(rootList, longFile)), tree.Root() + longName);
}
