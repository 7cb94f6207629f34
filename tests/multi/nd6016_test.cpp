// ND6016 against a simulated 6016: the channel mode and excitation the start
// writes, the analog rounds over both inputs, the excitation that follows a
// host global variable, the outputs written in pairs, and the counter reset
// of the host action.
#include "multi_fixture.h"

#include "modules/analog/nd6018.h"
#include "modules/multi/nd6016.h"

namespace {

using multitest::kND6016;
using multitest::MultiTest;
using Lines = std::vector<std::string>;

// The creation dialog's controls of ND6016.
const int kJoin = 1321;
const int kOutput = 1324;
const int kInputs = 1325;

class ND6016 : public MultiTest {
  protected:
    static ND6016_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6016_Param*>(b->param.data());
    }
    static ND6016_Runtime* R(hostsim::Block* b) {
        return reinterpret_cast<ND6016_Runtime*>(b->runtime.data());
    }
    // The analog-input block, master of a new hardware module at the address.
    hostsim::Block* Analog(int address, WORD mask, double seconds = 900.0) {
        hostsim::Block* b = Create(kND6016);
        if (b == nullptr) return nullptr;
        OnCom1(b, address, seconds);
        Channels(b, mask, true);
        return b;
    }
    // What the module at `address` received after its model query.
    Lines ToAddress(int address) {
        char head[4];
        snprintf(head, sizeof head, "%02X", address);
        Lines out;
        for (const std::string& l : AfterModel(address))
            if (l.compare(1, 2, head) == 0) out.push_back(l);
        return out;
    }
    // A thermocouple block beside the multi-block module: a 6018 at the
    // address whose channels 0 to 2 read 100, 200 and 300.
    hostsim::Block* Thermocouples(int address) {
        EXPECT_EQ(1, bus.AddModule(address, "6018", 0));
        for (int c = 0; c < 3; c++)
            bus.SetChannel(address, c, 100.0 * (c + 1));
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2955));
        if (b == nullptr) return nullptr;
        ND6018_Param* p = reinterpret_cast<ND6018_Param*>(b->param.data());
        p->Module_Address = address;
        p->Com.Port_Number = 1;
        p->Mess.Sample_Distance = 0.5;
        p->Channel_Mask = 0x07;
        b->record.uOutputs = 3;
        return b;
    }
    // The thermocouple block delivered each channel's own value once.
    static void ExpectOwnValues(const hostsim::ExperimentResult& r, hostsim::Block* b) {
        for (int k = 0; k < 3; k++) {
            std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, k);
            ASSERT_EQ(1u, d.size()) << "output " << k;
            EXPECT_FLOAT_EQ(100.0f * static_cast<float>(k + 1), d[0].samples.at(0)) << k;
        }
    }
};

// The start sets the module's channel mode; with one input in use the
// module reads that one alone and the block's reads carry no channel number.
// Only the block's own reads: an ND6018 beside it reads each of its channels
// by number and delivers each its own value, also once the ND6016 is gone.
TEST_F(ND6016, TheStartSetsTheChannelModeAndTheExcitation) {
    struct Case {
        WORD mask;
        Lines start;
        Lines reads; // the analog reads of one round
    } cases[] = {
        {1, {"$022", "%0202050600", "$0230", "$027+02.500", "$027+02.500"}, {"#02"}},
        {2, {"$022", "%0202050600", "$0231", "$027+02.500", "$027+02.500"}, {"#02"}},
        {3, {"$022", "%0202050600", "$02332", "$027+02.500", "$027+02.500"}, {"#020", "#021"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        CaseGuard guard(this);
        Load();
        bus.ClearLog();
        ASSERT_EQ(1, bus.AddModule(2, "6016", 0));
        bus.SetChannel(2, 0, 1.5);
        bus.SetChannel(2, 1, -2.25);
        hostsim::Block* analog = Analog(2, c.mask, 0.5);
        ASSERT_NE(nullptr, analog);
        P(analog)->Excitation = 2.5f;
        hostsim::Block* neighbour = Thermocouples(3);
        ASSERT_NE(nullptr, neighbour);
        hostsim::ExperimentResult r = Run(0.2);
        Lines start = ToAddress(2);
        ASSERT_GE(start.size(), c.start.size());
        EXPECT_EQ(c.start, Lines(start.begin(), start.begin() + c.start.size()));
        EXPECT_EQ(c.reads, Lines(start.begin() + c.start.size(), start.end()));
        EXPECT_EQ(2.5, ModuleAt(2).excitation);
        EXPECT_EQ('0' + (c.mask == 3 ? 3 : c.mask - 1), ModuleAt(2).channelMode);
        // Each output carries its input.
        for (size_t k = 0; k < analog->record.uOutputs; k++) {
            std::vector<hostsim::ReleasedBlock> d = Delivered(r, analog, static_cast<int>(k));
            ASSERT_EQ(1u, d.size());
            int input = c.mask == 2 ? 1 : static_cast<int>(k);
            EXPECT_FLOAT_EQ(input == 0 ? 1.5f : -2.25f, d[0].samples.at(0));
        }
        ExpectOwnValues(r, neighbour);
        hostsim::DeleteBlock(analog);
        bus.ClearLog();
        ExpectOwnValues(Run(0.2), neighbour);
        Lines reads;
        for (const std::string& l : Wire())
            if (l[0] == '#') reads.push_back(l);
        EXPECT_EQ(Lines({"#030", "#031", "#032"}), reads);
        bus.RemoveModule(2);
        bus.RemoveModule(3);
    }
}

TEST_F(ND6016, BothInputsOfARoundAreDeliveredTogetherAtTheirRate) {
    Load();
    ASSERT_EQ(1, bus.AddModule(2, "6016", 0));
    hostsim::Block* analog = Analog(2, 3, 0.5);
    ASSERT_NE(nullptr, analog);
    hostsim::ExperimentResult r = Run(2.0);
    std::vector<hostsim::ReleasedBlock> first = Delivered(r, analog, 0);
    std::vector<hostsim::ReleasedBlock> second = Delivered(r, analog, 1);
    ASSERT_EQ(4u, first.size());
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); i++) {
        EXPECT_DOUBLE_EQ(0.5 * static_cast<double>(i), first[i].time);
        EXPECT_DOUBLE_EQ(first[i].time, second[i].time);
        EXPECT_DOUBLE_EQ(0.5, first[i].sampleDistance);
    }
    // Every round reads both inputs.
    EXPECT_EQ(Count("#020"), Count("#021"));
    EXPECT_EQ(4, Count("#020"));
}

