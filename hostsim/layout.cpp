// The layout check of the dialog walk: controls a person can see and reach.
// Rectangles are the controls' own on the screen, in the dialog's client
// coordinates; a combo box counts with its closed height (its list drops
// over the controls below only while it is open). The check needs no
// template of the plug-in: a type's own layout (buttons it hides or moves
// for a family) is checked as it shows.
#include "hostsim/internal.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace hostsim {

namespace {

const int kFirstChannelButton = 23002; // channel button i: 23002 + i
const int kClosedComboUnits = 13;      // a closed combo box, in dialog units
const WORD kNotAvailable = 3;          // the channel-button state of a channel not offered

struct Placed {
    int id;
    std::string name; // the class in upper case
    std::string text;
    RECT rect;
    bool group;
};

std::string Upper(const char* text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return out;
}

struct Collecting {
    HWND dialog;
    int closedCombo;
    std::vector<Placed>* out;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM param) {
    Collecting* c = reinterpret_cast<Collecting*>(param);
    if (GetParent(control) != c->dialog) return TRUE;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!(style & WS_VISIBLE)) return TRUE;
    Placed p;
    char name[64] = "", text[128] = "";
    GetClassNameA(control, name, sizeof name);
    GetWindowTextA(control, text, sizeof text);
    p.id = static_cast<int>(static_cast<short>(GetDlgCtrlID(control)));
    p.name = Upper(name);
    p.text = text;
    GetWindowRect(control, &p.rect);
    MapWindowPoints(nullptr, c->dialog, reinterpret_cast<POINT*>(&p.rect), 2);
    if (p.name == "COMBOBOX" && p.rect.bottom - p.rect.top > c->closedCombo)
        p.rect.bottom = p.rect.top + c->closedCombo;
    p.group = p.name == "BUTTON" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    if (p.rect.right > p.rect.left && p.rect.bottom > p.rect.top) c->out->push_back(p);
    return TRUE;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::string Describe(const Placed& p) {
    char line[256];
    snprintf(line, sizeof line, "control %d %s \"%s\" (%ld,%ld to %ld,%ld)", p.id, p.name.c_str(),
             p.text.c_str(), static_cast<long>(p.rect.left), static_cast<long>(p.rect.top),
             static_cast<long>(p.rect.right), static_cast<long>(p.rect.bottom));
    return line;
}

// The channel count a text names: the number before a word, as in "ND6054
// 15 Digital Input" or "(3 Inputs)"; 0 when it names none.
int NamedChannelCount(const std::string& text) {
    for (size_t i = 0; i < text.size(); i++) {
        if (!isdigit(static_cast<unsigned char>(text[i]))) continue;
        bool starts = i == 0 || text[i - 1] == ' ' || text[i - 1] == '(';
        size_t end = i;
        while (end < text.size() && isdigit(static_cast<unsigned char>(text[end])))
            end++;
        if (starts && end < text.size() && text[end] == ' ' && end + 1 < text.size() &&
            isalpha(static_cast<unsigned char>(text[end + 1])) && end - i <= 2)
            return atoi(text.c_str() + i);
        i = end;
    }
    return 0;
}

} // namespace

int CheckDialogLayout(HWND dialog, const std::string& where, const std::string& description,
                      FILE* report) {
    RECT combo = {0, 0, 0, kClosedComboUnits};
    MapDialogRect(dialog, &combo);
    std::vector<Placed> controls;
    Collecting c = {dialog, combo.bottom, &controls};
    EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&c));
    RECT client;
    GetClientRect(dialog, &client);
    int faults = 0;
    auto fault = [&](const std::string& what) {
        faults++;
        if (report) fprintf(report, "layout fault: %s: %s\n", where.c_str(), what.c_str());
    };
    for (size_t i = 0; i < controls.size(); i++) {
        const Placed& a = controls[i];
        if (!Inside(a.rect, client)) fault(Describe(a) + " lies outside the dialog");
        for (size_t j = i + 1; j < controls.size(); j++) {
            const Placed& b = controls[j];
            if (!Overlap(a.rect, b.rect)) continue;
            if (a.group && Inside(b.rect, a.rect)) continue;
            if (b.group && Inside(a.rect, b.rect)) continue;
            if (a.group || b.group) {
                const Placed& box = a.group ? a : b;
                const Placed& other = a.group ? b : a;
                fault(Describe(other) + " runs through the edge of group box " + Describe(box));
            } else {
                fault(Describe(a) + " and " + Describe(b) + " overlap");
            }
        }
    }
    // A channel button the bar offers (any state but 3, not available)
    // stands for a channel of the module: no more of them than it has.
    int named = NamedChannelCount(description);
    if (named > 0) {
        int offered = 0;
        for (const Placed& p : controls)
            offered += p.id >= kFirstChannelButton && p.id < kFirstChannelButton + 16 &&
                       GetWindowWord(GetDlgItem(dialog, p.id), 0) != kNotAvailable;
        if (offered > named)
            fault("offers " + std::to_string(offered) + " channel buttons for \"" + description +
                  "\"");
    }
    return faults;
}

} // namespace hostsim
