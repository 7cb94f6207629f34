// Channel bar controls: the channel buttons and the less/more buttons, and the
// helpers the setup dialogs use on them.
#include "frame/chanbar.h"

#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"

int CurrentChannel = NO_CHANNEL;
int UsedChannels;
int MaxChannels;

namespace {

const int kChannelWidth = 22;
const int kChannelHeight = 30;
const int kLessMoreWidth = 24;
const int kLessMoreHeight = 32;

int CtrlHeld() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

int ButtonState(HWND button) {
    return GetWindowWord(button, 0);
}

void StoreState(HWND button, int state) {
    SetWindowWord(button, 0, static_cast<WORD>(state));
    InvalidateRect(button, nullptr, FALSE);
}

void SetBarState(HWND dialog, int id, int state) {
    SendDlgItemMessageA(dialog, id, CHANBTN_SETSTATE, static_cast<WPARAM>(state), 0);
}

void SetChannelState(HWND dialog, int channel, int state) {
    if (channel < 0 || channel >= CHANNEL_BUTTONS_MAX) return;
    SetBarState(dialog, IDC_CHANNEL_FIRST + channel, state);
}

void SetLessMore(HWND dialog) {
    if (bExperimentIsRunning) {
        SetBarState(dialog, IDC_LESS, LESS_DISABLED);
        SetBarState(dialog, IDC_MORE, MORE_DISABLED);
        return;
    }
    SetBarState(dialog, IDC_LESS, UsedChannels > 1 ? LESS_NORMAL : LESS_DISABLED);
    SetBarState(dialog, IDC_MORE, UsedChannels >= MaxChannels ? MORE_DISABLED : MORE_NORMAL);
}

void SetChannelStates(HWND dialog, int beyondCount) {
    int count = ChannelBarButtons(MaxChannels);
    for (int i = 0; i < count; i++) {
        int state = i >= UsedChannels     ? beyondCount
                    : i == CurrentChannel ? CHANNEL_CURRENT
                                          : CHANNEL_IN_USE;
        SetChannelState(dialog, i, state);
    }
}

// Moves a control to where its template put it, at the bar's button size.
void PlaceAtTemplatePosition(HWND hwnd, int width, int height) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return;
    POINT p = {r.left, r.top};
    HWND parent = GetParent(hwnd);
    if (parent != nullptr) ScreenToClient(parent, &p);
    MoveWindow(hwnd, p.x, p.y, width, height, FALSE);
}

