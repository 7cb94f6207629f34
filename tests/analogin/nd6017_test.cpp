// The voltage input type ND6017: its start against a module already set up
// and one set up otherwise, the question about a silent module, the models
// it accepts, a range it does not have, and its range box.
#include "analogin_fixture.h"

#include "modules/analog/nd6017.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6017;

const TypeCase kCase = {
    "ND6017",
    kMenu,
    "6017",
    "6018",
    offsetof(ND6017_Param, Channel_Mask),
    offsetof(ND6017_Param, Mess),
    0x05,
    0,
    1,
    0,
    [](hostsim::Block* b) {
        ND6017_Param* p = reinterpret_cast<ND6017_Param*>(b->param.data());
        p->Range = 12;
        snprintf(p->Unit[2], sizeof p->Unit[2], "mV");
    },
    "ZEMX 7017-I",
};

INSTANTIATE_TEST_SUITE_P(ND6017, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6017 : public AnalogInTest {
  protected:
    static ND6017_Param* P(hostsim::Block* b) { return Param<ND6017_Param>(b); }
};

// A module that has the block's range and every channel enabled is only
// read.
TEST_F(ND6017, AModuleSetUpAlreadyIsOnlyRead) {
    ASSERT_EQ(1, bus.AddModule(1, "6017", 0));
    bus.EditModule(1, [](modsim::Module& m) { m.typeCode = 0x0B; });
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->Range = 11;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012", "$016"}), Wire());
    EXPECT_TRUE(Writes(1).empty());
    Stop(b);
}

// Another range and channels switched off: the range is written with the
// port's speed, then every channel switched on.
TEST_F(ND6017, AModuleSetUpOtherwiseGetsTheRangeAndEveryChannel) {
    ASSERT_EQ(1, bus.AddModule(1, "6017", 0));
    bus.EditModule(1, [](modsim::Module& m) {
        m.typeCode = 0x0A;
        m.channelEnable = 0x7F;
    });
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    P(b)->Range = 12;
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ((std::vector<std::string>{"$012", "$01M", "$012", "%01010C0600", "$016", "$015FF"}),
              Wire());
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(0x0C, m.typeCode);
    EXPECT_EQ(0xFFu, m.channelEnable);
    EXPECT_EQ(6, m.baudCode);
    Stop(b);
}

// Yes to the question starts the block as it is: nothing is asked of the
// module, and its readings carry the checksums found at the last start.
TEST_F(ND6017, YesToTheQuestionStartsWithoutTheModule) {
    ASSERT_EQ(1, bus.AddModule(1, "6017", 1));
    ASSERT_EQ(1, bus.SetChannel(1, 0, 4.5));
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, Start(b));
    Stop(b);
    // The module now ignores the probe.
    modsim::Fault deaf(modsim::FaultKind::Silence, modsim::kAlways);
    deaf.match = "$012";
    ASSERT_EQ(1, bus.InjectFault(1, deaf));
    bus.ClearLog();
    WinapiQueueMessageBoxAnswer(IDYES);
    int boxes = WinapiMessageBoxCount();
    hostsim::ExperimentOptions o = Manual(0.2);
    o.beforeStart = [](int) { WinapiUseManualClock(GetTickCount()); };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    ASSERT_EQ(boxes + 1, WinapiMessageBoxCount());
    WinapiMessageBoxCall box;
    WinapiMessageBoxAt(boxes, &box);
    EXPECT_STREQ("Modul nicht ansprechbar. Trotzdem starten ?", box.text);
    EXPECT_STREQ(b->record.szName, box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), box.type & MB_TYPEMASK);
    for (const std::string& line : Wire())
        EXPECT_NE("$01M", line.substr(0, 4)) << "the module is not identified";
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, 0);
    ASSERT_EQ(1u, d.size());
    EXPECT_EQ(4.5f, d[0].samples[0]);
    EXPECT_EQ("#010" + modsim::ChecksumDigits("#010"), Wire().back());
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
}

