// The digital types of the shipped plug-in in the stand-in host: a copy of
// Telvio.so under the file name of a family, bound by hostsim, its blocks
// created by their menu commands and run through the host's experiment
// against simulated modules on a pseudo-terminal mapped to COM1.
#ifndef TESTS_DIGITAL_FIXTURE_H
#define TESTS_DIGITAL_FIXTURE_H

#include "experiment_run.h"
#include "hostsim/hostsim.h"
#include "modsim.h"
#include "modules/digital/digital.h"
#include "winapi_headless.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace digitaltest {

// A digital type as the tests know it.
struct TypeInfo {
    const char* type;
    int menu;
    const char* plugin; // a file name that selects a family registering it
};

// The file name of each family's copy of the plug-in.
const char kTelv[] = "Telvio.so";
const char kDefault[] = "ndxx.so";
const char kXX03[] = "xx03.so";
const char kXX01[] = "xx01.so";
const char kXX04[] = "xx04.so";
const char kXX05[] = "xx05.so";

// The line block channel j carries: the j-th set bit of the mask.
inline int Line(WORD mask, int j) {
    for (int c = 0; c < 16; c++)
        if ((mask >> c) & 1 && j-- == 0) return c;
    return -1;
}

class DigitalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        WinapiDialogsReset();
        char tmpl[] = "/tmp/telvio-digital-XXXXXX";
        const char* d = mkdtemp(tmpl);
        ASSERT_NE(nullptr, d);
        dir = d;
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        // COM1 at 9600 baud, 8 data bits, 1 stop bit, no parity.
        std::ofstream(dir + "/XX02.ini") << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n";
        std::string error;
        ASSERT_EQ(1, bus.Open(&error)) << error;
        ASSERT_EQ(1, bus.SetLink(dir + "/com1"));
        ASSERT_EQ(1, bus.Start());
    }
    void TearDown() override {
        WinapiUseRealClock();
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        bus.Close();
        WinapiDialogsReset();
        if (plugin.module) hostsim::FinishPlugin(&plugin);
        // Without a shell: a process with threads is not forked.
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    // Copies the plug-in to dir/name and binds it; the binding's answer.
    int Bind(const std::string& name) {
        std::string path = dir + "/" + name;
        {
            std::ifstream in(TELVIO_PLUGIN, std::ios::binary);
            std::ofstream out(path, std::ios::binary);
            out << in.rdbuf();
        }
        if (!hostsim::LoadPlugin(path.c_str(), &plugin)) return -1;
        return plugin.setupResult;
    }

    // A fresh host with the copy of the plug-in of a family: the blocks of
    // the plug-in bound before are deleted and it is finished first.
    int Rebind(const std::string& name) {
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        if (plugin.module) hostsim::FinishPlugin(&plugin);
        WinapiUseRealClock();
        hostsim::Start();
        return Bind(name);
    }

    static DigitalParam* P(hostsim::Block* b) {
        return reinterpret_cast<DigitalParam*>(b->param.data());
    }
    static TemplateRuntime* R(hostsim::Block* b) {
        return reinterpret_cast<TemplateRuntime*>(b->runtime.data());
    }
    static int Bits(WORD mask) {
        int n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        return n;
    }

    // A new block of the type's menu command, on the module at `address`,
    // with the channels of `mask` and its own sample distance.
    hostsim::Block* NewBlock(int menu, int address, WORD mask, double sampleDistance = 0.5) {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(menu));
        if (b == nullptr) return nullptr;
        P(b)->Module_Address = address;
        P(b)->Channel_Mask = mask;
        P(b)->Mess.Sample_Distance = sampleDistance;
        P(b)->Mess.Error_Stop = 1;
        if (b->record.uOutputs > 0)
            b->record.uOutputs = static_cast<UINT>(Bits(mask));
        else
            b->record.uInputs = static_cast<UINT>(Bits(mask));
        return b;
    }

    // The cycles on the manual clock: a cycle with a transfer in flight waits
    // 1 ms of real time and moves the clock 1 ms, so a reply time-out never
    // comes sooner than on the real clock, however loaded the machine; an
    // idle cycle moves it 10 ms. The starts run on the real clock unless a
    // test says.
    static hostsim::ExperimentOptions Manual(double seconds) {
        hostsim::ExperimentOptions o;
        o.seconds = seconds;
        o.idleSleepMs = 0;
        o.onStarted = [] {
            if (!WinapiClockIsManual()) WinapiUseManualClock(100000);
        };
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
    int Run(const hostsim::ExperimentOptions& options, hostsim::ExperimentResult* result) {
        int answer = hostsim::RunExperiment(options, result);
        WinapiUseRealClock();
        for (int i = 0; i < 30; i++) {
            size_t before = bus.LogCount();
            usleep(100000);
            if (bus.LogCount() == before) break;
        }
        return answer;
    }
    // What the block delivered on the output during the experiment.
    static std::vector<hostsim::ReleasedBlock> Delivered(const hostsim::ExperimentResult& r,
                                                         const hostsim::Block* b, int output) {
        return experimenttest::Delivered(r, b, output);
    }
    // The lines the modules received, in order.
    std::vector<std::string> Wire() const {
        std::vector<std::string> lines;
        for (const modsim::LogEntry& e : bus.Log())
            lines.push_back(e.line);
        return lines;
    }
    // The received lines that begin with `lead` and, after the address,
    // `after` (the writes of an output: "#01" "00").
    std::vector<std::string> WireOf(const std::string& head) const {
        std::vector<std::string> lines;
        for (const std::string& l : Wire())
            if (l.compare(0, head.size(), head) == 0) lines.push_back(l);
        return lines;
    }
    // Message 2 of block `b` for another block of `own` channels of b's
    // kind (outputs of an input type, inputs of an output type) and `foreign`
    // of the other kind.
    static int Layout(hostsim::Block* b, hostsim::Block* other, int output, UINT own,
                      UINT foreign) {
        other->record.uOutputs = output ? foreign : own;
        other->record.uInputs = output ? own : foreign;
        return hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                         reinterpret_cast<LPARAM>(&other->record));
    }
    // Message 2 accepts 1 to `most` channels of the block's kind and none of
    // the other (`more`: also most + 1).
    static void ExpectLayout(hostsim::Block* b, hostsim::Block* other, int output, int most,
                             int more) {
        const UINT n = static_cast<UINT>(most);
        EXPECT_EQ(1, Layout(b, other, output, 1, 0));
        EXPECT_EQ(1, Layout(b, other, output, n, 0));
        EXPECT_EQ(more, Layout(b, other, output, n + 1, 0));
        EXPECT_EQ(0, Layout(b, other, output, 1, 1));
        EXPECT_EQ(0, Layout(b, other, output, 0, 0));
    }
    // The block's schema and its rows before the all-zero end row.
    static const ParamSchemaEntry* Schema(hostsim::Block* b, int* rows) {
        const ParamSchemaEntry* schema = reinterpret_cast<const ParamSchemaEntry*>(
            hostsim::SendClassMessage(b, MODMSG_GET_SCHEMA, 0, 0));
        *rows = 0;
        while (schema && schema[*rows].name)
            ++*rows;
        return schema;
    }
    // The worksheet saved as text with the first block's Version set to
    // `version` and loaded again: the block refuses it.
    // The worksheet saved and loaded again with the block's Version changed.
    void ReloadWithVersion(const char* version) {
        std::string text, error;
        ASSERT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        size_t at = text.find("field Version int = 1");
        ASSERT_NE(std::string::npos, at);
        text.replace(at, 21, std::string("field Version int = ") + version);
        ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    }
    void ExpectVersionTaken(const char* version) {
        size_t warnings = hostsim::Warnings().size();
        ReloadWithVersion(version);
        EXPECT_EQ(1, hostsim::BlockAt(0)->afterLoadAnswer);
        EXPECT_EQ(warnings, hostsim::Warnings().size());
    }
    void ExpectOldFormatRefused(const char* version) {
        ReloadWithVersion(version);
        EXPECT_EQ(0, hostsim::BlockAt(0)->afterLoadAnswer);
        ASSERT_NE(nullptr, LastWarning());
        EXPECT_EQ("Error", LastWarning()->caption);
        EXPECT_EQ("Old module format (not supported)", LastWarning()->text);
    }
    const hostsim::Warning* LastWarning() const {
        const std::vector<hostsim::Warning>& w = hostsim::Warnings();
        return w.empty() ? nullptr : &w.back();
    }
    static std::string Hex(unsigned v, int digits) {
        char text[16];
        snprintf(text, sizeof text, "%0*X", digits, v);
        return text;
    }

    std::string dir;
    hostsim::Plugin plugin;
    modsim::Bus bus;
};

// The texts of the start failures.
const char kNoReply[] = "Module does not reply!\n\267 Connected ?\n\267 Switched on ?";
const char kWrongModule[] = "Wrong module type connected.";
const char kUsesChecksums[] = "Error. Uses checksums ?";
const char kCommProblem[] = "Communication problem with this module occured.";

} // namespace digitaltest

#endif
