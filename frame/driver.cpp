// The driver-wide values fixed at start-up, and the variables the host writes.
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
