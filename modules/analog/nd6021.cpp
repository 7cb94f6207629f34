// Block type ND6021: single-channel analog output modules, one per channel
// of the block, up to sixteen on one port; and what the analog output types
// share.
#include "modules/analog/nd6021.h"

#include "frame/chanbar.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/loops.h"
#include "frame/moduletest.h"
#include "frame/modwatchdog.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"
#include "serial/sercomm.h"
#include "serial/watchdog.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6021_ParamSchema[29] = {
    TEMPLATE_ROW(ND6021_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6021_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6021_Param, "Module_Address[0..15]", "int", Module_Address),
    TEMPLATE_ROW(ND6021_Param, "Range[0..15]", "int", Range),
    TEMPLATE_ROW(ND6021_Param, "Slew_Rate[0..15]", "int", Slew_Rate),
    TEMPLATE_ROW(ND6021_Param, "Watchdog_On[0..15]", "BOOL", Watchdog_On),
    TEMPLATE_ROW(ND6021_Param, "Watchdog_Time[0..15]", "int", Watchdog_Time),
    TEMPLATE_ROW(ND6021_Param, "Watchdog_Value[0..15]", "float", Watchdog_Value),
    TEMPLATE_COM_ROWS(ND6021_Param, Com),
    TEMPLATE_MESS_ROWS(ND6021_Param, Mess),
    TEMPLATE_ROW(ND6021_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6021_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

// ---- What the analog output types share ----

namespace {

struct AoRange {
    float low;
    float high;
    const char* unit;
};
const AoRange kRanges[AO_RANGES] = {
    {0.0f, 20.0f, "mA"},  {4.0f, 20.0f, "mA"}, {0.0f, 10.0f, "V"},
    {-10.0f, 10.0f, "V"}, {0.0f, 5.0f, "V"},   {-5.0f, 5.0f, "V"},
};

const AoRange* RangeOf(int range) {
    return range >= 0 && range < AO_RANGES ? &kRanges[range] : nullptr;
}

// The value held within low..high; a value that is no number stays one.
float Within(float value, float low, float high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

} // namespace

int AoRangeKnown(int range, int ranges) {
    return range >= 0 && range < ranges && range < AO_RANGES;
}

void AoRangeLimits(int range, float* low, float* high) {
    const AoRange* r = RangeOf(range);
    *low = r ? r->low : 0.0f;
    *high = r ? r->high : 0.0f;
}

int AoCurrentRange(int range) {
    return range == AO_RANGE_0_20_MA || range == AO_RANGE_4_20_MA;
}

const char* AoRangeUnit(int range) {
    const AoRange* r = RangeOf(range);
    return r ? r->unit : "";
}

float AoLimit(int range, float value) {
    const AoRange* r = RangeOf(range);
    return r ? Within(value, r->low, r->high) : value;
}

int AoDataFormat(int slewRate, int checksum) {
    return ((slewRate & 0x0F) << 2) | (checksum ? 0x40 : 0);
}

int AoConfigure(const TemplateType* type, ModuleRecord* module, int address, int checksum,
                int typeCode, int dataFormat) {
    const int a = address & 0xFF;
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X2", a);
    if (!TemplateSendAndExpect(type, module, text, '!', checksum, 0)) return 0;
    // "!AATTCCFF": the type code after the address, the data format last.
    BYTE code = 0;
    BYTE format = 0;
    size_t length = strlen(text);
    if (!ParseHexByteAt(text, length, 3, &code) || !ParseHexByteAt(text, length, 7, &format))
        return TemplateStepFailed(module, IDS_COMM_PROBLEM);
    if (code == (typeCode & 0xFF) && format == (dataFormat & 0xFF)) return 1;
    snprintf(text, sizeof text, "%%%02X%02X%02X%02X%02X", a, a, typeCode & 0xFF,
             TemplatePortBaud(type, module) + 3, dataFormat & 0xFF);
    return TemplateSendAndExpect(type, module, text, '!', checksum, 0);
}

int AoSafetyCode6021(int range, float value) {
    float low = 0.0f;
    float high = 0.0f;
    AoRangeLimits(range, &low, &high);
    float v = isnan(value) ? low : high > low ? Within(value, low, high) : value;
    float fullScale = range == AO_RANGE_0_10_V ? 10.0f : 20.0f;
    return static_cast<int>(v / fullScale * 4095.0f) & 0xFFF;
}

int AoSafetyCode6024(int, float value) {
    float v = isnan(value) ? 0.0f : Within(value, -10.0f, 10.0f);
    int m = static_cast<int>(fabsf(v) / 10.0f * 2047.0f) & 0x7FF;
    return v >= 0.0f ? 0x800 + m : 0x800 - m;
}

MessParam AoWatch(int on, int seconds) {
    MessParam watch;
    memset(&watch, 0, sizeof watch);
    watch.Watchdog_On = on ? 1 : 0;
    watch.Watchdog_Time = seconds;
    return watch;
}

int AoWatchdog7000Channels(const TemplateType* type, ModuleRecord* module, int checksum,
                           int address, const MessParam* watch, int channels, WORD mask,
                           const float* values, const char* format) {
    const int a = address & 0xFF;
    WatchdogStep steps[2 * TEMPLATE_CHANNELS];
    int count = 0;
    for (int n = 0; watch->Watchdog_On && n < channels && n < TEMPLATE_CHANNELS; n++) {
        char value[NUMBER_TEXT_SIZE];
        FormatDouble(value, sizeof value, format, (mask >> n) & 1 ? values[n] : 0.0);
        WatchdogStepFormat(&steps[count++], '>', 0, "#%02X%c%s", a, '0' + n, value);
        WatchdogStepFormat(&steps[count++], '!', 10, "~%02X5%c", a, '0' + n);
    }
    return ModuleWatchdog7000(type, module, checksum, a, watch, WATCHDOG7_CLEAR_FIRST, steps, count,
                              10);
}

namespace {

ChannelScan12* WriteRecord(ModuleRecord* module, int input) {
    if (input < 0 || input >= TEMPLATE_CHANNELS) return nullptr;
    return static_cast<ChannelScan12*>(module->apChannelScan[input]);
}

} // namespace

int AoChangedWanted(ModuleRecord* module, int input) {
    ChannelScan12* scan = WriteRecord(module, input);
    return scan && scan->Channel_Value != scan->Last_Written;
}

void AoChangedWritten(ModuleRecord* module, int input) {
    ChannelScan12* scan = WriteRecord(module, input);
    if (scan) scan->Last_Written = scan->Channel_Value;
}

void AoForgetWritten(ModuleRecord* module) {
    for (int i = 0; i < TEMPLATE_CHANNELS; i++) {
        ChannelScan12* scan = WriteRecord(module, i);
        if (scan) scan->Last_Written = AO_NOTHING_WRITTEN;
    }
}

void AoFillList(HWND dialog, int id, UINT first, int count, int selected) {
    HWND box = GetDlgItem(dialog, id);
    if (!box) return;
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[64];
        if (LoadStringA(hInstDriver, first + static_cast<UINT>(i), text, sizeof text) <= 0)
            text[0] = 0;
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(box, CB_SETCURSEL,
                 static_cast<WPARAM>(selected >= 0 && selected < count ? selected : -1), 0);
}

void AoShowWatchdogControls(HWND dialog, BOOL on, int seconds, float value, const char* unit) {
    CheckDlgButton(dialog, IDC_AO_WATCHDOG_ON, on ? BST_CHECKED : BST_UNCHECKED);
    HWND time = GetDlgItem(dialog, IDC_WD_TIME);
    HWND safe = GetDlgItem(dialog, IDC_AO_SAFE_VALUE);
    if (time) SendMessageA(time, CB_RESETCONTENT, 0, 0);
    if (on) {
        for (int s = WATCHDOG_TIME_LOW; s <= WATCHDOG_TIME_HIGH && time; s++) {
            char text[8];
            snprintf(text, sizeof text, "%d", s);
            SendMessageA(time, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        if (time)
            SendMessageA(time, CB_SETCURSEL, static_cast<WPARAM>(seconds - WATCHDOG_TIME_LOW), 0);
        char text[NUMBER_TEXT_SIZE];
        FormatNumber(text, value, 1);
        SetDlgItemTextA(dialog, IDC_AO_SAFE_VALUE, text);
        SetDlgItemTextA(dialog, IDC_AO_SAFE_UNIT, unit);
    } else {
        SetDlgItemTextA(dialog, IDC_AO_SAFE_VALUE, "---");
        SetDlgItemTextA(dialog, IDC_AO_SAFE_UNIT, "");
    }
    if (time) EnableWindow(time, on ? TRUE : FALSE);
    if (safe) EnableWindow(safe, on ? TRUE : FALSE);
}

void AoReadSafetyValue(HWND dialog, float low, float high, float* value) {
    char text[NUMBER_TEXT_SIZE];
    char shown[NUMBER_TEXT_SIZE];
    GetDlgItemTextA(dialog, IDC_AO_SAFE_VALUE, text, sizeof text);
    // The value as the edit shows it is the one held, to its last digit.
    FormatNumber(shown, *value, 1);
    if (strcmp(text, shown) != 0) *value = Within(static_cast<float>(ParseNumber(text)), low, high);
    FormatNumber(text, *value, 1);
    SetDlgItemTextA(dialog, IDC_AO_SAFE_VALUE, text);
}

int AoChosenWatchdogTime(HWND dialog) {
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_GETCURSEL, 0, 0);
    if (entry < 0) return 0;
    int seconds = static_cast<int>(entry) + WATCHDOG_TIME_LOW;
    ClampInt(&seconds, WATCHDOG_TIME_LOW, WATCHDOG_TIME_HIGH);
    return seconds;
}

// ---- The multi-channel types ----

static_assert(offsetof(AoModuleType, type) == 0, "the template's record first");

const AoModuleType* AoModuleOf(const TemplateType* type) {
    return reinterpret_cast<const AoModuleType*>(type);
}

namespace {

BYTE* At(void* param, int offset) {
    return static_cast<BYTE*>(param) + offset;
}

int ChannelOf(const AoModuleType* ao, int channel) {
    return ao->rangePerChannel && channel >= 0 && channel < TEMPLATE_CHANNELS ? channel : 0;
}

// The bounds the dialog holds a channel's safety value within.
void SafeBounds(const AoModuleType* ao, int range, float* low, float* high) {
    if (AoCurrentRange(range) || !(ao->safeHigh > ao->safeLow)) {
        AoRangeLimits(range, low, high);
    } else {
        *low = ao->safeLow;
        *high = ao->safeHigh;
    }
}

int ModuleInputs(const ModuleRecord* module) {
    return module->uInputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                               : static_cast<int>(module->uInputs);
}

// Settings from a file within what the dialog offers.
void ModuleSettingsInBounds(const AoModuleType* ao, ModuleRecord* module) {
    void* p = module->pParam;
    ClampInt(AoModuleWatchdogTime(ao, p), WATCHDOG_TIME_LOW, WATCHDOG_TIME_HIGH);
    for (int n = 0; n < ao->channels; n++) {
        ClampInt(AoModuleSlew(ao, p, n), 0, ao->slewRates - 1);
        float* safe = AoModuleSafe(ao, p, n);
        if (isnan(*safe)) *safe = 0.0f;
        float low = 0.0f;
        float high = 0.0f;
        SafeBounds(ao, *AoModuleRange(ao, p, n), &low, &high);
        if (high > low) *safe = Within(*safe, low, high);
    }
}

} // namespace

int* AoModuleRange(const AoModuleType* ao, void* param, int channel) {
    return reinterpret_cast<int*>(At(param, ao->rangeOffset)) + ChannelOf(ao, channel);
}

int* AoModuleSlew(const AoModuleType* ao, void* param, int channel) {
    return reinterpret_cast<int*>(At(param, ao->slewOffset)) + ChannelOf(ao, channel);
}

BOOL* AoModuleWatchdogOn(const AoModuleType* ao, void* param) {
    return reinterpret_cast<BOOL*>(At(param, ao->watchdogOnOffset));
}

int* AoModuleWatchdogTime(const AoModuleType* ao, void* param) {
    return reinterpret_cast<int*>(At(param, ao->watchdogTimeOffset));
}

float* AoModuleSafe(const AoModuleType* ao, void* param, int channel) {
    return reinterpret_cast<float*>(At(param, ao->safeOffset)) + channel;
}

int AoModuleClassMessage(const AoModuleType* ao, ModuleRecord* module, int msg, int wParam,
                         int lParam) {
    const TemplateType* type = &ao->type;
    ModuleRecord* partner = reinterpret_cast<ModuleRecord*>(lParam);
    switch (msg) {
    case MODMSG_CHECK_LAYOUT: return FAMILY_XX01 ? 0 : TemplateCheckChannelLayout(type, partner);
    case MODMSG_AFTER_LOAD: {
        int answer = TemplateAfterLoad(type, module);
        ModuleSettingsInBounds(ao, module);
        TemplateForgetInputValues(module);
        return answer;
    }
    case MODMSG_INPUT_NAME:
        TemplateInputName(type, module, wParam, reinterpret_cast<const char*>(lParam),
                          ao->nameChannels);
        return PerformDefaultAction(module, msg, wParam, lParam);
    case MODMSG_SET_NAME_COPY:
        TemplateSetNameCopy(type, module, wParam, ao->nameChannels);
        return PerformDefaultAction(module, msg, wParam, lParam);
    case MODMSG_EXPORT_NAMES:
        return TemplateExportChannels(type, module, partner, ao->exportChannels);
    case MODMSG_IMPORT_NAMES:
        if (!TemplateCreateDefaults(type, module)) return 0;
        return TemplateImportChannels(type, module, partner, ao->channels < 4 ? 4 : ao->channels);
    default: return -1;
    }
}

int AoModuleInputRange(const AoModuleType* ao, ModuleRecord* module, int input) {
    int channel = TemplateChannelOfOutput(TemplateChannelsInUse(module, &ao->type), input);
    return *AoModuleRange(ao, module->pParam, channel < 0 ? 0 : channel);
}

float AoModuleLimit(const AoModuleType* ao, ModuleRecord* module, int input, float sample) {
    return AoLimit(AoModuleInputRange(ao, module, input), sample);
}

int AoModuleWatchdogIsOn(const AoModuleType* ao, ModuleRecord* module) {
    return *AoModuleWatchdogOn(ao, module->pParam) ? 1 : 0;
}

int AoModuleRangesKnown(const AoModuleType* ao, ModuleRecord* module) {
    WORD mask = TemplateChannelsInUse(module, &ao->type);
    for (int n = 0; n < ao->channels; n++)
        if ((mask >> n) & 1 && !AoRangeKnown(*AoModuleRange(ao, module->pParam, n), ao->ranges))
            return TemplateStepFailed(module, IDS_AO_UNKNOWN_RANGE);
    return 1;
}

int AoModuleAddRequests(ModuleRecord* module, const TemplateType* type,
                        int (*add)(ModuleRecord* module, int input, int channel, float* cell)) {
    WORD mask = TemplateChannelsInUse(module, type);
    AoForgetWritten(module);
    for (int i = 0; i < ModuleInputs(module); i++) {
        int channel = TemplateChannelOfOutput(mask, i);
        ChannelScan* scan = TemplateChannelScan(module, i);
        // An input beyond the channels in use has no request and is never
        // written.
        if (channel < 0 || !scan) continue;
        int handle = add(module, i, channel, &scan->Channel_Value);
        if (handle < 0) return 0;
        scan->ScanHandle = handle;
    }
    return 1;
}

MessParam AoModuleWatch(const AoModuleType* ao, ModuleRecord* module) {
    return AoWatch(*AoModuleWatchdogOn(ao, module->pParam),
                   *AoModuleWatchdogTime(ao, module->pParam));
}

float AoModuleSafeValue(const AoModuleType* ao, ModuleRecord* module, int channel) {
    float value = *AoModuleSafe(ao, module->pParam, channel);
    return AoLimit(*AoModuleRange(ao, module->pParam, channel), isnan(value) ? 0.0f : value);
}

namespace {

const AoModuleType* OpenModuleType() {
    const TemplateType* type = SetupDialogTemplateType();
    return type ? AoModuleOf(type) : nullptr;
}

int CurrentOf(const AoModuleType* ao) {
    return CurrentChannel >= 0 && CurrentChannel < ao->channels ? CurrentChannel : -1;
}

void ShowModuleWatchdog(const AoModuleType* ao, HWND dialog, void* work, int ch) {
    const int range = *AoModuleRange(ao, work, ch < 0 ? 0 : ch);
    AoShowWatchdogControls(dialog, *AoModuleWatchdogOn(ao, work), *AoModuleWatchdogTime(ao, work),
                           ch < 0 ? 0.0f : *AoModuleSafe(ao, work, ch),
                           ch < 0 ? "" : AoRangeUnit(range));
    if (ao->lockWatchdog && bExperimentIsRunning) {
        const int ids[] = {IDC_AO_WATCHDOG_ON, IDC_WD_TIME, IDC_AO_SAFE_VALUE};
        for (int id : ids) {
            HWND control = GetDlgItem(dialog, id);
            if (control) EnableWindow(control, FALSE);
        }
    }
}

void ReadModuleSafe(const AoModuleType* ao, HWND dialog, void* work, int ch) {
    if (ch < 0 || !*AoModuleWatchdogOn(ao, work)) return;
    float low = 0.0f;
    float high = 0.0f;
    SafeBounds(ao, *AoModuleRange(ao, work, ch), &low, &high);
    AoReadSafetyValue(dialog, low, high, AoModuleSafe(ao, work, ch));
}

void ModuleRangeChosen(const AoModuleType* ao, HWND dialog, void* work, int ch) {
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_AO_RANGE, CB_GETCURSEL, 0, 0);
    if (entry < 0 || entry >= ao->ranges || (ao->rangePerChannel && ch < 0)) return;
    if (ch >= 0) SetupStoreChannelFields(dialog, ch);
    const int range = static_cast<int>(entry);
    *AoModuleRange(ao, work, ch) = range;
    // The channels of the range take its unit, and their safety values its
    // bounds.
    for (int n = 0; n < ao->channels; n++) {
        if (ao->rangePerChannel && n != ch) continue;
        snprintf(TemplateUnitIn(&ao->type, work, n), TEMPLATE_UNIT_CHARS, "%s", AoRangeUnit(range));
        float low = 0.0f;
        float high = 0.0f;
        SafeBounds(ao, range, &low, &high);
        float* safe = AoModuleSafe(ao, work, n);
        *safe = Within(*safe, low, high);
    }
    if (ch >= 0) SetupShowChannelFields(dialog, ch);
}

} // namespace

void AoModuleShowChannel(HWND dialog, void* work, int ch) {
    const AoModuleType* ao = OpenModuleType();
    if (!ao || ch < 0 || ch >= ao->channels) return;
    const int range = *AoModuleRange(ao, work, ch);
    AoFillList(dialog, IDC_AO_RANGE, ao->rangeFirst, ao->ranges, range);
    AoFillList(dialog, IDC_AO_SLEW, AoCurrentRange(range) ? ao->slewMAFirst : ao->slewVFirst,
               ao->slewRates, *AoModuleSlew(ao, work, ch));
    ShowModuleWatchdog(ao, dialog, work, ch);
}

void AoModuleStoreChannel(HWND dialog, void* work, int ch) {
    const AoModuleType* ao = OpenModuleType();
    if (!ao || ch < 0 || ch >= ao->channels) return;
    ReadModuleSafe(ao, dialog, work, ch);
}

int AoModuleCommand(HWND dialog, void* work, int id, int code) {
    const AoModuleType* ao = OpenModuleType();
    if (!ao) return 0;
    const int ch = CurrentOf(ao);
    switch (id) {
    case IDC_AO_RANGE:
        if (code == CBN_SELCHANGE) ModuleRangeChosen(ao, dialog, work, ch);
        return 1;
    case IDC_AO_SLEW:
        if (code == CBN_SELCHANGE && (ch >= 0 || !ao->rangePerChannel)) {
            LRESULT entry = SendDlgItemMessageA(dialog, IDC_AO_SLEW, CB_GETCURSEL, 0, 0);
            if (entry >= 0 && entry < ao->slewRates)
                *AoModuleSlew(ao, work, ch) = static_cast<int>(entry);
        }
        return 1;
    case IDC_AO_WATCHDOG_ON:
        if (code == BN_CLICKED) {
            *AoModuleWatchdogOn(ao, work) =
                IsDlgButtonChecked(dialog, IDC_AO_WATCHDOG_ON) == BST_CHECKED;
            ShowModuleWatchdog(ao, dialog, work, ch);
        }
        return 1;
    case IDC_WD_TIME:
        if (code == CBN_SELCHANGE) {
            int seconds = AoChosenWatchdogTime(dialog);
            if (seconds) *AoModuleWatchdogTime(ao, work) = seconds;
        }
        return 1;
    case IDC_AO_SAFE_VALUE:
        if (code == EN_KILLFOCUS) ReadModuleSafe(ao, dialog, work, ch);
        return 1;
    default: return 0;
    }
}

void AoModuleShowWatchdogGroup(HWND dialog, int shown) {
    const int ids[] = {IDC_AO_WATCHDOG_ON, IDC_WD_TIME,           IDC_AO_SAFE_VALUE,
                       IDC_AO_SAFE_UNIT,   IDC_AO_WATCHDOG_GROUP, IDC_AO_WATCHDOG_TIME_LABEL,
                       IDC_AO_SAFE_LABEL,  IDC_AO_SECONDS_LABEL};
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        if (control) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    }
}

// ---- ND6021 ----

namespace {

const int kModels[] = {0, 4021, 6021, 7021, 8021};
const int kSlewRates = 12;

ND6021_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6021_Param*>(module->pParam);
}

ND6021_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6021_Runtime*>(module->pRuntime);
}

