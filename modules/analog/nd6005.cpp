// Block type ND6005: eight-channel thermistor input module with alarm
// outputs; a thermistor type and an alarm per channel, one temperature scale
// for the module.
#include "modules/analog/nd6005.h"

#include "frame/alarmgroup.h"
#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

// The stored rows, the type and alarm of channel 0 in "TC_Type", "Alarm_On",
// "Alarm_Latched", "Alarm_High" and "Alarm_Low"; those of the other channels,
// the alarm outputs and the temperature scale follow the stored rows, so a
// worksheet of the stored rows alone loads and every setting is kept.
// clang-format off
const ParamSchemaEntry ND6005_ParamSchema[ND6005_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6005_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6005_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6005_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6005_Param, "TC_Type", "int", TC_Type),
    TEMPLATE_ROW(ND6005_Param, "Alarm_On", "BOOL", Alarm_On),
    TEMPLATE_ROW(ND6005_Param, "Alarm_Latched", "BOOL", Alarm_Latched),
    TEMPLATE_ROW(ND6005_Param, "Alarm_High", "double", Alarm_High),
    TEMPLATE_ROW(ND6005_Param, "Alarm_Low", "double", Alarm_Low),
    TEMPLATE_ROW(ND6005_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6005_Param, Com),
    TEMPLATE_MESS_ROWS(ND6005_Param, Mess),
    TEMPLATE_ROW(ND6005_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6005_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6005_Param, "TC_Type[1..15]", "int", TC_Type[1]),
    TEMPLATE_ROW(ND6005_Param, "Alarm_On[1..15]", "BOOL", Alarm_On[1]),
    TEMPLATE_ROW(ND6005_Param, "Alarm_Latched[1..15]", "BOOL", Alarm_Latched[1]),
    TEMPLATE_ROW(ND6005_Param, "Alarm_DO[0..15]", "int", Alarm_DO),
    TEMPLATE_ROW(ND6005_Param, "Alarm_High[1..15]", "double", Alarm_High[1]),
    TEMPLATE_ROW(ND6005_Param, "Alarm_Low[1..15]", "double", Alarm_Low[1]),
    TEMPLATE_ROW(ND6005_Param, "Temperature_Scale", "int", Temperature_Scale),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

// The thermistor types: the block stores the entry, the module takes its
// code; the user-defined types 13 to 20 are the module's codes 0x70 to 0x77
// that their texts name.
const int kTypeCount = 21;
// clang-format off
const AnalogChoice kTypes[kTypeCount] = {
    {nullptr, IDS_ND6005_TYPE_FIRST + 0, 0, 0x60, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 1, 1, 0x61, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 2, 2, 0x62, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 3, 3, 0x63, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 4, 4, 0x64, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 5, 5, 0x65, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 6, 6, 0x66, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 7, 7, 0x67, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 8, 8, 0x68, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 9, 9, 0x69, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 10, 10, 0x6A, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 11, 11, 0x6B, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 12, 12, 0x6C, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 13, 13, 0x70, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 14, 14, 0x71, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 15, 15, 0x72, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 16, 16, 0x73, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 17, 17, 0x74, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 18, 18, 0x75, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 19, 19, 0x76, nullptr},
    {nullptr, IDS_ND6005_TYPE_FIRST + 20, 20, 0x77, nullptr},
};
// clang-format on

// The limits the dialog clamps both alarms of a channel to, by its type:
// every type the same, wide enough for both scales.
const AlarmBounds kLimits = {-600.0, 600.0};
// A limit goes to the module in a field of seven characters: sign, three
// digits, the point and two decimals.
const char kLimitFormat[] = "%+07.2f";
const int kLimitField = 7;

// The module's alarm outputs.
const int kOutputs = 6;

const int kModels[5] = {0, 4005, 6005, 7005, 8005};
const int kChannels = 8;

ND6005_Param* ParamOf(void* param) {
    return static_cast<ND6005_Param*>(param);
}

int Fahrenheit(const ND6005_Param* p) {
    return p->Temperature_Scale > 1;
}

// Every channel is labelled with the scale the module measures in.
void LabelChannels(ND6005_Param* p) {
    for (char* unit : p->Unit)
        snprintf(unit, TEMPLATE_UNIT_CHARS, "%s", Fahrenheit(p) ? "\260F" : "\260C");
}

void Defaults(ModuleRecord* module) {
    ND6005_Param* p = ParamOf(module->pParam);
    for (int c = 0; c < 16; c++) {
        p->TC_Type[c] = 0;
        p->Alarm_On[c] = 0;
        p->Alarm_Latched[c] = 0;
        p->Alarm_DO[c] = 0;
        p->Alarm_High[c] = 0.0;
        p->Alarm_Low[c] = 0.0;
    }
    p->Temperature_Scale = 1;
    LabelChannels(p);
}

// A limit the module can be told, as it is stored: a number whose text
// fits its field.
int LimitFits(double limit) {
    char number[NUMBER_TEXT_SIZE];
    return isfinite(limit) &&
           FormatDouble(number, sizeof number, kLimitFormat, limit) == kLimitField;
}

