// The keep-alive of the modules' output watchdogs: how arming sets a port's
// spacing, and the "~**" lines a bus of modules sees as experiment time goes
// on, on the manual clock.
#include "../common/driver_clock.h"
#include "modsim.h"
#include "serial/watchdog.h"
#include "serial_fixture.h"

#include <algorithm>

namespace {

using serialtest::SerialTest;

MessParam Settings(int watchdogSeconds) {
    MessParam m;
    memset(&m, 0, sizeof m);
    m.Watchdog_On = 1;
    m.Watchdog_Time = watchdogSeconds;
    return m;
}

class Watchdog : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        telviotest::SimulateOnDriverClock();
        WinapiUseManualClock(50000);
        hostsim::StartExperimentClock();
        WatchdogReset();
        for (int port : {2, 3}) {
            modsim::Bus& bus = port == 2 ? bus2 : bus3;
            std::string error;
            ASSERT_EQ(1, bus.Open(&error)) << error;
            ASSERT_EQ(1, bus.SetLink(ComLink(port)));
            ASSERT_EQ(1, bus.AddModule(1, "6050", 0));
            ASSERT_EQ(1, bus.AddModule(2, "6060", 0));
            ASSERT_EQ(1, bus.Start());
            ComSettings r = serialtest::Row(port);
            ASSERT_EQ(1, PortTableMerge(&r));
            ASSERT_EQ(1, OpenCom(port, "Test"));
        }
    }
    void TearDown() override {
        CloseCom(2);
        CloseCom(3);
        bus2.Close();
        bus3.Close();
        SerialTest::TearDown();
    }
    // Moves the experiment clock forward to `seconds`.
    static void At(double seconds) {
        double now = CurrentExperimentTime(1);
        if (seconds > now) WinapiAdvanceClock(static_cast<DWORD>((seconds - now) * 1000.0 + 0.5));
    }
    // The keep-alive lines the bus has taken in, once `expected` of them came.
    static int KeepAlives(modsim::Bus& bus, size_t expected) {
        bus.WaitForLog(expected, 2000);
        std::vector<modsim::LogEntry> log = bus.Log();
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [](const modsim::LogEntry& e) { return e.line == "~**"; }));
    }
    modsim::Bus bus2;
    modsim::Bus bus3;
};

TEST_F(Watchdog, TheShortestWatchdogTimeOnAPortSetsItsSpacing) {
    struct Case {
        int first, second;
        double interval;
    } cases[] = {
        {6, 10, 3.0},
        {10, 6, 3.0},
        {13, 13, 6.5},
        {2, 13, 1.0},
        {13, 2, 1.0},
        // Times from a loaded record outside the dialog's 2..13 s.
        {0, 0, 1.0},
        {-5, 10, 1.0},
        {40, 40, 6.5},
    };
    for (const Case& c : cases) {
        WatchdogReset();
        MessParam a = Settings(c.first), b = Settings(c.second);
        ASSERT_EQ(1, WatchdogArm(2, &a));
        ASSERT_EQ(1, WatchdogArm(2, &b));
        EXPECT_DOUBLE_EQ(c.interval, WatchdogTable[1].Interval) << c.first << " then " << c.second;
        EXPECT_EQ(0.0, WatchdogTable[2].Interval) << "another port stays unarmed";
    }
}

TEST_F(Watchdog, ThePortsLinesComeOncePerInterval) {
    MessParam ten = Settings(10);
    ASSERT_EQ(1, WatchdogArm(2, &ten)); // interval 5 s
    struct Step {
        double time;
        int sent;
    } steps[] = {{0.5, 0}, {4.9, 0}, {5.0, 1}, {5.0, 0}, {9.9, 0}, {10.0, 1}, {17.0, 1}, {21.9, 0}};
    int lines = 0;
    for (const Step& s : steps) {
        At(s.time);
        // The port's two blocks both tick; the second finds the line sent.
        int sent = WatchdogTick(2) + WatchdogTick(2);
        EXPECT_EQ(s.sent, sent) << "at " << s.time << " s";
        lines += sent;
    }
    EXPECT_EQ(3, KeepAlives(bus2, 3));
    EXPECT_EQ(0, KeepAlives(bus3, 0));
    // The line has no checksum and ends with a carriage return; no module
    // answers it.
    for (const modsim::LogEntry& e : bus2.Log())
        EXPECT_EQ("", e.reply);
    EXPECT_EQ(3, lines);
}

TEST_F(Watchdog, AZeroTimeFromALoadedRecordDoesNotFloodThePort) {
    MessParam zero = Settings(0);
    ASSERT_EQ(1, WatchdogArm(3, &zero));
    int sent = 0;
    for (int tenth = 1; tenth <= 30; tenth++) {
        At(tenth / 10.0);
        sent += WatchdogTick(3);
    }
    EXPECT_EQ(3, sent); // at 1, 2 and 3 s
    EXPECT_EQ(3, KeepAlives(bus3, 3));
}

TEST_F(Watchdog, AnUnarmedPortSendsNothing) {
    MessParam six = Settings(6);
    ASSERT_EQ(1, WatchdogArm(2, &six));
    WatchdogReset(); // the stop of a block type with a module watchdog
    At(30.0);
    EXPECT_EQ(0, WatchdogTick(2));
    EXPECT_EQ(0, WatchdogTick(3));
    EXPECT_EQ(0, WatchdogTick(0));
    EXPECT_EQ(0, WatchdogTick(17));
    EXPECT_EQ(0u, bus2.LogCount());
    EXPECT_EQ(0u, bus3.LogCount());
}

TEST_F(Watchdog, APortOutsideTheTableIsAnInternalError) {
    MessParam six = Settings(6);
    ASSERT_EQ(1, WatchdogArm(2, &six));
    WatchdogTable[1].Last_Sent = 12.0;
    WatchdogSlot before[WATCHDOG_PORTS];
    memcpy(before, WatchdogTable, sizeof before);
    for (int port : {17, 0, -1}) {
        size_t errors = hostsim::InternalErrors().size();
        EXPECT_EQ(0, WatchdogArm(port, &six));
        ASSERT_EQ(errors + 1, hostsim::InternalErrors().size());
        EXPECT_EQ(0u, hostsim::InternalErrors().back().find("Watchdog:# of com ports (watchdog:"));
    }
    EXPECT_EQ(0, memcmp(before, WatchdogTable, sizeof before));
}

TEST_F(Watchdog, ArmingAgainRestartsThePortsSpacing) {
    MessParam ten = Settings(10);
    ASSERT_EQ(1, WatchdogArm(2, &ten));
    At(5.0);
    EXPECT_EQ(1, WatchdogTick(2));
    // A second experiment: the clock starts again at 0.
    WatchdogReset();
    hostsim::StartExperimentClock();
    ASSERT_EQ(1, WatchdogArm(2, &ten));
    At(4.9);
    EXPECT_EQ(0, WatchdogTick(2));
    At(5.0);
    EXPECT_EQ(1, WatchdogTick(2));
    EXPECT_EQ(2, KeepAlives(bus2, 2));
}

} // namespace
