// Block type ND6751: sixteen-channel digital input module of the 8000 series.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6751_Param;
typedef DigitalRuntime16 ND6751_Runtime;
constexpr const ParamSchemaEntry* ND6751_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6751, 4751, 7751, 87051, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6751",
    .maxChannels = 16,
    .channelLimit = 16,
    .model = 6751,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6751",
    .schema = ND6751_ParamSchema,
    .dialogTemplate = "DLG_ND6751",
    .setupDlgProc = ND6751_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,            // channel buttons
                                                               1132,          // help context
                                                               nullptr,       // default
                                                               "XX01-4751",   // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7751-I", // XX03
                                                               "ZAV-6751",    // XX05
                                                               "YY06-8751",   // XX06
                                                               "ZEMX-7751-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6751, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
