// The steps of the analog input types with alarm outputs.
#include "frame/alarminput.h"

#include "frame/chanbar.h"
#include "frame/fields.h"
#include "frame/lifecycle.h"
#include "frame/loops.h"
#include "frame/modwatchdog.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "resource.h"
#include "serial/scan.h"
#include "serial/sercomm.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <type_traits>

// clang-format off
const ParamSchemaEntry ND6011_ParamSchema[30] = {
    TEMPLATE_ROW(ND6011_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6011_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6011_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6011_Param, "Range", "int", Range),
    TEMPLATE_ROW(ND6011_Param, "Alarm_On", "BOOL", Alarm_On),
    TEMPLATE_ROW(ND6011_Param, "Alarm_Latched", "BOOL", Alarm_Latched),
    TEMPLATE_ROW(ND6011_Param, "Alarm_High", "double", Alarm_High),
    TEMPLATE_ROW(ND6011_Param, "Alarm_Low", "double", Alarm_Low),
    TEMPLATE_ROW(ND6011_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6011_Param, Com),
    TEMPLATE_MESS_ROWS(ND6011_Param, Mess),
    TEMPLATE_ROW(ND6011_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6011_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

namespace {

const char* const kNames[ND6011_KINDS] = {"Analog In", "Alarm Low / DO0", "Alarm High / DO1",
                                          "Digital In", "Counter"};
const WORD kCounterBit = 1u << ND6011_COUNTER;
const WORD kDigitalBits =
    (1u << ND6011_ALARM_LOW) | (1u << ND6011_ALARM_HIGH) | (1u << ND6011_DIGITAL_IN);
const WORD kAllBits = (1u << ND6011_KINDS) - 1;

ND6011_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6011_Param*>(module->pParam);
}

ND6011_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6011_Runtime*>(module->pRuntime);
}

// What a new or loaded block starts with in its runtime record.
void ResetRuntime(ModuleRecord* module) {
    ND6011_Runtime* rt = RuntimeOf(module);
    ActionQueueClear(&rt->Actions);
    rt->Pending_DO = 0;
    rt->Frame.Uses_Checksum = 0;
}

int Send(const AlarmInputType* alarm, ModuleRecord* module, char* text, int waitMs) {
    return TemplateSendAndExpect(&alarm->type, module, text, '!',
                                 RuntimeOf(module)->Frame.Uses_Checksum, waitMs);
}

// A reply too short for the character the step reads is no reply.
int ReplyHolds(ModuleRecord* module, const char* text, size_t characters) {
    if (strlen(text) >= characters) return 1;
    return TemplateStepFailed(module, IDS_COMM_PROBLEM);
}

// The module's high or low alarm limit, as the block holds it;
// -100000.0 when it does not say.
double ReadAlarmLimit(ModuleRecord* module, char which) {
    ND6011_Param* p = ParamOf(module);
    char text[30];
    snprintf(text, sizeof text, "@%02XR%c", p->Module_Address & 0xFF, which);
    int result =
        QueryCom(p->Com.Port_Number, text, sizeof text, RuntimeOf(module)->Frame.Uses_Checksum, 0);
    if (result != COM_OK || text[0] != '!' || strlen(text) < 4) return -100000.0;
    return ParseNumber(text + 3);
}

// The limit as the module takes it, as the block holds it: with the range's
// format in the families "XX03" and "TELV", else FormatValue. 0 when the
// text does not fit `size`.
int FormatAlarmLimit(const AlarmRange* range, double limit, char* text, size_t size) {
    int n = FAMILY_XX03 || FAMILY_TELV ? FormatDouble(text, size, range->format, limit)
                                       : snprintf(text, size, "%s", FormatValue(limit));
    return n >= 0 && n < static_cast<int>(size);
}

// The command of the high ('H') or low limit into `text`; 0 for a limit that
// is no number or whose command does not fit the query: cut short, it would
// tell the module another limit.
int LimitCommand(ModuleRecord* module, const AlarmRange* range, char which, double limit,
                 char* text, size_t size) {
    char value[NUMBER_TEXT_SIZE];
    if (!isfinite(limit) || !FormatAlarmLimit(range, limit, value, sizeof value)) return 0;
    int n = snprintf(text, size, "@%02X%s%s", ParamOf(module)->Module_Address & 0xFF,
                     which == 'H' ? "HI" : "LO", value);
    return n >= 0 && n < static_cast<int>(size);
}

// Reads a limit and writes the block's when the module's differs.
int ConfigureLimit(const AlarmInputType* alarm, ModuleRecord* module, const AlarmRange* range,
                   char which, double limit) {
    double held = ReadAlarmLimit(module, which);
    if (NearlyEqual(limit, held, 0.00001)) return 1;
    char text[TEMPLATE_QUERY_SIZE];
    if (!LimitCommand(module, range, which, limit, text, sizeof text))
        return TemplateStepFailed(module, IDS_BAD_ALARM);
    return Send(alarm, module, text, 2000);
}

int Kind(ModuleRecord* module, int output) {
    if (output < 0 || output >= ND6011_KINDS) return ND6011_NO_KIND;
    return RuntimeOf(module)->Channel_Kind[output];
}

int Request(ModuleRecord* module, int output) {
    ND6011_Runtime* rt = RuntimeOf(module);
    switch (Kind(module, output)) {
    case ND6011_ANALOG: return rt->AI_Handle;
    case ND6011_ALARM_LOW:
    case ND6011_ALARM_HIGH:
    case ND6011_DIGITAL_IN: return rt->DIO_Handle;
    case ND6011_COUNTER: return rt->Counter_Handle;
    default: return -1;
    }
}

float Bit(WORD image, int bit) {
    return (image >> bit) & 1 ? 5.0f : 0.0f;
}

float Value(ModuleRecord* module, int output) {
    ND6011_Runtime* rt = RuntimeOf(module);
    switch (Kind(module, output)) {
    case ND6011_ANALOG: return rt->AI_Value;
    case ND6011_ALARM_LOW: return Bit(rt->DIO_State, 8);
    case ND6011_ALARM_HIGH: return Bit(rt->DIO_State, 9);
    case ND6011_DIGITAL_IN: return Bit(rt->DIO_State, 0);
    case ND6011_COUNTER: return static_cast<float>(static_cast<WORD>(rt->Event_Count));
    default: return 0.0f;
    }
}

// One digital-state reply serves the alarm and digital-input outputs that
// follow each other.
int SameReply(ModuleRecord* module, int output) {
    int kind = Kind(module, output);
    int next = Kind(module, output + 1);
    return (kind == ND6011_ALARM_LOW || kind == ND6011_ALARM_HIGH) &&
           (next == ND6011_ALARM_HIGH || next == ND6011_DIGITAL_IN);
}

int ActionCommands(ModuleRecord* module, int code,
                   char commands[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1]) {
    const size_t size = ACTION_COMMAND_CHARS + 1;
    int a = ParamOf(module)->Module_Address & 0xFF;
    switch (code) {
    case ND6011_RESET_COUNTER: snprintf(commands[0], size, "@%02XCE", a); return 1;
    case ND6011_RESET_ALARM: snprintf(commands[0], size, "@%02XCA", a); return 1;
    case ND6011_SET_DOUT:
        snprintf(commands[0], size, "@%02XDO%02X", a, RuntimeOf(module)->Pending_DO & 0xFF);
        return 1;
    default: return 0;
    }
}

int Idle(ModuleRecord* module, const TemplateType* type) {
    ND6011_Param* p = ParamOf(module);
    ND6011_Runtime* rt = RuntimeOf(module);
    const PollBlock poll = TemplatePoll(type, module);
    ActionTarget target = {p->Com.Port_Number, p->Module_Address, rt->Frame.Uses_Checksum, &poll};
    return SendQueuedActions(module, &rt->Actions, &target, ActionCommands);
}

const TemplateChannelSteps kChannelSteps = {Request, Value, SameReply, Idle};

int PerformAction(const AlarmInputType* alarm, ModuleRecord* module, int msg, int wParam,
                  const ActionRequest* request) {
    if (msg != MODMSG_ACTION_PERFORM || !request) return 0;
    if (!ActionFind(alarm->actions, ND6011_ACTIONS, request->iActionType)) return 1;
    const ND6011_Param* p = ParamOf(module);
    ND6011_Runtime* rt = RuntimeOf(module);
    WORD bits = static_cast<WORD>(wParam & 3);
    switch (request->iActionType) {
    case ND6011_RESET_COUNTER:
        if (!(p->Channel_Mask & kCounterBit)) return 0;
        return ActionAccept(&rt->Actions, ND6011_RESET_COUNTER);
    case ND6011_RESET_ALARM:
        if (!p->Alarm_On || !p->Alarm_Latched) return 0;
        return ActionAccept(&rt->Actions, ND6011_RESET_ALARM);
    case ND6011_SET_DOUT:
    case ND6011_RESET_DOUT:
        // Both write the whole output value built so far.
        if (p->Alarm_On || !ActionAccept(&rt->Actions, ND6011_SET_DOUT)) return 0;
        if (request->iActionType == ND6011_SET_DOUT)
            rt->Pending_DO = static_cast<WORD>(rt->Pending_DO | bits);
        else
            rt->Pending_DO = static_cast<WORD>(rt->Pending_DO & ~bits);
        return 1;
    default: return 1;
    }
}

// The dialog.
const AlarmRange* RangeOfWork(const AlarmInputType* alarm, void* work) {
    return AlarmInputRange(alarm, static_cast<ND6011_Param*>(work)->Range);
}

void ShowAlarmUnits(const AlarmInputType* alarm, HWND dialog, void* work) {
    const AlarmRange* range = RangeOfWork(alarm, work);
    int on = static_cast<ND6011_Param*>(work)->Alarm_On;
    AlarmGroupShowUnits(dialog, on && range ? range->unit : "");
}

void ShowAlarmGroup(const AlarmInputType* alarm, HWND dialog, void* work) {
    ND6011_Param* p = static_cast<ND6011_Param*>(work);
    const AlarmRange* range = RangeOfWork(alarm, work);
    AlarmGroupShow(dialog, p->Alarm_On, p->Alarm_Latched, &p->Alarm_High, &p->Alarm_Low,
                   range ? &range->bounds : nullptr, range ? range->scale : 1.0);
    // The alarm settings are the module's: an experiment locks them.
    if (bExperimentIsRunning) AlarmGroupLock(dialog);
}

void RangeChosen(const AlarmInputType* alarm, HWND dialog, void* work) {
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_ND6011_RANGE, CB_GETCURSEL, 0, 0);
    if (entry < 0 || entry >= alarm->rangeCount) return;
    const AlarmRange& range = alarm->ranges[entry];
    ND6011_Param* p = static_cast<ND6011_Param*>(work);
    // What was typed for the current channel stays; the analog input takes
    // the unit of its new range.
    SetupStoreChannelFields(dialog, CurrentChannel);
    p->Range = range.code;
    snprintf(p->Unit[ND6011_ANALOG], sizeof p->Unit[0], "%s", range.unit);
    SetupShowChannelFields(dialog, CurrentChannel);
    ShowAlarmUnits(alarm, dialog, work);
}

