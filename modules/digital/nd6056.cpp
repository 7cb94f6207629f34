// Block type ND6056: sixteen-channel digital output module. Its row is in
// table.cpp; here its request and the watchdog of its module.

#include "frame/fields.h"
#include "frame/modwatchdog.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "modules/digital/digital.h"
#include "serial/scan.h"

#include <stdio.h>

int ND6056_AddRequest(ModuleRecord* module, const TemplateType*) {
    const DigitalParam* p = DigitalParamOf(module);
    DigitalRuntime16* rt = DigitalRuntime16Of(module);
    return TemplateShowFullList(module, ScanAddDoWrite6056(p->Com.Port_Number, p->Module_Address,
                                                           &rt->Data_Image, rt->Uses_Checksum));
}

// In the default family the module's watchdog gets the safe value of all
// sixteen lines ("~AA21TTVVVV"; off "~AA20000000").
int ND6056_Configure(ModuleRecord* module, const TemplateType* type, int) {
    if (!FAMILY_ND) return 1;
    DigitalParam* p = DigitalParamOf(module);
    char safe[8];
    snprintf(safe, sizeof safe, "%04X", p->Mess.Watchdog_Value);
    return ModuleWatchdog6000(type, module, TemplateRuntimeOf(module)->Uses_Checksum,
                              p->Module_Address, &p->Mess, safe, 0, "000000", 0);
}
