// The walk through the plug-in's dialogs, as a user would open them: the
// setup dialog of a new block of every registered class, the measurement
// settings, copy and watchdog dialogs those offer, and the serial-port
// dialogs of the menu command with their parameter and monitor dialogs. Each
// dialog is read while it is open and closed again by the host, from inside
// the dialog's own message loop (see monitor.cpp).
//
// In the Windows build the texts are also measured: every static text,
// button, check box, radio button and group box must show its whole text in
// its own font within its client area, and a label whose text would fit on
// one line of its dialog must not be broken over several.
#include "hostsim/internal.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace hostsim {

namespace {

// Controls the walk knows the dialogs by.
const int kSetupName = 23018;       // block name, in every setup dialog
const int kSetupMeasurement = 1042; // "Measurement"
const int kSetupWatchdog = 1150;    // "Watchdog" / "Configuration"
const int kSampleDistance = 1007;   // in "Measurement"
const int kCopyFrom = 1138;         // "Copy from"
const int kCopyList = 1139;         // in "Copy Parameters from..."
const int kWatchdogTime = 1151;     // in "Watchdog"
const int kMonitorActive = 1004;    // "Active", in "Configuration of Serial Ports"
const int kMonitorShow = 1005;      // "&Monitor"
const int kPortAdd = 1040;          // "Add"
const int kParamPort = 1020;        // in "COM Port Parameters"
const int kMonitorList = 1030;      // in "RS232 Monitor"
const int kSerialPortsCommand = HOSTSIM_SERIAL_PORTS_COMMAND;
// Blocks made of a type that shares its module by function: one per
// function of ND6014 and ND6016 (analog input, digital outputs, digital
// input and counter).
const int kFunctionsShown = 3;

struct Walk {
    WalkOptions options;
    WalkResult* result = nullptr;
    const ModuleClass* moduleClass = nullptr;
    bool measurementDone = false;
    bool copyDone = false;
    bool watchdogDone = false;
    bool stepRan = false;
    bool creationShown = false;      // the last new block asked in a creation dialog
    std::map<std::string, int> keys; // dialogs of each kind and class so far
};
Walk walk;

void Out(const std::string& text) {
    if (walk.options.listing) fputs(text.c_str(), walk.options.listing);
}

void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string Quoted(const char* text) {
    return std::string("\"") + text + "\"";
}

std::string UpperClassName(HWND control) {
    char name[64];
    if (GetClassNameA(control, name, sizeof name) <= 0) name[0] = 0;
    for (char* p = name; *p; p++)
        *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
    return name;
}

std::string WindowText(HWND window) {
    char text[256];
    if (GetWindowTextA(window, text, sizeof text) < 0) text[0] = 0;
    return text;
}

// The entries of a combo or list box: all of them, or of a long list its
// first three and its last.
std::string Entries(HWND control, UINT countMsg, UINT selectedMsg, UINT lengthMsg, UINT textMsg) {
    int count = static_cast<int>(SendMessageA(control, countMsg, 0, 0));
    int selected = static_cast<int>(SendMessageA(control, selectedMsg, 0, 0));
    char line[64];
    snprintf(line, sizeof line, "  %d entries, entry %d selected:", count, selected);
    std::string out = line;
    for (int i = 0; i < count; i++) {
        if (count > 20 && i == 3) out += " ...";
        if (count > 20 && i >= 3 && i < count - 1) continue;
        char entry[256];
        LRESULT n = SendMessageA(control, lengthMsg, static_cast<WPARAM>(i), 0);
        if (n < 0 || n >= static_cast<LRESULT>(sizeof entry)) continue;
        SendMessageA(control, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
        out += ' ';
        out += Quoted(entry);
    }
    return out + "\n";
}

// Check boxes and radio buttons, of every kind.
bool Checkable(LONG type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

struct Describing {
    HWND dialog;
    std::string* out;
};

BOOL CALLBACK DescribeControl(HWND control, LPARAM param) {
    Describing* d = reinterpret_cast<Describing*>(param);
    // Only the dialog's own controls: a combo box's parts are its business.
    if (GetParent(control) != d->dialog) return TRUE;
    std::string name = UpperClassName(control);
    char id[32];
    snprintf(id, sizeof id, "control %d ",
             static_cast<int>(static_cast<short>(GetDlgCtrlID(control))));
    std::string line = id + name + " " + Quoted(WindowText(control).c_str());
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!(style & WS_VISIBLE)) line += " hidden";
    if (!IsWindowEnabled(control)) line += " disabled";
    if (name == "BUTTON" && Checkable(style & BS_TYPEMASK) &&
        SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
        line += " checked";
    *d->out += line + "\n";
    if (name == "COMBOBOX") {
        *d->out += Entries(control, CB_GETCOUNT, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    } else if (name == "LISTBOX") {
        *d->out += Entries(control, LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT);
    }
    return TRUE;
}

#ifdef _WIN32

// The text as a control shows it: "&&" is an ampersand, "&x" underlines x.
std::string Shown(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '&' && i + 1 < text.size()) i++;
        out += text[i];
    }
    return out;
}

// The text with the least room to spare, of one dialog.
struct Tightest {
    int slack = 1 << 30;
    std::string text;
    int width = 0, room = 0;
};

// What the measure of one control's text found.
enum TextFit { kNoText = -1, kClipped = 0, kFits = 1, kBroken = 2 };

// Measures one control's text in the control's own font against its client
// area: kFits, kClipped or kBroken (each fault with a line of the report), or
// kNoText when the control shows no text of its own. A wrapping static whose
// text holds no line break of its own is broken when it takes more than one
// line although the text, on one line, would fit between the control's left
// edge and the dialog's right edge.
TextFit CheckControlText(HWND control, const std::string& where, Tightest* tightest) {
    std::string name = UpperClassName(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    std::string text = WindowText(control);
    if (text.empty()) return kNoText;
    enum { kSingleLine, kWrapped, kBox, kGroup, kPush } kind;
    if (name == "STATIC") {
        LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
            kind = kWrapped;
        } else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) {
            kind = kSingleLine;
        } else {
            return kNoText; // icons, bitmaps, frames
        }
        if (!(style & SS_NOPREFIX)) text = Shown(text);
    } else if (name == "BUTTON") {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            kind = kPush;
        } else if (type == BS_GROUPBOX) {
            kind = kGroup;
        } else if (Checkable(type)) {
            kind = kBox;
        } else {
            return kNoText; // owner-drawn
        }
        text = Shown(text);
    } else {
        return kNoText;
    }

