// Block type ND6056: sixteen-channel digital output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6056_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6056_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6056", 1576, 56, 4, IDM_ND6056, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6056_MODULE", nullptr, nullptr, nullptr,
     "O6056_MODULE", nullptr, nullptr},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, "O6056-00", nullptr, nullptr},
    1119, 1151, 0, // strings: default name, description, description in XX03
    "ND6056_ICO", nullptr, // icon, symbol
    ND6056_ClassProc, ND6056_Process, defaultName, description};
// clang-format on

} // namespace

int ND6056_Register() {
    return RegisterBlockType(row);
}
