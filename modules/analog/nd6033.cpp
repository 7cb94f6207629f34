// Block type ND6033: three-channel RTD input module with one sensor type for
// the whole module; each channel is read on its own schedule.
#include "modules/analog/nd6013.h"

#include "frame/analogin.h"
#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

// The stored format is that of ND6013.
const ParamSchemaEntry* const ND6033_ParamSchema = ND6013_ParamSchema;

namespace {

const int kSensorCount = 11;
// clang-format off
const AnalogChoice kSensors[kSensorCount] = {
    {" Pt-100, -100\260C...+100\260C, alpha=0.00385", 0, 0x20, 0x20, nullptr},
    {" Pt-100, 0\260C...+100\260C, alpha=0.00385", 0, 0x21, 0x21, nullptr},
    {" Pt-100, 0\260C...+200\260C, alpha=0.00385", 0, 0x22, 0x22, nullptr},
    {" Pt-100, 0\260C...+600\260C, alpha=0.00385", 0, 0x23, 0x23, nullptr},
    {" Pt-100, -100\260C...+100\260C, alpha=0.003916", 0, 0x24, 0x24, nullptr},
    {" Pt-100, 0\260C...+100\260C, alpha=0.003916", 0, 0x25, 0x25, nullptr},
    {" Pt-100, 0\260C...+200\260C, alpha=0.003916", 0, 0x26, 0x26, nullptr},
    {" Pt-100, 0\260C...+600\260C, alpha=0.003916", 0, 0x27, 0x27, nullptr},
    {" Ni-120, -80\260C...+100\260C", 0, 0x28, 0x28, nullptr},
    {" Ni-120, 0\260C...+100\260C", 0, 0x29, 0x29, nullptr},
    {" Pt-1000, -200\260C...+600\260C, alpha=0.00385", 0, 0x2A, 0x2A, nullptr},
};
// clang-format on

const int kModels[2] = {0, 7033};

ND6033_Param* ParamOf(void* param) {
    return static_cast<ND6033_Param*>(param);
}

void Defaults(ModuleRecord* module) {
    ParamOf(module->pParam)->RTD_Type = RTD_FIRST_CODE;
}

int Configure(ModuleRecord* module, const TemplateType* type) {
    return AnalogConfigureModuleChoice(type, module, ParamOf(module->pParam)->RTD_Type, kSensors,
                                       kSensorCount, IDS_UNKNOWN_SENSOR);
}

constexpr TemplateType type = {
    .type = "ND6033",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = 3,
    .channelLimit = 3,
    .model = 6033,
    .models = kModels,
    .modelCount = 2,
    .nameFormat = "RTD %d",
    .unit = "\260C",
    .namedChannels = 16,
    .restartNote = "Restart 6033",
    .schema = ND6033_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6033_Param),
    .dialogTemplate = "DLG_ND6033",
    .setupDlgProc = ND6033_SetupDlgProc,
    .defaults = Defaults,
    .configure = Configure,
    .addRequest = AnalogAddChannelRead,
    .watchdogTick = TEMPLATE_TICK_NONE,
    // A silent module refuses the start and leaves the experiment running; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
    // Each channel keeps its own due time.
    .channelDue = 1,
};

void InitBoxes(HWND dialog, void* work) {
    AnalogInitChoiceBox(dialog, IDC_RTD_TYPE, kSensors, kSensorCount, ParamOf(work)->RTD_Type);
}

int SensorCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_RTD_TYPE) return 0;
    AnalogChoiceCommand(dialog, id, code, kSensors, kSensorCount, &ParamOf(work)->RTD_Type);
    return 1;
}

constexpr SetupDialogType MakeDialogType() {
    SetupDialogType d = {
        &type,
        sizeof(ND6033_Param),
        3,    // channel buttons
        1225, // help context
        // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "ZEMX-7033-I"},
        {0, 0, 0, 0},
        InitBoxes,
        SensorCommand,
        nullptr,
        nullptr,
    };
    d.plainDoubleClicks = 1;
    return d;
}

constexpr SetupDialogType dialogType = MakeDialogType();

} // namespace

BLOCK_TYPE_PROCS(ND6033, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 TemplateClassProc(&type, module, msg, wParam, lParam),
                 TemplateProcessChannelsDue(&type, module))
