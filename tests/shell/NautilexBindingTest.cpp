// Binding the browser to folders and moving its object cursor, against real folders.
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathUtils.h"

#include <atomic>
#include <thread>

TEST(NautilexBinding, FolderPathsReadBackWithTrailingBackslash)
{
    TTempTree tree;
    const std::wstring path = tree.Folder(L"sub");
    auto browser = MakeBrowser();
    browser->SetFolder(path);
    EXPECT_EQ(browser->GetFolder(), path + L"\\");
    // Bound by ID list, the path is computed from the list.
    auto other = MakeBrowser();
    other->SetFolderIDList(browser->FolderIDList());
    EXPECT_TRUE(SameText(other->GetFolder(), path + L"\\")) << other->GetFolder();

    EXPECT_TRUE(browser->IsFileFolder());
    browser->SetFolder(tree.Folder(L"packed.ZIP"));
    EXPECT_FALSE(browser->IsFileFolder());

    // The empty path is the computer folder, which has no path.
    browser->SetFolder(L"");
    EXPECT_EQ(browser->GetFolder(), L"");
    EXPECT_EQ(browser->GetSpecialFolder(), SF_DRIVES);
    EXPECT_FALSE(browser->IsFileFolder());
}

TEST(NautilexBinding, SameFolderInOtherCaseNeitherRebindsNorRestartsTheEnumeration)
{
    TTempTree tree;
    tree.File(L"one.txt");
    tree.File(L"two.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    ASSERT_TRUE(browser->HasDetails());
    ASSERT_TRUE(browser->NextObject());
    const std::wstring first = browser->GetObjectName();

    browser->SetFolder(UpperCase(tree.Root()));
    EXPECT_EQ(browser->GetObjectName(), first);
    ASSERT_TRUE(browser->NextObject());
    EXPECT_NE(browser->GetObjectName(), first);
    browser->HasDetails();
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);
}

TEST(NautilexBinding, BindingFailures)
{
    TTempTree tree;
    const TOwnedIDList file = IDListFromPath(nullptr, tree.File(L"plain.txt"));
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());

    const std::wstring missing = tree.Path(L"missing\\deeper");
    ASSERT_FALSE(SystemErrorMessage(ERROR_PATH_NOT_FOUND).empty());
    EXPECT_EQ(CaughtMessage([&] { browser->SetFolder(missing); }),
              SystemErrorMessage(ERROR_PATH_NOT_FOUND) + L"\r\n" + missing);
    EXPECT_EQ(browser->GetFolder(), tree.Root());

    // A file cannot be bound as a folder; nothing of the old binding may be served after it.
    ASSERT_TRUE(browser->NextObject());
    const std::wstring prefix =
        L"Nautilex.SetFolderIDList: Desktop.BindToObject: Could not get IShellFolder interface. (";
    const std::wstring message = CaughtMessage([&] { browser->SetFolderIDList(file); });
    EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
    EXPECT_EQ(message.back(), L')');
    EXPECT_EQ(browser->GetFolder(), L"");
    EXPECT_FALSE(browser->HasObject());
    EXPECT_FALSE(browser->NextObject());
}

