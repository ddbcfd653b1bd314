#include "engine/LookupRate.h"
#include "engine/ResultStore.h"
#include "engine/RowStateCounts.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

TEST(RowStateCounts, EveryStateTextFallsInOneGroup) {
    ResultStore rows;
    const char* states[] = {"is available", "hold", "is not available", "no data",      "no method",
                            "waiting",      "",     "Loading 40 bt",    "is available", "Aborting"};
    for (const char* state : states)
        rows.setSubItem(rows.append("x.com"), ResultStore::kState, state);
    const RowStateCounts c = CountRowStates(rows);
    EXPECT_EQ(c.available, 2u);
    EXPECT_EQ(c.hold, 1u);
    EXPECT_EQ(c.notAvailable, 1u);
    EXPECT_EQ(c.noData, 2u);
    EXPECT_EQ(c.waiting, 1u);
    EXPECT_EQ(c.open, 3u);
    EXPECT_EQ(c.done(), 6u);
    EXPECT_EQ(c.total(), rows.size());
    EXPECT_TRUE(LookupEnded(StateGroupOf("no method")));
    EXPECT_FALSE(LookupEnded(StateGroupOf("waiting")));
    EXPECT_FALSE(LookupEnded(StateGroupOf("Connecting")));
}

TEST(LookupRate, CountsTheLastMinuteAndNotBefore) {
    LookupRate rate;
    rate.start(10'000);
    EXPECT_EQ(rate.perMinute(10'500), 0) << "no rate before a second has passed";
    EXPECT_FALSE(rate.secondsLeft(100, 10'500));
    // 2 lookups a second for the first 30 seconds.
    for (int s = 0; s < 30; ++s) {
        rate.ended(10'000 + s * 1000 + 100);
        rate.ended(10'000 + s * 1000 + 600);
    }
    EXPECT_NEAR(rate.perMinute(40'000), 120, 0.01);
    EXPECT_EQ(rate.secondsLeft(240, 40'000), 120);
    // Nothing more for 20 seconds: the rate falls as the window is over 50 seconds now.
    EXPECT_NEAR(rate.perMinute(60'000), 60 * 60.0 / 50, 0.01);
    // After a minute without a lookup ending, the old seconds no longer count.
    EXPECT_EQ(rate.perMinute(100'001), 0);
    EXPECT_FALSE(rate.secondsLeft(10, 100'001));
    rate.ended(100'500);
    EXPECT_NEAR(rate.perMinute(101'000), 1.0, 0.05);
}

TEST(LookupRate, ManyLookupsCostNoMemory) {
    LookupRate rate;
    rate.start(0);
    for (int i = 0; i < 600'000; ++i)
        rate.ended(i / 10); // 10,000 a second for a minute
    EXPECT_NEAR(rate.perMinute(60'000), 600'000, 600'000 * 0.02);
}

} // namespace
} // namespace zendrel
