// The thermistor input type ND6005: the module's configuration, scale,
// channel enables and alarms written at every start, each channel's type
// where it differs, settings the module cannot take refused, the dialog's
// type box, alarm group and scale, and every setting kept by a worksheet.
#include "analogin_fixture.h"

#include "modules/analog/nd6005.h"

#include <math.h>

namespace analogin {

namespace {

const int kMenu = IDM_ND6005;

const TypeCase kCase = {
    "ND6005",
    kMenu,
    "7005",
    "6019",
    offsetof(ND6005_Param, Channel_Mask),
    offsetof(ND6005_Param, Mess),
    0x12,
    1,
    0,
    0,
    [](hostsim::Block* b) {
        ND6005_Param* p = reinterpret_cast<ND6005_Param*>(b->param.data());
        for (int c = 0; c < 16; c++) {
            p->TC_Type[c] = (c * 7) % 21;
            p->Alarm_On[c] = c % 2;
            p->Alarm_Latched[c] = c % 3 == 0;
            p->Alarm_DO[c] = c % 6;
            p->Alarm_High[c] = 10.5 * c;
            p->Alarm_Low[c] = -2.25 * c;
        }
        p->Temperature_Scale = 2;
        for (char* unit : p->Unit)
            snprintf(unit, 64, "\260F");
    },
    "ZEMX Q7005-I",
};

INSTANTIATE_TEST_SUITE_P(ND6005, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6005 : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6005_Param, Channel_Mask);
        messOffset = offsetof(ND6005_Param, Mess);
    }
    static ND6005_Param* P(hostsim::Block* b) { return Param<ND6005_Param>(b); }
    std::vector<std::string> Commands(char lead) {
        std::vector<std::string> out;
        for (const std::string& l : Wire())
            if (l[0] == lead) out.push_back(l);
        return out;
    }
};

// A worksheet of the stored rows alone (the type and alarm of channel 0)
// loads and measures: channel 0 takes its type and alarm, the scale and the
// alarm output what the host left in the record.
TEST_F(ND6005, AWorksheetOfTheStoredRowsLoadsAndMeasures) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    bus.SetChannel(1, 0, 21.5);
    std::string error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(TELVIO_ANALOGIN_DIR "/nd6005-stored.wks", &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* b = hostsim::BlockAt(0);
    EXPECT_EQ(1, b->afterLoadAnswer);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
    EXPECT_EQ((std::vector<std::string>{"%0101000600", "~01DC", "$01501", "$017C0R63",
                                        "@01HI+035.50C0LO0", "@01LO-012.25C0LO0"}),
              Writes(1));
    EXPECT_EQ(std::vector<float>{21.5f}, Values(Delivered(r, b, 0)));
    // Saved again, every channel's settings are kept: the stored rows and the
    // rows that follow them.
    P(b)->TC_Type[1] = 4;
    P(b)->Alarm_On[1] = 1;
    P(b)->Alarm_High[1] = 40.0;
    P(b)->Alarm_DO[1] = 3;
    P(b)->Temperature_Scale = 2;
    RoundTrip();
    b = hostsim::BlockAt(0);
    EXPECT_EQ(3, P(b)->TC_Type[0]);
    EXPECT_EQ(35.5, P(b)->Alarm_High[0]);
    EXPECT_EQ(4, P(b)->TC_Type[1]);
    EXPECT_EQ(1, P(b)->Alarm_On[1]);
    EXPECT_EQ(40.0, P(b)->Alarm_High[1]);
    EXPECT_EQ(3, P(b)->Alarm_DO[1]);
    EXPECT_EQ(2, P(b)->Temperature_Scale);
    std::string text = WorksheetText();
    for (const char* line : {"field TC_Type int = 3", "field Alarm_On BOOL = 1",
                             "field Alarm_Latched BOOL = 1", "field Alarm_High double = 35.5",
                             "field Alarm_Low double = -12.25", "field Alarm_High[1] double = 40"})
        EXPECT_NE(std::string::npos, text.find(std::string("\n  ") + line + "\n")) << line;
}

