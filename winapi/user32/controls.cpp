// The standard controls: Button, Edit, Static, ListBox, ComboBox, ScrollBar.
// Each keeps its state beside the window (check state, items, selection,
// limit) and tells its parent what happened through WM_COMMAND, as Windows
// controls do.
#include "user32/dialog.h"

#include <ctype.h>
#include <string.h>
#include <strings.h>

#include <map>

namespace winapi {

namespace {

struct Item {
    std::string text;
    LPARAM data = 0;
};

struct Control {
    int check = 0;
    bool pushed = false;
    std::vector<Item> items;
    int cursel = -1;
    int limit = 30000;
    DWORD selStart = 0, selEnd = 0;
    HFONT font = nullptr;
    HANDLE image = nullptr;
    std::vector<int> tabs;
    bool modified = false;
    bool extendedUi = false;
};

std::map<HWND, Control> controls;

Control& state(HWND h) {
    return controls[h];
}

DWORD styleOf(HWND h) {
    Window* w = windowFromHandle(h);
    return w ? w->style : 0;
}

std::string& textOf(HWND h) {
    static std::string none;
    Window* w = windowFromHandle(h);
    if (w == nullptr) {
        none.clear();
        return none;
    }
    return w->text;
}

LRESULT copyOut(const std::string& s, WPARAM size, LPARAM lp) {
    if (size == 0 || lp == 0) return 0;
    char* out = reinterpret_cast<char*>(lp);
    size_t n = s.size() < size - 1 ? s.size() : size - 1;
    memcpy(out, s.data(), n);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

// Messages every control answers the same way.
bool commonMessage(HWND h, UINT msg, WPARAM wp, LPARAM, LRESULT* r) {
    switch (msg) {
    case WM_SETFONT:
        state(h).font = reinterpret_cast<HFONT>(wp);
        *r = 0;
        return true;
    case WM_GETFONT: *r = reinterpret_cast<LRESULT>(state(h).font); return true;
    case WM_NCDESTROY:
        controls.erase(h);
        *r = 0;
        return true;
    default: return false;
    }
}

// ---- lists (list box and the list of a combo box) ----

bool hasStrings(DWORD style, bool combo) {
    DWORD ownerDraw = combo ? (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)
                            : (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
    DWORD strings = combo ? CBS_HASSTRINGS : LBS_HASSTRINGS;
    return !(style & ownerDraw) || (style & strings);
}

int addItem(HWND h, LPARAM lp, bool combo, bool sorted, int at) {
    Control& c = state(h);
    Item it;
    if (hasStrings(styleOf(h), combo)) {
        it.text = lp ? reinterpret_cast<const char*>(lp) : "";
    } else {
        it.data = lp;
    }
    int n = static_cast<int>(c.items.size());
    int pos;
    if (at >= 0) {
        if (at > n) return -1;
        pos = at;
    } else if (sorted) {
        pos = 0;
        while (pos < n &&
               strcasecmp(c.items[static_cast<size_t>(pos)].text.c_str(), it.text.c_str()) <= 0)
            pos++;
    } else {
        pos = n;
    }
    c.items.insert(c.items.begin() + pos, it);
    if (c.cursel >= pos) c.cursel++;
    return pos;
}

int deleteItem(HWND h, int index) {
    Control& c = state(h);
    if (index < 0 || index >= static_cast<int>(c.items.size())) return -1;
    c.items.erase(c.items.begin() + index);
    if (c.cursel == index) {
        c.cursel = -1;
    } else if (c.cursel > index) {
        c.cursel--;
    }
    return static_cast<int>(c.items.size());
}

// Searches after `start` (-1: from the top) and wraps around, without case;
// a prefix match unless exact.
int findItem(HWND h, int start, const char* text, bool exact) {
    Control& c = state(h);
    int n = static_cast<int>(c.items.size());
    if (text == nullptr || n == 0) return -1;
    size_t len = strlen(text);
    int first = (start < -1 || start >= n) ? 0 : start + 1;
    for (int k = 0; k < n; k++) {
        int i = (first + k) % n;
        const std::string& t = c.items[static_cast<size_t>(i)].text;
        bool hit = exact ? strcasecmp(t.c_str(), text) == 0
                         : (t.size() >= len && strncasecmp(t.c_str(), text, len) == 0);
        if (hit) return i;
    }
    return -1;
}

bool validIndex(HWND h, int index) {
    return index >= 0 && index < static_cast<int>(state(h).items.size());
}

// The item messages both boxes answer alike; their error value (LB_ERR,
// CB_ERR) is -1.
LRESULT getItemText(HWND h, int index, LPARAM lp, bool combo) {
    if (!validIndex(h, index) || lp == 0) return -1;
    const Item& it = state(h).items[static_cast<size_t>(index)];
    if (!hasStrings(styleOf(h), combo)) {
        memcpy(reinterpret_cast<void*>(lp), &it.data, sizeof it.data);
        return sizeof it.data;
    }
    memcpy(reinterpret_cast<char*>(lp), it.text.c_str(), it.text.size() + 1);
    return static_cast<LRESULT>(it.text.size());
}

LRESULT getItemTextLength(HWND h, int index) {
    if (!validIndex(h, index)) return -1;
    return static_cast<LRESULT>(state(h).items[static_cast<size_t>(index)].text.size());
}

LRESULT getItemData(HWND h, int index) {
    if (!validIndex(h, index)) return -1;
    return state(h).items[static_cast<size_t>(index)].data;
}

LRESULT setItemData(HWND h, int index, LPARAM lp) {
    if (!validIndex(h, index)) return -1;
    state(h).items[static_cast<size_t>(index)].data = lp;
    return TRUE;
}

static_assert(LB_ERR == -1 && CB_ERR == -1, "both boxes answer -1 for an error");

// ---- Button ----

int buttonType(HWND h) {
    return static_cast<int>(styleOf(h) & BS_TYPEMASK);
}

bool isCheckType(int t) {
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_RADIOBUTTON || t == BS_3STATE ||
           t == BS_AUTO3STATE || t == BS_AUTORADIOBUTTON;
}

// The auto radio buttons of a group: from the last sibling at or before the
// button that starts a group (WS_GROUP) up to the next one.
void checkAutoRadio(HWND h) {
    Window* w = windowFromHandle(h);
    if (w == nullptr) return;
    std::vector<HWND> sib = childrenOf(w->parent);
    size_t at = 0;
    while (at < sib.size() && sib[at] != h)
        at++;
    if (at == sib.size()) return;
    size_t first = at;
    while (first > 0 && !(styleOf(sib[first]) & WS_GROUP))
        first--;
    for (size_t i = first; i < sib.size(); i++) {
        HWND o = sib[i];
        if (i > first && (styleOf(o) & WS_GROUP)) break;
        if (o == h || controlKind(o) != kButton) continue;
        if (buttonType(o) == BS_AUTORADIOBUTTON) SendMessageA(o, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void buttonReleased(HWND h) {
    switch (buttonType(h)) {
    case BS_AUTOCHECKBOX:
        SendMessageA(h, BM_SETCHECK, state(h).check ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>((state(h).check + 1) % 3), 0);
        break;
    case BS_AUTORADIOBUTTON:
        SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
        checkAutoRadio(h);
        break;
    default: break;
    }
    notifyParent(h, BN_CLICKED);
}

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    int type = buttonType(h);
    switch (msg) {
    case BM_GETCHECK: return isCheckType(type) ? state(h).check : 0;
    case BM_SETCHECK: {
        if (!isCheckType(type)) return 0;
        int max = (type == BS_3STATE || type == BS_AUTO3STATE) ? 2 : 1;
        int v = static_cast<int>(wp);
        state(h).check = v > max ? max : (v < 0 ? 0 : v);
        return 0;
    }
    case BM_GETSTATE:
        return (isCheckType(type) ? state(h).check : 0) | (state(h).pushed ? BST_PUSHED : 0) |
               (GetFocus() == h ? BST_FOCUS : 0);
    case BM_SETSTATE: state(h).pushed = wp != 0; return 0;
    case BM_SETSTYLE: {
        Window* w = windowFromHandle(h);
        if (w) w->style = (w->style & ~0xffffUL) | (static_cast<DWORD>(wp) & 0xffff);
        return 0;
    }
    case BM_SETIMAGE: {
        HANDLE old = state(h).image;
        state(h).image = reinterpret_cast<HANDLE>(lp);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(state(h).image);
    case BM_CLICK:
        if (!IsWindowEnabled(h)) return 0;
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(h, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (type == BS_RADIOBUTTON || type == BS_USERBUTTON || type == BS_OWNERDRAW ||
            (styleOf(h) & BS_NOTIFY)) {
            notifyParent(h, BN_DOUBLECLICKED);
            return 0;
        }
        // otherwise a second press
        // fall through
    case WM_LBUTTONDOWN:
        if (type == BS_GROUPBOX) return 0;
        SetFocus(h);
        SetCapture(h);
        state(h).pushed = true;
        return 0;
    case WM_LBUTTONUP:
        if (!state(h).pushed) return 0;
        state(h).pushed = false;
        if (GetCapture() == h) ReleaseCapture();
        buttonReleased(h);
        return 0;
    case WM_SETFOCUS:
        if (styleOf(h) & BS_NOTIFY) notifyParent(h, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state(h).pushed = false;
        if (styleOf(h) & BS_NOTIFY) notifyParent(h, BN_KILLFOCUS);
        return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

// ---- Edit ----

void editChanged(HWND h) {
    state(h).modified = true;
    if (!(styleOf(h) & ES_MULTILINE)) notifyParent(h, EN_CHANGE);
}

LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    Control& c = state(h);
    switch (msg) {
    case WM_SETTEXT:
        textOf(h) = lp ? reinterpret_cast<const char*>(lp) : "";
        c.selStart = c.selEnd = 0;
        c.modified = false;
        if (!(styleOf(h) & ES_MULTILINE)) notifyParent(h, EN_CHANGE);
        return TRUE;
    case EM_LIMITTEXT: c.limit = wp ? static_cast<int>(wp) : 0x7FFFFFFE; return 0;
    case EM_GETLIMITTEXT: return c.limit;
    case EM_SETSEL: {
        DWORD len = static_cast<DWORD>(textOf(h).size());
        int s = static_cast<int>(wp), e = static_cast<int>(lp);
        if (s == -1) {
            c.selStart = c.selEnd;
            return 0;
        }
        DWORD ds = static_cast<DWORD>(s < 0 ? 0 : s), de = e < 0 ? len : static_cast<DWORD>(e);
        if (ds > len) ds = len;
        if (de > len) de = len;
        if (ds > de) {
            DWORD t = ds;
            ds = de;
            de = t;
        }
        c.selStart = ds;
        c.selEnd = de;
        return 0;
    }
    case EM_GETSEL:
        if (wp) *reinterpret_cast<DWORD*>(wp) = c.selStart;
        if (lp) *reinterpret_cast<DWORD*>(lp) = c.selEnd;
        return MAKELONG(c.selStart > 0xffff ? 0xffff : c.selStart,
                        c.selEnd > 0xffff ? 0xffff : c.selEnd);
    case EM_REPLACESEL: {
        std::string& t = textOf(h);
        std::string in = lp ? reinterpret_cast<const char*>(lp) : "";
        t.replace(c.selStart, c.selEnd - c.selStart, in);
        c.selStart = c.selEnd = c.selStart + static_cast<DWORD>(in.size());
        editChanged(h);
        return 0;
    }
    case EM_GETMODIFY: return c.modified ? TRUE : FALSE;
    case EM_SETMODIFY: c.modified = wp != 0; return 0;
    case EM_GETLINECOUNT: return 1;
    case EM_SETREADONLY: {
        Window* w = windowFromHandle(h);
        if (w == nullptr) return FALSE;
        if (wp) {
            w->style |= ES_READONLY;
        } else {
            w->style &= ~static_cast<DWORD>(ES_READONLY);
        }
        return TRUE;
    }
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_SETFOCUS: notifyParent(h, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: notifyParent(h, EN_KILLFOCUS); return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

// ---- Static and ScrollBar ----

LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    switch (msg) {
    case STM_SETIMAGE:
    case STM_SETICON: {
        HANDLE old = state(h).image;
        state(h).image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wp : lp);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
    case STM_GETICON: return reinterpret_cast<LRESULT>(state(h).image);
    case WM_LBUTTONDOWN:
        if (styleOf(h) & SS_NOTIFY) notifyParent(h, 0 /* STN_CLICKED */);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (styleOf(h) & SS_NOTIFY) notifyParent(h, 1 /* STN_DBLCLK */);
        return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

LRESULT CALLBACK ScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    return DefWindowProcA(h, msg, wp, lp);
}

// ---- ListBox ----

LRESULT CALLBACK ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    Control& c = state(h);
    DWORD style = styleOf(h);
    int index = static_cast<int>(wp);
    switch (msg) {
    case LB_ADDSTRING: return addItem(h, lp, false, (style & LBS_SORT) != 0, -1);
    case LB_INSERTSTRING: {
        int at = index < 0 ? static_cast<int>(c.items.size()) : index;
        return addItem(h, lp, false, false, at) < 0 ? LB_ERR : at;
    }
    case LB_DELETESTRING: return deleteItem(h, index);
    case LB_RESETCONTENT:
        c.items.clear();
        c.cursel = -1;
        return 0;
    case LB_GETCOUNT: return static_cast<LRESULT>(c.items.size());
    case LB_GETCURSEL: return c.cursel;
    case LB_SETCURSEL:
        if (!validIndex(h, index)) {
            c.cursel = -1;
            return LB_ERR;
        }
        c.cursel = index;
        return index;
    case LB_GETSEL: return validIndex(h, index) ? (c.cursel == index ? 1 : 0) : LB_ERR;
    case LB_SETSEL: {
        int i = static_cast<int>(lp);
        if (i != -1 && !validIndex(h, i)) return LB_ERR;
        if (wp) {
            c.cursel = i;
        } else if (c.cursel == i || i == -1) {
            c.cursel = -1;
        }
        return 0;
    }
    case LB_GETTEXT: return getItemText(h, index, lp, false);
    case LB_GETTEXTLEN: return getItemTextLength(h, index);
    case LB_GETITEMDATA: return getItemData(h, index);
    case LB_SETITEMDATA: return setItemData(h, index, lp);
    case LB_FINDSTRING: return findItem(h, index, reinterpret_cast<const char*>(lp), false);
    case LB_FINDSTRINGEXACT: return findItem(h, index, reinterpret_cast<const char*>(lp), true);
    case LB_SELECTSTRING: {
        int i = findItem(h, index, reinterpret_cast<const char*>(lp), false);
        if (i >= 0) c.cursel = i;
        return i;
    }
    case LB_SETTABSTOPS: {
        if (!(style & LBS_USETABSTOPS)) return FALSE;
        c.tabs.clear();
        const INT* stops = reinterpret_cast<const INT*>(lp);
        for (WPARAM i = 0; stops && i < wp; i++)
            c.tabs.push_back(stops[i]);
        return TRUE;
    }
    case LB_GETTOPINDEX: return 0;
    case LB_SETTOPINDEX: return validIndex(h, index) ? 0 : LB_ERR;
    case LB_GETITEMHEIGHT: return 13;
    case LB_SETITEMHEIGHT: return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_SETFOCUS:
        if (style & LBS_NOTIFY) notifyParent(h, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (style & LBS_NOTIFY) notifyParent(h, LBN_KILLFOCUS);
        return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

// ---- ComboBox ----

bool comboEditable(HWND h) {
    return (styleOf(h) & 3) != CBS_DROPDOWNLIST;
}

std::string comboText(HWND h) {
    if (comboEditable(h)) return textOf(h);
    Control& c = state(h);
    if (!validIndex(h, c.cursel)) return std::string();
    return c.items[static_cast<size_t>(c.cursel)].text;
}

void comboSelect(HWND h, int index) {
    Control& c = state(h);
    c.cursel = validIndex(h, index) ? index : -1;
    if (comboEditable(h)) {
        textOf(h) = c.cursel >= 0 ? c.items[static_cast<size_t>(c.cursel)].text : std::string();
        c.selStart = 0;
        c.selEnd = static_cast<DWORD>(textOf(h).size());
    }
}

LRESULT CALLBACK ComboBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r;
    if (commonMessage(h, msg, wp, lp, &r)) return r;
    Control& c = state(h);
    DWORD style = styleOf(h);
    int index = static_cast<int>(wp);
    switch (msg) {
    case WM_SETTEXT:
        if (!comboEditable(h)) {
            int i = findItem(h, -1, reinterpret_cast<const char*>(lp), true);
            if (i < 0) return CB_ERR;
            c.cursel = i;
            return TRUE;
        }
        textOf(h) = lp ? reinterpret_cast<const char*>(lp) : "";
        c.selStart = c.selEnd = 0;
        return TRUE;
    case WM_GETTEXT: return copyOut(comboText(h), wp, lp);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(comboText(h).size());
    case CB_ADDSTRING: return addItem(h, lp, true, (style & CBS_SORT) != 0, -1);
    case CB_INSERTSTRING: {
        int at = index < 0 ? static_cast<int>(c.items.size()) : index;
        return addItem(h, lp, true, false, at) < 0 ? CB_ERR : at;
    }
    case CB_DELETESTRING: return deleteItem(h, index);
    case CB_RESETCONTENT:
        c.items.clear();
        c.cursel = -1;
        if (comboEditable(h)) textOf(h).clear();
        return CB_OKAY;
    case CB_GETCOUNT: return static_cast<LRESULT>(c.items.size());
    case CB_GETCURSEL: return c.cursel;
    case CB_SETCURSEL: comboSelect(h, index); return validIndex(h, index) ? index : CB_ERR;
    case CB_GETLBTEXT: return getItemText(h, index, lp, true);
    case CB_GETLBTEXTLEN: return getItemTextLength(h, index);
    case CB_GETITEMDATA: return getItemData(h, index);
    case CB_SETITEMDATA: return setItemData(h, index, lp);
    case CB_FINDSTRING: return findItem(h, index, reinterpret_cast<const char*>(lp), false);
    case CB_FINDSTRINGEXACT: return findItem(h, index, reinterpret_cast<const char*>(lp), true);
    case CB_SELECTSTRING: {
        int i = findItem(h, index, reinterpret_cast<const char*>(lp), false);
        if (i >= 0) comboSelect(h, i);
        return i;
    }
    case CB_LIMITTEXT: c.limit = wp ? static_cast<int>(wp) : 0x7FFFFFFE; return TRUE;
    case CB_GETEDITSEL:
        if (!comboEditable(h)) return CB_ERR;
        if (wp) *reinterpret_cast<DWORD*>(wp) = c.selStart;
        if (lp) *reinterpret_cast<DWORD*>(lp) = c.selEnd;
        return MAKELONG(c.selStart, c.selEnd);
    case CB_SETEDITSEL: {
        if (!comboEditable(h)) return CB_ERR;
        DWORD len = static_cast<DWORD>(textOf(h).size());
        int s = static_cast<SHORT>(LOWORD(lp)), e = static_cast<SHORT>(HIWORD(lp));
        c.selStart = s < 0 ? len : (static_cast<DWORD>(s) > len ? len : static_cast<DWORD>(s));
        c.selEnd = e < 0 ? len : (static_cast<DWORD>(e) > len ? len : static_cast<DWORD>(e));
        return TRUE;
    }
    case CB_SHOWDROPDOWN: return TRUE;
    case CB_GETDROPPEDSTATE: return FALSE;
    case CB_SETEXTENDEDUI: c.extendedUi = wp != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return c.extendedUi ? TRUE : FALSE;
    case CB_GETITEMHEIGHT: return 13;
    case CB_SETITEMHEIGHT: return 0;
    case WM_LBUTTONDOWN: SetFocus(h); return 0;
    case WM_SETFOCUS: notifyParent(h, CBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: notifyParent(h, CBN_KILLFOCUS); return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

const struct {
    const char* name;
    WNDPROC proc;
    ControlKind kind;
} standardClasses[] = {
    {"Button", ButtonProc, kButton},          {"Edit", EditProc, kEdit},
    {"Static", StaticProc, kStatic},          {"ListBox", ListBoxProc, kListBox},
    {"ScrollBar", ScrollBarProc, kScrollBar}, {"ComboBox", ComboBoxProc, kComboBox},
};

// What a user types, as the control would take it from the keyboard: the
// case styles, digits only, and the length limit.
std::string typedText(const char* text, DWORD style, int limit, bool edit) {
    std::string out;
    for (const char* p = text ? text : ""; *p; p++) {
        char ch = *p;
        if (edit && (style & ES_NUMBER) && !isdigit(static_cast<unsigned char>(ch))) continue;
        if (style & (edit ? ES_UPPERCASE : CBS_UPPERCASE))
            ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        if (style & (edit ? ES_LOWERCASE : CBS_LOWERCASE))
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        if (limit >= 0 && static_cast<int>(out.size()) >= limit) break;
        out += ch;
    }
    return out;
}

bool canTakeInput(HWND h) {
    for (HWND p = h; p != nullptr; p = GetParent(p)) {
        if (!IsWindowEnabled(p)) return false;
        if (!(styleOf(p) & WS_CHILD)) break;
    }
    return true;
}

POINT centreOf(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    POINT pt = {rc.right / 2, rc.bottom / 2};
    return pt;
}

// Mouse input goes to the window that holds the capture, in its coordinates.
LRESULT sendMouse(HWND h, UINT msg, WPARAM buttons) {
    POINT pt = centreOf(h);
    HWND target = h;
    HWND cap = GetCapture();
    if (cap != nullptr && cap != h) {
        ClientToScreen(h, &pt);
        ScreenToClient(cap, &pt);
        target = cap;
    }
    return SendMessageA(target, msg, mouseKeyFlags(buttons), MAKELPARAM(pt.x, pt.y));
}

} // namespace

const char* systemClassName(unsigned ordinal) {
    if (ordinal < 0x80 || ordinal > 0x85) return nullptr;
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    return names[ordinal - 0x80];
}

void registerStandardControls() {
    static bool done = false;
    if (done) return;
    done = true;
    for (const auto& c : standardClasses)
        registerSystemClass(c.name, c.proc, 0);
    registerSystemClass("#32770", DefDlgProcA, DLGWINDOWEXTRA);
    registerSystemClass("#32769", DefWindowProcA, 0); // the desktop
}

ControlKind controlKind(HWND h) {
    Window* w = windowFromHandle(h);
    if (w == nullptr || w->cls == nullptr || !w->cls->system) return kOther;
    for (const auto& c : standardClasses) {
        if (strcasecmp(w->cls->name.c_str(), c.name) == 0) return c.kind;
    }
    if (w->cls->name == "#32770") return kDialog;
    return kOther;
}

void notifyParent(HWND control, int code) {
    Window* w = windowFromHandle(control);
    if (w == nullptr || w->parent == nullptr) return;
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

bool userType(HWND h, const char* text) {
    if (!canTakeInput(h)) return false;
    DWORD style = styleOf(h);
    switch (controlKind(h)) {
    case kEdit: {
        if (style & ES_READONLY) return false;
        SetFocus(h);
        if (!IsWindow(h)) return false;
        std::string t = typedText(text, style, state(h).limit, true);
        SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
        if (IsWindow(h)) {
            state(h).selStart = state(h).selEnd = static_cast<DWORD>(t.size());
            state(h).modified = true;
        }
        return true;
    }
    case kComboBox: {
        if (!comboEditable(h)) return false;
        SetFocus(h);
        if (!IsWindow(h)) return false;
        textOf(h) = typedText(text, style, state(h).limit, false);
        state(h).cursel = -1;
        state(h).selStart = state(h).selEnd = static_cast<DWORD>(textOf(h).size());
        notifyParent(h, CBN_EDITCHANGE);
        return true;
    }
    default: return false;
    }
}

bool userPick(HWND h, const char* text) {
    if (!canTakeInput(h)) return false;
    ControlKind k = controlKind(h);
    if (k != kComboBox && k != kListBox) return false;
    int i = findItem(h, -1, text, true);
    if (i < 0) return false;
    SetFocus(h);
    if (!IsWindow(h)) return false;
    if (k == kComboBox) {
        comboSelect(h, i);
        notifyParent(h, CBN_SELCHANGE);
    } else {
        state(h).cursel = i;
        if (styleOf(h) & LBS_NOTIFY) notifyParent(h, LBN_SELCHANGE);
    }
    return true;
}

bool userClick(HWND h) {
    if (!canTakeInput(h)) return false;
    switch (controlKind(h)) {
    case kButton:
        if (buttonType(h) == BS_GROUPBOX) return false;
        SendMessageA(h, BM_CLICK, 0, 0);
        return true;
    case kStatic:
    case kEdit:
    case kComboBox:
    case kListBox: SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0); return true;
    default:
        sendMouse(h, WM_LBUTTONDOWN, MK_LBUTTON);
        if (IsWindow(h)) sendMouse(h, WM_LBUTTONUP, 0);
        return true;
    }
}

bool userDoubleClick(HWND h) {
    if (!canTakeInput(h)) return false;
    switch (controlKind(h)) {
    case kButton:
        if (buttonType(h) == BS_GROUPBOX) return false;
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(h, WM_LBUTTONUP, 0, 0);
        SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
        SendMessageA(h, WM_LBUTTONUP, 0, 0);
        return true;
    case kListBox:
        SetFocus(h);
        if (IsWindow(h) && (styleOf(h) & LBS_NOTIFY)) notifyParent(h, LBN_DBLCLK);
        return true;
    case kComboBox:
        SetFocus(h);
        if (IsWindow(h) && (styleOf(h) & 3) == CBS_SIMPLE) notifyParent(h, CBN_DBLCLK);
        return true;
    case kStatic:
    case kEdit: SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, 0); return true;
    default: sendMouse(h, WM_LBUTTONDBLCLK, MK_LBUTTON); return true;
    }
}

bool userMouse(HWND h, UINT message) {
    if (!canTakeInput(h)) return false;
    WPARAM buttons = 0;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) buttons = MK_LBUTTON;
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK) buttons = MK_RBUTTON;
    if (message == WM_LBUTTONDOWN) setLeftButtonDown(true);
    if (message == WM_LBUTTONUP) setLeftButtonDown(false);
    sendMouse(h, message, buttons);
    return true;
}

int controlItemCount(HWND h) {
    ControlKind k = controlKind(h);
    if (k != kComboBox && k != kListBox) return 0;
    return static_cast<int>(state(h).items.size());
}

std::string controlItem(HWND h, int index) {
    if (controlItemCount(h) == 0 || !validIndex(h, index)) return std::string();
    return state(h).items[static_cast<size_t>(index)].text;
}

int controlSelection(HWND h) {
    ControlKind k = controlKind(h);
    if (k != kComboBox && k != kListBox) return -1;
    return state(h).cursel;
}

} // namespace winapi
