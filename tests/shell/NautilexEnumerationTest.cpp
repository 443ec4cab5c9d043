// Enumerating real folders: masks, hidden objects, passes, the file-system rule and the
// folder tests.
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"
#include "shell/PathUtils.h"

namespace {

class NautilexEnumeration : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"a.txt", L"B.TXT", L"c.Doc", L"d.bin", L"noext"})
            tree_.File(name);
        tree_.File(L"h.txt", 0, FILE_ATTRIBUTE_HIDDEN);
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
    for (const wchar_t* nothing : {L"*", L""}) {
        EXPECT_EQ(NamesWithFilter(nothing), all);
        EXPECT_EQ(browser_->GetFilter(), L"*");
    }
    EXPECT_EQ(NamesWithFilter(L"*.TXT;*.doc"),
              (TNames{L"B.TXT", L"Sub2.xyz", L"a.txt", L"c.Doc", L"h.txt", L"sub"}));
    EXPECT_EQ(NamesWithFilter(L"*."), (TNames{L"Sub2.xyz", L"noext", L"sub"}));
    EXPECT_EQ(NamesWithFilter(L"*.*").size(), 7u);  // all but the name without a dot
    // Pieces are kept as given; an empty one matches no file.
    EXPECT_EQ(NamesWithFilter(L"*.a;;*.b"), (TNames{L"Sub2.xyz", L"sub"}));
    EXPECT_EQ(browser_->GetFilter(), L"*.a;;*.b");
    browser_->SetFilter(L"*.a;");
    EXPECT_EQ(browser_->GetFilter(), L"*.a");
}

TEST_F(NautilexEnumeration, PassesRestartAndReportHiddenObjects)
{
    TNames first, second, hidden;
    while (browser_->NextObject()) {
        first.push_back(browser_->GetObjectName());
        if (browser_->IsHidden())
            hidden.push_back(browser_->GetObjectName());
    }
    EXPECT_TRUE(browser_->HasObject());  // the last object stays current
    while (browser_->NextObject())
        second.push_back(browser_->GetObjectName());
    EXPECT_EQ(first.size(), 8u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(hidden, TNames{L"h.txt"});

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
    }
    EXPECT_EQ(yielded, 5);
    // Every object, filtered out or not, was read exactly once.
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
}

TEST(NautilexFileSystemOnly, KeepsTheFileSystemAndItsAncestors)
{
    auto browser = MakeBrowser();
    browser->SetSpecialFolder(SF_DESKTOP);
    browser->FileSystemOnly = true;
    bool computer = false;
    while (browser->NextObject()) {
        const TZelShellFolder special = browser->ObjectSpecialFolder();
        computer = computer || special == SF_DRIVES;
        EXPECT_TRUE(browser->GetAttributes(SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR) != 0 ||
                    special == SF_DRIVES || special == SF_NETWORK ||
                    StartsWithText(browser->GetObjectName(), L"RECYCLE"))
            << browser->DisplayName();
    }
    EXPECT_TRUE(computer);

    // In the computer folder the drives stay and the control panel goes.
    browser->SetSpecialFolder(SF_DRIVES);
    browser->FileSystemOnly = false;
    EXPECT_TRUE(Contains(EnumeratedNames(*browser, true), L"Control Panel"));
    browser->SetObjectName(L"Control Panel");
    EXPECT_TRUE(browser->IsFolder());
    browser->FileSystemOnly = true;
    EXPECT_FALSE(browser->IsFolder());
    EXPECT_TRUE(Contains(EnumeratedNames(*browser), L"C:\\"));
    EXPECT_FALSE(Contains(EnumeratedNames(*browser, true), L"Control Panel"));
}
