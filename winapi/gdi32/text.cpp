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
