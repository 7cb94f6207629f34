// The host's experiment run on the manual clock, and what a block delivered
// in it: shared by the tests that run experiments through the plug-in.
#ifndef TESTS_EXPERIMENT_RUN_H
#define TESTS_EXPERIMENT_RUN_H

#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <unistd.h>

#include <vector>

namespace experimenttest {

// The cycles on the manual clock: a cycle with a transfer in flight gives
// the module a little real time and moves the clock 1 ms (so a reply
// time-out of 1500 ms is 1500 such cycles), an idle cycle moves it 10 ms.
inline hostsim::ExperimentOptions Manual(double seconds) {
    hostsim::ExperimentOptions o;
    o.seconds = seconds;
    o.idleSleepMs = 0;
    o.onStarted = [] { WinapiUseManualClock(100000); };
    o.onCycle = [](int, int busy) {
        if (busy) {
            usleep(200);
            WinapiAdvanceClock(1);
        } else {
            WinapiAdvanceClock(10);
        }
    };
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

} // namespace experimenttest

#endif
