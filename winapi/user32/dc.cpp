// The device context of a window's client area (or of the screen).
#include "user32/window.h"

using namespace winapi;

HDC WINAPI GetDC(HWND hwnd) {
    if (hwnd != nullptr && windowFromHandle(hwnd) == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return createDc(hwnd);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    return releaseDc(hwnd, dc) ? 1 : 0;
}
