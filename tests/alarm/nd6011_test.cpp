// The analog input types with alarm outputs (ND6011, ND6011P) against a
// simulated module: the start sequence with its read-compare-write of the
// range, the alarm mode and limits and the watchdog forms by model and
// family; the five channel kinds delivered from three requests; the setup
// dialog's alarm group; a failing block beside a healthy one.
#include "alarm_fixture.h"

#include "modules/analog/nd6018.h"
#include "serial/scan.h"

#include <cmath>
#include <string.h>

namespace {

using alarmtest::AlarmTest;
class AlarmInput : public AlarmTest {};
using alarmtest::kND6011;
using alarmtest::kND6011P;
using alarmtest::kND6012;
using Lines = std::vector<std::string>;

TEST_F(AlarmInput, TheStartWritesOnlyWhatDiffersAndTheWatchdogByModelAndFamily) {
    struct Case {
        const char* what;
        const char* plugin;
        int menu;
        const char* model;
        // the module as it was found
        int typeCode;
        char mode;
        double high, low;
        // the block
        int range, alarmOn, latched;
        double blockHigh, blockLow;
        WORD mask;
        int watchdogOn;
        WORD watchdogValue;
        Lines lines;
    } cases[] = {
        // clang-format off
        // what; plug-in, type, model, the module's type code, alarm mode and limits;
        // the block's range, alarm on, latched, limits, mask, watchdog on and value;
        // the lines after the model
        {"TELV, 6011: everything differs, the 6000 form",
         "Telvio.so", kND6011, "6011", 0x0E, '0', 0.0, 0.0,
         5, 1, 1, 2.0, -1.0, 0x1F, 1, 0x0103,
         {"~011", "$012", "%0101050600", "@01DI", "@01EAL", "@01RH", "@01HI+2.0000", "@01RL",
          "@01LO-1.0000", "@01CA", "@01CE", "$01F", "~01217103"}},
        {"TELV, 7011: everything matches within the tolerance, watchdog off",
         "Telvio.so", kND6011, "7011", 5, '1', 2.50001, -1.5,
         5, 1, 0, 2.5, -1.5, 0x01, 0, 0,
         {"~011", "$012", "@01DI", "@01RH", "@01RL", "@01CA", "~013000"}},
        {"TELV, 7011: a limit of 2.6 is not 2.5",
         "Telvio.so", kND6011, "7011", 5, '1', 2.6, -1.5,
         5, 1, 0, 2.5, -1.5, 0x01, 0, 0,
         {"~011", "$012", "@01DI", "@01RH", "@01HI+2.5000", "@01RL", "@01CA", "~013000"}},
        {"default family, 7011: alarm switched off, the 7000 form",
         "Plug.so", kND6011, "7011", 0x0E, '1', 0.0, 0.0,
         5, 0, 0, 0.0, 0.0, 0x01, 1, 0x0103,
         {"$012", "%0101050600", "@01DI", "@01DA", "~0150303", "~01313C"}},
        {"default family: limits as FormatValue gives them",
         "Plug.so", kND6011, "6011", 5, '2', 0.0, 0.0,
         5, 1, 1, 2.0, -0.5, 0x01, 0, 0,
         {"$012", "@01DI", "@01RH", "@01HI+02.000", "@01RL", "@01LO-00.500", "@01CA", "~01200000"}},
        {"default family: a limit just below a width rounds into the next width",
         "Plug.so", kND6011, "6011", 15, '2', 0.0, 0.0,
         15, 1, 1, 999.996, 99.9999, 0x01, 0, 0,
         {"$012", "@01DI", "@01RH", "@01HI+1000.0", "@01RL", "@01LO+100.00", "@01CA", "~01200000"}},
        {"default family, 4011: no watchdog command",
         "Plug.so", kND6011, "4011", 5, '0', 0.0, 0.0,
         5, 0, 0, 0.0, 0.0, 0x01, 1, 0,
         {"$012", "@01DI"}},
        {"TELV, 4011: the 7000 form",
         "Telvio.so", kND6011, "4011", 5, '0', 0.0, 0.0,
         5, 0, 0, 0.0, 0.0, 0x01, 0, 0,
         {"~011", "$012", "@01DI", "~013000"}},
        {"ND6011P type L: its own limit format",
         "Telvio.so", kND6011P, "7011", 23, '1', 0.0, 0.0,
         23, 1, 0, 500.0, -100.0, 0x01, 0, 0,
         {"~011", "$012", "@01DI", "@01RH", "@01HI+500.00", "@01RL", "@01LO-100.00", "@01CA",
          "~013000"}},
        {"ND6012 in TELV, +/- 500 mV: the limits as held, in volts",
         "Telvio.so", kND6012, "6012", 11, '1', 0.0, 0.0,
         11, 1, 0, 0.25, -0.1, 0x01, 0, 0,
         {"$012", "@01DI", "@01RH", "@01HI+000.25", "@01RL", "@01LO-000.10", "@01CA",
          "~01200000"}},
        {"ND6012 in TELV: no preamble, ranges of its own, the 6000 form",
         "Telvio.so", kND6012, "6012", 0x08, '0', 0.0, 0.0,
         9, 0, 0, 0.0, 0.0, 0x10, 0, 0,
         {"$012", "%0101090600", "@01DI", "@01CE", "~01200000"}},
        {"TELV, 7011: limits saved beyond the range go out as saved",
         "Telvio.so", kND6011, "7011", 5, '1', 0.0, 0.0,
         5, 1, 0, 4.0, -3.0, 0x01, 0, 0,
         {"~011", "$012", "@01DI", "@01RH", "@01HI+4.0000", "@01RL", "@01LO-3.0000", "@01CA",
          "~013000"}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        ASSERT_EQ(1, bus.EditModule(1, [&](modsim::Module& m) {
            m.typeCode = static_cast<unsigned char>(c.typeCode);
            m.alarm.mode = c.mode;
            m.alarm.high = c.high;
            m.alarm.low = c.low;
        }));
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        Channels(b, c.mask);
        P(b)->Range = c.range;
        P(b)->Alarm_On = c.alarmOn;
        P(b)->Alarm_Latched = c.latched;
        P(b)->Alarm_High = c.blockHigh;
        P(b)->Alarm_Low = c.blockLow;
        P(b)->Mess.Watchdog_On = c.watchdogOn;
        P(b)->Mess.Watchdog_Time = 6;
        P(b)->Mess.Watchdog_Value = c.watchdogValue;
        // The block as a worksheet saved and loaded it.
        std::string text, error;
        ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
        ASSERT_EQ(1, hostsim::BlockCount());
        b = hostsim::BlockAt(0);
        ASSERT_EQ(1, b->afterLoadAnswer);
        bus.ClearLog();
        EXPECT_EQ(1, Start(b)) << (LastWarning() ? LastWarning()->text : "");
        EXPECT_EQ(c.lines, AfterModel());
        modsim::Module m = ModuleAt(1);
        EXPECT_EQ(c.range, m.typeCode);
        if (c.alarmOn) {
            EXPECT_EQ(c.latched ? '2' : '1', m.alarm.mode);
            // As the limit text rounds it.
            EXPECT_NEAR(c.blockHigh, m.alarm.high, 0.005);
            EXPECT_NEAR(c.blockLow, m.alarm.low, 0.005);
        } else {
            EXPECT_EQ('0', m.alarm.mode);
        }
        Stop(b);
        bus.RemoveModule(1);
    }
}

// One sweep: the requests of the channels in use, in the order of the
// outputs, one "@AADI" for the digital outputs that follow each other.
TEST_F(AlarmInput, EveryChannelKindIsDeliveredFromItsRequest) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
    bus.SetChannel(1, 0, 1.25);
    // Digital output 0 on, 1 off, digital input 0 on, the counter at -1.
    ASSERT_EQ(1, bus.EditModule(1, [](modsim::Module& m) {
        m.typeCode = 5;
        m.digitalOutputs = 0x01;
        m.digitalInputs = 0x01;
    }));
    struct Case {
        WORD mask;
        Lines requests;
        std::vector<float> values;
    } cases[] = {
        {0x1F, {"#01", "@01DI", "@01RE"}, {1.25f, 5.0f, 0.0f, 5.0f, 65535.0f}},
        {0x13, {"#01", "@01DI", "@01RE"}, {1.25f, 5.0f, 65535.0f}},
        {0x0C, {"@01DI"}, {0.0f, 5.0f}},
        {0x0A, {"@01DI"}, {5.0f, 5.0f}},
        {0x02, {"@01DI"}, {5.0f}},
        {0x12, {"@01DI", "@01RE"}, {5.0f, 65535.0f}},
        {0x11, {"#01", "@01RE"}, {1.25f, 65535.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask 0x" << std::hex << c.mask);
        CaseGuard guard(this);
        hostsim::Block* b = NewBlock(kND6011);
        ASSERT_NE(nullptr, b);
        Channels(b, c.mask);
        ASSERT_EQ(1, Start(b));
        // The counter was cleared at start; it reads -1 from now on.
        ASSERT_EQ(1, bus.EditModule(1, [](modsim::Module& m) { m.events = -1; }));
        ClockFromZero();
        bus.ClearLog();
        size_t first = hostsim::ReleasedOutputBlocks().size();
        ProcessUntil(b, first + c.values.size());
        const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
        ASSERT_EQ(first + c.values.size(), out.size());
        for (size_t j = 0; j < c.values.size(); j++) {
            EXPECT_EQ(static_cast<int>(j), out[first + j].output);
            EXPECT_EQ(0.0, out[first + j].time);
            ASSERT_EQ(1u, out[first + j].samples.size());
            EXPECT_FLOAT_EQ(c.values[j], out[first + j].samples[0]) << "output " << j;
        }
        // Nothing more is due: the sweep sent exactly its requests.
        EXPECT_EQ(0, hostsim::ProcessBlock(b));
        EXPECT_EQ(c.requests, Wire());
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

TEST_F(AlarmInput, TheAlarmOutputsAreTheModulesOwn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
    bus.SetChannel(1, 0, 3.0);
    hostsim::Block* b = NewBlock(kND6011);
    ASSERT_NE(nullptr, b);
    Channels(b, 0x07);
    P(b)->Alarm_On = 1;
    P(b)->Alarm_High = 2.5;
    P(b)->Alarm_Low = 0.5;
    ASSERT_EQ(1, Start(b));
    ClockFromZero();
    ProcessUntil(b, 3);
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    ASSERT_EQ(3u, out.size());
    EXPECT_FLOAT_EQ(3.0f, out[0].samples[0]);
    EXPECT_FLOAT_EQ(0.0f, out[1].samples[0]); // not below the low limit
    EXPECT_FLOAT_EQ(5.0f, out[2].samples[0]); // above the high limit
    Stop(b);
}

TEST_F(AlarmInput, ABlockWithoutChannelsRegistersNothingAndPassesTheTurn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
    hostsim::Block* b = NewBlock(kND6011);
    ASSERT_NE(nullptr, b);
    Channels(b, 0);
    ASSERT_EQ(1, Start(b));
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("No channel of this module is in use.", LastWarning()->text);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_EQ(-1, R(b)->AI_Handle);
    EXPECT_EQ(-1, R(b)->DIO_Handle);
    EXPECT_EQ(-1, R(b)->Counter_Handle);
    ClockFromZero();
    bus.ClearLog();
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(0, hostsim::ProcessBlock(b));
        WinapiAdvanceClock(600);
    }
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    EXPECT_TRUE(hostsim::ReleasedOutputBlocks().empty());
    Stop(b);
}

// A range the type does not have, or a limit the module cannot be told (no
// number, or a text beyond the command), stops the start before anything is
// written.
TEST_F(AlarmInput, SettingsOutsideTheTypeStopTheStart) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7011", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7012", 0));
    const char* const kRange = "Unknown input range in the settings of this module.";
    const char* const kAlarm = "Alarm setting out of range in the settings of this module.";
    struct Case {
        const char* what;
        int menu;
        int address;
        int range;
        double high;
        const char* text;
    } cases[] = {
        {"a code between the groups", kND6011, 1, 7, 0.0, kRange},
        {"type L is ND6011P's", kND6011, 1, 23, 0.0, kRange},
        {"beyond every table", kND6011P, 1, 99, 0.0, kRange},
        {"a voltage range of ND6012", kND6011, 1, 8, 0.0, kRange},
        {"a range of ND6011", kND6012, 2, 5, 0.0, kRange},
        {"a limit that is no number", kND6011, 1, 5, NAN, kAlarm},
        {"an infinite limit", kND6012, 2, 9, INFINITY, kAlarm},
        {"a limit whose text overruns the command", kND6011, 1, 5, 1e30, kAlarm},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = NewBlock(c.menu, c.address);
        ASSERT_NE(nullptr, b);
        P(b)->Range = c.range;
        P(b)->Alarm_On = 1;
        P(b)->Alarm_High = c.high;
        bus.ClearLog();
        int stops = hostsim::StopExperimentCalls();
        EXPECT_EQ(0, Start(b));
        EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ(c.text, LastWarning()->text);
        // Nothing but the probe and the model.
        for (const std::string& line : Wire())
            EXPECT_EQ('$', line[0]) << line;
        EXPECT_EQ(2u, Wire().size());
        Stop(b);
        hostsim::DeleteBlock(b);
    }
    hostsim::Block* b = NewBlock(kND6011P);
    ASSERT_NE(nullptr, b);
    P(b)->Range = 24; // type M is ND6011P's
    EXPECT_EQ(1, Start(b));
    Stop(b);
}

TEST_F(AlarmInput, EachTypeAcceptsItsOwnModels) {
    Load();
    struct Case {
        int menu;
        const char* model;
        bool nameless; // the module reports no model
        int started;
    } cases[] = {
        {kND6011, "4011", false, 1},  {kND6011P, "4011", false, 0}, {kND6011, "6011", true, 1},
        {kND6011P, "7011", true, 0},  {kND6012, "8014", false, 1},  {kND6012, "6011", false, 0},
        {kND6011P, "6011", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " " << c.model << " " << c.nameless);
        CaseGuard guard(this);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        if (c.nameless) {
            modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
            f.match = "$01M";
            ASSERT_EQ(1, bus.InjectFault(1, f));
        }
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(c.started, Start(b));
        if (!c.started) {
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Wrong module type connected.", LastWarning()->text);
        }
        Stop(b);
        hostsim::DeleteBlock(b);
        bus.RemoveModule(1);
    }
}

// A start that finds the scan list full: the list stops the experiment and
// says so under "Error"; ND6011, ND6011P and ND6080 say it once more under
// the block's name, ND6012 does not. The list is filled by the repeated
// starts of a thermocouple block of eight channels: no block stops in
// between, so the list is not freed.
TEST_F(AlarmInput, AFullScanListIsShownOnceMoreUnderTheBlocksName) {
    const char kFull[] = "Too many XX02 channels in the worksheet.";
    struct Case {
        const char* plugin;
        int menu;
        int address;
        int shown;
    } cases[] = {
        {"Plug.so", kND6011, 1, 1},
        {"Plug.so", kND6012, 2, 0},
        {"Plug.so", alarmtest::kND6080, 3, 1},
        {"Telvio.so", kND6011P, 1, 1},
    };
    const char* filled = nullptr; // the family whose list is full
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.plugin << " " << c.menu);
        if (!filled || strcmp(filled, c.plugin) != 0) {
            // A plug-in bound anew: the blocks of the last one are stopped
            // and gone.
            Load(c.plugin);
            filled = c.plugin;
            ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
            ASSERT_EQ(1, bus.AddModule(2, "6012", 0));
            ASSERT_EQ(1, bus.AddModule(3, "6080", 0));
            ASSERT_EQ(1, bus.AddModule(4, "6018", 0));
            hostsim::Block* filler = hostsim::CreateBlock(hostsim::FindClassByMenuId(IDM_ND6018));
            ASSERT_NE(nullptr, filler);
            ND6018_Param* f = reinterpret_cast<ND6018_Param*>(filler->param.data());
            f->Module_Address = 4;
            f->Com.Port_Number = 1;
            f->Channel_Mask = 0xFF;
            filler->record.uOutputs = 8;
            for (int i = 0; i < SCAN_LIST_SIZE / 8; i++)
                ASSERT_EQ(1, Start(filler)) << i << ": " << LastWarningText();
            ASSERT_TRUE(hostsim::Warnings().empty()) << LastWarningText();
        }
        hostsim::Block* b = NewBlock(c.menu, c.address);
        ASSERT_NE(nullptr, b);
        const size_t before = hostsim::Warnings().size();
        EXPECT_EQ(0, Start(b));
        std::vector<hostsim::Warning> shown(hostsim::Warnings().begin() +
                                                static_cast<std::ptrdiff_t>(before),
                                            hostsim::Warnings().end());
        ASSERT_EQ(c.shown ? 2u : 1u, shown.size());
        EXPECT_EQ("Error", shown[0].caption);
        EXPECT_EQ(kFull, shown[0].text);
        if (c.shown) {
            EXPECT_EQ(b->record.szName, shown[1].caption);
            EXPECT_EQ(kFull, shown[1].text);
        }
        // No block is stopped before the last case of the family: a stop
        // frees the list.
    }
    EndCase();
}

