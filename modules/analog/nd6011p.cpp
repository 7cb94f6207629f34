// Block type ND6011P: single-channel analog input module with two more thermocouple types.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6011P_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6011P_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6011P", 1608, 120, 4, IDM_ND6011P, 1100, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7011P_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7011P-I-00"},
    0, 1131, 0, // strings: default name, description, description in XX03
    "ND6011_ICO", "Q7011P_IN", // icon, symbol
    ND6011P_ClassProc, ND6011P_Process, defaultName, description};
// clang-format on

} // namespace

int ND6011P_Register() {
    return RegisterBlockType(row);
}
