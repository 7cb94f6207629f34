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

// The fine clock of the pause between writes and the reply time-out: the
// performance counter in microseconds, exact on the manual clock, running on
// where the tick counter wraps, and never going back when a test switches
// clocks.
TEST_F(Ticks, TheFineClockCountsMicrosecondsAcrossTheTickWrap) {
    WinapiUseManualClock(0xFFFFFFFFu - 2u);
    FineTime start = FineNow();
    WinapiAdvanceClockMicroseconds(2500);
    EXPECT_EQ(2500, FineSince(&start));
    EXPECT_EQ(0, FinePassed(&start, 10000));
    EXPECT_EQ(7500, FineLeft(&start, 10000));
    WinapiAdvanceClockMicroseconds(7500); // the tick counter has wrapped
    EXPECT_LT(GetTickCount(), 100u);
    EXPECT_EQ(1, FinePassed(&start, 10000));
    EXPECT_EQ(0, FineLeft(&start, 10000));
}

TEST_F(Ticks, TheFineClockNeverGoesBack) {
    FineTime before = FineNow();
    WinapiUseManualClock(1000);
    FineTime manual = FineNow();
    EXPECT_GE(manual, before);
    WinapiAdvanceClock(5);
    EXPECT_EQ(manual + 5000, FineNow());
    WinapiUseRealClock();
    EXPECT_GE(FineNow(), manual + 5000);
    WinapiUseManualClock(10);
    EXPECT_GE(FineNow(), manual + 5000);
    // A start ahead of the clock counts from now.
    FineTime ahead = FineNow() + 1000000;
    EXPECT_EQ(0, FineSince(&ahead));
    WinapiAdvanceClockMicroseconds(300);
    EXPECT_EQ(300, FineSince(&ahead));
}

} // namespace
