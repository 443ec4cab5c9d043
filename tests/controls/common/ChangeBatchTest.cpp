// The change batch: the reports a control receives in, the batches its timer answers out.
#include "controls/common/ChangeBatch.h"

#include "controls/common/DiskWatcher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr UINT kDelay = 300;
constexpr size_t kLimit = 3;
constexpr DWORD kPutOffLimit = 200;

// Steps, separated by ';':
//   add N, remove N, update N, rename OLD NEW, overflow, gone   what the disk watch saw
//   report N, report                                            a shell report (of the folder)
//   start                                                       the timer started by no report
//   busy, free                                                  the control's own work
//   wait MS, at MS                                              the clock
//   tick                                                        the running timer runs out
//   due MS, idle                                                the timer as it should be now
//   forget                                                      another folder shown
// An answered batch reads as its names in order, or "*" for the whole folder.
struct TBatchCase {
    const char* Name;
    const char* Steps;
    std::vector<std::wstring> Answered;
};

const TBatchCase kBatchCases[] = {
    {"a burst is answered once", "add a; wait 100; add b; wait 100; remove c; tick", {L"a b c"}},
    {"bursts apart are answered apart", "add a; tick; add b; tick", {L"a", L"b"}},
    {"a rename names both objects", "rename old new; tick", {L"new old"}},
    {"one object however reported, first spelling kept",
     "add Note.txt; report NOTE.TXT; update note.txt; remove Note.txt; tick",
     {L"Note.txt"}},
    {"names are answered in key order", "add b; add C; add a; tick", {L"a b C"}},
    {"up to the limit by name", "add a; add b; add c; tick", {L"a b c"}},
    {"past the limit the whole folder", "add a; add b; add c; add d; tick", {L"*"}},
    {"a rename past the limit", "add a; add b; rename c d; tick", {L"*"}},
    {"an overflow is the whole folder", "add a; overflow; add b; tick", {L"*"}},
    {"a folder gone is the whole folder", "gone; rename a b; tick", {L"*"}},
    {"a report of the folder itself", "report a; report; tick", {L"*"}},
    {"a start by no report is the whole folder", "start; tick", {L"*"}},
    {"a start by no report with names waiting", "add a; start; tick", {L"a"}},
    {"a whole folder answered, names start afresh", "overflow; tick; add a; tick", {L"*", L"a"}},
    {"what another folder noted is forgotten", "add a; forget; add b; tick", {L"b"}},
    {"busy holds the changes until free",
     "add a; busy; tick; due 600; tick; add b; free; tick; idle",
     {L"a b"}},
    {"a report restarts the delay",
     "add a; due 300; wait 100; add b; due 400; tick; idle",
     {L"a b"}},
    {"a long burst is put off no longer than the limit",
     "add a; wait 150; add b; due 450; wait 60; add c; due 450; wait 200; start; due 450; "
     "tick; idle",
     {L"a b c"}},
    {"the limit counts from the first waiting report",
     "add a; tick; wait 1000; add b; due 1600; wait 150; add c; due 1750; tick",
     {L"a", L"b c"}},
    {"the put-off limit across the clock's wrap",
     "at 4294967146; add a; due 150; wait 50; add b; due 200; wait 160; add c; due 200; tick",
     {L"a b c"}},
};

class ChangeBatchTest : public testing::Test {
protected:
    // A batch of its own for each case, at the clock's zero.
    void Fresh()
    {
        clock = 0;
        busy = false;
        answered.clear();
        batch = std::make_unique<TFolderChanges>(kDelay, kLimit, kPutOffLimit,
                                                 [this] { return clock; });
        batch->Busy = [this] { return busy; };
        batch->OnDue = [this] {
            bool whole = false;
            const std::vector<std::wstring> names = batch->TakeNames(whole);
            std::wstring answer;
            for (const std::wstring& name : names)
                answer += (answer.empty() ? L"" : L" ") + name;
            answered.push_back(whole ? L"*" : answer);
        };
    }

    void Disk(TDiskChangeKind kind, const std::wstring& name, const std::wstring& oldName = L"")
    {
        batch->NoteDiskChange(TDiskChange{kind, L"C:\\folder", name, oldName});
        batch->Start();
    }

    void Run(const std::string& steps)
    {
        std::istringstream stream(steps);
        std::string step;
        while (std::getline(stream, step, ';')) {
            std::istringstream words(step);
            std::string verb;
            std::string first;
            std::string second;
            words >> verb >> first >> second;
            const std::wstring name(first.begin(), first.end());
            const std::wstring other(second.begin(), second.end());
            SCOPED_TRACE(step);
            if (verb == "add")
                Disk(dcAdded, name);
            else if (verb == "remove")
                Disk(dcRemoved, name);
            else if (verb == "update")
                Disk(dcModified, name);
            else if (verb == "rename")
                Disk(dcRenamed, other, name);
            else if (verb == "overflow")
                Disk(dcOverflow, L"");
            else if (verb == "gone")
                Disk(dcFolderGone, L"");
            else if (verb == "report") {
                batch->NoteName(name);
                batch->Start();
            } else if (verb == "start")
                batch->Start();
            else if (verb == "busy" || verb == "free")
                busy = verb == "busy";
            else if (verb == "wait")
                clock += std::stoul(first);
            else if (verb == "at")
                clock = std::stoul(first);
            else if (verb == "tick") {
                // A timer that was stopped does not run out.
                if (batch->Running()) {
                    clock = batch->DueAt();
                    batch->Tick();
                }
            } else if (verb == "due") {
                EXPECT_TRUE(batch->Running());
                EXPECT_EQ(batch->DueAt(), static_cast<DWORD>(std::stoul(first)));
            } else if (verb == "idle")
                EXPECT_FALSE(batch->Running());
            else if (verb == "forget")
                batch->Clear();
            else
                FAIL() << "unknown step";
        }
    }

    DWORD clock = 0;
    bool busy = false;
    std::vector<std::wstring> answered;
    std::unique_ptr<TFolderChanges> batch;
};

TEST_F(ChangeBatchTest, ReportsInAnsweredBatchesOut)
{
    for (const TBatchCase& entry : kBatchCases) {
        SCOPED_TRACE(entry.Name);
        Fresh();
        Run(entry.Steps);
        EXPECT_EQ(answered, entry.Answered);
        EXPECT_TRUE(batch->Empty());
    }
}

// The tree's reports: every one kept, in order, however many.
TEST_F(ChangeBatchTest, AnOrderedBatchKeepsEveryReportInOrder)
{
    TChangeBatch<std::vector<int>> reports(kDelay);
    for (int report = 0; report < 100; ++report)
        reports.Note(report % 7);
    bool due = false;
    reports.Busy = [this] { return busy; };
    reports.OnDue = [&] { due = true; };
    reports.Start();
    busy = true;
    reports.Tick();
    EXPECT_FALSE(due);
    EXPECT_TRUE(reports.Running());
    busy = false;
    reports.Tick();
    EXPECT_TRUE(due);
    EXPECT_FALSE(reports.Running());
    const auto taken = reports.Take();
    EXPECT_FALSE(taken.Whole);
    ASSERT_EQ(taken.Changes.size(), 100u);
    for (int report = 0; report < 100; ++report)
        EXPECT_EQ(taken.Changes[static_cast<size_t>(report)], report % 7);
    EXPECT_TRUE(reports.Empty());
}

}  // namespace
