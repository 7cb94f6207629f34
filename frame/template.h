// The module-type template: what a block type hands the frame (one
// TemplateType), the runtime records of the template's loops, the rows of
// a parameter schema, and the class procedure that answers the host's
// messages with the frame's parts: the fields of a block's records
// (frame/fields.h), creation, loading and the channel names
// (frame/lifecycle.h), the start and stop (frame/start.h) and the
// processing loops (frame/loops.h).
#ifndef TELVIO_FRAME_TEMPLATE_H
#define TELVIO_FRAME_TEMPLATE_H

#include "frame/messparam.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

// The messages a type's class procedure handles.
enum {
    TEMPLATE_INPUT_FORM = 0,  // input types
    TEMPLATE_OUTPUT_FORM = 1, // output types
    TEMPLATE_NO_EXCHANGE = 2, // the types without channel exchange
};

#define TEMPLATE_CHANNELS 16
#define TEMPLATE_NAME_CHARS 24
#define TEMPLATE_UNIT_CHARS 64

// The runtime record of the single-request types.
struct TemplateRuntime {
    int Channel_Index;                // analog inputs: the channel in progress or next
    int ScanHandle;                   // digital types: their one request
    alignas(8) double Sample_Seconds; // seconds per sample
    WORD Block_Samples;               // samples per delivered data block
    alignas(8) double Poll_Interval;  // seconds between two sweeps
    alignas(8) double Next_Due;       // experiment time of the next sweep
    int Uses_Checksum;                // the module answers with checksums
    int Error_Waiting;                // waiting after a failed transaction
    alignas(8) double Resume_Time;    // experiment time the wait ends
};
static_assert(sizeof(TemplateRuntime) == 56, "TemplateRuntime is 56 bytes");
static_assert(offsetof(TemplateRuntime, Channel_Index) == 0, "Channel_Index");
static_assert(offsetof(TemplateRuntime, ScanHandle) == 4, "ScanHandle");
static_assert(offsetof(TemplateRuntime, Sample_Seconds) == 8, "Sample_Seconds");
static_assert(offsetof(TemplateRuntime, Block_Samples) == 16, "Block_Samples");
static_assert(offsetof(TemplateRuntime, Poll_Interval) == 24, "Poll_Interval");
static_assert(offsetof(TemplateRuntime, Next_Due) == 32, "Next_Due");
static_assert(offsetof(TemplateRuntime, Uses_Checksum) == 40, "Uses_Checksum");
static_assert(offsetof(TemplateRuntime, Error_Waiting) == 44, "Error_Waiting");
static_assert(offsetof(TemplateRuntime, Resume_Time) == 48, "Resume_Time");

// The runtime record of the per-channel input types that keep a due time for
// each channel, on the block's own clock from its start (184 bytes).
struct TemplateDueRuntime {
    int Channel_Index;                 // the output channel served next
    int Unused;                        // the type field of the other layout
    alignas(8) double Sample_Seconds;  // seconds per sample
    WORD Block_Samples;                // samples per delivered data block
    alignas(8) double Poll_Interval;   // seconds between two readings of a channel
    alignas(8) double Channel_Due[16]; // per output channel, on the block's clock
    int Uses_Checksum;
    int Error_Waiting;
    alignas(8) double Resume_Time; // experiment time the wait ends
    alignas(8) double Start_Time;  // experiment time of the start: the block's clock is 0 there
};
static_assert(sizeof(TemplateDueRuntime) == 184, "TemplateDueRuntime is 184 bytes");
static_assert(offsetof(TemplateDueRuntime, Sample_Seconds) == 8, "Sample_Seconds");
static_assert(offsetof(TemplateDueRuntime, Block_Samples) == 16, "Block_Samples");
static_assert(offsetof(TemplateDueRuntime, Poll_Interval) == 24, "Poll_Interval");
static_assert(offsetof(TemplateDueRuntime, Channel_Due) == 32, "Channel_Due");
static_assert(offsetof(TemplateDueRuntime, Uses_Checksum) == 160, "Uses_Checksum");
static_assert(offsetof(TemplateDueRuntime, Error_Waiting) == 164, "Error_Waiting");
static_assert(offsetof(TemplateDueRuntime, Resume_Time) == 168, "Resume_Time");
static_assert(offsetof(TemplateDueRuntime, Start_Time) == 176, "Start_Time");

// When a type's turn sends its port's keep-alive (TemplateType watchdogTick).
enum {
    TEMPLATE_TICK_NONE = 0,
    TEMPLATE_TICK_ALWAYS = 1, // while the block's Watchdog_On is set
    TEMPLATE_TICK_TELV = 2,   // the same, in the family "TELV" only
};

