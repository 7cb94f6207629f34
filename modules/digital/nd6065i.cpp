// Block type ND6065I: digital inputs of the 7065 relay module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6065I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6065I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6065I", 1576, 56, 4, IDM_ND6065I, 1230, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7065I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7065 Inp00"},
    0, 2003, 0, // strings: default name, description, description in XX03
    "ND6065I_ICO", "Q7060I_IN", // icon, symbol
    ND6065I_ClassProc, ND6065I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6065I_Register() {
    return RegisterBlockType(row);
}
