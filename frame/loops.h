// The shared frame of every block type: the class procedure in its three
// forms, creation, loading and deletion, the start and stop of a block, the
// blocking query of a start sequence and the per-channel input loop of the
// processing procedure. A type hands its values and its own steps in one
// TemplateType.
#ifndef TELVIO_FRAME_TEMPLATE_H
#define TELVIO_FRAME_TEMPLATE_H

#include "frame/messparam.h"
#include "frame/poll.h"
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
// The buffer of a start-sequence query: command out, reply back.
#define TEMPLATE_QUERY_SIZE 40
// The text of a type's module setting.
#define TEMPLATE_SETTING_SIZE 32

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

// What a type supplies to the frame. The offsets are those of the common
// fields in the type's parameter record (Version is at 0, the channel names
// at 4).
struct TemplateType {
    const char* type;  // type identifier
    int form;          // TEMPLATE_*_FORM
    int maxChannels;   // channels of the module (the dialog's buttons), at most 16
    int channelLimit;  // message 2: most channels the other block may have
    int model;         // module table and module test
    const int* models; // accepted at start, `modelCount` of them
    int modelCount;
    const char* nameFormat; // default channel name, filled with the channel index
    const char* unit;       // default unit
    int namedChannels;      // channels that get the defaults
    const char* restartNote;
    const ParamSchemaEntry* schema;
    int addressOffset;
    int maskOffset; // TEMPLATE_MODULE_PER_CHANNEL: no mask
    int comOffset;
    int messOffset;
    int unitOffset; // -1: no units
    int copyOffset; // -1: no copy flags
    // The setup dialog; null: the host's default action.
    const char* dialogTemplate;
    DLGPROC setupDlgProc;
    // The type's own defaults of a new block (after the frame's); may be null.
    void (*defaults)(ModuleRecord* module);
    // Start step: configure the module with TemplateSendAndExpect; 1 when
    // done, 0 when it failed (the experiment has been stopped and the
    // failure shown). May be null.
    int (*configure)(ModuleRecord* module, const TemplateType* type);
    // Start step of the per-channel types: the request of output channel j
    // on channel c, into that channel's record. May be null.
    int (*addRequest)(ModuleRecord* module, const TemplateType* type, int j, int c);
    // Start step of the one-request types: the sweep's request, kept in the
    // runtime's ScanHandle. May be null.
    int (*addSweepRequest)(ModuleRecord* module, const TemplateType* type);
    // TEMPLATE_TICK_*: the type's modules have their own watchdog, armed by
    // its start step: the port's keep-alive goes out at the block's idle
    // turns.
    int watchdogTick;
    // 1: a stop of a block of the type disarms every port's keep-alive.
    int watchdogResetAtStop;
    // What the type's start writes into the module, as a text that every
    // block on one module must agree on (ND6018: the type code); null when
    // the start writes nothing into the module.
    void (*moduleSetting)(ModuleRecord* module, char* text, int size) = nullptr;
    // TEMPLATE_START_*: how the start meets a module that is silent or not
    // one of the type's models; 0 stops the experiment for both.
    int startFlags = 0;
    // The Yes/No question of TEMPLATE_START_SILENT_ASKS: a string id of the
    // type's own; 0: the shared one.
    UINT silentQuestion = 0;
    // 1: the runtime record is a TemplateDueRuntime and the processing
    // procedure TemplateProcessChannelsDue.
    int channelDue = 0;
    // 1: every start-sequence reply is written to the debug output.
    int traceReplies = 0;
    // 1: a loaded record is taken whatever its Version (the types whose
    // stored records may carry Version 0).
    int anyVersion = 0;
};

// The type `t`, taking loaded records whatever their Version.
constexpr TemplateType TemplateAnyVersion(TemplateType t) {
    t.anyVersion = 1;
    return t;
}

// How a start meets a module that does not answer or is not one of the
// type's models (TemplateType.startFlags).
enum {
    // A silent module refuses the start; the experiment is not stopped.
    TEMPLATE_START_SILENT_REFUSES = 1,
    // A silent module: the user is asked whether to go on; yes starts the
    // block without identifying the module, no refuses the start as a
    // silent module does (stopping the experiment unless
    // TEMPLATE_START_SILENT_REFUSES).
    TEMPLATE_START_SILENT_ASKS = 2,
    // A model number the module gives that cannot be read (above 99999)
    // is shown as a module that does not reply.
    TEMPLATE_START_BAD_NUMBER_SILENT = 8,
};

