// Input channels of the stand-in host: a generator or another block's output
// channel feeds them, the plug-in takes the waiting data blocks one by one,
// and a worksheet names what feeds each input.
#include "hostsim/internal.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

namespace {

// What the sink blocks took from their inputs.
struct Taken {
    int input;
    double time;
    double distance;
    int count;
    float last;
};
std::vector<Taken> taken;
float nextValue = 0.0f;

int MODULE_CALL ClassProc(ModuleRecord*, int msg, int, int) {
    return msg == MODMSG_CREATE || msg == MODMSG_START || msg == MODMSG_STOP ||
           msg == MODMSG_AFTER_LOAD || msg == MODMSG_CHANNEL_TIMING;
}

// A source block: one data block of one sample on output 0 every call.
int MODULE_CALL SourceProcess(ModuleRecord* module) {
    OutputChannel* channel = module->apOutput[0];
    DataBlock* d = hostsim::HostGetCurrentOutputBlock(channel);
    if (d == nullptr) return 0;
    d->dBlockTime = hostsim::ExperimentTime();
    d->dBlockSampleDistance = 0.25;
    d->wSampleCount = 1;
    d->afSamples[0] = nextValue;
    nextValue += 1.0f;
    hostsim::HostNewReleaseOutputBlock(channel, __FILE__, __LINE__);
    return 1;
}

// A sink block: takes what waits at each of its inputs.
int MODULE_CALL SinkProcess(ModuleRecord* module) {
    for (UINT i = 0; i < module->uInputs; i++) {
        DataBlock* d = hostsim::HostGetInputBlock(module, static_cast<int>(i));
        if (d == nullptr) continue;
        Taken t;
        t.input = static_cast<int>(i);
        t.time = d->dBlockTime;
        t.distance = d->dBlockSampleDistance;
        t.count = d->wSampleCount;
        float last = 0.0f;
        if (d->wSampleCount > 0)
            memcpy(&last, reinterpret_cast<unsigned char*>(d) + 24 + 4 * (d->wSampleCount - 1), 4);
        t.last = last;
        taken.push_back(t);
        hostsim::HostNewReleaseInputBlock(module, static_cast<int>(i), __FILE__, __LINE__);
    }
    return 0;
}

void Register(const char* name, ModuleProcessProc process) {
    ModuleClassRecord r;
    memset(&r, 0, sizeof r);
    r.pszClassName = name;
    r.pszDefaultName = name;
    r.pszDescription = "Fixture";
    r.uParamSize = 4;
    r.pfnClassProc = ClassProc;
    r.pfnProcess = process;
    ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
}

class Inputs : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiUseRealClock();
        ASSERT_TRUE(hostsim::Start());
        taken.clear();
        nextValue = 0.0f;
        Register("SOURCE_MODULE", SourceProcess);
        Register("SINK_MODULE", SinkProcess);
    }
    void TearDown() override {
        while (hostsim::BlockCount() > 0)
            hostsim::DeleteBlock(hostsim::BlockAt(0));
        WinapiUseRealClock();
    }
    static hostsim::Block* Sink(int inputs) {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByName("SINK_MODULE"));
        if (b) b->record.uInputs = static_cast<UINT>(inputs);
        return b;
    }
    // The experiment on the manual clock, 10 ms a cycle.
    static void Run(double seconds) {
        hostsim::ExperimentOptions o;
        o.seconds = seconds;
        o.idleSleepMs = 0;
        o.onStarted = [] { WinapiUseManualClock(100000); };
        o.onCycle = [](int, int) { WinapiAdvanceClock(10); };
        hostsim::ExperimentResult r;
        ASSERT_EQ(1, hostsim::RunExperiment(o, &r)) << r.error;
    }
    static hostsim::InputSource Parsed(const std::string& text) {
        hostsim::InputSource s;
        std::string why;
        EXPECT_EQ(1, hostsim::ParseInputSource(text, &s, &why)) << text << ": " << why;
        return s;
    }
};

