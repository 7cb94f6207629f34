// The stand-in host: the smallest host that lets the plug-in run. Tests and
// the command-line program drive it through this interface.
#ifndef HOSTSIM_HOSTSIM_H
#define HOSTSIM_HOSTSIM_H

#include <windows.h>

#include <string>
#include <vector>

#include "frame/hostapi.h"

namespace hostsim {

// Creates the host's main window and main menu (once per process) and resets
// everything a test may have changed.
int Start();
HWND MainWindow();
HMENU MainMenu();

// The host's folder as its ExeFileDir text (ends with the separator).
void SetExeFileDir(const char* folder);
const char* ExeFileDir();

// Name resolution: a name can be made unknown (answers 0) or given a value.
void SetNameUnknown(const char* name);
void SetVariableValue(const char* name, DWORD value);
int NamesAsked(); // names asked since Start()
std::vector<std::string> NamesAskedInOrder();

// DefineDllModule and DefineDllVariable, as the plug-in called them.
struct DllVariable {
    std::string name;
    void* address;
    int size;
};
void RefuseDefineDllModule(bool refuse);
void RefuseDllVariable(const char* name); // 0 accepts all
int DllModuleDefined();
const std::vector<DllVariable>& DllVariables();
// Writes a DLL variable through the address the plug-in gave; 0 if unknown or
// the size differs.
int WriteDllVariable(const char* name, const void* value, int size);

// Menu commands registered with RegisterMenuEntry.
struct MenuEntry {
    UINT id;
    MenuCallback callback;
};
const std::vector<MenuEntry>& MenuEntries();
int ChooseMenuCommand(UINT id); // 0 when no callback has that id

// Memory from NewMemAlloc: tracked; FailAllocations(n) fails the next n.
int LiveAllocations();
void FailAllocations(int count);

// Stacked GDI objects.
int StackedObjectsCreated();
int StackedObjectsDeleted();

// Warnings and internal errors shown by the plug-in (recorded, not modal).
struct Warning {
    std::string caption;
    std::string text;
};
const std::vector<Warning>& Warnings();
const std::vector<std::string>& InternalErrors();

// Calls of host functions the stand-in does not implement.
int UnexpectedCalls();

// A plug-in loaded and bound as the host does it.
struct Plugin {
    HMODULE module = nullptr;
    int setupResult = 0;
    int finishResult = 0;
};
int LoadPlugin(const char* path, Plugin* out); // 1 when loaded; setupResult tells the binding
int FinishPlugin(Plugin* plugin);              // FinishVarnixDLL, then FreeLibrary
void UnloadPlugin(Plugin* plugin);             // FreeLibrary without FinishVarnixDLL

// The menu tree below one entry of the main menu, one line per item.
std::string MenuTree(HMENU menu, int position);
// What the plug-in registered: the binding report the command line prints.
std::string BindingReport(const Plugin& plugin);

} // namespace hostsim

#endif
