// Block type ND6065O: relays of the 7065 relay module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6065O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6065O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6065O", 1576, 64, 4, IDM_ND6065O, 1230, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7065O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065O-00"},
    0, 2002, 0, // strings: default name, description, description in XX03
    "ND6065O_ICO", "Q7065O_IN", // icon, symbol
    ND6065O_ClassProc, ND6065O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6065O_Register() {
    return RegisterBlockType(row);
}
