// Records of the type ND6014: an analog input module with two digital
// outputs, a digital input and an event counter, presented as up to three
// linked blocks, one per function.
#ifndef TELVIO_MODULES_MULTI_ND6014_H
#define TELVIO_MODULES_MULTI_ND6014_H

#include "frame/multiblock.h"
#include "frame/multitask.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6014_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address; // used from the master's record
    WORD Channel_Mask;
    WORD Padding1;
    ComSettings Com; // used from the master's record
    int Padding2;
    MessParam Mess; // used from the master's record
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
    BOOL IsMaster;
    int Module_Type; // 0 analog input, 1 digital output, 2 digital input and counter
    int Port_Mask;   // 1, 2 or 4: the function
    BOOL IsInput;
    int MasterID;
    float Excitation;         // kept in the record; the module gets no excitation
    short ExcitationVariable; // host global variable of the excitation, 0 none
    short Padding3;
    int Range; // input range, 0..5
    int ConfigInput;
    int PortAssigned;
};
static_assert(sizeof(ND6014_Param) == 1616, "ND6014_Param is 1616 bytes");
static_assert(offsetof(ND6014_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6014_Param, Module_Address) == MULTI_ADDRESS_OFFSET, "Module_Address");
static_assert(offsetof(ND6014_Param, Channel_Mask) == MULTI_MASK_OFFSET, "Channel_Mask");
static_assert(offsetof(ND6014_Param, Com) == MULTI_COM_OFFSET, "ComSettings");
static_assert(offsetof(ND6014_Param, Mess) == MULTI_MESS_OFFSET, "MessParam");
static_assert(offsetof(ND6014_Param, Unit) == MULTI_UNIT_OFFSET, "Unit");
static_assert(offsetof(ND6014_Param, Copy_Channel_Name) == MULTI_COPY_OFFSET, "Copy_Channel_Name");
static_assert(offsetof(ND6014_Param, IsMaster) == 1576, "IsMaster");
static_assert(offsetof(ND6014_Param, Module_Type) == 1580, "Module_Type");
static_assert(offsetof(ND6014_Param, Port_Mask) == 1584, "Port_Mask");
static_assert(offsetof(ND6014_Param, IsInput) == 1588, "IsInput");
static_assert(offsetof(ND6014_Param, MasterID) == 1592, "MasterID");
static_assert(offsetof(ND6014_Param, Excitation) == 1596, "Excitation");
static_assert(offsetof(ND6014_Param, ExcitationVariable) == 1600, "ExcitationVariable");
static_assert(offsetof(ND6014_Param, Range) == 1604, "Range");
static_assert(offsetof(ND6014_Param, ConfigInput) == 1608, "ConfigInput");
static_assert(offsetof(ND6014_Param, PortAssigned) == 1612, "PortAssigned");

// The task codes.
enum {
    ND6014_TASK_AINPUT = 1,
    ND6014_TASK_EXCITATION = 2,
    ND6014_TASK_DOUTPUT = 3,
    ND6014_TASK_COUNTER = 4,
    ND6014_TASK_DINPUT = 5,
};

struct ND6014_Runtime {
    MultiRuntime Head;    // timing, checksum, error wait (the master's count)
    MultiTaskState Tasks; // the master's task list, actions and rounds
    float AI_Value;       // cell of the analog read
    float Excitation_Sent;
    BYTE DO0_Value;     // cell of the output write: outputs 0-1 as bits 0-1
    BYTE Last_DO_Value; // DO0_Value as last queued
    short Event_Count;  // cell of the counter read
    WORD DIO_State;     // cell of the digital read; bit 0 the digital input
    BYTE DO_Image;      // the outputs as the host last set them
    BYTE DO_Has_Data;   // the host has set them in this experiment
    int AI_Handle;
    int DO0_Handle;
    int Counter_Handle;
    int DIO_Handle;
    alignas(8) double DO_Next_Due; // before this time a changed output is not queued
    BYTE Reserved[48];
};
static_assert(sizeof(ND6014_Runtime) == 272, "ND6014_Runtime is 272 bytes");
static_assert(offsetof(ND6014_Runtime, Head) == 0, "the frame's fields first");
static_assert(offsetof(ND6014_Runtime, Tasks) == 64, "Tasks");
static_assert(offsetof(ND6014_Runtime, AI_Value) == 184, "AI_Value");
static_assert(offsetof(ND6014_Runtime, Excitation_Sent) == 188, "Excitation_Sent");
static_assert(offsetof(ND6014_Runtime, DO0_Value) == 192, "DO0_Value");
static_assert(offsetof(ND6014_Runtime, Last_DO_Value) == 193, "Last_DO_Value");
static_assert(offsetof(ND6014_Runtime, Event_Count) == 194, "Event_Count");
static_assert(offsetof(ND6014_Runtime, DIO_State) == 196, "DIO_State");
static_assert(offsetof(ND6014_Runtime, DO_Image) == 198, "DO_Image");
static_assert(offsetof(ND6014_Runtime, AI_Handle) == 200, "AI_Handle");
static_assert(offsetof(ND6014_Runtime, DO0_Handle) == 204, "DO0_Handle");
static_assert(offsetof(ND6014_Runtime, Counter_Handle) == 208, "Counter_Handle");
static_assert(offsetof(ND6014_Runtime, DIO_Handle) == 212, "DIO_Handle");
static_assert(offsetof(ND6014_Runtime, DO_Next_Due) == 216, "DO_Next_Due");

// 34 rows and the all-zero end row.
#define ND6014_SCHEMA_ROWS 35
extern const ParamSchemaEntry ND6014_ParamSchema[ND6014_SCHEMA_ROWS];

// The type's block table.
extern MultiBlockTable ND6014_BlockTable;

#endif
