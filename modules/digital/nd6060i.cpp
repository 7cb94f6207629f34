// Block type ND6060I: digital inputs of the 6060 relay module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6060I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6060I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6060I", 1576, 56, 4, IDM_ND6060I, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6060I_MODULE", nullptr, nullptr, "7060I_MODULE",
     "O6060I_MODULE", "S8060I_MODULE", "Q7060I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "7060-Inp00", "O6060Inp00", "S8060Inp00", "Q7060-Inp00"},
    1121, 1142, 1620, // strings: default name, description, description in XX03
    "ND6060I_ICO", "Q7060I_IN", // icon, symbol
    ND6060I_ClassProc, ND6060I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6060I_Register() {
    return RegisterBlockType(row);
}
