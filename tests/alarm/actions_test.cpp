// The host actions of the types with alarm outputs and of the counter type,
// as the host asks for them, describes them and performs them: queued by the
// class procedure, sent at the block's next idle turn, refused when their
// condition fails or the queue is full, and a failed one reported with its
// own text through the block's error policy.
#include "alarm_fixture.h"

namespace {

using alarmtest::AlarmTest;
using alarmtest::kND6011;
using alarmtest::kND6011P;
using alarmtest::kND6012;
using alarmtest::kND6080;
using Lines = std::vector<std::string>;

class Actions : public AlarmTest {
  protected:
    // A block whose module is at address 1. Its sweeps are a quarter of an
    // hour apart (the fixture's): once the first is done, an idle turn sends
    // nothing but the queued actions, however long they take.
    hostsim::Block* Running(int menu, const char* model, WORD mask) {
        Load();
        EXPECT_EQ(1, bus.AddModule(1, model, 0));
        hostsim::Block* b = NewBlock(menu);
        if (b == nullptr) return nullptr;
        Channels(b, mask);
        return b;
    }
    // Started, its first sweep done. The real clock throughout: an action's
    // query waits for the module's real reply.
    int StartAndSweep(hostsim::Block* b, size_t outputs) {
        if (Start(b) != 1) return 0;
        hostsim::StartExperimentClock();
        ProcessUntil(b, hostsim::ReleasedOutputBlocks().size() + outputs);
        bus.ClearLog();
        return 1;
    }
    // The next idle turn: only the queued actions go out.
    Lines IdleTurn(hostsim::Block* b) {
        bus.ClearLog();
        hostsim::ProcessBlock(b);
        WaitHeard();
        return Wire();
    }
    int Perform(hostsim::Block* b, int type, int argument) {
        return hostsim::PerformAction(b, type, argument);
    }
};

TEST_F(Actions, EachTypeOffersAndDescribesItsActions) {
    Load();
    struct Offered {
        int type;
        const char* name;
        UINT stringId;
        const char* text;
    };
    struct Case {
        int menu;
        std::vector<Offered> offered;
        std::vector<int> notOffered;
    } cases[] = {
        {kND6011,
         {{13, "ND6011_RESET_COUNTER", 1330, "Reset counter"},
          {14, "ND6011_RESET_ALARM", 1331, "Reset alarm"},
          {15, "ND6011_SET_DOUT", 1332, "Set digital output"},
          {16, "ND6011_RESET_DOUT", 1333, "Reset digital output"}},
         {12, 17, 18}},
        // 21 characters: announced cut to the 20 of the field.
        {kND6011P,
         {{13, "ND6011P_RESET_COUNTE", 1330, "Reset counter"},
          {16, "ND6011P_RESET_DOUT", 1333, "Reset digital output"}},
         {12, 17}},
        {kND6012, {{13, "ND6012_RESET_COUNTER", 1330, "Reset counter"}}, {12, 17}},
        {kND6080,
         {{14, "ND6080_START_COUNTER", 1334, "Start Counter"},
          {15, "ND6080_STOP_COUNTER", 1335, "Stop Counter"},
          {16, "ND6080_RESET_COUNTER", 1330, "Reset counter"},
          {17, "ND6080_SET_DOUT", 1332, "Set digital output"},
          {18, "ND6080_RESET_DOUT", 1333, "Reset digital output"}},
         {13, 19}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menu);
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(1, hostsim::ActionSupported(b, 0));
        for (const Offered& o : c.offered) {
            SCOPED_TRACE(o.name);
            EXPECT_EQ(1, hostsim::ActionSupported(b, o.type));
            hostsim::ActionDescription d;
            ASSERT_EQ(1, hostsim::DescribeAction(b, o.type, &d));
            EXPECT_EQ(plugin.module, d.instance);
            EXPECT_EQ(o.name, d.name);
            EXPECT_EQ(o.stringId, d.stringId);
            EXPECT_EQ(o.text, d.text);
            EXPECT_EQ(0u, d.word1C);
            EXPECT_EQ(0u, d.word24);
            EXPECT_EQ(0u, d.word34);
            EXPECT_TRUE(d.othersKept);
        }
        for (int type : c.notOffered) {
            SCOPED_TRACE(type);
            EXPECT_EQ(0, hostsim::ActionSupported(b, type));
            hostsim::ActionDescription d;
            EXPECT_EQ(0, hostsim::DescribeAction(b, type, &d));
            EXPECT_TRUE(d.untouched);
        }
        // MODMSG_ACTION119 is never answered yes, MODMSG_ACTION120 to MODMSG_ACTION123
        // take nothing.
        ActionRequest request = {c.offered[0].type};
        int lParam = static_cast<int>(reinterpret_cast<uintptr_t>(&request));
        EXPECT_EQ(0, hostsim::SendClassMessage(b, MODMSG_ACTION119, 0, lParam));
        for (int msg = MODMSG_ACTION120; msg <= MODMSG_ACTION123; msg++)
            EXPECT_EQ(0, hostsim::SendClassMessage(b, msg, 1, lParam));
        hostsim::DeleteBlock(b);
    }
}

// Each action is queued when performed and sent at the block's next idle
// turn, before the due time is looked at.
TEST_F(Actions, EachActionIsSentAtTheNextIdleTurn) {
    hostsim::Block* b = Running(kND6011, "6011", 0x1F);
    ASSERT_NE(nullptr, b);
    P(b)->Alarm_On = 0;
    ASSERT_EQ(1, StartAndSweep(b, 5));
    ASSERT_EQ(1, bus.EditModule(1, [](modsim::Module& m) { m.events = 42; }));
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(1, Perform(b, ND6011_RESET_COUNTER, 0));
    EXPECT_TRUE(Wire().empty()) << "nothing is sent by the class procedure";
    EXPECT_EQ((Lines{"@01DO01", "@01CE"}), IdleTurn(b));
    EXPECT_EQ(1u, ModuleAt(1).digitalOutputs);
    EXPECT_EQ(0, ModuleAt(1).events);
    // Set with 1, then reset with 3 before the turn: both commands carry the
    // value after the second. A 6 sets output 1 only.
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(1, Perform(b, ND6011_RESET_DOUT, 3));
    EXPECT_EQ((Lines{"@01DO00", "@01DO00"}), IdleTurn(b));
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 6));
    EXPECT_EQ((Lines{"@01DO02"}), IdleTurn(b));
    EXPECT_TRUE(IdleTurn(b).empty()) << "the queue is empty again";
    Stop(b);
}

