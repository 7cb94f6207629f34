// The digital output and relay types of the shipped plug-in, each against a
// simulated module: the host's values as the image written in the module's
// exact format, every interval or only on change, the watchdog sequences
// with their safe values, an input block without samples, a failed write
// retried, the image each experiment starts from, one watchdog owner per
// module, and a failing block beside a healthy one. Tests of one type end
// in its name.
#include "digital_fixture.h"

#include <math.h>

namespace {

using digitaltest::DigitalTest;
using digitaltest::kDefault;
using digitaltest::kTelv;
using digitaltest::kXX01;
using digitaltest::kXX03;
using digitaltest::kXX05;

// A digital output type, from its module's point of view.
struct OutputType {
    const char* type;
    int menu;
    const char* plugin; // a family that registers it
    const char* model;  // a module the start accepts, without a watchdog sequence
    const char* write;  // the request, filled with the address and the image
    unsigned lines;     // the lines the request carries
    int onChange;       // writes only a changed image
    WORD mask;          // the block's channels in the measurement
    int layout;         // most inputs MODMSG_CHECK_LAYOUT accepts
    int named;          // channels a new block names
};

void PrintTo(const OutputType& t, std::ostream* os) {
    *os << t.type;
}

const std::vector<OutputType>& Types() {
    static const std::vector<OutputType> types = {
        {"ND6050O", 2959, kTelv, "4050", "#%02X00%02X", 0xFF, 0, 0x0A, 8, 8},
        {"ND6055O", 2997, kTelv, "6055", "#%02X00%02X", 0xFF, 0, 0x81, 8, 8},
        {"ND6044O", 2977, kTelv, "6044", "#%02X00%02X", 0xFF, 0, 0x0C, 8, 8},
        {"ND6067", 2981, kTelv, "6067", "#%02X00%02X", 0x7F, 0, 0x41, 7, 7},
        {"ND6063", 2971, kTelv, "7063", "@%02X%1X", 0x0F, 0, 0x05, 8, 8},
        {"ND6042O", 2979, kTelv, "7042", "@%02X%04X", 0x1FFF, 0, 0x1001, 13, 13},
        {"ND6043O", 2980, kTelv, "7043", "@%02X%04X", 0xFFFF, 0, 0x8002, 16, 16},
        {"ND6757O", 2993, kTelv, "87057", "@%02X%04X", 0xFFFF, 0, 0x8100, 16, 16},
        {"ND6056", 2974, kDefault, "6056", "#%02XT%04X", 0xFFFF, 0, 0x4001, 15, 16},
        {"ND6060O", 2962, kTelv, "7060", "#%02X00%02X", 0xFF, 1, 0x05, 4, 16},
        {"ND6065O", 2964, kTelv, "7065", "#%02X00%02X", 0xFF, 1, 0x12, 5, 16},
    };
    return types;
}

std::string Request(const char* format, int address, unsigned image) {
    char text[32];
    snprintf(text, sizeof text, format, address, image);
    return text;
}

class OutputTypes : public DigitalTest, public ::testing::WithParamInterface<OutputType> {
  protected:
    void SetUp() override {
        DigitalTest::SetUp();
        ASSERT_EQ(1, Load(GetParam().plugin));
    }
    hostsim::Block* Block(int address, WORD mask) {
        return NewBlock(GetParam().menu, address, mask);
    }
    // The writes the module at the address received.
    std::vector<std::string> Writes(int address) const {
        const char* f = GetParam().write;
        std::string head = Request(f, address, 0).substr(0, f[0] == '#' && f[5] == 'T' ? 4 : 3);
        std::vector<std::string> out;
        for (const std::string& l : Starting(head))
            if (l.size() == Request(f, address, 0).size()) out.push_back(l);
        return out;
    }
    static void Feed(hostsim::Block* b, int input, const char* source) {
        hostsim::InputSource s;
        std::string error;
        ASSERT_EQ(1, hostsim::ParseInputSource(source, &s, &error)) << error;
        ASSERT_EQ(1, hostsim::ConnectInput(b, input, s, &error)) << error;
    }
};

std::string Name(const ::testing::TestParamInfo<OutputType>& info) {
    return info.param.type;
}

// A last sample above 1.5 switches the channel's line on, 1.5 itself and
// anything below or not a number off; the image goes out in the module's
// format, every interval or, on change, once.
TEST_P(OutputTypes, TheImageIsWrittenInTheModulesFormat) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    // The mask's channels, then two more of the module's lines.
    WORD mask = t.mask;
    for (int c = 0, more = 0; c < 16 && more < 2; c++)
        if (((t.lines >> c) & 1) && !((mask >> c) & 1) && c < t.layout) {
            mask |= static_cast<WORD>(1u << c);
            more++;
        }
    hostsim::Block* b = Block(2, mask);
    ASSERT_NE(nullptr, b);
    const char* values[] = {"constant 5", "constant 1.5", "constant 1.5001", "constant -3"};
    unsigned image = 0;
    for (int i = 0; i < static_cast<int>(b->record.uInputs); i++) {
        Feed(b, i, values[i % 4]);
        if (i % 4 == 0 || i % 4 == 2) image |= 1u << digitaltest::Line(mask, i);
    }
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(1.2), &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_TRUE(hostsim::Warnings().empty());
    std::vector<std::string> expected(t.onChange ? 1 : 3, Request(t.write, 2, image & t.lines));
    EXPECT_EQ(expected, Writes(2));
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(2, &m));
    EXPECT_EQ(image & t.lines, m.digitalOutputs & t.lines);
}

