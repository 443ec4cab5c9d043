// Where a folder really is, and the questions asked about it: a folder on a fixed disk is
// asked at once; one on a server, a drive that is not fixed, or behind a link on a thread of
// its own, and an answer that takes too long is no answer.
#include "shell/FolderProbe.h"

#include "common/HostLinks.h"
#include "common/SlowPlaces.h"
#include "common/TempTree.h"
#include "core/TextCompare.h"
#include "shell/FolderPreread.h"
#include "shell/PathUtils.h"

#include <gtest/gtest.h>

namespace {

wchar_t FreeDriveLetter()
{
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR)
            return letter;
    }
    return 0;
}

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

TEST(FolderPlace, WhatAFolderMayWaitOn)
{
    TTempTree tree;
    const std::wstring target = tree.Folder(L"target");
    tree.Folder(L"target\\inner");
    const std::wstring local = tree.Folder(L"local\\deeper");
    TDirectoryLinks links;
    const std::wstring link = tree.Path(L"local\\link");
    ASSERT_TRUE(links.Add(link, target));
    const wchar_t letter = FreeDriveLetter();
    ASSERT_NE(letter, 0);
    const std::wstring drive = std::wstring(1, letter) + L":";
    const struct {
        std::wstring path;
        std::wstring place;
    } cases[] = {
        {local, L""},
        {local + L"\\", L""},
        {tree.Path(L"local\\missing\\below"), L""},
        {L"\\\\Server\\share\\folder", L"\\\\SERVER"},
        {L"\\\\server", L"\\\\SERVER"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\SERVER"},
        {drive + L"\\folder", UpperCase(drive)},
        {link, UpperCase(link)},
        {link + L"\\inner", UpperCase(link)},
        {L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", L""},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(FolderWaitPlace(entry.path), entry.place) << entry.path;
    // Judged from a parent known to wait on nothing: only the last step is new.
    EXPECT_EQ(FolderWaitPlaceInside(tree.Path(L"local"), link), UpperCase(link));
    EXPECT_EQ(FolderWaitPlaceInside(tree.Path(L"local"), local), L"");
    EXPECT_EQ(FolderWaitPlaceInside(tree.Path(L"local"), link + L"\\inner"), UpperCase(link));
    // The start-up read ahead and the other fixed-disk shortcuts go by the same judgement.
    EXPECT_TRUE(IsOnFixedDrive(local));
    EXPECT_FALSE(IsOnFixedDrive(link + L"\\inner"));
    EXPECT_EQ(LinkOnTheWay(link + L"\\inner"), link);
}

// A stored folder under a fixed drive that a link leads elsewhere: checking it and reading it
// ahead at start-up must not wait on where the link leads.
TEST(FolderPlace, AFolderBehindALinkIsAskedOnlyWithinTheLimit)
{
    TTempTree tree;
    const std::wstring target = tree.Folder(L"target");
    tree.File(L"target\\inside.txt");
    TDirectoryLinks links;
    const std::wstring link = tree.Path(L"link");
    ASSERT_TRUE(links.Add(link, target));
    EXPECT_EQ(AskFolderExists(link, 5000, false), bwFound);
    {
        TSlowPlaces slow;
        EXPECT_EQ(AskFolderExists(link, 200, false), bwTimedOut);
        EXPECT_EQ(slow.Asked(), 1);
        EXPECT_FALSE(FolderExistsWithin(link + L"\\", 200));
        // Local folders are asked at once, held or not.
        EXPECT_EQ(AskFolderExists(target, 200, false), bwFound);
        EXPECT_EQ(slow.Asked(), 1);
    }
    TFolderPreread preread(link);
    TOwnedIDList folder;
    std::vector<TOwnedIDList> objects;
    EXPECT_FALSE(preread.Take(folder, objects));
}

}  // namespace
