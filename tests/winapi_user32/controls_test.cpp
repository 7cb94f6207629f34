// The standard controls as a dialog procedure sees them: focus notifications
// in the order Windows sends them, edit limits and selection, the two combo
// box forms, list boxes, check boxes and radio groups.
#include "dialog_fixture.h"

namespace {

using N = Notification;

TEST_F(DialogTest, OpeningFocusesTheFirstTabStopAndSelectsItsText) {
    // Created again to see the notifications of the opening.
    modeless = CreateDialogParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0);
    ASSERT_NE(modeless, nullptr);
    EXPECT_EQ(GetFocus(), GetDlgItem(modeless, IDC_NAME));
    std::vector<N> want = {{IDC_NAME, EN_SETFOCUS}};
    EXPECT_EQ(log.commands, want);
}

TEST_F(DialogTest, FocusChangeTellsTheOldControlFirst) {
    HWND dlg = openModeless("EDITDLG");
    HWND value = GetDlgItem(dlg, IDC_VALUE), port = GetDlgItem(dlg, IDC_PORT);
    HWND list = GetDlgItem(dlg, IDC_LIST), name = GetDlgItem(dlg, IDC_NAME);
    EXPECT_EQ(SetFocus(value), name);
    SetFocus(port);
    SetFocus(list);
    SetFocus(name);
    SetFocus(name); // no change, no messages
    std::vector<N> want = {{IDC_NAME, EN_KILLFOCUS},  {IDC_VALUE, EN_SETFOCUS},
                           {IDC_VALUE, EN_KILLFOCUS}, {IDC_PORT, CBN_SETFOCUS},
                           {IDC_PORT, CBN_KILLFOCUS}, {IDC_LIST, LBN_SETFOCUS},
                           {IDC_LIST, LBN_KILLFOCUS}, {IDC_NAME, EN_SETFOCUS}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(GetFocus(), name);
}

TEST_F(DialogTest, TypingFocusesTheEditThenChangesIt) {
    HWND dlg = openModeless("EDITDLG");
    ASSERT_TRUE(WinapiUserType(dlg, IDC_VALUE, "4a2"));
    std::vector<N> want = {
        {IDC_NAME, EN_KILLFOCUS}, {IDC_VALUE, EN_SETFOCUS}, {IDC_VALUE, EN_CHANGE}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(itemText(IDC_VALUE), "42"); // ES_NUMBER takes digits only
    BOOL ok = FALSE;
    EXPECT_EQ(GetDlgItemInt(dlg, IDC_VALUE, &ok, FALSE), 42u);
    EXPECT_TRUE(ok);
    // Leaving the edit is what stores its value in many dialogs.
    SetFocus(GetDlgItem(dlg, IDC_NAME));
    EXPECT_EQ(log.valueOnKillFocus, "42");
}

TEST_F(DialogTest, EditLimitAppliesToTypingOnly) {
    HWND dlg = openModeless("EDITDLG");
    HWND name = GetDlgItem(dlg, IDC_NAME);
    SendMessageA(name, EM_LIMITTEXT, 4, 0);
    EXPECT_EQ(SendMessageA(name, EM_GETLIMITTEXT, 0, 0), 4);
    WinapiUserType(dlg, IDC_NAME, "abcdefg");
    EXPECT_EQ(itemText(IDC_NAME), "abcd");
    log.commands.clear();
    SetWindowTextA(name, "longer text");
    EXPECT_EQ(itemText(IDC_NAME), "longer text");
    std::vector<N> want = {{IDC_NAME, EN_CHANGE}}; // WM_SETTEXT notifies too
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(GetWindowTextLengthA(name), 11);
}

TEST_F(DialogTest, EditSelection) {
    HWND dlg = openModeless("EDITDLG");
    HWND name = GetDlgItem(dlg, IDC_NAME);
    SetWindowTextA(name, "hello");
    DWORD s = 9, e = 9;
    struct Case {
        int start, end;
        DWORD wantStart, wantEnd;
    } cases[] = {{0, -1, 0, 5}, {1, 3, 1, 3}, {4, 2, 2, 4}, {2, 99, 2, 5}, {-1, 0, 5, 5}};
    for (const Case& c : cases) {
        SendMessageA(name, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        LRESULT r = SendMessageA(name, EM_GETSEL, reinterpret_cast<WPARAM>(&s),
                                 reinterpret_cast<LPARAM>(&e));
        EXPECT_EQ(s, c.wantStart) << c.start << "," << c.end;
        EXPECT_EQ(e, c.wantEnd) << c.start << "," << c.end;
        EXPECT_EQ(r, MAKELONG(c.wantStart, c.wantEnd));
    }
}

TEST_F(DialogTest, DropDownListTextIsItsSelection) {
    HWND dlg = openModeless("EDITDLG");
    HWND port = GetDlgItem(dlg, IDC_PORT);
    for (const char* p : {"COM1", "COM2", "COM3"})
        SendMessageA(port, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
    EXPECT_EQ(text(port), "");
    EXPECT_EQ(SendMessageA(port, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(port, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(text(port), "COM2");
    EXPECT_EQ(GetWindowTextLengthA(port), 4);
    EXPECT_EQ(SendMessageA(port, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(text(port), "");
    // Setting the text of a drop-down list selects the entry that has it.
    EXPECT_TRUE(SetWindowTextA(port, "com3"));
    EXPECT_EQ(SendMessageA(port, CB_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(SetWindowTextA(port, "COM9"));
    // Picking focuses the box, then selects.
    log.commands.clear();
    ASSERT_TRUE(WinapiUserPick(dlg, IDC_PORT, "com1"));
    std::vector<N> want = {
        {IDC_NAME, EN_KILLFOCUS}, {IDC_PORT, CBN_SETFOCUS}, {IDC_PORT, CBN_SELCHANGE}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(text(port), "COM1");
    EXPECT_FALSE(WinapiUserPick(dlg, IDC_PORT, "COM7"));
    EXPECT_FALSE(WinapiUserType(dlg, IDC_PORT, "COM7")); // a list takes no typing
    EXPECT_EQ(WinapiFailedActionCount(), 2);
}

TEST_F(DialogTest, ComboListOperations) {
    HWND dlg = openModeless("EDITDLG");
    HWND c = GetDlgItem(dlg, IDC_PORT);
    auto add = [&](const char* s) {
        return SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    };
    auto find = [&](UINT msg, int after, const char* s) {
        return SendMessageA(c, msg, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(s));
    };
    EXPECT_EQ(add("mV"), 0);
    EXPECT_EQ(add("V"), 1);
    EXPECT_EQ(add("mA"), 2);
    EXPECT_EQ(SendMessageA(c, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("Ohm")), 0);
    EXPECT_EQ(
        SendMessageA(c, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("K")),
        4);
    EXPECT_EQ(SendMessageA(c, CB_GETCOUNT, 0, 0), 5);
    char buf[16];
    EXPECT_EQ(SendMessageA(c, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buf)), 1);
    EXPECT_STREQ(buf, "V");
    EXPECT_EQ(SendMessageA(c, CB_GETLBTEXTLEN, 0, 0), 3);
    EXPECT_EQ(SendMessageA(c, CB_GETLBTEXTLEN, 9, 0), CB_ERR);
    // Prefix search after an index, wrapping round; exact search; both without case.
    EXPECT_EQ(find(CB_FINDSTRING, -1, "m"), 1);
    EXPECT_EQ(find(CB_FINDSTRING, 1, "M"), 3);
    EXPECT_EQ(find(CB_FINDSTRING, 3, "m"), 1);
    EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, "v"), 2);
    EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, "m"), CB_ERR);
    EXPECT_EQ(find(CB_SELECTSTRING, -1, "oh"), 0);
    EXPECT_EQ(text(c), "Ohm");
    EXPECT_EQ(SendMessageA(c, CB_SETITEMDATA, 3, 77), TRUE);
    EXPECT_EQ(SendMessageA(c, CB_GETITEMDATA, 3, 0), 77);
    // Deleting moves the selection with its entry, or clears it.
    SendMessageA(c, CB_SETCURSEL, 3, 0);
    EXPECT_EQ(SendMessageA(c, CB_DELETESTRING, 0, 0), 4);
    EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(c, CB_GETITEMDATA, 2, 0), 77);
    EXPECT_EQ(SendMessageA(c, CB_DELETESTRING, 2, 0), 3);
    EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageA(c, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(c, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(DialogTest, EditableComboTakesTypingAndSelection) {
    HWND dlg = openModeless("EDITDLG");
    HWND unit = GetDlgItem(dlg, IDC_UNIT);
    SendMessageA(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("mV"));
    SendMessageA(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("V"));
    SendMessageA(unit, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(text(unit), "V");
    SendMessageA(unit, CB_LIMITTEXT, 3, 0);
    log.commands.clear();
    ASSERT_TRUE(WinapiUserType(dlg, IDC_UNIT, "degC"));
    std::vector<N> want = {
        {IDC_NAME, EN_KILLFOCUS}, {IDC_UNIT, CBN_SETFOCUS}, {IDC_UNIT, CBN_EDITCHANGE}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(text(unit), "deg");
    EXPECT_EQ(SendMessageA(unit, CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_TRUE(WinapiUserPick(dlg, IDC_UNIT, "mV"));
    EXPECT_EQ(text(unit), "mV");
}

TEST_F(DialogTest, ListBoxKeepsTabStopsAndNotifies) {
    HWND dlg = openModeless("EDITDLG");
    HWND list = GetDlgItem(dlg, IDC_LIST);
    INT tabs[2] = {40, 80};
    EXPECT_TRUE(SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabs)));
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM1\t9600\tN")), 0);
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM2\t19200\tE")), 1);
    EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("COM0\t300\tN")), 0);
    char buf[32];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buf)), 12);
    EXPECT_STREQ(buf, "COM2\t19200\tE");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 0, 0), 10);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("com1")),
              1);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 1, 5), TRUE);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 5);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    log.commands.clear();
    ASSERT_TRUE(WinapiUserPick(dlg, IDC_LIST, "COM1\t9600\tN"));
    ASSERT_TRUE(WinapiUserDoubleClick(dlg, IDC_LIST));
    std::vector<N> want = {{IDC_NAME, EN_KILLFOCUS},
                           {IDC_LIST, LBN_SETFOCUS},
                           {IDC_LIST, LBN_SELCHANGE},
                           {IDC_LIST, LBN_DBLCLK}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(DialogTest, AutoRadioButtonsClearTheirGroupOnly) {
    HWND dlg = openModeless("EDITDLG");
    CheckDlgButton(dlg, IDC_RADIO_X, BST_CHECKED);
    CheckDlgButton(dlg, IDC_RADIO_A, BST_CHECKED);
    log.commands.clear();
    ASSERT_TRUE(WinapiUserClick(dlg, IDC_RADIO_C));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_A), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_B), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_C), 1u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_X), 1u); // the next group
    std::vector<N> want = {{IDC_NAME, EN_KILLFOCUS}, {IDC_RADIO_C, BN_CLICKED}};
    EXPECT_EQ(log.commands, want);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_RADIO_C));
    ASSERT_TRUE(WinapiUserClick(dlg, IDC_RADIO_Y));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_X), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_C), 1u);
    CheckRadioButton(dlg, IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_B);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_B), 1u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_C), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_Y), 1u);
    EXPECT_FALSE(WinapiUserClick(dlg, IDC_MODEBOX)); // a group box takes no click
}

