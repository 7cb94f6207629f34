// Block type ND6080: counter and frequency module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6080_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6080_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6080", 600, 128, 4, IDM_ND6080, 1145, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6080_MODULE", "4080_MODULE", "PADCNT2", "S7080_MODULE",
     "O6080_MODULE", "S8080_MODULE", "Q7080_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4080-00", "PADCNT2-00", "S7080-00", "O6080-00", "S8080-00", "Q7080-00"},
    1124, 1144, 1623, // strings: default name, description, description in XX03
    "ND6080_ICO", "Q7080_IN", // icon, symbol
    ND6080_ClassProc, ND6080_Process, defaultName, description};
// clang-format on

} // namespace

int ND6080_Register() {
    return RegisterBlockType(row);
}
