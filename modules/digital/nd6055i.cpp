// Block type ND6055I: digital inputs of the 6055 module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type with the
// watchdog rows repeated.
typedef DigitalParam ND6055I_Param;
typedef DigitalRuntime8 ND6055I_Runtime;
constexpr const ParamSchemaEntry* ND6055I_ParamSchema = DigitalParamSchemaWatchdog;

INT_PTR CALLBACK ND6055I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6055, 4055, 7055, 8055, 0};

// The watchdog of the module's outputs, set up for a 7055 in the family TELV.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalInputWatchdog(module, type, model, 7055);
}

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6055I",
    .maxChannels = 8,
    .channelLimit = 7,
    .model = 6055,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 8,
    .restartNote = "Restart 6055",
    .schema = ND6055I_ParamSchema,
    .dialogTemplate = "DLG_ND6055I",
    .setupDlgProc = ND6055I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    .watchdogTick = TEMPLATE_TICK_ALWAYS,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

constexpr SetupDialogType dialogType =
    DigitalDialogDescriptor(&type,
                            8,                 // channel buttons
                            1137,              // help context
                            nullptr,           // default
                            "XX01-4055 Input", // XX01
                            nullptr,           // XX04
                            "XX03-7055-I",     // XX03
                            "ZAV-6055 Input",  // XX05
                            "YY06-8055 Input", // XX06
                            "ZEMX-7055-I",     // TELV
                            DigitalInputWatchdogButtonInit, DigitalInputWatchdogButton);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6055I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6055I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6055I_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6055I", 1576, 56, 4, IDM_ND6055I, 1137, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6055I_MODULE", "4055I_MODULE", nullptr, "7055I_MODULE",
     "O6055I_MODULE", "S6055I_MODULE", "Q7055I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4055-Inp00", nullptr, "S7055-I-00", "O6055-Inp00", "S8055-Inp00", "Q7055-I-00"},
    1117, 1180, 1618, // strings: default name, description, description in XX03
    "ND6055I_ICO", "Q7055I_IN", // icon, symbol
    ND6055I_ClassProc, ND6055I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6055I_Register() {
    return RegisterBlockType(row);
}
