// The stored folders' existence check: folders only, and no wait on what does not answer.
#include "app/FolderCheck.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderCheck, OnlyAFolderThatIsThereCounts)
{
    TTempTree tree;
    const std::wstring folder = tree.Folder(L"here");
    const std::wstring file = tree.File(L"file.txt", 1);
    const struct {
        std::wstring path;
        bool exists;
    } cases[] = {
        {folder, true},
        {folder + L"\\", true},
        {file, false},
        {folder + L"\\gone", false},
        {L"", false},
        {L"Q:\\gone", false},                 // no such drive
        {L"\\\\no-such-host\\share", false},  // asked on a thread, given up after the limit
    };
    for (const auto& entry : cases)
        EXPECT_EQ(FolderExistsWithin(entry.path, 300), entry.exists) << entry.path;
}

}  // namespace
