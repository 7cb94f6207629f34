// The driver-wide values fixed at start-up, and the variables the host writes.
#include "host/driver.h"

#include "host/registration.h"

#include <ctype.h>
#include <string.h>

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

namespace {

struct FamilyRow {
    char prefix[5];
    int* flag;
    int minAddress;
    const char* menu;
};

const FamilyRow families[] = {
    {"XX01", &FAMILY_XX01, 1, "XXX1"}, {"XX04", &FAMILY_XX04, 0, "XXX1"},
    {"XX03", &FAMILY_XX03, 0, "XXX1"}, {"XX05", &FAMILY_XX05, 0, "XXX1"},
    {"XX06", &FAMILY_XX06, 0, "XXX1"}, {"TELV", &FAMILY_TELV, 0, "TLV_MENU_I"},
};

} // namespace

const char* SelectFamily(char* fileName) {
    for (char* p = fileName; *p; p++)
        *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    for (const FamilyRow& f : families) {
        if (strncmp(fileName, f.prefix, 4) == 0) {
            *f.flag = 1;
            MinModuleAddress = f.minAddress;
            return f.menu;
        }
    }
    FAMILY_ND = 1;
    return "XXX1";
}
