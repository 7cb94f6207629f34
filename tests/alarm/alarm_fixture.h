// Blocks of the types with alarm outputs and counters in the stand-in host,
// from the shipped plug-in under a family's file name, against modules
// simulated on a pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_ALARM_FIXTURE_H
#define TESTS_ALARM_FIXTURE_H

#include "plugin_fixture.h"

#include "experiment_run.h"

#include "modsim.h"
#include "modules/analog/nd6011.h"
#include "modules/multi/nd6080.h"
#include "winapi_headless.h"

#include <stdint.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace alarmtest {

// Menu ids of the types.
const int kND6011 = 2950;
const int kND6011P = 2951;
const int kND6012 = 2952;
const int kND6080 = 2965;

class AlarmTest : public PluginTest {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        WinapiDialogsReset();
        PluginTest::SetUp();
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        std::ofstream(dir + "/XX02.ini") << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n";
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(dir + "/com1"));
        ASSERT_EQ(1, bus.Start());
    }
    void TearDown() override {
        WinapiUseRealClock();
        SetRunning(0);
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        bus.Close();
        WinapiDialogsReset();
        PluginTest::TearDown();
    }

    // The plug-in under the file name that selects the family ("Telvio.so":
    // "TELV"; "Plug.so": the default family).
    // Another plug-in bound before is unloaded first, with its blocks.
    void Load(const char* name = "Telvio.so") {
        if (plugin.module) {
            while (hostsim::BlockCount() > 0)
                hostsim::DeleteBlock(hostsim::BlockAt(0));
            hostsim::UnloadPlugin(&plugin);
            ASSERT_TRUE(hostsim::Start());
            hostsim::SetExeFileDir((dir + "/").c_str());
        }
        ASSERT_EQ(1, Bind(name));
    }

    // A new block of the type on COM1 at the address.
    hostsim::Block* NewBlock(int menuId, int address = 1) {
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        hostsim::Block* b = hostsim::CreateBlock(c);
        if (b == nullptr) return nullptr;
        // Sweeps a quarter of an hour apart unless a test asks for more: a
        // test sees one sweep however slowly the machine runs.
        if (menuId == kND6080) {
            P80(b)->Module_Address = address;
            P80(b)->Com.Port_Number = 1;
            P80(b)->Mess.Sample_Distance = 900.0;
        } else {
            P(b)->Module_Address = address;
            P(b)->Com.Port_Number = 1;
            P(b)->Mess.Sample_Distance = 900.0;
        }
        return b;
    }
    static size_t CountOutputs(WORD mask) {
        size_t n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        return n;
    }
    // The block's channels: the mask and as many outputs.
    static void Channels(hostsim::Block* b, WORD mask) {
        UINT outputs = static_cast<UINT>(CountOutputs(mask));
        if (b->moduleClass->record.uMenuId == static_cast<UINT>(kND6080))
            P80(b)->Channel_Mask = mask;
        else
            P(b)->Channel_Mask = mask;
        b->record.uOutputs = outputs;
    }
    static ND6011_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6011_Param*>(b->param.data());
    }
    static ND6011_Runtime* R(hostsim::Block* b) {
        return reinterpret_cast<ND6011_Runtime*>(b->runtime.data());
    }
    static ND6080_Param* P80(hostsim::Block* b) {
        return reinterpret_cast<ND6080_Param*>(b->param.data());
    }
    static ND6080_Runtime* R80(hostsim::Block* b) {
        return reinterpret_cast<ND6080_Runtime*>(b->runtime.data());
    }

    // The experiment flag the host keeps in the plug-in's variable.
    static void SetRunning(int running) {
        BOOL flag = running ? TRUE : FALSE;
        hostsim::WriteDllVariable("bExperimentIsRunning", &flag, sizeof flag);
    }
    int Start(hostsim::Block* b) {
        SetRunning(1);
        return hostsim::SendClassMessage(b, MODMSG_START, 0, 0);
    }
    void Stop(hostsim::Block* b) {
        hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
        SetRunning(0);
    }

    // Lines the modules received since the log was cleared.
    std::vector<std::string> Wire() {
        std::vector<std::string> lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(e.line);
        return lines;
    }
    // The lines from the first one that starts with `from` on.
    std::vector<std::string> WireFrom(const std::string& from) {
        std::vector<std::string> all = Wire();
        for (size_t i = 0; i < all.size(); i++)
            if (all[i].compare(0, from.size(), from) == 0)
                return std::vector<std::string>(all.begin() + static_cast<long>(i), all.end());
        return {};
    }
    // What the module at address 1 received after the probe and the model.
    std::vector<std::string> AfterModel() {
        std::vector<std::string> wire = Wire();
        for (size_t i = 0; i < wire.size(); i++)
            if (wire[i] == "$01M")
                return std::vector<std::string>(wire.begin() + static_cast<long>(i) + 1,
                                                wire.end());
        return {};
    }
    modsim::Module ModuleAt(int address) {
        modsim::Module m;
        EXPECT_EQ(1, bus.GetModule(address, &m));
        return m;
    }
    const hostsim::Warning* LastWarning() const {
        const std::vector<hostsim::Warning>& w = hostsim::Warnings();
        return w.empty() ? nullptr : &w.back();
    }

    // Processes the block until `count` data blocks have been delivered in
    // all, or the module has had two seconds; a manual clock moves 1 ms a call,
    // so the pause between writes passes as it would.
    void ProcessUntil(hostsim::Block* b, size_t count) {
        for (int i = 0; i < 2000 && hostsim::ReleasedOutputBlocks().size() < count; i++) {
            hostsim::ProcessBlock(b);
            usleep(1000);
            if (WinapiClockIsManual()) WinapiAdvanceClock(1);
        }
    }
    // Processes until the module at the address has received `lines` lines
    // since the log was cleared, or two seconds have passed.
    void ProcessUntilLines(hostsim::Block* b, size_t lines) {
        for (int i = 0; i < 2000 && bus.LogCount() < lines; i++) {
            hostsim::ProcessBlock(b);
            usleep(1000);
            if (WinapiClockIsManual()) WinapiAdvanceClock(1);
        }
    }

    static MessParam* Mess(hostsim::Block* b) {
        return b->moduleClass->record.uMenuId == static_cast<UINT>(kND6080) ? &P80(b)->Mess
                                                                            : &P(b)->Mess;
    }

    // Two started blocks of one type, half a second apart, that wait a minute
    // after an error; the module of the failing one falls silent as the
    // cycles begin. The failing block delivers nothing; the healthy one, on
    // output 0, `value` at every sweep, and half a second apart from 4 s on
    // (after the other's outage).
    void ExpectTheHealthyKeepsItsRate(hostsim::Block* healthy, hostsim::Block* failing,
                                      int failingAddress, float value) {
        for (hostsim::Block* b : {healthy, failing}) {
            Mess(b)->Sample_Distance = 0.5;
            Mess(b)->Error_Stop = 0;
            Mess(b)->Error_Wait_Min = 1;
        }
        hostsim::ExperimentOptions o = experimenttest::Manual(12.0);
        auto started = o.onStarted;
        o.onStarted = [&] {
            started();
            bus.InjectFault(failingAddress,
                            modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
        EXPECT_EQ(0, r.stoppedByPlugin);
        EXPECT_TRUE(experimenttest::Delivered(r, failing, 0).empty());
        std::vector<double> times;
        for (const hostsim::ReleasedBlock& d : experimenttest::Delivered(r, healthy, 0)) {
            EXPECT_FLOAT_EQ(value, d.samples[0]);
            if (d.time >= 4.0) times.push_back(d.time);
        }
        ASSERT_EQ(16u, times.size());
        for (size_t i = 0; i < times.size(); i++)
            EXPECT_DOUBLE_EQ(4.0 + 0.5 * static_cast<double>(i), times[i]);
    }

    modsim::Bus bus;
};

} // namespace alarmtest

#endif
