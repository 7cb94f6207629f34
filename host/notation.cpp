// Engineering, positional and radix texts.
#include "host/notation.h"
#include "host/host.h"
#include "host/numbers.h"
#include "host/rounding.h"

#include <float.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The host's texts for values that cannot be shown.
const UINT kInvalidString = 23018;
const UINT kOverflowString = 23019;
const UINT kUnderflowString = 23020;

int Fail(char* text, size_t size) {
    if (size > 0) text[0] = 0;
    return 0;
}

int CopyWhole(char* text, size_t size, const char* from) {
    size_t n = strlen(from);
    if (n + 1 > size) return Fail(text, size);
    memcpy(text, from, n + 1);
    return 1;
}

// A host string in place of the value, cut to the width.
int HostString(char* text, size_t size, UINT id, int width) {
    if (size == 0) return 0;
    char s[ENGINEERING_WIDTH_MAX + 1];
    if (LoadStringA(HostInstance(), id, s, sizeof s) <= 0) s[0] = 0;
    size_t n = strlen(s);
    if (n > static_cast<size_t>(width)) n = static_cast<size_t>(width);
    if (n + 1 > size) n = size - 1;
    memcpy(text, s, n);
    text[n] = 0;
    return 0;
}

// One rendering with `decimals` decimals, '.' as the point.
void Render(char* out, size_t size, double value, int decimals, int notation) {
    char conversion[16];
    if (notation == NOTATION_FIXED) {
        snprintf(conversion, sizeof conversion, "%%.%df", decimals);
        FormatDouble(out, size, conversion, value);
        return;
    }
    if (notation == NOTATION_SCIENTIFIC || value == 0.0) {
        FormatExponent(out, size, value, decimals);
        return;
    }
    int exponent = DecimalExponent(value);
    exponent -= ((exponent % 3) + 3) % 3;
    double mantissa = value / pow(10.0, exponent);
    // Rounding may carry the mantissa to 1000: the next multiple of three.
    char printed[64];
    snprintf(conversion, sizeof conversion, "%%.%df", decimals);
    FormatDouble(printed, sizeof printed, conversion, mantissa);
    if (fabs(atof(printed)) >= 1000.0) {
        exponent += 3;
        mantissa = value / pow(10.0, exponent);
        FormatDouble(printed, sizeof printed, conversion, mantissa);
    }
    snprintf(out, size, "%se%c%03d", printed, exponent < 0 ? '-' : '+', abs(exponent));
}

int FormatRangedWith(char* text, size_t size, double value, int digits, int width, double low,
                     double high, bool automatic) {
    if (width < 1) width = 1;
    if (width > ENGINEERING_WIDTH_MAX) width = ENGINEERING_WIDTH_MAX;
    if (digits > 16) digits = 16;
    int limit = width > 2 ? width - 2 : 0;
    if (digits > limit) digits = limit;
    double magnitude = fabs(value);
    if (value == 0.0 || (low < magnitude && magnitude < high)) {
        char number[NUMBER_TEXT_SIZE];
        if (automatic) {
            FormatAutoDecimals(number, value);
        } else {
            FormatNumber(number, value, digits);
        }
        return CopyWhole(text, size, number);
    }
    return FormatEngineering(text, size, value, digits, width, NOTATION_ENGINEERING);
}

int FormatRadix(char* text, size_t size, DWORD value, int digits, int maxDigits, int bits) {
    if (digits > maxDigits) digits = maxDigits;
    if (digits < 0) digits = 0;
    if (static_cast<size_t>(digits) + 1 > size) return Fail(text, size);
    const char* symbols = "0123456789ABCDEF";
    DWORD mask = (1u << bits) - 1;
    for (int i = digits - 1; i >= 0; i--) {
        text[i] = symbols[value & mask];
        value >>= bits;
    }
    text[digits] = 0;
    return 1;
}

} // namespace

int FormatEngineering(char* text, size_t size, double value, int digits, int width, int notation) {
    if (width < 1) width = 1;
    if (width > ENGINEERING_WIDTH_MAX) width = ENGINEERING_WIDTH_MAX;
    if (digits < 0) digits = -digits;
    if (digits > 16) digits = 16;
    double magnitude = fabs(value);
    if (value != value) return HostString(text, size, kInvalidString, width);
    if (magnitude > FLT_MAX) return HostString(text, size, kOverflowString, width);
    if (magnitude != 0.0 && magnitude < FLT_MIN)
        return HostString(text, size, kUnderflowString, width);
    for (int decimals = digits; decimals >= 0; decimals--) {
        char rendered[64];
        Render(rendered, sizeof rendered, value, decimals, notation);
        if (strlen(rendered) <= static_cast<size_t>(width)) {
            DropLeadingZero(rendered);
            ApplyDecimalSeparator(rendered);
            return CopyWhole(text, size, rendered);
        }
    }
    return HostString(text, size, kOverflowString, width);
}

int FormatRanged(char* text, size_t size, double value, int digits, int width, double low,
                 double high) {
    return FormatRangedWith(text, size, value, digits, width, low, high, false);
}

int FormatRangedAuto(char* text, size_t size, double value, int digits, int width, double low,
                     double high) {
    return FormatRangedWith(text, size, value, digits, width, low, high, true);
}

int FormatPositional(char* text, size_t size, double value) {
    if (!(fabs(value) <= DBL_MAX)) return Fail(text, size);
    // 20 significant digits and the power of ten of the first.
    char printed[64];
    FormatDouble(printed, sizeof printed, "%.19e", fabs(value));
    char digits[21];
    digits[0] = printed[0];
    memcpy(digits + 1, printed + 2, 19);
    digits[20] = 0;
    int exponent = atoi(strchr(printed, 'e') + 1);

    char out[POSITIONAL_TEXT_SIZE + 8];
    size_t n = 0;
    bool zero = strspn(digits, "0") == 20;
    if (value < 0 && !zero) out[n++] = '-';
    if (exponent >= 19) {
        memcpy(out + n, digits, 20);
        n += 20;
        for (int i = 19; i < exponent; i++)
            out[n++] = '0';
    } else if (exponent >= 0) {
        memcpy(out + n, digits, static_cast<size_t>(exponent) + 1);
        n += static_cast<size_t>(exponent) + 1;
        out[n++] = '.';
        memcpy(out + n, digits + exponent + 1, static_cast<size_t>(19 - exponent));
        n += static_cast<size_t>(19 - exponent);
    } else {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = -1; i > exponent; i--)
            out[n++] = '0';
        memcpy(out + n, digits, 20);
        n += 20;
    }
    out[n] = 0;
    // No trailing zeros after the point, and no point without decimals.
    if (strchr(out, '.')) {
        while (n > 0 && out[n - 1] == '0')
            out[--n] = 0;
        if (n > 0 && out[n - 1] == '.') out[--n] = 0;
    }
    DropLeadingZero(out);
    ApplyDecimalSeparator(out);
    return CopyWhole(text, size, out);
}

int FormatHex(char* text, size_t size, DWORD value, int digits) {
    return FormatRadix(text, size, value, digits, 8, 4);
}

int FormatOctal(char* text, size_t size, DWORD value, int digits) {
    return FormatRadix(text, size, value, digits, 11, 3);
}

int FormatBinary(char* text, size_t size, DWORD value, int digits) {
    return FormatRadix(text, size, value, digits, 32, 1);
}
