// Driver-wide values fixed at start-up.
#ifndef TELVIO_HOST_DRIVER_H
#define TELVIO_HOST_DRIVER_H

#include <windows.h>

extern HINSTANCE hInstDriver;
extern HWND hwndHost;

// The module family; SelectFamily sets exactly one of them.
extern int FAMILY_ND;
extern int FAMILY_XX01;
extern int FAMILY_XX04;
extern int FAMILY_XX03;
extern int FAMILY_XX05;
extern int FAMILY_XX06;
extern int FAMILY_TELV;

// Lowest module address the dialogs offer and the module test accepts.
extern int MinModuleAddress;

// Variables the host writes and the plug-in reads.
extern double fGlobalMilliSecondsPerSample;
extern UINT uiGlobalBlockSize;
extern BOOL bAnimation;
extern BOOL bExperimentIsRunning;
extern BOOL bExperimentIsPaused;
extern DWORD dwExperimentStartTimeTicks;
extern DWORD BBoxModul;

// The shared dialog font, created on first use.
extern HFONT hDialogFont;

// Family selection from a library file name (the text after the last
// backslash); sets the flags and MinModuleAddress, returns the menu name.
const char* SelectFamily(char* fileName);

void ShowDriverHelp(UINT command, DWORD data);
void ShowHostHelp(UINT command, DWORD data);
int LoadHelpFileName(char* buffer, int size);

#endif
