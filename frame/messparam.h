// The measurement settings every block carries: where its sample distance
// comes from, what a failed transaction does, and the modules' own output
// watchdog. Saved with the worksheet field by field, so its layout is a
// stored format.
#ifndef TELVIO_FRAME_MESSPARAM_H
#define TELVIO_FRAME_MESSPARAM_H

#include <windows.h>

#include <stddef.h>

struct MessParam {
    BOOL Use_Global_Settings;          // the host's global sample distance and block size
    BOOL Time_Seconds;                 // the dialog shows seconds (1) or minutes (0)
    alignas(8) double Sample_Distance; // own sample distance, seconds
    BOOL Error_Stop;                   // a failed transaction stops the experiment
    int Error_Wait_Min;                // minutes to wait after an error
    BOOL Error_Set_Var;                // the error text goes into a host global string
    int Error_Var_Nr;                  // that string's number, 1..200
    BOOL Watchdog_On;                  // the modules' output watchdog is used
    int Watchdog_Time;                 // its time, 2..13 s
    WORD Watchdog_Value;               // bit i: state of output i on a watchdog time-out
    WORD Dummy2[4];
    BYTE Padding[6]; // not saved
};
static_assert(sizeof(MessParam) == 56, "MessParam is 56 bytes");
static_assert(alignof(MessParam) == 8, "MessParam starts at a multiple of 8");
static_assert(offsetof(MessParam, Use_Global_Settings) == 0, "Use_Global_Settings");
static_assert(offsetof(MessParam, Time_Seconds) == 4, "Time_Seconds");
static_assert(offsetof(MessParam, Sample_Distance) == 8, "Sample_Distance");
static_assert(offsetof(MessParam, Error_Stop) == 16, "Error_Stop");
static_assert(offsetof(MessParam, Error_Wait_Min) == 20, "Error_Wait_Min");
static_assert(offsetof(MessParam, Error_Set_Var) == 24, "Error_Set_Var");
static_assert(offsetof(MessParam, Error_Var_Nr) == 28, "Error_Var_Nr");
static_assert(offsetof(MessParam, Watchdog_On) == 32, "Watchdog_On");
static_assert(offsetof(MessParam, Watchdog_Time) == 36, "Watchdog_Time");
static_assert(offsetof(MessParam, Watchdog_Value) == 40, "Watchdog_Value");
static_assert(offsetof(MessParam, Dummy2) == 42, "Dummy2");
static_assert(offsetof(MessParam, Padding) == 50, "Padding");

// Limits of the settings.
#define WAIT_MIN_LOW 1
#define WAIT_MIN_HIGH 30240
#define GLOBAL_STRING_LOW 1
#define GLOBAL_STRING_HIGH 200
#define WATCHDOG_TIME_LOW 2
#define WATCHDOG_TIME_HIGH 13
#define BLOCK_SIZE_HIGH 65535

// Defaults for a new block: those of the first block of a worksheet, or a
// copy of the block added to the module table most recently. Every byte of
// the record is set.
void InitMessParam(MessParam* settings);

// 1 when the sample distance and block size the settings select can be
// measured with: an own sample distance above 0, or, with the global
// settings, a global sample distance above 0 and a global block size of 1 to
// 65535. Otherwise 0 and the reason in `text`.
int CheckMessParam(const MessParam* settings, char* text, int size);

// A record loaded from a worksheet: the numbers the dialogs limit are limited
// the same way, and an own sample distance of 0 or below is refused with a
// warning under `caption` (0). The dialog's OK checks with CheckMessParam.
int MessParamAfterLoad(const char* caption, MessParam* settings);

// The shared dialogs on a block's settings; both answer 0.
int MessParamDialog(MessParam* settings);
int WatchdogDialog(MessParam* settings, int channels);

INT_PTR CALLBACK MessParamDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyParDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WatchdogDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

void ShowSampleDistance(HWND dialog, MessParam* work);
void ShowWaitMinutes(HWND dialog, MessParam* work);
void ShowErrorVariable(HWND dialog, MessParam* work);

#endif