// Settings from a file that the module cannot take are refused before
// anything is written: a type it does not have, an alarm output it lacks,
// a limit that is no number or does not fit its field.
UINT Refusal(const ND6005_Param* p, WORD mask) {
    for (int c = 0; c < kChannels; c++) {
        if (!(mask & (1u << c))) continue;
        if (AnalogChoiceOfCode(kTypes, kTypeCount, p->TC_Type[c]) < 0) return IDS_UNKNOWN_SENSOR;
        if (!p->Alarm_On[c]) continue;
        if (p->Alarm_DO[c] < 0 || p->Alarm_DO[c] >= kOutputs || !LimitFits(p->Alarm_High[c]) ||
            !LimitFits(p->Alarm_Low[c]))
            return IDS_BAD_ALARM;
    }
    return 0;
}

int Send(const TemplateType* type, ModuleRecord* module, const char* command) {
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "%s", command);
    return TemplateSendAndExpect(type, module, text, '!', *TemplateUsesChecksum(type, module),
                                 7000);
}

// A channel's alarm: "@AAHI" (high) or "@AALO" (low) with the limit, the
// channel, latched ("LO") or momentary ("MO"), and the output it drives.
int SendAlarm(const TemplateType* type, ModuleRecord* module, int c, const char* which,
              double limit) {
    const ND6005_Param* p = ParamOf(module->pParam);
    char number[NUMBER_TEXT_SIZE];
    FormatDouble(number, sizeof number, kLimitFormat, limit);
    char command[TEMPLATE_QUERY_SIZE];
    snprintf(command, sizeof command, "@%02X%s%sC%01X%s%01X", p->Module_Address & 0xFF, which,
             number, c, p->Alarm_Latched[c] ? "LO" : "MO", p->Alarm_DO[c]);
    return Send(type, module, command);
}

// The module's configuration, scale and channel enables at every start;
// then each channel in use: its type where it differs, and its alarms.
int Configure(ModuleRecord* module, const TemplateType* type) {
    ND6005_Param* p = ParamOf(module->pParam);
    WORD mask = p->Channel_Mask & TemplateChannelBits(type);
    UINT refusal = Refusal(p, mask);
    if (refusal) return TemplateStepFailed(module, refusal);
    int address = p->Module_Address & 0xFF;
    char command[TEMPLATE_QUERY_SIZE];
    if (!AnalogSetConfiguration(type, module, 0x00, 7000)) return 0;
    snprintf(command, sizeof command, "~%02XD%c", address, Fahrenheit(p) ? 'F' : 'C');
    if (!Send(type, module, command)) return 0;
    if (!AnalogSetChannelEnable(type, module, mask, 7000)) return 0;
    for (int c = 0; c < kChannels; c++) {
        if (!(mask & (1u << c))) continue;
        int code = kTypes[AnalogChoiceOfCode(kTypes, kTypeCount, p->TC_Type[c])].moduleCode;
        if (!AnalogConfigureChannelType(type, module, c, code, nullptr, 7000)) return 0;
        if (p->Alarm_On[c]) {
            if (!SendAlarm(type, module, c, "HI", p->Alarm_High[c])) return 0;
            if (!SendAlarm(type, module, c, "LO", p->Alarm_Low[c])) return 0;
            continue;
        }
        snprintf(command, sizeof command, "@%02XDHC%01X", address, c);
        if (!Send(type, module, command)) return 0;
        snprintf(command, sizeof command, "@%02XDLC%01X", address, c);
        if (!Send(type, module, command)) return 0;
    }
    return 1;
}

constexpr TemplateType type = {
    .type = "ND6005",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = kChannels,
    .channelLimit = kChannels,
    .model = 6005,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "Vin %d",
    .unit = "\260C",
    .namedChannels = 16,
    .restartNote = "Restart 6005",
    .schema = ND6005_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6005_Param),
    .dialogTemplate = "DLG_ND6005",
    .setupDlgProc = ND6005_SetupDlgProc,
    .defaults = Defaults,
    .configure = Configure,
    .addRequest = AnalogAddChannelRead,
    .watchdogTick = TEMPLATE_TICK_NONE,
};

// ---- the setup dialog ----

int Current() {
    return CurrentChannel >= 0 && CurrentChannel < 16 ? CurrentChannel : -1;
}

