// Block type ND6005I: the states of the thermistor module's digital (alarm)
// outputs, read with one request per poll, each chosen line delivered as 5.0
// or 0.0. In the family TELV a 7005 module's own watchdog is set up at start.
#include "modules/analog/nd6005i.h"

#include "frame/digital.h"
#include "frame/modwatchdog.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"

// The watchdog rows come twice, as the stored format has them.
// clang-format off
const ParamSchemaEntry ND6005I_ParamSchema[28] = {
    TEMPLATE_ROW(ND6005I_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6005I_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6005I_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6005I_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6005I_Param, Com),
    TEMPLATE_MESS_ROWS(ND6005I_Param, Mess),
    TEMPLATE_ROW(ND6005I_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6005I_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_SUBROW(ND6005I_Param, "Watchdog_On", "BOOL", Mess, MessParam, Watchdog_On),
    TEMPLATE_SUBROW(ND6005I_Param, "Watchdog_Time", "int", Mess, MessParam, Watchdog_Time),
    TEMPLATE_SUBROW(ND6005I_Param, "Watchdog_Value", "WORD", Mess, MessParam, Watchdog_Value),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kModels[5] = {0, 4005, 6005, 7005, 8005};

ND6005I_Param* ParamOf(void* param) {
    return static_cast<ND6005I_Param*>(param);
}

// The image of the output lines: the low byte of the runtime's first word.
BYTE* Image(ModuleRecord* module) {
    return reinterpret_cast<BYTE*>(&TemplateRuntimeOf(module)->Channel_Index);
}

// "@AADI", its two digits after the address into the image.
int AddRequest(ModuleRecord* module, const TemplateType* type) {
    return ScanAddDiRead6005I(TemplateCom(module, type)->Port_Number,
                              *TemplateAddress(module, type) & 0xFF, Image(module),
                              TemplateRuntimeOf(module)->Uses_Checksum);
}

// After the request: a 7005 module's own watchdog, in the family TELV; its
// safe value is the low byte of Watchdog_Value for both bytes.
int SetUpWatchdog(ModuleRecord* module, const TemplateType* type, int model) {
    if (!FAMILY_TELV || model != 7005) return 1;
    ND6005I_Param* p = ParamOf(module->pParam);
    int address = p->Module_Address & 0xFF;
    int safe = p->Mess.Watchdog_Value & 0xFF;
    WatchdogStep step;
    WatchdogStepFormat(&step, '!', 0, "~%02X5%02X%02X", address, safe, safe);
    return ModuleWatchdog7000(type, module, TemplateRuntimeOf(module)->Uses_Checksum, address,
                              &p->Mess, 0, &step, 1, 10);
}

const TemplateStartSteps startSteps = {.finish = SetUpWatchdog};

constexpr TemplateType type = {
    .type = "ND6005I",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = 8,
    .channelLimit = 7,
    .model = 6005,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "DO Read %d",
    .unit = "V",
    .namedChannels = 8,
    .restartNote = "Restart 6005",
    .schema = ND6005I_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6005I_Param),
    .dialogTemplate = "DLG_ND6005I",
    .setupDlgProc = ND6005I_SetupDlgProc,
    .addSweepRequest = AddRequest,
    .watchdogTick = TEMPLATE_TICK_TELV,
    // A number that cannot be read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
};

// The image came: every chosen line into its output.
int Deliver(ModuleRecord* module, const TemplateType* type) {
    TemplateRuntime* rt = TemplateRuntimeOf(module);
    WORD mask = *TemplateMask(module, type) & TemplateChannelBits(type);
    return DigitalDeliverImage(module, mask, *Image(module), rt->Next_Due, rt->Sample_Seconds,
                               rt->Block_Samples);
}

const TemplateSweepSteps sweepSteps = {nullptr, Deliver, nullptr, nullptr};

// Captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV.
const char* const kCaptions[FAMILY_INDEX_COUNT] = {
    nullptr,          "XX01-4005 Input", nullptr,      "XX03-7005-I",
    "ZAV-6005 Input", "YY06-8005 Input", "ZEMX-7005-I"};
// Channel buttons: the resource shows six of the eight.
constexpr SetupDialogType dialogType =
    SetupDialogOf(&type, sizeof(ND6005I_Param), 8, 1090, kCaptions);

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    if (msg == MODMSG_START) return TemplateStartMeasurementWith(&type, module, &startSteps);
    return TemplateClassProc(&type, module, msg, wParam, lParam);
}

BLOCK_TYPE_PROCS(ND6005I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &sweepSteps))
