// The shared frame of the block types on the thermocouple type: a new
// block's defaults, the full module table, a refused load, the class
// messages on channel layout, output names, schema and units, and the
// query of a start sequence.
#include "template_fixture.h"

#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "process_until.h"
#include <algorithm>
#include "serial/watchdog.h"

namespace {

using modsim::Fault;
using modsim::FaultKind;
using templatetest::TemplateTest;

TEST_F(TemplateTest, ANewBlockHasOneChannelTypeJAndTheDefaultNames) {
    int answer = 0;
    hostsim::Block* b = NewBlock("Q7018_I_MODULE", &answer);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, answer);
    const ND6018_Param* p = P(b);
    EXPECT_EQ(1, p->Version);
    EXPECT_EQ(1u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(0u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(1, static_cast<int>(b->record.aiOutputChannel[0]));
    EXPECT_EQ(1, p->Channel_Mask);
    EXPECT_EQ(MinModuleAddress, p->Module_Address);
    EXPECT_EQ(14, p->TC_Type);
    EXPECT_EQ(1, p->Com.Port_Number);
    EXPECT_EQ(3, p->Com.Baud_Rate);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ("Vin " + std::to_string(i), p->Channel_Name[i]);
        EXPECT_STREQ("\260C", p->Unit[i]);
        EXPECT_EQ(0, p->Copy_Channel_Name[i]);
    }
    EXPECT_EQ(1.0, p->Mess.Sample_Distance);
    ASSERT_EQ(1, ModuleTableCount());
    EXPECT_EQ(6018, ModuleTableModel(0));
}

TEST_F(TemplateTest, TheSixtyFifthBlockIsRefused) {
    for (int i = 0; i < MODULE_TABLE_SIZE; i++)
        ASSERT_NE(nullptr, NewBlock(i % 2 ? "Q7018P_I_MODULE" : "Q7018_I_MODULE")) << i;
    int answer = -1;
    EXPECT_EQ(nullptr, NewBlock("Q7018_I_MODULE", &answer));
    EXPECT_EQ(0, answer);
    EXPECT_EQ(MODULE_TABLE_SIZE, ModuleTableCount());
    EXPECT_NE(nullptr, LastWarning());
}

TEST_F(TemplateTest, AnOldRecordIsRefusedOnLoadAndStaysOutOfTheTable) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, ModuleTableRemove(&b->record));
    P(b)->Version = 0;
    EXPECT_EQ(0, hostsim::SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0));
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Error", LastWarning()->caption);
    EXPECT_EQ("Old module format (not supported)", LastWarning()->text);
    EXPECT_EQ(0, ModuleTableCount());
    P(b)->Version = 1;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0));
    EXPECT_EQ(1, ModuleTableCount());
}

TEST_F(TemplateTest, LayoutCheckTakesOneToEightOutputsAndNoInputs) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    struct Case {
        UINT outputs, inputs;
        int answer;
    } cases[] = {{1, 0, 1}, {8, 0, 1}, {9, 0, 0}, {0, 0, 0}, {8, 1, 0}, {1, 1, 0}};
    for (const Case& c : cases) {
        ModuleRecord other = {};
        other.uOutputs = c.outputs;
        other.uInputs = c.inputs;
        EXPECT_EQ(c.answer, hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                                      reinterpret_cast<LPARAM>(&other)))
            << c.outputs << " outputs, " << c.inputs << " inputs";
    }
}

TEST_F(TemplateTest, OutputNamesFollowTheSetBitsOfTheMask) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    b->record.uOutputs = 2;
    P(b)->Channel_Mask = 0x6;
    snprintf(P(b)->Channel_Name[1], 24, "Oven");
    snprintf(P(b)->Channel_Name[2], 24, "Flue");
    size_t before = hostsim::DefaultActionCalls().size();
    hostsim::SendClassMessage(b, MODMSG_OUTPUT_NAMES, 0, 0);
    EXPECT_STREQ("Oven", b->outputNames[0]);
    EXPECT_STREQ("Flue", b->outputNames[1]);
    EXPECT_STREQ("", b->outputNames[2]);
    ASSERT_EQ(before + 1, hostsim::DefaultActionCalls().size());
    EXPECT_EQ(static_cast<UINT>(MODMSG_OUTPUT_NAMES), hostsim::DefaultActionCalls().back().msg);
}

