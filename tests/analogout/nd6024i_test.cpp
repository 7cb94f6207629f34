// The digital inputs of the four-channel output module (ND6024I) against a
// simulated module: each chosen line delivered as 5.0 or 0.0 from the one
// hexadecimal digit the module reports, lines 4 to 7 always 0.0; seven
// channel buttons (four in the family XX01) and blocks of one to seven
// outputs; a module that falls silent beside a healthy one.
#include "analogout_fixture.h"

#include "frame/chanbar.h"
#include "modules/analog/nd6024i.h"
#include "resource.h"

namespace {

using aotest::AnalogOutTest;
using aotest::kND6024I;
using aotest::Lines;

class DigitalInputs : public AnalogOutTest {
  protected:
    void SetUp() override {
        AnalogOutTest::SetUp();
        // The type is registered in the default family.
        Load("Plug.so");
    }
    ND6024I_Param* NewBlock(WORD mask, hostsim::Block** b, int address = 1) {
        ND6024I_Param* p = AnalogOutTest::NewBlock<ND6024I_Param>(kND6024I, 0, b);
        if (!p) return nullptr;
        int outputs = 0;
        for (int c = 0; c < 16; c++)
            outputs += (mask >> c) & 1;
        (*b)->record.uOutputs = static_cast<UINT>(outputs);
        p->Channel_Mask = mask;
        p->Module_Address = address;
        return p;
    }
};

TEST_F(DigitalInputs, EachLineIsDeliveredFromTheModulesDigit) {
    ASSERT_EQ(1, bus.AddModule(1, "6024", 0));
    ASSERT_EQ(1, bus.SetDigitalInputs(1, 0xA));
    struct Case {
        WORD mask;
        std::vector<float> values;
    } cases[] = {
        {0x0F, {0.0f, 5.0f, 0.0f, 5.0f}},
        {0x0A, {5.0f, 5.0f}},
        {0x04, {0.0f}},
        // Lines 4 to 7 are beyond the module's digit.
        {0x30, {0.0f, 0.0f}},
        {0x7F, {0.0f, 5.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        CaseGuard guard(this);
        hostsim::Block* b = nullptr;
        ND6024I_Param* p = NewBlock(c.mask, &b);
        ASSERT_NE(nullptr, p);
        p->Mess.Sample_Distance = 0.5;
        bus.ClearLog();
        ASSERT_EQ(1, Start(b)) << LastWarningText();
        EXPECT_EQ(Lines({"$012", "$01M"}), Wire());
        ClockFromZero();
        bus.ClearLog();
        size_t first = hostsim::ReleasedOutputBlocks().size();
        // Each sweep delivered, then the clock moves on to the next one.
        for (int sweep = 0; sweep < 3; sweep++) {
            ProcessUntil(b, first + (sweep + 1) * c.values.size());
            WinapiAdvanceClock(500);
        }
        const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
        ASSERT_EQ(first + 3 * c.values.size(), out.size());
        for (size_t k = 0; k < 3 * c.values.size(); k++) {
            const hostsim::ReleasedBlock& d = out[first + k];
            size_t j = k % c.values.size();
            EXPECT_EQ(static_cast<int>(j), d.output);
            EXPECT_DOUBLE_EQ(0.5 * static_cast<double>(k / c.values.size()), d.time);
            ASSERT_EQ(1u, d.samples.size());
            EXPECT_FLOAT_EQ(c.values[j], d.samples[0]);
        }
        EXPECT_EQ(Lines({"$01I", "$01I", "$01I"}), Wire());
        Stop(b);
        hostsim::DeleteBlock(b);
    }
}

// With the global settings one request serves a data block of 100 samples,
// every one at the line's level.
TEST_F(DigitalInputs, OneRequestPerHostBlock) {
    ASSERT_EQ(1, bus.AddModule(1, "7024", 0));
    ASSERT_EQ(1, bus.SetDigitalInputs(1, 0x1));
    hostsim::Block* b = nullptr;
    ND6024I_Param* p = NewBlock(0x1, &b);
    ASSERT_NE(nullptr, p);
    p->Mess.Use_Global_Settings = 1;
    hostsim::ExperimentOptions o = Manual(2.5);
    o.globalMilliSecondsPerSample = 10.0;
    o.globalBlockSize = 100;
    auto started = o.onStarted;
    o.onStarted = [&] {
        started();
        bus.ClearLog();
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, 0);
    ASSERT_EQ(3u, d.size());
    for (size_t k = 0; k < d.size(); k++) {
        EXPECT_DOUBLE_EQ(static_cast<double>(k), d[k].time);
        EXPECT_DOUBLE_EQ(0.01, d[k].sampleDistance);
        ASSERT_EQ(100u, d[k].samples.size());
        for (float v : d[k].samples)
            EXPECT_FLOAT_EQ(5.0f, v);
    }
    EXPECT_EQ(3u, Starting("$01I").size());
}

// Seven channel buttons and blocks of one to seven outputs: MODMSG_CHECK_LAYOUT accepts
// up to seven, a loaded record keeps its lines, and the dialog's seventh
// button brings line 6 into use.
TEST_F(DigitalInputs, SevenButtonsAndBlocksOfUpToSevenOutputs) {
    hostsim::Block* b = nullptr;
    ND6024I_Param* p = NewBlock(0x31, &b);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0));
    EXPECT_EQ(0x31, p->Channel_Mask);
    EXPECT_EQ(3u, static_cast<UINT>(b->record.uOutputs));

    ModuleRecord other = {};
    for (UINT outputs : {1u, 4u, 7u, 8u}) {
        other.uOutputs = outputs;
        EXPECT_EQ(outputs <= 7 ? 1 : 0,
                  hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                            static_cast<int>(reinterpret_cast<intptr_t>(&other))));
    }

