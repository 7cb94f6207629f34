// The host's experiment loop through the shipped plug-in: thermocouple blocks
// of Telvio.so, created or loaded by the stand-in host, started, processed
// cycle after cycle and stopped, against modules simulated on a
// pseudo-terminal mapped to COM1. The blocks start on the real clock (their
// start queries wait for real replies); the cycles run on the manual clock.
#include "bus_fixture.h"

#include "modules/analog/nd6018.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const int kStart = MODMSG_START;
const int kStop = MODMSG_STOP;
const int kTiming = MODMSG_CHANNEL_TIMING;

class Experiment : public telviotest::BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        ASSERT_EQ(1, Load("Telvio.so"));
        thermocouple = hostsim::FindClassByMenuId(2955);
        ASSERT_NE(nullptr, thermocouple);
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
    ASSERT_EQ(1, Run(o, &r)) << r.error;
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
        EXPECT_EQ(1, static_cast<int>(c.block->outputs[c.output].uBlockSize));
        EXPECT_EQ(0.5, static_cast<double>(c.block->outputs[c.output].dSampleDistance));
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
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    const float values[2] = {12.5f, 250.25f};
    for (int k = 0; k < 2; k++) {
        SCOPED_TRACE("output " + std::to_string(k));
        EXPECT_EQ(50, static_cast<int>(a->outputs[k].uBlockSize));
        EXPECT_DOUBLE_EQ(0.02, static_cast<double>(a->outputs[k].dSampleDistance));
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
    EXPECT_EQ(0, Run(o, &r));
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
    hostsim::ExperimentResult again;
    ASSERT_EQ(1, Run(Manual(0.2), &again)) << again.error;
    ASSERT_EQ(1u, Delivered(again, a, 0).size());
    ASSERT_EQ(1u, Delivered(again, c, 0).size());
    EXPECT_EQ(5.0f, Delivered(again, a, 0)[0].samples[0]);
    EXPECT_EQ(7.0f, Delivered(again, c, 0)[0].samples[0]);
}

// Once the host is done with the plug-in (its worksheet closed, the plug-in
// finished), the plug-in holds nothing of the host's: the blocks' memory, the
// scan lists of a failed and of a measured experiment, a setup dialog's
// working copy and font, the monitor's ring all went back.
TEST_F(Experiment, OnceFinishedThePlugInHoldsNothingOfTheHosts) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    // A binding of its own, so that what it takes is counted from its start.
    hostsim::FinishPlugin(&plugin);
    ASSERT_TRUE(hostsim::Start());
    hostsim::SetExeFileDir((dir + "/").c_str());
    const int allocations = hostsim::LiveAllocations();
    ASSERT_EQ(1, Load("Telvio.so"));
    thermocouple = hostsim::FindClassByMenuId(2955);
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    hostsim::Block* a = Thermocouple(1, 0x1);
    hostsim::Block* silent = Thermocouple(9, 0x1); // no module answers at 9
    ASSERT_TRUE(a && silent);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(a, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(1, hostsim::StackedObjectsCreated());

    hostsim::ExperimentOptions o = Manual(1.0);
    o.beforeStart = [](int block) {
        if (block == 1) WinapiUseManualClock(GetTickCount());
    };
    hostsim::ExperimentResult failed;
    EXPECT_EQ(0, Run(o, &failed));
    EXPECT_EQ(1, failed.failedBlock);
    hostsim::DeleteBlock(silent);
    hostsim::ExperimentResult measured;
    ASSERT_EQ(1, Run(Manual(0.2), &measured)) << measured.error;
    EXPECT_EQ(1u, Delivered(measured, a, 0).size());
    EXPECT_GT(hostsim::LiveAllocations(), allocations) << "the monitor's ring is on";

    EXPECT_EQ(1, hostsim::FinishPlugin(&plugin));
    EXPECT_EQ(0, hostsim::BlockCount());
    EXPECT_EQ(allocations, hostsim::LiveAllocations());
    EXPECT_EQ(hostsim::StackedObjectsCreated(), hostsim::StackedObjectsDeleted())
        << "the plug-in released its font itself";
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
    EXPECT_EQ(1, Run(o, &r)) << r.error;
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
    // The analog input types' blocks after them.
    const char* models[] = {"6017", "7013", "7015", "7033", "7019", "7005", "7005"};
    for (int k = 0; k < 7; k++)
        ASSERT_EQ(1, bus.AddModule(11 + k, models[k], 0));
    std::string error;
    ASSERT_EQ(1, hostsim::LoadWorksheet(TELVIO_EXAMPLES "/thermocouples.wks", &error)) << error;
    ASSERT_EQ(10, hostsim::BlockCount());
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(1.2), &r)) << r.error;
    EXPECT_EQ(10, r.started);
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
    ASSERT_EQ(1, Run(Manual(0.6), &r)) << r.error;
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
    ASSERT_EQ(1, Run(o, &r)) << r.error;
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

