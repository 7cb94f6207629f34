// Block type ND6080: two-channel counter and frequency module whose two
// digital outputs can be driven as counter alarms.
#include "modules/multi/nd6080.h"

#include "frame/chanbar.h"
#include "frame/messparam.h"
#include "frame/modwatchdog.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/ports.h"
#include "serial/scan.h"
#include "serial/sercomm.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6080_ParamSchema[ND6080_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6080_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6080_Param, "Channel_Name[0..3]", "string[24]", Channel_Name),
    TEMPLATE_COM_ROWS(ND6080_Param, Com),
    TEMPLATE_MESS_ROWS(ND6080_Param, Mess),
    TEMPLATE_ROW(ND6080_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6080_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_ROW(ND6080_Param, "Freq_Mode", "int", Freq_Mode),
    TEMPLATE_ROW(ND6080_Param, "Freq_Gate", "int", Freq_Gate),
    TEMPLATE_ROW(ND6080_Param, "Input", "int", Input),
    TEMPLATE_ROW(ND6080_Param, "Gate_Mode", "int", Gate_Mode),
    TEMPLATE_ROW(ND6080_Param, "Dig_Filter", "int", Dig_Filter),
    TEMPLATE_ROW(ND6080_Param, "Width_High", "int", Width_High),
    TEMPLATE_ROW(ND6080_Param, "Width_Low", "int", Width_Low),
    TEMPLATE_ROW(ND6080_Param, "Trig_High", "int", Trig_High),
    TEMPLATE_ROW(ND6080_Param, "Trig_Low", "int", Trig_Low),
    TEMPLATE_ROW(ND6080_Param, "Start_Counter[0..1]", "BOOL", Start_Counter),
    TEMPLATE_ROW(ND6080_Param, "Load_Value[0..1]", "BOOL", Load_Value),
    TEMPLATE_ROW(ND6080_Param, "Counter_Value[0..1]", "DWORD", Counter_Value),
    TEMPLATE_ROW(ND6080_Param, "Alarm_On[0..1]", "BOOL", Alarm_On),
    TEMPLATE_ROW(ND6080_Param, "Alarm_Value[0..1]", "DWORD", Alarm_Value),
    TEMPLATE_ROW(ND6080_Param, "Unit[0..3]", "string[64]", Unit),
    TEMPLATE_ROW(ND6080_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on
static_assert(sizeof ND6080_ParamSchema / sizeof ND6080_ParamSchema[0] == 39,
              "38 rows and the end");

namespace {

const int kModels[] = {6080, 4080, 7080, 8080, 0};
const char* const kNames[ND6080_KINDS] = {"Counter 0", "Counter 1", "Alarm 0 / DO0",
                                          "Alarm 1 / DO1"};
const char* const kUnits[ND6080_KINDS] = {"", "", "V", "V"};
const WORD kOutputBits = (1u << ND6080_OUTPUT0) | (1u << ND6080_OUTPUT1);

// clang-format off
const ActionDef kActions[ND6080_ACTIONS] = {
    {ND6080_START_COUNTER, "ND6080_START_COUNTER", IDS_ACTION_START_COUNTER},
    {ND6080_STOP_COUNTER, "ND6080_STOP_COUNTER", IDS_ACTION_STOP_COUNTER},
    {ND6080_RESET_COUNTER, "ND6080_RESET_COUNTER", IDS_ACTION_RESET_COUNTER},
    {ND6080_SET_DOUT, "ND6080_SET_DOUT", IDS_ACTION_SET_DOUT},
    {ND6080_RESET_DOUT, "ND6080_RESET_DOUT", IDS_ACTION_RESET_DOUT},
};
// clang-format on

ND6080_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6080_Param*>(module->pParam);
}

ND6080_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6080_Runtime*>(module->pRuntime);
}

// Every start: no output value and no counter pending. The queue is kept:
// what was queued before the experiment goes out at its first idle turn.
void ClearPending(ModuleRecord* module) {
    ND6080_Runtime* rt = RuntimeOf(module);
    rt->Pending_DO = rt->Start_Mask = rt->Stop_Mask = rt->Reset_Mask = 0;
}

// A new or loaded block: nothing queued or pending.
void ClearActions(ModuleRecord* module) {
    ActionQueueClear(&RuntimeOf(module)->Actions);
    ClearPending(module);
}

// The settings a file may bring in are held within what the dialog offers.
void LimitSettings(ND6080_Param* p) {
    ClampInt(&p->Freq_Mode, 0, 1);
    ClampInt(&p->Freq_Gate, 0, 1);
    ClampInt(&p->Input, 0, 1);
    ClampInt(&p->Gate_Mode, 0, 2);
    ClampInt(&p->Dig_Filter, 0, 1);
    ClampInt(&p->Width_High, 4, 1020);
    ClampInt(&p->Width_Low, 4, 1020);
    ClampInt(&p->Trig_High, 1, 50);
    ClampInt(&p->Trig_Low, 1, 50);
}

void Defaults(ModuleRecord* module) {
    ND6080_Param* p = ParamOf(module);
    p->Freq_Mode = 0;
    p->Freq_Gate = 0;
    p->Input = 0;
    p->Gate_Mode = 0;
    p->Dig_Filter = 0;
    p->Width_High = 4;
    p->Width_Low = 4;
    p->Trig_High = 24;
    p->Trig_Low = 8;
    for (int i = 0; i < 2; i++) {
        p->Start_Counter[i] = 1;
        p->Load_Value[i] = 1;
        p->Counter_Value[i] = 0;
        // The dialog shows the alarm of every counter.
        p->Alarm_On[i] = 0;
        p->Alarm_Value[i] = 0;
    }
    for (int c = 0; c < ND6080_KINDS; c++) {
        snprintf(p->Channel_Name[c], sizeof p->Channel_Name[c], "%s", kNames[c]);
        snprintf(p->Unit[c], sizeof p->Unit[c], "%s", kUnits[c]);
        p->Copy_Channel_Name[c] = 0;
    }
    ClearActions(module);
    RuntimeOf(module)->Frame.Uses_Checksum = 0;
}

int Configure(ModuleRecord* module, const TemplateType* type, int model);
int AddRequests(ModuleRecord* module, const TemplateType* type);
int Finish(ModuleRecord* module, const TemplateType* type, int model);

constexpr TemplateType type = {
    .type = "ND6080",
    .form = TEMPLATE_NO_EXCHANGE,
    .maxChannels = ND6080_KINDS,
    .channelLimit = ND6080_KINDS,
    .model = 6080,
    .models = kModels,
    .modelCount = 5,
    .nameFormat = "", // names and units are the type's defaults
    .unit = "",
    .restartNote = "Restart 6080",
    .schema = ND6080_ParamSchema,
    TEMPLATE_RECORD_OFFSETS(ND6080_Param),
    .dialogTemplate = "DLG_ND6080",
    .setupDlgProc = ND6080_SetupDlgProc,
    .defaults = Defaults,
    .configure = nullptr,                 // configured by the start steps
    .addRequest = nullptr,                // requests by kind, not per channel
    .watchdogTick = TEMPLATE_TICK_ALWAYS, // the module's watchdog
    .watchdogResetAtStop = 1,
    // A module that does not answer fails the start without stopping the
    // experiment; a negative model number is shown as no reply, a full scan
    // list once more under the block's name.
    .start = {.silent = TEMPLATE_SILENT_FAIL,
              .badNumberText = IDS_MODULE_NO_REPLY,
              .badAddressText = IDS_NO_ADDRESS,
              .fullListShown = 1},
};

constexpr TemplateStartSteps startSteps = {
    .configure = Configure,
    .addRequests = AddRequests,
    .finish = Finish,
};

// ---- The start ----

int Checksum(ModuleRecord* module) {
    return RuntimeOf(module)->Frame.Uses_Checksum;
}

// A start command; the reply is left in `text`. In the family "XX01" the
// commands that are not strict pass whatever the module answers.
int Send(ModuleRecord* module, char* text, int strict, int waitMs = 0) {
    if (FAMILY_XX01 && !strict) {
        QueryCom(ParamOf(module)->Com.Port_Number, text, TEMPLATE_QUERY_SIZE, Checksum(module),
                 waitMs);
        return 1;
    }
    return TemplateSendAndExpect(&type, module, text, '!', Checksum(module), waitMs);
}

// Formats a command into `text` and sends it.
int Command(ModuleRecord* module, char* text, int strict, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int Command(ModuleRecord* module, char* text, int strict, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(text, TEMPLATE_QUERY_SIZE, format, args);
    va_end(args);
    return Send(module, text, strict);
}

// The reply's number from its fourth character: hexadecimal or decimal.
DWORD Hex(const char* text) {
    return strlen(text) > 3 ? ParseHex32(text + 3) : 0;
}

long Decimal(const char* text) {
    return strlen(text) > 3 ? atol(text + 3) : -1;
}

// Reads a setting with `query` and writes `set` with the block's value when
// the module reports another.
int Setting(ModuleRecord* module, int strict, const char* query, long wanted,
            long (*read)(const char*), const char* set) {
    const int a = ParamOf(module)->Module_Address & 0xFF;
    char text[TEMPLATE_QUERY_SIZE];
    if (!Command(module, text, strict, query, a)) return 0;
    if (read(text) == wanted) return 1;
    return Command(module, text, strict, set, a, static_cast<int>(wanted));
}

long HexByte(const char* text) {
    BYTE b = 0;
    return ParseHexByteAt(text, strlen(text), 3, &b) ? b : -1;
}

long FilterState(const char* text) {
    return strlen(text) > 3 ? (text[3] == '1' ? 1 : text[3] == '0' ? 0 : -1) : -1;
}

int WidthsWithFiveDigits() {
    return FAMILY_XX01 || FAMILY_XX03 || FAMILY_XX06 || FAMILY_TELV;
}

int Configure(ModuleRecord* module, const TemplateType*, int) {
    ND6080_Param* p = ParamOf(module);
    const int a = p->Module_Address & 0xFF;
    const int counting = p->Freq_Mode == 0;
    char text[TEMPLATE_QUERY_SIZE];
    // "!AATTCCFF": the type code 0x50 + mode and the format byte, with 0x40
    // for checksums and 0x04 for the gate of one second.
    int format = (Checksum(module) ? 0x40 : 0) | (p->Freq_Gate == 1 ? 0x04 : 0);
    if (!Command(module, text, 1, "$%02X2", a)) return 0;
    BYTE code = 0;
    BYTE held = 0;
    if (!ParseHexByteAt(text, strlen(text), 3, &code) ||
        !ParseHexByteAt(text, strlen(text), 7, &held))
        return TemplateStepFailed(module, IDS_COMM_PROBLEM);
    if (code - 0x50 != p->Freq_Mode || held != format) {
        snprintf(text, sizeof text, "%%%02X%02X%02X%02X%02X", a, a, (p->Freq_Mode + 0x50) & 0xFF,
                 TemplatePortBaud(&type, module) + 3, format);
        if (!Send(module, text, 1, 7000)) return 0;
    }
    if (!Setting(module, 1, "$%02XB", p->Input, HexByte, "$%02XB%1X")) return 0;
    if (counting) {
        if (!Setting(module, 0, "$%02XA", p->Gate_Mode, HexByte, "$%02XA%1X")) return 0;
        if (!Setting(module, 0, "$%02X4", p->Dig_Filter, FilterState, "$%02X4%1X")) return 0;
        const char* low = WidthsWithFiveDigits() ? "$%02X0L%05d" : "$%02X0L%04d";
        const char* high = WidthsWithFiveDigits() ? "$%02X0H%05d" : "$%02X0H%04d";
        if (!Setting(module, 0, "$%02X0L", p->Width_Low, Decimal, low)) return 0;
        if (!Setting(module, 0, "$%02X0H", p->Width_High, Decimal, high)) return 0;
    }
    if (p->Input == 0) {
        if (!Setting(module, 0, "$%02X1L", p->Trig_Low, Decimal, "$%02X1L%02d")) return 0;
        if (!Setting(module, 0, "$%02X1H", p->Trig_High, Decimal, "$%02X1H%02d")) return 0;
    }
    if (!counting) return 1;
    for (int i = 0; i < 2; i++) {
        if (!p->Load_Value[i]) continue;
        if (!Command(module, text, 1, "@%02XG%1X", a, i)) return 0;
        if (Hex(text) != p->Counter_Value[i] &&
            !Command(module, text, 1, "@%02XP%1X%08lX", a, i,
                     static_cast<unsigned long>(p->Counter_Value[i])))
            return 0;
        if (!Command(module, text, 1, "$%02X6%1X", a, i)) return 0;
    }
    for (int i = 0; i < 2; i++) {
        if (p->Alarm_On[i]) {
            if (!Command(module, text, 1, i == 0 ? "@%02XRP" : "@%02XRA", a)) return 0;
            if (Hex(text) != p->Alarm_Value[i] &&
                !Command(module, text, 1, i == 0 ? "@%02XPA%08lX" : "@%02XSA%08lX", a,
                         static_cast<unsigned long>(p->Alarm_Value[i])))
                return 0;
        }
        if (!Command(module, text, 1, p->Alarm_On[i] ? "@%02XEA%1X" : "@%02XDA%1X", a, i)) return 0;
    }
    return 1;
}

int AddRequests(ModuleRecord* module, const TemplateType*) {
    ND6080_Param* p = ParamOf(module);
    ND6080_Runtime* rt = RuntimeOf(module);
    WORD mask = p->Channel_Mask & TemplateChannelBits(&type);
    memset(rt->Channel_Kind, ND6080_NO_KIND, sizeof rt->Channel_Kind);
    rt->Reading_Handle[0] = rt->Reading_Handle[1] = rt->DI_Handle = -1;
    for (int j = 0; j < static_cast<int>(module->uOutputs) && j < ND6080_KINDS; j++) {
        int c = TemplateChannelOfOutput(mask, j);
        if (c >= 0) rt->Channel_Kind[j] = static_cast<BYTE>(c);
    }
    int port = p->Com.Port_Number;
    int address = p->Module_Address;
    for (int i = 0; i < 2; i++) {
        if (!(mask & (1u << i))) continue;
        rt->Reading_Handle[i] =
            ScanAddCounterRead6080(port, address, i, &rt->Counter_Reading[i], Checksum(module));
        if (rt->Reading_Handle[i] < 0) return 0;
    }
    // Only the output channels read the outputs' state.
    if (mask & kOutputBits) {
        rt->DI_Handle = ScanAddDiRead6080(port, address, &rt->DO_State, Checksum(module));
        if (rt->DI_Handle < 0) return 0;
    }
    return 1;
}

int Finish(ModuleRecord* module, const TemplateType*, int model) {
    ND6080_Param* p = ParamOf(module);
    const int a = p->Module_Address & 0xFF;
    const int safe = p->Mess.Watchdog_Value & 0xFF;
    int done = 1;
    if (model == 6080 && FAMILY_ND) {
        char onSafe[4];
        char offTail[8];
        snprintf(onSafe, sizeof onSafe, "%02X", safe);
        snprintf(offTail, sizeof offTail, "00%02X", safe);
        done =
            ModuleWatchdog6000(&type, module, Checksum(module), a, &p->Mess, onSafe, 0, offTail, 0);
    } else if (model == 7080 && (FAMILY_XX03 || FAMILY_TELV)) {
        // The time set in the dialog, in units of 100 ms.
        done = ModuleWatchdog7000(&type, module, Checksum(module), a, &p->Mess,
                                  WATCHDOG7_CLEAR_FIRST, nullptr, 0, 0);
    }
    if (!done || p->Freq_Mode != 0) return done;
    char text[TEMPLATE_QUERY_SIZE];
    for (int i = 0; i < 2; i++) {
        if (!Command(module, text, 1, "$%02X5%1X0", a, i)) return 0;
        if (p->Start_Counter[i] && !Command(module, text, 1, "$%02X5%1X1", a, i)) return 0;
    }
    return 1;
}

// ---- Processing ----

int Kind(ModuleRecord* module, int output) {
    if (output < 0 || output >= ND6080_KINDS) return ND6080_NO_KIND;
    return RuntimeOf(module)->Channel_Kind[output];
}

int Request(ModuleRecord* module, int output) {
    ND6080_Runtime* rt = RuntimeOf(module);
    switch (Kind(module, output)) {
    case ND6080_COUNTER0: return rt->Reading_Handle[0];
    case ND6080_COUNTER1: return rt->Reading_Handle[1];
    case ND6080_OUTPUT0:
    case ND6080_OUTPUT1: return rt->DI_Handle;
    default: return -1;
    }
}

float Value(ModuleRecord* module, int output) {
    ND6080_Runtime* rt = RuntimeOf(module);
    switch (Kind(module, output)) {
    case ND6080_COUNTER0: return rt->Counter_Reading[0];
    case ND6080_COUNTER1: return rt->Counter_Reading[1];
    case ND6080_OUTPUT0: return rt->DO_State & 1 ? 5.0f : 0.0f;
    case ND6080_OUTPUT1: return rt->DO_State & 2 ? 5.0f : 0.0f;
    default: return 0.0f;
    }
}

// One output-state reply serves both output channels.
int SameReply(ModuleRecord* module, int output) {
    return Kind(module, output) == ND6080_OUTPUT0 && Kind(module, output + 1) == ND6080_OUTPUT1;
}

// The counters of a mask, one command each; the mask is then empty.
int CounterCommands(int a, WORD* mask, const char* format,
                    char commands[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1]) {
    int n = 0;
    for (int i = 0; i < 2; i++)
        if (*mask & (1u << i)) snprintf(commands[n++], ACTION_COMMAND_CHARS + 1, format, a, i);
    *mask = 0;
    return n;
}

int ActionCommands(ModuleRecord* module, int code,
                   char commands[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1]) {
    ND6080_Runtime* rt = RuntimeOf(module);
    int a = ParamOf(module)->Module_Address & 0xFF;
    switch (code) {
    case ND6080_START_COUNTER: return CounterCommands(a, &rt->Start_Mask, "$%02X5%1X1", commands);
    case ND6080_STOP_COUNTER: return CounterCommands(a, &rt->Stop_Mask, "$%02X5%1X0", commands);
    case ND6080_RESET_COUNTER: return CounterCommands(a, &rt->Reset_Mask, "$%02X6%1X", commands);
    case ND6080_SET_DOUT:
        snprintf(commands[0], ACTION_COMMAND_CHARS + 1, "@%02XDO%02X", a, rt->Pending_DO & 0xFF);
        return 1;
    default: return 0;
    }
}

int Idle(ModuleRecord* module, const TemplateType* type) {
    ND6080_Param* p = ParamOf(module);
    ND6080_Runtime* rt = RuntimeOf(module);
    const PollBlock poll = TemplatePoll(type, module);
    ActionTarget target = {p->Com.Port_Number, p->Module_Address, Checksum(module), &poll};
    return SendQueuedActions(module, &rt->Actions, &target, ActionCommands);
}

const TemplateChannelSteps kChannelSteps = {Request, Value, SameReply, Idle};

int PerformAction(ModuleRecord* module, int msg, int wParam, const ActionRequest* request) {
    if (msg != MODMSG_ACTION_PERFORM || !request) return 0;
    if (!ActionFind(kActions, ND6080_ACTIONS, request->iActionType)) return 1;
    const ND6080_Param* p = ParamOf(module);
    ND6080_Runtime* rt = RuntimeOf(module);
    WORD bits = static_cast<WORD>(wParam & 3);
    WORD* mask = nullptr;
    switch (request->iActionType) {
    case ND6080_START_COUNTER: mask = &rt->Start_Mask; break;
    case ND6080_STOP_COUNTER: mask = &rt->Stop_Mask; break;
    case ND6080_RESET_COUNTER: mask = &rt->Reset_Mask; break;
    default: break;
    }
    if (mask) {
        if (p->Freq_Mode != 0 || !ActionAccept(&rt->Actions, request->iActionType)) return 0;
        *mask = static_cast<WORD>(*mask | bits);
        return 1;
    }
    // The outputs whose counter drives them as its alarm are not the host's.
    for (int i = 0; i < 2; i++)
        if (p->Alarm_On[i]) bits = static_cast<WORD>(bits & ~(1u << i));
    if (bits == 0 || !ActionAccept(&rt->Actions, ND6080_SET_DOUT)) return 0;
    if (request->iActionType == ND6080_SET_DOUT)
        rt->Pending_DO = static_cast<WORD>(rt->Pending_DO | bits);
    else
        rt->Pending_DO = static_cast<WORD>(rt->Pending_DO & ~bits);
    return 1;
}

// ---- The setup dialog ----

const int kCounterControls[] = {IDC_ND6080_ALARM_ON, IDC_ND6080_ALARM_OFF, IDC_ND6080_ALARM_VALUE,
                                IDC_ND6080_START,    IDC_ND6080_LOAD,      IDC_ND6080_PRESET};
const int kModuleControls[] = {IDC_ND6080_MODE,       IDC_ND6080_GATE,       IDC_ND6080_INPUT,
                               IDC_ND6080_GATE_MODE,  IDC_ND6080_FILTER_OFF, IDC_ND6080_FILTER_ON,
                               IDC_ND6080_WIDTH_HIGH, IDC_ND6080_WIDTH_LOW,  IDC_ND6080_TRIG_HIGH,
                               IDC_ND6080_TRIG_LOW};

ND6080_Param* Work(void* work) {
    return static_cast<ND6080_Param*>(work);
}

void Enable(HWND dialog, int id, int on) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, on ? TRUE : FALSE);
}

