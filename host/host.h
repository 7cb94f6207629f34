// The host interface: one value per host name, resolved at start-up, and the
// host's functions and variables as the plug-in uses them.
#ifndef TELVIO_HOST_HOST_H
#define TELVIO_HOST_HOST_H

#include "host/hostapi.h"

#include <stdint.h>

enum HostVariableIndex {
#define HOST_VARIABLE(id, name, mayBeZero) HV_##id,
#define HOST_FUNCTION(id, name)
#include "host/hostnames.inc"
#undef HOST_VARIABLE
#undef HOST_FUNCTION
    HV_COUNT
};

enum HostFunctionIndex {
#define HOST_VARIABLE(id, name, mayBeZero)
#define HOST_FUNCTION(id, name) HF_##id,
#include "host/hostnames.inc"
#undef HOST_VARIABLE
#undef HOST_FUNCTION
    HF_COUNT
};

static_assert(HV_COUNT == HOST_VARIABLE_COUNT, "60 host variables");
static_assert(HF_COUNT == HOST_FUNCTION_COUNT, "105 host functions");

extern DWORD HostVariables[HOST_VARIABLE_COUNT];
extern DWORD HostFunctions[HOST_FUNCTION_COUNT];

// Asks the host window for every name in order; 0 at the first unknown name.
int ResolveHostInterface(HWND host);

template <typename T> inline T HostFunction(HostFunctionIndex i) {
    return reinterpret_cast<T>(static_cast<uintptr_t>(HostFunctions[i]));
}
template <typename T> inline T HostVariable(HostVariableIndex i) {
    return reinterpret_cast<T>(static_cast<uintptr_t>(HostVariables[i]));
}

