// Records of the type ND6016: a strain-gauge module with two analog inputs,
// an excitation output, four digital outputs, a digital input and an event
// counter, presented as up to three linked blocks, one per function.
#ifndef TELVIO_MODULES_MULTI_ND6016_H
#define TELVIO_MODULES_MULTI_ND6016_H

#include "frame/multiblock.h"
#include "frame/multitask.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6016_Param {
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
    int InputHardwareChannel; // 0 "Input 1", 1 "Input 2": edited and saved only
    float Excitation;         // excitation voltage, 0 .. 10 V
    short ExcitationVariable; // host global variable of the excitation, 0 none
    short Padding3;
    int Range; // input range, 0..6
    int ConfigInput;
    int PortAssigned;
    int Padding4;
};
static_assert(sizeof(ND6016_Param) == 1624, "ND6016_Param is 1624 bytes");
static_assert(offsetof(ND6016_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6016_Param, Module_Address) == MULTI_ADDRESS_OFFSET, "Module_Address");
static_assert(offsetof(ND6016_Param, Channel_Mask) == MULTI_MASK_OFFSET, "Channel_Mask");
static_assert(offsetof(ND6016_Param, Com) == MULTI_COM_OFFSET, "ComSettings");
static_assert(offsetof(ND6016_Param, Mess) == MULTI_MESS_OFFSET, "MessParam");
static_assert(offsetof(ND6016_Param, Unit) == MULTI_UNIT_OFFSET, "Unit");
static_assert(offsetof(ND6016_Param, Copy_Channel_Name) == MULTI_COPY_OFFSET, "Copy_Channel_Name");
static_assert(offsetof(ND6016_Param, IsMaster) == 1576, "IsMaster");
static_assert(offsetof(ND6016_Param, Module_Type) == 1580, "Module_Type");
static_assert(offsetof(ND6016_Param, Port_Mask) == 1584, "Port_Mask");
static_assert(offsetof(ND6016_Param, IsInput) == 1588, "IsInput");
static_assert(offsetof(ND6016_Param, MasterID) == 1592, "MasterID");
static_assert(offsetof(ND6016_Param, InputHardwareChannel) == 1596, "InputHardwareChannel");
static_assert(offsetof(ND6016_Param, Excitation) == 1600, "Excitation");
static_assert(offsetof(ND6016_Param, ExcitationVariable) == 1604, "ExcitationVariable");
static_assert(offsetof(ND6016_Param, Range) == 1608, "Range");
static_assert(offsetof(ND6016_Param, ConfigInput) == 1612, "ConfigInput");
static_assert(offsetof(ND6016_Param, PortAssigned) == 1616, "PortAssigned");

// The task codes.
enum {
    ND6016_TASK_AINPUT = 1,
    ND6016_TASK_EXCITATION = 2,
    ND6016_TASK_DOUTPUT = 3,
    ND6016_TASK_DOUTPUT2 = 4,
    ND6016_TASK_COUNTER = 5,
    ND6016_TASK_DINPUT = 6,
};

struct ND6016_Runtime {
    MultiRuntime Head;     // timing, checksum, error wait (the master's count)
    MultiTaskState Tasks;  // the master's task list, actions and rounds
    float AI_Value[2];     // cells of the analog reads, by input
    float Excitation_Sent; // cell of the excitation write: the value last chosen
    BYTE DO0_Value;        // cell of the write of outputs 0-1, as bits 0-1
    BYTE DO1_Value;        // cell of the write of outputs 2-3, as bits 0-1
    short Event_Count;     // cell of the counter read
    WORD DIO_State;        // cell of the digital read; bit 0 the digital input
    BYTE DO_Image;         // the four outputs as the host last set them
    BYTE DO_Has_Data;      // pairs the host has set in this experiment: 1 low, 2 high
    int AI_Reads;          // the analog reads of a round
    int AI_Handle[2];      // their requests, in the order of the channels
    int AI_Channel[2];     // and the inputs they read
    int Excitation_Handle;
    int DO0_Handle;
    int DO1_Handle;
    int Counter_Handle;
    int DIO_Handle;
    BYTE Reserved[36];
};
static_assert(sizeof(ND6016_Runtime) == 280, "ND6016_Runtime is 280 bytes");
static_assert(offsetof(ND6016_Runtime, Head) == 0, "the frame's fields first");
static_assert(offsetof(ND6016_Runtime, Tasks) == 64, "Tasks");
static_assert(offsetof(ND6016_Runtime, AI_Value) == 184, "AI_Value");
static_assert(offsetof(ND6016_Runtime, Excitation_Sent) == 192, "Excitation_Sent");
static_assert(offsetof(ND6016_Runtime, DO0_Value) == 196, "DO0_Value");
static_assert(offsetof(ND6016_Runtime, DO1_Value) == 197, "DO1_Value");
static_assert(offsetof(ND6016_Runtime, Event_Count) == 198, "Event_Count");
static_assert(offsetof(ND6016_Runtime, DIO_State) == 200, "DIO_State");
static_assert(offsetof(ND6016_Runtime, DO_Image) == 202, "DO_Image");
static_assert(offsetof(ND6016_Runtime, AI_Reads) == 204, "AI_Reads");
static_assert(offsetof(ND6016_Runtime, AI_Handle) == 208, "AI_Handle");
static_assert(offsetof(ND6016_Runtime, AI_Channel) == 216, "AI_Channel");
static_assert(offsetof(ND6016_Runtime, Excitation_Handle) == 224, "Excitation_Handle");
static_assert(offsetof(ND6016_Runtime, DO0_Handle) == 228, "DO0_Handle");
static_assert(offsetof(ND6016_Runtime, DO1_Handle) == 232, "DO1_Handle");
static_assert(offsetof(ND6016_Runtime, Counter_Handle) == 236, "Counter_Handle");
static_assert(offsetof(ND6016_Runtime, DIO_Handle) == 240, "DIO_Handle");

// 35 rows and the all-zero end row.
#define ND6016_SCHEMA_ROWS 36
extern const ParamSchemaEntry ND6016_ParamSchema[ND6016_SCHEMA_ROWS];

// The type's block table.
extern MultiBlockTable ND6016_BlockTable;

#endif
