// Number texts in the host's conventions, the hexadecimal fields of module
// replies, and the placing and font of the plug-in's dialogs. The C library formats and reads
// numbers with the decimal point of its locale; FormatDouble and ParsePlain turn that back into
// '.', so nothing here depends on which locale the host has set.
#include "host/numbers.h"
#include "host/driver.h"
#include "host/host.h"

#include <locale.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char* LocaleDecimalPoint() {
    const lconv* lc = localeconv();
    return (lc && lc->decimal_point && lc->decimal_point[0]) ? lc->decimal_point : ".";
}

} // namespace

// The exponent form with at least three exponent digits: "%.*e" of the C
// library gives two on some systems and three on others.
void FormatExponent(char* text, size_t size, double value, int decimals) {
    char conversion[16];
    snprintf(conversion, sizeof conversion, "%%.%de", decimals);
    char printed[64];
    FormatDouble(printed, sizeof printed, conversion, value);
    char* e = strchr(printed, 'e');
    if (e == nullptr) { // inf, nan
        snprintf(text, size, "%s", printed);
        return;
    }
    *e = 0;
    int exponent = atoi(e + 1);
    char sign = exponent < 0 ? '-' : '+';
    snprintf(text, size, "%se%c%03d", printed, sign, exponent < 0 ? -exponent : exponent);
}

int FormatDouble(char* out, size_t size, const char* conversion, double value) {
    int n = snprintf(out, size, conversion, value);
    if (size == 0) return n;
    const char* dp = LocaleDecimalPoint();
    if (strcmp(dp, ".") == 0) return n;
    char* at = strstr(out, dp);
    if (at == nullptr) return n;
    size_t dpLength = strlen(dp);
    *at = '.';
    if (dpLength > 1) memmove(at + 1, at + dpLength, strlen(at + dpLength) + 1);
    return n - static_cast<int>(dpLength - 1);
}

double ParsePlain(const char* text) {
    const char* dp = LocaleDecimalPoint();
    if (strcmp(dp, ".") == 0) return strtod(text, nullptr);
    char local[512];
    size_t dpLength = strlen(dp);
    size_t n = 0;
    for (const char* p = text; *p && n + dpLength < sizeof local; p++) {
        if (*p == '.') {
            memcpy(local + n, dp, dpLength);
            n += dpLength;
        } else {
            local[n++] = *p;
        }
    }
    local[n] = 0;
    return strtod(local, nullptr);
}

void ApplyDecimalSeparator(char* text) {
    char sep = HostDecimalSeparator();
    if (sep == '.') return;
    char* dot = strchr(text, '.');
    if (dot) *dot = sep;
}

void DropLeadingZero(char* text) {
    if (HostDecimalLeadingZero() || strlen(text) <= 2) return;
    char sep = HostDecimalSeparator();
    if (text[0] == '0' && (text[1] == '.' || text[1] == sep)) {
        text[0] = ' ';
    } else if (text[0] == '-' && text[1] == '0' && (text[2] == '.' || text[2] == sep)) {
        text[1] = ' ';
    }
}

void FormatNumber(char* text, double value, int digits) {
    // Limited both ways so the text always fits NUMBER_TEXT_SIZE.
    if (digits > 16) digits = 16;
    if (digits < -16) digits = -16;
    int decimals = digits < 0 ? -digits : digits;
    double magnitude = fabs(value);
    if (magnitude > 1000000.0 || (digits < 0 && value != 0.0 && magnitude < 0.1)) {
        FormatExponent(text, NUMBER_TEXT_SIZE, value, decimals);
    } else {
        char conversion[16];
        snprintf(conversion, sizeof conversion, "%%.%df", decimals);
        FormatDouble(text, NUMBER_TEXT_SIZE, conversion, value);
    }
    DropLeadingZero(text);
    ApplyDecimalSeparator(text);
}

double ParseNumber(char* text) {
    char sep = HostDecimalSeparator();
    for (char* p = text; *p; p++) {
        if (*p == ',' || *p == sep) *p = '.';
    }
    return ParsePlain(text);
}

