// The colour and font choosers. Each call shows a small dialog of its own
// (a first edit field, OK as control 1, Cancel as control 2), gives the
// caller's hook WM_INITDIALOG after its own, notes where the dialog then
// stands and which control has the focus, and takes the next queued answer.
#include "internal.h"
#include "winapi_headless.h"

#include <commdlg.h>
#include <stddef.h>
#include <string.h>

#include <deque>
#include <vector>

static_assert(sizeof(CHOOSECOLORA) == 36, "CHOOSECOLORA size");
static_assert(offsetof(CHOOSECOLORA, rgbResult) == 12, "rgbResult");
static_assert(offsetof(CHOOSECOLORA, lpCustColors) == 16, "lpCustColors");
static_assert(offsetof(CHOOSECOLORA, Flags) == 20, "CHOOSECOLORA Flags");
static_assert(offsetof(CHOOSECOLORA, lpfnHook) == 28, "CHOOSECOLORA lpfnHook");
static_assert(sizeof(CHOOSEFONTA) == 60, "CHOOSEFONTA size");
static_assert(offsetof(CHOOSEFONTA, lpLogFont) == 12, "lpLogFont");
static_assert(offsetof(CHOOSEFONTA, iPointSize) == 16, "iPointSize");
static_assert(offsetof(CHOOSEFONTA, Flags) == 20, "CHOOSEFONTA Flags");
static_assert(offsetof(CHOOSEFONTA, lpfnHook) == 32, "CHOOSEFONTA lpfnHook");
static_assert(offsetof(CHOOSEFONTA, nFontType) == 48, "nFontType");
static_assert(offsetof(CHOOSEFONTA, nSizeMax) == 56, "nSizeMax");

namespace {

const int kColorKind = 1;
const int kFontKind = 2;
// The first control of each dialog: the red value of the colour dialog, the
// face name of the font dialog.
const int kColorFirstControl = 706;
const int kFontFirstControl = 1136;

struct ColorAnswer {
    bool accept;
    COLORREF color;
    int customIndex;
    COLORREF custom;
};
struct FontAnswer {
    bool accept;
    LOGFONTA font;
};
std::deque<ColorAnswer> colorAnswers;
std::deque<FontAnswer> fontAnswers;
std::vector<WinapiChooserCall> calls;
int unanswered = 0;

// What the dialog procedure needs while the chooser runs.
struct Running {
    UINT_PTR(CALLBACK* hook)(HWND, UINT, WPARAM, LPARAM);
    HFONT font;
};

INT_PTR CALLBACK chooserProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    Running* r = reinterpret_cast<Running*>(static_cast<LONG_PTR>(GetWindowLongA(dlg, DWL_USER)));
    if (r == nullptr) return FALSE;
    switch (msg) {
    case WM_SETFONT: r->font = reinterpret_cast<HFONT>(wp); return TRUE;
    case WM_GETFONT:
        SetWindowLongA(dlg, DWL_MSGRESULT, static_cast<LONG>(reinterpret_cast<LONG_PTR>(r->font)));
        return TRUE;
    case WM_INITDIALOG:
        // The dialog's own set-up is done; the hook's answer decides the focus.
        return r->hook ? static_cast<INT_PTR>(r->hook(dlg, msg, wp, lp)) : TRUE;
    default: return r->hook ? static_cast<INT_PTR>(r->hook(dlg, msg, wp, lp)) : FALSE;
    }
}

HWND addControl(HWND dlg, const char* cls, const char* text, DWORD style, int id, int x, int y) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, 75, 23,
                           dlg, reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(id)), nullptr,
                           nullptr);
}

// Shows the chooser's dialog up to the end of WM_INITDIALOG and notes the
// call; the caller takes the answer.
void runDialog(int kind, HWND owner, DWORD flags,
               UINT_PTR(CALLBACK* hook)(HWND, UINT, WPARAM, LPARAM), LPARAM initParam,
               WinapiChooserCall* call) {
    memset(call, 0, sizeof *call);
    call->kind = kind;
    call->owner = owner;
    call->flags = flags;
    Running running = {hook, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};
    bool color = kind == kColorKind;
    HWND dlg =
        CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", color ? "Color" : "Font",
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, color ? 240 : 420,
                        color ? 320 : 300, owner, nullptr, nullptr, nullptr);
    if (dlg == nullptr) return;
    SetWindowLongA(dlg, DWL_USER, static_cast<LONG>(reinterpret_cast<LONG_PTR>(&running)));
    SetWindowLongA(dlg, DWL_DLGPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(chooserProc)));
    HWND first = addControl(dlg, "EDIT", "", WS_BORDER,
                            color ? kColorFirstControl : kFontFirstControl, 10, 10);
    HWND ok = addControl(dlg, "BUTTON", "OK", BS_DEFPUSHBUTTON, IDOK, 10, 250);
    addControl(dlg, "BUTTON", "Cancel", BS_PUSHBUTTON, IDCANCEL, 95, 250);
    for (HWND c : {first, ok, GetDlgItem(dlg, IDCANCEL)})
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(running.font), FALSE);

    call->hooked = hook != nullptr;
    if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam))
        SetFocus(first);
    GetWindowRect(dlg, &call->placed);
    HWND focus = GetFocus();
    call->focusId = (focus != nullptr && IsChild(dlg, focus)) ? GetDlgCtrlID(focus) : 0;
    call->okFont = reinterpret_cast<HFONT>(SendMessageA(ok, WM_GETFONT, 0, 0));
    SetWindowLongA(dlg, DWL_USER, 0);
    DestroyWindow(dlg);
}

} // namespace

