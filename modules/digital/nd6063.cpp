// Block type ND6063: relays of the 6063 relay module. Its row is in
// table.cpp; here its request, the watchdog of its module and the dialog of
// the family TELV's three-relay module.

#include "frame/chanbar.h"
#include "frame/modwatchdog.h"
#include "frame/setupdlg.h"
#include "host/driver.h"
#include "modules/digital/digital.h"
#include "resource.h"
#include "serial/scan.h"

namespace {

// The family TELV's module has three relays, written as one hexadecimal
// digit ("@AAN"); the image goes out as the block holds it.
const int kTelvRelays = 3;

} // namespace

int ND6063_AddRequest(ModuleRecord* module, const TemplateType* type) {
    if (!FAMILY_TELV) return DigitalAddDoWrite(module, type);
    const DigitalParam* p = DigitalParamOf(module);
    DigitalRuntime8* rt = DigitalRuntime8Of(module);
    return ScanAddDo4Write6063(p->Com.Port_Number, p->Module_Address, &rt->Data_Image,
                               rt->Uses_Checksum);
}

// In the family TELV a 7063 gets the 7000-series watchdog sequence;
// elsewhere every model from 6000 up the 6000-series one.
int ND6063_Configure(ModuleRecord* module, const TemplateType* type, int model) {
    if (!FAMILY_TELV) return model >= 6000 ? DigitalWatchdog6000(module, type) : 1;
    if (model != 7063) return 1;
    WatchdogStep safe;
    DigitalSafeByte(module, &safe);
    return DigitalWatchdog7000(module, type, 0, &safe);
}

// The channel bar of the three-relay module: of the template's `buttons`
// buttons the first `keep` stay, centred in the span of all, 3 pixels apart,
// with their labels; the others and their labels are hidden.
void ND6063_LayoutChannelButtons(HWND dialog, int buttons, int keep) {
    HWND first = GetDlgItem(dialog, IDC_CHANNEL_FIRST);
    HWND last = GetDlgItem(dialog, IDC_CHANNEL_FIRST + buttons - 1);
    HWND label = GetDlgItem(dialog, IDC_DIGITAL_LABEL_FIRST);
    if (!first || !last || !label || keep < 1 || keep > buttons) return;
    RECT a, b, l;
    GetWindowRect(first, &a);
    GetWindowRect(last, &b);
    GetWindowRect(label, &l);
    POINT at = {a.left, a.top}, end = {b.right, b.bottom}, labelAt = {l.left, l.top};
    ScreenToClient(dialog, &at);
    ScreenToClient(dialog, &end);
    ScreenToClient(dialog, &labelAt);
    const int w = a.right - a.left;
    const int h = a.bottom - a.top;
    const int gap = 3;
    const int offset = (end.x - at.x - (keep * w + (keep - 1) * gap)) / 2;
    for (int k = 0; k < buttons; k++) {
        HWND button = GetDlgItem(dialog, IDC_CHANNEL_FIRST + k);
        HWND text = GetDlgItem(dialog, IDC_DIGITAL_LABEL_FIRST + k);
        if (k >= keep) {
            if (button) ShowWindow(button, SW_HIDE);
            if (text) ShowWindow(text, SW_HIDE);
            continue;
        }
        const int x = offset + k * (w + gap);
        if (button) MoveWindow(button, at.x + x, at.y, w, h, TRUE);
        if (text) {
            RECT t;
            GetWindowRect(text, &t);
            MoveWindow(text, labelAt.x + x, labelAt.y, t.right - t.left, t.bottom - t.top, TRUE);
        }
    }
}

void ND6063_InitDialog(HWND dialog, void*) {
    DigitalShowWatchdogButton(dialog,
                              DIGITAL_FAMILY(FAMILY_INDEX_ND) | DIGITAL_FAMILY(FAMILY_INDEX_TELV));
    if (FAMILY_TELV) ND6063_LayoutChannelButtons(dialog, 8, kTelvRelays);
}

int ND6063_Command(HWND dialog, void* work, int id, int code) {
    return DigitalWatchdogButton(dialog, work, id, code, FAMILY_TELV ? kTelvRelays : 8);
}
