// The parameter record of the universal input type ND6019, with an input
// type per channel.
#ifndef TELVIO_MODULES_ANALOG_ND6019_H
#define TELVIO_MODULES_ANALOG_ND6019_H

#include "frame/messparam.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6019_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    int TC_Type[16]; // per channel: the input type's index (0..20) in the type list
    WORD Channel_Mask;
    WORD Padding1;
    ComSettings Com;
    int Padding2;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6019_Param) == 1640, "ND6019_Param is 1640 bytes");
static_assert(offsetof(ND6019_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6019_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6019_Param, TC_Type) == 392, "TC_Type");
static_assert(offsetof(ND6019_Param, Channel_Mask) == 456, "Channel_Mask");
static_assert(offsetof(ND6019_Param, Com) == 460, "ComSettings");
static_assert(offsetof(ND6019_Param, Mess) == 496, "MessParam");
static_assert(offsetof(ND6019_Param, Unit) == 552, "Unit");
static_assert(offsetof(ND6019_Param, Copy_Channel_Name) == 1576, "Copy_Channel_Name");

// The 25 stored rows, one row of the other channels' types, the end row.
#define ND6019_SCHEMA_ROWS 27
extern const ParamSchemaEntry ND6019_ParamSchema[ND6019_SCHEMA_ROWS];

#endif
