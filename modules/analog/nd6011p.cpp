// Block type ND6011P: single-channel analog input module with two more
// thermocouple types (L and M) than ND6011.
#include "host/host.h"
#include "frame/start.h"
#include "modules/analog/nd6011.h"
#include "modules/types.h"
#include "resource.h"

namespace {

const int kModels[] = {7011, 6011};

// clang-format off
const ActionDef kActions[ND6011_ACTIONS] = {
    {ND6011_RESET_COUNTER, "ND6011P_RESET_COUNTER", IDS_ACTION_RESET_COUNTER},
    {ND6011_RESET_ALARM, "ND6011P_RESET_ALARM", IDS_ACTION_RESET_ALARM},
    {ND6011_SET_DOUT, "ND6011P_SET_DOUT", IDS_ACTION_SET_DOUT},
    {ND6011_RESET_DOUT, "ND6011P_RESET_DOUT", IDS_ACTION_RESET_DOUT},
};
// clang-format on

void Defaults(ModuleRecord* module);

// ND6011 with its ranges and the thermocouple types L and M.
constexpr AlarmInputType alarm = ND6011_Descriptor({
    .name = "ND6011P",
    .models = kModels,
    .modelCount = 2,
    .model = 6011,
    .restartNote = "Restart 6011P",
    .dialogTemplate = "DLG_ND6011",
    .setupDlgProc = ND6011P_SetupDlgProc,
    .defaults = Defaults,
    .ranges = ND6011_Ranges,
    .rangeCount = ND6011P_RANGES,
    .defaultRange = 5,              // +/- 2.5 V
    .silent = TEMPLATE_SILENT_STOP, // a module that does not answer stops the experiment
    .preambleInTelv = 1,            // "~AA1" in "TELV" too
    .model6000 = 6011,
    .model7000 = 7011,
    .telvWatchdog7000 = 1, // other models take the 7000 form in "TELV"
    .actions = kActions,
});

void Defaults(ModuleRecord* module) {
    AlarmInputDefaults(&alarm, module);
}

constexpr SetupDialogType dialogType =
    ND6011_DialogDescriptor(&alarm, 1100, nullptr, nullptr, nullptr, nullptr, "ZEMX-7011P-I");

} // namespace

BLOCK_TYPE_PROCS(ND6011P, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 AlarmInputClassProc(&alarm, module, msg, wParam, lParam),
                 AlarmInputProcess(&alarm, module))