// The image follows the inputs: every interval the image as it stands, or
// only a changed image, at most once per interval.
TEST_P(OutputTypes, TheImageFollowsTheInputs) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    hostsim::Block* b = Block(2, t.mask);
    ASSERT_NE(nullptr, b);
    const int c0 = digitaltest::Line(t.mask, 0);
    const int c1 = digitaltest::Line(t.mask, 1);
    // Input 0 is on for the first half of every 2 s, input 1 always.
    Feed(b, 0, "square 5 0 2 every 0.25");
    Feed(b, 1, "constant 5");
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(4.2), &r)) << r.error;
    const std::string both = Request(t.write, 2, (1u << c0 | 1u << c1) & t.lines);
    const std::string one = Request(t.write, 2, (1u << c1) & t.lines);
    std::vector<std::string> expected;
    if (t.onChange) {
        expected = {both, one, both, one, both};
    } else {
        for (double at = 0.0; at < 4.2; at += 0.5)
            expected.push_back(fmod(at, 2.0) < 1.0 ? both : one);
    }
    EXPECT_EQ(expected, Writes(2));
}

// The image is the host's lines as the block holds them: at the first
// experiment every line off, lines outside the channels never set, each line
// kept into the next experiment until its input delivers again. The safe
// value is the module's, for when the host is lost; it is not written as the
// image at a start. Without input blocks the byte- and word-image types write
// the image they hold; the relay types wait for their inputs.
TEST_P(OutputTypes, LinesOutsideTheChannelsStayOffAndLinesKeepTheirState) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    hostsim::Block* b = Block(2, t.mask);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Value = 0xFFFF;
    const std::string off = Request(t.write, 2, 0);
    const std::string channels = Request(t.write, 2, t.mask & t.lines);
    const std::vector<std::string> none;
    struct Case {
        const char* what;
        bool inputs;
        std::vector<std::string> writes;
    } cases[] = {
        {"the first experiment", false, t.onChange ? none : std::vector<std::string>{off}},
        {"every channel on", true, {channels}},
        {"the next experiment without inputs", false,
         t.onChange ? none : std::vector<std::string>{channels}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        for (int i = 0; i < static_cast<int>(b->record.uInputs); i++) {
            if (c.inputs) {
                Feed(b, i, "constant 5");
            } else {
                std::string error;
                ASSERT_EQ(1, hostsim::ConnectInput(b, i, hostsim::InputSource(), &error)) << error;
            }
        }
        // The writes of the cycles, not a safe value of the watchdog's set-up.
        Run(0.3, [this] { bus.ClearLog(); });
        EXPECT_EQ(c.writes, Writes(2));
    }
}

// An input data block without samples is skipped: the line keeps its state.
TEST_P(OutputTypes, AnInputBlockWithoutSamplesIsSkipped) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    hostsim::Block* b = Block(2, t.mask);
    ASSERT_NE(nullptr, b);
    const unsigned image = (1u << digitaltest::Line(t.mask, 0)) & t.lines;
    hostsim::ExperimentOptions o = Manual(1.2);
    auto manual = o.onStarted;
    auto step = o.onCycle;
    int queued = 0;
    // Input 0 on, then blocks without samples; input 1 off.
    auto queue = [&](double now) {
        std::vector<float> samples;
        if (queued == 0) samples = {0.0f, 5.0f};
        hostsim::QueueInputBlock(b, 0, now, 0.5, samples);
        hostsim::QueueInputBlock(b, 1, now, 0.5, {0.0f});
        queued++;
    };
    o.onStarted = [&] {
        manual();
        queue(0.0);
    };
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        double now = hostsim::ExperimentTime();
        if (queued < 4 && now >= 0.25 * queued) queue(now);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    std::vector<std::string> writes = Writes(2);
    ASSERT_FALSE(writes.empty());
    for (const std::string& w : writes)
        EXPECT_EQ(Request(t.write, 2, image), w);
    EXPECT_EQ(0, hostsim::WaitingInputBlocks(b, 0));
}

