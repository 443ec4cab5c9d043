#include "shell/PathUtils.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

TEST(MatchesMask, DotRulesAndCaseInsensitiveWildcards)
{
    EXPECT_FALSE(MatchesMask(L"README", L"*.*"));
    EXPECT_TRUE(MatchesMask(L"readme.txt", L"*.*"));
    EXPECT_TRUE(MatchesMask(L".hidden", L"*.*"));
    EXPECT_TRUE(MatchesMask(L"README", L"*."));
    EXPECT_FALSE(MatchesMask(L"readme.txt", L"*."));
    EXPECT_TRUE(MatchesMask(L"photo.jpg", L"*.JPG"));
    EXPECT_TRUE(MatchesMask(L"PHOTO.JPG", L"*.jpg"));
    EXPECT_FALSE(MatchesMask(L"photo.jpeg", L"*.jpg"));
    EXPECT_TRUE(MatchesMask(L"a1.txt", L"a?.txt"));
    EXPECT_FALSE(MatchesMask(L"a12.txt", L"a?.txt"));
}

TEST(PathText, DrivesNamesAndExtensions)
{
    EXPECT_EQ(ExtractFileDrive(L"C:\\dir\\file"), L"C:");
    EXPECT_EQ(ExtractFileDrive(L"\\\\server\\share\\dir"), L"\\\\server\\share");
    EXPECT_EQ(ExtractFileDrive(L"relative\\dir"), L"");
    EXPECT_EQ(ExtractFilePath(L"C:\\dir\\file.txt"), L"C:\\dir\\");
    EXPECT_EQ(ExtractFilePath(L"C:file.txt"), L"C:");
    EXPECT_EQ(ExtractFileName(L"C:\\dir\\file.txt"), L"file.txt");
    EXPECT_EQ(ExtractFileExt(L"C:\\dir.d\\file"), L"");
    EXPECT_EQ(ExtractFileExt(L"archive.tar.GZ"), L".GZ");
    EXPECT_TRUE(HasExtension(L"C:\\a\\Pack.ZIP", L"zip"));
    EXPECT_TRUE(HasExtension(L"C:\\a\\Pack.zip", L".ZIP"));
    EXPECT_FALSE(HasExtension(L"C:\\a\\Pack.zipx", L".zip"));
    EXPECT_FALSE(HasExtension(L"C:\\a.zip\\Pack", L".zip"));
}

TEST(PathText, DriveRootsAndUNCPaths)
{
    EXPECT_TRUE(IsDriveRoot(L"C:"));
    EXPECT_TRUE(IsDriveRoot(L"C:\\"));
    EXPECT_TRUE(IsDriveRoot(L"\\\\server\\share"));
    EXPECT_TRUE(IsDriveRoot(L"\\\\server\\share\\"));
    EXPECT_FALSE(IsDriveRoot(L"C:\\Windows"));
    EXPECT_FALSE(IsDriveRoot(L"\\\\server\\share\\dir"));
    EXPECT_FALSE(IsDriveRoot(L""));

    EXPECT_TRUE(IsUNCPath(L"\\\\server\\share"));
    EXPECT_TRUE(IsUNCPath(L"\\\\?\\UNC\\server\\share"));
    EXPECT_TRUE(IsUNCPath(L"\\\\?\\unc\\server"));
    EXPECT_FALSE(IsUNCPath(L"\\\\server"));
    EXPECT_FALSE(IsUNCPath(L"\\\\"));
    EXPECT_FALSE(IsUNCPath(L"C:\\dir"));
    EXPECT_TRUE(IsNetworkPath(L"\\\\server\\share\\x"));
    EXPECT_FALSE(IsNetworkPath(L"C:\\"));
}

