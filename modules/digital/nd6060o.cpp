// Block type ND6060O: relays of the 6060 relay module. Its row is in
// table.cpp; here the watchdog of its module.

#include "host/driver.h"
#include "modules/digital/digital.h"

// The module's watchdog: the 6000-series sequence in the default family, the
// 7000-series one in the families XX03 and TELV, none in the others.
int ND6060O_Configure(ModuleRecord* module, const TemplateType* type, int) {
    int series = 0;
    if (FAMILY_ND) series = 6000;
    if (FAMILY_XX03 || FAMILY_TELV) series = 7000;
    return DigitalChangeWatchdog(module, type, series);
}
