// The host's main window and the names it answers: every variable and
// function the plug-in asks for by message 30000 or 30001.
#include "hostsim/internal.h"

#ifndef _WIN32
#include "winapi_headless.h"
#endif

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>

namespace hostsim {

namespace {

const char* const kVariableNames[] = {
#define HOST_VARIABLE(id, name, mayBeZero) name,
#define HOST_FUNCTION(id, name)
#include "host/hostnames.inc"
#undef HOST_VARIABLE
#undef HOST_FUNCTION
};
const char* const kFunctionNames[] = {
#define HOST_VARIABLE(id, name, mayBeZero)
#define HOST_FUNCTION(id, name) name,
#include "host/hostnames.inc"
#undef HOST_VARIABLE
#undef HOST_FUNCTION
};
const int kVariables = sizeof kVariableNames / sizeof kVariableNames[0];
const int kFunctions = sizeof kFunctionNames / sizeof kFunctionNames[0];

struct State {
    HWND window = nullptr;
    HMENU menu = nullptr;
    std::map<std::string, DWORD> answers;
    std::set<std::string> unknown;
    std::map<std::string, DWORD> overrides;
    std::vector<std::string> asked;
    bool refuseModule = false;
    std::string refuseVariable;
    int moduleDefined = 0;
    std::vector<DllVariable> dllVariables;
    std::vector<MenuEntry> menuEntries;
    std::map<void*, DWORD> allocations;
    int failAllocations = 0;
    std::vector<HGDIOBJ> stacked; // objects the plug-in has not released
    int stackedCreated = 0;
    int stackedDeleted = 0;
    std::vector<Warning> warnings;
    std::vector<std::string> internalErrors;
    int unexpected = 0;
};

State& S() {
    static State s;
    return s;
}

// Storage behind the host's variables.
DWORD variableStorage[kVariables];
char exeFileDir[MAX_PATH + 2];
char textStorage[16][MAX_PATH];
const char kDecimalSeparator[] = ".";
const char kTimeSeparator[] = ":";
const char kDateSeparator[] = ".";
HBITMAP channelBitmaps[16];
HBITMAP lessMoreBitmaps[16];
void* currentModulePtr;
COLORREF userDefinedColors[16];

// ---- host functions ----

void* WINAPI NewMemAlloc(DWORD bytes, const char*, int) {
    State& s = S();
    if (s.failAllocations > 0) {
        s.failAllocations--;
        return nullptr;
    }
    void* p = calloc(1, bytes ? bytes : 1);
    if (p) s.allocations[p] = bytes;
    return p;
}

void* WINAPI NewMemReAlloc(void* p, DWORD bytes, const char*, int) {
    State& s = S();
    void* q = realloc(p, bytes ? bytes : 1);
    if (q) {
        s.allocations.erase(p);
        s.allocations[q] = bytes;
    }
    return q;
}

void WINAPI NewDoMemFree(void* p, const char*, int) {
    State& s = S();
    if (p && s.allocations.erase(p)) free(p);
}

int WINAPI DefineDllModule() {
    State& s = S();
    if (s.refuseModule) return 0;
    s.moduleDefined++;
    return 1;
}

int WINAPI DefineDllVariable(const char* name, void* address, int size) {
    State& s = S();
    if (name == nullptr) return 0;
    if (!s.refuseVariable.empty() && s.refuseVariable == name) return 0;
    s.dllVariables.push_back({name, address, size});
    return 1;
}

int WINAPI RegisterMenuEntry(UINT id, MenuCallback callback) {
    S().menuEntries.push_back({id, callback});
    return 1;
}

void WINAPI ShowWarning(const char* caption, const char* text) {
    S().warnings.push_back({caption ? caption : "", text ? text : ""});
}

void WINAPI ShowInternalError(const char* text, const char* source, int line) {
    char buf[512];
    snprintf(buf, sizeof buf, "%s (%s:%d)", text ? text : "", source ? source : "", line);
    S().internalErrors.push_back(buf);
}

// The host's stack of GDI objects: a real font made from the description,
// kept until the plug-in releases it or, at the latest, until the plug-in is
// finished.
HFONT WINAPI CreateStackedFontIndirect(const LOGFONTA* font) {
    State& s = S();
    if (font == nullptr) return nullptr;
    HFONT made = CreateFontIndirectA(font);
    if (made == nullptr) return nullptr;
    s.stacked.push_back(made);
    s.stackedCreated++;
    return made;
}

int WINAPI DeleteStackedObject(HGDIOBJ object) {
    State& s = S();
    for (size_t i = 0; i < s.stacked.size(); i++) {
        if (s.stacked[i] == object) {
            DeleteObject(object);
            s.stacked.erase(s.stacked.begin() + static_cast<long>(i));
            s.stackedDeleted++;
            return 1;
        }
    }
    return 0;
}

// Every other name: the host knows it, the plug-in is not expected to call it.
int WINAPI Unexpected() {
    S().unexpected++;
    return 0;
}

DWORD Address(const void* p) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(p));
}
template <typename F> DWORD FunctionAddress(F f) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(f));
}

