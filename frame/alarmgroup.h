// The alarm group of a setup dialog (ids in resources/alarm.h): the alarm's
// On and Off radios, its high and low limit with their unit labels, and the
// Momentary and Latch radios; with the clamp of a limit to the bounds of its
// range.
#ifndef TELVIO_FRAME_ALARMGROUP_H
#define TELVIO_FRAME_ALARMGROUP_H

#include <windows.h>

// The bounds both limits of a range are clamped to.
struct AlarmBounds {
    double low;
    double high;
};

// A limit above the upper bound becomes the upper bound; then one below the
// lower bound becomes the lower bound.
void AlarmClampLimit(double* limit, const AlarmBounds* bounds);

// The On and Off radios.
void AlarmGroupShowOn(HWND dialog, int on);
// With the alarm on: both limits clamped in place to `bounds` (none: not
// clamped), shown times `scale` (the factor from the held value to the unit
// the user types) with FormatValue, and the Latch or the Momentary radio
// checked; the limits and radios enabled. With the alarm off: " ---" in
// both limits, all four disabled. What an experiment locks is the type's
// (AlarmGroupLock).
void AlarmGroupShow(HWND dialog, int on, int latched, double* high, double* low,
                    const AlarmBounds* bounds, double scale);
// The unit beside both limits.
void AlarmGroupShowUnits(HWND dialog, const char* unit);
// The number typed into a limit edit, divided by `scale`.
double AlarmGroupReadLimit(HWND dialog, int id, double scale);
// Disables the group's controls (while an experiment runs).
void AlarmGroupLock(HWND dialog);

#endif