// A module that uses checksums does not answer the plain checksum probe: its
// block's start expects those two time-outs, which are no errors. Beside it a
// module without checksums, probed once.
TEST_F(Experiment, TheProbeOfAChecksumModuleCostsTwoTimeOutsThatAreNoErrors) {
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    ASSERT_EQ(1, bus.AddModule(1, "6018", 1));
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    ASSERT_NE(nullptr, Thermocouple(1, 0x1));
    ASSERT_NE(nullptr, Thermocouple(2, 0x1));
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(1.0), &r)) << r.error;
    hostsim::MonitorCounts counts;
    ASSERT_EQ(1, hostsim::MonitorRead(&counts, true));
    EXPECT_EQ(2, counts.probeTimeouts);
    EXPECT_EQ(0, counts.errors);
    EXPECT_EQ(0, counts.repeats);
}

// How the listed lines count: a time-out after the plain probe "$AA2" is the
// probe's, every other time-out an error.
TEST(MonitorLines, ATimeOutCountsAsTheProbesOnlyAfterThePlainProbe) {
    struct Case {
        std::vector<const char*> lines;
        int sent, received, probe, errors;
    } cases[] = {
        {{"-3:\tCOM1 \t0.01 sec\t+\t$012", "-2:\t-- ! --\t2.01 sec\t \tTime Out"}, 1, 0, 1, 0},
        {{"-1:\tCOM1 \t0.01 sec\t+\t$0A2", "0:\t-- ! --\t2.01 sec\t \tTime Out"}, 1, 0, 1, 0},
        // the checksummed probe, a reading, a name query: errors
        {{"0:\tCOM1 \t0.01 sec\t+\t$012B7", "0:\t-- ! --\t2.01 sec\t \tTime Out"}, 1, 0, 0, 1},
        {{"0:\tCOM1 \t0.01 sec\t+\t#010", "0:\t-- ! --\t2.01 sec\t \tTime Out"}, 1, 0, 0, 1},
        {{"0:\tCOM1 \t0.01 sec\t+\t$01M", "0:\t-- ! --\t2.01 sec\t \tTime Out"}, 1, 0, 0, 1},
        // a reply in between: the time-out is not the probe's
        {{"0:\tCOM1 \t0.01 sec\t+\t$012", "0:\tCOM1 \t0.02 sec\t-\t!01",
          "0:\t-- ! --\t2 sec\t "
          "\tTime Out"},
         1,
         1,
         0,
         1},
        // a silent module: two plain probes, two checksummed ones
        {{"0:\tCOM1 \t0 sec\t+\t$012", "0:\t-- ! --\t2 sec\t \tTime Out",
          "0:\tCOM1 \t2 sec\t+\t$012", "0:\t-- ! --\t4 sec\t \tTime Out",
          "0:\tCOM1 \t4 sec\t+\t$012B7", "0:\t-- ! --\t6 sec\t \tTime Out",
          "0:\tCOM1 \t6 sec\t+\t$012B7", "0:\t-- ! --\t8 sec\t \tTime Out"},
         4,
         0,
         2,
         2},
    };
    for (const Case& c : cases) {
        hostsim::MonitorCounts counts;
        for (const char* line : c.lines)
            hostsim::MonitorCountLine(line, &counts);
        EXPECT_EQ(c.sent, counts.sent) << c.lines[0];
        EXPECT_EQ(c.received, counts.received) << c.lines[0];
        EXPECT_EQ(c.probe, counts.probeTimeouts) << c.lines[0];
        EXPECT_EQ(c.errors, counts.errors) << c.lines[0];
    }
}

TEST_F(Experiment, AReadingOfAFullMonitorSaysOlderLinesMayBeLost) {
    ASSERT_EQ(1, hostsim::MonitorSwitchOn());
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    hostsim::Block* a = Thermocouple(1, 0xFF, 0.1);
    ASSERT_NE(nullptr, a);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(4.0), &r)) << r.error;
    ASSERT_GT(bus.LogCount() * 2, 256u);
    hostsim::MonitorCounts counts;
    ASSERT_EQ(1, hostsim::MonitorRead(&counts, false));
    EXPECT_EQ(256, counts.lines);
    EXPECT_EQ(1, counts.fullReads);
    EXPECT_LT(counts.sent, static_cast<int>(bus.LogCount()));
}