TEST_F(TemplateTest, TheSchemaDescribesTheParameterRecord) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    const ParamSchemaEntry* s = reinterpret_cast<const ParamSchemaEntry*>(
        static_cast<uintptr_t>(hostsim::SendClassMessage(b, MODMSG_GET_SCHEMA, 0, 0)));
    ASSERT_EQ(ND6018_ParamSchema, s);
    int rows = 0;
    while (s[rows].name) {
        EXPECT_EQ(0, s[rows].reserved);
        if (rows > 0) {
            EXPECT_GT(s[rows].offset, s[rows - 1].offset) << s[rows].name;
        }
        rows++;
    }
    EXPECT_EQ(25, rows);
    EXPECT_EQ(nullptr, s[25].type);
    EXPECT_EQ(0, s[25].offset);
    EXPECT_EQ(0, s[25].reserved);
    EXPECT_STREQ("Error_Var_Nr", s[18].name);
    EXPECT_EQ(static_cast<int>(offsetof(ND6018_Param, Mess)) + 28, s[18].offset);
    EXPECT_EQ(static_cast<int>(offsetof(ND6018_Param, TC_Type)), s[3].offset);
    EXPECT_EQ(ND6018_ParamSchema, ND6018P_ParamSchema);
}

TEST_F(TemplateTest, ChannelIndexesFromTheHostAreChecked) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(static_cast<int>(reinterpret_cast<uintptr_t>(P(b)->Unit[3])),
              hostsim::SendClassMessage(b, MODMSG_GET_UNIT, 3, 0));
    EXPECT_EQ(0, hostsim::SendClassMessage(b, MODMSG_GET_UNIT, 16, 0));
    EXPECT_EQ(0, hostsim::SendClassMessage(b, MODMSG_GET_UNIT, -1, 0));
    // Timing of an output the block does not have changes nothing.
    b->outputs[5].uBlockSize = 77;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_CHANNEL_TIMING, 5, 0));
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_CHANNEL_TIMING, 1000, 0));
    EXPECT_EQ(77, static_cast<int>(b->outputs[5].uBlockSize));
    P(b)->Mess.Sample_Distance = 0.5;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_CHANNEL_TIMING, 0, 0));
    EXPECT_EQ(1, static_cast<int>(b->outputs[0].uBlockSize));
    EXPECT_EQ(0.5, static_cast<double>(b->outputs[0].dSampleDistance));
}

// Messages the frame answers itself with fixed values, never asking the host.
TEST_F(TemplateTest, FixedAnswersAndTheActionStubs) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    struct Case {
        int msg, answer;
    } cases[] = {{MODMSG_QUERY1, 1},           {MODMSG_QUERY128, 1},  {MODMSG_QUERY172, 1},
                 {MODMSG_ACTION_SUPPORTED, 0}, {MODMSG_ACTION119, 0}, {MODMSG_ACTION_DESCRIBE, 0},
                 {MODMSG_ACTION_PERFORM, 1},   {MODMSG_ACTION120, 1}, {MODMSG_ACTION121, 1},
                 {MODMSG_ACTION122, 1},        {MODMSG_ACTION123, 1}};
    hostsim::SetDefaultActionAnswer(77);
    size_t before = hostsim::DefaultActionCalls().size();
    for (const Case& c : cases)
        EXPECT_EQ(c.answer, hostsim::SendClassMessage(b, c.msg, 3, 4)) << "message " << c.msg;
    EXPECT_EQ(before, hostsim::DefaultActionCalls().size());
}

TEST_F(TemplateTest, ChannelTimingFollowsTheGlobalSettingsWhenTheBlockUsesThem) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Use_Global_Settings = 1;
    fGlobalMilliSecondsPerSample = 20.0;
    uiGlobalBlockSize = 50;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_CHANNEL_TIMING, 0, 0));
    EXPECT_EQ(50, static_cast<int>(b->outputs[0].uBlockSize));
    EXPECT_DOUBLE_EQ(0.02, static_cast<double>(b->outputs[0].dSampleDistance));
}

