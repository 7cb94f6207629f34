// Block types ND6018 and ND6018P: eight-channel thermocouple and millivolt
// input modules.
#include "modules/analog/nd6018.h"

#include "frame/analogin.h"
#include "host/driver.h"
#include "host/host.h"
#include "frame/moduletest.h"
#include "host/numbers.h"
#include "modules/types.h"
#include "frame/setupdlg.h"
#include "frame/loops.h"
#include "frame/start.h"
#include "frame/template.h"
#include "resource.h"
#include "serial/ports.h"
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

} // namespace

void ND6018_Defaults(ModuleRecord* module) {
    ParamOf(module)->TC_Type = ND6018_DEFAULT_TC_TYPE;
}

int ND6018_ConfigureWith(ModuleRecord* module, const TemplateType* type, const char* letters) {
    ND6018_Param* p = ParamOf(module);
    // A code from a file that the type does not offer is not written into
    // the module.
    if (ND6018_EntryOfCode(p->TC_Type, letters, 1) < 0)
        return TemplateStepFailed(module, IDS_ND6018_UNKNOWN_RANGE);
    return AnalogConfigureModuleType(type, module, p->TC_Type);
}

int ND6018_Configure(ModuleRecord* module, const TemplateType* type) {
    return ND6018_ConfigureWith(module, type, ND6018_LETTERS);
}

void ND6018_ModuleSetting(ModuleRecord* module, char* text, int size) {
    snprintf(text, static_cast<size_t>(size), "type code %d", ParamOf(module)->TC_Type);
}

namespace {

// The range box: the module's seven fixed ranges (codes 0 to 6), offered in
// every family but the default one, then the thermocouple types from code 14
// on, one per letter.
const int kRangeCount = 7;
const int kFirstThermocouple = 14;
const char* const kRanges[kRangeCount] = {
    "\26115 mV", "\26150 mV", "\261100 mV", "\261500 mV", "\2611 V", "\2612.5 V", "\26120 mA",
};

int OffersRanges() {
    return !FAMILY_ND;
}

int OneLetterFormat(const char* format) {
    const char* p = strchr(format, '%');
    return p && p[1] == 'c' && !strchr(p + 2, '%');
}

int CodeOfEntry(int entry) {
    if (!OffersRanges()) return kFirstThermocouple + entry;
    return entry < kRangeCount ? entry : entry - kRangeCount + kFirstThermocouple;
}

} // namespace

int ND6018_EntryOfCode(int code, const char* letters, int ranges) {
    int count = static_cast<int>(strlen(letters));
    int first = ranges ? kRangeCount : 0;
    if (ranges && code >= 0 && code < kRangeCount) return code;
    if (code >= kFirstThermocouple && code < kFirstThermocouple + count)
        return first + code - kFirstThermocouple;
    return -1;
}

void ND6018_InitRangeBox(HWND dialog, void* work, const char* letters) {
    HWND box = GetDlgItem(dialog, IDC_ND6018_RANGE);
    if (!box || !work || !letters) return;
    if (OffersRanges())
        for (const char* range : kRanges)
            SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(range));
    // The string table's text takes the letter; one that is not a format of
    // exactly one letter is not used.
    char format[16];
    if (LoadStringA(hInstDriver, IDS_TC_TYPE, format, sizeof format) <= 0 ||
        !OneLetterFormat(format))
        snprintf(format, sizeof format, "Type %%c");
    int count = static_cast<int>(strlen(letters));
    for (int i = 0; i < count; i++) {
        char text[32];
        snprintf(text, sizeof text, format, letters[i]);
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    int entry =
        ND6018_EntryOfCode(static_cast<ND6018_Param*>(work)->TC_Type, letters, OffersRanges());
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

int ND6018_RangeCommand(HWND dialog, void* work, int id, int code) {
    if (id != IDC_ND6018_RANGE) return 0;
    if (code != CBN_SELCHANGE || !work) return 1;
    LRESULT entry = SendDlgItemMessageA(dialog, IDC_ND6018_RANGE, CB_GETCURSEL, 0, 0);
    LRESULT count = SendDlgItemMessageA(dialog, IDC_ND6018_RANGE, CB_GETCOUNT, 0, 0);
    if (entry >= 0 && entry < count)
        static_cast<ND6018_Param*>(work)->TC_Type = CodeOfEntry(static_cast<int>(entry));
    return 1;
}

// The thermocouple types differ only in data: ND6018P offers two
// thermocouple types more than ND6018, L and M (codes 23 and 24), and has its
// own name, restart note and caption in "TELV".
const ParamSchemaEntry* const ND6018P_ParamSchema = ND6018_ParamSchema;

namespace {

enum { kND6018, kND6018P, kThermocoupleTypes };

const char* const kLetters[kThermocoupleTypes] = {ND6018_LETTERS, ND6018_LETTERS "LM"};

template <int i> int Configure(ModuleRecord* module, const TemplateType* type) {
    return ND6018_ConfigureWith(module, type, kLetters[i]);
}

template <int i> void InitBoxes(HWND dialog, void* work) {
    ND6018_InitRangeBox(dialog, work, kLetters[i]);
}

// clang-format off
constexpr TemplateType kTypes[kThermocoupleTypes] = {
    ND6018_Descriptor({.type = "ND6018", .restartNote = "Restart 6018",
                       .setupDlgProc = ND6018_SetupDlgProc, .configure = Configure<kND6018>}),
    ND6018_Descriptor({.type = "ND6018P", .restartNote = "Restart 6018P",
                       .setupDlgProc = ND6018P_SetupDlgProc, .configure = Configure<kND6018P>}),
};

constexpr SetupDialogType kDialogs[kThermocoupleTypes] = {
    ND6018_DialogDescriptor(&kTypes[kND6018], "ZEMX Q7018-I", InitBoxes<kND6018>),
    ND6018_DialogDescriptor(&kTypes[kND6018P], "ZEMX Q7018P-I", InitBoxes<kND6018P>),
};
// clang-format on

} // namespace

BLOCK_TYPE_ROW_PROCS(ND6018, kDialogs, kTypes, TemplateClassProc, TemplateProcessInputs)
BLOCK_TYPE_ROW_PROCS(ND6018P, kDialogs, kTypes, TemplateClassProc, TemplateProcessInputs)
