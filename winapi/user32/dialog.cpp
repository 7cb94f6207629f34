// Dialog boxes built from the templates in a module's resources, in both the
// classic (DLGTEMPLATE) and the extended (DLGTEMPLATEEX) layout, the dialog
// window's own procedure, and the dialog item functions.
#include "user32/dialog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <memory>

namespace winapi {

namespace {

struct ItemTemplate {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className;
    std::string title;
    const unsigned char* extra = nullptr;
    unsigned extraSize = 0;
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string className;
    std::string title;
    bool hasFont = false;
    int pointSize = 0;
    int weight = 0; // 0: normal
    int italic = 0;
    int charSet = 0;
    std::string face;
    std::vector<ItemTemplate> items;
};

// Reads a template field by field; any read past the end marks it bad.
struct Reader {
    const unsigned char* base;
    unsigned size;
    unsigned pos = 0;
    bool ok = true;

    unsigned u16() {
        if (pos + 2 > size) {
            ok = false;
            return 0;
        }
        unsigned v = base[pos] | (base[pos + 1] << 8);
        pos += 2;
        return v;
    }
    DWORD u32() {
        DWORD lo = u16();
        return lo | (static_cast<DWORD>(u16()) << 16);
    }
    int s16() { return static_cast<SHORT>(u16()); }
    void align4() { pos = (pos + 3) & ~3u; }
    std::string text() {
        unsigned start = pos, n = 0;
        while (ok && u16() != 0)
            n++;
        return ok ? utf16ToAnsi(base + start, n) : std::string();
    }
    // A name or an ordinal: 0 for none, 0xFFFF and a number, or a text.
    void nameOrOrdinal(std::string* name, unsigned* ordinal) {
        *ordinal = 0;
        name->clear();
        if (pos + 2 > size) {
            ok = false;
            return;
        }
        unsigned first = base[pos] | (base[pos + 1] << 8);
        if (first == 0) {
            pos += 2;
        } else if (first == 0xffff) {
            pos += 2;
            *ordinal = u16();
        } else {
            *name = text();
        }
    }
};

bool parseTemplate(const unsigned char* data, unsigned size, DialogTemplate* t) {
    Reader r{data, size};
    bool extended =
        size >= 4 && (data[0] | (data[1] << 8)) == 1 && (data[2] | (data[3] << 8)) == 0xffff;
    unsigned count;
    if (extended) {
        r.u16();
        r.u16();
        r.u32(); // help id
        t->exStyle = r.u32();
        t->style = r.u32();
    } else {
        t->style = r.u32();
        t->exStyle = r.u32();
    }
    count = r.u16();
    t->x = r.s16();
    t->y = r.s16();
    t->cx = r.s16();
    t->cy = r.s16();
    std::string menu;
    unsigned ord;
    r.nameOrOrdinal(&menu, &ord);
    r.nameOrOrdinal(&t->className, &ord);
    t->title = r.text();
    if (t->style & DS_SETFONT) {
        t->hasFont = true;
        t->pointSize = static_cast<int>(r.u16());
        t->charSet = DEFAULT_CHARSET;
        if (extended) {
            t->weight = static_cast<int>(r.u16());
            unsigned italicAndSet = r.u16();
            t->italic = static_cast<int>(italicAndSet & 0xff);
            t->charSet = static_cast<int>(italicAndSet >> 8);
        }
        t->face = r.text();
    }
    for (unsigned i = 0; i < count && r.ok; i++) {
        r.align4();
        ItemTemplate it;
        if (extended) {
            r.u32(); // help id
            it.exStyle = r.u32();
            it.style = r.u32();
        } else {
            it.style = r.u32();
            it.exStyle = r.u32();
        }
        it.x = r.s16();
        it.y = r.s16();
        it.cx = r.s16();
        it.cy = r.s16();
        it.id = extended ? static_cast<int>(r.u32()) : static_cast<int>(r.u16());
        unsigned classOrdinal;
        r.nameOrOrdinal(&it.className, &classOrdinal);
        if (classOrdinal != 0) {
            const char* name = systemClassName(classOrdinal);
            if (name == nullptr) return false;
            it.className = name;
        }
        unsigned titleOrdinal;
        r.nameOrOrdinal(&it.title, &titleOrdinal);
        unsigned extra = r.u16();
        if (extra > 0) {
            if (r.pos + extra > size) return false;
            it.extra = data + r.pos - 2; // the creation data starts with its size
            it.extraSize = extra;
            r.pos += extra;
        }
        if (r.ok) t->items.push_back(it);
    }
    return r.ok;
}

std::map<HWND, std::unique_ptr<Dialog>> dialogs;
std::vector<HWND> modalStack;

int toPixelsX(const Dialog& d, int units) {
    return MulDiv(units, d.baseX, 4);
}
int toPixelsY(const Dialog& d, int units) {
    return MulDiv(units, d.baseY, 8);
}

HWND firstTabStop(HWND dlg) {
    for (HWND h : childrenOf(dlg)) {
        Window* c = windowFromHandle(h);
        if (c && (c->style & WS_CHILD) && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) &&
            !(c->style & WS_DISABLED))
            return h;
    }
    return nullptr;
}

HWND createDialog(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param,
                  bool modal) {
    ResourceData res;
    if (name == nullptr || !findResource(instance, RT_DIALOG, name, &res)) {
        setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::string templateName = templateNameOf(name);
    DialogTemplate t;
    if (!parseTemplate(res.data, res.size, &t)) {
        fprintf(stderr, "winapi: dialog template %s is malformed\n", templateName.c_str());
        setLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (windowFromHandle(owner) == nullptr) owner = nullptr;
    while (owner != nullptr && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);

    auto d = std::make_unique<Dialog>();
    d->proc = proc;
    d->templateName = templateName;
    d->modal = modal;
    d->owner = owner;
    if (t.hasFont) {
        // The template's font at the screen's 96 dots per inch; the dialog
        // owns it and deletes it when it goes.
        LOGFONTA lf;
        memset(&lf, 0, sizeof lf);
        lf.lfHeight = -MulDiv(t.pointSize, 96, 72);
        lf.lfWeight = t.weight > 0 ? t.weight : FW_NORMAL;
        lf.lfItalic = static_cast<BYTE>(t.italic);
        lf.lfCharSet = static_cast<BYTE>(t.charSet);
        snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", t.face.c_str());
        d->font = CreateFontIndirectA(&lf);
        d->ownsFont = true;
        d->baseX = 6;
        d->baseY = 13;
    }

    // The template gives the client area; the window adds its frame.
    const char* cls = t.className.empty() ? "#32770" : t.className.c_str();
    DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
    Window probe;
    probe.style = style;
    probe.exStyle = t.exStyle;
    probe.cls = findClass(cls, instance);
    RECT in = nonClientInsets(&probe);
    int cx = toPixelsX(*d, t.cx) + in.left + in.right;
    int cy = toPixelsY(*d, t.cy) + in.top + in.bottom;
    int x = toPixelsX(*d, t.x), y = toPixelsY(*d, t.y);
    if (t.style & DS_CENTER) {
        x = (GetSystemMetrics(SM_CXSCREEN) - cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - cy) / 2;
    } else if (owner != nullptr && !(t.style & DS_ABSALIGN)) {
        POINT o = clientOrigin(owner);
        x += o.x;
        y += o.y;
    }
    HWND dlg = CreateWindowExA(t.exStyle, cls, t.title.c_str(), style, x, y, cx, cy, owner, nullptr,
                               instance, nullptr);
    if (dlg == nullptr) {
        fprintf(stderr, "winapi: dialog %s: no window class \"%s\"\n", templateName.c_str(), cls);
        return nullptr;
    }
    d->hwnd = dlg;
    Dialog* dp = d.get();
    dialogs[dlg] = std::move(d);
    SetWindowLongA(dlg, DWL_DLGPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(proc)));
    if (dp->font) SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(dp->font), FALSE);

    for (const ItemTemplate& it : t.items) {
        HWND c = CreateWindowExA(
            it.exStyle | WS_EX_NOPARENTNOTIFY, it.className.c_str(), it.title.c_str(),
            it.style | WS_CHILD, toPixelsX(*dp, it.x), toPixelsY(*dp, it.y), toPixelsX(*dp, it.cx),
            toPixelsY(*dp, it.cy), dlg,
            reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(static_cast<unsigned>(it.id))), instance,
            const_cast<unsigned char*>(it.extra));
        if (c == nullptr) {
            fprintf(stderr, "winapi: dialog %s: control %d of class \"%s\" not created\n",
                    templateName.c_str(), it.id, it.className.c_str());
            if (!(t.style & DS_NOFAILCREATE)) {
                DestroyWindow(dlg);
                return nullptr;
            }
            continue;
        }
        if (dp->font) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(dp->font), FALSE);
    }

    HWND focus = firstTabStop(dlg);
    LRESULT wantFocus = SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);
    if (!IsWindow(dlg)) return nullptr;
    if (wantFocus && !dp->ended) {
        focus = firstTabStop(dlg);
        if (focus != nullptr) {
            SetFocus(focus);
            if (controlKind(focus) == kEdit) SendMessageA(focus, EM_SETSEL, 0, -1);
        }
    }
    if (IsWindow(dlg) && !dp->ended && (modal || (t.style & WS_VISIBLE))) ShowWindow(dlg, SW_SHOW);
    return IsWindow(dlg) ? dlg : nullptr;
}

