// Host functions of the stand-in host, by area.
#ifndef HOSTSIM_INTERNAL_H
#define HOSTSIM_INTERNAL_H

#include "hostsim/hostsim.h"

namespace hostsim {

// The plug-in's DLL variables and menu commands, forgotten once it is
// unloaded: their addresses are in its image.
void ForgetPluginAddresses();

// Blocks and module classes.
int WINAPI HostRegisterModuleClass(ModuleClassRecord* record);
int WINAPI HostPerformDefaultAction(ModuleRecord* module, UINT msg, WPARAM wParam, LPARAM lParam);
int WINAPI HostChangeModuleSize(ModuleRecord* module, int inputs, int outputs);
int WINAPI HostChangeModuleName(ModuleRecord* module, const char* name);
int WINAPI HostCopyChannelName(OutputChannel* channel, const char* name);
int WINAPI HostGlvoModuleNotifyGlobalVar(GlvoNotifyRecord* record);
DataBlock* WINAPI HostGetCurrentOutputBlock(OutputChannel* channel);
void WINAPI HostNewReleaseOutputBlock(OutputChannel* channel, const char* source, int line);
void ResetBlocks();
// Input channels: the data blocks waiting at them, and what the plug-in took.
DataBlock* WINAPI HostGetInputBlock(ModuleRecord* module, int input);
void WINAPI HostNewReleaseInputBlock(ModuleRecord* module, int input, const char* source, int line);
// Every input fed by that block's output channel gets a copy of the block.
void RouteReleasedOutput(const ModuleRecord* module, int output, const DataBlock* block);
void ResetInputs();
// The block the host works on (*&CurrentModulePtr): the one it last sent a
// class message to.
void SetCurrentModule(ModuleRecord* module);
// Fills a unit combo box with the host's units and shows the given one.
int WINAPI HostFillUnitList(HWND dialog, int comboId, const char* unit);

// The experiment.
int WINAPI HostGlStr_Set(WORD number, const char* text, int length);
void WINAPI HostStopExperiment();
double WINAPI HostCurrentExperimentTime(int which);
void ResetExperiment();

// Global variables.
int WINAPI HostGlVar_Get(WORD number, double* value);
int WINAPI HostGlVar_SetSyntax(char* buffer, WORD number);
int WINAPI HostExpandVarNumber(const char* text, int length, WORD* number);
int WINAPI HostSetMenuForGlobalVars(HWND dialog, int controlId);
void ResetGlobals();

// A step the host takes in one of the plug-in's modal dialogs, posted to its
// main window before the dialog opens; the window procedure passes this
// message and WM_ENTERIDLE on. 1 when the message was the host's.
#define HOSTMSG_DIALOG_STEP (WM_APP + 0x51)
int HostDialogStepMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// Forgets a step that no dialog has taken.
void CancelDialogStep();
// From inside a step: presses the button of the dialog, which opens a nested
// modal dialog, and has `run` called in that dialog once it shows the
// control. 1 when the step ran.
int OpenNestedDialog(HWND dialog, int button, int control, void (*run)(HWND dialog));

// A block of the class that is not (yet) in the worksheet.
Block* MakeBlock(const ModuleClass* moduleClass);
void FreeBlock(Block* block);
// The worksheet's blocks are replaced by these, in this order.
void ReplaceBlocks(const std::vector<Block*>& blocks);

} // namespace hostsim

#endif
