// The host's experiment loop through the shipped plug-in: thermocouple blocks
// of Telvio.so, created or loaded by the stand-in host, started, processed
// cycle after cycle and stopped, against modules simulated on a
// pseudo-terminal mapped to COM1. The blocks start on the real clock (their
// start queries wait for real replies); the cycles run on the manual clock.
#include "plugin_fixture.h"

#include "modsim.h"
#include "modules/analog/nd6018.h"
#include "winapi_headless.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

const int kStart = MODMSG_START;
const int kStop = MODMSG_STOP;
const int kTiming = MODMSG_CHANNEL_TIMING;

class Experiment : public PluginTest {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        WinapiDialogsReset();
        PluginTest::SetUp();
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        // COM1 at 9600 baud, 8 data bits, 1 stop bit, no parity.
        std::ofstream(dir + "/XX02.ini") << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n";
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(dir + "/com1"));
        ASSERT_EQ(1, bus.Start());
        ASSERT_EQ(1, Bind("Telvio.so"));
        thermocouple = hostsim::FindClassByMenuId(2955);
        ASSERT_NE(nullptr, thermocouple);
    }
    void TearDown() override {
        WinapiUseRealClock();
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        bus.Close();
        WinapiDialogsReset();
        PluginTest::TearDown();
    }

    static ND6018_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6018_Param*>(b->param.data());
    }
    // A new block reading the channels of the mask from the module at the
    // address, with its own sample distance.
    hostsim::Block* Thermocouple(int address, WORD mask, double sampleDistance = 0.5) {
        hostsim::Block* b = hostsim::CreateBlock(thermocouple);
        if (b == nullptr) return nullptr;
        P(b)->Module_Address = address;
        P(b)->Channel_Mask = mask;
        P(b)->Mess.Sample_Distance = sampleDistance;
        UINT outputs = 0;
        for (int c = 0; c < 16; c++)
            outputs += (mask >> c) & 1;
        b->record.uOutputs = outputs;
        return b;
    }
    // The cycles on the manual clock: a cycle with a transfer in flight gives
    // the module a millisecond of real time and moves the clock 1 ms (so a
    // reply time-out of 1500 ms is 1500 such cycles, and a reply comes about
    // when it would), an idle cycle moves it 10 ms.
    static hostsim::ExperimentOptions Manual(double seconds) {
        hostsim::ExperimentOptions o;
        o.seconds = seconds;
        o.idleSleepMs = 0;
        o.onStarted = [] { WinapiUseManualClock(100000); };
        o.onCycle = [](int, int busy) {
            if (busy) {
                usleep(1000);
                WinapiAdvanceClock(1);
            } else {
                WinapiAdvanceClock(10);
            }
        };
        return o;
    }
    // What the block delivered on the output during the experiment.
    static std::vector<hostsim::ReleasedBlock> Delivered(const hostsim::ExperimentResult& r,
                                                         hostsim::Block* b, int output) {
        std::vector<hostsim::ReleasedBlock> out;
        const std::vector<hostsim::ReleasedBlock>& all = hostsim::ReleasedOutputBlocks();
        for (size_t i = r.firstOutputBlock; i < all.size(); i++)
            if (all[i].module == &b->record && all[i].output == output) out.push_back(all[i]);
        return out;
    }
    // One sample per block: its times and values.
    static void Samples(const std::vector<hostsim::ReleasedBlock>& blocks,
                        std::vector<double>* times, std::vector<float>* values) {
        for (const hostsim::ReleasedBlock& d : blocks) {
            EXPECT_EQ(1u, d.samples.size());
            EXPECT_EQ(0.5, d.sampleDistance);
            times->push_back(d.time);
            values->push_back(d.samples.empty() ? 0.0f : d.samples[0]);
        }
    }
    // The messages of one kind, as (block, wParam) pairs with their answers.
    static std::vector<std::vector<int>> Messages(const hostsim::ExperimentResult& r, int msg) {
        std::vector<std::vector<int>> out;
        for (const hostsim::ExperimentMessage& m : r.messages)
            if (m.msg == msg) out.push_back({m.block, m.wParam, m.answer});
        return out;
    }
    static std::string Ini(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    modsim::Bus bus;
    const hostsim::ModuleClass* thermocouple = nullptr;
};

using Rows = std::vector<std::vector<int>>;

