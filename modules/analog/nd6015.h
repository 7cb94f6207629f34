// The parameter record of the six-channel RTD input type ND6015, with a
// sensor type per channel.
#ifndef TELVIO_MODULES_ANALOG_ND6015_H
#define TELVIO_MODULES_ANALOG_ND6015_H

#include "frame/messparam.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6015_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask;
    WORD Padding1;
    int RTD_Type[16]; // per channel: the sensor type code, 0x20 + its entry in the list
    ComSettings Com;
    int Padding2;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6015_Param) == 1640, "ND6015_Param is 1640 bytes");
static_assert(offsetof(ND6015_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6015_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6015_Param, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(ND6015_Param, RTD_Type) == 396, "RTD_Type");
static_assert(offsetof(ND6015_Param, Com) == 460, "ComSettings");
static_assert(offsetof(ND6015_Param, Mess) == 496, "MessParam");
static_assert(offsetof(ND6015_Param, Unit) == 552, "Unit");
static_assert(offsetof(ND6015_Param, Copy_Channel_Name) == 1576, "Copy_Channel_Name");

#endif
