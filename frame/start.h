// The start and stop of a block: the frame's start sequence (the address,
// the probe and the model, the type's configuration, the timing, the
// requests) with the failure policy of each step, its pieces for the types
// with a start of their own, and the blocking query of a start sequence.
#ifndef TELVIO_FRAME_START_H
#define TELVIO_FRAME_START_H

#include "frame/template.h"

// The buffer of a start-sequence query: command out, reply back.
#define TEMPLATE_QUERY_SIZE 40
// The text of a type's module setting.
#define TEMPLATE_SETTING_SIZE 32

// The own steps of a start whose requests are not one per output channel
// (the types with alarm outputs and counters). Every hook may be null. How
// the start meets a silent or wrong module is the type's start policy
// (TemplateType.start).
struct TemplateStartSteps {
    // The module's configuration, after it was identified (`model`: the number
    // it reported, 0 for none). Not called when the user went on without the
    // module. 1 done, 0 failed (the experiment has been stopped).
    int (*configure)(ModuleRecord* module, const TemplateType* type, int model) = nullptr;
    // The block's requests, after the timing; 1 when registered (also when
    // the block has none), 0 when the scan list refused one.
    int (*addRequests)(ModuleRecord* module, const TemplateType* type) = nullptr;
    // The last commands of the start (counters, the module's watchdog);
    // `model` is 0 when the module was not identified. 1 done, 0 failed.
    int (*finish)(ModuleRecord* module, const TemplateType* type, int model) = nullptr;
};

// 1 when the model is one the type accepts: a number of its list, where 0
// is a module without a readable name, or one that an entry
// MODEL_ENDING_IN (frame/moduletest.h) stands for.
int TemplateModelAccepted(const TemplateType* type, int model);

// A start's timing by the settings: seconds per sample, samples per data
// block, the poll interval, and the first sweep due at once.
void TemplateTiming(TemplateRuntime* rt, const MessParam* settings);
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
// A failed start step: stops the experiment and shows the text under the
// block's name; answers 0, for the step to return.
int TemplateStepFailed(ModuleRecord* module, UINT textId);
// A request's handle; a negative one, which the full scan list refused, is
// shown once more under the block's name, after the list's own message.
int TemplateShowFullList(ModuleRecord* module, int handle);

#endif
