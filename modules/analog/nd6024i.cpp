// Block type ND6024I: digital inputs of the four-channel analog output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6024I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6024I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6024I", 1576, 64, 4, IDM_ND6024I, 1155, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6024I_MODULE", "4024I_MODULE", nullptr, nullptr,
     nullptr, "8024I_MODULE", nullptr},
    // default names of the same families (the default family loads its string)
    {nullptr, "4024I-00", nullptr, nullptr, nullptr, "S8024I-00", nullptr},
    1111, 1147, 0, // strings: default name, description, description in XX03
    "ND6024I_ICO", nullptr, // icon, symbol
    ND6024I_ClassProc, ND6024I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6024I_Register() {
    return RegisterBlockType(row);
}
