// Records of the counter and frequency type ND6080.
#ifndef TELVIO_MODULES_MULTI_ND6080_H
#define TELVIO_MODULES_MULTI_ND6080_H

#include "frame/actions.h"
#include "frame/template.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6080_Param {
    int Version;
    char Channel_Name[4][24];
    ComSettings Com;
    int Padding1;
    MessParam Mess;
    int Module_Address;
    WORD Channel_Mask; // bits 0-3
    WORD Padding2;
    int Freq_Mode;  // 0 counter, 1 frequency
    int Freq_Gate;  // frequency gate: 0 0.1 s, 1 1.0 s
    int Input;      // 0 TTL, 1 photo-isolated
    int Gate_Mode;  // counter gate: 0 low level, 1 high level, 2 off
    int Dig_Filter; // 0 off, 1 on
    int Width_High; // minimum widths of the filter, us, 4..1020
    int Width_Low;
    int Trig_High; // TTL trigger levels, tenths of a volt, 1..50
    int Trig_Low;
    BOOL Start_Counter[2];
    BOOL Load_Value[2];
    DWORD Counter_Value[2]; // presets
    BOOL Alarm_On[2];
    DWORD Alarm_Value[2];
    char Unit[4][64];
    BOOL Copy_Channel_Name[16];
    int Padding3;
};
static_assert(sizeof(ND6080_Param) == 600, "ND6080_Param is 600 bytes");
static_assert(offsetof(ND6080_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6080_Param, Com) == 100, "ComSettings");
static_assert(offsetof(ND6080_Param, Mess) == 136, "MessParam");
static_assert(offsetof(ND6080_Param, Module_Address) == 192, "Module_Address");
static_assert(offsetof(ND6080_Param, Channel_Mask) == 196, "Channel_Mask");
static_assert(offsetof(ND6080_Param, Freq_Mode) == 200, "Freq_Mode");
static_assert(offsetof(ND6080_Param, Freq_Gate) == 204, "Freq_Gate");
static_assert(offsetof(ND6080_Param, Input) == 208, "Input");
static_assert(offsetof(ND6080_Param, Gate_Mode) == 212, "Gate_Mode");
static_assert(offsetof(ND6080_Param, Dig_Filter) == 216, "Dig_Filter");
static_assert(offsetof(ND6080_Param, Width_High) == 220, "Width_High");
static_assert(offsetof(ND6080_Param, Width_Low) == 224, "Width_Low");
static_assert(offsetof(ND6080_Param, Trig_High) == 228, "Trig_High");
static_assert(offsetof(ND6080_Param, Trig_Low) == 232, "Trig_Low");
static_assert(offsetof(ND6080_Param, Start_Counter) == 236, "Start_Counter");
static_assert(offsetof(ND6080_Param, Load_Value) == 244, "Load_Value");
static_assert(offsetof(ND6080_Param, Counter_Value) == 252, "Counter_Value");
static_assert(offsetof(ND6080_Param, Alarm_On) == 260, "Alarm_On");
static_assert(offsetof(ND6080_Param, Alarm_Value) == 268, "Alarm_Value");
static_assert(offsetof(ND6080_Param, Unit) == 276, "Unit");
static_assert(offsetof(ND6080_Param, Copy_Channel_Name) == 532, "Copy_Channel_Name");

// The channel kinds, by bit of Channel_Mask.
enum {
    ND6080_COUNTER0 = 0,
    ND6080_COUNTER1 = 1,
    ND6080_OUTPUT0 = 2, // alarm or digital output 0
    ND6080_OUTPUT1 = 3,
    ND6080_KINDS = 4,
};
#define ND6080_NO_KIND 0xFF

struct ND6080_Runtime {
    TemplateRuntime Frame;
    BYTE Channel_Kind[ND6080_KINDS]; // kind of output j, ND6080_NO_KIND beyond the channels
    int Reading_Handle[2];
    float Counter_Reading[2]; // cells of the counter reads
    int DI_Handle;
    BYTE DO_State; // cell of the output read: bit i = output i
    BYTE Padding1;
    WORD Pending_DO; // the outputs the next digital-output action writes
    WORD Start_Mask; // counters the queued counter actions start, stop, reload
    WORD Stop_Mask;
    WORD Reset_Mask;
    WORD Padding2;
    ActionQueue Actions;
    BYTE Reserved[12];
};
static_assert(sizeof(ND6080_Runtime) == 128, "ND6080_Runtime is 128 bytes");
static_assert(offsetof(ND6080_Runtime, Frame) == 0, "the template's fields first");
static_assert(offsetof(ND6080_Runtime, Channel_Kind) == 56, "Channel_Kind");
static_assert(offsetof(ND6080_Runtime, Reading_Handle) == 60, "Reading_Handle");
static_assert(offsetof(ND6080_Runtime, Counter_Reading) == 68, "Counter_Reading");
static_assert(offsetof(ND6080_Runtime, DI_Handle) == 76, "DI_Handle");
static_assert(offsetof(ND6080_Runtime, DO_State) == 80, "DO_State");
static_assert(offsetof(ND6080_Runtime, Pending_DO) == 82, "Pending_DO");
static_assert(offsetof(ND6080_Runtime, Start_Mask) == 84, "Start_Mask");
static_assert(offsetof(ND6080_Runtime, Stop_Mask) == 86, "Stop_Mask");
static_assert(offsetof(ND6080_Runtime, Reset_Mask) == 88, "Reset_Mask");
static_assert(offsetof(ND6080_Runtime, Actions) == 92, "Action_Queue");

// The host actions.
enum {
    ND6080_START_COUNTER = 14,
    ND6080_STOP_COUNTER = 15,
    ND6080_RESET_COUNTER = 16,
    ND6080_SET_DOUT = 17,
    ND6080_RESET_DOUT = 18,
    ND6080_ACTIONS = 5,
};

// 38 rows and the all-zero end row.
#define ND6080_SCHEMA_ROWS 39
extern const ParamSchemaEntry ND6080_ParamSchema[ND6080_SCHEMA_ROWS];

#endif
