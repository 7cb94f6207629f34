// The single-channel analog output type ND6021 against simulated modules:
// each channel's module probed, identified and configured at start with its
// watchdog in the form of its own model; the host's values written in the
// module's format, held within the channel's range, one cycle per poll
// interval; an input without samples; a module that falls silent beside a
// healthy one; the setup dialog's per-channel controls.
#include "analogout_fixture.h"

#include "frame/chanbar.h"
#include "modules/analog/nd6021.h"

#include <algorithm>

#include <cmath>

namespace {

using aotest::AnalogOutTest;
using aotest::kND6021;
using aotest::Lines;

class ND6021 : public AnalogOutTest {
  protected:
    ND6021_Param* NewBlock(int inputs, hostsim::Block** b) {
        ND6021_Param* p = AnalogOutTest::NewBlock<ND6021_Param>(kND6021, inputs, b);
        for (int i = 0; p && i < inputs; i++)
            p->Module_Address[i] = i + 1;
        return p;
    }
    static ND6021_Param* P(hostsim::Block* b) { return AnalogOutTest::P<ND6021_Param>(b); }
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A 6021 whose firmware reports its watchdog in units of 100 ms.
const modsim::Profile k6021Tenths = {
    "6021", "A2.0", 0x30, 0x00, 0, nullptr, modsim::kAnalogOutput1Commands};

TEST_F(ND6021, TheStartConfiguresTheModuleAndItsWatchdogByModelAndFamily) {
    struct Case {
        const char* what;
        const char* plugin;
        const char* model; // null: the 6021 in units of 100 ms
        int checksum;
        int moduleType; // the module's type code as found
        int range, slew, watchdogOn, seconds;
        float safe;
        Lines lines; // after the model
        int enabled; // the module's watchdog after the start
    } cases[] = {
        // clang-format off
        {"TELV 6021: the range differs, the 6000 form in units of 53 ms",
         "Telvio.so", "6021", 0, 0x32, 0, 0, 1, 6, 12.0f,
         {"~011", "$012", "%0101300600", "$01F", "~012171999"}, 1},
        {"default family, units of 100 ms",
         "Plug.so", nullptr, 0, 0x30, 0, 0, 1, 6, 12.0f,
         {"$012", "$01F", "~01213C999"}, 1},
        {"the configuration matches; the watchdog off",
         "Plug.so", "6021", 0, 0x32, 2, 0, 0, 6, 3.0f,
         {"$012", "~012000000"}, 0},
        {"4 to 20 mA: the safety value over 20 mA as in 0 to 20 mA",
         "Plug.so", "6021", 0, 0x30, 1, 0, 1, 6, 12.0f,
         {"$012", "%0101310600", "$01F", "~012171999"}, 1},
        {"0 to 10 V: the safety value over 10 V",
         "Plug.so", "6021", 0, 0x32, 2, 0, 1, 2, 2.5f,
         {"$012", "$01F", "~0121253FF"}, 1},
        {"slew rate 3 with checksums",
         "Plug.so", "6021", 1, 0x32, 2, 3, 0, 6, 0.0f,
         {"$012", "%010132064C", "~012000000"}, 0},
        {"TELV 7021: the safety value as the output, the 7000 form",
         "Telvio.so", "7021", 0, 0x32, 2, 0, 1, 2, 5.5f,
         {"~011", "$012", "#0105.500", "~015", "~013114"}, 1},
        {"XX03 7021: the value with its sign, answered '!'",
         "XX03.so", "7021", 0, 0x32, 2, 0, 1, 2, 5.5f,
         {"~011", "$012", "#01+5.500", "~015", "~013114"}, 1},
        {"XX03 7021, the watchdog off",
         "XX03.so", "7021", 0, 0x32, 2, 0, 0, 2, 5.5f,
         {"~011", "$012", "~013000"}, 0},
        {"default family 7021: no watchdog command",
         "Plug.so", "7021", 0, 0x32, 2, 0, 1, 2, 5.5f,
         {"$012"}, 0},
        {"a watchdog time of 0 as saved: the shortest time-out",
         "Plug.so", nullptr, 0, 0x30, 0, 0, 1, 0, 12.0f,
         {"$012", "$01F", "~012101999"}, 1},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        if (c.model)
            ASSERT_EQ(1, bus.AddModule(1, c.model, c.checksum));
        else
            ASSERT_EQ(1, bus.AddModule(1, k6021Tenths, c.checksum));
        ASSERT_EQ(1, bus.EditModule(1, [&](modsim::Module& m) {
            m.typeCode = static_cast<unsigned char>(c.moduleType);
        }));
        hostsim::Block* b = nullptr;
        ND6021_Param* p = NewBlock(1, &b);
        ASSERT_NE(nullptr, p);
        p->Range[0] = c.range;
        p->Slew_Rate[0] = c.slew;
        p->Watchdog_On[0] = c.watchdogOn;
        p->Watchdog_Time[0] = c.seconds;
        p->Watchdog_Value[0] = c.safe;
        // Cleared by the start, whatever it was.
        p->Mess.Watchdog_On = 1;
        p->Mess.Watchdog_Time = 9;
        bus.ClearLog();
        EXPECT_EQ(1, Start(b)) << LastWarningText();
        EXPECT_EQ(c.lines, After("$01M", c.checksum));
        modsim::Module m = ModuleAt(1);
        EXPECT_EQ(0x30 + c.range, m.typeCode);
        EXPECT_EQ(c.enabled, m.watchdog.enabled);
        // The measurement settings' watchdog: the module's when its sequence
        // set it up on, else off with the time before.
        EXPECT_EQ(c.enabled, p->Mess.Watchdog_On);
        EXPECT_EQ(c.enabled ? c.seconds : 9, p->Mess.Watchdog_Time);
        Stop(b);
        bus.RemoveModule(1);
    }

    // The family XX01, which keeps the programming waits: the 6000-series
    // "on" command has its wait of 10 ms before the reply is read, as the
    // "off" one has.
    for (int on = 0; on < 2; on++) {
        SCOPED_TRACE(on ? "XX01 6021, the watchdog on" : "XX01 6021, the watchdog off");
        CaseGuard guard(this);
        Load("XX01.so");
        ASSERT_EQ(1, hostsim::MonitorSwitchOn());
        ASSERT_EQ(1, bus.AddModule(1, "6021", 0));
        hostsim::Block* b = nullptr;
        ND6021_Param* p = NewBlock(1, &b);
        ASSERT_NE(nullptr, p);
        p->Range[0] = 0;
        p->Watchdog_On[0] = on;
        p->Watchdog_Time[0] = 6;
        p->Watchdog_Value[0] = 12.0f;
        EXPECT_EQ(1, Start(b)) << LastWarningText();
        hostsim::MonitorCounts counts;
        counts.keepLines = true;
        ASSERT_EQ(1, hostsim::MonitorRead(&counts, true));
        const std::string command = on ? "~012171999" : "~012000000";
        auto sent = std::find_if(counts.listed.begin(), counts.listed.end(),
                                 [&](const std::string& l) { return EndsWith(l, command); });
        ASSERT_NE(counts.listed.end(), sent);
        ASSERT_NE(counts.listed.end(), sent + 1);
        EXPECT_TRUE(EndsWith(*(sent + 1), "Waiting 10 msec")) << *(sent + 1);
        Stop(b);
        bus.RemoveModule(1);
    }
}

// Each module's watchdog takes the form of its own model: in the default
// family a 6021 has the 6000-series form and a 7021 none, in either order.
TEST_F(ND6021, EachModulesWatchdogFollowsItsOwnModel) {
    Load("Plug.so");
    for (int order = 0; order < 2; order++) {
        SCOPED_TRACE(order);
        CaseGuard guard(this);
        ASSERT_EQ(1, bus.AddModule(1, order ? "7021" : "6021", 0));
        ASSERT_EQ(1, bus.AddModule(2, order ? "6021" : "7021", 0));
        hostsim::Block* b = nullptr;
        ND6021_Param* p = NewBlock(2, &b);
        ASSERT_NE(nullptr, p);
        for (int i = 0; i < 2; i++) {
            p->Watchdog_On[i] = 1;
            p->Watchdog_Time[i] = 6;
        }
        bus.ClearLog();
        ASSERT_EQ(1, Start(b)) << LastWarningText();
        const char* six = order ? "$02F" : "$01F";
        Lines f = Starting("$0");
        EXPECT_EQ(1, std::count(f.begin(), f.end(), six));
        EXPECT_EQ(1u, Starting(order ? "~0221" : "~0121").size());
        EXPECT_EQ(0u, Starting(order ? "~01" : "~02").size());
        EXPECT_EQ(1, ModuleAt(order ? 2 : 1).watchdog.enabled);
        EXPECT_EQ(0, ModuleAt(order ? 1 : 2).watchdog.enabled);
        Stop(b);
        hostsim::DeleteBlock(b);
        bus.RemoveModule(1);
        bus.RemoveModule(2);
    }
}

// One cycle writes every input with a value, one after the other, in the
// module's format and within the channel's range; an input that never
// delivered is passed over, and a sample that is no number or a data block
// without samples leaves the last value standing.
TEST_F(ND6021, TheHostsValuesAreWrittenWithinTheirRangesOncePerCycle) {
    Load();
    const int ranges[4] = {0, 0, 1, 2};
    for (int a = 1; a <= 4; a++) {
        ASSERT_EQ(1, bus.AddModule(a, "6021", 0));
        ASSERT_EQ(1, bus.EditModule(a, [&](modsim::Module& m) {
            m.typeCode = static_cast<unsigned char>(0x30 + ranges[a - 1]);
        }));
    }
    hostsim::Block* b = nullptr;
    ND6021_Param* p = NewBlock(4, &b);
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 4; i++)
        p->Range[i] = ranges[i];
    p->Mess.Sample_Distance = 1.0;
    ASSERT_EQ(1, Start(b)) << LastWarningText();
    ClockFromZero();
    bus.ClearLog();
    Feed(b, 0, {3.0f, 12.5f});
    Feed(b, 1, {25.0f});
    Feed(b, 2, {1.0f});
    ProcessUntilLines(b, 3);
    EXPECT_EQ((Lines{"#0112.500", "#0220.000", "#0304.000"}), Wire());
    // Not due: the block passes the turn without a write.
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    EXPECT_EQ(3u, bus.LogCount());

