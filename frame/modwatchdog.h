// The modules' own output watchdogs: the command sequences a block's start
// sends to set them up, in the two forms of the module series. Every command
// goes through TemplateSendAndExpect; the first one answered otherwise stops
// the experiment, shows the communication problem and ends the sequence.
// While a module's watchdog is on, its port's keep-alive ("~**") is armed
// with WatchdogArm before the module is told.
#ifndef TELVIO_FRAME_MODWATCHDOG_H
#define TELVIO_FRAME_MODWATCHDOG_H

#include "frame/start.h"
#include "frame/template.h"

// One owner per module. Blocks of the types whose modules have a watchdog
// (TemplateType.watchdogTick) are noted while they are in the worksheet;
// when several of them talk to one module (one port and address), one of
// them sets its watchdog up: a block of an output type before one of an
// input type, and among those the one created or loaded first. The
// sequences below send nothing for any other block.
void ModuleWatchdogEnter(const TemplateType* type, ModuleRecord* module);
void ModuleWatchdogLeave(ModuleRecord* module);
// 1 when the block sets up the watchdog of its module at `address`; a
// block that is not noted does.
int ModuleWatchdogOwner(const TemplateType* type, ModuleRecord* module, int address);
// The block stops: the keep-alive of a port it armed is disarmed.
void ModuleWatchdogStopped(ModuleRecord* module);

// The time-out code for `seconds` in the module's units of `unitMs`
// milliseconds: seconds x 1000 / unitMs in whole units, 255 at or above 255
// and 1 at or below 1.
int WatchdogTimeoutCode(int seconds, int unitMs);

// One command, formatted into the query buffer and sent after the wait; 1
// when the reply begins with `expected`. A command that does not fit the
// buffer is not sent: the start fails as for a wrong reply.
int WatchdogCommand(const TemplateType* type, ModuleRecord* module, int checksum, char expected,
                    int waitMs, const char* format, ...) __attribute__((format(printf, 6, 7)));

// A 6000-series module's time base: "$AAF", reply '!'; a fifth character '1'
// means units of 53 ms, anything else units of 100 ms. *code gets the
// time-out code for `seconds`; 0 when the query failed.
int Watchdog6000Code(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                     int seconds, int* code);

// A prepared command of a sequence: its text (without address formatting),
// the first character of the reply it expects and the wait before it.
struct WatchdogStep {
    char text[TEMPLATE_QUERY_SIZE];
    char expected;
    int waitMs;
};
// Formats a step; 0 when the text does not fit (the step is then empty and
// fails when sent).
int WatchdogStepFormat(WatchdogStep* step, char expected, int waitMs, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The 6000-series sequence (nothing for a block that does not own the
// module's watchdog), by `watch` (the settings the port's keep-alive is
// armed with: Watchdog_On and Watchdog_Time):
//   on:  WatchdogArm(port, watch), the time base ("$AAF"), then
//        "~AA21" + time-out code (two hexadecimal digits) + `onSafe`, reply '!',
//        after `onWaitMs`
//   off: "~AA20" + `offTail`, reply '!', after `offWaitMs`
int ModuleWatchdog6000(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                       const MessParam* watch, const char* onSafe, int onWaitMs,
                       const char* offTail, int offWaitMs);

// Flags of the 7000-series sequence.
enum {
    WATCHDOG7_CLEAR_FIRST = 1,   // "~AA1" (reply '!') opens the sequence, on and off
    WATCHDOG7_TIMEOUT_FIRST = 2, // "~AA31TT" goes before the safe-value steps
};
// The 7000-series sequence (nothing for a block that does not own the
// module's watchdog):
//   ("~AA1" with WATCHDOG7_CLEAR_FIRST)
//   on:  WatchdogArm(port, watch), the `safe` steps in order and
//        "~AA31" + time-out code in units of 100 ms, reply '!' (before the
//        safe steps with WATCHDOG7_TIMEOUT_FIRST)
//   off: "~AA3000", reply '!', after `offWaitMs`
int ModuleWatchdog7000(const TemplateType* type, ModuleRecord* module, int checksum, int address,
                       const MessParam* watch, int flags, const WatchdogStep* safe, int safeCount,
                       int offWaitMs);

#endif