TEST_F(Inputs, GeneratorsGiveOneSampleEverySpacingFromTheirFormula) {
    struct Case {
        const char* source;
        std::vector<float> values; // at 0, 0.5, 1.0, ... s
    } cases[] = {
        {"constant 2.5 every 0.5", {2.5f, 2.5f, 2.5f, 2.5f, 2.5f}},
        {"step 1 4 1.2 every 0.5", {1, 1, 1, 4, 4}},
        {"ramp 0 8 2 every 0.5", {0, 2, 4, 6, 0}},
        {"square 0 5 2 every 0.5", {0, 0, 5, 5, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        taken.clear();
        hostsim::Block* sink = Sink(1);
        ASSERT_NE(nullptr, sink);
        std::string why;
        ASSERT_EQ(1, hostsim::ConnectInput(sink, 0, Parsed(c.source), &why)) << why;
        Run(2.1);
        ASSERT_EQ(c.values.size(), taken.size());
        for (size_t i = 0; i < taken.size(); i++) {
            EXPECT_NEAR(0.5 * static_cast<double>(i), taken[i].time, 1e-9);
            EXPECT_EQ(0.5, taken[i].distance);
            EXPECT_EQ(1, taken[i].count);
            EXPECT_FLOAT_EQ(c.values[i], taken[i].last);
        }
        hostsim::DeleteBlock(sink);
    }
}

TEST_F(Inputs, AnOutputChannelFeedsEveryInputConnectedToItInOrder) {
    hostsim::Block* source = hostsim::CreateBlock(hostsim::FindClassByName("SOURCE_MODULE"));
    ASSERT_NE(nullptr, source);
    source->record.uOutputs = 1;
    hostsim::HostChangeModuleName(&source->record, "Gen");
    hostsim::Block* sink = Sink(2);
    ASSERT_NE(nullptr, sink);
    std::string why;
    ASSERT_EQ(1, hostsim::ConnectInput(sink, 0, Parsed("block \"Gen\" output 0"), &why)) << why;
    ASSERT_EQ(1, hostsim::ConnectInput(sink, 1, Parsed("block \"Gen\" output 1"), &why)) << why;
    Run(0.05);
    // The source runs before the sink in every cycle; input 1 names an
    // output the source never releases.
    ASSERT_EQ(5u, taken.size());
    for (size_t i = 0; i < taken.size(); i++) {
        EXPECT_EQ(0, taken[i].input);
        EXPECT_FLOAT_EQ(static_cast<float>(i), taken[i].last);
        EXPECT_NEAR(0.01 * static_cast<double>(i), taken[i].time, 1e-9);
        EXPECT_EQ(0.25, taken[i].distance);
    }
}

TEST_F(Inputs, AWaitingBlockStaysUntilReleasedAndTheQueueKeepsTheNewest) {
    hostsim::Block* sink = Sink(1);
    ASSERT_NE(nullptr, sink);
    EXPECT_EQ(nullptr, hostsim::HostGetInputBlock(&sink->record, 0));
    hostsim::QueueInputBlock(sink, 0, 1.0, 0.5, {});
    hostsim::QueueInputBlock(sink, 0, 2.0, 0.5, {7.0f, 8.0f});
    DataBlock* first = hostsim::HostGetInputBlock(&sink->record, 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(
        0, static_cast<WORD>(first->wSampleCount)); // a block without samples is handed on as it is
    EXPECT_EQ(first, hostsim::HostGetInputBlock(&sink->record, 0));
    hostsim::HostNewReleaseInputBlock(&sink->record, 0, __FILE__, __LINE__);
    DataBlock* second = hostsim::HostGetInputBlock(&sink->record, 0);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(2.0, static_cast<double>(second->dBlockTime));
    EXPECT_EQ(2, static_cast<WORD>(second->wSampleCount));
    hostsim::HostNewReleaseInputBlock(&sink->record, 0, __FILE__, __LINE__);
    EXPECT_EQ(0, hostsim::WaitingInputBlocks(sink, 0));
    // An input beyond the block's count gives nothing.
    hostsim::QueueInputBlock(sink, 1, 1.0, 0.5, {1.0f});
    EXPECT_EQ(nullptr, hostsim::HostGetInputBlock(&sink->record, 1));

    for (int i = 0; i < INPUT_QUEUE_BLOCKS + 10; i++)
        hostsim::QueueInputBlock(sink, 0, i, 0.5, {static_cast<float>(i)});
    EXPECT_EQ(INPUT_QUEUE_BLOCKS, hostsim::WaitingInputBlocks(sink, 0));
    DataBlock* oldest = hostsim::HostGetInputBlock(&sink->record, 0);
    ASSERT_NE(nullptr, oldest);
    EXPECT_EQ(10.0, static_cast<double>(oldest->dBlockTime));
}

TEST_F(Inputs, AWorksheetNamesWhatFeedsEachInputAndKeepsItOnSave) {
    const std::string text = "worksheet 1\n\n"
                             "block\n  class = \"SINK_MODULE\"\n  name = \"Relays\"\n"
                             "  description = \"\"\n  inputs = 3\n  outputs = 0\n"
                             "  input 0 = square 0 5 2 every 0.5\n"
                             "  input 2 = block \"Oven \\\"A\\\"\" output 3\n"
                             "end\n";
    std::string error;
    ASSERT_EQ(1, hostsim::WorksheetFromText(text, &error)) << error;
    hostsim::Block* b = hostsim::BlockAt(0);
    EXPECT_EQ(hostsim::INPUT_SQUARE, b->inputSources[0].kind);
    EXPECT_EQ(hostsim::INPUT_NONE, b->inputSources[1].kind);
    EXPECT_EQ(hostsim::INPUT_BLOCK, b->inputSources[2].kind);
    EXPECT_EQ("Oven \"A\"", b->inputSources[2].block);
    EXPECT_EQ(3, b->inputSources[2].output);
    std::string saved;
    ASSERT_EQ(1, hostsim::WorksheetToText(&saved, &error)) << error;
    EXPECT_NE(std::string::npos, saved.find("  input 0 = square 0 5 2 every 0.5\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("  input 2 = block \"Oven \\\"A\\\"\" output 3\n"))
        << saved;
    ASSERT_EQ(1, hostsim::WorksheetFromText(saved, &error)) << error;
    std::string again;
    ASSERT_EQ(1, hostsim::WorksheetToText(&again, &error)) << error;
    EXPECT_EQ(saved, again);
}

TEST_F(Inputs, AnInputLineThatCannotFeedIsRefusedWithItsLine) {
    struct Case {
        const char* line;
        const char* error;
    } cases[] = {
        {"input 16 = constant 1", "line 7: an input line is: input N = SOURCE, N from 0 to 15"},
        {"input 0 = sine 1 2 3", "line 7: unknown input source \"sine\" (none, block, constant, "
                                 "step, ramp, square)"},
        {"input 0 = square 0 5", "line 7: the square needs its numbers"},
        {"input 0 = square 0 5 0", "line 7: a ramp or square needs a period above 0"},
        {"input 0 = constant 1 every 0", "line 7: a generator needs a sample spacing above 0"},
        {"input 0 = constant 1 often", "line 7: only \"every SECONDS\" may follow the numbers"},
        {"input 0 = block \"A\" output 16", "line 7: output 16 is not one of 0..15"},
        {"input 0 = block A output 1", "line 7: block \"NAME\" output N expected"},
    };
    for (const Case& c : cases) {
        std::string text = "worksheet 1\nblock\n  class = \"SINK_MODULE\"\n  name = \"S\"\n"
                           "  description = \"\"\n  inputs = 1\n  " +
                           std::string(c.line) + "\n  outputs = 0\nend\n";
        std::string error;
        EXPECT_EQ(0, hostsim::WorksheetFromText(text, &error)) << c.line;
        EXPECT_EQ(c.error, error) << c.line;
    }
}

} // namespace
