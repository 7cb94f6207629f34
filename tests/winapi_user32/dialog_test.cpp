// Dialogs built from the templates windres makes: the classic and the
// extended form give the same controls, ids, classes, styles and texts; the
// dialog's geometry follows its dialog units; destroying it takes its
// controls along.
#include "dialog_fixture.h"

#include <string.h>
#include <strings.h>

#include <vector>

namespace {

BOOL CALLBACK CollectChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

// Every descendant, as EnumChildWindows walks them.
std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> seen;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    DWORD typeBits;  // the low style bits that give the control's kind
    DWORD styleBits; // further bits the template sets
};

const ExpectedControl kEditControls[] = {
    {0xffff, "Static", "&Name:", 0, WS_GROUP},
    {IDC_NAME, "Edit", "", 0, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
    {IDC_VALUE, "Edit", "", 0, WS_TABSTOP | ES_NUMBER},
    {IDC_PORT, "ComboBox", "", CBS_DROPDOWNLIST, WS_VSCROLL | WS_TABSTOP},
    {IDC_UNIT, "ComboBox", "", CBS_DROPDOWN, WS_VSCROLL | WS_TABSTOP},
    {IDC_LIST, "ListBox", "", LBS_NOTIFY, LBS_USETABSTOPS | WS_VSCROLL},
    {IDC_ENABLE, "Button", "&Enable", BS_AUTOCHECKBOX, WS_TABSTOP},
    {IDC_MODEBOX, "Button", "Mode", BS_GROUPBOX, 0},
    {IDC_RADIO_A, "Button", "A", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
    {IDC_RADIO_B, "Button", "B", BS_AUTORADIOBUTTON, 0},
    {IDC_RADIO_C, "Button", "C", BS_AUTORADIOBUTTON, 0},
    {IDC_RADIO_X, "Button", "X", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
    {IDC_RADIO_Y, "Button", "Y", BS_AUTORADIOBUTTON, 0},
    {IDC_CHANNEL, "VUV:CONTROLKANAL", "K1", 0, 0},
    {IDC_ASK, "Button", "Ask", BS_PUSHBUTTON, WS_TABSTOP},
    {IDOK, "Button", "OK", BS_DEFPUSHBUTTON, WS_TABSTOP},
    {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON, WS_TABSTOP},
};

BOOL CALLBACK collect(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

class TemplateForms : public DialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TemplateForms, BuildsEveryControlOfTheTemplate) {
    HWND dlg = openModeless(GetParam());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(log.initDialogs, 1);
    EXPECT_EQ(text(dlg), "Edit test");
    char cls[64];
    GetClassNameA(dlg, cls, sizeof cls);
    EXPECT_STREQ(cls, "#32770");
    EXPECT_TRUE(log.channelCreated);

    std::vector<HWND> children;
    EnumChildWindows(dlg, collect, reinterpret_cast<LPARAM>(&children));
    ASSERT_EQ(children.size(), sizeof kEditControls / sizeof kEditControls[0]);
    for (size_t i = 0; i < children.size(); i++) {
        const ExpectedControl& e = kEditControls[i];
        SCOPED_TRACE(e.id);
        HWND c = children[i];
        // The extended form keeps ids in 32 bits: -1 stays -1 there.
        bool extended = strcasecmp(GetParam(), "EDITDLGEX") == 0;
        EXPECT_EQ(GetDlgCtrlID(c), e.id == 0xffff && extended ? -1 : e.id);
        if (e.id != 0xffff) {
            EXPECT_EQ(GetDlgItem(dlg, e.id), c);
        }
        GetClassNameA(c, cls, sizeof cls);
        EXPECT_STREQ(cls, e.className);
        EXPECT_EQ(text(c), e.text);
        DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
        EXPECT_EQ(style & 0xF, e.typeBits);
        EXPECT_EQ(style & e.styleBits, e.styleBits);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(GetParent(c), dlg);
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongA(c, GWL_HINSTANCE)), instance);
    }
}

TEST_P(TemplateForms, SizesInDialogUnitsOfItsFont) {
    HWND dlg = openModeless(GetParam());
    ASSERT_NE(dlg, nullptr);
    // A dialog with a font: 6 x 13 pixels per 4 x 8 dialog units.
    RECT rc = {4, 8, 200, 140};
    ASSERT_TRUE(MapDialogRect(dlg, &rc));
    EXPECT_EQ(rc.left, 6);
    EXPECT_EQ(rc.top, 13);
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 228);
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 228);
    // The frame (3) and caption (18) lie around the client area.
    RECT win;
    GetWindowRect(dlg, &win);
    EXPECT_EQ(win.right - win.left, 306);
    EXPECT_EQ(win.bottom - win.top, 228 + 18 + 6);
    POINT origin = {0, 0};
    ClientToScreen(dlg, &origin);
    EXPECT_EQ(origin.x, win.left + 3);
    EXPECT_EQ(origin.y, win.top + 3 + 18);
    // A control sits at its template position inside the client area.
    RECT edit;
    GetWindowRect(GetDlgItem(dlg, IDC_NAME), &edit);
    POINT p = {edit.left, edit.top};
    ScreenToClient(dlg, &p);
    EXPECT_EQ(p.x, 75);
    EXPECT_EQ(p.y, 7);
    EXPECT_NE(SendMessageA(dlg, WM_GETFONT, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(ClassicAndExtended, TemplateForms,
                         ::testing::Values("EDITDLG", "editdlgex"));

TEST_F(DialogTest, FindsATemplateByNumberAndWithoutFont) {
    HWND dlg = openModeless(MAKEINTRESOURCEA(IDD_NUMBERED));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(text(dlg), "Numbered");
    EXPECT_EQ(SendMessageA(dlg, WM_GETFONT, 0, 0), 0);
    RECT rc = {4, 8, 0, 0};
    MapDialogRect(dlg, &rc);
    EXPECT_EQ(rc.left, 8); // the system font: 8 x 16
    EXPECT_EQ(rc.top, 16);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_LABEL)));
    char name[16];
    ASSERT_TRUE(WinapiDialogTemplateName(dlg, name, sizeof name));
    EXPECT_STREQ(name, "#200");
}

