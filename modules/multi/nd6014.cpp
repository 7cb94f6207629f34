// Block type ND6014: analog input module with excitation, presented as several blocks.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6014_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6014_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6014", 1616, 272, 8, IDM_ND6014, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7014_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7014-00"},
    0, 1162, 0, // strings: default name, description, description in XX03
    "ND6014_ICO", "Q7014I_IN", // icon, symbol
    ND6014_ClassProc, ND6014_Process, defaultName, description};
// clang-format on

} // namespace

int ND6014_Register() {
    return RegisterBlockType(row);
}
