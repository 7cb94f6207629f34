// GDI objects as plain records: stock objects, bitmaps loaded from the
// resources (size and colour depth only; nothing is drawn headless), and the
// fonts of gdi32/font.cpp.
#include "internal.h"

#include <string.h>

#include <set>

namespace winapi {
namespace {
struct GdiObject {
    int kind; // 1 brush, 2 pen, 3 font, 4 bitmap
    int stock;
    BITMAP bm;
};
GdiObject stockObjects[20];
// The system's table of bitmaps: a bitmap nobody deletes stays in it until
// the process ends, as on Windows, so the table is never destroyed.
std::set<GdiObject*>& bitmaps = *new std::set<GdiObject*>;
// The one-pixel monochrome bitmap a new memory context has selected.
GdiObject defaultBitmap = {GDI_BITMAP, 1, {0, 1, 1, 2, 1, 1, nullptr}};

unsigned rd16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
unsigned rd32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}
} // namespace

int gdiObjectKind(HGDIOBJ h) {
    if (h == nullptr) return 0;
    LOGFONTA font;
    if (fontDescription(h, &font)) return GDI_FONT;
    GdiObject* o = static_cast<GdiObject*>(h);
    if (o == &defaultBitmap || bitmaps.count(o)) return GDI_BITMAP;
    if (o >= stockObjects && o < stockObjects + 20 && o->stock) return o->kind;
    return 0;
}

HGDIOBJ gdiDefaultObject(int kind) {
    switch (kind) {
    case GDI_BRUSH: return GetStockObject(WHITE_BRUSH);
    case GDI_PEN: return GetStockObject(BLACK_PEN);
    case GDI_FONT: return GetStockObject(SYSTEM_FONT);
    case GDI_BITMAP: return &defaultBitmap;
    default: return nullptr;
    }
}

} // namespace winapi

using namespace winapi;

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i >= 20) return nullptr;
    GdiObject& o = stockObjects[i];
    o.stock = 1;
    o.kind = i <= NULL_BRUSH ? 1 : (i <= NULL_PEN ? 2 : 3);
    return &o;
}

// A bitmap resource is a BITMAPINFOHEADER, its colour table and the pixels.
HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    ResourceData r;
    if (!findResource(instance, RT_BITMAP, name, &r) || r.size < 40 || rd32(r.data) < 40) {
        setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    GdiObject* o = new GdiObject;
    memset(o, 0, sizeof *o);
    o->kind = 4;
    o->bm.bmWidth = static_cast<LONG>(rd32(r.data + 4));
    LONG h = static_cast<LONG>(rd32(r.data + 8));
    o->bm.bmHeight = h < 0 ? -h : h;
    o->bm.bmPlanes = static_cast<WORD>(rd16(r.data + 12));
    o->bm.bmBitsPixel = static_cast<WORD>(rd16(r.data + 14));
    o->bm.bmWidthBytes = ((o->bm.bmWidth * o->bm.bmBitsPixel + 15) / 16) * 2;
    bitmaps.insert(o);
    return reinterpret_cast<HBITMAP>(o);
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    GdiObject* o = static_cast<GdiObject*>(h);
    if (bitmaps.erase(o)) {
        delete o;
        return TRUE;
    }
    if (deleteFont(h)) return TRUE;
    return h != nullptr;
}

int WINAPI GetObjectA(HANDLE h, int size, LPVOID out) {
    LOGFONTA font;
    if (fontDescription(h, &font)) {
        // As much of the description as the buffer takes.
        if (out == nullptr || size <= 0) return 0;
        int n = size < static_cast<int>(sizeof font) ? size : static_cast<int>(sizeof font);
        memcpy(out, &font, static_cast<size_t>(n));
        return n;
    }
    GdiObject* o = static_cast<GdiObject*>(h);
    if ((!bitmaps.count(o) && o != &defaultBitmap) || out == nullptr ||
        size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    memcpy(out, &o->bm, sizeof(BITMAP));
    return sizeof(BITMAP);
}
