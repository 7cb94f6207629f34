// Block type ND6042O: thirteen-channel digital output module.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "resource.h"

int MODULE_CALL ND6042O_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return PerformDefaultAction(module, msg, wParam, lParam);
}

int MODULE_CALL ND6042O_Process(ModuleRecord*) {
    return 0;
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6042O", 1576, 56, 4, IDM_ND6042O, 1205, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, "S7042_O_MODULE",
     nullptr, nullptr, "Q7042-O-00"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, "S7042-O-00", nullptr, nullptr, "Q7042-O-00"},
    0, 1156, 1610, // strings: default name, description, description in XX03
    "ND6042O_ICO", "Q7042O_IN", // icon, symbol
    ND6042O_ClassProc, ND6042O_Process, defaultName, description};
// clang-format on

} // namespace

int ND6042O_Register() {
    return RegisterBlockType(row);
}
