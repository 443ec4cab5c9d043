#include "core/Thread.h"

#include "core/SyncCall.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class TTestThread : public TThread {
public:
    std::atomic<DWORD> ranOn{0};
    bool syncFirst = false;

protected:
    void Execute() override
    {
        ranOn = GetCurrentThreadId();
        if (syncFirst)
            Synchronize([] { ADD_FAILURE() << "the call of a killed thread ran"; });
        while (!Terminated() || syncFirst)  // a thread that syncs first ignores Terminate
            Sleep(5);
        ReturnValue = 42;
    }
};

void WaitForStart(const TTestThread& thread)
{
    const DWORD start = GetTickCount();
    while (thread.ranOn == 0 && GetTickCount() - start < 3000)
        Sleep(2);
}

TEST(ThreadTest, RunsOnlyOnceStartedAndEndsThroughTheGuiThread)
{
    TTestThread thread;
    Sleep(30);
    EXPECT_EQ(thread.ranOn.load(), 0u);
    DWORD terminatedOn = 0;
    thread.OnTerminate = [&](TThread*) { terminatedOn = GetCurrentThreadId(); };
    thread.Start();
    WaitForStart(thread);
    thread.Terminate();
    // WaitFor on the GUI thread serves the synchronised OnTerminate: no deadlock.
    EXPECT_EQ(thread.WaitFor(), 42u);
    EXPECT_EQ(thread.ranOn.load(), thread.ThreadID());
    EXPECT_EQ(terminatedOn, GetCurrentThreadId());
}

TEST(ThreadTest, KillEndsAStuckThreadAndDropsTheCallItLeftPending)
{
    TTestThread thread;
    thread.syncFirst = true;
    thread.Start();
    const DWORD start = GetTickCount();
    while (PendingSyncCallCount() == 0 && GetTickCount() - start < 3000)
        Sleep(5);
    ASSERT_EQ(PendingSyncCallCount(), 1);
    thread.Kill(0);
    EXPECT_TRUE(thread.Exited());
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(PendingSyncCallCount(), 0);
    EXPECT_FALSE(CheckSynchronize());
}

}  // namespace
