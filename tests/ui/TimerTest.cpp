#include "ui/Timer.h"

#include "common/TempTree.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(TimerTest, TicksWhileEnabled)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(40);
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    PumpMessages(420);
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 11);
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpMessages(150);
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
    timer.SetInterval(0);  // no interval, no ticks
    PumpMessages(150);
    EXPECT_EQ(ticks, stopped);
}

TEST(TimerTest, RestartsLeadToOneTickAfterTheLast)
{
    TTimer timer(nullptr);
    timer.SetEnabled(false);
    timer.SetInterval(150);
    std::vector<DWORD> ticks;
    timer.OnTimer = [&](TObject*) {
        ticks.push_back(GetTickCount());
        timer.SetEnabled(false);  // one shot, as a debounce does
    };
    DWORD lastRestart = 0;
    for (int i = 0; i < 8; ++i) {
        timer.Restart();
        lastRestart = GetTickCount();
        PumpMessages(40);
    }
    EXPECT_TRUE(ticks.empty());
    // A busy machine (both architectures' suites run at once) may deliver the tick late.
    PumpMessagesUntil([&] { return !ticks.empty(); }, 5000);
    PumpMessages(200);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_GE(ticks[0] - lastRestart, 140u);
}

TEST(TimerTest, AFailingHandlerIsReportedAndTheTimerKeepsTicking)
{
    // The tick arrives in a window procedure: the exception must stop there.
    TTimer timer(nullptr);
    timer.SetInterval(30);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    std::vector<TObject*> senders;
    const TExceptionEvent previous = Application->OnException;
    Application->OnException = [&](TObject* sender, const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "tick failed");
        senders.push_back(sender);
    };
    PumpMessagesUntil([&] { return ticks >= 2; }, 2000);
    Application->OnException = previous;
    timer.SetEnabled(false);
    ASSERT_GE(ticks, 2);
    EXPECT_EQ(senders.size(), static_cast<size_t>(ticks));
    EXPECT_EQ(senders[0], &timer);
}

}  // namespace
