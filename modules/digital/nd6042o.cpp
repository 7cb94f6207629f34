// Block type ND6042O: thirteen-channel digital output module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"
#include "host/driver.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6042O_Param;
typedef DigitalRuntime16 ND6042O_Runtime;
constexpr const ParamSchemaEntry* ND6042O_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6042, 4042, 7042, 0};

// A 6042 gets the 6000-series watchdog sequence, a 7042 the 7000-series one,
// whose safe value in the family TELV is written as the module's thirteen
// lines.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    const DigitalParam* p = DigitalParamOf(module);
    WatchdogStep safe;
    if (FAMILY_TELV)
        WatchdogStepFormat(&safe, '>', 0, "@%02X%04X", p->Module_Address & 0xFF,
                           p->Mess.Watchdog_Value & 0x1FFF);
    else
        DigitalSafeByte(module, &safe);
    return DigitalOutputWatchdog(module, type, model, 6042, 7042, &safe);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6042O",
    .maxChannels = 13,
    .channelLimit = 13,
    .model = 6150,
    .models = kModels,
    .modelCount = 4,
    .namedChannels = 13,
    .restartNote = "Restart 6042",
    .schema = ND6042O_ParamSchema,
    .dialogTemplate = "DLG_ND6042O",
    .setupDlgProc = ND6042O_SetupDlgProc,
    .addSweepRequest = DigitalAddDo16Write6042O,
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
    return DigitalWatchdogButton(dialog, work, id, code, 13);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               13,            // channel buttons
                                                               1205,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7042-O", // XX03
                                                               nullptr,       // XX05
                                                               nullptr,       // XX06
                                                               "ZEMX-7042-O", // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake16, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6042O, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
