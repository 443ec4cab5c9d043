// What the program finds at start but cannot use for now (a bookmark file held by another
// program, a stored folder that cannot be reached) is left as it was when the program ends.
#include "ProgramDriver.h"

#include "app/BookmarkStream.h"
#include "common/TempTree.h"
#include "core/ScopedResource.h"
#include "core/TextConversion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(const std::wstring& text)
{
    return WideToNarrow(text);
}

class ProgramStoredStateTest : public testing::Test {
protected:
    TTempTree tree_;
};

struct THeldFile {
    const char* name;
    DWORD share;
};

// Another program has the bookmark file open in a way that keeps this one from reading it.
TEST_F(ProgramStoredStateTest, ABookmarkFileInUseIsToldOnceAndLeftAsItIs)
{
    const THeldFile cases[] = {
        {"not shared", 0},
        {"shared for deleting only", FILE_SHARE_DELETE},
    };
    for (const THeldFile& held : cases) {
        SCOPED_TRACE(held.name);
        TProgramDriver program(tree_, L"work-" + NarrowToWide(held.name));
        TBookmarkListState stored;
        stored.Lines = InitialBookmarkLines();
        stored.Lines[3] = "4 C:\\kept";
        const std::string bytes = WriteBookmarkStream(stored);
        WriteFileBytes(program.BookmarkFile(), bytes);
        TScopedHandle other(CreateFileW(program.BookmarkFile().c_str(), GENERIC_READ, held.share,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(other);

        ASSERT_TRUE(program.Start());
        HWND box = nullptr;
        ASSERT_TRUE(
            TProgramDriver::WaitFor([&] { return (box = program.MessageBoxWindow()) != nullptr; }));
        const std::wstring text = TProgramDriver::MessageText(box);
        EXPECT_NE(text.find(L"MyList.DAT"), std::wstring::npos) << Narrow(text);
        EXPECT_EQ(text.find(L"unreadable"), std::wstring::npos) << Narrow(text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(TProgramDriver::WaitFor([&] { return program.MessageBoxWindow() == nullptr; }));

        // Free again before the end: the program must still not write lines it never read.
        other.reset();
        program.Settle();
        EXPECT_EQ(program.MessageBoxWindow(), nullptr) << "told once";
        EXPECT_EQ(program.Close(), 0u);
        EXPECT_EQ(ReadFileBytes(program.BookmarkFile()), bytes);
        EXPECT_EQ(GetFileAttributesW((program.BookmarkFile() + L".unreadable").c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }
}

struct TUnreachablePane {
    const char* name;
    int pane;
};

// A pane whose folder is away this time falls back, but the folder stays stored for the next
// start; the other pane writes where it is, as always.
TEST_F(ProgramStoredStateTest, AStoredFolderThatCannotBeReachedIsWrittenBackUnchanged)
{
    const std::wstring reachable = tree_.Folder(L"data\\here");
    const std::wstring gone = tree_.Path(L"data\\gone");
    for (const TUnreachablePane& unreachable :
         {TUnreachablePane{"pane 1", 1}, TUnreachablePane{"pane 2", 2}}) {
        SCOPED_TRACE(unreachable.name);
        const std::string path1 = Narrow(unreachable.pane == 1 ? gone : reachable);
        const std::string path2 = Narrow(unreachable.pane == 2 ? gone : reachable);
        TProgramDriver program(tree_);
        program.WriteSettings("[GenInfo]\r\nPath1=" + path1 + "\r\nPath2=" + path2 +
                              "\r\n[MForm]\r\nwsMaximized=0\r\n");
        ASSERT_TRUE(program.Start());
        EXPECT_GT(TProgramDriver::ItemCount(program.List(unreachable.pane)), 0) << "fell back";
        EXPECT_EQ(program.Close(), 0u);
        EXPECT_EQ(program.Setting("GenInfo", "Path1"), path1);
        EXPECT_EQ(program.Setting("GenInfo", "Path2"), path2);
    }
}

TEST_F(ProgramStoredStateTest, APaneTakenElsewhereAfterFallingBackWritesItsNewFolder)
{
    const std::string gone = Narrow(tree_.Path(L"data\\gone"));
    TProgramDriver program(tree_);
    program.WriteSettings("[GenInfo]\r\nPath2=" + gone + "\r\n[MForm]\r\nwsMaximized=0\r\n");
    ASSERT_TRUE(program.Start());
    // The user picks the top of pane 2's tree.
    HWND tree = program.Tree(2);
    const auto top = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    const auto before =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    ASSERT_NE(top, nullptr);
    ASSERT_NE(top, before);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(top));
    program.Settle();
    EXPECT_EQ(program.Close(), 0u);
    const std::string written = program.Setting("GenInfo", "Path2");
    EXPECT_NE(written, gone);
    EXPECT_FALSE(written.empty());
}

}  // namespace