TEST_F(AlarmInput, AModuleRefusingAConfigurationCommandStopsTheExperiment) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
    modsim::Fault f(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
    f.match = "@01EA";
    f.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, f));
    hostsim::Block* b = NewBlock(kND6011);
    ASSERT_NE(nullptr, b);
    P(b)->Alarm_On = 1;
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ(b->record.szName, LastWarning()->caption);
    EXPECT_EQ("Communication problem with this module occured.", LastWarning()->text);
    EXPECT_EQ("@01EAM", Wire().back());
    Stop(b);
}

// The limits a user types are held within the bounds of their range, each
// thermocouple type its own; the ND6012 takes and shows them in the unit of
// the range.
TEST_F(AlarmInput, TheDialogHoldsTheLimitsWithinTheirOwnRange) {
    Load();
    struct Case {
        int menu;
        const char* dialog;
        const char* range;
        const char* high;
        const char* low;
        double storedHigh, storedLow;
        const char* shownHigh;
        const char* shownLow;
        const char* unit;
    } cases[] = {
        {kND6011, "DLG_ND6011", "Type C 0\260 - 2320 \260C", "2000", "-300", 2000.0, 0.0, "+2000.0",
         "+00.000", "\260C"},
        {kND6011P, "DLG_ND6011", "Type L -200\260 - 800 \260C", "900", "-250", 800.0, -200.0,
         "+800.00", "-200.00", "\260C"},
        {kND6011P, "DLG_ND6011", "Type M -200\260 - 100 \260C", "50", "-150", 50.0, -150.0,
         "+50.000", "-150.00", "\260C"},
        {kND6011, "DLG_ND6011", "+/- 2.5 V", "3", "-1,5", 2.5, -1.5, "+02.500", "-01.500", "V"},
        {kND6012, "DLG_ND6012", "+/- 500 mV", "250", "-600", 0.25, -0.5, "+250.00", "-500.00",
         "mV"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        WinapiDialogsReset();
        WinapiQueuePick(IDC_ND6011_RANGE, c.range);
        WinapiQueueClick(IDC_ALARM_ON);
        WinapiQueueClick(IDC_ALARM_LATCH);
        WinapiQueueType(IDC_ALARM_HIGH, c.high);
        WinapiQueueType(IDC_ALARM_LOW, c.low);
        WinapiQueueOk();
        EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
        EXPECT_EQ(0, WinapiFailedActionCount());
        EXPECT_EQ(1, P(b)->Alarm_On);
        EXPECT_EQ(1, P(b)->Alarm_Latched);
        EXPECT_DOUBLE_EQ(c.storedHigh, P(b)->Alarm_High);
        EXPECT_DOUBLE_EQ(c.storedLow, P(b)->Alarm_Low);
        char text[64];
        WinapiDialogText(c.dialog, IDC_ALARM_HIGH, text, sizeof text);
        EXPECT_STREQ(c.shownHigh, text);
        WinapiDialogText(c.dialog, IDC_ALARM_LOW, text, sizeof text);
        EXPECT_STREQ(c.shownLow, text);
        WinapiDialogText(c.dialog, IDC_ALARM_HIGH_UNIT, text, sizeof text);
        EXPECT_STREQ(c.unit, text);
        EXPECT_STREQ(c.unit, P(b)->Unit[0]);
        hostsim::DeleteBlock(b);
    }
}

// While an experiment runs the module's settings are locked, the alarm's
// among them, also after OK has drawn the alarm group again.
TEST_F(AlarmInput, AnExperimentLocksTheModuleAndItsAlarm) {
    Load();
    hostsim::Block* b = NewBlock(kND6011);
    ASSERT_NE(nullptr, b);
    P(b)->Alarm_On = 1;
    SetRunning(1);
    WinapiDialogsReset();
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    SetRunning(0);
    for (int id :
         {IDC_SETUP_PORT, IDC_SETUP_ADDRESS, IDC_SETUP_TEST, IDC_ND6011_RANGE, IDC_ALARM_ON,
          IDC_ALARM_OFF, IDC_ALARM_HIGH, IDC_ALARM_LOW, IDC_ALARM_MOMENTARY, IDC_ALARM_LATCH}) {
        WinapiControlInfo info;
        ASSERT_EQ(1, WinapiDialogControl("DLG_ND6011", id, &info)) << id;
        EXPECT_EQ(0, info.enabled) << id;
    }
}

// A new range does not clamp the limits at once; OK does with the alarm on,
// and with the alarm off the limits stay as they are.
TEST_F(AlarmInput, OkClampsTheLimitsOnlyWithTheAlarmOn) {
    Load();
    for (int on = 0; on < 2; on++) {
        SCOPED_TRACE(on);
        hostsim::Block* b = NewBlock(kND6011);
        ASSERT_NE(nullptr, b);
        P(b)->Alarm_On = on;
        P(b)->Alarm_High = 400.0;
        P(b)->Alarm_Low = -400.0;
        P(b)->Range = 3; // +/- 500 mV
        WinapiDialogsReset();
        WinapiQueuePick(IDC_ND6011_RANGE, "+/- 1 V");
        WinapiQueueOk();
        hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
        EXPECT_EQ(4, P(b)->Range);
        EXPECT_DOUBLE_EQ(on ? 1.0 : 400.0, P(b)->Alarm_High);
        EXPECT_DOUBLE_EQ(on ? -1.0 : -400.0, P(b)->Alarm_Low);
        hostsim::DeleteBlock(b);
    }
}

// The ND6012 holds its limits in volts and sends them as held, in the
// range's format; read back, they compare equal and are not written again.
TEST_F(AlarmInput, ND6012LimitsTravelAsHeld) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "7012", 0));
    hostsim::Block* b = NewBlock(kND6012);
    ASSERT_NE(nullptr, b);
    P(b)->Range = 11;
    P(b)->Alarm_On = 1;
    P(b)->Alarm_High = 0.25;
    P(b)->Alarm_Low = -0.1;
    bus.ClearLog();
    ASSERT_EQ(1, Start(b));
    Lines wire = Wire();
    EXPECT_NE(wire.end(), std::find(wire.begin(), wire.end(), "@01HI+000.25"));
    EXPECT_NE(wire.end(), std::find(wire.begin(), wire.end(), "@01LO-000.10"));
    EXPECT_DOUBLE_EQ(0.25, ModuleAt(1).alarm.high);
    Stop(b);
    bus.ClearLog();
    ASSERT_EQ(1, Start(b));
    for (const std::string& line : Wire())
        EXPECT_TRUE(line.compare(0, 5, "@01HI") != 0 && line.compare(0, 5, "@01LO") != 0) << line;
    Stop(b);
}

