// The transaction engine against simulated modules on a pseudo-terminal, on
// the manual clock: a good reply, repeats after a time-out and a wrong reply,
// reopening the port, the error texts, the error policy, a late reply, a
// failed write, and the round robin over several blocks.
#include "engine_fixture.h"

namespace {

using enginetest::EngineTest;
using enginetest::MonitorHas;
using enginetest::NameBlock;
using modsim::Fault;
using modsim::FaultKind;

const char kNoReply[] = "Blk: Module on COM1 , address 1 doesn't reply.";
const char kChecksum[] = "Blk: Check sum error. Module on COM1 , address 1.";
const char kProblem[] = "Blk: Communication problem. Module on COM1, address 1.";

class Engine : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        NameBlock(&block, "Blk");
        MonitorStart();
        WinapiUseManualClock(5000);
    }
    // A 6017 at address 1 with the given checksum mode, channel c at c + 1.
    void AnalogModule(int checksum, bool pumped = false) {
        OpenBus(pumped);
        ASSERT_EQ(1, bus.AddModule(1, "6017", checksum));
        for (int c = 0; c < 8; c++)
            bus.SetChannel(1, c, c + 1.0);
        ASSERT_EQ(1, ScanListCreate());
        h0 = ScanAddAiRead(1, 1, 0, &cell0, checksum);
        h1 = ScanAddAiRead(1, 1, 1, &cell1, checksum);
    }
    // Moves the clock past the reply time-out and steps. A repeat (or the
    // reopened port's third attempt) waits for the line to stay quiet for
    // its guard: the clock is moved past that too, and the request goes out
    // in a second step.
    int StepAfterTimeOut() {
        WinapiAdvanceClock(static_cast<DWORD>(BusyTimeOut) + 1);
        int state = ScanStep();
        if (state != SS_BUSY) return state;
        WinapiAdvanceClock(GuardMs());
        return ScanStep();
    }
    // Waits until the module has received `lines` lines.
    void WaitLines(size_t lines) { ASSERT_EQ(1, bus.WaitForLog(lines, 2000)); }

    float cell0 = 0, cell1 = 0;
    ScanHandle h0 = -1, h1 = -1;
};

TEST_F(Engine, AGoodReplyIsStoredAndStaysReadyUntilReset) {
    AnalogModule(1);
    EXPECT_EQ(SS_READY, Transact(h1));
    EXPECT_FLOAT_EQ(2.0f, cell1);
    EXPECT_EQ(SS_READY, ScanStep());
    EXPECT_EQ(SS_READY, ScanStep());
    EXPECT_EQ(0, ScanBegin(h0, &block)); // the standing transaction is not replaced
    ScanReset();
    EXPECT_EQ(SS_IDLE, ScanStep());
    ASSERT_EQ(1u, bus.LogCount());
    EXPECT_EQ("#011" + modsim::ChecksumDigits("#011"), bus.Log()[0].line);
    EXPECT_EQ(0, MonitorHas("Repeat"));
}

TEST_F(Engine, BeginRefusesABadHandleAndAStandingTransaction) {
    AnalogModule(0);
    EXPECT_EQ(-1, ScanBegin(-1, &block));
    EXPECT_EQ(-1, ScanBegin(2, &block));
    ASSERT_EQ(2u, hostsim::InternalErrors().size());
    EXPECT_EQ(0u, hostsim::InternalErrors()[0].find("scan handle"));
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence)));
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(0, ScanBegin(h1, &block));
    EXPECT_EQ(h0, ScanCurrentEntry());
}

TEST_F(Engine, OneTimeOutIsRepeatedAndThenAnswered) {
    AnalogModule(0);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence)));
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    WaitLines(1);
    WinapiAdvanceClock(static_cast<DWORD>(BusyTimeOut)); // not yet: strictly more
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(0, MonitorHas("Repeat"));
    WinapiAdvanceClock(1);
    int state = ScanStep();
    EXPECT_EQ(1, MonitorHas("Repeat"));
    if (state == SS_BUSY) state = StepUntilDone();
    EXPECT_EQ(SS_READY, state);
    EXPECT_FLOAT_EQ(1.0f, cell0);
    EXPECT_EQ(2u, bus.LogCount());
}

