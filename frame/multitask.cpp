// The task list of the multi-block types that split a module by function.
#include "frame/multitask.h"

#include "frame/chanbar.h"
#include "frame/fields.h"
#include "frame/start.h"
#include "host/driver.h"
#include "host/host.h"
#include "resource.h"
#include "serial/engine.h"
#include "serial/modtable.h"
#include "serial/monitor.h"
#include "serial/scan.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

namespace {

// A call serves at most this many passes; the rest waits for the next call.
const int kPasses = 32;

enum Kind { kNone, kAnalog, kExcitation, kOutput, kCounter, kDigital };

Kind KindOf(const MultiTaskType* type, int code) {
    const MultiTaskCodes& c = type->codes;
    if (code <= 0) return kNone;
    if (code == c.analog) return kAnalog;
    if (code == c.excitation) return kExcitation;
    if (code == c.output || code == c.output2) return kOutput;
    if (code == c.counter) return kCounter;
    if (code == c.digital) return kDigital;
    return kNone;
}

const TemplateType* Frame(const MultiTaskType* type) {
    return type->multi->frame;
}

void Trace(const MultiTaskType* type, int state, int code) {
    if (type->trace) type->trace(state, code);
}

// A failed task is served first again.
void PutFirst(MultiTaskState* st, int code) {
    MultiRemoveTask(st, code);
    for (int i = MULTI_TASK_SLOTS - 2; i > 0; i--)
        st->Task_List[i] = st->Task_List[i - 1];
    st->Task_List[0] = code;
    st->Task_List[MULTI_TASK_SLOTS - 1] = 0;
}

int Valid(int handle) {
    return handle >= 0 && ScanListEntry(handle) != nullptr;
}

// The next transaction: the rest of an analog round, else the first listed
// task that is due. Tasks that are not due are dropped (their blocks queue
// them again); 0 when nothing is to be sent.
int NextTask(const MultiTaskType* type, ModuleRecord* master, MultiTaskState* st, int* code,
             int* handle) {
    const MultiRuntime* rt = MultiRuntimeOf(master);
    if (st->AI_Cursor > 0) {
        *code = type->codes.analog;
        *handle = type->request(master, *code, st->AI_Cursor);
        if (Valid(*handle)) return 1;
        st->AI_Cursor = 0;
    }
    for (int guard = 0; guard < MULTI_TASK_SLOTS; guard++) {
        *code = MultiCurrentTask(st);
        if (*code == 0) return 0;
        double now = CurrentExperimentTime(1);
        switch (KindOf(type, *code)) {
        case kAnalog:
            if (!PollDue(st->AI_Next_Due)) break;
            // A round begun late skips the rounds it missed: its data are
            // stamped within one interval of their reading.
            PollSkipMissed(&st->AI_Next_Due, now, rt->Frame.Poll_Interval);
            st->AI_Stamp = st->AI_Next_Due;
            st->AI_Next_Due += rt->Frame.Poll_Interval;
            *handle = type->request(master, *code, 0);
            break;
        case kExcitation:
        case kOutput: *handle = type->request(master, *code, 0); break;
        case kCounter:
        case kDigital: {
            if (!PollDue(st->Input_Next_Due)) break;
            st->Inputs_Begun |= KindOf(type, *code) == kDigital ? 1 : 2;
            if ((st->Inputs_Begun & st->Input_Mask) == st->Input_Mask) {
                PollSkipMissed(&st->Input_Next_Due, now, rt->Frame.Poll_Interval);
                st->Input_Stamp = st->Input_Next_Due;
                st->Input_Next_Due += rt->Frame.Poll_Interval;
                st->Inputs_Begun = 0;
            }
            *handle = type->request(master, *code, 0);
            break;
        }
        default: break;
        }
        MultiRemoveTask(st, *code);
        if (Valid(*handle)) return 1;
        *handle = -1;
    }
    return 0;
}

void Completed(const MultiTaskType* type, ModuleRecord* master, MultiTaskState* st) {
    int code = st->In_Flight;
    st->In_Flight = 0;
    switch (KindOf(type, code)) {
    case kAnalog:
        if (++st->AI_Cursor >= type->analogReads(master)) {
            st->AI_Cursor = 0;
            st->AI_Ready = 1;
        }
        break;
    case kCounter: st->Counter_Ready = 1; break;
    case kDigital: st->DI_Ready = 1; break;
    case kExcitation:
    case kOutput: break;
    default: ShowInternalError("Impossible case", __FILE__, __LINE__); break;
    }
}

// The transaction failed: a write goes out again, a read is tried again when
// it is due (the rest of an analog round at once).
void Failed(const MultiTaskType* type, ModuleRecord* master, MultiTaskState* st) {
    int code = st->In_Flight;
    st->In_Flight = 0;
    Kind kind = KindOf(type, code);
    if (kind == kExcitation || kind == kOutput) {
        if (type->writeFailed) type->writeFailed(master, code);
        PutFirst(st, code);
    } else if (kind == kAnalog && st->AI_Cursor == 0) {
        st->AI_Next_Due = st->AI_Stamp;
        PutFirst(st, code);
    }
}

// The type whose queued actions are being sent.
const MultiTaskType* sending;

// The command of a queued counter reset.
int ActionCommands(ModuleRecord* master, int code,
                   char commands[ACTION_COMMANDS_MAX][ACTION_COMMAND_CHARS + 1]) {
    if (code != MULTI_RESET_COUNTER || !sending) return 0;
    snprintf(commands[0], ACTION_COMMAND_CHARS + 1, "@%02XCE",
             *TemplateAddress(master, Frame(sending)) & 0xFF);
    return 1;
}

// The master under the poll policy.
PollBlock PollOf(const MultiTaskType* type, ModuleRecord* master) {
    MultiRuntime* rt = MultiRuntimeOf(master);
    return {master,
            TemplateMess(master, Frame(type)),
            Frame(type)->restartNote,
            &rt->Frame.Error_Waiting,
            &rt->Frame.Resume_Time,
            rt->Frame.Poll_Interval,
            0};
}

// The start of an idle turn: the policy's (the end of an error wait makes
// the analog round due at once), then, while the module is not waiting for
// its retry, the host's queued actions. 0 when the turn has passed or the
// experiment stopped.
int IdleTurn(const MultiTaskType* type, ModuleRecord* master, MultiTaskState* st,
             const PollBlock* poll) {
    MultiRuntime* rt = MultiRuntimeOf(master);
    int idle = PollIdle(poll);
    if (idle == POLL_PASSED) return 0;
    if (idle == POLL_RESUMED) st->AI_Next_Due = CurrentExperimentTime(1);
    const TemplateType* frame = Frame(type);
    const int port = TemplateCom(master, frame)->Port_Number;
    const int address = *TemplateAddress(master, frame);
    if (!PollModuleReady(poll, port, address)) {
        ModuleTableNext();
        return 0;
    }
    if (st->Actions.Queue_Count == 0) return 1;
    ActionTarget target = {port, address, rt->Frame.Uses_Checksum, poll};
    sending = type;
    int sent = SendQueuedActions(master, &st->Actions, &target, ActionCommands);
    sending = nullptr;
    if (!sent) return 0;
    if (rt->Frame.Error_Waiting || !PollModuleReady(poll, port, address)) {
        ModuleTableNext();
        return 0;
    }
    return 1;
}

} // namespace

