#include "shell/PidlHistory.h"

#include "common/TempTree.h"
#include "shell/IDList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A history of real folders' ID lists; `lists` keeps the raw pointers to tell entries apart.
class PidlHistoryTest : public testing::Test {
protected:
    void Push(int count)
    {
        for (int i = 0; i < count; ++i) {
            TOwnedIDList list =
                IDListFromPath(nullptr, tree.Folder(L"f" + std::to_wstring(lists.size())));
            ASSERT_TRUE(list);
            lists.push_back(list.get());
            history.Push(std::move(list));
        }
    }

    TTempTree tree;
    TPidlHistory history;
    std::vector<LPCITEMIDLIST> lists;
};

}  // namespace

TEST_F(PidlHistoryTest, BackAndForwardStopAtTheEnds)
{
    EXPECT_EQ(history.Current(), nullptr);
    history.Back(2);
    history.Push(TOwnedIDList());
    EXPECT_EQ(history.Count(), 0);

    Push(4);
    EXPECT_EQ(history.Current(), lists[3]);
    history.Back();
    EXPECT_EQ(history.Current(), lists[2]);
    history.Back(10);
    EXPECT_EQ(history.Current(), lists[0]);
    history.Forward(2);
    EXPECT_EQ(history.Current(), lists[2]);
    history.Forward(10);
    EXPECT_EQ(history.Index(), 3);
    history.SetIndex(4);  // outside the entries: ignored
    EXPECT_EQ(history.Index(), 3);
}

TEST_F(PidlHistoryTest, PushInTheMiddleDiscardsTheForwardEntries)
{
    Push(4);
    history.Back(2);
    history.Push(TOwnedIDList());  // ignored, forward entries kept
    EXPECT_EQ(history.Count(), 4);
    Push(1);
    ASSERT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Items(1), lists[1]);
    EXPECT_EQ(history.Current(), lists[4]);
    EXPECT_FALSE(history.CanGoForward());
}

TEST_F(PidlHistoryTest, DeleteEntryKeepsTheIndexOnALivingEntry)
{
    Push(4);
    history.SetIndex(2);
    history.DeleteEntry(0);  // an earlier entry: the same list stays current
    EXPECT_EQ(history.Current(), lists[2]);
    history.SetIndex(2);
    history.DeleteEntry(2);  // the current, last entry
    EXPECT_EQ(history.Current(), lists[2]);
    history.DeleteEntry(0);
    history.DeleteEntry(0);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Current(), nullptr);
}

TEST_F(PidlHistoryTest, AVisitToTheCurrentFolderIsNotRecordedAgain)
{
    Push(3);
    // The same folder again, as another copy of its list: one entry.
    history.Visit(IDListFromPath(nullptr, tree.Path(L"f2")));
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Current(), lists[2]);

    // After a step back, the folder stepped to again keeps the way forward.
    history.Back();
    history.Visit(IDListFromPath(nullptr, tree.Path(L"f1")));
    EXPECT_EQ(history.Count(), 3);
    EXPECT_TRUE(history.CanGoForward());

    // Another folder is a visit: the way forward goes.
    history.Visit(IDListFromPath(nullptr, tree.Path(L"f0")));
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Index(), 2);
    EXPECT_FALSE(history.CanGoForward());
    history.Visit(TOwnedIDList());
    EXPECT_EQ(history.Count(), 3);
}
