// Block type ND6013: three-channel RTD input module with one sensor type for
// the whole module. In the families XX01, XX03, XX06 and TELV the module is
// read as a single channel, without channel number.
#include "modules/analog/nd6013.h"

#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

// clang-format off
const ParamSchemaEntry ND6013_ParamSchema[26] = {
    TEMPLATE_ROW(ND6013_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6013_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6013_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6013_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_ROW(ND6013_Param, "RTD_Type", "int", RTD_Type),
    TEMPLATE_COM_ROWS(ND6013_Param, Com),
    TEMPLATE_MESS_ROWS(ND6013_Param, Mess),
    TEMPLATE_ROW(ND6013_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6013_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kSensorCount = 10;
// clang-format off
const AnalogChoice kSensors[kSensorCount] = {
    {" Pt-100, -100\260C - +100\260C, alpha=0.00385", 0, 0x20, 0x20, nullptr},
    {" Pt-100, 0\260C - +100\260C, alpha=0.00385", 0, 0x21, 0x21, nullptr},
    {" Pt-100, 0\260C - +200\260C, alpha=0.00385", 0, 0x22, 0x22, nullptr},
    {" Pt-100, 0\260C - +600\260C, alpha=0.00385", 0, 0x23, 0x23, nullptr},
    {" Pt-100, -100\260C - +100\260C, alpha=0.003916", 0, 0x24, 0x24, nullptr},
    {" Pt-100, 0\260C - +100\260C, alpha=0.003916", 0, 0x25, 0x25, nullptr},
    {" Pt-100, 0\260C - +200\260C, alpha=0.003916", 0, 0x26, 0x26, nullptr},
    {" Pt-100, 0\260C - +600\260C, alpha=0.003916", 0, 0x27, 0x27, nullptr},
    {" Ni-100, 0\260C - +100\260C", 0, 0x28, 0x28, nullptr},
    {" Ni-120, 0\260C - +100\260C", 0, 0x29, 0x29, nullptr},
};
// clang-format on

const int kModels[5] = {0, 4013, 6013, 7013, 8013};

ND6013_Param* ParamOf(void* param) {
    return static_cast<ND6013_Param*>(param);
}

// The families whose module is read as one channel.
int SingleChannel() {
    return FAMILY_XX01 || FAMILY_XX03 || FAMILY_XX06 || FAMILY_TELV;
}

void Defaults(ModuleRecord* module) {
    ParamOf(module->pParam)->RTD_Type = RTD_FIRST_CODE;
}

int Configure(ModuleRecord* module, const TemplateType* type) {
    return AnalogConfigureModuleChoice(type, module, ParamOf(module->pParam)->RTD_Type, kSensors,
                                       kSensorCount, IDS_UNKNOWN_SENSOR);
}

// The type on its module: three channels read with their numbers, or one
// read without.
constexpr TemplateType MakeType(int channels) {
    return TemplateType{
        .type = "ND6013",
        .form = TEMPLATE_INPUT_FORM,
        .maxChannels = channels,
        .channelLimit = channels,
        .model = 6013,
        .models = kModels,
        .modelCount = 5,
        .nameFormat = "RTD %d",
        .unit = "\260C",
        .namedChannels = 16,
        .restartNote = "Restart 6013",
        .schema = ND6013_ParamSchema,
        TEMPLATE_RECORD_OFFSETS(ND6013_Param),
        .dialogTemplate = "DLG_ND6013",
        .setupDlgProc = ND6013_SetupDlgProc,
        .defaults = Defaults,
        .configure = Configure,
        .addRequest = channels > 1 ? AnalogAddChannelRead : AnalogAddModuleRead,
        .watchdogTick = TEMPLATE_TICK_NONE,
        // A silent module refuses the start and leaves the experiment running; a
        // number that cannot be read is shown as no reply.
        .start = {.silent = TEMPLATE_SILENT_FAIL, .badNumberText = IDS_MODULE_NO_REPLY},
    };
}

constexpr TemplateType threeChannels = MakeType(3);
constexpr TemplateType oneChannel = MakeType(1);

const TemplateType* Type() {
    return SingleChannel() ? &oneChannel : &threeChannels;
}

void InitBoxes(HWND dialog, void* work) {
    AnalogInitChoiceBox(dialog, IDC_RTD_TYPE, kSensors, kSensorCount, ParamOf(work)->RTD_Type);
}

// One channel: the buttons and labels of channels 1 and 2 go, and channel 0
// moves to the middle of their place.
void InitOneChannel(HWND dialog, void* work) {
    InitBoxes(dialog, work);
    static const int kHidden[] = {IDC_CHANNEL_FIRST + 1, IDC_CHANNEL_FIRST + 2,
                                  IDC_ND6013_LABEL0 + 1, IDC_ND6013_LABEL0 + 2};
    static const int kMoved[] = {IDC_CHANNEL_FIRST, IDC_ND6013_LABEL0};
    for (int id : kHidden)
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    for (int id : kMoved) {
        HWND control = GetDlgItem(dialog, id);
        RECT r;
        if (!control || !GetWindowRect(control, &r)) continue;
        POINT at = {r.left, r.top};
        ScreenToClient(dialog, &at);
        MoveWindow(control, at.x + 20, at.y, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

int SensorCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_RTD_TYPE) return 0;
    AnalogChoiceCommand(dialog, id, code, kSensors, kSensorCount, &ParamOf(work)->RTD_Type);
    return 1;
}

constexpr SetupDialogType MakeDialogType(const TemplateType* type, int buttons,
                                         void (*init)(HWND, void*)) {
    SetupDialogType d = {
        type,
        sizeof(ND6013_Param),
        buttons,
        1110, // help context
        // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, "XX01-4013", "YY04 PAD-RTD3", "XX03-7013-I", "ZAV-6013", "YY06 8013",
         "ZEMX-7013-I"},
        {0, 0, 0, 0},
        init,
        SensorCommand,
        nullptr,
        nullptr,
    };
    d.plainDoubleClicks = 1;
    return d;
}

constexpr SetupDialogType threeChannelDialog = MakeDialogType(&threeChannels, 3, InitBoxes);
constexpr SetupDialogType oneChannelDialog = MakeDialogType(&oneChannel, 1, InitOneChannel);

} // namespace

static INT_PTR DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The families XX01 and XX06 keep their one channel as it is.
    if ((msg == CHANBTN_DBLCLK || msg == CHANBTN_RDBLCLK) && (FAMILY_XX01 || FAMILY_XX06))
        return FALSE;
    const SetupDialogType* d = SingleChannel() ? &oneChannelDialog : &threeChannelDialog;
    return SetupDialogProc(d, dialog, msg, wParam, lParam);
}

BLOCK_TYPE_PROCS(ND6013, DialogProc(dialog, msg, wParam, lParam),
                 TemplateClassProc(Type(), module, msg, wParam, lParam),
                 TemplateProcessInputs(Type(), module))