// The model the start in progress identified, for the type's own steps:
// TEMPLATE_MODEL_UNREAD when it went on without asking the module.
#define TEMPLATE_MODEL_UNREAD (-1)
int TemplateStartModel();
// 1 when the model is one the type accepts: a number of its list, where 0
// is a module without a readable name, or one that an entry
// MODEL_ENDING_IN (frame/moduletest.h) stands for.
int TemplateModelAccepted(const TemplateType* type, int model);

// The own steps of a type with one request per sweep (digital inputs and the
// output types) around the shared turn loop; the request is the runtime's
// ScanHandle.
struct TemplateSweepSteps {
    // Before the turn: an output type takes the host's values into the
    // request's value cell. May be null.
    void (*prepare)(ModuleRecord* module, const TemplateType* type);
    // The request came back: an input type delivers its values, an output
    // type notes what was written. 0 when the host has no data block yet
    // (the value stays ready for a later call). May be null.
    int (*ready)(ModuleRecord* module, const TemplateType* type);
    // The sweep is due: 1 when its request is to go out now; 0 passes the
    // turn (an output that writes only on change, with nothing changed).
    // May be null: always.
    int (*wanted)(ModuleRecord* module, const TemplateType* type);
    // The request was begun (it goes out in this call). May be null.
    void (*begun)(ModuleRecord* module, const TemplateType* type);
    // 1: the due time moves on by one poll interval per completed request,
    // however late it was (an output that writes only on change writes a
    // change at once when its due time has passed); 0: a late request skips
    // the sweeps it missed.
    int keepDue = 0;
};

// The own steps of a type whose output channels share requests (one reply
// may serve several outputs) around the per-channel input loop. Without
// them the loop takes each output's request and value from its ChannelScan
// record.
struct TemplateChannelSteps {
    // The request of output j; -1 when it has none.
    int (*request)(ModuleRecord* module, int output);
    // The value output j delivers from its request's reply.
    float (*value)(ModuleRecord* module, int output);
    // 1 when output j + 1 takes its value from the reply of output j. May be
    // null.
    int (*sameReply)(ModuleRecord* module, int output);
    // At the idle turn, after the keep-alive of the modules' watchdog and
    // before the due time: the host's queued actions. 0 when the block's
    // error policy has stopped the experiment (the turn passes). May be null.
    int (*idle)(ModuleRecord* module, const TemplateType* type);
};

// The own steps of the output types with one request per input channel (the
// analog outputs) around the shared output loop. Input i's request is the
// ScanHandle of its ChannelScan record, whose Channel_Value is the value
// cell: the loop takes the host's newest sample into it at the block's turn
// (a sample that is not a number, or a data block without samples, leaves
// the value as it was) and never writes a cell that holds no number.
struct TemplateWriteSteps {
    // The value the cell takes for input i's sample: the type limits it to
    // the channel's range, so that every value fits its request. May be
    // null: the sample as it is.
    float (*limit)(ModuleRecord* module, int input, float sample);
    // 1 when input i is written in this cycle; an input passed over waits
    // for the next cycle. May be null: every input with a value.
    int (*wanted)(ModuleRecord* module, int input);
    // Input i's write came back. May be null.
    void (*written)(ModuleRecord* module, int input);
    // 1 while a watchdog of the block's modules is on: the port's
    // keep-alive goes out at the block's idle turns (types with
    // watchdogTick). May be null: the block's Watchdog_On.
    int (*watchdogOn)(ModuleRecord* module);
};

// What a module that does not answer the probe at start does.
enum {
    TEMPLATE_SILENT_STOP = 0, // the experiment is stopped, the start fails
    TEMPLATE_SILENT_FAIL = 1, // the start fails, the experiment is not stopped
    TEMPLATE_SILENT_ASK = 2,  // the user is asked whether to go on without the module
};

// What a module of a model the type does not accept does at start.
enum {
    TEMPLATE_WRONG_STOP = 0, // the experiment is stopped, the start fails
    TEMPLATE_WRONG_FAIL = 1, // the start fails, the experiment is not stopped
};

// The own steps of a start whose requests are not one per output channel
// (the types with alarm outputs and counters). Every hook may be null.
struct TemplateStartSteps {
    int silent;          // TEMPLATE_SILENT_*
    UINT badAddressText; // an address outside the module range; 0: the template's
    // The module's configuration, after it was identified (`model`: the number
    // it reported, 0 for none). Not called when the user went on without the
    // module. 1 done, 0 failed (the experiment has been stopped).
    int (*configure)(ModuleRecord* module, const TemplateType* type, int model);
    // The block's requests, after the timing; 1 when registered (also when
    // the block has none), 0 when the scan list refused one.
    int (*addRequests)(ModuleRecord* module, const TemplateType* type);
    // The last commands of the start (counters, the module's watchdog);
    // `model` is 0 when the module was not identified. 1 done, 0 failed.
    int (*finish)(ModuleRecord* module, const TemplateType* type, int model);
    int wrong; // TEMPLATE_WRONG_*
    // Shown for a model number the module gives that cannot be read; 0:
    // "Error. Uses checksums ?".
    UINT badNumberText;
};