TEST_F(Actions, ALatchedAlarmIsResetByItsAction) {
    hostsim::Block* b = Running(kND6012, "6012", 0x01);
    ASSERT_NE(nullptr, b);
    P(b)->Alarm_On = 1;
    P(b)->Alarm_Latched = 1;
    P(b)->Alarm_High = 5.0;
    P(b)->Alarm_Low = -5.0;
    ASSERT_EQ(1, StartAndSweep(b, 1));
    EXPECT_EQ(1, Perform(b, ND6011_RESET_ALARM, 0));
    EXPECT_EQ((Lines{"@01CA"}), IdleTurn(b));
    Stop(b);
}

TEST_F(Actions, AnActionWhoseConditionFailsIsRefused) {
    struct Case {
        const char* what;
        WORD mask;
        int alarmOn, latched;
        int type, argument;
        int answer;
    } cases[] = {
        {"outputs are the alarm's", 0x1F, 1, 1, ND6011_SET_DOUT, 1, 0},
        {"outputs are the alarm's", 0x1F, 1, 1, ND6011_RESET_DOUT, 1, 0},
        {"a momentary alarm has no latch", 0x1F, 1, 0, ND6011_RESET_ALARM, 0, 0},
        {"no alarm", 0x1F, 0, 1, ND6011_RESET_ALARM, 0, 0},
        {"no counter channel", 0x0F, 0, 0, ND6011_RESET_COUNTER, 0, 0},
        {"an action of another type", 0x1F, 0, 0, 20, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = Running(kND6011, "6011", c.mask);
        ASSERT_NE(nullptr, b);
        P(b)->Alarm_On = c.alarmOn;
        P(b)->Alarm_Latched = c.latched;
        P(b)->Alarm_High = 5.0;
        P(b)->Alarm_Low = -5.0;
        ASSERT_EQ(1, StartAndSweep(b, CountOutputs(c.mask)));
        EXPECT_EQ(c.answer, Perform(b, c.type, c.argument));
        EXPECT_EQ(0, R(b)->Actions.Queue_Count);
        EXPECT_EQ(0, R(b)->Pending_DO);
        EXPECT_TRUE(IdleTurn(b).empty());
        Stop(b);
    }
}

// The fourth action before the turn finds the queue full: it is refused
// and changes nothing; the three queued ones go out.
TEST_F(Actions, AFullQueueRefusesTheFourthAction) {
    hostsim::Block* b = Running(kND6011, "6011", 0x01);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, StartAndSweep(b, 1));
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(0, Perform(b, ND6011_SET_DOUT, 2));
    EXPECT_EQ(1, R(b)->Pending_DO);
    EXPECT_EQ((Lines{"@01DO01", "@01DO01", "@01DO01"}), IdleTurn(b));
    Stop(b);
}

