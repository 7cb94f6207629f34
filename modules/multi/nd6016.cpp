// Block type ND6016: strain-gauge module with two analog inputs, an
// excitation output, four digital outputs, a digital input and an event
// counter, presented as up to three linked blocks, one per function.
#include "modules/multi/nd6016.h"

#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/multiblock.h"
#include "frame/moduletest.h"
#include "frame/multitask.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/scan.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6016_ParamSchema[ND6016_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6016_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6016_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6016_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6016_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6016_Param, Com),
    TEMPLATE_MESS_ROWS(ND6016_Param, Mess),
    TEMPLATE_ROW(ND6016_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6016_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6016_Param, "IsMaster", "BOOL", IsMaster),
    TEMPLATE_ROW(ND6016_Param, "Module_Type", "int", Module_Type),
    TEMPLATE_ROW(ND6016_Param, "Port_Mask", "int", Port_Mask),
    TEMPLATE_ROW(ND6016_Param, "IsInput", "BOOL", IsInput),
    TEMPLATE_ROW(ND6016_Param, "MasterID", "int", MasterID),
    TEMPLATE_ROW(ND6016_Param, "InputHardwareChannel", "int", InputHardwareChannel),
    TEMPLATE_ROW(ND6016_Param, "Excitation", "float", Excitation),
    TEMPLATE_ROW(ND6016_Param, "ExcitationVariable", "short", ExcitationVariable),
    TEMPLATE_ROW(ND6016_Param, "Range", "int", Range),
    TEMPLATE_ROW(ND6016_Param, "ConfigInput", "int", ConfigInput),
    TEMPLATE_ROW(ND6016_Param, "PortAssigned", "int", PortAssigned),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

MultiBlockTable ND6016_BlockTable = {{}, 0, MULTI_FIRST_MASTER_ID};

namespace {

const int kModels[] = {MODEL_ENDING_IN(16, 2)}; // every model number ending in 16, any series
// The input ranges: their texts, the module's type codes and units.
const int kRanges = 7;
const AnalogChoice kRangeTable[kRanges] = {
    {"+/- 15 mV", 0, 0, 0x00, "mV"},  {"+/- 50 mV", 0, 1, 0x01, "mV"},
    {"+/- 100 mV", 0, 2, 0x02, "mV"}, {"+/- 500 mV", 0, 3, 0x03, "mV"},
    {"+/- 1 V", 0, 4, 0x04, "V"},     {"+/- 2.5 V", 0, 5, 0x05, "V"},
    {"+/- 20 mA", 0, 6, 0x06, "mA"},
};
const int kDefaultRange = 5;
const int kInputs = 2;
// The longest excitation text the dialog reads.
const int kExcitationChars = 20;

ND6016_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6016_Param*>(module->pParam);
}

ND6016_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6016_Runtime*>(module->pRuntime);
}

