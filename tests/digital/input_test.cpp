// The digital input types of the shipped plug-in, each against a simulated
// module whose reply layout modsim writes from the module's own format: the
// lines set in the module reach the right channels, the start forms and
// what each failure stops, the watchdog commands of the types that set up
// their module's outputs, what a new block gets, a worksheet round trip, and
// a failing block beside a healthy one. Tests of one type end in its name.
#include "digital_fixture.h"
#include "experiment_run.h"

#include <map>
#include <set>

namespace {

using digitaltest::DigitalTest;
using digitaltest::kDefault;
using digitaltest::kTelv;
using digitaltest::kXX03;

// A digital input type, from its module's point of view.
struct InputType {
    const char* type;
    int menu;
    const char* plugin; // a family that registers it
    const char* model;  // a module the start accepts
    int form;           // 1: silent or wrong stops; 2: wrong refuses; 3: silent refuses
    int layout;         // most outputs MODMSG_CHECK_LAYOUT accepts
    int named;          // channels a new block names
    const char* names;  // their format in the plugin's family
    WORD mask;          // the block's channels in the measurement
    unsigned lines;     // the module's input lines, then their opposite within the mask
    std::vector<const char*> accepted, refused; // models at start; "" gives no name
    int schemaRows;                             // rows before the end row
    int anyVersion = 0;                         // a loaded record of Version 0 is taken
};

void PrintTo(const InputType& t, std::ostream* os) {
    *os << t.type;
}

const std::vector<InputType>& Types() {
    static const std::vector<InputType> types = {
        {"ND6050I",
         2958,
         kTelv,
         "6050",
         1,
         7,
         8,
         "DI %d",
         0x55,
         0x14,
         {"6050", "7050", "4050", ""},
         {"6055", "6018"},
         27},
        {"ND6044I",
         2976,
         kTelv,
         "6044",
         1,
         4,
         4,
         "DI %d",
         0x0B,
         0x09,
         {"6044", "7044", ""},
         {"6050"},
         27,
         1},
        {"ND6055I",
         2996,
         kTelv,
         "6055",
         1,
         7,
         8,
         "DI %d",
         0xC3,
         0x81,
         {"6055", "7055", ""},
         {"6050"},
         27},
        {"ND6060I",
         2961,
         kTelv,
         "6060",
         2,
         4,
         4,
         "DI %d",
         0x0A,
         0x08,
         {"6060", "7060"},
         {"6065", "", "6018"},
         24},
        {"ND6063I",
         2990,
         kTelv,
         "7063",
         2,
         4,
         8,
         "DI %d",
         0x09,
         0x01,
         {"7063"},
         {"6063", "6060", ""},
         24},
        {"ND6065I", 2963, kTelv, "7065", 2, 4, 4, "DI %d", 0x06, 0x04, {"7065"}, {"6065", ""}, 24},
        {"ND6052", 2960, kTelv, "6052", 3, 8, 16, "DI %d", 0xF0, 0x30, {"6052", ""}, {"6053"}, 24},
        {"ND6053",
         2972,
         kTelv,
         "6053",
         3,
         16,
         16,
         "DI %d",
         0x8181,
         0x8100,
         {"6053", "7053", "4053", ""},
         {"6054"},
         24},
        {"ND6054",
         2973,
         kDefault,
         "6054",
         3,
         15,
         16,
         "Vin %d",
         0x4101,
         0x4000,
         {"6054", "4053", ""},
         {"7053", "6053"},
         24},
        {"ND6751",
         2994,
         kTelv,
         "87051",
         3,
         16,
         16,
         "DI %d",
         0x8181,
         0x0180,
         {"87051", "6751", "7751", ""},
         {"7053"},
         24},
        {"ND6041I",
         2978,
         kTelv,
         "7041",
         1,
         14,
         14,
         "DI %d",
         0x2181,
         0x2001,
         {"7041", ""},
         {"7042"},
         24,
         1},
    };
    return types;
}

class InputTypes : public DigitalTest, public ::testing::WithParamInterface<InputType> {
  protected:
    void SetUp() override {
        DigitalTest::SetUp();
        ASSERT_EQ(1, Load(GetParam().plugin));
    }
    hostsim::Block* Block(int address, WORD mask) {
        return NewBlock(GetParam().menu, address, mask);
    }
    // A module of the model at the address; "" is one that gives no name.
    void AddModule(int address, const std::string& model) {
        ASSERT_EQ(1, bus.AddModule(address, model.empty() ? GetParam().model : model, 0));
        if (model.empty()) {
            modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
            f.match = "$" + Hex(static_cast<unsigned>(address), 2) + "M";
            bus.InjectFault(address, f);
        }
    }
    static double Level(unsigned lines, int c) { return (lines >> c) & 1 ? 5.0 : 0.0; }
};

std::string Name(const ::testing::TestParamInfo<InputType>& info) {
    return info.param.type;
}

// The lines the module reports reach the block's channels, 5.0 or 0.0 in
// every sample, the module's outputs (which some replies carry before the
// inputs) never; a change of the lines reaches the next poll.
TEST_P(InputTypes, TheModulesLinesReachTheirChannels) {
    const InputType& t = GetParam();
    AddModule(1, t.model);
    bus.SetDigitalInputs(1, t.lines);
    bus.EditModule(1, [&](modsim::Module& m) { m.digitalOutputs = ~t.lines & 0xFFFF; });
    hostsim::Block* b = Block(1, t.mask);
    ASSERT_NE(nullptr, b);
    hostsim::ExperimentOptions o = Manual(1.2);
    auto step = o.onCycle;
    bool changed = false;
    const unsigned later = t.lines ^ t.mask;
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        if (!changed && hostsim::ExperimentTime() >= 0.7) {
            bus.SetDigitalInputs(1, later);
            changed = true;
        }
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_TRUE(hostsim::Warnings().empty());
    int j = 0;
    for (int c = 0; c < 16; c++) {
        if (!((t.mask >> c) & 1)) continue;
        SCOPED_TRACE("line " + std::to_string(c));
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, j++);
        ASSERT_EQ(3u, d.size());
        const double levels[3] = {Level(t.lines, c), Level(t.lines, c), Level(later, c)};
        for (int k = 0; k < 3; k++) {
            EXPECT_DOUBLE_EQ(0.5 * k, d[k].time);
            EXPECT_DOUBLE_EQ(0.5, d[k].sampleDistance);
            EXPECT_EQ(std::vector<float>{static_cast<float>(levels[k])}, d[k].samples);
        }
    }
    EXPECT_EQ(static_cast<int>(b->record.uOutputs), j);
    // One request per poll.
    EXPECT_EQ(3u, Starting("$016").size());
}

