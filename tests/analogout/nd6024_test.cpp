// The multi-channel analog output types ND6022 and ND6024 against simulated
// modules: the start's configuration and watchdog sequences by family; a
// channel written on change only, in the family's format, within its range,
// and retried after a failed write; an input that never delivers beside a
// block that does; a module that falls silent beside a healthy one; the
// setup dialogs' range, safety value and channel buttons.
#include "analogout_fixture.h"

#include "frame/poll.h"

#include "frame/chanbar.h"
#include "modules/analog/nd6022.h"
#include "modules/analog/nd6024.h"
#include "resource.h"

#include <cmath>

namespace {

using aotest::AnalogOutTest;
using aotest::kND6022;
using aotest::kND6024;
using aotest::Lines;

class MultiChannel : public AnalogOutTest {
  protected:
    ND6024_Param* New6024(WORD mask, hostsim::Block** b, int address = 1) {
        ND6024_Param* p = NewBlock<ND6024_Param>(kND6024, Bits(mask), b);
        if (p) {
            p->Channel_Mask = mask;
            p->Module_Address = address;
        }
        return p;
    }
    ND6022_Param* New6022(WORD mask, hostsim::Block** b, int address = 1) {
        ND6022_Param* p = NewBlock<ND6022_Param>(kND6022, Bits(mask), b);
        if (p) {
            p->Channel_Mask = mask;
            p->Module_Address = address;
        }
        return p;
    }
    static int Bits(WORD mask) {
        int n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        return n;
    }
    static ND6024_Param* P24(hostsim::Block* b) { return P<ND6024_Param>(b); }
    static ND6022_Param* P22(hostsim::Block* b) { return P<ND6022_Param>(b); }
    static int Message(hostsim::Block* b, int msg, int wParam, const void* lParam) {
        return hostsim::SendClassMessage(b, msg, wParam,
                                         static_cast<int>(reinterpret_cast<intptr_t>(lParam)));
    }
};

// A 6024 whose firmware reports its watchdog in units of 100 ms.
const modsim::Profile k6024Tenths = {
    "6024", "A2.0", 0x33, 0x00, 0, nullptr, modsim::kAnalogOutput4Commands};

TEST_F(MultiChannel, TheStartConfiguresTheModuleAndItsWatchdogByFamily) {
    struct Case {
        const char* what;
        const char* plugin;
        int menu;
        const char* model; // null: the 6024 in units of 100 ms
        WORD mask;
        int range, slew;
        int watchdogOn, seconds;
        float safe[4];
        Lines lines; // after the model
        // The measurement settings' watchdog after the start: the module's
        // when its sequence set it up on, else off with the time before (9).
        int messOn, messSeconds;
    } cases[] = {
        // clang-format off
        {"ND6022: only channel 1 configured, its slew rate differs; the watchdog off",
         "Telvio.so", kND6022, "7022", 0x2, 2, 1, 0, 6, {},
         {"$0191", "$019121", "~011", "~013000"}, 0, 9},
        {"ND6022: both safety values as the outputs, 7000 form",
         "Telvio.so", kND6022, "7022", 0x3, 2, 0, 1, 2, {1.5f, 12.0f},
         {"$0190", "$019020", "$0191", "$019120", "~011", "#01001.500", "~0150", "#01110.000",
          "~0151", "~013114"}, 1, 2},
        {"ND6024 TELV: channels 0 and 2, 7000 form",
         "Telvio.so", kND6024, "7024", 0x5, 3, 0, 1, 2, {1.5f, 9.0f, -2.5f, 4.0f},
         {"$012", "~011", "#010+01.500", "~0150", "#011+00.000", "~0151", "#012-02.500",
          "~0152", "#013+00.000", "~0153", "~013114"}, 1, 2},
        {"ND6024 default family: 6000 form with the four codes",
         "Plug.so", kND6024, nullptr, 0x3, 3, 0, 1, 6, {5.0f, -5.0f},
         {"$012", "$01F", "~01213CBFF401800800"}, 1, 6},
        {"ND6024 default family, the watchdog off",
         "Plug.so", kND6024, "6024", 0x1, 3, 0, 0, 6, {},
         {"$012", "~012080800800800800"}, 0, 9},
        {"ND6024 in 0 to 20 mA: the codes over -10 to 10 as in every range",
         "Plug.so", kND6024, nullptr, 0x1, 0, 2, 1, 6, {10.0f},
         {"$012", "%0101300608", "$01F", "~01213CFFF800800800"}, 1, 6},
        {"ND6024 in 4 to 20 mA, units of 53 ms",
         "Plug.so", kND6024, "6024", 0x1, 1, 0, 1, 6, {10.0f},
         {"$012", "%0101310600", "$01F", "~012171FFF800800800"}, 1, 6},
        {"ND6024 XX01: each channel's output configured, no watchdog",
         "XX01.so", kND6024, "4024", 0x3, 3, 0, 1, 6, {},
         {"$012", "$017C0R32", "$017C1R32"}, 0, 9},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        if (c.model)
            ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        else
            ASSERT_EQ(1, bus.AddModule(1, k6024Tenths, 0));
        hostsim::Block* b = nullptr;
        MessParam* mess = nullptr;
        if (c.menu == kND6022) {
            ND6022_Param* p = New6022(c.mask, &b);
            ASSERT_NE(nullptr, p);
            for (int n = 0; n < 2; n++) {
                p->Range[n] = c.range;
                p->Slew_Rate[n] = c.slew;
                p->Watchdog_Value[n] = c.safe[n];
            }
            p->Watchdog_On = c.watchdogOn;
            p->Watchdog_Time = c.seconds;
            mess = &p->Mess;
        } else {
            ND6024_Param* p = New6024(c.mask, &b);
            ASSERT_NE(nullptr, p);
            p->Range = c.range;
            p->Slew_Rate = c.slew;
            for (int n = 0; n < 4; n++)
                p->Watchdog_Value[n] = c.safe[n];
            p->Watchdog_On = c.watchdogOn;
            p->Watchdog_Time = c.seconds;
            mess = &p->Mess;
        }
        // Cleared by the start, whatever it was.
        mess->Watchdog_On = 1;
        mess->Watchdog_Time = 9;
        bus.ClearLog();
        EXPECT_EQ(1, Start(b)) << LastWarningText();
        EXPECT_EQ(c.lines, After("$01M"));
        EXPECT_EQ(c.messOn, mess->Watchdog_On);
        EXPECT_EQ(c.messSeconds, mess->Watchdog_Time);
        Stop(b);
        hostsim::DeleteBlock(b);
        bus.RemoveModule(1);
    }
}

// The first value goes out, the same value again does not, a changed one at
// the next cycle; every value within the range; an input that never
// delivered is passed over.
TEST_F(MultiChannel, AChannelIsWrittenWhenItsValueChanges) {
    struct Case {
        const char* plugin;
        int menu;
        const char* model;
        Lines first; // 7.25 on the first input, nothing on the second
        Lines then;  // 7.25 again on the first, -3 on the second
        Lines last;  // 12 on the first
    } cases[] = {
        {"Telvio.so", kND6024, "7024", {"#010+07.250"}, {"#011-03.000"}, {"#010+10.000"}},
        {"Plug.so", kND6024, "6024", {"#01A+07.250"}, {"#01B-03.000"}, {"#01A+10.000"}},
        {"XX03.so", kND6024, "7024", {"#010+07.250"}, {"#011-03.000"}, {"#010+10.000"}},
        {"XX01.so", kND6024, "4024", {"#01C0+07.250"}, {"#01C1-03.000"}, {"#01C0+10.000"}},
        // 0 to 10 V: -3 is written as 0.
        {"Telvio.so", kND6022, "7022", {"#01007.250"}, {"#01100.000"}, {"#01010.000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.plugin << " " << c.model);
        CaseGuard guard(this);
        Load(c.plugin);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        ASSERT_EQ(1, bus.EditModule(
                         1, [](modsim::Module& m) { m.channelType[0] = m.channelType[1] = 2; }));
        hostsim::Block* b = nullptr;
        MessParam* mess = c.menu == kND6022 ? &New6022(0x3, &b)->Mess : &New6024(0x3, &b)->Mess;
        ASSERT_NE(nullptr, b);
        mess->Sample_Distance = 1.0;
        ASSERT_EQ(1, Start(b)) << LastWarningText();
        ClockFromZero();
        bus.ClearLog();
        Feed(b, 0, {7.25f});
        ProcessUntilLines(b, 1);
        EXPECT_EQ(c.first, Wire());

        WinapiAdvanceClock(1000);
        bus.ClearLog();
        Feed(b, 0, {7.25f});
        Feed(b, 1, {-3.0f});
        ProcessUntilLines(b, 1);
        EXPECT_EQ(c.then, Wire());

        // A changed value before the next cycle waits for it.
        bus.ClearLog();
        Feed(b, 0, {12.0f});
        for (int i = 0; i < 20; i++)
            hostsim::ProcessBlock(b);
        WaitHeard();
        EXPECT_EQ(0u, bus.LogCount());
        WinapiAdvanceClock(1000);
        ProcessUntilLines(b, 1);
        EXPECT_EQ(c.last, Wire());
        EXPECT_TRUE(hostsim::Warnings().empty()) << LastWarningText();
        Stop(b);
        hostsim::DeleteBlock(b);
        bus.RemoveModule(1);
    }

    // ND6022 keeps a due time for each channel: after an error wait the
    // waiting channel is due at once, and the other keeps its own schedule.
    CaseGuard guard(this);
    Load("Telvio.so");
    ASSERT_EQ(1, bus.AddModule(1, "7022", 0));
    hostsim::Block* b = nullptr;
    ND6022_Param* p = New6022(0x3, &b);
    ASSERT_NE(nullptr, p);
    p->Mess.Sample_Distance = 1.0;
    p->Mess.Error_Stop = 0;
    p->Mess.Error_Wait_Min = 1;
    ASSERT_EQ(1, Start(b)) << LastWarningText();
    ClockFromZero();
    bus.ClearLog();
    Feed(b, 0, {7.25f});
    Feed(b, 1, {1.0f});
    ProcessUntilLines(b, 2);
    EXPECT_EQ((Lines{"#01007.250", "#01101.000"}), Wire());
    // At 1 s channel 0's write and its repeat are answered wrongly: the
    // block waits a minute.
    modsim::Fault wrong(modsim::FaultKind::WrongFirstChar, 2);
    wrong.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, wrong));
    WinapiAdvanceClock(1000);
    bus.ClearLog();
    Feed(b, 0, {8.0f});
    ProcessUntilLines(b, 2);
    // At 61.5 s channel 0 is written at once and is due again at 62.5 s;
    // channel 1 keeps its schedule of whole seconds.
    WinapiAdvanceClock(60500);
    bus.ClearLog();
    ProcessUntilLines(b, 1);
    EXPECT_EQ((Lines{"#01008.000"}), Wire());
    for (int i = 0; i < 100; i++)
        hostsim::ProcessBlock(b);
    WaitHeard();
    EXPECT_EQ(1u, bus.LogCount());
    bus.ClearLog();
    Feed(b, 0, {9.0f});
    Feed(b, 1, {2.0f});
    WinapiAdvanceClock(500);
    ProcessUntilLines(b, 1);
    EXPECT_EQ((Lines{"#01102.000"}), Wire()) << "channel 1 at 62 s, channel 0 not yet";
    bus.ClearLog();
    WinapiAdvanceClock(500);
    ProcessUntilLines(b, 1);
    EXPECT_EQ((Lines{"#01009.000"}), Wire());
    Stop(b);
}

// A write that fails goes out again at its module's retry time: what was
// last written is what the module took.
TEST_F(MultiChannel, AFailedWriteIsTriedAgain) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7024", 0));
    hostsim::Block* b = nullptr;
    ND6024_Param* p = New6024(0x1, &b);
    ASSERT_NE(nullptr, p);
    p->Mess.Sample_Distance = 1.0;
    p->Mess.Error_Stop = 0;
    p->Mess.Error_Wait_Min = 0;
    ASSERT_EQ(1, Start(b)) << LastWarningText();
    ClockFromZero();
    modsim::Fault wrong(modsim::FaultKind::WrongFirstChar, 2);
    wrong.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, wrong));
    bus.ClearLog();
    Feed(b, 0, {5.0f});
    ProcessUntilLines(b, 2);
    // The write and its repeat failed at once: the module is tried again
    // after the least wait of a failing module (longer than the interval and
    // four times the failed attempt), not before.
    WinapiAdvanceClock(3500);
    for (int i = 0; i < 100; i++)
        hostsim::ProcessBlock(b);
    EXPECT_EQ(2u, bus.LogCount()) << "tried again before its retry time";
    WinapiAdvanceClock(static_cast<DWORD>(POLL_RETRY_LEAST * 1000) - 3500);
    ProcessUntilLines(b, 3);
    EXPECT_EQ((Lines{"#010+05.000", "#010+05.000", "#010+05.000"}), Wire());
    EXPECT_DOUBLE_EQ(5.0, ModuleAt(1).outputs[0]);
    EXPECT_FLOAT_EQ(5.0f, Scan12(b, 0)->Last_Written);
    Stop(b);
}

