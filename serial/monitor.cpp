// The RS-232 monitor: a ring of the last 256 traffic lines and notes, its
// dialog, and the text file it saves.
#include "serial/monitor.h"
#include "host/host.h"
#include "host/numbers.h"
#include "host/ticks.h"
#include "serial/ports.h"

#include "resource.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "sercomm";

// The ring; its pointer is the on/off switch.
MonitorEntry* Rs232Monitor;
int writePosition;
int entryCount;
DWORD timeBase;
int experimentNoted;

void Log(int port, char direction, const char* text, int length) {
    if (Rs232Monitor == nullptr) return;
    MonitorEntry& e = Rs232Monitor[writePosition];
    e.port = port;
    e.tick = GetTickCount();
    e.direction = direction;
    memcpy(e.text, text, static_cast<size_t>(length));
    e.text[length] = 0;
    if (entryCount < MONITOR_ENTRIES) entryCount++;
    writePosition = (writePosition + 1) % MONITOR_ENTRIES;
}

const MonitorEntry* EntryFromOldest(int i) {
    if (Rs232Monitor == nullptr || i < 0 || i >= entryCount) return nullptr;
    int oldest = writePosition - entryCount;
    if (oldest < 0) oldest += MONITOR_ENTRIES;
    return &Rs232Monitor[(oldest + i) % MONITOR_ENTRIES];
}

void SaveToFile(HWND dialog) {
    char folder[MAX_PATH];
    GetHostFolder(folder, sizeof folder);
    char file[256] = "Logfile0.txt";
    char filter[] = "*.txt||";
    char mark = filter[sizeof filter - 2];
    for (char* p = filter; *p; p++) {
        if (*p == mark) *p = 0;
    }
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!GetSaveFileNameA(&ofn)) return;
    HANDLE h =
        CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ShowWarning("Error", "Could not open file");
        return;
    }
    MonitorSaveFile(h);
    CloseHandle(h);
}

} // namespace

void MonitorStart() {
    if (Rs232Monitor == nullptr) {
        Rs232Monitor = static_cast<MonitorEntry*>(
            NewMemAlloc(MONITOR_ENTRIES * sizeof(MonitorEntry), kSource, __LINE__));
        if (Rs232Monitor == nullptr) return;
    }
    writePosition = 0;
    entryCount = 0;
    timeBase = GetTickCount();
}

void MonitorStop() {
    if (Rs232Monitor) NewDoMemFree(Rs232Monitor, kSource, __LINE__);
    Rs232Monitor = nullptr;
}

int MonitorIsOn() {
    return Rs232Monitor != nullptr;
}

void MonitorExperimentStarted() {
    if (experimentNoted) return;
    timeBase = GetTickCount();
    experimentNoted = 1;
    MonitorNote("Experiment started");
}

void MonitorExperimentStopped() {
    if (!experimentNoted) return;
    experimentNoted = 0;
    MonitorNote("Experiment stopped");
}

void MonitorLogLine(int port, int sent, const char* line) {
    if (Rs232Monitor == nullptr || line == nullptr) return;
    int length = 0;
    while (length < 23 && line[length] && line[length] != '\r')
        length++;
    Log(port, sent ? '+' : '-', line, length);
}

void MonitorNote(const char* text) {
    if (Rs232Monitor == nullptr || text == nullptr) return;
    int length = static_cast<int>(strnlen(text, 25));
    if (length > 24) length = 23;
    Log(0, ' ', text, length);
}

void MonitorClear() {
    timeBase = GetTickCount();
    entryCount = 0;
    writePosition = 0;
}

int MonitorFormatEntry(int i, int forFile, char* text, int size) {
    const MonitorEntry* e = EntryFromOldest(i);
    if (e == nullptr || text == nullptr || size <= 0) return 0;
    int number = i - entryCount + 1;
    char seconds[32];
    FormatDouble(seconds, sizeof seconds, "%.2f", TickOffset(e->tick, timeBase) / 1000.0);
    if (e->port != 0) {
        snprintf(text, static_cast<size_t>(size),
                 forFile ? "%d:\tCOM%d \t%s sec\t%c %s" : "%d:\tCOM%d \t%s sec\t%c\t%s", number,
                 e->port, seconds, e->direction, e->text);
    } else {
        snprintf(text, static_cast<size_t>(size),
                 forFile ? "%d:\t--!--\t%s sec\t%c %s" : "%d:\t-- ! --\t%s sec\t%c\t%s", number,
                 seconds, e->direction, e->text);
    }
    return 1;
}

void MonitorFillList(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_RESETCONTENT, 0, 0);
    char line[96];
    for (int i = 0; MonitorFormatEntry(i, 0, line, sizeof line); i++)
        SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_SETCURSEL, static_cast<WPARAM>(entryCount - 1), 0);
    SetFocus(GetDlgItem(dialog, IDC_MON_LIST));
}

int MonitorSaveFile(HANDLE file) {
    // A text file: every line ends with CR LF.
    char line[96];
    int ok = 1;
    for (int i = 0; MonitorFormatEntry(i, 1, line, sizeof line - 2); i++) {
        size_t n = strlen(line);
        line[n++] = '\r';
        line[n++] = '\n';
        DWORD written = 0;
        if (!WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr) || written != n)
            ok = 0;
    }
    return ok;
}

INT_PTR CALLBACK Rs232MonDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        if (!MonitorIsOn()) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        CenterDialog(dialog, GetParent(dialog));
        int tabs[4] = {25, 58, 112, 120};
        SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_SETTABSTOPS, 4,
                            reinterpret_cast<LPARAM>(tabs));
        MonitorFillList(dialog);
        return FALSE; // the focus is on the list
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL: EndDialog(dialog, LOWORD(wParam) == IDOK); return TRUE;
        case IDC_MON_CLEAR:
            SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_RESETCONTENT, 0, 0);
            MonitorClear();
            return TRUE;
        case IDC_MON_REFRESH: MonitorFillList(dialog); return TRUE;
        case IDC_MON_FILE: SaveToFile(dialog); return TRUE;
        }
        break;
    }
    return FALSE;
}