int MultiCurrentTask(const MultiTaskState* state) {
    return state->Task_List[0];
}

void MultiAddTask(MultiTaskState* state, int code) {
    if (code <= 0) return;
    int i = 0;
    while (i < MULTI_TASK_SLOTS - 1 && state->Task_List[i] != 0) {
        if (state->Task_List[i] == code) return;
        i++;
    }
    if (i >= MULTI_TASK_SLOTS - 1) return;
    state->Task_List[i] = code;
    state->Task_List[i + 1] = 0;
}

void MultiRemoveTask(MultiTaskState* state, int code) {
    int i = 0;
    while (i < MULTI_TASK_SLOTS - 1 && state->Task_List[i] != 0 && state->Task_List[i] != code)
        i++;
    if (i >= MULTI_TASK_SLOTS - 1 || state->Task_List[i] == 0) return;
    for (; i < MULTI_TASK_SLOTS - 1; i++)
        state->Task_List[i] = state->Task_List[i + 1];
    state->Task_List[MULTI_TASK_SLOTS - 1] = 0;
}

void MultiTaskStart(MultiTaskState* st, int inputMask) {
    memset(st->Task_List, 0, sizeof st->Task_List);
    st->In_Flight = 0;
    st->AI_Cursor = 0;
    st->AI_Ready = st->Counter_Ready = st->DI_Ready = 0;
    st->Inputs_Begun = 0;
    st->Input_Mask = inputMask & 3;
    st->AI_Next_Due = st->Input_Next_Due = 0.0;
    st->AI_Stamp = st->Input_Stamp = 0.0;
}