// With the global settings a poll gives every output a block of equal
// samples, one request per block size of sample distances.
TEST_P(InputTypes, WithGlobalSettingsAPollIsABlockOfEqualSamples) {
    const InputType& t = GetParam();
    AddModule(1, t.model);
    bus.SetDigitalInputs(1, t.lines);
    hostsim::Block* b = Block(1, t.mask);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Use_Global_Settings = 1;
    hostsim::ExperimentOptions o = Manual(2.5);
    o.globalMilliSecondsPerSample = 10.0;
    o.globalBlockSize = 100;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    const int c = digitaltest::Line(t.mask, 0);
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, 0);
    ASSERT_EQ(3u, d.size());
    for (size_t k = 0; k < d.size(); k++) {
        EXPECT_DOUBLE_EQ(static_cast<double>(k), d[k].time);
        EXPECT_DOUBLE_EQ(0.01, d[k].sampleDistance);
        EXPECT_EQ(std::vector<float>(100, static_cast<float>(Level(t.lines, c))), d[k].samples);
    }
    EXPECT_EQ(3u, Starting("$016").size());
}

// Which modules a start accepts, and what a silent or wrong one does to the
// experiment: the types whose module also has outputs stop it for both, the
// relay modules' inputs only refuse a wrong module, the others only refuse
// a silent one.
TEST_P(InputTypes, TheStartFormDecidesWhatAFailureStops) {
    const InputType& t = GetParam();
    struct Case {
        std::string model; // "-": no module
        int started;
        int stops;
        const char* text;
    };
    std::vector<Case> cases;
    for (const char* m : t.accepted)
        cases.push_back({m, 1, 0, nullptr});
    for (const char* m : t.refused)
        cases.push_back({m, 0, t.form != 2, digitaltest::kWrongModule});
    cases.push_back({"-", 0, t.form != 3, digitaltest::kNoReply});
    for (const Case& c : cases) {
        SCOPED_TRACE("module " + c.model);
        CaseGuard guard(this);
        bus.RemoveModule(1);
        bus.ClearLog();
        if (c.model != "-") AddModule(1, c.model);
        ASSERT_EQ(1, Load(t.plugin));
        hostsim::Block* b = Block(1, t.mask);
        ASSERT_NE(nullptr, b);
        snprintf(b->record.szName, sizeof b->record.szName, "Lines");
        hostsim::ExperimentOptions o = Manual(0.3);
        // A silent module's time-outs pass on the manual clock.
        if (c.model == "-") o.beforeStart = [](int) { WinapiUseManualClock(1000); };
        hostsim::ExperimentResult r;
        EXPECT_EQ(c.started, Run(o, &r));
        EXPECT_EQ(c.started, r.started);
        EXPECT_EQ(c.stops, hostsim::StopExperimentCalls() > 0);
        if (c.text) {
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Lines", LastWarning()->caption);
            EXPECT_EQ(c.text, LastWarning()->text);
        } else {
            EXPECT_TRUE(hostsim::Warnings().empty());
            EXPECT_FALSE(Delivered(r, b, 0).empty());
        }
        // A block whose start failed never polls, also when the host calls
        // it after all.
        if (!c.started) {
            for (int i = 0; i < 20; i++)
                EXPECT_EQ(0, hostsim::ProcessBlock(b));
            WaitHeard();
            EXPECT_TRUE(Starting("$016").empty());
        }
    }
}

