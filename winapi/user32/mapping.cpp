// Points from the client coordinates of one window into those of another;
// NULL stands for the screen.
#include "user32/dialog.h"

using namespace winapi;

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    if ((from != nullptr && windowFromHandle(from) == nullptr) ||
        (to != nullptr && windowFromHandle(to) == nullptr)) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    POINT a = {0, 0}, b = {0, 0};
    if (from != nullptr) a = clientOrigin(from);
    if (to != nullptr) b = clientOrigin(to);
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points != nullptr && i < count; i++) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}