TEST_F(Engine, TwoTimeOutsWithoutReopenGiveTheNoReplyText) {
    AnalogModule(0);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence, modsim::kAlways)));
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    EXPECT_EQ(SS_ERROR, StepAfterTimeOut());
    EXPECT_STREQ(kNoReply, ScanErrorText());
    EXPECT_EQ(1, MonitorHas("Repeat"));
    EXPECT_EQ(0, MonitorHas("Reopen COM"));
    EXPECT_EQ(-1, ScanCurrentEntry());
    EXPECT_EQ(SS_ERROR, ScanStep()); // stands until the error policy ran
}

TEST_F(Engine, ASecondTimeOutReopensThePortAndTriesAThirdTime) {
    ReOpenComOnError = 1;
    AnalogModule(0);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence, 2)));
    ASSERT_EQ(1, ScanBegin(h1, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    WaitLines(1);
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    WaitLines(2);
    int state = StepAfterTimeOut();
    EXPECT_EQ(1, MonitorHas("Reopen COM"));
    if (state == SS_BUSY) state = StepUntilDone();
    EXPECT_EQ(SS_READY, state);
    EXPECT_FLOAT_EQ(2.0f, cell1);
    EXPECT_EQ(3u, bus.LogCount());
}

TEST_F(Engine, ASilentModuleAfterTheReopenGivesTheNoReplyText) {
    ReOpenComOnError = 1;
    AnalogModule(0);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence, modsim::kAlways)));
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    EXPECT_EQ(SS_ERROR, StepAfterTimeOut());
    EXPECT_STREQ(kNoReply, ScanErrorText());
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
}

// A port that cannot be reopened fails the transaction without stopping the
// experiment and without a message of its own; the next request tries the
// port again and finds it back.
TEST_F(Engine, AFailedReopenFailsTheTransactionAndTheNextRequestReopens) {
    ReOpenComOnError = 1;
    AnalogModule(0);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence, 2)));
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    WaitLines(2); // both silences used up before the line goes
    ASSERT_EQ(1, bus.Unplug());
    EXPECT_EQ(SS_ERROR, StepAfterTimeOut());
    EXPECT_STREQ(kNoReply, ScanErrorText());
    EXPECT_EQ(1, MonitorHas("Reopen COM"));
    EXPECT_EQ(1, MonitorHas("Reopen failed"));
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_TRUE(hostsim::Warnings().empty());
    ScanReset();

    // Back: the closed port refuses the write, which is shown once, then
    // the write's time-out path reopens the port and the reading comes.
    ASSERT_EQ(1, bus.Replug());
    EXPECT_EQ(SS_READY, Transact(h1));

    EXPECT_FLOAT_EQ(2.0f, cell1);
    EXPECT_EQ(2, MonitorHas("Reopen COM"));
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("!", hostsim::Warnings()[0].caption);
    EXPECT_EQ("WriteCom (RequestCommand)", hostsim::Warnings()[0].text);
}

TEST_F(Engine, AWrongFirstCharacterIsRepeatedOnceThenAnError) {
    AnalogModule(0);
    Fault wrong(FaultKind::WrongFirstChar, 1);
    wrong.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, wrong));
    EXPECT_EQ(SS_READY, Transact(h0));
    EXPECT_EQ(1, MonitorHas("Repeat"));
    EXPECT_EQ(2u, bus.LogCount());
    ScanReset();

    wrong.times = 2;
    ASSERT_EQ(1, bus.InjectFault(1, wrong));
    EXPECT_EQ(SS_ERROR, Transact(h1));
    EXPECT_STREQ(kProblem, ScanErrorText());
    EXPECT_EQ(h1, ScanCurrentEntry());
    EXPECT_EQ(4u, bus.LogCount());
}

