// Places that cannot be shown, or need care to be shown, reached from each control of a pane
// (the list, the tree, the combo, and the tree as the bookmark window drives it): every
// attempt ends soon, with the place shown, a message or nothing at all, and the pane goes on.
#include "PaneFixture.h"
#include "common/DialogAnswerer.h"
#include "common/HostLinks.h"
#include "core/Exception.h"
#include "core/ScopedResource.h"
#include "shell/FolderProbe.h"
#include "shell/TestSeams.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using Names = std::set<std::wstring>;

// A hang would show as a wait of tens of seconds; anything below this bound is not one.
constexpr DWORD kHangBound = 10000;

enum class TRoute { List, Tree, Combo, Bookmark };
const char* const kRouteNames[] = {"list", "tree", "combo", "bookmark"};

enum class TOutcome {
    Shown,    // the list shows the place's contents
    Refused,  // a message or nothing, and the list is elsewhere
    Either,   // depends on what the system allows (a root user reads anything)
};

class BadPlacesTest : public PaneFixture {
public:
    void SetUp() override
    {
        PaneFixture::SetUp();
        combo->SetShowErrorMessages(true);
    }
    void TearDown() override
    {
        Cleanup();
        NetworkProbeTestHook = nullptr;
        PaneFixture::TearDown();
    }
    void Cleanup()
    {
        for (auto cleanup = cleanups.rbegin(); cleanup != cleanups.rend(); ++cleanup)
            (*cleanup)();
        cleanups.clear();
    }

    // Goes to `path` the way the route does; returns the milliseconds it took and whether a
    // message was shown (a dialog, or an error the caller would show).
    DWORD Navigate(TRoute route, const std::wstring& path, bool& messaged)
    {
        TDialogAnswerer answerer(L"", IDOK, kHangBound);
        const DWORD start = GetTickCount();
        try {
            switch (route) {
            case TRoute::List: list->SetPath(path); break;
            case TRoute::Tree: shellTree->SetSelectedFolder(path); break;
            case TRoute::Combo: combo->GoToPath(path); break;
            case TRoute::Bookmark:
                shellTree->SetSelectedFolder(path);
                shellTree->RefreshContents();
                break;
            }
            messaged = false;
        } catch (const Exception&) {
            messaged = true;
        }
        Draw();
        const DWORD elapsed = GetTickCount() - start;
        messaged = messaged || !answerer.Seen().empty();
        return elapsed;
    }

    // A folder with a name Win32 would change (trailing dots and spaces), made as it is.
    std::wstring VerbatimFolder(const std::wstring& name)
    {
        const std::wstring path = tree.Root() + name;
        CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
        CloseHandle(CreateFileW((L"\\\\?\\" + path + L"\\inside.txt").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, 0, nullptr));
        cleanups.push_back([path] {
            DeleteFileW((L"\\\\?\\" + path + L"\\inside.txt").c_str());
            RemoveDirectoryW((L"\\\\?\\" + path).c_str());
        });
        return path;
    }

    std::vector<std::function<void()>> cleanups;
};

struct TBadPlace {
    const char* name;
    // Makes the place (again, for each route) and returns its path.
    std::function<std::wstring(BadPlacesTest&)> make;
    TOutcome outcome;
};

