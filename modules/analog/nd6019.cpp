// Block type ND6019: eight-channel universal input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6019_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6019_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6019", 1640, 56, 8, IDM_ND6019, 1123, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6019_MODULE", "4019_MODULE", "PVTH8_MODULE", "S7019_I_MODULE",
     "O6019_MODULE", "S8019_MODULE", "Q7019_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4019-00", "PADVTH8-00", "S7019-I-00", "O6019-00", "S8019-00", "Q7019-I-00"},
    1108, 1152, 1606, // strings: default name, description, description in XX03
    "ND6019_ICO", "Q7019I_IN", // icon, symbol
    ND6019_ClassProc, ND6019_Process, defaultName, description};
// clang-format on

} // namespace

int ND6019_Register() {
    return RegisterBlockType(row);
}
