// The keep-alive of the modules' own output watchdogs: while an experiment
// runs, each COM port whose blocks armed it gets the line "~**" at a fixed
// spacing of experiment time, one line for all modules on the port.
#ifndef TELVIO_SERIAL_WATCHDOG_H
#define TELVIO_SERIAL_WATCHDOG_H

#include "host/records.h"

#define WATCHDOG_PORTS 16

// One slot per COM number 1..16.
struct WatchdogSlot {
    alignas(8) double Interval;  // seconds between keep-alive lines; 0 while not armed
    alignas(8) double Last_Sent; // experiment time of the last line; 0 after arming
};
static_assert(sizeof(WatchdogSlot) == 16, "WatchdogSlot is 16 bytes");
static_assert(offsetof(WatchdogSlot, Interval) == 0, "Interval");
static_assert(offsetof(WatchdogSlot, Last_Sent) == 8, "Last_Sent");

extern WatchdogSlot WatchdogTable[WATCHDOG_PORTS];

// Disarms every port: at start-up and when a block type with a module
// watchdog stops.
void WatchdogReset();
// A block's start with its watchdog on: the port's keep-alive comes at least
// every half of the block's watchdog time (the shortest time among the
// port's blocks decides). 0 for a port outside 1..16, reported as an
// internal error; the table is then unchanged.
int WatchdogArm(int port, const MessParam* settings);
// Disarms one port: a block that armed it has stopped.
void WatchdogDisarm(int port);
// At a block's idle turn: sends "~**" when the port is armed and its
// interval has passed since the last line. 1 when the line was written.
int WatchdogTick(int port);
// While one transaction holds the engine no block has an idle turn: at every
// step of the engine, the ports that blocks' idle turns keep alive in this
// experiment get their line when their interval has passed, but for
// `busyPort` (0 for none), where a reply is awaited; that port gets it once
// the reply is in or the wait for it is over.
void WatchdogKeepAlive(int busyPort);

#endif
