// The parameter record of ND6005I, the block of the thermistor module's
// digital (alarm) outputs.
#ifndef TELVIO_MODULES_ANALOG_ND6005I_H
#define TELVIO_MODULES_ANALOG_ND6005I_H

#include "frame/messparam.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6005I_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask; // bit i: output line i delivered
    WORD Padding1;
    ComSettings Com;
    int Unused;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6005I_Param) == 1576, "ND6005I_Param is 1576 bytes");
static_assert(offsetof(ND6005I_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6005I_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6005I_Param, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(ND6005I_Param, Com) == 396, "ComSettings");
static_assert(offsetof(ND6005I_Param, Mess) == 432, "MessParam");
static_assert(offsetof(ND6005I_Param, Unit) == 488, "Unit");
static_assert(offsetof(ND6005I_Param, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

#endif
