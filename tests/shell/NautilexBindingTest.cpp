// Binding the browser to folders and moving its object cursor, against real folders.
#include "common/TempTree.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/NautilexTestSupport.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

namespace {

std::wstring CaughtMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ENautilexError& error) {
        return error.Message();
    }
    return L"<no ENautilexError>";
}

}  // namespace

TEST(NautilexBinding, FolderPathReadsBackWithTrailingBackslash)
{
    TTempTree tree;
    const std::wstring path = tree.Folder(L"sub");
    auto browser = MakeBrowser();
    browser->SetFolder(path);
    EXPECT_EQ(browser->GetFolder(), path + L"\\");
    EXPECT_TRUE(SameIDLists(browser->FolderIDList(), IDListFromPath(nullptr, path)));

    // Bound by ID list, the path is computed from the list.
    auto other = MakeBrowser();
    other->SetFolderIDList(browser->FolderIDList());
    EXPECT_TRUE(SameText(other->GetFolder(), path + L"\\")) << other->GetFolder();
}

TEST(NautilexBinding, EmptyPathBindsTheComputerFolderAndReadsBackEmpty)
{
    auto browser = MakeBrowser();
    browser->SetFolder(L"");
    EXPECT_EQ(browser->GetFolder(), L"");
    EXPECT_EQ(browser->GetSpecialFolder(), SF_DRIVES);
    EXPECT_NE(browser->ShellFolder(), nullptr);
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
    EXPECT_EQ(browser->GetFolder(), tree.Root());
    EXPECT_EQ(browser->GetObjectName(), first);  // the object survives
    ASSERT_TRUE(browser->NextObject());
    EXPECT_NE(browser->GetObjectName(), first);  // the pass goes on
    browser->HasDetails();
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);
}

TEST(NautilexBinding, UnparsablePathRaisesAndKeepsTheFolder)
{
    TTempTree tree;
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    const std::wstring missing = tree.Path(L"missing\\deeper");
    ASSERT_FALSE(SystemErrorMessage(ERROR_PATH_NOT_FOUND).empty());
    EXPECT_EQ(CaughtMessage([&] { browser->SetFolder(missing); }),
              SystemErrorMessage(ERROR_PATH_NOT_FOUND) + L"\r\n" + missing);
    EXPECT_EQ(browser->GetFolder(), tree.Root());
}

TEST(NautilexBinding, FailedBindRaisesAndLeavesNoStaleFolderPath)
{
    TTempTree tree;
    const TOwnedIDList file = IDListFromPath(nullptr, tree.File(L"plain.txt"));
    ASSERT_TRUE(file);
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    ASSERT_EQ(browser->GetFolder(), tree.Root());
    ASSERT_TRUE(browser->NextObject());

    const std::wstring prefix =
        L"Nautilex.SetFolderIDList: Desktop.BindToObject: Could not get IShellFolder interface. (";
    const std::wstring message = CaughtMessage([&] { browser->SetFolderIDList(file); });
    EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
    EXPECT_GT(message.size(), prefix.size() + 1);
    EXPECT_EQ(message.back(), L')');
    EXPECT_FALSE(browser->FolderIDList());
    EXPECT_EQ(browser->GetFolder(), L"");
    EXPECT_FALSE(browser->HasObject());
    EXPECT_FALSE(browser->NextObject());
}

TEST(NautilexBinding, MovesUpAndDownTheNamespace)
{
    TTempTree tree;
    tree.File(L"sub\\inner.txt");
    const std::wstring file = tree.File(L"file.txt");
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
    EXPECT_TRUE(SameText(browser->GetFolder(), tree.Path(L"sub\\")));

    browser->SetAbsoluteIDList(IDListFromPath(nullptr, file));
    EXPECT_TRUE(SameText(browser->GetFolder(), tree.Root()));
    EXPECT_EQ(browser->GetObjectName(), L"file.txt");

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
        EXPECT_EQ(browser->GetFolder(), L"");
        EXPECT_EQ(browser->GetObjectName(), L"C:\\") << root;
    }

    browser->SetObjectName(file);
    EXPECT_EQ(browser->GetFolder(), tree.Path(L"dir\\"));
    EXPECT_EQ(browser->GetObjectName(), L"file.txt");

    browser->SetObjectName(tree.Path(L"dir\\"));  // a folder path with its backslash
    EXPECT_EQ(browser->GetFolder(), tree.Root());
    EXPECT_EQ(browser->GetObjectName(), L"dir");

    browser->SetObjectName(L"");
    EXPECT_FALSE(browser->HasObject());
}