int MultiTaskResetCounter(const MultiTaskType* type, ModuleRecord* master) {
    ModuleRecord* block = MultiBlockServing(type->multi, master, MULTI_DIGITAL_INPUT);
    if (!block || !(*TemplateMask(block, Frame(type)) & 2)) return 1;
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "@%02XCE", *TemplateAddress(master, Frame(type)) & 0xFF);
    return TemplateSendAndExpect(Frame(type), master, text, '!',
                                 MultiRuntimeOf(master)->Frame.Uses_Checksum, 0);
}

void MultiTaskHardwareIO(const MultiTaskType* type, ModuleRecord* master) {
    MultiRuntime* rt = MultiRuntimeOf(master);
    MultiTaskState* st = type->state(master);
    if (!rt->Serving) {
        ModuleTableNext();
        return;
    }
    const PollBlock poll = PollOf(type, master);
    for (int pass = 0; pass < kPasses; pass++) {
        int state = ScanStep();
        Trace(type, state, 0);
        switch (state) {
        case SS_BUSY: return;
        case SS_ERROR:
            Failed(type, master, st);
            PollFailed(&poll);
            return;
        case SS_READY:
            PollAnswered(&poll);
            ScanReset();
            Completed(type, master, st);
            continue;
        case SS_IDLE: break;
        default: return;
        }
        if (!IdleTurn(type, master, st, &poll)) return;
        int code = 0;
        int handle = -1;
        if (!NextTask(type, master, st, &code, &handle)) {
            ModuleTableNext();
            return;
        }
        Trace(type, SS_IDLE, code);
        st->In_Flight = code;
        if (PollBegin(&poll, handle) != POLL_BEGUN) {
            st->In_Flight = 0;
            return;
        }
    }
}

MultiTaskState* MultiTaskStateOf(const MultiTaskType* type, ModuleRecord* module,
                                 ModuleRecord** master) {
    ModuleRecord* m = MultiServingMaster(type->multi, module);
    if (master) *master = m;
    return m ? type->state(m) : nullptr;
}

void MultiTaskAnalogInput(const MultiTaskType* type, ModuleRecord* module) {
    ModuleRecord* master = nullptr;
    MultiTaskState* st = MultiTaskStateOf(type, module, &master);
    if (!st) return;
    if (st->AI_Ready) {
        float values[TEMPLATE_CHANNELS];
        int outputs = module->uOutputs > TEMPLATE_CHANNELS ? TEMPLATE_CHANNELS
                                                           : static_cast<int>(module->uOutputs);
        for (int k = 0; k < outputs; k++)
            values[k] = type->analogValue(master, module, k);
        // Without the host's data blocks the round waits, not read again.
        if (!MultiDeliver(module, values, outputs, st->AI_Stamp)) return;
        st->AI_Ready = 0;
    }
    MultiAddTask(st, type->codes.excitation);
    MultiAddTask(st, type->codes.analog);
}

void MultiTaskDigitalInput(const MultiTaskType* type, ModuleRecord* module) {
    ModuleRecord* master = nullptr;
    MultiTaskState* st = MultiTaskStateOf(type, module, &master);
    if (!st) return;
    WORD mask = *TemplateMask(module, Frame(type)) & 3;
    int digital = mask & 1;
    int counter = mask & 2;
    // Both readings of a round go out together; one that came waits for the
    // other.
    int waiting = 0;
    if (digital && !st->DI_Ready) {
        MultiAddTask(st, type->codes.digital);
        waiting = 1;
    }
    if (counter && !st->Counter_Ready) {
        MultiAddTask(st, type->codes.counter);
        waiting = 1;
    }
    if (waiting || mask == 0) return;
    float values[2];
    int n = 0;
    if (digital) values[n++] = type->digitalInput(master) ? 5.0f : 0.0f;
    if (counter) values[n++] = static_cast<float>(type->eventCount(master));
    if (!MultiDeliver(module, values, n, st->Input_Stamp)) return;
    if (digital) {
        st->DI_Ready = 0;
        MultiAddTask(st, type->codes.digital);
    }
    if (counter) {
        st->Counter_Ready = 0;
        MultiAddTask(st, type->codes.counter);
    }
}

