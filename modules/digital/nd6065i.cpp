// Block type ND6065I: digital inputs of the 7065 relay module.

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
typedef DigitalParam ND6065I_Param;
typedef DigitalRuntime8 ND6065I_Runtime;
constexpr const ParamSchemaEntry* ND6065I_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6065I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {7065};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6065I",
    .maxChannels = 8,
    .channelLimit = 4,
    .model = 6065,
    .models = kModels,
    .modelCount = 1,
    .namedChannels = 4,
    .restartNote = "Restart 6065",
    .schema = ND6065I_ParamSchema,
    .dialogTemplate = "DLG_ND6065I",
    .setupDlgProc = ND6065I_SetupDlgProc,
    .addSweepRequest = DigitalAddDiRead,
    // A wrong module refuses the start without stopping the experiment.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,                 // channel buttons
                                                               1230,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               nullptr,           // XX03
                                                               nullptr,           // XX05
                                                               nullptr,           // XX06
                                                               "ZEMX-7065 Input", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6065I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6065I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6065I_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6065I", 1576, 56, 4, IDM_ND6065I, 1230, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7065I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065 Inp00"},
    0, 2003, 0, // strings: default name, description, description in XX03
    "ND6065I_ICO", "Q7060I_IN", // icon, symbol
    ND6065I_ClassProc, ND6065I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6065I_Register() {
    return RegisterBlockType(row);
}
