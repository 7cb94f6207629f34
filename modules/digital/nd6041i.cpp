// Block type ND6041I: fourteen-channel digital input module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/registration.h"
#include "modules/digital/digital.h"
#include "modules/digital/nd6041i.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"

// The parameter record and its stored format are those of every digital type.
typedef DigitalParam ND6041I_Param;
constexpr const ParamSchemaEntry* ND6041I_ParamSchema = DigitalParamSchema;

INT_PTR CALLBACK ND6041I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const int kModels[] = {6041, 4041, 7041, 8041, 0};

ND6041I_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6041I_Runtime*>(module->pRuntime);
}

int AddRequest(ModuleRecord* module, const TemplateType* type) {
    const DigitalParam* p = DigitalParamOf(module);
    ND6041I_Runtime* rt = RuntimeOf(module);
    if (!FAMILY_TELV) return DigitalAddDiRead(module, type);
    return ScanAddDi16Read6041I(p->Com.Port_Number, p->Module_Address, &rt->Data_Image16,
                                rt->Uses_Checksum);
}

int Deliver(ModuleRecord* module, const TemplateType*) {
    const ND6041I_Runtime* rt = RuntimeOf(module);
    return DigitalDeliver(module, FAMILY_TELV ? rt->Data_Image16 : rt->Data_Image);
}

// A record loads whatever its Version.
constexpr TemplateType type = DigitalInputDescriptor({
    .type = "ND6041I",
    .maxChannels = 14,
    .channelLimit = 14,
    .model = 6041,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 14,
    .restartNote = "Restart 6041",
    .schema = ND6041I_ParamSchema,
    .dialogTemplate = "DLG_ND6041I",
    .setupDlgProc = ND6041I_SetupDlgProc,
    .addSweepRequest = AddRequest,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
    .anyVersion = 1,
});

constexpr TemplateStartSteps startSteps = {};

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               14,            // channel buttons
                                                               1200,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7041-I", // XX03
                                                               nullptr,       // XX05
                                                               "YY06-8041-I", // XX06
                                                               "ZEMX-7041-I", // TELV
                                                               nullptr, nullptr);

const TemplateSweepSteps steps = {nullptr, Deliver, nullptr, nullptr};

} // namespace

INT_PTR CALLBACK ND6041I_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6041I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

int MODULE_CALL ND6041I_Process(ModuleRecord* module) {
    return TemplateProcessSweep(&type, module, &steps);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6041I", 1576, 56, 4, IDM_ND6041I, 1200, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "7041I_MODULE",
     nullptr, "8041I_MODULE", "7041-I-00"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "7041-I-00", nullptr, "S8041I-00", "Q7041-I-00"},
    0, 1155, 1609, // strings: default name, description, description in XX03
    "ND6050I_ICO", "Q7041I_IN", // icon, symbol
    ND6041I_ClassProc, ND6041I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6041I_Register() {
    return RegisterBlockType(row);
}
