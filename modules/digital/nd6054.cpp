// Block type ND6054: fifteen-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

#include <stdio.h>

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6054_Param;
typedef DigitalRuntime16 ND6054_Runtime;
constexpr const ParamSchemaEntry* ND6054_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6054, 4053, 0};

// The channels are "Vin 0" to "Vin 15" in every family.
void Defaults(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++)
        snprintf(TemplateChannelName(module, i), TEMPLATE_NAME_CHARS, "Vin %d", i);
}

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6054",
    .maxChannels = 15,
    .channelLimit = 15,
    .model = 6054,
    .models = kModels,
    .modelCount = 3,
    .namedChannels = 16,
    .restartNote = "Restart 6054",
    .schema = ND6054_ParamSchema,
    .dialogTemplate = "DLG_ND6054",
    .setupDlgProc = ND6054_SetupDlgProc,
    .defaults = Defaults,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               15,         // channel buttons
                                                               1165,       // help context
                                                               nullptr,    // default
                                                               nullptr,    // XX01
                                                               nullptr,    // XX04
                                                               nullptr,    // XX03
                                                               "ZAV-6054", // XX05
                                                               nullptr,    // XX06
                                                               nullptr,    // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6054, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
