// Tick arithmetic: differences modulo 2^32, so waits and time-outs end on
// time across a wrap of the tick counter.
#include "host/ticks.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

namespace {

class Ticks : public ::testing::Test {
  protected:
    void TearDown() override { WinapiUseRealClock(); }
};

TEST_F(Ticks, DifferencesWrapAround) {
    EXPECT_EQ(10u, TickDiff(5u, 0xFFFFFFFBu));
    EXPECT_EQ(0u, TickDiff(7u, 7u));
    EXPECT_EQ(0xFFFFFFFFu, TickDiff(0u, 1u));
}

TEST_F(Ticks, OffsetsAreSigned) {
    EXPECT_EQ(1500, TickOffset(2500u, 1000u));
    EXPECT_EQ(-1500, TickOffset(1000u, 2500u));
    EXPECT_EQ(4, TickOffset(2u, 0xFFFFFFFEu));
    EXPECT_EQ(-4, TickOffset(0xFFFFFFFEu, 2u));
}

TEST_F(Ticks, PassedAcrossTheWrap) {
    WinapiUseManualClock(0xFFFFFFF0u);
    DWORD start = GetTickCount();
    EXPECT_EQ(0, TicksPassed(start, 32));
    WinapiAdvanceClock(31); // 0x0000000F
    EXPECT_EQ(0, TicksPassed(start, 32));
    WinapiAdvanceClock(1);
    EXPECT_EQ(1, TicksPassed(start, 32));
    EXPECT_EQ(32u, TicksSince(start));
}

TEST_F(Ticks, WaitMillisecondsEndsOnTimeAcrossTheWrap) {
    const DWORD starts[] = {1000u, 0xFFFFFFFFu - 100u, 0xFFFFFFFFu};
    for (DWORD at : starts) {
        WinapiUseManualClock(at);
        WaitMilliseconds(300);
        EXPECT_EQ(300u, TickDiff(GetTickCount(), at)) << "from " << at;
    }
}

TEST_F(Ticks, WaitOfNothingReturnsAtOnce) {
    WinapiUseManualClock(500);
    WaitMilliseconds(0);
    EXPECT_EQ(500u, GetTickCount());
}

} // namespace