// The models of the series are taken, and a module that names none.
TEST_F(ND6017, ItsModelsAndAnUnnamedModuleAreAccepted) {
    static const modsim::Profile profiles[] = {
        {"4017", "A1.0", 0x08, 0x00, 8, "%+07.3f", modsim::k6017Commands},
        {"7017", "A2.0", 0x08, 0x00, 8, "%+07.3f", modsim::k6017Commands},
        {"8017", "A1.0", 0x08, 0x00, 8, "%+07.3f", modsim::k6017Commands},
        {"", "A1.0", 0x08, 0x00, 8, "%+07.3f", modsim::k6017Commands},
    };
    for (const modsim::Profile& profile : profiles) {
        SCOPED_TRACE(profile.model);
        ASSERT_EQ(1, bus.AddModule(1, profile, 0));
        hostsim::Block* b = NewBlock(kMenu);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(1, Start(b));
        Stop(b);
        hostsim::DeleteBlock(b);
    }
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
}

// A range from a file that the box does not list is sent to the module as
// it is stored; one beyond the two digits of its field stops the start
// before anything is written.
TEST_F(ND6017, ARangeTheBoxLacksIsSentAsStored) {
    ASSERT_EQ(1, bus.AddModule(1, "6017", 0));
    const struct {
        int range;
        const char* written; // null: refused
    } cases[] = {
        {7, "%0101070600"}, {14, "%01010E0600"}, {0xFF, "%0101FF0600"},
        {-1, nullptr},      {0x108, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        bus.EditModule(1, [](modsim::Module& m) {
            m.typeCode = 0x08;
            m.writes.clear();
        });
        hostsim::Block* b = NewBlock(kMenu);
        ASSERT_NE(nullptr, b);
        P(b)->Range = c.range;
        int stops = hostsim::StopExperimentCalls();
        if (c.written) {
            EXPECT_EQ(1, Start(b)) << LastWarningText();
            ASSERT_FALSE(Writes(1).empty());
            EXPECT_EQ(c.written, Writes(1)[0]);
            EXPECT_EQ(c.range, ModuleAt(1).typeCode);
        } else {
            EXPECT_EQ(0, Start(b));
            EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Unknown input range in the settings of this module.", LastWarning()->text);
            EXPECT_TRUE(Writes(1).empty());
        }
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// The range box: a choice sets the range and the unit of the module's eight
// channels; the dialog opens on the range stored, none for one it lacks.
TEST_F(ND6017, TheRangeBoxSetsTheRangeAndTheUnits) {
    hostsim::Block* b = NewBlock(kMenu, 0x03);
    ASSERT_NE(nullptr, b);
    snprintf(P(b)->Unit[9], sizeof P(b)->Unit[9], "keep");
    QueueCheck([](HWND d) {
        EXPECT_EQ("ZEMX 7017-I", [&] {
            char t[64];
            GetWindowTextA(d, t, sizeof t);
            return std::string(t);
        }());
        EXPECT_EQ(6, Entries(d, IDC_ND6017_RANGE));
        EXPECT_EQ(0, Selected(d, IDC_ND6017_RANGE));
        EXPECT_EQ("+/- 150 mV", Entry(d, IDC_ND6017_RANGE, 4));
    });
    WinapiQueuePick(IDC_ND6017_RANGE, "+/- 150 mV");
    QueueCheck([](HWND d) { EXPECT_EQ("mV", Text(d, IDC_SETUP_UNIT)); });
    WinapiQueueOk();
    OpenDialog(b);
    EXPECT_EQ(12, P(b)->Range);
    for (int ch = 0; ch < 8; ch++)
        EXPECT_STREQ("mV", P(b)->Unit[ch]) << ch;
    EXPECT_STREQ("keep", P(b)->Unit[9]);
    EXPECT_STREQ("V", P(b)->Unit[8]);

    QueueCheck([](HWND d) { EXPECT_EQ(4, Selected(d, IDC_ND6017_RANGE)); });
    WinapiQueueCancel();
    OpenDialog(b);
    P(b)->Range = 5;
    QueueCheck([](HWND d) { EXPECT_EQ(-1, Selected(d, IDC_ND6017_RANGE)); });
    WinapiQueueCancel();
    OpenDialog(b);
    // While an experiment runs the range is locked with the port and address.
    SetRunning(1);
    QueueCheck([](HWND d) {
        EXPECT_FALSE(Enabled(d, IDC_ND6017_RANGE));
        EXPECT_FALSE(Enabled(d, IDC_SETUP_PORT));
        EXPECT_FALSE(Enabled(d, IDC_SETUP_TEST));
    });
    WinapiQueueCancel();
    OpenDialog(b);
    SetRunning(0);
    EXPECT_EQ(0, WinapiFailedActionCount());
}

} // namespace

} // namespace analogin
