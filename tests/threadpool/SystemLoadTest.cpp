#include "threadpool/SystemLoad.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(SystemLoadTest, AFirstSampleIsUnknownAndLaterOnesArePercentages)
{
    // A first sample has nothing before it to measure against; two taken back to back would
    // read an idle machine as a full one.
    TCpuUsageSampler sampler;
    EXPECT_EQ(sampler.Sample(), -1.0);
    for (int i = 0; i < 3; ++i) {
        Sleep(250);
        const double load = sampler.Sample();
        // Coarse idle counters may take a sample a little past either end.
        EXPECT_GT(load, -10.0);
        EXPECT_LT(load, 110.0);
    }
    EXPECT_GE(ProcessorCount(), 1);
}

}  // namespace