TEST_F(Experiment, EachBlockDeliversItsChannelsEveryHalfSecondWithTheModulesValues) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    bus.SetChannel(1, 0, 21.5);
    bus.SetChannel(1, 2, -3.25);
    bus.SetChannel(2, 1, 100.75);
    hostsim::Block* a = Thermocouple(1, 0x5);
    hostsim::Block* b = Thermocouple(2, 0x2);
    ASSERT_TRUE(a && b);
    hostsim::ExperimentOptions o = Manual(1.2);
    auto step = o.onCycle;
    bool changed = false;
    // The module's reading changes between the second and the third sweep.
    o.onCycle = [&](int cycle, int busy) {
        step(cycle, busy);
        if (!changed && hostsim::ExperimentTime() >= 0.7) {
            bus.SetChannel(1, 0, 30.0);
            changed = true;
        }
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    EXPECT_EQ(2, r.started);
    EXPECT_EQ(-1, r.failedBlock);
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_GE(r.endTime, 1.2);

    struct Case {
        hostsim::Block* block;
        int output;
        std::vector<float> values;
    } cases[] = {
        {a, 0, {21.5f, 21.5f, 30.0f}},
        {a, 1, {-3.25f, -3.25f, -3.25f}},
        {b, 0, {100.75f, 100.75f, 100.75f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.block == a ? "a" : "b") + " output " + std::to_string(c.output));
        std::vector<double> times;
        std::vector<float> values;
        Samples(Delivered(r, c.block, c.output), &times, &values);
        EXPECT_EQ((std::vector<double>{0.0, 0.5, 1.0}), times);
        EXPECT_EQ(c.values, values);
        EXPECT_EQ(1, c.block->outputs[c.output].uBlockSize);
        EXPECT_EQ(0.5, c.block->outputs[c.output].dSampleDistance);
    }
    // Timing for every output channel before the starts, then start and
    // stop for each block in worksheet order.
    ASSERT_GE(r.messages.size(), 7u);
    EXPECT_EQ(kTiming, r.messages[0].msg);
    EXPECT_EQ(kTiming, r.messages[2].msg);
    EXPECT_EQ(kStart, r.messages[3].msg);
    EXPECT_EQ((Rows{{0, 0, 1}, {0, 1, 1}, {1, 0, 1}}), Messages(r, kTiming));
    EXPECT_EQ((Rows{{0, 0, 1}, {1, 0, 1}}), Messages(r, kStart));
    EXPECT_EQ((Rows{{0, 0, 1}, {1, 0, 1}}), Messages(r, kStop));
    EXPECT_EQ(kStop, r.messages.back().msg);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_TRUE(hostsim::Warnings().empty());
}

TEST_F(Experiment, GlobalSettingsGiveBlocksOfFiftyEqualSamplesOneSecondApart) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    bus.SetChannel(1, 0, 12.5);
    bus.SetChannel(1, 1, 250.25);
    hostsim::Block* a = Thermocouple(1, 0x3);
    ASSERT_NE(nullptr, a);
    P(a)->Mess.Use_Global_Settings = 1;
    hostsim::ExperimentOptions o = Manual(2.5);
    o.globalMilliSecondsPerSample = 20.0;
    o.globalBlockSize = 50;
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    const float values[2] = {12.5f, 250.25f};
    for (int k = 0; k < 2; k++) {
        SCOPED_TRACE("output " + std::to_string(k));
        EXPECT_EQ(50, a->outputs[k].uBlockSize);
        EXPECT_DOUBLE_EQ(0.02, a->outputs[k].dSampleDistance);
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, a, k);
        ASSERT_EQ(3u, d.size());
        for (size_t i = 0; i < d.size(); i++) {
            EXPECT_EQ(static_cast<double>(i), d[i].time);
            EXPECT_DOUBLE_EQ(0.02, d[i].sampleDistance);
            EXPECT_EQ(std::vector<float>(50, values[k]), d[i].samples);
        }
    }
}

TEST_F(Experiment, AFailedStartStopsTheHostAndEveryBlockAskedToStartIsStopped) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    bus.SetChannel(1, 0, 5.0);
    bus.SetChannel(2, 0, 7.0);
    hostsim::Block* a = Thermocouple(1, 0x1);
    hostsim::Block* silent = Thermocouple(9, 0x1); // no module answers at 9
    hostsim::Block* c = Thermocouple(2, 0x1);
    ASSERT_TRUE(a && silent && c);
    snprintf(silent->record.szName, sizeof silent->record.szName, "Silent");
    hostsim::ExperimentOptions o = Manual(1.0);
    // The silent module's time-outs pass on the manual clock.
    o.beforeStart = [](int block) {
        if (block == 1) WinapiUseManualClock(GetTickCount());
    };
    hostsim::ExperimentResult r;
    EXPECT_EQ(0, hostsim::RunExperiment(o, &r));
    EXPECT_EQ(1, r.failedBlock);
    EXPECT_EQ(1, r.started);
    EXPECT_EQ(0, r.cycles);
    EXPECT_EQ((Rows{{0, 0, 1}, {1, 0, 0}}), Messages(r, kStart));
    EXPECT_EQ((Rows{{0, 0, 1}, {1, 0, 1}}), Messages(r, kStop));
    EXPECT_EQ(r.firstOutputBlock, hostsim::ReleasedOutputBlocks().size());
    EXPECT_GE(hostsim::StopExperimentCalls(), 1);
    ASSERT_FALSE(hostsim::Warnings().empty());
    EXPECT_EQ("Silent", hostsim::Warnings().back().caption);
    EXPECT_EQ("Module does not reply!\n\267 Connected ?\n\267 Switched on ?",
              hostsim::Warnings().back().text);
    EXPECT_EQ(0, hostsim::ExperimentRunning());

    // Both stops freed what the starts took: without the silent block the
    // next experiment starts and measures.
    hostsim::DeleteBlock(silent);
    WinapiUseRealClock();
    hostsim::ExperimentResult again;
    ASSERT_EQ(1, hostsim::RunExperiment(Manual(0.2), &again)) << again.error;
    ASSERT_EQ(1u, Delivered(again, a, 0).size());
    ASSERT_EQ(1u, Delivered(again, c, 0).size());
    EXPECT_EQ(5.0f, Delivered(again, a, 0)[0].samples[0]);
    EXPECT_EQ(7.0f, Delivered(again, c, 0)[0].samples[0]);
}