int Inputs(const ModuleRecord* module) {
    return module->uInputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                               : static_cast<int>(module->uInputs);
}

void Defaults(ModuleRecord* module);

constexpr TemplateType type = {
    .type = "ND6021",
    .form = TEMPLATE_OUTPUT_FORM,
    .maxChannels = 16,
    .channelLimit = 16,
    .model = 6021,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "ND6021 %02d",
    .unit = "V",
    .namedChannels = 16,
    .restartNote = "Restart 6021",
    .schema = ND6021_ParamSchema,
    .addressOffset = offsetof(ND6021_Param, Module_Address),
    .maskOffset = TEMPLATE_MODULE_PER_CHANNEL,
    .comOffset = offsetof(ND6021_Param, Com),
    .messOffset = offsetof(ND6021_Param, Mess),
    .unitOffset = offsetof(ND6021_Param, Unit),
    .copyOffset = offsetof(ND6021_Param, Copy_Channel_Name),
    .dialogTemplate = "DLG_ND6021",
    .setupDlgProc = ND6021_SetupDlgProc,
    .defaults = Defaults,
    .configure = nullptr,                 // its own start
    .watchdogTick = TEMPLATE_TICK_ALWAYS, // the modules' watchdogs
    .watchdogResetAtStop = 1,             // a stop disarms every keep-alive
};

