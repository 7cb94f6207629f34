// The alarm group of a setup dialog.
#include "frame/alarmgroup.h"

#include "host/numbers.h"
#include "resource.h"

#include <stdio.h>

namespace {

void Enable(HWND dialog, int id, int on) {
    HWND control = GetDlgItem(dialog, id);
    if (control) EnableWindow(control, on ? TRUE : FALSE);
}

void ShowLimit(HWND dialog, int id, double value) {
    char text[NUMBER_TEXT_SIZE];
    snprintf(text, sizeof text, "%s", FormatValue(value));
    SetDlgItemTextA(dialog, id, text);
}

const int kGroup[] = {IDC_ALARM_ON,  IDC_ALARM_OFF,       IDC_ALARM_HIGH,
                      IDC_ALARM_LOW, IDC_ALARM_MOMENTARY, IDC_ALARM_LATCH};

} // namespace

void AlarmClampLimit(double* limit, const AlarmBounds* bounds) {
    if (!limit || !bounds) return;
    if (*limit != *limit) *limit = bounds->low; // not a number
    if (*limit > bounds->high) *limit = bounds->high;
    if (*limit < bounds->low) *limit = bounds->low;
}

void AlarmGroupShowOn(HWND dialog, int on) {
    CheckDlgButton(dialog, IDC_ALARM_ON, on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ALARM_OFF, on ? BST_UNCHECKED : BST_CHECKED);
}

void AlarmGroupShow(HWND dialog, int on, int latched, double* high, double* low,
                    const AlarmBounds* bounds, double scale) {
    Enable(dialog, IDC_ALARM_MOMENTARY, on);
    Enable(dialog, IDC_ALARM_LATCH, on);
    Enable(dialog, IDC_ALARM_HIGH, on);
    Enable(dialog, IDC_ALARM_LOW, on);
    if (!on) {
        SetDlgItemTextA(dialog, IDC_ALARM_HIGH, " ---");
        SetDlgItemTextA(dialog, IDC_ALARM_LOW, " ---");
        return;
    }
    AlarmClampLimit(high, bounds);
    AlarmClampLimit(low, bounds);
    ShowLimit(dialog, IDC_ALARM_HIGH, *high * scale);
    ShowLimit(dialog, IDC_ALARM_LOW, *low * scale);
    CheckDlgButton(dialog, IDC_ALARM_LATCH, latched ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_ALARM_MOMENTARY, latched ? BST_UNCHECKED : BST_CHECKED);
}

void AlarmGroupShowUnits(HWND dialog, const char* unit) {
    SetDlgItemTextA(dialog, IDC_ALARM_HIGH_UNIT, unit ? unit : "");
    SetDlgItemTextA(dialog, IDC_ALARM_LOW_UNIT, unit ? unit : "");
}

double AlarmGroupReadLimit(HWND dialog, int id, double scale) {
    char text[NUMBER_TEXT_SIZE];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    double value = ParseNumber(text);
    return scale != 0.0 ? value / scale : value;
}

void AlarmGroupLock(HWND dialog) {
    for (int id : kGroup)
        Enable(dialog, id, 0);
}
