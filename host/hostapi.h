// The host's functions as the plug-in calls them: every one is stdcall and
// resolved by name at start-up. The stand-in host implements the same types.
#ifndef TELVIO_HOST_HOSTAPI_H
#define TELVIO_HOST_HOSTAPI_H

#include <windows.h>

struct ModuleRecord;
struct ModuleClassRecord;
struct OutputChannel;
struct DataBlock;
struct GlvoNotifyRecord;

typedef void (*MenuCallback)(void);

typedef void*(WINAPI* PFN_NewMemAlloc)(DWORD bytes, const char* source, int line);
typedef void(WINAPI* PFN_NewDoMemFree)(void* memory, const char* source, int line);
typedef int(WINAPI* PFN_DefineDllModule)(void);
typedef int(WINAPI* PFN_DefineDllVariable)(const char* name, void* address, int size);
typedef int(WINAPI* PFN_RegisterModuleClass)(ModuleClassRecord* record);
typedef int(WINAPI* PFN_RegisterMenuEntry)(UINT commandId, MenuCallback callback);
typedef int(WINAPI* PFN_PerformDefaultAction)(ModuleRecord* module, UINT msg, WPARAM wParam,
                                              LPARAM lParam);
typedef DataBlock*(WINAPI* PFN_GetCurrentOutputBlock)(OutputChannel* channel);
typedef void(WINAPI* PFN_NewReleaseOutputBlock)(OutputChannel* channel, const char* source,
                                                int line);
typedef DataBlock*(WINAPI* PFN_GetInputBlock)(ModuleRecord* module, int input);
typedef void(WINAPI* PFN_NewReleaseInputBlock)(ModuleRecord* module, int input, const char* source,
                                               int line);
typedef int(WINAPI* PFN_ChangeModuleSize)(ModuleRecord* module, int inputs, int outputs);
typedef int(WINAPI* PFN_ChangeModuleName)(ModuleRecord* module, const char* name);
typedef int(WINAPI* PFN_CopyChannelName)(OutputChannel* channel, const char* name);
typedef int(WINAPI* PFN_FillUnitList)(HWND dialog, int comboId, const char* unit);
typedef void(WINAPI* PFN_ShowWarning)(const char* caption, const char* text);
typedef void(WINAPI* PFN_ShowInternalError)(const char* text, const char* source, int line);
typedef void(WINAPI* PFN_StopExperiment)(void);
typedef double(WINAPI* PFN_CurrentExperimentTime)(int which);
typedef HFONT(WINAPI* PFN_CreateStackedFontIndirect)(const LOGFONTA* font);
typedef int(WINAPI* PFN_DeleteStackedObject)(HGDIOBJ object);
typedef int(WINAPI* PFN_GlvoModuleNotifyGlobalVar)(GlvoNotifyRecord* record);
typedef int(WINAPI* PFN_GlStr_Set)(WORD number, const char* text, int length);
typedef int(WINAPI* PFN_GlVar_Get)(WORD number, double* value);
typedef int(WINAPI* PFN_GlVar_SetSyntax)(char* buffer, WORD number);
typedef int(WINAPI* PFN_ExpandVarNumber)(const char* text, int length, WORD* number);
typedef int(WINAPI* PFN_SetMenuForGlobalVars)(HWND dialog, int controlId);

// Messages of the host's main window that resolve a name.
#define HOSTMSG_GET_VARIABLE 30000
#define HOSTMSG_GET_FUNCTION 30001

#define HOST_VARIABLE_COUNT 60
#define HOST_FUNCTION_COUNT 105

#endif