// A block whose input never delivers does not keep the turn: the block
// beside it writes every cycle.
TEST_F(MultiChannel, ASilentInputDoesNotKeepTheTurn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7024", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7024", 0));
    hostsim::Block* silent = nullptr;
    hostsim::Block* fed = nullptr;
    ND6024_Param* ps = New6024(0x1, &silent, 1);
    ND6024_Param* pf = New6024(0x1, &fed, 2);
    ASSERT_TRUE(ps && pf);
    ps->Mess.Sample_Distance = pf->Mess.Sample_Distance = 0.5;
    hostsim::InputSource ramp;
    ramp.kind = hostsim::INPUT_RAMP;
    ramp.a = 0.0;
    ramp.b = 10.0;
    ramp.c = 5.0;
    ramp.every = 0.5;
    std::string error;
    ASSERT_EQ(1, hostsim::ConnectInput(fed, 0, ramp, &error)) << error;
    hostsim::ExperimentOptions o = Manual(5.0);
    auto started = o.onStarted;
    o.onStarted = [&] {
        started();
        bus.ClearLog();
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_GE(Starting("#020").size(), 9u);
    EXPECT_EQ(0u, Starting("#01").size());
}

TEST_F(MultiChannel, AFailingBlockLeavesTheHealthyOneItsRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7024", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7024", 0));
    hostsim::Block* healthy = nullptr;
    hostsim::Block* failing = nullptr;
    ND6024_Param* ph = New6024(0x1, &healthy, 1);
    ND6024_Param* pf = New6024(0x1, &failing, 2);
    ASSERT_TRUE(ph && pf);
    ExpectTheHealthyKeepsItsRate(healthy, &ph->Mess, 1, failing, &pf->Mess, 2);
}

