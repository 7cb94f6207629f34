// Block type ND6012: single-channel voltage and current input module with
// alarm outputs, digital input and counter.
#include "host/driver.h"
#include "frame/start.h"
#include "host/host.h"
#include "modules/analog/nd6011.h"
#include "modules/types.h"
#include "resource.h"

#define ND6012_RANGES 6

// clang-format off
// ND6012 holds its limits in volts (amperes for 20 mA) and sends them so;
// the user sees and types them in the unit of the range.
const AlarmRange ND6012_Ranges[ND6012_RANGES] = {
    {8, "+/- 10 V", "V", {-10.0, 10.0}, "%+07.3f", 1.0},
    {9, "+/- 5 V", "V", {-5.0, 5.0}, "%+07.4f", 1.0},
    {10, "+/- 1 V", "V", {-1.0, 1.0}, "%+07.4f", 1.0},
    {11, "+/- 500 mV", "mV", {-0.5, 0.5}, "%+07.2f", 1000.0},
    {12, "+/- 150 mV", "mV", {-0.15, 0.15}, "%+07.2f", 1000.0},
    {13, "+/- 20 mA", "mA", {-0.02, 0.02}, "%+07.3f", 1000.0},
};
// clang-format on

namespace {

const int kModels[] = {6012, 7012, 7014, 8014, 4012, 0};

// clang-format off
const ActionDef kActions[ND6011_ACTIONS] = {
    {ND6011_RESET_COUNTER, "ND6012_RESET_COUNTER", IDS_ACTION_RESET_COUNTER},
    {ND6011_RESET_ALARM, "ND6012_RESET_ALARM", IDS_ACTION_RESET_ALARM},
    {ND6011_SET_DOUT, "ND6012_SET_DOUT", IDS_ACTION_SET_DOUT},
    {ND6011_RESET_DOUT, "ND6012_RESET_DOUT", IDS_ACTION_RESET_DOUT},
};
// clang-format on

void Defaults(ModuleRecord* module);

constexpr AlarmInputType alarm = ND6011_Descriptor({
    .name = "ND6012",
    .models = kModels,
    .modelCount = 6,
    .model = 6012,
    .restartNote = "Restart 6012",
    .dialogTemplate = "DLG_ND6012",
    .setupDlgProc = ND6012_SetupDlgProc,
    .defaults = Defaults,
    .ranges = ND6012_Ranges,
    .rangeCount = ND6012_RANGES,
    .defaultRange = 9,             // +/- 5 V
    .silent = TEMPLATE_SILENT_ASK, // the user may go on without a module that does not answer
    .preambleInTelv = 0,           // "~AA1" in "XX03" only
    .model6000 = 6012,
    .model7000 = 7012,
    .telvWatchdog7000 = 0, // other models get no watchdog command
    .actions = kActions,
});

void Defaults(ModuleRecord* module) {
    AlarmInputDefaults(&alarm, module);
}

// The Test button accepts what the start accepts, the family "XX06"'s 8014
// among them.
constexpr SetupDialogType dialogType = ND6011_DialogDescriptor(
    &alarm, 1105, "XX01-4012", "XX03-7012-I", "ZAV-6012", "YY06-8014", "ZEMX-7012-I");

} // namespace

BLOCK_TYPE_PROCS(ND6012, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 AlarmInputClassProc(&alarm, module, msg, wParam, lParam),
                 AlarmInputProcess(&alarm, module))
