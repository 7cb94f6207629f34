// Block type ND6012: single-channel voltage and current input module with
// alarm outputs, digital input and counter.
#include "host/driver.h"
#include "frame/start.h"
#include "host/host.h"
#include "host/registration.h"
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

INT_PTR CALLBACK ND6012_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

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

INT_PTR CALLBACK ND6012_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6012_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return AlarmInputClassProc(&alarm, module, msg, wParam, lParam);
}

int MODULE_CALL ND6012_Process(ModuleRecord* module) {
    return AlarmInputProcess(&alarm, module);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6012", 1608, 120, 4, IDM_ND6012, 1105, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6012_MODULE", "4012_MODULE", nullptr, "S7012_I_MODULE",
     "O6012_MODULE", "SU8014_MODULE", "Q7012_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4012-00", nullptr, "S7012-I-00", "O6012-00", "S8014-00", "Q7012-I-00"},
    1104, 1133, 1602, // strings: default name, description, description in XX03
    "ND6012_ICO", "Q7012I_IN", // icon, symbol
    ND6012_ClassProc, ND6012_Process, defaultName, description};
// clang-format on

} // namespace

int ND6012_Register() {
    return RegisterBlockType(row);
}