TEST_F(ND6016, TheExcitationFollowsAGlobalVariableWithinItsRange) {
    Load();
    ASSERT_EQ(1, bus.AddModule(2, "6016", 0));
    hostsim::Block* analog = Analog(2, 1, 0.5);
    ASSERT_NE(nullptr, analog);
    P(analog)->Excitation = 1.0f;
    P(analog)->ExcitationVariable = 7;
    hostsim::SetGlobalVariable(7, 12.3);
    hostsim::ExperimentOptions o = Manual(3.0);
    auto clock = o.onCycle;
    o.onCycle = [&](int cycle, int busy) {
        clock(cycle, busy);
        double t = hostsim::ExperimentTime();
        hostsim::SetGlobalVariable(7, t < 1.0 ? 12.3 : t < 2.0 ? -1.0 : -5.0);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    // The start writes the fixed value; then the variable's, held within
    // 0 .. 10 V, once per change of the value written.
    Lines writes;
    for (const std::string& line : AfterModel(2))
        if (line.compare(0, 4, "$027") == 0) writes.push_back(line);
    EXPECT_EQ(Lines({"$027+01.000", "$027+01.000", "$027+10.000", "$027+00.000"}), writes);
}

TEST_F(ND6016, TheOutputsGoOutInPairsWhenTheyChange) {
    Load();
    ASSERT_EQ(1, bus.AddModule(3, "6016", 0));
    hostsim::Block* outputs = Create(kND6016, [] { WinapiQueueClick(kOutput); });
    ASSERT_NE(nullptr, outputs);
    ASSERT_EQ(1, P(outputs)->IsMaster);
    OnCom1(outputs, 3, 0.5);
    Channels(outputs, 15, false);
    const double values[] = {0.0, 2.0, 1.5, 1.6};
    for (int k = 0; k < 4; k++) {
        hostsim::InputSource s;
        s.kind = hostsim::INPUT_CONSTANT;
        s.a = values[k];
        std::string error;
        ASSERT_EQ(1, hostsim::ConnectInput(outputs, k, s, &error)) << error;
    }
    Run(2.0);
    EXPECT_EQ(Lines({"@03DO02", "@03DO12"}), AfterModel(3));
    EXPECT_EQ(0xAu, ModuleAt(3).digitalOutputs);
}

TEST_F(ND6016, TheCounterResetOfTheHostGoesOutAtTheMastersTurn) {
    Load();
    ASSERT_EQ(1, bus.AddModule(2, "6016", 0));
    hostsim::Block* analog = Analog(2, 1, 0.5);
    ASSERT_NE(nullptr, analog);
    hostsim::Block* inputs = Create(kND6016, [] {
        WinapiQueueClick(kJoin);
        WinapiQueueClick(kInputs);
    });
    ASSERT_NE(nullptr, inputs);
    ASSERT_EQ(0, P(inputs)->IsMaster);
    Channels(inputs, 2, true);
    // Only the digital input and counter block offers it, for 0 and 1.
    EXPECT_EQ(0, hostsim::ActionSupported(inputs, 14));
    hostsim::ActionDescription d;
    EXPECT_EQ(1, hostsim::DescribeAction(inputs, 13, &d));
    EXPECT_EQ("ND6016_RESET_COUNTER", d.name);
    EXPECT_EQ("Reset counter", d.text);
    EXPECT_EQ(0, hostsim::PerformAction(analog, 13, 0));
    EXPECT_EQ(0, hostsim::PerformAction(inputs, 13, 2));
    EXPECT_EQ(1, hostsim::PerformAction(inputs, 12, 0));
    ExpectTheHostsCounterResets(analog, inputs, 2);
    // The counter on the block's only output.
    EXPECT_EQ(0, Count("@02DI"));
}

} // namespace
