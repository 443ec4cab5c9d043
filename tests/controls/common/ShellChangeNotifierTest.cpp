#include "controls/common/ShellChangeNotifier.h"
#include "common/CaughtExceptions.h"
#include "common/TempTree.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TReport {
    TNotificationEvent event;
    std::wstring path1;
    std::wstring path2;
};

// A notifier that records every report it dispatches (what OnChange would receive).
class TRecordingNotifier : public TZelShellChangeNotifier {
public:
    using TZelShellChangeNotifier::TZelShellChangeNotifier;
    std::vector<TReport> reports;
    bool failDispatch = false;
    void DispatchChange(TObject* Sender, TNotificationEvent Event, const std::wstring& path1,
                        const std::wstring& path2) override
    {
        EXPECT_EQ(Sender, this);
        reports.push_back({Event, path1, path2});
        if (failDispatch)
            throw std::runtime_error("dispatch failed");
        TZelShellChangeNotifier::DispatchChange(Sender, Event, path1, path2);
    }
};

class NotifierTest : public testing::Test {
protected:
    TTempTree tree;
    TRecordingNotifier notifier{nullptr};
    std::vector<TReport>& reports = notifier.reports;

    void Watch(const std::wstring& folder)
    {
        const TOwnedIDList list = IDListFromPath(nullptr, folder);
        ASSERT_TRUE(list);
        notifier.SetEnabled(true);
        notifier.WatchIDList(list);
        ASSERT_TRUE(notifier.Active());
    }

    // Waits until `count` reports have arrived (or a second has passed).
    bool WaitFor(size_t count)
    {
        return PumpMessagesUntil([&] { return reports.size() >= count; }, 1000);
    }
};

void Announce(LONG event, const std::wstring& path, const std::wstring& other = {})
{
    SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSH, path.c_str(),
                   other.empty() ? nullptr : other.c_str());
}

}  // namespace

TEST(NotificationEvents, FlagTableRoundTrips)
{
    EXPECT_EQ(ShellFlagOf(neFileRename), SHCNE_RENAMEITEM);
    EXPECT_EQ(ShellFlagOf(neImageListChange), SHCNE_UPDATEIMAGE);
    EXPECT_EQ(ShellFlagOf(neUnknown), 0x7FFFFFFF);
    for (int index = 0; index < neUnknown; ++index) {
        const auto event = static_cast<TNotificationEvent>(index);
        EXPECT_EQ(NotificationEventOf(ShellFlagOf(event)), event);
        EXPECT_EQ(NotificationEventOf(ShellFlagOf(event) | SHCNE_INTERRUPT), event);
    }
    EXPECT_EQ(NotificationEventOf(SHCNE_EXTENDED_EVENT), neUnknown);
    EXPECT_EQ(ShellFlagsOf(AllKnownNotificationEvents()), 0x0807FFFF);
    TNotificationEvents withUnknown;
    withUnknown.set(neUnknown);
    EXPECT_EQ(ShellFlagsOf(withUnknown), 0x7FFFFFFF);
}

TEST(NotifierDirectories, NamesThatOnlyReadAlikeAreDistinctFolders)
{
    // Ordinal comparison, as the file system tells names apart: a sharp s, a ligature or a
    // soft hyphen makes another folder, not a duplicate.
    TNotifierDirectories directories;
    const std::vector<std::wstring> distinct = {
        L"C:\\strasse", L"C:\\stra\u00DFe", L"C:\\ae", L"C:\\\u00E6", L"C:\\ab", L"C:\\a\u00ADb"};
    for (const std::wstring& path : distinct)
        directories.Add(path);
    EXPECT_EQ(directories.Count(), 6);
    for (const std::wstring& path : distinct)
        EXPECT_GE(directories.IndexOf(path), 0);
    EXPECT_EQ(directories.Strings(directories.IndexOf(L"C:\\STRASSE")), L"C:\\strasse");
    directories.Assign(distinct);
    EXPECT_EQ(directories.Count(), 6);
    // Letter case still does not count, beyond ASCII too.
    directories.Add(L"C:\\\u00C6");
    directories.Add(L"C:\\STRA\u00DFE");
    EXPECT_EQ(directories.Count(), 6);
}

TEST(NotifierDirectories, SortedCaseInsensitiveWithoutDuplicates)
{
    TNotifierDirectories directories;
    int changes = 0;
    directories.OnChange = [&] { ++changes; };
    directories.Add(L"C:\\Beta");
    directories.Add(L"c:\\alpha");
    directories.Add(L"C:\\ALPHA");
    directories.Add(L"");
    EXPECT_EQ(directories.Paths(), (std::vector<std::wstring>{L"", L"c:\\alpha", L"C:\\Beta"}));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(directories.IndexOf(L"C:\\BETA"), 2);
    directories.Assign({L"z", L"A", L"a", L"m"});
    EXPECT_EQ(directories.Paths(), (std::vector<std::wstring>{L"A", L"m", L"z"}));
    directories.Quietly([&] { directories.Delete(0); });
    EXPECT_EQ(changes, 4);
}

