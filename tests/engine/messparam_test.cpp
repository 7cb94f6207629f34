// The measurement settings: the defaults of a new block, the checks where a
// sample distance enters, and the three dialogs driven headless.
#include "engine_fixture.h"

#include "resource.h"

namespace {

using enginetest::EngineTest;
using enginetest::NameBlock;

const char kMeasure[] = "DLG_MESSPARAM";
const char kWatchdog[] = "DLG_WATCHDOG";

class Settings : public EngineTest {
  protected:
    std::string Text(const char* dialog, int id) {
        char text[256] = "";
        WinapiDialogText(dialog, id, text, sizeof text);
        return text;
    }
    WinapiControlInfo Control(const char* dialog, int id) {
        WinapiControlInfo info;
        memset(&info, 0, sizeof info);
        WinapiDialogControl(dialog, id, &info);
        return info;
    }
    MessParam Fresh() {
        MessParam p;
        memset(&p, 0xCC, sizeof p);
        InitMessParam(&p);
        return p;
    }
};

TEST_F(Settings, TheFirstBlockGetsTheDefaultsInEveryByte) {
    MessParam p = Fresh();
    EXPECT_EQ(0, p.Use_Global_Settings);
    EXPECT_EQ(1, p.Time_Seconds);
    EXPECT_EQ(1.0, p.Sample_Distance);
    EXPECT_EQ(1, p.Error_Stop);
    EXPECT_EQ(0, p.Error_Wait_Min);
    EXPECT_EQ(0, p.Error_Set_Var);
    EXPECT_EQ(1, p.Error_Var_Nr);
    EXPECT_EQ(0, p.Watchdog_On);
    EXPECT_EQ(6, p.Watchdog_Time);
    EXPECT_EQ(0, p.Watchdog_Value);
    for (WORD w : p.Dummy2)
        EXPECT_EQ(0, w);
    for (BYTE b : p.Padding)
        EXPECT_EQ(0, b);
}

TEST_F(Settings, ANewBlockCopiesTheBlockAddedLast) {
    ModuleRecord a = {}, b = {};
    MessParam pa = Fresh(), pb = Fresh();
    pb.Sample_Distance = 7.5;
    pb.Watchdog_Value = 0x0F;
    ASSERT_EQ(1, ModuleTableAdd(&a, &pa, 6017));
    ASSERT_EQ(1, ModuleTableAdd(&b, &pb, 6018));
    MessParam c = Fresh();
    EXPECT_EQ(0, memcmp(&pb, &c, sizeof c));
}

TEST_F(Settings, ALoadedSampleDistanceOfZeroIsRefused) {
    MessParam p = Fresh();
    p.Sample_Distance = 0.0;
    EXPECT_EQ(0, MessParamAfterLoad("Blk", &p));
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Blk", hostsim::Warnings()[0].caption);
    EXPECT_EQ("The sample distance must be greater than 0.", hostsim::Warnings()[0].text);
    p.Sample_Distance = -1.0;
    EXPECT_EQ(0, MessParamAfterLoad("Blk", &p));
    // With the global settings the own distance is not used.
    p.Use_Global_Settings = 1;
    EXPECT_EQ(1, MessParamAfterLoad("Blk", &p));
}

TEST_F(Settings, GlobalSettingsNeedABlockSizeOf1To65535) {
    MessParam p = Fresh();
    p.Use_Global_Settings = 1;
    p.Sample_Distance = 0.0; // not used with the global settings
    fGlobalMilliSecondsPerSample = 20.0;
    const struct {
        UINT size;
        int ok;
    } cases[] = {{0, 0}, {1, 1}, {65535, 1}, {65536, 0}};
    for (const auto& c : cases) {
        uiGlobalBlockSize = c.size;
        char text[128];
        EXPECT_EQ(c.ok, CheckMessParam(&p, text, sizeof text)) << c.size;
        if (!c.ok) {
            EXPECT_STREQ("The global block size must be between 1 and 65535.", text);
        }
    }
    uiGlobalBlockSize = 50;
    fGlobalMilliSecondsPerSample = 0.0;
    EXPECT_EQ(0, CheckMessParam(&p, nullptr, 0));
}

TEST_F(Settings, ALoadedRecordKeepsItsNumbersInTheirRanges) {
    MessParam p = Fresh();
    p.Error_Wait_Min = 99999;
    p.Error_Var_Nr = 0;
    p.Watchdog_Time = 40;
    EXPECT_EQ(1, MessParamAfterLoad("Blk", &p));
    EXPECT_EQ(30240, p.Error_Wait_Min);
    EXPECT_EQ(1, p.Error_Var_Nr);
    EXPECT_EQ(13, p.Watchdog_Time);
}

TEST_F(Settings, MinutesAreStoredAsSecondsAndShownInEitherUnit) {
    MessParam p = Fresh();
    WinapiQueueClick(IDC_MP_MINUTES);
    WinapiQueueType(IDC_MP_DISTANCE, "2");
    WinapiQueueClick(IDC_MP_SECONDS);
    WinapiQueueOk();
    MessParamDialog(&p);
    EXPECT_EQ(120.0, p.Sample_Distance);
    EXPECT_EQ(1, p.Time_Seconds);
    EXPECT_EQ("120.00", Text(kMeasure, IDC_MP_DISTANCE));

    WinapiQueueClick(IDC_MP_MINUTES);
    WinapiQueueCancel();
    MessParamDialog(&p);
    EXPECT_EQ("2.0000", Text(kMeasure, IDC_MP_DISTANCE));
    EXPECT_EQ(1, p.Time_Seconds); // cancelled
}

TEST_F(Settings, NearlyWholeSecondsAreRounded) {
    const struct {
        const char* typed;
        double stored;
    } cases[] = {{"0.995", 1.0}, {"59.8", 60.0}, {"0.5", 0.5}};
    for (const auto& c : cases) {
        MessParam p = Fresh();
        WinapiQueueType(IDC_MP_DISTANCE, c.typed);
        WinapiQueueOk();
        MessParamDialog(&p);
        EXPECT_DOUBLE_EQ(c.stored, p.Sample_Distance) << c.typed;
    }
}

TEST_F(Settings, TheErrorFieldsFollowTheChosenBehaviour) {
    MessParam p = Fresh();
    WinapiQueueCallback(
        [](HWND dialog, void*) {
            char text[16];
            GetDlgItemTextA(dialog, IDC_MP_WAIT, text, sizeof text);
            EXPECT_STREQ("---", text);
            GetDlgItemTextA(dialog, IDC_MP_VAR_NR, text, sizeof text);
            EXPECT_STREQ("---", text);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MP_SET_VAR)));
        },
        nullptr);
    WinapiQueueClick(IDC_MP_CONTINUE);
    WinapiQueueClick(IDC_MP_SET_VAR);
    WinapiQueueType(IDC_MP_VAR_NR, "500");
    WinapiQueueOk();
    MessParamDialog(&p);
    EXPECT_EQ(0, p.Error_Stop);
    EXPECT_EQ(1, p.Error_Wait_Min); // a wait of 0 minutes became 1
    EXPECT_EQ(1, p.Error_Set_Var);
    EXPECT_EQ(200, p.Error_Var_Nr);
    EXPECT_EQ("200", Text(kMeasure, IDC_MP_VAR_NR));
    EXPECT_EQ("1", Text(kMeasure, IDC_MP_WAIT));
}

