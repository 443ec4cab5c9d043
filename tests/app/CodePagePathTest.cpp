// Paths kept as code-page text lead back to the same folder.
#include "app/CodePagePath.h"
#include "common/TempTree.h"
#include "core/TextConversion.h"

#include <gtest/gtest.h>

namespace {

// A name the system code page has no characters for.
std::wstring ForeignName()
{
    return GetACP() == 932 ? L"\u0416\u0416" : L"\u65E5\u672C";
}

TEST(CodePagePath, APathThatFitsIsKeptAsItIs)
{
    std::string narrow;
    ASSERT_TRUE(CodePagePath(L"C:\\windows\\Temp", narrow));
    EXPECT_EQ(narrow, "C:\\windows\\Temp");
    EXPECT_EQ(NearestCodePagePath(L"C:\\windows"), "C:\\windows");
    EXPECT_EQ(NearestCodePagePath(L""), "");
}

TEST(CodePagePath, AForeignNameIsKeptByItsShortNameWhichLeadsBack)
{
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "every name fits a UTF-8 code page";
    TTempTree tree;
    const std::wstring folder = tree.Folder(ForeignName() + L"\\inner");
    std::string narrow;
    ASSERT_TRUE(CodePagePath(folder, narrow));
    EXPECT_EQ(narrow.find('?'), std::string::npos) << narrow;
    // The stored text names the same folder.
    const std::wstring back = NarrowToWide(narrow);
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    HANDLE first = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    HANDLE second = CreateFileW(back.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    GetFileInformationByHandle(first, &a);
    GetFileInformationByHandle(second, &b);
    CloseHandle(first);
    CloseHandle(second);
    EXPECT_EQ(a.nFileIndexLow, b.nFileIndexLow);
    EXPECT_EQ(a.nFileIndexHigh, b.nFileIndexHigh);
    EXPECT_EQ(NearestCodePagePath(folder), narrow);
}

TEST(CodePagePath, WithoutAShortNameTheNearestParentThatFitsIsKept)
{
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "every name fits a UTF-8 code page";
    TTempTree tree;
    const std::wstring parent = tree.Folder(L"plain");
    // Gone (so it has no short name either): its parent is the nearest place to go back to.
    const std::wstring gone = parent + L"\\" + ForeignName();
    std::string narrow;
    EXPECT_FALSE(CodePagePath(gone, narrow));
    EXPECT_EQ(NearestCodePagePath(gone + L"\\"), WideToNarrow(parent + L"\\"));
}

}  // namespace
