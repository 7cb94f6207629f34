// The window manager of the headless layer: classes, windows, messages.
#ifndef WINAPI_USER32_WINDOW_H
#define WINAPI_USER32_WINDOW_H

#include "internal.h"

#include <deque>
#include <string>
#include <vector>

namespace winapi {

struct WindowClass {
    std::string name; // as registered
    WNDCLASSA wc;
    bool system = false;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    HMENU menu = nullptr;
    int id = 0;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {0, 0, 0, 0};
    LONG userData = 0;
    LONG dlgUser = 0;
    LONG msgResult = 0;
    std::vector<unsigned char> extra;
    std::vector<HWND> children; // in creation order; a pop-up's owner lists it too
    bool destroying = false;    // DestroyWindow is under way
};

Window* windowFromHandle(HWND h);
WindowClass* findClass(LPCSTR name, HINSTANCE instance);
// Registers a class that every instance sees (the standard controls).
void registerSystemClass(const char* name, WNDPROC proc, int wndExtra);
// The windows whose parent (or owner) is `parent`, in creation order; those
// without one for null. Handles: a window may go while the caller walks them.
std::vector<HWND> childrenOf(HWND parent);
// Windows made and not yet destroyed.
size_t liveWindowCount();
// Takes the first posted message that is addressed to a window.
bool takeWindowMessage(MSG* out);
// Registers the standard controls and the dialog class on first use.
void registerStandardControls();

} // namespace winapi

#endif
