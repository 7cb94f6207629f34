// Block type ND6024: the four channels of the 6024-family analog output
// module, each written when its value changes.
#include "modules/analog/nd6024.h"

#include "frame/analogout.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/modwatchdog.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"

#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6024_ParamSchema[30] = {
    TEMPLATE_ROW(ND6024_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6024_Param, "Channel_Name[0..3]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6024_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6024_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_ROW(ND6024_Param, "Watchdog_On", "BOOL", Watchdog_On),
    TEMPLATE_ROW(ND6024_Param, "Watchdog_Time", "int", Watchdog_Time),
    TEMPLATE_ROW(ND6024_Param, "Watchdog_Value[0..3]", "float", Watchdog_Value),
    TEMPLATE_COM_ROWS(ND6024_Param, Com),
    TEMPLATE_MESS_ROWS(ND6024_Param, Mess),
    TEMPLATE_ROW(ND6024_Param, "Unit[0..3]", "string[64]", Unit),
    TEMPLATE_ROW(ND6024_Param, "Copy_Channel_Name[0..3]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6024_Param, "Range", "int", Range),
    TEMPLATE_ROW(ND6024_Param, "Slew_Rate", "int", Slew_Rate),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kModels[] = {0, 4024, 6024, 7024, 8024};
const int kChannels = 4;

ND6024_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6024_Param*>(module->pParam);
}

int Checksum(ModuleRecord* module) {
    return TemplateRuntimeOf(module)->Uses_Checksum;
}

void Defaults(ModuleRecord* module);

constexpr AoModuleType ao = {
    .type =
        {
            .type = "ND6024",
            .form = TEMPLATE_OUTPUT_FORM,
            .maxChannels = kChannels,
            .channelLimit = kChannels,
            .model = 6024,
            .models = kModels,
            .modelCount = 5,
            .nameFormat = "ND6024 %02d",
            .unit = "V",
            .namedChannels = kChannels,
            .restartNote = "Restart 6024",
            .schema = ND6024_ParamSchema,
            TEMPLATE_RECORD_OFFSETS(ND6024_Param),
            .dialogTemplate = "DLG_ND6024",
            .setupDlgProc = ND6024_SetupDlgProc,
            .defaults = Defaults,
            .watchdogTick = TEMPLATE_TICK_ALWAYS, // the module's watchdog
            .watchdogResetAtStop = 1,             // a stop disarms every keep-alive
            // A module that does not answer fails the start alone; another
            // model stops the experiment, a negative number shown as no reply.
            .start = {.silent = TEMPLATE_SILENT_FAIL,
                      .badNumberText = IDS_MODULE_NO_REPLY,
                      .badAddressText = IDS_NO_ADDRESS},
        },
    .channels = kChannels,
    .nameChannels = kChannels,
    .exportChannels = kChannels, // the record holds four names
    .rangePerChannel = 0,        // one range for the module
    AO_RECORD_OFFSETS(ND6024_Param),
    .ranges = AO_RANGES,
    .slewRates = 16,
    .rangeFirst = IDS_ND6024_RANGE_FIRST,
    .slewVFirst = IDS_ND6024_SLEW_V_FIRST,
    .slewMAFirst = IDS_ND6024_SLEW_MA_FIRST,
    .safeLow = -10.0f, // a voltage range's safety value
    .safeHigh = 10.0f,
};

void Defaults(ModuleRecord* module) {
    ND6024_Param* p = ParamOf(module);
    p->Watchdog_On = 0;
    p->Watchdog_Time = 6;
    for (int n = 0; n < kChannels; n++) {
        p->Watchdog_Value[n] = 0.0f;
        if (FAMILY_TELV) snprintf(p->Channel_Name[n], sizeof p->Channel_Name[n], "Q7024 %02d", n);
    }
    p->Range = AO_RANGE_10_V;
    p->Slew_Rate = 0;
    TemplateForgetInputValues(module);
}

int Configure(ModuleRecord* module, const TemplateType*, int) {
    ND6024_Param* p = ParamOf(module);
    if (!AoModuleRangesKnown(&ao, module)) return 0;
    return AoConfigure(&ao.type, module, p->Module_Address, Checksum(module), 0x30 + p->Range,
                       AoDataFormat(p->Slew_Rate, Checksum(module)));
}

// The request of each family: "XX01" and "TELV" have the kind of their own,
// "XX01" with each channel's output configured at once.
int AddRequest(ModuleRecord* module, int, int channel, float* cell) {
    const ND6024_Param* p = ParamOf(module);
    const int port = p->Com.Port_Number;
    if (!FAMILY_XX01 && !FAMILY_TELV)
        return ScanAddAoWrite(port, p->Module_Address, channel, cell, Checksum(module));
    int handle = ScanAddAoWrite6024(port, p->Module_Address, channel, cell, Checksum(module));
    if (handle < 0 || !FAMILY_XX01) return handle;
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X7C%1XR32", p->Module_Address & 0xFF, channel & 0xF);
    if (!TemplateSendAndExpect(&ao.type, module, text, '!', Checksum(module), 0)) return -1;
    return handle;
}

int AddRequests(ModuleRecord* module, const TemplateType* type) {
    return AoModuleAddRequests(module, type, AddRequest);
}

// The watchdog by family: the 6000-series sequence with the four safety
// codes in the default family, the 7000-series sequence in "XX03" and
// "TELV", none elsewhere.
int Finish(ModuleRecord* module, const TemplateType*, int) {
    ND6024_Param* p = ParamOf(module);
    p->Mess.Watchdog_On = 0;
    const int a = p->Module_Address & 0xFF;
    float values[kChannels];
    for (int n = 0; n < kChannels; n++)
        values[n] = AoModuleSafeValue(&ao, module, n);
    MessParam off;
    if (FAMILY_ND) {
        const MessParam* watch = AoModuleStartWatch(&ao, module, &off);
        char onSafe[4 * 3 + 1];
        char* at = onSafe;
        for (int n = 0; n < kChannels; n++, at += 3) {
            float value = (p->Channel_Mask >> n) & 1 ? values[n] : 0.0f;
            snprintf(at, 4, "%03X", AoSafetyCode6024(p->Range, value));
        }
        return ModuleWatchdog6000(&ao.type, module, Checksum(module), a, watch, onSafe, 10,
                                  "80800800800800", 10);
    }
    if (!FAMILY_XX03 && !FAMILY_TELV) return 1;
    return AoWatchdog7000Channels(&ao.type, module, Checksum(module), a,
                                  AoModuleStartWatch(&ao, module, &off), kChannels, p->Channel_Mask,
                                  values, "%+07.3f");
}

const TemplateStartSteps kStart = {
    .configure = Configure,
    .addRequests = AddRequests,
    .finish = Finish,
};

float Limit(ModuleRecord* module, int input, float sample) {
    return AoModuleLimit(&ao, module, input, sample);
}

const TemplateWriteSteps kWriteSteps = {Limit, AoChangedWanted, AoChangedWritten};

void Init(HWND dialog, void*) {
    AoModuleShowWatchdogGroup(dialog, FAMILY_ND || FAMILY_XX03 || FAMILY_TELV);
}

// Captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV.
const char* const kCaptions[FAMILY_INDEX_COUNT] = {nullptr,    "XX01-4024", nullptr,    "XX03-7024",
                                                   "ZAV-6024", "YY06-8024", "ZEMX-7024"};
constexpr SetupDialogType dialogType =
    AoModuleDialogType(&ao, sizeof(ND6024_Param), 1155, kCaptions, Init);

} // namespace

BLOCK_TYPE_PROCS(ND6024, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 AoModuleClassProc(&ao, &kStart, "DLG_ND6024", "DLG_ND6024_WITH_RANGE",
                                   ND6024_SetupDlgProc, module, msg, wParam, lParam),
                 TemplateProcessWrites(&ao.type, module, &kWriteSteps))
