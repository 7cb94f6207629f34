// The colour and font choosers with the host's custom colours, their hook
// and the centring dialog procedure, fonts scaled to a box, and rectangles
// from two points.
#include "host/choosers.h"
#include "host/rounding.h"
#include "host_fixture.h"

#include <commdlg.h>
#include <string.h>

namespace {

using numberstest::HostTest;

class Choosers : public HostTest {
  protected:
    void TearDown() override {
        // The dialog font a test made goes back to the host's stack.
        if (hDialogFont != nullptr) {
            EXPECT_EQ(1, DeleteStackedObject(hDialogFont));
        }
        hDialogFont = nullptr;
        for (HWND w : windows)
            if (IsWindow(w)) DestroyWindow(w);
        HostTest::TearDown();
    }
    COLORREF* HostColors() { return HostVariable<COLORREF*>(HV_clrUserDefinedColors); }
    // A visible top-level window: the active window the dialogs centre over.
    HWND Visible(int x, int y, int width, int height) {
        HWND w =
            CreateWindowExA(0, "VarnixMainWindow", "active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                            width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows.push_back(w);
        return w;
    }
    // Where CenterDialog puts a box of this size over the window.
    static POINT CentredOver(HWND over, const RECT& box) {
        RECT client;
        GetClientRect(over, &client);
        POINT centre = {client.right / 2, client.bottom / 2};
        ClientToScreen(over, &centre);
        POINT at = {centre.x - (box.right - box.left) / 2, centre.y - (box.bottom - box.top) / 2};
        return at;
    }
    WinapiChooserCall LastCall() {
        WinapiChooserCall call;
        memset(&call, 0, sizeof call);
        EXPECT_EQ(1, WinapiChooserAt(WinapiChooserCount() - 1, &call));
        return call;
    }
    std::vector<HWND> windows;
};

TEST_F(Choosers, ColourChosenKeepsTheCustomColours) {
    COLORREF* host = HostColors();
    ASSERT_NE(nullptr, host);
    for (int i = 0; i < 16; i++)
        host[i] = RGB(i, i, i);
    WinapiQueueColor(1, RGB(10, 20, 30), 3, RGB(200, 0, 0));
    COLORREF color = RGB(1, 2, 3);
    EXPECT_EQ(1, ChooseHostColor(hostsim::MainWindow(), &color));
    EXPECT_EQ(RGB(10, 20, 30), color);
    EXPECT_EQ(RGB(200, 0, 0), host[3]);
    EXPECT_EQ(RGB(4, 4, 4), host[4]);
    WinapiChooserCall call = LastCall();
    EXPECT_EQ(1, call.kind);
    EXPECT_EQ(hostsim::MainWindow(), call.owner);
    EXPECT_TRUE(call.flags & CC_RGBINIT);
    EXPECT_EQ(1, call.hooked);
    EXPECT_EQ(1, call.focusId); // the hook focused OK
}

TEST_F(Choosers, ColourCancelledChangesNothing) {
    COLORREF* host = HostColors();
    for (int i = 0; i < 16; i++)
        host[i] = RGB(i, 0, 0);
    WinapiQueueColor(0, RGB(10, 20, 30), 3, RGB(200, 0, 0));
    COLORREF color = RGB(1, 2, 3);
    EXPECT_EQ(0, ChooseHostColor(hostsim::MainWindow(), &color));
    EXPECT_EQ(RGB(1, 2, 3), color);
    EXPECT_EQ(RGB(3, 0, 0), host[3]);
    // Nobody answering is a cancel too.
    EXPECT_EQ(0, ChooseHostColor(hostsim::MainWindow(), &color));
    EXPECT_EQ(1, WinapiUnansweredChooserCount());
}

TEST_F(Choosers, FontChosenOrKept) {
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = -13;
    strcpy(font.lfFaceName, "Arial");
    LOGFONTA answer = font;
    answer.lfHeight = -20;
    answer.lfWeight = FW_BOLD;
    strcpy(answer.lfFaceName, "Courier New");
    WinapiQueueFont(&answer);
    EXPECT_EQ(1, ChooseDialogFont(hostsim::MainWindow(), &font));
    EXPECT_STREQ("Courier New", font.lfFaceName);
    EXPECT_EQ(-20, font.lfHeight);
    WinapiChooserCall call = LastCall();
    EXPECT_EQ(2, call.kind);
    EXPECT_TRUE(call.flags & CF_INITTOLOGFONTSTRUCT);
    EXPECT_EQ(1, call.focusId);

    WinapiQueueFont(nullptr);
    EXPECT_EQ(0, ChooseDialogFont(hostsim::MainWindow(), &font));
    EXPECT_STREQ("Courier New", font.lfFaceName);
}

TEST_F(Choosers, HookCentresOverTheActiveWindowWithTheDialogFont) {
    HWND active = Visible(300, 200, 400, 300);
    ASSERT_EQ(active, GetActiveWindow());
    LOGFONTA description;
    memset(&description, 0, sizeof description);
    hDialogFont = CreateStackedFontIndirect(&description);
    ASSERT_NE(nullptr, hDialogFont);
    WinapiQueueColor(0, 0, -1, 0);
    COLORREF color = 0;
    ChooseHostColor(hostsim::MainWindow(), &color);
    WinapiChooserCall call = LastCall();
    POINT at = CentredOver(active, call.placed);
    EXPECT_EQ(at.x, call.placed.left);
    EXPECT_EQ(at.y, call.placed.top);
    EXPECT_EQ(hDialogFont, call.okFont);
}

TEST_F(Choosers, WithoutAnActiveWindowOverTheHostsWindow) {
    ASSERT_EQ(nullptr, GetActiveWindow()); // the host's window is not shown here
    WinapiQueueFont(nullptr);
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    ChooseDialogFont(nullptr, &font);
    WinapiChooserCall call = LastCall();
    POINT at = CentredOver(hostsim::MainWindow(), call.placed);
    EXPECT_EQ(at.x, call.placed.left);
    EXPECT_EQ(at.y, call.placed.top);
}

TEST_F(Choosers, CenteringDialogProcedure) {
    HWND active = Visible(100, 100, 500, 400);
    HWND dialog = CreateWindowExA(0, "#32770", "dialog", WS_POPUP | WS_CAPTION, 0, 0, 200, 120,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, dialog);
    windows.push_back(dialog);
    HWND first = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 50, 20,
                                 dialog, reinterpret_cast<HMENU>(100), nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 40, 50, 20, dialog,
                    reinterpret_cast<HMENU>(1), nullptr, nullptr);
    SetWindowLongA(dialog, DWL_DLGPROC,
                   static_cast<LONG>(reinterpret_cast<LONG_PTR>(CenteringDialogProc)));
    // FALSE: the procedure set the focus itself, on control 1.
    EXPECT_EQ(0, SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0));
    EXPECT_EQ(1, GetDlgCtrlID(GetFocus()));
    RECT placed;
    GetWindowRect(dialog, &placed);
    POINT at = CentredOver(active, placed);
    EXPECT_EQ(at.x, placed.left);
    EXPECT_EQ(at.y, placed.top);
    // Nothing else is handled.
    EXPECT_EQ(FALSE, CenteringDialogProc(dialog, WM_COMMAND, IDOK, 0));
}

