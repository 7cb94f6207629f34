// Tick arithmetic and the one message-friendly wait.
#include "host/ticks.h"

#include <stdint.h>

DWORD TicksSince(DWORD start) {
    return TickDiff(GetTickCount(), start);
}

int TicksPassed(DWORD start, DWORD ms) {
    return TicksSince(start) >= ms;
}

long TickOffset(DWORD tick, DWORD base) {
    // Two's complement: differences of 2^31 and more count backwards.
    return static_cast<long>(static_cast<int32_t>(TickDiff(tick, base)));
}

FineTime FineNow() {
    static LONGLONG frequency;
    if (frequency <= 0) {
        LARGE_INTEGER f;
        frequency = QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
        // No counter: the tick counter's milliseconds stand in.
        if (frequency <= 0) return static_cast<FineTime>(GetTickCount()) * FINE_PER_MS;
    }
    LARGE_INTEGER count;
    if (!QueryPerformanceCounter(&count))
        return static_cast<FineTime>(GetTickCount()) * FINE_PER_MS;
    // Whole seconds and the rest apart, so the product cannot overflow.
    LONGLONG seconds = count.QuadPart / frequency;
    LONGLONG rest = count.QuadPart % frequency;
    return seconds * 1000000LL + rest * 1000000LL / frequency;
}

FineTime FineSince(FineTime* start) {
    FineTime now = FineNow();
    if (*start > now) *start = now;
    return now - *start;
}

int FinePassed(FineTime* start, FineTime us) {
    return FineSince(start) >= us;
}

FineTime FineLeft(FineTime* start, FineTime us) {
    FineTime left = us - FineSince(start);
    return left > 0 ? left : 0;
}

void WaitMilliseconds(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        if (TicksPassed(start, ms)) return;
        Sleep(1);
    }
}
