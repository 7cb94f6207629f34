// The one clock of the process: GetTickCount and Sleep read it. Real by
// default; tests switch to a manual clock that moves only when told.
#include "internal.h"
#include "winapi_headless.h"

#include <time.h>

#include <atomic>

namespace {
std::atomic<int> manual{0};
std::atomic<DWORD> manualTicks{0};

DWORD realTicks() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    unsigned long long ms = static_cast<unsigned long long>(ts.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(ts.tv_nsec / 1000000);
    return static_cast<DWORD>(ms & 0xffffffffull);
}
} // namespace

extern "C" void WinapiUseManualClock(DWORD startTicks) {
    manualTicks = startTicks;
    manual = 1;
}
extern "C" void WinapiUseRealClock(void) {
    manual = 0;
}
extern "C" void WinapiAdvanceClock(DWORD ms) {
    manualTicks += ms;
}
extern "C" int WinapiClockIsManual(void) {
    return manual.load();
}

DWORD WINAPI GetTickCount(void) {
    return manual ? manualTicks.load() : realTicks();
}

void WINAPI Sleep(DWORD ms) {
    if (manual) {
        manualTicks += ms;
        return;
    }
    timespec ts;
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    ts.tv_nsec = static_cast<long>((ms % 1000) * 1000000L);
    while (nanosleep(&ts, &ts) != 0) {
    }
}
