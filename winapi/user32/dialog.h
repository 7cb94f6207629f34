// Dialogs, the standard controls and input state of the headless layer: what
// the user32 files share among themselves.
#ifndef WINAPI_USER32_DIALOG_H
#define WINAPI_USER32_DIALOG_H

#include "user32/window.h"

#include <string>
#include <vector>

namespace winapi {

// The standard control a window is, by its class.
enum ControlKind { kOther, kButton, kEdit, kStatic, kListBox, kComboBox, kScrollBar, kDialog };
ControlKind controlKind(HWND h);
const char* systemClassName(unsigned ordinal); // 0x80..0x85, 0 for others

// Sends WM_COMMAND with the control's id and the code to its parent.
void notifyParent(HWND control, int code);

// What a user does to a control; each answers false when the control cannot
// take it (disabled, read-only, wrong kind, no such entry).
bool userType(HWND control, const char* text);
bool userPick(HWND control, const char* text);
bool userClick(HWND control);
bool userDoubleClick(HWND control);
bool userMouse(HWND control, UINT message); // WM_LBUTTONDOWN/UP, WM_RBUTTONDBLCLK

// Combo and list contents, for the snapshots.
int controlItemCount(HWND control);
std::string controlItem(HWND control, int index);
int controlSelection(HWND control);

// Keyboard and mouse state the headless actions set.
void setCtrlHeld(bool held);
bool ctrlHeld();
void setLeftButtonDown(bool down);
WPARAM mouseKeyFlags(WPARAM buttons);

// Geometry: the window's frame widths, and its client origin on the screen.
RECT nonClientInsets(Window* w);
POINT clientOrigin(HWND h);

// Running dialogs.
struct Dialog {
    HWND hwnd = nullptr;
    DLGPROC proc = nullptr;
    std::string templateName; // text, or "#n" for an ordinal
    bool modal = false;
    bool ended = false;
    bool destroyed = false;
    bool looping = false; // DialogBoxParamA runs its loop and forgets the record after it
    INT_PTR result = 0;
    HFONT font = nullptr;
    bool ownsFont = false;     // made from the template
    int baseX = 8, baseY = 16; // dialog base units
    HWND owner = nullptr;
    bool ownerDisabled = false; // by this dialog
    HWND lastFocus = nullptr;
};
Dialog* dialogFromHandle(HWND h);
HWND modalDialog();
HWND activeTopWindow();
void focusMovedTo(HWND h);                          // keeps each dialog's last focus
void recordSnapshot(Dialog* d);                     // at destroy time
bool playNextAction(HWND dialog, bool* haveAction); // one queued action
void recordUnfinished(const std::string& name);

std::string templateNameOf(LPCSTR name);
bool isDescendant(HWND ancestor, HWND h);

} // namespace winapi

#endif
