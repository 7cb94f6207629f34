// Time from the system tick counter. The counter counts milliseconds and
// wraps every 2^32 ms; every difference here is taken modulo 2^32, so a wait
// neither ends early nor hangs when the counter wraps.
#ifndef TELVIO_HOST_TICKS_H
#define TELVIO_HOST_TICKS_H

#include <windows.h>

static_assert(sizeof(DWORD) == 4, "the tick counter is 32 bits");

// Milliseconds from `earlier` to `later`, modulo 2^32.
inline DWORD TickDiff(DWORD later, DWORD earlier) {
    return static_cast<DWORD>(later - earlier);
}

// Milliseconds passed since `start`.
DWORD TicksSince(DWORD start);

// 1 when at least `ms` milliseconds have passed since `start`, else 0.
int TicksPassed(DWORD start, DWORD ms);

// Signed offset of `tick` from `base`: negative for a tick before the base.
long TickOffset(DWORD tick, DWORD base);

// The fine clock: microseconds from the performance counter, for the pause
// between two writes and the reply time-out, which the tick counter (steps
// of 10 to 16 ms on some systems) cannot measure. Its origin is arbitrary
// and it does not wrap while the plug-in runs; tick values that are stored or
// shown (experiment times, the monitor's seconds) stay on the tick counter.
typedef long long FineTime;
#define FINE_PER_MS 1000LL

FineTime FineNow();
// Microseconds passed since *start. A start ahead of the clock (a clock set
// back) is moved to now, so a pause or time-out counts from there and never
// hangs, as a start tick after a wrap of the tick counter does.
FineTime FineSince(FineTime* start);
// 1 when at least `us` microseconds have passed since *start, else 0.
int FinePassed(FineTime* start, FineTime us);
// Microseconds left until `us` have passed since *start; 0 when they have.
FineTime FineLeft(FineTime* start, FineTime us);

// Waits `ms` milliseconds, peeking at the message queue on every turn so the
// host's windows are not reported as hung.
void WaitMilliseconds(DWORD ms);

#endif