void Defaults(ModuleRecord* module) {
    ND6021_Param* p = ParamOf(module);
    const char* format = FAMILY_XX03 ? "S7021-O %02d" : FAMILY_TELV ? "Q7021-O %02d" : nullptr;
    for (int n = 0; n < TEMPLATE_CHANNELS; n++) {
        p->Range[n] = AO_RANGE_0_20_MA;
        p->Slew_Rate[n] = 0;
        p->Watchdog_On[n] = 0;
        p->Watchdog_Time[n] = 6;
        p->Watchdog_Value[n] = 0.0f;
        if (format) snprintf(p->Channel_Name[n], sizeof p->Channel_Name[n], format, n);
    }
    TemplateForgetInputValues(module);
}

// Settings from a file within what the dialog offers; a range the type does
// not have is refused at start.
void KeepSettingsInBounds(ModuleRecord* module) {
    ND6021_Param* p = ParamOf(module);
    for (int n = 0; n < TEMPLATE_CHANNELS; n++) {
        ClampInt(&p->Slew_Rate[n], 0, kSlewRates - 1);
        ClampInt(&p->Watchdog_Time[n], WATCHDOG_TIME_LOW, WATCHDOG_TIME_HIGH);
        if (isnan(p->Watchdog_Value[n])) p->Watchdog_Value[n] = 0.0f;
        p->Watchdog_Value[n] = AoLimit(p->Range[n], p->Watchdog_Value[n]);
    }
}

