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

WNDPROC watchedProc; // the original procedure of the dialog watched for WM_ENTERIDLE
HWND watched;

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
    return CallWindowProcA(watchedProc, hwnd, msg, wParam, lParam);
}

// Runs a nested dialog that the button opens, with the step waiting for it.
void OpenNested(HWND dialog, int button, const Step& step) {
    pending = step;
    PostMessageA(MainWindow(), HOSTMSG_DIALOG_STEP, 0, 0);
    watched = dialog;
    watchedProc =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetWindowLongA(dialog, GWL_WNDPROC)));
    SetWindowLongA(dialog, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(WatchProc)));
    Press(dialog, button);
    SetWindowLongA(dialog, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(watchedProc)));
    watched = nullptr;
    watchedProc = nullptr;
    pending = Step();
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

void InPortsDialog(HWND ports) {
    if (IsDlgButtonChecked(ports, kActive) != BST_CHECKED && readInto == nullptr) {
        CheckDlgButton(ports, kActive, BST_CHECKED);
        Press(ports, kActive);
    }
    monitorOn = IsDlgButtonChecked(ports, kActive) == BST_CHECKED;
    if (monitorOn) OpenNested(ports, kShowMonitor, Step{kList, ReadList});
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
    if (direction == "+") {
        counts->sent++;
    } else if (direction == "-") {
        counts->received++;
    } else if (text == "Repeat") {
        counts->repeats++;
    } else if (text == "Time Out" || text == "Reopen COM" || text == "Waiting!" ||
               text == "Continue!") {
        counts->errors++;
        counts->errorNotes[text]++;
    }
}

} // namespace hostsim
