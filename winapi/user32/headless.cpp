// The user of the headless layer: the queued actions the modal loop plays,
// what it records when a dialog is left waiting, the snapshots of destroyed
// dialogs, and message boxes with their queued answers.
#include "user32/dialog.h"
#include "winapi_headless.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>

#include <deque>

namespace winapi {
void resetFileDialogs(); // comdlg32

namespace {

enum ActionKind {
    kType,
    kPick,
    kClick,
    kDoubleClick,
    kMouseDown,
    kMouseUp,
    kRightDoubleClick,
    kCtrl,
    kMessage,
    kCallback,
    kOk,
    kCancel
};

struct Action {
    ActionKind kind;
    int id = 0;
    std::string text;
    UINT msg = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
    WinapiDialogCallback callback = nullptr;
    void* user = nullptr;
};

const char* const actionNames[] = {
    "type", "pick",    "click",    "double-click", "mouse down", "mouse up", "right double-click",
    "ctrl", "message", "callback", "OK",           "Cancel"};

std::deque<Action> actions;
std::vector<std::string> unfinished;
int failedActions = 0;

struct SnapControl {
    WinapiControlInfo info;
    std::vector<std::string> items;
};
struct Snapshot {
    std::string name;
    INT_PTR result = 0;
    bool cancelledByRun = false;
    std::vector<SnapControl> controls;
};
std::vector<Snapshot> snapshots;
std::vector<HWND> cancelledDialogs; // being cancelled by the run

std::deque<int> messageBoxAnswers;
std::vector<WinapiMessageBoxCall> messageBoxes;
int unansweredMessageBoxes = 0;

void queue(const Action& a) {
    actions.push_back(a);
}

Action make(ActionKind k, int id = 0, const char* text = nullptr) {
    Action a;
    a.kind = k;
    a.id = id;
    a.text = text ? text : "";
    return a;
}

bool okOrCancel(HWND dlg, int id) {
    HWND b = GetDlgItem(dlg, id);
    if (b != nullptr && controlKind(b) == kButton) return userClick(b);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
    return true;
}

// Plays one action on the dialog; false when the dialog could not take it.
bool play(HWND dlg, const Action& a) {
    switch (a.kind) {
    case kCtrl: setCtrlHeld(a.id != 0); return true;
    case kCallback:
        if (a.callback) a.callback(dlg, a.user);
        return true;
    case kOk: return okOrCancel(dlg, IDOK);
    case kCancel: return okOrCancel(dlg, IDCANCEL);
    case kMessage: {
        HWND target = a.id == 0 ? dlg : GetDlgItem(dlg, a.id);
        if (target == nullptr) return false;
        SendMessageA(target, a.msg, a.wp, a.lp);
        return true;
    }
    default: break;
    }
    HWND c = GetDlgItem(dlg, a.id);
    if (c == nullptr) return false;
    switch (a.kind) {
    case kType: return userType(c, a.text.c_str());
    case kPick: return userPick(c, a.text.c_str());
    case kClick: return userClick(c);
    case kDoubleClick: return userDoubleClick(c);
    case kMouseDown: return userMouse(c, WM_LBUTTONDOWN);
    case kMouseUp: return userMouse(c, WM_LBUTTONUP);
    case kRightDoubleClick: return userMouse(c, WM_RBUTTONDBLCLK);
    default: return false;
    }
}

bool playChecked(HWND dlg, const Action& a) {
    std::string name = templateNameOf(nullptr);
    Dialog* d = dialogFromHandle(dlg);
    if (d) name = d->templateName;
    if (play(dlg, a)) return true;
    failedActions++;
    fprintf(stderr, "winapi: dialog %s: %s on control %d refused%s%s\n", name.c_str(),
            actionNames[a.kind], a.id, a.text.empty() ? "" : " for ", a.text.c_str());
    return false;
}

const Snapshot* findSnapshot(LPCSTR dialog) {
    if (snapshots.empty()) return nullptr;
    if (dialog == nullptr) return &snapshots.back();
    std::string want = templateNameOf(dialog);
    for (size_t i = snapshots.size(); i > 0; i--) {
        if (strcasecmp(snapshots[i - 1].name.c_str(), want.c_str()) == 0) return &snapshots[i - 1];
    }
    return nullptr;
}

const SnapControl* findControl(LPCSTR dialog, int id) {
    const Snapshot* s = findSnapshot(dialog);
    if (s == nullptr) return nullptr;
    for (const SnapControl& c : s->controls) {
        if (c.info.id == id) return &c;
    }
    return nullptr;
}

int copyText(const std::string& s, char* buf, int size) {
    if (buf == nullptr || size <= 0) return 0;
    snprintf(buf, static_cast<size_t>(size), "%s", s.c_str());
    return 1;
}

BOOL CALLBACK snapOne(HWND h, LPARAM lp) {
    Snapshot* s = reinterpret_cast<Snapshot*>(lp);
    SnapControl c;
    memset(&c.info, 0, sizeof c.info);
    c.info.id = GetDlgCtrlID(h);
    GetClassNameA(h, c.info.className, sizeof c.info.className);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(h)) + 1, '\0');
    GetWindowTextA(h, &text[0], static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    snprintf(c.info.text, sizeof c.info.text, "%s", text.c_str());
    c.info.style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    c.info.check =
        controlKind(h) == kButton ? static_cast<int>(SendMessageA(h, BM_GETCHECK, 0, 0)) : 0;
    c.info.enabled = IsWindowEnabled(h) ? 1 : 0;
    c.info.visible = (c.info.style & WS_VISIBLE) ? 1 : 0;
    c.info.itemCount = controlItemCount(h);
    c.info.selection = controlSelection(h);
    for (int i = 0; i < c.info.itemCount; i++)
        c.items.push_back(controlItem(h, i));
    s->controls.push_back(c);
    return TRUE;
}

// The buttons of a message box by its type, the default one by MB_DEFBUTTONn.
int defaultAnswer(UINT type) {
    static const int buttons[6][3] = {{IDOK, IDOK, IDOK},           {IDOK, IDCANCEL, IDCANCEL},
                                      {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                      {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL}};
    unsigned t = type & MB_TYPEMASK, def = (type & MB_DEFMASK) >> 8;
    if (t > 5) t = 0;
    if (def > 2) def = 0;
    return buttons[t][def];
}

} // namespace

bool playNextAction(HWND dlg, bool* haveAction) {
    if (actions.empty()) {
        *haveAction = false;
        return false;
    }
    *haveAction = true;
    Action a = actions.front();
    actions.pop_front();
    return playChecked(dlg, a);
}

void recordUnfinished(const std::string& name) {
    unfinished.push_back(name);
    fprintf(stderr, "winapi: dialog %s left waiting with no action queued: cancelled\n",
            name.c_str());
    HWND m = modalDialog();
    if (m) cancelledDialogs.push_back(m);
}

void recordSnapshot(Dialog* d) {
    Snapshot s;
    s.name = d->templateName;
    s.result = d->result;
    for (HWND h : cancelledDialogs) {
        if (h == d->hwnd) s.cancelledByRun = true;
    }
    EnumChildWindows(d->hwnd, snapOne, reinterpret_cast<LPARAM>(&s));
    // The latest of each dialog is kept: a dialog opened again and again (the
    // host reads the monitor every second) does not pile up its snapshots.
    for (size_t i = 0; i < snapshots.size(); i++) {
        if (strcasecmp(snapshots[i].name.c_str(), s.name.c_str()) == 0) {
            snapshots.erase(snapshots.begin() + static_cast<long>(i));
            break;
        }
    }
    snapshots.push_back(s);
}

} // namespace winapi