// A module that does not answer the probe: ND6011 stops the experiment; the
// ND6012 asks, and on Yes starts without identifying or configuring it (the
// counter is still cleared), on No stops.
TEST_F(AlarmInput, ASilentModuleStopsOrIsAskedAbout) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6012", 0));
    modsim::Fault silent(modsim::FaultKind::Silence, modsim::kAlways);
    silent.match = "$012";
    ASSERT_EQ(1, bus.InjectFault(1, silent));
    struct Case {
        int menu;
        int answer; // to the question, 0 for none
        int started;
    } cases[] = {{kND6011, 0, 0}, {kND6012, IDNO, 0}, {kND6012, IDYES, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " " << c.answer);
        CaseGuard guard(this);
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        Channels(b, 0x11);
        P(b)->Alarm_On = 1;
        P(b)->Mess.Watchdog_On = 1;
        WinapiDialogsReset();
        if (c.answer) WinapiQueueMessageBoxAnswer(c.answer);
        bus.ClearLog();
        int stops = hostsim::StopExperimentCalls();
        // The probe's time-outs pass on the manual clock; a start that goes
        // on queries the module on the real one.
        EXPECT_EQ(c.started, c.started ? Start(b) : StartSilent(b));
        EXPECT_EQ(c.answer ? 1 : 0, WinapiMessageBoxCount());
        if (c.answer) {
            WinapiMessageBoxCall call;
            ASSERT_EQ(1, WinapiMessageBoxAt(0, &call));
            EXPECT_STREQ("Module does not response. Continue experiment?", call.text);
            EXPECT_STREQ(b->record.szName, call.caption);
            EXPECT_EQ(static_cast<UINT>(MB_YESNO), call.type & 0xF);
        }
        WaitHeard();
        Lines wire = Wire();
        ASSERT_EQ(c.started ? 5u : 4u, wire.size());
        for (int i = 0; i < 4; i++)
            EXPECT_EQ("$012", wire[static_cast<size_t>(i)].substr(0, 4)) << "the probe";
        if (c.started) {
            EXPECT_EQ("@01CE", wire[4]);
            EXPECT_EQ(stops, hostsim::StopExperimentCalls());
        } else {
            EXPECT_EQ(stops + 1, hostsim::StopExperimentCalls());
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Module does not reply!\n\267 Connected ?\n\267 Switched on ?",
                      LastWarning()->text);
        }
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// A block whose module falls silent waits after its failure; the healthy
// block of the same type beside it goes on delivering every half second.
TEST_F(AlarmInput, AFailingBlockLeavesTheHealthyOneItsRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6011", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7011", 0));
    bus.SetChannel(1, 0, 1.5);
    hostsim::Block* healthy = NewBlock(kND6011, 1);
    hostsim::Block* failing = NewBlock(kND6011, 2);
    ASSERT_TRUE(healthy && failing);
    Channels(healthy, 0x03);
    Channels(failing, 0x03);
    ExpectTheHealthyKeepsItsRate(healthy, failing, 2, 1.5f);
}

} // namespace
