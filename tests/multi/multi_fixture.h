// Blocks of the multi-block types in the stand-in host, from the shipped
// plug-in under a family's file name, against modules simulated on a
// pseudo-terminal mapped to COM1 (9600 baud).
#ifndef TESTS_MULTI_FIXTURE_H
#define TESTS_MULTI_FIXTURE_H

#include "plugin_fixture.h"

#include "experiment_run.h"

#include "modsim.h"
#include "modules/multi/nd6014.h"
#include "winapi_headless.h"

#include <string.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace multitest {

// Menu ids of the types.
const int kND6014 = 2989;
const int kND6016 = 2987;
const int kND6058 = 2975;

// The controls of the creation dialogs (ND6014; ND6016's are 10 lower).
const int kNew6014 = 1330;
const int kJoin6014 = 1331;
const int kModules6014 = 1332;
const int kAnalog6014 = 1333;
const int kOutput6014 = 1334;
const int kInputs6014 = 1335;

class MultiTest : public PluginTest {
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
    // "TELV"; "Plug.so": the default family, where ND6058 is).
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

    // A new block through its creation dialog: `choose` queues what the
    // user does there before OK (nothing: OK on what the dialog offers).
    hostsim::Block* Create(int menuId, const std::function<void()>& choose = nullptr) {
        const hostsim::ModuleClass* c = hostsim::FindClassByMenuId(menuId);
        if (c == nullptr) return nullptr;
        if (choose) choose();
        WinapiQueueOk();
        return hostsim::CreateBlock(c);
    }

    static ND6014_Param* P14(hostsim::Block* b) {
        return reinterpret_cast<ND6014_Param*>(b->param.data());
    }
    static ND6014_Runtime* R14(hostsim::Block* b) {
        return reinterpret_cast<ND6014_Runtime*>(b->runtime.data());
    }
    // The common fields of the three records.
    static int& Address(hostsim::Block* b) { return P14(b)->Module_Address; }
    static ComSettings& Com(hostsim::Block* b) { return P14(b)->Com; }
    static MessParam& Mess(hostsim::Block* b) { return P14(b)->Mess; }
    static WORD& Mask(hostsim::Block* b) { return P14(b)->Channel_Mask; }

    // A master on COM1 at the address, measuring every `seconds`.
    static void OnCom1(hostsim::Block* master, int address, double seconds = 900.0) {
        Address(master) = address;
        Com(master).Port_Number = 1;
        Mess(master).Sample_Distance = seconds;
    }
    // The block's channels: the mask and as many outputs (input blocks) or
    // inputs (output blocks).
    static void Channels(hostsim::Block* b, WORD mask, bool input) {
        UINT n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        Mask(b) = mask;
        (input ? b->record.uOutputs : b->record.uInputs) = n;
    }

    static void SetRunning(int running) {
        BOOL flag = running ? TRUE : FALSE;
        hostsim::WriteDllVariable("bExperimentIsRunning", &flag, sizeof flag);
    }
    // Sends MODMSG_START to the blocks in this order; the first answer that
    // is not 1, or 1.
    int StartAll(const std::vector<hostsim::Block*>& blocks) {
        SetRunning(1);
        for (hostsim::Block* b : blocks) {
            int answer = hostsim::SendClassMessage(b, MODMSG_START, 0, 0);
            if (answer != 1) return answer;
        }
        return 1;
    }
    void StopAll(const std::vector<hostsim::Block*>& blocks) {
        for (hostsim::Block* b : blocks)
            hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
        SetRunning(0);
    }

    std::vector<std::string> Wire() {
        std::vector<std::string> lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(e.line);
        return lines;
    }
    // What the module at `address` received after its model query.
    std::vector<std::string> AfterModel(int address = 1) {
        char model[8];
        snprintf(model, sizeof model, "$%02XM", address);
        std::vector<std::string> wire = Wire();
        for (size_t i = 0; i < wire.size(); i++)
            if (wire[i] == model)
                return std::vector<std::string>(wire.begin() + static_cast<long>(i) + 1,
                                                wire.end());
        return {};
    }
    int Count(const std::string& line) {
        int n = 0;
        for (const std::string& l : Wire())
            n += l == line;
        return n;
    }
    // Lines that begin so (a line may carry its checksum).
    int CountStarting(const std::string& head) {
        int n = 0;
        for (const std::string& l : Wire())
            n += l.compare(0, head.size(), head) == 0;
        return n;
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
        return LastWarning() ? LastWarning()->caption + ": " + LastWarning()->text : "";
    }

    // The cycles on the manual clock: a cycle with a transfer in flight waits
    // 1 ms of real time and moves the clock 1 ms, so a reply time-out never
    // comes sooner than on the real clock, however loaded the machine; an
    // idle cycle moves it 10 ms.
    static hostsim::ExperimentOptions Manual(double seconds) {
        hostsim::ExperimentOptions o = experimenttest::Manual(seconds);
        o.onCycle = [](int, int busy) {
            if (busy) {
                usleep(1000);
                WinapiAdvanceClock(1);
            } else {
                WinapiAdvanceClock(10);
            }
        };
        return o;
    }
    // The experiment, and then the modules are given the time to read what
    // was sent to them (a loaded machine may be slow to serve them). The
    // next experiment's starts run on the real clock again.
    int RunExperiment(const hostsim::ExperimentOptions& options,
                      hostsim::ExperimentResult* result) {
        int answer = hostsim::RunExperiment(options, result);
        WinapiUseRealClock();
        for (int i = 0; i < 30; i++) {
            size_t before = bus.LogCount();
            usleep(100000);
            if (bus.LogCount() == before) break;
        }
        return answer;
    }

    // Runs the worksheet's experiment on the manual clock; `started` once
    // every block has started.
    hostsim::ExperimentResult Run(double seconds, const std::function<void()>& started = nullptr) {
        hostsim::ExperimentOptions o = Manual(seconds);
        if (started) {
            auto clock = o.onStarted;
            o.onStarted = [clock, started] {
                clock();
                started();
            };
        }
        hostsim::ExperimentResult r;
        EXPECT_EQ(1, RunExperiment(o, &r)) << r.error << " " << LastWarningText();
        return r;
    }

    modsim::Bus bus;
};

} // namespace multitest

#endif
