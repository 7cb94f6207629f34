// Block type ND6017: eight-channel voltage and current input module, one
// input range for the whole module.
#include "modules/analog/nd6017.h"

#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

#include <stdio.h>

// clang-format off
const ParamSchemaEntry ND6017_ParamSchema[26] = {
    TEMPLATE_ROW(ND6017_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6017_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6017_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6017_Param, "Range", "int", Range),
    TEMPLATE_ROW(ND6017_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6017_Param, Com),
    TEMPLATE_MESS_ROWS(ND6017_Param, Mess),
    TEMPLATE_ROW(ND6017_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6017_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

// The module's input ranges, one for all channels; the range box lists them
// in this order.
const int kRangeCount = 6;
const AnalogChoice kRanges[kRangeCount] = {
    // clang-format off
    {"+/- 10 V", 0, 8, 8, "V"},
    {"+/- 5 V", 0, 9, 9, "V"},
    {"+/- 1 V", 0, 10, 10, "V"},
    {"+/- 500 mV", 0, 11, 11, "mV"},
    {"+/- 150 mV", 0, 12, 12, "mV"},
    {"+/- 20 mA", 0, 13, 13, "mA"},
    // clang-format on
};

const int kModels[5] = {0, 4017, 6017, 7017, 8017};

ND6017_Param* ParamOf(void* param) {
    return static_cast<ND6017_Param*>(param);
}

void Defaults(ModuleRecord* module) {
    ParamOf(module->pParam)->Range = kRanges[0].code;
}

// The module's range where it differs, and every channel enabled. A range
// code the box does not list is sent as it is stored; one beyond the two
// hexadecimal digits of its field is not sent.
int Configure(ModuleRecord* module, const TemplateType* type) {
    const int range = ParamOf(module->pParam)->Range;
    if (range < 0 || range > 0xFF) return TemplateStepFailed(module, IDS_ND6018_UNKNOWN_RANGE);
    if (!AnalogConfigureModuleType(type, module, range)) return 0;
    BYTE enabled = 0;
    if (!AnalogReadChannelEnable(type, module, &enabled, 7000)) return 0;
    if (enabled == 0xFF) return 1;
    return AnalogSetChannelEnable(type, module, 0xFF, 7000);
}

constexpr TemplateType type = {
    .type = "ND6017",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6017,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "Vin %d",
    .unit = "V",
    .namedChannels = 16,
    .restartNote = "Restart 6017",
    .schema = ND6017_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6017_Param),
    .dialogTemplate = "DLG_ND6017",
    .setupDlgProc = ND6017_SetupDlgProc,
    .defaults = Defaults,
    .configure = Configure,
    .addRequest = AnalogAddChannelRead,
    .watchdogTick = TEMPLATE_TICK_NONE,
    // A silent module: the user may start without it; No refuses the start
    // and leaves the experiment running. A number that cannot be read is
    // shown as no reply.
    .start = {.silent = TEMPLATE_SILENT_ASK_FAIL,
              .silentQuestion = IDS_ND6017_SILENT,
              .badNumberText = IDS_MODULE_NO_REPLY},
};

void InitBoxes(HWND dialog, void* work) {
    AnalogInitChoiceBox(dialog, IDC_ND6017_RANGE, kRanges, kRangeCount, ParamOf(work)->Range);
}

// A range chosen: the module's channels take its unit.
int RangeCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_ND6017_RANGE) return 0;
    ND6017_Param* p = ParamOf(work);
    int entry = AnalogChoiceCommand(dialog, id, code, kRanges, kRangeCount, &p->Range);
    if (entry < 0) return 1;
    // What was typed for the current channel stays; the units are the range's.
    SetupStoreChannelFields(dialog, CurrentChannel);
    for (int ch = 0; ch < 8; ch++)
        snprintf(p->Unit[ch], sizeof p->Unit[ch], "%s", kRanges[entry].unit);
    SetupShowChannelFields(dialog, CurrentChannel);
    return 1;
}

constexpr SetupDialogType dialogType = {
    &type,
    sizeof(ND6017_Param),
    8,    // channel buttons
    1115, // help context
    // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, "XX01-4017", "YY04 PAD-V8", "XX03 7017-I", "ZAV 6017", "YY06-8017", "ZEMX 7017-I"},
    {IDC_ND6017_RANGE, 0, 0, 0},
    InitBoxes,
    RangeCommand,
    nullptr,
    nullptr,
};

} // namespace

BLOCK_TYPE_PROCS(ND6017, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 TemplateClassProc(&type, module, msg, wParam, lParam),
                 TemplateProcessInputs(&type, module))