// A new block: one output on the first line, the type's names and the unit
// "V", the outputs MODMSG_CHECK_LAYOUT accepts, and its stored format.
TEST_P(InputTypes, WhatANewBlockGets) {
    const InputType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, P(b)->Version);
    EXPECT_EQ(0x0001, P(b)->Channel_Mask);
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(0u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(1, static_cast<int>(b->record.aiOutputChannel[0]));
    for (int i = 0; i < 16; i++) {
        char name[24];
        snprintf(name, sizeof name, t.names, i);
        EXPECT_EQ(i < t.named ? std::string(name) : "", std::string(P(b)->Channel_Name[i])) << i;
        EXPECT_EQ(i < t.named ? "V" : "", std::string(P(b)->Unit[i])) << i;
    }
    // Created with three outputs, the first three lines.
    hostsim::Block* three = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, three);
    three->record.uOutputs = 3;
    P(three)->Channel_Mask = 0;
    EXPECT_EQ(1, hostsim::SendClassMessage(three, MODMSG_CREATE, 0, 0));
    EXPECT_EQ(0x0007, P(three)->Channel_Mask);

    // MODMSG_CHECK_LAYOUT: 1 to layout outputs and no inputs.
    hostsim::Block* other = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, other);
    ExpectLayout(b, other, 0, t.layout, 0);

    // The schema: the rows of the record's fields at their offsets, the end
    // row all zero.
    int n = 0;
    const ParamSchemaEntry* rows = Schema(b, &n);
    ASSERT_NE(nullptr, rows);
    EXPECT_EQ(t.schemaRows, n);
    EXPECT_EQ(nullptr, rows[n].type);
    EXPECT_EQ(0, rows[n].offset);
    const std::map<std::string, int> offsets = {
        {"Version", 0},           {"Channel_Name[0..15]", 4}, {"Module_Address", 388},
        {"Channel_Mask", 392},    {"Port_Number", 396},       {"Dummy1", 420},
        {"Sample_Distance", 440}, {"Error_Var_Nr", 460},      {"Watchdog_On", 464},
        {"Watchdog_Value", 472},  {"Unit[0..15]", 488},       {"Copy_Channel_Name[0..15]", 1512}};
    for (int i = 0; i < n; i++) {
        EXPECT_EQ(0, rows[i].reserved);
        auto it = offsets.find(rows[i].name);
        if (it != offsets.end()) {
            EXPECT_EQ(it->second, rows[i].offset) << rows[i].name;
        }
    }
    EXPECT_EQ(rows, reinterpret_cast<const ParamSchemaEntry*>(
                        hostsim::SendClassMessage(b, MODMSG_GET_SCHEMA, 0, 0)));
    // The outputs are named after their lines.
    b->record.uOutputs = 2;
    P(b)->Channel_Mask = 0x0006;
    hostsim::SendClassMessage(b, MODMSG_OUTPUT_NAMES, 0, 0);
    EXPECT_EQ(std::string(P(b)->Channel_Name[1]), b->outputNames[0]);
    EXPECT_EQ(std::string(P(b)->Channel_Name[2]), b->outputNames[1]);
}

