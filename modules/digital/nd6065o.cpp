// Block type ND6065O: relays of the 7065 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The parameter record and its stored format are those of every digital
// type; the runtime record is that of the relay types that write on change.
typedef DigitalParam ND6065O_Param;
typedef DigitalChangeRuntime ND6065O_Runtime;
constexpr const ParamSchemaEntry* ND6065O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {7065, 0};

int AddRequest(ModuleRecord* module, const TemplateType* type) {
    return DigitalShowFullList(module, DigitalAddDoWrite(module, type));
}

// The module's watchdog: the 7000-series sequence.
int Configure(ModuleRecord* module, const TemplateType* type, int) {
    return DigitalChangeWatchdog(module, type, 7000);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6065O",
    .maxChannels = 8,
    .channelLimit = 5,
    .model = 6160,
    .models = kModels,
    .modelCount = 2,
    .namedChannels = 16,
    .restartNote = "Restart 6065",
    .schema = ND6065O_ParamSchema,
    .dialogTemplate = "DLG_ND6065O",
    .setupDlgProc = ND6065O_SetupDlgProc,
    .addSweepRequest = AddRequest,
    // A silent module may be started without, at the user's word; a wrong one
    // refuses the start without stopping the experiment.
    .start = {.silent = TEMPLATE_SILENT_ASK, .wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure, .finish = DigitalChangeStart};

void InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog, DIGITAL_FAMILIES_ND_XX03_TELV);
}

int Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, 5);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,       // channel buttons
                                                               1230,    // help context
                                                               nullptr, // default
                                                               nullptr, // XX01
                                                               nullptr, // XX04
                                                               nullptr, // XX03
                                                               nullptr, // XX05
                                                               nullptr, // XX06
                                                               "ZEMX-7065 Output", // TELV
                                                               InitDialog, Command);

} // namespace

BLOCK_TYPE_PROCS(ND6065O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &DigitalChangeSteps))
