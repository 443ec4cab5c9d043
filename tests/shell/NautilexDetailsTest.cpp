// The shell's detail columns of a real file-system folder.
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"

TEST(NautilexDetails, HeadersWidthsAndTextsOfAFileFolder)
{
    TTempTree tree;
    tree.File(L"sized.bin", 2048);
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    browser->SetObjectName(L"sized.bin");
    // Column 0 of an object is its display name, without asking for details.
    EXPECT_EQ(browser->DetailsText(0, false), browser->DisplayName());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 0);

    TNames headers;
    while (headers.size() < 64 && !browser->DetailsText(int(headers.size()), true).empty())
        headers.push_back(browser->DetailsText(int(headers.size()), true));
    ASSERT_GE(headers.size(), 4u);  // at least name, size, type, modified
    for (size_t column = 0; column < headers.size(); ++column) {
        int width = -1;
        browser->ColumnInfo(int(column), width);
        EXPECT_EQ(width % 7, 0) << headers[column];  // characters times 7 pixels
        EXPECT_GE(width, column == 0 ? 7 : 0) << headers[column];
    }
    int width = -1;  // past the last column: the defaults
    EXPECT_EQ(browser->ColumnInfo(int(headers.size()), width), TColumnAlignment::LeftJustify);
    EXPECT_EQ(width, 120);
    EXPECT_NE(browser->DetailsText(1, false), L"");
    EXPECT_NE(browser->DetailsText(1, false), headers[1]);
    // Without an object an object's text is empty, not the header.
    browser->SetObjectName(L"");
    EXPECT_EQ(browser->DetailsText(1, false), L"");
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);
}

TEST(NautilexDetails, InterfacesAreObtainedOncePerBoundFolder)
{
    TTempTree tree;
    tree.Folder(L"other");
    auto browser = MakeBrowser();
    EXPECT_FALSE(browser->HasDetails());  // no folder
    browser->SetFolder(tree.Root());
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);
    browser->SetFolder(tree.Path(L"other"));
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 2);
}