TEST_F(Engine, AReplyShorterThanItsParserReadsIsAWrongReply) {
    OpenBus();
    ASSERT_EQ(1, bus.AddModule(1, "6050", 0));
    ASSERT_EQ(1, bus.SetDigitalInputs(1, 0xC3));
    ASSERT_EQ(1, ScanListCreate());
    BYTE image = 0;
    ScanHandle h = ScanAddDiRead(1, 1, &image, 0);
    Fault cut(FaultKind::CutShort, 1);
    cut.length = 4; // "!00C" of "!00C300"
    ASSERT_EQ(1, bus.InjectFault(1, cut));
    EXPECT_EQ(SS_READY, Transact(h));
    EXPECT_EQ(0xC3, image);
    EXPECT_EQ(1, MonitorHas("Repeat"));
}

// A NUL byte inside, after or before the number: the reply is a wrong one,
// asked for once more and then the communication problem; the value before
// the NUL never reaches the cell.
TEST_F(Engine, AReplyWithANulIsAWrongReply) {
    AnalogModule(1);
    const int positions[] = {4, 99, 1};
    for (int at : positions) {
        SCOPED_TRACE(at);
        Fault nul(FaultKind::Inserted, 1);
        nul.length = at;
        ASSERT_EQ(1, bus.InjectFault(1, nul));
        cell0 = 0.0f;
        size_t lines = bus.LogCount();
        EXPECT_EQ(SS_READY, Transact(h0));
        EXPECT_FLOAT_EQ(1.0f, cell0);
        EXPECT_EQ(lines + 2, bus.LogCount()) << "asked once more";
        ScanReset();

        nul.times = 2;
        ASSERT_EQ(1, bus.InjectFault(1, nul));
        cell1 = 0.0f;
        EXPECT_EQ(SS_ERROR, Transact(h1));
        EXPECT_STREQ(kProblem, ScanErrorText());
        EXPECT_FLOAT_EQ(0.0f, cell1);
        ScanReset();
    }
}

TEST_F(Engine, AChecksumErrorFailsAtOnce) {
    AnalogModule(1);
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::BadChecksum)));
    EXPECT_EQ(SS_ERROR, Transact(h0));
    EXPECT_STREQ(kChecksum, ScanErrorText());
    EXPECT_EQ(0, MonitorHas("Repeat"));
    EXPECT_EQ(1u, bus.LogCount());
    EXPECT_FLOAT_EQ(0.0f, cell0);
}

