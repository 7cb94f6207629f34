// Device contexts and text on them. A headless context has the metrics of a
// fixed system font, 8 pixels wide and 16 high for every character, and
// records what is drawn instead of drawing it.
#include "internal.h"
#include "winapi_headless.h"

#include <string.h>

#include <set>
#include <vector>

namespace winapi {
namespace {

const int kCharWidth = 8;
const int kCharHeight = 16;

struct DeviceContext {
    HWND window;
    HGDIOBJ selected[GDI_BITMAP + 1]; // by kind
    int mapMode;
};
std::set<DeviceContext*> contexts;
std::vector<WinapiTextOutCall> drawn;

DeviceContext* contextFromHandle(HDC h) {
    DeviceContext* c = reinterpret_cast<DeviceContext*>(h);
    return contexts.count(c) ? c : nullptr;
}

} // namespace

HDC createDc(HWND window) {
    DeviceContext* c = new DeviceContext;
    c->window = window;
    for (int kind = 0; kind <= GDI_BITMAP; kind++)
        c->selected[kind] = gdiDefaultObject(kind);
    c->mapMode = MM_TEXT;
    contexts.insert(c);
    return reinterpret_cast<HDC>(c);
}

bool releaseDc(HWND window, HDC dc) {
    DeviceContext* c = contextFromHandle(dc);
    if (c == nullptr || c->window != window) return false;
    contexts.erase(c);
    delete c;
    return true;
}

void resetTextOutput() {
    drawn.clear();
}

} // namespace winapi

using namespace winapi;

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    DeviceContext* c = contextFromHandle(hdc);
    if (c == nullptr || count < 0 || (count > 0 && text == nullptr)) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    WinapiTextOutCall call;
    memset(&call, 0, sizeof call);
    call.dc = hdc;
    call.window = c->window;
    call.x = x;
    call.y = y;
    size_t n = static_cast<size_t>(count);
    if (n > sizeof call.text - 1) n = sizeof call.text - 1;
    if (n > 0) memcpy(call.text, text, n);
    drawn.push_back(call);
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, SIZE* size) {
    if (contextFromHandle(hdc) == nullptr || size == nullptr || count < 0 ||
        (count > 0 && text == nullptr)) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    size->cx = count * kCharWidth;
    size->cy = kCharHeight;
    return TRUE;
}

extern "C" int WinapiTextOutCount(void) {
    return static_cast<int>(drawn.size());
}

extern "C" int WinapiTextOutAt(int index, WinapiTextOutCall* out) {
    if (index < 0 || static_cast<size_t>(index) >= drawn.size() || out == nullptr) return 0;
    *out = drawn[static_cast<size_t>(index)];
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc != nullptr && contextFromHandle(hdc) == nullptr) {
        setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return createDc(nullptr);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext* c = contextFromHandle(hdc);
    // A window's context is released, not deleted.
    if (c == nullptr || c->window != nullptr) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return releaseDc(nullptr, hdc) ? TRUE : FALSE;
}

// The object of its kind the context had selected; null for an invalid
// context or object, which stays unselected.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* c = contextFromHandle(hdc);
    int kind = gdiObjectKind(h);
    if (c == nullptr || kind == 0) {
        setLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ old = c->selected[kind];
    c->selected[kind] = h;
    return old;
}

int WINAPI GetMapMode(HDC hdc) {
    DeviceContext* c = contextFromHandle(hdc);
    return c ? c->mapMode : 0;
}

// Only MM_TEXT is kept; another mode is refused (0).
int WINAPI SetMapMode(HDC hdc, int mode) {
    DeviceContext* c = contextFromHandle(hdc);
    if (c == nullptr || mode != MM_TEXT) return 0;
    int old = c->mapMode;
    c->mapMode = mode;
    return old;
}

// In MM_TEXT a logical unit is a pixel: the points stay as they are.
BOOL WINAPI DPtoLP(HDC hdc, LPPOINT points, int count) {
    if (contextFromHandle(hdc) == nullptr || count < 0 || (count > 0 && points == nullptr))
        return FALSE;
    return TRUE;
}

// Nothing is drawn headless; both contexts must be valid.
BOOL WINAPI BitBlt(HDC hdc, int, int, int, int, HDC source, int, int, DWORD) {
    if (contextFromHandle(hdc) == nullptr || contextFromHandle(source) == nullptr) {
        setLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