// Common fields of a parameter record of the type: the block's, or a copy of
// it (the setup dialog's working copy).
char* TemplateNameIn(void* param, int channel);
char* TemplateUnitIn(const TemplateType* type, void* param, int channel);     // null: no units
BOOL* TemplateCopyFlagIn(const TemplateType* type, void* param, int channel); // null: no flags
int* TemplateAddressIn(const TemplateType* type, void* param);
WORD* TemplateMaskIn(const TemplateType* type, void* param);
ComSettings* TemplateComIn(const TemplateType* type, void* param);
MessParam* TemplateMessIn(const TemplateType* type, void* param);
// The channels of the module as mask bits.
WORD TemplateChannelBits(const TemplateType* type);
// 1 for a type with a module per channel (TEMPLATE_MODULE_PER_CHANNEL).
int TemplateModulePerChannel(const TemplateType* type);

// The same fields of a block's parameter record.
int* TemplateVersion(ModuleRecord* module);
char* TemplateChannelName(ModuleRecord* module, int channel);
int* TemplateAddress(ModuleRecord* module, const TemplateType* type);
// Null for a type with a module per channel.
WORD* TemplateMask(ModuleRecord* module, const TemplateType* type);
// The channels in use: the mask's bits of the module's channels, or for a
// type with a module per channel the first as many as the block has.
WORD TemplateChannelsInUse(ModuleRecord* module, const TemplateType* type);
ComSettings* TemplateCom(ModuleRecord* module, const TemplateType* type);
MessParam* TemplateMess(ModuleRecord* module, const TemplateType* type);
TemplateRuntime* TemplateRuntimeOf(ModuleRecord* module);
TemplateDueRuntime* TemplateDueRuntimeOf(ModuleRecord* module);
// The block's checksum setting, in either runtime layout of the type.
int* TemplateUsesChecksum(const TemplateType* type, ModuleRecord* module);
ChannelScan* TemplateChannelScan(ModuleRecord* module, int j);
// The channel of the j-th set bit of the mask; -1 when there is none.
int TemplateChannelOfOutput(WORD mask, int j);

// The roles.
int TemplateClassProc(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                      int lParam);
// Message 151 of the input types: each output channel is named after the
// channel it carries.
void TemplateOutputNames(const TemplateType* type, ModuleRecord* module);
int TemplateCreateDefaults(const TemplateType* type, ModuleRecord* module);
int TemplateAfterLoad(const TemplateType* type, ModuleRecord* module);
int TemplateDeleteModule(ModuleRecord* module);
int TemplateRefreshComSettings(const TemplateType* type, ModuleRecord* module);
int TemplateShowSetupDialog(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                            int lParam);
int TemplateSetChannelTiming(const TemplateType* type, ModuleRecord* module, int output);
// The block size and sample distance of output channel `output` by the
// settings (of the block, or of the block whose settings it measures with).
int TemplateSetOutputTiming(ModuleRecord* module, int output, const MessParam* settings);
// A start's timing by the settings: seconds per sample, samples per data
// block, the poll interval, and the first sweep due at once.
void TemplateTiming(TemplateRuntime* rt, const MessParam* settings);
int TemplateExportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
int TemplateCheckChannelLayout(const TemplateType* type, ModuleRecord* other);
int TemplateImportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
// The exchange of the first `channels` channels, for a type whose record
// holds fewer than 16; the import without the defaults before it.
int TemplateExportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels);
int TemplateImportChannels(const TemplateType* type, ModuleRecord* module, ModuleRecord* partner,
                           int channels);
// Messages 152 and 153 of the output form, on the first `channels` channels:
// the name of what feeds the channel, when its copy flag is set; every copy
// flag.
void TemplateInputName(const TemplateType* type, ModuleRecord* module, int channel,
                       const char* name, int channels);
void TemplateSetNameCopy(const TemplateType* type, ModuleRecord* module, int flag, int channels);
int TemplateReportGlobalVars(const TemplateType* type, ModuleRecord* module, int lParam);
int TemplateStartMeasurement(const TemplateType* type, ModuleRecord* module);
// The start with a type's own steps in place of the type's configure and
// request steps.
int TemplateStartMeasurementWith(const TemplateType* type, ModuleRecord* module,
                                 const TemplateStartSteps* steps);
