// What the plug-in wrote to a COM port against what the simulated modules on
// it have heard: a test waits for the simulator to have read every request
// before it counts lines, clears faults or starts the next case.
#ifndef TESTS_COMMON_HEARD_H
#define TESTS_COMMON_HEARD_H

#include "modsim.h"
#include "winapi_headless.h"

namespace telviotest {

// How long the simulator may take to read what was written, at most: a
// bound, not a wait (it reads at once, also on a loaded or emulated machine).
const int kHeardWithinMs = 5000;

// Waits until the bus, made before the first line was written to COMn after
// `sentBefore` (WinapiCommLinesWritten then), has heard every line written
// since; 1 when it has.
inline int WaitUntilHeard(const modsim::Bus& bus, int port, unsigned long sentBefore,
                          int timeoutMs = kHeardWithinMs) {
    const unsigned long sent = WinapiCommLinesWritten(port) - sentBefore;
    return bus.WaitForHeard(static_cast<size_t>(sent), timeoutMs);
}

} // namespace telviotest

#endif
