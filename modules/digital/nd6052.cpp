// Block type ND6052: eight-channel digital input module.

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
typedef DigitalParam ND6052_Param;
typedef DigitalRuntime8 ND6052_Runtime;
constexpr const ParamSchemaEntry* ND6052_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6052_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6052, 4052, 7052, 8052, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6052",
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6052,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6052",
    .schema = ND6052_ParamSchema,
    .dialogTemplate = "DLG_ND6052",
    .setupDlgProc = ND6052_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDiRead6052,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               8,              // channel buttons
                                                               1135,           // help context
                                                               nullptr,        // default
                                                               "XX01-4052",    // XX01
                                                               "YY04 PAD-DI8", // XX04
                                                               "XX03-7052",    // XX03
                                                               "ZAV-6052",     // XX05
                                                               "YY06-8052",    // XX06
                                                               "ZEMX-7052",    // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver8, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6052_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6052_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6052_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6052", 1576, 56, 4, IDM_ND6052, 1135, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6052_MODULE", "4052_MODULE", "PADDI8_MODULE", "S7052I_MODULE",
     "O6052_MODULE", "S8052_MODULE", "Q7052I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4052-00", "PAD-DI8-00", "S7052I-00", "O6052-00", "S8052-00", "Q7052I-00"},
    1114, 1141, 1616, // strings: default name, description, description in XX03
    "ND6052_ICO", "Q7052I_IN", // icon, symbol
    ND6052_ClassProc, ND6052_Process, defaultName, description};
// clang-format on

} // namespace

int ND6052_Register() {
    return RegisterBlockType(row);
}
