// The serial-port configuration dialog.
#include "frame/driver.h"

int ShowComPortsDialog(HWND) {
    return 0;
}