// A write that fails goes through the block's error policy and is written
// again at its module's retry time, the relay types' first write too.
TEST_P(OutputTypes, AFailedWriteIsWrittenAgain) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    hostsim::Block* b = Block(2, t.mask);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Error_Stop = 0;
    P(b)->Mess.Error_Wait_Min = 0;
    Feed(b, 0, "constant 5");
    Feed(b, 1, "constant 5");
    const std::string image = Request(
        t.write, 2,
        (1u << digitaltest::Line(t.mask, 0) | 1u << digitaltest::Line(t.mask, 1)) & t.lines);
    // The failed write (two reply time-outs, 3 s) is followed by a wait of
    // four times its last attempt (6 s) before the block writes again.
    hostsim::ExperimentOptions o = Manual(11.0);
    auto manual = o.onStarted;
    o.onStarted = [&] {
        manual();
        // The first write and its repeat go unanswered.
        modsim::Fault f(modsim::FaultKind::Silence, 2);
        f.match = image;
        bus.InjectFault(2, f);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    std::vector<std::string> writes = Writes(2);
    ASSERT_GE(writes.size(), 3u);
    for (const std::string& w : writes)
        EXPECT_EQ(image, w);
    if (t.onChange) {
        EXPECT_EQ(3u, writes.size()) << "the write, its repeat, the write again";
    }
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(2, &m));
    EXPECT_NE(0u, m.digitalOutputs);
}

// A block whose module falls silent waits after its failed write; the
// healthy block of the same type beside it keeps its rate.
TEST_P(OutputTypes, AFailingBlockBesideAHealthyOneOfTheSameType) {
    const OutputType& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(1, t.model, 0));
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    hostsim::Block* healthy = Block(1, t.mask);
    hostsim::Block* failing = Block(2, t.mask);
    ASSERT_TRUE(healthy && failing);
    P(failing)->Mess.Error_Stop = 0;
    P(failing)->Mess.Error_Wait_Min = 1;
    // Input 0 changes every half second, so the relay types write as often
    // as the others.
    for (hostsim::Block* b : {healthy, failing}) {
        Feed(b, 0, "square 5 0 1 every 0.25");
        Feed(b, 1, "constant 0");
    }
    hostsim::ExperimentOptions o = Manual(8.2);
    auto manual = o.onStarted;
    o.onStarted = [&] {
        manual();
        bus.InjectFault(2, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_EQ(1, R(failing)->Error_Waiting);
    // One write every half second, less the ones the other block's failed
    // write and its repeat held the line for (3 s). The relay types write a
    // change only: input blocks that waited meanwhile may cancel each other
    // out.
    std::vector<std::string> writes = Writes(1);
    EXPECT_GE(writes.size(), t.onChange ? 6u : 9u);
    EXPECT_LE(writes.size(), 17u);
    const std::string on = Request(t.write, 1, (1u << digitaltest::Line(t.mask, 0)) & t.lines);
    const std::string off = Request(t.write, 1, 0);
    for (const std::string& w : writes)
        EXPECT_TRUE(w == on || w == off) << w;
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(on, writes.front());
}

// A new block: one input on the first channel, the names "DO 0" on, the
// inputs MODMSG_CHECK_LAYOUT accepts, and the names the host hands in.
TEST_P(OutputTypes, WhatANewBlockGets) {
    const OutputType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, P(b)->Version);
    EXPECT_EQ(0x0001, P(b)->Channel_Mask);
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(0u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(1, static_cast<int>(b->record.aiInputChannel[0]));
    for (int i = 0; i < 16; i++) {
        char name[24];
        snprintf(name, sizeof name, "DO %d", i);
        EXPECT_EQ(i < t.named ? std::string(name) : "", std::string(P(b)->Channel_Name[i])) << i;
        EXPECT_EQ(0, P(b)->Copy_Channel_Name[i]);
    }
    hostsim::Block* other = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, other);
    ExpectLayout(b, other, 1, t.layout, t.layout == 16);
    int n = 0;
    ASSERT_NE(nullptr, Schema(b, &n));
    EXPECT_EQ(24, n);
    // A name from the host is taken by a channel that copies names only.
    hostsim::SendClassMessage(b, MODMSG_SET_NAME_COPY, 1, 0);
    P(b)->Copy_Channel_Name[2] = 0;
    const char long_name[] = "A source with a name far too long";
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 1, reinterpret_cast<LPARAM>(long_name));
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 2, reinterpret_cast<LPARAM>("Lamp"));
    EXPECT_EQ(std::string(long_name).substr(0, 23), P(b)->Channel_Name[1]);
    EXPECT_STREQ("DO 2", P(b)->Channel_Name[2]);
}

