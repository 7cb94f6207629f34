// The records of ND6024I, the digital input lines of the four-channel
// analog output module.
#ifndef TELVIO_MODULES_ANALOG_ND6024I_H
#define TELVIO_MODULES_ANALOG_ND6024I_H

#include "frame/messparam.h"
#include "frame/template.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6024I_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask; // bit c: line c is delivered
    WORD Padding1;
    ComSettings Com;
    int Padding2;
    MessParam Mess; // the watchdog fields are not used
    char Unit[16][64];
    BOOL Copy_Channel_Name[16]; // not used
};
static_assert(sizeof(ND6024I_Param) == 1576, "ND6024I_Param is 1576 bytes");
static_assert(offsetof(ND6024I_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6024I_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6024I_Param, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(ND6024I_Param, Com) == 396, "ComSettings");
static_assert(offsetof(ND6024I_Param, Mess) == 432, "MessParam");
static_assert(offsetof(ND6024I_Param, Unit) == 488, "Unit");
static_assert(offsetof(ND6024I_Param, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

// The runtime record: the template's fields, the input image in the place
// of Channel_Index, then room the type registers and does not use.
struct ND6024I_Runtime {
    TemplateRuntime Frame;
    BYTE Reserved[8];
};
static_assert(sizeof(ND6024I_Runtime) == 64, "ND6024I_Runtime is 64 bytes");

#endif
