// Resources read from a module's compiled .res data: the standard sequence of
// resource headers (data size, header size, type and name as ordinal or
// UTF-16 text, DWORD-aligned) each followed by its data.
#include "internal.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <set>

namespace winapi {

namespace {

unsigned rd16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
unsigned rd32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}

// One type or name field of a resource header; returns the bytes it takes,
// 0 when it runs past the end.
struct Id {
    bool ordinal = false;
    unsigned number = 0;
    std::string text; // upper case
};

unsigned readId(const unsigned char* p, unsigned avail, Id* id) {
    if (avail < 2) return 0;
    if (rd16(p) == 0xffff) {
        if (avail < 4) return 0;
        id->ordinal = true;
        id->number = rd16(p + 2);
        return 4;
    }
    unsigned n = 0;
    while (true) {
        if (2 * n + 2 > avail) return 0;
        unsigned w = rd16(p + 2 * n);
        if (w == 0) break;
        id->text += static_cast<char>(toupper(static_cast<unsigned char>(wideToAnsi(w))));
        n++;
    }
    return 2 * n + 2;
}

bool matches(const Id& id, LPCSTR want) {
    if (IS_INTRESOURCE(want))
        return id.ordinal && id.number == static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(want));
    if (want[0] == '#') return id.ordinal && id.number == static_cast<unsigned>(atoi(want + 1));
    if (id.ordinal) return false;
    if (strlen(want) != id.text.size()) return false;
    for (size_t i = 0; i < id.text.size(); i++) {
        if (toupper(static_cast<unsigned char>(want[i])) != id.text[i]) return false;
    }
    return true;
}

// Code page 1252 for 0x80..0x9F; the rest of 0x00..0xFF is Latin-1.
const unsigned short cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

char wideToAnsi(unsigned w) {
    if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) return static_cast<char>(w);
    for (unsigned i = 0; i < 32; i++) {
        if (cp1252High[i] == w) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string utf16ToAnsi(const unsigned char* p, unsigned chars) {
    std::string s;
    s.reserve(chars);
    for (unsigned i = 0; i < chars; i++)
        s += wideToAnsi(rd16(p + 2 * i));
    return s;
}

bool findResource(HINSTANCE h, LPCSTR type, LPCSTR name, ResourceData* out) {
    Module* m = moduleFromHandle(h);
    if (m == nullptr || m->res == nullptr || name == nullptr) return false;
    const unsigned char* base = m->res;
    unsigned size = m->resSize, pos = 0;
    while (pos + 8 <= size) {
        unsigned dataSize = rd32(base + pos), headerSize = rd32(base + pos + 4);
        if (headerSize < 16 || headerSize > size - pos || dataSize > size - pos - headerSize)
            return false;
        Id t, n;
        unsigned used = readId(base + pos + 8, headerSize - 8, &t);
        if (used == 0) return false;
        unsigned used2 = readId(base + pos + 8 + used, headerSize - 8 - used, &n);
        if (used2 == 0) return false;
        if (dataSize > 0 && matches(t, type) && matches(n, name)) {
            out->data = base + pos + headerSize;
            out->size = dataSize;
            return true;
        }
        pos += headerSize + dataSize;
        pos = (pos + 3) & ~3u;
    }
    return false;
}

} // namespace winapi

using namespace winapi;

// String tables are blocks of 16 counted UTF-16 strings; block n+1 holds ids
// 16n to 16n+15.
int WINAPI LoadStringA(HINSTANCE h, UINT id, LPSTR buf, int max) {
    if (buf == nullptr || max <= 0) return 0;
    buf[0] = 0;
    ResourceData r;
    if (!findResource(h, RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1), &r)) {
        setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    unsigned pos = 0;
    for (unsigned i = 0; i < 16; i++) {
        if (pos + 2 > r.size) return 0;
        unsigned len = r.data[pos] | (r.data[pos + 1] << 8);
        pos += 2;
        if (pos + 2 * len > r.size) return 0;
        if (i == (id & 15)) {
            if (len == 0) return 0;
            unsigned n =
                len < static_cast<unsigned>(max - 1) ? len : static_cast<unsigned>(max - 1);
            std::string s = utf16ToAnsi(r.data + pos, n);
            memcpy(buf, s.data(), n);
            buf[n] = 0;
            return static_cast<int>(n);
        }
        pos += 2 * len;
    }
    return 0;
}

namespace {
struct Cursor {
    int id;
};
Cursor systemCursors[4] = {{32512}, {32513}, {32514}, {32515}};
HCURSOR currentCursor = nullptr;
} // namespace

HCURSOR WINAPI LoadCursorA(HINSTANCE h, LPCSTR name) {
    if (h == nullptr && IS_INTRESOURCE(name)) {
        unsigned id = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name));
        if (id >= 32512 && id <= 32515)
            return reinterpret_cast<HCURSOR>(&systemCursors[id - 32512]);
    }
    setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR c) {
    HCURSOR old = currentCursor;
    currentCursor = c;
    return old;
}
