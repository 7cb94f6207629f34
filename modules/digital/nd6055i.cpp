// Block type ND6055I: digital inputs of the 6055 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6055I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6055I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6055I", 1576, 56, 4, IDM_ND6055I, 1137, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6055I_MODULE", "4055I_MODULE", nullptr, "7055I_MODULE",
     "O6055I_MODULE", "S6055I_MODULE", "Q7055I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4055-Inp00", nullptr, "S7055-I-00", "O6055-Inp00", "S8055-Inp00", "Q7055-I-00"},
    1117, 1180, 1618, // strings: default name, description, description in XX03
    "ND6055I_ICO", "Q7055I_IN", // icon, symbol
    ND6055I_ClassProc, ND6055I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6055I_Register() {
    return RegisterBlockType(row);
}
