// The frame of the block types that present one hardware module (one
// module address on one COM port) as several linked blocks: a master and its
// slaves, sharing one MasterID. The master alone is in the module table,
// opens the port, configures the module and does the serial work in its
// round-robin turn; every block exchanges its values with the host on every
// processing call through the master's runtime record.
//
// Each such type keeps its own table of at most 32 blocks, in the order they
// were created or loaded. A block enters it only once its creation or load
// has succeeded and leaves it when it is deleted. Nothing keeps a pointer to
// another block beyond one call: a block finds its master in the table when
// it needs it.
#ifndef TELVIO_FRAME_MULTIBLOCK_H
#define TELVIO_FRAME_MULTIBLOCK_H

#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/records.h"

#include <stddef.h>

#define MULTI_BLOCKS_MAX 32
#define MULTI_FIRST_MASTER_ID 100

// The blocks of one type, masters and slaves.
struct MultiBlockTable {
    ModuleRecord* blocks[MULTI_BLOCKS_MAX];
    int count;
    int nextMasterID; // the MasterID of the next new hardware module
};

// Where a type keeps the master and slave fields in its parameter record.
struct MultiFields {
    int isMaster;     // BOOL: the master of its hardware module
    int moduleType;   // int: the function (ND6014, ND6016); -1 when the type has none
    int portMask;     // int: the function or port bits the block serves
    int isInput;      // BOOL: 1 the block delivers into the worksheet, 0 it takes from it
    int masterId;     // int: the hardware module
    int configInput;  // int: master: the input blocks' bits; slave: its own when an input
    int portAssigned; // int: master: the bits taken by the blocks of the module
};

// The fields of a parameter record that has them all under their stored
// names.
#define MULTI_FIELDS_OF(Param)                                                                     \
    {                                                                                              \
        offsetof(Param, IsMaster), offsetof(Param, Module_Type), offsetof(Param, Port_Mask),       \
            offsetof(Param, IsInput), offsetof(Param, MasterID), offsetof(Param, ConfigInput),     \
            offsetof(Param, PortAssigned)                                                          \
    }

// The head of every runtime record of these types. The master's is the one
// that counts: its timing, checksum setting and error wait.
struct MultiRuntime {
    TemplateRuntime Frame; // the template's start fills it (a slave's start: the timing)
    int Serving;           // the master's start succeeded in this experiment
};
static_assert(sizeof(MultiRuntime) == 64, "MultiRuntime is 64 bytes");
static_assert(offsetof(MultiRuntime, Frame) == 0, "the template's fields first");
static_assert(offsetof(MultiRuntime, Serving) == 56, "Serving");

// Where every record of these types keeps the fields all block types have.
#define MULTI_ADDRESS_OFFSET 388
#define MULTI_MASK_OFFSET 392
#define MULTI_COM_OFFSET 396
#define MULTI_MESS_OFFSET 432
#define MULTI_UNIT_OFFSET 488
#define MULTI_COPY_OFFSET 1512

// The frame's view of a type's record: as an input block, an output block
// (the setup dialog sizes the block by it) or a block of neither form (the
// class procedure), with the members the type names (`own`: its identifier,
// form, model, models, restart note, schema and start policy). The type's start, dialogs
// and requests are its own.
constexpr TemplateType MultiTemplateType(const TemplateType& own) {
    return TemplateType{
        .type = own.type,
        .form = own.form,
        .maxChannels = TEMPLATE_CHANNELS,
        .channelLimit = TEMPLATE_CHANNELS,
        .model = own.model,
        .models = own.models,
        .modelCount = 1,
        .nameFormat = "",
        .unit = "",
        .restartNote = own.restartNote,
        .schema = own.schema,
        .addressOffset = MULTI_ADDRESS_OFFSET,
        .maskOffset = MULTI_MASK_OFFSET,
        .comOffset = MULTI_COM_OFFSET,
        .messOffset = MULTI_MESS_OFFSET,
        .unitOffset = MULTI_UNIT_OFFSET,
        .copyOffset = MULTI_COPY_OFFSET,
        .start = own.start,
    };
}

// The same view in another form.
constexpr TemplateType MultiTemplateForm(TemplateType frame, int form) {
    frame.form = form;
    return frame;
}

// What the creation dialog chose.
enum {
    MULTI_NEW_MODULE = -1, // a new hardware module
    MULTI_CANCELLED = -2,
};
struct MultiChoice {
    int master;     // the master's index in the table, or MULTI_NEW_MODULE, MULTI_CANCELLED
    int bits;       // the functions or ports of the new block
    int input;      // 1 an input block
    int moduleType; // the function, where the type has one
};

struct MultiBlockType {
    const TemplateType* frame; // common offsets, schema, model, restart note
    MultiBlockTable* table;
    MultiFields fields;
    int functions;          // every function or port bit of a hardware module
    const char* fullText;   // the warning for a block beyond the table
    const char* deleteText; // the internal error for a deleted block not in the table
    // The creation dialog: 1 when it chose a master (or a new hardware
    // module) and some bits.
    int (*runPortDialog)(const MultiBlockType* type, MultiChoice* choice);
    // The type's own defaults of a new block, after the frame's fields.
    void (*defaults)(ModuleRecord* module);
    // The type's own values of a loaded record, held within what the type
    // offers. May be null.
    void (*limitLoaded)(ModuleRecord* module);
    // The channels a block of these bits (and function) has; 0 for none.
    int (*channels)(int bits, int moduleType);
};