// The template's font is a font of its own: its face, its points at 96 dots
// per inch, its weight; it goes with the dialog.
TEST_P(TemplateForms, MakesTheTemplatesFontAndDeletesItWithTheDialog) {
    HWND dlg = openModeless(GetParam());
    ASSERT_NE(dlg, nullptr);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dlg, IDC_NAME, WM_GETFONT, 0, 0)),
              font);
    ASSERT_TRUE(DestroyWindow(dlg));
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), 0);
}

TEST(Fonts, KeepTheirDescriptionUntilDeleted) {
    LOGFONTA in;
    memset(&in, 0, sizeof in);
    in.lfHeight = -13;
    in.lfWeight = FW_BOLD;
    in.lfItalic = 1;
    strcpy(in.lfFaceName, "Courier New");
    HFONT font = CreateFontIndirectA(&in);
    ASSERT_NE(font, nullptr);
    LOGFONTA out;
    ASSERT_EQ(GetObjectA(font, sizeof out, &out), static_cast<int>(sizeof out));
    EXPECT_EQ(memcmp(&in, &out, sizeof in), 0);
    // A short buffer takes the beginning of the description.
    LONG height = 0;
    EXPECT_EQ(GetObjectA(font, sizeof height, &height), static_cast<int>(sizeof height));
    EXPECT_EQ(height, -13);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(font, sizeof out, &out), 0);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST_F(DialogTest, MissingTemplateFails) {
    EXPECT_EQ(CreateDialogParamA(instance, "NOSUCH", nullptr, RecordingDialogProc, 0), nullptr);
    EXPECT_EQ(DialogBoxParamA(instance, "NOSUCH", nullptr, RecordingDialogProc, 0), -1);
}

TEST_F(DialogTest, DestroyTakesTheControlsAlongAndLeavesASnapshot) {
    HWND dlg = openModeless("EDITDLG");
    ASSERT_NE(dlg, nullptr);
    HWND edit = GetDlgItem(dlg, IDC_NAME);
    HWND channel = GetDlgItem(dlg, IDC_CHANNEL);
    SetDlgItemTextA(dlg, IDC_NAME, "Pump");
    SetFocus(edit);
    ASSERT_TRUE(DestroyWindow(dlg));
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_FALSE(IsWindow(channel));
    EXPECT_EQ(GetFocus(), nullptr);
    char buf[32];
    ASSERT_TRUE(WinapiDialogText("editdlg", IDC_NAME, buf, sizeof buf));
    EXPECT_STREQ(buf, "Pump");
    WinapiControlInfo info;
    ASSERT_TRUE(WinapiDialogControl(nullptr, IDC_CHANNEL, &info));
    EXPECT_STREQ(info.className, "VUV:CONTROLKANAL");
}

