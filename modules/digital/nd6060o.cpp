// Block type ND6060O: relays of the 6060 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The parameter record and its stored format are those of every digital
// type; the runtime record is that of the relay types that write on change.
typedef DigitalParam ND6060O_Param;
typedef DigitalChangeRuntime ND6060O_Runtime;
constexpr const ParamSchemaEntry* ND6060O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6060, 4060, 7060, 8060, 0};

int AddRequest(ModuleRecord* module, const TemplateType* type) {
    return DigitalShowFullList(module, DigitalAddDoWrite(module, type));
}

// The module's watchdog: the 6000-series sequence in the
// default family, the 7000-series one in the families XX03 and TELV, none
// in the others.
int Configure(ModuleRecord* module, const TemplateType* type, int) {
    int series = 0;
    if (FAMILY_ND) series = 6000;
    if (FAMILY_XX03 || FAMILY_TELV) series = 7000;
    return DigitalChangeWatchdog(module, type, series);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6060O",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6160,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6060",
    .schema = ND6060O_ParamSchema,
    .dialogTemplate = "DLG_ND6060O",
    .setupDlgProc = ND6060O_SetupDlgProc,
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
    return DigitalWatchdogButton(dialog, work, id, code, 4);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,       // channel buttons
                                                               1140,    // help context
                                                               nullptr, // default
                                                               "XX01-4060 Output", // XX01
                                                               nullptr,            // XX04
                                                               "XX03-7060 Output", // XX03
                                                               "ZAV-6060 Output",  // XX05
                                                               "YY06-8060 Output", // XX06
                                                               "ZEMX-7060 Output", // TELV
                                                               InitDialog, Command);

} // namespace

BLOCK_TYPE_PROCS(ND6060O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &DigitalChangeSteps))