// A failed start step of channel i: the text filled with the channel.
int ChannelFailed(ModuleRecord* module, UINT textId, int channel, int stop) {
    char format[250];
    if (LoadStringA(hInstDriver, textId, format, sizeof format) <= 0) format[0] = 0;
    char text[280];
    snprintf(text, sizeof text, format, channel);
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    if (stop) StopExperiment();
    ShowWarning(name, text);
    return TemplateStartFailed(module, 0, 0);
}

// The watchdog of channel i's module, in the form of its model: a 6021 the
// 6000-series form, any other in the families "XX03", "XX06" and "TELV" the
// 7000-series form, else none.
int SetUpWatchdog(ModuleRecord* module, int i, int model) {
    ND6021_Param* p = ParamOf(module);
    const int a = p->Module_Address[i] & 0xFF;
    const int checksum = RuntimeOf(module)->Uses_Checksum[i];
    const MessParam watch = AoWatch(p->Watchdog_On[i], p->Watchdog_Time[i]);
    const float value = AoLimit(p->Range[i], p->Watchdog_Value[i]);
    if (model == 6021) {
        char onSafe[4];
        snprintf(onSafe, sizeof onSafe, "%03X", AoSafetyCode6021(p->Range[i], value));
        return ModuleWatchdog6000(&type, module, checksum, a, &watch, onSafe, "00000", 10);
    }
    if (!(FAMILY_XX03 || FAMILY_XX06 || FAMILY_TELV)) return 1;
    WatchdogStep steps[2];
    char number[NUMBER_TEXT_SIZE];
    if (FAMILY_TELV) {
        FormatDouble(number, sizeof number, "%06.3f", value);
        WatchdogStepFormat(&steps[0], '>', 10, "#%02X%s", a, number);
    } else {
        FormatDouble(number, sizeof number, "%+06.3f", value);
        WatchdogStepFormat(&steps[0], '!', 10, "#%02X%s", a, number);
    }
    WatchdogStepFormat(&steps[1], '!', 10, "~%02X5", a);
    return ModuleWatchdog7000(&type, module, checksum, a, &watch, 0, steps, 2, 10);
}

