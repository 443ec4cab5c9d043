// The shell's file operation on real files: each operation with the quiet options, several
// sources in one call, failures and aborts never reported as success, and the owner window.
#include "controls/common/FileOperation.h"
#include "common/DialogAnswerer.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "controls/common/ZelBaseDialog.h"
#include "shell/PathUtils.h"
#include "shell/ShellHost.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FileOperationTest : public testing::Test {
protected:
    void SetUp() override
    {
        operation = std::make_unique<TZelFileOperation>(nullptr);
        operation->Options = soSilent | soNoConfirmation | soNoErrorUI;
    }
    std::string Content(const std::wstring& path)
    {
        std::string text;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        char buffer[256];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
            text.append(buffer, read);
        CloseHandle(file);
        return text;
    }

    TTempTree tree;
    std::unique_ptr<TZelFileOperation> operation;
};

TEST_F(FileOperationTest, CopiesMovesRenamesAndDeletesRealFiles)
{
    tree.TextFile(L"a.txt", "alpha");
    tree.TextFile(L"b c.txt", "beta");
    tree.TextFile(L"\u00e9t\u00e9 \u65e5.txt", "unicode");
    tree.Folder(L"copies");
    tree.Folder(L"moved");

    // Three sources in one call: every one of them arrives.
    operation->SetSourceFiles(
        {tree.Path(L"a.txt"), tree.Path(L"b c.txt"), tree.Path(L"\u00e9t\u00e9 \u65e5.txt")});
    operation->Destination = tree.Path(L"copies");
    EXPECT_TRUE(operation->Execute());
    EXPECT_FALSE(operation->AnyOperationsAborted());
    EXPECT_EQ(Content(tree.Path(L"copies\\a.txt")), "alpha");
    EXPECT_EQ(Content(tree.Path(L"copies\\b c.txt")), "beta");
    EXPECT_EQ(Content(tree.Path(L"copies\\\u00e9t\u00e9 \u65e5.txt")), "unicode");
    EXPECT_EQ(Content(tree.Path(L"a.txt")), "alpha");

    operation->Operation = otMove;
    operation->SetSourceFiles({tree.Path(L"a.txt")});
    operation->Destination = tree.Path(L"moved");
    EXPECT_TRUE(operation->Execute());
    EXPECT_EQ(Content(tree.Path(L"moved\\a.txt")), "alpha");
    EXPECT_FALSE(PathExists(tree.Path(L"a.txt")));

    operation->Operation = otRename;
    operation->SetSourceFiles({tree.Path(L"moved\\a.txt")});
    operation->Destination = tree.Path(L"moved\\renamed.txt");
    EXPECT_TRUE(operation->Execute());
    EXPECT_EQ(Content(tree.Path(L"moved\\renamed.txt")), "alpha");
    EXPECT_FALSE(PathExists(tree.Path(L"moved\\a.txt")));

    operation->Operation = otDelete;
    operation->SetSourceFiles({tree.Path(L"copies\\a.txt"), tree.Path(L"copies\\b c.txt")});
    operation->Destination.clear();
    EXPECT_TRUE(operation->Execute());
    EXPECT_FALSE(PathExists(tree.Path(L"copies\\a.txt")));
    EXPECT_FALSE(PathExists(tree.Path(L"copies\\b c.txt")));
    EXPECT_TRUE(PathExists(tree.Path(L"copies\\\u00e9t\u00e9 \u65e5.txt")));
}

TEST_F(FileOperationTest, AMissingSourceIsAFailureNotASuccess)
{
    tree.TextFile(L"here.txt", "here");
    tree.Folder(L"target");
    operation->SetSourceFiles({tree.Path(L"missing.txt")});
    operation->Destination = tree.Path(L"target");
    EXPECT_FALSE(operation->Execute());
    EXPECT_NE(operation->LastResult(), 0);
    EXPECT_FALSE(PathExists(tree.Path(L"target\\missing.txt")));

    // A missing file among present ones is not dropped quietly from the request.
    operation->SetSourceFiles({tree.Path(L"here.txt"), tree.Path(L"missing.txt")});
    EXPECT_EQ(operation->SourceFiles().Count(), 2);
    EXPECT_FALSE(operation->Execute());

    // Nothing to act on is not a success either.
    operation->SourceFiles().Clear();
    EXPECT_FALSE(operation->Execute());
}

TEST_F(FileOperationTest, AnOperationTheUserCancelsIsNotASuccess)
{
    tree.TextFile(L"a.txt", "new");
    tree.TextFile(L"target\\a.txt", "old");
    operation->Options = soSilent;  // the shell asks before it replaces a file
    operation->SetSourceFiles({tree.Path(L"a.txt")});
    operation->Destination = tree.Path(L"target");
    bool result = true;
    {
        TDialogAnswerer answerer(L"", IDCANCEL);
        result = operation->Execute();
        EXPECT_FALSE(answerer.Seen().empty());
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(Content(tree.Path(L"target\\a.txt")), "old");
}

TEST_F(FileOperationTest, ALongSourcePathReachesTheShellWhole)
{
    // A folder chain deeper than MAX_PATH, with a decoy beside the file whose name is what a
    // path cut at MAX_PATH characters would name.
    std::wstring relative;
    while (tree.Path(relative).size() < MAX_PATH - 40)
        relative += std::wstring(30, L'd') + L"\\";
    tree.Folder(relative);
    const std::wstring name = std::wstring(80, L'f') + L".txt";
    const std::wstring source = tree.Path(relative + name);
    ASSERT_GT(source.size(), static_cast<size_t>(MAX_PATH));
    const std::wstring decoy = source.substr(0, MAX_PATH - 1);
    HANDLE file = CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "the file system takes no path of " << source.size() << " characters";
    CloseHandle(file);
    tree.TextFile(decoy.substr(tree.Root().size()), "decoy");
    tree.Folder(L"target");

    operation->SetSourceFiles({source});
    ASSERT_EQ(operation->SourceFiles()[0], source);
    operation->Destination = tree.Path(L"target");
    const bool result = operation->Execute();
    // The shell may refuse a long path; it must never act on the decoy instead.
    EXPECT_FALSE(PathExists(tree.Path(L"target\\") + ExtractFileName(decoy)));
    EXPECT_EQ(result, PathExists(tree.Path(L"target\\") + name));
}

TEST(DialogOwnerWindowTest, IsTheFormOfTheFirstWindowedOwnerElseTheMainWindow)
{
    TTestForm form;
    auto* inner = new TTestForm(&form);  // a windowed owner that is itself owned
    TZelFileOperation owned(inner);
    (void)form.Handle();
    HWND innerWindow = inner->Handle();
    EXPECT_EQ(DialogOwnerWindow(&owned), GetAncestor(innerWindow, GA_ROOT));
    TZelFileOperation ownerless(nullptr);
    EXPECT_EQ(DialogOwnerWindow(&ownerless), MainWindowHandle());
    ASSERT_NE(Application, nullptr);
    EXPECT_EQ(DialogOwnerWindow(&ownerless), Application->Handle());
}

}  // namespace
