// Block type ND6050I: digital inputs of the 6050 module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type with the
// watchdog rows repeated.
typedef DigitalParam ND6050I_Param;
typedef DigitalRuntime8 ND6050I_Runtime;
constexpr const ParamSchemaEntry* ND6050I_ParamSchema = DigitalParamSchemaWatchdog;

namespace {

const int kModels[] = {6050, 4050, 7050, 8050, 0};

// The watchdog of the module's outputs, set up for a 7050 in the family TELV.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalInputWatchdog(module, type, model, 7050);
}

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6050I",
    .maxChannels = 8,
    .channelLimit = 7,
    .model = 6050,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 8,
    .restartNote = "Restart 6050",
    .schema = ND6050I_ParamSchema,
    .dialogTemplate = "DLG_ND6050I",
    .setupDlgProc = ND6050I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    .watchdogTick = TEMPLATE_TICK_ALWAYS,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

constexpr SetupDialogType dialogType =
    DigitalDialogDescriptor(&type,
                            8,                 // channel buttons
                            1130,              // help context
                            nullptr,           // default
                            "XX01-4050 Input", // XX01
                            nullptr,           // XX04
                            "XX03-7050-I",     // XX03
                            "ZAV-6050 Input",  // XX05
                            "YY06-8050 Input", // XX06
                            "ZEMX-7050-I",     // TELV
                            DigitalInputWatchdogButtonInit, DigitalInputWatchdogButton);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6050I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
