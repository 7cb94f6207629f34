// Blocks of the analog output types and of the digital inputs of the
// four-channel output module in the stand-in host, from the shipped plug-in
// under a family's file name, against modules simulated on a
// pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_ANALOGOUT_FIXTURE_H
#define TESTS_ANALOGOUT_FIXTURE_H

#include "plugin_fixture.h"

#include "experiment_run.h"

#include "modsim.h"
#include "winapi_headless.h"

#include <stdint.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace aotest {

// Menu ids of the types.
const int kND6021 = 2957;
const int kND6022 = 2967;
const int kND6024 = 2968;
const int kND6024I = 2969;

using Lines = std::vector<std::string>;

class AnalogOutTest : public PluginTest {
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
        // A test that ended early leaves no port open for the next one.
        for (int i = 0; i < hostsim::BlockCount(); i++)
            hostsim::SendClassMessage(hostsim::BlockAt(i), MODMSG_STOP, 0, 0);
        SetRunning(0);
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        bus.Close();
        WinapiDialogsReset();
        // The plug-in is finished as the host finishes it: its window
        // classes go, so a later copy's dialogs never reach this one's code.
        if (plugin.module) hostsim::FinishPlugin(&plugin);
        PluginTest::TearDown();
    }

    // The plug-in under the file name that selects the family ("Telvio.so":
    // "TELV"; "Plug.so": the default family; "XX03.so": "XX03"). Another
    // plug-in bound before is unloaded first, with its blocks.
    void Load(const char* name = "Telvio.so") {
        if (plugin.module) {
            while (hostsim::BlockCount() > 0)
                hostsim::DeleteBlock(hostsim::BlockAt(0));
            hostsim::FinishPlugin(&plugin);
            ASSERT_TRUE(hostsim::Start());
            hostsim::SetExeFileDir((dir + "/").c_str());
        }
        ASSERT_EQ(1, Bind(name));
    }

    // A new block of the type with `inputs` inputs on COM1, a quarter of an
    // hour between its cycles unless a test asks for more.
    template <class Param> Param* NewBlock(int menuId, int inputs, hostsim::Block** out) {
        *out = nullptr;
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        hostsim::Block* b = hostsim::CreateBlock(c);
        if (b == nullptr) return nullptr;
        b->record.uInputs = static_cast<UINT>(inputs);
        Param* p = P<Param>(b);
        p->Com.Port_Number = 1;
        p->Mess.Sample_Distance = 900.0;
        *out = b;
        return p;
    }
    template <class Param> static Param* P(hostsim::Block* b) {
        return reinterpret_cast<Param*>(b->param.data());
    }
    static ChannelScan12* Scan12(hostsim::Block* b, int input) {
        return reinterpret_cast<ChannelScan12*>(b->channelScan[input].data());
    }
    static ChannelScan* Scan(hostsim::Block* b, int input) {
        return reinterpret_cast<ChannelScan*>(b->channelScan[input].data());
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
    // The experiment clock from 0, on the manual clock.
    static void ClockFromZero() {
        WinapiUseManualClock(10000);
        hostsim::StartExperimentClock();
    }

    // A data block with these samples waits at the input.
    static void Feed(hostsim::Block* b, int input, std::vector<float> samples) {
        hostsim::QueueInputBlock(b, input, 0.0, 0.5, samples);
    }

    // Lines the modules received since the log was cleared (a module with
    // checksums: without its two digits).
    Lines Wire(int checksums = 0) {
        Lines lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(checksums && e.line.size() > 2 ? e.line.substr(0, e.line.size() - 2)
                                                           : e.line);
        return lines;
    }
    // The lines after the first one equal to `line`.
    Lines After(const std::string& line, int checksums = 0) {
        Lines wire = Wire(checksums);
        for (size_t i = 0; i < wire.size(); i++)
            if (wire[i] == line) return Lines(wire.begin() + static_cast<long>(i) + 1, wire.end());
        return {};
    }
    // The lines that start with `head`.
    // An experiment of `seconds` on the manual clock whose bus log starts
    // empty once every block has started.
    hostsim::ExperimentOptions ManualAfterStart(double seconds) {
        hostsim::ExperimentOptions o = experimenttest::Manual(seconds);
        auto started = o.onStarted;
        o.onStarted = [this, started] {
            started();
            bus.ClearLog();
        };
        return o;
    }
    Lines Starting(const std::string& head) {
        Lines out;
        for (const std::string& l : Wire())
            if (l.compare(0, head.size(), head) == 0) out.push_back(l);
        return out;
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
    std::string LastWarningText() const {
        return LastWarning() ? LastWarning()->text : std::string();
    }

    // Processes the block until the modules have received `lines` lines
    // since the log was cleared, or two seconds have passed.
    void ProcessUntilLines(hostsim::Block* b, size_t lines) {
        // A manual clock moves 1 ms a call, so the pause between writes and
        // the quiet line behind a reply pass as they would.
        for (int i = 0; i < 2000 && bus.LogCount() < lines; i++) {
            hostsim::ProcessBlock(b);
            usleep(1000);
            if (WinapiClockIsManual()) WinapiAdvanceClock(1);
        }
        // The reply of the last one is taken in.
        for (int i = 0; i < 200; i++) {
            hostsim::ProcessBlock(b);
            usleep(500);
            if (WinapiClockIsManual()) WinapiAdvanceClock(1);
        }
    }

    // Two started blocks of one form, half a second between their cycles,
    // that wait a minute after an error, fed by one ramp; the module of the
    // failing one falls silent as the cycles begin. The failing module is
    // asked twice (the write and its repeat), then its block waits; the
    // healthy module gets a new value every half second from 4 s on (after
    // the other's outage).
    void ExpectTheHealthyKeepsItsRate(hostsim::Block* healthy, MessParam* healthyMess,
                                      int healthyAddress, hostsim::Block* failing,
                                      MessParam* failingMess, int failingAddress) {
        for (MessParam* m : {healthyMess, failingMess}) {
            m->Sample_Distance = 0.5;
            m->Error_Stop = 0;
            m->Error_Wait_Min = 1;
        }
        hostsim::InputSource ramp;
        ramp.kind = hostsim::INPUT_RAMP;
        ramp.a = 0.0;
        ramp.b = 10.0;
        ramp.c = 5.0;
        ramp.every = 0.25;
        std::string error;
        ASSERT_EQ(1, hostsim::ConnectInput(healthy, 0, ramp, &error)) << error;
        ASSERT_EQ(1, hostsim::ConnectInput(failing, 0, ramp, &error)) << error;

        hostsim::ExperimentOptions o = experimenttest::Manual(12.0);
        auto started = o.onStarted;
        std::vector<double> writes; // experiment times the healthy module was written
        size_t seen = 0;
        o.onStarted = [&] {
            started();
            bus.ClearLog();
            bus.InjectFault(failingAddress,
                            modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
        };
        auto cycle = o.onCycle;
        o.onCycle = [&](int n, int busy) {
            cycle(n, busy);
            size_t now = ModuleAt(healthyAddress).writes.size();
            if (now > seen) writes.push_back(hostsim::ExperimentTime());
            seen = now;
        };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
        EXPECT_EQ(0, r.stoppedByPlugin);
        int toFailing = 0;
        for (const modsim::LogEntry& e : bus.Log())
            toFailing += e.address == failingAddress;
        EXPECT_EQ(2, toFailing);
        std::vector<double> late;
        for (double t : writes)
            if (t >= 4.0) late.push_back(t);
        ASSERT_GE(late.size(), 15u);
        for (size_t i = 1; i < late.size(); i++)
            EXPECT_NEAR(0.5, late[i] - late[i - 1], 0.1) << "at " << late[i];
    }

    modsim::Bus bus;
};

} // namespace aotest

#endif
