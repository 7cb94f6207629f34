// Fonts as plain records: CreateFontIndirectA keeps the description it was
// given, GetObjectA answers it, DeleteObject frees it. Nothing is drawn
// headless, so a font has no metrics of its own.
#include "internal.h"

#include <string.h>

#include <set>

namespace winapi {
namespace {
struct FontObject {
    LOGFONTA description;
};
std::set<FontObject*> fonts;
} // namespace

bool fontDescription(HGDIOBJ h, LOGFONTA* out) {
    FontObject* f = static_cast<FontObject*>(h);
    if (!fonts.count(f)) return false;
    *out = f->description;
    return true;
}

bool deleteFont(HGDIOBJ h) {
    FontObject* f = static_cast<FontObject*>(h);
    if (!fonts.erase(f)) return false;
    delete f;
    return true;
}

int liveFonts() {
    return static_cast<int>(fonts.size());
}

} // namespace winapi

using namespace winapi;

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* description) {
    if (description == nullptr) {
        setLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    FontObject* f = new FontObject;
    f->description = *description;
    // The face name is a text of at most LF_FACESIZE - 1 characters.
    f->description.lfFaceName[LF_FACESIZE - 1] = 0;
    fonts.insert(f);
    return reinterpret_cast<HFONT>(f);
}