TEST_F(Experiment, AStopExperimentOfABlockEndsTheCyclesAndStopsEveryBlock) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    hostsim::Block* a = Thermocouple(2, 0x1);
    hostsim::Block* failing = Thermocouple(1, 0x1);
    ASSERT_TRUE(a && failing);
    P(failing)->Mess.Error_Stop = 1;
    hostsim::ExperimentOptions o = Manual(30.0);
    auto manual = o.onStarted;
    // The module falls silent to every reading once the experiment runs.
    o.onStarted = [&] {
        manual();
        modsim::Fault f(modsim::FaultKind::Silence, modsim::kAlways);
        f.match = "#01";
        bus.InjectFault(1, f);
    };
    hostsim::ExperimentResult r;
    EXPECT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    EXPECT_EQ(1, r.stoppedByPlugin);
    EXPECT_EQ(2, r.started);
    // A reply time-out, the repeat and its time-out: about 3 s, far from 30.
    EXPECT_GT(r.endTime, 2.9);
    EXPECT_LT(r.endTime, 10.0);
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    EXPECT_FALSE(hostsim::Warnings().empty());
    EXPECT_EQ((Rows{{0, 0, 1}, {1, 0, 1}}), Messages(r, kStop));
    EXPECT_EQ(kStop, r.messages.back().msg);
}

TEST_F(Experiment, TheBundledWorksheetLoadsAndMeasuresEveryChannel) {
    for (int address = 1; address <= 3; address++) {
        ASSERT_EQ(1, bus.AddModule(address, "6018", 0));
        for (int c = 0; c < 8; c++)
            bus.SetChannel(address, c, address * 100 + c);
    }
    std::string error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(TELVIO_EXAMPLES "/thermocouples.wks", &error)) << error;
    ASSERT_EQ(3, hostsim::BlockCount());
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(Manual(1.2), &r)) << r.error;
    EXPECT_EQ(3, r.started);
    // Oven: channels 0 to 2 of address 1 every 0.5 s; Exhaust: 0 and 3 of
    // address 2 every 0.5 s; Room: 0 of address 3 every second.
    struct Case {
        int block, output;
        float value;
        size_t samples;
    } cases[] = {{0, 0, 100, 3}, {0, 1, 101, 3}, {0, 2, 102, 3},
                 {1, 0, 200, 3}, {1, 1, 203, 3}, {2, 0, 300, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE("block " + std::to_string(c.block) + " output " + std::to_string(c.output));
        hostsim::Block* b = hostsim::BlockAt(c.block);
        EXPECT_EQ(1, b->afterLoadAnswer);
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, c.output);
        ASSERT_EQ(c.samples, d.size());
        for (const hostsim::ReleasedBlock& x : d)
            EXPECT_EQ(std::vector<float>{c.value}, x.samples);
    }
}

TEST_F(Experiment, ASavedWorksheetLoadsAndMeasuresAsTheBlocksItWasSavedFrom) {
    ASSERT_EQ(1, bus.AddModule(4, "6018", 0));
    bus.SetChannel(4, 6, 42.25);
    hostsim::Block* a = Thermocouple(4, 0x40, 0.25);
    ASSERT_NE(nullptr, a);
    std::string path = dir + "/saved.wks", error;
    ASSERT_EQ(1, hostsim::SaveWorksheet(path.c_str(), &error)) << error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(path.c_str(), &error)) << error;
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* loaded = hostsim::BlockAt(0);
    EXPECT_EQ(1, loaded->afterLoadAnswer);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(Manual(0.6), &r)) << r.error;
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, loaded, 0);
    ASSERT_EQ(3u, d.size());
    for (size_t i = 0; i < d.size(); i++) {
        EXPECT_EQ(0.25 * static_cast<double>(i), d[i].time);
        EXPECT_EQ(std::vector<float>{42.25f}, d[i].samples);
    }
}

