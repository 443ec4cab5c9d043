// The program as a user runs it: started from a folder of its own, driven, closed, and the
// files it wrote read back.
#include "ProgramDriver.h"

#include "app/BookmarkStream.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

int HeightOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

int WidthOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

std::string Narrow(const std::wstring& text)
{
    return WideToNarrow(text);
}

// Tool-bar buttons by their design places.
constexpr int kParent = 4;
constexpr int kNewFolder = 27;
constexpr int kIconList = 84;
constexpr int kDetails = 109;
constexpr int kThumbnails = 134;
constexpr int kHidden = 178;
constexpr int kSingle = 228;
constexpr int kDual = 252;

class ProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        folderA_ = tree_.Folder(L"data\\alpha");
        for (int i = 0; i < 5; ++i)
            tree_.File(L"data\\alpha\\a" + std::to_wstring(i) + L".txt", 3);
        tree_.File(L"data\\alpha\\secret.txt", 1, FILE_ATTRIBUTE_HIDDEN);
        folderB_ = tree_.Folder(L"data\\beta");
        for (int i = 0; i < 3; ++i)
            tree_.File(L"data\\beta\\b" + std::to_wstring(i) + L".txt", 3);
    }

    // A settings file with both panes on the test folders and a normal window.
    std::string PaneSettings(const std::string& extra = "") const
    {
        return "[GenInfo]\r\nPath1=" + Narrow(folderA_) + "\r\nPath2=" + Narrow(folderB_) +
               "\r\n[MForm]\r\nTop=20\r\nLeft=30\r\nWidth=900\r\nHeight=700\r\nwsNormal=1\r\n"
               "wsMaximized=0\r\n" +
               extra;
    }

    TTempTree tree_;
    std::wstring folderA_;
    std::wstring folderB_;
};

TEST_F(ProgramTest, TheFirstStartOpensMaximisedWithTheDefaultsAndWritesThemBack)
{
    TProgramDriver program(tree_);
    ASSERT_TRUE(program.Start());
    HWND main = program.MainWindow();
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_EQ(HeightOf(program.Pane2Panel()), DesignScale(250));
    EXPECT_EQ(WidthOf(program.TreePanel()), DesignScale(100));
    EXPECT_EQ(WidthOf(program.Tree(2)), DesignScale(100));
    EXPECT_EQ(TProgramDriver::ListView(program.List(1)), LVS_REPORT);
    EXPECT_EQ(TProgramDriver::ListView(program.List(2)), LVS_REPORT);
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kDetails)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kHidden)));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kDual)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kSingle)));
    EXPECT_EQ(program.Focus(), program.Tree(1));
    EXPECT_GT(TProgramDriver::ItemCount(program.List(1)), 0) << "the desktop";
    EXPECT_GT(TProgramDriver::ItemCount(program.List(2)), 0) << "the computer";

    EXPECT_EQ(program.Close(), 0u);
    bool present = true;
    for (const char* key : {"Top", "Left", "Height", "Width", "Hidden"}) {
        program.Setting("MForm", key, &present);
        EXPECT_FALSE(present) << key;
    }
    EXPECT_EQ(program.Setting("MForm", "Expl2Height"), std::to_string(DesignScale(250)));
    EXPECT_EQ(program.Setting("MForm", "Expl1Width"), std::to_string(DesignScale(100)));
    EXPECT_EQ(program.Setting("MForm", "Expl1Focus"), "1");
    EXPECT_EQ(program.Setting("MForm", "IconList1"), "0");
    EXPECT_EQ(program.Setting("MForm", "Details1"), "1");
    EXPECT_EQ(program.Setting("MForm", "Tumbnails1"), "0");
    EXPECT_EQ(program.Setting("MForm", "Details2"), "1");
    EXPECT_EQ(program.Setting("MForm", "wsNormal"), "0");
    EXPECT_EQ(program.Setting("MForm", "wsMaximized"), "1");
    EXPECT_EQ(program.Setting("MForm", "SingleWinB"), "0");
    program.Setting("GenInfo", "Path1", &present);
    EXPECT_TRUE(present);

    // Restored, the window takes the place it was given: 700 x 500 at (100, 100).
    ASSERT_TRUE(program.Start());
    ShowWindow(program.MainWindow(), SW_RESTORE);
    program.Settle();
    RECT normal{};
    GetWindowRect(program.MainWindow(), &normal);
    EXPECT_EQ(normal.left, DesignScale(100));
    EXPECT_EQ(normal.top, DesignScale(100));
    EXPECT_EQ(normal.right - normal.left, DesignScale(700));
    EXPECT_EQ(normal.bottom - normal.top, DesignScale(500));
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Width"), std::to_string(DesignScale(700)));
    EXPECT_EQ(program.Setting("MForm", "wsNormal"), "1");
}

