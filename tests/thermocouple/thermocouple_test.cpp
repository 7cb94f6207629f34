// The thermocouple types against a simulated module: the start sequence with
// a matching and a differing type code, a silent module, and the values of a
// running experiment delivered into the host's data blocks.
#include "template_fixture.h"

#include "process_until.h"

#include <functional>

namespace {

using enginetest::MonitorHas;
using templatetest::TemplateTest;

class Thermocouple : public TemplateTest {
  protected:
    // Lines the module received, from the first one on.
    std::vector<std::string> Lines() { return Wire(); }
    int Start(hostsim::Block* b) { return hostsim::SendClassMessage(b, MODMSG_START, 0, 0); }
    void Stop(hostsim::Block* b) { hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0); }
    // Processes the block until `count` data blocks have been delivered or
    // the module has had two seconds.
    void ProcessUntil(hostsim::Block* b, size_t count) {
        telviotest::ProcessUntilDelivered(b, count, 2000, [this] { WaitHeard(); });
    }
};

TEST_F(Thermocouple, AMatchingTypeCodeIsNotRewritten) {
    Module();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, Start(b));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("$012", lines[0]); // the checksum probe
    EXPECT_EQ("$01M", lines[1]); // the model
    EXPECT_EQ("$012", lines[2]); // the configuration
    EXPECT_EQ(1, ScanListCount());
    ScanEntry* e =
        ScanListEntry(reinterpret_cast<ChannelScan*>(b->channelScan[0].data())->ScanHandle);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(SCAN_AI_READ, e->Kind);
    EXPECT_EQ(0, e->Param);
    EXPECT_EQ(0, R(b)->Uses_Checksum);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    Stop(b);
}

TEST_F(Thermocouple, ADifferingTypeCodeIsWrittenWithTheBlocksBaudRate) {
    Module();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->TC_Type = 15;
    ASSERT_EQ(1, Start(b));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("%01010F0600", lines[3]);
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(1, &m));
    EXPECT_EQ(0x0F, m.typeCode);
    Stop(b);
}

TEST_F(Thermocouple, ASilentModuleFailsTheStartAndTheBlockNeverPolls) {
    std::string error;
    ASSERT_EQ(1, bus.Open(&error)) << error;
    ASSERT_EQ(1, bus.SetLink(ComLink(1)));
    ASSERT_EQ(1, bus.Start());
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    WinapiUseManualClock(1000);
    R(b)->Error_Waiting = 1;
    R(b)->Resume_Time = 99.0;
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Q7018-I-00", LastWarning()->caption);
    EXPECT_EQ("Module does not reply!\n\267 Connected ?\n\267 Switched on ?", LastWarning()->text);
    EXPECT_EQ(0, R(b)->Error_Waiting);
    // The host may still call it: the block sends nothing and passes the turn.
    WaitHeard();
    bus.ClearLog();
    hostsim::StartExperimentClock();
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    EXPECT_EQ(SS_IDLE, ScanState());
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    Stop(b);
}

TEST_F(Thermocouple, EachSweepDeliversEveryChannelStampedWithItsDueTime) {
    Module();
    bus.SetChannel(1, 0, 21.5);
    bus.SetChannel(1, 2, -3.25);
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    b->record.uOutputs = 2;
    P(b)->Channel_Mask = 0x5;
    P(b)->Mess.Sample_Distance = 0.5;
    ASSERT_EQ(1, Start(b));
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    ProcessUntil(b, 2);
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(0, out[0].output);
    EXPECT_EQ(1, out[1].output);
    for (const hostsim::ReleasedBlock& r : out) {
        EXPECT_EQ(&b->record, r.module);
        EXPECT_EQ(0.0, r.time);
        EXPECT_EQ(0.5, r.sampleDistance);
        ASSERT_EQ(1u, r.samples.size());
    }
    EXPECT_FLOAT_EQ(21.5f, out[0].samples[0]);
    EXPECT_FLOAT_EQ(-3.25f, out[1].samples[0]);
    // Nothing is due before 0.5 s: the block passes the turn.
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    EXPECT_EQ(2u, out.size());
    // A value that finds no data block waits for a later call.
    WinapiAdvanceClock(500);
    hostsim::WithholdOutputBlocks(true);
    telviotest::ProcessUntil(
        {b}, [] { return ScanState() == SS_READY; }, 2000, [this] { WaitHeard(); });
    ASSERT_EQ(SS_READY, ScanState());
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    hostsim::WithholdOutputBlocks(false);
    ProcessUntil(b, 4);
    ASSERT_EQ(4u, out.size());
    EXPECT_EQ(0.5, out[2].time);
    EXPECT_EQ(0.5, out[3].time);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    Stop(b);
}