// A schema row of member `field` of record `Param`, and the rows of the
// ComSettings (7) and MessParam (11) blocks at members `com` and `mess`.
#define TEMPLATE_ROW(Param, name, type, field)                                                     \
    { name, type, static_cast<int>(offsetof(Param, field)), 0 }
#define TEMPLATE_SUBROW(Param, name, type, outer, Inner, inner)                                    \
    { name, type, static_cast<int>(offsetof(Param, outer) + offsetof(Inner, inner)), 0 }
#define TEMPLATE_COM_ROWS(Param, com)                                                              \
    TEMPLATE_SUBROW(Param, "Port_Number", "int", com, ComSettings, Port_Number),                   \
        TEMPLATE_SUBROW(Param, "Baud_Rate", "int", com, ComSettings, Baud_Rate),                   \
        TEMPLATE_SUBROW(Param, "Data_Bits", "int", com, ComSettings, Data_Bits),                   \
        TEMPLATE_SUBROW(Param, "Stop_Bits", "int", com, ComSettings, Stop_Bits),                   \
        TEMPLATE_SUBROW(Param, "Parity", "int", com, ComSettings, Parity),                         \
        TEMPLATE_SUBROW(Param, "RS232_Buffer", "int", com, ComSettings, RS232_Buffer),             \
        TEMPLATE_SUBROW(Param, "Dummy1", "WORD[0..3]", com, ComSettings, Dummy1)
#define TEMPLATE_MESS_ROWS(Param, mess)                                                            \
    TEMPLATE_SUBROW(Param, "Use_Global_Settings", "BOOL", mess, MessParam, Use_Global_Settings),   \
        TEMPLATE_SUBROW(Param, "Time_Seconds", "BOOL", mess, MessParam, Time_Seconds),             \
        TEMPLATE_SUBROW(Param, "Sample_Distance", "double", mess, MessParam, Sample_Distance),     \
        TEMPLATE_SUBROW(Param, "Error_Stop", "BOOL", mess, MessParam, Error_Stop),                 \
        TEMPLATE_SUBROW(Param, "Error_Wait_Min", "int", mess, MessParam, Error_Wait_Min),          \
        TEMPLATE_SUBROW(Param, "Error_Set_Var", "BOOL", mess, MessParam, Error_Set_Var),           \
        TEMPLATE_SUBROW(Param, "Error_Var_Nr", "int", mess, MessParam, Error_Var_Nr),              \
        TEMPLATE_SUBROW(Param, "Watchdog_On", "BOOL", mess, MessParam, Watchdog_On),               \
        TEMPLATE_SUBROW(Param, "Watchdog_Time", "int", mess, MessParam, Watchdog_Time),            \
        TEMPLATE_SUBROW(Param, "Watchdog_Value", "WORD", mess, MessParam, Watchdog_Value),         \
        TEMPLATE_SUBROW(Param, "Dummy2", "WORD[0..3]", mess, MessParam, Dummy2)

// A maskOffset of the types whose channels are counted, not masked: the
// block uses channels 0 to its channel count - 1, each on a module of its
// own, whose address is the channel's int of the array at addressOffset.
#define TEMPLATE_MODULE_PER_CHANNEL (-1)

// What a start does with a module that does not answer the probe.
enum {
    TEMPLATE_SILENT_STOP = 0, // the start fails and the experiment is stopped
    TEMPLATE_SILENT_FAIL = 1, // the start fails, the experiment goes on
    // The user is asked whether to go on without the module: Yes starts the
    // block without identifying it, No fails the start as TEMPLATE_SILENT_STOP
    // or, with TEMPLATE_SILENT_ASK_FAIL, as TEMPLATE_SILENT_FAIL.
    TEMPLATE_SILENT_ASK = 2,
    TEMPLATE_SILENT_ASK_FAIL = 3,
};

// What a start does with a module of a model the type does not accept.
enum {
    TEMPLATE_WRONG_STOP = 0, // the start fails and the experiment is stopped
    TEMPLATE_WRONG_FAIL = 1, // the start fails, the experiment goes on
};