void pumpPosted() {
    MSG m;
    for (int n = 0; n < 100000 && takeWindowMessage(&m); n++)
        DispatchMessageA(&m);
}

} // namespace

std::string templateNameOf(LPCSTR name) {
    if (name == nullptr) return std::string();
    if (IS_INTRESOURCE(name)) {
        char buf[16];
        snprintf(buf, sizeof buf, "#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
        return buf;
    }
    return name;
}

Dialog* dialogFromHandle(HWND h) {
    auto it = dialogs.find(h);
    if (it == dialogs.end() || it->second->destroyed) return nullptr;
    return it->second.get();
}

HWND modalDialog() {
    for (size_t i = modalStack.size(); i > 0; i--) {
        if (IsWindow(modalStack[i - 1])) return modalStack[i - 1];
    }
    return nullptr;
}

HWND activeTopWindow() {
    std::vector<HWND> top = childrenOf(nullptr);
    for (size_t i = top.size(); i > 0; i--) {
        Window* w = windowFromHandle(top[i - 1]);
        if (w == nullptr || (w->style & WS_CHILD) || !(w->style & WS_VISIBLE) ||
            (w->style & WS_DISABLED))
            continue;
        if (w->cls && w->cls->name == "#32769") continue;
        return w->handle;
    }
    return nullptr;
}

void focusMovedTo(HWND h) {
    for (HWND p = GetParent(h); p != nullptr && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD);
         h = p, p = GetParent(p)) {
        Dialog* d = dialogFromHandle(p);
        if (d) {
            d->lastFocus = h;
            return;
        }
    }
}

} // namespace winapi