void AddString(HWND dialog, int id, UINT textId) {
    char text[64];
    if (LoadStringA(hInstDriver, textId, text, sizeof text) <= 0) text[0] = 0;
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void Select(HWND dialog, int id, int entry) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

int Selected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// The gate box: its two times in frequency mode, "---" in counter mode.
void FillGateCombo(HWND dialog, void* work) {
    SendDlgItemMessageA(dialog, IDC_ND6080_GATE, CB_RESETCONTENT, 0, 0);
    int frequency = Work(work)->Freq_Mode == 1;
    const char* const texts[] = {"0.1 sec", "1.0 sec"};
    for (int i = 0; i < (frequency ? 2 : 1); i++)
        SendDlgItemMessageA(dialog, IDC_ND6080_GATE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(frequency ? texts[i] : "---"));
    Select(dialog, IDC_ND6080_GATE, frequency ? Work(work)->Freq_Gate : 0);
    Enable(dialog, IDC_ND6080_GATE, frequency && !bExperimentIsRunning);
}

void ShowInt(HWND dialog, int id, int value) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, id, text);
}

void ShowTenths(HWND dialog, int id, int tenths) {
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, tenths / 10.0, 1);
    SetDlgItemTextA(dialog, id, text);
}

void ShowCount(HWND dialog, int id, int on, DWORD value) {
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
    SetDlgItemTextA(dialog, id, on ? text : "---");
    Enable(dialog, id, on && !bExperimentIsRunning);
}

