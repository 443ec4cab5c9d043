// Enumerating real folders: masks, hidden objects, passes, the file-system rule and the
// folder tests.
#include "common/TempTree.h"
#include "shell/IDList.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

namespace {

using TNames = std::vector<std::wstring>;

class NautilexEnumeration : public testing::Test {
protected:
    void SetUp() override
    {
        tree_.File(L"a.txt");
        tree_.File(L"B.TXT");
        tree_.File(L"c.Doc");
        tree_.File(L"d.bin");
        tree_.File(L"h.txt", 0, FILE_ATTRIBUTE_HIDDEN);
        tree_.File(L"noext");
        tree_.Folder(L"sub");
        tree_.Folder(L"Sub2.xyz");
        browser_->SetFolder(tree_.Root());
    }

    TNames NamesWithFilter(const std::wstring& filter)
    {
        browser_->SetFilter(filter);
        return EnumeratedNames(*browser_);
    }

    TTempTree tree_;
    std::unique_ptr<TNautilex> browser_ = MakeBrowser();
};

}  // namespace

TEST_F(NautilexEnumeration, MasksFilterFilesButNeverFolders)
{
    const TNames all = {L"B.TXT", L"Sub2.xyz", L"a.txt", L"c.Doc",
                        L"d.bin", L"h.txt",    L"noext", L"sub"};
    EXPECT_EQ(NamesWithFilter(L"*"), all);
    EXPECT_EQ(browser_->GetFilter(), L"*");
    EXPECT_EQ(NamesWithFilter(L""), all);
    EXPECT_EQ(browser_->GetFilter(), L"*");

    EXPECT_EQ(NamesWithFilter(L"*.txt"),
              (TNames{L"B.TXT", L"Sub2.xyz", L"a.txt", L"h.txt", L"sub"}));
    EXPECT_EQ(NamesWithFilter(L"*.TXT;*.doc"),
              (TNames{L"B.TXT", L"Sub2.xyz", L"a.txt", L"c.Doc", L"h.txt", L"sub"}));
    EXPECT_EQ(NamesWithFilter(L"*."), (TNames{L"Sub2.xyz", L"noext", L"sub"}));
    EXPECT_EQ(NamesWithFilter(L"*.*"),
              (TNames{L"B.TXT", L"Sub2.xyz", L"a.txt", L"c.Doc", L"d.bin", L"h.txt", L"sub"}));
}

TEST_F(NautilexEnumeration, FilterTextKeepsItsPieces)
{
    browser_->SetFilter(L"*.a;;*.b");
    EXPECT_EQ(browser_->GetFilter(), L"*.a;;*.b");
    browser_->SetFilter(L"*.a;");
    EXPECT_EQ(browser_->GetFilter(), L"*.a");
    // An empty piece matches no file.
    EXPECT_EQ(NamesWithFilter(L";"), (TNames{L"Sub2.xyz", L"sub"}));
}

TEST_F(NautilexEnumeration, HiddenObjectsAreEnumeratedAndReported)
{
    TNames hidden;
    while (browser_->NextObject())
        if (browser_->IsHidden())
            hidden.push_back(browser_->GetObjectName());
    EXPECT_EQ(hidden, TNames{L"h.txt"});
}

TEST_F(NautilexEnumeration, TheNextPassStartsAtTheFirstObject)
{
    TNames first, second;
    while (browser_->NextObject())
        first.push_back(browser_->GetObjectName());
    EXPECT_TRUE(browser_->HasObject());  // the last object stays current
    while (browser_->NextObject())
        second.push_back(browser_->GetObjectName());
    EXPECT_EQ(first.size(), 8u);
    EXPECT_EQ(first, second);

    // Rebinding restarts a pass that is under way.
    ASSERT_TRUE(browser_->NextObject());
    ASSERT_TRUE(browser_->NextObject());
    browser_->SetFolderIDList(browser_->FolderIDList());
    ASSERT_TRUE(browser_->NextObject());
    EXPECT_EQ(browser_->GetObjectName(), first.front());
}

TEST_F(NautilexEnumeration, FindDataIsFetchedOncePerObject)
{
    browser_->SetFilter(L"*.txt");
    int yielded = 0;
    while (browser_->NextObject()) {
        ++yielded;
        browser_->GetObjectName();
        browser_->GetObjectName();
        browser_->ModifiedTime();
        browser_->MatchesFilter();
    }
    EXPECT_EQ(yielded, 5);
    // Every object of the folder, filtered out or not, was read exactly once.
    EXPECT_EQ(browser_->QueryCounts().FindData, 8);
}

TEST_F(NautilexEnumeration, ZipNamesHaveSubFoldersOnlyOutsideTheFileSystemView)
{
    tree_.File(L"archive.Zip");
    browser_->SetObjectName(L"archive.Zip");
    EXPECT_TRUE(browser_->HasSubFolders());
    EXPECT_TRUE(browser_->HasSubFolders());
    EXPECT_EQ(browser_->QueryCounts().SubFolders, 1);

    browser_->FileSystemOnly = true;
    browser_->SetObjectName(L"archive.Zip");
    EXPECT_FALSE(browser_->HasSubFolders());
    EXPECT_EQ(browser_->QueryCounts().SubFolders, 2);

    browser_->SetObjectName(L"");
    EXPECT_TRUE(browser_->HasSubFolders());  // no object: assume there may be some
}

TEST(NautilexFileSystemOnly, KeepsTheFileSystemAndItsAncestors)
{
    auto browser = MakeBrowser();
    browser->SetSpecialFolder(SF_DESKTOP);
    const auto everything = EnumeratedSpecialFolders(*browser);
    EXPECT_TRUE(Contains(everything, SF_DRIVES));

    browser->FileSystemOnly = true;
    int yielded = 0;
    bool computer = false;
    while (browser->NextObject()) {
        ++yielded;
        const TZelShellFolder special = browser->ObjectSpecialFolder();
        computer = computer || special == SF_DRIVES;
        const bool fileSystem =
            browser->GetAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR) != 0;
        EXPECT_TRUE(fileSystem || special == SF_DRIVES || special == SF_NETWORK ||
                    UpperCase(browser->GetObjectName()).rfind(L"RECYCLE", 0) == 0)
            << browser->DisplayName();
    }
    EXPECT_TRUE(computer);
    EXPECT_GT(yielded, 0);

    // In the computer folder the drives stay and the control panel goes.
    browser->SetSpecialFolder(SF_DRIVES);
    const std::wstring controlPanel = L"Control Panel";
    browser->FileSystemOnly = false;
    EXPECT_TRUE(Contains(EnumeratedDisplayNames(*browser), controlPanel));
    browser->FileSystemOnly = true;
    EXPECT_TRUE(Contains(EnumeratedNames(*browser), std::wstring(L"C:\\")));
    EXPECT_FALSE(Contains(EnumeratedDisplayNames(*browser), controlPanel));
}

TEST(NautilexFileSystemOnly, FolderTestFollowsTheRule)
{
    auto browser = MakeBrowser();
    browser->SetSpecialFolder(SF_DRIVES);
    browser->SetObjectName(L"Control Panel");
    EXPECT_TRUE(browser->IsFolder());
    browser->FileSystemOnly = true;
    EXPECT_FALSE(browser->IsFolder());

    browser->SetObjectName(L"C:\\");
    EXPECT_TRUE(browser->IsFolder());
    browser->SetObjectName(L"");
    EXPECT_FALSE(browser->IsFolder());
}
