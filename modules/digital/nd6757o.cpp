// Block type ND6757O: sixteen-channel digital output module of the 8000 series.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

#include <limits.h>

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6757O_Param;
typedef DigitalRuntime16 ND6757O_Runtime;
constexpr const ParamSchemaEntry* ND6757O_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6757O_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

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

INT_PTR CALLBACK ND6757O_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6757O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6757O_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6757O", 1576, 56, 4, IDM_ND6757O, 1231, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7757_O_MODULE",
     nullptr, nullptr, "Q87057_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S6757-O-00", nullptr, nullptr, "Q87057-O-00"},
    0, 1168, 1624, // strings: default name, description, description in XX03
    "ND6757O_ICO", "Q87057O_IN", // icon, symbol
    ND6757O_ClassProc, ND6757O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6757O_Register() {
    return RegisterBlockType(row);
}
