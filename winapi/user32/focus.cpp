// Keyboard focus, mouse capture, key state, and the window state functions
// around them (text, class name, enabled, parent, child enumeration).
#include "user32/dialog.h"
#include "winapi_headless.h"

#include <stdio.h>
#include <string.h>

namespace winapi {

namespace {
HWND focusWindow = nullptr;
unsigned focusChanges = 0;
HWND captureWindow = nullptr;
bool ctrlDown = false;
bool leftDown = false;
} // namespace

void setCtrlHeld(bool held) {
    ctrlDown = held;
}

bool ctrlHeld() {
    return ctrlDown;
}

void setLeftButtonDown(bool down) {
    leftDown = down;
}

WPARAM mouseKeyFlags(WPARAM buttons) {
    return buttons | (ctrlDown ? MK_CONTROL : 0);
}

bool isDescendant(HWND ancestor, HWND h) {
    for (Window* w = windowFromHandle(h); w != nullptr && (w->style & WS_CHILD);
         w = windowFromHandle(w->parent)) {
        if (w->parent == ancestor) return true;
    }
    return false;
}

} // namespace winapi

using namespace winapi;

// The window losing the focus hears of it first (WM_KILLFOCUS, which the
// controls turn into EN_KILLFOCUS and the like), then the new one
// (WM_SETFOCUS). A focus change made while the old window is told wins.
HWND WINAPI SetFocus(HWND hwnd) {
    if (hwnd != nullptr && windowFromHandle(hwnd) == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND old = GetFocus();
    if (hwnd == old) return old;
    unsigned generation = ++focusChanges;
    focusWindow = nullptr;
    if (old != nullptr) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        if (focusChanges != generation) return old;
    }
    if (hwnd != nullptr && windowFromHandle(hwnd) == nullptr) return old;
    focusWindow = hwnd;
    if (hwnd != nullptr) {
        focusMovedTo(hwnd);
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND WINAPI GetFocus(void) {
    if (focusWindow != nullptr && windowFromHandle(focusWindow) == nullptr) focusWindow = nullptr;
    return focusWindow;
}

HWND WINAPI SetCapture(HWND hwnd) {
    HWND old = GetCapture();
    if (windowFromHandle(hwnd) == nullptr) return old;
    captureWindow = hwnd;
    if (old != nullptr && old != hwnd)
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    HWND old = GetCapture();
    captureWindow = nullptr;
    if (old != nullptr) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    if (captureWindow != nullptr && windowFromHandle(captureWindow) == nullptr)
        captureWindow = nullptr;
    return captureWindow;
}

// Only the keys the headless actions hold: Ctrl and the left mouse button.
SHORT WINAPI GetAsyncKeyState(int key) {
    bool down = false;
    if (key == VK_CONTROL || key == VK_LCONTROL) down = ctrlDown;
    if (key == VK_LBUTTON) down = leftDown;
    return down ? static_cast<SHORT>(0x8000) : 0;
}

SHORT WINAPI GetKeyState(int key) {
    return GetAsyncKeyState(key) ? static_cast<SHORT>(0xFF80) : 0;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buf, int max) {
    if (buf == nullptr || max <= 0) return 0;
    buf[0] = 0;
    if (windowFromHandle(hwnd) == nullptr) return 0;
    return static_cast<int>(
        SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(buf)));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (windowFromHandle(hwnd) == nullptr) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) > 0;
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (windowFromHandle(hwnd) == nullptr) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR buf, int max) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || buf == nullptr || max <= 0) return 0;
    int n = snprintf(buf, static_cast<size_t>(max), "%s", w->cls->name.c_str());
    return n < max ? n : max - 1;
}

// Answers whether the window was disabled before. A window being disabled
// loses the focus.
BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable && wasDisabled) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
        SendMessageA(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        w->style |= WS_DISABLED;
        HWND f = GetFocus();
        if (f == hwnd || isDescendant(hwnd, f)) SetFocus(nullptr);
        SendMessageA(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Window* w = windowFromHandle(hwnd);
    return w != nullptr && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    for (Window* w = windowFromHandle(hwnd); w != nullptr; w = windowFromHandle(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (!(w->style & WS_CHILD)) return TRUE;
    }
    return FALSE;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    return isDescendant(parent, hwnd) ? TRUE : FALSE;
}

// A child's parent, or a pop-up's owner.
HWND WINAPI GetParent(HWND hwnd) {
    Window* w = windowFromHandle(hwnd);
    return w ? w->parent : nullptr;
}

HWND WINAPI GetDesktopWindow(void) {
    static HWND desktop = nullptr;
    if (windowFromHandle(desktop) == nullptr) {
        desktop = CreateWindowExA(0, "#32769", "", WS_POPUP | WS_VISIBLE | WS_DISABLED, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, nullptr, nullptr);
    }
    return desktop;
}

namespace {
HWND activeOverride = nullptr;
}

HWND WINAPI GetActiveWindow(void) {
    HWND m = modalDialog();
    if (m != nullptr) return m;
    if (windowFromHandle(activeOverride) != nullptr && IsWindowVisible(activeOverride))
        return activeOverride;
    return activeTopWindow();
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    HWND old = GetActiveWindow();
    if (windowFromHandle(hwnd) != nullptr) activeOverride = hwnd;
    return old;
}

namespace {
bool enumChildren(HWND parent, WNDENUMPROC proc, LPARAM lp) {
    for (HWND h : childrenOf(parent)) {
        Window* c = windowFromHandle(h);
        if (c == nullptr || !(c->style & WS_CHILD)) continue;
        if (!proc(h, lp)) return false;
        if (windowFromHandle(h) != nullptr && !enumChildren(h, proc, lp)) return false;
    }
    return true;
}
} // namespace

// Every descendant, each child followed by its own children.
BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lp) {
    if (proc == nullptr || windowFromHandle(parent) == nullptr) return FALSE;
    enumChildren(parent, proc, lp);
    return TRUE;
}

extern "C" void WinapiSetCtrlHeld(int held) {
    setCtrlHeld(held != 0);
}

extern "C" int WinapiCtrlHeld(void) {
    return ctrlHeld() ? 1 : 0;
}
