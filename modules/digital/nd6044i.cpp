// Block type ND6044I: digital inputs of the 7044 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6044I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6044I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6044I", 1576, 56, 4, IDM_ND6044I, 1195, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "7044I_MODULE",
     nullptr, nullptr, "Q7044I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7044-I-00", nullptr, nullptr, "Q7044-I-00"},
    0, 1153, 1612, // strings: default name, description, description in XX03
    "ND6050I_ICO", "Q7044I_IN", // icon, symbol
    ND6044I_ClassProc, ND6044I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6044I_Register() {
    return RegisterBlockType(row);
}
