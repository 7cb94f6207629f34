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

void WaitMilliseconds(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        if (TicksPassed(start, ms)) return;
        Sleep(1);
    }
}
