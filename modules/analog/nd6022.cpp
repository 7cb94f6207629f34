// Block type ND6022: the two channels of the 7022 analog output module,
// each written when its value changes.
#include "modules/analog/nd6022.h"

#include "frame/analogout.h"
#include "frame/chanbar.h"
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
const ParamSchemaEntry ND6022_ParamSchema[30] = {
    TEMPLATE_ROW(ND6022_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6022_Param, "Channel_Name[0..3]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6022_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6022_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_ROW(ND6022_Param, "Watchdog_On", "BOOL", Watchdog_On),
    TEMPLATE_ROW(ND6022_Param, "Watchdog_Time", "int", Watchdog_Time),
    TEMPLATE_ROW(ND6022_Param, "Watchdog_Value[0..3]", "float", Watchdog_Value),
    TEMPLATE_COM_ROWS(ND6022_Param, Com),
    TEMPLATE_MESS_ROWS(ND6022_Param, Mess),
    TEMPLATE_ROW(ND6022_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6022_Param, "Copy_Channel_Name[0..3]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6022_Param, "Range[0..15]", "int", Range),
    TEMPLATE_ROW(ND6022_Param, "Slew_Rate[0..15]", "int", Slew_Rate),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kModels[] = {0, 7022};
const int kChannels = 2;

ND6022_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6022_Param*>(module->pParam);
}

void Defaults(ModuleRecord* module);

constexpr AoModuleType ao = {
    .type =
        {
            .type = "ND6022",
            .form = TEMPLATE_OUTPUT_FORM,
            .maxChannels = kChannels,
            .channelLimit = kChannels,
            .model = 6022,
            .models = kModels,
            .modelCount = 2,
            .nameFormat = "ND6022 %02d",
            .unit = "V",
            .namedChannels = kChannels,
            .restartNote = "Restart 6022",
            .schema = ND6022_ParamSchema,
            TEMPLATE_RECORD_OFFSETS(ND6022_Param),
            .dialogTemplate = "DLG_ND6022_WITH_RANGE",
            .setupDlgProc = ND6022_SetupDlgProc,
            .defaults = Defaults,
            .watchdogTick = TEMPLATE_TICK_ALWAYS, // the module's watchdog
            .watchdogResetAtStop = 1,             // a stop disarms every keep-alive
            // A module that does not answer fails the start alone; another
            // model stops the experiment, a negative number shown as no reply.
            .start = {.silent = TEMPLATE_SILENT_FAIL,
                      .badNumberText = IDS_MODULE_NO_REPLY,
                      .badAddressText = IDS_NO_ADDRESS},
            .channelDue = 1, // each channel written on its own schedule
        },
    .channels = kChannels,
    .nameChannels = kChannels,
    .exportChannels = TEMPLATE_CHANNELS, // MODMSG_EXPORT_NAMES hands over the record's 16 names
    .rangePerChannel = 1,                // a range per channel
    AO_RECORD_OFFSETS(ND6022_Param),
    .ranges = AO_SINGLE_RANGES,
    .slewRates = 15,
    .rangeFirst = IDS_ND6022_RANGE_FIRST,
    .slewVFirst = IDS_ND6022_SLEW_V_FIRST,
    .slewMAFirst = IDS_ND6022_SLEW_MA_FIRST,
    .safeLow = 0.0f, // the safety value within the channel's range
    .safeHigh = 0.0f,
    .lockWatchdog = 1, // the watchdog group locked while an experiment runs
};

int Checksum(ModuleRecord* module) {
    return *TemplateUsesChecksum(&ao.type, module);
}

void Defaults(ModuleRecord* module) {
    ND6022_Param* p = ParamOf(module);
    p->Watchdog_On = 0;
    p->Watchdog_Time = 6;
    for (int n = 0; n < kChannels; n++) {
        p->Watchdog_Value[n] = 0.0f;
        if (FAMILY_TELV) snprintf(p->Channel_Name[n], sizeof p->Channel_Name[n], "Q7022 %02d", n);
    }
    for (int n = 0; n < TEMPLATE_CHANNELS; n++) {
        p->Range[n] = AO_RANGE_0_10_V;
        p->Slew_Rate[n] = 0;
    }
    TemplateForgetInputValues(module);
}

int Send(ModuleRecord* module, char* text, int waitMs) {
    return TemplateSendAndExpect(&ao.type, module, text, '!', Checksum(module), waitMs);
}

// Each channel in use: "$AA9N" answers "!AATS", its type ('0' + range) and
// slew rate (one hexadecimal digit); "$AA9NTS" sets both when either
// differs.
int Configure(ModuleRecord* module, const TemplateType*, int) {
    ND6022_Param* p = ParamOf(module);
    if (!AoModuleRangesKnown(&ao, module)) return 0;
    const int a = p->Module_Address & 0xFF;
    for (int n = 0; n < kChannels; n++) {
        if (!((p->Channel_Mask >> n) & 1)) continue;
        char text[TEMPLATE_QUERY_SIZE];
        snprintf(text, sizeof text, "$%02X9%c", a, '0' + n);
        if (!Send(module, text, 0)) return 0;
        if (strlen(text) < 5) return TemplateStepFailed(module, IDS_COMM_PROBLEM);
        const char type = static_cast<char>('0' + p->Range[n]);
        int rate = p->Slew_Rate[n];
        ClampInt(&rate, 0, ao.slewRates - 1);
        const char slew = "0123456789ABCDE"[rate];
        if (text[3] == type && text[4] == slew) continue;
        snprintf(text, sizeof text, "$%02X9%c%c%c", a, '0' + n, type, slew);
        if (!Send(module, text, 0)) return 0;
    }
    return 1;
}

int AddRequest(ModuleRecord* module, int, int channel, float* cell) {
    const ND6022_Param* p = ParamOf(module);
    return ScanAddAoWrite(p->Com.Port_Number, p->Module_Address, channel, cell, Checksum(module));
}

int AddRequests(ModuleRecord* module, const TemplateType* type) {
    return AoModuleAddRequests(module, type, AddRequest);
}

// The 7000-series sequence, each channel's safety value written as its
// output.
int Finish(ModuleRecord* module, const TemplateType*, int) {
    ND6022_Param* p = ParamOf(module);
    p->Mess.Watchdog_On = 0;
    MessParam off;
    const MessParam* watch = AoModuleStartWatch(&ao, module, &off);
    float values[kChannels];
    for (int n = 0; n < kChannels; n++)
        values[n] = AoModuleSafeValue(&ao, module, n);
    return AoWatchdog7000Channels(&ao.type, module, Checksum(module), p->Module_Address, watch,
                                  kChannels, p->Channel_Mask, values, "%06.3f");
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
    AoModuleShowWatchdogGroup(dialog, FAMILY_TELV);
    // The template holds four channel buttons; the module has two, moved to
    // the middle of the four's room.
    AoLayoutChannelButtons(dialog, kChannels, 4, 25);
}

// Captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV.
const char* const kCaptions[FAMILY_INDEX_COUNT] = {nullptr, nullptr, nullptr,    nullptr,
                                                   nullptr, nullptr, "ZEMX-7022"};
constexpr SetupDialogType dialogType =
    AoModuleDialogType(&ao, sizeof(ND6022_Param), 1220, kCaptions, Init);

} // namespace

BLOCK_TYPE_PROCS(ND6022, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 AoModuleClassProc(&ao, &kStart, "DLG_ND6022", "DLG_ND6022_WITH_RANGE",
                                   ND6022_SetupDlgProc, module, msg, wParam, lParam),
                 TemplateProcessWrites(&ao.type, module, &kWriteSteps))
