// The universal input type ND6019: each channel's input type read and
// written where it differs (the module's second codes of three ranges count
// as the same type, no other code does), a type it does not have, the type
// box of its dialog, and worksheets with a type per channel.
#include "analogin_fixture.h"

#include "modules/analog/nd6019.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6019;

const TypeCase kCase = {
    "ND6019",
    kMenu,
    "7019",
    "6017",
    offsetof(ND6019_Param, Channel_Mask),
    offsetof(ND6019_Param, Mess),
    0x81,
    1,
    0,
    0,
    [](hostsim::Block* b) {
        ND6019_Param* p = reinterpret_cast<ND6019_Param*>(b->param.data());
        for (int c = 0; c < 16; c++)
            p->TC_Type[c] = (c * 3) % 21;
    },
    "ZEMX Q7019-I",
};

INSTANTIATE_TEST_SUITE_P(ND6019, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6019 : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6019_Param, Channel_Mask);
        messOffset = offsetof(ND6019_Param, Mess);
    }
    static ND6019_Param* P(hostsim::Block* b) { return Param<ND6019_Param>(b); }
    // A module at address 1 whose channels report these codes.
    void Module(std::vector<int> codes) {
        ASSERT_EQ(1, bus.AddModule(1, "7019", 0));
        bus.EditModule(1, [&](modsim::Module& m) {
            for (size_t c = 0; c < codes.size(); c++)
                m.channelTypes[c] = static_cast<unsigned char>(codes[c]);
        });
    }
};

// A worksheet of the stored rows alone (one "TC_Type", that of channel 0)
// loads and measures: channel 0 takes its type, channel 2 the type the host
// left in the record.
TEST_F(ND6019, AWorksheetOfTheStoredRowsLoadsAndMeasures) {
    Module({0x00, 0x00, 0x00});
    bus.SetChannel(1, 0, 2.5);
    bus.SetChannel(1, 2, -1.25);
    std::string error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(TELVIO_ANALOGIN_DIR "/nd6019-stored.wks", &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* b = hostsim::BlockAt(0);
    EXPECT_EQ(1, b->afterLoadAnswer);
    EXPECT_EQ(7, P(b)->TC_Type[0]);
    EXPECT_EQ(0, P(b)->TC_Type[2]);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
    EXPECT_EQ((std::vector<std::string>{"$017C0R08"}), Writes(1));
    EXPECT_EQ(std::vector<float>{2.5f}, Values(Delivered(r, b, 0)));
    EXPECT_EQ(std::vector<float>{-1.25f}, Values(Delivered(r, b, 1)));
    // Saved again, every channel's type is kept: the stored row and the row
    // of the other channels.
    P(b)->TC_Type[2] = 11;
    RoundTrip();
    b = hostsim::BlockAt(0);
    EXPECT_EQ(7, P(b)->TC_Type[0]);
    EXPECT_EQ(11, P(b)->TC_Type[2]);
    std::string text = WorksheetText();
    EXPECT_NE(std::string::npos, text.find("\n  field TC_Type int = 7\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\n  field TC_Type[2] int = 11\n")) << text;
}

// Channels whose types the module has already are only read; neither the
// module's configuration nor a channel out of use is asked for.
TEST_F(ND6019, ChannelsWithTheirTypesAreOnlyRead) {
    Module({0x08, 0, 0x0A, 0x0B, 0x0D, 0x0F});
    hostsim::Block* b = NewBlock(kMenu, 0x3D);
    ASSERT_NE(nullptr, b);
    int types[6] = {7, 0, 4, 3, 6, 11};
    for (int c = 0; c < 6; c++)
        P(b)->TC_Type[c] = types[c];
    P(b)->TC_Type[1] = 99; // not in use
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$018C0", "$018C2", "$018C3", "$018C4",
                                        "$018C5"}),
              Wire());
    EXPECT_TRUE(Writes(1).empty());
    Stop(b);
}

