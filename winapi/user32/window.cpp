// Window classes and windows. Messages are delivered synchronously to the
// window procedure; posted messages wait in one queue for the message loop.
#include "window.h"

#include <ctype.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <map>
#include <memory>

namespace winapi {

namespace {
std::vector<std::unique_ptr<WindowClass>> classes;
// The live windows. A destroyed window leaves the map at once (its handle is
// never given out again) and is freed once no message is being sent, so a
// window procedure still running on it never touches freed memory.
std::map<DWORD, std::unique_ptr<Window>> windows;
std::vector<HWND> topLevel; // windows without parent or owner, in creation order
std::vector<std::unique_ptr<Window>> destroyed;
int sendDepth = 0;
DWORD nextHandle = 0x10010;
std::deque<MSG> posted;

// The list a window is in: its parent's children, or the top-level windows.
std::vector<HWND>* siblingList(HWND parent) {
    if (parent == nullptr) return &topLevel;
    auto it = windows.find(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parent)));
    return it == windows.end() ? nullptr : &it->second->children;
}

void freeDestroyed() {
    if (sendDepth == 0) destroyed.clear();
}

bool sameName(const std::string& a, LPCSTR b) {
    return strcasecmp(a.c_str(), b) == 0;
}
} // namespace

Window* windowFromHandle(HWND h) {
    auto it = windows.find(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(h)));
    return it == windows.end() ? nullptr : it->second.get();
}

WindowClass* findClass(LPCSTR name, HINSTANCE instance) {
    if (name == nullptr) return nullptr;
    registerStandardControls();
    if (IS_INTRESOURCE(name)) {
        if (reinterpret_cast<ULONG_PTR>(name) != 0x8002) return nullptr; // only the dialog atom
        name = "#32770";
    }
    for (auto& c : classes) {
        if (!c->system && c->wc.hInstance == instance && sameName(c->name, name)) return c.get();
    }
    for (auto& c : classes) {
        if ((c->system || (c->wc.style & CS_GLOBALCLASS)) && sameName(c->name, name))
            return c.get();
    }
    return nullptr;
}

void registerSystemClass(const char* name, WNDPROC proc, int wndExtra) {
    if (findClass(name, nullptr)) return;
    auto c = std::make_unique<WindowClass>();
    c->name = name;
    memset(&c->wc, 0, sizeof c->wc);
    c->wc.lpfnWndProc = proc;
    c->wc.cbWndExtra = wndExtra;
    c->system = true;
    classes.push_back(std::move(c));
}

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND>* list = siblingList(parent);
    return list ? *list : std::vector<HWND>();
}

size_t liveWindowCount() {
    return windows.size();
}

} // namespace winapi

using namespace winapi;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName)) {
        setLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    for (auto& c : classes) {
        if (!c->system && c->wc.hInstance == wc->hInstance &&
            sameName(c->name, wc->lpszClassName)) {
            setLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto c = std::make_unique<WindowClass>();
    c->name = wc->lpszClassName;
    c->wc = *wc;
    c->wc.lpszClassName = nullptr;
    c->wc.lpszMenuName = nullptr;
    classes.push_back(std::move(c));
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    if (name == nullptr) return FALSE;
    for (size_t i = 0; i < classes.size(); i++) {
        WindowClass* c = classes[i].get();
        if (!c->system && c->wc.hInstance == instance && sameName(c->name, name)) {
            for (auto& w : windows) {
                if (w.second->cls == c) {
                    setLastError(ERROR_CLASS_ALREADY_EXISTS); // class still has windows
                    return FALSE;
                }
            }
            classes.erase(classes.begin() + static_cast<long>(i));
            return TRUE;
        }
    }
    setLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, LPWNDCLASSA out) {
    WindowClass* c = findClass(name, instance);
    if (c == nullptr || out == nullptr) {
        setLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = c->wc;
    out->lpszClassName = name;
    return TRUE;
}

typedef struct tagCREATESTRUCTA_ {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CreateStruct;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    WindowClass* c = findClass(className, instance);
    if (c == nullptr) {
        setLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent == HWND_MESSAGE) parent = nullptr;
    std::vector<HWND>* siblings = siblingList(parent);
    if (siblings == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto w = std::make_unique<Window>();
    DWORD h = nextHandle;
    nextHandle += 2;
    w->handle = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(h));
    w->cls = c;
    w->proc = c->wc.lpfnWndProc;
    w->parent = parent;
    w->instance = instance;
    if (style & WS_CHILD) {
        w->id = static_cast<int>(reinterpret_cast<ULONG_PTR>(menu));
    } else {
        w->menu = menu;
    }
    w->text = title ? title : "";
    w->style = style;
    w->exStyle = exStyle;
    w->rect = {x == CW_USEDEFAULT ? 0 : x, y == CW_USEDEFAULT ? 0 : y,
               (x == CW_USEDEFAULT ? 0 : x) + (cx == CW_USEDEFAULT ? 0 : cx),
               (y == CW_USEDEFAULT ? 0 : y) + (cy == CW_USEDEFAULT ? 0 : cy)};
    w->extra.assign(static_cast<size_t>(c->wc.cbWndExtra > 0 ? c->wc.cbWndExtra : 0), 0);
    HWND hwnd = w->handle;
    windows[h] = std::move(w);
    siblings->push_back(hwnd);
    CreateStruct cs = {param, instance,  menu,   parent, cy, cx, y, x, static_cast<LONG>(style),
                       title, className, exStyle};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

// WM_DESTROY, the children and owned windows destroyed, WM_NCDESTROY; then
// the window is gone: out of its parent's list and of the window table.
BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
    sendDepth++; // w stays where it is until this call is over
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : childrenOf(hwnd))
        DestroyWindow(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    std::vector<HWND>* siblings = siblingList(w->parent);
    if (siblings)
        siblings->erase(std::remove(siblings->begin(), siblings->end(), hwnd), siblings->end());
    auto it = windows.find(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hwnd)));
    destroyed.push_back(std::move(it->second));
    windows.erase(it);
    sendDepth--;
    freeDestroyed();
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return windowFromHandle(hwnd) != nullptr;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || w->proc == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    WNDPROC proc = w->proc;
    sendDepth++;
    LRESULT r = proc(hwnd, msg, wp, lp);
    sendDepth--;
    freeDestroyed();
    return r;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return proc ? proc(hwnd, msg, wp, lp) : 0;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd != nullptr && windowFromHandle(hwnd) == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG m = {hwnd, msg, wp, lp, GetTickCount(), {0, 0}};
    posted.push_back(m);
    return TRUE;
}

void WINAPI PostQuitMessage(int code) {
    PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(code), 0);
}

