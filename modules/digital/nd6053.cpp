// Block type ND6053: sixteen-channel digital input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6053_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6053_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6053", 1576, 56, 4, IDM_ND6053, 1160, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6053_MODULE", "4053_MODULE", nullptr, "7053_I_MODULE",
     "O6053_MODULE", "8053_MODULE", "Q7053_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4053-00", nullptr, "S-7053-I-00", "O6053-00", "S8053-00", "Q-7053-I-00"},
    1115, 1149, 1617, // strings: default name, description, description in XX03
    "ND6053_ICO", "Q7053I_IN", // icon, symbol
    ND6053_ClassProc, ND6053_Process, defaultName, description};
// clang-format on

} // namespace

int ND6053_Register() {
    return RegisterBlockType(row);
}