TEST_F(Settings, ASampleDistanceOfZeroIsRefusedAtOk) {
    MessParam p = Fresh();
    WinapiQueueType(IDC_MP_DISTANCE, "0");
    WinapiQueueOk();
    WinapiQueueCancel();
    MessParamDialog(&p);
    EXPECT_EQ(1.0, p.Sample_Distance);
    ASSERT_EQ(1, WinapiMessageBoxCount());
    WinapiMessageBoxCall box;
    WinapiMessageBoxAt(0, &box);
    EXPECT_STREQ("The sample distance must be greater than 0.", box.text);
}

TEST_F(Settings, DuringAnExperimentTheDialogOnlyShows) {
    MessParam p = Fresh();
    bExperimentIsRunning = 1;
    WinapiQueueCancel();
    MessParamDialog(&p);
    bExperimentIsRunning = 0;
    EXPECT_FALSE(Control(kMeasure, IDOK).enabled);
    EXPECT_FALSE(Control(kMeasure, IDC_MP_DISTANCE).enabled);
    EXPECT_FALSE(Control(kMeasure, IDC_MP_COPY).enabled);
    EXPECT_TRUE(Control(kMeasure, IDCANCEL).enabled);
}

TEST_F(Settings, CopyTakesTheSettingsOfAnotherBlockOfTheTable) {
    ModuleRecord a = {}, b = {};
    NameBlock(&a, "First");
    NameBlock(&b, "Second");
    MessParam pa = Fresh(), pb = Fresh();
    pa.Sample_Distance = 5.0;
    pa.Error_Stop = 0;
    pa.Error_Wait_Min = 3;
    pa.Watchdog_Value = 0x21;
    ASSERT_EQ(1, ModuleTableAdd(&a, &pa, 6017));
    ASSERT_EQ(1, ModuleTableAdd(&b, &pb, 6018));
    WinapiQueueClick(IDC_MP_COPY);
    WinapiQueuePick(IDC_COPY_LIST, "First");
    WinapiQueueOk(); // the copy dialog
    WinapiQueueOk(); // the measurement dialog
    MessParamDialog(&pb);
    EXPECT_EQ(0, memcmp(&pa, &pb, sizeof pa));
    EXPECT_EQ("5.00", Text(kMeasure, IDC_MP_DISTANCE));
    EXPECT_EQ("3", Text(kMeasure, IDC_MP_WAIT));
    char item[32] = "";
    WinapiDialogItem("DLG_COPY_PAR", IDC_COPY_LIST, 1, item, sizeof item);
    EXPECT_STREQ("Second", item);
}

