// The poll policy under every loop, where the user meets it: blocks of the
// example worksheets loaded into the stand-in host with the shipped plug-in,
// an experiment run in real time against modules simulated on COM1, and one
// module falling silent. One table over the loops (the one-request sweep of
// the digital types and of the relays that write on change, the per-channel
// schedule, the per-channel input loop, the analog output loop of a module
// and of a module per channel, the alarm and counter loops, the task list of
// a multi-block master, ND6058's reads and writes), each block continuing
// after a failure without a wait. Each row is shown three ways:
// - its module dead beside a healthy thermocouple block on the same line:
//   the healthy block keeps at least 80 % of its samples, the dead module's
//   attempts take about a fifth of the line at most, its failure is shown
//   once;
// - its module silent for 4 s with the default reply time-out: asked and
//   answering again within 8 s of its return, the failure shown once, and
//   for an output the host's latest value (changed while the module was
//   silent) on the module afterwards;
// plus the keep-alive of a block of many modules: an ND6021 whose 7021 has
// its watchdog on beside a silent 6021 keeps the keep-alive below the
// watchdog time and the 7021 written at its interval.
#include "bus_fixture.h"

#include <math.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using modsim::Fault;
using modsim::FaultKind;

// Something done to the modules at an experiment time.
struct Event {
    double at;
    std::function<void()> act;
};

// ---- Worksheets of the example blocks ----

