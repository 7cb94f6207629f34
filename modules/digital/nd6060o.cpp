// Block type ND6060O: relays of the 6060 relay module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6060O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6060O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6060O", 1576, 64, 4, IDM_ND6060O, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6060O_MODULE", "4060O_MODULE", nullptr, "S7060O_MODULE",
     "O6060O_MODULE", "S8060O_MODULE", "Q7060O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4060-Out00", nullptr, "S7060O-00", "O6060Out00", "S8060Out00", "Q7060O-00"},
    1122, 1143, 1621, // strings: default name, description, description in XX03
    "ND6060O_ICO", "Q7060O_IN", // icon, symbol
    ND6060O_ClassProc, ND6060O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6060O_Register() {
    return RegisterBlockType(row);
}
