// The measurement settings of a block: defaults, the checks of a loaded
// record, and the shared dialogs on them. The record is in host/records.h.
#ifndef TELVIO_FRAME_MESSPARAM_H
#define TELVIO_FRAME_MESSPARAM_H

#include "host/records.h"

// Defaults for a new block: those of the first block of a worksheet, or a
// copy of the block added to the module table most recently. Every byte of
// the record is set.
void InitMessParam(MessParam* settings);

// 0 when the block's own settings can be measured with: an own sample
// distance above 0 seconds (NaN and infinities are refused: the block would
// poll without a pause, or never again, and hand the host no time base);
// with the global settings there is nothing of the block's own to check.
// Otherwise the string id of the reason. The dialog's OK checks this.
UINT MessParamFault(const MessParam* settings);

// The same at the start of a block, together with the host's global
// settings where the block uses them: a global sample distance above 0 and a
// global block size of 1 to 65535.
UINT MessParamStartFault(const MessParam* settings);

// A record loaded from a worksheet keeps its numbers as they were saved (the
// dialogs limit them where the user edits them); a record MessParamFault
// refuses is refused with its warning under `caption` (0).
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
