// Records and start steps of the thermocouple input types ND6018 and
// ND6018P, which share them.
#ifndef TELVIO_MODULES_ANALOG_ND6018_H
#define TELVIO_MODULES_ANALOG_ND6018_H

#include "frame/messparam.h"
#include "frame/records.h"
#include "frame/template.h"
#include "serial/ports.h"

#include <stddef.h>

struct ND6018_Param {
    int Version;
    char Channel_Name[16][24];
    int Module_Address;
    int TC_Type; // the module's input type code, one for all channels
    WORD Channel_Mask;
    WORD Padding1;
    ComSettings Com;
    MessParam Mess;
    char Unit[16][64];
    BOOL Copy_Channel_Name[16];
};
static_assert(sizeof(ND6018_Param) == 1576, "ND6018_Param is 1576 bytes");
static_assert(offsetof(ND6018_Param, Version) == 0, "Version");
static_assert(offsetof(ND6018_Param, Channel_Name) == 4, "Channel_Name");
static_assert(offsetof(ND6018_Param, Module_Address) == 388, "Module_Address");
static_assert(offsetof(ND6018_Param, TC_Type) == 392, "TC_Type");
static_assert(offsetof(ND6018_Param, Channel_Mask) == 396, "Channel_Mask");
static_assert(offsetof(ND6018_Param, Com) == 400, "ComSettings");
static_assert(offsetof(ND6018_Param, Mess) == 432, "MessParam");
static_assert(offsetof(ND6018_Param, Unit) == 488, "Unit");
static_assert(offsetof(ND6018_Param, Copy_Channel_Name) == 1512, "Copy_Channel_Name");

typedef TemplateRuntime ND6018_Runtime;
static_assert(sizeof(ND6018_Runtime) == 56, "ND6018_Runtime is 56 bytes");

// Type J, the range of a new block.
#define ND6018_DEFAULT_TC_TYPE 14

// 25 rows and the all-zero end row.
extern const ParamSchemaEntry ND6018_ParamSchema[26];
extern const int ND6018_Models[5];
// ND6018P stores the same record the same way.
extern const ParamSchemaEntry* const ND6018P_ParamSchema;

void ND6018_Defaults(ModuleRecord* module);
// Reads the module's type code and rewrites its configuration when it
// differs from the block's.
int ND6018_Configure(ModuleRecord* module, const TemplateType* type);
int ND6018_AddRequest(ModuleRecord* module, const TemplateType* type, int j, int c);

// The descriptor both types are built from; they differ in their name and
// restart note. Constant, so each type's copy is made at compile time.
constexpr TemplateType ND6018_Descriptor(const char* name, const char* restartNote) {
    return TemplateType{
        name,
        TEMPLATE_INPUT_FORM,
        8,    // channel limit of message 2
        6018, // model number
        ND6018_Models,
        5,
        "Vin %d",
        "\260C",
        16,
        restartNote,
        ND6018_ParamSchema,
        offsetof(ND6018_Param, Module_Address),
        offsetof(ND6018_Param, Channel_Mask),
        offsetof(ND6018_Param, Com),
        offsetof(ND6018_Param, Mess),
        offsetof(ND6018_Param, Unit),
        offsetof(ND6018_Param, Copy_Channel_Name),
        nullptr, // the setup dialog: the host's default action for now
        nullptr,
        ND6018_Defaults,
        ND6018_Configure,
        ND6018_AddRequest,
    };
}

#endif
