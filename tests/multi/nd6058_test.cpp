// ND6058 against a simulated 6058: the ports the creation dialog offers, the
// ports' directions the start writes, every channel's line in the read and
// the written images, the reads that keep their rate whatever the outputs
// do, and the setup dialog's ports and lines.
#include "multi_fixture.h"

#include "modules/multi/nd6058.h"

namespace {

using multitest::kND6058;
using multitest::MultiTest;
using Lines = std::vector<std::string>;

// The creation dialog's controls.
const int kNew = 1300;
const int kOutput = 1304;
const int kB = 1306;
const int kCH = 1307;
const int kCL = 1308;
const int kDI = 1309;

class ND6058 : public MultiTest {
  protected:
    void SetUp() override {
        MultiTest::SetUp();
        // The type is offered in the default family.
        Load("Plug.so");
    }
    static ND6058_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6058_Param*>(b->param.data());
    }
    // A block through the creation dialog: the boxes clicked in turn.
    hostsim::Block* Ports(const std::vector<int>& clicks) {
        return Create(kND6058, [&] {
            for (int id : clicks)
                WinapiQueueClick(id);
        });
    }
    static hostsim::InputSource Constant(double value) {
        hostsim::InputSource s;
        s.kind = hostsim::INPUT_CONSTANT;
        s.a = value;
        return s;
    }
};

TEST_F(ND6058, TheCreationDialogKeepsPortsThatGoTogether) {
    struct Case {
        const char* what;
        std::vector<int> clicks;
        int ports;
        int input;
    } cases[] = {
        {"a new module offers A and B", {}, ND6058_A | ND6058_B, 1},
        {"DI goes alone", {kDI}, ND6058_DI, 1},
        {"CL leaves DI", {kDI, kCL}, ND6058_CL, 1},
        {"CL and CH go together", {kDI, kCL, kCH}, ND6058_CL | ND6058_CH, 1},
        {"unchecking CH leaves CL", {kDI, kCL, kCH, kCH}, ND6058_CL, 1},
        {"an output has no DI", {kOutput, kDI}, ND6058_A | ND6058_B, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        hostsim::Block* b = Ports(c.clicks);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(c.ports, P(b)->Port_Mask);
        EXPECT_EQ(c.input, P(b)->IsInput);
        EXPECT_EQ(1, P(b)->IsMaster);
        EXPECT_EQ(c.ports, P(b)->PortAssigned);
        EXPECT_EQ(c.input ? c.ports : 0, P(b)->ConfigInput);
        hostsim::DeleteBlock(b);
    }
    // The DI box was disabled: the click was refused.
    EXPECT_EQ(1, WinapiFailedActionCount());
}

TEST_F(ND6058, AModuleWithItsPortsTakenOffersTheRest) {
    hostsim::Block* master = Ports({});
    ASSERT_NE(nullptr, master);
    hostsim::Block* di = Ports({kDI});
    ASSERT_NE(nullptr, di);
    EXPECT_EQ(0, P(di)->IsMaster);
    EXPECT_EQ(ND6058_PORTS & ~(ND6058_CL | ND6058_CH), P(master)->PortAssigned);
    // Only CL and CH are free: CL comes first.
    hostsim::Block* cl = Ports({});
    ASSERT_NE(nullptr, cl);
    EXPECT_EQ(ND6058_CL, P(cl)->Port_Mask);
    EXPECT_EQ(P(master)->MasterID, P(cl)->MasterID);
    // With every port taken the next block is a new hardware module.
    hostsim::Block* ch = Ports({});
    ASSERT_NE(nullptr, ch);
    EXPECT_EQ(ND6058_CH, P(ch)->Port_Mask);
    hostsim::Block* next = Ports({});
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, P(next)->IsMaster);
    EXPECT_EQ(P(master)->MasterID + 1, P(next)->MasterID);
    // A new module can be chosen while one with free ports is offered.
    hostsim::Block* own = Ports({kNew});
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(1, P(own)->IsMaster);
}

