#include "core/Thread.h"

#include "core/SyncCall.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class TLoopThread : public TThread {
public:
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool>* destroyed = nullptr;
    bool syncBeforeEnd = false;
    bool ignoreTerminate = false;

    ~TLoopThread() override
    {
        if (destroyed != nullptr)
            *destroyed = true;
    }

protected:
    void Execute() override
    {
        ranOn = GetCurrentThreadId();
        while (!Terminated() || ignoreTerminate)
            Sleep(5);
        if (syncBeforeEnd)
            Synchronize([] {});
        ReturnValue = 42;
    }
};

TEST(ThreadTest, RunsSuspendedUntilStartedAndReportsItsEnd)
{
    TLoopThread thread;
    Sleep(50);
    EXPECT_EQ(thread.ranOn.load(), 0u);
    EXPECT_TRUE(thread.Suspended());
    DWORD terminatedOn = 0;
    thread.OnTerminate = [&](TThread*) { terminatedOn = GetCurrentThreadId(); };
    thread.Start();
    const DWORD start = GetTickCount();
    while (thread.ranOn == 0 && GetTickCount() - start < 3000)
        Sleep(2);
    thread.Terminate();
    // WaitFor on the GUI thread serves the synchronised OnTerminate: no deadlock.
    EXPECT_EQ(thread.WaitFor(), 42u);
    EXPECT_EQ(thread.ranOn.load(), thread.ThreadID());
    EXPECT_EQ(terminatedOn, GetCurrentThreadId());
    EXPECT_TRUE(thread.Exited());
}

TEST(ThreadTest, FreesItselfWhenAskedTo)
{
    std::atomic<bool> destroyed{false};
    auto* thread = new TLoopThread;
    thread->destroyed = &destroyed;
    thread->SetFreeOnTerminate(true);
    thread->Start();
    thread->Terminate();
    const DWORD start = GetTickCount();
    while (!destroyed && GetTickCount() - start < 3000)
        Sleep(5);
    EXPECT_TRUE(destroyed);
}

TEST(ThreadTest, DestroyingARunningThreadEndsItFirst)
{
    std::atomic<bool> destroyed{false};
    {
        TLoopThread thread;
        thread.destroyed = &destroyed;
        thread.syncBeforeEnd = true;
        thread.Start();
        Sleep(20);
    }
    EXPECT_TRUE(destroyed);
}

TEST(ThreadTest, KilledThreadLeavesNoCallBehind)
{
    class TSyncingThread : public TThread {
    protected:
        void Execute() override
        {
            Synchronize([] { ADD_FAILURE() << "the call of a killed thread ran"; });
        }
    } thread;
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
