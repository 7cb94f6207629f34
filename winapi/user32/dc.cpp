// The device context of a window's client area (or of the screen).
#include "user32/window.h"

#include <string.h>

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

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (paint == nullptr || windowFromHandle(hwnd) == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    memset(paint, 0, sizeof *paint);
    GetClientRect(hwnd, &paint->rcPaint);
    paint->hdc = createDc(hwnd);
    return paint->hdc;
}

// Always nonzero, as on Windows; the context of BeginPaint is released.
BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint != nullptr && paint->hdc != nullptr) releaseDc(hwnd, paint->hdc);
    return TRUE;
}