TEST_F(MultiChannel, TheStartFailuresOfTheModule) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7024", 0));
    ASSERT_EQ(1, bus.AddModule(3, "6021", 0));
    struct Case {
        const char* what;
        int address;
        int range;
        int silent; // no module answers the start
        int stops;
        const char* text;
    } cases[] = {
        {"an address outside the module range", 300, 3, 1, 1, "Module address not configurated."},
        {"a range the type does not have", 1, 6, 0, 1,
         "Unknown output range in the settings of this module."},
        {"no module at the address", 2, 3, 1, 0, telviotest::kNoReply},
        {"another model", 3, 3, 0, 1, telviotest::kWrongModule},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = nullptr;
        ND6024_Param* p = New6024(0x1, &b, c.address);
        ASSERT_NE(nullptr, p);
        p->Range = c.range;
        int stops = hostsim::StopExperimentCalls();
        // Four probes of a silent module cost no real time.
        EXPECT_EQ(0, c.silent ? StartSilent(b) : Start(b));
        EXPECT_EQ(stops + c.stops, hostsim::StopExperimentCalls());
        EXPECT_EQ(c.text, LastWarningText());
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

TEST_F(MultiChannel, TheDialogHoldsTheSafetyValuesWithinTheRange) {
    Load();
    struct Case {
        int menu;
        const char* range; // picked, or null
        const char* typed;
        float stored;
        const char* unit;
    } cases[] = {
        {kND6024, nullptr, "25", 10.0f, "V"},      {kND6024, nullptr, "-12", -10.0f, "V"},
        {kND6024, "0 - 20 mA", "25", 20.0f, "mA"}, {kND6024, "4 - 20 mA", "-1", 4.0f, "mA"},
        {kND6022, "4...20 mA", "2", 4.0f, "mA"},   {kND6022, "0...10 V", "12", 10.0f, "V"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " " << c.typed);
        hostsim::Block* b = nullptr;
        if (c.menu == kND6022)
            New6022(0x3, &b)->Watchdog_On = 1;
        else
            New6024(0x3, &b)->Watchdog_On = 1;
        ASSERT_NE(nullptr, b);
        const char* dialog = c.menu == kND6022 ? "DLG_ND6022_WITH_RANGE" : "DLG_ND6024_WITH_RANGE";
        WinapiDialogsReset();
        if (c.range) WinapiQueuePick(IDC_AO_RANGE, c.range);
        WinapiQueueType(IDC_AO_SAFE_VALUE, c.typed);
        WinapiQueueOk();
        EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
        EXPECT_EQ(0, WinapiFailedActionCount());
        float stored = c.menu == kND6022 ? P22(b)->Watchdog_Value[0] : P24(b)->Watchdog_Value[0];
        EXPECT_FLOAT_EQ(c.stored, stored);
        char text[64];
        WinapiDialogText(dialog, IDC_AO_SAFE_UNIT, text, sizeof text);
        EXPECT_STREQ(c.unit, text);
        if (c.menu == kND6024) {
            // The module's range gives every channel its unit.
            EXPECT_STREQ(c.unit, P24(b)->Unit[0]);
            EXPECT_STREQ(c.unit, P24(b)->Unit[3]);
        } else {
            EXPECT_STREQ(c.unit, P22(b)->Unit[0]);
            EXPECT_STREQ("V", P22(b)->Unit[1]);
        }
        hostsim::DeleteBlock(b);
    }
}

// With the watchdog off the safety values stay as they were; switched on,
// the dialog shows them.
TEST_F(MultiChannel, SafetyValuesSurviveTheDialogWithTheWatchdogOff) {
    Load();
    hostsim::Block* b = nullptr;
    ND6024_Param* p = New6024(0x3, &b);
    ASSERT_NE(nullptr, p);
    p->Watchdog_Value[0] = 2.5f;
    p->Watchdog_Value[1] = -4.0f;
    WinapiDialogsReset();
    WinapiQueueMouseDown(IDC_CHANNEL_FIRST + 1);
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_FLOAT_EQ(2.5f, p->Watchdog_Value[0]);
    EXPECT_FLOAT_EQ(-4.0f, p->Watchdog_Value[1]);
    char text[64];
    WinapiDialogText("DLG_ND6024_WITH_RANGE", IDC_AO_SAFE_VALUE, text, sizeof text);
    EXPECT_STREQ("---", text);

    WinapiDialogsReset();
    WinapiQueueClick(IDC_AO_WATCHDOG_ON);
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_EQ(1, p->Watchdog_On);
    EXPECT_FLOAT_EQ(2.5f, p->Watchdog_Value[0]);
    WinapiDialogText("DLG_ND6024_WITH_RANGE", IDC_AO_SAFE_VALUE, text, sizeof text);
    EXPECT_STREQ("2.5", text);
}

// The ND6022 shows its two channel buttons; a block on channel 1 alone stays
// on channel 1.
TEST_F(MultiChannel, TheND6022DialogKeepsItsChannels) {
    Load();
    hostsim::Block* b = nullptr;
    ND6022_Param* p = New6022(0x2, &b);
    ASSERT_NE(nullptr, p);
    WinapiDialogsReset();
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(0x2, p->Channel_Mask);
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(2, static_cast<int>(b->record.aiInputChannel[0]));
    WinapiControlInfo info;
    for (int i = 0; i < 4; i++) {
        ASSERT_EQ(1, WinapiDialogControl("DLG_ND6022_WITH_RANGE", IDC_CHANNEL_FIRST + i, &info));
        EXPECT_EQ(i < 2, info.visible != 0) << "button " << i;
    }
    ASSERT_EQ(1, WinapiDialogControl("DLG_ND6022_WITH_RANGE", IDC_AO_WATCHDOG_ON, &info));
    EXPECT_TRUE(info.visible);
}

TEST_F(MultiChannel, TheDialogOfTheFamily) {
    struct Case {
        const char* plugin;
        const char* dialog;
        int watchdogShown;
    } cases[] = {
        {"Plug.so", "DLG_ND6024", 1},
        {"XX01.so", "DLG_ND6024", 0},
        {"XX03.so", "DLG_ND6024_WITH_RANGE", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plugin);
        Load(c.plugin);
        hostsim::Block* b = nullptr;
        ASSERT_NE(nullptr, New6024(0x1, &b));

        WinapiDialogsReset();
        WinapiQueueOk();
        EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
        EXPECT_EQ(1, WinapiDialogFound(c.dialog));
        WinapiControlInfo info;
        ASSERT_EQ(1, WinapiDialogControl(c.dialog, IDC_AO_WATCHDOG_ON, &info));
        EXPECT_EQ(c.watchdogShown, info.visible != 0);
    }
}

TEST_F(MultiChannel, TheClassMessagesStayWithinTheRecord) {
    Load();
    hostsim::Block* b22 = nullptr;
    hostsim::Block* b24 = nullptr;
    ND6022_Param* p22 = New6022(0x1, &b22);
    ND6024_Param* p24 = New6024(0x1, &b24);
    ASSERT_TRUE(p22 && p24);
    ModuleRecord other = {};
    struct {
        hostsim::Block* b;
        UINT inputs, outputs;
        int answer;
    } layouts[] = {
        {b22, 2, 0, 1}, {b22, 3, 0, 0}, {b22, 1, 1, 0},
        {b24, 4, 0, 1}, {b24, 5, 0, 0}, {b24, 0, 0, 0},
    };
    for (const auto& l : layouts) {
        other.uInputs = l.inputs;
        other.uOutputs = l.outputs;
        EXPECT_EQ(l.answer, Message(l.b, MODMSG_CHECK_LAYOUT, 0, &other))
            << l.inputs << " inputs, " << l.outputs << " outputs";
    }
    // The copy flags and names of the four channels, nothing beyond.
    p24->Range = 3;
    p24->Slew_Rate = 5;
    Message(b24, MODMSG_SET_NAME_COPY, 1, nullptr);
    for (int n = 0; n < 4; n++)
        EXPECT_EQ(1, p24->Copy_Channel_Name[n]);
    EXPECT_EQ(3, p24->Range);
    EXPECT_EQ(5, p24->Slew_Rate);
    Message(b24, MODMSG_INPUT_NAME, 3, "Oven");
    Message(b24, MODMSG_INPUT_NAME, 4, "Beyond");
    EXPECT_STREQ("Oven", p24->Channel_Name[3]);
    EXPECT_EQ(1, p24->Module_Address);
    // ND6024 hands over four names; the rest of the partner's record stays.
    ModuleRecord partner = {};
    std::vector<unsigned char> exchange(1488, 0xAB);
    partner.pParam = exchange.data();
    EXPECT_EQ(1, Message(b24, MODMSG_EXPORT_NAMES, 0, &partner));
    const ChannelExchange* x = reinterpret_cast<const ChannelExchange*>(exchange.data());
    EXPECT_STREQ("Oven", x->aszNames[3]);
    EXPECT_EQ(0xAB, static_cast<unsigned char>(x->aszNames[4][0]));
    EXPECT_EQ(1, x->bCopyFlags);
    EXPECT_EQ(0, x->bUnits);
    // ND6022 takes the names of its channels only.
    Message(b22, MODMSG_SET_NAME_COPY, 1, nullptr);
    Message(b22, MODMSG_INPUT_NAME, 1, "Valve");
    Message(b22, MODMSG_INPUT_NAME, 2, "Beyond");
    EXPECT_STREQ("Valve", p22->Channel_Name[1]);
    EXPECT_EQ(0, p22->Copy_Channel_Name[2]);
    EXPECT_STRNE("Beyond", p22->Channel_Name[2]);
}

// The schemas name Watchdog_On and Watchdog_Time twice, the module's own
// fields and the measurement settings' at other offsets: a worksheet keeps
// both, each under its name in schema order and as it was saved, also a
// time beyond what the dialogs offer.
TEST_F(MultiChannel, AWorksheetKeepsBothWatchdogFields) {
    Load();
    hostsim::Block* b24 = nullptr;
    hostsim::Block* b22 = nullptr;
    ND6024_Param* p24 = New6024(0x3, &b24);
    ND6022_Param* p22 = New6022(0x1, &b22, 2);
    ASSERT_TRUE(p24 && p22);
    p24->Watchdog_On = 1;
    p24->Watchdog_Time = 9;
    p24->Mess.Watchdog_On = 0;
    p24->Mess.Watchdog_Time = 4;
    p22->Watchdog_On = 0;
    p22->Watchdog_Time = 40;
    p22->Mess.Watchdog_On = 1;
    p22->Mess.Watchdog_Time = 0;
    std::string text, error;
    ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
    size_t first = text.find("  field Watchdog_On BOOL = 1\n");
    ASSERT_NE(std::string::npos, first) << text;
    EXPECT_NE(std::string::npos, text.find("  field Watchdog_On BOOL = 0\n", first)) << text;
    EXPECT_LT(text.find("  field Watchdog_Time int = 9\n"),
              text.find("  field Watchdog_Time int = 4\n"));

    ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    ASSERT_EQ(2, hostsim::BlockCount());
    ND6024_Param* q24 = P24(hostsim::BlockAt(0));
    ND6022_Param* q22 = P22(hostsim::BlockAt(1));
    EXPECT_EQ(1, q24->Watchdog_On);
    EXPECT_EQ(9, q24->Watchdog_Time);
    EXPECT_EQ(0, q24->Mess.Watchdog_On);
    EXPECT_EQ(4, q24->Mess.Watchdog_Time);
    EXPECT_EQ(0, q22->Watchdog_On);
    EXPECT_EQ(40, q22->Watchdog_Time);
    EXPECT_EQ(1, q22->Mess.Watchdog_On);
    EXPECT_EQ(0, q22->Mess.Watchdog_Time);

    // A third line of the name has no field left.
    size_t at = text.find("  field Watchdog_On BOOL = 1\n");
    std::string three = text.substr(0, at) + "  field Watchdog_On BOOL = 0\n" + text.substr(at);
    EXPECT_EQ(0, hostsim::WorksheetFromText(three, &error));
    EXPECT_NE(std::string::npos, error.find("field Watchdog_On given twice")) << error;
}

} // namespace
