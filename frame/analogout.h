// What the analog output types (ND6021, ND6022, ND6024) share: the output
// ranges and the values limited to them, the modules' configuration, the
// safety values of the modules' watchdogs, the write-on-change steps of the
// output loop and the range, slew-rate and watchdog controls of their setup
// dialogs.
#ifndef TELVIO_FRAME_ANALOGOUT_H
#define TELVIO_FRAME_ANALOGOUT_H

#include "frame/messparam.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/records.h"
#include "resource.h"

// The output ranges: ND6021 and ND6022 offer the first three, ND6024 all six.
enum {
    AO_RANGE_0_20_MA = 0,
    AO_RANGE_4_20_MA = 1,
    AO_RANGE_0_10_V = 2,
    AO_RANGE_10_V = 3, // -10 to 10 V
    AO_RANGE_0_5_V = 4,
    AO_RANGE_5_V = 5, // -5 to 5 V
    AO_RANGES = 6,
};
#define AO_SINGLE_RANGES 3

// 1 when `range` is one of the first `ranges` codes.
int AoRangeKnown(int range, int ranges);
// The range's limits; 0 and 0 for an unknown code.
void AoRangeLimits(int range, float* low, float* high);
// 1 for the current ranges (0 to 20 and 4 to 20 mA).
int AoCurrentRange(int range);
const char* AoRangeUnit(int range);
// The value held within the range (a value that is no number stays one).
float AoLimit(int range, float value);

// The module's configuration read with "$AA2" ("!AATTCCFF") and rewritten
// with "%AAAATTCCFF" when its type code or data format is not the one
// wanted; the baud code is that of the port's speed. 1 done, 0 failed (the
// experiment has been stopped and the failure shown).
int AoConfigure(const TemplateType* type, ModuleRecord* module, int address, int checksum,
                int typeCode, int dataFormat);
// The data format a module of `slewRate` is to have: the rate in bits 2 to
// 5, 0x40 with checksums.
int AoDataFormat(int slewRate, int checksum);

// The safety value of a 6000-series module's watchdog in its twelve-bit
// code: for ND6021 the value over its range's full scale, 10 V or 20 mA, as
// 0 to 4095 (the current ranges both over 0 to 20 mA); for ND6024, whatever
// its range, the value over -10 to 10 V around 0x800. The value is held
// within the bounds the dialog keeps it in first.
int AoSafetyCode6021(int range, float value);
int AoSafetyCode6024(int range, float value);

// The 7000-series watchdog sequence of a module with several channels:
// "~AA1", then with the watchdog on, for each of the `channels` channels the
// safety value written as the channel's output ("#AAN" in `format`, reply
// '>'; 0 for a channel not in `mask`) and "~AA5N" (reply '!'), then
// "~AA31TT"; with it off "~AA3000". `watch` carries the module's watchdog
// on and time.
int AoWatchdog7000Channels(const TemplateType* type, ModuleRecord* module, int checksum,
                           int address, const MessParam* watch, int channels, WORD mask,
                           const float* values, const char* format);

// The settings a module's watchdog is set up with at start. On, they are
// the block's measurement settings `mess`, whose Watchdog_On and
// Watchdog_Time take `on` and `seconds`: the port's keep-alive is armed with
// them, and the block's turns send it while Watchdog_On is set (both are
// saved with the worksheet). Off, `off` holds them and `mess` stays as it
// is. A start clears Watchdog_On of `mess` before its modules' watchdogs.
const MessParam* AoStartWatch(MessParam* mess, BOOL on, int seconds, MessParam* off);

// The output loop of the types that write on change: input i is written
// when its value differs from what it last wrote (Last_Written of its
// 12-byte ChannelScan record), which its write's reply sets.
int AoChangedWanted(ModuleRecord* module, int input);
void AoChangedWritten(ModuleRecord* module, int input);
// Before a start: nothing was written yet, so every first value goes out.
#define AO_NOTHING_WRITTEN (-99999.9f)
void AoForgetWritten(ModuleRecord* module);

// The setup dialogs. A combo box filled with `count` strings from `first`
// and the entry `selected`; the watchdog controls (on, time, safety value
// and its unit); the safety value read from its edit, held within low to
// high, and shown again.
void AoFillList(HWND dialog, int id, UINT first, int count, int selected);
void AoShowWatchdogControls(HWND dialog, BOOL on, int seconds, float value, const char* unit);
void AoReadSafetyValue(HWND dialog, float low, float high, float* value);
// The watchdog time chosen in its combo box, 2 to 13 s; 0 when none is.
int AoChosenWatchdogTime(HWND dialog);

// ---- The multi-channel types (ND6022, ND6024): one module, one address ----
// (ND6021, a module per channel, is described so too for its dialog's
// commands.)

// What such a type adds to the template's values: where its record keeps
// the range, slew rate and watchdog, how many channels the module has, and
// the texts of its dialog. The template's record comes first, so the
// template's type of a block leads to it.
struct AoModuleType {
    TemplateType type;
    int channels;        // of the module: 2 or 4
    int nameChannels;    // the channels MODMSG_INPUT_NAME and MODMSG_SET_NAME_COPY act on
    int exportChannels;  // the channels MODMSG_EXPORT_NAMES hands over
    int rangePerChannel; // 1: Range and Slew_Rate are arrays of 16
    int rangeOffset;
    int slewOffset;
    int watchdogOnOffset; // the watchdog fields: the module's, or each channel's
    int watchdogTimeOffset;
    int safeOffset; // Watchdog_Value[channels]
    int ranges;     // codes the range box offers
    int slewRates;  // entries of the slew-rate box
    UINT rangeFirst, slewVFirst, slewMAFirst;
    // The safety value's bounds in a voltage range; a current range holds it
    // within the range.
    float safeLow, safeHigh;
    // The watchdog group's controls are disabled while an experiment runs.
    int lockWatchdog = 0;
    // 1: a watchdog per channel (a module per channel), Watchdog_On and
    // Watchdog_Time are arrays of 16 like Range; 0: one for the module.
    int watchdogPerChannel = 0;
};

