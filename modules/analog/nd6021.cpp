// Block type ND6021: single-channel analog output modules, one per channel
// of the block, up to sixteen on one port.
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

void Defaults(ModuleRecord* module);

// The template's values, and where the record keeps each channel's range,
// slew rate and watchdog, for the analog output types' dialog commands.
constexpr AoModuleType ao = {
    .type =
        {
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
        },
    .channels = TEMPLATE_CHANNELS,
    .nameChannels = TEMPLATE_CHANNELS, // (the class procedure is the template's)
    .exportChannels = TEMPLATE_CHANNELS,
    .rangePerChannel = 1,
    AO_RECORD_OFFSETS(ND6021_Param),
    .ranges = AO_SINGLE_RANGES,
    .slewRates = kSlewRates,
    .rangeFirst = IDS_ND6021_RANGE_FIRST,
    .slewVFirst = IDS_ND6021_SLEW_V_FIRST,
    .slewMAFirst = IDS_ND6021_SLEW_MA_FIRST,
    .safeLow = 0.0f, // the safety value held within the range
    .safeHigh = 0.0f,
    .watchdogPerChannel = 1,
};
constexpr const TemplateType& type = ao.type;

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
// not have is refused at start, and the watchdog times stay as they were
// saved (the start bounds the time-out code it sends).
void KeepSettingsInBounds(ModuleRecord* module) {
    ND6021_Param* p = ParamOf(module);
    for (int n = 0; n < TEMPLATE_CHANNELS; n++) {
        ClampInt(&p->Slew_Rate[n], 0, kSlewRates - 1);
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
    const int sixThousand = model == 6021;
    if (!sixThousand && !(FAMILY_XX03 || FAMILY_XX06 || FAMILY_TELV)) return 1;
    MessParam off;
    const MessParam* watch = AoStartWatch(&p->Mess, p->Watchdog_On[i], p->Watchdog_Time[i], &off);
    const float value = AoLimit(p->Range[i], p->Watchdog_Value[i]);
    if (sixThousand) {
        char onSafe[4];
        snprintf(onSafe, sizeof onSafe, "%03X", AoSafetyCode6021(p->Range[i], value));
        return ModuleWatchdog6000(&type, module, checksum, a, watch, onSafe, 10, "00000", 10);
    }
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
    return ModuleWatchdog7000(&type, module, checksum, a, watch, 0, steps, 2, 10);
}

int Start(ModuleRecord* module) {
    ND6021_Param* p = ParamOf(module);
    ND6021_Runtime* rt = RuntimeOf(module);
    const int inputs = TemplateInputs(module);
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
    p->Mess.Watchdog_On = 0;
    for (int i = 0; i < inputs; i++)
        if (!SetUpWatchdog(module, i, models[i])) return TemplateStartFailed(module, 0, 0);
    return TemplateStartEnd();
}

float Limit(ModuleRecord* module, int input, float sample) {
    return AoLimit(ParamOf(module)->Range[input], sample);
}

const TemplateWriteSteps kWriteSteps = {Limit, nullptr, nullptr};

// ---- The setup dialog ----

ND6021_Param* Work(void* work) {
    return static_cast<ND6021_Param*>(work);
}

void ShowWatchdog(HWND dialog, const ND6021_Param* p, int ch) {
    AoShowWatchdogControls(dialog, p->Watchdog_On[ch], p->Watchdog_Time[ch], p->Watchdog_Value[ch],
                           AoRangeUnit(p->Range[ch]));
}

void ShowChannel(HWND dialog, void* work, int ch) {
    const ND6021_Param* p = Work(work);
    AoFillList(dialog, IDC_AO_RANGE, IDS_ND6021_RANGE_FIRST, AO_SINGLE_RANGES, p->Range[ch]);
    AoFillList(dialog, IDC_AO_SLEW,
               p->Range[ch] == AO_RANGE_0_10_V ? IDS_ND6021_SLEW_V_FIRST : IDS_ND6021_SLEW_MA_FIRST,
               kSlewRates, p->Slew_Rate[ch]);
    ShowWatchdog(dialog, p, ch);
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
    AoModuleCommand,
    AoModuleStoreChannel,
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
