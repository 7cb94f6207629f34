// Block type ND6052: eight-channel digital input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6052_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6052_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6052", 1576, 56, 4, IDM_ND6052, 1135, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6052_MODULE", "4052_MODULE", "PADDI8_MODULE", "S7052I_MODULE",
     "O6052_MODULE", "S8052_MODULE", "Q7052I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4052-00", "PAD-DI8-00", "S7052I-00", "O6052-00", "S8052-00", "Q7052I-00"},
    1114, 1141, 1616, // strings: default name, description, description in XX03
    "ND6052_ICO", "Q7052I_IN", // icon, symbol
    ND6052_ClassProc, ND6052_Process, defaultName, description};
// clang-format on

} // namespace

int ND6052_Register() {
    return RegisterBlockType(row);
}
