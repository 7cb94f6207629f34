// Block type ND6751: sixteen-channel digital input module of the 8000 series.

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
typedef DigitalParam ND6751_Param;
typedef DigitalRuntime16 ND6751_Runtime;
constexpr const ParamSchemaEntry* ND6751_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6751_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6751, 4751, 7751, 87051, 0};

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6751",
    .maxChannels = 16,
    .channelLimit = 16,
    .model = 6751,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 16,
    .restartNote = "Restart 6751",
    .schema = ND6751_ParamSchema,
    .dialogTemplate = "DLG_ND6751",
    .setupDlgProc = ND6751_SetupDlgProc,
    .defaults = DigitalNamesVinOutsideTelv,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,            // channel buttons
                                                               1132,          // help context
                                                               nullptr,       // default
                                                               "XX01-4751",   // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7751-I", // XX03
                                                               "ZAV-6751",    // XX05
                                                               "YY06-8751",   // XX06
                                                               "ZEMX-7751-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6751_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6751_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6751_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6751", 1576, 56, 4, IDM_ND6751, 1132, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6751_MODULE", "4751_MODULE", nullptr, "7751_I_MODULE",
     "O6751_MODULE", "8751_MODULE", "Q87051_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4751-00", nullptr, "S-7751-I-00", "O6751-00", "S8751-00", "Q-87051-I-00"},
    2005, 2007, 2006, // strings: default name, description, description in XX03
    "ND6751_ICO", "Q87051I_IN", // icon, symbol
    ND6751_ClassProc, ND6751_Process, defaultName, description};
// clang-format on

} // namespace

int ND6751_Register() {
    return RegisterBlockType(row);
}
