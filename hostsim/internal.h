// Host functions of the stand-in host, by area.
#ifndef HOSTSIM_INTERNAL_H
#define HOSTSIM_INTERNAL_H

#include "hostsim/hostsim.h"

namespace hostsim {

// Blocks and module classes.
int WINAPI HostRegisterModuleClass(ModuleClassRecord* record);
int WINAPI HostPerformDefaultAction(ModuleRecord* module, UINT msg, WPARAM wParam, LPARAM lParam);
void ResetBlocks();

} // namespace hostsim

#endif