TEST_F(ProgramTest, AHandWrittenSettingsFileRestoresBothPanes)
{
    TProgramDriver program(tree_);
    program.WriteSettings(
        PaneSettings("Expl1Focus=0\r\nIconList1=1\r\nDetails1=0\r\nIconList2=1\r\nDetails2=0\r\n"
                     "SingleWinB=1\r\nExpl2Height=0\r\nHidden=1\r\nExpl1Width=150\r\n"));
    ASSERT_TRUE(program.Start());
    HWND main = program.MainWindow();
    EXPECT_FALSE(IsZoomed(main));
    RECT window{};
    GetWindowRect(main, &window);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(window.top, 20);
    EXPECT_EQ(window.right - window.left, 900);
    EXPECT_EQ(window.bottom - window.top, 700);

    // Pane 1 with its hidden file, pane 2 without; pane 2's stored view on its list and the
    // buttons, pane 1 in report view whatever its flags say.
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 6);
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(2)), 3);
    EXPECT_EQ(TProgramDriver::ListView(program.List(1)), LVS_REPORT);
    EXPECT_EQ(TProgramDriver::ListView(program.List(2)), LVS_LIST);
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kIconList)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kDetails)));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kHidden)));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kSingle)));
    EXPECT_EQ(HeightOf(program.Pane2Panel()), 0);
    EXPECT_EQ(WidthOf(program.TreePanel()), 150);
    EXPECT_EQ(WidthOf(program.Tree(2)), 150);
    EXPECT_GT(program.ComboSelection(1), 0) << "the combos show the folders too";
    EXPECT_GT(program.ComboSelection(2), 0);

    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("GenInfo", "Path1"), Narrow(folderA_));
    EXPECT_EQ(program.Setting("GenInfo", "Path2"), Narrow(folderB_));
    EXPECT_EQ(program.Setting("MForm", "Expl1Focus"), "0");
    EXPECT_EQ(program.Setting("MForm", "Expl2Height"), "0");
    EXPECT_EQ(program.Setting("MForm", "SingleWinB"), "1");
    EXPECT_EQ(program.Setting("MForm", "Hidden"), "1");
    EXPECT_EQ(program.Setting("MForm", "IconList1"), "1") << "flags kept, not the list's view";
    EXPECT_EQ(program.Setting("MForm", "Top"), "20");
    EXPECT_EQ(program.Setting("MForm", "Width"), "900");
    EXPECT_EQ(program.Setting("MForm", "wsNormal"), "1");
    EXPECT_EQ(program.Setting("MForm", "wsMaximized"), "0");
}

