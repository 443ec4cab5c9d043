// The bookmark window on a stand-in for the main window's active tree.
#include "app/Bookmark.h"
#include "app/BookmarkStream.h"
#include "common/DialogAnswerer.h"
#include "common/Input.h"
#include "common/TempTree.h"
#include "ui/Application.h"
#include "ui/ListBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TFakeTree : public IBookmarkTarget {
public:
    std::wstring folder;
    std::vector<std::wstring> calls;

    std::wstring ActiveTreeFolder() override { return folder; }
    void SelectInActiveTree(const std::wstring& path) override
    {
        calls.push_back(L"select " + path);
    }
    void RefreshActiveTree() override { calls.push_back(L"refresh"); }
    void FocusActiveTree() override { calls.push_back(L"focus"); }
};

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
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

class BookmarkTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        previousDirectory_ = current;
        SetCurrentDirectoryW(tree_.Root().c_str());
        application_ = std::make_unique<TApplication>();
        application_->OnException = [](TObject*, const std::exception& e) {
            ADD_FAILURE() << "exception escaped: " << e.what();
        };
    }
    void TearDown() override
    {
        form_.reset();
        application_.reset();
        SetCurrentDirectoryW(previousDirectory_.c_str());
    }

    TfrmBookmark& Open()
    {
        if (!form_) {
            form_ = std::make_unique<TfrmBookmark>(nullptr);
            form_->SetTarget(&target_);
        }
        form_->Open();
        FlushInput();
        return *form_;
    }
    // The window goes, as at the end of the program: the file is written.
    std::string CloseProgram()
    {
        form_.reset();
        return ReadAll(tree_.Path(L"MyList.DAT"));
    }
    void Select(int slot) { form_->ListBox1->SetItemIndex(slot); }
    bool Shown() const { return IsWindowVisible(form_->WindowHandle()) != FALSE; }

    TTempTree tree_;
    std::wstring previousDirectory_;
    std::unique_ptr<TApplication> application_;
    std::unique_ptr<TfrmBookmark> form_;
    TFakeTree target_;
};

TEST_F(BookmarkTest, SavingIntoTheTenthSlotWritesAColonLineThatGotoFollows)
{
    target_.folder = tree_.Folder(L"ten");
    TfrmBookmark& form = Open();
    EXPECT_EQ(GetFocus(), form.ListBox1->WindowHandle());
    Select(9);
    form.GotoSlot();
    EXPECT_TRUE(target_.calls.empty()) << "the initial line \"10\" holds no folder";
    EXPECT_TRUE(Shown());

    PressKey('S');
    FlushInput();
    EXPECT_FALSE(Shown()) << "saving closes the window";
    const std::string line = ": " + std::string(target_.folder.begin(), target_.folder.end());
    EXPECT_EQ(form.Lines()[9], line);

    Open();
    Select(9);
    PressKey('G');
    FlushInput();
    const std::vector<std::wstring> calls{L"select " + target_.folder, L"refresh", L"focus"};
    EXPECT_EQ(target_.calls, calls);
    EXPECT_FALSE(Shown());

    TBookmarkListState expected;
    expected.Lines = InitialBookmarkLines();
    expected.Lines[9] = line;
    EXPECT_EQ(CloseProgram(), WriteBookmarkStream(expected));
}

TEST_F(BookmarkTest, DeleteLeavesTheLabelAndASpaceAndKeepsTheWindowOpen)
{
    TfrmBookmark& form = Open();
    Select(2);
    PressKey('D');
    FlushInput();
    EXPECT_EQ(form.Lines()[2], "3 ");
    EXPECT_TRUE(Shown());
    EXPECT_EQ(form.ListBox1->Items()[2], L"3 ");
}

TEST_F(BookmarkTest, GotoAFolderThatIsGoneStillRefreshesClosesAndFocuses)
{
    TfrmBookmark& form = Open();
    Select(0);  // "1 C:\tmp" does not exist in the test prefix
    form.GotoSlot();
    const std::vector<std::wstring> calls{L"refresh", L"focus"};
    EXPECT_EQ(target_.calls, calls);
}