// Saved and loaded, a block keeps its settings; a record of the old format
// is refused.
TEST_P(OutputTypes, AWorksheetRoundTripKeepsTheBlock) {
    const OutputType& t = GetParam();
    hostsim::Block* b = Block(9, t.mask);
    ASSERT_NE(nullptr, b);
    Feed(b, 0, "square 0 5 2 every 0.5");
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Value = 0x0003;
    P(b)->Copy_Channel_Name[digitaltest::Line(t.mask, 1)] = 1;
    std::string path = dir + "/round.wks", error;
    ASSERT_EQ(1, hostsim::SaveWorksheet(path.c_str(), &error)) << error;
    std::vector<unsigned char> saved = b->param;
    ASSERT_EQ(1, hostsim::LoadWorksheet(path.c_str(), &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* loaded = hostsim::BlockAt(0);
    EXPECT_EQ(1, loaded->afterLoadAnswer);
    EXPECT_EQ(static_cast<UINT>(Bits(t.mask)), static_cast<UINT>(loaded->record.uInputs));
    EXPECT_EQ(0u, static_cast<UINT>(loaded->record.uOutputs));
    EXPECT_EQ(hostsim::INPUT_SQUARE, loaded->inputSources[0].kind);
    EXPECT_EQ(0, memcmp(saved.data(), loaded->param.data(), 428));
    EXPECT_EQ(0, memcmp(saved.data() + 432, loaded->param.data() + 432, 1576 - 432));
    EXPECT_EQ(digitaltest::Line(t.mask, 1) + 1, static_cast<int>(loaded->record.aiInputChannel[1]));

    ExpectOldFormatRefused("-3");
}

INSTANTIATE_TEST_SUITE_P(Digital, OutputTypes, ::testing::ValuesIn(Types()), Name);

// The watchdog sequences of the start, with their safe values, by family
// and module.
struct WatchdogSequence {
    const char* plugin;
    const char* model;
    int on, seconds;
    WORD safe;
    std::vector<std::string> lines; // at address 1
};

struct WatchdogType {
    const char* type;
    int menu;
    std::vector<WatchdogSequence> sequences;
};

void PrintTo(const WatchdogType& t, std::ostream* os) {
    *os << t.type;
}

const std::vector<std::string> kNone;

const std::vector<WatchdogType>& WatchdogTypes() {
    static const std::vector<WatchdogType> types = {
        {"ND6050O",
         2959,
         {{kTelv, "6050", 1, 2, 0x01FF, {"$01F", "~012125FF"}},
          {kTelv, "6050", 0, 2, 0x01FF, {"~01200000"}},
          {kTelv, "7050", 1, 13, 0x0005, {"~011", "#010005", "~015S", "~013182"}},
          {kTelv, "7050", 1, 30, 0x0005, {"~011", "#010005", "~015S", "~0131FF"}},
          {kTelv, "7050", 0, 13, 0x0005, {"~011", "~013000"}},
          {kTelv, "4050", 1, 13, 0x0005, kNone},
          {kXX03, "7050", 1, 13, 0x0005, {"~011", "#010005", "~015S", "~013182"}}}},
        {"ND6055O",
         2997,
         {{kTelv, "6055", 1, 6, 0x000F, {"$01F", "~0121710F"}},
          {kTelv, "7055", 1, 6, 0x000F, {"~011", "#01000F", "~015S", "~01313C"}}}},
        {"ND6044O",
         2977,
         {{kTelv, "7044", 1, 2, 0x00AA, {"~011", "#0100AA", "~015S", "~013114"}},
          {kTelv, "6044", 0, 2, 0x00AA, {"~01200000"}}}},
        {"ND6067",
         2981,
         {{kTelv, "6067", 1, 2, 0x007F, {"$01F", "~0121257F"}},
          {kTelv, "7067", 1, 2, 0x007F, {"~011", "#01007F", "~015S", "~013114"}},
          {kTelv, "8067", 0, 2, 0x007F, {"~011", "~013000"}}}},
        {"ND6063",
         2971,
         {{kTelv, "7063", 1, 2, 0x0005, {"~011", "#010005", "~015S", "~013114"}},
          {kDefault, "7063", 1, 2, 0x0005, {"$01F", "~01211405"}},
          {kDefault, "6063", 0, 2, 0x0005, {"~01200000"}}}},
        {"ND6042O",
         2979,
         {{kTelv, "7042", 1, 13, 0xFFFF, {"~011", "@011FFF", "~015S", "~013182"}},
          {kXX03, "7042", 1, 13, 0xFFFF, {"~011", "#0100FF", "~015S", "~013182"}},
          {kTelv, "6042", 1, 2, 0xFFFF, {"$01F", "~012125FF"}}}},
        {"ND6043O",
         2980,
         {{kTelv, "7043", 1, 13, 0x1234, {"~011", "#010034", "~015S", "~013182"}},
          {kTelv, "6043", 1, 2, 0x1234, {"$01F", "~01212534"}}}},
        {"ND6757O",
         2993,
         {{kTelv, "87057", 1, 13, 0x00FF, kNone},
          {kTelv, "7757", 1, 13, 0x00FF, {"~011", "#0100FF", "~015S", "~013182"}},
          {kTelv, "6757", 1, 2, 0x00FF, {"$01F", "~012125FF"}}}},
        {"ND6056",
         2974,
         {{kDefault, "6056", 1, 6, 0x00FF, {"$01F", "~01217100FF"}},
          {kDefault, "6056", 0, 6, 0x00FF, {"~0120000000"}},
          {kXX05, "6056", 1, 6, 0x00FF, kNone}}},
        {"ND6060O",
         2962,
         {{kDefault, "6060", 1, 2, 0x0005, {"$01F", "~01212505"}},
          {kDefault, "6060", 0, 2, 0x0005, {"~01200000"}},
          {kTelv, "7060", 1, 13, 0x0005, {"~011", "~013182", "#010005", "~015S"}},
          {kXX03, "6060", 0, 13, 0x0005, {"~011", "~013000"}},
          {kXX01, "6060", 1, 13, 0x0005, kNone}}},
        {"ND6065O",
         2964,
         {{kTelv, "7065", 1, 13, 0x0005, {"~011", "~013182", "#010005", "~015S"}},
          {kTelv, "7065", 0, 13, 0x0005, {"~011", "~013000"}}}},
    };
    return types;
}

class OutputWatchdog : public DigitalTest, public ::testing::WithParamInterface<WatchdogType> {};

TEST_P(OutputWatchdog, TheSequencesWithTheirSafeValues) {
    for (const WatchdogSequence& s : GetParam().sequences) {
        SCOPED_TRACE(std::string(s.plugin) + " " + s.model + (s.on ? " on " : " off ") +
                     std::to_string(s.seconds) + " s");
        CaseGuard guard(this);
        bus.RemoveModule(1);
        ASSERT_EQ(1, bus.AddModule(1, s.model, 0));
        bus.ClearLog();
        ASSERT_EQ(1, Load(s.plugin));
        hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0001);
        ASSERT_NE(nullptr, b);
        P(b)->Mess.Watchdog_On = s.on;
        P(b)->Mess.Watchdog_Time = s.seconds;
        P(b)->Mess.Watchdog_Value = s.safe;
        std::vector<std::string> start;
        hostsim::ExperimentOptions o = Manual(0.1);
        auto manual = o.onStarted;
        o.onStarted = [&] {
            manual();
            for (const std::string& l : Wire())
                if (l != "$012" && l != "$01M") start.push_back(l);
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(o, &r)) << r.error;
        EXPECT_EQ(s.lines, start);
        modsim::Module m;
        ASSERT_EQ(1, bus.GetModule(1, &m));
        EXPECT_EQ(s.on && !s.lines.empty() ? 1 : 0, m.watchdog.enabled);
    }
}

// A watchdog command answered otherwise stops the experiment; the commands
// after it are not sent.
TEST_P(OutputWatchdog, AWrongReplyStopsTheExperiment) {
    const WatchdogSequence* on = nullptr;
    for (const WatchdogSequence& s : GetParam().sequences)
        if (s.on && s.lines.size() >= 2 && !on) on = &s;
    ASSERT_NE(nullptr, on);
    ASSERT_EQ(1, Load(on->plugin));
    ASSERT_EQ(1, bus.AddModule(1, on->model, 0));
    modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
    f.match = on->lines[0];
    f.firstChar = '?';
    bus.InjectFault(1, f);
    hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0001);
    ASSERT_NE(nullptr, b);
    snprintf(b->record.szName, sizeof b->record.szName, "Relays");
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = on->seconds;
    hostsim::ExperimentResult r;
    EXPECT_EQ(0, Run(Manual(0.2), &r));
    EXPECT_GE(hostsim::StopExperimentCalls(), 1);
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Relays", LastWarning()->caption);
    EXPECT_EQ(digitaltest::kCommProblem, LastWarning()->text);
    EXPECT_TRUE(Starting(on->lines[1]).empty());
}

