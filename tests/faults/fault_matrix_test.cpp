// The fault matrix: three thermocouple blocks of the shipped plug-in, one of
// whose modules suffers a fault from 3 to 5 s of a 13 s experiment, measured
// in real time through the host's loop, the real serial code and simulated
// modules. For every fault: no sample under another channel, every sample
// stamped within one sample distance of its reading, the healthy blocks
// keep their rate, the user sees what went wrong (once, not a flood), and
// the faulty block measures again after the fault.
#include "fault_rig.h"

#include "modules/analog/nd6018.h"

#include <algorithm>

namespace {

using faultrig::Event;
using faultrig::FaultRig;
using faultrig::Sample;
using modsim::Fault;
using modsim::FaultKind;

const double kSeconds = 13.0;
const double kFaultFrom = 3.0;
const double kFaultUntil = 5.0;
const double kDistance = 0.25;
const int kBusyTimeOutMs = 400;

struct FaultCase {
    const char* name;
    FaultKind kind;
    int delayMs;       // late: behind the time-out; double: the copy's delay
    bool portLost;     // the line of COM1 goes away instead
    const char* shown; // the failure the user sees for the faulty block
    bool forGood;      // the fault does not end: no recovery to see
    int at;            // inserted: before which character of the reply; cut: its length
    int every;         // only every so many replies (0: each)
    const char* bytes; // a stray line
    bool slowsAll;     // the fault takes the shared line's time: any block may be told its
                       // sample distance cannot be kept
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

const char kNoReply[] = "Faulty: Faulty: Module on COM1 , address 1 doesn't reply.";
const char kProblem[] = "Faulty: Faulty: Communication problem. Module on COM1, address 1.";

const FaultCase kFaults[] = {
    // Just behind the time-out: the reply may still be in when the driver
    // looks, so a failure is not certain; a wrong channel never is.
    {"LateReply", FaultKind::Late, kBusyTimeOutMs + 10, false, nullptr, false, 0, 0, nullptr,
     false},
    {"DoubleReplySoon", FaultKind::Double, 4, false, kProblem, false, 0, 0, nullptr, false},
    // The copy comes when the next request waits, on the same line: that
    // request's reply is then one of two answers, asked for once more.
    {"DoubleReplyLate", FaultKind::Double, 25, false, nullptr, false, 0, 0, nullptr, true},
    {"SilenceForAWhile", FaultKind::Silence, 0, false, kNoReply, false, 0, 0, nullptr, false},
    {"Garbage", FaultKind::Garbage, 0, false, kProblem, false, 0, 0, nullptr, false},
    // A NUL byte in the middle of the reading, where the text before it
    // reads as a shorter number.
    {"NulInTheReading", FaultKind::Inserted, 0, false, kProblem, false, 5, 0, nullptr, false},
    {"NoCarriageReturn", FaultKind::NeverEnded, 0, false, kNoReply, false, 0, 0, nullptr, false},
    {"PortLostAndBack", FaultKind::Silence, 0, true, kNoReply, false, 0, 0, nullptr, false},
    {"DeadModule", FaultKind::Silence, 0, false, kNoReply, true, 0, 0, nullptr, false},
    // A line of another channel's reading, whole while the request is still
    // on the wire.
    {"StrayLinesDuringTheRequests", FaultKind::Stray, 1, false, nullptr, false, 0, 3, ">+850.00",
     false},
    {"CutReadings", FaultKind::CutShort, 0, false, nullptr, false, 5, 3, nullptr, false},
};

class FaultMatrix : public FaultRig, public ::testing::WithParamInterface<FaultCase> {
  protected:
    static ND6018_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6018_Param*>(b->param.data());
    }
    // A thermocouple block reading the channels of the mask, continuing
    // after a failure without a wait.
    hostsim::Block* Block(const char* name, int port, int address, WORD mask) {
        hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2955));
        if (!b) return nullptr;
        snprintf(b->record.szName, sizeof b->record.szName, "%s", name);
        P(b)->Com.Port_Number = port;
        P(b)->Module_Address = address;
        P(b)->Channel_Mask = mask;
        P(b)->Mess.Sample_Distance = kDistance;
        P(b)->Mess.Error_Stop = 0;
        P(b)->Mess.Error_Wait_Min = 0;
        UINT outputs = 0;
        for (int c = 0; c < 16; c++)
            outputs += (mask >> c) & 1;
        b->record.uOutputs = outputs;
        return b;
    }
    // The channel of the k-th set bit of the mask.
    static int ChannelOfOutput(WORD mask, int k) {
        for (int c = 0; c < 16; c++)
            if ((mask >> c) & 1 && k-- == 0) return c;
        return -1;
    }
    // Checks a block's samples on each output against the channel it reads;
    // answers how many it delivered.
    size_t Check(const hostsim::ExperimentResult& r, hostsim::Block* b, int port,
                 std::vector<double>* times, double distance = kDistance) {
        size_t count = 0;
        WORD mask = P(b)->Channel_Mask;
        for (UINT k = 0; k < b->record.uOutputs; k++) {
            int channel = ChannelOfOutput(mask, static_cast<int>(k));
            int identity = Identity(port, P(b)->Module_Address, channel);
            for (const Sample& s : Delivered(r, b, static_cast<int>(k), port)) {
                if (getenv("FM_DEBUG"))
                    printf("%s/%u t=%.3f rel=%.3f id=%d read=%.3f\n", b->record.szName, k, s.time,
                           s.releasedAt, s.identity, s.readAt);
                SCOPED_TRACE(std::string(b->record.szName) + " output " + std::to_string(k) +
                             " at " + std::to_string(s.time));
                EXPECT_EQ(identity, s.identity) << "a sample of another channel";
                // Read within one sample distance from its stamp. The
                // margins are the rig's: two clocks, and a simulated module
                // that takes its request up late on a loaded machine.
                EXPECT_LE(s.time, s.releasedAt + 0.001);
                EXPECT_GE(s.readAt, s.time - 0.05) << "read before its stamp";
                EXPECT_LT(s.readAt, s.time + distance + 0.15) << "read after its sweep";
                if (times) times->push_back(s.time);
                count++;
            }
        }
        return count;
    }
};

