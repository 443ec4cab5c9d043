#include "common/HostLinks.h"
#include "common/TempTree.h"
#include "core/ScopedResource.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// A thread started now finds the process's desktop: the handle that user32 hands every new
// thread, which a stray CloseHandle takes away (its windows then cannot even post messages).
bool NewThreadHasDesktop()
{
    HDESK desktop = nullptr;
    std::thread([&] { desktop = GetThreadDesktop(GetCurrentThreadId()); }).join();
    return desktop != nullptr;
}

// The links and drive letters of the tests are made by host programs under Wine; starting one
// must close only what it opened, whatever Wine hands back for a process outside its table.
TEST(HostLinksTest, HostProgramsLeaveTheProcessHandlesAlone)
{
    if (!RunningOnWine())
        GTEST_SKIP() << "links are made by the system here";
    ASSERT_TRUE(NewThreadHasDesktop());
    std::vector<TScopedHandle> sentinels;
    for (int index = 0; index < 64; ++index)
        sentinels.emplace_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    TTempTree tree;
    tree.Folder(L"target");
    {
        TDirectoryLinks links;
        for (int round = 0; round < 8; ++round)
            ASSERT_TRUE(
                links.Add(tree.Path(L"link " + std::to_wstring(round)), tree.Path(L"target")));
    }
    // Each drive letter made and removed again, with a look at its root in between.
    for (wchar_t letter : {L'Q', L'R', L'S'}) {
        if (!MapDrive(letter, tree.Root()))
            continue;
        const std::wstring root = std::wstring(1, letter) + L":\\";
        EXPECT_NE(GetFileAttributesW(root.c_str()), INVALID_FILE_ATTRIBUTES);
        UnmapDrive(letter);
    }
    EXPECT_TRUE(NewThreadHasDesktop());
    int closed = 0;
    for (const TScopedHandle& sentinel : sentinels) {
        DWORD flags = 0;
        if (!GetHandleInformation(sentinel.get(), &flags))
            ++closed;
    }
    EXPECT_EQ(closed, 0);
}

}  // namespace
