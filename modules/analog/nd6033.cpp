// Block type ND6033: three-channel RTD input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6033_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6033_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6033", 1576, 184, 8, IDM_ND6033, 1225, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7033_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7033-I-00"},
    0, 2001, 0, // strings: default name, description, description in XX03
    "ND6033I_ICO", "Q7033I_IN", // icon, symbol
    ND6033_ClassProc, ND6033_Process, defaultName, description};
// clang-format on

} // namespace

int ND6033_Register() {
    return RegisterBlockType(row);
}