TEST(NautilexBinding, MovesUpAndDownTheNamespace)
{
    TTempTree tree;
    tree.File(L"sub\\inner.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Path(L"sub"));
    EXPECT_TRUE(browser->SelectFolderInParent());
    EXPECT_TRUE(SameText(browser->GetFolder(), tree.Root()));
    EXPECT_EQ(browser->GetObjectName(), L"sub");
    EXPECT_TRUE(browser->EnterObject());
    EXPECT_TRUE(SameText(browser->GetFolder(), tree.Path(L"sub\\")));
    EXPECT_FALSE(browser->HasObject());
    browser->SetObjectName(L"inner.txt");
    EXPECT_FALSE(browser->EnterObject());  // a file is not entered
    EXPECT_EQ(browser->GetObjectName(), L"inner.txt");

    // The desktop has no parent: it stays the folder, with no object.
    browser->SetSpecialFolder(SF_DESKTOP);
    EXPECT_TRUE(browser->SelectFolderInParent());
    EXPECT_EQ(browser->GetSpecialFolder(), SF_DESKTOP);
    EXPECT_FALSE(browser->HasObject());
}

TEST(NautilexBinding, SelectsObjectsByNameDriveRootAndFullPath)
{
    TTempTree tree;
    const std::wstring file = tree.File(L"dir\\file.txt");
    auto browser = MakeBrowser();
    for (const wchar_t* root : {L"C:\\", L"C:"}) {
        browser->SetObjectName(root);
        EXPECT_EQ(browser->GetSpecialFolder(), SF_DRIVES) << root;
        EXPECT_EQ(browser->GetObjectName(), L"C:\\") << root;
    }
    browser->SetObjectName(file);
    EXPECT_EQ(browser->GetFolder(), tree.Path(L"dir\\"));
    EXPECT_EQ(browser->GetObjectName(), L"file.txt");
    browser->SetObjectName(tree.Path(L"dir\\"));
    EXPECT_EQ(browser->GetFolder(), tree.Root());
    EXPECT_EQ(browser->GetObjectName(), L"dir");

    EXPECT_EQ(CaughtMessage([&] { browser->SetObjectName(L"absent.txt"); }),
              L"Error! Cannot find Object \"absent.txt\" in Folder \"" + tree.Root() + L"\"");
}

TEST(NautilexBinding, FindsObjectsByDisplayNameEvenFromTheMiddleOfAPass)
{
    // The computer folder and the control panel parse no display names: they are walked.
    auto browser = MakeBrowser();
    browser->SetSpecialFolder(SF_DRIVES);
    browser->SetObjectName(L"control panel");
    EXPECT_EQ(browser->DisplayName(), L"Control Panel");

    browser->SetSpecialFolder(SF_CONTROLS);
    ASSERT_TRUE(browser->NextObject());
    const std::wstring first = browser->DisplayName();
    ASSERT_TRUE(browser->NextObject());
    ASSERT_NE(browser->DisplayName(), first);
    browser->SetObjectName(first);
    EXPECT_EQ(browser->DisplayName(), first);
    ASSERT_TRUE(browser->NextObject());  // a successful search ends its pass
    EXPECT_EQ(browser->DisplayName(), first);
}

TEST(NautilexBinding, AbsoluteListIsBuiltOncePerObject)
{
    TTempTree tree;
    tree.File(L"a.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    EXPECT_EQ(browser->AbsoluteIDList(), nullptr);  // no object, no list
    browser->SetObjectName(L"a.txt");
    const TBorrowedIDList first = browser->AbsoluteIDList();
    browser->ImageIndex();
    browser->OpenImageIndex();
    EXPECT_EQ(browser->AbsoluteIDList(), first);
    EXPECT_EQ(browser->QueryCounts().AbsoluteIDList, 1);
    EXPECT_EQ(PathFromIDList(first), tree.Path(L"a.txt"));
}

// A browser on a worker thread (the pool's icon and thumbnail items use one) turns critical-
// error boxes off for its own thread only: the process's mode belongs to the GUI thread, and
// saving and restoring it from two threads at once would leave either's mode behind.
TEST(NautilexBinding, ABrowserOnAWorkerLeavesTheProcessErrorModeAlone)
{
    TTempTree tree;
    tree.File(L"a.txt", 1);
    tree.Folder(L"sub");
    const UINT saved = SetErrorMode(0);
    std::atomic<bool> done{false};
    DWORD workerModeAfter = 1234;
    std::thread worker([&] {
        const TComInitScope com;
        const DWORD before = GetThreadErrorMode();
        auto browser = MakeBrowser();
        browser->ShowErrorMessages = false;
        for (int round = 0; round < 40; ++round) {
            browser->SetFolder(round % 2 == 0 ? tree.Root() : tree.Path(L"sub"));
            browser->SetFolder(tree.Root());
            browser->SetObjectName(L"a.txt");
            browser->ImageIndex();
            browser->OpenImageIndex();
            browser->OverlayIndex();
        }
        browser->ExtractThumbnail(32, 32);
        browser->InfoTip(false);
        workerModeAfter = GetThreadErrorMode() == before ? 0 : GetThreadErrorMode();
        done = true;
    });
    UINT seen = 0;
    while (!done)
        seen |= GetErrorMode();
    worker.join();
    SetErrorMode(saved);
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(workerModeAfter, 0u);
}
