// Block type ND6058: twenty-eight-line digital I/O module, presented as several blocks.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6058_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6058_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6058", 1600, 96, 4, IDM_ND6058, 1140, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {"ND6058_MODULE", nullptr, nullptr, nullptr,
     "O6058_MODULE", nullptr, nullptr},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, "O6058-00", nullptr, nullptr},
    1120, 1161, 0, // strings: default name, description, description in XX03
    "ND6058_ICO", nullptr, // icon, symbol
    ND6058_ClassProc, ND6058_Process, defaultName, description};
// clang-format on

} // namespace

int ND6058_Register() {
    return RegisterBlockType(row);
}
