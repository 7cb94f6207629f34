// What the digital input, output and relay types share: their parameter
// record and its schema, their runtime records, the row of the table they
// are built from (table.cpp), the start steps, requests and dialog steps
// that several of them take, and the own steps of the types that have some.
#ifndef TELVIO_MODULES_DIGITAL_DIGITAL_H
#define TELVIO_MODULES_DIGITAL_DIGITAL_H

#include "frame/messparam.h"
#include "frame/modwatchdog.h"
#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

// The parameter record of every digital type.
struct DigitalParam {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask; // bit c: line c is a channel of the block
    WORD Padding1;
    ComSettings Com;
    int Unused1;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(DigitalParam) == 1576, "DigitalParam is 1576 bytes");
static_assert(offsetof(DigitalParam, Version) == 0, "Version");
static_assert(offsetof(DigitalParam, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(DigitalParam, Module_Address) == 388, "Module_Address");
static_assert(offsetof(DigitalParam, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(DigitalParam, Com) == 396, "ComSettings");
static_assert(offsetof(DigitalParam, Mess) == 432, "MessParam");
static_assert(offsetof(DigitalParam, Mess) + offsetof(MessParam, Watchdog_On) == 464,
              "Watchdog_On");
static_assert(offsetof(DigitalParam, Mess) + offsetof(MessParam, Watchdog_Value) == 472,
              "Watchdog_Value");
static_assert(offsetof(DigitalParam, Unit) == 488, "Unit");
static_assert(offsetof(DigitalParam, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

// 24 rows and the end row.
extern const ParamSchemaEntry DigitalParamSchema[25];
// The same rows, then Watchdog_On, Watchdog_Time and Watchdog_Value once
// more, and the end row: the input types that set up their module's
// watchdog.
extern const ParamSchemaEntry DigitalParamSchemaWatchdog[28];

// The common fields of a runtime record are those of TemplateRuntime, at
// its offsets; the first four bytes hold the image.
#define DIGITAL_RUNTIME_FIELDS                                                                     \
    int ScanHandle;                                                                                \
    alignas(8) double Sample_Seconds;                                                              \
    WORD Block_Samples;                                                                            \
    alignas(8) double Poll_Interval;                                                               \
    alignas(8) double Next_Due;                                                                    \
    int Uses_Checksum;                                                                             \
    int Error_Waiting;                                                                             \
    alignas(8) double Resume_Time;
#define DIGITAL_RUNTIME_ASSERTS(R)                                                                 \
    static_assert(offsetof(R, ScanHandle) == 4, "ScanHandle");                                     \
    static_assert(offsetof(R, Sample_Seconds) == 8, "Sample_Seconds");                             \
    static_assert(offsetof(R, Block_Samples) == 16, "Block_Samples");                              \
    static_assert(offsetof(R, Poll_Interval) == 24, "Poll_Interval");                              \
    static_assert(offsetof(R, Next_Due) == 32, "Next_Due");                                        \
    static_assert(offsetof(R, Uses_Checksum) == 40, "Uses_Checksum");                              \
    static_assert(offsetof(R, Error_Waiting) == 44, "Error_Waiting");                              \
    static_assert(offsetof(R, Resume_Time) == 48, "Resume_Time");                                  \
    static_assert(offsetof(R, Resume_Time) == offsetof(TemplateRuntime, Resume_Time),              \
                  "the template's layout");

// A byte image: the value cell of the block's one request.
struct DigitalRuntime8 {
    BYTE Data_Image; // bit c: line c
    BYTE Unused[3];
    DIGITAL_RUNTIME_FIELDS
};
static_assert(sizeof(DigitalRuntime8) == 56, "DigitalRuntime8 is 56 bytes");
static_assert(offsetof(DigitalRuntime8, Data_Image) == 0, "Data_Image");
DIGITAL_RUNTIME_ASSERTS(DigitalRuntime8)

// A sixteen-bit image.
struct DigitalRuntime16 {
    WORD Data_Image; // bit c: line c
    WORD Unused;
    DIGITAL_RUNTIME_FIELDS
};
static_assert(sizeof(DigitalRuntime16) == 56, "DigitalRuntime16 is 56 bytes");
static_assert(offsetof(DigitalRuntime16, Data_Image) == 0, "Data_Image");
DIGITAL_RUNTIME_ASSERTS(DigitalRuntime16)

// The relay types that write on change: a byte image and what was written.
struct DigitalChangeRuntime {
    BYTE Data_Image;  // bit c: relay c, the request's value cell
    BYTE Sent_Image;  // the image of the write in flight
    WORD Inputs_Seen; // bit i: input i delivered since the start
    DIGITAL_RUNTIME_FIELDS
    int Write_Pending; // the first write of the experiment is still to come
    BYTE Last_Image;   // the image last written
    BYTE Unused2[3];
};
static_assert(sizeof(DigitalChangeRuntime) == 64, "DigitalChangeRuntime is 64 bytes");
static_assert(offsetof(DigitalChangeRuntime, Data_Image) == 0, "Data_Image");
DIGITAL_RUNTIME_ASSERTS(DigitalChangeRuntime)
static_assert(offsetof(DigitalChangeRuntime, Write_Pending) == 56, "Write_Pending");
static_assert(offsetof(DigitalChangeRuntime, Last_Image) == 60, "Last_Image");

DigitalParam* DigitalParamOf(ModuleRecord* module);
DigitalRuntime8* DigitalRuntime8Of(ModuleRecord* module);
DigitalRuntime16* DigitalRuntime16Of(ModuleRecord* module);
DigitalChangeRuntime* DigitalChangeRuntimeOf(ModuleRecord* module);

// ---- Input types ----

// The requests of the input types, "$AA6" each, the image read from the
// reply into the runtime's image: characters 3 and 4, 1 and 2, or 1 to 4.
int DigitalAddDiRead(ModuleRecord* module, const TemplateType* type);
int DigitalAddDiRead6052(ModuleRecord* module, const TemplateType* type);
int DigitalAddDi16Read(ModuleRecord* module, const TemplateType* type);
// The image delivered on SS_READY, stamped with the due time.
int DigitalDeliver(ModuleRecord* module, DWORD image);
int DigitalDeliver8(ModuleRecord* module, const TemplateType* type);
int DigitalDeliver16(ModuleRecord* module, const TemplateType* type);
// Channels named "Vin 0" to "Vin 15": in every family, or in every family
// but TELV.
void DigitalNamesVin(ModuleRecord* module);
void DigitalNamesVinOutsideTelv(ModuleRecord* module);
// The start step of the input types that set up the watchdog of their
// module's outputs (family TELV, the identified `model` being
// `watchdogModel` only): with the watchdog on the safe value ("~AA5VVVV",
// the low byte twice) and the time-out ("~AA31TT"), else "~AA3000".
int DigitalInputWatchdog(ModuleRecord* module, const TemplateType* type, int model,
                         int watchdogModel);
// The steps of the sweep of the input types: the byte or sixteen-bit image
// delivered.
extern const TemplateSweepSteps DigitalInput8Steps;
extern const TemplateSweepSteps DigitalInput16Steps;

// ---- Output types ----

// Families as bits of FamilyIndex.
#define DIGITAL_FAMILY(index) (1 << (index))
#define DIGITAL_FAMILIES_ND_XX03_TELV                                                              \
    (DIGITAL_FAMILY(FAMILY_INDEX_ND) | DIGITAL_FAMILY(FAMILY_INDEX_XX03) |                         \
     DIGITAL_FAMILY(FAMILY_INDEX_TELV))
int DigitalInFamilies(int families);

// The requests of the output types, the image written from the runtime's
// image cell.
int DigitalAddDoWrite(ModuleRecord* module, const TemplateType* type);
int DigitalAddDo16Write6042O(ModuleRecord* module, const TemplateType* type);
int DigitalAddDo16Write(ModuleRecord* module, const TemplateType* type);
// The byte image written, a request the full scan list refused shown once
// more under the block's name.
int DigitalAddDoWriteShown(ModuleRecord* module, const TemplateType* type);
// The host's values into the image, at the block's turn.
void DigitalTake8(ModuleRecord* module, const TemplateType* type);
void DigitalTake16(ModuleRecord* module, const TemplateType* type);
// The steps of the sweep of the output types: the host's values taken into
// the byte or sixteen-bit image.
extern const TemplateSweepSteps DigitalOutput8Steps;
extern const TemplateSweepSteps DigitalOutput16Steps;

// The watchdog sequences of the output types, on the block's settings:
// the 6000 series with the low byte of the safe value ("~AA21TTVV"; off
// "~AA200000"), the 7000 series opened by "~AA1" with `safe` written as the
// outputs, then "~AA5S" and the time-out ("~AA31TT", before the safe value
// with WATCHDOG7_TIMEOUT_FIRST; off "~AA3000").
int DigitalWatchdog6000(ModuleRecord* module, const TemplateType* type);
int DigitalWatchdog7000(ModuleRecord* module, const TemplateType* type, int flags,
                        const WatchdogStep* safe);
// The safe value as the output byte: "#AA00VV", reply '>'.
void DigitalSafeByte(ModuleRecord* module, WatchdogStep* safe);
// The watchdog of the module the start identified (`model`): the 6000-series
// sequence for `model6000`, the 7000-series one for `model7000` with `safe`
// (null: the safe value as the output byte), nothing for other models.
int DigitalOutputWatchdog(ModuleRecord* module, const TemplateType* type, int model, int model6000,
                          int model7000, const WatchdogStep* safe);

// The dialog of the output types: the watchdog frame and button shown in
// `families` only; the button opens the "Watchdog" dialog with `lines`
// safe-value lines.
void DigitalShowWatchdogButton(HWND dialog, int families);
// Hides a channel button the family's module lacks, and its label.
void DigitalHideChannel(HWND dialog, int channel, int labelId);
int DigitalWatchdogButton(HWND dialog, void* work, int id, int code, int lines);

// The relay types that write on change: the last step of the start (the
// first write pending, the image as the block left it; also for a module
// the user started without), the module's watchdog by `series`
// (6000 the 6000-series sequence, 7000 the 7000-series one with the
// time-out first, 0 none), and the loop's steps.
int DigitalChangeStart(ModuleRecord* module, const TemplateType* type, int model);
int DigitalChangeWatchdog(ModuleRecord* module, const TemplateType* type, int series);
extern const TemplateSweepSteps DigitalChangeSteps;

// ---- The table of the digital types ----

// The digital input types and the output and relay types, in the order of
// the table's rows.
#define DIGITAL_INPUT_TYPES(X)                                                                     \
    X(ND6041I)                                                                                     \
    X(ND6044I)                                                                                     \
    X(ND6050I)                                                                                     \
    X(ND6052)                                                                                      \
    X(ND6053)                                                                                      \
    X(ND6054)                                                                                      \
    X(ND6055I)                                                                                     \
    X(ND6060I)                                                                                     \
    X(ND6063I)                                                                                     \
    X(ND6065I)                                                                                     \
    X(ND6751)

#define DIGITAL_OUTPUT_TYPES(X)                                                                    \
    X(ND6042O)                                                                                     \
    X(ND6043O)                                                                                     \
    X(ND6044O)                                                                                     \
    X(ND6050O)                                                                                     \
    X(ND6055O)                                                                                     \
    X(ND6056)                                                                                      \
    X(ND6060O)                                                                                     \
    X(ND6063)                                                                                      \
    X(ND6065O)                                                                                     \
    X(ND6067)                                                                                      \
    X(ND6757O)

#define DIGITAL_TYPES(X) DIGITAL_INPUT_TYPES(X) DIGITAL_OUTPUT_TYPES(X)

// The setup dialog's caption in each family; null keeps the template's.
struct DigitalCaptions {
    const char* nd = nullptr;
    const char* xx01 = nullptr;
    const char* xx04 = nullptr;
    const char* xx03 = nullptr;
    const char* xx05 = nullptr;
    const char* xx06 = nullptr;
    const char* telv = nullptr;
};

// One row of the table: what a digital type has of its own. The type's
// descriptor, start steps and dialog are built from it (table.cpp); a member
// a row does not name is 0 or null.
struct DigitalTypeRow {
    // The descriptor's members the type names: identifier, form, channels,
    // models, default names, restart note, dialog, defaults, request, start
    // policy and the versions it loads. The others are those of every digital
    // type of its form.
    TemplateType own = {};
    DWORD helpContext = 0;
    DigitalCaptions caption = {};
    // The steps around the sweep's one request.
    const TemplateSweepSteps* steps = nullptr;
    // The module's watchdog at the start: the type's own step, else an input
    // type's for `inputWatchdogModel` (TELV only; the type stores the watchdog
    // rows twice and keeps the port's keep-alive), else an output type's, the
    // 6000-series sequence for `watchdog6000` and the 7000-series one for
    // `watchdog7000`, else a relay type's by `changeSeries`.
    int (*configure)(ModuleRecord* module, const TemplateType* type, int model) = nullptr;
    int inputWatchdogModel = 0;
    int watchdog6000 = 0;
    int watchdog7000 = 0;
    int changeSeries = 0;
    // 1: a relay type that writes on change (DigitalChangeStart ends its start).
    int writesOnChange = 0;
    // The families whose dialog shows the watchdog button (DIGITAL_FAMILY
    // bits; 0: the type's dialog has none), and the safe-value lines of its
    // "Watchdog" dialog.
    int watchdogFamilies = 0;
    int watchdogLines = 0;
    // 1: the module of the family XX04 has seven outputs, channel 7 is hidden.
    int sevenOutputsInXX04 = 0;
    // The type's own dialog steps, in place of the watchdog button's.
    void (*init)(HWND dialog, void* work) = nullptr;
    int (*command)(HWND dialog, void* work, int id, int code) = nullptr;
    // Channels that take names from the host (0: all); the others keep the
    // host's default action.
    int hostNamedChannels = 0;
};

// ---- The types' own steps ----

extern const TemplateSweepSteps ND6041I_Steps;
int ND6041I_AddRequest(ModuleRecord* module, const TemplateType* type);
int ND6042O_Configure(ModuleRecord* module, const TemplateType* type, int model);
int ND6056_AddRequest(ModuleRecord* module, const TemplateType* type);
int ND6056_Configure(ModuleRecord* module, const TemplateType* type, int model);
int ND6060O_Configure(ModuleRecord* module, const TemplateType* type, int model);
int ND6063_AddRequest(ModuleRecord* module, const TemplateType* type);
int ND6063_Configure(ModuleRecord* module, const TemplateType* type, int model);
void ND6063_InitDialog(HWND dialog, void* work);
int ND6063_Command(HWND dialog, void* work, int id, int code);
void ND6063_LayoutChannelButtons(HWND dialog, int buttons, int keep);
int ND6067_Configure(ModuleRecord* module, const TemplateType* type, int model);

#endif
