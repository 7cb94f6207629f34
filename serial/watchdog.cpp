// The watchdog keep-alive. Several blocks on one port share its slot, and
// any of their ticks may send the port's line.
#include "serial/watchdog.h"

#include "host/host.h"
#include "serial/scan.h"
#include "serial/sercomm.h"

WatchdogSlot WatchdogTable[WATCHDOG_PORTS];

namespace {

const char kSource[] = "watchdog";
const char kKeepAlive[] = "~**";

int PortHasSlot(int port) {
    return port >= 1 && port <= WATCHDOG_PORTS;
}

// The experiment (ScanListRun) in which a block's idle turn last ticked each
// port; 0: none.
int tickedIn[WATCHDOG_PORTS];

int Send(int port) {
    WatchdogSlot& slot = WatchdogTable[port - 1];
    if (slot.Interval <= 0.0) return 0;
    double now = CurrentExperimentTime(1);
    if (now - slot.Last_Sent < slot.Interval) return 0;
    // The pause between writes is kept without waiting: the line goes out
    // at a later idle turn.
    if (!ComPaceReady()) return 0;
    slot.Last_Sent = now;
    // No reply comes; a failed write is tried again after a further interval.
    return WriteCom(port, kKeepAlive, 0) ? 1 : 0;
}

} // namespace

void WatchdogReset() {
    for (WatchdogSlot& slot : WatchdogTable)
        slot.Interval = 0.0;
}

void WatchdogDisarm(int port) {
    if (PortHasSlot(port)) WatchdogTable[port - 1].Interval = 0.0;
}

int WatchdogArm(int port, const MessParam* settings) {
    if (!PortHasSlot(port)) {
        ShowInternalError("Watchdog:# of com ports", kSource, __LINE__);
        return 0;
    }
    if (settings == nullptr) return 0;
    // A time from a loaded record is taken within the limits the dialog
    // offers, so a 0 cannot make every tick send.
    int seconds = settings->Watchdog_Time;
    if (seconds < WATCHDOG_TIME_LOW) seconds = WATCHDOG_TIME_LOW;
    if (seconds > WATCHDOG_TIME_HIGH) seconds = WATCHDOG_TIME_HIGH;
    double half = seconds / 2.0;
    WatchdogSlot& slot = WatchdogTable[port - 1];
    slot.Last_Sent = 0.0;
    // The shortest watchdog time on the port sets the spacing, so no
    // module's watchdog runs out between two lines.
    if (slot.Interval <= 0.0 || half < slot.Interval) slot.Interval = half;
    return 1;
}

int WatchdogTick(int port) {
    if (!PortHasSlot(port)) return 0;
    tickedIn[port - 1] = ScanListRun();
    return Send(port);
}

void WatchdogKeepAlive(int busyPort) {
    int run = ScanListRun();
    for (int port = 1; port <= WATCHDOG_PORTS; port++)
        if (port != busyPort && tickedIn[port - 1] == run) Send(port);
}
