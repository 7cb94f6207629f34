// Block type ND6055O: digital outputs of the 6055 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6055O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6055O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6055O", 1576, 56, 4, IDM_ND6055O, 1137, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6055O_MODULE", "4055O_MODULE", "PADDO7_MODULE", "S7055_O_MODULE",
     "O6055_MODULE", "S8055_MODULE", "Q7055_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4055-Out00", "PAD-DO7-00", "S7055-O-00", "O6055-Out00", "S8055-Out00", "Q7055-O-00"},
    1118, 1182, 1619, // strings: default name, description, description in XX03
    "ND6055O_ICO", "Q7055O_IN", // icon, symbol
    ND6055O_ClassProc, ND6055O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6055O_Register() {
    return RegisterBlockType(row);
}
