// The records of the two-channel analog output type ND6022.
#ifndef TELVIO_MODULES_ANALOG_ND6022_H
#define TELVIO_MODULES_ANALOG_ND6022_H

#include "frame/messparam.h"
#include "frame/template.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6022_Param {
    int Version;
    char Channel_Name[16][24]; // channels 0 and 1 used
    int Module_Address;
    WORD Channel_Mask; // bits 0 and 1
    WORD Padding1;
    BOOL Watchdog_On; // the module's watchdog
    int Watchdog_Time;
    float Watchdog_Value[16]; // the safety value of each channel
    ComSettings Com;
    int Padding2;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
    int Range[16];     // AO_RANGE_* of each channel, the first three
    int Slew_Rate[16]; // 0..14, 0: none
};
static_assert(sizeof(ND6022_Param) == 1776, "ND6022_Param is 1776 bytes");
static_assert(offsetof(ND6022_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6022_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6022_Param, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(ND6022_Param, Watchdog_On) == 396, "Watchdog_On");
static_assert(offsetof(ND6022_Param, Watchdog_Time) == 400, "Watchdog_Time");
static_assert(offsetof(ND6022_Param, Watchdog_Value) == 404, "Watchdog_Value");
static_assert(offsetof(ND6022_Param, Com) == 468, "ComSettings");
static_assert(offsetof(ND6022_Param, Mess) == 504, "MessParam");
static_assert(offsetof(ND6022_Param, Unit) == 560, "Unit");
static_assert(offsetof(ND6022_Param, Copy_Channel_Name) == 1584, "Copy_Channel_Name");
static_assert(offsetof(ND6022_Param, Range) == 1648, "Range");
static_assert(offsetof(ND6022_Param, Slew_Rate) == 1712, "Slew_Rate");

// The runtime record: the template's layout with a due time per channel, on
// the block's own clock from its start.
struct ND6022_Runtime {
    TemplateDueRuntime Frame;
};
static_assert(sizeof(ND6022_Runtime) == 184, "ND6022_Runtime is 184 bytes");

#endif
