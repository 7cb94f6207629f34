// Block type ND6060I: digital inputs of the 6060 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6060I_Param;
typedef DigitalRuntime8 ND6060I_Runtime;
constexpr const ParamSchemaEntry* ND6060I_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6060, 7060};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6060I",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6060,
    .models = kModels,
    .modelCount = 2,
    .namedChannels = 4,
    .restartNote = "Restart 6060",
    .schema = ND6060I_ParamSchema,
    .dialogTemplate = "DLG_ND6060I",
    .setupDlgProc = ND6060I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    // A wrong module refuses the start without stopping the experiment.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,                 // channel buttons
                                                               1140,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               "XX03-7060 Input", // XX03
                                                               "ZAV-6060 Input",  // XX05
                                                               "YY06-8060 Input", // XX06
                                                               "ZEMX-7060 Input", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6060I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
