// Block type ND6067: seven-channel relay output module. Its row is in
// table.cpp; here the watchdog of its module.

#include "frame/modwatchdog.h"
#include "modules/digital/digital.h"

// A 6067 gets the 6000-series watchdog sequence, the later models (7067,
// 8067) the 7000-series one.
int ND6067_Configure(ModuleRecord* module, const TemplateType* type, int model) {
    if (model < 7067) return DigitalOutputWatchdog(module, type, model, 6067, 7067, nullptr);
    WatchdogStep safe;
    DigitalSafeByte(module, &safe);
    return DigitalWatchdog7000(module, type, 0, &safe);
}