TEST_F(Thermocouple, AfterAFailedReadTheBlockWaitsThenRestarts) {
    Module();
    MonitorStart();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Error_Stop = 0;
    P(b)->Mess.Error_Wait_Min = 2;
    ASSERT_EQ(1, Start(b));
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    ASSERT_EQ(1, bus.InjectFault(1, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways)));
    for (int i = 0; i < 50 && !R(b)->Error_Waiting; i++) {
        hostsim::ProcessBlock(b);
        usleep(2000);
        WinapiAdvanceClock(static_cast<DWORD>(BusyTimeOut) + 1);
    }
    ASSERT_EQ(1, R(b)->Error_Waiting);
    double resume = R(b)->Resume_Time;
    EXPECT_GE(resume, 120.0);
    // Until the resume time the block passes the turn and sends nothing. The
    // module has heard the repeat before its silence ends.
    WaitHeard();
    ASSERT_EQ(1, bus.ClearFaults(1));
    bus.ClearLog();
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(0, MonitorHas("Restart 6018"));
    WinapiAdvanceClock(static_cast<DWORD>((resume - CurrentExperimentTime(1)) * 1000.0) + 10);
    ProcessUntil(b, 1);
    ASSERT_EQ(1u, hostsim::ReleasedOutputBlocks().size());
    EXPECT_EQ(1, MonitorHas("Restart 6018"));
    EXPECT_EQ(0, R(b)->Error_Waiting);
    EXPECT_GE(hostsim::ReleasedOutputBlocks()[0].time, resume);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    Stop(b);
}

TEST_F(Thermocouple, WithGlobalSettingsEachSweepIsABlockOfEqualSamples) {
    Module();
    bus.SetChannel(1, 0, 7.5);
    hostsim::Block* b = NewBlock("Q7018P_I_MODULE");
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Use_Global_Settings = 1;
    fGlobalMilliSecondsPerSample = 20.0;
    uiGlobalBlockSize = 50;
    ASSERT_EQ(1, Start(b));
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    ProcessUntil(b, 1);
    WinapiAdvanceClock(1000);
    ProcessUntil(b, 2);
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    ASSERT_EQ(2u, out.size());
    for (int k = 0; k < 2; k++) {
        EXPECT_DOUBLE_EQ(k * 1.0, out[k].time);
        EXPECT_DOUBLE_EQ(0.02, out[k].sampleDistance);
        ASSERT_EQ(50u, out[k].samples.size());
        for (float v : out[k].samples)
            EXPECT_FLOAT_EQ(7.5f, v);
    }
    fGlobalMilliSecondsPerSample = 0.0;
    uiGlobalBlockSize = 0;
    Stop(b);
}