std::string ReadExample(const std::string& file) {
    std::ifstream in(std::string(TELVIO_EXAMPLES) + "/" + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// A worksheet: its head, then its blocks, each its lines from "block" to
// "end".
struct Worksheet {
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> blocks;

    static std::string NameOf(const std::vector<std::string>& block) {
        for (const std::string& l : block)
            if (l.rfind("  name = \"", 0) == 0) return l.substr(10, l.size() - 11);
        return "";
    }
    std::vector<std::string>* Find(const std::string& name) {
        for (auto& b : blocks)
            if (NameOf(b) == name) return &b;
        return nullptr;
    }
    // The named blocks of an example worksheet, in its order.
    static Worksheet Of(const std::string& file, const std::vector<std::string>& names) {
        Worksheet w;
        std::vector<std::string> block;
        for (const std::string& l : SplitLines(ReadExample(file))) {
            if (block.empty() && l != "block") {
                if (l.rfind(";", 0) != 0) w.head.push_back(l);
                continue;
            }
            block.push_back(l);
            if (l != "end") continue;
            if (std::find(names.begin(), names.end(), NameOf(block)) != names.end())
                w.blocks.push_back(block);
            block.clear();
        }
        return w;
    }
    void Add(const Worksheet& other) {
        for (const auto& b : other.blocks)
            blocks.push_back(b);
    }
    // A line of the block whose text up to " = " is `key` gets `value`;
    // a missing one is added before "end".
    void Set(const std::string& name, const std::string& key, const std::string& value) {
        std::vector<std::string>* b = Find(name);
        ASSERT_NE(nullptr, b) << name;
        for (std::string& l : *b)
            if (l.rfind(key + " = ", 0) == 0) {
                l = key + " = " + value;
                return;
            }
        b->insert(b->end() - 1, key + " = " + value);
    }
    // A field whose type the example gives.
    void Field(const std::string& name, const std::string& field, const std::string& value) {
        std::vector<std::string>* b = Find(name);
        ASSERT_NE(nullptr, b) << name;
        const std::string start = "  field " + field + " ";
        for (std::string& l : *b)
            if (l.rfind(start, 0) == 0 && l.find(" = ") != std::string::npos) {
                l = l.substr(0, l.find(" = ")) + " = " + value;
                return;
            }
        FAIL() << name << " has no field " << field;
    }
    // Every block continues after a failure without a wait.
    void ContinueAfterFailures() {
        for (auto& b : blocks) {
            std::string name = NameOf(b);
            Field(name, "Error_Stop", "0");
            Field(name, "Error_Wait_Min", "0");
        }
    }
    std::string Text() const {
        std::string text;
        for (const std::string& l : head)
            text += l + "\n";
        for (const auto& b : blocks) {
            for (const std::string& l : b)
                text += l + "\n";
            text += "\n";
        }
        return text;
    }
};

// ---- The loops ----

struct Output {
    const char* block; // the output block
    int input;         // its input, fed by a step at 4 s: while the module is silent
    const char* step;
    // What the module holds once it has the step's new value.
    std::function<bool(const modsim::Module&)> holds;
};

struct LoopCase {
    const char* name;
    const char* plugin; // the family's file name
    const char* file;   // the example worksheet
    std::vector<std::string> blocks;
    int address;                                      // the module that fails
    std::vector<std::pair<int, const char*>> modules; // every module of the blocks
    const char* reader; // an input block that delivers the module's readings; null: none
    Output output;      // output block; null block: none
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << c.name;
}

const LoopCase kLoops[] = {
    {"Sweep", "Telvio.so", "digital.wks", {"Door"}, 1, {{1, "7050"}}, "Door", {}},
    {"SweepOfARelay",
     "Telvio.so",
     "digital.wks",
     {"Pump"},
     4,
     {{4, "7060"}},
     nullptr,
     {"Pump", 0, "step 0 5 4 every 0.5",
      [](const modsim::Module& m) { return (m.digitalOutputs & 1u) != 0; }}},
    {"PerChannel", "Telvio.so", "analogin.wks", {"Line"}, 14, {{14, "7033"}}, "Line", {}},
    {"Input", "Telvio.so", "thermocouples.wks", {"Exhaust"}, 2, {{2, "6018"}}, "Exhaust", {}},
    {"Write",
     "Telvio.so",
     "analogout.wks",
     {"Dampers"},
     23,
     {{23, "7022"}},
     nullptr,
     {"Dampers", 1, "step 4 12 4 every 0.5",
      [](const modsim::Module& m) { return fabs(m.outputs[1] - 12.0) < 0.01; }}},
    {"WriteAModulePerChannel",
     "Telvio.so",
     "analogout.wks",
     {"Heaters"},
     22,
     {{21, "7021"}, {22, "6021"}},
     nullptr,
     {"Heaters", 1, "step 4 12 4 every 0.5",
      [](const modsim::Module& m) { return fabs(m.outputs[0] - 12.0) < 0.01; }}},
    {"Alarm", "Telvio.so", "alarm.wks", {"Tank"}, 1, {{1, "6011"}}, "Tank", {}},
    {"Counter", "Telvio.so", "alarm.wks", {"Flow"}, 4, {{4, "6080"}}, "Flow", {}},
    {"MultiBlockMaster",
     "Telvio.so",
     "multi.wks",
     {"Scale", "Pumps", "Gate"},
     2,
     {{2, "6016"}},
     "Scale",
     {"Pumps", 1, "step 0 5 4 every 0.5",
      [](const modsim::Module& m) { return (m.digitalOutputs & 2u) != 0; }}},
    {"ND6058",
     "Plug.so",
     "multi-6058.wks",
     {"Panel", "Lamps", "Keys"},
     3,
     {{3, "6058"}},
     "Panel",
     {"Lamps", 0, "step 0 5 4 every 0.5",
      [](const modsim::Module& m) { return ((m.digitalOutputs >> 16) & 1u) != 0; }}},
};

// The healthy block beside the row's module: one thermocouple channel on
// the same line, read every quarter second.
const int kHealthyAddress = 30;
const double kHealthyDistance = 0.25;

class Poll : public telviotest::BusTest, public ::testing::WithParamInterface<LoopCase> {
  protected:
    // The driver INI file with the reply time-out, the plug-in of a family
    // (its file name) bound with it, and the modules of `c`.
    void BindWithTimeOut(const char* family, int busyTimeOutMs) {
        std::ofstream(dir + "/XX02.ini") << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n"
                                         << "[Settings]\nBusyTimeOut=" << busyTimeOutMs << "\n";
        ASSERT_EQ(1, Load(family));
    }
    // The row's blocks (and the healthy one), the modules on COM1 with the
    // given reply time-out, and the plug-in of the row's family.
    void LoadRow(const LoopCase& c, int busyTimeOutMs, bool healthy) {
        BindWithTimeOut(c.plugin, busyTimeOutMs);
        for (const auto& m : c.modules)
            ASSERT_EQ(1, bus.AddModule(m.first, m.second, 0));
        Worksheet w = Worksheet::Of(c.file, c.blocks);
        ASSERT_EQ(c.blocks.size(), w.blocks.size());
        if (healthy) {
            Worksheet h = Worksheet::Of("thermocouples.wks", {"Oven"});
            ASSERT_EQ(1u, h.blocks.size());
            w.Add(h);
            w.Set("Oven", "  name", "\"Healthy\"");
            w.Set("Healthy", "  outputs", "1");
            w.Field("Healthy", "Channel_Mask", "1");
            w.Field("Healthy", "Module_Address", std::to_string(kHealthyAddress));
            w.Field("Healthy", "Sample_Distance", "0.25");
            if (std::string(c.plugin) == "Plug.so")
                w.Set("Healthy", "  class", "\"ND6018_MODULE\"");
            ASSERT_EQ(1, bus.AddModule(kHealthyAddress, "6018", 0));
        }
        w.ContinueAfterFailures();
        // The output's step: its new value comes while the module is silent.
        if (c.output.block)
            w.Set(c.output.block, "  input " + std::to_string(c.output.input), c.output.step);
        std::string error;
        ASSERT_EQ(1, hostsim::WorksheetFromText(w.Text(), &error)) << error << "\n" << w.Text();
        ASSERT_EQ(static_cast<int>(w.blocks.size()), hostsim::BlockCount());
    }

    // Runs the experiment in real time for at most `seconds`, the events at
    // their experiment times, until `done` answers true.
    int RunUntil(double seconds, std::vector<Event> events, const std::function<bool()>& done,
                 hostsim::ExperimentResult* r) {
        hostsim::ExperimentOptions o = RealTime(seconds);
        o.onStarted = [this] { offset = bus.Now(); };
        size_t next = 0;
        o.onCycle = [&](int, int) {
            while (next < events.size() && hostsim::ExperimentTime() >= events[next].at)
                events[next++].act();
        };
        o.until = done;
        int ran = Run(o, r);
        while (next < events.size())
            events[next++].act();
        return ran;
    }

    // The requests the module at `address` got, with the experiment time each
    // came in and whether it was answered.
    struct Heard {
        double at;
        std::string line;
        bool answered;
    };
    std::vector<Heard> HeardBy(int address) const {
        std::vector<Heard> heard;
        for (const modsim::LogEntry& e : bus.Log())
            if (e.address == address && e.line != "~**")
                heard.push_back({e.timeS - offset, e.line, !e.reply.empty()});
        return heard;
    }
    // The keep-alive lines, by experiment time.
    std::vector<double> KeepAlives() const {
        std::vector<double> at;
        for (const modsim::LogEntry& e : bus.Log())
            if (e.line == "~**") at.push_back(e.timeS - offset);
        return at;
    }
    // The warnings that name the module's address.
    static size_t ShownFor(int address) {
        const std::string mark = "address " + std::to_string(address) + " doesn't reply";
        size_t n = 0;
        for (const hostsim::Warning& w : hostsim::Warnings())
            n += w.text.find(mark) != std::string::npos;
        return n;
    }
    static hostsim::Block* Named(const char* name) {
        for (int i = 0; i < hostsim::BlockCount(); i++)
            if (strcmp(hostsim::BlockAt(i)->record.szName, name) == 0) return hostsim::BlockAt(i);
        return nullptr;
    }
    // Data blocks the block released, and how many of them from `from` on.
    static size_t DeliveredBy(const hostsim::ExperimentResult& r, const hostsim::Block* b,
                              double from = -1.0) {
        size_t n = 0;
        const std::vector<hostsim::ReleasedBlock>& all = hostsim::ReleasedOutputBlocks();
        for (size_t i = r.firstOutputBlock; i < all.size(); i++)
            n += all[i].module == &b->record && all[i].output == 0 && all[i].releasedAt >= from;
        return n;
    }

    double offset = 0.0;
};

// The row's module dies a second into a twenty-second experiment, with a
// reply time-out of 400 ms: the healthy block on the same line keeps at
// least 80 % of its samples; the dead module's attempts (one reply time-out
// each) take no more than about a fifth of the time it is dead, beyond the
// failing transaction and its repeat; its failure is shown once.
TEST_P(Poll, ADeadModuleLeavesTheHealthyBlockItsSamples) {
    const LoopCase& c = GetParam();
    const double kSeconds = 20.0;
    const double kDeadFrom = 1.0;
    const double kTimeOut = 0.4;
    LoadRow(c, 400, true);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, RunUntil(kSeconds,
                          {{kDeadFrom,
                            [&] {
                                ASSERT_EQ(1, bus.InjectFault(c.address, Fault(FaultKind::Silence,
                                                                              modsim::kAlways)));
                            }}},
                          nullptr, &r))
        << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    hostsim::Block* healthy = Named("Healthy");
    ASSERT_NE(nullptr, healthy);
    EXPECT_GE(DeliveredBy(r, healthy), 0.8 * kSeconds / kHealthyDistance) << "the healthy block";

    size_t attempts = 0;
    for (const Heard& h : HeardBy(c.address))
        attempts += h.at >= kDeadFrom;
    EXPECT_LE(attempts * kTimeOut, 0.25 * (kSeconds - kDeadFrom) + 2 * kTimeOut)
        << attempts << " attempts to the dead module";
    EXPECT_GE(attempts, 3u) << "it is tried again";
    EXPECT_EQ(1u, ShownFor(c.address));
    EXPECT_EQ(0u, ShownFor(kHealthyAddress));
}

// The row's module is silent from 2 to 6 s with the default reply time-out
// (1.5 s): it is asked and answers again within 8 s of its return, its
// failure has been shown once, an input block delivers its readings again,
// and an output's module holds the value the host gave while it was silent.
TEST_P(Poll, AModuleSilentForFourSecondsIsServedWithinEightSecondsOfItsReturn) {
    const LoopCase& c = GetParam();
    const double kFrom = 2.0;
    const double kUntil = 6.0;
    LoadRow(c, 1500, false);
    hostsim::Block* reader = c.reader ? Named(c.reader) : nullptr;
    ASSERT_TRUE(reader || !c.reader);
    hostsim::ExperimentResult r;
    auto served = [&] {
        for (const Heard& h : HeardBy(c.address))
            if (h.at >= kUntil && h.answered) return h.at;
        return -1.0;
    };
    auto holds = [&] {
        modsim::Module m;
        return !c.output.block || (bus.GetModule(c.address, &m) && c.output.holds(m));
    };
    auto done = [&] {
        double t = served();
        if (t < 0 || !holds()) return false;
        return !reader || DeliveredBy(r, reader, t) > 0;
    };
    ASSERT_EQ(1, RunUntil(kUntil + 12.0,
                          {{kFrom,
                            [&] {
                                ASSERT_EQ(1, bus.InjectFault(c.address, Fault(FaultKind::Silence,
                                                                              modsim::kAlways)));
                            }},
                           {kUntil, [&] { ASSERT_EQ(1, bus.ClearFaults(c.address)); }}},
                          done, &r))
        << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    size_t silent = 0;
    for (const Heard& h : HeardBy(c.address))
        silent += h.at >= kFrom + 0.05 && h.at < kUntil - 0.05 && !h.answered;
    ASSERT_GE(silent, 1u) << "the module was asked while silent";
    double at = served();
    ASSERT_GE(at, kUntil) << "asked and answering after its return";
    EXPECT_LE(at, kUntil + 8.0) << "served again within 8 s of its return";
    EXPECT_TRUE(holds()) << "the host's latest value on the module";
    if (reader) {
        EXPECT_GT(DeliveredBy(r, reader, at), 0u) << "readings again";
    }
    EXPECT_EQ(1u, ShownFor(c.address));
}

INSTANTIATE_TEST_SUITE_P(Loops, Poll, ::testing::ValuesIn(kLoops),
                         [](const ::testing::TestParamInfo<LoopCase>& info) {
                             return std::string(info.param.name);
                         });

// An ND6021 block drives a 7021 whose watchdog is on (10 s) and a 6021 that
// falls silent 3 s into the experiment, with the default reply time-out: no
// gap between keep-alives reaches the watchdog time, and the 7021 is written
// at its interval while the 6021 is tried again on its own.
class KeepAlive : public Poll {};

TEST_F(KeepAlive, AHealthyModulesWatchdogIsKeptAliveBesideASilentOne) {
    const double kSeconds = 25.0;
    const double kSilentFrom = 3.0;
    const double kWatchdog = 10.0;
    LoopCase c = kLoops[5];
    ASSERT_STREQ("WriteAModulePerChannel", c.name);
    c.output = {};
    BindWithTimeOut("Telvio.so", 1500);
    for (const auto& m : c.modules)
        ASSERT_EQ(1, bus.AddModule(m.first, m.second, 0));
    Worksheet w = Worksheet::Of("analogout.wks", {"Heaters"});
    w.ContinueAfterFailures();
    w.Field("Heaters", "Watchdog_On[0]", "1");
    w.Field("Heaters", "Watchdog_Time[0]", "10");
    std::string error;
    ASSERT_EQ(1, hostsim::WorksheetFromText(w.Text(), &error)) << error;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, RunUntil(kSeconds,
                          {{kSilentFrom,
                            [&] {
                                ASSERT_EQ(1, bus.InjectFault(
                                                 22, Fault(FaultKind::Silence, modsim::kAlways)));
                            }}},
                          nullptr, &r))
        << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);

    std::vector<double> alive = KeepAlives();
    ASSERT_GE(alive.size(), 3u);
    EXPECT_LT(alive.front(), kWatchdog);
    EXPECT_LT(r.endTime - alive.back(), kWatchdog);
    for (size_t i = 1; i < alive.size(); i++)
        EXPECT_LT(alive[i] - alive[i - 1], kWatchdog) << "keep-alive at " << alive[i];

    // The 7021: once a second, the silent 6021 taking a fifth of the line.
    std::vector<double> writes;
    for (const Heard& h : HeardBy(21))
        if (h.line[0] == '#' && h.answered && h.at >= kSilentFrom) writes.push_back(h.at);
    EXPECT_GE(writes.size(), 0.7 * (kSeconds - kSilentFrom)) << "the 7021 written at its interval";
    for (size_t i = 1; i < writes.size(); i++)
        EXPECT_LT(writes[i] - writes[i - 1], kWatchdog / 2)
            << "a write of the 7021 at " << writes[i];
    EXPECT_EQ(1u, ShownFor(22));
    EXPECT_EQ(0u, ShownFor(21));
}

} // namespace