// While its watchdog is on, the block keeps the port alive at its idle
// turns, every half of the watchdog time; the stop disarms the port.
TEST_P(OutputWatchdog, TheKeepAliveRunsWhileTheWatchdogIsOn) {
    const WatchdogSequence* on = nullptr;
    for (const WatchdogSequence& s : GetParam().sequences)
        if (s.on && !s.lines.empty() && !on) on = &s;
    ASSERT_NE(nullptr, on);
    ASSERT_EQ(1, Load(on->plugin));
    ASSERT_EQ(1, bus.AddModule(1, on->model, 0));
    hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0001);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 2;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(3.5), &r)) << r.error;
    // At 1, 2 and 3 s; a reply that comes late on a loaded machine delays
    // the next.
    EXPECT_GE(Starting("~**").size(), 2u);
    EXPECT_LE(Starting("~**").size(), 3u);
    // Switched off, the next experiment sends none.
    P(b)->Mess.Watchdog_On = 0;
    bus.ClearLog();
    ASSERT_EQ(1, Run(Manual(3.5), &r)) << r.error;
    EXPECT_TRUE(Starting("~**").empty());
}

INSTANTIATE_TEST_SUITE_P(Digital, OutputWatchdog, ::testing::ValuesIn(WatchdogTypes()),
                         [](const ::testing::TestParamInfo<WatchdogType>& info) {
                             return std::string(info.param.type);
                         });

