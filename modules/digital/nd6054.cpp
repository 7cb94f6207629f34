// Block type ND6054: fifteen-channel digital input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6054_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6054_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6054", 1576, 56, 4, IDM_ND6054, 1165, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6054_MODULE", nullptr, nullptr, nullptr,
     "O6054_MODULE", nullptr, nullptr},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, "O6054-00", nullptr, nullptr},
    1116, 1150, 0, // strings: default name, description, description in XX03
    "ND6054_ICO", nullptr, // icon, symbol
    ND6054_ClassProc, ND6054_Process, defaultName, description};
// clang-format on

} // namespace

int ND6054_Register() {
    return RegisterBlockType(row);
}