DWORD VariableValue(int index, const std::string& name) {
    if (name == "hInstVarnix") return Address(GetModuleHandleA(nullptr));
    if (name == "MainMenu") return Address(S().menu);
    if (name == "ExeFileDir") return Address(exeFileDir);
    if (name == "DezTrenn") return Address(kDecimalSeparator);
    if (name == "TimeTrenn") return Address(kTimeSeparator);
    if (name == "DateTrenn") return Address(kDateSeparator);
    if (name == "hBitChannel") return Address(channelBitmaps);
    if (name == "hBitLessMore") return Address(lessMoreBitmaps);
    if (name == "&CurrentModulePtr") return Address(&currentModulePtr);
    if (name == "clrUserDefinedColors") return Address(userDefinedColors);
    if (name.compare(0, 1, "b") == 0 || name == "wDateFormat") return 1; // flags
    if (name == "InitialStartupDir" || name == "NameOfFlowChart" || name == "FullNameOfFlowChart" ||
        name == "ProgFileNameIni" || name.compare(0, 3, "Def") == 0 ||
        name.compare(0, 20, "GlobalFlowChartInfo.") == 0) {
        return Address(textStorage[index % 16]);
    }
    return Address(&variableStorage[index]);
}

void BuildAnswers() {
    State& s = S();
    s.answers.clear();
    for (int i = 0; i < kVariables; i++)
        s.answers[kVariableNames[i]] = VariableValue(i, kVariableNames[i]);
    std::map<std::string, DWORD> f = {
        {"NewMemAlloc", FunctionAddress(NewMemAlloc)},
        {"NewMemReAlloc", FunctionAddress(NewMemReAlloc)},
        {"NewDoMemFree", FunctionAddress(NewDoMemFree)},
        {"DefineDllModule", FunctionAddress(DefineDllModule)},
        {"DefineDllVariable", FunctionAddress(DefineDllVariable)},
        {"RegisterModuleClass", FunctionAddress(HostRegisterModuleClass)},
        {"PerformDefaultAction", FunctionAddress(HostPerformDefaultAction)},
        {"ChangeModuleSize", FunctionAddress(HostChangeModuleSize)},
        {"ChangeModuleName", FunctionAddress(HostChangeModuleName)},
        {"CopyChannelName", FunctionAddress(HostCopyChannelName)},
        {"GetCurrentOutputBlock", FunctionAddress(HostGetCurrentOutputBlock)},
        {"NewReleaseOutputBlock", FunctionAddress(HostNewReleaseOutputBlock)},
        {"GetInputBlock", FunctionAddress(HostGetInputBlock)},
        {"NewReleaseInputBlock", FunctionAddress(HostNewReleaseInputBlock)},
        {"GlvoModuleNotifyGlobalVar", FunctionAddress(HostGlvoModuleNotifyGlobalVar)},
        {"RegisterMenuEntry", FunctionAddress(RegisterMenuEntry)},
        {"ShowWarning", FunctionAddress(ShowWarning)},
        {"ShowInternalError", FunctionAddress(ShowInternalError)},
        {"CreateStackedFontIndirect", FunctionAddress(CreateStackedFontIndirect)},
        {"DeleteStackedObject", FunctionAddress(DeleteStackedObject)},
        {"GlStr_Set", FunctionAddress(HostGlStr_Set)},
        {"StopExperiment", FunctionAddress(HostStopExperiment)},
        {"CurrentExperimentTime", FunctionAddress(HostCurrentExperimentTime)},
        {"FillUnitList", FunctionAddress(HostFillUnitList)},
        {"GlVar_Get", FunctionAddress(HostGlVar_Get)},
        {"GlVar_SetSyntax", FunctionAddress(HostGlVar_SetSyntax)},
        {"ExpandVarNumber", FunctionAddress(HostExpandVarNumber)},
        {"SetMenuForGlobalVars", FunctionAddress(HostSetMenuForGlobalVars)},
    };
    for (int i = 0; i < kFunctions; i++) {
        auto it = f.find(kFunctionNames[i]);
        s.answers[kFunctionNames[i]] = it != f.end() ? it->second : FunctionAddress(Unexpected);
    }
}

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == HOSTMSG_GET_VARIABLE || msg == HOSTMSG_GET_FUNCTION) && lParam != 0) {
        State& s = S();
        std::string name(reinterpret_cast<const char*>(lParam));
        s.asked.push_back(name);
        if (s.unknown.count(name)) return 0;
        auto o = s.overrides.find(name);
        if (o != s.overrides.end()) return static_cast<LRESULT>(o->second);
        auto it = s.answers.find(name);
        if (it == s.answers.end()) return 0;
        bool isFunction = false;
        for (int i = 0; i < kFunctions; i++)
            isFunction |= name == kFunctionNames[i];
        if (isFunction != (msg == HOSTMSG_GET_FUNCTION)) return 0;
        return static_cast<LRESULT>(it->second);
    }
    if (HostDialogStepMessage(msg, wParam, lParam)) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The bitmaps the channel bar's buttons show, one per state, from the host's
