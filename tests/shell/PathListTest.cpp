#include "shell/PathList.h"

#include "common/TempTree.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

// A list that takes paths whether or not they exist.
TZelPathList UncheckedList()
{
    TZelPathList list;
    list.SetCheckExistence(false);
    return list;
}

// The buffer up to and including its first double zero.
std::wstring_view BufferText(const TZelPathList& list)
{
    const wchar_t* buffer = list.Buffer();
    size_t length = 1;
    while (buffer[length] != L'\0' || buffer[length - 1] != L'\0')
        ++length;
    return std::wstring_view(buffer, length + 1);
}

}  // namespace

TEST(PathList, NormalisesDriveRootsFoldersAndShares)
{
    TTempTree tree;
    const std::wstring folder = tree.Folder(L"Sub");
    TZelPathList list;
    EXPECT_EQ(list.Add(L"C:"), 0);
    EXPECT_EQ(list.Add(L"c:\\"), -1);
    EXPECT_EQ(list.Add(folder + L"\\"), 1);
    EXPECT_EQ(list.Add(folder), -1);
    EXPECT_EQ(list.Strings(), (std::vector<std::wstring>{L"C:\\", folder}));
    EXPECT_EQ(list.IndexOf(folder + L"\\"), 1);

    TZelPathList shares = UncheckedList();
    EXPECT_EQ(shares.Add(L"\\\\server\\share"), 0);
    EXPECT_EQ(shares.Add(L"\\\\SERVER\\Share\\"), -1);
    EXPECT_EQ(shares.Add(L"\\\\server\\share\\dir\\"), 1);
    EXPECT_EQ(shares.Strings(),
              (std::vector<std::wstring>{L"\\\\server\\share\\", L"\\\\server\\share\\dir"}));
    // An empty entry or an embedded zero would cut the buffer short.
    EXPECT_EQ(shares.Add(L"\\"), -1);
    EXPECT_EQ(shares.Add(std::wstring(L"C:\\a\0b", 6)), -1);
    EXPECT_EQ(shares.Count(), 2);
}

TEST(PathList, RejectsDuplicatesInOtherCaseAndMissingPaths)
{
    TTempTree tree;
    const std::wstring file = tree.File(L"Report.TXT");
    const std::wstring missing = tree.Path(L"missing.txt");
    TZelPathList list;
    EXPECT_EQ(list.Add(file), 0);
    EXPECT_EQ(list.Add(UpperCase(file)), -1);
    EXPECT_EQ(list.Add(missing), -1);
    EXPECT_EQ(list.Strings(), std::vector<std::wstring>{file});
    list.SetCheckExistence(false);
    EXPECT_EQ(list.Add(missing), 0);

    const TZelPathList fromList({missing, file, UpperCase(file), tree.Folder(L"b")});
    EXPECT_EQ(fromList.Strings(), (std::vector<std::wstring>{tree.Path(L"b"), file}));
}

TEST(PathList, BufferHoldsTheSortedPathsThenTwoMoreZeros)
{
    TZelPathList list = UncheckedList();
    EXPECT_EQ(list.Add(L"C:\\two"), 0);
    EXPECT_EQ(list.Add(L"C:\\One\\"), 0);
    EXPECT_EQ(list.Add(L"c:\\three"), 1);
    const std::wstring_view expected(L"C:\\One\0c:\\three\0C:\\two\0\0\0", 26);
    EXPECT_EQ(std::wstring_view(list.Buffer(), expected.size()), expected);
    EXPECT_EQ(std::wstring_view(TZelPathList().Buffer(), 3), std::wstring_view(L"\0\0\0", 3));
}

TEST(PathList, BufferIsKeptUntilTheListChanges)
{
    TZelPathList list = UncheckedList();
    list.Add(L"C:\\b");
    const wchar_t* first = list.Buffer();
    EXPECT_EQ(list.Buffer(), first);
    list.Add(L"C:\\a");
    EXPECT_EQ(BufferText(list), std::wstring_view(L"C:\\a\0C:\\b\0\0", 11));
    list.Delete(0);
    EXPECT_EQ(BufferText(list), std::wstring_view(L"C:\\b\0\0", 6));
    list.Assign({L"C:\\x", L"C:\\X\\", L"C:\\y"});
    EXPECT_EQ(BufferText(list), std::wstring_view(L"C:\\x\0C:\\y\0\0", 11));
    list.Clear();
    EXPECT_EQ(BufferText(list), std::wstring_view(L"\0\0", 2));
}

TEST(PathList, NetworkFlagIsSetByAnAcceptedNetworkPathAndNeverCleared)
{
    TTempTree tree;
    TZelPathList checked;
    EXPECT_EQ(checked.Add(L"\\\\server\\share\\file.txt"), -1);
    EXPECT_FALSE(checked.HasNetworkPaths());

    TZelPathList list = UncheckedList();
    list.Add(tree.Path(L"local.txt"));
    EXPECT_FALSE(list.HasNetworkPaths());
    list.Add(L"\\\\server\\share\\file.txt");
    EXPECT_TRUE(list.HasNetworkPaths());
    list.Clear();
    EXPECT_TRUE(list.HasNetworkPaths());
}
