// Block type ND6005I: read-back of the digital outputs of the thermistor module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6005I_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6005I_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6005I", 1576, 56, 4, IDM_ND6005I, 1090, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6005R_MODULE", "4005R_MODULE", nullptr, "7005R_MODULE",
     "O6005R_MODULE", "S6005R_MODULE", "Q7005R_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4005R-00", nullptr, "S7005-R-00", "O6005R-00", "S6005R-00", "Q7005-R-00"},
    1102, 1134, 1625, // strings: default name, description, description in XX03
    "ND6005I_ICO", "Q7005R_IN", // icon, symbol
    ND6005I_ClassProc, ND6005I_Process, defaultName, description};
// clang-format on

} // namespace

int ND6005I_Register() {
    return RegisterBlockType(row);
}
