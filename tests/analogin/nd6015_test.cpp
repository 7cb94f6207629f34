// The RTD input type ND6015: the module's configuration written at every
// start, each channel's sensor read and written where it differs, a sensor
// it does not have, and its dialog's sensor per channel.
#include "analogin_fixture.h"

#include "modules/analog/nd6015.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6015;

const TypeCase kCase = {
    "ND6015",
    kMenu,
    "7015",
    "6013",
    offsetof(ND6015_Param, Channel_Mask),
    offsetof(ND6015_Param, Mess),
    0x24,
    0,
    0,
    0,
    [](hostsim::Block* b) {
        ND6015_Param* p = reinterpret_cast<ND6015_Param*>(b->param.data());
        for (int c = 0; c < 16; c++)
            p->RTD_Type[c] = 0x20 + (c * 5) % 14;
    },
    "ZEMX-7015-I",
};

INSTANTIATE_TEST_SUITE_P(ND6015, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6015 : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6015_Param, Channel_Mask);
        messOffset = offsetof(ND6015_Param, Mess);
    }
    static ND6015_Param* P(hostsim::Block* b) { return Param<ND6015_Param>(b); }
};

// Channels 2 and 5 whose sensors the module has already: the configuration
// (at every start) and the two reads, nothing more.
TEST_F(ND6015, ChannelsWithTheirSensorsAreOnlyRead) {
    ASSERT_EQ(1, bus.AddModule(1, "7015", 0));
    bus.EditModule(1, [](modsim::Module& m) {
        m.channelTypes[2] = 0x2B;
        m.channelTypes[5] = 0x21;
    });
    hostsim::Block* b = NewBlock(kMenu, 0x24);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type[2] = 0x2B;
    P(b)->RTD_Type[5] = 0x21;
    P(b)->RTD_Type[3] = 0x7F; // not in use: never looked at
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "%0101000600", "$018C2", "$018C5"}),
              Wire());
    EXPECT_EQ((std::vector<std::string>{"%0101000600"}), Writes(1));
    Stop(b);
}

TEST_F(ND6015, AChannelWithAnotherSensorGetsTheBlocksOne) {
    ASSERT_EQ(1, bus.AddModule(1, "7015", 0));
    hostsim::Block* b = NewBlock(kMenu, 0x24);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type[2] = 0x20;
    P(b)->RTD_Type[5] = 0x2D;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ(
        (std::vector<std::string>{"$012", "$01M", "%0101000600", "$018C2", "$018C5", "$017C5R2D"}),
        Wire());
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(0x2D, m.channelTypes[5]);
    EXPECT_EQ(0x20, m.channelTypes[2]);
    EXPECT_EQ(0x20, m.channelTypes[0]);
    Stop(b);
}

TEST_F(ND6015, ASensorTheListLacksIsRefusedOnAChannelInUse) {
    ASSERT_EQ(1, bus.AddModule(1, "7015", 0));
    hostsim::Block* b = NewBlock(kMenu, 0x03);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type[1] = 0x2E;
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Unknown sensor type in the settings of this module.", LastWarning()->text);
    EXPECT_TRUE(Writes(1).empty());
    Stop(b);
}

TEST_F(ND6015, SixChannelsAtMost) {
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, TakesLayout(b, 6, 0));
    EXPECT_EQ(0, TakesLayout(b, 7, 0));
    EXPECT_EQ(0, TakesLayout(b, 1, 1));
    for (int c = 0; c < 16; c++)
        EXPECT_EQ(0x20, P(b)->RTD_Type[c]);
    EXPECT_STREQ("RTD 15", P(b)->Channel_Name[15]);
}

// The sensor box shows and changes the current channel's sensor only; with
// no channel current it shows none and changes nothing. A double click with
// Ctrl brings only the clicked channel into use.
TEST_F(ND6015, TheSensorBoxFollowsTheCurrentChannel) {
    hostsim::Block* b = NewBlock(kMenu, 0x09);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type[3] = 0x22;
    QueueCheck([](HWND d) {
        EXPECT_EQ("ZEMX-7015-I", Caption(d));
        EXPECT_EQ(14, Entries(d, IDC_RTD_TYPE));
        EXPECT_EQ(0, Selected(d, IDC_RTD_TYPE));
    });
    QueueClickChannel(3);
    QueueCheck([](HWND d) { EXPECT_EQ(2, Selected(d, IDC_RTD_TYPE)); });
    WinapiQueuePick(IDC_RTD_TYPE, " BALCO 500, -30\260C - +120\260C");
    QueueDoubleClick(5, true);
    WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST + 5);
    QueueCheck([](HWND d) { EXPECT_EQ(-1, Selected(d, IDC_RTD_TYPE)); });
    WinapiQueuePick(IDC_RTD_TYPE, " Ni-604, 0\260C - +100\260C");
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(0x0009, P(b)->Channel_Mask) << "channel 4 did not come with 5";
    EXPECT_EQ(0x2B, P(b)->RTD_Type[3]);
    for (int c : {0, 1, 2, 4, 5})
        EXPECT_EQ(0x20, P(b)->RTD_Type[c]) << c;
    SetRunning(1);
    QueueCheck([](HWND d) { EXPECT_FALSE(Enabled(d, IDC_RTD_TYPE)); });
    WinapiQueueCancel();
    OpenDialog(b);
    SetRunning(0);
}

} // namespace

} // namespace analogin