TEST_F(Choosers, FontsScaledToABox) {
    HDC dc = GetDC(hostsim::MainWindow());
    ASSERT_NE(nullptr, dc);
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "0000g", 5, &extent));
    LOGFONTA description;
    memset(&description, 0, sizeof description);
    description.lfHeight = -16;
    description.lfWidth = 6;
    strcpy(description.lfFaceName, "Arial");
    struct {
        int width, height;
        LONG lfHeight, lfWidth; // 0: no font
    } cases[] = {
        {extent.cx * 2, extent.cy * 10, -extent.cy * 2, 12},      // width limits
        {extent.cx * 10, extent.cy * 3, -extent.cy * 3, 18},      // height limits
        {extent.cx * 10, 7, -7, RoundToInt(6.0 * 7 / extent.cy)}, // 7 pixels still made
        {extent.cx * 10, 6, 0, 0},                                // below 7: none
    };
    for (const auto& c : cases) {
        int before = hostsim::StackedObjectsCreated();
        HFONT font = CreateScaledFont(dc, &description, c.width, c.height);
        if (c.lfHeight == 0) {
            EXPECT_EQ(nullptr, font);
            EXPECT_EQ(before, hostsim::StackedObjectsCreated());
            continue;
        }
        ASSERT_NE(nullptr, font);
        // The stand-in host's fonts are the descriptions it was given.
        const LOGFONTA* made = reinterpret_cast<const LOGFONTA*>(font);
        EXPECT_EQ(c.lfHeight, made->lfHeight) << c.width << " x " << c.height;
        EXPECT_EQ(c.lfWidth, made->lfWidth);
        EXPECT_STREQ("Arial", made->lfFaceName);
        EXPECT_EQ(1, DeleteStackedObject(font)) << "the font is the host's stacked object";
    }
    ReleaseDC(hostsim::MainWindow(), dc);
}

TEST_F(Choosers, RectanglesFromTwoPoints) {
    HWND a = Visible(50, 60, 300, 200);
    HWND b = Visible(400, 100, 300, 200);
    POINT p = {120, 90}, q = {20, 30};
    RECT r;
    RectFromPoints(&r, p, q, a, b);
    // Independently: client of a to the screen, the screen to the client of b.
    POINT p2 = p, q2 = q;
    ClientToScreen(a, &p2);
    ClientToScreen(a, &q2);
    ScreenToClient(b, &p2);
    ScreenToClient(b, &q2);
    EXPECT_EQ(q2.x, r.left);
    EXPECT_EQ(q2.y, r.top);
    EXPECT_EQ(p2.x, r.right);
    EXPECT_EQ(p2.y, r.bottom);

    RectFromPoints(&r, p, q, a, nullptr); // into screen coordinates
    POINT s = q;
    ClientToScreen(a, &s);
    EXPECT_EQ(s.x, r.left);
    EXPECT_EQ(s.y, r.top);

    POINT screenA = {700, 500}, screenB = {450, 150};
    RectFromScreenPoints(&r, screenA, screenB, b);
    POINT c1 = screenB, c2 = screenA;
    ScreenToClient(b, &c1);
    ScreenToClient(b, &c2);
    EXPECT_EQ(c1.x, r.left);
    EXPECT_EQ(c1.y, r.top);
    EXPECT_EQ(c2.x, r.right);
    EXPECT_EQ(c2.y, r.bottom);
}

} // namespace
