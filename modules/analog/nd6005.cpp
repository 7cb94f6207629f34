// Block type ND6005: eight-channel thermistor input module with alarm outputs.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6005_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6005_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6005", 2096, 56, 8, IDM_ND6005, 1090, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6005_MODULE", "4005_MODULE", "PVTH8_MODULE", "S7005_I_MODULE",
     "O6005_MODULE", "S8005_MODULE", "Q7005_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4005-00", "PADVTH8-00", "S7005-I-00", "O6005-00", "S8005-00", "Q7005-I-00"},
    1101, 1132, 1600, // strings: default name, description, description in XX03
    "ND6005_ICO", "Q7005I_IN", // icon, symbol
    ND6005_ClassProc, ND6005_Process, defaultName, description};
// clang-format on

} // namespace

int ND6005_Register() {
    return RegisterBlockType(row);
}
