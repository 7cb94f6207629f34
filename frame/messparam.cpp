// The measurement settings of a block, their defaults, their checks, and the
// dialogs "Measurement", "Copy Parameters from..." and "Watchdog".
#include "frame/messparam.h"
#include "host/driver.h"
#include "host/host.h"
#include "frame/moduletest.h"
#include "host/numbers.h"
#include "serial/modtable.h"

#include "resource.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The working copies; one dialog of each kind is open at a time.
MessParam mpWork;
MessParam* mpTarget;
MessParam wdWork;
MessParam* wdTarget;
int wdChannels;

const char kDashes[] = "---";

void Enable(HWND dialog, int id, int on) {
    EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

void Check(HWND dialog, int id, int on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

int ReadInt(HWND dialog, int id) {
    char text[32];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return atoi(text);
}

void ShowInt(HWND dialog, int id, int value) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, id, text);
}

void ShowDistanceValue(HWND dialog, const MessParam* work) {
    char text[NUMBER_TEXT_SIZE];
    if (work->Time_Seconds) {
        Check(dialog, IDC_MP_SECONDS, 1);
        Check(dialog, IDC_MP_MINUTES, 0);
        FormatNumber(text, work->Sample_Distance, -2);
    } else {
        Check(dialog, IDC_MP_SECONDS, 0);
        Check(dialog, IDC_MP_MINUTES, 1);
        FormatNumber(text, work->Sample_Distance / 60.0, -4);
    }
    SetDlgItemTextA(dialog, IDC_MP_DISTANCE, text);
}

void EnableDistance(HWND dialog, int on) {
    Enable(dialog, IDC_MP_DISTANCE, on);
    Enable(dialog, IDC_MP_SECONDS, on);
    Enable(dialog, IDC_MP_MINUTES, on);
}

void ReadDistance(HWND dialog, MessParam* work) {
    char text[64];
    GetDlgItemTextA(dialog, IDC_MP_DISTANCE, text, sizeof text);
    double value = ParseNumber(text);
    if (!work->Time_Seconds) value *= 60.0;
    double rounded = floor(value + 0.5);
    work->Sample_Distance = NearlyEqual(value, rounded, 0.01) ? rounded : value;
}

void ShowAll(HWND dialog, MessParam* work) {
    ShowSampleDistance(dialog, work);
    Check(dialog, IDC_MP_STOP, work->Error_Stop);
    Check(dialog, IDC_MP_CONTINUE, !work->Error_Stop);
    ShowWaitMinutes(dialog, work);
    ShowErrorVariable(dialog, work);
}

void StartMessParam(HWND dialog) {
    ShowAll(dialog, &mpWork);
    if (bExperimentIsRunning) {
        static const int ids[] = {IDC_MP_ONE_VALUE, IDC_MP_GLOBAL, IDC_MP_DISTANCE, IDC_MP_SECONDS,
                                  IDC_MP_MINUTES,   IDC_MP_STOP,   IDC_MP_CONTINUE, IDC_MP_WAIT,
                                  IDC_MP_SET_VAR,   IDC_MP_VAR_NR, IDC_MP_COPY,     IDOK};
        for (int id : ids)
            Enable(dialog, id, 0);
    }
    if (ModuleTableCount() < 2) Enable(dialog, IDC_MP_COPY, 0);
    CenterDialog(dialog, GetParent(dialog));
}

void OkMessParam(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDOK));
    // Only what the dialog lets the user change: the host's global settings
    // are checked where a block starts with them.
    UINT fault = MessParamFault(&mpWork);
    if (fault) {
        char caption[64], text[256];
        if (GetWindowTextA(dialog, caption, sizeof caption) <= 0) caption[0] = 0;
        if (LoadStringA(hInstDriver, fault, text, sizeof text) <= 0) text[0] = 0;
        MessageBoxA(dialog, text, caption, MB_OK | MB_ICONERROR);
        return;
    }
    if (mpTarget) memcpy(mpTarget, &mpWork, sizeof mpWork);
    EndDialog(dialog, IDOK);
}

void CheckBoxRange(HWND dialog, int enabledBelow) {
    for (int i = 0; i < 16; i++)
        Enable(dialog, IDC_WD_BIT0 + i, i < enabledBelow);
}

