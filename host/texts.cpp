// Parts of texts, escapes and the final backslash of a folder.
#include "host/texts.h"

#include <string.h>

namespace {

int OctalDigit(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The character of a one-letter escape, 0 for none.
char SimpleEscape(char c) {
    switch (c) {
    case '"': return '"';
    case ',': return ',';
    case '?': return '?';
    case '\\': return '\\';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return 0;
    }
}

// The escape at p (just after its backslash): its value and length, or -1.
int Escape(const char* p, int* length) {
    char simple = SimpleEscape(p[0]);
    if (simple) {
        *length = 1;
        return static_cast<unsigned char>(simple);
    }
    if (OctalDigit(p[0]) >= 0 && OctalDigit(p[1]) >= 0 && OctalDigit(p[2]) >= 0) {
        int v = OctalDigit(p[0]) * 64 + OctalDigit(p[1]) * 8 + OctalDigit(p[2]);
        if (v > 255) return -1;
        *length = 3;
        return v;
    }
    if ((p[0] == 'x' || p[0] == 'X') && HexDigit(p[1]) >= 0 && HexDigit(p[2]) >= 0) {
        *length = 3;
        return HexDigit(p[1]) * 16 + HexDigit(p[2]);
    }
    return -1;
}

} // namespace

int CopySubstring(char* out, size_t size, const char* text, int offset, int count) {
    if (size == 0) return 0;
    out[0] = 0;
    if (text == nullptr || offset < 0 || count < 0) return 0;
    size_t length = strlen(text);
    if (static_cast<size_t>(offset) >= length) return 0;
    size_t n = length - static_cast<size_t>(offset);
    if (n > static_cast<size_t>(count)) n = static_cast<size_t>(count);
    if (n > size - 1) n = size - 1;
    memmove(out, text + offset, n);
    out[n] = 0;
    return static_cast<int>(n);
}

int DecodeEscapes(char* out, size_t size, const char* text) {
    if (size == 0) return 0;
    size_t n = 0;
    const char* p = text;
    // Decoding never lengthens the text, so writing at n never overtakes p
    // when out is text itself.
    while (*p) {
        int value = static_cast<unsigned char>(*p);
        int length = 0;
        if (*p == '\\') {
            int escaped = Escape(p + 1, &length);
            if (escaped >= 0) {
                value = escaped;
                length++;
            } else {
                length = 0;
            }
        }
        if (value == 0) break;
        if (n + 1 >= size) {
            out[n] = 0;
            return 0;
        }
        out[n++] = static_cast<char>(value);
        p += length ? length : 1;
    }
    out[n] = 0;
    return 1;
}

int InsertAtFront(char* text, size_t size, const char* front) {
    size_t a = strlen(front), b = strlen(text);
    if (a + b + 1 > size) return 0;
    memmove(text + a, text, b + 1);
    memcpy(text, front, a);
    return 1;
}

int AddBackslash(char* path, size_t size) {
    size_t n = strlen(path);
    if (n < 2 || path[n - 1] == '\\') return 1;
    if (n + 2 > size) return 0;
    path[n] = '\\';
    path[n + 1] = 0;
    return 1;
}

void RemoveBackslash(char* path) {
    size_t n = strlen(path);
    if (n >= 2 && path[n - 1] == '\\') path[n - 1] = 0;
}