// Saved and loaded, a block measures as before; a record of the old format
// is refused by every type.
TEST_P(InputTypes, AWorksheetRoundTripKeepsTheBlock) {
    const InputType& t = GetParam();
    hostsim::Block* b = Block(7, t.mask);
    ASSERT_NE(nullptr, b);
    snprintf(P(b)->Channel_Name[digitaltest::Line(t.mask, 0)], 24, "Door switch");
    P(b)->Mess.Sample_Distance = 0.25;
    std::string path = dir + "/round.wks", error;
    ASSERT_EQ(1, hostsim::SaveWorksheet(path.c_str(), &error)) << error;
    std::vector<unsigned char> saved = b->param;
    ASSERT_EQ(1, hostsim::LoadWorksheet(path.c_str(), &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* loaded = hostsim::BlockAt(0);
    EXPECT_EQ(1, loaded->afterLoadAnswer);
    EXPECT_EQ(static_cast<UINT>(Bits(t.mask)), static_cast<UINT>(loaded->record.uOutputs));
    EXPECT_EQ(t.mask, P(loaded)->Channel_Mask);
    EXPECT_EQ(7, P(loaded)->Module_Address);
    EXPECT_EQ(0.25, P(loaded)->Mess.Sample_Distance);
    EXPECT_STREQ("Door switch", P(loaded)->Channel_Name[digitaltest::Line(t.mask, 0)]);
    EXPECT_EQ(0, memcmp(saved.data(), loaded->param.data(), 428));
    EXPECT_EQ(0, memcmp(saved.data() + 432, loaded->param.data() + 432, 1576 - 432));

    if (t.anyVersion) {
        ExpectVersionTaken("0");
    } else {
        ExpectOldFormatRefused("0");
    }
}

// A block whose module falls silent waits after its failed poll; the
// healthy block of the same type beside it keeps its rate.
TEST_P(InputTypes, AFailingBlockBesideAHealthyOneOfTheSameType) {
    const InputType& t = GetParam();
    AddModule(1, t.model);
    AddModule(2, t.model);
    bus.SetDigitalInputs(1, t.lines);
    hostsim::Block* healthy = Block(1, t.mask);
    hostsim::Block* failing = Block(2, t.mask);
    ASSERT_TRUE(healthy && failing);
    P(failing)->Mess.Error_Stop = 0;
    P(failing)->Mess.Error_Wait_Min = 1;
    hostsim::ExperimentOptions o = Manual(8.0);
    auto manual = o.onStarted;
    o.onStarted = [&] {
        manual();
        modsim::Fault f(modsim::FaultKind::Silence, modsim::kAlways);
        f.match = "$026";
        bus.InjectFault(2, f);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    // A poll every half second, less the ones the other block's failed
    // request and its repeat held the line for (3 s): skipped, not made up.
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, healthy, 0);
    ASSERT_GE(d.size(), 9u);
    experimenttest::ExpectSweepsKeptOrSkipped(d, 0.5, 3.5);
    EXPECT_TRUE(Delivered(r, failing, 0).empty());
    EXPECT_EQ(1, R(failing)->Error_Waiting);
}

INSTANTIATE_TEST_SUITE_P(Digital, InputTypes, ::testing::ValuesIn(Types()), Name);

// The input types that set up their module's output watchdog: in the
// family TELV, for the type's 7000-series model, the safe value and the
// time-out with the watchdog on, "~AA3000" with it off; nothing for the
// 6000-series model or in another family.
struct WatchdogCase {
    const char* type;
    int menu;
    const char* model6000;
    const char* model7000;
};

void PrintTo(const WatchdogCase& t, std::ostream* os) {
    *os << t.type;
}

class InputWatchdog : public DigitalTest, public ::testing::WithParamInterface<WatchdogCase> {};

TEST_P(InputWatchdog, TheSafeValueAndTimeOutOfTheModulesOutputs) {
    const WatchdogCase& w = GetParam();
    struct Case {
        const char* plugin;
        const char* model;
        int on, seconds;
        WORD safe;
        std::vector<std::string> commands;
    } cases[] = {
        {kTelv, w.model7000, 1, 6, 0x0155, {"~0355555", "~03313C"}},
        {kTelv, w.model7000, 1, 30, 0x00A0, {"~035A0A0", "~0331FF"}},
        {kTelv, w.model7000, 1, 0, 0x0001, {"~0350101", "~033101"}},
        {kTelv, w.model7000, 0, 6, 0x0155, {"~033000"}},
        {kTelv, w.model6000, 1, 6, 0x0155, {}},
        {kXX03, w.model7000, 1, 6, 0x0155, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " " + c.model + (c.on ? " on" : " off"));
        CaseGuard guard(this);
        bus.RemoveModule(3);
        ASSERT_EQ(1, bus.AddModule(3, c.model, 0));
        bus.ClearLog();
        ASSERT_EQ(1, Load(c.plugin));
        hostsim::Block* b = NewBlock(w.menu, 3, 0x01);
        ASSERT_NE(nullptr, b);
        P(b)->Mess.Watchdog_On = c.on;
        P(b)->Mess.Watchdog_Time = c.seconds;
        P(b)->Mess.Watchdog_Value = c.safe;
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
        EXPECT_EQ(c.commands, Starting("~03"));
        modsim::Module m;
        ASSERT_EQ(1, bus.GetModule(3, &m));
        EXPECT_EQ(c.on && !c.commands.empty() ? 1 : 0, m.watchdog.enabled);
    }
}

// The keep-alive goes out at the block's idle turns while its watchdog is
// on, in the family TELV only, and a wrong reply to a watchdog command
// stops the experiment.
TEST_P(InputWatchdog, TheKeepAliveAndAWrongReply) {
    const WatchdogCase& w = GetParam();
    ASSERT_EQ(1, Load(kTelv));
    ASSERT_EQ(1, bus.AddModule(3, w.model7000, 0));
    hostsim::Block* b = NewBlock(w.menu, 3, 0x01);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 2;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(3.5), &r)) << r.error;
    // One line a second from the first second on; a reply that comes late on
    // a loaded machine delays the next.
    EXPECT_GE(Starting("~**").size(), 2u);
    EXPECT_LE(Starting("~**").size(), 3u);

    modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
    f.match = "~0331";
    f.firstChar = '?';
    bus.InjectFault(3, f);
    snprintf(b->record.szName, sizeof b->record.szName, "Inputs");
    hostsim::ExperimentResult again;
    EXPECT_EQ(0, Run(Manual(0.5), &again));
    EXPECT_GE(hostsim::StopExperimentCalls(), 1);
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Inputs", LastWarning()->caption);
    EXPECT_EQ(digitaltest::kCommProblem, LastWarning()->text);

    // In another family the input block keeps no port alive, not even one
    // that an output block on the port armed (and then leaves to it).
    ASSERT_EQ(1, Load(kXX03));
    bus.ClearFaults(3);
    ASSERT_EQ(1, bus.AddModule(5, "7050", 0));
    hostsim::Block* input = NewBlock(w.menu, 3, 0x01);
    hostsim::Block* output = NewBlock(2959, 5, 0x01); // ND6050O
    ASSERT_TRUE(input && output);
    for (hostsim::Block* x : {input, output}) {
        P(x)->Mess.Watchdog_On = 1;
        P(x)->Mess.Watchdog_Time = 2;
    }
    hostsim::ExperimentOptions o = Manual(3.5);
    auto manual = o.onStarted;
    o.onStarted = [&] {
        manual();
        P(output)->Mess.Watchdog_On = 0;
        bus.ClearLog();
    };
    hostsim::ExperimentResult other;
    ASSERT_EQ(1, Run(o, &other)) << other.error;
    EXPECT_TRUE(Starting("~**").empty());
}