    RECT client;
    GetClientRect(control, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    int room = width;
    // Room the control leaves its text: the edge of a push button, the box of
    // a check box or radio button and the gap after it (half a digit), the
    // indent of a group box's caption in its frame.
    if (kind == kPush) room -= 2 * GetSystemMetrics(SM_CXEDGE);
    if (kind == kGroup) room -= 14;
    if (kind == kBox) {
        SIZE digit;
        GetTextExtentPoint32A(dc, "0", 1, &digit);
        room -= GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;
    }
    int needWidth = 0, needHeight = 0;
    SIZE oneLine = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &oneLine);
    if (kind == kWrapped || (name == "BUTTON" && (style & BS_MULTILINE))) {
        RECT r = {0, 0, room, 0};
        DrawTextA(dc, text.c_str(), -1, &r,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        needWidth = r.right - r.left;
        needHeight = r.bottom - r.top;
    } else {
        needWidth = oneLine.cx;
        needHeight = oneLine.cy;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    // Room for one line: from the control's left edge to the dialog's right.
    HWND dialog = GetParent(control);
    RECT place, inside;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    GetClientRect(dialog, &inside);
    bool broken = kind == kWrapped && text.find('\n') == std::string::npos &&
                  needHeight > oneLine.cy && oneLine.cx <= inside.right - place.left;
    // A group box's caption sits on its frame: only the width counts.
    bool fits = needWidth <= room && (kind == kGroup || needHeight <= height);
    if (room - needWidth < tightest->slack) {
        tightest->slack = room - needWidth;
        tightest->text = WindowText(control);
        tightest->width = needWidth;
        tightest->room = room;
    }
    FILE* report = walk.options.report;
    int id = static_cast<int>(static_cast<short>(GetDlgCtrlID(control)));
    if (!fits) {
        if (report) {
            fprintf(report,
                    "text clipped: %s control %d %s \"%s\": the text is %d px wide and %d px high, "
                    "the control leaves it %d px by %d px\n",
                    where.c_str(), id, name.c_str(), WindowText(control).c_str(), needWidth,
                    needHeight, room, height);
        }
        return kClipped;
    }
    if (broken) {
        if (report) {
            fprintf(report,
                    "text broken: %s control %d %s \"%s\": %d lines in %d px, on one line the "
                    "text is %d px wide\n",
                    where.c_str(), id, name.c_str(), WindowText(control).c_str(),
                    oneLine.cy > 0 ? needHeight / static_cast<int>(oneLine.cy) : 0, room,
                    static_cast<int>(oneLine.cx));
        }
        return kBroken;
    }
    return kFits;
}

struct Fitting {
    HWND dialog;
    std::string where;
    int texts = 0;
    int clipped = 0;
    int broken = 0;
    Tightest tightest;
};

BOOL CALLBACK FitControl(HWND control, LPARAM param) {
    Fitting* f = reinterpret_cast<Fitting*>(param);
    if (GetParent(control) != f->dialog) return TRUE;
    TextFit fit = CheckControlText(control, f->where, &f->tightest);
    if (fit != kNoText) f->texts++;
    if (fit == kClipped) f->clipped++;
    if (fit == kBroken) f->broken++;
    return TRUE;
}

void CheckTexts(HWND dialog, const std::string& where) {
    Fitting f;
    f.dialog = dialog;
    f.where = where;
    EnumChildWindows(dialog, FitControl, reinterpret_cast<LPARAM>(&f));
    walk.result->texts += f.texts;
    walk.result->clipped += f.clipped;
    walk.result->broken += f.broken;
    walk.result->measured++;
    if (walk.options.report) {
        fprintf(walk.options.report, "text fit: %s: %d texts, %d clipped, %d broken", where.c_str(),
                f.texts, f.clipped, f.broken);
        if (f.texts > 0)
            fprintf(walk.options.report, "; least room to spare: \"%s\", %d of %d px",
                    f.tightest.text.c_str(), f.tightest.width, f.tightest.room);
        fprintf(walk.options.report, "\n");
    }
}

// A template as the plug-in shows it: its controls in the dialog's font made
// regular, as the plug-in's CenterDialog gives every control but edits and
// boxes.
INT_PTR CALLBACK TemplateProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

BOOL CALLBACK GiveFont(HWND child, LPARAM font) {
    std::string name = UpperClassName(child);
    if (name != "EDIT" && name != "LISTBOX" && name != "COMBOBOX")
        SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

// Makes the dialog of a template, its controls in the dialog's font made
// regular (`*regular`, for DeleteObject after the dialog); nullptr when it
// cannot be made.
HWND MakeTemplate(HMODULE module, LPCSTR name, HFONT* regular) {
    *regular = nullptr;
    HWND dialog = CreateDialogParamA(module, name, MainWindow(), TemplateProc, 0);
    if (dialog == nullptr) return nullptr;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA description;
    if (font && GetObjectA(font, sizeof description, &description) == sizeof description) {
        description.lfWeight = FW_NORMAL;
        *regular = CreateFontIndirectA(&description);
    }
    if (*regular) EnumChildWindows(dialog, GiveFont, reinterpret_cast<LPARAM>(*regular));
    return dialog;
}

BOOL CALLBACK CheckTemplate(HMODULE module, LPCSTR, LPSTR name, LONG_PTR) {
    std::string label = IS_INTRESOURCE(name)
                            ? "template #" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                            : std::string("template ") + name;
    HFONT regular;
    HWND dialog = MakeTemplate(module, name, &regular);
    if (dialog == nullptr) {
        if (walk.options.report)
            fprintf(walk.options.report, "text fit: %s: cannot be made\n", label.c_str());
        walk.result->clipped++;
        return TRUE;
    }
    CheckTexts(dialog, label);
    DestroyWindow(dialog);
    if (regular) DeleteObject(regular);
    return TRUE;
}

// The measure tried on the host's own template FIT_PROBE, which holds one
// clipped label (control 1), one broken over two lines (2) and two that
// fit, one of them on two lines of its own (3, 4): 1 when the measure finds
// exactly the two faults. Its lines stay out of the report.
int ProbeTextFit() {
    HFONT regular;
    HWND dialog = MakeTemplate(GetModuleHandleA(nullptr), "FIT_PROBE", &regular);
    if (dialog == nullptr) return 0;
    FILE* report = walk.options.report;
    walk.options.report = nullptr;
    TextFit found[4];
    Tightest tightest;
    for (int id = 1; id <= 4; id++)
        found[id - 1] = CheckControlText(GetDlgItem(dialog, id), "probe", &tightest);
    walk.options.report = report;
    DestroyWindow(dialog);
    if (regular) DeleteObject(regular);
    return found[0] == kClipped && found[1] == kBroken && found[2] == kFits && found[3] == kFits;
}

#endif

// What the walk does with an open dialog first: its listing, its texts
// measured, and the pause for a picture.
void Visit(HWND dialog, const char* key, const std::string& description = std::string()) {
    walk.stepRan = true;
    walk.result->dialogs++;
    Out(DescribeDialog(dialog));
    std::string caption = WindowText(dialog);
    std::string where = std::string(key) + " \"" + caption + "\"";
    walk.result->laidOut++;
    walk.result->layoutFaults += CheckDialogLayout(dialog, where, description, walk.options.report);
#ifdef _WIN32
    if (walk.options.fit) CheckTexts(dialog, where);
#endif
    HoldDialog(dialog, key, walk.options.holdSeconds, walk.options.listing);
}

// Opens the nested dialog of a button and reports whether it showed.
void Nested(HWND dialog, int button, int control, void (*run)(HWND), const char* what) {
    walk.stepRan = false;
    Out(std::string("== ") + what + "\n");
    OpenNestedDialog(dialog, button, control, run);
    if (!walk.stepRan) {
        Out("not shown\n");
        walk.result->missing++;
    }
}

bool Offered(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control) && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
}

// A shared dialog once in the walk, from the first dialog that offers its
// button.
void NestedOnce(bool* done, HWND dialog, int button, int control, void (*run)(HWND),
                const char* what) {
    if (*done || !Offered(dialog, button)) return;
    *done = true;
    Nested(dialog, button, control, run, what);
}

void CopyStep(HWND dialog) {
    Visit(dialog, "copy-parameters");
    Press(dialog, IDCANCEL);
}

void MeasurementStep(HWND dialog) {
    Visit(dialog, "measurement");
    NestedOnce(&walk.copyDone, dialog, kCopyFrom, kCopyList, CopyStep,
               "copy parameters, from \"Copy from\"");
    Press(dialog, IDCANCEL);
}

void WatchdogStep(HWND dialog) {
    Visit(dialog, "watchdog");
    Press(dialog, IDCANCEL);
}

// The key of a dialog of the class for a picture: "setup-2955"; the dialogs
// of the next blocks of one class "setup-2989-2", "setup-2989-3".
std::string Key(const char* kind) {
    int menuId = walk.moduleClass->record.uMenuId;
    int n = ++walk.keys[std::string(kind) + std::to_string(menuId)];
    std::string key = std::string(kind) + "-" + std::to_string(menuId);
    return n > 1 ? key + "-" + std::to_string(n) : key;
}

void SetupStep(HWND dialog) {
    std::string key = Key("setup");
    // The setup dialog of a block shows the channels its type names.
    Visit(dialog, key.c_str(), walk.moduleClass->description);
    NestedOnce(&walk.measurementDone, dialog, kSetupMeasurement, kSampleDistance, MeasurementStep,
               "measurement settings, from \"Measurement\"");
    NestedOnce(&walk.watchdogDone, dialog, kSetupWatchdog, kWatchdogTime, WatchdogStep,
               "watchdog, from its button");
    Press(dialog, IDOK);
}

void ParamStep(HWND dialog) {
    Visit(dialog, "port-parameters");
    Press(dialog, IDCANCEL);
}

void MonitorStep(HWND dialog) {
    Visit(dialog, "rs232-monitor");
    Press(dialog, IDOK); // &Close
}

void PortsStep(HWND dialog) {
    Visit(dialog, "serial-ports");
    Nested(dialog, kPortAdd, kParamPort, ParamStep, "port parameters, from \"Add\"");
    // The monitor is switched on for its dialog and off again after it.
    bool switched = IsDlgButtonChecked(dialog, kMonitorActive) != BST_CHECKED;
    if (switched) {
        CheckDlgButton(dialog, kMonitorActive, BST_CHECKED);
        Press(dialog, kMonitorActive);
    }
    Nested(dialog, kMonitorShow, kMonitorList, MonitorStep, "RS-232 monitor, from \"&Monitor\"");
    if (switched) {
        CheckDlgButton(dialog, kMonitorActive, BST_UNCHECKED);
        Press(dialog, kMonitorActive);
    }
    // Cancel: the driver INI file is not written.
    Press(dialog, IDCANCEL);
}

// Whether the class handed the message to the host's default action, as a
// class whose type is not built yet does with every message.
bool HandedToHost(size_t firstCall, UINT msg) {
    const std::vector<DefaultActionCall>& calls = DefaultActionCalls();
    for (size_t i = firstCall; i < calls.size(); i++) {
        if (calls[i].msg == msg) return true;
    }
    return false;
}

std::string Head(const ModuleClass* c) {
    return "== class " + ClassLine(c);
}

// The creation dialog of a type that asks first for the hardware module and
// the function (the multi-block types): read, then OK, a new hardware
// module (or the first one with a function free) with its first free
// function.
void CreationStep(HWND dialog) {
    std::string key = Key("creation");
    walk.creationShown = true;
    Visit(dialog, key.c_str());
    Press(dialog, IDOK);
}

// A new block of the class, as the host makes it from the menu; nullptr (and
// the class listed) when there is none.
Block* NewBlock(const ModuleClass* c) {
    size_t calls = DefaultActionCalls().size();
    int answer = 0;
    walk.moduleClass = c;
    walk.creationShown = false;
    AnswerCreationDialogs(CreationStep);
    Block* block = CreateBlock(c, &answer);
    AnswerCreationDialogs(nullptr);
    if (block != nullptr) return block;
    if (HandedToHost(calls, MODMSG_CREATE)) {
        Out(Head(c) + ": skipped, not built (no dialog)\n");
        walk.result->skipped++;
    } else {
        Out(Head(c) + ": refused a new block (answer " + std::to_string(answer) + ")\n");
        walk.result->missing++;
    }
    return nullptr;
}

void WalkSetupDialog(Block* block) {
    const ModuleClass* c = block->moduleClass;
    Out(Head(c) + ": setup dialog\n");
    walk.moduleClass = c;
    walk.stepRan = false;
    size_t calls = DefaultActionCalls().size();
    int answer = 0;
    QueueDialogStep(kSetupName, SetupStep);
    answer = SendClassMessage(block, MODMSG_SETUP_DIALOG, 0, 0);
    char tail[200];
    if (walk.stepRan) {
        snprintf(tail, sizeof tail,
                 "setup dialog: answer %d, closed with OK; block \"%.*s\": %u "
                 "outputs, %u inputs\n",
                 answer, static_cast<int>(sizeof block->record.szName), block->record.szName,
                 block->record.uOutputs, block->record.uInputs);
        walk.result->setupDialogs++;
    } else if (HandedToHost(calls, MODMSG_SETUP_DIALOG)) {
        snprintf(tail, sizeof tail, "setup dialog: none, the class hands it to the host\n");
        walk.result->skipped++;
    } else {
        snprintf(tail, sizeof tail, "setup dialog: answer %d, not shown\n", answer);
        walk.result->missing++;
    }
    Out(tail);
}

} // namespace

std::string DescribeDialog(HWND dialog) {
    std::string out = "dialog " + Quoted(WindowText(dialog).c_str()) + "\n";
    Describing d = {dialog, &out};
    EnumChildWindows(dialog, DescribeControl, reinterpret_cast<LPARAM>(&d));
    return out;
}

void HoldDialog(HWND dialog, const char* key, double seconds, FILE* out) {
    if (!(seconds > 0.0)) return;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
#ifdef _WIN32
    // No blinking caret in the focused edit: a picture of the dialog does not
    // depend on the moment it is taken.
    HideCaret(nullptr);
#endif
    RECT r;
    GetWindowRect(dialog, &r);
    if (out) {
        fprintf(out, "hold: %s %ld %ld %ld %ld\n", key, static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right - r.left),
                static_cast<long>(r.bottom - r.top));
        fflush(out);
    }
    DWORD start = GetTickCount();
    DWORD ms = static_cast<DWORD>(seconds * 1000.0);
    while (GetTickCount() - start < ms) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(20);
    }
}

