// The one clock of the process: GetTickCount, Sleep and the performance
// counter read it. Real by default (the monotonic clock); tests switch to a
// manual clock that moves only when told. The manual clock counts
// microseconds: the tick count is its milliseconds modulo 2^32, so the tick
// wraps while the performance counter runs on. Switching between the two
// clocks sets the tick count where the test says, but the performance
// counter never goes back, as on Windows.
#include "internal.h"
#include "winapi_headless.h"

#include <time.h>

#include <atomic>

namespace {

// Counts of the performance counter per second: nanoseconds.
const long long kCounterHz = 1000000000LL;

std::atomic<int> manual{0};
std::atomic<unsigned long long> manualMicroseconds{0};
// The performance counter of the manual clock: where it stood when the
// manual clock started, and the manual time then.
std::atomic<unsigned long long> manualCounterBase{0};
std::atomic<unsigned long long> manualStart{0};
// Added to the real clock's counter so it never falls behind what the
// manual clock showed.
std::atomic<unsigned long long> realCounterOffset{0};

unsigned long long RealNanoseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000000000ull +
           static_cast<unsigned long long>(ts.tv_nsec);
}

unsigned long long Counter() {
    if (manual)
        return manualCounterBase.load() +
               (manualMicroseconds.load() - manualStart.load()) * 1000ull;
    return RealNanoseconds() + realCounterOffset.load();
}

} // namespace

extern "C" void WinapiUseManualClock(DWORD startTicks) {
    unsigned long long counter = Counter();
    manual = 0;
    manualCounterBase = counter;
    manualMicroseconds = static_cast<unsigned long long>(startTicks) * 1000ull;
    manualStart = manualMicroseconds.load();
    manual = 1;
}
extern "C" void WinapiUseRealClock(void) {
    if (!manual) return;
    unsigned long long counter = Counter();
    manual = 0;
    unsigned long long real = RealNanoseconds();
    if (counter > real + realCounterOffset.load()) realCounterOffset = counter - real;
}
extern "C" void WinapiAdvanceClock(DWORD ms) {
    manualMicroseconds += static_cast<unsigned long long>(ms) * 1000ull;
}
extern "C" void WinapiAdvanceClockMicroseconds(DWORD us) {
    manualMicroseconds += us;
}
extern "C" int WinapiClockIsManual(void) {
    return manual.load();
}

DWORD WINAPI GetTickCount(void) {
    unsigned long long ms =
        manual ? manualMicroseconds.load() / 1000ull : RealNanoseconds() / 1000000ull;
    return static_cast<DWORD>(ms & 0xffffffffull);
}

void WINAPI Sleep(DWORD ms) {
    if (manual) {
        WinapiAdvanceClock(ms);
        return;
    }
    timespec ts;
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    ts.tv_nsec = static_cast<long>((ms % 1000) * 1000000L);
    while (nanosleep(&ts, &ts) != 0) {
    }
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        winapi::setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    count->QuadPart = static_cast<LONGLONG>(Counter());
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        winapi::setLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = kCounterHz;
    return TRUE;
}