// The offsets of the engine's fields in a parameter record that has them
// under their stored names, as designated members of an AoModuleType.
#define AO_RECORD_OFFSETS(Param)                                                                   \
    .rangeOffset = offsetof(Param, Range), .slewOffset = offsetof(Param, Slew_Rate),               \
    .watchdogOnOffset = offsetof(Param, Watchdog_On),                                              \
    .watchdogTimeOffset = offsetof(Param, Watchdog_Time),                                          \
    .safeOffset = offsetof(Param, Watchdog_Value)

const AoModuleType* AoModuleOf(const TemplateType* type);

// The fields of a record of the type (the block's, or the dialog's copy);
// the channel picks the watchdog's fields only where each has its own.
int* AoModuleRange(const AoModuleType* ao, void* param, int channel);
int* AoModuleSlew(const AoModuleType* ao, void* param, int channel);
BOOL* AoModuleWatchdogOn(const AoModuleType* ao, void* param, int channel);
int* AoModuleWatchdogTime(const AoModuleType* ao, void* param, int channel);
float* AoModuleSafe(const AoModuleType* ao, void* param, int channel);

// The class procedure's messages that differ from the template's:
// MODMSG_CHECK_LAYOUT (nothing in the family "XX01"), MODMSG_AFTER_LOAD
// (settings within their bounds, no values yet), MODMSG_INPUT_NAME,
// MODMSG_SET_NAME_COPY, MODMSG_EXPORT_NAMES and MODMSG_IMPORT_NAMES on the
// channels the record holds.
// -1 for a message it leaves to the template.
int AoModuleClassMessage(const AoModuleType* ao, ModuleRecord* module, int msg, int wParam,
                         int lParam);
// The range of input i's channel, the sample held within it.
int AoModuleInputRange(const AoModuleType* ao, ModuleRecord* module, int input);
float AoModuleLimit(const AoModuleType* ao, ModuleRecord* module, int input, float sample);
// Start steps: every range of the channels in use one the type has (0 and
// the failure shown otherwise); the requests of the inputs, one per input on
// its channel by `add`, each with nothing written yet.
int AoModuleRangesKnown(const AoModuleType* ao, ModuleRecord* module);
int AoModuleAddRequests(ModuleRecord* module, const TemplateType* type,
                        int (*add)(ModuleRecord* module, int input, int channel, float* cell));
// The module's watchdog (one for the module) as AoStartWatch sets it up,
// from the block's measurement settings; and the safety value of each
// channel, held within its range.
const MessParam* AoModuleStartWatch(const AoModuleType* ao, ModuleRecord* module, MessParam* off);
float AoModuleSafeValue(const AoModuleType* ao, ModuleRecord* module, int channel);

// The setup dialog's steps of the types (the open dialog's type leads to
// its AoModuleType); ND6021 takes the command and store steps.
void AoModuleShowChannel(HWND dialog, void* work, int ch);
void AoModuleStoreChannel(HWND dialog, void* work, int ch);
int AoModuleCommand(HWND dialog, void* work, int id, int code);
// The watchdog group and its labels shown or hidden.
void AoModuleShowWatchdogGroup(HWND dialog, int shown);
// The channel bar of a template of `buttons` channel buttons, labelled from
// IDC_AO_LABEL0, for a module of the first `kept` channels: the others and
// their labels are hidden, the kept ones and their labels moved `shift`
// pixels to the right and shown. Each button keeps the state its channel
// has.
void AoLayoutChannelButtons(HWND dialog, int kept, int buttons, int shift);

// The class procedure of a write-on-change output type with a module of
// ao->channels (ND6022, ND6024): its setup dialog from the template
// `dialogName`, or `dialogNameWithRange` in the families XX03 and TELV; its
// start from the first channel with `start`; the messages of
// AoModuleClassMessage; the template's for the rest.
int AoModuleClassProc(const AoModuleType* ao, const TemplateStartSteps* start,
                      const char* dialogName, const char* dialogNameWithRange, DLGPROC dialogProc,
                      ModuleRecord* module, int msg, int wParam, int lParam);

// The setup dialog of such a type: a button per channel of the module, the
// range and slew-rate boxes locked while an experiment runs, the shared
// commands and channel steps, and the type's own `init`.
constexpr SetupDialogType AoModuleDialogType(const AoModuleType* ao, int paramSize,
                                             DWORD helpContext, const char* const* caption,
                                             void (*init)(HWND dialog, void* work)) {
    SetupDialogType d = SetupDialogOf(&ao->type, paramSize, ao->channels, helpContext, caption);
    d.locked[0] = IDC_AO_RANGE;
    d.locked[1] = IDC_AO_SLEW;
    d.init = init;
    d.command = AoModuleCommand;
    d.storeChannel = AoModuleStoreChannel;
    d.showChannel = AoModuleShowChannel;
    return d;
}

#endif
