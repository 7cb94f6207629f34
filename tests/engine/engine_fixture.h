// What the engine tests share: a temporary folder that is the host's folder
// and the COM-port folder, the plug-in's sources bound to the stand-in host,
// a module bus on COM1, and helpers that step the engine.
#ifndef TESTS_ENGINE_FIXTURE_H
#define TESTS_ENGINE_FIXTURE_H

#include "host/driver.h"
#include "host/host.h"
#include "frame/messparam.h"
#include "driver_clock.h"
#include "heard.h"
#include "hostsim/hostsim.h"
#include "modsim.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "serial_fixture.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace enginetest {

using serialtest::Row;
using serialtest::SelectFamily;

// The notes and lines of the RS-232 monitor, one text each.
inline std::vector<std::string> MonitorLines() {
    std::vector<std::string> lines;
    char text[128];
    for (int i = 0; MonitorFormatEntry(i, 1, text, sizeof text); i++)
        lines.push_back(text);
    return lines;
}

inline int MonitorHas(const std::string& what) {
    int n = 0;
    for (const std::string& line : MonitorLines())
        if (line.size() >= what.size() &&
            line.compare(line.size() - what.size(), what.size(), what) == 0)
            n++;
    return n;
}

// The serial code's fixture, with the poll engine's state reset around
// each test and a module bus for COM1.
class EngineTest : public serialtest::SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        telviotest::SimulateOnDriverClock();
        MinModuleAddress = 1;
        bExperimentIsRunning = 0;
        BusyTimeOut = 1500;
        ReOpenComOnError = 0;
        WinapiDialogsReset();
        sentBefore = WinapiCommLinesWritten(1);
        // The pause between writes is the driver's, over every port and
        // test: one an earlier test of this program began ends on the real
        // clock before this test may stop the clock.
        WinapiUseRealClock();
        for (int i = 0; i < 1000 && ComPaceLeft() > 0; i++)
            usleep(1000);
    }
    void TearDown() override {
        WinapiUseRealClock();
        // The blocks a test made go while the driver's tables still hold them.
        hostsim::CloseWorksheet();
        ScanListFree();
        ScanEngineReset();
        while (ModuleTableCount() > 0)
            ModuleTableRemoveFirst();
        for (int port = 1; port <= MAX_COM_PORTS; port++)
            CloseCom(port);
        bus.Close();
        WinapiDialogsReset();
        SerialTest::TearDown();
    }
    static int ModuleTableRemoveFirst() {
        ModuleTableResetCursor();
        return ModuleTableRemove(ModuleTableCurrent());
    }
    // The bus on COM1, served by its own thread unless `pumped`; the port
    // configured and opened.
    void OpenBus(bool pumped = false) {
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(ComLink(1)));
        if (!pumped) {
            ASSERT_EQ(1, bus.Start());
        }
        ComSettings r = Row(1);
        ASSERT_EQ(1, PortTableMerge(&r));
        ASSERT_EQ(1, OpenCom(1, "Test"));
    }

    // Steps until the engine leaves SS_BUSY or the module has had two
    // seconds to answer. On the manual clock each step moves it 1 ms, so the
    // pause between writes, a line's guard and the quiet after a reply pass
    // as they would.
    int StepUntilDone() {
        int state = ScanStep();
        for (int i = 0; i < 2000 && state == SS_BUSY; i++) {
            usleep(1000);
            if (WinapiClockIsManual()) WinapiAdvanceClock(1);
            state = ScanStep();
        }
        return state;
    }
    // The line's guard after a time-out or a wrong reply, in milliseconds.
    static DWORD GuardMs() { return static_cast<DWORD>(ScanLineGuard() / FINE_PER_MS); }

    // One transaction of the entry, stepped to its end.
    int Transact(ScanHandle handle) {
        if (ScanBegin(handle, &block) != 1) return -1;
        return StepUntilDone();
    }

    // A bounded wait until the bus has heard every line written to COM1:
    // before a count of lines, a check that none was sent, or a change of
    // its faults.
    void WaitHeard() {
        EXPECT_EQ(1, telviotest::WaitUntilHeard(bus, 1, sentBefore))
            << "the simulator heard " << bus.Heard() << " of the "
            << WinapiCommLinesWritten(1) - sentBefore << " lines written";
    }
    // A bounded wait until the port holds `bytes` bytes that no reply took
    // (the bytes a module wrote reach the port a moment later).
    static int WaitPending(int port, size_t bytes) {
        for (int i = 0; i < 3000; i++) {
            if (ComPendingBytes(port) >= static_cast<int>(bytes)) return 1;
            usleep(1000);
        }
        return 0;
    }
    // The bytes the modules sent in reply since the log was cleared.
    static size_t ReplyBytes(const modsim::Bus& on) {
        size_t n = 0;
        for (const modsim::LogEntry& e : on.Log())
            n += e.reply.size();
        return n;
    }

    // Lines the module received since the log was last cleared.
    std::vector<std::string> Wire() {
        std::vector<std::string> lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(e.line);
        return lines;
    }

    modsim::Bus bus;
    ModuleRecord block = {};
    unsigned long sentBefore = 0; // lines written to COM1 before the test
};

inline void NameBlock(ModuleRecord* block, const char* name) {
    snprintf(block->szName, sizeof block->szName, "%s", name);
}

} // namespace enginetest

#endif