// An action performed while no experiment runs is queued; so is one left
// unsent when an experiment stops. The start keeps the queue: both go out
// at the first idle turn of the next experiment.
TEST_F(Actions, ActionsQueuedOutsideAnExperimentGoOutAtItsFirstIdleTurn) {
    hostsim::Block* b = Running(kND6011, "6011", 0x01);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ(1, R(b)->Actions.Queue_Count);
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ(1, R(b)->Actions.Queue_Count);
    hostsim::StartExperimentClock();
    ASSERT_FALSE(IdleTurn(b).empty());
    EXPECT_EQ("@01DO01", Wire().front());
    ProcessUntil(b, hostsim::ReleasedOutputBlocks().size() + 1);
    EXPECT_EQ(1, Perform(b, ND6011_RESET_DOUT, 1));
    Stop(b);
    ASSERT_EQ(1, Start(b));
    hostsim::StartExperimentClock();
    ASSERT_FALSE(IdleTurn(b).empty());
    EXPECT_EQ("@01DO00", Wire().front());
    EXPECT_EQ(0, R(b)->Actions.Queue_Count);
    Stop(b);
}

// A runtime record the host hands over with garbage in the queue's count
// and slots is never indexed by them.
TEST_F(Actions, GarbageInTheQueueIsNeverIndexed) {
    hostsim::Block* b = Running(kND6011, "6011", 0x01);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, StartAndSweep(b, 1));
    R(b)->Actions.Queue_Count = 99;
    R(b)->Actions.Queue_Read = -7;
    R(b)->Actions.Queue_Write = 1234567;
    EXPECT_TRUE(IdleTurn(b).empty());
    R(b)->Actions.Queue_Count = 2;
    R(b)->Actions.Queue_Write = -3;
    EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
    EXPECT_EQ((Lines{"@01DO01"}), IdleTurn(b));
    Stop(b);
}