// The keep-alive goes only to a port whose watchdog a block armed in this
// experiment: the stop of the block that armed it disarms the port, so a
// block of the next experiment whose module has no watchdog to arm sends
// none, its Watchdog_On notwithstanding.
TEST_P(InputWatchdog, AStoppedBlockDisarmsItsPort) {
    const WatchdogCase& w = GetParam();
    ASSERT_EQ(1, Load(kTelv));
    ASSERT_EQ(1, bus.AddModule(3, w.model7000, 0));
    ASSERT_EQ(1, bus.AddModule(4, w.model6000, 0));
    hostsim::Block* arming = NewBlock(w.menu, 3, 0x01);
    hostsim::Block* other = NewBlock(w.menu, 4, 0x01);
    ASSERT_TRUE(arming && other);
    for (hostsim::Block* b : {arming, other}) {
        P(b)->Mess.Watchdog_On = 1;
        P(b)->Mess.Watchdog_Time = 2;
    }
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(2.5), &r)) << r.error;
    EXPECT_FALSE(Starting("~**").empty());
    P(arming)->Mess.Watchdog_On = 0;
    bus.ClearLog();
    ASSERT_EQ(1, Run(Manual(2.5), &r)) << r.error;
    EXPECT_EQ(std::vector<std::string>{"~033000"}, Starting("~03"));
    EXPECT_TRUE(Starting("~**").empty());
}

