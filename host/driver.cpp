// The driver-wide values fixed at start-up, and the variables the host writes.
#include "host/driver.h"

#include "host/registration.h"

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

int SelectedFamilyIndex() {
    if (FAMILY_XX01) return FAMILY_INDEX_XX01;
    if (FAMILY_XX04) return FAMILY_INDEX_XX04;
    if (FAMILY_XX03) return FAMILY_INDEX_XX03;
    if (FAMILY_XX05) return FAMILY_INDEX_XX05;
    if (FAMILY_XX06) return FAMILY_INDEX_XX06;
    if (FAMILY_TELV) return FAMILY_INDEX_TELV;
    return FAMILY_INDEX_ND;
}

double fGlobalMilliSecondsPerSample;
UINT uiGlobalBlockSize;
BOOL bAnimation;
BOOL bExperimentIsRunning;
BOOL bExperimentIsPaused;
DWORD dwExperimentStartTimeTicks;
DWORD BBoxModul;

HFONT hDialogFont;
