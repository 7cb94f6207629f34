// Block type ND6018: eight-channel thermocouple and millivolt input module.
#include "frame/host.h"
#include "frame/registration.h"
#include "resource.h"

int MODULE_CALL ND6018_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6018_Process(ModuleRecord*) {
    return 0;
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