// ---- The relay types that write on change ----

struct RelayType {
    const char* type;
    int menu;
    const char* model;
};

void PrintTo(const RelayType& t, std::ostream* os) {
    *os << t.type;
}

class Relays : public DigitalTest, public ::testing::WithParamInterface<RelayType> {
  protected:
    void SetUp() override {
        DigitalTest::SetUp();
        ASSERT_EQ(1, Load(kTelv));
    }
};

// The first write waits until every input has delivered, also when the
// inputs deliver at different calls, then goes out whatever the image.
TEST_P(Relays, TheFirstWriteWaitsForEveryInput) {
    ASSERT_EQ(1, bus.AddModule(1, GetParam().model, 0));
    hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0003);
    ASSERT_NE(nullptr, b);
    // The image of the experiment before: a write of the same image is
    // still the first.
    hostsim::ExperimentOptions o = Manual(2.0);
    auto step = o.onCycle;
    double late = -1.0;
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        double now = hostsim::ExperimentTime();
        if (cycle == 0) hostsim::QueueInputBlock(b, 0, now, 0.5, {0.0f});
        if (late < 0.0 && now >= 1.0) {
            EXPECT_TRUE(Starting("#0100").empty()) << "written before input 1 delivered";
            hostsim::QueueInputBlock(b, 1, now, 0.5, {0.0f});
            late = now;
        }
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(std::vector<std::string>{"#010000"}, Starting("#0100"));
}

// A change made while a write is in flight is written after it: only a good
// reply makes an image the one last written.
TEST_P(Relays, AChangeWhileAWriteIsInFlightIsWrittenAfterIt) {
    ASSERT_EQ(1, bus.AddModule(1, GetParam().model, 0));
    hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0001);
    ASSERT_NE(nullptr, b);
    hostsim::ExperimentOptions o = Manual(2.0);
    auto step = o.onCycle;
    int phase = 0;
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        if (phase == 0) {
            // The first write's reply comes late; the input changes meanwhile.
            modsim::Fault f(modsim::FaultKind::Late, 1);
            f.delayMs = 200;
            f.match = "#0100";
            bus.InjectFault(1, f);
            hostsim::QueueInputBlock(b, 0, 0.0, 0.5, {5.0f});
            phase = 1;
        } else if (phase == 1 && !Starting("#0100").empty()) {
            hostsim::QueueInputBlock(b, 0, hostsim::ExperimentTime(), 0.5, {0.0f});
            phase = 2;
        }
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ((std::vector<std::string>{"#010001", "#010000"}), Starting("#0100"));
}

