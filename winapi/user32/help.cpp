// WinHelpA has no viewer here: each request is recorded for the caller.
#include "internal.h"
#include "winapi_headless.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {
std::vector<WinapiHelpCall> helpCalls;
}

BOOL WINAPI WinHelpA(HWND hwnd, LPCSTR file, UINT command, ULONG_PTR data) {
    WinapiHelpCall c;
    memset(&c, 0, sizeof c);
    c.hwnd = hwnd;
    snprintf(c.file, sizeof c.file, "%s", file ? file : "");
    c.command = command;
    c.data = data;
    helpCalls.push_back(c);
    return TRUE;
}

extern "C" int WinapiHelpCallCount(void) {
    return static_cast<int>(helpCalls.size());
}

extern "C" int WinapiHelpCallAt(int index, WinapiHelpCall* out) {
    if (index < 0 || static_cast<size_t>(index) >= helpCalls.size() || out == nullptr) return 0;
    *out = helpCalls[static_cast<size_t>(index)];
    return 1;
}

extern "C" void WinapiHelpCallsClear(void) {
    helpCalls.clear();
}