INSTANTIATE_TEST_SUITE_P(Digital, InputWatchdog,
                         ::testing::Values(WatchdogCase{"ND6050I", 2958, "6050", "7050"},
                                           WatchdogCase{"ND6044I", 2976, "6044", "7044"},
                                           WatchdogCase{"ND6055I", 2996, "6055", "7055"}),
                         [](const ::testing::TestParamInfo<WatchdogCase>& info) {
                             return std::string(info.param.type);
                         });

// The fourteen-line type reads a sixteen-bit image in the family TELV and
// the byte image in the others, where lines 8 to 13 stay 0.0.
using ND6041I = DigitalTest;

TEST_F(ND6041I, TheFamilyDecidesTheImageWidth) {
    struct Case {
        const char* plugin;
        float levels[4]; // lines 0, 7, 8, 13
    } cases[] = {
        {kTelv, {5.0f, 0.0f, 0.0f, 5.0f}},
        {kXX03, {5.0f, 0.0f, 0.0f, 0.0f}},
    };
    ASSERT_EQ(1, bus.AddModule(1, "7041", 0));
    bus.SetDigitalInputs(1, 0x2001);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plugin);
        CaseGuard guard(this);
        ASSERT_EQ(1, Load(c.plugin));
        hostsim::Block* b = NewBlock(2978, 1, 0x2181);
        ASSERT_NE(nullptr, b);
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
        for (int j = 0; j < 4; j++) {
            std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, j);
            ASSERT_EQ(1u, d.size());
            EXPECT_EQ(std::vector<float>{c.levels[j]}, d[0].samples) << "output " << j;
        }
    }
}

// A block whose mask holds fewer lines than it has outputs (a record edited
// outside the driver) delivers 0.0 on the outputs without a line; the search
// for a line stops at bit 15.
using ND6053 = DigitalTest;

TEST_F(ND6053, OutputsBeyondTheMasksLinesDeliverZero) {
    ASSERT_EQ(1, Load(kTelv));
    ASSERT_EQ(1, bus.AddModule(1, "6053", 0));
    bus.SetDigitalInputs(1, 0xFFFF);
    hostsim::Block* b = NewBlock(2972, 1, 0x8001);
    ASSERT_NE(nullptr, b);
    b->record.uOutputs = 4;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.2), &r)) << r.error;
    const float levels[4] = {5.0f, 5.0f, 0.0f, 0.0f};
    for (int j = 0; j < 4; j++) {
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, j);
        ASSERT_EQ(1u, d.size()) << j;
        EXPECT_EQ(std::vector<float>{levels[j]}, d[0].samples) << "output " << j;
    }
}

// The host has no data block for one of the outputs: nothing is released,
// and the next call delivers the same image to all of them.
using ND6050I = DigitalTest;

TEST_F(ND6050I, AMissingDataBlockPostponesTheWholeDelivery) {
    ASSERT_EQ(1, Load(kTelv));
    ASSERT_EQ(1, bus.AddModule(1, "6050", 0));
    bus.SetDigitalInputs(1, 0x04);
    hostsim::Block* b = NewBlock(2958, 1, 0x07);
    ASSERT_NE(nullptr, b);
    hostsim::ExperimentOptions o = Manual(0.4);
    auto step = o.onCycle;
    int withheld = 0;
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        // Withheld for the first stretch of the experiment.
        bool hold = hostsim::ExperimentTime() < 0.2;
        hostsim::WithholdOutputBlocks(hold);
        withheld += hold;
    };
    hostsim::WithholdOutputBlocks(true);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    hostsim::WithholdOutputBlocks(false);
    EXPECT_GT(withheld, 0);
    for (int j = 0; j < 3; j++) {
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, j);
        ASSERT_EQ(1u, d.size()) << j;
        EXPECT_EQ(0.0, d[0].time);
        EXPECT_EQ(std::vector<float>{j == 2 ? 5.0f : 0.0f}, d[0].samples);
    }
    EXPECT_EQ(1u, Starting("$016").size());
}

} // namespace
