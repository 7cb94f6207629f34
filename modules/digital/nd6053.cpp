// Block type ND6053: sixteen-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6053_Param;
typedef DigitalRuntime16 ND6053_Runtime;
constexpr const ParamSchemaEntry* ND6053_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6053, 4053, 7053, 8053, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6053",
    .maxChannels = 16,
    .channelLimit = 16,
    .model = 6053,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6053",
    .schema = ND6053_ParamSchema,
    .dialogTemplate = "DLG_ND6053",
    .setupDlgProc = ND6053_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,            // channel buttons
                                                               1160,          // help context
                                                               nullptr,       // default
                                                               "XX01-4053",   // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7053-I", // XX03
                                                               "ZAV-6053",    // XX05
                                                               "YY06-8053",   // XX06
                                                               "ZEMX-7053-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6053, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