// The number typed into an edit.
double Typed(HWND dialog, int id) {
    char text[NUMBER_TEXT_SIZE];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return ParseNumber(text);
}

DWORD TypedCount(HWND dialog, int id) {
    double v = Typed(dialog, id);
    if (!(v > 0.0)) return 0;
    return v >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(v);
}

int Counter(int ch) {
    return ch == ND6080_COUNTER0 || ch == ND6080_COUNTER1;
}

void ShowChannel(HWND dialog, void* work, int ch) {
    ND6080_Param* p = Work(work);
    int counter = Counter(ch);
    for (int id : kCounterControls)
        Enable(dialog, id, counter && !bExperimentIsRunning);
    int load = counter && p->Load_Value[ch];
    int alarm = counter && p->Alarm_On[ch];
    CheckDlgButton(dialog, IDC_ND6080_LOAD, load ? BST_CHECKED : BST_UNCHECKED);
    ShowCount(dialog, IDC_ND6080_PRESET, load, load ? p->Counter_Value[ch] : 0);
    CheckDlgButton(dialog, IDC_ND6080_START,
                   counter && p->Start_Counter[ch] ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ND6080_ALARM_ON, alarm ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ND6080_ALARM_OFF, counter && !alarm ? BST_CHECKED : BST_UNCHECKED);
    ShowCount(dialog, IDC_ND6080_ALARM_VALUE, alarm, alarm ? p->Alarm_Value[ch] : 0);
}

