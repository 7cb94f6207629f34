// What the analog output types share.
#include "frame/analogout.h"

#include "frame/chanbar.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/loops.h"
#include "frame/modwatchdog.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "resource.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

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

const MessParam* AoStartWatch(MessParam* mess, BOOL on, int seconds, MessParam* off) {
    if (on) {
        mess->Watchdog_On = 1;
        mess->Watchdog_Time = seconds;
        return mess;
    }
    memset(off, 0, sizeof *off);
    off->Watchdog_Time = seconds;
    return off;
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

int WatchdogChannelOf(const AoModuleType* ao, int channel) {
    return ao->watchdogPerChannel && channel >= 0 && channel < TEMPLATE_CHANNELS ? channel : 0;
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

// Settings from a file within what the dialog offers; the watchdog time
// stays as it was saved (the start bounds the time-out code it sends).
void ModuleSettingsInBounds(const AoModuleType* ao, ModuleRecord* module) {
    void* p = module->pParam;
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

BOOL* AoModuleWatchdogOn(const AoModuleType* ao, void* param, int channel) {
    return reinterpret_cast<BOOL*>(At(param, ao->watchdogOnOffset)) +
           WatchdogChannelOf(ao, channel);
}

int* AoModuleWatchdogTime(const AoModuleType* ao, void* param, int channel) {
    return reinterpret_cast<int*>(At(param, ao->watchdogTimeOffset)) +
           WatchdogChannelOf(ao, channel);
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
    for (int i = 0; i < TemplateInputs(module); i++) {
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

const MessParam* AoModuleStartWatch(const AoModuleType* ao, ModuleRecord* module, MessParam* off) {
    return AoStartWatch(TemplateMess(module, &ao->type), *AoModuleWatchdogOn(ao, module->pParam, 0),
                        *AoModuleWatchdogTime(ao, module->pParam, 0), off);
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
    AoShowWatchdogControls(
        dialog, *AoModuleWatchdogOn(ao, work, ch), *AoModuleWatchdogTime(ao, work, ch),
        ch < 0 ? 0.0f : *AoModuleSafe(ao, work, ch), ch < 0 ? "" : AoRangeUnit(range));
    if (ao->lockWatchdog && bExperimentIsRunning) {
        const int ids[] = {IDC_AO_WATCHDOG_ON, IDC_WD_TIME, IDC_AO_SAFE_VALUE};
        for (int id : ids) {
            HWND control = GetDlgItem(dialog, id);
            if (control) EnableWindow(control, FALSE);
        }
    }
}

void ReadModuleSafe(const AoModuleType* ao, HWND dialog, void* work, int ch) {
    if (ch < 0 || !*AoModuleWatchdogOn(ao, work, ch)) return;
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
        if (code == BN_CLICKED && (ch >= 0 || !ao->watchdogPerChannel)) {
            *AoModuleWatchdogOn(ao, work, ch) =
                IsDlgButtonChecked(dialog, IDC_AO_WATCHDOG_ON) == BST_CHECKED;
            ShowModuleWatchdog(ao, dialog, work, ch);
        }
        return 1;
    case IDC_WD_TIME:
        if (code == CBN_SELCHANGE && (ch >= 0 || !ao->watchdogPerChannel)) {
            int seconds = AoChosenWatchdogTime(dialog);
            if (seconds) *AoModuleWatchdogTime(ao, work, ch) = seconds;
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

void AoLayoutChannelButtons(HWND dialog, int kept, int buttons, int shift) {
    for (int i = kept; i < buttons; i++) {
        ShowWindow(GetDlgItem(dialog, IDC_CHANNEL_FIRST + i), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_AO_LABEL0 + i), SW_HIDE);
    }
    for (int i = 0; i < kept; i++) {
        const int ids[] = {IDC_CHANNEL_FIRST + i, IDC_AO_LABEL0 + i};
        for (int id : ids) {
            HWND control = GetDlgItem(dialog, id);
            if (!control) continue;
            RECT r;
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            MoveWindow(control, r.left + shift, r.top, r.right - r.left, r.bottom - r.top, TRUE);
            ShowWindow(control, SW_SHOW);
        }
    }
}

int AoModuleClassProc(const AoModuleType* ao, const TemplateStartSteps* start,
                      const char* dialogName, const char* dialogNameWithRange, DLGPROC dialogProc,
                      ModuleRecord* module, int msg, int wParam, int lParam) {
    switch (msg) {
    case MODMSG_SETUP_DIALOG: {
        const char* name = FAMILY_XX03 || FAMILY_TELV ? dialogNameWithRange : dialogName;
        DialogBoxParamA(hInstDriver, name, module->hwndModule, dialogProc, 0);
        return 1;
    }
    case MODMSG_START:
        TemplateForgetInputRequests(module);
        TemplateRuntimeOf(module)->Channel_Index = 0;
        return TemplateStartMeasurementWith(&ao->type, module, start);
    default: break;
    }
    int answer = AoModuleClassMessage(ao, module, msg, wParam, lParam);
    return answer >= 0 ? answer : TemplateClassProc(&ao->type, module, msg, wParam, lParam);
}
