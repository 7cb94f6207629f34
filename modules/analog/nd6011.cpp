// Block type ND6011: single-channel analog input module with alarm outputs, digital input and
// counter.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6011_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6011_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6011", 1608, 120, 4, IDM_ND6011, 1100, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6011_MODULE", "4011_MODULE", nullptr, "S7011_I_MODULE",
     "O6011_MODULE", nullptr, "Q7011_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, "4011-00", nullptr, "S7011-I-00", "O6011-00", nullptr, "Q7011-I-00"},
    1103, 1131, 1601, // strings: default name, description, description in XX03
    "ND6011_ICO", "Q7011I_IN", // icon, symbol
    ND6011_ClassProc, ND6011_Process, defaultName, description};
// clang-format on

} // namespace

int ND6011_Register() {
    return RegisterBlockType(row);
}
