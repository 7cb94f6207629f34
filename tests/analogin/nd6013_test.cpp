// The RTD input type ND6013: its start against a module already set up and
// one set up otherwise, the single channel of the family TELV and the three
// of the default family, a sensor it does not have, and its dialog.
#include "analogin_fixture.h"

#include "modules/analog/nd6013.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6013;

const TypeCase kCase = {
    "ND6013",
    kMenu,
    "7013",
    "6018",
    offsetof(ND6013_Param, Channel_Mask),
    offsetof(ND6013_Param, Mess),
    0x01,
    0,
    0,
    0,
    [](hostsim::Block* b) { reinterpret_cast<ND6013_Param*>(b->param.data())->RTD_Type = 0x27; },
    "ZEMX-7013-I",
};

INSTANTIATE_TEST_SUITE_P(ND6013, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6013 : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6013_Param, Channel_Mask);
    }
    static ND6013_Param* P(hostsim::Block* b) { return Param<ND6013_Param>(b); }
};

TEST_F(ND6013, AModuleWithTheSensorIsOnlyRead) {
    ASSERT_EQ(1, bus.AddModule(1, "7013", 0));
    bus.EditModule(1, [](modsim::Module& m) { m.typeCode = 0x23; });
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type = 0x23;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012"}), Wire());
    EXPECT_TRUE(Writes(1).empty());
    Stop(b);
}

TEST_F(ND6013, AModuleWithAnotherSensorGetsTheBlocksOne) {
    ASSERT_EQ(1, bus.AddModule(1, "7013", 0));
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type = 0x29;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012", "%0101290600"}), Wire());
    EXPECT_EQ(0x29, ModuleAt(1).typeCode);
    Stop(b);
}

TEST_F(ND6013, ASensorTheListLacksIsRefused) {
    ASSERT_EQ(1, bus.AddModule(1, "7013", 0));
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->RTD_Type = 0x2A;
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Unknown sensor type in the settings of this module.", LastWarning()->text);
    EXPECT_TRUE(Writes(1).empty());
    Stop(b);
}

// The family TELV reads one channel without its number; the default family
// reads three with theirs.
TEST_F(ND6013, TheFamilyDecidesOneChannelOrThree) {
    ASSERT_EQ(1, bus.AddModule(1, "7013", 0));
    ASSERT_EQ(1, bus.SetChannel(1, 0, 21.5));
    hostsim::Block* b = NewBlock(kMenu, 0x07);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, TakesLayout(b, 1, 0));
    EXPECT_EQ(0, TakesLayout(b, 2, 0));
    RoundTrip(); // a record with three channels comes back with the one
    ASSERT_EQ(1, hostsim::BlockCount());
    b = hostsim::BlockAt(0);
    EXPECT_EQ(0x0001, P(b)->Channel_Mask);
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uOutputs));
    SetSampleDistance(b, 0.5);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.6), &r)) << r.error;
    EXPECT_EQ((std::vector<float>{21.5f, 21.5f}), Values(Delivered(r, b, 0)));
    EXPECT_EQ("#01", Wire().back());

    Load("Default.so");
    bus.RemoveModule(1);
    ASSERT_EQ(1, bus.AddModule(1, "6013", 0));
    ASSERT_EQ(1, bus.SetChannel(1, 2, -5.75));
    b = NewBlock(kMenu, 0x06);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, TakesLayout(b, 3, 0));
    EXPECT_EQ(0, TakesLayout(b, 4, 0));
    SetSampleDistance(b, 0.5);
    bus.ClearLog();
    ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
    EXPECT_EQ((std::vector<float>{-5.75f}), Values(Delivered(r, b, 1)));
    EXPECT_EQ("#012", Wire().back());
}

// In the family TELV the dialog shows one channel button, moved 20 pixels
// to the right with its label; the sensor box stores its code.
TEST_F(ND6013, TheDialogOfOneChannel) {
    struct Place {
        LONG button = 0, label = 0;
    } three, one;
    Load("Default.so");
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    QueueCheck([&](HWND d) {
        EXPECT_EQ("XX02 Module ND-6013 (RTD Measurement)", Caption(d));
        for (int id : {IDC_CHANNEL_FIRST + 1, IDC_CHANNEL_FIRST + 2, 1701, 1702})
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, id))) << id;
        RECT r;
        GetWindowRect(GetDlgItem(d, IDC_CHANNEL_FIRST), &r);
        three.button = r.left;
        GetWindowRect(GetDlgItem(d, IDC_ND6013_LABEL0), &r);
        three.label = r.left;
    });
    WinapiQueueCancel();
    OpenDialog(b);

    Load("Telvio.so");
    b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    QueueCheck([&](HWND d) {
        EXPECT_EQ("ZEMX-7013-I", Caption(d));
        for (int id : {IDC_CHANNEL_FIRST + 1, IDC_CHANNEL_FIRST + 2, 1701, 1702})
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, id))) << id;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_CHANNEL_FIRST)));
        RECT r;
        GetWindowRect(GetDlgItem(d, IDC_CHANNEL_FIRST), &r);
        one.button = r.left;
        GetWindowRect(GetDlgItem(d, IDC_ND6013_LABEL0), &r);
        one.label = r.left;
        EXPECT_EQ(10, Entries(d, IDC_RTD_TYPE));
        EXPECT_EQ(0, Selected(d, IDC_RTD_TYPE));
    });
    WinapiQueuePick(IDC_RTD_TYPE, " Ni-120, 0\260C - +100\260C");
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(three.button + 20, one.button);
    EXPECT_EQ(three.label + 20, one.label);
    EXPECT_EQ(0x29, P(b)->RTD_Type);
    EXPECT_STREQ("\260C", P(b)->Unit[0]) << "the sensor leaves the unit";
    EXPECT_EQ(0, WinapiFailedActionCount());
}

// In the families XX01 and XX06 the one channel stays in use whatever is
// double clicked.
TEST_F(ND6013, TheFamiliesXX01AndXX06IgnoreDoubleClicks) {
    for (const char* name : {"XX01.so", "XX06.so"}) {
        SCOPED_TRACE(name);
        Load(name);
        hostsim::Block* b = NewBlock(kMenu, 0x01, 1);
        ASSERT_NE(nullptr, b);
        WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST);
        WinapiQueueOk();
        OpenDialog(b);
        EXPECT_EQ(0x0001, P(b)->Channel_Mask);
        EXPECT_EQ(1u, static_cast<UINT>(b->record.uOutputs));
    }
}

} // namespace

} // namespace analogin
