// The analog input types with alarm outputs, digital input and counter:
// ND6011 (voltage, current and thermocouple ranges), ND6011P (ND6011 with
// the thermocouple types L and M) and ND6012 (voltage and current ranges).
// They differ only in data, a row each; the family's records and steps are
// in frame/alarminput.
#include "modules/analog/alarm.h"

#include "host/host.h"
#include "modules/types.h"
#include "resource.h"

namespace {

// clang-format off
// Every thermocouple type is clamped to its own range, and every range has
// the limit format of its unit's resolution.
#define DEG "\260"
const AlarmRange kRanges6011[18] = {
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

// ND6012 holds its limits in volts (amperes for 20 mA) and sends them so;
// the user sees and types them in the unit of the range.
const AlarmRange kRanges6012[6] = {
    {8, "+/- 10 V", "V", {-10.0, 10.0}, "%+07.3f", 1.0},
    {9, "+/- 5 V", "V", {-5.0, 5.0}, "%+07.4f", 1.0},
    {10, "+/- 1 V", "V", {-1.0, 1.0}, "%+07.4f", 1.0},
    {11, "+/- 500 mV", "mV", {-0.5, 0.5}, "%+07.2f", 1000.0},
    {12, "+/- 150 mV", "mV", {-0.15, 0.15}, "%+07.2f", 1000.0},
    {13, "+/- 20 mA", "mA", {-0.02, 0.02}, "%+07.3f", 1000.0},
};

enum { kND6011, kND6011P, kND6012, kAlarmTypes };

const int kModels6011[] = {6011, 7011, 4011, 0};
const int kModels6011P[] = {7011, 6011};
const int kModels6012[] = {6012, 7012, 7014, 8014, 4012, 0};

// Each type's actions carry its name.
#define ALARM_ACTIONS(T)                                                                           \
    {{ND6011_RESET_COUNTER, #T "_RESET_COUNTER", IDS_ACTION_RESET_COUNTER},                        \
     {ND6011_RESET_ALARM, #T "_RESET_ALARM", IDS_ACTION_RESET_ALARM},                              \
     {ND6011_SET_DOUT, #T "_SET_DOUT", IDS_ACTION_SET_DOUT},                                       \
     {ND6011_RESET_DOUT, #T "_RESET_DOUT", IDS_ACTION_RESET_DOUT}}
const ActionDef kActions[kAlarmTypes][ND6011_ACTIONS] = {
    ALARM_ACTIONS(ND6011), ALARM_ACTIONS(ND6011P), ALARM_ACTIONS(ND6012)};
#undef ALARM_ACTIONS

extern const AlarmInputType kAlarm[kAlarmTypes];

template <int i> void Defaults(ModuleRecord* module) {
    AlarmInputDefaults(&kAlarm[i], module);
}

// How a start meets a module that does not answer, a negative model number
// (shown as no reply) and a full scan list: ND6011 and ND6011P stop the
// experiment for a silent module and show the full list once more under the
// block's name; ND6012 asks whether to go on without the module.
constexpr TemplateStartPolicy kStart6011 = {.badNumberText = IDS_MODULE_NO_REPLY,
                                            .fullListShown = 1};
constexpr TemplateStartPolicy kStart6012 = {.silent = TEMPLATE_SILENT_ASK,
                                            .badNumberText = IDS_MODULE_NO_REPLY};

// Columns: name, accepted models and their count, model number, restart
// note, dialog template and procedure, defaults, ranges, their count and
// the default one; the start policy; "~AA1" opening the configuration in
// "TELV" too (always in "XX03"); the modules of the 6000 and 7000 series
// (their watchdog forms), and whether any other model takes the 7000 form
// in "TELV"; the actions.
constexpr AlarmInputType kAlarm[kAlarmTypes] = {
    ND6011_Descriptor({"ND6011", kModels6011, 4, 6011, "Restart 6011", "DLG_ND6011", ND6011_SetupDlgProc,
                       Defaults<kND6011>, kRanges6011, 16, 5 /* +/- 2.5 V */, kStart6011,
                       1, 6011, 7011, 1, kActions[kND6011]}),
    ND6011_Descriptor({"ND6011P", kModels6011P, 2, 6011, "Restart 6011P", "DLG_ND6011", ND6011P_SetupDlgProc,
                       Defaults<kND6011P>, kRanges6011, 18, 5 /* +/- 2.5 V */, kStart6011,
                       1, 6011, 7011, 1, kActions[kND6011P]}),
    ND6011_Descriptor({"ND6012", kModels6012, 6, 6012, "Restart 6012", "DLG_ND6012", ND6012_SetupDlgProc,
                       Defaults<kND6012>, kRanges6012, 6, 9 /* +/- 5 V */, kStart6012,
                       0, 6012, 7012, 0, kActions[kND6012]}),
};

// Help context and the captions of the families XX01, XX03, XX05, XX06 and
// TELV. ND6012's Test button accepts what its start accepts, the family
// "XX06"'s 8014 among them.
constexpr SetupDialogType kDialogs[kAlarmTypes] = {
    ND6011_DialogDescriptor(&kAlarm[kND6011], 1100, "XX01-4011", "XX03-7011-I", "ZAV-6011", nullptr, "ZEMX-7011-I"),
    ND6011_DialogDescriptor(&kAlarm[kND6011P], 1100, nullptr, nullptr, nullptr, nullptr, "ZEMX-7011P-I"),
    ND6011_DialogDescriptor(&kAlarm[kND6012], 1105, "XX01-4012", "XX03-7012-I", "ZAV-6012", "YY06-8014", "ZEMX-7012-I"),
};
// clang-format on

} // namespace

BLOCK_TYPE_ROW_PROCS(ND6011, kDialogs, kAlarm, AlarmInputClassProc, AlarmInputProcess)
BLOCK_TYPE_ROW_PROCS(ND6011P, kDialogs, kAlarm, AlarmInputClassProc, AlarmInputProcess)
BLOCK_TYPE_ROW_PROCS(ND6012, kDialogs, kAlarm, AlarmInputClassProc, AlarmInputProcess)
