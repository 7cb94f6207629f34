// What every analog input type does alike, for the type its test program
// instantiates: a silent module, a refused model, a measurement delivered to
// the host, a worksheet round trip and a failing block beside a healthy one.
#include "analogin_fixture.h"

#include <math.h>

namespace analogin {

namespace {

std::string Strip(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + " ";
    return s;
}

} // namespace

// A module that does not answer refuses the start with the type's text,
// under the block's name, and writes nothing; the types that ask first are
// answered No.
TEST_P(AnalogInputType, ASilentModuleRefusesTheStart) {
    const TypeCase& t = GetParam();
    hostsim::Block* b = NewBlock(t.menuId, t.mask, 9); // nobody answers at 9
    ASSERT_NE(nullptr, b);
    if (t.silentQuestion) WinapiQueueMessageBoxAnswer(IDNO);
    int boxes = WinapiMessageBoxCount();
    EXPECT_EQ(0, StartSilent(b));
    EXPECT_EQ(t.silentStops, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ(b->record.szName, LastWarning()->caption);
    EXPECT_EQ(kNoReply, LastWarning()->text);
    EXPECT_EQ(t.silentQuestion ? boxes + 1 : boxes, WinapiMessageBoxCount());
    for (const std::string& line : Wire())
        EXPECT_EQ("$092", line.substr(0, 4)) << "only the probe";
    Stop(b);
}

// Another model at the address refuses the start and is left as it was.
TEST_P(AnalogInputType, AnotherModelIsRefused) {
    const TypeCase& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(1, t.wrongModel, 0));
    hostsim::Block* b = NewBlock(t.menuId, t.mask);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(0, Start(b));
    EXPECT_EQ(1, hostsim::StopExperimentCalls());
    ASSERT_NE(nullptr, LastWarning());
    EXPECT_EQ(kWrongModule, LastWarning()->text);
    EXPECT_TRUE(Writes(1).empty()) << Strip(Writes(1));
    EXPECT_EQ(2u, Wire().size()) << Strip(Wire());
    Stop(b);
}

// The host's experiment: each channel in use delivers what the module
// reports, every half second from 0 s on.
TEST_P(AnalogInputType, TheMeasurementReachesTheHost) {
    const TypeCase& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(1, t.model, 0));
    std::vector<int> channels;
    for (int c = 0; c < 16; c++)
        if (t.mask & (1 << c)) channels.push_back(c);
    std::vector<float> want;
    if (t.digital) {
        // Every other line set.
        bus.EditModule(1, [](modsim::Module& m) { m.digitalOutputs = 0x55; });
        for (int c : channels)
            want.push_back((0x55 >> c) & 1 ? 5.0f : 0.0f);
    } else {
        for (int c : channels) {
            ASSERT_EQ(1, bus.SetChannel(1, c, 10.25 * (c + 1)));
            want.push_back(static_cast<float>(10.25 * (c + 1)));
        }
    }
    hostsim::Block* b = NewBlock(t.menuId, t.mask);
    ASSERT_NE(nullptr, b);
    SetSampleDistance(b, 0.5);
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(Manual(1.2), &r)) << r.error;
    EXPECT_EQ(1, r.started);
    EXPECT_EQ(0, r.stoppedByPlugin);
    for (size_t k = 0; k < channels.size(); k++) {
        SCOPED_TRACE("output " + std::to_string(k));
        std::vector<hostsim::ReleasedBlock> d = Delivered(r, b, static_cast<int>(k));
        EXPECT_EQ((std::vector<double>{0.0, 0.5, 1.0}), Times(d));
        EXPECT_EQ(std::vector<float>(3, want[k]), Values(d));
    }
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    EXPECT_TRUE(hostsim::Warnings().empty());
}

