#include "shell/ShellUtils.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

#include <gtest/gtest.h>

TEST(ShellState, StartupNestsAndKeepsTheState)
{
    ASSERT_TRUE(ShellStarted());
    IShellFolder* desktop = DesktopFolder.Get();
    ASSERT_TRUE(ShellStartup());
    ShellShutdown();
    EXPECT_TRUE(ShellStarted());
    EXPECT_EQ(DesktopFolder.Get(), desktop);
    EXPECT_TRUE(NetworkIDList);
    EXPECT_NE(ShellEntries.PathMatchSpecEntry, nullptr);
    EXPECT_NE(ShellEntries.StrRetToStrEntry, nullptr);
    EXPECT_EQ(WindowsRootPath.size(), 3u);
    EXPECT_EQ(WindowsRootPath.substr(1), L":\\");
    EXPECT_TRUE(IsNT);
}

TEST(ShellState, SystemLibrariesComeFromTheSystemDirectory)
{
    TTempTree tree;
    // A planted DLL in the current directory must not be picked up.
    tree.TextFile(L"shlwapi.dll", "not a library");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(tree.Root().c_str());
    HMODULE module = LoadSystemLibrary(L"shlwapi.dll");
    SetCurrentDirectoryW(previous);
    ASSERT_NE(module, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(module, loaded, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(IsInsideFolder(system, loaded)) << loaded;
    FreeLibrary(module);

    EXPECT_EQ(LoadSystemLibrary(L"no-such-library-here.dll"), nullptr);
}

TEST(ResolveLinkTarget, ReadsTheTargetOfARealShortcut)
{
    TTempTree tree;
    const std::wstring target = tree.File(L"target file.txt", 4);
    const std::wstring link = tree.Shortcut(L"link.lnk", target);
    EXPECT_TRUE(SameFileName(ResolveLinkTarget(link), target));
    const std::wstring folderLink = tree.Shortcut(L"folder.lnk", tree.Folder(L"sub"));
    EXPECT_TRUE(SameFileName(ResolveLinkTarget(folderLink), tree.Path(L"sub")));

    EXPECT_EQ(ResolveLinkTarget(target), L"");  // not a shortcut
    EXPECT_EQ(ResolveLinkTarget(tree.Path(L"missing.lnk")), L"");
    EXPECT_EQ(ResolveLinkTarget(L""), L"");
}

TEST(GetFilenamesFromDataObject, ListsTheFilesOfAShellDataObject)
{
    TTempTree tree;
    tree.File(L"one.txt");
    tree.File(L"two.txt");
    const TOwnedIDList folder = IDListFromPath(nullptr, tree.Root());
    TComPtr<IShellFolder> shellFolder;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf())));
    const TOwnedIDList one = IDListFromPath(shellFolder.Get(), L"one.txt");
    const TOwnedIDList two = IDListFromPath(shellFolder.Get(), L"two.txt");
    LPCITEMIDLIST items[] = {one.get(), two.get()};
    TComPtr<IDataObject> data;
    ASSERT_HRESULT_SUCCEEDED(
        shellFolder->GetUIObjectOf(nullptr, 2, items, IID_IDataObject, nullptr,
                                   reinterpret_cast<void**>(data.GetAddressOf())));
    const auto names = GetFilenamesFromDataObject(data.Get());
    ASSERT_TRUE(names);
    ASSERT_EQ(names->size(), 2u);
    EXPECT_TRUE(SameFileName((*names)[0], tree.Path(L"one.txt")));
    EXPECT_TRUE(SameFileName((*names)[1], tree.Path(L"two.txt")));

    EXPECT_EQ(GetFilenamesFromDataObject(nullptr), nullptr);
}

namespace {

// A block laid out as the structure's fields say, for the readers of dropped data.
std::string Block(std::initializer_list<uint32_t> fields, const std::string& tail)
{
    std::string bytes;
    for (const uint32_t field : fields)
        bytes.append(reinterpret_cast<const char*>(&field), sizeof(field));
    return bytes + tail;
}

}  // namespace

TEST(GetFilenamesFromDataObject, DropBlocksGiveTheirNamesOrNothingWhenMalformed)
{
    const std::wstring wideNames(L"C:\\a.txt\0C:\\\u00e9\0\0", 15);
    const std::string wide =
        Block({20, 0, 0, 0, 1}, std::string(reinterpret_cast<const char*>(wideNames.data()),
                                            wideNames.size() * sizeof(wchar_t)));
    EXPECT_EQ(FileNamesFromDropFiles(wide.data(), wide.size()),
              (TWideStringList{L"C:\\a.txt", L"C:\\\u00e9"}));
    // Narrow names are in the system code page.
    const std::string narrow = Block({20, 0, 0, 0, 0}, WideToNarrow(L"C:\\\u00e9") + '\0' + '\0');
    EXPECT_EQ(FileNamesFromDropFiles(narrow.data(), narrow.size()),
              (TWideStringList{L"C:\\\u00e9"}));
    // Cut before the end of the list, or naming a place past the block.
    EXPECT_TRUE(FileNamesFromDropFiles(wide.data(), wide.size() - 2).empty());
    const std::string pastEnd = Block({4000, 0, 0, 0, 1}, std::string(4, '\0'));
    EXPECT_TRUE(FileNamesFromDropFiles(pastEnd.data(), pastEnd.size()).empty());
    EXPECT_TRUE(FileNamesFromDropFiles(nullptr, 0).empty());
}