// The current channel's alarm group, its limits clamped to the bounds.
void ShowAlarm(HWND dialog, ND6005_Param* p, int ch) {
    int on = p->Alarm_On[ch] ? 1 : 0;
    AlarmGroupShowOn(dialog, on);
    AlarmGroupShow(dialog, on, p->Alarm_Latched[ch], &p->Alarm_High[ch], &p->Alarm_Low[ch],
                   &kLimits, 1.0);
    AlarmGroupShowUnits(dialog, "");
    HWND output = GetDlgItem(dialog, IDC_ND6005_OUTPUT);
    if (output) EnableWindow(output, on ? TRUE : FALSE);
    int selected = p->Alarm_DO[ch] >= 0 && p->Alarm_DO[ch] < kOutputs ? p->Alarm_DO[ch] : -1;
    SendDlgItemMessageA(dialog, IDC_ND6005_OUTPUT, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void InitBoxes(HWND dialog, void*) {
    SendDlgItemMessageA(dialog, IDC_INPUT_TYPE, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kOutputs; i++) {
        char text[8];
        snprintf(text, sizeof text, "%d", i);
        SendDlgItemMessageA(dialog, IDC_ND6005_OUTPUT, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    }
}

void ShowChannel(HWND dialog, void* work, int ch) {
    ND6005_Param* p = ParamOf(work);
    AnalogInitChoiceBox(dialog, IDC_INPUT_TYPE, kTypes, kTypeCount, p->TC_Type[ch]);
    ShowAlarm(dialog, p, ch);
}

// The unit box names the module's scale, the same for every channel.
void StoreChannel(HWND, void* work, int) {
    LabelChannels(ParamOf(work));
}

// A unit chosen in the unit box sets the module's scale: Fahrenheit for a
// unit that names it ("\260F"), Celsius for any other.
void ScaleChosen(HWND dialog, ND6005_Param* p) {
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_SETUP_UNIT, CB_GETCURSEL, 0, 0);
    LRESULT length =
        SendDlgItemMessageA(dialog, IDC_SETUP_UNIT, CB_GETLBTEXTLEN, static_cast<WPARAM>(entry), 0);
    char text[TEMPLATE_UNIT_CHARS];
    if (entry < 0 || length < 0 || length >= static_cast<LRESULT>(sizeof text)) return;
    SendDlgItemMessageA(dialog, IDC_SETUP_UNIT, CB_GETLBTEXT, static_cast<WPARAM>(entry),
                        reinterpret_cast<LPARAM>(text));
    int f = length > 0 && toupper(static_cast<unsigned char>(text[length - 1])) == 'F';
    p->Temperature_Scale = f ? 2 : 1;
    LabelChannels(p);
    if (Current() >= 0) SetupShowChannelFields(dialog, Current());
}

int Command(HWND dialog, void* work, int id, int code) {
    ND6005_Param* p = ParamOf(work);
    int ch = Current();
    if (id == IDC_SETUP_UNIT) {
        if (code == CBN_SELCHANGE) ScaleChosen(dialog, p);
        return 0; // the frame's handling of the box goes on
    }
    if (id == IDC_INPUT_TYPE) {
        if (ch < 0) return 1;
        if (AnalogChoiceCommand(dialog, id, code, kTypes, kTypeCount, &p->TC_Type[ch]) >= 0) {
            // What was typed for the channel stays.
            SetupStoreChannelFields(dialog, ch);
            SetupShowChannelFields(dialog, ch);
        }
        return 1;
    }
    if (id == IDC_ND6005_OUTPUT) {
        int entry = AnalogChosenEntry(dialog, id, kOutputs);
        if (code == CBN_SELCHANGE && ch >= 0 && entry >= 0) p->Alarm_DO[ch] = entry;
        return 1;
    }
    switch (id) {
    case IDC_ALARM_ON:
    case IDC_ALARM_OFF:
        if (code == BN_CLICKED && ch >= 0) {
            p->Alarm_On[ch] = id == IDC_ALARM_ON;
            ShowAlarm(dialog, p, ch);
        }
        return 1;
    case IDC_ALARM_MOMENTARY:
    case IDC_ALARM_LATCH:
        if (code == BN_CLICKED && ch >= 0) p->Alarm_Latched[ch] = id == IDC_ALARM_LATCH;
        return 1;
    case IDC_ALARM_HIGH:
    case IDC_ALARM_LOW:
        // A limit is taken from its edit only while the alarm is on (the
        // edit shows " ---" otherwise).
        if (code == EN_KILLFOCUS && ch >= 0 && p->Alarm_On[ch]) {
            double* limit = id == IDC_ALARM_HIGH ? &p->Alarm_High[ch] : &p->Alarm_Low[ch];
            *limit = AlarmGroupReadLimit(dialog, id, 1.0);
            ShowAlarm(dialog, p, ch);
        }
        return 1;
    default: return 0;
    }
}

constexpr SetupDialogType MakeDialogType() {
    SetupDialogType d = {
        &type,
        sizeof(ND6005_Param),
        kChannels, // channel buttons
        1090,      // help context
        // captions: default (the resource's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, "XX01-4005", "YY04 PAD-VTH8", "XX03 S7005-I", "ZAV-6005", "YY06-8005",
         "ZEMX Q7005-I"},
        {IDC_INPUT_TYPE, 0, 0, 0},
        InitBoxes,
        Command,
        StoreChannel,
        ShowChannel,
    };
    return d;
}

constexpr SetupDialogType dialogType = MakeDialogType();

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    int answer = TemplateClassProc(&type, module, msg, wParam, lParam);
    // Names come from the partner; the units stay those of the module's scale.
    if (msg == MODMSG_IMPORT_NAMES && answer) LabelChannels(ParamOf(module->pParam));
    return answer;
}

BLOCK_TYPE_PROCS(ND6005, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam), TemplateProcessInputs(&type, module))