namespace {

int OffersReset(const MultiTaskType* type, ModuleRecord* module, int wParam) {
    if (MultiModuleType(type->multi, module) != 2) return 0;
    return !type->strictActions || wParam <= 1;
}

} // namespace

int MultiTaskQueryActions(const MultiTaskType* type, ModuleRecord* module, int msg, int wParam,
                          const ActionRequest* request) {
    if (msg != MODMSG_ACTION_SUPPORTED || !request) return 0;
    if (request->iActionType != 0 && request->iActionType != MULTI_RESET_COUNTER) return 0;
    return OffersReset(type, module, wParam);
}

int MultiTaskDescribeAction(const MultiTaskType* type, ModuleRecord* module, int wParam,
                            ActionInfo* info) {
    if (!info || wParam > 1 || MultiModuleType(type->multi, module) != 2) return 0;
    const ActionDef def = {MULTI_RESET_COUNTER, type->actionName, IDS_ACTION_RESET_COUNTER};
    return ActionDescribe(&def, 1, info);
}

int MultiTaskPerformAction(const MultiTaskType* type, ModuleRecord* module, int msg, int wParam,
                           const ActionRequest* request) {
    if (msg != MODMSG_ACTION_PERFORM || !request) return 0;
    if (request->iActionType != MULTI_RESET_COUNTER) return 1;
    if (type->strictActions && !OffersReset(type, module, wParam)) return 0;
    // The queue is the master's; a block without one has nowhere to send it.
    ModuleRecord* master = MultiFindMaster(type->multi, module);
    if (!master) return 0;
    // A full queue drops the reset: the host is told it was not taken.
    return ActionAccept(&type->state(master)->Actions, MULTI_RESET_COUNTER);
}

float MultiLimitExcitation(double value) {
    if (!(value > 0.0)) return 0.0f;
    if (value > 10.0) return 10.0f;
    return static_cast<float>(value);
}

int MultiExcitation(float fixed, int variable, float* excitation) {
    if (variable == 0) {
        *excitation = MultiLimitExcitation(fixed);
        return 1;
    }
    double value = 0.0;
    if (!GlVar_Get(static_cast<WORD>(variable), &value)) return 0;
    *excitation = MultiLimitExcitation(value);
    return 1;
}

void MultiTaskDefaults(const MultiTaskType* type, ModuleRecord* module) {
    const TemplateType* frame = Frame(type);
    int function = MultiModuleType(type->multi, module);
    if (function == 2) {
        const char* const names[] = {"DI", "Counter"};
        const char* const units[] = {"V", "#"};
        for (int c = 0; c < 2; c++) {
            snprintf(TemplateChannelName(module, c), TEMPLATE_NAME_CHARS, "%s", names[c]);
            snprintf(TemplateUnitIn(frame, module->pParam, c), TEMPLATE_UNIT_CHARS, "%s", units[c]);
        }
    } else {
        for (int c = 0; c < TEMPLATE_CHANNELS; c++) {
            snprintf(TemplateChannelName(module, c), TEMPLATE_NAME_CHARS, "%s %d",
                     function == 0 ? "AI" : "DO", c);
            snprintf(TemplateUnitIn(frame, module->pParam, c), TEMPLATE_UNIT_CHARS, "V");
            *TemplateCopyFlagIn(frame, module->pParam, c) = 0;
        }
    }
    ActionQueueClear(&type->state(module)->Actions);
}

void MultiTaskLimitFunction(const MultiTaskType* type, ModuleRecord* module) {
    const MultiFields& f = type->multi->fields;
    int* bits = MultiFieldIn(module->pParam, f.portMask);
    int* function = MultiFieldIn(module->pParam, f.moduleType);
    if (*bits == MULTI_ANALOG_INPUT || *bits == MULTI_DIGITAL_OUTPUT ||
        *bits == MULTI_DIGITAL_INPUT)
        *function = *bits == MULTI_ANALOG_INPUT ? 0 : *bits == MULTI_DIGITAL_OUTPUT ? 1 : 2;
    else if (*function >= 0 && *function <= 2)
        *bits = 1 << *function;
}