    WinapiDialogsReset();
    WinapiQueueDoubleClick(IDC_CHANNEL_FIRST + 6);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(0, WinapiFailedActionCount());
    EXPECT_EQ(0x71, p->Channel_Mask);
    EXPECT_EQ(4u, static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(7, static_cast<int>(b->record.aiOutputChannel[3]));
    WinapiControlInfo info;
    for (int i = 0; i < 7; i++) {
        ASSERT_EQ(1, WinapiDialogControl("DLG_ND6024I", IDC_CHANNEL_FIRST + i, &info)) << i;
        EXPECT_EQ(1, info.visible) << i;
    }
    EXPECT_EQ(0, WinapiDialogControl("DLG_ND6024I", IDC_CHANNEL_FIRST + 7, &info));
    EXPECT_EQ(0, WinapiDialogControl("DLG_ND6024I", IDC_SETUP_COPY_NAME, &info));
}

// A record whose lines are all beyond the block's eight keeps no channel:
// the block starts, delivers nothing and sends nothing.
TEST_F(DigitalInputs, ABlockWithoutAChannelSendsNothing) {
    ASSERT_EQ(1, bus.AddModule(1, "6024", 0));
    hostsim::Block* b = nullptr;
    ND6024I_Param* p = NewBlock(0x300, &b);
    ASSERT_NE(nullptr, p);
    p->Mess.Sample_Distance = 0.5;
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0));
    EXPECT_EQ(0u, static_cast<UINT>(b->record.uOutputs));
    hostsim::ExperimentResult r = Run(2.5, [this] { bus.ClearLog(); });
    EXPECT_TRUE(Starting("$01I").empty());
    EXPECT_EQ(r.firstOutputBlock, hostsim::ReleasedOutputBlocks().size());
}

// In the family XX01 MODMSG_CHECK_LAYOUT accepts nothing, and the dialog shows the
// four lines the module reports.
TEST_F(DigitalInputs, InTheFamilyXX01MessageTwoAcceptsNothing) {
    Load("XX01.so");
    hostsim::Block* b = nullptr;
    ASSERT_NE(nullptr, NewBlock(0x1, &b));
    ModuleRecord other = {};
    other.uOutputs = 1;
    EXPECT_EQ(0, hostsim::SendClassMessage(b, MODMSG_CHECK_LAYOUT, 0,
                                           static_cast<int>(reinterpret_cast<intptr_t>(&other))));
    WinapiDialogsReset();
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0));
    WinapiControlInfo info;
    for (int i = 0; i < 7; i++) {
        ASSERT_EQ(1, WinapiDialogControl("DLG_ND6024I", IDC_CHANNEL_FIRST + i, &info)) << i;
        EXPECT_EQ(i < 4 ? 1 : 0, info.visible) << i;
        ASSERT_EQ(1, WinapiDialogControl("DLG_ND6024I", IDC_AO_LABEL0 + i, &info)) << i;
        EXPECT_EQ(i < 4 ? 1 : 0, info.visible) << i;
    }
}

// A module that gives no name is accepted.
TEST_F(DigitalInputs, AModuleWithoutANameIsAccepted) {
    static const modsim::Profile unnamed = {
        "", "A1.0", 0x33, 0x00, 0, nullptr, modsim::kAnalogOutput4Commands};
    ASSERT_EQ(1, bus.AddModule(1, unnamed, 0));
    hostsim::Block* b = nullptr;
    ASSERT_NE(nullptr, NewBlock(0x1, &b));
    EXPECT_EQ(1, Start(b)) << LastWarningText();
    Stop(b);
}

// A block whose module falls silent waits a minute; the healthy one beside
// it delivers every half second from 4 s on.
TEST_F(DigitalInputs, AFailingBlockLeavesTheHealthyOneItsRate) {
    ASSERT_EQ(1, bus.AddModule(1, "6024", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6024", 0));
    ASSERT_EQ(1, bus.SetDigitalInputs(1, 0x1));
    hostsim::Block* healthy = nullptr;
    hostsim::Block* failing = nullptr;
    ND6024I_Param* ph = NewBlock(0x1, &healthy, 1);
    ND6024I_Param* pf = NewBlock(0x1, &failing, 2);
    ASSERT_TRUE(ph && pf);
    for (ND6024I_Param* p : {ph, pf}) {
        p->Mess.Sample_Distance = 0.5;
        p->Mess.Error_Stop = 0;
        p->Mess.Error_Wait_Min = 1;
    }
    hostsim::ExperimentOptions o = Manual(12.0);
    auto started = o.onStarted;
    o.onStarted = [&] {
        started();
        bus.InjectFault(2, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways));
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_TRUE(Delivered(r, failing, 0).empty());
    std::vector<double> times;
    for (const hostsim::ReleasedBlock& d : Delivered(r, healthy, 0)) {
        EXPECT_FLOAT_EQ(5.0f, d.samples[0]);
        if (d.time >= 4.0) times.push_back(d.time);
    }
    ASSERT_EQ(16u, times.size());
    for (size_t i = 0; i < times.size(); i++)
        EXPECT_DOUBLE_EQ(4.0 + 0.5 * static_cast<double>(i), times[i]);
}

} // namespace
