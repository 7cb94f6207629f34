// The measurement settings of a block: defaults, the checks of a loaded
// record, and the shared dialogs on them. The record is in host/records.h.
#ifndef TELVIO_FRAME_MESSPARAM_H
#define TELVIO_FRAME_MESSPARAM_H

#include "host/records.h"

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
