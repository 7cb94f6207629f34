// The records and steps of the analog input types with alarm outputs,
// digital input and counter (ND6011, ND6011P, ND6012), which share them: one
// analog input, the two digital outputs the module drives as low and high
// alarm, one digital input and the event counter, read with three requests.
#ifndef TELVIO_FRAME_ALARMINPUT_H
#define TELVIO_FRAME_ALARMINPUT_H

#include "frame/actions.h"
#include "frame/alarmgroup.h"
#include "frame/messparam.h"
#include "frame/setupdlg.h"
#include "frame/start.h"
#include "frame/template.h"
#include "host/records.h"
#include "resource.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6011_Param {
    int Version;
    char Channel_Name[16][24]; // entries 0-4 used
    int Module_Address;
    int Range; // the input range code, also the module's type code
    BOOL Alarm_On;
    BOOL Alarm_Latched;
    int Padding1;
    alignas(8) double Alarm_High; // in the held unit of the range
    alignas(8) double Alarm_Low;
    WORD Channel_Mask; // bits 0-4
    WORD Padding2;
    ComSettings Com;
    int Padding3;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6011_Param) == 1608, "ND6011_Param is 1608 bytes");
static_assert(offsetof(ND6011_Param, Version) == 0, "Version");
static_assert(offsetof(ND6011_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6011_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6011_Param, Range) == 392, "Range");
static_assert(offsetof(ND6011_Param, Alarm_On) == 396, "Alarm_On");
static_assert(offsetof(ND6011_Param, Alarm_Latched) == 400, "Alarm_Latched");
static_assert(offsetof(ND6011_Param, Alarm_High) == 408, "Alarm_High");
static_assert(offsetof(ND6011_Param, Alarm_Low) == 416, "Alarm_Low");
static_assert(offsetof(ND6011_Param, Channel_Mask) == 424, "Channel_Mask");
static_assert(offsetof(ND6011_Param, Com) == 428, "ComSettings");
static_assert(offsetof(ND6011_Param, Mess) == 464, "MessParam");
static_assert(offsetof(ND6011_Param, Unit) == 520, "Unit");
static_assert(offsetof(ND6011_Param, Copy_Channel_Name) == 1544, "Copy_Channel_Name");

// The channel kinds, by bit of Channel_Mask.
enum {
    ND6011_ANALOG = 0,     // the analog reading
    ND6011_ALARM_LOW = 1,  // digital output 0
    ND6011_ALARM_HIGH = 2, // digital output 1
    ND6011_DIGITAL_IN = 3, // digital input 0
    ND6011_COUNTER = 4,    // the event counter
    ND6011_KINDS = 5,
};
#define ND6011_NO_KIND 0xFF

// The runtime record: the template's fields, then the type's.
struct ND6011_Runtime {
    TemplateRuntime Frame;
    BYTE Channel_Kind[ND6011_KINDS]; // kind of output j, ND6011_NO_KIND beyond the channels
    BYTE Padding1[3];
    float AI_Value;    // cell of the analog read
    WORD DIO_State;    // cell of the digital read: low byte inputs, high byte outputs
    short Event_Count; // cell of the counter read
    int AI_Handle;
    int DIO_Handle;
    int Counter_Handle;
    ActionQueue Actions;
    WORD Pending_DO; // the outputs the next digital-output action writes
    WORD Padding2;
    BYTE Reserved[8];
};
static_assert(sizeof(ND6011_Runtime) == 120, "ND6011_Runtime is 120 bytes");
static_assert(offsetof(ND6011_Runtime, Frame) == 0, "the template's fields first");
static_assert(offsetof(ND6011_Runtime, Channel_Kind) == 56, "Channel_Kind");
static_assert(offsetof(ND6011_Runtime, AI_Value) == 64, "AI_Value");
static_assert(offsetof(ND6011_Runtime, DIO_State) == 68, "DIO_State");
static_assert(offsetof(ND6011_Runtime, Event_Count) == 70, "Event_Count");
static_assert(offsetof(ND6011_Runtime, AI_Handle) == 72, "AI_Handle");
static_assert(offsetof(ND6011_Runtime, DIO_Handle) == 76, "DIO_Handle");
static_assert(offsetof(ND6011_Runtime, Counter_Handle) == 80, "Counter_Handle");
static_assert(offsetof(ND6011_Runtime, Actions) == 84, "Action_Queue");
static_assert(offsetof(ND6011_Runtime, Pending_DO) == 108, "Pending_DO");

// 29 rows and the all-zero end row; the three types store the same record.
extern const ParamSchemaEntry ND6011_ParamSchema[30];

// An input range: its code, the range box's text, the unit, the bounds both
// alarm limits are clamped to and the format of a limit on the wire in the
// families "XX03" and "TELV", both as the limits are held. The dialog shows
// and takes them in the unit of the range: the held value times `scale`.
struct AlarmRange {
    int code;
    const char* text;
    const char* unit;
    AlarmBounds bounds;
    const char* format;
    double scale;
};