TEST_P(FaultMatrix, DataStaySoundThroughTheFault) {
    const FaultCase& c = GetParam();
    Setup({1, 2}, kBusyTimeOutMs, 1);
    AddModule(1, 1, "6018");
    AddModule(1, 2, "6018");
    AddModule(2, 1, "6018");
    hostsim::Block* faulty = Block("Faulty", 1, 1, 0x3);
    hostsim::Block* neighbour = Block("Neighbour", 1, 2, 0x3);
    hostsim::Block* remote = Block("Remote", 2, 1, 0x1);
    ASSERT_TRUE(faulty && neighbour && remote);

    std::vector<Event> events;
    if (c.portLost) {
        events.push_back({kFaultFrom, [this] { ASSERT_EQ(1, Port(1).Unplug()); }});
        events.push_back({kFaultUntil, [this] { ASSERT_EQ(1, Port(1).Replug()); }});
    } else {
        events.push_back({kFaultFrom, [this, &c] {
                              Fault f(c.kind, modsim::kAlways);
                              f.delayMs = c.delayMs;
                              f.length = c.at;
                              f.match = "#01";
                              if (c.every > 0) f.every = c.every;
                              if (c.bytes) f.bytes = c.bytes;
                              ASSERT_EQ(1, Port(1).InjectFault(1, f));
                          }});
        if (!c.forGood) events.push_back({kFaultUntil, [this] { Port(1).ClearFaults(1); }});
    }
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(kSeconds, events, &r)) << r.error;
    EXPECT_EQ(0, r.stoppedByPlugin);

    if (getenv("FM_DEBUG"))
        for (const modsim::LogEntry& e : Port(1).Log())
            printf("BUS1 %.3f %s -> %s [%s]\n", e.timeS - offsets[1], e.line.c_str(),
                   e.reply.c_str(), e.fault.c_str());
    std::vector<double> faultyTimes;
    Check(r, faulty, 1, &faultyTimes);
    size_t neighbourCount = Check(r, neighbour, 1, nullptr);
    size_t remoteCount = Check(r, remote, 2, nullptr);

    // The healthy blocks keep at least 80 % of their samples; on a lost line
    // only the block on the other port is healthy.
    double due = kSeconds / kDistance;
    EXPECT_GE(remoteCount, 0.8 * due) << "Remote";
    if (!c.portLost) {
        EXPECT_GE(neighbourCount, 2 * 0.8 * due) << "Neighbour";
    }

    // The faulty block measures again after the fault.
    EXPECT_EQ(!c.forGood, std::any_of(faultyTimes.begin(), faultyTimes.end(), [](double t) {
        return t >= kFaultUntil + 2.0;
    })) << "readings after the fault";

    // What the user was shown: the faulty block's failure once, nothing for
    // the healthy blocks, no flood.
    std::vector<std::string> shown = WarningsShown();
    std::string all;
    for (const std::string& w : shown)
        all += "\n  " + w;
    if (c.shown) {
        EXPECT_EQ(1, std::count(shown.begin(), shown.end(), c.shown)) << all;
    }
    EXPECT_LE(shown.size(), 3u) << all;
    for (const std::string& w : shown) {
        if (c.slowsAll && w.find("cannot be kept") != std::string::npos) continue;
        EXPECT_EQ(std::string::npos, w.find("Remote")) << all;
        if (!c.portLost) {
            EXPECT_EQ(std::string::npos, w.find("Neighbour")) << all;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

// Two blocks on one port, every reply to one channel's read past its
// time-out and the guard behind it, for the rest of the run: each late line
// comes while another request waits, perhaps while that one is still on the
// wire, or beside its own reply. No sample of either block is another
// channel's reading or one read outside its sweep.
class LateReplies : public FaultMatrix {};

TEST_P(LateReplies, NoSampleOfEitherBlockIsUnderAWrongChannel) {
    Setup({1}, kBusyTimeOutMs, 0);
    AddModule(1, 1, "6018");
    AddModule(1, 2, "6018");
    hostsim::Block* faulty = Block("Faulty", 1, 1, 0xFF);
    hostsim::Block* neighbour = Block("Neighbour", 1, 2, 0xFF);
    ASSERT_TRUE(faulty && neighbour);
    P(faulty)->Mess.Sample_Distance = 0.5;
    P(neighbour)->Mess.Sample_Distance = 0.5;
    const int delayMs = GetParam().delayMs;
    std::vector<Event> events = {{kFaultFrom, [this, delayMs] {
                                      Fault late(FaultKind::Late, modsim::kAlways);
                                      late.delayMs = delayMs;
                                      late.match = "#013";
                                      ASSERT_EQ(1, Port(1).InjectFault(1, late));
                                  }}};
    hostsim::ExperimentResult r;
    ASSERT_EQ(1, Run(kSeconds, events, &r)) << r.error;
    size_t faultyCount = Check(r, faulty, 1, nullptr, 0.5);
    size_t neighbourCount = Check(r, neighbour, 1, nullptr, 0.5);
    EXPECT_GT(faultyCount, 0u);
    EXPECT_GT(neighbourCount, 0u);
    size_t late = 0;
    for (const modsim::LogEntry& e : Port(1).Log())
        late += e.fault == "late";
    EXPECT_GE(late, 2u) << "late replies came";
}

// Late by half as much again as the time-out and its guard (at the default
// time-out of 1500 ms, 2.8 s), by twice the time-out, and by two and a half.
const FaultCase kLateReplies[] = {
    {"PastTheGuard", FaultKind::Late, 600, false, nullptr, false, 0, 0, nullptr, false},
    {"TwiceTheTimeOut", FaultKind::Late, 800, false, nullptr, false, 0, 0, nullptr, false},
    {"TwoAndAHalfTimeOuts", FaultKind::Late, 1000, false, nullptr, false, 0, 0, nullptr, false},
};

INSTANTIATE_TEST_SUITE_P(Faults, LateReplies, ::testing::ValuesIn(kLateReplies),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
