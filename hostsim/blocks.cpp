// Module classes the plug-in registers, and the blocks made of them.
#include "hostsim/internal.h"

namespace hostsim {

namespace {
int registeredClasses = 0;
}

int WINAPI HostRegisterModuleClass(ModuleClassRecord* record) {
    if (record == nullptr) return 0;
    registeredClasses++;
    return 1;
}

int WINAPI HostPerformDefaultAction(ModuleRecord*, UINT, WPARAM, LPARAM) {
    return 0;
}

void ResetBlocks() {
    registeredClasses = 0;
}

} // namespace hostsim