TEST_F(ProgramTest, AllViewFlagsOffShowThumbnails)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("IconList1=0\r\nDetails1=0\r\nTumbnails1=0\r\n"));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(TProgramDriver::ListView(program.List(1)), LVS_ICON);
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kIconList)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kDetails)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kThumbnails)));
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramTest, ClosingMinimisedOrMaximisedLeavesTheStoredPlaceAndPaneHeight)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl2Height=200\r\n"));
    ASSERT_TRUE(program.Start());
    // The layout changes, then the window is minimised and closed.
    SendMessageW(program.ToolButton(kSingle), BM_CLICK, 0, 0);
    ASSERT_EQ(HeightOf(program.Pane2Panel()), 0);
    ShowWindow(program.MainWindow(), SW_MINIMIZE);
    program.Settle();
    ASSERT_TRUE(IsIconic(program.MainWindow()));
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Top"), "20");
    EXPECT_EQ(program.Setting("MForm", "Left"), "30");
    EXPECT_EQ(program.Setting("MForm", "Height"), "700");
    EXPECT_EQ(program.Setting("MForm", "Expl2Height"), "200");
    EXPECT_EQ(program.Setting("MForm", "wsNormal"), "0");
    EXPECT_EQ(program.Setting("MForm", "wsMaximized"), "0");

    program.WriteSettings(PaneSettings("Expl2Height=200\r\n"));
    ASSERT_TRUE(program.Start());
    ShowWindow(program.MainWindow(), SW_MAXIMIZE);
    program.Settle();
    SendMessageW(program.ToolButton(kSingle), BM_CLICK, 0, 0);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Top"), "20");
    EXPECT_EQ(program.Setting("MForm", "Width"), "900");
    EXPECT_EQ(program.Setting("MForm", "Expl2Height"), "0");
    EXPECT_EQ(program.Setting("MForm", "wsMaximized"), "1");
}

TEST_F(ProgramTest, TheSinglePaneLayoutIsStoredAndComesBack)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl2Height=200\r\n"));
    ASSERT_TRUE(program.Start());
    program.Click(program.ToolButton(kSingle), POINT{10, 10});
    EXPECT_EQ(HeightOf(program.Pane2Panel()), 0);
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kSingle)));
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Expl2Height"), "0");
    EXPECT_EQ(program.Setting("MForm", "SingleWinB"), "1");

    ASSERT_TRUE(program.Start());
    EXPECT_EQ(HeightOf(program.Pane2Panel()), 0);
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kSingle)));
    // The splitter between the panes still opens pane 2.
    HWND splitter = program.Splitter(2);
    ASSERT_NE(splitter, nullptr);
    program.Drag(splitter, POINT{200, 2}, 0, -150);
    EXPECT_GE(HeightOf(program.Pane2Panel()), 140);
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramTest, ViewButtonsActOnThePaneWithTheFocus)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl2Height=250\r\n"));
    ASSERT_TRUE(program.Start());
    HWND list2 = program.List(2);
    program.Click(list2, POINT{300, 120});  // on the list's background
    ASSERT_EQ(program.Focus(), list2);

    // The button, clicked with the mouse, leaves the focus where it is and changes pane 2.
    program.Click(program.ToolButton(kIconList), POINT{10, 10});
    EXPECT_EQ(program.Focus(), list2);
    EXPECT_EQ(TProgramDriver::ListView(list2), LVS_LIST);
    EXPECT_EQ(TProgramDriver::ListView(program.List(1)), LVS_REPORT);

    // Focus in pane 1's tree: pane 1 changes.
    program.Click(program.Tree(1), POINT{5, 5});
    program.Click(program.ToolButton(kThumbnails), POINT{10, 10});
    EXPECT_EQ(TProgramDriver::ListView(program.List(1)), LVS_ICON);
    EXPECT_EQ(TProgramDriver::ListView(list2), LVS_LIST);

    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "IconList2"), "1");
    EXPECT_EQ(program.Setting("MForm", "Details2"), "0");
    EXPECT_EQ(program.Setting("MForm", "Tumbnails1"), "1");
    EXPECT_EQ(program.Setting("MForm", "Details1"), "0");
    EXPECT_EQ(program.Setting("MForm", "Expl1Focus"), "1") << "the last click was in pane 1";
}

