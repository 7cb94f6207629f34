// Block type ND6041I: fourteen-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/digital/nd6041i.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"

// The parameter record and its stored format are those of every digital type.
typedef DigitalParam ND6041I_Param;
constexpr const ParamSchemaEntry* ND6041I_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6041, 4041, 7041, 8041, 0};

ND6041I_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6041I_Runtime*>(module->pRuntime);
}

int AddRequest(ModuleRecord* module, const TemplateType* type) {
    const DigitalParam* p = DigitalParamOf(module);
    ND6041I_Runtime* rt = RuntimeOf(module);
    if (!FAMILY_TELV) return DigitalAddDiRead(module, type);
    return ScanAddDi16Read6041I(p->Com.Port_Number, p->Module_Address, &rt->Data_Image16,
                                rt->Uses_Checksum);
}

int Deliver(ModuleRecord* module, const TemplateType*) {
    const ND6041I_Runtime* rt = RuntimeOf(module);
    return DigitalDeliver(module, FAMILY_TELV ? rt->Data_Image16 : rt->Data_Image);
}

// A record loads whatever its Version.
constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6041I",
    .maxChannels = 14,
    .channelLimit = 14,
    .model = 6041,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 14,
    .restartNote = "Restart 6041",
    .schema = ND6041I_ParamSchema,
    .dialogTemplate = "DLG_ND6041I",
    .setupDlgProc = ND6041I_SetupDlgProc,
    .addSweepRequest = AddRequest,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
    .anyVersion = 1,
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               14,            // channel buttons
                                                               1200,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7041-I", // XX03
                                                               nullptr,       // XX05
                                                               "YY06-8041-I", // XX06
                                                               "ZEMX-7041-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, Deliver, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6041I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
