// The host's experiment run on the manual clock, and what a block delivered
// in it: shared by the tests that run experiments through the plug-in.
#ifndef TESTS_COMMON_EXPERIMENT_RUN_H
#define TESTS_COMMON_EXPERIMENT_RUN_H

#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>
#include <math.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace experimenttest {

// The cycles on the manual clock: a cycle with a transfer in flight gives
// the module a millisecond of real time and moves the clock 1 ms (so a
// reply time-out of 1500 ms is 1500 such cycles, and a reply comes about
// when it would), an idle cycle moves it 10 ms; before it moves, `heard`
// (when given) waits until the simulated modules have heard every request,
// so the clock never runs ahead of a simulator a loaded machine holds up.
// The starts run on the clock the experiment began with (the real one
// unless a test says). Only for cycles that poll: a blocking query there (an
// action's) would lose its reply, see RealTime.
inline hostsim::ExperimentOptions Manual(double seconds,
                                         const std::function<void()>& heard = nullptr) {
    hostsim::ExperimentOptions o;
    o.seconds = seconds;
    o.idleSleepMs = 0;
    o.onStarted = [] {
        if (!WinapiClockIsManual()) WinapiUseManualClock(100000);
    };
    o.onCycle = [heard](int, int busy) {
        if (heard) heard();
        if (busy) {
            usleep(1000);
            WinapiAdvanceClock(1);
        } else {
            WinapiAdvanceClock(10);
        }
    };
    return o;
}

// The experiment on the real clock, the host resting a millisecond in each
// cycle that delivered nothing: for cycles with blocking queries, whose
// replies only the real clock waits for.
inline hostsim::ExperimentOptions RealTime(double seconds) {
    hostsim::ExperimentOptions o;
    o.seconds = seconds;
    o.idleSleepMs = 1;
    return o;
}

// What the block delivered on the output during the experiment.
inline std::vector<hostsim::ReleasedBlock> Delivered(const hostsim::ExperimentResult& r,
                                                     const hostsim::Block* b, int output) {
    std::vector<hostsim::ReleasedBlock> out;
    const std::vector<hostsim::ReleasedBlock>& all = hostsim::ReleasedOutputBlocks();
    for (size_t i = r.firstOutputBlock; i < all.size(); i++)
        if (all[i].module == &b->record && all[i].output == output) out.push_back(all[i]);
    return out;
}

// The readings of a healthy block that shares its line with a failing one:
// while the failing block's request and its repeat hold the line (two reply
// time-outs) the healthy block's sweeps due meanwhile are skipped, not made
// up with readings taken later. Each reading is stamped with a due time (a
// multiple of `distance`) at most one distance before it was delivered, and
// from `steadyFrom` on, with the failing block waiting, no sweep is missed.
inline void ExpectSweepsKeptOrSkipped(const std::vector<hostsim::ReleasedBlock>& d, double distance,
                                      double steadyFrom) {
    for (size_t i = 0; i < d.size(); i++) {
        SCOPED_TRACE(d[i].time);
        double k = d[i].time / distance;
        EXPECT_NEAR(k, floor(k + 0.5), 1e-9) << "a due time";
        EXPECT_LE(d[i].time, d[i].releasedAt);
        EXPECT_LT(d[i].releasedAt, d[i].time + distance + 0.1) << "a reading of its own sweep";
        if (i == 0) continue;
        EXPECT_GT(d[i].time, d[i - 1].time);
        if (d[i - 1].time >= steadyFrom) {
            EXPECT_DOUBLE_EQ(d[i - 1].time + distance, d[i].time) << "a sweep missed";
        }
    }
}

} // namespace experimenttest

#endif