int Start(ModuleRecord* module) {
    ND6021_Param* p = ParamOf(module);
    ND6021_Runtime* rt = RuntimeOf(module);
    const int inputs = Inputs(module);
    TemplateForgetInputRequests(module);
    rt->Frame.Channel_Index = 0;
    if (!TemplateStartBegin(&type, module)) return 0;
    for (int i = 0; i < inputs; i++)
        if (p->Module_Address[i] < MinModuleAddress || p->Module_Address[i] > 255)
            return ChannelFailed(module, IDS_ND6021_BAD_ADDRESS, i, 1);
    // A range code from a file is not written into a module.
    for (int i = 0; i < inputs; i++)
        if (!AoRangeKnown(p->Range[i], AO_SINGLE_RANGES))
            return TemplateStartFailed(module, IDS_AO_UNKNOWN_RANGE, 1);
    if (!TemplateStartChecks(&type, module)) return 0;
    const int port = p->Com.Port_Number;
    char name[16];
    TemplateBlockName(module, name, sizeof name);
    if (!OpenCom(port, name)) return TemplateStartFailed(module, 0, 0);

    int models[TEMPLATE_CHANNELS] = {};
    for (int i = 0; i < inputs; i++) {
        const int a = p->Module_Address[i];
        int checksum = 0;
        int found = TemplateIdentifyModule(&type, port, a, &checksum, &models[i]);
        if (found == TEMPLATE_MODULE_SILENT)
            return ChannelFailed(module, IDS_ND6021_NO_REPLY, i, 0);
        if (found == TEMPLATE_MODULE_UNREADABLE)
            return TemplateStartFailed(module, IDS_REPLY_UNREADABLE, 1);
        if (found == TEMPLATE_MODULE_REFUSED)
            return ChannelFailed(
                module, models[i] < 0 ? IDS_ND6021_NO_REPLY : IDS_ND6021_WRONG_MODULE, i, 1);
        rt->Uses_Checksum[i] = checksum;
        char text[TEMPLATE_QUERY_SIZE];
        if (FAMILY_XX03 || FAMILY_XX06 || FAMILY_TELV) {
            snprintf(text, sizeof text, "~%02X1", a & 0xFF);
            if (!TemplateSendAndExpect(&type, module, text, '!', checksum, 0))
                return TemplateStartFailed(module, 0, 0);
        }
        if (!AoConfigure(&type, module, a, checksum, 0x30 + p->Range[i],
                         AoDataFormat(p->Slew_Rate[i], checksum)))
            return TemplateStartFailed(module, 0, 0);
    }

    TemplateStartTiming(&type, module);
    for (int i = 0; i < inputs; i++) {
        ChannelScan* scan = TemplateChannelScan(module, i);
        int handle = scan ? ScanAddAoWrite(port, p->Module_Address[i], -1, &scan->Channel_Value,
                                           rt->Uses_Checksum[i])
                          : -1;
        if (handle < 0) return TemplateStartFailed(module, 0, 1);
        scan->ScanHandle = handle;
    }
    for (int i = 0; i < inputs; i++)
        if (!SetUpWatchdog(module, i, models[i])) return TemplateStartFailed(module, 0, 0);
    return TemplateStartEnd();
}

