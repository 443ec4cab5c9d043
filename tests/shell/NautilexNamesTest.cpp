// Names, attributes, links, times, icons and renaming of real objects.
#include "common/TempTree.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/NautilexTestSupport.h"

#include <gtest/gtest.h>
#include <oleauto.h>

TEST(NautilexNames, ModifiedTimeIsTheFilesOwnTimeInUTC)
{
    TTempTree tree;
    tree.File(L"dated.txt");
    SYSTEMTIME stamp{2021, 6, 0, 15, 12, 34, 56, 0};
    FILETIME fileTime;
    ASSERT_TRUE(SystemTimeToFileTime(&stamp, &fileTime));
    tree.SetModifiedTime(L"dated.txt", fileTime);
    double expected = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&stamp, &expected));

    auto browser = MakeBrowser();
    browser->SetObjectName(tree.Path(L"dated.txt"));
    EXPECT_NEAR(browser->ModifiedTime(), expected, 1e-8);

    // Virtual objects have no time.
    browser->SetSpecialFolder(SF_DESKTOP);
    browser->SetAbsoluteIDList(SpecialFolderIDList(SF_DRIVES));
    ASSERT_TRUE(browser->HasObject());
    EXPECT_EQ(browser->ModifiedTime(), 0);
    EXPECT_EQ(browser->GetObjectName(), L"");  // objects on the desktop have no file name
    EXPECT_NE(browser->DisplayName(), L"");
}

TEST(NautilexNames, RenamesARealFile)
{
    TTempTree tree;
    const std::wstring old = tree.File(L"old.txt");
    auto browser = MakeBrowser();
    browser->SetObjectName(old);
    std::wstring name = L"new.txt";
    ASSERT_TRUE(browser->Rename(name));
    EXPECT_EQ(name, browser->DisplayName());
    EXPECT_EQ(browser->GetObjectName(), L"new.txt");
    EXPECT_TRUE(PathExists(tree.Path(L"new.txt")));
    EXPECT_FALSE(PathExists(old));
}

TEST(NautilexNames, FailedRenameSetsLastErrorAndKeepsTheName)
{
    TTempTree tree;
    tree.File(L"keep.txt");
    tree.File(L"taken.txt");
    auto browser = MakeBrowser();
    browser->SetObjectName(tree.Path(L"keep.txt"));
    const std::wstring before = browser->DisplayName();
    std::wstring name = L"taken.txt";
    SetLastError(0);
    EXPECT_FALSE(browser->Rename(name));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(name, before);
    EXPECT_EQ(browser->GetObjectName(), L"keep.txt");
    EXPECT_TRUE(PathExists(tree.Path(L"keep.txt")));

    // Without an object nothing is renamed either.
    browser->SetObjectName(L"");
    name = L"x.txt";
    EXPECT_FALSE(browser->Rename(name));
    EXPECT_EQ(name, L"");
}

TEST(NautilexNames, ShortcutsReportTargetAndOverlay)
{
    TTempTree tree;
    const std::wstring target = tree.File(L"target.txt");
    tree.Shortcut(L"good.lnk", target);
    const std::wstring gone = tree.File(L"gone.txt");
    tree.Shortcut(L"dead.lnk", gone);
    DeleteFileW(gone.c_str());

    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    browser->SetObjectName(L"good.lnk");
    EXPECT_TRUE(browser->IsLink());
    EXPECT_TRUE(SameText(browser->LinkTarget(), target)) << browser->LinkTarget();
    EXPECT_EQ(browser->OverlayIndex(), 1);

    browser->SetObjectName(L"dead.lnk");
    EXPECT_TRUE(browser->IsLink());
    EXPECT_EQ(browser->LinkTarget(), L"");

    browser->SetObjectName(L"target.txt");
    EXPECT_FALSE(browser->IsLink());
    EXPECT_EQ(browser->LinkTarget(), L"");
    EXPECT_EQ(browser->OverlayIndex(), -1);
    EXPECT_TRUE(browser->CanRename());

    browser->SetObjectName(L"");
    EXPECT_EQ(browser->OverlayIndex(), -1);
    EXPECT_EQ(browser->GetAttributes(0xFFFFFFFF), 0u);
}

TEST(NautilexNames, SystemIconIndexes)
{
    TTempTree tree;
    tree.File(L"icon.txt");
    tree.Folder(L"folder");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    EXPECT_EQ(browser->ImageIndex(), -1);  // no object

    browser->SetObjectName(L"icon.txt");
    EXPECT_GE(browser->ImageIndex(), 0);
    browser->SetObjectName(L"folder");
    EXPECT_GE(browser->ImageIndex(), 0);
    EXPECT_GE(browser->OpenImageIndex(), 0);
    EXPECT_GE(TNautilex::DesktopImageIndex(), 0);
    EXPECT_NE(TNautilex::DesktopDisplayName(), L"");
    EXPECT_EQ(browser->NetworkName(), L"");  // a local folder is no domain or server
}
