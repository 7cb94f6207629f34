// Times and dates in the host's conventions.
#include "host/datetime.h"
#include "host/host.h"

#include <ctype.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

char HostSeparator(HostVariableIndex variable, char fallback) {
    const char* p = HostVariable<const char*>(variable);
    return (p && *p) ? *p : fallback;
}
char TimeSeparator() {
    return HostSeparator(HV_TimeTrenn, ':');
}
char DateSeparator() {
    return HostSeparator(HV_DateTrenn, '.');
}
bool HostFlag(HostVariableIndex variable) {
    return HostVariables[variable] != 0;
}

int Fail(char* text, size_t size) {
    if (size > 0) text[0] = 0;
    return 0;
}

// snprintf that answers whether the whole text fit.
template <typename... Args> int Print(char* text, size_t size, const char* format, Args... args) {
    if (size == 0) return 0;
    int n = snprintf(text, size, format, args...);
    if (n < 0 || static_cast<size_t>(n) >= size) return Fail(text, size);
    return 1;
}

// A duration rounded once to its decimals: whole seconds and the decimals as
// an integer. 0 when it is too long to count in units of the decimals.
int SplitSeconds(double seconds, int decimals, bool* negative, uint64_t* whole, uint64_t* fraction,
                 uint64_t* scale) {
    *scale = 1;
    for (int i = 0; i < decimals; i++)
        *scale *= 10;
    double units = fabs(seconds) * static_cast<double>(*scale);
    if (!(units < 9e18)) return 0; // also nan
    uint64_t n = static_cast<uint64_t>(llround(units));
    *negative = seconds < 0 && n != 0;
    *whole = n / *scale;
    *fraction = n % *scale;
    return 1;
}

int FormatDuration(char* text, size_t size, double seconds, int decimals, bool withHours) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    bool negative;
    uint64_t whole, fraction, scale;
    if (!SplitSeconds(seconds, decimals, &negative, &whole, &fraction, &scale))
        return Fail(text, size);
    char sep = TimeSeparator();
    char head[48];
    if (withHours) {
        snprintf(head, sizeof head, "%s%llu%c%02u%c%02u", negative ? "-" : "",
                 static_cast<unsigned long long>(whole / 3600), sep,
                 static_cast<unsigned>(whole / 60 % 60), sep, static_cast<unsigned>(whole % 60));
    } else {
        snprintf(head, sizeof head, "%s%llu%c%02u", negative ? "-" : "",
                 static_cast<unsigned long long>(whole / 60), sep,
                 static_cast<unsigned>(whole % 60));
    }
    if (decimals == 0) return Print(text, size, "%s", head);
    return Print(text, size, "%s%c%0*llu", head, HostDecimalSeparator(), decimals,
                 static_cast<unsigned long long>(fraction));
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : days[month - 1];
}

bool ValidDate(int fullYear, int month, int day) {
    return fullYear >= 1900 && fullYear <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(fullYear, month);
}

// The parts of a date in the host's order: which of day, month and year
// comes first, second and third.
enum DatePart { DAY, MONTH, YEAR };
void DateOrder(DatePart order[3]) {
    switch (HostVariables[HV_wDateFormat]) {
    case 0: order[0] = MONTH, order[1] = DAY, order[2] = YEAR; break;
    case 2: order[0] = YEAR, order[1] = MONTH, order[2] = DAY; break;
    default: order[0] = DAY, order[1] = MONTH, order[2] = YEAR; break;
    }
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

// An unsigned number of 1 to maxDigits digits; the count read goes to
// *digits.
const char* ReadNumber(const char* p, int maxDigits, int* value, int* digits) {
    int n = 0, v = 0;
    while (isdigit(static_cast<unsigned char>(p[n])) && n < maxDigits) {
        v = v * 10 + (p[n] - '0');
        n++;
    }
    if (n == 0 || isdigit(static_cast<unsigned char>(p[n]))) return nullptr;
    *value = v;
    *digits = n;
    return p + n;
}

bool SameLetters(const char* p, const char* word) {
    for (; *word; p++, word++) {
        if (toupper(static_cast<unsigned char>(*p)) != *word) return false;
    }
    return true;
}

} // namespace