void ReadLimit(const AlarmInputType* alarm, HWND dialog, void* work, int id) {
    ND6011_Param* p = static_cast<ND6011_Param*>(work);
    // A disabled limit shows no number.
    if (!p->Alarm_On) return;
    const AlarmRange* range = RangeOfWork(alarm, work);
    double value = AlarmGroupReadLimit(dialog, id, range ? range->scale : 1.0);
    if (id == IDC_ALARM_HIGH)
        p->Alarm_High = value;
    else
        p->Alarm_Low = value;
    ShowAlarmGroup(alarm, dialog, work);
}

void Disable(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, FALSE);
}

} // namespace

static_assert(std::is_standard_layout<AlarmInputType>::value, "a plain record");
static_assert(offsetof(AlarmInputType, type) == 0, "the template's record first");

const AlarmInputType* AlarmInputOf(const TemplateType* type) {
    return reinterpret_cast<const AlarmInputType*>(type);
}

const AlarmRange* AlarmInputRange(const AlarmInputType* alarm, int code) {
    for (int i = 0; i < alarm->rangeCount; i++)
        if (alarm->ranges[i].code == code) return &alarm->ranges[i];
    return nullptr;
}

void AlarmInputDefaults(const AlarmInputType* alarm, ModuleRecord* module) {
    ND6011_Param* p = ParamOf(module);
    p->Range = alarm->defaultRange;
    p->Alarm_On = 0;
    p->Alarm_Latched = 0;
    p->Alarm_High = 0.0;
    p->Alarm_Low = 0.0;
    const AlarmRange* range = AlarmInputRange(alarm, p->Range);
    for (int c = 0; c < ND6011_KINDS; c++) {
        snprintf(p->Channel_Name[c], sizeof p->Channel_Name[c], "%s", kNames[c]);
        const char* unit = c == ND6011_ANALOG && range ? range->unit
                           : c == ND6011_COUNTER       ? ""
                                                       : "V";
        snprintf(p->Unit[c], sizeof p->Unit[c], "%s", unit);
        p->Copy_Channel_Name[c] = 0;
    }
    ResetRuntime(module);
}

