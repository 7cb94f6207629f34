// Engineering, positional and radix texts of numbers. The decimal texts
// follow the host's number conventions (decimal separator, leading zero);
// every function writes at most `size` characters including the terminator
// and answers 1 when the whole text fit, else 0 with what it says below.
#ifndef TELVIO_HOST_NOTATION_H
#define TELVIO_HOST_NOTATION_H

#include <windows.h>

#include <stddef.h>

// Widest engineering text.
#define ENGINEERING_WIDTH_MAX 25
// Size of a text that holds any positional text of a double.
#define POSITIONAL_TEXT_SIZE 352

enum Notation {
    NOTATION_FIXED = 0,       // plain decimals: "1234.50"
    NOTATION_SCIENTIFIC = 1,  // mantissa 1..10 and power of ten: "1.23450e+003"
    NOTATION_ENGINEERING = 2, // exponent a multiple of three, mantissa below 1000: "1.23450e+003"
};

// `value` with |digits| decimals in the notation, the exponent written with a
// sign and at least three digits as in every exponent form of the plug-in.
// When the text is wider than `width` (1 to ENGINEERING_WIDTH_MAX) the
// decimals are given up one by one; when it still does not fit the host's
// string 23019 (overflow) stands instead, as it does for magnitudes beyond
// the float range. Non-zero magnitudes below the float range show string
// 23020 (underflow), nan shows string 23018 (invalid). A host string is cut
// to the width and answers 0.
int FormatEngineering(char* text, size_t size, double value, int digits, int width, int notation);

// FormatNumber for a value of 0 or of a magnitude strictly between `low` and
// `high`, the engineering notation otherwise. The width is limited to
// ENGINEERING_WIDTH_MAX, the digits to 16 and to width - 2.
int FormatRanged(char* text, size_t size, double value, int digits, int width, double low,
                 double high);
// The same with FormatAutoDecimals inside the bounds.
int FormatRangedAuto(char* text, size_t size, double value, int digits, int width, double low,
                     double high);

// The value in plain positional notation from its 20 significant digits,
// without trailing zeros after the separator ("1e25" gives
// "10000000000000000906000000"). Infinities and nan give an empty text and 0.
int FormatPositional(char* text, size_t size, double value);

// The last `digits` hexadecimal (upper case, at most 8), octal (at most 11)
// or binary (at most 32) digits of the value; a count below 1 gives an empty
// text. A text that does not fit `size` is left empty.
int FormatHex(char* text, size_t size, DWORD value, int digits);
int FormatOctal(char* text, size_t size, DWORD value, int digits);
int FormatBinary(char* text, size_t size, DWORD value, int digits);

#endif