// The counts typed for a counter channel, before another channel shows.
void StoreChannel(HWND dialog, void* work, int ch) {
    ND6080_Param* p = Work(work);
    if (!Counter(ch)) return;
    if (p->Load_Value[ch]) p->Counter_Value[ch] = TypedCount(dialog, IDC_ND6080_PRESET);
    if (p->Alarm_On[ch]) p->Alarm_Value[ch] = TypedCount(dialog, IDC_ND6080_ALARM_VALUE);
}

void InitDialog(HWND dialog, void* work) {
    ND6080_Param* p = Work(work);
    AddString(dialog, IDC_ND6080_MODE, IDS_ND6080_COUNTER);
    AddString(dialog, IDC_ND6080_MODE, IDS_ND6080_FREQUENCY);
    Select(dialog, IDC_ND6080_MODE, p->Freq_Mode);
    FillGateCombo(dialog, work);
    AddString(dialog, IDC_ND6080_INPUT, IDS_ND6080_TTL);
    AddString(dialog, IDC_ND6080_INPUT, IDS_ND6080_PHOTO);
    Select(dialog, IDC_ND6080_INPUT, p->Input);
    AddString(dialog, IDC_ND6080_GATE_MODE, IDS_ND6080_LOW_LEVEL);
    AddString(dialog, IDC_ND6080_GATE_MODE, IDS_ND6080_HIGH_LEVEL);
    AddString(dialog, IDC_ND6080_GATE_MODE, IDS_ND6080_GATE_OFF);
    Select(dialog, IDC_ND6080_GATE_MODE, p->Gate_Mode);
    CheckDlgButton(dialog, p->Dig_Filter ? IDC_ND6080_FILTER_ON : IDC_ND6080_FILTER_OFF,
                   BST_CHECKED);
    ShowInt(dialog, IDC_ND6080_WIDTH_HIGH, p->Width_High);
    ShowInt(dialog, IDC_ND6080_WIDTH_LOW, p->Width_Low);
    ShowTenths(dialog, IDC_ND6080_TRIG_HIGH, p->Trig_High);
    ShowTenths(dialog, IDC_ND6080_TRIG_LOW, p->Trig_Low);
    if (!FAMILY_ND && !FAMILY_XX03 && !FAMILY_TELV)
        ShowWindow(GetDlgItem(dialog, IDC_ALARM_WATCHDOG), SW_HIDE);
    if (bExperimentIsRunning)
        for (int id : kModuleControls)
            Enable(dialog, id, 0);
}