int AlarmInputConfigure(ModuleRecord* module, const TemplateType* type, int) {
    const AlarmInputType* alarm = AlarmInputOf(type);
    ND6011_Param* p = ParamOf(module);
    // A range from a file that the type does not have is not written into
    // the module.
    const AlarmRange* range = AlarmInputRange(alarm, p->Range);
    if (!range) return TemplateStepFailed(module, IDS_ND6018_UNKNOWN_RANGE);
    // The limits go out as they are held; one the module cannot be told is
    // refused before anything is written.
    char text[TEMPLATE_QUERY_SIZE];
    if (p->Alarm_On && (!LimitCommand(module, range, 'H', p->Alarm_High, text, sizeof text) ||
                        !LimitCommand(module, range, 'L', p->Alarm_Low, text, sizeof text)))
        return TemplateStepFailed(module, IDS_BAD_ALARM);
    int checksum = RuntimeOf(module)->Frame.Uses_Checksum;
    const int a = p->Module_Address & 0xFF;
    if (FAMILY_XX03 || (FAMILY_TELV && alarm->preambleInTelv)) {
        snprintf(text, sizeof text, "~%02X1", a);
        if (!Send(alarm, module, text, 0)) return 0;
    }
    // "!AATTCCFF": the type code after the address.
    snprintf(text, sizeof text, "$%02X2", a);
    if (!Send(alarm, module, text, 0)) return 0;
    BYTE code = 0;
    if (!ParseHexByteAt(text, strlen(text), 3, &code))
        return TemplateStepFailed(module, IDS_COMM_PROBLEM);
    if (code != (p->Range & 0xFF)) {
        snprintf(text, sizeof text, "%%%02X%02X%02X%02X%02X", a, a, p->Range & 0xFF,
                 TemplatePortBaud(&alarm->type, module) + 3, checksum ? 0x40 : 0);
        if (!Send(alarm, module, text, 7000)) return 0;
    }
    // "!AAMOOII": the alarm mode, '0' off, '1' momentary, '2' latched.
    snprintf(text, sizeof text, "@%02XDI", a);
    if (!Send(alarm, module, text, 0) || !ReplyHolds(module, text, 4)) return 0;
    char mode = text[3];
    if (!p->Alarm_On) {
        if (mode == '0') return 1;
        snprintf(text, sizeof text, "@%02XDA", a);
        return Send(alarm, module, text, 2000);
    }
    if (mode != (p->Alarm_Latched ? '2' : '1')) {
        snprintf(text, sizeof text, "@%02XEA%c", a, p->Alarm_Latched ? 'L' : 'M');
        if (!Send(alarm, module, text, 2000)) return 0;
    }
    if (!ConfigureLimit(alarm, module, range, 'H', p->Alarm_High)) return 0;
    if (!ConfigureLimit(alarm, module, range, 'L', p->Alarm_Low)) return 0;
    snprintf(text, sizeof text, "@%02XCA", a);
    return Send(alarm, module, text, 0);
}

