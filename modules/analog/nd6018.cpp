// Block type ND6018: eight-channel thermocouple and millivolt input module.
#include "modules/analog/nd6018.h"

#include "frame/host.h"
#include "frame/moduletest.h"
#include "frame/registration.h"
#include "frame/template.h"
#include "resource.h"
#include "serial/scan.h"

#include <stdio.h>
#include <string.h>

// clang-format off
const ParamSchemaEntry ND6018_ParamSchema[26] = {
    {"Version", "int", 0, 0},
    {"Channel_Name[0..15]", "string[24]", 4, 0},
    {"Module_Address", "int", 388, 0},
    {"TC_Type", "int", 392, 0},
    {"Channel_Mask", "WORD", 396, 0},
    {"Port_Number", "int", 400, 0},
    {"Baud_Rate", "int", 404, 0},
    {"Data_Bits", "int", 408, 0},
    {"Stop_Bits", "int", 412, 0},
    {"Parity", "int", 416, 0},
    {"RS232_Buffer", "int", 420, 0},
    {"Dummy1", "WORD[0..3]", 424, 0},
    {"Use_Global_Settings", "BOOL", 432, 0},
    {"Time_Seconds", "BOOL", 436, 0},
    {"Sample_Distance", "double", 440, 0},
    {"Error_Stop", "BOOL", 448, 0},
    {"Error_Wait_Min", "int", 452, 0},
    {"Error_Set_Var", "BOOL", 456, 0},
    {"Error_Var_Nr", "int", 460, 0},
    {"Watchdog_On", "BOOL", 464, 0},
    {"Watchdog_Time", "int", 468, 0},
    {"Watchdog_Value", "WORD", 472, 0},
    {"Dummy2", "WORD[0..3]", 474, 0},
    {"Unit[0..15]", "string[64]", 488, 0},
    {"Copy_Channel_Name[0..15]", "BOOL", 1512, 0},
    {nullptr, nullptr, 0, 0},
};
// clang-format on
static_assert(sizeof ND6018_ParamSchema / sizeof ND6018_ParamSchema[0] == 26,
              "25 rows and the end");

const int ND6018_Models[5] = {0, 4018, 6018, 7018, 8018};

namespace {

ND6018_Param* ParamOf(ModuleRecord* module) {
    return static_cast<ND6018_Param*>(module->pParam);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void ND6018_Defaults(ModuleRecord* module) {
    ParamOf(module)->TC_Type = ND6018_DEFAULT_TC_TYPE;
}

int ND6018_Configure(ModuleRecord* module, const TemplateType* type) {
    ND6018_Param* p = ParamOf(module);
    int checksum = TemplateRuntimeOf(module)->Uses_Checksum;
    char text[TEMPLATE_QUERY_SIZE];
    snprintf(text, sizeof text, "$%02X2", p->Module_Address & 0xFF);
    if (!TemplateSendAndExpect(type, module, text, '!', checksum, 0)) return 0;
    // "!AATTCCFF": the type code is the two digits after the address.
    int high = strlen(text) >= 5 ? HexDigit(text[3]) : -1;
    int low = high >= 0 ? HexDigit(text[4]) : -1;
    if (low < 0) {
        StopExperiment();
        char name[16];
        TemplateBlockName(module, name, sizeof name);
        ShowWarningById(name, IDS_COMM_PROBLEM);
        return 0;
    }
    if ((high * 16 + low) == (p->TC_Type & 0xFF)) return 1;
    snprintf(text, sizeof text, "%%%02X%02X%02X%02X%02X", p->Module_Address & 0xFF,
             p->Module_Address & 0xFF, p->TC_Type & 0xFF, (p->Com.Baud_Rate + 3) & 0xFF,
             checksum ? 0x40 : 0);
    return TemplateSendAndExpect(type, module, text, '!', checksum, 7000);
}

int ND6018_AddRequest(ModuleRecord* module, const TemplateType*, int j, int c) {
    ND6018_Param* p = ParamOf(module);
    ChannelScan* scan = TemplateChannelScan(module, j);
    return ScanAddAiRead(p->Com.Port_Number, p->Module_Address, c, &scan->Channel_Value,
                         TemplateRuntimeOf(module)->Uses_Checksum);
}

namespace {

constexpr TemplateType type = ND6018_Descriptor("ND6018", "Restart 6018");

} // namespace

int MODULE_CALL ND6018_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return TemplateClassProc(&type, module, msg, wParam, lParam);
}

int MODULE_CALL ND6018_Process(ModuleRecord* module) {
    return TemplateProcessInputs(&type, module);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6018", 1576, 56, 8, IDM_ND6018, 1120, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6018_MODULE", "4018_MODULE", "PVTH8_MODULE", "S7018_I_MODULE",
     "O6018_MODULE", "S8018_MODULE", "Q7018_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4018-00", "PADVTH8-00", "S7018-I-00", "O6018-00", "S8018-00", "Q7018-I-00"},
    1107, 1137, 1605, // strings: default name, description, description in XX03
    "ND6018_ICO", "Q7018I_IN", // icon, symbol
    ND6018_ClassProc, ND6018_Process, defaultName, description};
// clang-format on

} // namespace

int ND6018_Register() {
    return RegisterBlockType(row);
}
