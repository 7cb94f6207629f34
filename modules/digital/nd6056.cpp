// Block type ND6056: sixteen-channel digital output module.

#include "frame/moduletest.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/scan.h"

#include <stdio.h>

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6056_Param;
typedef DigitalRuntime16 ND6056_Runtime;
constexpr const ParamSchemaEntry* ND6056_ParamSchema = DigitalParamSchema;

namespace {

// A module without a readable name, and every model whose number ends in 056.
const int kModels[] = {0, MODEL_ENDING_IN(56, 3)};

int AddRequest(ModuleRecord* module, const TemplateType*) {
    const DigitalParam* p = DigitalParamOf(module);
    DigitalRuntime16* rt = DigitalRuntime16Of(module);
    return DigitalShowFullList(module, ScanAddDoWrite6056(p->Com.Port_Number, p->Module_Address,
                                                          &rt->Data_Image, rt->Uses_Checksum));
}

// In the default family the module's watchdog gets the safe value of all
// sixteen lines ("~AA21TTVVVV"; off "~AA20000000").
int Configure(ModuleRecord* module, const TemplateType* type, int) {
    if (!FAMILY_ND) return 1;
    DigitalParam* p = DigitalParamOf(module);
    char safe[8];
    snprintf(safe, sizeof safe, "%04X", p->Mess.Watchdog_Value);
    return ModuleWatchdog6000(type, module, TemplateRuntimeOf(module)->Uses_Checksum,
                              p->Module_Address, &p->Mess, safe, "000000", 0);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6056",
    .maxChannels = 16,
    .channelLimit = 15,
    .model = 6160,
    .models = kModels,
    .modelCount = 2,
    .namedChannels = 16,
    .restartNote = "Restart 6056",
    .schema = ND6056_ParamSchema,
    .dialogTemplate = "DLG_ND6056",
    .setupDlgProc = ND6056_SetupDlgProc,
    .addSweepRequest = AddRequest,
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

void InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog, DIGITAL_FAMILY(FAMILY_INDEX_ND));
}

int Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, 15);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               16,                // channel buttons
                                                               1170,              // help context
                                                               nullptr,           // default
                                                               nullptr,           // XX01
                                                               nullptr,           // XX04
                                                               nullptr,           // XX03
                                                               "ZAV-6056 Output", // XX05
                                                               nullptr,           // XX06
                                                               nullptr,           // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake16, nullptr, nullptr, nullptr};

} // namespace

BLOCK_TYPE_PROCS(ND6056, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