// The four host actions, by the type's names.
#define ND6011_ACTIONS 4
enum {
    ND6011_RESET_COUNTER = 13,
    ND6011_RESET_ALARM = 14,
    ND6011_SET_DOUT = 15,
    ND6011_RESET_DOUT = 16,
};

// The values of one of the three types. The template's record comes first:
// the steps the template calls with it find the rest of the type's values
// from it (AlarmInputOf).
struct AlarmInputType {
    TemplateType type;
    TemplateStartSteps start;
    const AlarmRange* ranges;
    int rangeCount;
    int defaultRange;
    int preambleInTelv;       // "~AA1" opens the configuration in "TELV" too (always in "XX03")
    int model6000;            // the module of the 6000 series: its watchdog form
    int model7000;            // the module of the 7000 series
    int telvWatchdog7000;     // any other model takes the 7000 form in "TELV"
    const ActionDef* actions; // ND6011_ACTIONS of them
};

// The type whose template record this is.
const AlarmInputType* AlarmInputOf(const TemplateType* type);
// The range of a code, null for a code the type does not have.
const AlarmRange* AlarmInputRange(const AlarmInputType* alarm, int code);

// The roles and steps the three types share, on their values.
void AlarmInputDefaults(const AlarmInputType* alarm, ModuleRecord* module);
int AlarmInputClassProc(const AlarmInputType* alarm, ModuleRecord* module, int msg, int wParam,
                        int lParam);
int AlarmInputProcess(const AlarmInputType* alarm, ModuleRecord* module);
int AlarmInputConfigure(ModuleRecord* module, const TemplateType* type, int model);
int AlarmInputAddRequests(ModuleRecord* module, const TemplateType* type);
int AlarmInputFinish(ModuleRecord* module, const TemplateType* type, int model);
// The setup dialog's own controls, of the type of the dialog that is open.
void AlarmInputInitDialog(HWND dialog, void* work);
int AlarmInputCommand(HWND dialog, void* work, int id, int code);

// The values the three types are built from: they differ in name, accepted
// models, model number, restart note, dialog, ranges, start policy, start and
// watchdog forms and action names.
struct AlarmInputValues {
    const char* name;
    const int* models;
    int modelCount;
    int model;
    const char* restartNote;
    const char* dialogTemplate;
    DLGPROC setupDlgProc;
    void (*defaults)(ModuleRecord*);
    const AlarmRange* ranges;
    int rangeCount;
    int defaultRange;
    TemplateStartPolicy start; // a module that does not answer or is refused, a full list
    int preambleInTelv;
    int model6000;
    int model7000;
    int telvWatchdog7000;
    const ActionDef* actions;
};

constexpr AlarmInputType ND6011_Descriptor(const AlarmInputValues& v) {
    return AlarmInputType{
        .type =
            {
                .type = v.name,
                .form = TEMPLATE_INPUT_FORM,
                .maxChannels = ND6011_KINDS,
                .channelLimit = ND6011_KINDS,
                .model = v.model,
                .models = v.models,
                .modelCount = v.modelCount,
                .nameFormat = "", // names and units are the type's defaults
                .unit = "",
                .restartNote = v.restartNote,
                .schema = ND6011_ParamSchema,
                TEMPLATE_RECORD_OFFSETS(ND6011_Param),
                .dialogTemplate = v.dialogTemplate,
                .setupDlgProc = v.setupDlgProc,
                .defaults = v.defaults,
                // configured by the start steps, requests by kind
                .watchdogTick = TEMPLATE_TICK_ALWAYS, // the module's watchdog
                .watchdogResetAtStop = 1,
                .start = v.start,
            },
        .start = {.configure = AlarmInputConfigure,
                  .addRequests = AlarmInputAddRequests,
                  .finish = AlarmInputFinish},
        .ranges = v.ranges,
        .rangeCount = v.rangeCount,
        .defaultRange = v.defaultRange,
        .preambleInTelv = v.preambleInTelv,
        .model6000 = v.model6000,
        .model7000 = v.model7000,
        .telvWatchdog7000 = v.telvWatchdog7000,
        .actions = v.actions,
    };
}

// The setup dialog's values.
constexpr SetupDialogType ND6011_DialogDescriptor(const AlarmInputType* alarm, DWORD helpContext,
                                                  const char* xx01, const char* xx03,
                                                  const char* xx05, const char* xx06,
                                                  const char* telv) {
    return SetupDialogType{
        &alarm->type,
        sizeof(ND6011_Param),
        ND6011_KINDS, // channel buttons
        helpContext,
        // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, xx01, nullptr, xx03, xx05, xx06, telv},
        {0, 0, 0, 0}, // the type locks its own controls
        AlarmInputInitDialog,
        AlarmInputCommand,
        nullptr,
        nullptr,
    };
}

#endif
