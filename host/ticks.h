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

// Waits `ms` milliseconds, peeking at the message queue on every turn so the
// host's windows are not reported as hung.
void WaitMilliseconds(DWORD ms);

#endif