// Only the block at the round-robin cursor polls; a block with nothing due
// passes the turn to the next.
TEST_F(Thermocouple, OnlyTheBlockAtTheCursorPollsAndNothingDuePassesTheTurn) {
    Module();
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    hostsim::Block* a = NewBlock();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    P(b)->Module_Address = 2;
    ASSERT_EQ(1, Start(a));
    ASSERT_EQ(1, Start(b));
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    ASSERT_EQ(&a->record, ModuleTableCurrent());
    WaitHeard();
    bus.ClearLog();
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    EXPECT_EQ(SS_IDLE, ScanState());
    EXPECT_EQ(&a->record, ModuleTableCurrent()) << "a block off the cursor leaves it alone";
    ProcessUntil(a, 1);
    ASSERT_EQ(1u, hostsim::ReleasedOutputBlocks().size());
    EXPECT_EQ(&b->record, ModuleTableCurrent()) << "a finished sweep passes the turn";
    ProcessUntil(b, 2);
    ASSERT_EQ(2u, hostsim::ReleasedOutputBlocks().size());
    EXPECT_EQ(&a->record, ModuleTableCurrent());
    // Both swept at 0 s: before 1 s nothing is due, each passes at once.
    WaitHeard();
    bus.ClearLog();
    EXPECT_EQ(0, hostsim::ProcessBlock(a));
    EXPECT_EQ(&b->record, ModuleTableCurrent());
    EXPECT_EQ(0, hostsim::ProcessBlock(b));
    EXPECT_EQ(&a->record, ModuleTableCurrent());
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    Stop(a);
    Stop(b);
}

// Without a wait a failed request ends the block's turn: the other blocks
// poll while the failing module waits for its retry, and then the same
// channel is asked once. The wait is four times what the failed attempt
// took (when that is longer than the block's interval and the least wait),
// the same after every failure, so the module is read at its next retry
// once it answers. The first failure is shown once under the block's name.
TEST_F(Thermocouple, AFailedReadWithoutAWaitPassesTheTurnAndIsTriedAgain) {
    Module();
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    bus.SetChannel(1, 1, 4.5);
    bus.SetChannel(1, 3, 8.5);
    hostsim::Block* a = NewBlock();
    hostsim::Block* other = NewBlock();
    ASSERT_TRUE(a && other);
    snprintf(a->record.szName, sizeof a->record.szName, "Oven");
    a->record.uOutputs = 2;
    P(a)->Channel_Mask = 0xA;
    P(a)->Mess.Error_Stop = 0;
    P(a)->Mess.Error_Wait_Min = 0;
    P(a)->Mess.Sample_Distance = 0.5;
    P(other)->Module_Address = 2;
    P(other)->Mess.Sample_Distance = 0.5;
    // A reply time-out whose four times are longer than the interval and
    // the least wait: the waits are those of the failed attempts.
    BusyTimeOut = 1200;
    const double kWait = 4 * 1.2;
    ASSERT_GT(kWait, POLL_RETRY_LEAST);
    MonitorStart();
    ASSERT_EQ(1, Start(a));
    ASSERT_EQ(1, Start(other));
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    modsim::Fault silent(modsim::FaultKind::Silence, modsim::kAlways);
    silent.match = "#013";
    ASSERT_EQ(1, bus.InjectFault(1, silent));
    // Both blocks in turn, 1 ms a cycle, until `done`; a cycle with a
    // transfer in flight gives the module a millisecond of real time too.
    auto cycle = [&](const std::function<bool()>& done) {
        for (int i = 0; i < 20000 && !done(); i++) {
            hostsim::ProcessBlock(a);
            hostsim::ProcessBlock(other);
            if (ScanState() == SS_BUSY) usleep(1000);
            WinapiAdvanceClock(1);
        }
    };
    auto retryAt = [&] { return PollRetryTime(&a->record, 1, 1); };
    cycle([] { return MonitorHas("Continue!") > 0; });
    ASSERT_EQ(1, MonitorHas("Continue!")) << "the failure went through the block's policy";
    double failedAt = CurrentExperimentTime(1);
    EXPECT_EQ(0, R(a)->Error_Waiting) << "no wait of the policy";
    EXPECT_NEAR(failedAt + kWait, retryAt(), 0.01) << "four times the attempt";
    EXPECT_EQ(1, R(a)->Channel_Index) << "the channel is not advanced";
    EXPECT_EQ(&other->record, ModuleTableCurrent()) << "the turn has passed";
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Oven", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Oven: Module on COM1 , address 1 doesn't reply.", hostsim::Warnings()[0].text);

    // While it waits, the other block measures on, and the failing module
    // is asked nothing.
    size_t before = hostsim::ReleasedOutputBlocks().size();
    WaitHeard();
    bus.ClearLog();
    cycle([&] { return CurrentExperimentTime(1) >= retryAt() - 0.01; });
    int others = 0;
    for (size_t i = before; i < hostsim::ReleasedOutputBlocks().size(); i++)
        others += hostsim::ReleasedOutputBlocks()[i].module == &other->record;
    EXPECT_GE(others, 8);
    for (const std::string& line : Wire())
        EXPECT_EQ(std::string::npos, line.find("#01")) << line;

    // The retry asks once, without a repeat; failing again, the module waits
    // as long as after the first failure; no second warning.
    WaitHeard();
    bus.ClearLog();
    double first = retryAt();
    cycle([&] { return retryAt() > first; });
    EXPECT_EQ(1, MonitorHas("Repeat")) << "the first failure only";
    EXPECT_NEAR(CurrentExperimentTime(1) + kWait, retryAt(), 0.01) << "no longer than before";
    EXPECT_EQ(1u, hostsim::Warnings().size());

    // Answering again, the channel is read at the next retry and the block
    // goes back to its poll interval.
    ASSERT_EQ(1, bus.ClearFaults(1));
    WaitHeard();
    bus.ClearLog();
    double next = retryAt();
    cycle([&] {
        const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
        return !out.empty() && out.back().module == &a->record && out.back().output == 1;
    });
    ASSERT_FALSE(Wire().empty());
    const hostsim::ReleasedBlock& got = hostsim::ReleasedOutputBlocks().back();
    EXPECT_FLOAT_EQ(8.5f, got.samples[0]);
    EXPECT_LE(got.releasedAt, next + 0.05) << "read at the retry";
    EXPECT_LE(got.time, got.releasedAt);
    EXPECT_LT(got.releasedAt, got.time + 0.5 + 0.05) << "stamped within an interval of its request";
    EXPECT_EQ(-1.0, retryAt());
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    Stop(a);
    Stop(other);
}