TEST_F(ProgramTest, TheNewFolderButtonMakesTheFolderWhereTheFocusIs)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl2Height=250\r\n"));
    ASSERT_TRUE(program.Start());
    // Focus in pane 2's list: the folder lands in pane 2's folder, its name open for editing.
    program.Click(program.List(2), POINT{300, 120});
    program.Click(program.ToolButton(kNewFolder), POINT{10, 10});
    EXPECT_EQ(GetFileAttributesW((folderB_ + L"\\New Folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    program.Press(VK_ESCAPE);
    EXPECT_EQ(GetFileAttributesW((folderA_ + L"\\New Folder").c_str()), INVALID_FILE_ATTRIBUTES);

    // Focus in pane 1's tree: under the tree's selected folder.
    program.Click(program.Tree(1), POINT{5, 5});
    program.Click(program.ToolButton(kNewFolder), POINT{10, 10});
    program.Press(VK_ESCAPE);
    EXPECT_EQ(GetFileAttributesW((folderA_ + L"\\New Folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramTest, EnteringPaneTwosTreeShowsItsViewOnTheButtons)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("IconList2=1\r\nDetails2=0\r\n"));
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(program.Focus(), program.Tree(1));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kDetails)));
    // Tab through pane 1 (list, path box) into pane 2's tree.
    program.Activate();
    for (int i = 0; i < 3 && program.Focus() != program.Tree(2); ++i)
        program.Press(VK_TAB);
    ASSERT_EQ(program.Focus(), program.Tree(2));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kIconList)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kDetails)));
    // Back in pane 1's tree the buttons stay.
    program.Click(program.Tree(1), POINT{5, 5});
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kIconList)));
    EXPECT_EQ(program.Close(), 0u);
}

TEST_F(ProgramTest, DoubleHorizontalGivesPaneTwoHalfTheWindowLessSixty)
{
    TProgramDriver program(tree_);
    program.WriteSettings(
        "[MForm]\r\nTop=0\r\nLeft=0\r\nWidth=900\r\nHeight=864\r\nwsNormal=1\r\nwsMaximized=0\r\n"
        "SingleWinB=1\r\nExpl2Height=0\r\n");
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(HeightOf(program.MainWindow()), 864);
    program.Click(program.ToolButton(kDual), POINT{10, 10});
    EXPECT_EQ(HeightOf(program.Pane2Panel()), 864 / 2 - DesignScale(60));
    EXPECT_TRUE(TProgramDriver::Down(program.ToolButton(kDual)));
    EXPECT_FALSE(TProgramDriver::Down(program.ToolButton(kSingle)));
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "SingleWinB"), "0");
}

TEST_F(ProgramTest, BothVerticalSplittersKeepTheTreesEquallyWide)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl1Width=120\r\nExpl2Height=250\r\n"));
    ASSERT_TRUE(program.Start());
    program.Drag(program.Splitter(1), POINT{1, 50}, 60, 0);
    EXPECT_EQ(WidthOf(program.TreePanel()), 180);
    EXPECT_EQ(WidthOf(program.Tree(2)), 180);
    program.Drag(program.Splitter(3), POINT{1, 50}, -40, 0);
    EXPECT_EQ(WidthOf(program.Tree(2)), 140);
    EXPECT_EQ(WidthOf(program.TreePanel()), 140);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("MForm", "Expl1Width"), "140");
}

TEST_F(ProgramTest, StoredSizesBeyondTheWindowOrOffEveryMonitorAreBroughtBack)
{
    TProgramDriver program(tree_);
    program.WriteSettings(
        "[MForm]\r\nTop=5000\r\nLeft=-9000\r\nWidth=800\r\nHeight=600\r\nwsNormal=1\r\n"
        "wsMaximized=0\r\nExpl2Height=4000\r\nExpl1Width=-50\r\n");
    ASSERT_TRUE(program.Start());
    RECT window{};
    GetWindowRect(program.MainWindow(), &window);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(window.left, work.left);
    EXPECT_LE(window.right, work.right);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.bottom, work.bottom);
    // Pane 1 keeps some room; the tree panel is not negative.
    RECT list1{};
    GetWindowRect(program.List(1), &list1);
    EXPECT_GT(list1.bottom - list1.top, 0);
    EXPECT_GE(HeightOf(program.Pane2Panel()), 0);
    EXPECT_LT(HeightOf(program.Pane2Panel()), 600);
    EXPECT_EQ(WidthOf(program.TreePanel()), 0);
    EXPECT_EQ(program.Close(), 0u);
}

