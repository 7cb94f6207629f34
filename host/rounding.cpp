// Rounding, powers of ten, polynomials and number texts with as many decimals
// as the value has.
#include "host/rounding.h"
#include "host/numbers.h"

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

int DecimalExponent(double x) {
    double a = fabs(x);
    if (a == 0.0) return 0;
    if (!(a <= FLT_MAX)) return 38; // beyond the float range, inf, nan
    int e = static_cast<int>(floor(log10(a)));
    // log10 may land a hair off at exact powers of ten.
    if (pow(10.0, e + 1) <= a) e++;
    if (pow(10.0, e) > a) e--;
    return e;
}

double PowerOfTen(double x) {
    return exp(x * 2.30258509299404568402);
}

namespace {
// Half away from zero within the limits; nan gives 0.
double RoundClamped(double x, double low, double high) {
    if (x != x) return 0.0;
    if (x <= low) return low;
    if (x >= high) return high;
    return round(x);
}
} // namespace

int RoundToInt(double x) {
    return static_cast<int>(RoundClamped(x, INT_MIN, INT_MAX));
}

short RoundToShort(double x) {
    return static_cast<short>(RoundClamped(x, -32768.0, 32767.0));
}

WORD RoundToWord(double x) {
    // Within 0..65535 half up and half away from zero are the same.
    return static_cast<WORD>(RoundClamped(x, 0.0, 65535.0));
}

LONG RoundToLong(double x) {
    return static_cast<LONG>(RoundClamped(x, -2147483648.0, 2147483647.0));
}

DWORD RoundToDword(double x) {
    return static_cast<DWORD>(RoundClamped(x, 0.0, 4294967295.0));
}

double Polynomial(const double* c, int degree, double x) {
    if (c == nullptr || degree < 0) return 0.0;
    double r = c[degree];
    for (int i = degree - 1; i >= 0; i--)
        r = r * x + c[i];
    return r;
}

namespace {
// Decimals of a fixed-point text up to its last non-zero digit.
int DecimalsShown(const char* printed) {
    const char* point = strchr(printed, '.');
    if (point == nullptr) return 0;
    int n = static_cast<int>(strlen(point + 1));
    while (n > 0 && point[n] == '0')
        n--;
    return n;
}
} // namespace

int SignificantDecimals(double value) {
    if (!(fabs(value) <= DBL_MAX)) return 0;
    char printed[400]; // 309 integer digits at most, the point and 10 decimals
    FormatDouble(printed, sizeof printed, "%.10f", fabs(value));
    return DecimalsShown(printed);
}

void FormatAutoDecimals(char* text, double value) {
    char printed[400];
    if (fabs(value) > 100000.0) {
        FormatDouble(printed, sizeof printed, "%.6e", value);
        char* e = strchr(printed, 'e');
        if (e) *e = 0;
        FormatExponent(text, NUMBER_TEXT_SIZE, value, DecimalsShown(printed));
    } else {
        FormatDouble(printed, sizeof printed, "%.6f", value);
        char conversion[8];
        snprintf(conversion, sizeof conversion, "%%.%df", DecimalsShown(printed));
        FormatDouble(text, NUMBER_TEXT_SIZE, conversion, value);
    }
    DropLeadingZero(text);
    ApplyDecimalSeparator(text);
}

void BlankNegativeZero(char* text) {
    char* minus = text;
    while (*minus == ' ')
        minus++;
    if (*minus != '-') return;
    int digits = 0;
    for (const char* p = text; *p; p++) {
        if (*p >= '1' && *p <= '9') return;
        if (*p == '0') digits++;
    }
    if (digits > 0) *minus = ' ';
}

BOOL DrawNumber(HDC dc, int x, int y, char* text) {
    BlankNegativeZero(text);
    DropLeadingZero(text);
    ApplyDecimalSeparator(text);
    return TextOutA(dc, x, y, text, static_cast<int>(strlen(text)));
}

int StepToTen(int a) {
    return a >= 10 ? -9 : a + 1;
}
