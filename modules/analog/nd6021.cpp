// Block type ND6021: single-channel analog output modules.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6021_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6021_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6021", 1952, 120, 8, IDM_ND6021, 1125, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6021_MODULE", "4021_MODULE", "PAO1_MODULE", "S7021_O_MODULE",
     "O6021_MODULE", "S8021_MODULE", "Q7021_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4021-00", "PAD-AO1-00", "S-7021-O-00", "O6021-00", "S8021-00", "Q-7021-O-00"},
    1109, 1138, 1607, // strings: default name, description, description in XX03
    "ND6021_ICO", "Q7021O_IN", // icon, symbol
    ND6021_ClassProc, ND6021_Process, defaultName, description};
// clang-format on

} // namespace

int ND6021_Register() {
    return RegisterBlockType(row);
}
