// The set-up sequences of the modules' own output watchdogs, against a
// simulated digital output module on COM1: the exact command lines of both
// module series, the keep-alive armed when the watchdog is on, and a wrong
// reply that ends the sequence and stops the experiment.
#include "frame/modwatchdog.h"
#include "serial/watchdog.h"
#include "template_fixture.h"

namespace {

using templatetest::TemplateTest;

constexpr TemplateType kType = ND6018_Descriptor({.type = "WD", .restartNote = "Restart WD"});

class ModuleWatchdog : public TemplateTest {
  protected:
    void SetUp() override {
        TemplateTest::SetUp();
        WatchdogReset();
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(ComLink(1)));
        ASSERT_EQ(1, bus.Start());
        block = NewBlock();
        ASSERT_NE(nullptr, block);
        ASSERT_EQ(1, OpenCom(1, "WD"));
    }
    void TearDown() override {
        CloseCom(1);
        WatchdogReset();
        TemplateTest::TearDown();
    }
    static MessParam Watch(int on, int seconds) {
        MessParam m;
        memset(&m, 0, sizeof m);
        m.Watchdog_On = on;
        m.Watchdog_Time = seconds;
        return m;
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> out;
        for (const modsim::LogEntry& e : bus.Log())
            out.push_back(e.line);
        return out;
    }
    hostsim::Block* block = nullptr;
};

TEST(WatchdogTimeoutCode, IsWholeUnitsLimitedToOneByte) {
    struct Case {
        int seconds, unitMs, code;
    } cases[] = {{2, 53, 37},    {2, 100, 20},  {13, 100, 130}, {6, 53, 113},
                 {30, 100, 255}, {13, 50, 255}, {0, 100, 1},    {-3, 100, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.code, WatchdogTimeoutCode(c.seconds, c.unitMs))
            << c.seconds << " s in " << c.unitMs << " ms";
}

TEST_F(ModuleWatchdog, TheSixThousandSeriesAsksItsTimeBaseAndArmsThePort) {
    struct Case {
        const char* model; // firmware "A1.0" of the 6050 gives '1' as fifth character
        int on;
        std::vector<std::string> lines;
    } cases[] = {
        {"6050", 1, {"$01F", "~012125FF"}},
        {"7050", 1, {"$01F", "~012114FF"}}, // firmware "A2.0": units of 100 ms
        {"6050", 0, {"~01200000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.model) + (c.on ? " on" : " off"));
        bus.RemoveModule(1);
        ASSERT_EQ(1, bus.AddModule(1, c.model, 0));
        bus.ClearLog();
        WatchdogReset();
        MessParam watch = Watch(c.on, 2);
        EXPECT_EQ(1, ModuleWatchdog6000(&kType, &block->record, 0, 1, &watch, "FF", 0, "0000", 0));
        EXPECT_EQ(c.lines, Lines());
        EXPECT_EQ(c.on != 0, WatchdogTable[0].Interval > 0.0);
    }
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
}

TEST_F(ModuleWatchdog, TheSevenThousandSeriesInBothOrders) {
    ASSERT_EQ(1, bus.AddModule(1, "7050", 0));
    WatchdogStep safe[2];
    ASSERT_EQ(1, WatchdogStepFormat(&safe[0], '>', 0, "#%02X00%02X", 1, 0x05));
    ASSERT_EQ(1, WatchdogStepFormat(&safe[1], '!', 0, "~%02X5S", 1));
    struct Case {
        int flags, on;
        std::vector<std::string> lines;
    } cases[] = {
        {WATCHDOG7_CLEAR_FIRST, 1, {"~011", "#010005", "~015S", "~013182"}},
        {WATCHDOG7_CLEAR_FIRST | WATCHDOG7_TIMEOUT_FIRST,
         1,
         {"~011", "~013182", "#010005", "~015S"}},
        {WATCHDOG7_CLEAR_FIRST, 0, {"~011", "~013000"}},
        {0, 1, {"#010005", "~015S", "~013182"}},
        {0, 0, {"~013000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags * 10 + c.on);
        bus.ClearLog();
        WatchdogReset();
        MessParam watch = Watch(c.on, 13);
        EXPECT_EQ(1,
                  ModuleWatchdog7000(&kType, &block->record, 0, 1, &watch, c.flags, safe, 2, 10));
        EXPECT_EQ(c.lines, Lines());
        EXPECT_EQ(c.on != 0, WatchdogTable[0].Interval > 0.0);
    }
}

TEST_F(ModuleWatchdog, AWrongReplyEndsTheSequenceAndStopsTheExperiment) {
    // An analog input module knows no output byte: "?01" to the safe value.
    ASSERT_EQ(1, bus.AddModule(1, "6018", 0));
    WatchdogStep safe[2];
    ASSERT_EQ(1, WatchdogStepFormat(&safe[0], '>', 0, "#%02X00%02X", 1, 0xFF));
    ASSERT_EQ(1, WatchdogStepFormat(&safe[1], '!', 0, "~%02X5S", 1));
    MessParam watch = Watch(1, 6);
    EXPECT_EQ(0, ModuleWatchdog7000(&kType, &block->record, 0, 1, &watch, WATCHDOG7_CLEAR_FIRST,
                                    safe, 2, 0));
    EXPECT_EQ((std::vector<std::string>{"~011", "#0100FF"}), Lines());
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ("Communication problem with this module occured.", LastWarning()->text);
}

TEST_F(ModuleWatchdog, ACommandThatDoesNotFitIsNeverSent) {
    ASSERT_EQ(1, bus.AddModule(1, "7050", 0));
    WatchdogStep step;
    EXPECT_EQ(0, WatchdogStepFormat(&step, '>', 0, "#%02X%s", 1, std::string(60, '7').c_str()));
    MessParam watch = Watch(1, 6);
    EXPECT_EQ(0, ModuleWatchdog7000(&kType, &block->record, 0, 1, &watch, 0, &step, 1, 0));
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
}

} // namespace