// Names and units leave through the partner's exchange record and come back
// into a new block, which is made with its defaults first.
TEST_F(TemplateTest, NamesAndUnitsTravelThroughTheExchangeRecord) {
    hostsim::Block* from = NewBlock();
    ASSERT_NE(nullptr, from);
    snprintf(P(from)->Channel_Name[0], 24, "Oven");
    snprintf(P(from)->Channel_Name[15], 24, "Last");
    snprintf(P(from)->Unit[15], 64, "K");
    ChannelExchange x;
    memset(&x, 0x5A, sizeof x);
    ModuleRecord partner = {};
    partner.pParam = &x;
    EXPECT_EQ(1, hostsim::SendClassMessage(from, MODMSG_EXPORT_NAMES, 0,
                                           reinterpret_cast<LPARAM>(&partner)));
    EXPECT_EQ(1u, x.dwFormat);
    EXPECT_EQ(1, x.bNames);
    EXPECT_EQ(1, x.bUnits);
    EXPECT_EQ(0, x.bCopyFlags);
    EXPECT_STREQ("Oven", x.aszNames[0]);
    EXPECT_STREQ("Vin 1", x.aszNames[1]);
    EXPECT_STREQ("K", x.aszUnits[15]);
    EXPECT_STREQ("\260C", x.aszUnits[0]);

    hostsim::Block* to = NewBlock();
    ASSERT_NE(nullptr, to);
    ASSERT_EQ(1, ModuleTableRemove(&to->record)); // imported blocks enter the table anew
    to->record.wImportMark = 9;
    x.bUnits = 0;
    EXPECT_EQ(1, hostsim::SendClassMessage(to, MODMSG_IMPORT_NAMES, 0,
                                           reinterpret_cast<LPARAM>(&partner)));
    EXPECT_EQ(0, static_cast<WORD>(to->record.wImportMark));
    EXPECT_STREQ("Oven", P(to)->Channel_Name[0]);
    EXPECT_STREQ("Last", P(to)->Channel_Name[15]);
    EXPECT_STREQ("\260C", P(to)->Unit[15]) << "units were not offered";
    EXPECT_EQ(1, P(to)->Version);
    EXPECT_EQ(2, ModuleTableCount());
}

TEST_F(TemplateTest, TheGlobalStringIsReportedOnlyWhenTheErrorPolicyWritesIt) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    struct Case {
        BOOL stop, setVar;
        int number;
        DWORD type, flags;
        const char* text;
    } cases[] = {{0, 1, 7, 2, 2, "Set global string if in wait mode"},
                 {1, 1, 7, 0, 1, "---"},
                 {0, 0, 7, 0, 1, "---"},
                 {0, 1, 0, 0, 1, "---"}};
    for (const Case& c : cases) {
        P(b)->Mess.Error_Stop = c.stop;
        P(b)->Mess.Error_Set_Var = c.setVar;
        P(b)->Mess.Error_Var_Nr = c.number;
        EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_REPORT_GLOBALS, 0, 4711));
        ASSERT_FALSE(hostsim::GlobalVarNotifications().empty());
        const GlvoNotifyRecord& r = hostsim::GlobalVarNotifications().back();
        EXPECT_EQ(169u, static_cast<DWORD>(r.dwGlvoCode));
        EXPECT_EQ(1u, static_cast<DWORD>(r.dwGlvoCount));
        EXPECT_EQ(4711, static_cast<LONG>(r.lGlvoParam));
        EXPECT_EQ(c.type, static_cast<DWORD>(r.dwGlvoType));
        EXPECT_EQ(c.type ? 7u : 0u, static_cast<DWORD>(r.dwGlvoNumber));
        EXPECT_EQ(c.type ? 2u : 0u, static_cast<DWORD>(r.dwGlvoMode));
        EXPECT_EQ(c.flags, static_cast<DWORD>(r.dwGlvoFlags));
        EXPECT_EQ(-1, static_cast<LONG>(r.lGlvoIndex));
        EXPECT_STREQ(c.text, r.szGlvoText);
    }
}

TEST_F(TemplateTest, RefreshTakesTheSettingsOfTheBlocksPortFromThePortTable) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    ComSettings row = enginetest::Row(1);
    row.Baud_Rate = 5;
    ASSERT_EQ(1, PortTableMerge(&row));
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_REFRESH_PARAMS, 0, 0));
    EXPECT_EQ(5, P(b)->Com.Baud_Rate);
    P(b)->Com.Port_Number = 9; // no such row: nothing changes
    P(b)->Com.Baud_Rate = 2;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_REFRESH_PARAMS, 0, 0));
    EXPECT_EQ(2, P(b)->Com.Baud_Rate);
}

