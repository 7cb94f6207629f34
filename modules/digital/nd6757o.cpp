// Block type ND6757O: sixteen-channel digital output module of the 8000 series.

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
typedef DigitalParam ND6757O_Param;
typedef DigitalRuntime16 ND6757O_Runtime;
constexpr const ParamSchemaEntry* ND6757O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6757, 4757, 7757, 87057, 0};

// A 6757 gets the 6000-series watchdog sequence, a 7757 the 7000-series one.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalOutputWatchdog(module, type, model, 6757, 7757, nullptr);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6757O",
    .maxChannels = 16,
    .channelLimit = INT_MAX,
    .model = 6150,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6757",
    .schema = ND6757O_ParamSchema,
    .dialogTemplate = "DLG_ND6757O",
    .setupDlgProc = ND6757O_SetupDlgProc,
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
                                                               16,             // channel buttons
                                                               1231,           // help context
                                                               nullptr,        // default
                                                               nullptr,        // XX01
                                                               nullptr,        // XX04
                                                               "XX03-7757-O",  // XX03
                                                               nullptr,        // XX05
                                                               nullptr,        // XX06
                                                               "ZEMX-87057-O", // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake16, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6757O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
