// ND6005I, the thermistor module's output states: the lines delivered as 5.0
// and 0.0, the module's own watchdog of a 7005 in the family TELV, and the
// keep-alive while the experiment runs.
#include "analogin_fixture.h"

#include "modules/analog/nd6005i.h"

namespace analogin {

namespace {

const int kMenu = IDM_ND6005I;

const TypeCase kCase = {
    "ND6005I",
    kMenu,
    "7005",
    "6017",
    offsetof(ND6005I_Param, Channel_Mask),
    offsetof(ND6005I_Param, Mess),
    0x26,
    1,
    0,
    1,
    [](hostsim::Block* b) {
        ND6005I_Param* p = reinterpret_cast<ND6005I_Param*>(b->param.data());
        p->Mess.Watchdog_On = 1;
        p->Mess.Watchdog_Time = 9;
        p->Mess.Watchdog_Value = 0x0305;
    },
    "ZEMX-7005-I",
};

INSTANTIATE_TEST_SUITE_P(ND6005I, AnalogInputType, ::testing::Values(kCase),
                         [](const ::testing::TestParamInfo<TypeCase>& i) {
                             return std::string(i.param.name);
                         });

class ND6005I : public AnalogInTest {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = offsetof(ND6005I_Param, Channel_Mask);
    }
    static ND6005I_Param* P(hostsim::Block* b) { return Param<ND6005I_Param>(b); }
    std::vector<std::string> WatchdogLines() {
        std::vector<std::string> out;
        for (const std::string& l : Wire())
            if (l[0] == '~') out.push_back(l);
        return out;
    }
};

// Lines 1 and 2 of an image 0x04: line 1 clear, line 2 set.
TEST_F(ND6005I, EachLineOfTheImageGoesToItsOutput) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    bus.EditModule(1, [](modsim::Module& m) { m.digitalOutputs = 0x04; });
    hostsim::Block* b = NewBlock(kMenu, 0x06);
    ASSERT_NE(nullptr, b);
    SetSampleDistance(b, 0.5);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.6), &r)) << r.error;
    EXPECT_EQ((std::vector<float>{0.0f, 0.0f}), Values(Delivered(r, b, 0)));
    EXPECT_EQ((std::vector<float>{5.0f, 5.0f}), Values(Delivered(r, b, 1)));
    int reads = 0;
    for (const std::string& l : Wire())
        reads += l == "@01DI";
    EXPECT_EQ(2, reads) << "one request per poll for both lines";
}

// A 7005 in the family TELV: its watchdog on with the safe value's low byte
// and the time in tenths, or off; a 6005, or another family, gets nothing.
TEST_F(ND6005I, AModule7005InTheFamilyTELVHasItsWatchdogSetUp) {
    struct Case {
        const char* what;
        const char* model;
        const char* plugin;
        int on, time;
        std::vector<std::string> lines;
    } cases[] = {
        {"on", "7005", "Telvio.so", 1, 6, {"~0550202", "~05313C"}},
        {"long", "7005", "Telvio.so", 1, 30, {"~0550202", "~0531FF"}},
        {"no time", "7005", "Telvio.so", 1, 0, {"~0550202", "~053101"}},
        {"off", "7005", "Telvio.so", 0, 6, {"~053000"}},
        {"a 6005", "6005", "Telvio.so", 1, 6, {}},
        {"another family", "7005", "XX03.so", 1, 6, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        bus.RemoveModule(5);
        ASSERT_EQ(1, bus.AddModule(5, c.model, 0));
        hostsim::Block* b = NewBlock(kMenu, 0x01, 5);
        ASSERT_NE(nullptr, b);
        P(b)->Mess.Watchdog_On = c.on;
        P(b)->Mess.Watchdog_Time = c.time;
        P(b)->Mess.Watchdog_Value = 0x0102;
        bus.ClearLog();
        ASSERT_EQ(1, Start(b));
        EXPECT_EQ(c.lines, WatchdogLines());
        Stop(b);
    }
}

// While the experiment runs the port hears the keep-alive every half of the
// watchdog time.
TEST_F(ND6005I, TheKeepAliveGoesOutWhileTheExperimentRuns) {
    ASSERT_EQ(1, bus.AddModule(1, "7005", 0));
    hostsim::Block* b = NewBlock(kMenu, 0x01);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 2;
    SetSampleDistance(b, 0.5);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(3.5), &r)) << r.error;
    modsim::Module m = ModuleAt(1);
    EXPECT_EQ(1, m.watchdog.enabled);
    EXPECT_EQ(20, m.watchdog.timeoutTenths);
    EXPECT_EQ(3u, m.watchdog.hostOkCount) << "at 1, 2 and 3 s";
}

TEST_F(ND6005I, SevenOutputsAtMost) {
    hostsim::Block* b = NewBlock(kMenu);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, TakesLayout(b, 7, 0));
    EXPECT_EQ(0, TakesLayout(b, 8, 0));
    EXPECT_STREQ("DO Read 7", P(b)->Channel_Name[7]);
    EXPECT_STREQ("V", P(b)->Unit[7]);
    EXPECT_STREQ("", P(b)->Channel_Name[8]) << "channels 8 to 15 keep the new record's content";
}

} // namespace

} // namespace analogin