TEST(GetIDListsFromDataObject, GivesTheAbsoluteListsOfAShellDataObject)
{
    TTempTree tree;
    tree.File(L"one.txt");
    tree.Folder(L"two");
    const TOwnedIDList folder = IDListFromPath(nullptr, tree.Root());
    TComPtr<IShellFolder> shellFolder;
    ASSERT_HRESULT_SUCCEEDED(
        DesktopFolder->BindToObject(folder, nullptr, IID_PPV_ARGS(shellFolder.GetAddressOf())));
    const TOwnedIDList one = IDListFromPath(shellFolder.Get(), L"one.txt");
    const TOwnedIDList two = IDListFromPath(shellFolder.Get(), L"two");
    LPCITEMIDLIST items[] = {one.get(), two.get()};
    TComPtr<IDataObject> data;
    ASSERT_HRESULT_SUCCEEDED(
        shellFolder->GetUIObjectOf(nullptr, 2, items, IID_IDataObject, nullptr,
                                   reinterpret_cast<void**>(data.GetAddressOf())));
    const std::vector<TOwnedIDList> lists = GetIDListsFromDataObject(data.Get());
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(SameFileName(PathFromIDList(lists[0]), tree.Path(L"one.txt")));
    EXPECT_TRUE(SameFileName(PathFromIDList(lists[1]), tree.Path(L"two")));
    EXPECT_TRUE(GetIDListsFromDataObject(nullptr).empty());
}

TEST(GetIDListsFromDataObject, MalformedArraysGiveNoLists)
{
    // A folder list of one 3-byte item and a child list of one 4-byte item.
    const std::string folder("\x05\x00"
                             "abc"
                             "\x00\x00",
                             7);
    const std::string child("\x06\x00wxyz\x00\x00", 8);
    const std::string good = Block({1, 12, 19}, folder + child);
    const std::vector<TOwnedIDList> lists = IDListsFromShellIDListArray(good.data(), good.size());
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(IDListItemCount(lists[0]), 2);
    EXPECT_EQ(IDListSize(lists[0]), 5u + 6u + 2u);

    const std::string childPastEnd = Block({1, 12, 90}, folder + child);
    const std::string countTooLarge = Block({1000, 12, 19}, folder + child);
    for (const std::string& block : {childPastEnd, countTooLarge, good.substr(0, good.size() - 1)})
        EXPECT_TRUE(IDListsFromShellIDListArray(block.data(), block.size()).empty());
}

TEST(IconTitleFont, GivesARealFont)
{
    const TScopedGdiObject font = IconTitleFont();
    ASSERT_TRUE(font);
    LOGFONTW description{};
    EXPECT_GT(GetObjectW(font.get(), sizeof(description), &description), 0);
}

// Our list and tree run under class names of their own; the explorer look must reach them
// and stay for the windows they make later.
TEST(ApplyExplorerTheme, ReachesOurListAndTreeAndOutlivesTheirWindows)
{
    ASSERT_TRUE(IsVistaOrLater);
    TTestForm form;
    auto* list = new TListView(&form);
    list->SetParent(&form);
    auto* tree = new TTreeView(&form);
    tree->SetParent(&form);
    ASSERT_TRUE(tree->ShowLines());

    ApplyExplorerTheme(list->Handle());
    ApplyExplorerTheme(tree->Handle());
    for (int round = 0; round < 2; ++round) {
        const auto listStyles =
            static_cast<DWORD>(SendMessageW(list->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_NE(listStyles & LVS_EX_FULLROWSELECT, 0u) << "round " << round;
        EXPECT_NE(listStyles & LVS_EX_DOUBLEBUFFER, 0u);
        // (Wine's tree view keeps no extended styles to read back.)
        EXPECT_EQ(GetWindowLongPtrW(tree->Handle(), GWL_STYLE) & TVS_HASLINES, 0)
            << "round " << round;
        list->RecreateWnd();
        tree->RecreateWnd();
    }
    EXPECT_TRUE(list->ExplorerStyle());
    EXPECT_TRUE(list->RowSelect());
    EXPECT_TRUE(tree->ExplorerStyle());
    EXPECT_FALSE(tree->ShowLines());
    EXPECT_TRUE(tree->DoubleBuffered());
}