TEST(NautilexBinding, MissingObjectRaisesTheFolderMessage)
{
    TTempTree tree;
    tree.File(L"present.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    EXPECT_EQ(CaughtMessage([&] { browser->SetObjectName(L"absent.txt"); }),
              L"Error! Cannot find Object \"absent.txt\" in Folder \"" + tree.Root() + L"\"");
}

TEST(NautilexBinding, FindsObjectsByDisplayNameEvenFromTheMiddleOfAPass)
{
    // The computer folder and the control panel cannot parse display names: the browser
    // has to walk them.
    auto browser = MakeBrowser();
    browser->SetSpecialFolder(SF_DRIVES);
    browser->SetObjectName(L"control panel");
    EXPECT_EQ(browser->DisplayName(), L"Control Panel");
    EXPECT_EQ(browser->GetAttributes(SFGAO_FILESYSTEM), 0u);

    browser->SetSpecialFolder(SF_CONTROLS);
    ASSERT_TRUE(browser->NextObject());
    const std::wstring first = browser->DisplayName();
    ASSERT_TRUE(browser->NextObject());
    ASSERT_NE(browser->DisplayName(), first);
    browser->SetObjectName(first);
    EXPECT_EQ(browser->DisplayName(), first);
    // A successful search ends its pass.
    ASSERT_TRUE(browser->NextObject());
    EXPECT_EQ(browser->DisplayName(), first);
}

TEST(NautilexBinding, SpecialFoldersAndFileFolders)
{
    TTempTree tree;
    tree.Folder(L"packed.ZIP");
    auto browser = MakeBrowser();
    EXPECT_EQ(browser->Version(), L"TNautilex V6.2.3");
    EXPECT_EQ(browser->GetFilter(), L"*");

    // The stored default does not bind while the form is being loaded.
    browser->BeginLoading();
    browser->SetSpecialFolder(SF_FILESYSTEMFOLDER);
    EXPECT_FALSE(browser->FolderIDList());
    browser->EndLoading();
    browser->SetSpecialFolder(SF_FILESYSTEMFOLDER);
    EXPECT_EQ(browser->GetSpecialFolder(), SF_DRIVES);
    EXPECT_FALSE(browser->IsFileFolder());

    browser->SetSpecialFolder(SF_DESKTOP);
    EXPECT_EQ(browser->GetSpecialFolder(), SF_DESKTOP);
    EXPECT_FALSE(browser->IsFileFolder());

    browser->SetFolder(tree.Root());
    EXPECT_TRUE(browser->IsFileFolder());
    browser->SetFolder(tree.Path(L"packed.ZIP"));
    EXPECT_FALSE(browser->IsFileFolder());
}

TEST(NautilexBinding, AbsoluteListIsBuiltOncePerObject)
{
    TTempTree tree;
    tree.File(L"a.txt");
    tree.File(L"b.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    EXPECT_EQ(browser->AbsoluteIDList(), nullptr);  // no object, no list

    browser->SetObjectName(L"a.txt");
    const TBorrowedIDList first = browser->AbsoluteIDList();
    EXPECT_EQ(browser->AbsoluteIDList(), first);
    browser->ImageIndex();
    browser->OpenImageIndex();
    EXPECT_EQ(browser->QueryCounts().AbsoluteIDList, 1);
    EXPECT_EQ(PathFromIDList(first), tree.Path(L"a.txt"));

    browser->SetObjectName(L"b.txt");
    EXPECT_EQ(PathFromIDList(browser->AbsoluteIDList()), tree.Path(L"b.txt"));
    EXPECT_EQ(browser->QueryCounts().AbsoluteIDList, 2);
}

namespace {

class TWindowedOwner : public TComponent {
public:
    TWindowedOwner(HWND window) : TComponent(nullptr), window_(window) {}
    HWND ComponentWindow() const override { return window_; }

private:
    HWND window_;
};

}  // namespace

TEST(NautilexBinding, OwnerWindowFollowsLoadingAndErrorMessages)
{
    TApplication application;
    ASSERT_EQ(Application, &application);
    TWindowedOwner owner(GetDesktopWindow());
    auto* browser = new TNautilex(&owner);  // freed by its owner

    EXPECT_EQ(browser->OwnerWindow(), application.Handle());  // created at run time
    browser->BeginLoading();
    browser->EndLoading();
    EXPECT_EQ(browser->OwnerWindow(), GetDesktopWindow());

    // Quiet browsers give local objects no owner window.
    browser->ShowErrorMessages = false;
    browser->SetSpecialFolder(SF_DRIVES);
    browser->SetObjectName(L"C:\\");
    EXPECT_EQ(browser->OwnerWindow(), nullptr);
}
