// The plug-in's exports. On Windows the .def file names them undecorated; the
// Linux build makes only these visible.
#ifndef TELVIO_MODULES_EXPORTS_H
#define TELVIO_MODULES_EXPORTS_H

#include <windows.h>

#ifdef _WIN32
#define TELVIO_EXPORT extern "C"
#else
#define TELVIO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TELVIO_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
TELVIO_EXPORT int WINAPI SetupVarnixDLL(HWND hwnd);
TELVIO_EXPORT int WINAPI FinishVarnixDLL(DWORD unused);
TELVIO_EXPORT int WINAPI WEP(DWORD unused);

#endif