int WalkDialogs(const WalkOptions& options, HMODULE plugin, WalkResult* result) {
    *result = WalkResult();
    walk = Walk();
    walk.options = options;
    walk.result = result;
    Out("classes: " + std::to_string(ClassCount()) + "\n");
    // Every block is made before the first dialog opens, so the dialogs see
    // a worksheet of several blocks (the measurement settings offer to copy
    // from another block); with one block only, a second of its class.
    std::vector<Block*> blocks;
    for (int i = 0; i < ClassCount(); i++) {
        const ModuleClass* c = ClassAt(i);
        if (!options.onlyMenuIds.empty() &&
            std::find(options.onlyMenuIds.begin(), options.onlyMenuIds.end(), c->record.uMenuId) ==
                options.onlyMenuIds.end())
            continue;
        result->classes++;
        Block* block = NewBlock(c);
        if (block == nullptr) continue;
        blocks.push_back(block);
        // A type that shares one hardware module among blocks by function
        // (it asks in a creation dialog): the blocks of the next functions
        // of that module too, each with its own setup dialog.
        for (int k = 1; k < kFunctionsShown && walk.creationShown; k++) {
            Out(Head(c) + ": the block of the next function\n");
            Block* more = NewBlock(c);
            if (more == nullptr) continue;
            blocks.push_back(more);
            result->functionBlocks++;
        }
    }
    if (blocks.size() == 1) {
        Out(Head(blocks[0]->moduleClass) + ": a second block, to copy settings from\n");
        NewBlock(blocks[0]->moduleClass);
    }
    for (Block* block : blocks)
        WalkSetupDialog(block);

    walk.stepRan = false;
    Out("== serial ports, from menu command " + std::to_string(kSerialPortsCommand) + "\n");
    QueueDialogStep(kMonitorActive, PortsStep);
    if (!ChooseMenuCommand(kSerialPortsCommand) || !walk.stepRan) {
        Out("not shown\n");
        result->missing++;
    }

#ifdef _WIN32
    // Every template the plug-in ships, also those no step of this walk
    // reached.
    if (options.fit && options.templates && plugin) {
        EnumResourceNamesA(plugin, RT_DIALOG, CheckTemplate, 0);
        result->probeFound = ProbeTextFit();
        if (options.report)
            fprintf(options.report, "text fit probe: %s\n",
                    result->probeFound ? "the measure finds a clipped and a broken label"
                                       : "the measure misses a clipped or a broken label");
    }
#else
    (void)plugin;
#endif
    char line[200];
    snprintf(line, sizeof line,
             "== walked %d classes: %d setup dialogs, %d skipped; %d dialogs in all, %d not "
             "shown\n",
             result->classes, result->setupDialogs, result->skipped, result->dialogs,
             result->missing);
    Out(line);
    if (options.report)
        fprintf(options.report, "layout: %d dialogs, %d faults\n", result->laidOut,
                result->layoutFaults);
    return result->missing == 0 && result->clipped == 0 && result->broken == 0 &&
           result->probeFound != 0 && result->layoutFaults == 0;
}

} // namespace hostsim
