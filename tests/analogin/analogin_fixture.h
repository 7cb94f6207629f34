// Blocks of the analog input types of the shipped plug-in (Telvio.so, bound
// by the stand-in host) against simulated modules on COM1, a pseudo-terminal
// served by modsim: starts, measurements through the host's experiment, the
// setup dialogs played headless, and worksheets saved and loaded.
#ifndef TESTS_ANALOGIN_FIXTURE_H
#define TESTS_ANALOGIN_FIXTURE_H

#include "bus_fixture.h"

#include "frame/chanbar.h"
#include "resource.h"

#include <string.h>

#include <functional>
#include <string>
#include <vector>

namespace analogin {

using telviotest::kCommProblem;
using telviotest::kNoReply;
using telviotest::kWrongModule;

class AnalogInTest : public telviotest::BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        ASSERT_EQ(1, Load("Telvio.so"));
        checks.clear();
    }

    // MODMSG_CHECK_LAYOUT: 1 when a block of the type takes the layout of one with
    // that many outputs and inputs.
    int TakesLayout(hostsim::Block* b, UINT outputs, UINT inputs) {
        ModuleRecord other = {};
        other.uOutputs = outputs;
        other.uInputs = inputs;
        return hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                         static_cast<int>(reinterpret_cast<intptr_t>(&other)));
    }
    static std::string Caption(HWND dialog) {
        char text[128];
        GetWindowTextA(dialog, text, sizeof text);
        return text;
    }

    // A new block of the type with that menu id, reading the channels of
    // the mask (0: as created).
    hostsim::Block* NewBlock(int menuId, WORD mask = 0, int address = 1) {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(menuId));
        if (!b) return nullptr;
        if (mask) SetMask(b, mask);
        Set<int>(b, 388, address);
        return b;
    }
    // The mask and as many outputs as it has channels; the mask's offset is
    // the type's.
    void SetMask(hostsim::Block* b, WORD mask) {
        Set<WORD>(b, maskOffset, mask);
        UINT n = 0;
        for (int c = 0; c < 16; c++)
            n += (mask >> c) & 1;
        b->record.uOutputs = n;
    }
    template <class T> static T Get(hostsim::Block* b, size_t offset) {
        T v;
        memcpy(&v, b->param.data() + offset, sizeof v);
        return v;
    }
    template <class T> static void Set(hostsim::Block* b, size_t offset, T v) {
        memcpy(b->param.data() + offset, &v, sizeof v);
    }
    template <class P> static P* Param(hostsim::Block* b) {
        return reinterpret_cast<P*>(b->param.data());
    }

    // The lines after the checksum probe and the model query of a start.
    std::vector<std::string> Configuration() {
        std::vector<std::string> lines = Wire();
        size_t skip = 0;
        while (skip < lines.size() &&
               (lines[skip].compare(3, 1, "2") == 0 || lines[skip].compare(3, 1, "M") == 0) &&
               lines[skip][0] == '$' && lines[skip].size() == 4 && skip < 2)
            skip++;
        return std::vector<std::string>(lines.begin() + static_cast<long>(skip), lines.end());
    }
    // The commands that changed a setting of the module.
    std::vector<std::string> Writes(int address) {
        modsim::Module m;
        if (!bus.GetModule(address, &m)) return {};
        return m.writes;
    }
    static std::vector<double> Times(const std::vector<hostsim::ReleasedBlock>& blocks) {
        std::vector<double> t;
        for (const hostsim::ReleasedBlock& d : blocks)
            t.push_back(d.time);
        return t;
    }
    static std::vector<float> Values(const std::vector<hostsim::ReleasedBlock>& blocks) {
        std::vector<float> v;
        for (const hostsim::ReleasedBlock& d : blocks)
            v.push_back(d.samples.empty() ? -999.0f : d.samples[0]);
        return v;
    }

    // Saves the worksheet and loads it again; the blocks are then the
    // loaded ones.
    void RoundTrip() {
        std::string path = dir + "/saved.wks", error;
        ASSERT_EQ(1, hostsim::SaveWorksheet(path.c_str(), &error)) << error;
        ASSERT_EQ(1, hostsim::LoadWorksheet(path.c_str(), &error)) << error;
    }
    std::string WorksheetText() {
        std::string text, error;
        EXPECT_EQ(1, hostsim::WorksheetToText(&text, &error)) << error;
        return text;
    }

    // The setup dialog, played from what was queued.
    int OpenDialog(hostsim::Block* b) {
        return hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    }
    // Runs `check` on the open dialog at this point of the script.
    static std::vector<std::function<void(HWND)>> checks;
    static void QueueCheck(std::function<void(HWND)> check) {
        checks.push_back(std::move(check));
        WinapiQueueCallback(
            [](HWND dialog, void* index) { checks[reinterpret_cast<size_t>(index)](dialog); },
            reinterpret_cast<void*>(checks.size() - 1));
    }
    // Queued as Windows delivers a double click with the left button.
    static void QueueDoubleClick(int ch, bool ctrl = false) {
        int id = IDC_CHANNEL_FIRST + ch;
        if (ctrl) WinapiQueueCtrl(1);
        WinapiQueueMouseDown(id);
        WinapiQueueMouseUp(id);
        WinapiQueueDoubleClick(id);
        WinapiQueueMouseUp(id);
        if (ctrl) WinapiQueueCtrl(0);
    }
    static void QueueClickChannel(int ch) {
        WinapiQueueMouseDown(IDC_CHANNEL_FIRST + ch);
        WinapiQueueMouseUp(IDC_CHANNEL_FIRST + ch);
    }
    static std::string Text(HWND dialog, int id) {
        char text[256];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    static int Selected(HWND dialog, int id) {
        return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
    }
    static int Entries(HWND dialog, int id) {
        return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    }
    static std::string Entry(HWND dialog, int id, int index) {
        char text[256] = "";
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text));
        return text;
    }
    static bool Enabled(HWND dialog, int id) {
        return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
    }

    // The block's own sample distance.
    void SetSampleDistance(hostsim::Block* b, double seconds) {
        Set<double>(b, messOffset + offsetof(MessParam, Sample_Distance), seconds);
    }
    MessParam* Mess(hostsim::Block* b) {
        return reinterpret_cast<MessParam*>(b->param.data() + messOffset);
    }

    size_t maskOffset = 396; // the type's Channel_Mask
    size_t messOffset = 432; // the type's MessParam
};

inline std::vector<std::function<void(HWND)>> AnalogInTest::checks;

// What the cases every type shares need to know of a type.
struct TypeCase {
    const char* name;
    int menuId;
    const char* model;      // the module it serves
    const char* wrongModel; // a module it refuses
    size_t maskOffset;
    size_t messOffset;
    WORD mask;          // channels the shared cases measure
    int silentStops;    // a silent module stops the experiment
    int silentQuestion; // a silent module is asked about (answered No)
    int digital;        // the block delivers the states of the module's outputs
    // Gives a block settings of its own that a worksheet must keep; may be null.
    void (*customize)(hostsim::Block* b);
    const char* caption; // of its setup dialog in the family TELV
};

inline void PrintTo(const TypeCase& t, std::ostream* os) {
    *os << t.name;
}

class AnalogInputType : public AnalogInTest, public ::testing::WithParamInterface<TypeCase> {
  protected:
    void SetUp() override {
        AnalogInTest::SetUp();
        maskOffset = GetParam().maskOffset;
        messOffset = GetParam().messOffset;
    }
};

} // namespace analogin

#endif