float Limit(ModuleRecord* module, int input, float sample) {
    return AoLimit(ParamOf(module)->Range[input], sample);
}

int WatchdogOn(ModuleRecord* module) {
    const ND6021_Param* p = ParamOf(module);
    for (int i = 0; i < Inputs(module); i++)
        if (p->Watchdog_On[i]) return 1;
    return 0;
}

const TemplateWriteSteps kWriteSteps = {Limit, nullptr, nullptr, WatchdogOn};

// ---- The setup dialog ----

ND6021_Param* Work(void* work) {
    return static_cast<ND6021_Param*>(work);
}

int Current() {
    return CurrentChannel >= 0 && CurrentChannel < TEMPLATE_CHANNELS ? CurrentChannel : -1;
}

void ShowWatchdog(HWND dialog, const ND6021_Param* p, int ch) {
    AoShowWatchdogControls(dialog, p->Watchdog_On[ch], p->Watchdog_Time[ch], p->Watchdog_Value[ch],
                           AoRangeUnit(p->Range[ch]));
}

void ReadSafetyValue(HWND dialog, ND6021_Param* p, int ch) {
    if (!p->Watchdog_On[ch]) return;
    float low = 0.0f;
    float high = 0.0f;
    AoRangeLimits(p->Range[ch], &low, &high);
    AoReadSafetyValue(dialog, low, high, &p->Watchdog_Value[ch]);
}