// A type with one request per sweep on the shared turn loop: the host's values
// go into the request's cell before the turn, the request goes out when it
// is due, a ready request waits for the type's delivery, and the module's
// watchdog is kept alive at the idle turns and disarmed at the stop.
TEST_F(TemplateTest, TheSweepLoopOfTheOneRequestTypes) {
    std::string error;
    ASSERT_EQ(1, bus.Open(&error)) << error;
    ASSERT_EQ(1, bus.SetLink(ComLink(1)));
    ASSERT_EQ(1, bus.Start());
    ASSERT_EQ(1, bus.AddModule(1, "6050", 0));
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    TemplateType t = ND6018_Descriptor({.type = "TEST", .restartNote = "Restart test"});
    t.watchdogTick = 1;
    t.watchdogResetAtStop = 1;
    static int image;
    static int deliveries;
    static int refuse;
    image = 0x5A;
    deliveries = 0;
    refuse = 0;
    TemplateSweepSteps steps = {
        [](ModuleRecord* m, const TemplateType*) { TemplateRuntimeOf(m)->Channel_Index = image; },
        [](ModuleRecord*, const TemplateType*) {
            if (refuse) return 0;
            deliveries++;
            return 1;
        },
        nullptr, nullptr};
    ND6018_Runtime* rt = R(b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 2;
    ASSERT_EQ(1, OpenCom(1, "Test"));
    ASSERT_EQ(1, ScanListCreate());
    rt->ScanHandle = ScanAddDoWrite(1, 1, reinterpret_cast<BYTE*>(&rt->Channel_Index), 0);
    ASSERT_GE(rt->ScanHandle, 0);
    rt->Poll_Interval = 0.5;
    rt->Next_Due = 0.0;
    ASSERT_EQ(1, WatchdogArm(1, &P(b)->Mess));
    ModuleTableResetCursor();
    WinapiUseManualClock(10000);
    hostsim::StartExperimentClock();
    // 1 ms of the manual clock a call: the pause between writes passes.
    auto sweep = [&] { TemplateProcessSweep(&t, &b->record, &steps); };
    auto processUntil = [&](int count) {
        telviotest::TurnUntil(
            sweep, [&] { return deliveries >= count; }, 2000, [this] { WaitHeard(); });
    };
    processUntil(1);
    ASSERT_EQ(1, deliveries);
    modsim::Module m;
    ASSERT_EQ(1, bus.GetModule(1, &m));
    EXPECT_EQ(0x5Au, m.digitalOutputs);
    EXPECT_DOUBLE_EQ(0.5, rt->Next_Due);
    // Nothing due before 0.5 s: the turn passes without traffic.
    WaitHeard();
    bus.ClearLog();
    WinapiAdvanceClock(100);
    EXPECT_EQ(0, TemplateProcessSweep(&t, &b->record, &steps));
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    // Due again; a delivery the host has no room for keeps the turn waiting.
    WinapiAdvanceClock(400);
    image = 0x01;
    refuse = 1;
    telviotest::TurnUntil(
        sweep, [] { return ScanState() == SS_READY; }, 2000, [this] { WaitHeard(); });
    ASSERT_EQ(SS_READY, ScanState());
    EXPECT_EQ(0, TemplateProcessSweep(&t, &b->record, &steps));
    EXPECT_DOUBLE_EQ(0.5, rt->Next_Due);
    refuse = 0;
    EXPECT_EQ(1, TemplateProcessSweep(&t, &b->record, &steps));
    EXPECT_DOUBLE_EQ(1.0, rt->Next_Due);
    ASSERT_EQ(1, bus.GetModule(1, &m));
    EXPECT_EQ(0x01u, m.digitalOutputs);
    // Half the watchdog time later the idle turn sends the keep-alive.
    WaitHeard();
    bus.ClearLog();
    WinapiAdvanceClock(600);
    processUntil(3);
    std::vector<std::string> wire = Wire();
    EXPECT_NE(wire.end(), std::find(wire.begin(), wire.end(), "~**"));
    EXPECT_EQ(1, TemplateStopMeasurement(&b->record, &t));
    EXPECT_EQ(0.0, WatchdogTable[0].Interval) << "the stop disarms the ports";
}

// A record from a file keeps only the module's channels, and the block gets
// one output per channel in use, numbered after them.
TEST_F(TemplateTest, ALoadedRecordKeepsTheModulesChannelsAndTheBlockFollowsItsMask) {
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, ModuleTableRemove(&b->record));
    P(b)->Channel_Mask = 0x0706; // channels 1 and 2, and three the module lacks
    b->record.uOutputs = 5;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0));
    EXPECT_EQ(0x0006, P(b)->Channel_Mask);
    EXPECT_EQ(2u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(0u, static_cast<UINT>(b->record.uInputs));
    EXPECT_EQ(2, static_cast<int>(b->record.aiOutputChannel[0]));
    EXPECT_EQ(3, static_cast<int>(b->record.aiOutputChannel[1]));
}