// Saved and loaded, a block comes back with every byte of its settings, the
// type's own included, and measures as before.
TEST_P(AnalogInputType, AWorksheetKeepsEverySetting) {
    const TypeCase& t = GetParam();
    hostsim::Block* b = NewBlock(t.menuId, t.mask, 7);
    ASSERT_NE(nullptr, b);
    snprintf(b->record.szName, sizeof b->record.szName, "Saved");
    SetSampleDistance(b, 0.25);
    Mess(b)->Error_Stop = 0;
    Mess(b)->Error_Wait_Min = 3;
    if (t.customize) t.customize(b);
    std::vector<unsigned char> before = b->param;
    RoundTrip();
    ASSERT_EQ(1, hostsim::BlockCount());
    hostsim::Block* loaded = hostsim::BlockAt(0);
    EXPECT_EQ(1, loaded->afterLoadAnswer);
    EXPECT_STREQ("Saved", loaded->record.szName);
    ASSERT_EQ(before.size(), loaded->param.size());
    for (size_t i = 0; i < before.size(); i++)
        ASSERT_EQ(before[i], loaded->param[i]) << "byte " << i << " of the record";
    EXPECT_EQ(static_cast<UINT>(loaded->record.uOutputs),
              static_cast<UINT>(__builtin_popcount(t.mask)));
    // Saved again, the text is the same.
    std::string text = WorksheetText();
    RoundTrip();
    EXPECT_EQ(text, WorksheetText());
}

// A block whose module falls silent during the run waits by its policy,
// while a block of the same type beside it on the same port measures every
// sweep the line leaves it, each stamped with its own due time.
TEST_P(AnalogInputType, AFailingBlockLeavesTheHealthyOneItsRate) {
    const TypeCase& t = GetParam();
    ASSERT_EQ(1, bus.AddModule(1, t.model, 0));
    ASSERT_EQ(1, bus.AddModule(2, t.model, 0));
    WORD first = static_cast<WORD>(t.mask & -t.mask); // one channel
    hostsim::Block* healthy = NewBlock(t.menuId, first, 1);
    hostsim::Block* failing = NewBlock(t.menuId, first, 2);
    ASSERT_TRUE(healthy && failing);
    for (hostsim::Block* b : {healthy, failing}) {
        SetSampleDistance(b, 0.5);
        Mess(b)->Error_Stop = 0;
        Mess(b)->Error_Wait_Min = 1;
    }
    hostsim::ExperimentOptions o = Manual(6.0);
    auto manual = o.onStarted;
    o.onStarted = [&] {
        manual();
        modsim::Fault f(modsim::FaultKind::Silence, modsim::kAlways);
        bus.InjectFault(2, f);
    };
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(o, &r)) << r.error;
    EXPECT_EQ(2, r.started);
    EXPECT_EQ(0, r.stoppedByPlugin);
    EXPECT_TRUE(Delivered(r, failing, 0).empty());
    // Twelve sweeps, less the ones the failing block's request and its
    // repeat held the line for (3 s).
    std::vector<hostsim::ReleasedBlock> d = Delivered(r, healthy, 0);
    ASSERT_GE(d.size(), 6u);
    experimenttest::ExpectSweepsKeptOrSkipped(d, 0.5, 3.5);
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
}

// The menu's block opens its setup dialog with the family's caption; OK
// without a change keeps every setting.
TEST_P(AnalogInputType, TheSetupDialogKeepsWhatItIsNotTold) {
    const TypeCase& t = GetParam();
    hostsim::Block* b = NewBlock(t.menuId, t.mask, 7);
    ASSERT_NE(nullptr, b);
    if (t.customize) t.customize(b);
    std::vector<unsigned char> before = b->param;
    int allocations = hostsim::LiveAllocations();
    std::string caption;
    QueueCheck([&](HWND d) { caption = Caption(d); });
    WinapiQueueOk();
    EXPECT_EQ(1, OpenDialog(b));
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(before, b->param);
    EXPECT_EQ(static_cast<UINT>(__builtin_popcount(t.mask)), static_cast<UINT>(b->record.uOutputs));
    EXPECT_EQ(allocations, hostsim::LiveAllocations()) << "the working copy is released";
    EXPECT_EQ(0, WinapiFailedActionCount());
}

} // namespace analogin
