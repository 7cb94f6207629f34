// The records of the four-channel analog output type ND6024.
#ifndef TELVIO_MODULES_ANALOG_ND6024_H
#define TELVIO_MODULES_ANALOG_ND6024_H

#include "frame/messparam.h"
#include "frame/template.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6024_Param {
    int Version;
    char Channel_Name[4][24];
    int Module_Address;
    WORD Channel_Mask; // bits 0 to 3
    WORD Padding1;
    BOOL Watchdog_On; // the module's watchdog
    int Watchdog_Time;
    float Watchdog_Value[4]; // the safety value of each channel
    ComSettings Com;
    int Padding2;
    MessParam Mess;
    char Unit[4][64];
    BOOL Copy_Channel_Name[4];
    int Range;     // AO_RANGE_* of the module
    int Slew_Rate; // 0..15, 0: none
};
static_assert(sizeof(ND6024_Param) == 504, "ND6024_Param is 504 bytes");
static_assert(offsetof(ND6024_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6024_Param, Module_Address) == 100, "Module_Address");
static_assert(offsetof(ND6024_Param, Channel_Mask) == 104, "Channel_Mask");
static_assert(offsetof(ND6024_Param, Watchdog_On) == 108, "Watchdog_On");
static_assert(offsetof(ND6024_Param, Watchdog_Time) == 112, "Watchdog_Time");
static_assert(offsetof(ND6024_Param, Watchdog_Value) == 116, "Watchdog_Value");
static_assert(offsetof(ND6024_Param, Com) == 132, "ComSettings");
static_assert(offsetof(ND6024_Param, Mess) == 168, "MessParam");
static_assert(offsetof(ND6024_Param, Unit) == 224, "Unit");
static_assert(offsetof(ND6024_Param, Copy_Channel_Name) == 480, "Copy_Channel_Name");
static_assert(offsetof(ND6024_Param, Range) == 496, "Range");
static_assert(offsetof(ND6024_Param, Slew_Rate) == 500, "Slew_Rate");

// The runtime record: the template's fields, then room the type registers
// and does not use.
struct ND6024_Runtime {
    TemplateRuntime Frame;
    BYTE Reserved[8];
};
static_assert(sizeof(ND6024_Runtime) == 64, "ND6024_Runtime is 64 bytes");

#endif