int FormatHours(char* text, size_t size, double seconds, int decimals) {
    return FormatDuration(text, size, seconds, decimals, true);
}

int FormatMinutes(char* text, size_t size, double seconds, int decimals) {
    return FormatDuration(text, size, seconds, decimals, false);
}

const char* TwoDigitText(int number) {
    static char buffer[16];
    snprintf(buffer, sizeof buffer, number >= 0 && number < 10 ? "0%d" : "%d", number);
    return buffer;
}

int FormatDate(char* text, size_t size, int year, int month, int day) {
    int fullYear = year + 1900;
    if (!ValidDate(fullYear, month, day)) return Fail(text, size);
    char parts[3][16];
    snprintf(parts[DAY], sizeof parts[DAY], HostFlag(HV_bDateDayLeadingZero) ? "%02d" : "%d", day);
    snprintf(parts[MONTH], sizeof parts[MONTH], HostFlag(HV_bDateMonthLeadingZero) ? "%02d" : "%d",
             month);
    if (HostFlag(HV_bDateYearLong)) {
        snprintf(parts[YEAR], sizeof parts[YEAR], "%d", fullYear);
    } else {
        snprintf(parts[YEAR], sizeof parts[YEAR], "%02d", fullYear % 100);
    }
    DatePart order[3];
    DateOrder(order);
    char sep = DateSeparator();
    return Print(text, size, "%s%c%s%c%s", parts[order[0]], sep, parts[order[1]], sep,
                 parts[order[2]]);
}

int FormatTime(char* text, size_t size, int hours, int minutes, int seconds) {
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return Fail(text, size);
    const char* suffix = "";
    if (!HostFlag(HV_bTime24h)) {
        suffix = hours < 12 ? " AM" : " PM";
        hours %= 12;
        if (hours == 0) hours = 12;
    }
    char sep = TimeSeparator();
    return Print(text, size,
                 HostFlag(HV_bTimeLeadingZero) ? "%02d%c%02d%c%02d%s" : "%d%c%02d%c%02d%s", hours,
                 sep, minutes, sep, seconds, suffix);
}

int ParseDate(const char* text, int* year, int* month, int* day) {
    if (text == nullptr) return 0;
    DatePart order[3];
    DateOrder(order);
    char sep = DateSeparator();
    int value[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
    const char* p = SkipBlanks(text);
    for (int i = 0; i < 3; i++) {
        if (i > 0) {
            if (*p != sep) return 0;
            p++;
        }
        p = ReadNumber(p, order[i] == YEAR ? 4 : 2, &value[order[i]], &digits[order[i]]);
        if (p == nullptr) return 0;
    }
    if (*SkipBlanks(p) != 0) return 0;
    int fullYear = value[YEAR];
    if (digits[YEAR] <= 2) fullYear += fullYear < 30 ? 2000 : 1900;
    if (!ValidDate(fullYear, value[MONTH], value[DAY])) return 0;
    *year = fullYear - 1900;
    *month = value[MONTH];
    *day = value[DAY];
    return 1;
}

int ParseTime(const char* text, int* hours, int* minutes, int* seconds) {
    if (text == nullptr) return 0;
    char sep = TimeSeparator();
    int h, m, s = 0, n;
    const char* p = ReadNumber(SkipBlanks(text), 2, &h, &n);
    if (p == nullptr || *p != sep) return 0;
    p = ReadNumber(p + 1, 2, &m, &n);
    if (p == nullptr) return 0;
    if (*p == sep) {
        p = ReadNumber(p + 1, 2, &s, &n);
        if (p == nullptr) return 0;
    }
    if (m > 59 || s > 59) return 0;
    p = SkipBlanks(p);
    if (HostFlag(HV_bTime24h)) {
        if (*p != 0 || h > 23) return 0;
    } else {
        bool pm = SameLetters(p, "PM");
        bool suffix = pm || SameLetters(p, "AM");
        if (suffix) p = SkipBlanks(p + 2);
        if (*p != 0 || h > 12 || (suffix && h == 0)) return 0;
        if (pm && h < 12) {
            h += 12;
        } else if (!pm && h == 12) {
            h = 0;
        }
    }
    *hours = h;
    *minutes = m;
    *seconds = s;
    return 1;
}
