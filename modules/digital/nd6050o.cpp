// Block type ND6050O: digital outputs of the 6050 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6050O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6050O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6050O", 1576, 56, 4, IDM_ND6050O, 1130, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6050O_MODULE", "4050O_MODULE", "PADDO7_MODULE", "S7050_O_MODULE",
     "O6050_MODULE", "S8050_MODULE", "Q7050_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4050-Out00", "PAD-DO7-00", "S7050-O-00", "O6050-Out00", "S8050-Out00", "Q7050-O-00"},
    1113, 1140, 1615, // strings: default name, description, description in XX03
    "ND6050O_ICO", "Q7050O_IN", // icon, symbol
    ND6050O_ClassProc, ND6050O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6050O_Register() {
    return RegisterBlockType(row);
}
