// Times and dates as texts, and read back from texts, in the host's
// conventions: its time and date separators (the first character of
// TimeTrenn and DateTrenn), its decimal separator, its date order
// (wDateFormat as the Windows short-date order: 0 month-day-year, 1
// day-month-year, 2 year-month-day; any other value day-month-year), the
// leading zeros of day, month and hour, the long year and the 24- or
// 12-hour clock. Every text function writes at most `size` characters
// including the terminator and answers 1, or 0 with an empty text for a
// value out of range or a text that does not fit.
#ifndef TELVIO_HOST_DATETIME_H
#define TELVIO_HOST_DATETIME_H

#include <stddef.h>

// Seconds as "h:mm:ss" with `decimals` (0 to 9) decimals of the seconds after
// the decimal separator; the hours are not limited to a day, a negative
// duration gets a '-'. Rounded once, so 59.9996 s with 3 decimals gives
// "0:01:00.000".
int FormatHours(char* text, size_t size, double seconds, int decimals);
// Seconds as "m:ss", the same way.
int FormatMinutes(char* text, size_t size, double seconds, int decimals);
// 0 to 9 with a leading "0", any other number as it is, in a buffer that the
// next call overwrites.
const char* TwoDigitText(int number);

// A date from its year counted from 1900 (0 to 8099), month (1 to 12) and
// day (1 to the month's last day). A short year is its last two digits.
int FormatDate(char* text, size_t size, int year, int month, int day);
// Hours 0 to 23, minutes and seconds 0 to 59. The 12-hour clock writes 0 h
// as "12 AM" and 12 h as "12 PM" (" AM", " PM" after the seconds); minutes and
// seconds always have two digits.
int FormatTime(char* text, size_t size, int hours, int minutes, int seconds);

// Day, month and year in the host's order and separator, blanks around the
// text allowed. A year below 100 is taken in 1930..2029. The year comes back
// counted from 1900, as FormatDate takes it. 0 for anything else, the
// results left as they were.
int ParseDate(const char* text, int* year, int* month, int* day);
// Hours and minutes, optionally seconds, with the host's time separator. On
// the 12-hour clock hours run 0 to 12 and an "AM" or "PM" (any case, blanks
// before it allowed) may follow, with hours 1 to 12: "PM" adds 12 to hours
// below 12 and 12 o'clock without "PM" becomes 0. On the 24-hour clock hours
// run 0 to 23 and no suffix is taken. 0 for anything else, the results left
// as they were.
int ParseTime(const char* text, int* hours, int* minutes, int* seconds);

#endif