using namespace winapi;

// The procedure of every dialog window: the dialog procedure first; what it
// leaves (answers FALSE to) gets the default handling of a dialog.
LRESULT WINAPI DefDlgProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* d = dialogFromHandle(hwnd);
    if (msg == WM_DESTROY && d) recordSnapshot(d);
    DLGPROC proc =
        reinterpret_cast<DLGPROC>(static_cast<LONG_PTR>(GetWindowLongA(hwnd, DWL_DLGPROC)));
    if (proc == nullptr && d) proc = d->proc;
    if (proc != nullptr) {
        SetWindowLongA(hwnd, DWL_MSGRESULT, 0);
        INT_PTR r = proc(hwnd, msg, wp, lp);
        if (r) {
            switch (msg) {
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
            case WM_INITDIALOG: return r;
            default: return IsWindow(hwnd) ? GetWindowLongA(hwnd, DWL_MSGRESULT) : 0;
            }
        }
        d = dialogFromHandle(hwnd);
    }
    switch (msg) {
    case WM_SETFONT:
        if (d) d->font = reinterpret_cast<HFONT>(wp);
        return 0;
    case WM_GETFONT: return d ? reinterpret_cast<LRESULT>(d->font) : 0;
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (cancel == nullptr || IsWindowEnabled(cancel))
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_SETFOCUS:
        if (d && d->lastFocus && isDescendant(hwnd, d->lastFocus)) SetFocus(d->lastFocus);
        return 0;
    case DM_GETDEFID:
        for (HWND h : childrenOf(hwnd)) {
            Window* c = windowFromHandle(h);
            if (c && controlKind(h) == kButton && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return MAKELONG(c->id, DC_HASDEFID);
        }
        return 0;
    case DM_SETDEFID: return TRUE;
    case WM_INITDIALOG:
    case WM_COMMAND: return 0;
    case WM_NCDESTROY: {
        if (d && d->ownsFont && d->font) DeleteObject(d->font);
        if (d) d->font = nullptr;
        LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
        // The record goes with the window, but a modal loop still reads it.
        if (d) d->destroyed = true;
        if (d && !d->looping) dialogs.erase(hwnd);
        return r;
    }
    default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc,
                               LPARAM param) {
    return createDialog(instance, name, parent, proc, param, false);
}

// Builds the dialog, disables its owner and plays the queued user actions
// until the dialog ends. A dialog still waiting when nothing is left to play
// is cancelled: its procedure gets IDCANCEL as from the Esc key, and if it
// still does not end, it is ended with IDCANCEL.
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc,
                               LPARAM param) {
    HWND dlg = createDialog(instance, name, parent, proc, param, true);
    auto it = dialogs.find(dlg);
    if (dlg == nullptr || it == dialogs.end()) return -1;
    Dialog* d = it->second.get();
    HWND owner = d->owner;
    if (!d->ended && owner != nullptr && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        d->ownerDisabled = true;
    }
    d->looping = true;
    size_t level = modalStack.size();
    modalStack.push_back(dlg);
    while (!d->ended && !d->destroyed) {
        pumpPosted();
        if (d->ended || d->destroyed) break;
        bool have = false;
        playNextAction(dlg, &have);
        if (!have) {
            recordUnfinished(d->templateName);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
            pumpPosted();
            if (!d->ended && !d->destroyed) EndDialog(dlg, IDCANCEL);
            break;
        }
    }
    modalStack.resize(level);
    INT_PTR result = d->result;
    if (d->ownerDisabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    d->ownerDisabled = false;
    if (!d->destroyed) DestroyWindow(dlg);
    dialogs.erase(dlg);
    return result;
}

// Ends the dialog: its owner is enabled again, the dialog hidden, and the
// focus goes back to the owner.
BOOL WINAPI EndDialog(HWND hwnd, INT_PTR result) {
    Dialog* d = dialogFromHandle(hwnd);
    if (d == nullptr) {
        setLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    d->ended = true;
    d->result = result;
    if (d->ownerDisabled && IsWindow(d->owner)) EnableWindow(d->owner, TRUE);
    d->ownerDisabled = false;
    ShowWindow(hwnd, SW_HIDE);
    HWND f = GetFocus();
    if (f == hwnd || isDescendant(hwnd, f)) SetFocus(IsWindow(d->owner) ? d->owner : nullptr);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dlg, int id) {
    for (HWND h : childrenOf(dlg)) {
        Window* c = windowFromHandle(h);
        if (c && (c->style & WS_CHILD) && c->id == id) return h;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = windowFromHandle(hwnd);
    return (w && (w->style & WS_CHILD)) ? w->id : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SendMessageA(c, msg, wp, lp) : 0;
}

UINT WINAPI GetDlgItemTextA(HWND dlg, int id, LPSTR buf, int max) {
    if (buf != nullptr && max > 0) buf[0] = 0;
    HWND c = GetDlgItem(dlg, id);
    return c ? static_cast<UINT>(GetWindowTextA(c, buf, max)) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND dlg, int id, LPCSTR text) {
    HWND c = GetDlgItem(dlg, id);
    return c ? SetWindowTextA(c, text) : FALSE;
}

// Leading blanks, a minus sign when signed, decimal digits, trailing blanks;
// anything else or a value out of range fails.
UINT WINAPI GetDlgItemInt(HWND dlg, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    HWND c = GetDlgItem(dlg, id);
    if (c == nullptr) return 0;
    char buf[64];
    GetWindowTextA(c, buf, sizeof buf);
    const char* p = buf;
    while (*p == ' ' || *p == '\t')
        p++;
    bool negative = false;
    if (isSigned && *p == '-') {
        negative = true;
        p++;
    }
    if (*p < '0' || *p > '9') return 0;
    unsigned long long v = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<unsigned>(*p - '0');
        if (v > 0xffffffffULL) return 0;
        p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p != 0) return 0;
    if (isSigned && v > (negative ? 0x80000000ULL : 0x7fffffffULL)) return 0;
    if (translated) *translated = TRUE;
    return negative ? static_cast<UINT>(0u - static_cast<UINT>(v)) : static_cast<UINT>(v);
}

BOOL WINAPI SetDlgItemInt(HWND dlg, int id, UINT value, BOOL isSigned) {
    char buf[16];
    if (isSigned) {
        snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
    } else {
        snprintf(buf, sizeof buf, "%u", value);
    }
    return SetDlgItemTextA(dlg, id, buf);
}

BOOL WINAPI CheckDlgButton(HWND dlg, int id, UINT check) {
    HWND c = GetDlgItem(dlg, id);
    if (c == nullptr) return FALSE;
    SendMessageA(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dlg, int id) {
    HWND c = GetDlgItem(dlg, id);
    return c ? static_cast<UINT>(SendMessageA(c, BM_GETCHECK, 0, 0)) : 0;
}

// Checks one button and clears every other with an id in the range.
BOOL WINAPI CheckRadioButton(HWND dlg, int first, int last, int check) {
    if (windowFromHandle(dlg) == nullptr) return FALSE;
    for (HWND h : childrenOf(dlg)) {
        Window* c = windowFromHandle(h);
        if (c == nullptr || !(c->style & WS_CHILD) || c->id < first || c->id > last) continue;
        SendMessageA(h, BM_SETCHECK, c->id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dlg, LPRECT rc) {
    Dialog* d = dialogFromHandle(dlg);
    if (d == nullptr || rc == nullptr) return FALSE;
    rc->left = toPixelsX(*d, rc->left);
    rc->right = toPixelsX(*d, rc->right);
    rc->top = toPixelsY(*d, rc->top);
    rc->bottom = toPixelsY(*d, rc->bottom);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    return MAKELONG(8, 16);
}
