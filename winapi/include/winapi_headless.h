// Controls of the headless Win32 layer that exist only in the Linux build:
// the manual clock, what the layer recorded instead of showing it, and the
// program's own resources. Tests and the stand-in host use them; plug-in code
// never does.
#ifndef WINAPI_HEADLESS_H
#define WINAPI_HEADLESS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI_HEADLESS_API __attribute__((visibility("default")))

// Clock. The real clock is the default; the manual clock stands still until
// advanced, and Sleep() on it advances it instead of waiting. GetTickCount
// and QueryPerformanceCounter both follow it: the tick count wraps after
// 2^32 ms, the performance counter runs on.
WINAPI_HEADLESS_API void WinapiUseManualClock(DWORD startTicks);
WINAPI_HEADLESS_API void WinapiUseRealClock(void);
WINAPI_HEADLESS_API void WinapiAdvanceClock(DWORD milliseconds);
WINAPI_HEADLESS_API void WinapiAdvanceClockMicroseconds(DWORD microseconds);
WINAPI_HEADLESS_API int WinapiClockIsManual(void);

// Serial ports: the carriage returns written to COMn (1..16) since the
// process started, whatever handle wrote them; a test compares them with the
// lines a simulated module has received. 0 for any other number.
WINAPI_HEADLESS_API unsigned long WinapiCommLinesWritten(int port);

// Help requests: WinHelpA records each call instead of opening a viewer.
typedef struct WinapiHelpCall {
    HWND hwnd;
    char file[MAX_PATH + 64];
    UINT command;
    ULONG_PTR data;
} WinapiHelpCall;
WINAPI_HEADLESS_API int WinapiHelpCallCount(void);
WINAPI_HEADLESS_API int WinapiHelpCallAt(int index, WinapiHelpCall* out);
WINAPI_HEADLESS_API void WinapiHelpCallsClear(void);

// Resources of the program itself (GetModuleHandleA(NULL)); the build
// registers them before main().
WINAPI_HEADLESS_API void WinapiSetProgramResources(const unsigned char* data, unsigned size);

// Where the program seems to live (GetModuleFileNameA(NULL)): a test puts the
// host program in a folder of its own, and with it the files kept beside it.
WINAPI_HEADLESS_API void WinapiSetProgramPath(const char* path);

// Path translation between the Windows form the API shows ("Z:\dir\file")
// and the host file system ("/dir/file").
WINAPI_HEADLESS_API void WinapiToHostPath(const char* windowsPath, char* out, unsigned outSize);