void ReadWidth(HWND dialog, int id, int* field) {
    char text[16];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    *field = atoi(text);
    ClampInt(field, 4, 1020);
    ShowInt(dialog, id, *field);
}

void ReadTenths(HWND dialog, int id, int* field) {
    double tenths = Typed(dialog, id) * 10.0;
    // Cut towards zero; far beyond the range only the bound matters.
    *field = tenths > 1000.0 ? 1000 : tenths < -1000.0 ? -1000 : static_cast<int>(tenths);
    ClampInt(field, 1, 50);
    ShowTenths(dialog, id, *field);
}

int DialogCommand(HWND dialog, void* work, int id, int code) {
    ND6080_Param* p = Work(work);
    int ch = CurrentChannel;
    int counter = Counter(ch);
    int selected = code == CBN_SELCHANGE ? Selected(dialog, id) : -1;
    switch (id) {
    case IDC_ND6080_MODE:
        if (selected == 0 || selected == 1) {
            p->Freq_Mode = selected;
            FillGateCombo(dialog, work);
        }
        return 1;
    case IDC_ND6080_GATE:
        if (p->Freq_Mode == 1 && (selected == 0 || selected == 1)) p->Freq_Gate = selected;
        return 1;
    case IDC_ND6080_INPUT:
        if (selected == 0 || selected == 1) p->Input = selected;
        return 1;
    case IDC_ND6080_GATE_MODE:
        if (selected >= 0 && selected <= 2) p->Gate_Mode = selected;
        return 1;
    case IDC_ND6080_FILTER_OFF:
    case IDC_ND6080_FILTER_ON:
        if (code == BN_CLICKED) p->Dig_Filter = id == IDC_ND6080_FILTER_ON;
        return 1;
    case IDC_ND6080_WIDTH_HIGH:
    case IDC_ND6080_WIDTH_LOW:
        if (code == EN_KILLFOCUS)
            ReadWidth(dialog, id, id == IDC_ND6080_WIDTH_HIGH ? &p->Width_High : &p->Width_Low);
        return 1;
    case IDC_ND6080_TRIG_HIGH:
    case IDC_ND6080_TRIG_LOW:
        if (code == EN_KILLFOCUS)
            ReadTenths(dialog, id, id == IDC_ND6080_TRIG_HIGH ? &p->Trig_High : &p->Trig_Low);
        return 1;
    case IDC_ND6080_LOAD:
        if (code == BN_CLICKED && counter) {
            p->Load_Value[ch] = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
            ShowCount(dialog, IDC_ND6080_PRESET, p->Load_Value[ch], p->Counter_Value[ch]);
        }
        return 1;
    case IDC_ND6080_PRESET:
        if (code == EN_KILLFOCUS && counter && p->Load_Value[ch]) {
            p->Counter_Value[ch] = TypedCount(dialog, id);
            ShowCount(dialog, id, 1, p->Counter_Value[ch]);
        }
        return 1;
    case IDC_ND6080_START:
        if (code == BN_CLICKED && counter)
            p->Start_Counter[ch] = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        return 1;
    case IDC_ND6080_ALARM_ON:
    case IDC_ND6080_ALARM_OFF:
        if (code == BN_CLICKED && counter) {
            StoreChannel(dialog, work, ch);
            p->Alarm_On[ch] = id == IDC_ND6080_ALARM_ON;
            ShowChannel(dialog, work, ch);
        }
        return 1;
    case IDC_ND6080_ALARM_VALUE:
        if (code == EN_KILLFOCUS && counter && p->Alarm_On[ch])
            p->Alarm_Value[ch] = TypedCount(dialog, id);
        return 1;
    case IDC_ALARM_WATCHDOG:
        if (code == BN_CLICKED) WatchdogDialog(&p->Mess, 2);
        return 1;
    default: return 0;
    }
}

