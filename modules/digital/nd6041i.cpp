// Block type ND6041I: fourteen-channel digital input module. Its row is in
// table.cpp; here the request and delivery of its two images.

#include "frame/loops.h"
#include "frame/template.h"
#include "host/driver.h"
#include "modules/digital/digital.h"
#include "modules/digital/nd6041i.h"
#include "serial/scan.h"

namespace {

ND6041I_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6041I_Runtime*>(module->pRuntime);
}

int Deliver(ModuleRecord* module, const TemplateType*) {
    const ND6041I_Runtime* rt = RuntimeOf(module);
    return DigitalDeliver(module, FAMILY_TELV ? rt->Data_Image16 : rt->Data_Image);
}

} // namespace

int ND6041I_AddRequest(ModuleRecord* module, const TemplateType* type) {
    const DigitalParam* p = DigitalParamOf(module);
    ND6041I_Runtime* rt = RuntimeOf(module);
    if (!FAMILY_TELV) return DigitalAddDiRead(module, type);
    return ScanAddDi16Read6041I(p->Com.Port_Number, p->Module_Address, &rt->Data_Image16,
                                rt->Uses_Checksum);
}

const TemplateSweepSteps ND6041I_Steps = {nullptr, Deliver, nullptr, nullptr};
