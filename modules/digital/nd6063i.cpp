// Block type ND6063I: digital inputs of the 7063 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6063I_Param;
typedef DigitalRuntime8 ND6063I_Runtime;
constexpr const ParamSchemaEntry* ND6063I_ParamSchema = DigitalParamSchema;

namespace {

// The relay modules 7063 and 6063: the start takes what the Test button
// passes.
const int kModels[] = {7063, 6063};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6063I",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6063,
    .models = kModels,
    .modelCount = 2,
    .namedChannels = 8,
    .restartNote = "Restart 6063",
    .schema = ND6063I_ParamSchema,
    .dialogTemplate = "DLG_ND6063I",
    .setupDlgProc = ND6063I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    // A wrong module refuses the start without stopping the experiment.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,                 // channel buttons
                                                               1180,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               nullptr,           // XX03
                                                               nullptr,           // XX05
                                                               nullptr,           // XX06
                                                               "ZEMX-7063 Input", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6063I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