TEST_F(Engine, ALateReplyIsNeverTakenForTheNextRequestsReply) {
    // The module is served from this thread: it answers only when told, so
    // its replies to channel 0 come after the transaction has timed out.
    AnalogModule(0, true);
    ASSERT_EQ(1, ScanBegin(h0, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
    EXPECT_EQ(SS_ERROR, StepAfterTimeOut());
    int waiting = 0;
    double resume = 0;
    MessParam goOn;
    InitMessParam(&goOn);
    goOn.Error_Stop = 0;
    ScanErrorAction(&goOn, &waiting, &resume);
    // Now both replies to channel 0 arrive, late, each in its time on the
    // line.
    for (int i = 0; i < 20 && bus.LogCount() < 2; i++)
        bus.Pump(50);
    ASSERT_EQ(2u, bus.LogCount());
    for (int i = 0; i < 1000 && bus.RepliesOnTheWay() > 0; i++) {
        WinapiAdvanceClock(1);
        bus.Pump(1);
    }
    ASSERT_EQ(1, WaitPending(1, ReplyBytes(bus)));

    // They came while no request waited: dropped, counted, and the line
    // must then be quiet for its guard before channel 1 is asked.
    ASSERT_EQ(1, ScanBegin(h1, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    EXPECT_EQ(1, ScanDroppedLines());
    EXPECT_EQ(1, MonitorHas("Late reply dropped"));
    bus.Pump(10);
    EXPECT_EQ(2u, bus.LogCount()) << "nothing written into the guard";
    WinapiAdvanceClock(GuardMs());
    int state = ScanStep();
    for (int i = 0; i < 40 && state == SS_BUSY; i++) {
        bus.Pump(10);
        WinapiAdvanceClock(1);
        state = ScanStep();
    }
    EXPECT_EQ(SS_READY, state);
    EXPECT_FLOAT_EQ(2.0f, cell1);
    EXPECT_FLOAT_EQ(0.0f, cell0);
}

// A module that answers twice: the second line within the quiet after the
// reply makes it a wrong reply, repeated once; twice is a failure, and no
// value is kept. The module is served from this thread, so both of its lines
// are on the wire before the engine looks again.
TEST_F(Engine, TwoAnswersToOneRequestAreNoReply) {
    AnalogModule(0, true);
    Fault twice(FaultKind::Double, 2);
    twice.delayMs = 3;
    ASSERT_EQ(1, bus.InjectFault(1, twice));
    auto transact = [&](ScanHandle h) {
        if (ScanBegin(h, &block) != 1) return -1;
        int state = ScanStep();
        for (int i = 0; i < 2000 && state == SS_BUSY; i++) {
            bus.Pump(1);
            WinapiAdvanceClock(1);
            state = ScanStep();
        }
        return state;
    };
    EXPECT_EQ(SS_ERROR, transact(h0));
    EXPECT_STREQ(kProblem, ScanErrorText());
    EXPECT_FLOAT_EQ(0.0f, cell0);
    EXPECT_EQ(1, MonitorHas("Repeat"));
    ScanReset();
    // Once it answers once again, its reading is taken.
    EXPECT_EQ(SS_READY, transact(h1));
    EXPECT_FLOAT_EQ(2.0f, cell1);
}

// A write the port refuses takes the path of a time-out: repeated once, then
// the no-reply text; it is shown once for the port, not at every attempt.
TEST_F(Engine, AFailedWriteIsATimeOutShownOncePerPort) {
    AnalogModule(0);
    CloseCom(1); // the port refuses every write now
    for (ScanHandle h : {h0, h1}) {
        ASSERT_EQ(1, ScanBegin(h, &block));
        EXPECT_EQ(SS_ERROR, StepUntilDone());
        EXPECT_STREQ(kNoReply, ScanErrorText());
        ScanReset();
    }
    EXPECT_EQ(2, MonitorHas("Repeat"));
    EXPECT_EQ(0u, bus.LogCount());
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("!", hostsim::Warnings()[0].caption);
    EXPECT_EQ("WriteCom (RequestCommand)", hostsim::Warnings()[0].text);
    // A write that goes through again ends the silence of the warning.
    ASSERT_EQ(1, OpenCom(1, "Test"));
    EXPECT_EQ(SS_READY, Transact(h0));
    ScanReset();
    CloseCom(1);
    ASSERT_EQ(1, ScanBegin(h1, &block));
    EXPECT_EQ(SS_ERROR, StepUntilDone());
    EXPECT_EQ(2u, hostsim::Warnings().size());
}

TEST_F(Engine, ALineCutShortOnOnePortIsNotJoinedToAReplyOnAnother) {
    WinapiUseRealClock();
    AnalogModule(0);
    modsim::Bus other;
    std::string error;
    ASSERT_EQ(1, other.Open(&error)) << error;
    ASSERT_EQ(1, other.SetLink(ComLink(2)));
    ASSERT_EQ(1, other.AddModule(1, "6050", 0));
    ASSERT_EQ(1, other.InjectFault(1, Fault(FaultKind::NeverEnded)));
    ASSERT_EQ(1, other.Start());
    ComSettings r = enginetest::Row(2);
    ASSERT_EQ(1, PortTableMerge(&r));
    ASSERT_EQ(1, OpenCom(2, "Test"));
    BYTE image = 0;
    ScanHandle h2 = ScanAddDiRead(2, 1, &image, 0);

    // COM2's reply never ends; its bytes are held for COM2.
    ASSERT_EQ(1, ScanBegin(h2, &block));
    EXPECT_EQ(SS_BUSY, ScanStep());
    ASSERT_EQ(1, other.WaitForLog(1, 2000));
    ASSERT_EQ(1, WaitPending(2, ReplyBytes(other)));
    EXPECT_EQ(SS_BUSY, ScanStep());
    ScanReset();
    char reply[COM_REPLY_SIZE];
    // COM1 answers whole and clean.
    ASSERT_EQ(1, WriteCom(1, "#010", 0));
    int result = COM_INCOMPLETE;
    for (int i = 0; i < 2000 && result == COM_INCOMPLETE; i++) {
        usleep(1000);
        result = ReadCom(1, reply, sizeof reply, 0);
    }
    EXPECT_EQ(COM_OK, result);
    EXPECT_STREQ(">+01.000", reply);
    CloseCom(2);
    other.Close();
}

// The faults of a reply, each as the module gives it and when, against the
// request for channel 1 (reading 2.0), on the manual clock by which the
// module's lines take their time on the wire. A late line is one of the
// request for channel 0 let time out before. Verdicts: the reply is taken;
// it is a wrong reply, asked for once more and then taken from the repeat;
// or a line that is no answer to the request is dropped as late and the
// request's own reply taken.
enum Verdict { TAKEN, WRONG_REPLY, LATE_DROPPED };

struct ReplyCase {
    const char* name;
    int lateMs;     // channel 0's request times out first, its reply this late; 0: none
    FaultKind kind; // the fault of channel 1's reply
    int delayMs;
    int length;
    const char* bytes;
    Verdict verdict;
    int repeats; // requests of channel 1 sent once more
};

TEST_F(Engine, EveryReplyFaultHasItsVerdict) {
    const int kTimeOutMs = 400;                // its line guard: 100 ms
    const FaultKind kNone = FaultKind::Unplug; // no fault on channel 1
    const ReplyCase cases[] = {
        {"ItsOwnReply", 0, kNone, 0, 0, nullptr, TAKEN, 0},
        // Late by more than the time-out and its guard, after channel 1's
        // own reply: dropped when the next request is due.
        {"LateByMoreThanTheGuard", 650, kNone, 0, 0, nullptr, TAKEN, 0},
        // Late, alone in the wait of a request that gets no reply at first:
        // not its reply, for the port owes a line and this one began long
        // after a module answers. The request's repeat is answered.
        {"LateAloneInASilentWait", 600, FaultKind::Silence, 0, 0, nullptr, LATE_DROPPED, 1},
        // A line of another module, whole 1 ms after the request came in,
        // while the request was still on the wire.
        {"ALineDuringTheRequest", 0, FaultKind::Stray, 1, 0, ">+09.999", LATE_DROPPED, 0},
        {"ASecondLineBehindTheReply", 0, FaultKind::Double, 1, 0, nullptr, WRONG_REPLY, 1},
        {"ACutValue", 0, FaultKind::CutShort, 0, 5, nullptr, WRONG_REPLY, 1},
        {"AValueTooMany", 0, FaultKind::Inserted, 0, 99, "+09.999", WRONG_REPLY, 1},
        {"EveryChannelToAOneChannelRead", 0, FaultKind::AllChannels, 0, 0, nullptr, WRONG_REPLY, 1},
    };
    BusyTimeOut = kTimeOutMs;
    AnalogModule(0);
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.lateMs > 0) {
            Fault late(FaultKind::Late, 1);
            late.delayMs = c.lateMs;
            late.match = "#010";
            ASSERT_EQ(1, bus.InjectFault(1, late));
            ASSERT_EQ(1, ScanBeginRetry(h0, &block));
            ASSERT_EQ(SS_ERROR, StepUntilDone()) << "channel 0 times out";
            ScanReset();
        }
        MonitorClear();
        int dropped = ScanDroppedLines();
        if (c.kind != kNone) {
            Fault f(c.kind, 1);
            f.delayMs = c.delayMs;
            f.length = c.length;
            f.bytes = c.bytes ? c.bytes : "";
            f.match = "#011";
            ASSERT_EQ(1, bus.InjectFault(1, f));
        }
        cell1 = 0.0f;
        ASSERT_EQ(1, ScanBegin(h1, &block));
        EXPECT_EQ(SS_READY, StepUntilDone());
        EXPECT_FLOAT_EQ(2.0f, cell1) << "channel 1's own reading";
        EXPECT_EQ(c.repeats, MonitorHas("Repeat"));
        if (c.verdict != WRONG_REPLY) {
            // (The rest of a wrong reply's line is dropped before its repeat.)
            EXPECT_EQ(dropped + (c.verdict == LATE_DROPPED), ScanDroppedLines())
                << "dropped as late";
        }
        ScanReset();
        // Whatever is left comes while no request waits, and is dropped
        // before the next request, which reads its own channel.
        WinapiAdvanceClock(static_cast<DWORD>(c.lateMs + kTimeOutMs));
        cell0 = 0.0f;
        EXPECT_EQ(SS_READY, Transact(h0));
        EXPECT_FLOAT_EQ(1.0f, cell0);
        ScanReset();
        if (c.lateMs > 0 && c.verdict == TAKEN) {
            EXPECT_EQ(dropped + 1, ScanDroppedLines()) << "the late line dropped at last";
        }
        WaitHeard();
    }
}

// Every kind whose reply names the module: a reply from another address is
// a wrong reply, asked for once more, then the communication problem; the
// cell keeps what it had.
struct AddressCase {
    int* family;
    const char* model;
    int kind;
    int param;
    float value; // what a write sends; reads start from 0
};

TEST_F(Engine, AReplyFromAnotherAddressIsAWrongReplyOfEveryKindThatNamesItsModule) {
    const AddressCase cases[] = {
        {&FAMILY_TELV, "6011", SCAN_DIO_READ, -1, 0},
        {&FAMILY_TELV, "6011", SCAN_EVENT_READ, -1, 0},
        {&FAMILY_TELV, "6014", SCAN_EVENT_READ_6014, -1, 0},
        {&FAMILY_TELV, "6016", SCAN_EVENT_READ_6016, -1, 0},
        {&FAMILY_TELV, "6080", SCAN_DI_READ_6080, -1, 0},
        {&FAMILY_TELV, "6005", SCAN_DI_READ_6005I, -1, 0},
        {&FAMILY_TELV, "6024", SCAN_DI_READ_6024DI, -1, 0},
        {&FAMILY_TELV, "6016", SCAN_EXCITATION_WRITE_6016, -1, 5.0f},
        {&FAMILY_TELV, "6016", SCAN_DO1_WRITE_6016, -1, 0},
        {&FAMILY_TELV, "6014", SCAN_DO0_WRITE, -1, 0},
        {&FAMILY_XX01, "6024", SCAN_AO_WRITE_6024, 0, 1.0f},
    };
    BusyTimeOut = 400;
    OpenBus();
    ASSERT_EQ(1, ScanListCreate());
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " kind " + std::to_string(c.kind));
        serialtest::SelectFamily(c.family);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        union {
            float f;
            BYTE b[4];
        } cell;
        cell.f = c.value;
        ScanHandle h = ScanListAdd(c.kind, 1, 1, c.param, &cell, 0);
        ASSERT_EQ(1, ScanBegin(h, &block));
        EXPECT_EQ(SS_READY, StepUntilDone()) << "answered as asked";
        ScanReset();
        const float before = cell.f;
        ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::OtherAddress, 2)));
        ASSERT_EQ(1, ScanBegin(h, &block));
        EXPECT_EQ(SS_ERROR, StepUntilDone());
        EXPECT_STREQ(kProblem, ScanErrorText());
        EXPECT_EQ(before, cell.f) << "nothing of a wrong reply is kept";
        EXPECT_EQ(0u, bus.PendingFaults(1));
        ScanReset();
        WaitHeard();
        WinapiAdvanceClock(GuardMs());
    }
    serialtest::SelectFamily(&FAMILY_TELV);
}

