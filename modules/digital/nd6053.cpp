// Block type ND6053: sixteen-channel digital input module.

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
typedef DigitalParam ND6053_Param;
typedef DigitalRuntime16 ND6053_Runtime;
constexpr const ParamSchemaEntry* ND6053_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6053_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6053, 4053, 7053, 8053, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6053",
    .maxChannels = 16,
    .channelLimit = 16,
    .model = 6053,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6053",
    .schema = ND6053_ParamSchema,
    .dialogTemplate = "DLG_ND6053",
    .setupDlgProc = ND6053_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,            // channel buttons
                                                               1160,          // help context
                                                               nullptr,       // default
                                                               "XX01-4053",   // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7053-I", // XX03
                                                               "ZAV-6053",    // XX05
                                                               "YY06-8053",   // XX06
                                                               "ZEMX-7053-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6053_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6053_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6053_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6053", 1576, 56, 4, IDM_ND6053, 1160, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6053_MODULE", "4053_MODULE", nullptr, "7053_I_MODULE",
     "O6053_MODULE", "8053_MODULE", "Q7053_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4053-00", nullptr, "S-7053-I-00", "O6053-00", "S8053-00", "Q-7053-I-00"},
    1115, 1149, 1617, // strings: default name, description, description in XX03
    "ND6053_ICO", "Q7053I_IN", // icon, symbol
    ND6053_ClassProc, ND6053_Process, defaultName, description};
// clang-format on

} // namespace

int ND6053_Register() {
    return RegisterBlockType(row);
}