// A channel whose type the module has and whose alarm is off: the module's
// configuration, scale and enables, the type read, the alarms switched off.
TEST_F(ND6005, AModuleWithTheTypesGetsItsSettingsButNoType) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    hostsim::Block* b = NewBlock(kMenu, 0x01);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "%0101000600", "~01DC", "$01501", "$018C0",
                                        "@01DHC0", "@01DLC0"}),
              Wire());
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(0, m.fahrenheit);
    EXPECT_EQ(0x01u, m.channelEnable);
    EXPECT_EQ(0x60, m.channelTypes[0]);
    EXPECT_EQ(0, m.highAlarms[0].on);
    Stop(b);
}

// Another type, another scale, alarms on: everything goes to the module, the
// limits with a point and two decimals whatever the host's separator.
TEST_F(ND6005, TypesScaleAndAlarmsGoToTheModule) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    bus.EditModule(1, [](modsim::Module& m) { m.channelTypes[2] = 0x63; });
    hostsim::Block* b = NewBlock(kMenu, 0x2C);
    ASSERT_NE(nullptr, b);
    ND6005_Param* p = P(b);
    p->Temperature_Scale = 2;
    p->TC_Type[2] = 3;  // the module has it
    p->TC_Type[3] = 4;  // 0x64
    p->TC_Type[5] = 15; // user-defined, 0x72
    p->Alarm_On[2] = 1;
    p->Alarm_Latched[2] = 1;
    p->Alarm_High[2] = 35.5;
    p->Alarm_Low[2] = -10.25;
    p->Alarm_DO[2] = 1;
    p->Alarm_On[5] = 1;
    p->Alarm_High[5] = 999.994; // as stored, beyond what the dialog offers
    p->Alarm_Low[5] = -700;
    p->Alarm_DO[5] = 5;
    ASSERT_EQ(1, Start(b));
    // Channel by channel: its type where it differs, then its alarms.
    EXPECT_EQ((std::vector<std::string>{"%0101000600", "~01DF", "$0152C", "@01HI+035.50C2LO1",
                                        "@01LO-010.25C2LO1", "$017C3R64", "@01DHC3", "@01DLC3",
                                        "$017C5R72", "@01HI+999.99C5MO5", "@01LO-700.00C5MO5"}),
              Writes(1));
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(1, m.fahrenheit);
    EXPECT_EQ(0x2Cu, m.channelEnable);
    EXPECT_EQ(0x72, m.channelTypes[5]);
    EXPECT_EQ(1, m.highAlarms[2].latched);
    EXPECT_EQ(35.5, m.highAlarms[2].limit);
    EXPECT_EQ(-10.25, m.lowAlarms[2].limit);
    EXPECT_EQ(5, m.lowAlarms[5].output);
    EXPECT_EQ(0, m.lowAlarms[5].latched);
    Stop(b);
}

