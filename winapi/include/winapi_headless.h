// Controls of the headless Win32 layer that exist only in the Linux build:
// the manual clock, what the layer recorded instead of showing it, and the
// program's own resources. Tests and the stand-in host use them; plug-in code
// never does.
#ifndef WINAPI_HEADLESS_H
#define WINAPI_HEADLESS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI_HEADLESS_API __attribute__((visibility("default")))

// Clock. The real clock is the default; the manual clock stands still until
// advanced, and Sleep() on it advances it instead of waiting.
WINAPI_HEADLESS_API void WinapiUseManualClock(DWORD startTicks);
WINAPI_HEADLESS_API void WinapiUseRealClock(void);
WINAPI_HEADLESS_API void WinapiAdvanceClock(DWORD milliseconds);
WINAPI_HEADLESS_API int WinapiClockIsManual(void);

// Help requests: WinHelpA records each call instead of opening a viewer.
typedef struct WinapiHelpCall {
    HWND hwnd;
    char file[MAX_PATH + 64];
    UINT command;
    ULONG_PTR data;
} WinapiHelpCall;
WINAPI_HEADLESS_API int WinapiHelpCallCount(void);
WINAPI_HEADLESS_API int WinapiHelpCallAt(int index, WinapiHelpCall* out);
WINAPI_HEADLESS_API void WinapiHelpCallsClear(void);

// Resources of the program itself (GetModuleHandleA(NULL)); the build
// registers them before main().
WINAPI_HEADLESS_API void WinapiSetProgramResources(const unsigned char* data, unsigned size);

// Path translation between the Windows form the API shows ("Z:\dir\file")
// and the host file system ("/dir/file").
WINAPI_HEADLESS_API void WinapiToHostPath(const char* windowsPath, char* out, unsigned outSize);

#ifdef __cplusplus
}
#endif

#endif
