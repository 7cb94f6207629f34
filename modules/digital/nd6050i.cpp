// Block type ND6050I: digital inputs of the 6050 module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6050I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6050I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6050I", 1576, 56, 4, IDM_ND6050I, 1130, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6050I_MODULE", "4050I_MODULE", nullptr, "7050I_MODULE",
     "O6050I_MODULE", "S6050I_MODULE", "Q7050I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4050-Inp00", nullptr, "S7050-I-00", "O6050-Inp00", "S8050-Inp00", "Q7050-I-00"},
    1112, 1139, 1614, // strings: default name, description, description in XX03
    "ND6050I_ICO", "Q7050I_IN", // icon, symbol
    ND6050I_ClassProc, ND6050I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6050I_Register() {
    return RegisterBlockType(row);
}
