// The counter and frequency type ND6080 against a simulated module: the
// start sequence writing each setting only where the module differs, the
// watchdog forms, the counter and output values in both reply forms, the
// setup dialog's limits, a loaded block's channels and timing, and a failing
// block beside a healthy one.
#include "alarm_fixture.h"

#include <functional>

namespace {

using alarmtest::AlarmTest;
class Counter : public AlarmTest {};
using alarmtest::kND6080;
using Lines = std::vector<std::string>;

TEST_F(Counter, TheCounterStartWritesOnlyWhatDiffers) {
    struct Case {
        const char* what;
        const char* plugin;
        const char* model;
        std::function<void(ND6080_Param*)> block;
        Lines lines;
    } cases[] = {
        {"default family, 6080, counter mode: the module has every setting",
         "Plug.so",
         "6080",
         [](ND6080_Param* p) {
             p->Mess.Watchdog_On = 0;
             p->Mess.Watchdog_Value = 0x0103;
         },
         {"$012", "$01B", "$01A", "$014", "$010L", "$010H", "$011L", "$011H", "@01G0", "$0160",
          "@01G1", "$0161", "@01DA0", "@01DA1", "~01200003", "$01500", "$01501", "$01510",
          "$01511"}},
        {"default family, 6080: the 6000 watchdog, widths of four digits",
         "Plug.so",
         "6080",
         [](ND6080_Param* p) {
             p->Width_Low = 100;
             p->Load_Value[0] = p->Load_Value[1] = 0;
             p->Start_Counter[1] = 0;
             p->Mess.Watchdog_On = 1;
             p->Mess.Watchdog_Time = 6;
             p->Mess.Watchdog_Value = 0x02;
         },
         {"$012", "$01B", "$01A", "$014", "$010L", "$010L0100", "$010H", "$011L", "$011H", "@01DA0",
          "@01DA1", "$01F", "~01217102", "$01500", "$01501", "$01510"}},
        {"TELV, 6080 in frequency mode with the one-second gate: no watchdog",
         "Telvio.so",
         "6080",
         [](ND6080_Param* p) {
             p->Freq_Mode = 1;
             p->Freq_Gate = 1;
             p->Mess.Watchdog_On = 1;
         },
         {"$012", "%0101510604", "$01B", "$011L", "$011H"}},
        {"TELV, photo-isolated frequency input: no trigger levels either",
         "Telvio.so",
         "7080",
         [](ND6080_Param* p) {
             p->Freq_Mode = 1;
             p->Input = 1;
         },
         {"$012", "%0101510600", "$01B", "$01B1", "~011", "~013000"}},
        {"TELV, 7080: everything differs, the watchdog time of the dialog",
         "Telvio.so",
         "7080",
         [](ND6080_Param* p) {
             p->Input = 1;
             p->Gate_Mode = 2;
             p->Dig_Filter = 1;
             p->Width_Low = 100;
             p->Width_High = 200;
             p->Counter_Value[0] = 0x1234;
             p->Load_Value[1] = 0;
             p->Alarm_On[1] = 1;
             p->Alarm_Value[1] = 500;
             p->Start_Counter[1] = 0;
             p->Mess.Watchdog_On = 1;
             p->Mess.Watchdog_Time = 6;
         },
         {"$012",          "$01B",    "$01B1",      "$01A",   "$01A2",         "$014",
          "$0141",         "$010L",   "$010L00100", "$010H",  "$010H00200",    "@01G0",
          "@01P000001234", "$0160",   "@01DA0",     "@01RA",  "@01SA000001F4", "@01EA1",
          "~011",          "~01313C", "$01500",     "$01501", "$01510"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        hostsim::Block* b = NewBlock(kND6080);
        ASSERT_NE(nullptr, b);
        c.block(P80(b));
        bus.ClearLog();
        EXPECT_EQ(1, Start(b)) << (LastWarning() ? LastWarning()->text : "");
        EXPECT_EQ(c.lines, AfterModel());
        // The module now holds the block's settings: a second start writes
        // nothing but what it writes every time.
        modsim::Module m = ModuleAt(1);
        EXPECT_EQ(0x50 + P80(b)->Freq_Mode, m.typeCode);
        EXPECT_EQ(P80(b)->Input, m.counter.inputType);
        Stop(b);
        bus.ClearLog();
        EXPECT_EQ(1, Start(b));
        for (const std::string& line : AfterModel()) {
            auto starts = [&](const char* head) {
                return line.compare(0, strlen(head), head) == 0;
            };
            bool set = line[0] == '%' ||
                       ((starts("$01B") || starts("$01A") || starts("$014")) && line.size() == 5) ||
                       ((starts("$010") || starts("$011")) && line.size() > 5) || starts("@01P") ||
                       starts("@01SA");
            EXPECT_FALSE(set) << line;
        }
        Stop(b);
        bus.RemoveModule(1);
    }
}

TEST_F(Counter, TheCounterStartFailsByItsOwnRules) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6080", 0));
    modsim::Fault silent(modsim::FaultKind::Silence, modsim::kAlways);
    silent.match = "$012";
    // A silent module: the start fails without stopping the experiment.
    hostsim::Block* b = NewBlock(kND6080);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, bus.InjectFault(1, silent));
    // The probes' time-outs on the manual clock; the simulator has heard
    // the last probe before its silence is lifted.
    EXPECT_EQ(0, StartSilent(b));
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Module does not reply!\n\267 Connected ?\n\267 Switched on ?", LastWarning()->text);
    Stop(b);
    ASSERT_EQ(1, bus.ClearFaults(1));
    // An address outside the module range.
    P80(b)->Module_Address = 300;
    bus.ClearLog();
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    EXPECT_EQ("Module address not configurated.", LastWarning()->text);
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    Stop(b);
    // A strict command refused.
    P80(b)->Module_Address = 1;
    modsim::Fault refused(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
    refused.match = "$015";
    refused.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, refused));
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(2, hostsim::StopExperimentCalls());
    EXPECT_EQ("Communication problem with this module occured.", LastWarning()->text);
    Stop(b);
}

