// Block type ND6042O: thirteen-channel digital output module. Its row is in
// table.cpp; here the watchdog of its module.

#include "frame/modwatchdog.h"
#include "host/driver.h"
#include "modules/digital/digital.h"

// A 6042 gets the 6000-series watchdog sequence, a 7042 the 7000-series one,
// whose safe value in the family TELV is written as the module's thirteen
// lines.
int ND6042O_Configure(ModuleRecord* module, const TemplateType* type, int model) {
    const DigitalParam* p = DigitalParamOf(module);
    WatchdogStep safe;
    if (FAMILY_TELV)
        WatchdogStepFormat(&safe, '>', 0, "@%02X%04X", p->Module_Address & 0xFF,
                           p->Mess.Watchdog_Value & 0x1FFF);
    else
        DigitalSafeByte(module, &safe);
    return DigitalOutputWatchdog(module, type, model, 6042, 7042, &safe);
}
