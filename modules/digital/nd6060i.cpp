// Block type ND6060I: digital inputs of the 6060 relay module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6060I_Param;
typedef DigitalRuntime8 ND6060I_Runtime;
constexpr const ParamSchemaEntry* ND6060I_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6060I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6060, 7060};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6060I",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6060,
    .models = kModels,
    .modelCount = 2,
    .namedChannels = 4,
    .restartNote = "Restart 6060",
    .schema = ND6060I_ParamSchema,
    .dialogTemplate = "DLG_ND6060I",
    .setupDlgProc = ND6060I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    // A wrong module refuses the start without stopping the experiment.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,                 // channel buttons
                                                               1140,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               "XX03-7060 Input", // XX03
                                                               "ZAV-6060 Input",  // XX05
                                                               "YY06-8060 Input", // XX06
                                                               "ZEMX-7060 Input", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6060I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6060I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6060I_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6060I", 1576, 56, 4, IDM_ND6060I, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6060I_MODULE", nullptr, nullptr, "7060I_MODULE",
     "O6060I_MODULE", "S8060I_MODULE", "Q7060I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "7060-Inp00", "O6060Inp00", "S8060Inp00", "Q7060-Inp00"},
    1121, 1142, 1620, // strings: default name, description, description in XX03
    "ND6060I_ICO", "Q7060I_IN", // icon, symbol
    ND6060I_ClassProc, ND6060I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6060I_Register() {
    return RegisterBlockType(row);
}
