// Block type ND6015: six-channel RTD input module with a sensor type per
// channel.
#include "modules/analog/nd6015.h"

#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

// clang-format off
const ParamSchemaEntry ND6015_ParamSchema[26] = {
    TEMPLATE_ROW(ND6015_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6015_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6015_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6015_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_ROW(ND6015_Param, "RTD_Type[0..15]", "int", RTD_Type),
    TEMPLATE_COM_ROWS(ND6015_Param, Com),
    TEMPLATE_MESS_ROWS(ND6015_Param, Mess),
    TEMPLATE_ROW(ND6015_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6015_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kSensorCount = 14;
// clang-format off
const AnalogChoice kSensors[kSensorCount] = {
    {" Pt-100, -50\260C - 150\260C, alpha=0.00385", 0, 0x20, 0x20, nullptr},
    {" Pt-100, 0\260C - +100\260C, alpha=0.00385", 0, 0x21, 0x21, nullptr},
    {" Pt-100, 0\260C - +200\260C, alpha=0.00385", 0, 0x22, 0x22, nullptr},
    {" Pt-100, 0\260C - +400\260C, alpha=0.00385", 0, 0x23, 0x23, nullptr},
    {" Pt-100, -200\260C - +200\260C, alpha=0.00385", 0, 0x24, 0x24, nullptr},
    {" Pt-100, -50\260C - +150\260C, alpha=0.003916", 0, 0x25, 0x25, nullptr},
    {" Pt-100, 0\260C - +100\260C, alpha=0.003916", 0, 0x26, 0x26, nullptr},
    {" Pt-100, 0\260C - +200\260C, alpha=0.003916", 0, 0x27, 0x27, nullptr},
    {" Pt-100, 0\260C - +400\260C, alpha=0.003916", 0, 0x28, 0x28, nullptr},
    {" Pt-100, -200\260C - +200\260C, alpha=0.003916", 0, 0x29, 0x29, nullptr},
    {" Pt-1000, -40\260C - +160\260C", 0, 0x2A, 0x2A, nullptr},
    {" BALCO 500, -30\260C - +120\260C", 0, 0x2B, 0x2B, nullptr},
    {" Ni-604, -80\260C - +100\260C", 0, 0x2C, 0x2C, nullptr},
    {" Ni-604, 0\260C - +100\260C", 0, 0x2D, 0x2D, nullptr},
};
// clang-format on

const int kModels[5] = {0, 4015, 6015, 7015, 8015};
const int kChannels = 6;

ND6015_Param* ParamOf(void* param) {
    return static_cast<ND6015_Param*>(param);
}

void Defaults(ModuleRecord* module) {
    for (int& code : ParamOf(module->pParam)->RTD_Type)
        code = 0x20;
}

// The module's configuration at every start, then each channel's sensor
// where it differs.
int Configure(ModuleRecord* module, const TemplateType* type) {
    ND6015_Param* p = ParamOf(module->pParam);
    WORD mask = p->Channel_Mask & TemplateChannelBits(type);
    // A sensor from a file that the module does not have is not written into it.
    for (int c = 0; c < kChannels; c++)
        if ((mask & (1u << c)) && AnalogChoiceOfCode(kSensors, kSensorCount, p->RTD_Type[c]) < 0)
            return TemplateStepFailed(module, IDS_UNKNOWN_SENSOR);
    if (!AnalogSetConfiguration(type, module, 0x00, 50)) return 0;
    for (int c = 0; c < kChannels; c++)
        if ((mask & (1u << c)) &&
            !AnalogConfigureChannelType(type, module, c, p->RTD_Type[c], nullptr, 50))
            return 0;
    return 1;
}

constexpr TemplateType type = {
    .type = "ND6015",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = kChannels,
    .channelLimit = kChannels,
    .model = 6015,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "RTD %d",
    .unit = "\260C",
    .namedChannels = 16,
    .restartNote = "Restart 6015",
    .schema = ND6015_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6015_Param),
    .dialogTemplate = "DLG_ND6015",
    .setupDlgProc = ND6015_SetupDlgProc,
    .defaults = Defaults,
    .configure = Configure,
    .addRequest = AnalogAddChannelRead,
    .watchdogTick = TEMPLATE_TICK_NONE,
    // A silent module refuses the start and leaves the experiment running; a
    // number that cannot be read is shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
    .traceReplies = 1,
};

// The sensor box shows the current channel's sensor, none without one.
void ShowSensor(HWND dialog, void* work, int ch) {
    AnalogInitChoiceBox(dialog, IDC_RTD_TYPE, kSensors, kSensorCount, ParamOf(work)->RTD_Type[ch]);
}

void ShowNoSensor(HWND dialog, void*) {
    SendDlgItemMessageA(dialog, IDC_RTD_TYPE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

int SensorCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_RTD_TYPE) return 0;
    if (CurrentChannel >= 0 && CurrentChannel < 16)
        AnalogChoiceCommand(dialog, id, code, kSensors, kSensorCount,
                            &ParamOf(work)->RTD_Type[CurrentChannel]);
    return 1;
}

constexpr SetupDialogType MakeDialogType() {
    SetupDialogType d = {
        &type,
        sizeof(ND6015_Param),
        kChannels, // channel buttons
        1113,      // help context
        // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, nullptr, nullptr, "XX03-7015-I", nullptr, nullptr, "ZEMX-7015-I"},
        {IDC_RTD_TYPE, 0, 0, 0},
        nullptr,
        SensorCommand,
        nullptr,
        ShowSensor,
    };
    d.plainDoubleClicks = 1;
    d.showNoChannel = ShowNoSensor;
    return d;
}

constexpr SetupDialogType dialogType = MakeDialogType();

} // namespace

BLOCK_TYPE_PROCS(ND6015, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 TemplateClassProc(&type, module, msg, wParam, lParam),
                 TemplateProcessInputs(&type, module))
