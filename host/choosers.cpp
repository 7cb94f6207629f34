// The choosers and the small dialog helpers around them.
#include "host/choosers.h"
#include "host/driver.h"
#include "host/host.h"
#include "host/numbers.h"
#include "host/rounding.h"

#include <commdlg.h>
#include <string.h>

namespace {

// Centres the dialog over the active window, or the host's main window when
// there is none, gives it the shared dialog font and focuses control 1.
void CenterOverActiveWindow(HWND dialog) {
    HWND over = GetActiveWindow();
    if (over == nullptr || over == dialog) over = hwndHost;
    CenterDialog(dialog, over);
    SetFocus(GetDlgItem(dialog, 1));
}

void OrderedRect(RECT* out, const POINT points[2]) {
    out->left = points[0].x < points[1].x ? points[0].x : points[1].x;
    out->right = points[0].x < points[1].x ? points[1].x : points[0].x;
    out->top = points[0].y < points[1].y ? points[0].y : points[1].y;
    out->bottom = points[0].y < points[1].y ? points[1].y : points[0].y;
}

} // namespace

HFONT CreateScaledFont(HDC dc, const LOGFONTA* description, int width, int height) {
    SIZE extent;
    if (description == nullptr || !GetTextExtentPoint32A(dc, "0000g", 5, &extent) ||
        extent.cx <= 0 || extent.cy <= 0)
        return nullptr;
    double scaleX = static_cast<double>(width) / extent.cx;
    double scaleY = static_cast<double>(height) / extent.cy;
    double scale = scaleX < scaleY ? scaleX : scaleY;
    int pixels = RoundToInt(extent.cy * scale);
    if (pixels < 7) return nullptr;
    LOGFONTA scaled = *description;
    // A negative height asks for the character height, as in the description.
    scaled.lfHeight = description->lfHeight < 0 ? -pixels : pixels;
    scaled.lfWidth = RoundToInt(description->lfWidth * scale);
    return CreateStackedFontIndirect(&scaled);
}

int ChooseHostColor(HWND owner, COLORREF* color) {
    COLORREF* hostColors = HostVariable<COLORREF*>(HV_clrUserDefinedColors);
    if (hostColors == nullptr || color == nullptr) return 0;
    // The chooser works on a copy, so Cancel leaves the host's colours alone.
    COLORREF custom[16];
    memcpy(custom, hostColors, sizeof custom);
    CHOOSECOLORA cc;
    memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = *color;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_ENABLEHOOK;
    cc.lpfnHook = ChooserHook;
    if (!ChooseColorA(&cc)) return 0;
    memcpy(hostColors, custom, sizeof custom);
    *color = cc.rgbResult;
    return 1;
}

int ChooseDialogFont(HWND owner, LOGFONTA* font) {
    if (font == nullptr) return 0;
    LOGFONTA chosen = *font;
    CHOOSEFONTA cf;
    memset(&cf, 0, sizeof cf);
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK;
    cf.lpfnHook = ChooserHook;
    if (!ChooseFontA(&cf)) return 0;
    *font = chosen;
    return 1;
}

void RectFromPoints(RECT* out, POINT a, POINT b, HWND from, HWND to) {
    POINT points[2] = {a, b};
    MapWindowPoints(from, to, points, 2);
    OrderedRect(out, points);
}

void RectFromScreenPoints(RECT* out, POINT a, POINT b, HWND window) {
    POINT points[2] = {a, b};
    ScreenToClient(window, &points[0]);
    ScreenToClient(window, &points[1]);
    OrderedRect(out, points);
}

UINT_PTR CALLBACK ChooserHook(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return 0;
    CenterOverActiveWindow(dialog);
    return FALSE; // the focus is set
}

INT_PTR CALLBACK CenteringDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    CenterOverActiveWindow(dialog);
    return FALSE; // the focus is set
}
