// The parameter record of the RTD input types with one sensor type for the
// whole module, ND6013 and ND6033, which store it the same way.
#ifndef TELVIO_MODULES_ANALOG_ND6013_H
#define TELVIO_MODULES_ANALOG_ND6013_H

#include "frame/messparam.h"
#include "frame/template.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6013_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    WORD Channel_Mask;
    WORD Padding1;
    int RTD_Type; // the module's sensor type code, 0x20 + its entry in the sensor list
    ComSettings Com;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6013_Param) == 1576, "ND6013_Param is 1576 bytes");
static_assert(offsetof(ND6013_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6013_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6013_Param, Channel_Mask) == 392, "Channel_Mask");
static_assert(offsetof(ND6013_Param, RTD_Type) == 396, "RTD_Type");
static_assert(offsetof(ND6013_Param, Com) == 400, "ComSettings");
static_assert(offsetof(ND6013_Param, Mess) == 432, "MessParam");
static_assert(offsetof(ND6013_Param, Unit) == 488, "Unit");
static_assert(offsetof(ND6013_Param, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

typedef ND6013_Param ND6033_Param;

// ND6033's runtime record: the template's fields, then room the type
// registers and does not use.
struct ND6033_Runtime {
    TemplateRuntime Frame;
    BYTE Reserved[128];
};
static_assert(sizeof(ND6033_Runtime) == 184, "ND6033_Runtime is 184 bytes");

// 25 rows and the all-zero end row; ND6033's are the same.
extern const ParamSchemaEntry ND6013_ParamSchema[26];

// The first sensor code of the RTD types' lists: entry k is code 0x20 + k.
#define RTD_FIRST_CODE 0x20

#endif