// What the module cannot take is refused before anything is written; an
// alarm that is off is not looked at.
TEST_F(ND6005, SettingsTheModuleCannotTakeAreRefused) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    struct Case {
        const char* what;
        std::function<void(ND6005_Param*)> set;
        const char* text; // empty: the start goes on
    } cases[] = {
        {"type beyond the list", [](ND6005_Param* p) { p->TC_Type[1] = 21; },
         "Unknown sensor type in the settings of this module."},
        {"negative type", [](ND6005_Param* p) { p->TC_Type[0] = -1; },
         "Unknown sensor type in the settings of this module."},
        {"high limit beyond its field", [](ND6005_Param* p) { p->Alarm_High[1] = 1000.0; },
         "Alarm setting out of range in the settings of this module."},
        {"high limit that rounds beyond its field",
         [](ND6005_Param* p) { p->Alarm_High[1] = 999.996; },
         "Alarm setting out of range in the settings of this module."},
        {"low limit beyond its field", [](ND6005_Param* p) { p->Alarm_Low[1] = -1000.0; },
         "Alarm setting out of range in the settings of this module."},
        {"low limit no number", [](ND6005_Param* p) { p->Alarm_Low[0] = NAN; },
         "Alarm setting out of range in the settings of this module."},
        {"high limit infinite", [](ND6005_Param* p) { p->Alarm_High[0] = INFINITY; },
         "Alarm setting out of range in the settings of this module."},
        {"output beyond", [](ND6005_Param* p) { p->Alarm_DO[1] = 6; },
         "Alarm setting out of range in the settings of this module."},
        {"alarm off",
         [](ND6005_Param* p) {
             p->Alarm_On[1] = 0;
             p->Alarm_High[1] = 1e9;
             p->Alarm_DO[1] = 99;
         },
         ""},
        {"channel out of use", [](ND6005_Param* p) { p->TC_Type[7] = 99; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::Block* b = NewBlock(kMenu, 0x03);
        ASSERT_NE(nullptr, b);
        P(b)->Alarm_On[0] = P(b)->Alarm_On[1] = 1;
        c.set(P(b));
        bus.EditModule(1, [](modsim::Module& m) { m.writes.clear(); });
        int stops = hostsim::StopExperimentCalls();
        if (*c.text) {
            EXPECT_EQ(0, Start(b));
            EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ(c.text, LastWarning()->text);
            EXPECT_TRUE(Writes(1).empty());
        } else {
            EXPECT_EQ(1, Start(b));
        }
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// A new block has every field set, whatever its record held before; names
// taken from another block leave the units those of the scale.
TEST_F(ND6005, EveryFieldIsSetForANewBlock) {
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    memset(b->param.data() + offsetof(ND6005_Param, TC_Type), 0x7F,
           offsetof(ND6005_Param, Channel_Mask) - offsetof(ND6005_Param, TC_Type));
    P(b)->Temperature_Scale = 77;
    memset(P(b)->Unit, 'x', sizeof P(b)->Unit);
    // The host makes the block anew from another one's names.
    std::vector<unsigned char> partner(1488, 0);
    ChannelExchange* x = reinterpret_cast<ChannelExchange*>(partner.data());
    x->bNames = 1;
    x->bUnits = 1;
    snprintf(x->aszNames[3], sizeof x->aszNames[3], "Brine");
    snprintf(x->aszUnits[3], sizeof x->aszUnits[3], "bar");
    ModuleRecord other = {};
    other.pParam = partner.data();
    hostsim::DeleteBlock(b);
    b = NewBlock(kMenu);
    memset(b->param.data() + offsetof(ND6005_Param, TC_Type), 0x7F,
           offsetof(ND6005_Param, Channel_Mask) - offsetof(ND6005_Param, TC_Type));
    P(b)->Temperature_Scale = 77;
    ASSERT_EQ(1, hostsim::SendClassMessage(b, MODMSG_IMPORT_NAMES, 0,
                                           static_cast<int>(reinterpret_cast<intptr_t>(&other))));
    ND6005_Param* p = P(b);
    for (int c = 0; c < 16; c++) {
        SCOPED_TRACE(c);
        EXPECT_EQ(0, p->TC_Type[c]);
        EXPECT_EQ(0, p->Alarm_On[c]);
        EXPECT_EQ(0, p->Alarm_Latched[c]);
        EXPECT_EQ(0, p->Alarm_DO[c]);
        EXPECT_EQ(0.0, p->Alarm_High[c]);
        EXPECT_EQ(0.0, p->Alarm_Low[c]);
        EXPECT_STREQ("\260C", p->Unit[c]);
    }
    EXPECT_EQ(1, p->Temperature_Scale);
    EXPECT_STREQ("Brine", p->Channel_Name[3]);
    // The host asks each channel's unit: the scale's.
    for (int c : {0, 1, 7, 15}) {
        int unit = hostsim::SendClassMessage(b, MODMSG_GET_UNIT, c, 0);
        EXPECT_STREQ("\260C", reinterpret_cast<const char*>(static_cast<uintptr_t>(unit)));
    }
}

// The alarm group: the current channel's alarm switched on, a high limit
// beyond the bounds clamped, latched, its output; switching channels keeps
// the type list whole; without a current channel nothing changes.
TEST_F(ND6005, TheAlarmGroupEditsTheCurrentChannel) {
    hostsim::Block* b = NewBlock(kMenu, 0x06);
    ASSERT_NE(nullptr, b);
    QueueCheck([](HWND d) {
        EXPECT_EQ("ZEMX Q7005-I", Caption(d));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, IDC_ALARM_OFF));
        EXPECT_FALSE(Enabled(d, IDC_ALARM_HIGH));
        EXPECT_FALSE(Enabled(d, IDC_ND6005_OUTPUT));
        EXPECT_EQ(" ---", Text(d, IDC_ALARM_HIGH));
    });
    QueueClickChannel(2);
    WinapiQueueClick(IDC_ALARM_ON);
    WinapiQueueType(IDC_ALARM_HIGH, "700");
    WinapiQueueType(IDC_ALARM_LOW, "-12,5");
    WinapiQueueClick(IDC_ALARM_LATCH);
    WinapiQueuePick(IDC_ND6005_OUTPUT, "4");
    WinapiQueuePick(IDC_INPUT_TYPE, "YSI B Mix 3000 @ 25\260C -40 ~ 150");
    QueueCheck([](HWND d) {
        EXPECT_TRUE(Enabled(d, IDC_ALARM_HIGH));
        EXPECT_TRUE(Enabled(d, IDC_ND6005_OUTPUT));
        EXPECT_EQ("+600.00", Text(d, IDC_ALARM_HIGH).substr(0, 7));
        EXPECT_EQ("", Text(d, IDC_ALARM_HIGH_UNIT));
    });
    for (int i = 0; i < 3; i++) {
        QueueClickChannel(1);
        QueueClickChannel(2);
    }
    QueueCheck([](HWND d) {
        EXPECT_EQ(21, Entries(d, IDC_INPUT_TYPE));
        EXPECT_EQ(7, Selected(d, IDC_INPUT_TYPE));
        EXPECT_EQ(4, Selected(d, IDC_ND6005_OUTPUT));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, IDC_ALARM_LATCH));
    });
    WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST + 2);
    WinapiQueueClick(IDC_ALARM_OFF);
    WinapiQueuePick(IDC_INPUT_TYPE, "PreCon Type III 10K @ 25\260C");
    WinapiQueueOk();
    OpenDialog(b);
    ND6005_Param* p = P(b);
    EXPECT_EQ(1, p->Alarm_On[2]);
    EXPECT_EQ(600.0, p->Alarm_High[2]);
    EXPECT_EQ(-12.5, p->Alarm_Low[2]);
    EXPECT_EQ(1, p->Alarm_Latched[2]);
    EXPECT_EQ(4, p->Alarm_DO[2]);
    EXPECT_EQ(7, p->TC_Type[2]);
    EXPECT_EQ(0, p->Alarm_On[1]);
    EXPECT_EQ(0, p->TC_Type[1]);
    EXPECT_EQ(0x0002, p->Channel_Mask);
    EXPECT_EQ(0, WinapiFailedActionCount());

    // While an experiment runs only the port, the address, Test and the type
    // are locked: the current channel's alarm can still be set.
    p->Alarm_On[1] = 1;
    SetRunning(1);
    QueueCheck([](HWND d) {
        for (int id : {IDC_SETUP_PORT, IDC_SETUP_ADDRESS, IDC_SETUP_TEST, IDC_INPUT_TYPE})
            EXPECT_FALSE(Enabled(d, id)) << id;
        for (int id : {IDC_ALARM_ON, IDC_ALARM_OFF, IDC_ALARM_HIGH, IDC_ALARM_LOW,
                       IDC_ALARM_MOMENTARY, IDC_ALARM_LATCH, IDC_ND6005_OUTPUT})
            EXPECT_TRUE(Enabled(d, id)) << id;
    });
    WinapiQueueClick(IDC_ALARM_LATCH);
    WinapiQueuePick(IDC_ND6005_OUTPUT, "3");
    WinapiQueueOk();
    OpenDialog(b);
    SetRunning(0);
    EXPECT_EQ(1, p->Alarm_Latched[1]);
    EXPECT_EQ(3, p->Alarm_DO[1]);
    EXPECT_EQ(0, WinapiFailedActionCount());
}

// The unit box chooses the module's scale, and every channel is labelled
// with it.
TEST_F(ND6005, TheUnitsFollowTheScaleChosen) {
    hostsim::Block* b = NewBlock(kMenu, 0x03);
    ASSERT_NE(nullptr, b);
    WinapiQueuePick(IDC_SETUP_UNIT, "\260F");
    QueueClickChannel(1);
    QueueCheck([](HWND d) { EXPECT_EQ("\260F", Text(d, IDC_SETUP_UNIT)); });
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(2, P(b)->Temperature_Scale);
    for (int c = 0; c < 16; c++)
        EXPECT_STREQ("\260F", P(b)->Unit[c]) << c;
    WinapiQueuePick(IDC_SETUP_UNIT, "\260C");
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(1, P(b)->Temperature_Scale);
    EXPECT_STREQ("\260C", P(b)->Unit[5]);
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    P(b)->Temperature_Scale = 2;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ(1, ModuleAt(1).fahrenheit);
    Stop(b);
}

} // namespace

} // namespace analogin
