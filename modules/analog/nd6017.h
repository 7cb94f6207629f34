// The parameter record of the voltage input type ND6017.
#ifndef TELVIO_MODULES_ANALOG_ND6017_H
#define TELVIO_MODULES_ANALOG_ND6017_H

#include "frame/messparam.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6017_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    int Range; // the input range code of the whole module, 8..13
    WORD Channel_Mask;
    WORD Padding1;
    ComSettings Com;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6017_Param) == 1576, "ND6017_Param is 1576 bytes");
static_assert(offsetof(ND6017_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6017_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6017_Param, Range) == 392, "Range");
static_assert(offsetof(ND6017_Param, Channel_Mask) == 396, "Channel_Mask");
static_assert(offsetof(ND6017_Param, Com) == 400, "ComSettings");
static_assert(offsetof(ND6017_Param, Mess) == 432, "MessParam");
static_assert(offsetof(ND6017_Param, Unit) == 488, "Unit");
static_assert(offsetof(ND6017_Param, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

#endif
