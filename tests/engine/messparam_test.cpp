// The measurement settings: the defaults of a new block, the checks where a
// sample distance enters, and the three dialogs driven headless.
#include "engine_fixture.h"

#include "resource.h"

#include <math.h>

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

// The block's own sample distance: above 0, a number, finite. With the
// global settings the block has none of its own to check.
TEST_F(Settings, AnOwnSampleDistanceOfZeroOrBelowIsRefused) {
    const struct {
        double distance;
        UINT fault;
    } cases[] = {
        {-1.0, IDS_BAD_SAMPLE_DISTANCE},
        {0.0, IDS_BAD_SAMPLE_DISTANCE},
        {-0.0, IDS_BAD_SAMPLE_DISTANCE},
        {1e-300, 0u},
        {0.0009, 0u},
        {NAN, IDS_BAD_SAMPLE_DISTANCE},
        {INFINITY, IDS_BAD_SAMPLE_DISTANCE},
        {-INFINITY, IDS_BAD_SAMPLE_DISTANCE},
        {0.001, 0u},
        {0.5, 0u},
        {86400.0, 0u},
    };
    for (const auto& c : cases) {
        MessParam p = Fresh();
        p.Sample_Distance = c.distance;
        EXPECT_EQ(c.fault, MessParamFault(&p)) << c.distance;
        EXPECT_EQ(c.fault, MessParamStartFault(&p)) << c.distance;
        p.Use_Global_Settings = 1;
        fGlobalMilliSecondsPerSample = 20.0;
        uiGlobalBlockSize = 1;
        EXPECT_EQ(0u, MessParamFault(&p)) << c.distance;
        EXPECT_EQ(0u, MessParamStartFault(&p)) << c.distance;
    }
}

// A block that starts with the global settings takes the host's: a sample
// distance above 0 and a block size of 1 to 65535.
TEST_F(Settings, AStartWithGlobalSettingsNeedsTheHostsToBeInRange) {
    MessParam p = Fresh();
    p.Use_Global_Settings = 1;
    p.Sample_Distance = 0.0; // not used with the global settings
    const struct {
        double ms;
        UINT size;
        UINT fault;
    } cases[] = {
        {20.0, 0, IDS_BAD_GLOBAL_BLOCK_SIZE},
        {20.0, 1, 0u},
        {20.0, 65535, 0u},
        {20.0, 65536, IDS_BAD_GLOBAL_BLOCK_SIZE},
        {0.0, 50, IDS_BAD_GLOBAL_DISTANCE},
        {-5.0, 50, IDS_BAD_GLOBAL_DISTANCE},
        {NAN, 50, IDS_BAD_GLOBAL_DISTANCE},
        {INFINITY, 50, IDS_BAD_GLOBAL_DISTANCE},
        {0.1, 50, 0u},
    };
    for (const auto& c : cases) {
        fGlobalMilliSecondsPerSample = c.ms;
        uiGlobalBlockSize = c.size;
        EXPECT_EQ(c.fault, MessParamStartFault(&p)) << c.ms << " ms, " << c.size;
        EXPECT_EQ(0u, MessParamFault(&p)) << "the dialog does not check the host's";
    }
}

// A loaded record keeps its numbers as they were saved; the dialogs limit
// them where the user edits them.
TEST_F(Settings, ALoadedRecordKeepsItsNumbersAsSaved) {
    MessParam p = Fresh();
    p.Error_Wait_Min = 99999;
    p.Error_Var_Nr = 0;
    p.Watchdog_Time = 40;
    p.Sample_Distance = 0.0005;
    MessParam saved = p;
    EXPECT_EQ(1, MessParamAfterLoad("Blk", &p));
    EXPECT_EQ(0, memcmp(&saved, &p, sizeof p));
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
    } cases[] = {{"0.995", 1.0}, {"59.8", 60.0}, {"0.5", 0.5}, {"0.0004", 0.0004}};
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

TEST_F(Settings, ASampleDistanceOfZeroOrBelowIsRefusedAtOk) {
    for (const char* typed : {"0", "-0.5", "x"}) {
        SCOPED_TRACE(typed);
        WinapiDialogsReset();
        MessParam p = Fresh();
        WinapiQueueType(IDC_MP_DISTANCE, typed);
        WinapiQueueOk();
        WinapiQueueCancel();
        MessParamDialog(&p);
        EXPECT_EQ(1.0, p.Sample_Distance);
        ASSERT_EQ(1, WinapiMessageBoxCount());
        WinapiMessageBoxCall box;
        WinapiMessageBoxAt(0, &box);
        EXPECT_STREQ("Measurement", box.caption);
        EXPECT_STREQ("The sample distance must be more than 0 seconds.", box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type & MB_ICONMASK);
    }
}

// The host's global settings cannot be changed in this dialog: whatever they
// are, "Use Global Setup" is taken (a start with them checks them).
TEST_F(Settings, UseGlobalSetupIsTakenWhateverTheHostsSettingsAre) {
    fGlobalMilliSecondsPerSample = 0.0;
    uiGlobalBlockSize = 70000;
    MessParam p = Fresh();
    p.Sample_Distance = 0.0; // an own distance left unused
    WinapiQueueClick(IDC_MP_GLOBAL);
    WinapiQueueOk();
    MessParamDialog(&p);
    EXPECT_EQ(1, p.Use_Global_Settings);
    EXPECT_EQ(0, WinapiMessageBoxCount());
    EXPECT_EQ(IDOK, WinapiDialogResult(kMeasure));
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