namespace winapi {
void resetChoosers() {
    colorAnswers.clear();
    fontAnswers.clear();
    calls.clear();
    unanswered = 0;
}
} // namespace winapi

namespace {

// The structure checks both choosers make before any dialog: 0 and the
// extended error when one fails.
bool structureUsable(bool sizeRight, bool initialised) {
    winapi::setCommDlgError(0);
    if (!sizeRight) {
        winapi::setCommDlgError(CDERR_STRUCTSIZE);
        return false;
    }
    if (!initialised) {
        winapi::setCommDlgError(CDERR_INITIALIZATION);
        return false;
    }
    return true;
}

// Takes the next answer for the call and records the call: true for OK.
template <typename Answer>
bool takeAnswer(std::deque<Answer>* answers, WinapiChooserCall* call, Answer* answer) {
    if (answers->empty()) {
        unanswered++;
        calls.push_back(*call);
        return false;
    }
    *answer = answers->front();
    answers->pop_front();
    call->answered = 1;
    call->accepted = answer->accept;
    calls.push_back(*call);
    return answer->accept;
}

} // namespace

BOOL WINAPI ChooseColorA(LPCHOOSECOLORA cc) {
    if (!structureUsable(cc != nullptr && cc->lStructSize == sizeof(CHOOSECOLORA),
                         cc != nullptr && cc->lpCustColors != nullptr))
        return FALSE;
    WinapiChooserCall call;
    runDialog(kColorKind, cc->hwndOwner, cc->Flags,
              (cc->Flags & CC_ENABLEHOOK) ? cc->lpfnHook : nullptr, reinterpret_cast<LPARAM>(cc),
              &call);
    ColorAnswer a;
    if (!takeAnswer(&colorAnswers, &call, &a)) return FALSE;
    cc->rgbResult = a.color;
    if (a.customIndex >= 0 && a.customIndex < 16) cc->lpCustColors[a.customIndex] = a.custom;
    return TRUE;
}

BOOL WINAPI ChooseFontA(LPCHOOSEFONTA cf) {
    if (!structureUsable(cf != nullptr && cf->lStructSize == sizeof(CHOOSEFONTA),
                         cf != nullptr && cf->lpLogFont != nullptr))
        return FALSE;
    WinapiChooserCall call;
    runDialog(kFontKind, cf->hwndOwner, cf->Flags,
              (cf->Flags & CF_ENABLEHOOK) ? cf->lpfnHook : nullptr, reinterpret_cast<LPARAM>(cf),
              &call);
    FontAnswer a;
    if (!takeAnswer(&fontAnswers, &call, &a)) return FALSE;
    *cf->lpLogFont = a.font;
    // Tenths of a point on a 96 dpi screen.
    LONG height = a.font.lfHeight < 0 ? -a.font.lfHeight : a.font.lfHeight;
    cf->iPointSize = MulDiv(height, 720, 96);
    return TRUE;
}

extern "C" void WinapiQueueColor(int accept, COLORREF color, int customIndex, COLORREF custom) {
    colorAnswers.push_back({accept != 0, color, customIndex, custom});
}

extern "C" void WinapiQueueFont(const LOGFONTA* fontOrNull) {
    FontAnswer a;
    memset(&a, 0, sizeof a);
    a.accept = fontOrNull != nullptr;
    if (fontOrNull) a.font = *fontOrNull;
    fontAnswers.push_back(a);
}

extern "C" int WinapiChooserCount(void) {
    return static_cast<int>(calls.size());
}

extern "C" int WinapiChooserAt(int index, WinapiChooserCall* out) {
    if (index < 0 || static_cast<size_t>(index) >= calls.size() || out == nullptr) return 0;
    *out = calls[static_cast<size_t>(index)];
    return 1;
}

extern "C" int WinapiUnansweredChooserCount(void) {
    return unanswered;
}
