// Numbers as the user sees them, in the host's conventions (decimal separator
// and leading zero), hexadecimal fields of module replies, and the placing
// and font of the plug-in's dialogs. Formatting and parsing never depend on
// the C library's locale.
#ifndef TELVIO_HOST_NUMBERS_H
#define TELVIO_HOST_NUMBERS_H

#include <windows.h>

#include <stddef.h>

// Size of a text that FormatNumber fills; every result fits (the decimals are
// limited to 16 and values above 1e6 take the exponent form).
#define NUMBER_TEXT_SIZE 32

// `value` with `digits` decimals (at most 16); a negative count asks for as
// many decimals as its magnitude and takes the exponent form below 0.1.
// Values beyond 1e6 take the exponent form, written with at least three
// exponent digits ("2,5e+006"). `text` holds NUMBER_TEXT_SIZE characters.
void FormatNumber(char* text, double value, int digits);

// Every ',' and every host decimal separator become '.', then the leading
// number of the text is read (0 when there is none).
double ParseNumber(char* text);

// With a host separator other than '.', the first '.' becomes it.
void ApplyDecimalSeparator(char* text);

// Unless the host keeps leading zeros: "0.5" becomes " .5", "-0.5" "- .5".
void DropLeadingZero(char* text);

// The value with sign in 7 characters ("%+07.3f" .. "%+07.0f" by the
// magnitude it rounds to, so 99.9999 gives +100.00), in one driver-wide
// buffer that the next call overwrites. Magnitudes from 99999.5 on are
// limited to +99999 and -99999.
const char* FormatValue(double value);

// 1 when (|a| + |b|) * eps / 2 >= |a - b|.
int NearlyEqual(double a, double b, double eps);

// 0..15 for '0'..'9' and 'A'..'F', 0 for anything else (lower case too).
int HexDigitValue(char c);
// 1 for '0'..'9' and 'A'..'F'.
int IsHexDigit(char c);
// The byte of the two upper-case hexadecimal digits at `at` of a text of
// `length` characters; 0 when the text ends before them or one is no such
// digit.
int ParseHexByteAt(const char* text, size_t length, size_t at, BYTE* out);
// The byte of the first two characters ("7F" 127; "7" alone 7; a character
// other than 0-9, A-F gives 0).
int ParseHexByte(const char* text);
// Up to 8 hexadecimal digits, an invalid one counting as 0.
DWORD ParseHex32(const char* text);

int CountBits(DWORD value);

// Limits *value to low..high.
void ClampInt(int* value, int low, int high);

// Centres the dialog over the parent's client area (over the screen without
// a parent), keeps it on screen, and gives its controls the shared dialog
// font; called when every dialog of the plug-in starts.
void CenterDialog(HWND dialog, HWND parent);
// The dialog's font with normal weight, made through the host; 0 when the
// dialog has none.
HFONT CreateDialogFont(HWND dialog);
// EnumChildWindows callback: the font for every child but edit fields, list
// boxes and combo boxes.
BOOL CALLBACK SetChildFont(HWND child, LPARAM font);

// One printf conversion of a double ("%.2f", "%+07.3f", "%.3e") into a
// bounded buffer, with '.' as the decimal point whatever the C locale; the
// conversion is the whole format. The result of snprintf.
int FormatDouble(char* out, size_t size, const char* conversion, double value);
// `value` in the exponent form with `decimals` decimals and at least three
// exponent digits ("2.5e+006"), '.' as the decimal point; "inf" and "nan" as
// they are.
void FormatExponent(char* text, size_t size, double value, int decimals);
// strtod with '.' as the decimal point whatever the C locale.
double ParsePlain(const char* text);

#endif
