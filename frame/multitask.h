// The master's serial work of the multi-block types that split a module by
// function (an analog input with its excitation, digital outputs, a digital
// input and counter): a list of pending tasks that the blocks queue on every
// processing call and the master serves in its round-robin turn, one
// transaction at a time; the host's queued actions; and the rounds of the
// analog reads and of the digital-input and counter reads, whose data the
// blocks deliver stamped with their round's due time.
#ifndef TELVIO_FRAME_MULTITASK_H
#define TELVIO_FRAME_MULTITASK_H

#include "frame/actions.h"
#include "frame/analogin.h"
#include "frame/multiblock.h"
#include "frame/start.h"

#include <stddef.h>

// The list holds each code of a type at most once and its terminator.
#define MULTI_TASK_SLOTS 8

// What the master shares with the blocks of its hardware module.
struct MultiTaskState {
    ActionQueue Actions;             // host actions for the module
    int Task_List[MULTI_TASK_SLOTS]; // pending codes, served from the first; 0 ends
    int In_Flight;                   // the code whose transaction is in flight; 0 none
    int AI_Cursor;                   // the analog read of the round in progress
    int AI_Ready;                    // an analog round completed, not yet delivered
    int Counter_Ready;               // a counter read completed, not yet delivered
    int DI_Ready;                    // a digital-input read completed, not yet delivered
    int Inputs_Begun;                // reads of the input round begun: 1 digital input, 2 counter
    int Input_Mask;                  // the input round's reads: the DI and counter block's channels
    int Padding;
    alignas(8) double AI_Next_Due; // experiment time the next analog round is due
    alignas(8) double Input_Next_Due;
    alignas(8) double AI_Stamp; // due time of the analog round last begun: its data's time
    alignas(8) double Input_Stamp;
};
static_assert(sizeof(MultiTaskState) == 120, "MultiTaskState is 120 bytes");
static_assert(offsetof(MultiTaskState, Actions) == 0, "Actions");
static_assert(offsetof(MultiTaskState, Task_List) == 24, "Task_List");
static_assert(offsetof(MultiTaskState, In_Flight) == 56, "In_Flight");
static_assert(offsetof(MultiTaskState, AI_Cursor) == 60, "AI_Cursor");
static_assert(offsetof(MultiTaskState, AI_Ready) == 64, "AI_Ready");
static_assert(offsetof(MultiTaskState, Counter_Ready) == 68, "Counter_Ready");
static_assert(offsetof(MultiTaskState, DI_Ready) == 72, "DI_Ready");
static_assert(offsetof(MultiTaskState, Inputs_Begun) == 76, "Inputs_Begun");
static_assert(offsetof(MultiTaskState, Input_Mask) == 80, "Input_Mask");
static_assert(offsetof(MultiTaskState, AI_Next_Due) == 88, "AI_Next_Due");
static_assert(offsetof(MultiTaskState, Input_Next_Due) == 96, "Input_Next_Due");
static_assert(offsetof(MultiTaskState, AI_Stamp) == 104, "AI_Stamp");
static_assert(offsetof(MultiTaskState, Input_Stamp) == 112, "Input_Stamp");

// The functions, as Port_Mask bits and Module_Type values.
enum {
    MULTI_ANALOG_INPUT = 1, // Module_Type 0
    MULTI_DIGITAL_OUTPUT = 2,
    MULTI_DIGITAL_INPUT = 4,
};
// The counter reset action.
#define MULTI_RESET_COUNTER 13

// A type's task codes (0 where it has no such task).
struct MultiTaskCodes {
    int analog;     // the analog reads of a round
    int excitation; // the excitation, when its value changed
    int output;     // the first output write
    int output2;    // the second output write
    int counter;    // the counter read of an input round
    int digital;    // the digital-input read of an input round
};

struct MultiTaskType {
    const MultiBlockType* multi;
    MultiTaskCodes codes;
    const char* actionName; // the counter reset's persistent name
    // ND6016: the counter reset is offered and taken only by a digital
    // input and counter block, for an argument of 0 or 1.
    int strictActions;
    // The master's shared state in its runtime record.
    MultiTaskState* (*state)(ModuleRecord* master);
    // The request a task begins (`cursor`: the analog read of the round);
    // -1 when there is nothing to send (an unchanged excitation).
    int (*request)(ModuleRecord* master, int code, int cursor);
    // The analog reads of a round.
    int (*analogReads)(ModuleRecord* master);
    // A write that failed goes out again: the type forgets what it last
    // wrote of `code`. May be null.
    void (*writeFailed)(ModuleRecord* master, int code);
    // The value of output `output` of the analog-input block.
    float (*analogValue)(ModuleRecord* master, ModuleRecord* block, int output);
    // The digital-input and counter cells of the master.
    int (*digitalInput)(ModuleRecord* master);
    WORD (*eventCount)(ModuleRecord* master);
    // Traces of the states, `code` the task begun. May be null.
    void (*trace)(int state, int code);
};

