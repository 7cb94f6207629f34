// Records and start steps of the thermocouple input types ND6018 and
// ND6018P, which share them.
#ifndef TELVIO_MODULES_ANALOG_ND6018_H
#define TELVIO_MODULES_ANALOG_ND6018_H

#include "frame/analogin.h"
#include "frame/messparam.h"
#include "host/records.h"
#include "frame/setupdlg.h"
#include "frame/template.h"
#include "resource.h"
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
// The thermocouple letters of ND6018, codes 14 on.
#define ND6018_LETTERS "JKTERSBNC"

// The entry of a type code in the range box (with the seven fixed ranges
// first when `ranges`); -1 when the box has none: the code is not the type's.
int ND6018_EntryOfCode(int code, const char* letters, int ranges);

// Reads the module's type code and rewrites its configuration when it
// differs from the block's; a block's code that is not one of the type's
// (the fixed ranges and `letters`) is refused.
int ND6018_ConfigureWith(ModuleRecord* module, const TemplateType* type, const char* letters);
int ND6018_Configure(ModuleRecord* module, const TemplateType* type);
// The type code the start writes into the module.
void ND6018_ModuleSetting(ModuleRecord* module, char* text, int size);

// The setup dialog both types share: the range box, filled from the type's
// thermocouple letters, and its selection.
void ND6018_InitRangeBox(HWND dialog, void* work, const char* letters);
int ND6018_RangeCommand(HWND dialog, void* work, int id, int code);

// The descriptor both types are built from: the members a type names
// (`own`: its identifier, restart note, dialog procedure and configuration
// step) and those both share. Constant, so each type's copy is made at
// compile time.
constexpr TemplateType ND6018_Descriptor(const TemplateType& own) {
    return TemplateType{
        .type = own.type,
        .form = TEMPLATE_INPUT_FORM,
        .maxChannels = 8,
        .channelLimit = 8,
        .model = 6018,
        .models = ND6018_Models,
        .modelCount = 5,
        .nameFormat = "Vin %d",
        .unit = "\260C",
        .namedChannels = 16,
        .restartNote = own.restartNote,
        .schema = ND6018_ParamSchema,
        TEMPLATE_RECORD_OFFSETS(ND6018_Param),
        .dialogTemplate = "DLG_ND6018",
        .setupDlgProc = own.setupDlgProc,
        .defaults = ND6018_Defaults,
        .configure = own.configure,
        .addRequest = AnalogAddChannelRead,
        .moduleSetting = ND6018_ModuleSetting,
    };
}

// The setup dialog's values of both types; they differ in the caption of the
// family "TELV" and in the thermocouple letters their `init` offers.
constexpr SetupDialogType ND6018_DialogDescriptor(const TemplateType* type, const char* telvCaption,
                                                  void (*init)(HWND dialog, void* work)) {
    return SetupDialogType{
        type,
        sizeof(ND6018_Param),
        8,    // channel buttons
        1120, // help context
        // captions: default (the template's), XX01, XX04, XX03, XX05, XX06, TELV
        {nullptr, "XX01-4018", "YY04 PAD-VTH8", "XX03 S7018-I", "ZAV-6018", "YY06-8018",
         telvCaption},
        {IDC_ND6018_RANGE, 0, 0, 0},
        init,
        ND6018_RangeCommand,
        nullptr,
        nullptr,
    };
}

#endif
