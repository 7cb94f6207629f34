// Block type ND6014: analog input module with two digital outputs, a
// digital input and an event counter, presented as up to three linked
// blocks, one per function.
#include "modules/multi/nd6014.h"

#include "frame/analogin.h"
#include "frame/chanbar.h"
#include "frame/multiblock.h"
#include "frame/moduletest.h"
#include "frame/multitask.h"
#include "frame/setupdlg.h"
#include "frame/fields.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/scan.h"

#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6014_ParamSchema[ND6014_SCHEMA_ROWS] = {
    TEMPLATE_ROW(ND6014_Param, "Version", "int", Version),
    TEMPLATE_ROW(ND6014_Param, "Channel_Name[0..15]", "string[24]", Channel_Name),
    TEMPLATE_ROW(ND6014_Param, "Module_Address", "int", Module_Address),
    TEMPLATE_ROW(ND6014_Param, "Channel_Mask", "WORD", Channel_Mask),
    TEMPLATE_COM_ROWS(ND6014_Param, Com),
    TEMPLATE_MESS_ROWS(ND6014_Param, Mess),
    TEMPLATE_ROW(ND6014_Param, "Unit[0..15]", "string[64]", Unit),
    TEMPLATE_ROW(ND6014_Param, "Copy_Channel_Name[0..15]", "BOOL", Copy_Channel_Name),
    TEMPLATE_ROW(ND6014_Param, "IsMaster", "BOOL", IsMaster),
    TEMPLATE_ROW(ND6014_Param, "Module_Type", "int", Module_Type),
    TEMPLATE_ROW(ND6014_Param, "Port_Mask", "int", Port_Mask),
    TEMPLATE_ROW(ND6014_Param, "IsInput", "BOOL", IsInput),
    TEMPLATE_ROW(ND6014_Param, "MasterID", "int", MasterID),
    TEMPLATE_ROW(ND6014_Param, "Excitation", "float", Excitation),
    TEMPLATE_ROW(ND6014_Param, "ExcitationVariable", "short", ExcitationVariable),
    TEMPLATE_ROW(ND6014_Param, "Range", "int", Range),
    TEMPLATE_ROW(ND6014_Param, "ConfigInput", "int", ConfigInput),
    TEMPLATE_ROW(ND6014_Param, "PortAssigned", "int", PortAssigned),
    {nullptr, nullptr, 0, 0},
};
// clang-format on

MultiBlockTable ND6014_BlockTable = {{}, 0, MULTI_FIRST_MASTER_ID};

namespace {

const int kModels[] = {MODEL_ENDING_IN(14, 2)}; // every model number ending in 14, any series
// The input ranges: their texts, the module's type codes and units.
const int kRanges = 6;
const AnalogChoice kRangeTable[kRanges] = {
    {"+/- 10 V", 0, 0, 0x08, "V"},    {"+/- 5 V", 0, 1, 0x09, "V"},
    {"+/- 1 V", 0, 2, 0x0A, "V"},     {"+/- 500 mV", 0, 3, 0x0B, "mV"},
    {"+/- 150 mV", 0, 4, 0x0C, "mV"}, {"+/- 20 mA", 0, 5, 0x0D, "mA"},
};

ND6014_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6014_Param*>(module->pParam);
}

ND6014_Runtime* RuntimeOf(ModuleRecord* module) {
    return static_cast<ND6014_Runtime*>(module->pRuntime);
}

constexpr TemplateType frame = MultiTemplateType({
    .type = "ND6014",
    .form = TEMPLATE_NO_EXCHANGE,
    .model = 6014,
    .models = kModels,
    .restartNote = "Restart 7014",
    .schema = ND6014_ParamSchema,
    // A module of another model fails the start alone.
    .start = {.wrong = TEMPLATE_WRONG_FAIL},
});
constexpr TemplateType inputFrame = MultiTemplateForm(frame, TEMPLATE_INPUT_FORM);
constexpr TemplateType outputFrame = MultiTemplateForm(frame, TEMPLATE_OUTPUT_FORM);

int RunPortDialog(const MultiBlockType* type, MultiChoice* choice);
void Defaults(ModuleRecord* module);
void LimitLoaded(ModuleRecord* module);

// The channels of a block by its function: one analog reading, two
// outputs, the digital input and the counter.
int Channels(int bits, int) {
    return (bits & MULTI_ANALOG_INPUT ? 1 : 0) + (bits & MULTI_DIGITAL_OUTPUT ? 2 : 0) +
           (bits & MULTI_DIGITAL_INPUT ? 2 : 0);
}

constexpr MultiBlockType multi = {
    &frame,
    &ND6014_BlockTable,
    MULTI_FIELDS_OF(ND6014_Param),
    7,
    "Max. number of 6014 modules supported by the driver reached",
    "Deleting 6014 module",
    RunPortDialog,
    Defaults,
    LimitLoaded,
    Channels,
};

