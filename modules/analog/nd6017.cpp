// Block type ND6017: eight-channel voltage and current input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6017_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6017_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6017", 1576, 56, 8, IDM_ND6017, 1115, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6017_MODULE", "4017_MODULE", "PADV8_MODULE", "S7017-I_MODULE",
     "O6017_MODULE", "S8017_MODULE", "Q7017-I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4017-00", "PAD-V8-00", "S7017-I-00", "O6017-00", "S8017-00", "Q7017-I-00"},
    1106, 1136, 1604, // strings: default name, description, description in XX03
    "ND6017_ICO", "Q7017I_IN", // icon, symbol
    ND6017_ClassProc, ND6017_Process, defaultName, description};
// clang-format on

} // namespace

int ND6017_Register() {
    return RegisterBlockType(row);
}
