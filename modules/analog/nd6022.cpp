// Block type ND6022: two-channel analog output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6022_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6022_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6022", 1776, 184, 12, IDM_ND6022, 1220, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q6022O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7022O-00"},
    0, 2000, 0, // strings: default name, description, description in XX03
    "ND6022_ICO", "Q7022O_IN", // icon, symbol
    ND6022_ClassProc, ND6022_Process, defaultName, description};
// clang-format on

} // namespace

int ND6022_Register() {
    return RegisterBlockType(row);
}
