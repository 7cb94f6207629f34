// Block type ND6041I: fourteen-channel digital input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6041I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6041I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6041I", 1576, 56, 4, IDM_ND6041I, 1200, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "7041I_MODULE",
     nullptr, "8041I_MODULE", "7041-I-00"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "7041-I-00", nullptr, "S8041I-00", "Q7041-I-00"},
    0, 1155, 1609, // strings: default name, description, description in XX03
    "ND6050I_ICO", "Q7041I_IN", // icon, symbol
    ND6041I_ClassProc, ND6041I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6041I_Register() {
    return RegisterBlockType(row);
}
