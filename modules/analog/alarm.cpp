// Block type ND6011: single-channel analog input module (voltage, current,
// thermocouple) with alarm outputs, digital input and counter.
#include "modules/analog/nd6011.h"

#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

// clang-format off
// Every thermocouple type is clamped to its own range, and every range has
// the limit format of its unit's resolution.
#define DEG "\260"
const AlarmRange ND6011_Ranges[ND6011P_RANGES] = {
    {0, "+/- 15 mV", "mV", {-15.0, 15.0}, "%+07.3f", 1.0},
    {1, "+/- 50 mV", "mV", {-50.0, 50.0}, "%+07.3f", 1.0},
    {2, "+/- 100 mV", "mV", {-100.0, 100.0}, "%+07.2f", 1.0},
    {3, "+/- 500 mV", "mV", {-500.0, 500.0}, "%+07.2f", 1.0},
    {4, "+/- 1 V", "V", {-1.0, 1.0}, "%+07.4f", 1.0},
    {5, "+/- 2.5 V", "V", {-2.5, 2.5}, "%+07.4f", 1.0},
    {6, "+/- 20 mA", "mA", {-20.0, 20.0}, "%+07.3f", 1.0},
    {14, "Type J 0" DEG " - 760" DEG "C", DEG "C", {0.0, 760.0}, "%+07.2f", 1.0},
    {15, "Type K 0" DEG " - 1000" DEG "C", DEG "C", {0.0, 1000.0}, "%+07.1f", 1.0},
    {16, "Type T -100" DEG " - 400" DEG "C", DEG "C", {-100.0, 400.0}, "%+07.2f", 1.0},
    {17, "Type E 0" DEG " - 1000" DEG "C", DEG "C", {0.0, 1000.0}, "%+07.1f", 1.0},
    {18, "Type R 500" DEG " - 1750 " DEG "C", DEG "C", {500.0, 1750.0}, "%+07.1f", 1.0},
    {19, "Type S 500" DEG " - 1750 " DEG "C", DEG "C", {500.0, 1750.0}, "%+07.1f", 1.0},
    {20, "Type B 500" DEG " - 1800 " DEG "C", DEG "C", {500.0, 1800.0}, "%+07.1f", 1.0},
    {21, "Type N -270" DEG " - 1300 " DEG "C", DEG "C", {-270.0, 1300.0}, "%+07.1f", 1.0},
    {22, "Type C 0" DEG " - 2320 " DEG "C", DEG "C", {0.0, 2320.0}, "%+07.1f", 1.0},
    {23, "Type L -200" DEG " - 800 " DEG "C", DEG "C", {-200.0, 800.0}, "%+07.2f", 1.0},
    {24, "Type M -200" DEG " - 100 " DEG "C", DEG "C", {-200.0, 100.0}, "%+07.2f", 1.0},
};
#undef DEG
// clang-format on

// ---- ND6011 ----

namespace {

const int kModels[] = {6011, 7011, 4011, 0};

// clang-format off
const ActionDef kActions[ND6011_ACTIONS] = {
    {ND6011_RESET_COUNTER, "ND6011_RESET_COUNTER", IDS_ACTION_RESET_COUNTER},
    {ND6011_RESET_ALARM, "ND6011_RESET_ALARM", IDS_ACTION_RESET_ALARM},
    {ND6011_SET_DOUT, "ND6011_SET_DOUT", IDS_ACTION_SET_DOUT},
    {ND6011_RESET_DOUT, "ND6011_RESET_DOUT", IDS_ACTION_RESET_DOUT},
};
// clang-format on

void Defaults(ModuleRecord* module);

constexpr AlarmInputType alarm = ND6011_Descriptor({
    .name = "ND6011",
    .models = kModels,
    .modelCount = 4,
    .model = 6011,
    .restartNote = "Restart 6011",
    .dialogTemplate = "DLG_ND6011",
    .setupDlgProc = ND6011_SetupDlgProc,
    .defaults = Defaults,
    .ranges = ND6011_Ranges,
    .rangeCount = ND6011_RANGES,
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

constexpr SetupDialogType dialogType = ND6011_DialogDescriptor(
    &alarm, 1100, "XX01-4011", "XX03-7011-I", "ZAV-6011", nullptr, "ZEMX-7011-I");

} // namespace

BLOCK_TYPE_PROCS(ND6011, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 AlarmInputClassProc(&alarm, module, msg, wParam, lParam),
                 AlarmInputProcess(&alarm, module))