// A block waiting for a silent module answers 1 on every call; the host
// still rests in each cycle that delivered nothing (on the manual clock the
// rest is what moves time), so the waits run out without a spinning host.
TEST_F(Experiment, TheHostRestsInCyclesThatDeliverNothing) {
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    hostsim::Block* a = Thermocouple(1, 0x1);
    ASSERT_NE(nullptr, a);
    P(a)->Mess.Error_Stop = 1;
    hostsim::ExperimentOptions o;
    o.seconds = 60.0;
    o.idleSleepMs = 1;
    o.onStarted = [&] {
        WinapiUseManualClock(100000);
        modsim::Fault f(modsim::FaultKind::Silence, modsim::kAlways);
        f.match = "#01";
        bus.InjectFault(1, f);
    };
    int waiting = 0;
    // A bound, not a step: without the rests the clock would stand still.
    o.onCycle = [&](int cycle, int busy) {
        waiting += busy;
        if (cycle >= 20000) WinapiAdvanceClock(1000);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(1, r.stoppedByPlugin) << "two reply time-outs of 1.5 s";
    EXPECT_LT(r.cycles, 20000) << "the rests alone moved the clock";
    EXPECT_GT(waiting, 2000) << "cycles that waited for the reply";
}

// The worksheet text of the one block, with one field's value replaced.
std::string WithField(const std::string& text, const std::string& field, const std::string& value) {
    std::string key = "  field " + field + " ";
    size_t at = text.find(key);
    if (at == std::string::npos) return std::string();
    size_t eq = text.find(" = ", at);
    size_t end = text.find('\n', at);
    return text.substr(0, eq + 3) + value + text.substr(end);
}

// Values a worksheet or the driver INI file may bring. Those no block can
// measure with are refused where they enter (the load of the block, or its
// start): the user is told what was refused, and nothing of it reaches a
// module or the host. The others are kept as they were saved.
TEST_F(Experiment, HostileWorksheetsAndIniFilesAreCheckedWhereTheyEnter) {
    enum Stage { kRefusedAtLoad, kRefusedAtStart, kWarnedAtStart, kKept };
    const char kDistance[] = "The sample distance must be more than 0 seconds.";
    const char kNoPort[] = "No COM Port configurated in this module.";
    const char kNoChannel[] = "No channel of this module is in use.";
    struct Case {
        const char* file; // "wks": a field of the block; "ini": a key of "Settings"
        const char* name;
        const char* value;
        Stage stage;
        const char* caption; // what the user is shown (refused values)
        const char* text;
        int kept; // kept values: the global string written (16 bits), or the time-out
    } cases[] = {
        {"wks", "Version", "0", kRefusedAtLoad, "Error", "Old module format (not supported)", 0},
        {"wks", "Sample_Distance", "-1", kRefusedAtLoad, "Hostile", kDistance, 0},
        {"wks", "Sample_Distance", "0", kRefusedAtLoad, "Hostile", kDistance, 0},
        {"wks", "Sample_Distance", "nan", kRefusedAtLoad, "Hostile", kDistance, 0},
        {"wks", "Sample_Distance", "inf", kRefusedAtLoad, "Hostile", kDistance, 0},
        {"wks", "Sample_Distance", "-1e-300", kRefusedAtLoad, "Hostile", kDistance, 0},
        {"wks", "Module_Address", "300", kRefusedAtStart, "Hostile", "Module address ?", 0},
        {"wks", "TC_Type", "99", kRefusedAtStart, "Hostile",
         "Unknown input range in the settings of this module.", 0},
        {"wks", "Port_Number", "0", kRefusedAtStart, "Hostile", kNoPort, 0},
        {"wks", "Port_Number", "17", kRefusedAtStart, "Hostile", kNoPort, 0},
        {"wks", "Channel_Mask", "0", kWarnedAtStart, "Hostile", kNoChannel, 0},
        {"wks", "Channel_Mask", "65280", kWarnedAtStart, "Hostile", kNoChannel, 0},
        {"wks", "Error_Var_Nr", "65537", kKept, "", "", 1},
        {"wks", "Error_Var_Nr", "70000", kKept, "", "", 4464},
        {"wks", "Error_Var_Nr", "0", kKept, "", "", 0},
        {"wks", "Error_Var_Nr", "-1", kKept, "", "", 65535},
        {"ini", "BusyTimeOut", "61000", kKept, "", "", 61000},
        // A time-out that never ends would hold the line for ever: the
        // family's own.
        {"ini", "BusyTimeOut", "-5", kKept, "", "", 1500},
    };
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    // The module answers the starts, never a reading: a reply withheld, not
    // one that comes late into the next start's queries.
    modsim::Fault silent(modsim::FaultKind::Silence, modsim::kAlways);
    silent.match = "#01";
    ASSERT_EQ(1, bus.InjectFault(1, silent));
    const std::string ini = dir + "/XX02.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name + " = " + c.value);
        CaseGuard guard(this);
        const bool iniCase = strcmp(c.file, "ini") == 0;
        // The plug-in reads its INI file when it is bound, and writes its
        // time-out back when it is finished.
        hostsim::FinishPlugin(&plugin);
        std::ofstream(ini) << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n[Settings]\n"
                           << "BusyTimeOut=" << (iniCase ? c.value : "1500") << "\n";
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        ASSERT_EQ(1, Bind("Telvio.so"));
        thermocouple = hostsim::FindClassByMenuId(2955);

        hostsim::Block* made = Thermocouple(1, 0x1);
        ASSERT_NE(nullptr, made);
        snprintf(made->record.szName, sizeof made->record.szName, "Hostile");
        P(made)->Mess.Error_Stop = 0;
        P(made)->Mess.Error_Wait_Min = 0;
        P(made)->Mess.Error_Set_Var = 1;
        P(made)->Mess.Error_Var_Nr = 7;
        std::string text, error;
        ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        if (!iniCase) text = WithField(text, c.name, c.value);
        ASSERT_FALSE(text.empty());
        size_t warnings = hostsim::Warnings().size();
        bus.ClearLog();
        ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
        ASSERT_EQ(1, hostsim::BlockCount());
        hostsim::Block* b = hostsim::BlockAt(0);

        hostsim::ExperimentResult r;
        if (c.stage == kRefusedAtLoad) {
            EXPECT_EQ(0, b->afterLoadAnswer);
        } else if (c.stage == kRefusedAtStart) {
            EXPECT_EQ(1, b->afterLoadAnswer);
            EXPECT_EQ(0, Run(Manual(1.0), &r));
            EXPECT_EQ(0, r.failedBlock);
        } else if (c.stage == kWarnedAtStart) {
            // Nothing to measure: the block starts, says so, and passes its
            // turns.
            EXPECT_EQ(1, b->afterLoadAnswer);
            EXPECT_EQ(1, Run(Manual(1.0), &r)) << r.error;
            EXPECT_EQ(0, r.stoppedByPlugin);
        }
        if (c.stage != kKept) {
            EXPECT_EQ(warnings + 1, hostsim::Warnings().size());
            if (hostsim::Warnings().size() > warnings) {
                EXPECT_EQ(c.caption, hostsim::Warnings().back().caption);
                EXPECT_EQ(c.text, hostsim::Warnings().back().text);
            }
            // At most the probes of the start: no configuration, no reading.
            for (const modsim::LogEntry& e : bus.Log())
                EXPECT_TRUE(e.line[0] == '$') << "sent to the module: " << e.line;
            EXPECT_EQ(r.firstOutputBlock, hostsim::ReleasedOutputBlocks().size());
            EXPECT_EQ(0, hostsim::GlobalStringWrites());
            continue;
        }

        // Kept: the block loads and runs; its readings go unanswered, and
        // each failure reaches the host's global string of the saved
        // number, taken as 16 bits; the host is told the number as saved
        // (none for one below 1).
        EXPECT_EQ(1, b->afterLoadAnswer);
        EXPECT_EQ(0u, hostsim::Warnings().size() - warnings);
        const int string = iniCase ? 7 : c.kept;
        const int reported = iniCase ? 7 : std::max(0, atoi(c.value));
        EXPECT_EQ(iniCase ? 7 : atoi(c.value), P(b)->Mess.Error_Var_Nr);
        hostsim::SendClassMessage(b, MODMSG_REPORT_GLOBALS, 0, 0);
        ASSERT_FALSE(hostsim::GlobalVarNotifications().empty());
        EXPECT_EQ(static_cast<DWORD>(reported),
                  static_cast<DWORD>(hostsim::GlobalVarNotifications().back().dwGlvoNumber));
        hostsim::ExperimentOptions o;
        // Long enough for two reply time-outs of the INI value.
        o.seconds = iniCase ? std::max(4.0, 2.2 * c.kept / 1000.0) : 4.0;
        o.idleSleepMs = 0;
        o.onStarted = [] { WinapiUseManualClock(100000); };
        o.onCycle = [](int, int) { WinapiAdvanceClock(50); };
        ASSERT_EQ(1, Run(o, &r)) << r.error
                                 << (hostsim::Warnings().empty() ? ""
                                                                 : hostsim::Warnings().back().text);
        EXPECT_NE(std::string::npos, hostsim::GlobalString(string).find("doesn't reply"));
        EXPECT_GE(hostsim::GlobalStringWrites(), 1);
        if (iniCase) {
            // The plug-in writes the time-out it used back into its file.
            hostsim::FinishPlugin(&plugin);
            EXPECT_NE(std::string::npos, Ini(ini).find("BusyTimeOut=" + std::to_string(c.kept)))
                << Ini(ini);
            ASSERT_TRUE(hostsim::Start());
        }
    }
}

// Eight channels every 10 ms cannot be read (a reading takes some 25 ms on
// the line at 9600 baud, with the quiet behind it): the block says so once, with
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
    ASSERT_EQ(1, Run(Manual(2.0), &r)) << r.error;
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
    EXPECT_LT(reached, 0.3);
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
