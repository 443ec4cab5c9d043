// Names, attributes, links, times, icons and renaming of real objects.
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathUtils.h"

#include <oleauto.h>

TEST(NautilexNames, ModifiedTimeIsTheFilesOwnTimeInUTC)
{
    TTempTree tree;
    tree.File(L"dated.txt");
    SYSTEMTIME stamp{2021, 6, 0, 15, 12, 34, 56, 0};
    FILETIME fileTime;
    double expected = 0;
    ASSERT_TRUE(SystemTimeToFileTime(&stamp, &fileTime));
    ASSERT_TRUE(SystemTimeToVariantTime(&stamp, &expected));
    tree.SetModifiedTime(L"dated.txt", fileTime);
    auto browser = MakeBrowser();
    browser->SetObjectName(tree.Path(L"dated.txt"));
    EXPECT_NEAR(browser->ModifiedTime(), expected, 1e-8);

    // A virtual object has no time, and on the desktop no file name either.
    browser->SetAbsoluteIDList(SpecialFolderIDList(SF_DRIVES));
    ASSERT_TRUE(browser->HasObject());
    EXPECT_EQ(browser->ModifiedTime(), 0);
    EXPECT_EQ(browser->GetObjectName(), L"");
    EXPECT_NE(browser->DisplayName(), L"");
}

TEST(NautilexNames, RenamesRealFilesAndReportsFailure)
{
    TTempTree tree;
    const std::wstring old = tree.File(L"old.txt");
    tree.File(L"taken.txt");
    auto browser = MakeBrowser();
    browser->SetObjectName(old);
    std::wstring name = L"new.txt";
    ASSERT_TRUE(browser->Rename(name));
    EXPECT_EQ(name, browser->DisplayName());
    EXPECT_EQ(browser->GetObjectName(), L"new.txt");
    EXPECT_TRUE(PathExists(tree.Path(L"new.txt")));
    EXPECT_FALSE(PathExists(old));

    const std::wstring before = browser->DisplayName();
    name = L"taken.txt";
    SetLastError(0);
    EXPECT_FALSE(browser->Rename(name));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(name, before);
    EXPECT_EQ(browser->GetObjectName(), L"new.txt");
    EXPECT_TRUE(PathExists(tree.Path(L"new.txt")));
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
    EXPECT_EQ(browser->LinkTarget(), L"");
    EXPECT_EQ(browser->OverlayIndex(), -1);
    EXPECT_GE(browser->ImageIndex(), 0);
    browser->SetObjectName(L"");
    EXPECT_EQ(browser->OverlayIndex(), -1);
    EXPECT_EQ(browser->ImageIndex(), -1);
}