const char* FormatValue(double value) {
    static char buffer[32];
    if (value != value) value = 0.0; // nan
    if (value > 99999.0 || value < -99999.0) value = value < 0 ? -99999.0 : 99999.0;
    // The value is rounded first and the width chosen by what it rounds to:
    // 99.9999 is +100.00, not the eight characters of +100.000.
    static const char* const kConversions[] = {"%+07.3f", "%+07.2f", "%+07.1f", "%+07.0f"};
    for (const char* conversion : kConversions) {
        FormatDouble(buffer, sizeof buffer, conversion, value);
        if (strlen(buffer) == 7) return buffer;
    }
    // Rounds up to 100000: the largest that fits.
    FormatDouble(buffer, sizeof buffer, "%+07.0f", value < 0 ? -99999.0 : 99999.0);
    return buffer;
}

int NearlyEqual(double a, double b, double eps) {
    return (fabs(a) + fabs(b)) * eps / 2.0 >= fabs(a - b);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

int IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int ParseHexByteAt(const char* text, size_t length, size_t at, BYTE* out) {
    if (at + 2 > length || !IsHexDigit(text[at]) || !IsHexDigit(text[at + 1])) return 0;
    *out = static_cast<BYTE>(ParseHexByte(text + at));
    return 1;
}

int ParseHexByte(const char* text) {
    if (!IsHexDigit(text[0])) return 0;
    if (text[1] == 0) return HexDigitValue(text[0]);
    if (!IsHexDigit(text[1])) return 0;
    return HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]);
}

DWORD ParseHex32(const char* text) {
    DWORD value = 0;
    for (int i = 0; i < 8 && text[i]; i++)
        value = value * 16 + static_cast<DWORD>(HexDigitValue(text[i]));
    return value;
}

void ClampInt(int* value, int low, int high) {
    if (*value < low) {
        *value = low;
    } else if (*value > high) {
        *value = high;
    }
}

int CountBits(DWORD value) {
    int n = 0;
    for (; value; value &= value - 1)
        n++;
    return n;
}

namespace {
int SameClassName(const char* a, const char* b) {
    for (;; a++, b++) {
        char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 'a' + 'A') : *a;
        char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (x != y) return 0;
        if (x == 0) return 1;
    }
}
} // namespace

HFONT CreateDialogFont(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (font == nullptr) return nullptr;
    LOGFONTA description;
    if (GetObjectA(font, sizeof description, &description) == 0) return nullptr;
    description.lfWeight = FW_NORMAL;
    return CreateStackedFontIndirect(&description);
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    char name[32];
    if (GetClassNameA(child, name, sizeof name) <= 0) name[0] = 0;
    if (!SameClassName(name, "EDIT") && !SameClassName(name, "LISTBOX") &&
        !SameClassName(name, "COMBOBOX")) {
        SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    }
    return TRUE;
}

void CenterDialog(HWND dialog, HWND parent) {
    RECT box;
    GetWindowRect(dialog, &box);
    RECT area;
    POINT centre;
    if (parent) {
        GetClientRect(parent, &area);
        centre.x = (area.right - area.left) / 2;
        centre.y = (area.bottom - area.top) / 2;
        ClientToScreen(parent, &centre);
        centre.x = static_cast<WORD>(centre.x);
        centre.y = static_cast<WORD>(centre.y);
    } else {
        GetWindowRect(GetDesktopWindow(), &area);
        centre.x = (area.right - area.left) / 2;
        centre.y = (area.bottom - area.top) / 2;
    }
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int left = centre.x - width / 2;
    int top = centre.y - height / 2;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (left + width > screenWidth) left = screenWidth - width;
    if (top + height > screenHeight) top = screenHeight - height;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    MoveWindow(dialog, left, top, width, height, FALSE);

    if (hDialogFont == nullptr) hDialogFont = CreateDialogFont(dialog);
    // Without a font the controls keep theirs.
    if (hDialogFont != nullptr)
        EnumChildWindows(dialog, SetChildFont, reinterpret_cast<LPARAM>(hDialogFont));
}