// The pieces of a start, for the types whose start is not the frame's
// sequence (a module per channel). TemplateStartBegin: the monitor's note,
// the wait cursor, the scan list and the port number, every request handle
// of the block's channels invalid and no error wait carried over; 1, or 0
// after the failure was shown. TemplateIdentifyModule: the checksum probe
// and the model of the module at `address` on `port`; TEMPLATE_MODULE_OK
// with *checksum and *model, TEMPLATE_MODULE_SILENT,
// TEMPLATE_MODULE_UNREADABLE (it answered with lines that cannot be read),
// or TEMPLATE_MODULE_REFUSED with *checksum and the model it gave (-1: no
// readable answer, -2: a number above 99999). TemplateStartTiming: the sample time, block
// size, poll interval and the first cycle due at once. TemplateStartEnd: the
// round-robin cursor reset and the cursor restored; 1. TemplateStartFailed:
// the experiment stopped when `stop`, the text shown under the block's name
// (none for 0), the wait cursor restored; 0.
enum {
    TEMPLATE_MODULE_OK = 1,
    TEMPLATE_MODULE_SILENT = 0,
    TEMPLATE_MODULE_REFUSED = -1,
    TEMPLATE_MODULE_UNREADABLE = -2,
};
int TemplateStartBegin(const TemplateType* type, ModuleRecord* module);
// After the address: a block without channels is started with a warning;
// measurement settings it cannot measure with fail the start (0, shown).
int TemplateStartChecks(const TemplateType* type, ModuleRecord* module);
int TemplateIdentifyModule(const TemplateType* type, int port, int address, int* checksum,
                           int* model);
void TemplateStartTiming(const TemplateType* type, ModuleRecord* module);
int TemplateStartEnd();
int TemplateStartFailed(ModuleRecord* module, UINT textId, int stop);
// Sends `text` and leaves the reply in it (TEMPLATE_QUERY_SIZE bytes). 1 when
// a whole, clean reply came that begins with `expected`; otherwise the
// experiment is stopped, the communication problem shown and 0.
int TemplateSendAndExpect(const TemplateType* type, ModuleRecord* module, char* text, char expected,
                          int checksum, int waitMs);
// The baud index (0..5) a rewritten module configuration takes: the speed
// its port runs at, from the port table, else the block's own setting.
int TemplatePortBaud(const TemplateType* type, ModuleRecord* module);
int TemplateStopMeasurement(ModuleRecord* module, const TemplateType* type);
// The processing procedure of the per-channel input types: one request per
// output channel, each sweep delivering every channel once.
int TemplateProcessInputs(const TemplateType* type, ModuleRecord* module);
// The processing procedure of the per-channel input types that keep a due
// time per channel (channelDue): each channel is read once per poll interval
// on its own schedule; a turn reads every channel that is due, from the next
// one on, and passes at the first one that is not.
int TemplateProcessChannelsDue(const TemplateType* type, ModuleRecord* module);
// The same loop with a type's own requests and values of its outputs.
int TemplateProcessChannels(const TemplateType* type, ModuleRecord* module,
                            const TemplateChannelSteps* steps);
// The processing procedure of the types with one request per sweep.
int TemplateProcessSweep(const TemplateType* type, ModuleRecord* module,
                         const TemplateSweepSteps* steps);
// The output loop of the types with one request per input channel: at the
// block's turn the host's values are taken; a cycle, due once per poll
// interval, writes the inputs the type wants one after the other, and the
// turn passes after the last input of the cycle.
int TemplateProcessWrites(const TemplateType* type, ModuleRecord* module,
                          const TemplateWriteSteps* steps);
// Every input's value cell holds no value: a new or loaded block writes
// nothing before its inputs have delivered.
void TemplateForgetInputValues(ModuleRecord* module);
// No input has a request: what a start does before it registers them.
void TemplateForgetInputRequests(ModuleRecord* module);

// The block under the poll policy, as the type's loop sees it (its idle
// turns send the port's keep-alive while its Watchdog_On is set, where the
// type's modules have a watchdog).
PollBlock TemplatePoll(const TemplateType* type, ModuleRecord* module);

// The block's name as a caption.
void TemplateBlockName(const ModuleRecord* module, char* name, int size);
// A failed start step: stops the experiment and shows the text under the
// block's name; answers 0, for the step to return.
int TemplateStepFailed(ModuleRecord* module, UINT textId);

#endif
