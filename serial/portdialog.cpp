// The serial-port dialogs: "Configuration of Serial Ports" edits a working
// copy of the port table and writes it back (and to the driver INI file) on
// OK; "COM Port Parameters" edits one row.
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "serial/monitor.h"
#include "serial/ports.h"

#include "resource.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "sercomm";

// While "Configuration of Serial Ports" is open: the working copy and its
// row count.
ComSettings* workRows;
int workCount;
// The row "COM Port Parameters" edits, and the COM numbers it offers.
ComSettings editRow;
int freePorts[MAX_COM_PORTS + 1];

LRESULT ItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, id, msg, wParam, lParam);
}

void EnableItem(HWND dialog, int id, BOOL enable) {
    EnableWindow(GetDlgItem(dialog, id), enable);
}

void EnableRowButtons(HWND dialog, BOOL enable) {
    EnableItem(dialog, IDC_PORT_DELETE, enable);
    EnableItem(dialog, IDC_PORT_PARAM, enable);
}

void ReleaseWorkRows() {
    if (workRows) NewDoMemFree(workRows, kSource, __LINE__);
    workRows = nullptr;
    workCount = 0;
}

void InsertLine(HWND dialog, int at, const ComSettings* row) {
    char line[96];
    FormatPortLine(line, sizeof line, row);
    ItemMessage(dialog, IDC_PORT_LIST, LB_INSERTSTRING, static_cast<WPARAM>(at),
                reinterpret_cast<LPARAM>(line));
}

void FillPortList(HWND dialog) {
    ItemMessage(dialog, IDC_PORT_LIST, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < workCount; i++)
        InsertLine(dialog, i, &workRows[i]);
}

void SortWorkRows() {
    for (int i = 1; i < workCount; i++) {
        ComSettings row = workRows[i];
        int j = i;
        for (; j > 0 && workRows[j - 1].Port_Number > row.Port_Number; j--)
            workRows[j] = workRows[j - 1];
        workRows[j] = row;
    }
}

int SelectedRow(HWND dialog) {
    LRESULT sel = ItemMessage(dialog, IDC_PORT_LIST, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR || sel < 0 || sel >= workCount) return -1;
    return static_cast<int>(sel);
}

// 1 when "COM Port Parameters" ended with OK and a port.
int EditRow(HWND dialog) {
    INT_PTR result = DialogBoxParamA(hInstDriver, "DLG_COM_PARAM", dialog, ComParamDlgProc, 0);
    return result == 1 && editRow.Port_Number > 0;
}

void OnAdd(HWND dialog) {
    if (workCount >= MAX_COM_PORTS) {
        ShowWarning("Sorry", "max. number ports reached");
        return;
    }
    FillFreePortCombo(freePorts, workRows, workCount, 0);
    if (workCount > 0) {
        editRow = workRows[workCount - 1];
        editRow.Port_Number = freePorts[0];
    } else {
        memset(&editRow, 0, sizeof editRow);
        editRow.Port_Number = 1;
        editRow.Baud_Rate = 3; // 9600
        editRow.Data_Bits = 8;
        editRow.Stop_Bits = 1;
        editRow.Parity = 0;
        editRow.RS232_Buffer = 1;
    }
    if (!EditRow(dialog)) return;
    int at = 0;
    while (at < workCount && workRows[at].Port_Number <= editRow.Port_Number)
        at++;
    memmove(&workRows[at + 1], &workRows[at],
            static_cast<size_t>(workCount - at) * sizeof(ComSettings));
    workRows[at] = editRow;
    workCount++;
    InsertLine(dialog, at, &editRow);
}

