// The channel bar of the setup dialogs: up to 16 channel buttons and a pair of
// less and more buttons, custom controls drawn with the host's bitmaps.
//
// The channels in use are one set, shown by the channel buttons: a channel is
// in use exactly when its button is in state 1 (current) or 2 (in use), and
// UsedChannels is always the number of such buttons. A dialog with less and
// more buttons keeps the set a run from channel 0, so UsedChannels is also
// the first channel not in use; less takes the highest channel out of use,
// more brings the next one into use. Every helper below changes a channel's
// count only when the channel changes between in use and not in use, so the
// less/more commands a Ctrl double click sends and the dialog's own handling
// of that double click never count a channel twice.
#ifndef TELVIO_FRAME_CHANBAR_H
#define TELVIO_FRAME_CHANBAR_H

#include <windows.h>

// Control ids of the bar.
#define IDC_LESS 23000
#define IDC_MORE 23001
#define IDC_CHANNEL_FIRST 23002
#define CHANNEL_BUTTONS_MAX 16

// No current channel.
#define NO_CHANNEL 0xFFFF

// Messages between the bar buttons and their dialog.
#define CHANBTN_SETSTATE 254  // dialog to a button: wParam = new state
#define CHANBTN_DOWN 1025     // channel button to dialog: wParam = button, lParam = state
#define CHANBTN_UP 1026       // the same, left button up
#define CHANBTN_DBLCLK 1027   // the same, left double click
#define CHANBTN_RDBLCLK 1028  // the same, right double click
#define CHANBTN_DESELECT 1029 // dialog to a channel button: current becomes in use

// Channel button states.
#define CHANNEL_AVAILABLE 0
#define CHANNEL_CURRENT 1
#define CHANNEL_IN_USE 2
#define CHANNEL_NOT_AVAILABLE 3

// Less and more button states (less 0..2, more 3..5).
#define LESS_DISABLED 0
#define LESS_NORMAL 1
#define LESS_PRESSED 2
#define MORE_DISABLED 3
#define MORE_NORMAL 4
#define MORE_PRESSED 5

// The open setup dialog's bar.
extern int CurrentChannel; // current channel button, NO_CHANNEL for none
extern int UsedChannels;   // channels in use
extern int MaxChannels;    // channel buttons of the block type, at most 16

// States from the count: channel buttons below MaxChannels 1 for the current
// one, 2 below UsedChannels, 3 beyond; less and more by the count (both
// disabled while an experiment runs); then the dialog is centred over the
// host's main window.
void InitChannelBar(HWND dialog);
// As InitChannelBar, but the buttons beyond the count show 0 (available).
void RefreshChannelButtons(HWND dialog);
// The dialog's WM_COMMAND handler of IDC_LESS and IDC_MORE.
void ChangeChannelCount(HWND dialog, int id);
// Makes the button current; the current one before goes back to in use.
void SelectChannelButton(HWND dialog, HWND button);
// Sends IDC_LESS or IDC_MORE once, or with Ctrl held as often as it takes to
// leave `target` channels (less) or `target` + 1 channels (more) in use.
void RepeatLessMore(HWND dialog, int id, int target);

// The channel-button double clicks as every setup dialog handles them
// (CHANBTN_DBLCLK, CHANBTN_RDBLCLK); the dialog stores the current channel's
// fields before and shows them after. In a dialog without less and more
// buttons the channels in use are any set: a double click on an available
// button brings it into use and makes it current, with Ctrl every button
// from the current one to the clicked one comes into use; a right double
// click takes the button out of use, with Ctrl every button from the current
// one to the clicked one, and no channel is current after. In a dialog with
// less and more buttons the Ctrl double clicks have already changed the
// count through RepeatLessMore; here the clicked button only becomes current
// when it is in use, and a right double click changes nothing further, so
// the set stays the run from channel 0. Each answers 1 when something
// changed.
int ChannelBarDoubleClick(HWND dialog, HWND button);
int ChannelBarRightDoubleClick(HWND dialog, HWND button);
// The same as if Ctrl were not held: one channel into or out of use.
int ChannelBarPlainDoubleClick(HWND dialog, HWND button);
int ChannelBarPlainRightDoubleClick(HWND dialog, HWND button);

// The state of channel button i (-1 without such a button) and the set of
// channels in use as a mask (bit i: button i in state 1 or 2).
int ChannelButtonState(HWND dialog, int i);
WORD ChannelBarMask(HWND dialog);
// A count of channel buttons limited to 0..CHANNEL_BUTTONS_MAX.
int ChannelBarButtons(int maxChannels);
// 1 when the dialog has less and more buttons.
int ChannelBarHasLessMore(HWND dialog);

// Window procedures of the channel buttons and the less/more buttons.
LRESULT CALLBACK ChannelButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LessMoreButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
