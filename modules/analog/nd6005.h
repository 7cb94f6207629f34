// The parameter record of the thermistor input type ND6005: a thermistor
// type and an alarm per channel, one temperature scale for the module.
#ifndef TELVIO_MODULES_ANALOG_ND6005_H
#define TELVIO_MODULES_ANALOG_ND6005_H

#include "frame/messparam.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6005_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    int TC_Type[16];                  // per channel: the thermistor type's index (0..20)
    BOOL Alarm_On[16];                // per channel: the channel drives an alarm output
    BOOL Alarm_Latched[16];           // per channel: 1 latched, 0 momentary
    int Alarm_DO[16];                 // per channel: the alarm output (0..5) it drives
    alignas(8) double Alarm_High[16]; // per channel, in the module's scale
    alignas(8) double Alarm_Low[16];
    WORD Channel_Mask;
    WORD Padding1;
    ComSettings Com;
    int Padding2;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
    int Temperature_Scale; // above 1: Fahrenheit; else Celsius
    int Padding3;
};
static_assert(sizeof(ND6005_Param) == 2096, "ND6005_Param is 2096 bytes");
static_assert(offsetof(ND6005_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6005_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6005_Param, TC_Type) == 392, "TC_Type");
static_assert(offsetof(ND6005_Param, Alarm_On) == 456, "Alarm_On");
static_assert(offsetof(ND6005_Param, Alarm_Latched) == 520, "Alarm_Latched");
static_assert(offsetof(ND6005_Param, Alarm_DO) == 584, "Alarm_DO");
static_assert(offsetof(ND6005_Param, Alarm_High) == 648, "Alarm_High");
static_assert(offsetof(ND6005_Param, Alarm_Low) == 776, "Alarm_Low");
static_assert(offsetof(ND6005_Param, Channel_Mask) == 904, "Channel_Mask");
static_assert(offsetof(ND6005_Param, Com) == 908, "ComSettings");
static_assert(offsetof(ND6005_Param, Mess) == 944, "MessParam");
static_assert(offsetof(ND6005_Param, Unit) == 1000, "Unit");
static_assert(offsetof(ND6005_Param, Copy_Channel_Name) == 2024, "Copy_Channel_Name");
static_assert(offsetof(ND6005_Param, Temperature_Scale) == 2088, "Temperature_Scale");

// The 29 stored rows, seven rows of the other channels' types and alarms,
// the alarm outputs and the scale, the end row.
#define ND6005_SCHEMA_ROWS 37
extern const ParamSchemaEntry ND6005_ParamSchema[ND6005_SCHEMA_ROWS];

#endif