// Two blocks on one module may not write different settings into it: the
// second start is refused, naming the first block. The same settings may
// share a module.
TEST_F(Thermocouple, TwoBlocksOnOneModuleMustAgreeOnItsSettings) {
    Module();
    hostsim::Block* first = NewBlock();
    hostsim::Block* second = NewBlock();
    ASSERT_TRUE(first && second);
    snprintf(first->record.szName, sizeof first->record.szName, "Oven");
    snprintf(second->record.szName, sizeof second->record.szName, "Flue");
    P(first)->TC_Type = 15;
    P(second)->TC_Type = 15;
    ASSERT_EQ(1, Start(first));
    ASSERT_EQ(1, Start(second));
    Stop(first);
    Stop(second);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());

    P(second)->TC_Type = 16;
    WaitHeard();
    bus.ClearLog();
    ASSERT_EQ(1, Start(first));
    EXPECT_EQ(0, Start(second));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Flue", LastWarning()->caption);
    EXPECT_EQ("Flue: the module on COM1, address 1 is set up differently by block Oven.",
              LastWarning()->text);
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(1, &m));
    EXPECT_EQ(15, m.typeCode) << "the first block's setting stands";
    for (const std::string& line : Wire())
        EXPECT_NE('%', line[0]) << "nothing of the second block was written";
    Stop(first);
    Stop(second);
}

TEST_F(Thermocouple, AChecksumModuleIsConfiguredAndReadWithChecksums) {
    Module(1);
    bus.SetChannel(1, 0, 99.25);
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->TC_Type = 16;
    ASSERT_EQ(1, Start(b));
    WinapiUseManualClock(10000);
    EXPECT_EQ(1, R(b)->Uses_Checksum);
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(1, &m));
    EXPECT_EQ(16, m.typeCode);
    std::vector<modsim::LogEntry> log = bus.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("%01011006" + std::string("40") + modsim::ChecksumDigits("%0101100640"),
              log.back().line)
        << "the module keeps its checksums";
    hostsim::StartExperimentClock();
    ProcessUntil(b, 1);
    ASSERT_EQ(1u, hostsim::ReleasedOutputBlocks().size());
    EXPECT_FLOAT_EQ(99.25f, hostsim::ReleasedOutputBlocks()[0].samples[0]);
    Stop(b);
}

