// The host's units: the list a unit combo box of a setup dialog offers.
#include "hostsim/internal.h"

namespace hostsim {

namespace {

const char* const kUnits[] = {
    "\260C", "\260F", "K", "mV", "V", "mA", "A", "Ohm", "%", "Hz", "bar", "Pa",
};

} // namespace

// The box gets the host's units; the given unit is selected when it is one
// of them, otherwise it stands in the box's edit field (a list-only box
// gets it as an entry of its own).
int WINAPI HostFillUnitList(HWND dialog, int comboId, const char* unit) {
    HWND box = GetDlgItem(dialog, comboId);
    if (box == nullptr) return 0;
    const char* shown = unit ? unit : "";
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const char* u : kUnits)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
    LRESULT found = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(shown));
    if (found >= 0) {
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return 1;
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if ((GetWindowLongA(box, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        if (shown[0] == 0) return 1;
        LRESULT added = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown));
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(added), 0);
    } else {
        SetWindowTextA(box, shown);
    }
    return 1;
}

} // namespace hostsim
