// Block type ND6067: seven-channel relay output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6067_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6067_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6067", 1576, 56, 4, IDM_ND6067, 1215, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7067O_MODULE",
     nullptr, "S8067_MODULE", "Q7067O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7067O-00", nullptr, "S8067-00", "Q7067O-00"},
    0, 1158, 1622, // strings: default name, description, description in XX03
    "ND6067O_ICO", "Q7067O_IN", // icon, symbol
    ND6067_ClassProc, ND6067_Process, defaultName, description};
// clang-format on

} // namespace

int ND6067_Register() {
    return RegisterBlockType(row);
}