// In the family "XX01" the settings that are not strict pass whatever the
// module answers.
TEST_F(Counter, XX01PassesTheModuleSettingsItCannotRead) {
    Load("xx01.so");
    ASSERT_EQ(1, bus.AddModule(1, "4080", 0));
    modsim::Fault refused(modsim::FaultKind::WrongFirstChar, modsim::kAlways);
    refused.match = "$01A";
    refused.firstChar = '?';
    ASSERT_EQ(1, bus.InjectFault(1, refused));
    hostsim::Block* b = NewBlock(kND6080);
    ASSERT_NE(nullptr, b);
    P80(b)->Gate_Mode = 1;
    EXPECT_EQ(1, Start(b)) << (LastWarning() ? LastWarning()->text : "");
    Lines wire = Wire();
    EXPECT_NE(wire.end(), std::find(wire.begin(), wire.end(), "$01A1"));
    Stop(b);
}

// Counter readings as the family reads them: decimal in the default family,
// hexadecimal in the others; the outputs' states from one reply.
TEST_F(Counter, CounterAndFrequencyValuesAreDelivered) {
    struct Case {
        const char* what;
        const char* plugin;
        int frequency;
        WORD mask;
        Lines requests;
        std::vector<float> values;
    } cases[] = {
        {"default family, counting",
         "Plug.so",
         0,
         0x0F,
         {"#010D", "#011D", "@01DI"},
         {1500.0f, 70000.0f, 0.0f, 5.0f}},
        {"TELV, counting",
         "Telvio.so",
         0,
         0x0F,
         {"#010", "#011", "@01DI"},
         {1500.0f, 70000.0f, 0.0f, 5.0f}},
        {"TELV, frequency", "Telvio.so", 1, 0x03, {"#010", "#011"}, {1500.0f, 70000.0f}},
        {"counter 1 and output 1", "Telvio.so", 0, 0x0A, {"#011", "@01DI"}, {70000.0f, 5.0f}},
        {"both outputs from one reply", "Telvio.so", 0, 0x0C, {"@01DI"}, {0.0f, 5.0f}},
        {"counter 0 and output 0", "Plug.so", 0, 0x05, {"#010D", "@01DI"}, {1500.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load(c.plugin);
        ASSERT_EQ(1, bus.AddModule(1, "6080", 0));
        bus.SetChannel(1, 0, 1500.0);
        bus.SetChannel(1, 1, 70000.0);
        ASSERT_EQ(1, bus.EditModule(1, [](modsim::Module& m) { m.digitalOutputs = 0x02; }));
        hostsim::Block* b = NewBlock(kND6080);
        ASSERT_NE(nullptr, b);
        Channels(b, c.mask);
        P80(b)->Freq_Mode = c.frequency;
        ASSERT_EQ(1, Start(b));
        ClockFromZero();
        bus.ClearLog();
        ProcessUntil(b, c.values.size());
        const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
        ASSERT_EQ(c.values.size(), out.size());
        for (size_t j = 0; j < c.values.size(); j++) {
            EXPECT_EQ(static_cast<int>(j), out[j].output);
            EXPECT_FLOAT_EQ(c.values[j], out[j].samples[0]) << "output " << j;
        }
        EXPECT_EQ(0, hostsim::ProcessBlock(b)) << "nothing more is due";
        EXPECT_EQ(c.requests, Wire());
        Stop(b);
        bus.RemoveModule(1);
    }
}

// The dialog limits widths and trigger levels as it shows them; a preset
// typed for a counter is kept with that counter.
TEST_F(Counter, TheCounterDialogLimitsWhatIsTyped) {
    Load();
    struct Case {
        int id;
        const char* typed;
        int stored;
        const char* shown;
    } cases[] = {
        {IDC_ND6080_TRIG_HIGH, "2.47", 24, "2.4"},    {IDC_ND6080_TRIG_HIGH, "7", 50, "5.0"},
        {IDC_ND6080_TRIG_LOW, "0", 1, "0.1"},         {IDC_ND6080_WIDTH_HIGH, "2", 4, "4"},
        {IDC_ND6080_WIDTH_LOW, "5000", 1020, "1020"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        hostsim::Block* b = NewBlock(kND6080);
        ASSERT_NE(nullptr, b);
        WinapiDialogsReset();
        WinapiQueueType(c.id, c.typed);
        WinapiQueueOk();
        hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
        ND6080_Param* p = P80(b);
        int stored = c.id == IDC_ND6080_TRIG_HIGH    ? p->Trig_High
                     : c.id == IDC_ND6080_TRIG_LOW   ? p->Trig_Low
                     : c.id == IDC_ND6080_WIDTH_HIGH ? p->Width_High
                                                     : p->Width_Low;
        EXPECT_EQ(c.stored, stored);
        char text[32];
        WinapiDialogText("DLG_ND6080", c.id, text, sizeof text);
        EXPECT_STREQ(c.shown, text);
        hostsim::DeleteBlock(b);
    }
    // Counter 1's preset and alarm, typed after choosing it: they stay with
    // counter 1 when channel 0 is shown again.
    hostsim::Block* b = NewBlock(kND6080);
    ASSERT_NE(nullptr, b);
    WinapiDialogsReset();
    WinapiQueueDoubleClick(23003); // counter 1 in use and current
    WinapiQueueType(IDC_ND6080_PRESET, "1234");
    WinapiQueueClick(IDC_ND6080_ALARM_ON);
    WinapiQueueType(IDC_ND6080_ALARM_VALUE, "99");
    WinapiQueueMouseDown(23002);
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_EQ(0, WinapiFailedActionCount());
    EXPECT_EQ(0x3, P80(b)->Channel_Mask);
    EXPECT_EQ(2u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(0u, P80(b)->Counter_Value[0]);
    EXPECT_EQ(1234u, P80(b)->Counter_Value[1]);
    EXPECT_EQ(0, P80(b)->Alarm_On[0]);
    EXPECT_EQ(1, P80(b)->Alarm_On[1]);
    EXPECT_EQ(99u, P80(b)->Alarm_Value[1]);
}

// A new block shows defined values in every field; a loaded one carries its
// channel numbers, and its output channels take the global timing when it
// uses the global settings.
TEST_F(Counter, ACounterBlockIsDefinedAtCreationAndAfterALoad) {
    Load();
    hostsim::Block* b = NewBlock(kND6080);
    ASSERT_NE(nullptr, b);
    // A record the host hands over with garbage in it.
    memset(b->param.data(), 0x5A, b->param.size());
    b->record.uOutputs = 3;
    ASSERT_EQ(1, hostsim::SendClassMessage(b, MODMSG_CREATE, 0, 0));
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(1, P80(b)->Channel_Mask);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(0, P80(b)->Alarm_On[i]);
        EXPECT_EQ(0u, P80(b)->Alarm_Value[i]);
        EXPECT_EQ(1, P80(b)->Start_Counter[i]);
        EXPECT_EQ(1, P80(b)->Load_Value[i]);
    }
    EXPECT_STREQ("Counter 1", P80(b)->Channel_Name[1]);
    EXPECT_STREQ("V", P80(b)->Unit[3]);
    Channels(b, 0x0A);
    P80(b)->Mess.Use_Global_Settings = 1;
    P80(b)->Width_High = 9999; // from a file: held within the dialog's limits
    std::string text, error;
    ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
    ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    hostsim::Block* loaded = hostsim::BlockAt(0);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(1, loaded->afterLoadAnswer);
    EXPECT_EQ(2u, static_cast<UINT>(loaded->record.uOutputs));
    EXPECT_EQ(2, static_cast<int>(loaded->record.aiOutputChannel[0]));
    EXPECT_EQ(4, static_cast<int>(loaded->record.aiOutputChannel[1]));
    EXPECT_EQ(1020, P80(loaded)->Width_High);
    double ms = 20.0;
    UINT size = 50;
    ASSERT_EQ(1, hostsim::WriteDllVariable("fGlobalMilliSecondsPerSample", &ms, sizeof ms));
    ASSERT_EQ(1, hostsim::WriteDllVariable("uiGlobalBlockSize", &size, sizeof size));
    EXPECT_EQ(1, hostsim::SendClassMessage(loaded, MODMSG_CHANNEL_TIMING, 1, 0));
    EXPECT_EQ(50, static_cast<int>(loaded->outputs[1].uBlockSize));
    EXPECT_DOUBLE_EQ(0.02, static_cast<double>(loaded->outputs[1].dSampleDistance));
}

TEST_F(Counter, AFailingCounterBlockLeavesTheHealthyOneItsRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6080", 0));
    ASSERT_EQ(1, bus.AddModule(2, "7080", 0));
    bus.SetChannel(1, 0, 250.0);
    hostsim::Block* healthy = NewBlock(kND6080, 1);
    hostsim::Block* failing = NewBlock(kND6080, 2);
    ASSERT_TRUE(healthy && failing);
    Channels(healthy, 0x05);
    Channels(failing, 0x05);
    ExpectTheHealthyKeepsItsRate(healthy, failing, 2, 250.0f);
}

} // namespace

namespace {

using alarmtest::kND6011;
using alarmtest::kND6012;

// The input form of the alarm input types and the counter type's own form:
// which messages each answers itself and which go to the host.
TEST_F(Counter, EachFormAnswersItsOwnMessages) {
    Load();
    hostsim::Block* other = NewBlock(kND6011);
    ASSERT_NE(nullptr, other);
    int otherRecord = static_cast<int>(reinterpret_cast<uintptr_t>(&other->record));
    struct Case {
        int menu;
        int msg, wParam;
        int outputs; // of the other block, for MODMSG_CHECK_LAYOUT
        int answer;  // -1: the host's default action answers
    } cases[] = {
        {kND6011, MODMSG_CHECK_LAYOUT, 0, 5, 1},  {kND6011, MODMSG_CHECK_LAYOUT, 0, 6, 0},
        {kND6012, MODMSG_QUERY172, 0, 1, 1},      {kND6080, MODMSG_QUERY172, 0, 1, 1},
        {kND6080, MODMSG_CHECK_LAYOUT, 0, 1, -1}, {kND6080, MODMSG_EXPORT_NAMES, 0, 1, -1},
        {kND6080, MODMSG_IMPORT_NAMES, 0, 1, -1}, {kND6080, MODMSG_GET_UNIT, 4, 1, 0},
        {kND6080, MODMSG_QUERY128, 0, 1, 1},
    };
    hostsim::SetDefaultActionAnswer(77);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.menu << " message " << c.msg);
        hostsim::Block* b = NewBlock(c.menu);
        ASSERT_NE(nullptr, b);
        other->record.uOutputs = static_cast<UINT>(c.outputs);
        EXPECT_EQ(c.answer < 0 ? 77 : c.answer,
                  hostsim::SendClassMessage(b, c.msg, c.wParam, otherRecord));
        hostsim::DeleteBlock(b);
    }
    // The unit of each of the counter type's four channels is its own.
    hostsim::Block* b = NewBlock(kND6080);
    ASSERT_NE(nullptr, b);
    EXPECT_STREQ("V", reinterpret_cast<const char*>(static_cast<uintptr_t>(
                          hostsim::SendClassMessage(b, MODMSG_GET_UNIT, 3, 0))));
}

} // namespace