// Host functions, called by their host names.
inline void* NewMemAlloc(DWORD bytes, const char* source, int line) {
    return HostFunction<PFN_NewMemAlloc>(HF_NewMemAlloc)(bytes, source, line);
}
inline void NewDoMemFree(void* memory, const char* source, int line) {
    HostFunction<PFN_NewDoMemFree>(HF_NewDoMemFree)(memory, source, line);
}
inline int DefineDllModule() {
    return HostFunction<PFN_DefineDllModule>(HF_DefineDllModule)();
}
inline int DefineDllVariable(const char* name, void* address, int size) {
    return HostFunction<PFN_DefineDllVariable>(HF_DefineDllVariable)(name, address, size);
}
inline int RegisterModuleClass(ModuleClassRecord* record) {
    return HostFunction<PFN_RegisterModuleClass>(HF_RegisterModuleClass)(record);
}
inline int RegisterMenuEntry(UINT id, MenuCallback callback) {
    return HostFunction<PFN_RegisterMenuEntry>(HF_RegisterMenuEntry)(id, callback);
}
inline int PerformDefaultAction(ModuleRecord* module, UINT msg, WPARAM wParam, LPARAM lParam) {
    return HostFunction<PFN_PerformDefaultAction>(HF_PerformDefaultAction)(module, msg, wParam,
                                                                           lParam);
}
inline DataBlock* GetCurrentOutputBlock(OutputChannel* channel) {
    return HostFunction<PFN_GetCurrentOutputBlock>(HF_GetCurrentOutputBlock)(channel);
}
inline void NewReleaseOutputBlock(OutputChannel* channel, const char* source, int line) {
    HostFunction<PFN_NewReleaseOutputBlock>(HF_NewReleaseOutputBlock)(channel, source, line);
}
inline DataBlock* GetInputBlock(ModuleRecord* module, int input) {
    return HostFunction<PFN_GetInputBlock>(HF_GetInputBlock)(module, input);
}
inline void NewReleaseInputBlock(ModuleRecord* module, int input, const char* source, int line) {
    HostFunction<PFN_NewReleaseInputBlock>(HF_NewReleaseInputBlock)(module, input, source, line);
}
inline int ChangeModuleSize(ModuleRecord* module, int inputs, int outputs) {
    return HostFunction<PFN_ChangeModuleSize>(HF_ChangeModuleSize)(module, inputs, outputs);
}
inline int ChangeModuleName(ModuleRecord* module, const char* name) {
    return HostFunction<PFN_ChangeModuleName>(HF_ChangeModuleName)(module, name);
}
inline int CopyChannelName(OutputChannel* channel, const char* name) {
    return HostFunction<PFN_CopyChannelName>(HF_CopyChannelName)(channel, name);
}
inline int FillUnitList(HWND dialog, int comboId, const char* unit) {
    return HostFunction<PFN_FillUnitList>(HF_FillUnitList)(dialog, comboId, unit);
}
inline void ShowWarning(const char* caption, const char* text) {
    HostFunction<PFN_ShowWarning>(HF_ShowWarning)(caption, text);
}
inline void ShowInternalError(const char* text, const char* source, int line) {
    HostFunction<PFN_ShowInternalError>(HF_ShowInternalError)(text, source, line);
}
inline void StopExperiment() {
    HostFunction<PFN_StopExperiment>(HF_StopExperiment)();
}
inline double CurrentExperimentTime(int which) {
    return HostFunction<PFN_CurrentExperimentTime>(HF_CurrentExperimentTime)(which);
}
inline HFONT CreateStackedFontIndirect(const LOGFONTA* font) {
    return HostFunction<PFN_CreateStackedFontIndirect>(HF_CreateStackedFontIndirect)(font);
}
inline int DeleteStackedObject(HGDIOBJ object) {
    return HostFunction<PFN_DeleteStackedObject>(HF_DeleteStackedObject)(object);
}
inline int GlvoModuleNotifyGlobalVar(GlvoNotifyRecord* record) {
    return HostFunction<PFN_GlvoModuleNotifyGlobalVar>(HF_GlvoModuleNotifyGlobalVar)(record);
}
inline int GlStr_Set(WORD number, const char* text, int length) {
    return HostFunction<PFN_GlStr_Set>(HF_GlStr_Set)(number, text, length);
}
inline int GlVar_Get(WORD number, double* value) {
    return HostFunction<PFN_GlVar_Get>(HF_GlVar_Get)(number, value);
}
inline int GlVar_SetSyntax(char* buffer, WORD number) {
    return HostFunction<PFN_GlVar_SetSyntax>(HF_GlVar_SetSyntax)(buffer, number);
}
inline int ExpandVarNumber(const char* text, int length, WORD* number) {
    return HostFunction<PFN_ExpandVarNumber>(HF_ExpandVarNumber)(text, length, number);
}
inline int SetMenuForGlobalVars(HWND dialog, int controlId) {
    return HostFunction<PFN_SetMenuForGlobalVars>(HF_SetMenuForGlobalVars)(dialog, controlId);
}

// Host variables the plug-in reads.
inline HINSTANCE HostInstance() {
    return HostVariable<HINSTANCE>(HV_hInstVarnix);
}
inline HMENU HostMainMenu() {
    return HostVariable<HMENU>(HV_MainMenu);
}
inline ModuleRecord* HostCurrentModule() {
    ModuleRecord** p = HostVariable<ModuleRecord**>(HV_pCurrentModulePtr);
    return p ? *p : nullptr;
}
inline const char* HostExeFileDir() {
    return HostVariable<const char*>(HV_ExeFileDir);
}
inline char HostDecimalSeparator() {
    const char* p = HostVariable<const char*>(HV_DezTrenn);
    return (p && *p) ? *p : '.';
}
inline int HostDecimalLeadingZero() {
    return HostVariables[HV_bDecLeadingZero] != 0;
}
inline HBITMAP* HostChannelBitmaps() {
    return HostVariable<HBITMAP*>(HV_hBitChannel);
}
inline HBITMAP* HostLessMoreBitmaps() {
    return HostVariable<HBITMAP*>(HV_hBitLessMore);
}

#endif