TEST_F(BadPlacesTest, EveryRouteToABadPlaceEndsSoonAndThePaneGoesOn)
{
    const std::vector<TBadPlace> places = {
        {"unreadable folder",
         [](BadPlacesTest& t) {
             const std::wstring path = t.tree.Folder(L"locked");
             t.tree.File(L"locked\\inside.txt");
             SetHostMode(path, L"000");
             t.cleanups.push_back([path] { SetHostMode(path, L"755"); });
             return path;
         },
         TOutcome::Either},
        {"folder deleted while shown",
         [](BadPlacesTest& t) {
             const std::wstring path = t.tree.Folder(L"gone");
             t.tree.File(L"gone\\inside.txt");
             t.list->SetPath(path);
             t.Draw();
             TTempTree::RemoveTree(path);
             return path;
         },
         // Without a change report (Wine watches no disk) the list keeps what it showed
         // until it is refreshed.
         TOutcome::Either},
        {"drive whose target vanished",
         [](BadPlacesTest& t) -> std::wstring {
             const std::wstring target = t.tree.Folder(L"medium");
             t.tree.File(L"medium\\inside.txt");
             for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
                 if (MapDrive(letter, target)) {
                     t.cleanups.push_back([letter] { UnmapDrive(letter); });
                     MoveFileW(target.c_str(), t.tree.Path(L"medium away").c_str());
                     t.cleanups.push_back(
                         [&t] { TTempTree::RemoveTree(t.tree.Path(L"medium away")); });
                     return std::wstring(1, letter) + L":\\";
                 }
             ADD_FAILURE() << "no free drive letter";
             return L"Q:\\";
         },
         TOutcome::Refused},
        {"server that does not exist",
         [](BadPlacesTest&) { return std::wstring(L"\\\\bivista-no-such-server\\share"); },
         TOutcome::Refused},
        {"path longer than 260 characters",
         [](BadPlacesTest& t) {
             std::wstring relative = L"long";
             const std::wstring part(60, L'x');
             for (int level = 0; level < 5; ++level)
                 relative += L"\\" + part + std::to_wstring(level);
             const std::wstring path = t.tree.Path(relative);
             std::wstring walk = L"\\\\?\\" + ExcludeTrailingBackslash(t.tree.Root());
             size_t start = 0;
             while (start <= relative.size()) {
                 const size_t end = relative.find(L'\\', start);
                 walk += L"\\" + relative.substr(start, end - start);
                 CreateDirectoryW(walk.c_str(), nullptr);
                 if (end == std::wstring::npos)
                     break;
                 start = end + 1;
             }
             CloseHandle(CreateFileW((walk + L"\\inside.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, 0, nullptr));
             return path;
         },
         TOutcome::Either},
        {"leading spaces", [](BadPlacesTest& t) { return t.VerbatimFolder(L"  leading"); },
         TOutcome::Shown},
        {"trailing spaces", [](BadPlacesTest& t) { return t.VerbatimFolder(L"trailing  "); },
         TOutcome::Either},
        {"trailing dots", [](BadPlacesTest& t) { return t.VerbatimFolder(L"dots.."); },
         TOutcome::Either},
        {"characters outside the basic plane",
         [](BadPlacesTest& t) {
             return t.VerbatimFolder(L"emoji \U0001F4C1 \U0001F600 \U00020000");
         },
         TOutcome::Shown},
        {"names differing only by case",
         [](BadPlacesTest& t) {
             t.tree.File(L"Case\\other.txt");
             const std::wstring host = HostPathOf(t.tree.Root()) + L"/case";
             RunHostShell(L"mkdir -p '" + host + L"' && touch '" + host + L"/inside.txt'");
             const std::wstring path = t.tree.Path(L"case");
             PumpMessagesUntil(
                 [&] {
                     return GetFileAttributesW((path + L"\\inside.txt").c_str()) !=
                            INVALID_FILE_ATTRIBUTES;
                 },
                 3000);
             t.cleanups.push_back([host] { RunHostShell(L"rm -rf '" + host + L"'"); });
             return path;
         },
         TOutcome::Shown},
        {"right-to-left text",
         [](BadPlacesTest& t) {
             return t.VerbatimFolder(L"\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627");
         },
         TOutcome::Shown},
    };
    DWORD longest = 0;
    std::string longestAt;
    for (const TBadPlace& place : places) {
        for (int route = 0; route < 4; ++route) {
            SCOPED_TRACE(std::string(place.name) + " from the " + kRouteNames[route]);
            ExpectUsable(L"one", {L"a.txt", L"b.txt", L"inner"});
            const std::wstring path = place.make(*this);
            bool messaged = false;
            const DWORD elapsed = Navigate(static_cast<TRoute>(route), path, messaged);
            EXPECT_LT(elapsed, kHangBound);
            if (elapsed > longest) {
                longest = elapsed;
                longestAt = std::string(place.name) + " from the " + kRouteNames[route];
            }
            const bool shown = ListNames() == Names{L"inside.txt"};
            if (place.outcome == TOutcome::Shown) {
                EXPECT_TRUE(shown) << "messaged " << messaged;
            } else if (place.outcome == TOutcome::Refused) {
                EXPECT_FALSE(shown);
            }
            std::printf("%-36s %-8s %5lu ms %s%s\n", place.name, kRouteNames[route],
                        static_cast<unsigned long>(elapsed), shown ? "shown" : "not shown",
                        messaged ? ", message" : "");
            Cleanup();
            ExpectUsable(L"two", {L"c.txt"});
        }
    }
    std::printf("longest wait: %lu ms (%s)\n", static_cast<unsigned long>(longest),
                longestAt.c_str());
}

// A share whose server stops answering: expanding its folders in the tree, or showing them
// in the list, gives up after a bounded wait instead of freezing the window; once the server
// answers again, the same expansion fills the folder. (The share is a local folder taken for a
// network one: Wine cannot parse a share's UNC path.)
TEST_F(BadPlacesTest, ANetworkFolderThatDoesNotAnswerIsNotWaitedFor)
{
    tree.Folder(L"share\\sub");
    tree.File(L"share\\file.txt");
    const std::wstring share = tree.Path(L"share");
    NetworkFolderTestHook = [share](const std::wstring& path) {
        return SameFileName(ExcludeTrailingBackslash(path), share);
    };
    cleanups.push_back([] { NetworkFolderTestHook = nullptr; });
    shellTree->RefreshContents();
    Draw();
    auto* root = static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
    ASSERT_NE(root, nullptr);
    TZelShellTreeNode* node = nullptr;
    for (int index = 0; index < root->Count(); ++index)
        if (root->Item(index)->Text() == L"share")
            node = static_cast<TZelShellTreeNode*>(root->Item(index));
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(FolderMayWait(node->AbsoluteIDList()));

    // The server stops answering until the test lets it go. The event is shared: the probing
    // thread may still hold it after the test.
    const auto answer =
        std::make_shared<TScopedHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE released = answer->get();
    const auto asked = std::make_shared<std::atomic<int>>(0);
    NetworkProbeTestHook = [answer] { WaitForSingleObject(answer->get(), 60000); };
    cleanups.push_back([answer] { SetEvent(answer->get()); });
    shellTree->NetworkWaitLimit = 300;
    list->NetworkWaitLimit = 300;
    DWORD start = GetTickCount();
    node->Expand(false);
    EXPECT_LT(GetTickCount() - start, kHangBound);
    EXPECT_EQ(node->Count(), 0);
    EXPECT_TRUE(node->HasChildren());  // another try stays possible
    start = GetTickCount();
    list->FolderChanged(node->AbsoluteIDList());  // as the link tells it
    EXPECT_LT(GetTickCount() - start, kHangBound);
    EXPECT_EQ(list->Items()->Count(), 0);

    // It answers again. Until the question that was stuck has ended, the share is not asked
    // again: one question per place at a time.
    SetEvent(released);
    PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, kHangBound);
    NetworkProbeTestHook = [asked] { ++*asked; };
    shellTree->NetworkWaitLimit = kHangBound;
    list->NetworkWaitLimit = kHangBound;
    node->Expand(false);
    EXPECT_EQ(asked->load(), 1);
    ASSERT_EQ(node->Count(), 1);
    EXPECT_EQ(node->Item(0)->Text(), L"sub");
    list->FolderChanged(node->AbsoluteIDList());
    EXPECT_EQ(ListNames(), (Names{L"sub", L"file.txt"}));
    // Folders elsewhere are not asked.
    ExpectUsable(L"one", {L"a.txt", L"b.txt", L"inner"});
    EXPECT_EQ(asked->load(), 2);
}

}  // namespace
