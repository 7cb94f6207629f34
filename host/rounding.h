// Rounding to the integer types, powers of ten, polynomials, and number texts
// with as many decimals as the value has, in the host's number conventions.
#ifndef TELVIO_HOST_ROUNDING_H
#define TELVIO_HOST_ROUNDING_H

#include <windows.h>

#include <stddef.h>

// floor(log10 |x|); 0 for 0; 38 beyond the float range, infinities and nan
// included.
int DecimalExponent(double x);
// 10 to the power x, as exp(x ln 10).
double PowerOfTen(double x);

// Half away from zero. Values beyond the int range give its limit and nan
// gives 0 (a conversion out of range has no defined result).
int RoundToInt(double x);
// Clamped to -32768..32767, else half away from zero; nan gives 0.
short RoundToShort(double x);
// Above 65535 gives 65535, below 0 gives 0, else halves round up; nan gives 0.
WORD RoundToWord(double x);
// Clamped to the 32-bit range, else half away from zero; nan gives 0.
LONG RoundToLong(double x);
// Above 4294967295 gives 4294967295, below 0 gives 0, else halves round up;
// nan gives 0.
DWORD RoundToDword(double x);

// c[degree] x^degree + .. + c[0] by Horner's rule; 0 for a negative degree.
double Polynomial(const double* c, int degree, double x);

// Decimals of |value| printed with 10 decimals, up to the last non-zero
// digit (0 to 10; 0 for infinities and nan).
int SignificantDecimals(double value);
// As FormatNumber, but the exponent form above 100000 and otherwise as many
// decimals as the value has, at most 6. The exponent form keeps the
// mantissa's decimals up to its last non-zero digit, at most 6. `text` holds
// NUMBER_TEXT_SIZE characters.
void FormatAutoDecimals(char* text, double value);

// Blanks the leading '-' of a number text whose digits are all 0 ("-0.00"
// becomes " 0.00"); a text without any digit is left as it is.
void BlankNegativeZero(char* text);
// BlankNegativeZero, DropLeadingZero and ApplyDecimalSeparator on the number
// text (changed in place), then TextOutA at x, y. TextOutA's result.
BOOL DrawNumber(HDC dc, int x, int y, char* text);

// a + 1, or -9 when that exceeds 10.
int StepToTen(int a);

#endif