// A change goes out once its due time has come, and the due time moves on
// by one interval per write: after the first write (at 0 s) a change at
// 0.2 s waits for 1 s, and after a quiet time the changes at 5 s and 5.5 s
// go out at once.
TEST_P(Relays, AChangeAfterAQuietTimeGoesOutAtOnce) {
    ASSERT_EQ(1, bus.AddModule(1, GetParam().model, 0));
    hostsim::Block* b = NewBlock(GetParam().menu, 1, 0x0001);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Sample_Distance = 1.0;
    hostsim::ExperimentOptions o = Manual(6.5);
    auto step = o.onCycle;
    const double changes[] = {0.0, 0.2, 5.0, 5.5};
    size_t queued = 0;
    std::vector<double> written;
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        double now = hostsim::ExperimentTime();
        if (queued < 4 && now >= changes[queued]) {
            hostsim::QueueInputBlock(b, 0, now, 0.5, {queued % 2 ? 5.0f : 0.0f});
            queued++;
        }
        if (Starting("#0100").size() > written.size()) written.push_back(now);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ((std::vector<std::string>{"#010000", "#010001", "#010000", "#010001"}),
              Starting("#0100"));
    ASSERT_EQ(4u, written.size());
    EXPECT_LT(written[0], 0.1);
    EXPECT_GE(written[1], 1.0) << "one interval after the first write";
    EXPECT_LT(written[1], 1.1);
    EXPECT_LT(written[2], 5.1) << "at once after a quiet time";
    EXPECT_LT(written[3], 5.6) << "at once: its due time has long passed";
}

// A silent module: the user is asked; yes starts the block without its
// module, whose first write then meets the silence through the error
// policy; no stops the experiment. A wrong module only refuses the start.
TEST_P(Relays, ASilentModuleAsksAndAWrongOneRefuses) {
    hostsim::Block* b = NewBlock(GetParam().menu, 4, 0x0001);
    ASSERT_NE(nullptr, b);
    snprintf(b->record.szName, sizeof b->record.szName, "Lamps");
    P(b)->Mess.Error_Stop = 0;
    P(b)->Mess.Error_Wait_Min = 1;
    hostsim::ExperimentOptions o = Manual(4.0);
    o.beforeStart = [](int) { WinapiUseManualClock(1000); };
    o.onStarted = [&] { hostsim::QueueInputBlock(b, 0, 0.0, 0.5, {5.0f}); };
    WinapiQueueMessageBoxAnswer(IDYES);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_EQ(1, R(b)->Error_Waiting) << "the write met the silence";
    EXPECT_EQ(2u, Starting("#0400").size()) << "the write and its repeat";
    EXPECT_TRUE(Starting("~04").empty()) << "no watchdog for a module that never answered";

    WinapiQueueMessageBoxAnswer(IDNO);
    hostsim::ExperimentResult no;
    EXPECT_EQ(0, Run(o, &no));
    EXPECT_GE(hostsim::StopExperimentCalls(), 1);
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ(digitaltest::kNoReply, LastWarning()->text);

    WinapiUseRealClock();
    ASSERT_EQ(1, bus.AddModule(4, "6050", 0));
    int stops = hostsim::StopExperimentCalls();
    hostsim::ExperimentResult wrong;
    EXPECT_EQ(0, Run(Manual(0.2), &wrong));
    EXPECT_EQ(stops, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Lamps", LastWarning()->caption);
    EXPECT_EQ(digitaltest::kWrongModule, LastWarning()->text);
}

INSTANTIATE_TEST_SUITE_P(Digital, Relays,
                         ::testing::Values(RelayType{"ND6060O", 2962, "7060"},
                                           RelayType{"ND6065O", 2964, "7065"}),
                         [](const ::testing::TestParamInfo<RelayType>& info) {
                             return std::string(info.param.type);
                         });

// ---- Type by type ----

// In the family TELV the relay module's request carries the image in
// "%1X": one digit for the three relays, two once more lines are on.
// Elsewhere the byte goes out.
using ND6063 = DigitalTest;

TEST_F(ND6063, TheImageGoesOutAsTheBlockHoldsIt) {
    struct Case {
        const char* plugin;
        WORD mask;
        std::string write;
    } cases[] = {
        {kTelv, 0x05, "@055"},
        {kTelv, 0x1F, "@051F"},
        {kTelv, 0xFF, "@05FF"},
        {kDefault, 0xFF, "#0500FF"},
    };
    ASSERT_EQ(1, bus.AddModule(5, "6063", 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.write);
        CaseGuard guard(this);
        bus.ClearLog();
        ASSERT_EQ(1, Load(c.plugin));
        hostsim::Block* b = NewBlock(2971, 5, c.mask);
        ASSERT_NE(nullptr, b);
        Run(0.2, [b] {
            for (int i = 0; i < static_cast<int>(b->record.uInputs); i++)
                hostsim::QueueInputBlock(b, i, 0.0, 0.5, {5.0f});
        });
        EXPECT_EQ(std::vector<std::string>{c.write}, Starting(c.write.substr(0, 3)));
    }
}

// The seven-relay module takes names from the host on its seven channels only.
using ND6067 = DigitalTest;

TEST_F(ND6067, NamesFromTheHostReachItsSevenChannelsOnly) {
    ASSERT_EQ(1, Load(kTelv));
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2981));
    ASSERT_NE(nullptr, b);
    hostsim::SetDefaultActionAnswer(7);
    EXPECT_EQ(7, hostsim::SendClassMessage(b, MODMSG_SET_NAME_COPY, 1, 0));
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(i < 7, P(b)->Copy_Channel_Name[i] != 0) << i;
    P(b)->Copy_Channel_Name[9] = 1;
    EXPECT_EQ(7,
              hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 6, reinterpret_cast<LPARAM>("Horn")));
    EXPECT_EQ(7,
              hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 9, reinterpret_cast<LPARAM>("Fan")));
    EXPECT_STREQ("Horn", P(b)->Channel_Name[6]);
    EXPECT_STREQ("", P(b)->Channel_Name[9]);
}