// The start policy of a type: how its start meets a module that is silent,
// of another model, or at an address it cannot have, and the texts it
// shows. A member the type does not name is the frame's: the experiment
// stopped, the shared texts.
struct TemplateStartPolicy {
    int silent = TEMPLATE_SILENT_STOP; // TEMPLATE_SILENT_*
    int wrong = TEMPLATE_WRONG_STOP;   // TEMPLATE_WRONG_*
    // The Yes/No question of TEMPLATE_SILENT_ASK*: a string id of the type's
    // own; 0: the shared one.
    UINT silentQuestion = 0;
    // Shown for a negative model number other than -1 (the answer of another
    // module, shown as no reply); 0: the frame's, "Error. Uses checksums ?"
    // for -2 (a number above 99999) and "Wrong module type connected." for
    // any other.
    UINT badNumberText = 0;
    // Shown for an address outside the module range; 0: the frame's.
    UINT badAddressText = 0;
    // 1: a request the full scan list refused is shown once more, under the
    // block's name, after the list's own message.
    int fullListShown = 0;
};

// What a type supplies to the frame, by designated members: a member the
// type does not name is 0 or null. The offsets are those of the common
// fields in the type's parameter record (Version is at 0, the channel names
// at 4).
struct TemplateType {
    const char* type = nullptr;  // type identifier
    int form = 0;                // TEMPLATE_*_FORM
    int maxChannels = 0;         // channels of the module (the dialog's buttons), at most 16
    int channelLimit = 0;        // MODMSG_CHECK_LAYOUT: most channels the other block may have
    int model = 0;               // module table and module test
    const int* models = nullptr; // accepted at start, `modelCount` of them
    int modelCount = 0;
    const char* nameFormat = nullptr; // default channel name, filled with the channel index
    const char* unit = nullptr;       // default unit
    int namedChannels = 0;            // channels that get the defaults
    const char* restartNote = nullptr;
    const ParamSchemaEntry* schema = nullptr;
    int addressOffset = 0;
    int maskOffset = 0; // TEMPLATE_MODULE_PER_CHANNEL: no mask
    int comOffset = 0;
    int messOffset = 0;
    int unitOffset = 0; // -1: no units
    int copyOffset = 0; // -1: no copy flags
    // The setup dialog; null: the host's default action.
    const char* dialogTemplate = nullptr;
    DLGPROC setupDlgProc = nullptr;
    // The type's own defaults of a new block (after the frame's); may be null.
    void (*defaults)(ModuleRecord* module) = nullptr;
    // Start step: configure the module with TemplateSendAndExpect; 1 when
    // done, 0 when it failed (the experiment has been stopped and the
    // failure shown). May be null.
    int (*configure)(ModuleRecord* module, const TemplateType* type) = nullptr;
    // Start step of the per-channel types: the request of output channel j
    // on channel c, into that channel's record. May be null.
    int (*addRequest)(ModuleRecord* module, const TemplateType* type, int j, int c) = nullptr;
    // Start step of the one-request types: the sweep's request, kept in the
    // runtime's ScanHandle. May be null.
    int (*addSweepRequest)(ModuleRecord* module, const TemplateType* type) = nullptr;
    // TEMPLATE_TICK_*: the type's modules have their own watchdog, armed by
    // its start step: the port's keep-alive goes out at the block's idle
    // turns.
    int watchdogTick = 0;
    // 1: a stop of a block of the type disarms every port's keep-alive.
    int watchdogResetAtStop = 0;
    // What the type's start writes into the module, as a text that every
    // block on one module must agree on (ND6018: the type code); null when
    // the start writes nothing into the module.
    void (*moduleSetting)(ModuleRecord* module, char* text, int size) = nullptr;
    // How the start meets a module that does not answer, is not one of the
    // type's models or gives a number that cannot be read.
    TemplateStartPolicy start = {};
    // 1: the runtime record is a TemplateDueRuntime, and the processing
    // loop keeps a due time per channel: TemplateProcessChannelsDue of the
    // input types, TemplateProcessWrites of the output types.
    int channelDue = 0;
    // 1: every start-sequence reply is written to the debug output.
    int traceReplies = 0;
    // 1: a loaded record is taken whatever its Version (the types whose
    // stored records may carry Version 0).
    int anyVersion = 0;
};

// The offsets of the frame's fields in a parameter record that has them
// under their stored names, as designated members of a TemplateType.
#define TEMPLATE_RECORD_OFFSETS(Param)                                                             \
    .addressOffset = offsetof(Param, Module_Address), .maskOffset = offsetof(Param, Channel_Mask), \
    .comOffset = offsetof(Param, Com), .messOffset = offsetof(Param, Mess),                        \
    .unitOffset = offsetof(Param, Unit), .copyOffset = offsetof(Param, Copy_Channel_Name)

// The class procedure of a type: every message the frame answers, the rest
// the host's default action.
int TemplateClassProc(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                      int lParam);

#endif