const MultiFunctionDialog portDialog = {"DLG_PORT_6014", IDC_PORT6014_FIRST, 1111};

int RunPortDialog(const MultiBlockType* type, MultiChoice* choice) {
    return MultiRunFunctionDialog(type, &portDialog, choice);
}

const MultiTaskType* Tasks();

void Defaults(ModuleRecord* module) {
    MultiTaskDefaults(Tasks(), module);
    ND6014_Param* p = ParamOf(module);
    if (p->Module_Type == 0) p->Range = 0;
}

// A record from a file: a function its bits and type agree on, a range the
// type has, an excitation within 0 .. 10 V.
void LimitLoaded(ModuleRecord* module) {
    MultiTaskLimitFunction(Tasks(), module);
    ND6014_Param* p = ParamOf(module);
    ClampInt(&p->Range, 0, kRanges - 1);
    p->Excitation = MultiLimitExcitation(p->Excitation);
    if (p->ExcitationVariable < 0) p->ExcitationVariable = 0;
}

// ---- The master's start ----

int Configure(ModuleRecord* master, const TemplateType*, int) {
    ModuleRecord* analog = MultiBlockServing(&multi, master, MULTI_ANALOG_INPUT);
    if (!analog) return 1;
    return AnalogConfigureModuleType(&frame, master,
                                     kRangeTable[ParamOf(analog)->Range].moduleCode);
}

