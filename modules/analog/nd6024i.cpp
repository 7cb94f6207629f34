// Block type ND6024I: the digital input lines of the four-channel analog
// output module, each delivered as one output channel of the block.
#include "modules/analog/nd6024i.h"

#include "frame/analogout.h"
#include "frame/digital.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/ports.h"
#include "serial/scan.h"

#include <stddef.h>

// clang-format off
const ParamSchemaEntry ND6024I_ParamSchema[25] = {
    TEMPLATE_ROW(ND6024I_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6024I_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6024I_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6024I_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6024I_Param, Com),
    TEMPLATE_MESS_ROWS(ND6024I_Param, Mess),
    TEMPLATE_ROW(ND6024I_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6024I_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const int kModels[] = {0, 4024, 6024, 7024, 8024};
// The lines of the block: the module reports the first four in one
// hexadecimal digit, so lines 4 to 7 always deliver 0.0.
const int kLines = 8;
// The template's channel buttons, and the outputs another block may have.
const int kButtons = 7;
// The channels whose names the exchange with another block carries.
const int kExchanged = 7;

BYTE* Image(ModuleRecord* module) {
    return reinterpret_cast<BYTE*>(&TemplateRuntimeOf(module)->Channel_Index);
}

int AddSweepRequest(ModuleRecord* module, const TemplateType* type) {
    const ND6024I_Param* p = static_cast<const ND6024I_Param*>(module->pParam);
    (void)type;
    return ScanAddDiRead6024Di(p->Com.Port_Number, p->Module_Address, Image(module),
                               TemplateRuntimeOf(module)->Uses_Checksum);
}

constexpr TemplateType type = {
    .type = "ND6024I",
    .form = TEMPLATE_INPUT_FORM,
    .maxChannels = kLines,
    .channelLimit = kButtons,
    .model = 6024,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "DI %d",
    .unit = "V",
    .namedChannels = 8,
    .restartNote = "Restart 6024",
    .schema = ND6024I_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6024I_Param),
    .dialogTemplate = "DLG_ND6024I",
    .setupDlgProc = ND6024I_SetupDlgProc,
    .addSweepRequest = AddSweepRequest,
    .watchdogTick = 0,        // no watchdog command
    .watchdogResetAtStop = 0, // the stop leaves the keep-alive as it is
    // A negative model number is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
};

int Deliver(ModuleRecord* module, const TemplateType* t) {
    const TemplateRuntime* rt = TemplateRuntimeOf(module);
    return DigitalDeliverImage(module, TemplateChannelsInUse(module, t), *Image(module),
                               rt->Next_Due, rt->Sample_Seconds, rt->Block_Samples);
}

const TemplateSweepSteps kSweep = {nullptr, Deliver, nullptr, nullptr};

// The family XX01 shows the four lines the module reports, moved to the
// middle of the seven buttons' room.
void Init(HWND dialog, void*) {
    if (FAMILY_XX01) AoLayoutChannelButtons(dialog, 4, kButtons, 40);
}

// Captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV.
const char* const kCaptions[FAMILY_INDEX_COUNT] = {nullptr, "XX01-4024 Input", nullptr, nullptr,
                                                   nullptr, "YY06-8024 Input", nullptr};
constexpr SetupDialogType MakeDialogType() {
    SetupDialogType d = SetupDialogOf(&type, sizeof(ND6024I_Param), kLines, 1155, kCaptions);
    d.init = Init;
    return d;
}
constexpr SetupDialogType dialogType = MakeDialogType();

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    ModuleRecord* partner = reinterpret_cast<ModuleRecord*>(lParam);
    switch (msg) {
    case MODMSG_CHECK_LAYOUT: return FAMILY_ND ? TemplateCheckChannelLayout(&type, partner) : 0;
    case MODMSG_EXPORT_NAMES: return TemplateExportChannels(&type, module, partner, kExchanged);
    case MODMSG_IMPORT_NAMES:
        if (!TemplateCreateDefaults(&type, module)) return 0;
        return TemplateImportChannels(&type, module, partner, kExchanged);
    default: return TemplateClassProc(&type, module, msg, wParam, lParam);
    }
}

BLOCK_TYPE_PROCS(ND6024I, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &kSweep))
