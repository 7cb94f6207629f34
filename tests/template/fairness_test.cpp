// Fairness of the round robin beside a dead module, in real time through the
// template's own turn loops: a block whose module falls silent once the
// experiment runs, and a healthy block on the same port or on another one.
// Under every error policy that lets the experiment go on, the healthy block
// keeps at least 80 % of its samples: the failing block runs its policy and
// passes the turn, and its module is tried again only at its retry time
// while it stays silent. Both loops
// are shown: the per-channel loop of the thermocouple type and the loop of
// the types with one request per sweep (a thermocouple module read whole).
#include "template_fixture.h"
#include "frame/fields.h"
#include "frame/loops.h"

namespace {

using templatetest::TemplateTest;

// The one-request type of this test: the sweep reads every channel of a
// thermocouple module at once ("#AA") and delivers the first.
int AddWholeRead(ModuleRecord* module, const TemplateType* type) {
    ChannelScan* scan = TemplateChannelScan(module, 0);
    if (!scan) return -1;
    return ScanAddAiRead(TemplateCom(module, type)->Port_Number, *TemplateAddress(module, type), -1,
                         &scan->Channel_Value, TemplateRuntimeOf(module)->Uses_Checksum);
}

int DeliverFirst(ModuleRecord* module, const TemplateType*) {
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    DataBlock* block = module->apOutput[0] ? GetCurrentOutputBlock(module->apOutput[0]) : nullptr;
    if (!block) return 0;
    block->dBlockTime = rt->Next_Due;
    block->dBlockSampleDistance = rt->Sample_Seconds;
    block->wSampleCount = rt->Block_Samples;
    for (int i = 0; i < rt->Block_Samples; i++)
        block->afSamples[i] = TemplateChannelScan(module, 0)->Channel_Value;
    NewReleaseOutputBlock(module->apOutput[0], __FILE__, __LINE__);
    return 1;
}

const TemplateType& WholeType() {
    static TemplateType t = [] {
        TemplateType t = ND6018_Descriptor(
            {.type = "WHOLE", .restartNote = "Restart whole", .configure = ND6018_Configure});
        t.addRequest = nullptr;
        t.addSweepRequest = AddWholeRead;
        return t;
    }();
    return t;
}

const TemplateSweepSteps kWholeSteps = {nullptr, DeliverFirst, nullptr, nullptr};

int MODULE_CALL Whole_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return TemplateClassProc(&WholeType(), module, msg, wParam, lParam);
}

int MODULE_CALL Whole_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&WholeType(), module, &kWholeSteps);
}

enum Loop { PER_CHANNEL, ONE_REQUEST };
enum Policy { CONTINUE, WAIT, SET_STRING };

struct FairCase {
    Loop loop;
    bool samePort;
    Policy policy;
};

std::string Name(const FairCase& c) {
    return std::string(c.loop == PER_CHANNEL ? "PerChannel" : "OneRequest") +
           (c.samePort ? "SamePort" : "OtherPort") +
           (c.policy == CONTINUE ? "Continue"
            : c.policy == WAIT   ? "WaitAMinute"
                                 : "SetString");
}

void PrintTo(const FairCase& c, std::ostream* os) {
    *os << Name(c);
}

const double kSeconds = 8.0;
const double kDistance = 0.1;

class Fairness : public TemplateTest, public ::testing::WithParamInterface<FairCase> {
  protected:
    void SetUp() override {
        TemplateTest::SetUp();
        WinapiUseRealClock();
        Register("WHOLE_MODULE", "Whole", Whole_ClassProc, Whole_Process);
        // Both lines at 38400 baud: a reading of the whole module, its 58
        // characters and the quiet behind them, fits the sample distance.
        for (int port : {1, 2}) {
            ComSettings r = enginetest::Row(port, 5);
            ASSERT_EQ(1, PortTableMerge(&r));
        }
        BusyTimeOut = 200;
    }
    void TearDown() override {
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        second.Close();
        TemplateTest::TearDown();
    }
    hostsim::Block* Make(const char* name, int port, int address, const FairCase& c) {
        hostsim::Block* b = NewBlock(c.loop == PER_CHANNEL ? "Q7018_I_MODULE" : "WHOLE_MODULE");
        if (!b) return nullptr;
        snprintf(b->record.szName, sizeof b->record.szName, "%s", name);
        b->record.uOutputs = 1;
        P(b)->Channel_Mask = 1;
        P(b)->Com.Port_Number = port;
        P(b)->Module_Address = address;
        P(b)->Mess.Sample_Distance = kDistance;
        P(b)->Mess.Error_Stop = 0;
        P(b)->Mess.Error_Wait_Min = c.policy == WAIT ? 1 : 0;
        P(b)->Mess.Error_Set_Var = c.policy == SET_STRING;
        P(b)->Mess.Error_Var_Nr = 4;
        return b;
    }
    modsim::Bus second;
};

TEST_P(Fairness, AHealthyBlockKeepsItsSamplesBesideADeadModule) {
    const FairCase& c = GetParam();
    Module();
    std::string error;
    ASSERT_EQ(1, second.Open(&error)) << error;
    ASSERT_EQ(1, second.SetLink(ComLink(2)));
    ASSERT_EQ(1, second.Start());
    ASSERT_EQ(1, bus.AddModule(2, "6018", 0));
    ASSERT_EQ(1, second.AddModule(2, "6018", 0));
    bus.SetChannel(2, 0, 42.0);
    second.SetChannel(2, 0, 42.0);
    hostsim::Block* dead = Make("Dead", 1, 1, c);
    hostsim::Block* healthy = Make("Healthy", c.samePort ? 1 : 2, 2, c);
    ASSERT_TRUE(dead && healthy);

    hostsim::ExperimentOptions o;
    o.seconds = kSeconds;
    o.onStarted = [&] {
        ASSERT_EQ(1,
                  bus.InjectFault(1, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways)));
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);

    size_t samples = 0, deadSamples = 0;
    const std::vector<hostsim::ReleasedBlock>& out = hostsim::ReleasedOutputBlocks();
    for (size_t i = r.firstOutputBlock; i < out.size(); i++) {
        if (out[i].module == &healthy->record) {
            samples++;
            EXPECT_FLOAT_EQ(42.0f, out[i].samples[0]);
        }
        deadSamples += out[i].module == &dead->record;
    }
    EXPECT_GE(samples, 0.8 * kSeconds / kDistance);
    EXPECT_EQ(0u, deadSamples);
    // The dead module's failure is shown once, naming the block and module.
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Dead", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Dead: Module on COM1 , address 1 doesn't reply.", hostsim::Warnings()[0].text);
    if (c.policy == SET_STRING) {
        EXPECT_EQ("Dead: Module on COM1 , address 1 doesn't reply.", hostsim::GlobalString(4));
    }
}

std::vector<FairCase> Cases() {
    std::vector<FairCase> cases;
    for (Loop loop : {PER_CHANNEL, ONE_REQUEST})
        for (bool same : {true, false})
            for (Policy policy : {CONTINUE, WAIT, SET_STRING})
                cases.push_back({loop, same, policy});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Turns, Fairness, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FairCase>& info) {
                             return Name(info.param);
                         });

} // namespace