int AlarmInputAddRequests(ModuleRecord* module, const TemplateType*) {
    ND6011_Param* p = ParamOf(module);
    ND6011_Runtime* rt = RuntimeOf(module);
    WORD mask = p->Channel_Mask & kAllBits;
    memset(rt->Channel_Kind, ND6011_NO_KIND, sizeof rt->Channel_Kind);
    rt->AI_Handle = rt->DIO_Handle = rt->Counter_Handle = -1;
    int outputs = static_cast<int>(module->uOutputs);
    for (int j = 0; j < outputs && j < ND6011_KINDS; j++) {
        int c = TemplateChannelOfOutput(mask, j);
        if (c >= 0) rt->Channel_Kind[j] = static_cast<BYTE>(c);
    }
    int port = p->Com.Port_Number;
    int address = p->Module_Address;
    int checksum = rt->Frame.Uses_Checksum;
    if (mask & (1u << ND6011_ANALOG)) {
        rt->AI_Handle = ScanAddAiRead(port, address, -1, &rt->AI_Value, checksum);
        if (rt->AI_Handle < 0) return 0;
    }
    if (mask & kDigitalBits) {
        rt->DIO_Handle =
            ScanAddDioRead(port, address, reinterpret_cast<BYTE*>(&rt->DIO_State), checksum);
        if (rt->DIO_Handle < 0) return 0;
    }
    if (mask & kCounterBit) {
        rt->Counter_Handle = ScanAddEventRead(port, address, &rt->Event_Count, checksum);
        if (rt->Counter_Handle < 0) return 0;
    }
    return 1;
}

