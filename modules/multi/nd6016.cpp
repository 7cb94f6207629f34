// Block type ND6016: strain-gauge input module, presented as several blocks.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6016_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6016_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6016", 1624, 280, 12, IDM_ND6016, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7016_MODULE",
     nullptr, nullptr, "Q7016_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7016-00", nullptr, nullptr, "Q7016-00"},
    0, 1159, 1159, // strings: default name, description, description in XX03
    "ND6016_ICO", "Q7016", // icon, symbol
    ND6016_ClassProc, ND6016_Process, defaultName, description};
// clang-format on

} // namespace

int ND6016_Register() {
    return RegisterBlockType(row);
}
