// Block type ND6043O: sixteen-channel digital output module.

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
typedef DigitalParam ND6043O_Param;
typedef DigitalRuntime16 ND6043O_Runtime;
constexpr const ParamSchemaEntry* ND6043O_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6043O_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

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

INT_PTR CALLBACK ND6043O_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6043O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6043O_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6043O", 1576, 56, 4, IDM_ND6043O, 1210, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7043_O_MODULE",
     nullptr, nullptr, "Q7043_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7043-O-00", nullptr, nullptr, "Q7043-O-00"},
    0, 1157, 1611, // strings: default name, description, description in XX03
    "ND6043O_ICO", "Q7043O_IN", // icon, symbol
    ND6043O_ClassProc, ND6043O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6043O_Register() {
    return RegisterBlockType(row);
}
