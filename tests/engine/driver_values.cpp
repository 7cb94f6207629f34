// The driver-wide values that the plug-in's start-up keeps, for the plug-in
// sources built into the tests without it. Tests set them as start-up would.
#include "frame/driver.h"

HINSTANCE hInstDriver;
HWND hwndHost;

int FAMILY_ND;
int FAMILY_XX01;
int FAMILY_XX04;
int FAMILY_XX03;
int FAMILY_XX05;
int FAMILY_XX06;
int FAMILY_TELV;

int MinModuleAddress = 1;

double fGlobalMilliSecondsPerSample;
UINT uiGlobalBlockSize;
BOOL bAnimation;
BOOL bExperimentIsRunning;
BOOL bExperimentIsPaused;
DWORD dwExperimentStartTimeTicks;
DWORD BBoxModul;

HFONT hDialogFont;
