// The plug-in's RS-232 monitor worked as a user works it: the menu command
// opens "Configuration of Serial Ports", the check box Active switches the
// monitor on, &Monitor shows "RS232 Monitor", whose list is read and whose
// &Clear empties it.
//
// The host acts in a modal dialog from inside the dialog's own message loop:
// before the command it posts a message to its main window, which that loop
// dispatches, and the step then takes the dialog that is active. Where a
// dialog is shown only once its loop is idle, the step waits for
// WM_ENTERIDLE, which hands the dialog to its owner: the host's main window
// for "Configuration of Serial Ports", that dialog (watched by the host for
// the time of the step) for "RS232 Monitor".
#include "hostsim/internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef WM_ENTERIDLE
#define WM_ENTERIDLE 0x0121
#endif
#ifndef MSGF_DIALOGBOX
#define MSGF_DIALOGBOX 0
#endif

namespace hostsim {

namespace {

// Controls of the two dialogs.
const int kActive = 1004;      // "Active"
const int kShowMonitor = 1005; // "&Monitor"
const int kList = 1030;        // the monitor's lines
const int kClear = 1031;       // "&Clear"

// A step waits for the dialog that holds its control.
struct Step {
    int control;
    void (*run)(HWND dialog);
};

Step pending;   // the step waiting for its dialog; control 0: none
int stepsRun;   // steps taken in the current session
bool monitorOn; // what the last session found
bool clearList;
MonitorCounts* readInto;
bool listRead;

// The dialogs watched for WM_ENTERIDLE, innermost last, with their own
// procedures: a step may open a nested dialog from a nested dialog.
struct Watched {
    HWND dialog;
    WNDPROC proc;
};
std::vector<Watched> watched;

void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Takes the pending step when the dialog is the one it waits for.
int TryStep(HWND dialog) {
    if (pending.control == 0 || dialog == nullptr || GetDlgItem(dialog, pending.control) == nullptr)
        return 0;
    Step step = pending;
    pending = Step();
    stepsRun++;
    step.run(dialog);
    return 1;
}

LRESULT CALLBACK WatchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) TryStep(reinterpret_cast<HWND>(lParam));
    for (size_t i = watched.size(); i > 0; i--) {
        if (watched[i - 1].dialog == hwnd)
            return CallWindowProcA(watched[i - 1].proc, hwnd, msg, wParam, lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

#ifdef _WIN32
// Where a dialog's owner is not the window that waits for WM_ENTERIDLE (a
// dialog owned by whatever window is active), a timer finds the dialog: the
// enabled top-level window of this thread that holds the step's control (the
// dialogs below a modal dialog are disabled). A step that finds no dialog
// within the limit ends the enabled dialogs of the thread, so a walk never
// waits for a person.
const DWORD kStepLimitMs = 120000;
UINT_PTR stepTimer;
DWORD stepQueuedAt;

BOOL CALLBACK OfferStep(HWND window, LPARAM) {
    if (IsWindowVisible(window) && IsWindowEnabled(window) && TryStep(window)) return FALSE;
    return TRUE;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (pending.control != 0) {
        EnumThreadWindows(GetCurrentThreadId(), OfferStep, 0);
        if (pending.control != 0 && GetTickCount() - stepQueuedAt > kStepLimitMs) {
            fprintf(stderr, "hostsim: no dialog with control %d came up; cancelling\n",
                    pending.control);
            pending = Step();
            EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
        }
    }
    if (pending.control == 0 && stepTimer != 0) {
        KillTimer(nullptr, stepTimer);
        stepTimer = 0;
    }
}

void WatchForStep() {
    stepQueuedAt = GetTickCount();
    if (stepTimer == 0) stepTimer = SetTimer(nullptr, 0, 100, StepTimer);
}
#else
// The headless layer plays the posted message inside the dialog's own loop
// and cancels a dialog that waits for nothing.
void WatchForStep() {}
#endif

void OpenNested(HWND dialog, int button, const Step& step) {
    OpenNestedDialog(dialog, button, step.control, step.run);
}

void ReadList(HWND monitor) {
    if (readInto) {
        int count = static_cast<int>(SendDlgItemMessageA(monitor, kList, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++) {
            int length = static_cast<int>(
                SendDlgItemMessageA(monitor, kList, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
            if (length < 0) continue;
            std::string text(static_cast<size_t>(length) + 1, '\0');
            SendDlgItemMessageA(monitor, kList, LB_GETTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(&text[0]));
            text.resize(strlen(text.c_str()));
            MonitorCountLine(text, readInto);
        }
        readInto->reads++;
        if (count >= 256) readInto->fullReads++;
        listRead = true;
    }
    if (clearList) Press(monitor, kClear);
    Press(monitor, IDOK); // &Close
}

// The monitor's dialog shown for a while, with the lines it holds.
double holdSeconds;
FILE* holdOut;

void HoldList(HWND monitor) {
    // The rows come from a measurement in real time, their times and values
    // differ from run to run: "varies: KEY LEFT TOP WIDTH HEIGHT" tells where
    // they are in the picture (pixels from the dialog's top left corner).
    RECT dialog, list;
    if (holdOut && holdSeconds > 0.0 && GetWindowRect(monitor, &dialog) &&
        GetWindowRect(GetDlgItem(monitor, kList), &list)) {
        fprintf(holdOut, "varies: rs232-monitor %ld %ld %ld %ld\n",
                static_cast<long>(list.left - dialog.left),
                static_cast<long>(list.top - dialog.top), static_cast<long>(list.right - list.left),
                static_cast<long>(list.bottom - list.top));
    }
    HoldDialog(monitor, "rs232-monitor", holdSeconds, holdOut);
    Press(monitor, IDOK); // &Close
}

void InPortsDialog(HWND ports) {
    if (IsDlgButtonChecked(ports, kActive) != BST_CHECKED && readInto == nullptr) {
        CheckDlgButton(ports, kActive, BST_CHECKED);
        Press(ports, kActive);
    }
    monitorOn = IsDlgButtonChecked(ports, kActive) == BST_CHECKED;
    if (monitorOn)
        OpenNested(ports, kShowMonitor, Step{kList, holdSeconds > 0.0 ? HoldList : ReadList});
    Press(ports, IDCANCEL);
}

// One visit of "Configuration of Serial Ports"; 1 when its step ran.
int Session() {
    monitorOn = false;
    listRead = false;
    QueueDialogStep(kActive, InPortsDialog);
    int chosen = ChooseMenuCommand(HOSTSIM_SERIAL_PORTS_COMMAND);
    pending = Step();
    return chosen && stepsRun > 0;
}

} // namespace

void QueueDialogStep(int control, void (*run)(HWND dialog)) {
    stepsRun = 0;
    pending = Step{control, run};
    PostMessageA(MainWindow(), HOSTMSG_DIALOG_STEP, 0, 0);
    WatchForStep();
}

int OpenNestedDialog(HWND dialog, int button, int control, void (*run)(HWND dialog)) {
    int before = stepsRun;
    pending = Step{control, run};
    PostMessageA(MainWindow(), HOSTMSG_DIALOG_STEP, 0, 0);
    WatchForStep();
    WNDPROC own =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetWindowLongA(dialog, GWL_WNDPROC)));
    watched.push_back(Watched{dialog, own});
    SetWindowLongA(dialog, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(WatchProc)));
    Press(dialog, button);
    SetWindowLongA(dialog, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(own)));
    watched.pop_back();
    pending = Step();
    return stepsRun > before;
}

void CancelDialogStep() {
    pending = Step();
}

int DialogStepRan() {
    return pending.control == 0 && stepsRun > 0;
}

int HostDialogStepMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == HOSTMSG_DIALOG_STEP) {
        TryStep(GetActiveWindow());
        return 1;
    }
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        TryStep(reinterpret_cast<HWND>(lParam));
        return 1;
    }
    return 0;
}