// The fields of a parameter record (the block's, or a working copy).
int* MultiFieldIn(void* param, int offset);
int MultiIsMaster(const MultiBlockType* type, ModuleRecord* module);
int MultiIsInput(const MultiBlockType* type, ModuleRecord* module);
int MultiBits(const MultiBlockType* type, ModuleRecord* module);
int MultiModuleType(const MultiBlockType* type, ModuleRecord* module);
int MultiMasterID(const MultiBlockType* type, ModuleRecord* module);
MultiRuntime* MultiRuntimeOf(ModuleRecord* module);
// The channels of the block by its bits and function.
int MultiChannels(const MultiBlockType* type, ModuleRecord* module);

// The table: its count, block i (null outside), the index of a block (-1).
int MultiCount(const MultiBlockType* type);
ModuleRecord* MultiBlockAt(const MultiBlockType* type, int index);
int MultiIndexOf(const MultiBlockType* type, const ModuleRecord* module);
// A master with bits still free; the first such one in table order from
// `from` on, or -1.
int MultiNextOpenMaster(const MultiBlockType* type, int from);

// The block itself when it is the master; otherwise the first master of the
// table with its MasterID; null when there is none.
ModuleRecord* MultiFindMaster(const MultiBlockType* type, ModuleRecord* module);
// The master when its start succeeded in this experiment; null otherwise.
ModuleRecord* MultiServingMaster(const MultiBlockType* type, ModuleRecord* module);
// The first block of the hardware module of `master` (it included) that
// serves `bits`; null when none does.
ModuleRecord* MultiBlockServing(const MultiBlockType* type, ModuleRecord* master, int bits);
// The blocks of a hardware module in table order: `*index` starts at 0; the
// next block of the module, or null at the end.
ModuleRecord* MultiNextOfModule(const MultiBlockType* type, ModuleRecord* master, int* index);

// The roles of the frame.
int MultiCreateDefaults(const MultiBlockType* type, ModuleRecord* module);
int MultiAfterLoad(const MultiBlockType* type, ModuleRecord* module);
int MultiDeleteModule(const MultiBlockType* type, ModuleRecord* module);
int MultiSetChannelTiming(const MultiBlockType* type, ModuleRecord* module, int output);
// The start: the master through the template's start with its steps (which
// configure the module and register the requests of every block of the
// hardware module); a slave takes the timing of its master's settings.
int MultiStartMeasurement(const MultiBlockType* type, ModuleRecord* module,
                          const TemplateStartSteps* masterSteps);
int MultiStopMeasurement(const MultiBlockType* type, ModuleRecord* module);
// The class procedure of these types for every message the type does not
// answer itself.
int MultiClassProc(const MultiBlockType* type, ModuleRecord* module, int msg, int wParam,
                   int lParam);
// The processing procedure: the master's serial work in its turn, then the
// block's own exchange with the host; 1.
int MultiProcess(const MultiBlockType* type, ModuleRecord* module,
                 void (*hardwareIO)(ModuleRecord* master), void (*exchange)(ModuleRecord* module));

// The exchange with the host's data blocks.
// Fills output j's data block with values[j] in every sample, the time and
// the block's own sample distance and count. The data blocks of every output
// are taken first: when the host has none for one of them nothing is
// released and the answer is 0 (the values wait for a later call).
int MultiDeliver(ModuleRecord* module, const float* values, int count, double time);
// The host's newest values of the block's inputs into `image` by the
// digital image engine (bit c for channel c, the channel of input k the
// k-th set bit of `mask`); the channels that got a value.
DWORD MultiTakeChannels(ModuleRecord* module, WORD mask, DWORD* image);

// The creation dialog of the types that split a module by function (one
// function per block: analog input 1, digital output 2, digital input and
// counter 4). Its controls from `firstId` on: new hardware module, join a
// module, the modules' combo box, then the three functions.
struct MultiFunctionDialog {
    const char* templateName;
    int firstId;
    DWORD helpContext;
};
int MultiRunFunctionDialog(const MultiBlockType* type, const MultiFunctionDialog* dialog,
                           MultiChoice* choice);

// The controls every creation dialog has: a new hardware module or one to
// join, and the combo box of the modules with bits still free.
struct MultiCreationIds {
    int newModule;
    int joinModule;
    int modules;
};
// Opening a creation dialog: the modules with bits free listed and the first
// chosen; with none, a new hardware module, "- - -" in the disabled combo box
// and the join button disabled. The master's index or MULTI_NEW_MODULE.
int MultiCreationInit(const MultiBlockType* type, HWND dialog, const MultiCreationIds* ids);
// What a command of a creation dialog was.
enum {
    MULTI_COMMAND_OTHER = 0,  // none of the shared controls: the type's own
    MULTI_COMMAND_TAKEN = 1,  // taken (OK and Cancel end the dialog)
    MULTI_COMMAND_MASTER = 2, // the choice of module changed: the type shows what it has free
};
// The shared controls, OK and Cancel, on `choice`.
int MultiCreationCommand(const MultiBlockType* type, HWND dialog, const MultiCreationIds* ids,
                         MultiChoice* choice, int id, int code);
// Runs a creation dialog whose procedure keeps its choice in *choice; the
// choice into *out, and 1 when it ended with OK on a module and some bits.
int MultiRunCreationDialog(const char* templateName, DLGPROC proc, MultiChoice* choice,
                           MultiChoice* out);

// The setup dialogs of these types, on the frame of every setup dialog.
// Opening: the block's channels must be 1 to 16 ("Number of channels"
// otherwise, and the dialog ends); a slave's port and address boxes show its
// master's values (`keepBoxes`) or nothing, disabled, with Test and
// Measurement. OK is refused while no channel is in use.
INT_PTR MultiSetupDialogProc(const MultiBlockType* type, const SetupDialogType* dialogType,
                             int keepBoxes, HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// The name of the block's master into a static control ("- - -" without one).
void MultiShowMasterName(const MultiBlockType* type, ModuleRecord* module, HWND dialog, int id);

#endif