using namespace winapi;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    WinapiMessageBoxCall c;
    memset(&c, 0, sizeof c);
    c.owner = owner;
    snprintf(c.caption, sizeof c.caption, "%s", caption ? caption : "Error");
    snprintf(c.text, sizeof c.text, "%s", text ? text : "");
    c.type = type;
    if (!messageBoxAnswers.empty()) {
        c.answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
        c.answered = 1;
    } else {
        c.answer = defaultAnswer(type);
        unansweredMessageBoxes++;
        fprintf(stderr, "winapi: message box \"%s\" unanswered: %s\n", c.caption, c.text);
    }
    messageBoxes.push_back(c);
    return c.answer;
}

BOOL WINAPI MessageBeep(UINT) {
    return TRUE;
}

extern "C" {

void WinapiQueueType(int id, const char* text) {
    queue(make(kType, id, text));
}
void WinapiQueuePick(int id, const char* text) {
    queue(make(kPick, id, text));
}
void WinapiQueueClick(int id) {
    queue(make(kClick, id));
}
void WinapiQueueDoubleClick(int id) {
    queue(make(kDoubleClick, id));
}
void WinapiQueueMouseDown(int id) {
    queue(make(kMouseDown, id));
}
void WinapiQueueMouseUp(int id) {
    queue(make(kMouseUp, id));
}
void WinapiQueueRightDoubleClick(int id) {
    queue(make(kRightDoubleClick, id));
}
void WinapiQueueCtrl(int held) {
    queue(make(kCtrl, held));
}
void WinapiQueueMessage(int id, UINT msg, WPARAM wp, LPARAM lp) {
    Action a = make(kMessage, id);
    a.msg = msg;
    a.wp = wp;
    a.lp = lp;
    queue(a);
}
void WinapiQueueCallback(WinapiDialogCallback callback, void* user) {
    Action a = make(kCallback);
    a.callback = callback;
    a.user = user;
    queue(a);
}
void WinapiQueueOk(void) {
    queue(make(kOk));
}
void WinapiQueueCancel(void) {
    queue(make(kCancel));
}
int WinapiQueuedActionCount(void) {
    return static_cast<int>(actions.size());
}

int WinapiUserType(HWND dialog, int id, const char* text) {
    return playChecked(dialog, make(kType, id, text)) ? 1 : 0;
}
int WinapiUserPick(HWND dialog, int id, const char* text) {
    return playChecked(dialog, make(kPick, id, text)) ? 1 : 0;
}
int WinapiUserClick(HWND dialog, int id) {
    return playChecked(dialog, make(kClick, id)) ? 1 : 0;
}
int WinapiUserDoubleClick(HWND dialog, int id) {
    return playChecked(dialog, make(kDoubleClick, id)) ? 1 : 0;
}
int WinapiUserMouseDown(HWND dialog, int id) {
    return playChecked(dialog, make(kMouseDown, id)) ? 1 : 0;
}
int WinapiUserMouseUp(HWND dialog, int id) {
    return playChecked(dialog, make(kMouseUp, id)) ? 1 : 0;
}
int WinapiUserRightDoubleClick(HWND dialog, int id) {
    return playChecked(dialog, make(kRightDoubleClick, id)) ? 1 : 0;
}
int WinapiUserOk(HWND dialog) {
    return playChecked(dialog, make(kOk)) ? 1 : 0;
}
int WinapiUserCancel(HWND dialog) {
    return playChecked(dialog, make(kCancel)) ? 1 : 0;
}

HWND WinapiModalDialog(void) {
    return modalDialog();
}

int WinapiDialogTemplateName(HWND dialog, char* buf, int size) {
    Dialog* d = dialogFromHandle(dialog);
    if (d == nullptr) return 0;
    return copyText(d->templateName, buf, size);
}

int WinapiUnfinishedDialogCount(void) {
    return static_cast<int>(unfinished.size());
}

int WinapiUnfinishedDialogName(int index, char* buf, int size) {
    if (index < 0 || static_cast<size_t>(index) >= unfinished.size()) return 0;
    return copyText(unfinished[static_cast<size_t>(index)], buf, size);
}

int WinapiFailedActionCount(void) {
    return failedActions;
}

int WinapiDialogSnapshotCount(void) {
    return static_cast<int>(snapshots.size());
}

int WinapiLiveWindowCount(void) {
    return static_cast<int>(liveWindowCount());
}

int WinapiDialogFound(LPCSTR dialog) {
    return findSnapshot(dialog) ? 1 : 0;
}

INT_PTR WinapiDialogResult(LPCSTR dialog) {
    const Snapshot* s = findSnapshot(dialog);
    return s ? s->result : -1;
}

int WinapiDialogCancelledByRun(LPCSTR dialog) {
    const Snapshot* s = findSnapshot(dialog);
    return (s && s->cancelledByRun) ? 1 : 0;
}

int WinapiDialogControlCount(LPCSTR dialog) {
    const Snapshot* s = findSnapshot(dialog);
    return s ? static_cast<int>(s->controls.size()) : 0;
}

int WinapiDialogControlAt(LPCSTR dialog, int index, WinapiControlInfo* out) {
    const Snapshot* s = findSnapshot(dialog);
    if (s == nullptr || out == nullptr || index < 0 ||
        static_cast<size_t>(index) >= s->controls.size())
        return 0;
    *out = s->controls[static_cast<size_t>(index)].info;
    return 1;
}

int WinapiDialogControl(LPCSTR dialog, int id, WinapiControlInfo* out) {
    const SnapControl* c = findControl(dialog, id);
    if (c == nullptr || out == nullptr) return 0;
    *out = c->info;
    return 1;
}

int WinapiDialogText(LPCSTR dialog, int id, char* buf, int size) {
    const SnapControl* c = findControl(dialog, id);
    if (c == nullptr) {
        copyText("", buf, size);
        return 0;
    }
    return copyText(c->info.text, buf, size);
}

int WinapiDialogItem(LPCSTR dialog, int id, int index, char* buf, int size) {
    const SnapControl* c = findControl(dialog, id);
    if (c == nullptr || index < 0 || static_cast<size_t>(index) >= c->items.size()) {
        copyText("", buf, size);
        return 0;
    }
    return copyText(c->items[static_cast<size_t>(index)], buf, size);
}

int WinapiLastDialogText(int id, char* buf, int size) {
    return WinapiDialogText(nullptr, id, buf, size);
}

int WinapiLastDialogCheck(int id) {
    const SnapControl* c = findControl(nullptr, id);
    return c ? c->info.check : -1;
}

void WinapiQueueMessageBoxAnswer(int answer) {
    messageBoxAnswers.push_back(answer);
}

int WinapiMessageBoxCount(void) {
    return static_cast<int>(messageBoxes.size());
}

int WinapiMessageBoxAt(int index, WinapiMessageBoxCall* out) {
    if (index < 0 || static_cast<size_t>(index) >= messageBoxes.size() || out == nullptr) return 0;
    *out = messageBoxes[static_cast<size_t>(index)];
    return 1;
}

int WinapiUnansweredMessageBoxCount(void) {
    return unansweredMessageBoxes;
}

void WinapiDialogsReset(void) {
    actions.clear();
    unfinished.clear();
    failedActions = 0;
    snapshots.clear();
    cancelledDialogs.clear();
    messageBoxAnswers.clear();
    messageBoxes.clear();
    unansweredMessageBoxes = 0;
    setCtrlHeld(false);
    setLeftButtonDown(false);
    resetFileDialogs();
    resetChoosers();
    resetTextOutput();
}

} // extern "C"