int MonitorSwitchOn() {
    readInto = nullptr;
    clearList = true;
    return Session() && monitorOn;
}

int MonitorRead(MonitorCounts* counts, bool clear) {
    if (counts == nullptr) return 0;
    readInto = counts;
    clearList = clear;
    int ok = Session() && listRead;
    readInto = nullptr;
    return ok;
}

namespace {
bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// "$AA2" without the two checksum digits: the first query of the checksum
// probe.
bool IsPlainChecksumProbe(const std::string& request) {
    return request.size() == 4 && request[0] == '$' && IsHexDigit(request[1]) &&
           IsHexDigit(request[2]) && request[3] == '2';
}
} // namespace

int MonitorHold(double seconds, FILE* out) {
    readInto = nullptr;
    clearList = false;
    holdSeconds = seconds > 0.0 ? seconds : 0.001;
    holdOut = out;
    int ok = Session() && monitorOn;
    holdSeconds = 0.0;
    holdOut = nullptr;
    return ok;
}

void MonitorCountLine(const std::string& line, MonitorCounts* counts) {
    // number, port or "-- ! --", seconds, direction, text
    std::vector<std::string> fields;
    size_t start = 0;
    for (int k = 0; k < 4; k++) {
        size_t tab = line.find('\t', start);
        if (tab == std::string::npos) return;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    counts->lines++;
    if (counts->keepLines)
        counts->listed.push_back(fields[1] + " " + fields[2] + " " + fields[3] + " " + fields[4]);
    const std::string& direction = fields[3];
    const std::string& text = fields[4];
    std::string sent;
    if (direction == "+") {
        counts->sent++;
        sent = text;
    } else if (direction == "-") {
        counts->received++;
    } else if (text == "Repeat") {
        counts->repeats++;
    } else if (text == "Time Out" && IsPlainChecksumProbe(counts->lastSent)) {
        counts->probeTimeouts++;
    } else if (text == "Time Out" || text == "Reopen COM" || text == "Waiting!" ||
               text == "Continue!") {
        counts->errors++;
        counts->errorNotes[text]++;
    }
    counts->lastSent = sent;
}

} // namespace hostsim