// own resources (loaded once).
void LoadBarBitmaps() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    char name[32];
    for (int i = 0; i < 4; i++) {
        snprintf(name, sizeof name, "HOST_CHANNEL%d", i);
        if (channelBitmaps[i] == nullptr) channelBitmaps[i] = LoadBitmapA(self, name);
    }
    for (int i = 0; i < 6; i++) {
        snprintf(name, sizeof name, "HOST_LESSMORE%d", i);
        if (lessMoreBitmaps[i] == nullptr) lessMoreBitmaps[i] = LoadBitmapA(self, name);
    }
}

HMENU BuildMainMenu() {
    HMENU menu = CreateMenu();
    const char* titles[] = {"&File", "&Edit", "&Experiment", "&Window", "&Help"};
    for (const char* t : titles) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 100, "...");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), t);
    }
    return menu;
}

} // namespace

int Start() {
    State& s = S();
    if (s.window == nullptr) {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VarnixMainWindow";
        RegisterClassA(&wc);
        s.window = CreateWindowExA(0, "VarnixMainWindow", "Varnix", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                   480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (s.window == nullptr) return 0;
    }
    if (s.menu) DestroyMenu(s.menu);
    s.menu = BuildMainMenu();
    LoadBarBitmaps();
    if (exeFileDir[0] == 0) {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
        if (n >= sizeof path) n = sizeof path - 1;
        path[n] = 0;
        char* slash = strrchr(path, '\\');
        if (slash) slash[1] = 0;
        snprintf(exeFileDir, sizeof exeFileDir, "%s", path);
    }
    s.unknown.clear();
    s.overrides.clear();
    s.asked.clear();
    s.refuseModule = false;
    s.refuseVariable.clear();
    s.moduleDefined = 0;
    s.dllVariables.clear();
    s.menuEntries.clear();
    s.failAllocations = 0;
    ReleaseStackedObjects();
    s.stackedCreated = s.stackedDeleted = 0;
    s.warnings.clear();
    s.internalErrors.clear();
    s.unexpected = 0;
    memset(userDefinedColors, 0, sizeof userDefinedColors);
    ResetBlocks();
    ResetExperiment();
    ResetGlobals();
    BuildAnswers();
    return 1;
}

HWND MainWindow() {
    return S().window;
}
void SetCurrentModule(ModuleRecord* module) {
    currentModulePtr = module;
}
HMENU MainMenu() {
    return S().menu;
}

void SetExeFileDir(const char* folder) {
    size_t n = strlen(folder);
    char sep = strchr(folder, '\\') ? '\\' : '/';
    if (n > 0 && (folder[n - 1] == '\\' || folder[n - 1] == '/')) {
        snprintf(exeFileDir, sizeof exeFileDir, "%s", folder);
    } else {
        snprintf(exeFileDir, sizeof exeFileDir, "%s%c", folder, sep);
    }
#ifndef _WIN32
    // The host program lives in that folder too, so what the plug-in keeps
    // beside the program (its INI file, the monitor log) lands there.
    std::string program = std::string(exeFileDir) + "Varnix.exe";
    WinapiSetProgramPath(program.c_str());
#endif
}
const char* ExeFileDir() {
    return exeFileDir;
}

void SetNameUnknown(const char* name) {
    S().unknown.insert(name);
}
void SetVariableValue(const char* name, DWORD value) {
    S().overrides[name] = value;
}
int NamesAsked() {
    return static_cast<int>(S().asked.size());
}
std::vector<std::string> NamesAskedInOrder() {
    return S().asked;
}

void RefuseDefineDllModule(bool refuse) {
    S().refuseModule = refuse;
}
void RefuseDllVariable(const char* name) {
    S().refuseVariable = name ? name : "";
}
int DllModuleDefined() {
    return S().moduleDefined;
}
const std::vector<DllVariable>& DllVariables() {
    return S().dllVariables;
}

int WriteDllVariable(const char* name, const void* value, int size) {
    for (const DllVariable& v : S().dllVariables) {
        if (v.name == name && v.size == size) {
            memcpy(v.address, value, static_cast<size_t>(size));
            return 1;
        }
    }
    return 0;
}

void ForgetPluginAddresses() {
    S().dllVariables.clear();
    S().menuEntries.clear();
}

const std::vector<MenuEntry>& MenuEntries() {
    return S().menuEntries;
}

int ChooseMenuCommand(UINT id) {
    for (const MenuEntry& e : S().menuEntries) {
        if (e.id == id && e.callback) {
            e.callback();
            return 1;
        }
    }
    return 0;
}

int LiveAllocations() {
    return static_cast<int>(S().allocations.size());
}
void FailAllocations(int count) {
    S().failAllocations = count;
}
int StackedObjectsCreated() {
    return S().stackedCreated;
}
int StackedObjectsDeleted() {
    return S().stackedDeleted;
}
int ReleaseStackedObjects() {
    State& s = S();
    int left = static_cast<int>(s.stacked.size());
    for (HGDIOBJ object : s.stacked)
        DeleteObject(object);
    s.stacked.clear();
    return left;
}
const std::vector<Warning>& Warnings() {
    return S().warnings;
}
const std::vector<std::string>& InternalErrors() {
    return S().internalErrors;
}
int UnexpectedCalls() {
    return S().unexpected;
}

} // namespace hostsim
