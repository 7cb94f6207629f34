// Block type ND6044O: digital outputs of the 7044 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6044O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6044O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6044O", 1576, 56, 4, IDM_ND6044O, 1195, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7044_O_MODULE",
     nullptr, nullptr, "Q7044_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7044-O-00", nullptr, nullptr, "Q7044-O-00"},
    0, 1154, 1613, // strings: default name, description, description in XX03
    "ND6044O_ICO", "Q7044O_IN", // icon, symbol
    ND6044O_ClassProc, ND6044O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6044O_Register() {
    return RegisterBlockType(row);
}
