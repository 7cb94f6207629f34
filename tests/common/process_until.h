// Turns of blocks processed until an event, as the host's cycles run them:
// the one loop of the tests that process blocks themselves.
#ifndef TESTS_COMMON_PROCESS_UNTIL_H
#define TESTS_COMMON_PROCESS_UNTIL_H

#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <unistd.h>

#include <functional>
#include <vector>

namespace telviotest {

// What waits, after a turn and before the manual clock moves, until the
// simulated modules have heard what the turn sent (a bounded wait): the clock
// then never runs ahead of a simulator that a loaded machine holds up. Null:
// none.
using Heard = std::function<void()>;

// Runs `turn` until `done`: after each turn the modules have heard what it
// sent and have a millisecond of real time, and a manual clock moves 1 ms,
// so a reply time-out, the pause between writes and the quiet line after a
// reply pass as they would. At most `turns` turns (the modules have two
// seconds, and a silent one's time-out passes); 1 when done.
inline int TurnUntil(const std::function<void()>& turn, const std::function<bool()>& done,
                     int turns = 2000, const Heard& heard = nullptr) {
    for (int i = 0; i < turns; i++) {
        if (done()) return 1;
        turn();
        if (heard) heard();
        usleep(1000);
        if (WinapiClockIsManual()) WinapiAdvanceClock(1);
    }
    return done() ? 1 : 0;
}

// The blocks processed in turn until `done`.
inline int ProcessUntil(const std::vector<hostsim::Block*>& blocks,
                        const std::function<bool()>& done, int turns = 2000,
                        const Heard& heard = nullptr) {
    return TurnUntil(
        [&blocks] {
            for (hostsim::Block* b : blocks)
                hostsim::ProcessBlock(b);
        },
        done, turns, heard);
}

// The block processed until one of its calls answers 0: it has taken the
// reply of what it sent and has nothing due.
inline int ProcessUntilIdle(hostsim::Block* b, int turns = 2000, const Heard& heard = nullptr) {
    return TurnUntil([] {}, [b] { return hostsim::ProcessBlock(b) == 0; }, turns, heard);
}

// The block processed until `count` data blocks have been delivered in all.
inline int ProcessUntilDelivered(hostsim::Block* b, size_t count, int turns = 2000,
                                 const Heard& heard = nullptr) {
    return ProcessUntil(
        {b}, [count] { return hostsim::ReleasedOutputBlocks().size() >= count; }, turns, heard);
}

} // namespace telviotest

#endif