void OnDelete(HWND dialog) {
    int sel = SelectedRow(dialog);
    if (sel < 0) return;
    memmove(&workRows[sel], &workRows[sel + 1],
            static_cast<size_t>(workCount - sel - 1) * sizeof(ComSettings));
    workCount--;
    ItemMessage(dialog, IDC_PORT_LIST, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
    if (sel < workCount) {
        ItemMessage(dialog, IDC_PORT_LIST, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    } else {
        EnableRowButtons(dialog, FALSE);
    }
}

void OnParameter(HWND dialog) {
    int sel = SelectedRow(dialog);
    if (sel < 0) return;
    FillFreePortCombo(freePorts, workRows, workCount, workRows[sel].Port_Number);
    editRow = workRows[sel];
    if (!EditRow(dialog)) return;
    int moved = editRow.Port_Number != workRows[sel].Port_Number;
    workRows[sel] = editRow;
    if (moved) {
        SortWorkRows();
        FillPortList(dialog);
        EnableRowButtons(dialog, FALSE);
    } else {
        ItemMessage(dialog, IDC_PORT_LIST, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
        InsertLine(dialog, sel, &editRow);
        ItemMessage(dialog, IDC_PORT_LIST, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    }
}

void OnActive(HWND dialog) {
    if (IsDlgButtonChecked(dialog, IDC_MONITOR_ACTIVE) == BST_CHECKED) {
        MonitorStart();
        // No memory for the ring: the monitor stays off.
        if (!MonitorIsOn()) CheckDlgButton(dialog, IDC_MONITOR_ACTIVE, BST_UNCHECKED);
    } else {
        MonitorStop();
    }
    EnableItem(dialog, IDC_MONITOR_SHOW, MonitorIsOn());
}

void AddComboText(HWND dialog, int id, const char* text) {
    ItemMessage(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void AddComboString(HWND dialog, int id, UINT stringId) {
    char text[32];
    if (LoadStringA(hInstDriver, stringId, text, sizeof text) <= 0) text[0] = 0;
    AddComboText(dialog, id, text);
}

void SelectCombo(HWND dialog, int id, int index) {
    ItemMessage(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboSelection(HWND dialog, int id) {
    LRESULT sel = ItemMessage(dialog, id, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? -1 : static_cast<int>(sel);
}

void InitParamDialog(HWND dialog) {
    CenterDialog(dialog, GetParent(dialog));
    int portIndex = -1;
    for (int i = 0; freePorts[i] != 0 && i < MAX_COM_PORTS; i++) {
        char text[8];
        snprintf(text, sizeof text, "COM%i", freePorts[i]);
        AddComboText(dialog, IDC_PARAM_PORT, text);
        if (freePorts[i] == editRow.Port_Number) portIndex = i;
    }
    for (UINT i = 0; i < 6; i++)
        AddComboString(dialog, IDC_PARAM_BAUD, IDS_BAUD_1200 + i);
    for (UINT i = 0; i < 3; i++)
        AddComboString(dialog, IDC_PARAM_PARITY, IDS_PARITY_NO + i);
    AddComboText(dialog, IDC_PARAM_STOP, "1");
    AddComboText(dialog, IDC_PARAM_STOP, "2");
    AddComboText(dialog, IDC_PARAM_DATA, "7");
    AddComboText(dialog, IDC_PARAM_DATA, "8");
    for (int kb = 4; kb <= 48; kb += 4) {
        char text[8];
        snprintf(text, sizeof text, "%d KB", kb);
        AddComboText(dialog, IDC_PARAM_BUFFER, text);
    }
    // A port not offered shows, and takes, the first free number.
    if (portIndex < 0) {
        portIndex = 0;
        editRow.Port_Number = freePorts[0];
    }
    SelectCombo(dialog, IDC_PARAM_PORT, portIndex);
    SelectCombo(dialog, IDC_PARAM_BAUD, editRow.Baud_Rate);
    SelectCombo(dialog, IDC_PARAM_PARITY, editRow.Parity);
    SelectCombo(dialog, IDC_PARAM_STOP, editRow.Stop_Bits - 1);
    SelectCombo(dialog, IDC_PARAM_DATA, editRow.Data_Bits - 7);
    SelectCombo(dialog, IDC_PARAM_BUFFER, editRow.RS232_Buffer - 1);
}

void OnParamSelection(HWND dialog, int id) {
    int sel = ComboSelection(dialog, id);
    if (sel < 0) return;
    switch (id) {
    case IDC_PARAM_PORT:
        if (sel < MAX_COM_PORTS && freePorts[sel] != 0) editRow.Port_Number = freePorts[sel];
        break;
    case IDC_PARAM_BAUD: editRow.Baud_Rate = sel; break;
    case IDC_PARAM_PARITY: editRow.Parity = sel; break;
    case IDC_PARAM_STOP: editRow.Stop_Bits = sel + 1; break;
    case IDC_PARAM_DATA: editRow.Data_Bits = sel + 7; break;
    case IDC_PARAM_BUFFER: editRow.RS232_Buffer = sel + 1; break;
    }
}

} // namespace

void FormatPortLine(char* text, int size, const ComSettings* row) {
    static const unsigned bauds[] = {1200, 2400, 4800, 9600, 19200, 38400};
    char format[96];
    if (LoadStringA(hInstDriver, IDS_PORT_LINE, format, sizeof format) <= 0) format[0] = 0;
    // A baud index outside the table shows as 0 baud.
    unsigned baud = (row->Baud_Rate >= 0 && row->Baud_Rate <= 5) ? bauds[row->Baud_Rate] : 0;
    const char* parity = row->Parity == 0 ? "No" : (row->Parity == 1 ? "Odd" : "Even");
    // A buffer a worksheet brought may be any number: its kilobytes are
    // counted without overflow and shown within what the text can hold.
    long long kilobytes = 4LL * row->RS232_Buffer;
    int shown = kilobytes > INT_MAX   ? INT_MAX
                : kilobytes < INT_MIN ? INT_MIN
                                      : static_cast<int>(kilobytes);
    snprintf(text, static_cast<size_t>(size), format, row->Port_Number, baud, row->Data_Bits,
             row->Stop_Bits, parity, shown);
}

void FillFreePortCombo(int* list, const ComSettings* rows, int count, int ownPort) {
    int n = 0;
    for (int port = 1; port <= MAX_COM_PORTS; port++) {
        int used = 0;
        for (int i = 0; i < count; i++)
            used |= rows[i].Port_Number == port;
        if (port == ownPort || !used) list[n++] = port;
    }
    list[n] = 0;
}

INT_PTR CALLBACK ComParamDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: InitParamDialog(dialog); return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            editRow.Port_Number = 0;
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            OnParamSelection(dialog, id);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK ComPortsDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        ReleaseWorkRows();
        workRows = static_cast<ComSettings*>(
            NewMemAlloc(MAX_COM_PORTS * sizeof(ComSettings), kSource, __LINE__));
        if (workRows == nullptr) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        memcpy(workRows, PortTable, MAX_COM_PORTS * sizeof(ComSettings));
        workCount = NumComPorts;
        FillPortList(dialog);
        EnableRowButtons(dialog, FALSE);
        if (MonitorIsOn()) {
            CheckDlgButton(dialog, IDC_MONITOR_ACTIVE, BST_CHECKED);
        } else {
            EnableItem(dialog, IDC_MONITOR_SHOW, FALSE);
        }
        CenterDialog(dialog, GetParent(dialog));
        if (bExperimentIsRunning) {
            EnableItem(dialog, IDC_PORT_LIST, FALSE);
            EnableItem(dialog, IDC_PORT_ADD, FALSE);
            EnableRowButtons(dialog, FALSE);
        }
        return TRUE;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PORT_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_SELCANCEL) {
                EnableRowButtons(dialog, SelectedRow(dialog) >= 0);
            } else if (HIWORD(wParam) == LBN_DBLCLK) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PORT_PARAM, BN_CLICKED), 0);
            }
            return TRUE;
        case IDC_PORT_ADD: OnAdd(dialog); return TRUE;
        case IDC_PORT_DELETE: OnDelete(dialog); return TRUE;
        case IDC_PORT_PARAM: OnParameter(dialog); return TRUE;
        case IDC_MONITOR_ACTIVE: OnActive(dialog); return TRUE;
        case IDC_MONITOR_SHOW:
            DialogBoxParamA(hInstDriver, "DLG_RS232MON", dialog, Rs232MonDlgProc, 0);
            return TRUE;
        case IDHELP: ShowDriverHelp(HELP_CONTEXT, 1020); return TRUE;
        case IDOK:
            SetFocus(GetDlgItem(dialog, IDOK));
            memcpy(PortTable, workRows, MAX_COM_PORTS * sizeof(ComSettings));
            NumComPorts = workCount;
            ReleaseWorkRows();
            WriteComPortsIni();
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            ReleaseWorkRows();
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int ShowComPortsDialog(HWND owner) {
    HWND parent = GetActiveWindow();
    if (parent == nullptr) parent = owner;
    return static_cast<int>(
        DialogBoxParamA(hInstDriver, "DLG_COM_PORTS", parent, ComPortsDlgProc, 0));
}