// A failed action is reported with the text of its own failure. With
// Error_Stop the experiment stops and nothing more is sent; otherwise the
// text goes to the global string and the next action is sent.
TEST_F(Actions, AFailedActionGoesThroughTheErrorPolicyWithItsOwnText) {
    struct Case {
        const char* what;
        modsim::FaultKind fault;
        int stop;
        const char* text;
        Lines sent;
    } cases[] = {
        {"silent, stop",
         modsim::FaultKind::Silence,
         1,
         "Q7011-I-00: Module on COM1 , address 1 doesn't reply.",
         {"@01DO01"}},
        {"wrong reply, go on",
         modsim::FaultKind::WrongFirstChar,
         0,
         "Q7011-I-00: Communication problem. Module on COM1, address 1.",
         {"@01DO01", "@01CE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = Running(kND6011, "6011", 0x11);
        ASSERT_NE(nullptr, b);
        P(b)->Mess.Error_Stop = c.stop;
        P(b)->Mess.Error_Wait_Min = 0;
        P(b)->Mess.Error_Set_Var = 1;
        P(b)->Mess.Error_Var_Nr = 3;
        ASSERT_EQ(1, StartAndSweep(b, 2));
        modsim::Fault f(c.fault, modsim::kAlways);
        f.match = "@01DO";
        ASSERT_EQ(1, bus.InjectFault(1, f));
        EXPECT_EQ(1, Perform(b, ND6011_SET_DOUT, 1));
        EXPECT_EQ(1, Perform(b, ND6011_RESET_COUNTER, 0));
        int stops = hostsim::StopExperimentCalls();
        EXPECT_EQ(c.sent, IdleTurn(b));
        if (c.stop) {
            EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Error", LastWarning()->caption);
            EXPECT_EQ(c.text, LastWarning()->text);
            EXPECT_EQ(0, R(b)->Actions.Queue_Count);
        } else {
            EXPECT_EQ(stops, hostsim::StopExperimentCalls());
            EXPECT_EQ(c.text, hostsim::GlobalString(3));
        }
        Stop(b);
    }
}

// The reply to an action is read into room of the size the query is told:
// a long one is taken whole.
TEST_F(Actions, ALongReplyToAnActionIsTakenWhole) {
    hostsim::Block* b = Running(kND6012, "6012", 0x10);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, StartAndSweep(b, 1));
    modsim::Fault f(modsim::FaultKind::Overlong, 1);
    f.match = "@01CE";
    f.length = 300;
    ASSERT_EQ(1, bus.InjectFault(1, f));
    EXPECT_EQ(1, Perform(b, ND6011_RESET_COUNTER, 0));
    int stops = hostsim::StopExperimentCalls();
    EXPECT_EQ((Lines{"@01CE"}), IdleTurn(b));
    EXPECT_EQ(stops, hostsim::StopExperimentCalls());
    EXPECT_EQ(0u, bus.PendingFaults(1)) << "the long reply was sent";
    Stop(b);
}

TEST_F(Actions, CounterActionsSendTheirCountersOnce) {
    hostsim::Block* b = Running(kND6080, "6080", 0x0F);
    ASSERT_NE(nullptr, b);
    P80(b)->Alarm_On[0] = 1;
    ASSERT_EQ(1, StartAndSweep(b, 4));
    // Both counters by one code.
    EXPECT_EQ(1, Perform(b, ND6080_START_COUNTER, 3));
    EXPECT_EQ((Lines{"$01501", "$01511"}), IdleTurn(b));
    // The first code sends what both asked for, the second nothing.
    EXPECT_EQ(1, Perform(b, ND6080_STOP_COUNTER, 1));
    EXPECT_EQ(1, Perform(b, ND6080_STOP_COUNTER, 2));
    EXPECT_EQ((Lines{"$01500", "$01510"}), IdleTurn(b));
    EXPECT_EQ(0, ModuleAt(1).counter.running[0]);
    // Counter 1 takes its preset.
    EXPECT_EQ(1, Perform(b, ND6080_RESET_COUNTER, 2));
    EXPECT_EQ((Lines{"$0161"}), IdleTurn(b));
    // Output 0 is the alarm of counter 0: only output 1 is the host's.
    EXPECT_EQ(1, Perform(b, ND6080_SET_DOUT, 3));
    EXPECT_EQ(0, Perform(b, ND6080_SET_DOUT, 1));
    EXPECT_EQ((Lines{"@01DO02"}), IdleTurn(b));
    EXPECT_EQ(1, Perform(b, ND6080_RESET_DOUT, 2));
    EXPECT_EQ((Lines{"@01DO00"}), IdleTurn(b));
    Stop(b);
}

TEST_F(Actions, CounterActionsAreRefusedInFrequencyMode) {
    hostsim::Block* b = Running(kND6080, "6080", 0x01);
    ASSERT_NE(nullptr, b);
    P80(b)->Freq_Mode = 1;
    ASSERT_EQ(1, StartAndSweep(b, 1));
    for (int type : {ND6080_START_COUNTER, ND6080_STOP_COUNTER, ND6080_RESET_COUNTER})
        EXPECT_EQ(0, Perform(b, type, 3)) << type;
    EXPECT_EQ(1, Perform(b, ND6080_SET_DOUT, 1));
    EXPECT_EQ((Lines{"@01DO01"}), IdleTurn(b));
    Stop(b);
}

// Masks and outputs left from an earlier experiment do not reach the next:
// the start sets them to 0 and keeps the queue, so a counter code left in it
// sends nothing and an output code writes 0.
TEST_F(Actions, TheCounterMasksStartEmptyInEveryExperiment) {
    hostsim::Block* b = Running(kND6080, "6080", 0x01);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, StartAndSweep(b, 1));
    EXPECT_EQ(1, Perform(b, ND6080_START_COUNTER, 1));
    EXPECT_EQ(1, Perform(b, ND6080_SET_DOUT, 2));
    Stop(b);
    ASSERT_EQ(1, Start(b));
    EXPECT_EQ(0, R80(b)->Start_Mask);
    EXPECT_EQ(0, R80(b)->Pending_DO);
    EXPECT_EQ(2, R80(b)->Actions.Queue_Count);
    hostsim::StartExperimentClock();
    Lines sent = IdleTurn(b);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("@01DO00", sent.front());
    for (const std::string& l : sent)
        EXPECT_NE(0u, l.compare(0, 4, "$015")) << l;
    EXPECT_EQ(0, R80(b)->Actions.Queue_Count);
    Stop(b);
}

} // namespace