    Feed(b, 0, {NAN});
    Feed(b, 1, {});
    Feed(b, 3, {-3.0f});
    WinapiAdvanceClock(1000);
    bus.ClearLog();
    ProcessUntilLines(b, 4);
    EXPECT_EQ((Lines{"#0112.500", "#0220.000", "#0304.000", "#0400.000"}), Wire());
    EXPECT_DOUBLE_EQ(12.5, ModuleAt(1).outputs[0]);
    EXPECT_DOUBLE_EQ(20.0, ModuleAt(2).outputs[0]);
    EXPECT_DOUBLE_EQ(4.0, ModuleAt(3).outputs[0]);
    EXPECT_DOUBLE_EQ(0.0, ModuleAt(4).outputs[0]);
    EXPECT_TRUE(hostsim::Warnings().empty()) << LastWarningText();
    Stop(b);
}

TEST_F(ND6021, AChannelsStartFailureNamesTheChannel) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6021", 0));
    ASSERT_EQ(1, bus.AddModule(3, "6024", 0));
    struct Case {
        const char* what;
        int address1;
        int range1;
        int silent; // channel 1's module is silent
        int stops;
        const char* text;
    } cases[] = {
        {"an address outside the module range", 300, 0, 0, 1,
         "Module address on channel 1 not configurated."},
        {"a range the type does not have", 1, 7, 0, 1,
         "Unknown output range in the settings of this module."},
        {"no module at the address", 2, 0, 1, 0,
         "Module on channel 1 does not reply!\n\267 Connected ? Switched on ?"},
        {"another model", 3, 0, 0, 1, "Wrong module type at channel 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = nullptr;
        ND6021_Param* p = NewBlock(2, &b);
        ASSERT_NE(nullptr, p);
        p->Module_Address[1] = c.address1;
        p->Range[1] = c.range1;
        int stops = hostsim::StopExperimentCalls();
        // Channel 0's module answers on the real clock; the four probes of a
        // silent module on channel 1 cost no real time.
        EXPECT_EQ(0, c.silent ? StartSilentFrom(b, c.address1) : Start(b));
        EXPECT_EQ(stops + c.stops, hostsim::StopExperimentCalls());
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ(c.text, LastWarning()->text);
        EXPECT_EQ(std::string(b->record.szName), LastWarning()->caption);
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// A block whose module falls silent waits a minute after its failure; the
// healthy block of the same type beside it goes on writing every half
// second, and the failing one sends nothing during its wait.
TEST_F(ND6021, AFailingBlockLeavesTheHealthyOneItsRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6021", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6021", 0));
    hostsim::Block* healthy = nullptr;
    hostsim::Block* failing = nullptr;
    ND6021_Param* ph = NewBlock(1, &healthy);
    ND6021_Param* pf = NewBlock(1, &failing);
    ASSERT_TRUE(ph && pf);
    pf->Module_Address[0] = 2;
    ExpectTheHealthyKeepsItsRate(healthy, &ph->Mess, 1, failing, &pf->Mess, 2);
}

// The port's keep-alive goes out at half the shortest watchdog time while a
// channel's watchdog is on; the measurement settings take the time of the
// last channel whose watchdog is on.
TEST_F(ND6021, TheKeepAliveGoesOutWhileAWatchdogIsOn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6021", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6021", 0));
    ASSERT_EQ(1, bus.AddModule(3, "6021", 0));
    hostsim::Block* b = nullptr;
    ND6021_Param* p = NewBlock(3, &b);
    ASSERT_NE(nullptr, p);
    p->Watchdog_On[0] = 1;
    p->Watchdog_Time[0] = 6;
    p->Watchdog_On[1] = 1;
    p->Watchdog_Time[1] = 2;
    p->Watchdog_Time[2] = 4; // off
    p->Mess.Sample_Distance = 0.5;
    hostsim::ExperimentOptions o = Manual(3.5);
    auto started = o.onStarted;
    o.onStarted = [&] {
        started();
        bus.ClearLog();
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(3u, Starting("~**").size());
    EXPECT_EQ(1, p->Mess.Watchdog_On);
    EXPECT_EQ(2, p->Mess.Watchdog_Time);
}