// The list goes to the stored folder before the tree: where the tree cannot follow (it leaves
// hidden folders out), the pane ends where the tree stops, as if the tree had gone first.
TEST_F(ProgramTest, AStoredFolderTheTreeCannotShowLeavesThePaneOnItsParent)
{
    const std::wstring cave = tree_.Folder(L"data\\cave");
    tree_.File(L"data\\cave\\c.txt", 1);
    SetFileAttributesW(cave.c_str(), FILE_ATTRIBUTE_HIDDEN);
    TProgramDriver program(tree_);
    program.WriteSettings("[GenInfo]\r\nPath1=" + Narrow(cave) +
                          "\r\n[MForm]\r\nwsMaximized=0\r\nHidden=1\r\n");
    ASSERT_TRUE(program.Start());
    const std::wstring data = cave.substr(0, cave.find_last_of(L'\\'));
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(1)), 3) << "alpha, beta and cave";
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("GenInfo", "Path1"), Narrow(data));
}

TEST_F(ProgramTest, AMissingFolderDoesNotHoldUpTheStart)
{
    TProgramDriver program(tree_);
    // A drive that does not exist and a share that does not answer.
    program.WriteSettings("[GenInfo]\r\nPath1=Q:\\gone\r\nPath2=\\\\no-such-host\\share\r\n"
                          "[MForm]\r\nwsMaximized=0\r\n");
    ASSERT_TRUE(program.Start());
    EXPECT_GT(TProgramDriver::ItemCount(program.List(1)), 0) << "pane 1 stays on the desktop";
    EXPECT_GT(TProgramDriver::ItemCount(program.List(2)), 0) << "pane 2 on the computer";
    EXPECT_EQ(program.Close(), 0u);
}

// ---- Bookmarks ----

std::string ExpectedBookmarks(const std::vector<std::string>& lines)
{
    TBookmarkListState state;
    state.Lines = lines;
    return WriteBookmarkStream(state);
}

TEST_F(ProgramTest, BookmarksAreSavedDeletedAndWrittenToTheWorkingDirectory)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings());
    ASSERT_TRUE(program.Start());
    const std::wstring caption = L"Bookmark List  (shortcut Alt-B, 1..10, S or G or D)";
    program.Activate();
    program.Press('B', true);
    ASSERT_TRUE(TProgramDriver::WaitFor([&] { return program.TopWindow(caption) != nullptr; }));
    HWND bookmarks = program.TopWindow(caption);
    HWND list = GetWindow(bookmarks, GW_CHILD);
    while (list != nullptr) {
        wchar_t name[64] = {};
        GetClassNameW(list, name, 64);
        if (std::wstring(name) == L"Bivista.ListBox")
            break;
        list = GetWindow(list, GW_HWNDNEXT);
    }
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return program.Focus() == list; }));

    // The tenth slot takes pane 1's folder (the active pane) and the window closes.
    // The list's own search on the labels finds "1"; the last slot is the tenth.
    program.Press('1');
    program.Press(VK_END);
    ASSERT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 9);
    program.Press('S');
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(bookmarks); }));

    // Slot 3 is cleared; the window stays until Cancel.
    program.Activate();
    program.Press('B', true);
    ASSERT_TRUE(TProgramDriver::WaitFor([&] { return IsWindowVisible(bookmarks) != FALSE; }));
    program.Press('3');
    program.Press('D');
    EXPECT_TRUE(IsWindowVisible(bookmarks));
    program.Press('C');
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(bookmarks); }));

    EXPECT_EQ(program.Close(), 0u);
    std::vector<std::string> lines = InitialBookmarkLines();
    lines[2] = "3 ";
    lines[9] = ": " + Narrow(folderA_);
    EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), ExpectedBookmarks(lines));
    EXPECT_EQ(ReadFileBytes(program.ProgramFolder() + L"\\MyList.DAT"), "");
}

TEST_F(ProgramTest, GotoTakesTheActivePaneToTheStoredFolder)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl1Focus=0\r\n"));
    std::vector<std::string> lines = InitialBookmarkLines();
    lines[4] = "5 " + Narrow(folderA_);
    WriteFileBytes(program.BookmarkFile(), ExpectedBookmarks(lines));
    ASSERT_TRUE(program.Start());
    program.Activate();
    program.Press('B', true);
    const std::wstring caption = L"Bookmark List  (shortcut Alt-B, 1..10, S or G or D)";
    ASSERT_TRUE(TProgramDriver::WaitFor([&] { return program.TopWindow(caption) != nullptr; }));
    HWND bookmarks = program.TopWindow(caption);
    program.Press('5');
    program.Press('G');
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(bookmarks); }));
    // Pane 2 was the active pane: its tree went there and has the focus.
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return program.Focus() == program.Tree(2); }));
    EXPECT_EQ(TProgramDriver::ItemCount(program.List(2)), 5);
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(program.Setting("GenInfo", "Path2"), Narrow(folderA_));
    EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), ExpectedBookmarks(lines));
}