// The sixteen-line output of the default family accepts every module whose
// number ends in 056, and one without a name; its watchdog time base is the
// module's.
using ND6056 = DigitalTest;

TEST_F(ND6056, AcceptsEveryModelEndingIn056) {
    static modsim::Profile p7056;
    static modsim::Profile p6056b;
    p7056 = *modsim::FindProfile("6056");
    p7056.model = "7056";
    p6056b = *modsim::FindProfile("6056");
    p6056b.firmware = "A2.0";
    struct Case {
        const modsim::Profile* profile;
        int noName;
        int started;
        const char* text;
    } cases[] = {
        {&p7056, 0, 1, nullptr},
        {modsim::FindProfile("6056"), 1, 1, nullptr},
        {modsim::FindProfile("6050"), 0, 0, digitaltest::kWrongModule},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile->model);
        CaseGuard guard(this);
        bus.RemoveModule(1);
        ASSERT_EQ(1, bus.AddModule(1, *c.profile, 0));
        if (c.noName) {
            modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
            f.match = "$01M";
            bus.InjectFault(1, f);
        }
        ASSERT_EQ(1, Load(kDefault));
        ASSERT_NE(nullptr, NewBlock(2974, 1, 0x0001));
        hostsim::ExperimentResult r;
        EXPECT_EQ(c.started, Run(Manual(0.2), &r));
        if (c.text) {
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ(c.text, LastWarning()->text);
            EXPECT_GE(hostsim::StopExperimentCalls(), 1);
        }
    }
    // A module whose time base is not 53 ms.
    bus.RemoveModule(1);
    ASSERT_EQ(1, bus.AddModule(1, p6056b, 0));
    bus.ClearLog();
    ASSERT_EQ(1, Load(kDefault));
    hostsim::Block* b = NewBlock(2974, 1, 0x0001);
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 6;
    P(b)->Mess.Watchdog_Value = 0x00FF;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(0.1), &r)) << r.error;
    EXPECT_EQ(std::vector<std::string>{"~01213C00FF"}, Starting("~01"));
}

// An input block and an output block on one module: the output block sets
// the module's watchdog up, whichever starts first; alone, the input block
// does.
using ND6050O = DigitalTest;

TEST_F(ND6050O, OneWatchdogOwnerPerModule) {
    ASSERT_EQ(1, bus.AddModule(1, "7050", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7050", 0));
    struct Case {
        int inputFirst;
    } cases[] = {{1}, {0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inputFirst ? "input first" : "output first");
        CaseGuard guard(this);
        bus.ClearLog();
        ASSERT_EQ(1, Load(kTelv));
        hostsim::Block* in = nullptr;
        hostsim::Block* out = nullptr;
        if (c.inputFirst) in = NewBlock(2958, 1, 0x01);
        out = NewBlock(2959, 1, 0x01);
        if (!c.inputFirst) in = NewBlock(2958, 1, 0x01);
        hostsim::Block* alone = NewBlock(2958, 2, 0x01);
        ASSERT_TRUE(in && out && alone);
        for (hostsim::Block* b : {in, out, alone}) {
            P(b)->Mess.Watchdog_On = 1;
            P(b)->Mess.Watchdog_Time = 13;
            P(b)->Mess.Watchdog_Value = 0x0005;
        }
        // What the starts sent to each module, the probes left out.
        std::vector<std::string> one, two;
        hostsim::ExperimentOptions o = Manual(0.1);
        auto manual = o.onStarted;
        o.onStarted = [&] {
            manual();
            for (const std::string& l : Wire()) {
                if (l.size() < 3 || l[0] == '$') continue;
                if (l.compare(1, 2, "01") == 0) one.push_back(l);
                if (l.compare(1, 2, "02") == 0) two.push_back(l);
            }
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, Run(o, &r)) << r.error;
        EXPECT_EQ((std::vector<std::string>{"~011", "#010005", "~015S", "~013182"}), one);
        EXPECT_EQ((std::vector<std::string>{"~0250505", "~023182"}), two);
    }
}

} // namespace