int MultiTaskAddInputReads(const MultiTaskType* type, ModuleRecord* master, WORD* state,
                           short* events, int* stateHandle, int* eventHandle,
                           int (*eventRead)(int port, int address, short* data, int checksum)) {
    ModuleRecord* block = MultiBlockServing(type->multi, master, MULTI_DIGITAL_INPUT);
    if (!block) return 1;
    const TemplateType* frame = Frame(type);
    WORD mask = *TemplateMask(block, frame) & 3;
    int port = TemplateCom(master, frame)->Port_Number;
    int address = *TemplateAddress(master, frame);
    int checksum = MultiRuntimeOf(master)->Frame.Uses_Checksum;
    if (mask & 1)
        *stateHandle = ScanAddDioRead(port, address, reinterpret_cast<BYTE*>(state), checksum);
    if ((mask & 2) && !((mask & 1) && *stateHandle < 0))
        *eventHandle = eventRead(port, address, events, checksum);
    if (((mask & 1) && *stateHandle < 0) || ((mask & 2) && *eventHandle < 0)) {
        TemplateShowFullList(block, -1);
        return 0;
    }
    return 1;
}

void MultiInitRangeBox(HWND dialog, const AnalogChoice* ranges, int count, int range) {
    AnalogInitChoiceBox(dialog, IDC_MULTI_RANGE, ranges, count, range);
}

int MultiRangeCommand(HWND dialog, const AnalogChoice* ranges, int count, void* work, int* range,
                      int id, int code) {
    if (id != IDC_MULTI_RANGE) return 0;
    int entry = AnalogChoiceCommand(dialog, id, code, ranges, count, range);
    const TemplateType* type = SetupDialogTemplateType();
    if (entry < 0 || !type) return 1;
    snprintf(TemplateUnitIn(type, work, 0), TEMPLATE_UNIT_CHARS, "%s", ranges[entry].unit);
    if (CurrentChannel >= 0 && CurrentChannel < TEMPLATE_CHANNELS)
        FillUnitList(dialog, IDC_SETUP_UNIT, TemplateUnitIn(type, work, CurrentChannel));
    return 1;
}

int MultiTaskClassProc(const MultiTaskType* type, const TemplateStartSteps* masterSteps,
                       int (*showSetupDialog)(ModuleRecord* module), ModuleRecord* module, int msg,
                       int wParam, int lParam) {
    const ActionRequest* request = reinterpret_cast<const ActionRequest*>(lParam);
    switch (msg) {
    case MODMSG_SETUP_DIALOG: return showSetupDialog(module);
    case MODMSG_START: return MultiStartMeasurement(type->multi, module, masterSteps);
    case MODMSG_ACTION_SUPPORTED:
    case MODMSG_ACTION119: return MultiTaskQueryActions(type, module, msg, wParam, request);
    case MODMSG_ACTION_PERFORM:
    case MODMSG_ACTION120:
    case MODMSG_ACTION121:
    case MODMSG_ACTION122:
    case MODMSG_ACTION123: return MultiTaskPerformAction(type, module, msg, wParam, request);
    case MODMSG_ACTION_DESCRIBE:
        return MultiTaskDescribeAction(type, module, wParam, reinterpret_cast<ActionInfo*>(lParam));
    default: return MultiClassProc(type->multi, module, msg, wParam, lParam);
    }
}

namespace {

// The setup dialog that is open; the dialogs are modal, one at a time.
const SetupDialogType* openDialog;

} // namespace

int MultiTaskShowSetupDialog(const MultiTaskType* type, ModuleRecord* module,
                             const char* const* templates, const SetupDialogType* dialogs,
                             DLGPROC proc) {
    int function = MultiModuleType(type->multi, module);
    if (function < 0 || function > 2) return 1;
    openDialog = &dialogs[function];
    DialogBoxParamA(hInstDriver, templates[function], module->hwndModule, proc, 0);
    openDialog = nullptr;
    return 1;
}

INT_PTR MultiTaskDialogProc(const MultiTaskType* type, int keepBoxes, HWND dialog, UINT msg,
                            WPARAM wParam, LPARAM lParam) {
    if (!openDialog) return FALSE;
    return MultiSetupDialogProc(type->multi, openDialog, keepBoxes, dialog, msg, wParam, lParam);
}

void MultiTaskExchange(const MultiTaskType* type, ModuleRecord* module,
                       void (*digitalOutput)(ModuleRecord* module)) {
    switch (MultiModuleType(type->multi, module)) {
    case 0: MultiTaskAnalogInput(type, module); break;
    case 1: digitalOutput(module); break;
    case 2: MultiTaskDigitalInput(type, module); break;
    default: ShowInternalError("Impossible case", __FILE__, __LINE__); break;
    }
}