// Registers the requests of every block of the hardware module.
int AddRequests(ModuleRecord* master, const TemplateType*) {
    ND6014_Param* p = ParamOf(master);
    ND6014_Runtime* rt = RuntimeOf(master);
    ModuleRecord* inputs = MultiBlockServing(&multi, master, MULTI_DIGITAL_INPUT);
    WORD inputMask = inputs ? ParamOf(inputs)->Channel_Mask & 3 : 0;
    MultiTaskStart(&rt->Tasks, inputMask);
    rt->DIO_State = 0;
    rt->Event_Count = 0;
    rt->DO_Next_Due = 0.0;
    // The outputs are written as soon as the host has set them.
    rt->DO0_Value = 0xFF;
    rt->DO_Has_Data = 0;
    rt->AI_Handle = rt->DO0_Handle = rt->Counter_Handle = rt->DIO_Handle = -1;
    int port = p->Com.Port_Number;
    int address = p->Module_Address;
    int checksum = rt->Head.Frame.Uses_Checksum;
    if (MultiBlockServing(&multi, master, MULTI_ANALOG_INPUT)) {
        rt->AI_Handle = ScanAddAiRead(port, address, -1, &rt->AI_Value, checksum);
        if (rt->AI_Handle < 0) return 0;
    }
    if (MultiBlockServing(&multi, master, MULTI_DIGITAL_OUTPUT)) {
        rt->DO0_Handle = ScanAddDo0Write(port, address, &rt->DO0_Value, checksum);
        if (rt->DO0_Handle < 0) return 0;
    }
    return MultiTaskAddInputReads(Tasks(), master, &rt->DIO_State, &rt->Event_Count,
                                  &rt->DIO_Handle, &rt->Counter_Handle, ScanAddEventRead6014);
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

int Request(ModuleRecord* master, int code, int) {
    ND6014_Runtime* rt = RuntimeOf(master);
    switch (code) {
    case ND6014_TASK_AINPUT: return rt->AI_Handle;
    case ND6014_TASK_DOUTPUT: return rt->DO0_Handle;
    case ND6014_TASK_COUNTER: return rt->Counter_Handle;
    case ND6014_TASK_DINPUT: return rt->DIO_Handle;
    default: return -1; // the module has no excitation output to write
    }
}

int AnalogReads(ModuleRecord*) {
    return 1;
}

// Every channel of the analog-input block carries the one reading.
float AnalogValue(ModuleRecord* master, ModuleRecord*, int) {
    return RuntimeOf(master)->AI_Value;
}

int DigitalInput(ModuleRecord* master) {
    return RuntimeOf(master)->DIO_State & 1;
}

WORD EventCount(ModuleRecord* master) {
    return static_cast<WORD>(RuntimeOf(master)->Event_Count);
}

void Trace(int state, int code) {
    const char* text = nullptr;
    switch (state) {
    case SS_IDLE:
        text = code == 0                     ? "ProcessHardwareIO: SS_IDLE"
               : code == ND6014_TASK_DOUTPUT ? "ProcessHardwareIO: SS_IDLE->TASK_DOUTPUT"
                                             : nullptr;
        break;
    case SS_BUSY: text = "Proze\337HardwareIO:  SS_BUSY"; break;
    case SS_READY: text = "Proze\337HardwareIO:  SS_READY"; break;
    default: break;
    }
    if (text) OutputDebugStringA(text);
}

constexpr MultiTaskType tasks = {
    &multi,
    {ND6014_TASK_AINPUT, ND6014_TASK_EXCITATION, ND6014_TASK_DOUTPUT, 0, ND6014_TASK_COUNTER,
     ND6014_TASK_DINPUT},
    "ND6014_RESET_COUNTER",
    0,
    State,
    Request,
    AnalogReads,
    nullptr,
    AnalogValue,
    DigitalInput,
    EventCount,
    Trace,
};

const MultiTaskType* Tasks() {
    return &tasks;
}

void HardwareIO(ModuleRecord* master) {
    MultiTaskHardwareIO(&tasks, master);
}

// The host's values of the outputs: a changed value is queued at most once
// per interval; an output without a new value keeps its state.
void DigitalOutput(ModuleRecord* module) {
    ModuleRecord* master = nullptr;
    MultiTaskState* st = MultiTaskStateOf(&tasks, module, &master);
    if (!st) return;
    ND6014_Runtime* rt = RuntimeOf(master);
    DWORD image = rt->DO_Image;
    DWORD arrived = MultiTakeChannels(module, ParamOf(module)->Channel_Mask & 3, &image);
    rt->DO_Image = static_cast<BYTE>(image & 3);
    if (arrived) rt->DO_Has_Data = 1;
    if (!rt->DO_Has_Data) return;
    double now = CurrentExperimentTime(1);
    char text[80];
    if (arrived) {
        snprintf(text, sizeof text, "DO Timecheck: Next=%6.3f, Current=%6.3f", rt->DO_Next_Due,
                 now);
        OutputDebugStringA(text);
    }
    if (rt->DO_Next_Due >= now) return;
    if (rt->DO0_Value == rt->DO_Image) return;
    snprintf(text, sizeof text, "DO-ValueCheck: Current=0x%2X, Last=0x%2X", rt->DO0_Value,
             rt->Last_DO_Value);
    OutputDebugStringA(text);
    OutputDebugStringA("NewValueFound");
    rt->DO0_Value = rt->DO_Image;
    MultiAddTask(st, ND6014_TASK_DOUTPUT);
    rt->Last_DO_Value = rt->DO0_Value;
    rt->DO_Next_Due = now + rt->Head.Frame.Poll_Interval;
}

void Exchange(ModuleRecord* module) {
    MultiTaskExchange(&tasks, module, DigitalOutput);
}

// ---- The setup dialogs ----

ND6014_Param* Work(void* work) {
    return static_cast<ND6014_Param*>(work);
}

void InitNames(HWND dialog, void*) {
    char name[16];
    TemplateBlockName(HostCurrentModule(), name, sizeof name);
    SetDlgItemTextA(dialog, IDC_MULTI_NAME, name);
}

void InitAnalog(HWND dialog, void* work) {
    InitNames(dialog, work);
    MultiInitRangeBox(dialog, kRangeTable, kRanges, Work(work)->Range);
}

int AnalogCommand(HWND dialog, void* work, int id, int code) {
    return MultiRangeCommand(dialog, kRangeTable, kRanges, work, &Work(work)->Range, id, code);
}

// The dialog of each function: its channel buttons and own controls.
constexpr SetupDialogType DialogType(const TemplateType* type, int buttons,
                                     void (*init)(HWND, void*),
                                     int (*command)(HWND, void*, int, int), int range) {
    return SetupDialogType{
        type,
        sizeof(ND6014_Param),
        buttons,
        1111, // help context
        // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "ZEMX-7014"},
        {IDC_SETUP_MEASUREMENT, range ? IDC_MULTI_RANGE : 0, 0, 0},
        init,
        command,
        nullptr,
        nullptr,
        1, // a double click acts on the one channel
    };
}

constexpr SetupDialogType kDialogs[3] = {
    DialogType(&inputFrame, 1, InitAnalog, AnalogCommand, 1),
    DialogType(&outputFrame, 2, InitNames, nullptr, 0),
    DialogType(&inputFrame, 2, InitNames, nullptr, 0),
};
const char* const kTemplates[3] = {"DLG_ND6014I", "DLG_ND6014DO", "DLG_ND6014C"};

int ShowSetupDialog(ModuleRecord* module) {
    return MultiTaskShowSetupDialog(&tasks, module, kTemplates, kDialogs, ND6014_SetupDlgProc);
}

} // namespace

BLOCK_TYPE_PROCS(ND6014, MultiTaskDialogProc(&tasks, 1, dialog, msg, wParam, lParam),
                 MultiTaskClassProc(&tasks, &startSteps, ShowSetupDialog, module, msg, wParam,
                                    lParam),
                 MultiProcess(&multi, module, HardwareIO, Exchange))