void ShowChannel(HWND dialog, void* work, int ch) {
    const ND6021_Param* p = Work(work);
    AoFillList(dialog, IDC_AO_RANGE, IDS_ND6021_RANGE_FIRST, AO_SINGLE_RANGES, p->Range[ch]);
    AoFillList(dialog, IDC_AO_SLEW,
               p->Range[ch] == AO_RANGE_0_10_V ? IDS_ND6021_SLEW_V_FIRST : IDS_ND6021_SLEW_MA_FIRST,
               kSlewRates, p->Slew_Rate[ch]);
    ShowWatchdog(dialog, p, ch);
}

// A safety value still in its edit is kept with the channel's fields, while
// the watchdog is on (with it off the edit shows no number).
void StoreChannel(HWND dialog, void* work, int ch) {
    ReadSafetyValue(dialog, Work(work), ch);
}

void RangeChosen(HWND dialog, ND6021_Param* p, int ch) {
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_AO_RANGE, CB_GETCURSEL, 0, 0);
    if (entry < 0 || entry >= AO_SINGLE_RANGES) return;
    SetupStoreChannelFields(dialog, ch);
    p->Range[ch] = static_cast<int>(entry);
    snprintf(p->Unit[ch], sizeof p->Unit[ch], "%s", AoRangeUnit(p->Range[ch]));
    p->Watchdog_Value[ch] = AoLimit(p->Range[ch], p->Watchdog_Value[ch]);
    SetupShowChannelFields(dialog, ch);
}

