// Block type ND6018P: thermocouple input module with two more thermocouple types.
#include "host/host.h"
#include "host/registration.h"
#include "modules/types.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "modules/analog/nd6018.h"
#include "resource.h"

#include <stddef.h>

// The stored format is that of ND6018.
const ParamSchemaEntry* const ND6018P_ParamSchema = ND6018_ParamSchema;

INT_PTR CALLBACK ND6018P_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

// Two thermocouple types more than ND6018: L and M (codes 23 and 24).
const char kLetters[] = ND6018_LETTERS "LM";

int Configure(ModuleRecord* module, const TemplateType* type) {
    return ND6018_ConfigureWith(module, type, kLetters);
}

constexpr TemplateType type = ND6018_Descriptor({
    .type = "ND6018P",
    .restartNote = "Restart 6018P",
    .setupDlgProc = ND6018P_SetupDlgProc,
    .configure = Configure,
});

void InitBoxes(HWND dialog, void* work) {
    ND6018_InitRangeBox(dialog, work, kLetters);
}

constexpr SetupDialogType dialogType = ND6018_DialogDescriptor(&type, "ZEMX Q7018P-I", InitBoxes);

} // namespace

INT_PTR CALLBACK ND6018P_SetupDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SetupDialogProc(&dialogType, dialog, msg, wParam, lParam);
}

int MODULE_CALL ND6018P_ClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return TemplateClassProc(&type, module, msg, wParam, lParam);
}

int MODULE_CALL ND6018P_Process(ModuleRecord* module) {
    return TemplateProcessInputs(&type, module);
}

namespace {

char defaultName[DEFAULT_NAME_CHARS + 1];
char description[DESCRIPTION_CHARS + 1];

// clang-format off
const BlockTypeRow row = {
    "ND6018P", 1576, 56, 8, IDM_ND6018P, 1120, // sizes, menu id, help context
    // class names: default, XX01, XX04, XX03, XX05, XX06, TELV
    {nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, "Q7018P_I_MODULE"},
    // default names of the same families (the default family loads its string)
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q7018P-I-00"},
    0, 1137, 0, // strings: default name, description, description in XX03
    "ND6018_ICO", "Q7018P_IN", // icon, symbol
    ND6018P_ClassProc, ND6018P_Process, defaultName, description};
// clang-format on

} // namespace

int ND6018P_Register() {
    return RegisterBlockType(row);
}
