// The shared frame of every block type: the class procedure in its three
// forms, creation, loading and deletion, the start and stop of a block, the
// blocking query of a start sequence and the per-channel input loop of the
// processing procedure. A type hands its values and its own steps in one
// TemplateType.
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
    int maskOffset;
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
    // 1: the type's modules have their own watchdog, armed by its start
    // step: the port's keep-alive goes out at the block's idle turns.
    int watchdogTick;
    // 1: a stop of a block of the type disarms every port's keep-alive.
    int watchdogResetAtStop;
    // What the type's start writes into the module, as a text that every
    // block on one module must agree on (ND6018: the type code); null when
    // the start writes nothing into the module.
    void (*moduleSetting)(ModuleRecord* module, char* text, int size);
};

// Error_Waiting of a block: after a failed transaction the block waits for
// Resume_Time, either by its error policy (TEMPLATE_POLICY_WAIT, the minutes
// of Error_Wait_Min) or backing off while its module keeps failing
// (TEMPLATE_BACKING_OFF).
enum {
    TEMPLATE_POLICY_WAIT = 1,
    TEMPLATE_BACKING_OFF = 2,
};
// The longest back-off of a failing block, seconds.
#define TEMPLATE_BACK_OFF_LIMIT 60.0

// The own steps of a type with one request per sweep (digital inputs and the
// output types) around the shared turn loop; the request is the runtime's
// ScanHandle.
struct TemplateSweepSteps {
    // Before the turn: an output type takes the host's values into the
    // request's value cell. May be null.
    void (*prepare)(ModuleRecord* module, const TemplateType* type);
    // The request came back: an input type delivers its values. 0 when the
    // host has no data block yet (the value stays ready for a later call).
    // May be null.
    int (*ready)(ModuleRecord* module, const TemplateType* type);
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

// The same fields of a block's parameter record.
int* TemplateVersion(ModuleRecord* module);
char* TemplateChannelName(ModuleRecord* module, int channel);
int* TemplateAddress(ModuleRecord* module, const TemplateType* type);
WORD* TemplateMask(ModuleRecord* module, const TemplateType* type);
ComSettings* TemplateCom(ModuleRecord* module, const TemplateType* type);
MessParam* TemplateMess(ModuleRecord* module, const TemplateType* type);
TemplateRuntime* TemplateRuntimeOf(ModuleRecord* module);
ChannelScan* TemplateChannelScan(ModuleRecord* module, int j);
// The channel of the j-th set bit of the mask; -1 when there is none.
int TemplateChannelOfOutput(WORD mask, int j);

// The roles.
int TemplateClassProc(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                      int lParam);
int TemplateCreateDefaults(const TemplateType* type, ModuleRecord* module);
int TemplateAfterLoad(const TemplateType* type, ModuleRecord* module);
int TemplateDeleteModule(ModuleRecord* module);
int TemplateRefreshComSettings(const TemplateType* type, ModuleRecord* module);
int TemplateShowSetupDialog(const TemplateType* type, ModuleRecord* module, int msg, int wParam,
                            int lParam);
int TemplateSetChannelTiming(const TemplateType* type, ModuleRecord* module, int output);
int TemplateExportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
int TemplateCheckChannelLayout(const TemplateType* type, ModuleRecord* other);
int TemplateImportChannelNames(const TemplateType* type, ModuleRecord* module,
                               ModuleRecord* partner);
int TemplateReportGlobalVars(const TemplateType* type, ModuleRecord* module, int lParam);
int TemplateStartMeasurement(const TemplateType* type, ModuleRecord* module);
// Sends `text` and leaves the reply in it (TEMPLATE_QUERY_SIZE bytes). 1 when
// a whole, clean reply came that begins with `expected`; otherwise the
// experiment is stopped, the communication problem shown and 0.
int TemplateSendAndExpect(const TemplateType* type, ModuleRecord* module, char* text, char expected,
                          int checksum, int waitMs);
int TemplateStopMeasurement(ModuleRecord* module, const TemplateType* type);
// The processing procedure of the per-channel input types: one request per
// output channel, each sweep delivering every channel once.
int TemplateProcessInputs(const TemplateType* type, ModuleRecord* module);
// The processing procedure of the types with one request per sweep.
int TemplateProcessSweep(const TemplateType* type, ModuleRecord* module,
                         const TemplateSweepSteps* steps);

// The block's name as a caption.
void TemplateBlockName(const ModuleRecord* module, char* name, int size);
// A failed start step: stops the experiment and shows the text under the
// block's name; answers 0, for the step to return.
int TemplateStepFailed(ModuleRecord* module, UINT textId);

#endif
