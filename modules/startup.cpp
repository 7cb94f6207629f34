// Start-up and finish: the library entry, the binding to the host, family
// selection, the menu, and the window classes of the dialog controls.
#include "modules/startup.h"
#include "frame/chanbar.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/linear.h"
#include "modules/exports.h"
#include "modules/types.h"
#include "resource.h"
#include "serial/monitor.h"
#include "serial/ports.h"
#include "serial/watchdog.h"

#include <string.h>

namespace {

const char kChannelButtonClass[] = "VUV:CONTROLKANAL";
const char kLessMoreButtonClass[] = "VUV:CONTROLLESSMORE";

struct DllVariable {
    const char* name;
    void* address;
    int size;
};

const DllVariable dllVariables[] = {
    {"fGlobalMilliSecondsPerSample", &fGlobalMilliSecondsPerSample, 8},
    {"uiGlobalBlockSize", &uiGlobalBlockSize, 4},
    {"bAnimation", &bAnimation, 4},
    {"bExperimentIsRunning", &bExperimentIsRunning, 4},
    {"bExperimentIsPaused", &bExperimentIsPaused, 4},
    {"dwExperimentStartTimeTicks", &dwExperimentStartTimeTicks, 4},
    {"BBoxModul", &BBoxModul, 4},
};

static_assert(sizeof fGlobalMilliSecondsPerSample == 8, "offered as 8 bytes");
static_assert(sizeof uiGlobalBlockSize == 4 && sizeof bAnimation == 4 && sizeof BBoxModul == 4 &&
                  sizeof dwExperimentStartTimeTicks == 4,
              "offered as 4 bytes");

void RegisterControlClass(const char* name, WNDPROC proc) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 2; // the button state
    wc.hInstance = hInstDriver;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void InsertDriverMenu(const char* menuName) {
    HMENU menu = LoadMenuA(hInstDriver, menuName);
    char title[19] = "";
    GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
    HMENU popup = GetSubMenu(menu, 0);
    InsertMenuA(HostMainMenu(), 3, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                title);
}

} // namespace

int InitDriver() {
    // The path is cut to the buffer and always terminated, so a long path or
    // one without a separator still gives a file name.
    char path[256];
    DWORD n = GetModuleFileNameA(hInstDriver, path, sizeof path);
    if (n >= sizeof path) n = sizeof path - 1;
    path[n] = 0;
    char* fileName = strrchr(path, '\\');
    fileName = fileName ? fileName + 1 : path;
    const char* menuName = SelectFamily(fileName);

    InsertDriverMenu(menuName);

    RegisterMenuEntry(IDM_SERIAL_PORTS, OnMenuSerialPorts);
    RegisterMenuEntry(IDM_DRIVER_HELP, OnMenuHelp);
    if (FAMILY_XX04) RegisterMenuEntry(IDM_XX04_EXTRA, OnMenuEmpty);

    // Driver settings: the reply time-out, then the ports and switches.
    ReadBusyTimeOut();
    ReadComPortsIni();
    WatchdogReset();

    // Every block type decides by the family whether it registers.
    RegisterBlockTypes();
    return 1;
}

int ExitDriver() {
    WriteBusyTimeOut();
    // The monitor's lines go with the plug-in.
    MonitorStop();
    return 1;
}

void OnMenuSerialPorts() {
    ShowComPortsDialog(hwndHost);
}
void OnMenuHelp() {
    ShowDriverHelp(HELP_CONTENTS, 0);
}
void OnMenuEmpty() {}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) hInstDriver = instance;
    return TRUE;
}

int WINAPI SetupVarnixDLL(HWND hwnd) {
    hwndHost = hwnd;
    if (!ResolveHostInterface(hwnd)) return 0;
    if (!DefineDllModule()) return 0;
    for (const DllVariable& v : dllVariables) {
        if (!DefineDllVariable(v.name, v.address, v.size)) return 0;
    }
    if (!InitDriver()) return 0;
    RegisterControlClass(kChannelButtonClass, ChannelButtonProc);
    RegisterControlClass(kLessMoreButtonClass, LessMoreButtonProc);
    return 1;
}

int WINAPI FinishVarnixDLL(DWORD) {
    UnregisterClassA(kChannelButtonClass, hInstDriver);
    UnregisterClassA(kLessMoreButtonClass, hInstDriver);
    if (hDialogFont != nullptr) {
        DeleteStackedObject(hDialogFont);
        hDialogFont = nullptr;
    }
    // The linearisation tables live in the host's memory.
    LinearFreeAll();
    ExitDriver();
    return 1;
}

int WINAPI WEP(DWORD) {
    return 1;
}
