// The alarm group of the setup dialogs.
#include "frame/alarmgroup.h"

#include "host/numbers.h"
#include "resource.h"

#include <math.h>

namespace {

void Enable(HWND dialog, int id, BOOL on) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, on);
}

void ShowLimit(HWND dialog, int id, double limit, double shownPer) {
    SetDlgItemTextA(dialog, id, FormatValue(limit * shownPer));
}

// The number of a limit edit, as held.
void TakeLimit(HWND dialog, int id, double* limit, double shownPer) {
    char text[64];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    double shown = ParseNumber(text);
    *limit = shownPer != 0.0 ? shown / shownPer : shown;
}

} // namespace

void ClampAlarmLimit(double* limit, double lowest, double highest) {
    if (isnan(*limit)) *limit = lowest;
    if (*limit > highest) *limit = highest;
    if (*limit < lowest) *limit = lowest;
}

void AlarmGroupShowSwitch(HWND dialog, const AlarmGroupFields* f) {
    if (!f) return;
    CheckRadioButton(dialog, IDC_ALARM_ON, IDC_ALARM_OFF, *f->on ? IDC_ALARM_ON : IDC_ALARM_OFF);
}

void AlarmGroupShow(HWND dialog, const AlarmGroupFields* f) {
    if (!f) return;
    static const int kControls[] = {IDC_ALARM_MOMENTARY, IDC_ALARM_LATCH, IDC_ALARM_HIGH,
                                    IDC_ALARM_LOW};
    BOOL on = *f->on ? TRUE : FALSE;
    for (int id : kControls)
        Enable(dialog, id, on);
    if (!on) {
        SetDlgItemTextA(dialog, IDC_ALARM_HIGH, " ---");
        SetDlgItemTextA(dialog, IDC_ALARM_LOW, " ---");
        return;
    }
    ClampAlarmLimit(f->high, f->lowest, f->highest);
    ClampAlarmLimit(f->low, f->lowest, f->highest);
    ShowLimit(dialog, IDC_ALARM_HIGH, *f->high, f->shownPer);
    ShowLimit(dialog, IDC_ALARM_LOW, *f->low, f->shownPer);
    CheckRadioButton(dialog, IDC_ALARM_MOMENTARY, IDC_ALARM_LATCH,
                     *f->latched ? IDC_ALARM_LATCH : IDC_ALARM_MOMENTARY);
}

int AlarmGroupCommand(HWND dialog, int id, int code, const AlarmGroupFields* f) {
    switch (id) {
    case IDC_ALARM_ON:
    case IDC_ALARM_OFF:
        if (code != BN_CLICKED || !f) return ALARM_GROUP_HANDLED;
        *f->on = id == IDC_ALARM_ON;
        AlarmGroupShowSwitch(dialog, f);
        AlarmGroupShow(dialog, f);
        return ALARM_GROUP_SWITCHED;
    case IDC_ALARM_MOMENTARY:
    case IDC_ALARM_LATCH:
        if (code == BN_CLICKED && f) *f->latched = id == IDC_ALARM_LATCH;
        return ALARM_GROUP_HANDLED;
    case IDC_ALARM_HIGH:
    case IDC_ALARM_LOW:
        // A limit is taken only while its edit is open for it.
        if (code != EN_KILLFOCUS || !f || !*f->on) return ALARM_GROUP_HANDLED;
        TakeLimit(dialog, id, id == IDC_ALARM_HIGH ? f->high : f->low, f->shownPer);
        AlarmGroupShow(dialog, f);
        return ALARM_GROUP_HANDLED;
    case IDC_ALARM_HIGH_UNIT:
    case IDC_ALARM_LOW_UNIT: return ALARM_GROUP_HANDLED;
    default: return ALARM_GROUP_OTHER;
    }
}