TEST_F(ND6058, EveryLineIsReadAndWrittenWhereItsPortHasIt) {
    ASSERT_EQ(1, bus.AddModule(1, "6058", 0));
    // Lines set in the module's read image: A line 0 (bit 8), not A line 1,
    // CL line 2 (bit 30); B line 1 (bit 17) is no block's.
    bus.SetDigitalInputs(1, (1u << 8) | (1u << 17) | (1u << 30));
    hostsim::Block* a = Ports({kB});
    ASSERT_NE(nullptr, a);
    ASSERT_EQ(ND6058_A, P(a)->Port_Mask);
    OnCom1(a, 1, 0.5);
    Channels(a, 0x3, true);
    hostsim::Block* cl = Ports({kCL});
    ASSERT_NE(nullptr, cl);
    Channels(cl, 0x4, true);
    hostsim::Block* ch = Ports({kOutput, kCH});
    ASSERT_NE(nullptr, ch);
    ASSERT_EQ(ND6058_CH, P(ch)->Port_Mask);
    Channels(ch, 0x2, false);
    std::string error;
    ASSERT_EQ(1, hostsim::ConnectInput(ch, 0, Constant(2.0), &error)) << error;

    hostsim::ExperimentResult r = Run(2.0);
    EXPECT_EQ(0, r.stoppedByPlugin) << LastWarningText();
    Lines start = AfterModel();
    ASSERT_FALSE(start.empty());
    // A and CL are inputs: 8 + 2.
    EXPECT_EQ("$01S0A", start[0]);
    // CH line 1: bit 21 of the written image, the third byte's bit 5.
    EXPECT_GE(Count("#01T000020"), 1);
    EXPECT_EQ(0x200000u, ModuleAt(1).digitalOutputs);
    struct Expected {
        hostsim::Block* block;
        int output;
        float value;
    } expected[] = {{a, 0, 5.0f}, {a, 1, 0.0f}, {cl, 0, 5.0f}};
    for (const Expected& e : expected) {
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, e.block, e.output);
        ASSERT_EQ(4u, d.size());
        for (size_t i = 0; i < d.size(); i++) {
            EXPECT_DOUBLE_EQ(0.5 * static_cast<double>(i), d[i].time);
            EXPECT_DOUBLE_EQ(0.5, d[i].sampleDistance);
            EXPECT_FLOAT_EQ(e.value, d[i].samples.at(0));
        }
    }
    EXPECT_EQ(4, Count("$016"));
}

TEST_F(ND6058, TheReadsKeepTheirRateWithoutOutputValues) {
    ASSERT_EQ(1, bus.AddModule(1, "6058", 0));
    bus.SetDigitalInputs(1, 0x5);
    hostsim::Block* di = Ports({kDI});
    ASSERT_NE(nullptr, di);
    OnCom1(di, 1, 0.5);
    Channels(di, 0x5, true);
    // An output block that no host block feeds.
    hostsim::Block* ab = Ports({kOutput});
    ASSERT_NE(nullptr, ab);
    ASSERT_EQ(0, P(ab)->IsInput);
    hostsim::ExperimentResult r = Run(2.0);
    EXPECT_EQ(4u, Delivered(r, di, 1).size());
    EXPECT_EQ(4, Count("$016"));
    for (const std::string& line : Wire())
        EXPECT_NE('#', line[0]) << line;
}

TEST_F(ND6058, AModuleOfOutputsOnlyNeverReads) {
    ASSERT_EQ(1, bus.AddModule(1, "6058", 0));
    hostsim::Block* out = Ports({kOutput});
    ASSERT_NE(nullptr, out);
    OnCom1(out, 1, 0.5);
    Channels(out, 0x8001, false);
    std::string error;
    ASSERT_EQ(1, hostsim::ConnectInput(out, 0, Constant(5.0), &error)) << error;
    ASSERT_EQ(1, hostsim::ConnectInput(out, 1, Constant(5.0), &error)) << error;
    Run(1.0);
    Lines start = AfterModel();
    ASSERT_FALSE(start.empty());
    EXPECT_EQ("$01S00", start[0]);
    EXPECT_EQ(0, Count("$016"));
    // A line 0 and B line 7.
    EXPECT_GE(Count("#01T018000"), 1);
}

TEST_F(ND6058, TheSetupDialogNamesEachChannelsPortAndLine) {
    hostsim::Block* ab = Ports({});
    ASSERT_NE(nullptr, ab);
    Channels(ab, 0x0101, true);
    hostsim::Block* di = Ports({kDI});
    ASSERT_NE(nullptr, di);
    Channels(di, 0x4, true);
    char text[64];
    // Channel 0 is current; a click makes channel 8 current.
    WinapiQueueMouseDown(23010);
    WinapiQueueOk();
    EXPECT_EQ(1, hostsim::SendClassMessage(ab, MODMSG_SETUP_DIALOG, 0, 0));
    ASSERT_TRUE(WinapiDialogText("DLG_ND6058", 1304, text, sizeof text));
    EXPECT_STREQ("Port A + B", text);
    ASSERT_TRUE(WinapiDialogText("DLG_ND6058", 1306, text, sizeof text));
    EXPECT_STREQ("Port B, Line 0 (SCSI-II Pin 9)", text);
    WinapiQueueOk();
    hostsim::SendClassMessage(di, MODMSG_SETUP_DIALOG, 0, 0);
    ASSERT_TRUE(WinapiDialogText("DLG_ND6058", 1306, text, sizeof text));
    EXPECT_STREQ("Port DI, Line 2", text);
    // The slave shows its master and leaves the port and address empty.
    ASSERT_TRUE(WinapiDialogText("DLG_ND6058", 1305, text, sizeof text));
    EXPECT_EQ(std::string(ab->record.szName, strnlen(ab->record.szName, 13)), text);
    WinapiControlInfo port;
    ASSERT_TRUE(WinapiDialogControl("DLG_ND6058", 1050, &port));
    EXPECT_EQ(0, port.enabled);
    EXPECT_EQ(0, port.itemCount);
}

} // namespace