constexpr TemplateType frame = MultiTemplateType({
    .type = "ND6016",
    .form = TEMPLATE_NO_EXCHANGE,
    .model = 6016,
    .models = kModels,
    .restartNote = "Restart 7016",
    .schema = ND6016_ParamSchema,
    // A module of another model fails the start alone.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});
constexpr TemplateType inputFrame = MultiTemplateForm(frame, TEMPLATE_INPUT_FORM);
constexpr TemplateType outputFrame = MultiTemplateForm(frame, TEMPLATE_OUTPUT_FORM);

int RunPortDialog(const MultiBlockType* type, MultiChoice* choice);
void Defaults(ModuleRecord* module);
void LimitLoaded(ModuleRecord* module);

// The channels of a block by its function: the two analog inputs, four
// outputs, the digital input and the counter.
int Channels(int bits, int) {
    return (bits & MULTI_ANALOG_INPUT ? kInputs : 0) + (bits & MULTI_DIGITAL_OUTPUT ? 4 : 0) +
           (bits & MULTI_DIGITAL_INPUT ? 2 : 0);
}

constexpr MultiBlockType multi = {
    &frame,
    &ND6016_BlockTable,
    MULTI_FIELDS_OF(ND6016_Param),
    7,
    "Max. number of 6016 modules supported by the driver reached",
    "Deleting 6016 module",
    RunPortDialog,
    Defaults,
    LimitLoaded,
    Channels,
};

const MultiFunctionDialog portDialog = {"DLG_PORT_6016", IDC_PORT6016_FIRST, 1116};

int RunPortDialog(const MultiBlockType* type, MultiChoice* choice) {
    return MultiRunFunctionDialog(type, &portDialog, choice);
}

const MultiTaskType* Tasks();

void Defaults(ModuleRecord* module) {
    MultiTaskDefaults(Tasks(), module);
    ND6016_Param* p = ParamOf(module);
    if (p->Module_Type != 0) return;
    p->InputHardwareChannel = 0;
    p->Excitation = 0.0f;
    p->Range = kDefaultRange;
}

// A record from a file: a function its bits and type agree on, a range and
// input the type has, an excitation within 0 .. 10 V.
void LimitLoaded(ModuleRecord* module) {
    MultiTaskLimitFunction(Tasks(), module);
    ND6016_Param* p = ParamOf(module);
    ClampInt(&p->Range, 0, kRanges - 1);
    ClampInt(&p->InputHardwareChannel, 0, kInputs - 1);
    p->Excitation = MultiLimitExcitation(p->Excitation);
    if (p->ExcitationVariable < 0) p->ExcitationVariable = 0;
}

// The inputs of the analog-input block: the channel of its n-th read.
int InputChannels(ModuleRecord* block, int* channels) {
    WORD mask = ParamOf(block)->Channel_Mask;
    int n = 0;
    for (int c = 0; c < kInputs; c++)
        if (mask & (1u << c)) channels[n++] = c;
    return n;
}

// ---- The master's start ----

int Send(ModuleRecord* master, const char* format, ...) __attribute__((format(printf, 2, 3)));
int Send(ModuleRecord* master, const char* format, ...) {
    char text[TEMPLATE_QUERY_SIZE];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return TemplateSendAndExpect(&frame, master, text, '!',
                                 RuntimeOf(master)->Head.Frame.Uses_Checksum, 0);
}

// The module takes its range, channel mode and excitation from the
// analog-input block of the hardware module, master or slave.
int Configure(ModuleRecord* master, const TemplateType*, int) {
    ND6016_Runtime* rt = RuntimeOf(master);
    ModuleRecord* analog = MultiBlockServing(&multi, master, MULTI_ANALOG_INPUT);
    if (!analog) return 1;
    const ND6016_Param* a = ParamOf(analog);
    int range = a->Range;
    ClampInt(&range, 0, kRanges - 1);
    if (!AnalogConfigureModuleType(&frame, master, kRangeTable[range].moduleCode)) return 0;
    const int address = ParamOf(master)->Module_Address & 0xFF;
    // One input in use: the module reads it alone and answers "#AA" with it
    // (the block's reads go out without a channel number, AddRequests).
    switch (a->Channel_Mask & 3) {
    case 1:
        if (!Send(master, "$%02X30", address)) return 0;
        break;
    case 2:
        if (!Send(master, "$%02X31", address)) return 0;
        break;
    case 3:
        if (!Send(master, "$%02X332", address)) return 0;
        break;
    default: break;
    }
    // The module holds the fixed excitation from here on; a variable's value
    // goes out when it differs.
    float excitation = MultiLimitExcitation(a->Excitation);
    for (int i = 0; i < 2; i++)
        if (!Send(master, "$%02X7%+07.3f", address, static_cast<double>(excitation))) return 0;
    rt->Excitation_Sent = excitation;
    return 1;
}

// Registers the requests of every block of the hardware module.
int AddRequests(ModuleRecord* master, const TemplateType*) {
    ND6016_Param* p = ParamOf(master);
    ND6016_Runtime* rt = RuntimeOf(master);
    ModuleRecord* inputs = MultiBlockServing(&multi, master, MULTI_DIGITAL_INPUT);
    MultiTaskStart(&rt->Tasks, inputs ? ParamOf(inputs)->Channel_Mask & 3 : 0);
    rt->DIO_State = 0;
    rt->Event_Count = 0;
    // The outputs are written as soon as the host has set them.
    rt->DO0_Value = rt->DO1_Value = 0xFF;
    rt->DO_Has_Data = 0;
    rt->AI_Reads = 0;
    rt->AI_Handle[0] = rt->AI_Handle[1] = -1;
    rt->Excitation_Handle = rt->DO0_Handle = rt->DO1_Handle = -1;
    rt->Counter_Handle = rt->DIO_Handle = -1;
    int port = p->Com.Port_Number;
    int address = p->Module_Address;
    int checksum = rt->Head.Frame.Uses_Checksum;
    if (ModuleRecord* analog = MultiBlockServing(&multi, master, MULTI_ANALOG_INPUT)) {
        int n = InputChannels(analog, rt->AI_Channel);
        // With one input in use the module is in the mode that reads it
        // alone: its read carries no channel number. Only these reads: every
        // other analog block keeps its own channel numbers.
        for (int i = 0; i < n; i++) {
            int c = rt->AI_Channel[i];
            int param = n == 1 ? -1 : c;
            rt->AI_Handle[i] = ScanAddAiRead(port, address, param, &rt->AI_Value[c], checksum);
            if (rt->AI_Handle[i] < 0) return 0;
        }
        rt->AI_Reads = n;
        rt->Excitation_Handle =
            ScanAddExcitationWrite6016(port, address, -1, &rt->Excitation_Sent, checksum);
        if (rt->Excitation_Handle < 0) return 0;
    }
    if (MultiBlockServing(&multi, master, MULTI_DIGITAL_OUTPUT)) {
        rt->DO0_Handle = ScanAddDo0Write6016(port, address, &rt->DO0_Value, checksum);
        if (rt->DO0_Handle < 0) return 0;
        rt->DO1_Handle = ScanAddDo1Write6016(port, address, &rt->DO1_Value, checksum);
        if (rt->DO1_Handle < 0) return 0;
    }
    return MultiTaskAddInputReads(Tasks(), master, &rt->DIO_State, &rt->Event_Count,
                                  &rt->DIO_Handle, &rt->Counter_Handle, ScanAddEventRead6016);
}

int Finish(ModuleRecord* master, const TemplateType*, int) {
    return MultiTaskResetCounter(Tasks(), master);
}

// Another model refuses the start without stopping the experiment.
constexpr TemplateStartSteps startSteps = {
    .configure = Configure,
    .addRequests = AddRequests,
    .finish = Finish,
};

// ---- The master's serial work ----

MultiTaskState* State(ModuleRecord* master) {
    return &RuntimeOf(master)->Tasks;
}

// The excitation write when the value the analog-input block asks for is
// not the one last written.
int ExcitationRequest(ModuleRecord* master) {
    ND6016_Runtime* rt = RuntimeOf(master);
    ModuleRecord* analog = MultiBlockServing(&multi, master, MULTI_ANALOG_INPUT);
    if (!analog) return -1;
    float value = 0.0f;
    if (!MultiExcitation(ParamOf(analog)->Excitation, ParamOf(analog)->ExcitationVariable, &value))
        return -1;
    if (value == rt->Excitation_Sent) return -1;
    rt->Excitation_Sent = value;
    return rt->Excitation_Handle;
}

int Request(ModuleRecord* master, int code, int cursor) {
    ND6016_Runtime* rt = RuntimeOf(master);
    switch (code) {
    case ND6016_TASK_AINPUT:
        return cursor >= 0 && cursor < rt->AI_Reads ? rt->AI_Handle[cursor] : -1;
    case ND6016_TASK_EXCITATION: return ExcitationRequest(master);
    case ND6016_TASK_DOUTPUT: return rt->DO0_Handle;
    case ND6016_TASK_DOUTPUT2: return rt->DO1_Handle;
    case ND6016_TASK_COUNTER: return rt->Counter_Handle;
    case ND6016_TASK_DINPUT: return rt->DIO_Handle;
    default: return -1;
    }
}

int AnalogReads(ModuleRecord* master) {
    return RuntimeOf(master)->AI_Reads;
}

// A failed excitation write goes out again at the next turn.
void WriteFailed(ModuleRecord* master, int code) {
    if (code == ND6016_TASK_EXCITATION) RuntimeOf(master)->Excitation_Sent = -1.0f;
}

// Output n of the analog-input block carries the input of its n-th channel.
float AnalogValue(ModuleRecord* master, ModuleRecord* block, int output) {
    int channels[kInputs];
    int n = InputChannels(block, channels);
    return output < n ? RuntimeOf(master)->AI_Value[channels[output]] : 0.0f;
}

int DigitalInput(ModuleRecord* master) {
    return RuntimeOf(master)->DIO_State & 1;
}

WORD EventCount(ModuleRecord* master) {
    return static_cast<WORD>(RuntimeOf(master)->Event_Count);
}

constexpr MultiTaskType tasks = {
    &multi,
    {ND6016_TASK_AINPUT, ND6016_TASK_EXCITATION, ND6016_TASK_DOUTPUT, ND6016_TASK_DOUTPUT2,
     ND6016_TASK_COUNTER, ND6016_TASK_DINPUT},
    "ND6016_RESET_COUNTER",
    1,
    State,
    Request,
    AnalogReads,
    WriteFailed,
    AnalogValue,
    DigitalInput,
    EventCount,
    nullptr,
};

const MultiTaskType* Tasks() {
    return &tasks;
}

void HardwareIO(ModuleRecord* master) {
    MultiTaskHardwareIO(&tasks, master);
}

// The host's values of the four outputs, written in two pairs: a pair goes
// out when it changed; an output without a new value keeps its state.
void DigitalOutput(ModuleRecord* module) {
    ModuleRecord* master = nullptr;
    MultiTaskState* st = MultiTaskStateOf(&tasks, module, &master);
    if (!st) return;
    ND6016_Runtime* rt = RuntimeOf(master);
    DWORD image = rt->DO_Image;
    DWORD arrived = MultiTakeChannels(module, ParamOf(module)->Channel_Mask & 15, &image);
    rt->DO_Image = static_cast<BYTE>(image & 15);
    if (arrived & 3) rt->DO_Has_Data |= 1;
    if (arrived & 12) rt->DO_Has_Data |= 2;
    BYTE low = static_cast<BYTE>(image & 3);
    BYTE high = static_cast<BYTE>((image >> 2) & 3);
    if ((rt->DO_Has_Data & 1) && rt->DO0_Value != low) {
        rt->DO0_Value = low;
        MultiAddTask(st, ND6016_TASK_DOUTPUT);
    }
    if ((rt->DO_Has_Data & 2) && rt->DO1_Value != high) {
        rt->DO1_Value = high;
        MultiAddTask(st, ND6016_TASK_DOUTPUT2);
    }
}

void Exchange(ModuleRecord* module) {
    MultiTaskExchange(&tasks, module, DigitalOutput);
}

// ---- The setup dialogs ----

ND6016_Param* Work(void* work) {
    return static_cast<ND6016_Param*>(work);
}

void InitNames(HWND dialog, void*) {
    MultiShowMasterName(&multi, HostCurrentModule(), dialog, IDC_MULTI_NAME);
}

void InitAnalog(HWND dialog, void* work) {
    InitNames(dialog, work);
    MultiInitRangeBox(dialog, kRangeTable, kRanges, Work(work)->Range);
    SetMenuForGlobalVars(dialog, IDC_ND6016_EXCITATION);
    SendDlgItemMessageA(dialog, IDC_ND6016_EXCITATION, EM_LIMITTEXT, kExcitationChars, 0);
}

int AnalogCommand(HWND dialog, void* work, int id, int code) {
    if (id == IDC_ND6016_INPUT1 || id == IDC_ND6016_INPUT2) {
        if (code == BN_CLICKED) Work(work)->InputHardwareChannel = id == IDC_ND6016_INPUT2;
        return 1;
    }
    return MultiRangeCommand(dialog, kRangeTable, kRanges, work, &Work(work)->Range, id, code);
}

// The excitation edit: a global variable in the host's syntax, or a number
// held within 0 .. 10 V.
void StoreExcitation(HWND dialog, void* work, int) {
    ND6016_Param* p = Work(work);
    char text[kExcitationChars + 1];
    GetDlgItemTextA(dialog, IDC_ND6016_EXCITATION, text, sizeof text);
    WORD variable = 0;
    if (ExpandVarNumber(text, kExcitationChars, &variable) && variable > 0 && variable <= 0x7FFF) {
        p->ExcitationVariable = static_cast<short>(variable);
        return;
    }
    p->ExcitationVariable = 0;
    p->Excitation = MultiLimitExcitation(ParseNumber(text));
}

void ShowExcitation(HWND dialog, void* work, int) {
    ND6016_Param* p = Work(work);
    char text[64];
    if (p->ExcitationVariable > 0)
        GlVar_SetSyntax(text, static_cast<WORD>(p->ExcitationVariable));
    else
        FormatNumber(text, p->Excitation, 3);
    text[sizeof text - 1] = 0;
    SetDlgItemTextA(dialog, IDC_ND6016_EXCITATION, text);
    CheckRadioButton(dialog, IDC_ND6016_INPUT1, IDC_ND6016_INPUT2,
                     p->InputHardwareChannel ? IDC_ND6016_INPUT2 : IDC_ND6016_INPUT1);
}

// The dialog of each function: its channel buttons and own controls.
constexpr SetupDialogType DialogType(const TemplateType* type, int buttons,
                                     void (*init)(HWND, void*),
                                     int (*command)(HWND, void*, int, int),
                                     void (*store)(HWND, void*, int),
                                     void (*show)(HWND, void*, int), int analog) {
    return SetupDialogType{
        type,
        sizeof(ND6016_Param),
        buttons,
        1116, // help context
        // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "ZEMX-7016"},
        {IDC_SETUP_MEASUREMENT, analog ? IDC_MULTI_RANGE : 0, analog ? IDC_ND6016_INPUT1 : 0,
         analog ? IDC_ND6016_INPUT2 : 0},
        init,
        command,
        store,
        show,
        1, // a double click acts on the one channel
    };
}

constexpr SetupDialogType kDialogs[3] = {
    DialogType(&inputFrame, kInputs, InitAnalog, AnalogCommand, StoreExcitation, ShowExcitation, 1),
    DialogType(&outputFrame, 4, InitNames, nullptr, nullptr, nullptr, 0),
    DialogType(&inputFrame, 2, InitNames, nullptr, nullptr, nullptr, 0),
};
const char* const kTemplates[3] = {"DLG_ND6016I", "DLG_ND6016DO", "DLG_ND6016C"};

int ShowSetupDialog(ModuleRecord* module) {
    return MultiTaskShowSetupDialog(&tasks, module, kTemplates, kDialogs, ND6016_SetupDlgProc);
}

} // namespace

BLOCK_TYPE_PROCS(ND6016, MultiTaskDialogProc(&tasks, 0, dialog, msg, wParam, lParam),
                 MultiTaskClassProc(&tasks, &startSteps, ShowSetupDialog, module, msg, wParam,
                                    lParam),
                 MultiProcess(&multi, module, HardwareIO, Exchange))