void SelectWatchdogTime(HWND dialog) {
    int index = wdWork.Watchdog_Time - WATCHDOG_TIME_LOW;
    if (index < 0 || index > WATCHDOG_TIME_HIGH - WATCHDOG_TIME_LOW) index = -1;
    SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void StartWatchdog(HWND dialog) {
    Check(dialog, IDC_WD_ON, wdWork.Watchdog_On);
    Check(dialog, IDC_WD_OFF, !wdWork.Watchdog_On);
    CheckBoxRange(dialog, wdWork.Watchdog_On ? wdChannels : 0);
    if (wdWork.Watchdog_On) {
        for (int i = 0; i < wdChannels; i++)
            Check(dialog, IDC_WD_BIT0 + i, (wdWork.Watchdog_Value >> i) & 1);
    }
    for (int t = WATCHDOG_TIME_LOW; t <= WATCHDOG_TIME_HIGH; t++) {
        char text[16];
        snprintf(text, sizeof text, " %d sec", t);
        SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (wdWork.Watchdog_On) {
        SelectWatchdogTime(dialog);
    } else {
        SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        Enable(dialog, IDC_WD_TIME, 0);
    }
    if (bExperimentIsRunning) {
        Enable(dialog, IDC_WD_ON, 0);
        Enable(dialog, IDC_WD_OFF, 0);
        Enable(dialog, IDC_WD_TIME, 0);
    }
    CenterDialog(dialog, GetParent(dialog));
}

void OkWatchdog(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDOK));
    WORD value = 0;
    for (int i = 0; i < wdChannels; i++)
        if (IsDlgButtonChecked(dialog, IDC_WD_BIT0 + i) == BST_CHECKED)
            value = static_cast<WORD>(value | (1u << i));
    wdWork.Watchdog_Value = value;
    if (wdTarget) memcpy(wdTarget, &wdWork, sizeof wdWork);
    EndDialog(dialog, IDOK);
}

} // namespace

void InitMessParam(MessParam* settings) {
    if (settings == nullptr) return;
    int count = ModuleTableCount();
    const MessParam* last = count > 0 ? ModuleTableSettings(count - 1) : nullptr;
    if (last) {
        memmove(settings, last, sizeof *settings);
        return;
    }
    // Every byte is set: the whole record goes into the worksheet.
    memset(settings, 0, sizeof *settings);
    settings->Use_Global_Settings = 0;
    settings->Time_Seconds = 1;
    settings->Sample_Distance = 1.0;
    settings->Error_Stop = 1;
    settings->Error_Wait_Min = 0;
    settings->Error_Set_Var = 0;
    settings->Error_Var_Nr = 1;
    settings->Watchdog_On = 0;
    settings->Watchdog_Time = 6;
}

UINT MessParamFault(const MessParam* settings) {
    if (settings == nullptr || settings->Use_Global_Settings) return 0;
    // Written so that NaN fails too.
    double distance = settings->Sample_Distance;
    if (!(distance > 0.0) || !isfinite(distance)) return IDS_BAD_SAMPLE_DISTANCE;
    return 0;
}

UINT MessParamStartFault(const MessParam* settings) {
    if (settings == nullptr || !settings->Use_Global_Settings) return MessParamFault(settings);
    double ms = fGlobalMilliSecondsPerSample;
    if (!(ms > 0.0) || !isfinite(ms)) return IDS_BAD_GLOBAL_DISTANCE;
    if (uiGlobalBlockSize < 1 || uiGlobalBlockSize > BLOCK_SIZE_HIGH)
        return IDS_BAD_GLOBAL_BLOCK_SIZE;
    return 0;
}

int MessParamAfterLoad(const char* caption, MessParam* settings) {
    if (settings == nullptr) return 0;
    // The worksheet holds the block's own sample distance; the host's global
    // settings are checked where a block starts with them.
    UINT fault = MessParamFault(settings);
    if (fault == 0) return 1;
    ShowWarningById(caption ? caption : "", fault);
    return 0;
}

void ShowSampleDistance(HWND dialog, MessParam* work) {
    if (work->Use_Global_Settings) {
        Check(dialog, IDC_MP_GLOBAL, 1);
        Check(dialog, IDC_MP_ONE_VALUE, 0);
        SetDlgItemTextA(dialog, IDC_MP_DISTANCE, kDashes);
        EnableDistance(dialog, 0);
        return;
    }
    Check(dialog, IDC_MP_ONE_VALUE, 1);
    Check(dialog, IDC_MP_GLOBAL, 0);
    EnableDistance(dialog, 1);
    ShowDistanceValue(dialog, work);
}

void ShowWaitMinutes(HWND dialog, MessParam* work) {
    if (work->Error_Stop) {
        SetDlgItemTextA(dialog, IDC_MP_WAIT, kDashes);
        Enable(dialog, IDC_MP_WAIT, 0);
        return;
    }
    ClampInt(&work->Error_Wait_Min, WAIT_MIN_LOW, WAIT_MIN_HIGH);
    ShowInt(dialog, IDC_MP_WAIT, work->Error_Wait_Min);
    Enable(dialog, IDC_MP_WAIT, 1);
}

void ShowErrorVariable(HWND dialog, MessParam* work) {
    Check(dialog, IDC_MP_SET_VAR, work->Error_Set_Var);
    Enable(dialog, IDC_MP_SET_VAR, !work->Error_Stop);
    if (work->Error_Stop || !work->Error_Set_Var) {
        SetDlgItemTextA(dialog, IDC_MP_VAR_NR, kDashes);
        Enable(dialog, IDC_MP_VAR_NR, 0);
        return;
    }
    ClampInt(&work->Error_Var_Nr, GLOBAL_STRING_LOW, GLOBAL_STRING_HIGH);
    ShowInt(dialog, IDC_MP_VAR_NR, work->Error_Var_Nr);
    Enable(dialog, IDC_MP_VAR_NR, 1);
}

