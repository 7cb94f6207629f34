// Block type ND6065I: digital inputs of the 7065 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6065I_Param;
typedef DigitalRuntime8 ND6065I_Runtime;
constexpr const ParamSchemaEntry* ND6065I_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {7065};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6065I",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6065,
    .models = kModels,
    .modelCount = 1,
    .namedChannels = 4,
    .restartNote = "Restart 6065",
    .schema = ND6065I_ParamSchema,
    .dialogTemplate = "DLG_ND6065I",
    .setupDlgProc = ND6065I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    // A wrong module refuses the start without stopping the experiment.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,                 // channel buttons
                                                               1230,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               nullptr,           // XX03
                                                               nullptr,           // XX05
                                                               nullptr,           // XX06
                                                               "ZEMX-7065 Input", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6065I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