int AlarmInputFinish(ModuleRecord* module, const TemplateType* type, int model) {
    const AlarmInputType* alarm = AlarmInputOf(type);
    ND6011_Param* p = ParamOf(module);
    int checksum = RuntimeOf(module)->Frame.Uses_Checksum;
    const int a = p->Module_Address & 0xFF;
    char text[TEMPLATE_QUERY_SIZE];
    // The counter starts from 0.
    if (p->Channel_Mask & kCounterBit) {
        snprintf(text, sizeof text, "@%02XCE", a);
        if (!Send(alarm, module, text, 0)) return 0;
    }
    const int safe = p->Mess.Watchdog_Value & 0xFF;
    if (model != 0 && model == alarm->model6000) {
        char onSafe[4];
        snprintf(onSafe, sizeof onSafe, "%02X", safe);
        return ModuleWatchdog6000(&alarm->type, module, checksum, a, &p->Mess, onSafe, 0, "0000",
                                  0);
    }
    if ((model != 0 && model == alarm->model7000) || (alarm->telvWatchdog7000 && FAMILY_TELV)) {
        WatchdogStep step;
        WatchdogStepFormat(&step, '!', 0, "~%02X5%02X%02X", a, safe, safe);
        return ModuleWatchdog7000(&alarm->type, module, checksum, a, &p->Mess, 0, &step, 1, 10);
    }
    return 1;
}