TEST(PathText, SameFileNameAndInsideFolder)
{
    EXPECT_TRUE(SameFileName(L"C:\\Dir\\", L"c:\\dir"));
    EXPECT_FALSE(SameFileName(L"C:\\Dir\\\\", L"c:\\dir"));
    EXPECT_TRUE(IsInsideFolder(L"C:\\A\\", L"C:\\a\\b.txt"));
    EXPECT_TRUE(IsInsideFolder(L"C:\\A", L"C:\\A\\B\\C"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\A\\", L"C:\\A"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\A", L"C:\\A\\"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\A\\", L""));
    // A sibling whose name merely starts with the folder's is not inside it.
    EXPECT_FALSE(IsInsideFolder(L"C:\\A", L"C:\\AB\\file"));
}

TEST(PathText, DotEntriesAndReparseAttribute)
{
    EXPECT_TRUE(IsDotEntry(L"."));
    EXPECT_TRUE(IsDotEntry(L".."));
    EXPECT_FALSE(IsDotEntry(L"..."));
    EXPECT_FALSE(IsDotEntry(L".git"));
    EXPECT_TRUE(IsReparsePoint(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(IsReparsePoint(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(IsReparsePoint(INVALID_FILE_ATTRIBUTES));
}

TEST(FileSystemQueries, ExistenceAndSizesOnARealTree)
{
    TTempTree tree;
    tree.File(L"dir\\five.bin", 5);
    tree.File(L"dir\\.secret", 3, FILE_ATTRIBUTE_HIDDEN);
    tree.Folder(L"empty");
    tree.File(L"\u00e9t\u00e9 \u65e5\u672c.txt", 7);

    EXPECT_TRUE(PathExists(tree.Path(L"dir")));
    EXPECT_TRUE(PathExists(tree.Path(L"dir\\")));
    EXPECT_TRUE(PathExists(tree.Path(L"empty")));
    EXPECT_TRUE(PathExists(tree.Path(L"dir\\.secret")));
    EXPECT_TRUE(PathExists(tree.Path(L"\u00e9t\u00e9 \u65e5\u672c.txt")));
    EXPECT_FALSE(PathExists(tree.Path(L"missing")));
    EXPECT_FALSE(PathExists(L""));
    EXPECT_TRUE(PathExists(L"C:\\"));
    EXPECT_TRUE(PathExists(L"C:"));

    EXPECT_EQ(FileSizeOf(tree.Path(L"dir\\five.bin")), 5);
    EXPECT_EQ(FileSizeOf(tree.Path(L"\u00e9t\u00e9 \u65e5\u672c.txt")), 7);
    EXPECT_EQ(FileSizeOf(tree.Path(L"missing.bin")), -1);

    uint64_t freeForCaller = 0, total = 0, totalFree = 0;
    EXPECT_TRUE(DiskFreeSpace(tree.Root(), freeForCaller, total, totalFree));
    EXPECT_GT(total, 0u);
    EXPECT_GE(total, totalFree);
    EXPECT_FALSE(DiskFreeSpace(L"relative", freeForCaller, total, totalFree));
}

TEST(FileSystemQueries, LargeFileSizeUsesBothHalves)
{
    TTempTree tree;
    const std::wstring path = tree.File(L"sparse.bin");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000005LL;  // just past 4 GiB
    const bool extended = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!extended)
        GTEST_SKIP() << "the file system refused a 4 GiB file";
    EXPECT_EQ(FileSizeOf(path), 0x100000005LL);
}

TEST(FormatByteSize, RendersSizesAndRejectsMinusOne)
{
    EXPECT_FALSE(FormatByteSize(0).empty());
    const std::wstring kilobytes = FormatByteSize(2048);
    EXPECT_NE(kilobytes.find(L"2"), std::wstring::npos) << kilobytes;
    EXPECT_EQ(FormatByteSize(-1), L"");
}

TEST(CompareNames, DigitRunsCompareByValue)
{
    EXPECT_LT(CompareNames(L"file2", L"file10"), 0);
    EXPECT_GT(CompareNames(L"file10", L"file2"), 0);
    EXPECT_EQ(CompareNames(L"ABC", L"abc"), 0);
    EXPECT_LT(CompareNames(L"apple", L"Banana"), 0);
}

TEST(SystemFolders, WindowsAndTempDirectories)
{
    EXPECT_TRUE(PathExists(WindowsDirectory()));
    const std::wstring temp = TempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_TRUE(PathExists(temp));
}