TEST_F(Experiment, TheMonitorCountsEveryRequestRepeatAndFailedTransfer) {
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    // Switched on in the dialog and left with Cancel: the INI file is as it was.
    EXPECT_EQ(std::string::npos, Ini(dir + "/XX02.ini").find("MonitorOn"));
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    hostsim::Block* a = Thermocouple(1, 0x3);
    ASSERT_NE(nullptr, a);
    P(a)->Mess.Error_Stop = 0;
    P(a)->Mess.Error_Wait_Min = 0;
    // Two reply time-outs of 1.5 s, then the readings go on.
    hostsim::ExperimentOptions o = Manual(4.0);
    auto manual = o.onStarted;
    // The first reading goes unanswered twice: a repeat, then a failed
    // transfer that the block continues after.
    o.onStarted = [&] {
        manual();
        modsim::Fault f(modsim::FaultKind::Silence, 2);
        f.match = "#01";
        bus.InjectFault(1, f);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    hostsim::MonitorCounts counts;
    ASSERT_EQ(1, hostsim::MonitorRead(&counts, true));
    size_t replied = 0;
    for (const modsim::LogEntry& e : bus.Log())
        replied += !e.reply.empty();
    EXPECT_EQ(static_cast<int>(bus.LogCount()), counts.sent);
    EXPECT_EQ(static_cast<int>(replied), counts.received);
    EXPECT_EQ(1, counts.repeats);
    EXPECT_EQ(1, counts.errors);
    EXPECT_EQ((std::map<std::string, int>{{"Continue!", 1}}), counts.errorNotes);
    EXPECT_EQ(0, counts.fullReads);
    // Emptied by the reading: the next one finds nothing.
    hostsim::MonitorCounts after;
    ASSERT_EQ(1, hostsim::MonitorRead(&after, false));
    EXPECT_EQ(0, after.lines);
    EXPECT_EQ(0, WinapiUnfinishedDialogCount());
    EXPECT_EQ(0, WinapiFailedActionCount());
}

TEST_F(Experiment, AReadingOfAFullMonitorSaysOlderLinesMayBeLost) {
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    hostsim::Block* a = Thermocouple(1, 0xFF, 0.1);
    ASSERT_NE(nullptr, a);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(Manual(4.0), &r)) << r.error;
    ASSERT_GT(bus.LogCount() * 2, 256u);
    hostsim::MonitorCounts counts;
    ASSERT_EQ(1, hostsim::MonitorRead(&counts, false));
    EXPECT_EQ(256, counts.lines);
    EXPECT_EQ(1, counts.fullReads);
    EXPECT_LT(counts.sent, static_cast<int>(bus.LogCount()));
}

// Eight channels every 10 ms cannot be read: the block says so once, with
// the distance asked and the one it reaches, notes it in the monitor, and
// stamps every reading within one sample distance of when it was asked for,
// leaving out the sweeps it could not make.
TEST_F(Experiment, ABlockThatCannotKeepItsDistanceSaysSoOnceAndStampsItsReadings) {
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    hostsim::Block* a = Thermocouple(1, 0xFF, 0.01);
    ASSERT_NE(nullptr, a);
    snprintf(a->record.szName, sizeof a->record.szName, "Fast");
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(Manual(2.0), &r)) << r.error;
    ASSERT_EQ(1u, hostsim::Warnings().size());
    const hostsim::Warning& w = hostsim::Warnings()[0];
    EXPECT_EQ("Fast", w.caption);
    double reached = 0;
    ASSERT_EQ(1, sscanf(w.text.c_str(),
                        "Fast: the sample distance of 0.01 s cannot be kept; the block reaches "
                        "%lf s.",
                        &reached))
        << w.text;
    EXPECT_GT(reached, 0.07);
    EXPECT_LT(reached, 0.2);
    hostsim::MonitorCounts counts;
    ASSERT_EQ(1, hostsim::MonitorRead(&counts, false));
    for (int k = 0; k < 8; k++) {
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, a, k);
        ASSERT_GT(d.size(), 5u);
        EXPECT_LT(d.size(), 60u) << "the missed sweeps are left out";
        for (size_t i = 0; i < d.size(); i++) {
            // Asked for within 10 ms after its stamp, delivered once the
            // reply is in: never the seconds behind of a stamp that moves
            // on however late the sweep.
            EXPECT_LE(d[i].time, d[i].releasedAt);
            EXPECT_LT(d[i].releasedAt, d[i].time + 0.25);
            if (i > 0) {
                EXPECT_GT(d[i].time, d[i - 1].time);
            }
        }
    }
}

} // namespace