int AlarmInputClassProc(const AlarmInputType* alarm, ModuleRecord* module, int msg, int wParam,
                        int lParam) {
    const ActionRequest* request = reinterpret_cast<const ActionRequest*>(lParam);
    switch (msg) {
    case MODMSG_AFTER_LOAD: {
        // Nothing queued or half-known from before survives a load; the
        // limits stay as they were saved (the dialog holds them within their
        // range).
        int answer = TemplateAfterLoad(&alarm->type, module);
        ResetRuntime(module);
        return answer;
    }
    case MODMSG_START:
        // Actions queued before the experiment go out at its first idle turn.
        return TemplateStartMeasurementWith(&alarm->type, module, &alarm->start);
    case MODMSG_ACTION_SUPPORTED:
    case MODMSG_ACTION119: return ActionQuery(alarm->actions, ND6011_ACTIONS, msg, request);
    case MODMSG_ACTION_PERFORM:
    case MODMSG_ACTION120:
    case MODMSG_ACTION121:
    case MODMSG_ACTION122:
    case MODMSG_ACTION123: return PerformAction(alarm, module, msg, wParam, request);
    case MODMSG_ACTION_DESCRIBE:
        return ActionDescribe(alarm->actions, ND6011_ACTIONS,
                              reinterpret_cast<ActionInfo*>(lParam));
    default: return TemplateClassProc(&alarm->type, module, msg, wParam, lParam);
    }
}

int AlarmInputProcess(const AlarmInputType* alarm, ModuleRecord* module) {
    return TemplateProcessChannels(&alarm->type, module, &kChannelSteps);
}

void AlarmInputInitDialog(HWND dialog, void* work) {
    const TemplateType* type = SetupDialogTemplateType();
    if (!type || !work) return;
    const AlarmInputType* alarm = AlarmInputOf(type);
    ND6011_Param* p = static_cast<ND6011_Param*>(work);
    int selected = -1;
    for (int i = 0; i < alarm->rangeCount; i++) {
        SendDlgItemMessageA(dialog, IDC_ND6011_RANGE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(alarm->ranges[i].text));
        if (alarm->ranges[i].code == p->Range) selected = i;
    }
    SendDlgItemMessageA(dialog, IDC_ND6011_RANGE, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    AlarmGroupShowOn(dialog, p->Alarm_On);
    ShowAlarmUnits(alarm, dialog, work);
    ShowAlarmGroup(alarm, dialog, work);
    if (FAMILY_XX01) ShowWindow(GetDlgItem(dialog, IDC_ALARM_WATCHDOG), SW_HIDE);
    if (bExperimentIsRunning) {
        Disable(dialog, IDC_ND6011_RANGE);
        AlarmGroupLock(dialog);
    }
}

int AlarmInputCommand(HWND dialog, void* work, int id, int code) {
    const TemplateType* type = SetupDialogTemplateType();
    if (!type || !work) return 0;
    const AlarmInputType* alarm = AlarmInputOf(type);
    ND6011_Param* p = static_cast<ND6011_Param*>(work);
    switch (id) {
    case IDC_ND6011_RANGE:
        if (code == CBN_SELCHANGE) RangeChosen(alarm, dialog, work);
        return 1;
    case IDC_ALARM_ON:
    case IDC_ALARM_OFF:
        if (code != BN_CLICKED) return 1;
        p->Alarm_On = id == IDC_ALARM_ON;
        ShowAlarmUnits(alarm, dialog, work);
        ShowAlarmGroup(alarm, dialog, work);
        return 1;
    case IDC_ALARM_MOMENTARY:
    case IDC_ALARM_LATCH:
        if (code == BN_CLICKED) p->Alarm_Latched = id == IDC_ALARM_LATCH;
        return 1;
    case IDC_ALARM_HIGH:
    case IDC_ALARM_LOW:
        if (code == EN_KILLFOCUS) ReadLimit(alarm, dialog, work, id);
        return 1;
    case IDC_ALARM_WATCHDOG:
        if (code == BN_CLICKED) WatchdogDialog(&p->Mess, 2);
        return 1;
    case IDOK:
        // With the alarm on, the limits are held within their range.
        ShowAlarmGroup(alarm, dialog, work);
        return 0;
    default: return 0;
    }
}