// A type with one request per sweep whose start failed never polls: its
// request handle is invalid from the start on, whatever the record held.
TEST_F(TemplateTest, AOneRequestTypeWhoseStartFailedNeverPolls) {
    std::string error;
    ASSERT_EQ(1, bus.Open(&error)) << error;
    ASSERT_EQ(1, bus.SetLink(ComLink(1)));
    ASSERT_EQ(1, bus.Start());
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    hostsim::Block* other = NewBlock(); // a block whose request is handle 0
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, other);
    ASSERT_NE(nullptr, b);
    P(other)->Module_Address = 2;
    TemplateType t = ND6018_Descriptor({.type = "TEST", .restartNote = "Restart test"});
    t.addRequest = nullptr;
    t.addSweepRequest = [](ModuleRecord* m, const TemplateType* type) {
        return ScanAddDoWrite(TemplateCom(m, type)->Port_Number, *TemplateAddress(m, type),
                              reinterpret_cast<BYTE*>(&TemplateRuntimeOf(m)->Channel_Index), 0);
    };
    ASSERT_EQ(1, TemplateStartMeasurement(&t, &other->record));
    ASSERT_EQ(0, R(other)->ScanHandle);
    R(b)->ScanHandle = 0; // left from before, or a zeroed record
    P(b)->Module_Address = 9;
    WinapiUseManualClock(1000);
    EXPECT_EQ(0, TemplateStartMeasurement(&t, &b->record));
    EXPECT_EQ(-1, R(b)->ScanHandle);
    hostsim::StartExperimentClock();
    WaitHeard();
    bus.ClearLog();
    ModuleTableResetCursor();
    ModuleTableNext(); // the failed block's turn
    ASSERT_EQ(&b->record, ModuleTableCurrent());
    EXPECT_EQ(0, TemplateProcessSweep(&t, &b->record, nullptr));
    EXPECT_EQ(SS_IDLE, ScanState());
    WaitHeard();
    EXPECT_TRUE(Wire().empty());
    TemplateStopMeasurement(&b->record, &t);
    TemplateStopMeasurement(&other->record, &t);
}

// The query of a start sequence fails on anything but a whole, clean reply
// with the expected first character.
TEST_F(TemplateTest, AStartQueryFailsOnABrokenReply) {
    Module(1);
    ASSERT_EQ(1, OpenCom(1, "Test"));
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    TemplateType t = {};
    t.comOffset = offsetof(ND6018_Param, Com);
    struct Case {
        const char* what;
        FaultKind fault;
        bool faulty;
        int answer;
    } cases[] = {{"clean", FaultKind::Silence, false, 1},
                 {"checksum error", FaultKind::BadChecksum, true, 0},
                 {"cut short", FaultKind::NeverEnded, true, 0},
                 {"silent", FaultKind::Silence, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.faulty) {
            ASSERT_EQ(1, bus.InjectFault(1, Fault(c.fault)));
        }
        // The silent module's time-out passes on the manual clock; a reply,
        // whole or cut short, is waited for on the real one.
        if (c.faulty && c.fault == FaultKind::Silence) WinapiUseManualClock(1000);
        int stops = hostsim::StopExperimentCalls();
        char text[TEMPLATE_QUERY_SIZE] = "$012";
        EXPECT_EQ(c.answer, TemplateSendAndExpect(&t, &b->record, text, '!', 1, 0));
        EXPECT_EQ(stops + (c.answer ? 0 : 1), hostsim::StopExperimentCalls());
        if (!c.answer) {
            ASSERT_NE(nullptr, LastWarning());
            EXPECT_EQ("Q7018-I-00", LastWarning()->caption);
            EXPECT_EQ("Communication problem with this module occured.", LastWarning()->text);
        }
        WinapiUseRealClock();
        // The module has heard the query before its fault goes.
        WaitHeard();
        bus.ClearFaults(1);
        ComDiscardReply(1);
    }
}

} // namespace
