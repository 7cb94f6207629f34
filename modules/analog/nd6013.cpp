// Block type ND6013: RTD input module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6013_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6013_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6013", 1576, 56, 8, IDM_ND6013, 1110, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6013_MODULE", "4013_MODULE", "PRTD3_MODULE", "S7013_I_MODULE",
     "O6013_MODULE", "SU8013_IN", "Q7013_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4013-00", "PADRTD3-00", "S7013-I-00", "O6013-00", "S8013-00", "Q7013-I-00"},
    1105, 1135, 1603, // strings: default name, description, description in XX03
    "ND6013_ICO", "Q7013I_IN", // icon, symbol
    ND6013_ClassProc, ND6013_Process, defaultName, description};
// clang-format on

} // namespace

int ND6013_Register() {
    return RegisterBlockType(row);
}