void Repaint(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

// Copies the bitmap of the button's state to its top-left corner.
LRESULT PaintState(HWND hwnd, HBITMAP* bitmaps, int states) {
    int state = ButtonState(hwnd);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (bitmaps != nullptr && state >= 0 && state < states && bitmaps[state] != nullptr) {
        HDC memory = CreateCompatibleDC(dc);
        if (memory != nullptr) {
            SetMapMode(memory, GetMapMode(dc));
            HGDIOBJ old = SelectObject(memory, bitmaps[state]);
            BITMAP bm;
            GetObjectA(bitmaps[state], sizeof bm, &bm);
            POINT size = {bm.bmWidth, bm.bmHeight};
            DPtoLP(dc, &size, 1);
            POINT origin = {0, 0};
            DPtoLP(memory, &origin, 1);
            BitBlt(dc, 0, 0, size.x, size.y, memory, origin.x, origin.y, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

void Notify(HWND button, UINT msg) {
    SendMessageA(GetParent(button), msg, reinterpret_cast<WPARAM>(button),
                 static_cast<LPARAM>(ButtonState(button)));
}

} // namespace

void InitChannelBar(HWND dialog) {
    SetChannelStates(dialog, CHANNEL_NOT_AVAILABLE);
    SetLessMore(dialog);
    CenterDialog(dialog, hwndHost);
}

void RefreshChannelButtons(HWND dialog) {
    SetChannelStates(dialog, CHANNEL_AVAILABLE);
    SetLessMore(dialog);
    CenterDialog(dialog, hwndHost);
}

void ChangeChannelCount(HWND dialog, int id) {
    // The buttons send no command at the limits; a command that arrives
    // anyway changes nothing, so the count never leaves 0..MaxChannels.
    if (id == IDC_LESS) {
        if (UsedChannels <= 0) return;
        if (UsedChannels == MaxChannels) SetBarState(dialog, IDC_MORE, MORE_NORMAL);
        UsedChannels--;
        if (UsedChannels <= 1) SetBarState(dialog, IDC_LESS, LESS_DISABLED);
        SetChannelState(dialog, UsedChannels, CHANNEL_NOT_AVAILABLE);
        if (CurrentChannel != NO_CHANNEL && CurrentChannel >= UsedChannels) {
            CurrentChannel = UsedChannels > 0 ? UsedChannels - 1 : NO_CHANNEL;
            SetChannelState(dialog, CurrentChannel, CHANNEL_CURRENT);
        }
    } else if (id == IDC_MORE) {
        if (UsedChannels >= ChannelBarButtons(MaxChannels)) return;
        if (UsedChannels == 1) SetBarState(dialog, IDC_LESS, LESS_NORMAL);
        UsedChannels++;
        if (UsedChannels >= MaxChannels) SetBarState(dialog, IDC_MORE, MORE_DISABLED);
        SetChannelState(dialog, UsedChannels - 1, CHANNEL_IN_USE);
    }
}

void SelectChannelButton(HWND dialog, HWND button) {
    if (CurrentChannel != NO_CHANNEL)
        SendDlgItemMessageA(dialog, IDC_CHANNEL_FIRST + CurrentChannel, CHANBTN_DESELECT, 0, 0);
    int channel = GetDlgCtrlID(button) - IDC_CHANNEL_FIRST;
    if (channel < 0 || channel >= CHANNEL_BUTTONS_MAX) return;
    CurrentChannel = channel;
    SendMessageA(button, CHANBTN_SETSTATE, CHANNEL_CURRENT, 0);
}

void RepeatLessMore(HWND dialog, int id, int target) {
    if (GetDlgItem(dialog, IDC_LESS) == nullptr || GetDlgItem(dialog, IDC_MORE) == nullptr) return;
    int n = 0;
    if (id == IDC_LESS) {
        if (UsedChannels < 2) return;
        n = CtrlHeld() ? UsedChannels - target : 1;
        // At least one channel stays in use.
        if (n > UsedChannels - 1) n = UsedChannels - 1;
    } else if (id == IDC_MORE) {
        if (UsedChannels >= MaxChannels) return;
        n = CtrlHeld() ? target - UsedChannels + 1 : 1;
        if (n > ChannelBarButtons(MaxChannels) - UsedChannels)
            n = ChannelBarButtons(MaxChannels) - UsedChannels;
    } else {
        return;
    }
    for (int i = 0; i < n; i++)
        SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

int ChannelButtonState(HWND dialog, int i) {
    if (i < 0 || i >= CHANNEL_BUTTONS_MAX) return -1;
    HWND button = GetDlgItem(dialog, IDC_CHANNEL_FIRST + i);
    return button != nullptr ? ButtonState(button) : -1;
}

WORD ChannelBarMask(HWND dialog) {
    WORD mask = 0;
    int count = ChannelBarButtons(MaxChannels);
    for (int i = 0; i < count; i++) {
        int state = ChannelButtonState(dialog, i);
        if (state == CHANNEL_CURRENT || state == CHANNEL_IN_USE)
            mask = static_cast<WORD>(mask | (1u << i));
    }
    return mask;
}

namespace {

int InUse(int state) {
    return state == CHANNEL_CURRENT || state == CHANNEL_IN_USE;
}

// Sets the state of channel i and keeps the count: a channel counts once,
// when it comes into use, and is taken off once, when it leaves.
void MarkChannel(HWND dialog, int i, int state) {
    int before = ChannelButtonState(dialog, i);
    if (before < 0 || before == CHANNEL_NOT_AVAILABLE) return;
    if (!InUse(before) && InUse(state)) UsedChannels++;
    if (InUse(before) && !InUse(state)) UsedChannels--;
    SetChannelState(dialog, i, state);
}

int ChannelOf(HWND button) {
    int channel = GetDlgCtrlID(button) - IDC_CHANNEL_FIRST;
    return channel >= 0 && channel < ChannelBarButtons(MaxChannels) ? channel : -1;
}

int CurrentInBar() {
    return CurrentChannel >= 0 && CurrentChannel < ChannelBarButtons(MaxChannels);
}

} // namespace

namespace {

int DoubleClick(HWND dialog, HWND button, int ctrl) {
    int channel = ChannelOf(button);
    if (channel < 0) return 0;
    int state = ButtonState(button);
    if (ChannelBarHasLessMore(dialog)) {
        if (!InUse(state) || channel == CurrentChannel) return 0;
        SelectChannelButton(dialog, button);
        return 1;
    }
    if (ctrl && CurrentInBar()) {
        int step = channel >= CurrentChannel ? 1 : -1;
        for (int i = CurrentChannel; i != channel + step; i += step)
            MarkChannel(dialog, i, CHANNEL_IN_USE);
        MarkChannel(dialog, channel, CHANNEL_CURRENT);
        CurrentChannel = channel;
        return 1;
    }
    if (ctrl || state != CHANNEL_AVAILABLE) return 0;
    if (CurrentInBar())
        SendDlgItemMessageA(dialog, IDC_CHANNEL_FIRST + CurrentChannel, CHANBTN_DESELECT, 0, 0);
    MarkChannel(dialog, channel, CHANNEL_CURRENT);
    CurrentChannel = channel;
    return 1;
}

int RightDoubleClick(HWND dialog, HWND button, int ctrl) {
    int channel = ChannelOf(button);
    if (channel < 0 || ChannelBarHasLessMore(dialog)) return 0;
    if (ctrl) {
        if (!CurrentInBar()) return 0;
        int step = channel >= CurrentChannel ? 1 : -1;
        for (int i = CurrentChannel; i != channel + step; i += step)
            MarkChannel(dialog, i, CHANNEL_AVAILABLE);
        CurrentChannel = NO_CHANNEL;
        return 1;
    }
    if (!InUse(ButtonState(button))) return 0;
    if (channel == CurrentChannel) CurrentChannel = NO_CHANNEL;
    MarkChannel(dialog, channel, CHANNEL_AVAILABLE);
    return 1;
}

} // namespace

int ChannelBarDoubleClick(HWND dialog, HWND button) {
    return DoubleClick(dialog, button, CtrlHeld());
}

int ChannelBarRightDoubleClick(HWND dialog, HWND button) {
    return RightDoubleClick(dialog, button, CtrlHeld());
}

int ChannelBarPlainDoubleClick(HWND dialog, HWND button) {
    return DoubleClick(dialog, button, 0);
}

int ChannelBarPlainRightDoubleClick(HWND dialog, HWND button) {
    return RightDoubleClick(dialog, button, 0);
}

LRESULT CALLBACK ChannelButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: PlaceAtTemplatePosition(hwnd, kChannelWidth, kChannelHeight); return 0;
    case WM_PAINT: return PaintState(hwnd, HostChannelBitmaps(), CHANNEL_NOT_AVAILABLE + 1);
    case CHANBTN_SETSTATE: StoreState(hwnd, static_cast<int>(wParam & 0xFFFF)); return 0;
    case CHANBTN_DESELECT:
        if (ButtonState(hwnd) == CHANNEL_CURRENT) StoreState(hwnd, CHANNEL_IN_USE);
        return 0;
    case WM_LBUTTONDOWN: Notify(hwnd, CHANBTN_DOWN); return 0;
    case WM_LBUTTONUP: Notify(hwnd, CHANBTN_UP); return 0;
    case WM_LBUTTONDBLCLK: {
        if (bExperimentIsRunning) return 0;
        int channel = GetDlgCtrlID(hwnd) - IDC_CHANNEL_FIRST;
        // Every channel up to this one comes into use first; the state the
        // dialog is told is the one after that.
        if (CtrlHeld()) RepeatLessMore(GetParent(hwnd), IDC_MORE, channel);
        Notify(hwnd, CHANBTN_DBLCLK);
        return 0;
    }
    case WM_RBUTTONDBLCLK: {
        if (bExperimentIsRunning) return 0;
        int channel = GetDlgCtrlID(hwnd) - IDC_CHANNEL_FIRST;
        if (CtrlHeld()) RepeatLessMore(GetParent(hwnd), IDC_LESS, channel > 0 ? channel : 1);
        Notify(hwnd, CHANBTN_RDBLCLK);
        return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

namespace {

int LessMoreDisabled(int state) {
    return state == LESS_DISABLED || state == MORE_DISABLED;
}

void PressLessMore(HWND hwnd) {
    int state = ButtonState(hwnd);
    if (LessMoreDisabled(state)) return;
    StoreState(hwnd, state > LESS_PRESSED ? MORE_PRESSED : LESS_PRESSED);
    Repaint(hwnd);
    SetCapture(hwnd);
}

} // namespace

LRESULT CALLBACK LessMoreButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: PlaceAtTemplatePosition(hwnd, kLessMoreWidth, kLessMoreHeight); return 0;
    case WM_PAINT: return PaintState(hwnd, HostLessMoreBitmaps(), MORE_PRESSED + 1);
    case CHANBTN_SETSTATE: StoreState(hwnd, static_cast<int>(wParam & 0xFFFF)); return 0;
    case WM_LBUTTONDOWN: PressLessMore(hwnd); return 0;
    case WM_LBUTTONUP: {
        int state = ButtonState(hwnd);
        if (GetCapture() != hwnd || LessMoreDisabled(state)) return 0;
        ReleaseCapture();
        int more = state > LESS_PRESSED;
        StoreState(hwnd, more ? MORE_NORMAL : LESS_NORMAL);
        Repaint(hwnd);
        // The command follows the state, wherever the mouse is released.
        SendMessageA(GetParent(hwnd), WM_COMMAND, more ? IDC_MORE : IDC_LESS, 0);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        if (!bExperimentIsRunning && CtrlHeld()) {
            if (GetDlgCtrlID(hwnd) == IDC_MORE)
                RepeatLessMore(GetParent(hwnd), IDC_MORE, MaxChannels - 1);
            else
                RepeatLessMore(GetParent(hwnd), IDC_LESS, 1);
            return 0;
        }
        PressLessMore(hwnd);
        return 0;
    case WM_RBUTTONDBLCLK:
        if (!bExperimentIsRunning && CtrlHeld() && GetDlgCtrlID(hwnd) == IDC_LESS)
            RepeatLessMore(GetParent(hwnd), IDC_LESS, UsedChannels - 1);
        return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

int ChannelBarButtons(int maxChannels) {
    if (maxChannels < 0) return 0;
    return maxChannels > CHANNEL_BUTTONS_MAX ? CHANNEL_BUTTONS_MAX : maxChannels;
}

int ChannelBarHasLessMore(HWND dialog) {
    return GetDlgItem(dialog, IDC_LESS) != nullptr && GetDlgItem(dialog, IDC_MORE) != nullptr;
}
