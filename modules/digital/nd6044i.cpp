// Block type ND6044I: digital inputs of the 7044 module.

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
typedef DigitalParam ND6044I_Param;
typedef DigitalRuntime8 ND6044I_Runtime;
constexpr const ParamSchemaEntry* ND6044I_ParamSchema = DigitalParamSchemaWatchdog;

namespace {

const int kModels[] = {6044, 4044, 7044, 0};

// The watchdog of the module's outputs, set up for a 7044 in the family TELV.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalInputWatchdog(module, type, model, 7044);
}

// A record loads whatever its Version.
constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6044I",
    .maxChannels = 4,
    .channelLimit = 4,
    .model = 6044,
    .models = kModels,
    .modelCount = 4,
    .namedChannels = 4,
    .restartNote = "Restart 6044",
    .schema = ND6044I_ParamSchema,
    .dialogTemplate = "DLG_ND6044I",
    .setupDlgProc = ND6044I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    .watchdogTick = TEMPLATE_TICK_ALWAYS,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
    .anyVersion = 1,
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

constexpr SetupDialogType dialogType =
    DigitalDialogDescriptor(&type,
                            4,             // channel buttons
                            1195,          // help context
                            nullptr,       // default
                            nullptr,       // XX01
                            nullptr,       // XX04
                            "XX03-7044-I", // XX03
                            nullptr,       // XX05
                            nullptr,       // XX06
                            "ZEMX-7044-I", // TELV
                            DigitalInputWatchdogButtonInit, DigitalInputWatchdogButton);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6044I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
