// The one bounded wait: a question that does not answer in time is left to run on alone,
// without holding up the caller, without a second thread for the same place, and without
// leaving anything behind once it ends.
#include "core/BoundedWait.h"

#include "common/TempTree.h"
#include "core/ScopedResource.h"
#include "core/SyncCall.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

// A question that waits until the test lets it answer. The event is shared: the question may
// outlive the test's wait for it.
class TStuckQuestion {
public:
    TStuckQuestion()
        : release_(std::make_shared<TScopedHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr)))
    {
    }
    ~TStuckQuestion() { Release(); }
    void Release() { SetEvent(release_->get()); }
    std::function<bool()> Question(bool answer = true) const
    {
        return [release = release_, answer] {
            WaitForSingleObject(release->get(), 30000);
            return answer;
        };
    }

private:
    std::shared_ptr<TScopedHandle> release_;
};

bool AllThreadsEnded()
{
    return PumpMessagesUntil([] { return BoundedWaitThreadCount() == 0; }, 10000);
}

TBoundedWaitRequest Request(const wchar_t* key, DWORD limit = 5000)
{
    TBoundedWaitRequest request;
    request.Key = key;
    request.TimeLimit = limit;
    return request;
}

TEST(BoundedWait, AnswersAsTheQuestionDoes)
{
    ASSERT_TRUE(AllThreadsEnded());
    DWORD askedOn = 0;
    EXPECT_EQ(WaitBounded(Request(L"A"),
                          [&] {
                              askedOn = GetCurrentThreadId();
                              return true;
                          }),
              bwFound);
    EXPECT_NE(askedOn, GetCurrentThreadId());
    EXPECT_EQ(WaitBounded(Request(L"A"), [] { return false; }), bwNotFound);
    EXPECT_EQ(WaitBounded(Request(L"A"), []() -> bool { throw std::runtime_error("gone"); }),
              bwNotFound);
    EXPECT_TRUE(AllThreadsEnded());
}

TEST(BoundedWait, GivesUpOnAStuckQuestionAndTheCallerGoesOn)
{
    ASSERT_TRUE(AllThreadsEnded());
    TStuckQuestion stuck;
    EXPECT_EQ(WaitBounded(Request(L"\\\\DEAD", 100), stuck.Question()), bwTimedOut);
    EXPECT_EQ(BoundedWaitThreadCount(), 1);
    // Another place answers meanwhile.
    EXPECT_EQ(WaitBounded(Request(L"\\\\ALIVE"), [] { return true; }), bwFound);
    stuck.Release();
    EXPECT_TRUE(AllThreadsEnded());
}

TEST(BoundedWait, OneStuckQuestionPerPlaceAtMost)
{
    ASSERT_TRUE(AllThreadsEnded());
    TStuckQuestion stuck;
    EXPECT_EQ(WaitBounded(Request(L"\\\\DEAD", 100), stuck.Question()), bwTimedOut);
    // The same place, in any case: given up at once, and the question is never asked.
    std::atomic<int> asked{0};
    for (const wchar_t* key : {L"\\\\DEAD", L"\\\\dead"}) {
        EXPECT_EQ(WaitBounded(Request(key),
                              [&] {
                                  ++asked;
                                  return true;
                              }),
                  bwTimedOut)
            << key;
    }
    EXPECT_EQ(asked.load(), 0);
    EXPECT_EQ(BoundedWaitThreadCount(), 1);
    // Questions without a place are not held back by it.
    EXPECT_EQ(WaitBounded(Request(L""), [] { return true; }), bwFound);

    // Once the stuck one has ended, the place is asked again.
    stuck.Release();
    ASSERT_TRUE(AllThreadsEnded());
    EXPECT_EQ(WaitBounded(Request(L"\\\\DEAD"),
                          [&] {
                              ++asked;
                              return true;
                          }),
              bwFound);
    EXPECT_EQ(asked.load(), 1);
}

TEST(BoundedWait, AQuestionThatEndsAfterTheCallerGaveUpFreesWhatItHeld)
{
    ASSERT_TRUE(AllThreadsEnded());
    TStuckQuestion stuck;
    auto held = std::make_shared<int>(7);
    const std::weak_ptr<int> watch = held;
    EXPECT_EQ(WaitBounded(Request(L"E:", 50),
                          [held = std::move(held), inner = stuck.Question()] { return inner(); }),
              bwTimedOut);
    EXPECT_FALSE(watch.expired());  // the question still runs with it
    stuck.Release();
    ASSERT_TRUE(AllThreadsEnded());
    EXPECT_TRUE(watch.expired());
}

TEST(BoundedWait, ServesSynchronisedCallsWhileItWaits)
{
    ASSERT_TRUE(IsMainThread());
    DWORD ranOn = 0;
    // The question needs the GUI thread: unless the wait serves it, it cannot answer in time.
    EXPECT_EQ(WaitBounded(Request(L"\\\\SERVER", 10000),
                          [&] {
                              Synchronize([&] { ranOn = GetCurrentThreadId(); });
                              return true;
                          }),
              bwFound);
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

TEST(BoundedWait, CriticalErrorBoxesAreOffOnTheAskingThreadOnlyUnlessWanted)
{
    const UINT callerMode = GetThreadErrorMode();
    for (const bool showErrors : {false, true}) {
        TBoundedWaitRequest request = Request(L"F:");
        request.ShowErrors = showErrors;
        DWORD mode = 0xFFFF;
        ASSERT_EQ(WaitBounded(request,
                              [&] {
                                  mode = GetThreadErrorMode();
                                  return true;
                              }),
                  bwFound);
        EXPECT_EQ((mode & SEM_FAILCRITICALERRORS) != 0, !showErrors) << showErrors;
    }
    EXPECT_EQ(GetThreadErrorMode(), callerMode);
}

}  // namespace
