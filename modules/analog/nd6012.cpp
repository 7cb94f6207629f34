// Block type ND6012: single-channel voltage and current input module with alarm outputs.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6012_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6012_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6012", 1608, 120, 4, IDM_ND6012, 1105, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6012_MODULE", "4012_MODULE", nullptr, "S7012_I_MODULE",
     "O6012_MODULE", "SU8014_MODULE", "Q7012_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4012-00", nullptr, "S7012-I-00", "O6012-00", "S8014-00", "Q7012-I-00"},
    1104, 1133, 1602, // strings: default name, description, description in XX03
    "ND6012_ICO", "Q7012I_IN", // icon, symbol
    ND6012_ClassProc, ND6012_Process, defaultName, description};
// clang-format on

} // namespace

int ND6012_Register() {
    return RegisterBlockType(row);
}