TEST_F(DialogTest, CheckBoxesByKind) {
    HWND dlg = openModeless(MAKEINTRESOURCEA(IDD_NUMBERED));
    // Each click on an auto 3-state box moves it on; a plain check box
    // only tells its parent.
    int want3[] = {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED};
    for (int w : want3) {
        ASSERT_TRUE(WinapiUserClick(dlg, IDC_TRI));
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_TRI), static_cast<UINT>(w));
    }
    ASSERT_TRUE(WinapiUserClick(dlg, IDC_PLAIN));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PLAIN), 0u);
    CheckDlgButton(dlg, IDC_PLAIN, BST_INDETERMINATE); // not a 3-state box
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_PLAIN), 1u);
    std::vector<N> want = {{IDC_TRI, BN_CLICKED},
                           {IDC_TRI, BN_CLICKED},
                           {IDC_TRI, BN_CLICKED},
                           {IDC_PLAIN, BN_CLICKED}};
    EXPECT_EQ(log.commands, want);
}

TEST_F(DialogTest, DisabledControlsRefuseTheUser) {
    HWND dlg = openModeless("EDITDLG");
    HWND value = GetDlgItem(dlg, IDC_VALUE);
    EXPECT_FALSE(EnableWindow(value, FALSE));
    EXPECT_TRUE(EnableWindow(value, FALSE)); // was disabled already
    EXPECT_FALSE(IsWindowEnabled(value));
    EXPECT_FALSE(WinapiUserType(dlg, IDC_VALUE, "1"));
    EXPECT_FALSE(WinapiUserClick(dlg, 999));
    EXPECT_EQ(WinapiFailedActionCount(), 2);
    EnableWindow(value, TRUE);
    EXPECT_TRUE(WinapiUserType(dlg, IDC_VALUE, "1"));
    // Disabling the focused control takes the focus away.
    log.commands.clear();
    EnableWindow(value, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    std::vector<N> want = {{IDC_VALUE, EN_KILLFOCUS}};
    EXPECT_EQ(log.commands, want);
}

TEST_F(DialogTest, DlgItemIntRules) {
    HWND dlg = openModeless("EDITDLG");
    struct Case {
        const char* text;
        BOOL isSigned;
        BOOL ok;
        UINT value;
    } cases[] = {
        {"12", FALSE, TRUE, 12},
        {"  -7", TRUE, TRUE, static_cast<UINT>(-7)},
        {"-7", FALSE, FALSE, 0},
        {"12x", TRUE, FALSE, 0},
        {"", TRUE, FALSE, 0},
        {"4294967295", FALSE, TRUE, 4294967295u},
        {"4294967296", FALSE, FALSE, 0},
        {"2147483648", TRUE, FALSE, 0},
    };
    for (const Case& c : cases) {
        SetDlgItemTextA(dlg, IDC_NAME, c.text);
        BOOL ok = 2;
        EXPECT_EQ(GetDlgItemInt(dlg, IDC_NAME, &ok, c.isSigned), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    SetDlgItemInt(dlg, IDC_NAME, static_cast<UINT>(-5), TRUE);
    EXPECT_EQ(itemText(IDC_NAME), "-5");
}

} // namespace
