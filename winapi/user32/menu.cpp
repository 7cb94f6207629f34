// Menus as trees of items; LoadMenuA reads the standard menu template.
#include "internal.h"

#include <string.h>

#include <memory>
#include <set>

namespace winapi {
namespace {

struct Menu;
struct MenuItem {
    UINT flags = 0;
    UINT id = 0;
    std::string text;
    Menu* sub = nullptr;
};
struct Menu {
    std::vector<MenuItem> items;
};

// The system's table of menus: a menu nobody destroys stays in it until the
// process ends, as on Windows, so the table is never destroyed.
std::set<Menu*>& menus = *new std::set<Menu*>;

Menu* menuFromHandle(HMENU h) {
    Menu* m = reinterpret_cast<Menu*>(h);
    return menus.count(m) ? m : nullptr;
}

Menu* newMenu() {
    Menu* m = new Menu;
    menus.insert(m);
    return m;
}

void freeMenu(Menu* m) {
    for (MenuItem& it : m->items) {
        if (it.sub && menus.count(it.sub)) freeMenu(it.sub);
    }
    menus.erase(m);
    delete m;
}

// Finds an item by command id anywhere in the tree.
bool findById(Menu* m, UINT id, Menu** owner, size_t* index) {
    for (size_t i = 0; i < m->items.size(); i++) {
        MenuItem& it = m->items[i];
        if (!(it.flags & MF_POPUP) && it.id == id) {
            *owner = m;
            *index = i;
            return true;
        }
        if (it.sub && findById(it.sub, id, owner, index)) return true;
    }
    return false;
}

bool locate(HMENU h, UINT item, UINT flags, Menu** owner, size_t* index) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr) return false;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) return false;
        *owner = m;
        *index = item;
        return true;
    }
    return findById(m, item, owner, index);
}

unsigned rd16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

// Reads the items of one level; returns false on a malformed template.
bool parseItems(const unsigned char* data, unsigned size, unsigned* pos, Menu* into) {
    while (true) {
        if (*pos + 2 > size) return false;
        unsigned flags = rd16(data + *pos);
        *pos += 2;
        MenuItem item;
        item.flags = flags & ~MF_END;
        if (!(flags & MF_POPUP)) {
            if (*pos + 2 > size) return false;
            item.id = rd16(data + *pos);
            *pos += 2;
        }
        unsigned start = *pos, n = 0;
        while (true) {
            if (*pos + 2 > size) return false;
            unsigned w = rd16(data + *pos);
            *pos += 2;
            if (w == 0) break;
            n++;
        }
        item.text = utf16ToAnsi(data + start, n);
        if (item.text.empty() && !(flags & MF_POPUP) && item.id == 0) item.flags |= MF_SEPARATOR;
        if (flags & MF_POPUP) {
            item.sub = newMenu();
            if (!parseItems(data, size, pos, item.sub)) {
                into->items.push_back(item);
                return false;
            }
        }
        into->items.push_back(item);
        if (flags & MF_END) return true;
    }
}

} // namespace
} // namespace winapi

using namespace winapi;

HMENU WINAPI CreateMenu(void) {
    return reinterpret_cast<HMENU>(newMenu());
}
HMENU WINAPI CreatePopupMenu(void) {
    return reinterpret_cast<HMENU>(newMenu());
}

BOOL WINAPI DestroyMenu(HMENU h) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr) return FALSE;
    freeMenu(m);
    return TRUE;
}

HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR name) {
    ResourceData r;
    if (!findResource(instance, RT_MENU, name, &r)) {
        setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (r.size < 4 || rd16(r.data) != 0) return nullptr; // only the standard template
    unsigned pos = 4 + rd16(r.data + 2);
    Menu* m = newMenu();
    if (!parseItems(r.data, r.size, &pos, m)) {
        freeMenu(m);
        return nullptr;
    }
    return reinterpret_cast<HMENU>(m);
}

BOOL WINAPI InsertMenuA(HMENU h, UINT position, UINT flags, UINT_PTR idNew, LPCSTR text) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr) return FALSE;
    MenuItem item;
    item.flags = flags & ~(MF_BYPOSITION | MF_CHANGE | MF_APPEND | MF_DELETE | MF_REMOVE);
    if (flags & MF_POPUP) {
        // A popup item without a submenu is accepted and stays empty.
        item.sub = menuFromHandle(reinterpret_cast<HMENU>(idNew));
        if (item.sub == nullptr && idNew != 0) return FALSE;
    } else {
        item.id = static_cast<UINT>(idNew);
    }
    if (!(flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) && text) item.text = text;
    Menu* owner = m;
    size_t index = m->items.size();
    if (flags & MF_BYPOSITION) {
        if (position < m->items.size()) index = position;
    } else if (!findById(m, position, &owner, &index)) {
        owner = m;
        index = m->items.size();
    }
    owner->items.insert(owner->items.begin() + static_cast<long>(index), item);
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU h, UINT flags, UINT_PTR idNew, LPCSTR text) {
    return InsertMenuA(h, 0xFFFFFFFFu, flags | MF_BYPOSITION, idNew, text);
}

BOOL WINAPI RemoveMenu(HMENU h, UINT position, UINT flags) {
    Menu* owner;
    size_t index;
    if (!locate(h, position, flags, &owner, &index)) return FALSE;
    owner->items.erase(owner->items.begin() + static_cast<long>(index));
    return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU h, UINT position, UINT flags) {
    Menu* owner;
    size_t index;
    if (!locate(h, position, flags, &owner, &index)) return FALSE;
    Menu* sub = owner->items[index].sub;
    owner->items.erase(owner->items.begin() + static_cast<long>(index));
    if (sub && menus.count(sub)) freeMenu(sub);
    return TRUE;
}

int WINAPI GetMenuStringA(HMENU h, UINT item, LPSTR buf, int max, UINT flags) {
    Menu* owner;
    size_t index;
    if (!locate(h, item, flags, &owner, &index)) return 0;
    const std::string& t = owner->items[index].text;
    if (buf == nullptr || max <= 0) return static_cast<int>(t.size());
    size_t n = t.size() < static_cast<size_t>(max - 1) ? t.size() : static_cast<size_t>(max - 1);
    memcpy(buf, t.data(), n);
    buf[n] = 0;
    return static_cast<int>(n);
}

HMENU WINAPI GetSubMenu(HMENU h, int pos) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return nullptr;
    return reinterpret_cast<HMENU>(m->items[static_cast<size_t>(pos)].sub);
}

int WINAPI GetMenuItemCount(HMENU h) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr) return -1;
    return static_cast<int>(m->items.size());
}

UINT WINAPI GetMenuItemID(HMENU h, int pos) {
    Menu* m = menuFromHandle(h);
    if (m == nullptr || pos < 0 || static_cast<size_t>(pos) >= m->items.size()) return 0xFFFFFFFFu;
    const MenuItem& it = m->items[static_cast<size_t>(pos)];
    return (it.flags & MF_POPUP) ? 0xFFFFFFFFu : it.id;
}

UINT WINAPI GetMenuState(HMENU h, UINT item, UINT flags) {
    Menu* owner;
    size_t index;
    if (!locate(h, item, flags, &owner, &index)) return 0xFFFFFFFFu;
    const MenuItem& it = owner->items[index];
    if (it.sub) return (static_cast<UINT>(it.sub->items.size()) << 8) | (it.flags & 0xff);
    return it.flags & 0xffff;
}
