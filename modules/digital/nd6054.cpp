// Block type ND6054: fifteen-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

#include <stdio.h>

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6054_Param;
typedef DigitalRuntime16 ND6054_Runtime;
constexpr const ParamSchemaEntry* ND6054_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6054_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6054, 4053, 0};

// The channels are "Vin 0" to "Vin 15" in every family.
void Defaults(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++)
        snprintf(TemplateChannelName(module, i), TEMPLATE_NAME_CHARS, "Vin %d", i);
}

constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6054",
    .maxChannels = 15,
    .channelLimit = 15,
    .model = 6054,
    .models = kModels,
    .modelCount = 3,
    .namedChannels = 16,
    .restartNote = "Restart 6054",
    .schema = ND6054_ParamSchema,
    .dialogTemplate = "DLG_ND6054",
    .setupDlgProc = ND6054_SetupDlgProc,
    .defaults = Defaults,
    .addSweepRequest = DigitalAddDi16Read,
    // A silent module refuses the start without stopping the experiment; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               15,         // channel buttons
                                                               1165,       // help context
                                                               nullptr,    // default
                                                               nullptr,    // XX01
                                                               nullptr,    // XX04
                                                               nullptr,    // XX03
                                                               "ZAV-6054", // XX05
                                                               nullptr,    // XX06
                                                               nullptr,    // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, DigitalDeliver16, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6054_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6054_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6054_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6054", 1576, 56, 4, IDM_ND6054, 1165, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6054_MODULE", nullptr, nullptr, nullptr,
     "O6054_MODULE", nullptr, nullptr},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, "O6054-00", nullptr, nullptr},
    1116, 1150, 0, // strings: default name, description, description in XX03
    "ND6054_ICO", nullptr, // icon, symbol
    ND6054_ClassProc, ND6054_Process, defaultName, description};
// clang-format on

} // namespace

int ND6054_Register() {
    return RegisterBlockType(row);
}
