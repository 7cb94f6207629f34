// Block type ND6018P: thermocouple input module with two more thermocouple types.
#include "host/host.h"
#include "modules/types.h"
#include "frame/loops.h"
#include "frame/template.h"
#include "modules/analog/nd6018.h"
#include "resource.h"

#include <stddef.h>

// The stored format is that of ND6018.
const ParamSchemaEntry* const ND6018P_ParamSchema = ND6018_ParamSchema;

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

BLOCK_TYPE_PROCS(ND6018P, SetupDialogProc(&dialogType, dialog, msg, wParam, lParam),
                 TemplateClassProc(&type, module, msg, wParam, lParam),
                 TemplateProcessInputs(&type, module))
