// The pause between writes, kept by the processing procedure of a block on
// the manual clock, as a table of families: writes never closer than the
// family's pause and, while calls keep coming, never more than 1 ms later;
// a call during the pause returns without writing; the pause and the reply
// time-out count right across a wrap of the tick counter.
#include "template_fixture.h"

namespace {

using enginetest::MonitorHas;
using templatetest::TemplateTest;

struct PaceCase {
    const char* family;
    int* flag;
    FineTime pause; // microseconds
};

void PrintTo(const PaceCase& c, std::ostream* os) {
    *os << c.family;
}

class Pacing : public TemplateTest, public ::testing::WithParamInterface<PaceCase> {
  protected:
    // A block reading all eight channels as fast as it may, started on the
    // real clock, then run on the manual clock from `ticks`. The port runs
    // at 38400 baud, so a reading, its time on the line and the quiet behind
    // it are over before the pause between writes ends.
    hostsim::Block* Running(DWORD ticks) {
        ComSettings fast = enginetest::Row(1, 5);
        EXPECT_EQ(1, PortTableMerge(&fast));
        std::string error;
        EXPECT_EQ(1, bus.Open(&error)) << error;
        EXPECT_EQ(1, bus.SetLink(ComLink(1)));
        EXPECT_EQ(1, bus.Start());
        EXPECT_EQ(1, bus.AddModule(1, "6018", 0));
        hostsim::Block* b = NewBlock();
        if (!b) return nullptr;
        b->record.uOutputs = 8;
        P(b)->Channel_Mask = 0xFF;
        P(b)->Mess.Sample_Distance = 0.001;
        P(b)->Mess.Error_Stop = 0;
        if (hostsim::SendClassMessage(b, MODMSG_START, 0, 0) != 1) return nullptr;
        // The module answers from this thread from now on, so every reply
        // is in before the pause ends.
        bus.Stop();
        WinapiUseManualClock(ticks);
        hostsim::StartExperimentClock();
        return b;
    }
    // After a write: the module takes it in and answers, its reply taking
    // its time on the line, and the whole reply is queued for the driver.
    void Answer() {
        bus.Pump(100);
        for (int i = 0; i < 1000 && bus.RepliesOnTheWay() > 0; i++) {
            WinapiAdvanceClockMicroseconds(100);
            bus.Pump(1);
        }
        std::vector<modsim::LogEntry> log = bus.Log();
        const int bytes = log.empty() ? 1 : static_cast<int>(log.back().reply.size());
        for (int i = 0; i < 1000 && ComPendingBytes(1) < bytes; i++)
            usleep(1000);
    }
};

TEST_P(Pacing, WritesKeepThePauseExactlyAndACallDuringItWritesNothing) {
    const PaceCase& c = GetParam();
    serialtest::SelectFamily(c.flag);
    // The tick counter wraps a few writes into the run.
    hostsim::Block* b = Running(0xFFFFFFFFu - 30u);
    ASSERT_NE(nullptr, b);
    std::vector<FineTime> writes;
    int quietCalls = 0;
    for (int i = 0; i < 100000 && writes.size() < 12; i++) {
        FineTime before = ComPaceLeft();
        int answer = hostsim::ProcessBlock(b);
        FineTime after = ComPaceLeft();
        if (after == c.pause) {
            writes.push_back(FineNow());
            Answer();
        } else if (before > 0) {
            EXPECT_EQ(before, after) << "a call during the pause wrote";
            EXPECT_EQ(1, answer) << "the block keeps its turn";
            quietCalls++;
        }
        WinapiAdvanceClockMicroseconds(100);
    }
    ASSERT_EQ(12u, writes.size());
    EXPECT_GT(quietCalls, 0);
    EXPECT_LT(GetTickCount(), 1000u) << "the tick counter has wrapped";
    for (size_t i = 1; i < writes.size(); i++) {
        FineTime gap = writes[i] - writes[i - 1];
        EXPECT_GE(gap, c.pause) << "write " << i;
        EXPECT_LE(gap, c.pause + 1000) << "write " << i;
    }
    EXPECT_EQ(0, hostsim::StopExperimentCalls());
    hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
}

const PaceCase kPaces[] = {
    {"TELV", &FAMILY_TELV, 10000},
    {"XX03", &FAMILY_XX03, 10000},
    {"XX01", &FAMILY_XX01, 50000},
};

INSTANTIATE_TEST_SUITE_P(Families, Pacing, ::testing::ValuesIn(kPaces),
                         [](const ::testing::TestParamInfo<PaceCase>& info) {
                             return std::string(info.param.family);
                         });

// A reply time-out begun just before the tick counter wraps ends after
// BusyTimeOut and not before: strictly more, to the millisecond.
TEST_F(Pacing, TheReplyTimeOutCountsAcrossTheTickWrap) {
    serialtest::SelectFamily(&FAMILY_TELV);
    MonitorStart();
    hostsim::Block* b = Running(0xFFFFFFFFu - 700u);
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, bus.InjectFault(1, modsim::Fault(modsim::FaultKind::Silence, modsim::kAlways)));
    FineTime written = 0;
    for (int i = 0; i < 100 && !written; i++) {
        hostsim::ProcessBlock(b);
        if (ComPaceLeft() == 10000) written = FineNow();
        WinapiAdvanceClock(1);
    }
    ASSERT_NE(0, written);
    FineTime repeated = 0;
    FineTime timeout = static_cast<FineTime>(BusyTimeOut) * 1000;
    for (int i = 0; i < 20000 && !repeated; i++) {
        hostsim::ProcessBlock(b);
        if (FineNow() - written >= timeout - 1000 && MonitorHas("Repeat")) repeated = FineNow();
        WinapiAdvanceClockMicroseconds(100);
    }
    ASSERT_NE(0, repeated);
    EXPECT_LT(GetTickCount(), 1000u) << "the tick counter has wrapped";
    EXPECT_GT(repeated - written, timeout);
    EXPECT_LE(repeated - written, timeout + 1000);
    hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
}

} // namespace
