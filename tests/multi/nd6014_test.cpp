// ND6014 against a simulated 6014: the start that configures the module from
// its analog-input block, the measurement of every function through the
// master, the outputs written on change, the counter reset, and a failing
// module beside a healthy one.
#include "multi_fixture.h"

namespace {

using multitest::kND6014;
using multitest::MultiTest;
using Lines = std::vector<std::string>;

class ND6014 : public MultiTest {
  protected:
    // A hardware module of three blocks at the address: the analog input
    // (master), the digital outputs and the digital input and counter.
    void MakeModule(int address, double seconds = 900.0) {
        analog = Create(kND6014);
        ASSERT_NE(nullptr, analog);
        OnCom1(analog, address, seconds);
        outputs = Create(kND6014);
        ASSERT_NE(nullptr, outputs);
        inputs = Create(kND6014);
        ASSERT_NE(nullptr, inputs);
        Channels(outputs, 3, false);
        Channels(inputs, 3, true);
    }
    hostsim::Block* analog = nullptr;
    hostsim::Block* outputs = nullptr;
    hostsim::Block* inputs = nullptr;
};

TEST_F(ND6014, TheCreationDialogOffersTheFreeFunctionsInTurn) {
    Load();
    MakeModule(1);
    EXPECT_EQ(1, P14(analog)->IsMaster);
    EXPECT_EQ(0, P14(analog)->Module_Type);
    EXPECT_EQ(1, P14(analog)->Port_Mask);
    EXPECT_EQ(0, P14(outputs)->IsMaster);
    EXPECT_EQ(1, P14(outputs)->Module_Type);
    EXPECT_EQ(0, P14(outputs)->IsInput);
    EXPECT_EQ(2, P14(inputs)->Module_Type);
    EXPECT_EQ(P14(analog)->MasterID, P14(inputs)->MasterID);
    EXPECT_EQ(7, P14(analog)->PortAssigned);
    EXPECT_EQ(5, P14(analog)->ConfigInput);
    EXPECT_STREQ("DI", P14(inputs)->Channel_Name[0]);
    EXPECT_STREQ("#", P14(inputs)->Unit[1]);
    EXPECT_STREQ("DO 1", P14(outputs)->Channel_Name[1]);
    // A full module is not offered: the next block is a new hardware module.
    hostsim::Block* next = Create(kND6014);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(1, P14(next)->IsMaster);
    EXPECT_EQ(P14(analog)->MasterID + 1, P14(next)->MasterID);
}

TEST_F(ND6014, TheStartConfiguresTheRangeOfTheAnalogBlock) {
    struct Case {
        const char* what;
        unsigned char moduleCode;
        int range;
        bool analogIsMaster;
        Lines lines;
    } cases[] = {
        {"the module holds the range", 0x0A, 2, true, {"$012", "@01CE"}},
        {"the module holds another range", 0x08, 2, true, {"$012", "%01010A0600", "@01CE"}},
        {"the analog block is a slave", 0x08, 5, false, {"$012", "%01010D0600", "@01CE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaseGuard guard(this);
        Load();
        ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
        bus.EditModule(1, [&](modsim::Module& m) { m.typeCode = c.moduleCode; });
        MakeModule(1);
        P14(analog)->Range = c.range;
        if (!c.analogIsMaster) {
            // The master goes; the output block takes over.
            hostsim::DeleteBlock(analog);
            analog = Create(kND6014);
            ASSERT_NE(nullptr, analog);
            P14(analog)->Range = c.range;
            ASSERT_EQ(0, P14(analog)->IsMaster);
            ASSERT_EQ(1, P14(outputs)->IsMaster);
        }
        hostsim::Block* master = c.analogIsMaster ? analog : outputs;
        bus.ClearLog();
        EXPECT_EQ(1, StartAll({master})) << LastWarningText();
        EXPECT_EQ(c.lines, AfterModel());
        EXPECT_EQ(c.range + 8, ModuleAt(1).typeCode);
        StopAll({master});
        bus.RemoveModule(1);
    }
}

TEST_F(ND6014, EveryFunctionIsMeasuredThroughTheMaster) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
    bus.SetChannel(1, 0, 1.25);
    bus.EditModule(1, [](modsim::Module& m) {
        m.events = 3;
        m.digitalInputs = 1;
    });
    MakeModule(1, 0.5);
    hostsim::InputSource high;
    high.kind = hostsim::INPUT_CONSTANT;
    high.a = 2.0;
    hostsim::InputSource low = high;
    low.a = 0.0;
    std::string error;
    ASSERT_EQ(1, hostsim::ConnectInput(outputs, 0, high, &error)) << error;
    ASSERT_EQ(1, hostsim::ConnectInput(outputs, 1, low, &error)) << error;

    // The start resets the counter; it counts on from there.
    hostsim::ExperimentResult r =
        Run(2.0, [&] { bus.EditModule(1, [](modsim::Module& m) { m.events += 7; }); });
    EXPECT_EQ(0, r.stoppedByPlugin) << LastWarningText();
    EXPECT_EQ(1, Count("@01CE"));
    std::vector<hostsim::ReleasedBlock> values = Delivered(r, analog, 0);
    ASSERT_GE(values.size(), 3u);
    for (size_t i = 0; i < values.size(); i++) {
        EXPECT_DOUBLE_EQ(0.5 * static_cast<double>(i), values[i].time);
        EXPECT_DOUBLE_EQ(0.5, values[i].sampleDistance);
        EXPECT_FLOAT_EQ(1.25f, values[i].samples.at(0));
    }
    std::vector<hostsim::ReleasedBlock> digital = Delivered(r, inputs, 0);
    std::vector<hostsim::ReleasedBlock> counter = Delivered(r, inputs, 1);
    ASSERT_GE(digital.size(), 3u);
    ASSERT_EQ(digital.size(), counter.size());
    for (size_t i = 0; i < digital.size(); i++) {
        EXPECT_DOUBLE_EQ(0.5 * static_cast<double>(i), digital[i].time);
        EXPECT_DOUBLE_EQ(digital[i].time, counter[i].time);
        EXPECT_FLOAT_EQ(5.0f, digital[i].samples.at(0));
        EXPECT_FLOAT_EQ(7.0f, counter[i].samples.at(0));
    }
    // The outputs go out once: the values do not change.
    EXPECT_EQ(1, Count("@01DO01"));
    EXPECT_EQ(1u, ModuleAt(1).digitalOutputs);
}

// The host's counter reset on the digital input and counter block.
TEST_F(ND6014, TheCounterResetOfTheHostGoesOutAtTheMastersTurn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(1, "6014", 0));
    MakeModule(1, 0.5);
    ExpectTheHostsCounterResets(analog, inputs, 1);
}

} // namespace

namespace {

TEST_F(ND6014, AnotherModelRefusesTheStartOfTheMaster) {
    Load();
    // A module whose number ends in 14 is one, whatever its series.
    ASSERT_EQ(1, bus.AddModule(1, "7014", 0));
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    hostsim::Block* series = Create(kND6014);
    ASSERT_NE(nullptr, series);
    OnCom1(series, 1);
    hostsim::Block* other = Create(kND6014, [] { WinapiQueueClick(multitest::kNew6014); });
    ASSERT_NE(nullptr, other);
    OnCom1(other, 2);
    EXPECT_EQ(1, StartAll({series})) << LastWarningText();
    StopAll({series});
    int stops = hostsim::StopExperimentCalls();
    EXPECT_EQ(0, StartAll({other}));
    EXPECT_EQ("Wrong module type connected.", LastWarning()->text);
    EXPECT_EQ(stops, hostsim::StopExperimentCalls());
    StopAll({other});
}

} // namespace
