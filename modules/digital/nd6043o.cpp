// Block type ND6043O: sixteen-channel digital output module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

#include <limits.h>

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6043O_Param;
typedef DigitalRuntime16 ND6043O_Runtime;
constexpr const ParamSchemaEntry* ND6043O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6043, 4043, 7043, 0};

// A 6043 gets the 6000-series watchdog sequence, a 7043 the 7000-series one.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalOutputWatchdog(module, type, model, 6043, 7043, nullptr);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6043O",
    .maxChannels = 16,
    .channelLimit = INT_MAX,
    .model = 6150,
    .models = kModels,
    .modelCount = 4,
    .namedChannels = 16,
    .restartNote = "Restart 6043",
    .schema = ND6043O_ParamSchema,
    .dialogTemplate = "DLG_ND6043O",
    .setupDlgProc = ND6043O_SetupDlgProc,
    .addSweepRequest = DigitalAddDo16Write,
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
    return DigitalWatchdogButton(dialog, work, id, code, 16);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,            // channel buttons
                                                               1210,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7043-O", // XX03
                                                               nullptr,       // XX05
                                                               nullptr,       // XX06
                                                               "ZEMX-7043-O", // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake16, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6043O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
