// The bookmark file: its exact bytes, reading it back, and files that cannot be read.
#include "app/BookmarkStream.h"
#include "app/BookmarkFile.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A length byte and the text.
std::string Short(const std::string& text)
{
    return std::string(1, static_cast<char>(text.size())) + text;
}

// The file a list with the given lines makes, assembled from the format's rules.
std::string ExpectedFile(const std::vector<std::string>& lines)
{
    std::string bytes = "TPF0" + Short("TListBox") + Short("ListBox1");
    bytes += Short("Left") + std::string("\x02\x08", 2);
    bytes += Short("Top") + std::string("\x02\x28", 2);
    bytes += Short("Width") + std::string("\x03\x09\x02", 3);
    bytes += Short("Height") + std::string("\x03\x99\x00", 3);
    bytes += Short("Font.Charset") + "\x07" + Short("DEFAULT_CHARSET");
    bytes += Short("Font.Color") + "\x07" + Short("clWindowText");
    bytes += Short("Font.Height") + std::string("\x02\xF4", 2);
    bytes += Short("Font.Name") + "\x06" + Short("Tahoma");
    bytes += Short("Font.Style") + std::string("\x0B\x00", 2);
    bytes += Short("ItemHeight") + std::string("\x02\x0E", 2);
    bytes += Short("Items.Strings") + "\x01";
    for (const std::string& line : lines)
        bytes += "\x06" + Short(line);
    bytes += std::string(1, '\0');
    bytes += Short("ParentFont") + "\x08";
    bytes += Short("TabOrder") + std::string("\x02\x00", 2);
    bytes += std::string(2, '\0');
    return bytes;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TBookmarkListState InitialState()
{
    TBookmarkListState state;
    state.Lines = InitialBookmarkLines();
    return state;
}

TEST(BookmarkStream, TheInitialListIsWrittenByteForByte)
{
    const std::vector<std::string> lines{"1 C:\\tmp", "2 C:\\temp", "3", "4", "5",
                                         "6",         "7",          "8", "9", "10"};
    EXPECT_EQ(InitialBookmarkLines(), lines);
    EXPECT_EQ(WriteBookmarkStream(InitialState()), ExpectedFile(lines));
}

TEST(BookmarkStream, WhatIsWrittenReadsBackTheSame)
{
    TBookmarkListState state = InitialState();
    state.Lines[9] = ": C:\\windows";
    state.Lines[2] = "3 ";
    state.Lines[4] = "5 " + std::string(300, 'x');  // a long text has a 4-byte length
    state.Width = 70000;                            // and a large number 4 bytes
    state.FontHeight = -200;
    state.FontStyle = {"fsBold", "fsUnderline"};
    const std::string bytes = WriteBookmarkStream(state);
    EXPECT_NE(bytes.find(std::string("\x0C\x2E\x01\x00\x00", 5)), std::string::npos);

    const TBookmarkListState read = ReadBookmarkStream(bytes);
    EXPECT_EQ(read.Lines, state.Lines);
    EXPECT_EQ(read.Width, 70000);
    EXPECT_EQ(read.FontHeight, -200);
    EXPECT_EQ(read.FontStyle, state.FontStyle);
    EXPECT_EQ(WriteBookmarkStream(read), bytes);
}

TEST(BookmarkStream, EveryCutOfAFileIsRefusedWithoutReadingPastItsEnd)
{
    const std::string whole = WriteBookmarkStream(InitialState());
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_THROW(ReadBookmarkStream(whole.substr(0, length)), EBookmarkStreamError)
            << "cut at " << length;
}

TEST(BookmarkStream, ForeignAndCorruptContentsAreRefused)
{
    const std::string whole = WriteBookmarkStream(InitialState());
    const size_t lines = whole.find("Items.Strings") + 13;

    std::string lengthTooLong = whole;
    lengthTooLong[lines + 2] = '\xFF';  // the first line claims 255 bytes
    std::string longTextTooLong = whole.substr(0, lines + 1) + "\x0C\xFF\xFF\xFF\x7F" + "abc";
    std::string unknownType = whole;
    unknownType[lines + 1] = '\x15';
    std::string otherClass = "TPF0" + Short("TMemo") + whole.substr(4 + 9);
    std::string trailing = whole + "more";
    std::string text = "1 C:\\tmp\r\n2 C:\\temp\r\n";

    for (const std::string& bytes :
         {lengthTooLong, longTextTooLong, unknownType, otherClass, trailing, text})
        EXPECT_THROW(ReadBookmarkStream(bytes), EBookmarkStreamError);
}

TEST(BookmarkStream, ListsNestedInTheLinesAreRefusedAtAnyDepth)
{
    // A list inside the lines is refused before it is read: a file of nested lists must not
    // take the reader down into as many calls as it has bytes.
    const std::string whole = WriteBookmarkStream(InitialState());
    const size_t lines = whole.find("Items.Strings") + 13;
    for (size_t depth : {size_t{1}, size_t{4000000}}) {
        const std::string nested =
            whole.substr(0, lines) + std::string(depth + 1, '\x01') + std::string(depth + 1, '\0');
        EXPECT_THROW(ReadBookmarkStream(nested), EBookmarkStreamError) << "depth " << depth;
    }
}

class BookmarkFileTest : public testing::Test {
protected:
    TTempTree tree_;
    std::wstring file_ = tree_.Path(L"MyList.DAT");
};

TEST_F(BookmarkFileTest, AMissingFileGivesTheInitialLines)
{
    const TBookmarkReadResult result = LoadBookmarkFile(file_);
    EXPECT_EQ(result.Status, TBookmarkLoad::blMissing);
    EXPECT_EQ(result.State.Lines, InitialBookmarkLines());
}

TEST_F(BookmarkFileTest, SavingReplacesTheFileWholeAndLeavesNothingElse)
{
    WriteAll(file_, "old");
    TBookmarkListState state = InitialState();
    state.Lines[0] = "1 C:\\saved";
    SaveBookmarkFile(file_, state);
    EXPECT_EQ(ReadAll(file_), WriteBookmarkStream(state));
    EXPECT_EQ(GetFileAttributesW((file_ + L".new").c_str()), INVALID_FILE_ATTRIBUTES);

    const TBookmarkReadResult result = LoadBookmarkFile(file_);
    EXPECT_EQ(result.Status, TBookmarkLoad::blLoaded);
    EXPECT_EQ(result.State.Lines[0], "1 C:\\saved");
}

TEST_F(BookmarkFileTest, AFailedWriteIsReportedAndKeepsTheOldFile)
{
    const std::string old = WriteBookmarkStream(InitialState());
    WriteAll(file_, old);
    // The temporary file's place is taken by a folder: nothing can be written.
    tree_.Folder(L"MyList.DAT.new");
    TBookmarkListState state = InitialState();
    state.Lines[0] = "1 C:\\lost";
    EXPECT_THROW(SaveBookmarkFile(file_, state), Exception);
    EXPECT_EQ(ReadAll(file_), old);
}

TEST_F(BookmarkFileTest, AnUnreadableFileIsKeptAsideUnderAFreeName)
{
    WriteAll(file_, "TPF0\x08TListBox");
    WriteAll(file_ + L".unreadable", "an older one");
    const TBookmarkReadResult result = LoadBookmarkFile(file_);
    EXPECT_EQ(result.Status, TBookmarkLoad::blKeptAside);
    EXPECT_EQ(result.State.Lines, InitialBookmarkLines());
    EXPECT_EQ(result.KeptAs, file_ + L".unreadable-2");
    EXPECT_EQ(ReadAll(result.KeptAs), "TPF0\x08TListBox");
    EXPECT_EQ(ReadAll(file_ + L".unreadable"), "an older one");
    EXPECT_EQ(GetFileAttributesW(file_.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring text = BookmarkProblemText(file_, result);
    EXPECT_NE(text.find(L"ends inside"), std::wstring::npos) << text;
    EXPECT_NE(text.find(result.KeptAs), std::wstring::npos) << text;
}

TEST_F(BookmarkFileTest, AFileThatCannotBeMovedAsideIsLeftAndFlagged)
{
    WriteAll(file_, "garbage");
    // Held open without delete sharing: it cannot be renamed.
    HANDLE held = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const TBookmarkReadResult result = LoadBookmarkFile(file_);
    CloseHandle(held);
    EXPECT_EQ(result.Status, TBookmarkLoad::blUnreadable);
    EXPECT_EQ(ReadAll(file_), "garbage");
}

}  // namespace