static bool takeMessage(LPMSG out, HWND hwnd, UINT lo, UINT hi, bool remove) {
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        bool windowOk = hwnd == nullptr || it->hwnd == hwnd;
        bool rangeOk = (lo == 0 && hi == 0) || (it->message >= lo && it->message <= hi);
        if (windowOk && rangeOk) {
            *out = *it;
            if (remove) posted.erase(it);
            return true;
        }
    }
    return false;
}

namespace winapi {
bool takeWindowMessage(MSG* out) {
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (it->hwnd != nullptr) {
            *out = *it;
            posted.erase(it);
            return true;
        }
    }
    return false;
}
} // namespace winapi

BOOL WINAPI PeekMessageA(LPMSG out, HWND hwnd, UINT lo, UINT hi, UINT removeFlag) {
    if (out == nullptr) return FALSE;
    return takeMessage(out, hwnd, lo, hi, (removeFlag & PM_REMOVE) != 0);
}

// Headless: nothing arrives from outside, so an empty queue ends the loop as
// WM_QUIT would.
BOOL WINAPI GetMessageA(LPMSG out, HWND hwnd, UINT lo, UINT hi) {
    if (out == nullptr) return -1;
    if (!takeMessage(out, hwnd, lo, hi, true)) {
        memset(out, 0, sizeof *out);
        out->message = WM_QUIT;
        return FALSE;
    }
    return out->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* m) {
    if (m == nullptr || m->hwnd == nullptr) return 0;
    return SendMessageA(m->hwnd, m->message, m->wParam, m->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = windowFromHandle(hwnd);
    switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT:
        if (w) w->text = lp ? reinterpret_cast<const char*>(lp) : "";
        return TRUE;
    case WM_GETTEXT: {
        if (w == nullptr || wp == 0 || lp == 0) return 0;
        char* out = reinterpret_cast<char*>(lp);
        size_t n = w->text.size() < wp - 1 ? w->text.size() : wp - 1;
        memcpy(out, w->text.data(), n);
        out[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return w ? static_cast<LRESULT>(w->text.size()) : 0;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    default: return 0;
    }
}

HMENU WINAPI GetMenu(HWND hwnd) {
    Window* w = windowFromHandle(hwnd);
    return w ? w->menu : nullptr;
}

BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return FALSE;
    w->menu = menu;
    return TRUE;
}

BOOL WINAPI DrawMenuBar(HWND hwnd) {
    return windowFromHandle(hwnd) != nullptr;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return FALSE;
    BOOL was = (w->style & WS_VISIBLE) != 0;
    if (cmd == SW_HIDE) {
        w->style &= ~WS_VISIBLE;
    } else {
        w->style |= WS_VISIBLE;
    }
    return was;
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return 0;
    switch (index) {
    case GWL_WNDPROC: return static_cast<LONG>(reinterpret_cast<LONG_PTR>(w->proc));
    case GWL_HINSTANCE: return static_cast<LONG>(reinterpret_cast<LONG_PTR>(w->instance));
    case GWL_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_USERDATA: return w->userData;
    default:
        if (index >= 0 && static_cast<size_t>(index) + 4 <= w->extra.size()) {
            LONG v;
            memcpy(&v, &w->extra[static_cast<size_t>(index)], 4);
            return v;
        }
        return 0;
    }
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return 0;
    LONG old = GetWindowLongA(hwnd, index);
    switch (index) {
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(value)); break;
    case GWL_ID: w->id = value; break;
    case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_USERDATA: w->userData = value; break;
    default:
        if (index >= 0 && static_cast<size_t>(index) + 4 <= w->extra.size()) {
            memcpy(&w->extra[static_cast<size_t>(index)], &value, 4);
        }
        break;
    }
    return old;
}

WORD WINAPI GetWindowWord(HWND hwnd, int index) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || index < 0 || static_cast<size_t>(index) + 2 > w->extra.size()) return 0;
    return static_cast<WORD>(w->extra[static_cast<size_t>(index)] |
                             (w->extra[static_cast<size_t>(index) + 1] << 8));
}

WORD WINAPI SetWindowWord(HWND hwnd, int index, WORD value) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || index < 0 || static_cast<size_t>(index) + 2 > w->extra.size()) return 0;
    WORD old = GetWindowWord(hwnd, index);
    w->extra[static_cast<size_t>(index)] = static_cast<unsigned char>(value & 0xff);
    w->extra[static_cast<size_t>(index) + 1] = static_cast<unsigned char>(value >> 8);
    return old;
}