TEST_F(ProgramTest, EachWorkingDirectoryHasItsOwnBookmarkFile)
{
    TProgramDriver program(tree_);
    std::vector<std::string> first = InitialBookmarkLines();
    first[0] = "1 C:\\first";
    WriteFileBytes(program.BookmarkFile(), ExpectedBookmarks(first));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), ExpectedBookmarks(first));

    program.SetWorkFolder(tree_.Folder(L"elsewhere"));
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), ExpectedBookmarks(InitialBookmarkLines()));
}

TEST_F(ProgramTest, ACorruptBookmarkFileIsToldOnceAndKeptAside)
{
    TProgramDriver program(tree_);
    const std::string corrupt = "TPF0\x08TListBox\x08ListBox1\x0DItems.Strings\x01\x06\x40short";
    WriteFileBytes(program.BookmarkFile(), corrupt);
    ASSERT_TRUE(program.Start());
    HWND box = nullptr;
    ASSERT_TRUE(
        TProgramDriver::WaitFor([&] { return (box = program.MessageBoxWindow()) != nullptr; }));
    const std::wstring text = TProgramDriver::MessageText(box);
    EXPECT_NE(text.find(L"MyList.DAT.unreadable"), std::wstring::npos) << Narrow(text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return program.MessageBoxWindow() == nullptr; }));
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_EQ(ReadFileBytes(program.WorkFolder() + L"\\MyList.DAT.unreadable"), corrupt);
    EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), ExpectedBookmarks(InitialBookmarkLines()));
}

TEST_F(ProgramTest, TheAboutBoxIsModalAndAcceptCloses)
{
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings());
    ASSERT_TRUE(program.Start());
    program.Activate();
    program.Press('H', true);
    program.Press(VK_RETURN);
    HWND about = nullptr;
    ASSERT_TRUE(TProgramDriver::WaitFor(
        [&] { return (about = program.TopWindow(L"About Bivista")) != nullptr; }));
    EXPECT_FALSE(IsWindowEnabled(program.MainWindow()));
    HWND button = FindWindowExW(about, nullptr, L"Bivista.Button", L"Accept");
    ASSERT_NE(button, nullptr);
    PostMessageW(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(TProgramDriver::WaitFor([&] { return !IsWindowVisible(about); }));
    EXPECT_TRUE(IsWindowEnabled(program.MainWindow()));
    EXPECT_EQ(program.Close(), 0u);
}

// Pictures of the program for a person to look at (run with --gtest_also_run_disabled_tests;
// they go to /tmp/bivista-shots): two panes, one pane, the bookmark list, the about box.
TEST_F(ProgramTest, DISABLED_Screenshots)
{
    CreateDirectoryW(L"Z:\\tmp\\bivista-shots", nullptr);
    TProgramDriver program(tree_);
    program.WriteSettings(PaneSettings("Expl2Height=280\r\nExpl1Width=160\r\n"));
    ASSERT_TRUE(program.Start());
    Sleep(1500);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/two-panes.png"));
    program.Click(program.ToolButton(kSingle), POINT{10, 10});
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/single-pane.png"));
    program.Click(program.ToolButton(kDual), POINT{10, 10});
    program.Activate();
    program.Press('B', true);
    program.Press('2');
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/bookmarks.png"));
    program.Press('C');
    program.Activate();
    program.Press('H', true);
    program.Press(VK_RETURN);
    Sleep(800);
    EXPECT_TRUE(SaveScreenshot("/tmp/bivista-shots/about.png"));
    HWND about = program.TopWindow(L"About Bivista");
    if (about != nullptr)
        PostMessageW(FindWindowExW(about, nullptr, L"Bivista.Button", L"Accept"), BM_CLICK, 0, 0);
    program.Settle();
    EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
