// Block type ND6751: sixteen-channel digital input module of the 8000 series.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6751_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6751_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6751", 1576, 56, 4, IDM_ND6751, 1132, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6751_MODULE", "4751_MODULE", nullptr, "7751_I_MODULE",
     "O6751_MODULE", "8751_MODULE", "Q87051_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4751-00", nullptr, "S-7751-I-00", "O6751-00", "S8751-00", "Q-87051-I-00"},
    2005, 2007, 2006, // strings: default name, description, description in XX03
    "ND6751_ICO", "Q87051I_IN", // icon, symbol
    ND6751_ClassProc, ND6751_Process, defaultName, description};
// clang-format on

} // namespace

int ND6751_Register() {
    return RegisterBlockType(row);
}
