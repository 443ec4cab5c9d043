// The shell's detail columns of a real file-system folder.
#include "common/TempTree.h"
#include "shell/NautilexTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> HeaderTexts(TNautilex& browser)
{
    std::vector<std::wstring> headers;
    for (int column = 0; column < 64; ++column) {
        std::wstring text = browser.DetailsText(column, true);
        if (text.empty())
            break;
        headers.push_back(std::move(text));
    }
    return headers;
}

}  // namespace

TEST(NautilexDetails, ColumnZeroOfAnObjectIsItsDisplayNameWithoutDetails)
{
    TTempTree tree;
    tree.File(L"named.txt");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    browser->SetObjectName(L"named.txt");
    EXPECT_EQ(browser->DetailsText(0, false), browser->DisplayName());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 0);
}

TEST(NautilexDetails, HeadersWidthsAndTextsOfAFileFolder)
{
    TTempTree tree;
    tree.File(L"sized.bin", 2048);
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    browser->SetObjectName(L"sized.bin");

    const auto headers = HeaderTexts(*browser);
    ASSERT_GE(headers.size(), 4u);  // at least name, size, type, modified
    for (size_t column = 0; column < headers.size(); ++column) {
        int width = -1;
        browser->ColumnInfo(static_cast<int>(column), width);
        EXPECT_GE(width, 0) << headers[column];
        EXPECT_EQ(width % 7, 0) << headers[column];  // characters times 7 pixels
    }
    int name = 0;
    browser->ColumnInfo(0, name);
    EXPECT_GT(name, 0);
    // Past the last column: the defaults.
    int width = -1;
    EXPECT_EQ(browser->ColumnInfo(static_cast<int>(headers.size()), width),
              TColumnAlignment::LeftJustify);
    EXPECT_EQ(width, 120);

    EXPECT_NE(browser->DetailsText(1, false), L"");
    EXPECT_NE(browser->DetailsText(1, false), headers[1]);
    // The details interfaces were asked for once for all of this.
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);

    // Without an object an object's text is empty, not the header.
    browser->SetObjectName(L"");
    EXPECT_EQ(browser->DetailsText(1, false), L"");
    EXPECT_EQ(browser->DetailsText(1, true), headers[1]);
}

TEST(NautilexDetails, InterfacesAreObtainedOncePerBoundFolder)
{
    TTempTree tree;
    tree.Folder(L"other");
    auto browser = MakeBrowser();
    browser->SetFolder(tree.Root());
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 1);

    browser->SetFolder(tree.Path(L"other"));
    EXPECT_TRUE(browser->HasDetails());
    EXPECT_EQ(browser->QueryCounts().DetailsInterfaces, 2);

    auto unbound = MakeBrowser();
    EXPECT_FALSE(unbound->HasDetails());
    int width = 0;
    EXPECT_EQ(unbound->ColumnInfo(0, width), TColumnAlignment::LeftJustify);
    EXPECT_EQ(width, 120);
    EXPECT_EQ(unbound->DetailsText(0, true), L"");
}