int MessParamDialog(MessParam* settings) {
    if (settings == nullptr) return 0;
    memcpy(&mpWork, settings, sizeof mpWork);
    mpTarget = settings;
    DialogBoxParamA(hInstDriver, "DLG_MESSPARAM", GetActiveWindow(), MessParamDlgProc, 0);
    mpTarget = nullptr;
    return 0;
}

int WatchdogDialog(MessParam* settings, int channels) {
    if (settings == nullptr) return 0;
    memcpy(&wdWork, settings, sizeof wdWork);
    wdTarget = settings;
    wdChannels = channels < 0 ? 0 : channels > 16 ? 16 : channels;
    DialogBoxParamA(hInstDriver, "DLG_WATCHDOG", GetActiveWindow(), WatchdogDlgProc, 0);
    wdTarget = nullptr;
    return 0;
}

INT_PTR CALLBACK MessParamDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        StartMessParam(dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    MessParam* w = &mpWork;
    if (code == EN_KILLFOCUS) {
        if (id == IDC_MP_DISTANCE && !w->Use_Global_Settings) {
            ReadDistance(dialog, w);
        } else if (id == IDC_MP_WAIT && !w->Error_Stop) {
            w->Error_Wait_Min = ReadInt(dialog, IDC_MP_WAIT);
            ShowWaitMinutes(dialog, w);
        } else if (id == IDC_MP_VAR_NR && !w->Error_Stop && w->Error_Set_Var) {
            w->Error_Var_Nr = ReadInt(dialog, IDC_MP_VAR_NR);
            ShowErrorVariable(dialog, w);
        }
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case IDC_MP_ONE_VALUE:
        w->Use_Global_Settings = 0;
        ShowSampleDistance(dialog, w);
        return TRUE;
    case IDC_MP_GLOBAL:
        w->Use_Global_Settings = 1;
        ShowSampleDistance(dialog, w);
        return TRUE;
    case IDC_MP_SECONDS:
    case IDC_MP_MINUTES:
        w->Time_Seconds = id == IDC_MP_SECONDS;
        ShowDistanceValue(dialog, w);
        return TRUE;
    case IDC_MP_STOP:
    case IDC_MP_CONTINUE:
        w->Error_Stop = id == IDC_MP_STOP;
        Check(dialog, IDC_MP_STOP, w->Error_Stop);
        Check(dialog, IDC_MP_CONTINUE, !w->Error_Stop);
        ShowWaitMinutes(dialog, w);
        ShowErrorVariable(dialog, w);
        return TRUE;
    case IDC_MP_SET_VAR:
        w->Error_Set_Var = IsDlgButtonChecked(dialog, IDC_MP_SET_VAR) == BST_CHECKED;
        ShowWaitMinutes(dialog, w);
        ShowErrorVariable(dialog, w);
        return TRUE;
    case IDC_MP_COPY:
        DialogBoxParamA(hInstDriver, "DLG_COPY_PAR", GetActiveWindow(), CopyParDlgProc, 0);
        ShowAll(dialog, w);
        return TRUE;
    case IDOK: OkMessParam(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CopyParDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        for (int i = 0; i < ModuleTableCount(); i++) {
            SendDlgItemMessageA(dialog, IDC_COPY_LIST, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(ModuleTableName(i)));
        }
        CenterDialog(dialog, GetParent(dialog));
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        int selected =
            static_cast<int>(SendDlgItemMessageA(dialog, IDC_COPY_LIST, LB_GETCURSEL, 0, 0));
        const MessParam* from = ModuleTableSettings(selected);
        if (from) memmove(&mpWork, from, sizeof mpWork);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK WatchdogDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        StartWatchdog(dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_WD_TIME && code == CBN_SELCHANGE) {
        int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_GETCURSEL, 0, 0));
        wdWork.Watchdog_Time = index + WATCHDOG_TIME_LOW;
        ClampInt(&wdWork.Watchdog_Time, WATCHDOG_TIME_LOW, WATCHDOG_TIME_HIGH);
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case IDC_WD_ON:
        wdWork.Watchdog_On = 1;
        Check(dialog, IDC_WD_ON, 1);
        Check(dialog, IDC_WD_OFF, 0);
        Enable(dialog, IDC_WD_TIME, 1);
        SelectWatchdogTime(dialog);
        CheckBoxRange(dialog, wdChannels);
        return TRUE;
    case IDC_WD_OFF:
        wdWork.Watchdog_On = 0;
        Check(dialog, IDC_WD_ON, 0);
        Check(dialog, IDC_WD_OFF, 1);
        SendDlgItemMessageA(dialog, IDC_WD_TIME, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        Enable(dialog, IDC_WD_TIME, 0);
        CheckBoxRange(dialog, 0);
        return TRUE;
    case IDHELP: ShowDriverHelp(HELP_CONTEXT, 1040); return TRUE;
    case IDOK: OkWatchdog(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}