// A module that refuses the configuration read stops the experiment; the
// probe before it used the same command and was answered.
TEST_F(Thermocouple, AModuleRefusingItsConfigurationStopsTheExperiment) {
    Module();
    modsim::Fault pass(modsim::FaultKind::Late, 1); // the probe, answered in time
    pass.match = "$012";
    modsim::Fault refuse(modsim::FaultKind::WrongFirstChar, 1);
    refuse.match = "$012";
    refuse.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, pass));
    ASSERT_EQ(1, bus.InjectFault(1, refuse));
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(3u, Lines().size());
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Q7018-I-00", LastWarning()->caption);
    EXPECT_EQ("Communication problem with this module occured.", LastWarning()->text);
    Stop(b);
}

// A start reply that carries the address of another module is no answer of
// this one: the probe, the name and the configuration read alike.
TEST_F(Thermocouple, AStartReplyFromAnotherAddressFailsTheStart) {
    Module();
    struct Case {
        const char* what;
        const char* command;
        const char* reply; // after its first character
        int skip;          // answers of the command that come through first
        const char* text;
    } cases[] = {
        {"probe", "$012", "020E0600", 0,
         "Module does not reply!\n\267 Connected ?\n\267 Switched on ?"},
        {"name", "$01M", "026018", 0,
         "Module does not reply!\n\267 Connected ?\n\267 Switched on ?"},
        {"configuration", "$012", "020E0600", 1, "Communication problem with this module occured."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(1, bus.ClearFaults(1));
        if (c.skip) {
            modsim::Fault pass(modsim::FaultKind::Late, c.skip);
            pass.match = c.command;
            ASSERT_EQ(1, bus.InjectFault(1, pass));
        }
        modsim::Fault other(modsim::FaultKind::Garbage, modsim::kAlways);
        other.match = c.command;
        other.bytes = c.reply;
        ASSERT_EQ(1, bus.InjectFault(1, other));
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(0, Start(b));
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ(c.text, LastWarning()->text);
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// Settings from a file that would reach another module or write a range the
// type does not have stop the start before anything of theirs is sent.
TEST_F(Thermocouple, SettingsOutsideTheTypeStopTheStart) {
    Module();
    struct Case {
        const char* what;
        const char* className;
        int address, tcType;
        const char* text; // empty: the unknown range
    } cases[] = {
        {"address beyond 255", "Q7018_I_MODULE", 257, 14, "Module address ?"},
        {"address below the first", "Q7018_I_MODULE", 0, 14, "Module address ?"},
        {"unknown range", "Q7018_I_MODULE", 1, 99, ""},
        {"type M on ND6018", "Q7018_I_MODULE", 1, 24, ""},
        {"range between the groups", "Q7018P_I_MODULE", 1, 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::Block* b = NewBlock(c.className);
        ASSERT_NE(nullptr, b);
        P(b)->Module_Address = c.address;
        P(b)->TC_Type = c.tcType;
        WaitHeard();
        bus.ClearLog();
        int stops = hostsim::StopExperimentCalls();
        EXPECT_EQ(0, Start(b));
        EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ(b->record.szName, LastWarning()->caption);
        if (*c.text) {
            EXPECT_EQ(c.text, LastWarning()->text);
            EXPECT_TRUE(Lines().empty());
        } else {
            EXPECT_EQ("Unknown input range in the settings of this module.", LastWarning()->text);
            for (const std::string& line : Lines())
                EXPECT_NE('%', line[0]) << "nothing is written to the module";
        }
        Stop(b);
    }
    hostsim::Block* b = NewBlock("Q7018P_I_MODULE");
    ASSERT_NE(nullptr, b);
    P(b)->TC_Type = 24; // type M is ND6018P's
    EXPECT_EQ(1, Start(b));
    Stop(b);
}

// A block saved with another speed than its port has now: the module is
// told the speed the port runs at, or it would fall silent at its next
// power-up.
TEST_F(Thermocouple, TheRewriteTakesTheSpeedOfThePort) {
    Module();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->TC_Type = 15;
    P(b)->Com.Baud_Rate = 9;
    ASSERT_EQ(1, Start(b));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("%01010F0600", lines[3]);
    Stop(b);
}

// Each failed start stops the experiment, names the reason under the
// block's name and leaves the arrow cursor.
TEST_F(Thermocouple, AFailedStartShowsItsReasonAndRestoresTheCursor) {
    std::string error;
    ASSERT_EQ(1, bus.Open(&error)) << error;
    ASSERT_EQ(1, bus.SetLink(ComLink(1)));
    ASSERT_EQ(1, bus.Start());
    ASSERT_EQ(1, bus.AddModule(2, "6017", 0));
    // A module that answers every line with one far longer than any reply.
    ASSERT_EQ(1, bus.AddModule(3, "6018", 0));
    modsim::Fault endless(modsim::FaultKind::Overlong, modsim::kAlways);
    endless.length = 2000;
    ASSERT_EQ(1, bus.InjectFault(3, endless));
    struct Case {
        const char* what;
        int port, address;
        const char* text;
    } cases[] = {
        {"no port", 0, 2, "No COM Port configurated in this module."},
        {"silent", 1, 9, "Module does not reply!\n\267 Connected ?\n\267 Switched on ?"},
        {"wrong model", 1, 2, "Wrong module type connected."},
        // Last: the rest of its reply is still coming when the start ends.
        {"unreadable", 1, 3, "The module replied, but its reply could not be read."},
    };
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        P(b)->Com.Port_Number = c.port;
        P(b)->Module_Address = c.address;
        int stops = hostsim::StopExperimentCalls();
        // The manual clock only where no reply can come: it would run out a
        // reply's time-out before a busy simulator has answered.
        bool silent = c.address == 9;
        if (silent) WinapiUseManualClock(1000);
        EXPECT_EQ(0, Start(b));
        if (silent) WinapiUseRealClock();
        EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ("Q7018-I-00", LastWarning()->caption);
        EXPECT_EQ(c.text, LastWarning()->text);
        EXPECT_EQ(arrow, SetCursor(arrow));
        Stop(b);
    }
}

// A block that uses the host's global settings starts only with a global
// sample distance above 0 and a block size the data blocks can carry; its
// own settings are the dialog's to check.
TEST_F(Thermocouple, AStartWithTheHostsGlobalSettingsOutOfRangeIsRefused) {
    Module();
    struct Case {
        double ms;
        UINT size;
        const char* text; // null: started
    } cases[] = {
        {0.0, 50, "The global sample distance of the worksheet must be greater than 0."},
        {20.0, 0, "The global block size of the worksheet must be between 1 and 65535."},
        {20.0, 65536, "The global block size of the worksheet must be between 1 and 65535."},
        {20.0, 65535, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ms) + " ms, " + std::to_string(c.size));
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        P(b)->Mess.Use_Global_Settings = 1;
        fGlobalMilliSecondsPerSample = c.ms;
        uiGlobalBlockSize = c.size;
        WaitHeard();
        bus.ClearLog();
        int stops = hostsim::StopExperimentCalls();
        EXPECT_EQ(c.text ? 0 : 1, Start(b));
        if (c.text) {
            EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ(c.text, LastWarning()->text);
            EXPECT_TRUE(Lines().empty()) << "nothing is sent";
        }
        Stop(b);
        hostsim::DeleteBlock(b);
    }
    fGlobalMilliSecondsPerSample = 0.0;
    uiGlobalBlockSize = 0;
}

} // namespace