TEST_F(Settings, AWatchdogLeftOffKeepsNoSafetyValue) {
    MessParam p = Fresh();
    p.Watchdog_Value = 0x0F;
    WinapiQueueOk();
    WatchdogDialog(&p, 4);
    EXPECT_EQ(0, p.Watchdog_On);
    EXPECT_EQ(0, p.Watchdog_Value);
    EXPECT_FALSE(Control(kWatchdog, IDC_WD_TIME).enabled);
    EXPECT_EQ(-1, Control(kWatchdog, IDC_WD_TIME).selection);
    EXPECT_FALSE(Control(kWatchdog, IDC_WD_BIT0).enabled);
}

TEST_F(Settings, TheWatchdogTakesItsTimeAndTheChannelsSafetyBits) {
    MessParam p = Fresh();
    WinapiQueueClick(IDC_WD_ON);
    WinapiQueuePick(IDC_WD_TIME, " 10 sec");
    WinapiQueueClick(IDC_WD_BIT0 + 0);
    WinapiQueueClick(IDC_WD_BIT0 + 2);
    WinapiQueueOk();
    WatchdogDialog(&p, 4);
    EXPECT_EQ(1, p.Watchdog_On);
    EXPECT_EQ(10, p.Watchdog_Time);
    EXPECT_EQ(0x5, p.Watchdog_Value);
    EXPECT_EQ(12, Control(kWatchdog, IDC_WD_TIME).itemCount);
    EXPECT_TRUE(Control(kWatchdog, IDC_WD_BIT0 + 3).enabled);
    EXPECT_FALSE(Control(kWatchdog, IDC_WD_BIT0 + 4).enabled);
}

TEST_F(Settings, TheWatchdogHelpOpensItsContext) {
    MessParam p = Fresh();
    WinapiHelpCallsClear();
    WinapiQueueClick(IDHELP);
    WinapiQueueCancel();
    WatchdogDialog(&p, 2);
    ASSERT_EQ(1, WinapiHelpCallCount());
    WinapiHelpCall call;
    WinapiHelpCallAt(0, &call);
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), call.command);
    EXPECT_EQ(1040u, call.data);
}

} // namespace