struct PolicyCase {
    int stop, setVar, varNr, waitMin;
    int stopCalls;
    std::string globalString3;
    int waiting;
    double resume;
    const char* note;
};

TEST_F(Engine, EveryBranchOfTheErrorPolicy) {
    AnalogModule(0);
    const PolicyCase cases[] = {
        {1, 1, 3, 2, 1, "", 0, -1, nullptr},             // stop: nothing else
        {0, 1, 3, 2, 0, kNoReply, 1, 130.0, "Waiting!"}, // string 3, wait 2 min
        {0, 0, 3, 2, 0, "", 1, 130.0, "Waiting!"},       // wait without the string
        {0, 1, 3, 0, 0, kNoReply, 0, -1, "Continue!"},   // string, retry at once
        {0, 0, 3, 0, 0, "", 0, -1, "Continue!"},         // retry at once
    };
    ASSERT_EQ(1, bus.InjectFault(1, Fault(FaultKind::Silence, modsim::kAlways)));
    for (const PolicyCase& c : cases) {
        hostsim::Start();
        MonitorClear();
        hostsim::StartExperimentClock();
        WinapiAdvanceClock(10000); // experiment time 10 s
        ASSERT_EQ(1, ScanBegin(h0, &block));
        EXPECT_EQ(SS_BUSY, ScanStep());
        EXPECT_EQ(SS_BUSY, StepAfterTimeOut());
        ASSERT_EQ(SS_ERROR, StepAfterTimeOut());
        // The error came two time-outs and the repeat's guard later; the
        // resume time counts from then.
        double now = 10.0 + 2 * (BusyTimeOut + 1) / 1000.0 + GuardMs() / 1000.0;
        MessParam p;
        InitMessParam(&p);
        p.Error_Stop = c.stop;
        p.Error_Set_Var = c.setVar;
        p.Error_Var_Nr = c.varNr;
        p.Error_Wait_Min = c.waitMin;
        int waiting = 0;
        double resume = -1;
        ScanErrorAction(&p, &waiting, &resume);
        EXPECT_EQ(c.stopCalls, hostsim::StopExperimentCalls());
        EXPECT_EQ(c.globalString3, hostsim::GlobalString(3));
        EXPECT_EQ(c.waiting, waiting);
        if (c.resume < 0) {
            EXPECT_EQ(-1.0, resume);
        } else {
            EXPECT_NEAR(now + 120.0, resume, 1e-6);
        }
        if (c.note) {
            EXPECT_EQ(1, MonitorHas(c.note)) << c.note;
        }
        if (c.stop) {
            ASSERT_EQ(1u, hostsim::Warnings().size());
            EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
            EXPECT_EQ(kNoReply, hostsim::Warnings()[0].text);
        } else {
            EXPECT_TRUE(hostsim::Warnings().empty());
        }
        EXPECT_EQ(SS_IDLE, ScanState());
        EXPECT_EQ(-1, ScanCurrentEntry());
    }
}