// A channel whose type differs gets the code of the block's: 0x04 is not
// -500 - 500 mV, and 0x07 stands for no type of the list.
TEST_F(ND6019, ChannelsWithAnotherTypeGetTheBlocksCode) {
    Module({0x04, 0x07, 0x00, 0x0E});
    hostsim::Block* b = NewBlock(kMenu, 0x0F);
    ASSERT_NE(nullptr, b);
    int types[4] = {3, 3, 11, 10};
    for (int c = 0; c < 4; c++)
        P(b)->TC_Type[c] = types[c];
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$017C0R03", "$017C1R03", "$017C2R0F"}), Writes(1));
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(0x03, m.channelTypes[0]);
    EXPECT_EQ(0x03, m.channelTypes[1]);
    EXPECT_EQ(0x0F, m.channelTypes[2]);
    EXPECT_EQ(0x0E, m.channelTypes[3]);
    Stop(b);
}

TEST_F(ND6019, ATypeTheListLacksIsRefused) {
    Module({});
    for (int t : {21, -1}) {
        SCOPED_TRACE(t);
        hostsim::Block* b = NewBlock(kMenu, 0x06);
        ASSERT_NE(nullptr, b);
        P(b)->TC_Type[2] = t;
        int stops = hostsim::StopExperimentCalls();
        EXPECT_EQ(0, Start(b));
        EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ("Unknown input range in the settings of this module.", LastWarning()->text);
        EXPECT_TRUE(Writes(1).empty());
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// The type box shows the current channel's type; a choice sets it and the
// channel's unit, keeping the name just typed; with no channel current it
// shows none and changes nothing.
TEST_F(ND6019, TheTypeBoxSetsTheChannelsTypeAndUnit) {
    hostsim::Block* b = NewBlock(kMenu, 0x06);
    ASSERT_NE(nullptr, b);
    P(b)->TC_Type[2] = 7;
    QueueCheck([](HWND d) {
        EXPECT_EQ("ZEMX Q7019-I", Caption(d));
        EXPECT_EQ(21, Entries(d, IDC_INPUT_TYPE));
        EXPECT_EQ(0, Selected(d, IDC_INPUT_TYPE));
        EXPECT_EQ("Type K Thermocouple (-270 - 1372 C)", Entry(d, IDC_INPUT_TYPE, 11));
    });
    QueueClickChannel(2);
    QueueCheck([](HWND d) { EXPECT_EQ(7, Selected(d, IDC_INPUT_TYPE)); });
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Furnace");
    WinapiQueuePick(IDC_INPUT_TYPE, "Type K Thermocouple (-270 - 1372 C)");
    QueueCheck([](HWND d) {
        EXPECT_EQ("\260C", Text(d, IDC_SETUP_UNIT));
        EXPECT_EQ("Furnace", Text(d, IDC_SETUP_CHANNEL_NAME));
        EXPECT_EQ(21, Entries(d, IDC_INPUT_TYPE));
    });
    WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST + 1);
    WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST + 2);
    QueueCheck([](HWND d) { EXPECT_EQ(-1, Selected(d, IDC_INPUT_TYPE)); });
    WinapiQueuePick(IDC_INPUT_TYPE, "-20 - 20 mA");
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(11, P(b)->TC_Type[2]);
    EXPECT_STREQ("\260C", P(b)->Unit[2]);
    EXPECT_STREQ("Furnace", P(b)->Channel_Name[2]);
    for (int c : {0, 1, 3, 4, 5, 6, 7})
        EXPECT_EQ(0, P(b)->TC_Type[c]) << c;
    EXPECT_STREQ("mV", P(b)->Unit[1]);
    EXPECT_EQ(0x0000, P(b)->Channel_Mask);
    SetRunning(1);
    P(b)->Channel_Mask = 1;
    QueueCheck([](HWND d) { EXPECT_FALSE(Enabled(d, IDC_INPUT_TYPE)); });
    WinapiQueueCancel();
    OpenDialog(b);
    SetRunning(0);
}

} // namespace

} // namespace analogin
