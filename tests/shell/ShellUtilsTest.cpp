#include "shell/ShellUtils.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "ui/Application.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

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

// A CF_HDROP block: the header, then the names, each ended by a zero, then one more zero.
template <class Char>
std::vector<char> DropBlock(const std::vector<std::basic_string<Char>>& names)
{
    std::vector<char> block(sizeof(DROPFILES));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = sizeof(Char) == sizeof(wchar_t);
    std::memcpy(block.data(), &header, sizeof(header));
    auto append = [&](const Char* text, size_t count) {
        const auto* bytes = reinterpret_cast<const char*>(text);
        block.insert(block.end(), bytes, bytes + count * sizeof(Char));
    };
    const Char zero = 0;
    for (const auto& name : names) {
        append(name.c_str(), name.size());
        append(&zero, 1);
    }
    append(&zero, 1);
    return block;
}

}  // namespace

TEST(GetFilenamesFromDataObject, ReadsWideAndNarrowBlocksAndStopsAtTheirEnd)
{
    const std::vector<char> wide = DropBlock<wchar_t>({L"C:\\one.txt", L"C:\\tw\u00f6.txt"});
    EXPECT_EQ(FileNamesFromDropBlock(wide.data(), wide.size()),
              (TWideStringList{L"C:\\one.txt", L"C:\\tw\u00f6.txt"}));
    const std::vector<char> narrow = DropBlock<char>({"C:\\one.txt", "C:\\two.txt"});
    EXPECT_EQ(FileNamesFromDropBlock(narrow.data(), narrow.size()),
              (TWideStringList{L"C:\\one.txt", L"C:\\two.txt"}));
    // A block cut inside its second name, or one whose names begin past its end.
    EXPECT_EQ(FileNamesFromDropBlock(wide.data(), wide.size() - 8),
              (TWideStringList{L"C:\\one.txt"}));
    DROPFILES outside{};
    outside.pFiles = 4096;
    outside.fWide = TRUE;
    EXPECT_TRUE(FileNamesFromDropBlock(&outside, sizeof(outside)).empty());
    EXPECT_TRUE(FileNamesFromDropBlock(wide.data(), sizeof(DROPFILES) - 1).empty());
    EXPECT_TRUE(FileNamesFromDropBlock(nullptr, 100).empty());
}

TEST(MainWindowHandle, FollowsTheApplicationObject)
{
    ASSERT_EQ(Application, nullptr);
    EXPECT_EQ(MainWindowHandle(), nullptr);
    {
        TApplication application;
        EXPECT_EQ(MainWindowHandle(), application.Handle());
        HWND form = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
        application.SetMainFormHandle(form);
        EXPECT_EQ(MainWindowHandle(), form);
        DestroyWindow(form);
    }
    EXPECT_EQ(Application, nullptr);
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