TEST(ShellChangeNotifierSetup, StartsDisabledAndWatchesTheComputerWhenGivenNothing)
{
    TZelShellChangeNotifier notifier(nullptr);
    EXPECT_FALSE(notifier.GetEnabled());
    EXPECT_FALSE(notifier.Active());
    EXPECT_TRUE(notifier.Recursive());
    EXPECT_EQ(notifier.EventFilter().to_ulong(), 0xFFFFFul);
    ASSERT_NE(notifier.MessageWindow(), nullptr);

    notifier.SetRecursive(false);
    notifier.SetEnabled(true);
    EXPECT_TRUE(notifier.Active());
    ASSERT_EQ(notifier.Directories().Count(), 1);
    EXPECT_EQ(notifier.Directories().Strings(0), L"");
    EXPECT_NE(notifier.Directories().Handle(0), 0u);
    EXPECT_TRUE(notifier.Recursive());

    // A real folder replaces the placeholder.
    TTempTree tree;
    notifier.Directories().Add(tree.Root());
    ASSERT_EQ(notifier.Directories().Count(), 1);
    EXPECT_TRUE(SameText(notifier.Directories().Strings(0), tree.Root()));
    EXPECT_NE(notifier.Directories().Handle(0), 0u);

    notifier.SetEnabled(false);
    EXPECT_FALSE(notifier.Active());
    EXPECT_EQ(notifier.Directories().Handle(0), 0u);
}

TEST(ShellChangeNotifierSetup, WatchingAnIDListDropsTheLonePlaceholder)
{
    TZelShellChangeNotifier notifier(nullptr);
    notifier.SetEnabled(true);
    ASSERT_EQ(notifier.Directories().Count(), 1);
    notifier.WatchIDList(DesktopIDList);
    EXPECT_EQ(notifier.Directories().Count(), 0);
    EXPECT_EQ(IDListSize(notifier.WatchedIDList()), 2u);
    EXPECT_TRUE(notifier.Active());
}

TEST(ShellChangeNotifierSetup, LoadingEnabledStartsAfterLoaded)
{
    TZelShellChangeNotifier notifier(nullptr);
    notifier.BeginLoading();
    notifier.SetEnabled(true);
    EXPECT_FALSE(notifier.Active());
    notifier.EndLoading();
    EXPECT_TRUE(notifier.Active());
}

TEST_F(NotifierTest, CreateAndRenameReportsArriveDecoded)
{
    Watch(tree.Root());
    const std::wstring file = tree.File(L"new.txt");
    Announce(SHCNE_CREATE, file);
    ASSERT_TRUE(WaitFor(1));
    EXPECT_EQ(reports[0].event, neFileCreate);
    EXPECT_TRUE(SameFileName(reports[0].path1, file));
    EXPECT_EQ(reports[0].path2, L"");

    const std::wstring renamed = tree.Path(L"renamed.txt");
    MoveFileW(file.c_str(), renamed.c_str());
    Announce(SHCNE_RENAMEITEM, file, renamed);
    ASSERT_TRUE(WaitFor(2));
    EXPECT_EQ(reports[1].event, neFileRename);
    EXPECT_TRUE(SameFileName(reports[1].path1, file));
    EXPECT_TRUE(SameFileName(reports[1].path2, renamed));

    const std::wstring folder = tree.Folder(L"sub");
    Announce(SHCNE_MKDIR, folder);
    ASSERT_TRUE(WaitFor(3));
    EXPECT_EQ(reports[2].event, neFolderCreate);
}

// A file written again and again is reported at most once per 2.5 seconds, and its last
// write is not lost: the repeats come once, when the time is up.
TEST_F(NotifierTest, RepeatsWithinTwoAndAHalfSecondsComeOnceWhenTheTimeIsUp)
{
    Watch(tree.Root());
    const std::wstring file = tree.File(L"busy.txt");
    for (int write = 0; write < 3; ++write)
        Announce(SHCNE_UPDATEITEM, file);
    ASSERT_TRUE(WaitFor(1));
    PumpMessages(200);
    EXPECT_EQ(reports.size(), 1u);

    // Another flag or another item is not a repeat.
    Announce(SHCNE_ATTRIBUTES, file);
    ASSERT_TRUE(WaitFor(2));
    const std::wstring other = tree.File(L"other.txt");
    Announce(SHCNE_ATTRIBUTES, other);
    ASSERT_TRUE(WaitFor(3));

    ASSERT_TRUE(PumpMessagesUntil([&] { return reports.size() >= 4; }, 5000));
    PumpMessages(300);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[3].event, neFileChange);
    EXPECT_TRUE(SameFileName(reports[3].path1, file));

    PumpMessages(2600);
    Announce(SHCNE_ATTRIBUTES, other);
    ASSERT_TRUE(WaitFor(5));
    EXPECT_EQ(reports[4].event, neAttributesChange);
    EXPECT_EQ(reports.size(), 5u);
}