// The turn of the processing procedures, reduced to the engine: the block at
// the cursor begins its request, steps it, takes the value and passes on.
int Turn(ModuleRecord* self, ScanHandle handle, int* delivered) {
    if (ModuleTableCurrent() != self) return 0;
    int state = ScanStep();
    if (state == SS_IDLE) {
        if (ScanBegin(handle, self) == 1) state = ScanStep();
    }
    if (state == SS_READY) {
        (*delivered)++;
        ScanReset();
        ModuleTableNext();
    }
    return 1;
}

TEST_F(Engine, TheRoundRobinGivesEveryBlockItsTurnInTableOrder) {
    WinapiUseRealClock();
    OpenBus();
    ModuleRecord blocks[3] = {};
    MessParam settings[3];
    float cells[3] = {};
    ScanHandle handles[3];
    ASSERT_EQ(1, ScanListCreate());
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(1, bus.AddModule(i + 1, "6017", 0));
        bus.SetChannel(i + 1, 0, 10.0 * (i + 1));
        InitMessParam(&settings[i]);
        ASSERT_EQ(1, ModuleTableAdd(&blocks[i], &settings[i], 6017));
        handles[i] = ScanAddAiRead(1, i + 1, 0, &cells[i], 0);
    }
    ModuleTableResetCursor();
    int delivered[3] = {};
    for (int cycle = 0; cycle < 20000 && delivered[0] < 2; cycle++) {
        int any = 0;
        for (int i = 0; i < 3 && delivered[0] < 2; i++)
            any |= Turn(&blocks[i], handles[i], &delivered[i]);
        EXPECT_EQ(1, any);
        usleep(100);
    }
    EXPECT_EQ(2, delivered[0]);
    EXPECT_EQ(1, delivered[1]);
    EXPECT_EQ(1, delivered[2]);
    EXPECT_FLOAT_EQ(10.0f, cells[0]);
    EXPECT_FLOAT_EQ(20.0f, cells[1]);
    EXPECT_FLOAT_EQ(30.0f, cells[2]);
    std::vector<std::string> wire = Wire();
    std::vector<std::string> expected = {"#010", "#020", "#030", "#010"};
    EXPECT_EQ(expected, wire);
}

} // namespace
