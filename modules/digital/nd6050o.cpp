// Block type ND6050O: digital outputs of the 6050 module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6050O_Param;
typedef DigitalRuntime8 ND6050O_Runtime;
constexpr const ParamSchemaEntry* ND6050O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6050, 4050, 7050, 8050, 0};

// A 6050 gets the 6000-series watchdog sequence, a 7050 the 7000-series one.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalOutputWatchdog(module, type, model, 6050, 7050, nullptr);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6050O",
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6150,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 8,
    .restartNote = "Restart 6050",
    .schema = ND6050O_ParamSchema,
    .dialogTemplate = "DLG_ND6050O",
    .setupDlgProc = ND6050O_SetupDlgProc,
    .addSweepRequest = DigitalAddDoWrite,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

void InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog, DIGITAL_FAMILIES_ND_XX03_TELV);
    // The module of the family XX04 has seven outputs.
    if (FAMILY_XX04) DigitalHideChannel(dialog, 7, IDC_DIGITAL_LABEL7);
}

int Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, 8);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,       // channel buttons
                                                               1130,    // help context
                                                               nullptr, // default
                                                               "XX01-4050 Output", // XX01
                                                               "YY04 PAD-DO7",     // XX04
                                                               "XX03-7050-O",      // XX03
                                                               "ZAV-6050 Output",  // XX05
                                                               "YY06-8050 Output", // XX06
                                                               "ZEMX-7050-O",      // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake8, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6050O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
