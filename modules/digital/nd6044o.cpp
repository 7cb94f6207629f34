// Block type ND6044O: digital outputs of the 7044 module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6044O_Param;
typedef DigitalRuntime8 ND6044O_Runtime;
constexpr const ParamSchemaEntry* ND6044O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6044, 4044, 7044, 0};

// A 6044 gets the 6000-series watchdog sequence, a 7044 the 7000-series one.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalOutputWatchdog(module, type, model, 6044, 7044, nullptr);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6044O",
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6150,
    .models = kModels,
    .modelCount = 4,
    .namedChannels = 8,
    .restartNote = "Restart 6044",
    .schema = ND6044O_ParamSchema,
    .dialogTemplate = "DLG_ND6044O",
    .setupDlgProc = ND6044O_SetupDlgProc,
    .addSweepRequest = DigitalAddDoWrite,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

void InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog, DIGITAL_FAMILY(FAMILY_INDEX_XX03) |
                                          DIGITAL_FAMILY(FAMILY_INDEX_TELV));
}

int Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, 8);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,             // channel buttons
                                                               1195,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7044-O", // XX03
                                                               nullptr,       // XX05
                                                               nullptr,       // XX06
                                                               "ZEMX-7044-O", // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake8, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6044O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
