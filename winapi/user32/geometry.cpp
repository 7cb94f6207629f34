// Window geometry on a fixed 1024 x 768 screen. A child's rectangle is kept
// in its parent's client coordinates, a top-level window's in screen
// coordinates; frames and captions have the classic fixed sizes.
#include "user32/dialog.h"

namespace winapi {

namespace {
const int kScreenWidth = 1024;
const int kScreenHeight = 768;
const int kCaption = 18;
const int kMenu = 18;
} // namespace

RECT nonClientInsets(Window* w) {
    RECT r = {0, 0, 0, 0};
    if (w == nullptr) return r;
    DWORD s = w->style;
    bool dialog = w->cls && w->cls->name == "#32770";
    int frame = 0;
    if (s & WS_THICKFRAME) {
        frame = 4;
    } else if ((s & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME) ||
               (dialog && (s & DS_MODALFRAME))) {
        frame = 3;
    } else if (s & WS_BORDER) {
        frame = 1;
    }
    if (w->exStyle & WS_EX_CLIENTEDGE) frame += 2;
    if (w->exStyle & WS_EX_STATICEDGE) frame += 1;
    r.left = r.top = r.right = r.bottom = frame;
    if ((s & WS_CAPTION) == WS_CAPTION) r.top += kCaption;
    if (!(s & WS_CHILD) && w->menu != nullptr) r.top += kMenu;
    return r;
}

// The window's top-left corner on the screen.
static POINT windowOrigin(Window* w) {
    POINT p = {w->rect.left, w->rect.top};
    if ((w->style & WS_CHILD) && windowFromHandle(w->parent) != nullptr) {
        POINT o = clientOrigin(w->parent);
        p.x += o.x;
        p.y += o.y;
    }
    return p;
}

POINT clientOrigin(HWND h) {
    POINT p = {0, 0};
    Window* w = windowFromHandle(h);
    if (w == nullptr) return p;
    p = windowOrigin(w);
    RECT in = nonClientInsets(w);
    p.x += in.left;
    p.y += in.top;
    return p;
}

} // namespace winapi

using namespace winapi;

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT out) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || out == nullptr) return FALSE;
    POINT p = windowOrigin(w);
    out->left = p.x;
    out->top = p.y;
    out->right = p.x + (w->rect.right - w->rect.left);
    out->bottom = p.y + (w->rect.bottom - w->rect.top);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT out) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || out == nullptr) return FALSE;
    RECT in = nonClientInsets(w);
    LONG cx = (w->rect.right - w->rect.left) - in.left - in.right;
    LONG cy = (w->rect.bottom - w->rect.top) - in.top - in.bottom;
    out->left = out->top = 0;
    out->right = cx > 0 ? cx : 0;
    out->bottom = cy > 0 ? cy : 0;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
    if (windowFromHandle(hwnd) == nullptr || pt == nullptr) return FALSE;
    POINT o = clientOrigin(hwnd);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
    if (windowFromHandle(hwnd) == nullptr || pt == nullptr) return FALSE;
    POINT o = clientOrigin(hwnd);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

// Moves and sizes; WM_MOVE and WM_SIZE follow when the position or size
// changed, as after WM_WINDOWPOSCHANGED.
static BOOL placeWindow(HWND hwnd, int x, int y, int cx, int cy, bool move, bool size) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return FALSE;
    RECT old = w->rect;
    LONG nx = move ? x : old.left, ny = move ? y : old.top;
    LONG ncx = size ? (cx < 0 ? 0 : cx) : old.right - old.left;
    LONG ncy = size ? (cy < 0 ? 0 : cy) : old.bottom - old.top;
    w->rect = {nx, ny, nx + ncx, ny + ncy};
    bool moved = nx != old.left || ny != old.top;
    bool sized = ncx != old.right - old.left || ncy != old.bottom - old.top;
    if (moved) {
        POINT o = clientOrigin(hwnd);
        if ((w->style & WS_CHILD) && windowFromHandle(w->parent) != nullptr)
            ScreenToClient(w->parent, &o);
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
    }
    if (sized && windowFromHandle(hwnd) != nullptr) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL) {
    return placeWindow(hwnd, x, y, cx, cy, true, true);
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    if (!placeWindow(hwnd, x, y, cx, cy, !(flags & SWP_NOMOVE), !(flags & SWP_NOSIZE)))
        return FALSE;
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return kScreenWidth;
    case SM_CYSCREEN: return kScreenHeight;
    case SM_CYFULLSCREEN: return kScreenHeight - kCaption;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return kMenu;
    default: return 0;
    }
}

// Nothing is drawn headless.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    return hwnd == nullptr || windowFromHandle(hwnd) != nullptr;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    return windowFromHandle(hwnd) != nullptr;
}
