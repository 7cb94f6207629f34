// Block type ND6067: seven-channel relay output module.

#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/host.h"
#include "modules/digital/digital.h"
#include "modules/types.h"
#include "resource.h"

// The records and the stored format are those of every digital type.
typedef DigitalParam ND6067_Param;
typedef DigitalRuntime8 ND6067_Runtime;
constexpr const ParamSchemaEntry* ND6067_ParamSchema = DigitalParamSchema;

namespace {

const int kModels[] = {6067, 4067, 7067, 8067, 0};

// The module's relays: names from the host reach these channels only.
const int kRelays = 7;

// A 6067 gets the 6000-series watchdog sequence, the later models (7067,
// 8067) the 7000-series one.
int Configure(ModuleRecord* module, const TemplateType* type, int model) {
    if (model < 7067) return DigitalOutputWatchdog(module, type, model, 6067, 7067, nullptr);
    WatchdogStep safe;
    DigitalSafeByte(module, &safe);
    return DigitalWatchdog7000(module, type, 0, &safe);
}

constexpr TemplateType type = DigitalOutputDescriptor({
    .type = "ND6067",
    .maxChannels = 7,
    .channelLimit = 7,
    .model = 6067,
    .models = kModels,
    .modelCount = 5,
    .namedChannels = 7,
    .restartNote = "Restart 6067",
    .schema = ND6067_ParamSchema,
    .dialogTemplate = "DLG_ND6067O",
    .setupDlgProc = ND6067_SetupDlgProc,
    .addSweepRequest = DigitalAddDoWrite,
    // A silent or wrong module stops the experiment; a number that cannot be
    // read is shown as no reply.
    .start = {.badNumberText = IDS_MODULE_NO_REPLY},
});

constexpr TemplateStartSteps startSteps = {.configure = Configure};

void InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog, DIGITAL_FAMILY(FAMILY_INDEX_XX03) |
                                          DIGITAL_FAMILY(FAMILY_INDEX_TELV));
}

int Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, 7);
}

constexpr SetupDialogType dialogType = DigitalDialogDescriptor(&type,
                                                               7,             // channel buttons
                                                               1215,          // help context
                                                               nullptr,       // default
                                                               nullptr,       // XX01
                                                               nullptr,       // XX04
                                                               "XX03-7067-O", // XX03
                                                               nullptr,       // XX05
                                                               "YY06-8067 Output", // XX06
                                                               "ZEMX-7067-O",      // TELV
                                                               InitDialog, Command);

const TemplateSweepSteps steps = {DigitalTake8, nullptr, nullptr, nullptr};

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    if (msg == MODMSG_INPUT_NAME && (wParam < 0 || wParam >= kRelays))
        return PerformDefaultAction(module, msg, wParam, lParam);
    if (msg == MODMSG_SET_NAME_COPY) {
        for (int i = 0; i < kRelays; i++)
            DigitalParamOf(module)->Copy_Channel_Name[i] = wParam;
        return PerformDefaultAction(module, msg, wParam, lParam);
    }
    return DigitalClassProc(&type, &startSteps, module, msg, wParam, lParam);
}

BLOCK_TYPE_PROCS(ND6067, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 TemplateProcessSweep(&type, module, &steps))