// A destroyed window is gone with its controls: the window table holds no
// more than before, however often a dialog is made and destroyed, and a
// window procedure that destroys its own window during a message finishes on
// live memory.
TEST_F(DialogTest, DestroyedWindowsAreFreedAndTheCountStaysFlat) {
    const int before = WinapiLiveWindowCount();
    HWND dlg = openModeless("EDITDLG");
    ASSERT_NE(dlg, nullptr);
    const int controls = static_cast<int>(Descendants(dlg).size());
    EXPECT_EQ(before + 1 + controls, WinapiLiveWindowCount());
    ASSERT_TRUE(DestroyWindow(dlg));
    EXPECT_EQ(before, WinapiLiveWindowCount());
    for (int i = 0; i < 500; i++) {
        HWND d = CreateDialogParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0);
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(DestroyWindow(d));
        EXPECT_FALSE(IsWindow(d));
        EXPECT_FALSE(DestroyWindow(d)) << "a destroyed handle is no window";
    }
    EXPECT_EQ(before, WinapiLiveWindowCount());
    // WM_CLOSE of a plain window destroys it from inside its own procedure.
    HWND top = CreateWindowExA(0, "VUV:CONTROLKANAL", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               instance, nullptr);
    ASSERT_NE(top, nullptr);
    SendMessageA(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(before, WinapiLiveWindowCount());
}

// Children are found from their parent, in the order they were made; a
// window cannot be made under a parent that is no window.
TEST_F(DialogTest, ChildrenComeFromTheirParentInCreationOrder) {
    HWND parent = CreateWindowExA(0, "VUV:CONTROLKANAL", "", WS_POPUP, 0, 0, 100, 100, nullptr,
                                  nullptr, instance, nullptr);
    ASSERT_NE(parent, nullptr);
    HWND kids[3];
    for (int i = 0; i < 3; i++) {
        kids[i] = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, parent,
                                  reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(10 + i)), instance,
                                  nullptr);
        ASSERT_NE(kids[i], nullptr);
    }
    DestroyWindow(kids[1]);
    HWND again = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(11), instance, nullptr);
    std::vector<HWND> seen = Descendants(parent);
    EXPECT_EQ((std::vector<HWND>{kids[0], kids[2], again}), seen);
    EXPECT_EQ(again, GetDlgItem(parent, 11));
    DestroyWindow(parent);
    EXPECT_EQ(nullptr, CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                       instance, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
}

TEST_F(DialogTest, EveryControlTakesAFont) {
    HWND dlg = openModeless("EDITDLG");
    HFONT font = reinterpret_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    std::vector<HWND> children;
    EnumChildWindows(dlg, collect, reinterpret_cast<LPARAM>(&children));
    for (HWND c : children) {
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        if (strcmp(cls, "VUV:CONTROLKANAL") != 0) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)), font) << cls;
        }
    }
}

INT_PTR CALLBACK answeringProc(HWND h, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_USER + 7) {
        SetWindowLongA(h, DWL_MSGRESULT, 55);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

TEST_F(DialogTest, DialogWordsAndMessageResult) {
    HWND dlg = CreateDialogParamA(instance, "EDITDLG", nullptr, answeringProc, 0);
    ASSERT_NE(dlg, nullptr);
    SetWindowLongA(dlg, DWL_USER, 1234);
    EXPECT_EQ(GetWindowLongA(dlg, DWL_USER), 1234);
    EXPECT_EQ(GetWindowLongA(dlg, DWL_DLGPROC),
              static_cast<LONG>(reinterpret_cast<LONG_PTR>(answeringProc)));
    // A procedure answering TRUE returns its result through DWL_MSGRESULT.
    EXPECT_EQ(SendMessageA(dlg, WM_USER + 7, 0, 0), 55);
    DestroyWindow(dlg);
}

TEST_F(DialogTest, ScreenIsFixed) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    RECT desk;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desk));
    EXPECT_EQ(desk.right, 1024);
    EXPECT_EQ(desk.bottom, 768);
}

TEST_F(DialogTest, MoveWindowKeepsChildrenRelative) {
    HWND dlg = openModeless("EDITDLG");
    RECT before;
    GetWindowRect(GetDlgItem(dlg, IDC_NAME), &before);
    RECT win;
    GetWindowRect(dlg, &win);
    ASSERT_TRUE(MoveWindow(dlg, win.left + 100, win.top + 50, win.right - win.left,
                           win.bottom - win.top, FALSE));
    RECT after;
    GetWindowRect(GetDlgItem(dlg, IDC_NAME), &after);
    EXPECT_EQ(after.left - before.left, 100);
    EXPECT_EQ(after.top - before.top, 50);
    ASSERT_TRUE(SetWindowPos(dlg, nullptr, 0, 0, 10, 10, SWP_NOSIZE | SWP_NOZORDER));
    GetWindowRect(dlg, &after);
    EXPECT_EQ(after.left, 0);
    EXPECT_EQ(after.right, win.right - win.left);
}

} // namespace
