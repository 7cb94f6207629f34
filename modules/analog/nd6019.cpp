// Block type ND6019: eight-channel universal input module, a voltage or
// current range or a thermocouple type per channel.
#include "modules/analog/nd6019.h"

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

#include <stdio.h>

// The stored rows, the input type of channel 0 in "TC_Type"; the types of
// the other channels follow the stored rows, so a worksheet of the stored
// rows alone loads and the settings of every channel are kept.
// clang-format off
const ParamSchemaEntry ND6019_ParamSchema[ND6019_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6019_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6019_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6019_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6019_Param, "TC_Type", "int", TC_Type),
    TEMPLATE_ROW(ND6019_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6019_Param, Com),
    TEMPLATE_MESS_ROWS(ND6019_Param, Mess),
    TEMPLATE_ROW(ND6019_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6019_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6019_Param, "TC_Type[1..15]", "int", TC_Type[1]),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

// The input types: the block stores the entry, the module takes its code,
// the channel takes its unit.
const int kTypeCount = 21;
// clang-format off
const AnalogChoice kTypes[kTypeCount] = {
    {nullptr, IDS_ND6019_TYPE_FIRST + 0, 0, 0x00, "mV"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 1, 1, 0x01, "mV"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 2, 2, 0x02, "mV"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 3, 3, 0x03, "mV"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 4, 4, 0x04, "V"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 5, 5, 0x05, "V"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 6, 6, 0x06, "mA"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 7, 7, 0x08, "V"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 8, 8, 0x09, "V"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 9, 9, 0x0C, "mV"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 10, 10, 0x0E, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 11, 11, 0x0F, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 12, 12, 0x10, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 13, 13, 0x11, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 14, 14, 0x12, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 15, 15, 0x13, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 16, 16, 0x14, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 17, 17, 0x15, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 18, 18, 0x16, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 19, 19, 0x17, "\260C"},
    {nullptr, IDS_ND6019_TYPE_FIRST + 20, 20, 0x18, "\260C"},
};
// clang-format on

const int kModels[5] = {0, 4019, 6019, 7019, 8019};

ND6019_Param* ParamOf(void* param) {
    return static_cast<ND6019_Param*>(param);
}

// The entry a code the module reports stands for: the entry of that code,
// and the module's second codes of three ranges (0x0A for -1 - 1 V, 0x0B
// for -500 - 500 mV, 0x0D for -20 - 20 mA); -1 for any other code.
int EntryOfModuleCode(int code) {
    switch (code) {
    case 0x0A: return 4;
    case 0x0B: return 3;
    case 0x0D: return 6;
    default: break;
    }
    for (int i = 0; i < kTypeCount; i++)
        if (kTypes[i].moduleCode == code) return i;
    return -1;
}

int SameType(int reported, int wanted) {
    int entry = EntryOfModuleCode(reported);
    return entry >= 0 && entry == EntryOfModuleCode(wanted);
}

void Defaults(ModuleRecord* module) {
    for (int& type : ParamOf(module->pParam)->TC_Type)
        type = 0;
}

// Each channel in use takes its type where the module's differs; the
// module's address, speed and format are left as they are.
int Configure(ModuleRecord* module, const TemplateType* type) {
    ND6019_Param* p = ParamOf(module->pParam);
    WORD mask = p->Channel_Mask & TemplateChannelBits(type);
    // A type from a file that the module does not have is not written into it.
    for (int c = 0; c < 8; c++)
        if ((mask & (1u << c)) && AnalogChoiceOfCode(kTypes, kTypeCount, p->TC_Type[c]) < 0)
            return TemplateStepFailed(module, IDS_ND6018_UNKNOWN_RANGE);
    for (int c = 0; c < 8; c++) {
        if (!(mask & (1u << c))) continue;
        int code = kTypes[AnalogChoiceOfCode(kTypes, kTypeCount, p->TC_Type[c])].moduleCode;
        if (!AnalogConfigureChannelType(type, module, c, code, SameType, 7000)) return 0;
    }
    return 1;
}

constexpr TemplateType type = {
    .type = "ND6019",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = 8,
    .channelLimit = 8,
    .model = 6019,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "Vin %d",
    .unit = "mV",
    .namedChannels = 16,
    .restartNote = "Restart 6019",
    .schema = ND6019_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6019_Param),
    .dialogTemplate = "DLG_ND6019",
    .setupDlgProc = ND6019_SetupDlgProc,
    .defaults = Defaults,
    .configure = Configure,
    .addRequest = AnalogAddChannelReadAnyWidth,
    .watchdogTick = TEMPLATE_TICK_NONE,
};

// The type box is filled anew for every channel shown, with its type.
void InitBoxes(HWND dialog, void*) {
    SendDlgItemMessageA(dialog, IDC_INPUT_TYPE, CB_RESETCONTENT, 0, 0);
}

void ShowType(HWND dialog, void* work, int ch) {
    AnalogInitChoiceBox(dialog, IDC_INPUT_TYPE, kTypes, kTypeCount, ParamOf(work)->TC_Type[ch]);
}

void ShowNoType(HWND dialog, void*) {
    SendDlgItemMessageA(dialog, IDC_INPUT_TYPE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// A type chosen for the current channel: the channel takes its unit.
int TypeCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_INPUT_TYPE) return 0;
    int ch = CurrentChannel;
    if (ch < 0 || ch >= 16) return 1;
    ND6019_Param* p = ParamOf(work);
    int entry = AnalogChoiceCommand(dialog, id, code, kTypes, kTypeCount, &p->TC_Type[ch]);
    if (entry < 0) return 1;
    // What was typed for the channel stays; its unit is the type's.
    SetupStoreChannelFields(dialog, ch);
    snprintf(p->Unit[ch], sizeof p->Unit[ch], "%s", kTypes[entry].unit);
    SetupShowChannelFields(dialog, ch);
    return 1;
}

constexpr SetupDialogType MakeDialogType() {
    SetupDialogType d = {
        &type,
        sizeof(ND6019_Param),
        8,    // channel buttons
        1123, // help context
        // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, "XX01-4019", "YY04 PAD-VTH8", "XX03 S7019-I", "ZAV-6019", "YY06-8019",
         "ZEMX Q7019-I"},
        {IDC_INPUT_TYPE, 0, 0, 0},
        InitBoxes,
        TypeCommand,
        nullptr,
        ShowType,
    };
    d.showNoChannel = ShowNoType;
    return d;
}

constexpr SetupDialogType dialogType = MakeDialogType();

} // namespace

BLOCK_TYPE_PROCS(ND6019, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 TemplateClassProc(&type, module, msg, wParam, lParam),
                 TemplateProcessInputs(&type, module))
