// Block type ND6015: six-channel RTD input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6015_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6015_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6015", 1640, 56, 8, IDM_ND6015, 1113, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7015_I_MODULE",
     nullptr, nullptr, "Q7015_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7015-I-00", nullptr, nullptr, "Q7015-I-00"},
    0, 1160, 1160, // strings: default name, description, description in XX03
    "ND6015_ICO", "Q7015I_IN", // icon, symbol
    ND6015_ClassProc, ND6015_Process, defaultName, description};
// clang-format on

} // namespace

int ND6015_Register() {
    return RegisterBlockType(row);
}
