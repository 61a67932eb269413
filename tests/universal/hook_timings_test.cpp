#include "universal/hook_timings.h"

#include <gtest/gtest.h>

namespace qorva::universal {
namespace {

TEST(HookTimingsTest, NothingTimedSaysNothing) {
    const HookTimings timings;
    EXPECT_EQ(timings.Summarize().count, 0u);
    EXPECT_EQ(timings.Describe(), "");
}

TEST(HookTimingsTest, PercentilesAreTheTimesAtOrBelowWhichThatShareLies) {
    HookTimings timings;
    for (uint32_t micros = 1; micros <= 100; ++micros) timings.Add(micros);
    const HookTimings::Summary summary = timings.Summarize();
    EXPECT_EQ(summary.count, 100u);
    EXPECT_EQ(summary.p50, 50u);
    EXPECT_EQ(summary.p99, 99u);
    EXPECT_EQ(summary.max, 100u);
    EXPECT_EQ(timings.Describe(), "keyboard hook: 100 key-downs, p50 50 us, p99 99 us, max 100 us");
}

TEST(HookTimingsTest, ALongWaitIsCountedAtTheLimitAndKeptExactlyAsTheLongest) {
    HookTimings timings;
    timings.Add(7);
    timings.Add(3'000'000);  // a hook held three seconds
    const HookTimings::Summary summary = timings.Summarize();
    EXPECT_EQ(summary.p50, 7u);
    EXPECT_EQ(summary.p99, HookTimings::kExactLimitMicros);
    EXPECT_EQ(summary.max, 3'000'000u);
}

}  // namespace
}  // namespace qorva::universal
