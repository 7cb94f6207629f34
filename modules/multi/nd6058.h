// Records of the type ND6058: a digital I/O module of 28 lines in five ports
// (DI, A, B, CL, CH), presented as linked blocks that each serve one or more
// ports in one direction.
#ifndef TELVIO_MODULES_MULTI_ND6058_H
#define TELVIO_MODULES_MULTI_ND6058_H

#include "frame/multiblock.h"
#include "host/records.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6058_Param {
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
    int Port_Mask; // the block's ports: 1 DI, 2 A, 4 B, 8 CL, 16 CH
    BOOL IsInput;
    int MasterID;
    int ConfigInput;
    int PortAssigned;
};
static_assert(sizeof(ND6058_Param) == 1600, "ND6058_Param is 1600 bytes");
static_assert(offsetof(ND6058_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6058_Param, Module_Address) == MULTI_ADDRESS_OFFSET, "Module_Address");
static_assert(offsetof(ND6058_Param, Channel_Mask) == MULTI_MASK_OFFSET, "Channel_Mask");
static_assert(offsetof(ND6058_Param, Com) == MULTI_COM_OFFSET, "ComSettings");
static_assert(offsetof(ND6058_Param, Mess) == MULTI_MESS_OFFSET, "MessParam");
static_assert(offsetof(ND6058_Param, Unit) == MULTI_UNIT_OFFSET, "Unit");
static_assert(offsetof(ND6058_Param, Copy_Channel_Name) == MULTI_COPY_OFFSET, "Copy_Channel_Name");
static_assert(offsetof(ND6058_Param, IsMaster) == 1576, "IsMaster");
static_assert(offsetof(ND6058_Param, Port_Mask) == 1580, "Port_Mask");
static_assert(offsetof(ND6058_Param, IsInput) == 1584, "IsInput");
static_assert(offsetof(ND6058_Param, MasterID) == 1588, "MasterID");
static_assert(offsetof(ND6058_Param, ConfigInput) == 1592, "ConfigInput");
static_assert(offsetof(ND6058_Param, PortAssigned) == 1596, "PortAssigned");

// The ports.
enum {
    ND6058_DI = 1,
    ND6058_A = 2,
    ND6058_B = 4,
    ND6058_CL = 8,
    ND6058_CH = 16,
    ND6058_PORTS = 31,
};

// The kind of the master's next transaction.
enum {
    ND6058_PHASE_READ = 1,
    ND6058_PHASE_WRITE = 2,
};

struct ND6058_Runtime {
    MultiRuntime Head;  // timing (Next_Due: the next read), checksum, error wait
    DWORD Input_Image;  // cell of the read: the lines by the ports' input image bits
    DWORD Output_Image; // cell of the write: bytes 0-2, by the ports' output image bits
    int Read_Handle;
    int Write_Handle;
    BYTE Input_Ports;    // the ports of the module's input blocks
    BYTE Output_Ports;   // and of its output blocks
    BYTE Phase;          // ND6058_PHASE_*: the kind that goes first when both want the line
    BYTE First_Write;    // the first write of the experiment has not gone out
    BYTE Inputs_Pending; // ports of the last read image not yet delivered
    BYTE Outputs_Fresh;  // ports whose outputs got host values since the last write began
    BYTE Writing;        // the ports of the write in flight
    BYTE Padding;
    alignas(8) double Read_Time; // due time of the last read: its data's time
};
static_assert(sizeof(ND6058_Runtime) == 96, "ND6058_Runtime is 96 bytes");
static_assert(offsetof(ND6058_Runtime, Head) == 0, "the frame's fields first");
static_assert(offsetof(ND6058_Runtime, Input_Image) == 64, "Input_Image");
static_assert(offsetof(ND6058_Runtime, Output_Image) == 68, "Output_Image");
static_assert(offsetof(ND6058_Runtime, Read_Handle) == 72, "Read_Handle");
static_assert(offsetof(ND6058_Runtime, Write_Handle) == 76, "Write_Handle");
static_assert(offsetof(ND6058_Runtime, Input_Ports) == 80, "Input_Ports");
static_assert(offsetof(ND6058_Runtime, Output_Ports) == 81, "Output_Ports");
static_assert(offsetof(ND6058_Runtime, Phase) == 82, "Phase");
static_assert(offsetof(ND6058_Runtime, First_Write) == 83, "First_Write");
static_assert(offsetof(ND6058_Runtime, Inputs_Pending) == 84, "Inputs_Pending");
static_assert(offsetof(ND6058_Runtime, Outputs_Fresh) == 85, "Outputs_Fresh");
static_assert(offsetof(ND6058_Runtime, Writing) == 86, "Writing");
static_assert(offsetof(ND6058_Runtime, Read_Time) == 88, "Read_Time");

// 30 rows and the all-zero end row.
#define ND6058_SCHEMA_ROWS 31
extern const ParamSchemaEntry ND6058_ParamSchema[ND6058_SCHEMA_ROWS];

extern MultiBlockTable ND6058_BlockTable;

#endif