TEST_F(BookmarkTest, WithoutASelectedSlotTheCommandsDoNothing)
{
    TfrmBookmark& form = Open();
    Select(-1);
    target_.folder = L"C:\\";
    form.SaveSlot();
    form.GotoSlot();
    form.DeleteSlot();
    PressKey('C');
    FlushInput();
    EXPECT_TRUE(Shown());
    EXPECT_EQ(form.Lines(), InitialBookmarkLines());
    EXPECT_TRUE(target_.calls.empty());
    // The Cancel button closes at any time; the key only with a slot selected.
    Select(4);
    PressKey('C');
    FlushInput();
    EXPECT_FALSE(Shown());
}

TEST_F(BookmarkTest, AFolderOutsideTheCodePageIsKeptByItsShortName)
{
    // A name the system code page has no characters for.
    const std::wstring name = GetACP() == 932 ? L"\u0416\u0416" : L"\u65E5\u672C";
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "every name fits a UTF-8 code page";
    target_.folder = tree_.Folder(name);
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(target_.folder.c_str(), shortPath, MAX_PATH), 0u);
    TfrmBookmark& form = Open();
    Select(1);
    form.SaveSlot();
    const std::wstring shortText = shortPath;
    EXPECT_EQ(form.Lines()[1], "2 " + std::string(shortText.begin(), shortText.end()));
    EXPECT_EQ(form.Lines()[1].find('?'), std::string::npos);
    // And it leads back to the same folder.
    Open();
    Select(1);
    form.GotoSlot();
    ASSERT_FALSE(target_.calls.empty());
    EXPECT_EQ(target_.calls[0], L"select " + shortText);
}

TEST_F(BookmarkTest, TheFileOfTheCurrentDirectoryIsRead)
{
    TBookmarkListState stored;
    stored.Lines = InitialBookmarkLines();
    stored.Lines[5] = "6 C:\\windows";
    WriteAll(tree_.Path(L"MyList.DAT"), WriteBookmarkStream(stored));
    TfrmBookmark& form = Open();
    EXPECT_EQ(form.Lines(), stored.Lines);
    EXPECT_EQ(form.ListBox1->Items()[5], L"6 C:\\windows");
    EXPECT_TRUE(form.Problem().empty());
}

TEST_F(BookmarkTest, ACorruptFileIsToldOnceKeptAsideAndNotWrittenOver)
{
    const std::string corrupt = "TPF0\x08TListBox\x08ListBox1\x04Left\x02";
    WriteAll(tree_.Path(L"MyList.DAT"), corrupt);
    {
        TDialogAnswerer answerer(L"", IDOK);
        Open();
        PumpMessages(200);
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(form_->Lines(), InitialBookmarkLines());
    EXPECT_NE(form_->Problem().find(L"MyList.DAT.unreadable"), std::wstring::npos);
    EXPECT_EQ(ReadAll(tree_.Path(L"MyList.DAT.unreadable")), corrupt);
    {
        TDialogAnswerer answerer(L"", IDOK, 300);
        form_->Close();
        Open();
        PumpMessages(100);
        EXPECT_TRUE(answerer.Seen().empty()) << "told once";
    }
    TBookmarkListState fresh;
    fresh.Lines = InitialBookmarkLines();
    EXPECT_EQ(CloseProgram(), WriteBookmarkStream(fresh));
    EXPECT_EQ(ReadAll(tree_.Path(L"MyList.DAT.unreadable")), corrupt);
}

TEST_F(BookmarkTest, AFailedWriteAtTheEndIsReported)
{
    Open();
    tree_.Folder(L"MyList.DAT.new");  // the temporary file cannot be made
    TDialogAnswerer answerer(L"", IDOK);
    form_.reset();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(GetFileAttributesW(tree_.Path(L"MyList.DAT").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
