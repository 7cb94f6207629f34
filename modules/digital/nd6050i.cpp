// Block type ND6050I: digital inputs of the 6050 module.

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
typedef DigitalParam ND6050I_Param;
typedef DigitalRuntime8 ND6050I_Runtime;
constexpr const ParamSchemaEntry* ND6050I_ParamSchema = DigitalParamSchemaWatchdog;

INT_PTR CALLBACK ND6050I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6050, 4050, 7050, 8050, 0};

// The watchdog of the module's outputs, set up for a 7050 in the family TELV.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    return DigitalInputWatchdog(module, type, model, 7050);
}

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6050I",
    .maxChannels = 8,
    .channelLimit = 7,
    .model = 6050,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 8,
    .restartNote = "Restart 6050",
    .schema = ND6050I_ParamSchema,
    .dialogTemplate = "DLG_ND6050I",
    .setupDlgProc = ND6050I_SetupDlgProc,
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
                            1130,              // help context
                            nullptr,           // default
                            "XX01-4050 Input", // XX01
                            nullptr,           // XX04
                            "XX03-7050-I",     // XX03
                            "ZAV-6050 Input",  // XX05
                            "YY06-8050 Input", // XX06
                            "ZEMX-7050-I",     // TELV
                            DigitalInputWatchdogButtonInit, DigitalInputWatchdogButton);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6050I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6050I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6050I_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6050I", 1576, 56, 4, IDM_ND6050I, 1130, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6050I_MODULE", "4050I_MODULE", nullptr, "7050I_MODULE",
     "O6050I_MODULE", "S6050I_MODULE", "Q7050I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4050-Inp00", nullptr, "S7050-I-00", "O6050-Inp00", "S8050-Inp00", "Q7050-I-00"},
    1112, 1139, 1614, // strings: default name, description, description in XX03
    "ND6050I_ICO", "Q7050I_IN", // icon, symbol
    ND6050I_ClassProc, ND6050I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6050I_Register() {
    return RegisterBlockType(row);
}
