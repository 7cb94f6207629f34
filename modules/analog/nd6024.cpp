// Block type ND6024: four-channel analog output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6024_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6024_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6024", 504, 64, 12, IDM_ND6024, 1155, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6024_MODULE", "4024_MODULE", nullptr, "S6024O_MODULE",
     "O6024_MODULE", "8024_MODULE", "Q6024O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4024-00", nullptr, "S7024O-00", "O6024-00", "S8024-00", "Q7024O-00"},
    1110, 1146, 1608, // strings: default name, description, description in XX03
    "ND6024_ICO", "Q7024O_IN", // icon, symbol
    ND6024_ClassProc, ND6024_Process, defaultName, description};
// clang-format on

} // namespace

int ND6024_Register() {
    return RegisterBlockType(row);
}
