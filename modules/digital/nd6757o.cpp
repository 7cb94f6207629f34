// Block type ND6757O: sixteen-channel digital output module of the 8000 series.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6757O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6757O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6757O", 1576, 56, 4, IDM_ND6757O, 1231, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7757_O_MODULE",
     nullptr, nullptr, "Q87057_O_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S6757-O-00", nullptr, nullptr, "Q87057-O-00"},
    0, 1168, 1624, // strings: default name, description, description in XX03
    "ND6757O_ICO", "Q87057O_IN", // icon, symbol
    ND6757O_ClassProc, ND6757O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6757O_Register() {
    return RegisterBlockType(row);
}
