// The host's global variables, as far as the plug-in reads them: their
// values, their syntax in an edit ("GV7" for variable 7) and the menu of
// variables an edit offers.
#include "hostsim/internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>

namespace hostsim {

namespace {

struct Globals {
    std::map<int, double> values;
    std::vector<int> menus; // controls given the variables' menu
};

Globals& G() {
    static Globals g;
    return g;
}

const char kPrefix[] = "GV";

} // namespace

void SetGlobalVariable(int number, double value) {
    G().values[number] = value;
}

const std::vector<int>& GlobalVariableMenus() {
    return G().menus;
}

void ResetGlobals() {
    G() = Globals();
}

int WINAPI HostGlVar_Get(WORD number, double* value) {
    auto it = G().values.find(number);
    if (it == G().values.end() || value == nullptr) return 0;
    *value = it->second;
    return 1;
}

int WINAPI HostGlVar_SetSyntax(char* buffer, WORD number) {
    if (buffer == nullptr) return 0;
    sprintf(buffer, "%s%u", kPrefix, static_cast<unsigned>(number));
    return 1;
}

int WINAPI HostExpandVarNumber(const char* text, int length, WORD* number) {
    if (text == nullptr || number == nullptr || length <= 0) return 0;
    size_t n = strnlen(text, static_cast<size_t>(length));
    size_t prefix = sizeof kPrefix - 1;
    if (n <= prefix || strncmp(text, kPrefix, prefix) != 0) return 0;
    unsigned value = 0;
    for (size_t i = prefix; i < n; i++) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFF) return 0;
    }
    if (value == 0) return 0;
    *number = static_cast<WORD>(value);
    return 1;
}

int WINAPI HostSetMenuForGlobalVars(HWND, int controlId) {
    G().menus.push_back(controlId);
    return 1;
}

} // namespace hostsim
