// The host's experiment on the manual clock, and what a block delivered in
// it: shared by the tests that run an experiment of the shipped plug-in.
#ifndef TESTS_REGISTRATION_EXPERIMENT_CYCLES_H
#define TESTS_REGISTRATION_EXPERIMENT_CYCLES_H

#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <unistd.h>

#include <vector>

// The cycles on the manual clock: a cycle with a transfer in flight gives
// the module `busyUs` of real time and moves the clock 1 ms (so a reply
// time-out of 1500 ms is 1500 such cycles), an idle cycle moves it 10 ms.
inline hostsim::ExperimentOptions ManualCycles(double seconds, useconds_t busyUs = 200) {
    hostsim::ExperimentOptions o;
    o.seconds = seconds;
    o.idleSleepMs = 0;
    o.onStarted = [] { WinapiUseManualClock(100000); };
    o.onCycle = [busyUs](int, int busy) {
        if (busy) {
            usleep(busyUs);
            WinapiAdvanceClock(1);
        } else {
            WinapiAdvanceClock(10);
        }
    };
    return o;
}

// What the block delivered on the output during the experiment.
inline std::vector<hostsim::ReleasedBlock> DeliveredBy(const hostsim::ExperimentResult& r,
                                                       const hostsim::Block* b, int output) {
    std::vector<hostsim::ReleasedBlock> out;
    const std::vector<hostsim::ReleasedBlock>& all = hostsim::ReleasedOutputBlocks();
    for (size_t i = r.firstOutputBlock; i < all.size(); i++)
        if (all[i].module == &b->record && all[i].output == output) out.push_back(all[i]);
    return out;
}

#endif