int Command(HWND dialog, void* work, int id, int code) {
    ND6021_Param* p = Work(work);
    const int ch = Current();
    switch (id) {
    case IDC_AO_RANGE:
        if (code == CBN_SELCHANGE && ch >= 0) RangeChosen(dialog, p, ch);
        return 1;
    case IDC_AO_SLEW:
        if (code == CBN_SELCHANGE && ch >= 0) {
            LRESULT entry = SendDlgItemMessageA(dialog, IDC_AO_SLEW, CB_GETCURSEL, 0, 0);
            if (entry >= 0 && entry < kSlewRates) p->Slew_Rate[ch] = static_cast<int>(entry);
        }
        return 1;
    case IDC_AO_WATCHDOG_ON:
        if (code == BN_CLICKED && ch >= 0) {
            p->Watchdog_On[ch] = IsDlgButtonChecked(dialog, IDC_AO_WATCHDOG_ON) == BST_CHECKED;
            ShowWatchdog(dialog, p, ch);
        }
        return 1;
    case IDC_WD_TIME:
        if (code == CBN_SELCHANGE && ch >= 0) {
            int seconds = AoChosenWatchdogTime(dialog);
            if (seconds) p->Watchdog_Time[ch] = seconds;
        }
        return 1;
    case IDC_AO_SAFE_VALUE:
        if (code == EN_KILLFOCUS && ch >= 0) ReadSafetyValue(dialog, p, ch);
        return 1;
    default: return 0;
    }
}

constexpr SetupDialogType dialogType = {
    &type,
    sizeof(ND6021_Param),
    16,   // channel buttons
    1125, // help context
    // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, "XX01-4021", "YY04 PAD-AO1", "XX03-7021-O", "ZAV-6021", "YY06-8021", "ZEMX-7021-O"},
    {0, 0, 0, 0},
    nullptr,
    Command,
    StoreChannel,
    ShowChannel,
};

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    switch (msg) {
    case MODMSG_AFTER_LOAD: {
        int answer = TemplateAfterLoad(&type, module);
        KeepSettingsInBounds(module);
        TemplateForgetInputValues(module);
        return answer;
    }
    case MODMSG_START: return Start(module);
    default: return TemplateClassProc(&type, module, msg, wParam, lParam);
    }
}

BLOCK_TYPE_PROCS(ND6021, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 TemplateProcessWrites(&type, module, &kWriteSteps))