// ---- Dialogs: what the user does ----
// Actions are queued for dialogs and played in order by the modal loop of
// DialogBoxParamA, each on the innermost modal dialog running when its turn
// comes, so one script can walk through nested dialogs. An action names a
// control by its id. An action the control cannot take (no such control,
// disabled, read-only, no such entry) is skipped, counted and reported on
// stderr. A dialog still waiting when the queue is empty gets WM_COMMAND
// IDCANCEL and is then ended with IDCANCEL; that is counted too.
typedef void (*WinapiDialogCallback)(HWND dialog, void* user);
// Sets the focus to the control, then sets its text as typed (limit, case
// and digit styles apply): EN_CHANGE from an edit, CBN_EDITCHANGE from an
// editable combo box.
WINAPI_HEADLESS_API void WinapiQueueType(int id, const char* text);
// Focus to the combo or list box, select the entry with this text (without
// case), CBN_SELCHANGE (LBN_SELCHANGE with LBS_NOTIFY).
WINAPI_HEADLESS_API void WinapiQueuePick(int id, const char* text);
// A mouse click: a button takes the focus, auto check boxes and radio
// buttons change, BN_CLICKED; other windows get WM_LBUTTONDOWN and UP.
WINAPI_HEADLESS_API void WinapiQueueClick(int id);
// A double click: a button gets down, up, double click, up (BN_CLICKED,
// BN_DOUBLECLICKED where Windows sends it); a list box LBN_DBLCLK; a window
// of a registered class WM_LBUTTONDBLCLK only, with MK_CONTROL while Ctrl is
// held.
WINAPI_HEADLESS_API void WinapiQueueDoubleClick(int id);
WINAPI_HEADLESS_API void WinapiQueueMouseDown(int id);        // WM_LBUTTONDOWN
WINAPI_HEADLESS_API void WinapiQueueMouseUp(int id);          // WM_LBUTTONUP
WINAPI_HEADLESS_API void WinapiQueueRightDoubleClick(int id); // WM_RBUTTONDBLCLK
// Hold (1) or release (0) the Ctrl key: GetAsyncKeyState, GetKeyState and
// the mouse messages' MK_CONTROL report it.
WINAPI_HEADLESS_API void WinapiQueueCtrl(int held);
// Sends a message to the control, or to the dialog itself for id 0.
WINAPI_HEADLESS_API void WinapiQueueMessage(int id, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the function with the dialog at this point of the script.
WINAPI_HEADLESS_API void WinapiQueueCallback(WinapiDialogCallback callback, void* user);
// OK and Cancel as clicks on the IDOK / IDCANCEL buttons (the button takes
// the focus first); without such a button WM_COMMAND IDOK / IDCANCEL as from
// the Enter or Esc key.
WINAPI_HEADLESS_API void WinapiQueueOk(void);
WINAPI_HEADLESS_API void WinapiQueueCancel(void);
WINAPI_HEADLESS_API int WinapiQueuedActionCount(void);

// The same actions at once, on a given dialog (a modeless one, or the modal
// one from a callback); each answers 1 when taken, 0 when refused.
WINAPI_HEADLESS_API int WinapiUserType(HWND dialog, int id, const char* text);
WINAPI_HEADLESS_API int WinapiUserPick(HWND dialog, int id, const char* text);
WINAPI_HEADLESS_API int WinapiUserClick(HWND dialog, int id);
WINAPI_HEADLESS_API int WinapiUserDoubleClick(HWND dialog, int id);
WINAPI_HEADLESS_API int WinapiUserMouseDown(HWND dialog, int id);
WINAPI_HEADLESS_API int WinapiUserMouseUp(HWND dialog, int id);
WINAPI_HEADLESS_API int WinapiUserRightDoubleClick(HWND dialog, int id);
WINAPI_HEADLESS_API int WinapiUserOk(HWND dialog);
WINAPI_HEADLESS_API int WinapiUserCancel(HWND dialog);
WINAPI_HEADLESS_API void WinapiSetCtrlHeld(int held);
WINAPI_HEADLESS_API int WinapiCtrlHeld(void);

// The innermost modal dialog running, or NULL.
WINAPI_HEADLESS_API HWND WinapiModalDialog(void);
// Template name of a dialog window: its text name, or "#n" for an ordinal.
WINAPI_HEADLESS_API int WinapiDialogTemplateName(HWND dialog, char* buf, int size);

// Dialogs that were left waiting and cancelled, and refused actions.
WINAPI_HEADLESS_API int WinapiUnfinishedDialogCount(void);
WINAPI_HEADLESS_API int WinapiUnfinishedDialogName(int index, char* buf, int size);
WINAPI_HEADLESS_API int WinapiFailedActionCount(void);

// ---- Dialogs: their state when they were destroyed ----
// Every dialog leaves a snapshot of its controls when it is destroyed (a
// modal one right after EndDialog). `dialog` names the template as it was
// passed (text, MAKEINTRESOURCE(n) or "#n"); NULL is the last dialog. The
// latest snapshot of each template is kept, and answers.
typedef struct WinapiControlInfo {
    int id;
    char className[64];
    char text[256];
    DWORD style;
    int check;     // BM_GETCHECK of buttons, 0 for others
    int enabled;   // 1 or 0
    int visible;   // WS_VISIBLE
    int itemCount; // combo and list boxes
    int selection; // combo and list boxes, -1 for none
} WinapiControlInfo;
WINAPI_HEADLESS_API int WinapiDialogSnapshotCount(void); // templates with a snapshot
// Windows made and not destroyed yet (a destroyed window is freed).
WINAPI_HEADLESS_API int WinapiLiveWindowCount(void);
WINAPI_HEADLESS_API int WinapiDialogFound(LPCSTR dialog);          // 1 when a snapshot exists
WINAPI_HEADLESS_API INT_PTR WinapiDialogResult(LPCSTR dialog);     // EndDialog's value
WINAPI_HEADLESS_API int WinapiDialogCancelledByRun(LPCSTR dialog); // left waiting
WINAPI_HEADLESS_API int WinapiDialogControlCount(LPCSTR dialog);
WINAPI_HEADLESS_API int WinapiDialogControlAt(LPCSTR dialog, int index, WinapiControlInfo* out);
WINAPI_HEADLESS_API int WinapiDialogControl(LPCSTR dialog, int id, WinapiControlInfo* out);
WINAPI_HEADLESS_API int WinapiDialogText(LPCSTR dialog, int id, char* buf, int size);
WINAPI_HEADLESS_API int WinapiDialogItem(LPCSTR dialog, int id, int index, char* buf, int size);
WINAPI_HEADLESS_API int WinapiLastDialogText(int id, char* buf, int size);
WINAPI_HEADLESS_API int WinapiLastDialogCheck(int id); // -1 without such a control

// ---- Message boxes ----
// MessageBoxA takes the next queued answer (IDOK, IDYES, ...). Without one
// it answers its default button (IDOK for MB_OK) and counts as unanswered.
typedef struct WinapiMessageBoxCall {
    HWND owner;
    char caption[256];
    char text[1024];
    UINT type;
    int answer;
    int answered; // 0 when no answer was queued
} WinapiMessageBoxCall;
WINAPI_HEADLESS_API void WinapiQueueMessageBoxAnswer(int answer);
WINAPI_HEADLESS_API int WinapiMessageBoxCount(void);
WINAPI_HEADLESS_API int WinapiMessageBoxAt(int index, WinapiMessageBoxCall* out);
WINAPI_HEADLESS_API int WinapiUnansweredMessageBoxCount(void);

// ---- File dialogs ----
// GetSaveFileNameA and GetOpenFileNameA take the next queued answer: a file
// name, or NULL for Cancel. A name without a folder is taken in the initial
// folder; a host path ("/tmp/x.txt") is shown in its Windows form. Without
// an answer they cancel and count as unanswered.
typedef struct WinapiFileDialogCall {
    int save; // 1 GetSaveFileNameA, 0 GetOpenFileNameA
    HWND owner;
    char filter[512]; // the pairs with '|' for each terminating null
    char initialDir[MAX_PATH];
    char initialFile[MAX_PATH]; // what the buffer held
    char title[256];
    char defExt[32];
    DWORD flags;
    DWORD maxFile;
    int answered;
    int accepted;
    char file[MAX_PATH]; // the name returned
} WinapiFileDialogCall;
WINAPI_HEADLESS_API void WinapiQueueFileName(const char* nameOrNull);
WINAPI_HEADLESS_API int WinapiFileDialogCount(void);
WINAPI_HEADLESS_API int WinapiFileDialogAt(int index, WinapiFileDialogCall* out);
WINAPI_HEADLESS_API int WinapiUnansweredFileDialogCount(void);

// ---- Colour and font choosers ----
// ChooseColorA and ChooseFontA show a small dialog of their own (OK is
// control 1, Cancel control 2), give the caller's hook WM_INITDIALOG when
// CC_ENABLEHOOK / CF_ENABLEHOOK is set, note where the dialog then stands and
// which control has the focus, and take the next queued answer. Without one
// they cancel and count as unanswered.
typedef struct WinapiChooserCall {
    int kind; // 1 ChooseColorA, 2 ChooseFontA
    HWND owner;
    DWORD flags;
    int hooked;   // the hook got WM_INITDIALOG
    RECT placed;  // the dialog's window rectangle after WM_INITDIALOG
    int focusId;  // id of the control with the focus after WM_INITDIALOG, 0 none
    HFONT okFont; // WM_GETFONT of the OK button after WM_INITDIALOG
    int answered; // 0 when no answer was queued
    int accepted; // OK
} WinapiChooserCall;
// An answer for ChooseColorA: OK with `color` (and, when customIndex is 0 to
// 15, that custom colour changed to `custom`), or Cancel when accept is 0.
WINAPI_HEADLESS_API void WinapiQueueColor(int accept, COLORREF color, int customIndex,
                                          COLORREF custom);
// An answer for ChooseFontA: OK with this font, or Cancel for NULL.
WINAPI_HEADLESS_API void WinapiQueueFont(const LOGFONTA* fontOrNull);
WINAPI_HEADLESS_API int WinapiChooserCount(void);
WINAPI_HEADLESS_API int WinapiChooserAt(int index, WinapiChooserCall* out);
WINAPI_HEADLESS_API int WinapiUnansweredChooserCount(void);

// ---- Text drawn on device contexts ----
// TextOutA records each call; nothing is drawn headless.
typedef struct WinapiTextOutCall {
    HDC dc;
    HWND window; // the window of the context, NULL for the screen
    int x;
    int y;
    char text[256];
} WinapiTextOutCall;
WINAPI_HEADLESS_API int WinapiTextOutCount(void);
WINAPI_HEADLESS_API int WinapiTextOutAt(int index, WinapiTextOutCall* out);

// Forgets every queued action and answer, every record and counter, the
// snapshots, and releases Ctrl.
WINAPI_HEADLESS_API void WinapiDialogsReset(void);

#ifdef __cplusplus
}
#endif

#endif
