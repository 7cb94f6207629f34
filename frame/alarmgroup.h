// The alarm group of the setup dialogs of the input types whose modules
// drive alarm outputs: the on/off radio buttons, the momentary/latch mode,
// the high and low limit edits and their unit labels (the control ids
// IDC_ALARM_* of resource.h). The dialog hands the group the fields of the
// alarm it shows (the working copy's, of the current channel where the
// alarms are per channel).
#ifndef TELVIO_FRAME_ALARMGROUP_H
#define TELVIO_FRAME_ALARMGROUP_H

#include <windows.h>

// One alarm as the dialog edits it.
struct AlarmGroupFields {
    BOOL* on;      // the module drives its alarm output
    BOOL* latched; // 1 latched, 0 momentary
    double* high;  // the limits, as held in the record
    double* low;
    double lowest; // the range the limits are clamped to, as held
    double highest;
    double shownPer; // the limit shown is the held one times this (1, or 1000 for mV held in V)
};

// A limit limited to the range: above the highest becomes the highest, then
// below the lowest the lowest; a limit that is no number becomes the lowest.
void ClampAlarmLimit(double* limit, double lowest, double highest);

// The on/off radio buttons by the alarm's state; nothing without fields.
void AlarmGroupShowSwitch(HWND dialog, const AlarmGroupFields* f);
// With the alarm on: the mode radios and the limit edits enabled, both limits
// clamped in place and shown (FormatValue), the mode's radio checked. With it
// off: those controls disabled and both edits " ---". Without fields
// nothing changes.
void AlarmGroupShow(HWND dialog, const AlarmGroupFields* f);

// The dialog's WM_COMMAND of the group's controls.
enum {
    ALARM_GROUP_OTHER = 0,    // not a control of the group
    ALARM_GROUP_HANDLED = 1,  // handled (also: a control of the group without fields)
    ALARM_GROUP_SWITCHED = 2, // the alarm was switched on or off and the group shown again
};
// On and off set the alarm and show the group again; the mode radios set the
// mode; a limit edit that loses the focus stores its number (as shown, so
// divided by shownPer) and shows the group again, clamped. Without fields
// (no channel current) a control of the group changes nothing.
int AlarmGroupCommand(HWND dialog, int id, int code, const AlarmGroupFields* f);

#endif
