// The RTD input type ND6033: its start, and each channel read on its own
// schedule, also after an error wait.
#include "analogin_fixture.h"

#include "modules/analog/nd6013.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6033;

const TypeCase kCase = {
    "ND6033",
    kMenu,
    "7033",
    "6013",
    offsetof(ND6033_Param, Channel_Mask),
    offsetof(ND6033_Param, Mess),
    0x05,
    0,
    0,
    0,
    [](hostsim::Block* b) { reinterpret_cast<ND6033_Param*>(b->param.data())->RTD_Type = 0x2A; },
    "ZEMX-7033-I",
};

INSTANTIATE_TEST_SUITE_P(ND6033, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6033 : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6033_Param, Channel_Mask);
    }
    static ND6033_Param* P(hostsim::Block* b) { return Param<ND6033_Param>(b); }
};

TEST_F(ND6033, TheSensorIsWrittenWhereItDiffers) {
    ASSERT_EQ(1, bus.AddModule(1, "7033", 0));
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type = 0x20;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012"}), Wire());
    Stop(b);
    P(b)->RTD_Type = 0x2A;
    bus.ClearLog();
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012", "%01012A0600"}), Wire());
    Stop(b);
    EXPECT_EQ(1, TakesLayout(b, 3, 0));
    EXPECT_EQ(0, TakesLayout(b, 4, 0));
}

// All three due at the start: one turn reads them one after the other, then
// passes; at the next turns nothing is due until the interval is over.
TEST_F(ND6033, EachChannelIsReadOnItsOwnSchedule) {
    ASSERT_EQ(1, bus.AddModule(1, "7033", 0));
    for (int c = 0; c < 3; c++)
        ASSERT_EQ(1, bus.SetChannel(1, c, 100 + c));
    hostsim::Block* b = NewBlock(kMenu, 0x07);
    ASSERT_NE(nullptr, b);
    SetSampleDistance(b, 0.5);
    ASSERT_EQ(1, Start(b));
    ClockFromZero();
    bus.ClearLog();
    ProcessUntil(b, 3);
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    ASSERT_EQ(3u, out.size());
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(k, out[k].output);
        EXPECT_EQ(0.0, out[k].time);
        EXPECT_EQ(std::vector<float>{100.0f + k}, out[k].samples);
    }
    EXPECT_EQ((std::vector<std::string>{"#010", "#011", "#012"}), Wire());
    bus.ClearLog();
    EXPECT_EQ(0, hostsim::ProcessBlock(b)) << "nothing due: the turn passes";
    // (the calls have moved the manual clock a few milliseconds)
    WinapiAdvanceClock(400);
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    WinapiAdvanceClock(100);
    ProcessUntil(b, 6);
    ASSERT_EQ(6u, out.size());
    EXPECT_EQ(0.5, out[5].time);
    Stop(b);
}

// After an error wait the waiting channel is read at once, stamped with the
// time it resumed; the others keep their schedule.
TEST_F(ND6033, AfterAnErrorWaitTheWaitingChannelResumesAtOnce) {
    ASSERT_EQ(1, bus.AddModule(1, "7033", 0));
    hostsim::Block* b = NewBlock(kMenu, 0x07);
    ASSERT_NE(nullptr, b);
    SetSampleDistance(b, 0.5);
    MessParam* mess = reinterpret_cast<MessParam*>(b->param.data() + offsetof(ND6033_Param, Mess));
    mess->Error_Stop = 0;
    mess->Error_Wait_Min = 1;
    ASSERT_EQ(1, Start(b));
    ClockFromZero();
    modsim::Fault silent(modsim::FaultKind::Silence, 2);
    silent.match = "#011";
    ASSERT_EQ(1, bus.InjectFault(1, silent));
    // Channel 0 comes; channel 1 times out twice and the block waits.
    auto waiting = [&] {
        int w;
        memcpy(&w, b->runtime.data() + 164, sizeof w); // Error_Waiting
        return w;
    };
    ASSERT_TRUE(ProcessUntil(
        {b}, [&] { return waiting() != 0; }, 5000));
    ASSERT_EQ(1, waiting());
    bus.ClearLog();
    for (int i = 0; i < 100; i++) {
        EXPECT_EQ(0, hostsim::ProcessBlock(b));
        WinapiAdvanceClock(10);
    }
    WaitHeard();
    EXPECT_TRUE(Wire().empty()) << "nothing is read while the block waits";
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(0, out[0].output);
    // A minute on: channel 1 is read first, at its resume time; channels 2
    // and 0 follow on their own schedules.
    WinapiAdvanceClock(61000);
    double resumed = hostsim::ExperimentTime();
    bus.ClearLog();
    ProcessUntil(b, 3);
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(1, out[1].output);
    EXPECT_NEAR(resumed, out[1].time, 0.01);
    // Channel 2, long past its due time, is stamped with the latest due time
    // of its schedule before it was read, not with the one it missed.
    EXPECT_EQ(2, out[2].output);
    EXPECT_LE(out[2].time, out[2].releasedAt);
    EXPECT_GT(out[2].time, out[2].releasedAt - 0.5);
    EXPECT_DOUBLE_EQ(0.5 * floor(out[2].time / 0.5), out[2].time);
    ASSERT_FALSE(Wire().empty());
    EXPECT_EQ("#011", Wire()[0]);
    Stop(b);
}

} // namespace

} // namespace analogin
