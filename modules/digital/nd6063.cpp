// Block type ND6063: relays of the 6063 relay module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6063_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6063_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6063", 1576, 56, 4, IDM_ND6063, 1180, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6063_MODULE", nullptr, nullptr, nullptr,
     nullptr, nullptr, "7063_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "7063-00"},
    1123, 1148, 0, // strings: default name, description, description in XX03
    "ND6063_ICO", "Q7063_IN", // icon, symbol
    ND6063_ClassProc, ND6063_Process, defaultName, description};
// clang-format on

} // namespace

int ND6063_Register() {
    return RegisterBlockType(row);
}