TEST_F(NotifierTest, FilterDropsWhatItExcludes)
{
    TNotificationEvents onlyChanges;
    onlyChanges.set(neFileChange);
    notifier.SetEventFilter(onlyChanges);
    Watch(tree.Root());
    const std::wstring file = tree.File(L"a.txt");
    const std::wstring renamed = tree.Path(L"b.txt");
    Announce(SHCNE_RENAMEITEM, file, renamed);
    Announce(SHCNE_CREATE, file);
    Announce(SHCNE_UPDATEITEM, renamed);
    ASSERT_TRUE(WaitFor(1));
    PumpMessages(200);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].event, neFileChange);
}

TEST_F(NotifierTest, UnknownDecodesFlagsOutsideTheTable)
{
    TNotificationEvents onlyUnknown;
    onlyUnknown.set(neUnknown);
    notifier.SetEventFilter(onlyUnknown);
    Watch(tree.Root());
    // A known report is decoded as itself and dropped by this filter.
    Announce(SHCNE_CREATE, tree.File(L"x.txt"));
    PumpMessages(200);
    EXPECT_TRUE(reports.empty());
    // A report with a flag outside the table, as the shell would deliver it to the window.
    const TOwnedIDList item = IDListFromPath(nullptr, tree.Path(L"x.txt"));
    LPCITEMIDLIST lists[2] = {item.get(), nullptr};
    SendMessageW(notifier.MessageWindow(), WM_ZEL_SHELLNOTIFY, reinterpret_cast<WPARAM>(lists),
                 SHCNE_EXTENDED_EVENT);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].event, neUnknown);
    EXPECT_TRUE(SameFileName(reports[0].path1, tree.Path(L"x.txt")));
}

TEST_F(NotifierTest, ImageListReportsCarryTheIndexAndAreNeverRepeats)
{
    // Wine sends no image-list reports to folder watchers; deliver one as the shell packs it:
    // numbers in DWORD "ID lists", the index in the second on NT.
    Watch(tree.Root());
    SHChangeDWORDAsIDList first{sizeof(SHChangeDWORDAsIDList) - sizeof(USHORT), 7, 0, 0};
    SHChangeDWORDAsIDList second{sizeof(SHChangeDWORDAsIDList) - sizeof(USHORT), 42, 0, 0};
    LPCITEMIDLIST lists[2] = {reinterpret_cast<LPCITEMIDLIST>(&first),
                              reinterpret_cast<LPCITEMIDLIST>(&second)};
    for (int round = 0; round < 2; ++round)
        SendMessageW(notifier.MessageWindow(), WM_ZEL_SHELLNOTIFY, reinterpret_cast<WPARAM>(lists),
                     SHCNE_UPDATEIMAGE);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].event, neImageListChange);
    EXPECT_EQ(reports[0].path1, L"42");
    EXPECT_EQ(reports[0].path2, L"");
    EXPECT_EQ(reports[1].path1, L"42");
}

TEST_F(NotifierTest, InternalCallbackGetsTheRawIDListsFirst)
{
    std::vector<std::wstring> heard;
    notifier.SetInternalCallback([&](TZelShellChangeNotifier* sender, TNotificationEvent event,
                                     TBorrowedIDList first, TBorrowedIDList) {
        EXPECT_EQ(sender, &notifier);
        EXPECT_TRUE(reports.empty());  // before the dispatch
        heard.push_back(PathFromIDList(first));
    });
    Watch(tree.Root());
    const std::wstring file = tree.File(L"seen.txt");
    Announce(SHCNE_CREATE, file);
    ASSERT_TRUE(WaitFor(1));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_TRUE(SameFileName(heard[0], file));
}