constexpr SetupDialogType dialogType = {
    &type,
    sizeof(ND6080_Param),
    ND6080_KINDS, // channel buttons
    1145,         // help context
    // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, "XX01-4080", "YY04 PAD-CNT2", "XX03-7080", "ZAV-6080", "YY06-8080", "ZEMX-7080"},
    {0, 0, 0, 0}, // the type locks its own controls
    InitDialog,
    DialogCommand,
    StoreChannel,
    ShowChannel,
};

} // namespace

static int ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    const ActionRequest* request = reinterpret_cast<const ActionRequest*>(lParam);
    switch (msg) {
    case MODMSG_CREATE:
        // A new block has the first counter.
        module->uOutputs = 1;
        module->uInputs = 0;
        return TemplateCreateDefaults(&type, module);
    case MODMSG_AFTER_LOAD: {
        int answer = TemplateAfterLoad(&type, module);
        LimitSettings(ParamOf(module));
        ClearActions(module);
        RuntimeOf(module)->Frame.Uses_Checksum = 0;
        return answer;
    }
    case MODMSG_START:
        ClearPending(module);
        return TemplateStartMeasurementWith(&type, module, &startSteps);
    case MODMSG_ACTION_SUPPORTED:
    case MODMSG_ACTION119: return ActionQuery(kActions, ND6080_ACTIONS, msg, request);
    case MODMSG_ACTION_PERFORM:
    case MODMSG_ACTION120:
    case MODMSG_ACTION121:
    case MODMSG_ACTION122:
    case MODMSG_ACTION123: return PerformAction(module, msg, wParam, request);
    case MODMSG_ACTION_DESCRIBE:
        return ActionDescribe(kActions, ND6080_ACTIONS, reinterpret_cast<ActionInfo*>(lParam));
    case MODMSG_OUTPUT_NAMES:
        TemplateOutputNames(&type, module);
        return PerformDefaultAction(module, msg, wParam, lParam);
    case MODMSG_QUERY172: return 1;
    case MODMSG_GET_UNIT:
        if (wParam < 0 || wParam >= ND6080_KINDS) return 0;
        return static_cast<int>(reinterpret_cast<uintptr_t>(ParamOf(module)->Unit[wParam]));
    default: return TemplateClassProc(&type, module, msg, wParam, lParam);
    }
}

BLOCK_TYPE_PROCS(ND6080, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 ClassProc(module, msg, wParam, lParam),
                 TemplateProcessChannels(&type, module, &kChannelSteps))
