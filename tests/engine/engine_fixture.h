// What the engine tests share: a temporary folder that is the host's folder
// and the COM-port folder, the plug-in's sources bound to the stand-in host,
// a module bus on COM1, and helpers that step the engine.
#ifndef TESTS_ENGINE_FIXTURE_H
#define TESTS_ENGINE_FIXTURE_H

#include "frame/driver.h"
#include "frame/host.h"
#include "frame/messparam.h"
#include "hostsim/hostsim.h"
#include "modsim.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace enginetest {

inline void SelectFamily(int* flag) {
    FAMILY_ND = FAMILY_XX01 = FAMILY_XX03 = FAMILY_XX04 = FAMILY_XX05 = FAMILY_XX06 = FAMILY_TELV =
        0;
    *flag = 1;
}

inline ComSettings Row(int port) {
    ComSettings r;
    memset(&r, 0, sizeof r);
    r.Port_Number = port;
    r.Baud_Rate = 3;
    r.Data_Bits = 8;
    r.Stop_Bits = 1;
    r.RS232_Buffer = 1;
    return r;
}

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

// The plug-in's sources bound to the stand-in host; a copy of the plug-in
// in the test folder supplies the resources.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        char tmpl[] = "/tmp/telvio-engine-XXXXXX";
        const char* d = mkdtemp(tmpl);
        ASSERT_NE(nullptr, d);
        dir = d;
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        std::string copy = dir + "/Telvio.so";
        {
            std::ifstream in(TELVIO_PLUGIN, std::ios::binary);
            std::ofstream out(copy, std::ios::binary);
            out << in.rdbuf();
        }
        module = LoadLibraryA(copy.c_str());
        ASSERT_NE(nullptr, module);
        hostsim::SetVariableValue("hInstVarnix",
                                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(module)));
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
        hInstDriver = module;
        hwndHost = hostsim::MainWindow();
        SelectFamily(&FAMILY_TELV);
        MinModuleAddress = 1;
        bExperimentIsRunning = 0;
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        NumComPorts = 0;
        FlowControl = 0;
        BusyTimeOut = 1500;
        ReOpenComOnError = 0;
        ScanAnalogChannelMask = 0;
        WinapiDialogsReset();
    }
    void TearDown() override {
        WinapiUseRealClock();
        ScanListFree();
        ScanEngineReset();
        while (ModuleTableCount() > 0)
            ModuleTableRemoveFirst();
        for (int port = 1; port <= MAX_COM_PORTS; port++)
            CloseCom(port);
        bus.Close();
        MonitorStop();
        WinapiDialogsReset();
        if (module) FreeLibrary(module);
        std::string cmd = "rm -rf '" + dir + "'";
        (void)system(cmd.c_str());
    }
    static int ModuleTableRemoveFirst() {
        ModuleTableResetCursor();
        return ModuleTableRemove(ModuleTableCurrent());
    }
    std::string ComLink(int port) const { return dir + "/com" + std::to_string(port); }

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

    // Steps until the engine leaves SS_BUSY or, on the real clock, the
    // module has had two seconds to answer.
    int StepUntilDone() {
        int state = ScanStep();
        for (int i = 0; i < 2000 && state == SS_BUSY; i++) {
            usleep(1000);
            state = ScanStep();
        }
        return state;
    }

    // One transaction of the entry, stepped to its end.
    int Transact(ScanHandle handle) {
        if (ScanBegin(handle, &block) != 1) return -1;
        return StepUntilDone();
    }

    // Lines the module received since the log was last cleared.
    std::vector<std::string> Wire() {
        std::vector<std::string> lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(e.line);
        return lines;
    }

    std::string dir;
    HMODULE module = nullptr;
    modsim::Bus bus;
    ModuleRecord block = {};
};

inline void NameBlock(ModuleRecord* block, const char* name) {
    snprintf(block->szName, sizeof block->szName, "%s", name);
}

} // namespace enginetest

#endif
