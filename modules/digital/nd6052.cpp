// Block type ND6052: eight-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6052_Param;
typedef DigitalRuntime8 ND6052_Runtime;
constexpr const ParamSchemaEntry* ND6052_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6052, 4052, 7052, 8052, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6052",
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6052,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6052",
    .schema = ND6052_ParamSchema,
    .dialogTemplate = "DLG_ND6052",
    .setupDlgProc = ND6052_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDiRead6052,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,              // channel buttons
                                                               1135,           // help context
                                                               nullptr,        // default
                                                               "XX01-4052",    // XX01
                                                               "YY04 PAD-DI8", // XX04
                                                               "XX03-7052",    // XX03
                                                               "ZAV-6052",     // XX05
                                                               "YY06-8052",    // XX06
                                                               "ZEMX-7052",    // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6052, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