// The defaults of a new block by its function: its channel names and units
// ("AI n" or "DO n" and "V"; "DI" with "V" and "Counter" with "#"), and an
// empty action queue.
void MultiTaskDefaults(const MultiTaskType* type, ModuleRecord* module);
// A loaded record's function: its bits and its type made to agree (the bits
// decide when they name one function).
void MultiTaskLimitFunction(const MultiTaskType* type, ModuleRecord* module);
// The master's requests of the digital input and counter block of its
// hardware module (none without one): the digital read into `state` when
// its channel 0 is in use, the event read into `events` when channel 1 is.
// 0 when the scan list refused one (the block's name shows why too).
int MultiTaskAddInputReads(const MultiTaskType* type, ModuleRecord* master, WORD* state,
                           short* events, int* stateHandle, int* eventHandle,
                           int (*eventRead)(int port, int address, short* data, int checksum));

// The range box of an analog-input block's setup dialog: `range` of the
// table selected; a range chosen goes into *range and its unit into channel
// 0 of `work`, and the unit box shows the current channel's. The command
// answers 1 for the range box.
void MultiInitRangeBox(HWND dialog, const AnalogChoice* ranges, int count, int range);
int MultiRangeCommand(HWND dialog, const AnalogChoice* ranges, int count, void* work, int* range,
                      int id, int code);

// The list, on the master's state.
int MultiCurrentTask(const MultiTaskState* state);
// Appends a code unless it is listed (or there is no room).
void MultiAddTask(MultiTaskState* state, int code);
// Removes a code; the later codes move forward.
void MultiRemoveTask(MultiTaskState* state, int code);

// The master's start: the shared state of a new experiment (the action queue
// stays).
void MultiTaskStart(MultiTaskState* state, int inputMask);
// The counter reset of the start, when the module's digital input and
// counter block counts: "@AACE", reply '!'. 1 when done or not needed.
int MultiTaskResetCounter(const MultiTaskType* type, ModuleRecord* master);

// The master's serial work in its turn: a bounded loop over the engine's
// states; the turn passes when nothing is due or while an error wait runs.
void MultiTaskHardwareIO(const MultiTaskType* type, ModuleRecord* master);

// The blocks' exchange on every processing call.
void MultiTaskAnalogInput(const MultiTaskType* type, ModuleRecord* module);
void MultiTaskDigitalInput(const MultiTaskType* type, ModuleRecord* module);
// The task list of the block's serving master; null without one.
MultiTaskState* MultiTaskStateOf(const MultiTaskType* type, ModuleRecord* module,
                                 ModuleRecord** master);

// The host actions of a block.
int MultiTaskQueryActions(const MultiTaskType* type, ModuleRecord* module, int msg, int wParam,
                          const ActionRequest* request);
int MultiTaskDescribeAction(const MultiTaskType* type, ModuleRecord* module, int wParam,
                            ActionInfo* info);
int MultiTaskPerformAction(const MultiTaskType* type, ModuleRecord* module, int msg, int wParam,
                           const ActionRequest* request);

// The setup dialog of the block's function (0..2): `templates[f]` run with
// `proc` on `dialogs[f]`, the open dialog while it runs. Another function
// has none. 1.
int MultiTaskShowSetupDialog(const MultiTaskType* type, ModuleRecord* module,
                             const char* const* templates, const SetupDialogType* dialogs,
                             DLGPROC proc);
// The dialog procedure of the open dialog (MultiSetupDialogProc with
// `keepBoxes`); FALSE while none is open.
INT_PTR MultiTaskDialogProc(const MultiTaskType* type, int keepBoxes, HWND dialog, UINT msg,
                            WPARAM wParam, LPARAM lParam);

// A block's turn by its function: the analog input's delivery, the digital
// outputs' values (the type's `digitalOutput`), the digital input's
// delivery.
void MultiTaskExchange(const MultiTaskType* type, ModuleRecord* module,
                       void (*digitalOutput)(ModuleRecord* module));

// The class procedure of these types: the setup dialog by function, the
// start with the master's steps, the host actions; everything else the
// frame's.
int MultiTaskClassProc(const MultiTaskType* type, const TemplateStartSteps* masterSteps,
                       int (*showSetupDialog)(ModuleRecord* module), ModuleRecord* module, int msg,
                       int wParam, int lParam);

// The excitation a module is to get: `fixed`, or the host global variable
// `variable` (when not 0), limited to 0 .. 10 V; 0 when the variable cannot
// be read.
int MultiExcitation(float fixed, int variable, float* excitation);
// An excitation held within 0 .. 10 V (not a number: 0).
float MultiLimitExcitation(double value);

#endif
