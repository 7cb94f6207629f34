// The simulated modules of a test take the time of their replies on the
// driver's clock: a reply is on the wire as long as its characters take at
// the port's rate, measured by the clock the driver measures it by, also
// while a test moves a manual clock by hand.
#ifndef TESTS_COMMON_DRIVER_CLOCK_H
#define TESTS_COMMON_DRIVER_CLOCK_H

#include "modsim.h"

#include <windows.h>

namespace telviotest {

inline long long DriverClockMicroseconds() {
    LARGE_INTEGER count, frequency;
    if (!QueryPerformanceCounter(&count) || !QueryPerformanceFrequency(&frequency) ||
        frequency.QuadPart <= 0)
        return static_cast<long long>(GetTickCount()) * 1000LL;
    return count.QuadPart / (frequency.QuadPart / 1000000LL);
}

// Every bus of the test from here on times its replies by the driver's clock.
inline void SimulateOnDriverClock() {
    modsim::SetDefaultClock(DriverClockMicroseconds);
}

} // namespace telviotest

#endif
