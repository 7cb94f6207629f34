// Help: the family's help file and the host's own, both in the host's folder.
#include "host/driver.h"
#include "host/host.h"

#include <stdio.h>
#include <string.h>

namespace {

// Folder and file name joined; 0 when the path would not fit, so a cut path
// never opens some other file.
int JoinHostPath(char* out, size_t size, const char* name) {
    const char* dir = HostExeFileDir();
    int n = snprintf(out, size, "%s%s", dir ? dir : "", name);
    return n >= 0 && static_cast<size_t>(n) < size;
}

} // namespace

int LoadHelpFileName(char* buffer, int size) {
    UINT id = 1000;
    if (FAMILY_XX01) {
        id = 1500;
    } else if (FAMILY_XX04) {
        id = 1501;
    } else if (FAMILY_XX03) {
        id = 1505;
    } else if (FAMILY_TELV) {
        id = 1508;
    } else if (FAMILY_XX05) {
        id = 1506;
    } else if (FAMILY_XX06) {
        id = 1507;
    }
    return LoadStringA(hInstDriver, id, buffer, size);
}

void ShowDriverHelp(UINT command, DWORD data) {
    char name[33];
    LoadHelpFileName(name, sizeof name);
    char path[MAX_PATH];
    if (!JoinHostPath(path, sizeof path, name)) return;
    WinHelpA(hwndHost, path, command, data);
}

void ShowHostHelp(UINT command, DWORD data) {
    char name[19];
    if (LoadStringA(HostInstance(), 23003, name, sizeof name) <= 0) name[0] = 0;
    char path[MAX_PATH];
    if (!JoinHostPath(path, sizeof path, name)) return;
    WinHelpA(hwndHost, path, command, data);
}
