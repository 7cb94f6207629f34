// Channel bar controls: the channel buttons and the less/more button.
#include "frame/driver.h"

LRESULT CALLBACK ChannelButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK LessMoreButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
