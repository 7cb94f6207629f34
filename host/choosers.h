// The colour and font choosers, their centring hook, a centring dialog
// procedure, fonts scaled to a box, and rectangles from two points.
#ifndef TELVIO_HOST_CHOOSERS_H
#define TELVIO_HOST_CHOOSERS_H

#include <windows.h>

// The font description scaled so that the text "0000g", measured in `dc`
// (which holds the described font), fills a box of width x height pixels in
// the tighter direction; made through the host's CreateStackedFontIndirect.
// None (0) when the scaled height is below 7 pixels or the text cannot be
// measured.
HFONT CreateScaledFont(HDC dc, const LOGFONTA* description, int width, int height);

// The colour chooser with the host's 16 custom colours (clrUserDefinedColors,
// the address of its array), starting at *color and centred by ChooserHook.
// On OK *color is the choice, the host keeps the custom colours as the user
// left them, and the answer is 1; on Cancel nothing changes and it is 0.
int ChooseHostColor(HWND owner, COLORREF* color);
// The font chooser for screen fonts, starting at *font and centred by
// ChooserHook. 1 and *font the choice on OK, 0 and *font unchanged otherwise.
int ChooseDialogFont(HWND owner, LOGFONTA* font);

// The rectangle spanned by two points given in the client coordinates of
// `from` and mapped into those of `to` (NULL: the screen), left above right
// and top above bottom.
void RectFromPoints(RECT* out, POINT a, POINT b, HWND from, HWND to);
// The rectangle spanned by two screen points, in the client coordinates of
// `window`, ordered the same way.
void RectFromScreenPoints(RECT* out, POINT a, POINT b, HWND window);

// Hook of the common dialogs: on WM_INITDIALOG it centres the dialog over the
// active window (the host's main window when there is none), gives its
// controls the shared dialog font and focuses control 1.
UINT_PTR CALLBACK ChooserHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Dialog procedure that on WM_INITDIALOG centres the dialog the same way and
// focuses control 1; it handles nothing else.
INT_PTR CALLBACK CenteringDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