TEST_F(ND6021, TheDialogEditsEachChannelsModule) {
    Load();
    hostsim::Block* b = nullptr;
    ND6021_Param* p = NewBlock(2, &b);
    ASSERT_NE(nullptr, p);
    b->record.uInputs = 2;
    p->Watchdog_Value[0] = 7.5f; // kept while its watchdog is off
    WinapiDialogsReset();
    WinapiQueueMouseDown(IDC_CHANNEL_FIRST + 1);
    WinapiQueuePick(IDC_SETUP_ADDRESS, "5");
    WinapiQueuePick(IDC_AO_RANGE, "4-20 mA");
    WinapiQueuePick(IDC_AO_SLEW, "0,500 mA/s");
    WinapiQueueClick(IDC_AO_WATCHDOG_ON);
    WinapiQueuePick(IDC_WD_TIME, "2");
    WinapiQueueType(IDC_AO_SAFE_VALUE, "2");
    WinapiQueueClick(IDC_MORE);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(0, WinapiFailedActionCount());
    EXPECT_EQ(3u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(1, p->Module_Address[0]);
    EXPECT_EQ(5, p->Module_Address[1]);
    EXPECT_EQ(0, p->Range[0]);
    EXPECT_EQ(1, p->Range[1]);
    EXPECT_STREQ("mA", p->Unit[1]);
    EXPECT_EQ(3, p->Slew_Rate[1]);
    EXPECT_EQ(0, p->Watchdog_On[0]);
    EXPECT_FLOAT_EQ(7.5f, p->Watchdog_Value[0]);
    EXPECT_EQ(1, p->Watchdog_On[1]);
    EXPECT_EQ(2, p->Watchdog_Time[1]);
    EXPECT_FLOAT_EQ(4.0f, p->Watchdog_Value[1]); // 2 mA is below the range
    char text[64];
    WinapiDialogText("DLG_ND6021", IDC_AO_SAFE_UNIT, text, sizeof text);
    EXPECT_STREQ("mA", text); // more leaves channel 1 current
}

TEST_F(ND6021, TheSafetyValueIsHeldWithinTheChannelsRange) {
    Load();
    struct Case {
        int range;
        const char* typed;
        float stored;
        const char* shown;
        const char* unit;
    } cases[] = {
        {0, "25", 20.0f, "20.0", "mA"},
        {1, "2", 4.0f, "4.0", "mA"},
        {2, "-1", 0.0f, "0.0", "V"},
        {2, "7,26", 7.26f, "7.3", "V"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        hostsim::Block* b = nullptr;
        ND6021_Param* p = NewBlock(1, &b);
        ASSERT_NE(nullptr, p);
        p->Range[0] = c.range;
        p->Watchdog_On[0] = 1;
        WinapiDialogsReset();
        WinapiQueueType(IDC_AO_SAFE_VALUE, c.typed);
        WinapiQueueOk();
        hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
        EXPECT_FLOAT_EQ(c.stored, p->Watchdog_Value[0]);
        char text[64];
        WinapiDialogText("DLG_ND6021", IDC_AO_SAFE_VALUE, text, sizeof text);
        EXPECT_STREQ(c.shown, text);
        WinapiDialogText("DLG_ND6021", IDC_AO_SAFE_UNIT, text, sizeof text);
        EXPECT_STREQ(c.unit, text);
        hostsim::DeleteBlock(b);
    }
}

TEST_F(ND6021, TheClassMessagesOfTheOutputForm) {
    Load();
    hostsim::Block* b = nullptr;
    ND6021_Param* p = NewBlock(1, &b);
    ASSERT_NE(nullptr, p);
    // MODMSG_CHECK_LAYOUT: one input up to sixteen, no output.
    ModuleRecord other = {};
    struct {
        UINT inputs, outputs;
        int answer;
    } layouts[] = {{1, 0, 1}, {16, 0, 1}, {17, 0, 0}, {0, 0, 0}, {2, 1, 0}};
    for (const auto& l : layouts) {
        other.uInputs = l.inputs;
        other.uOutputs = l.outputs;
        EXPECT_EQ(l.answer,
                  hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                            static_cast<int>(reinterpret_cast<intptr_t>(&other))))
            << l.inputs << " inputs, " << l.outputs << " outputs";
    }
    // MODMSG_INPUT_NAME only for a channel that takes its source's name.
    p->Copy_Channel_Name[1] = 1;
    char name[] = "Oven zone 2";
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 0,
                              static_cast<int>(reinterpret_cast<intptr_t>(name)));
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 1,
                              static_cast<int>(reinterpret_cast<intptr_t>(name)));
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 20,
                              static_cast<int>(reinterpret_cast<intptr_t>(name)));
    EXPECT_STREQ("Q7021-O 00", p->Channel_Name[0]);
    EXPECT_STREQ("Oven zone 2", p->Channel_Name[1]);
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_QUERY172, 0, 0));
}

} // namespace