TEST_F(NotifierTest, AFailingHandlerIsReportedAndTheNotifierCarriesOn)
{
    // An exception must never cross the window procedure or the synchronised call: it goes to
    // the application's handler, and the next report is handled as usual.
    TCaughtExceptions caught;
    notifier.SetInternalCallback(
        [](TZelShellChangeNotifier*, TNotificationEvent, TBorrowedIDList, TBorrowedIDList) {
            throw std::runtime_error("refresh failed");
        });
    std::vector<std::wstring> changes;
    notifier.OnChange = [&](TObject*, TNotificationEvent, const std::wstring& path1,
                            const std::wstring&) {
        changes.push_back(path1);
        throw std::runtime_error("handler failed");
    };
    Watch(tree.Root());
    auto report = [this](const std::wstring& file) {
        const TOwnedIDList item = IDListFromPath(nullptr, file);
        LPCITEMIDLIST lists[2] = {item.get(), nullptr};
        SendMessageW(notifier.MessageWindow(), WM_ZEL_SHELLNOTIFY, reinterpret_cast<WPARAM>(lists),
                     SHCNE_CREATE);
    };

    report(tree.File(L"one.txt"));
    ASSERT_EQ(caught.messages, (std::vector<std::string>{"refresh failed"}));
    EXPECT_EQ(caught.senders[0], &notifier);
    // The failing callback does not cost the published event.
    ASSERT_EQ(reports.size(), 1u);
    ASSERT_TRUE(PumpMessagesUntil([&] { return caught.messages.size() == 2; }, 3000));
    EXPECT_EQ(caught.messages[1], "handler failed");
    EXPECT_EQ(caught.senders[1], &notifier);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_TRUE(SameFileName(changes[0], tree.Path(L"one.txt")));

    // A dispatch that fails (the pool refusing the work, say) is caught at the window.
    notifier.failDispatch = true;
    report(tree.File(L"two.txt"));
    ASSERT_EQ(caught.messages.size(), 4u);
    EXPECT_EQ(caught.messages[3], "dispatch failed");

    notifier.failDispatch = false;
    notifier.SetInternalCallback(nullptr);
    notifier.OnChange = nullptr;
    report(tree.File(L"three.txt"));
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(caught.messages.size(), 4u);
}

TEST_F(NotifierTest, DisabledNotifierIgnoresReports)
{
    Watch(tree.Root());
    notifier.SetEnabled(false);
    Announce(SHCNE_CREATE, tree.File(L"quiet.txt"));
    PumpMessages(200);
    EXPECT_TRUE(reports.empty());
}

TEST_F(NotifierTest, OnChangeRunsOnTheGuiThreadAfterTheReport)
{
    std::vector<TReport> changes;
    DWORD thread = 0;
    notifier.OnChange = [&](TObject* sender, TNotificationEvent event, const std::wstring& path1,
                            const std::wstring& path2) {
        EXPECT_EQ(sender, &notifier);
        thread = GetCurrentThreadId();
        changes.push_back({event, path1, path2});
    };
    Watch(tree.Root());
    const std::wstring folder = tree.Folder(L"made");
    Announce(SHCNE_MKDIR, folder);
    ASSERT_TRUE(PumpMessagesUntil([&] { return !changes.empty(); }, 3000));
    EXPECT_EQ(thread, GetCurrentThreadId());
    EXPECT_EQ(changes[0].event, neFolderCreate);
    EXPECT_TRUE(SameFileName(changes[0].path1, folder));
}

TEST(ShellChangeNotifierLifetime, DestructionDeliversQueuedChangesFirst)
{
    TTempTree tree;
    std::vector<std::wstring> delivered;
    {
        TZelShellChangeNotifier notifier(nullptr);
        notifier.OnChange = [&](TObject*, TNotificationEvent, const std::wstring& path1,
                                const std::wstring&) { delivered.push_back(path1); };
        notifier.SetEnabled(true);
        notifier.WatchIDList(IDListFromPath(nullptr, tree.Root()));
        // Dispatch directly, as the message window would, several times in a row: the calls are
        // queued on the pool and none has reached the GUI thread yet.
        for (int index = 0; index < 5; ++index)
            notifier.DispatchChange(&notifier, neFileCreate, L"file" + std::to_wstring(index), L"");
        EXPECT_TRUE(delivered.empty());
    }
    EXPECT_EQ(delivered.size(), 5u);
    // Nothing arrives after the notifier is gone.
    PumpMessages(200);
    EXPECT_EQ(delivered.size(), 5u);
}

TEST_F(NotifierTest, ShellFileOperationsAndTheirAnnouncements)
{
    Watch(tree.Root());
    const std::wstring file = tree.File(L"doomed.txt");
    std::wstring from = file + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    ASSERT_FALSE(PathExists(file));
    // Whatever the shell reports of its own operation arrives decoded; a program that
    // announces the deletion is heard in any case.
    PumpMessages(300);
    const size_t heardFromShell = reports.size();
    for (const TReport& report : reports)
        EXPECT_EQ(report.event, neFileDelete);
    Announce(SHCNE_DELETE, file);
    ASSERT_TRUE(WaitFor(heardFromShell + 1));
    EXPECT_EQ(reports.back().event, neFileDelete);
    EXPECT_TRUE(SameFileName(reports.back().path1, file));
    std::printf("shell file operation reported %u change(s)\n",
                static_cast<unsigned>(heardFromShell));
}
