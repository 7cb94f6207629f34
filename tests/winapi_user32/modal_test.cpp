// The modal loop playing queued user actions, dialogs left waiting, nested
// dialogs, message boxes and file dialogs with their queued answers.
#include "dialog_fixture.h"

#include <commdlg.h>
#include <string.h>

namespace {

using N = Notification;

HWND makeOwner() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "TestOwner";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "TestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                           480, nullptr, nullptr, nullptr, nullptr);
}

void fillPorts(HWND dlg, void*) {
    for (const char* p : {"COM1", "COM2", "COM3"})
        SendDlgItemMessageA(dlg, IDC_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
}

struct MidWay {
    HWND owner;
    bool ran = false;
    bool ownerEnabled = true;
    UINT value = 0;
    bool isModal = false;
};

void checkMidWay(HWND dlg, void* user) {
    MidWay* m = static_cast<MidWay*>(user);
    m->ran = true;
    m->ownerEnabled = IsWindowEnabled(m->owner) != 0;
    m->value = GetDlgItemInt(dlg, IDC_VALUE, nullptr, FALSE);
    m->isModal = WinapiModalDialog() == dlg;
}

TEST_F(DialogTest, ScriptPlaysToOk) {
    HWND owner = makeOwner();
    MidWay mid;
    mid.owner = owner;
    WinapiQueueCallback(fillPorts, nullptr);
    WinapiQueueType(IDC_NAME, "Pump 1");
    WinapiQueuePick(IDC_PORT, "COM2");
    WinapiQueueClick(IDC_ENABLE);
    WinapiQueueClick(IDC_RADIO_B);
    WinapiQueueType(IDC_VALUE, "12");
    WinapiQueueCallback(checkMidWay, &mid);
    WinapiQueueOk();

    INT_PTR r = DialogBoxParamA(instance, "EDITDLG", owner, RecordingDialogProc, 0);
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(WinapiQueuedActionCount(), 0);
    EXPECT_EQ(WinapiUnfinishedDialogCount(), 0);
    EXPECT_EQ(WinapiFailedActionCount(), 0);
    EXPECT_TRUE(mid.ran);
    EXPECT_FALSE(mid.ownerEnabled); // a modal dialog disables its owner
    EXPECT_EQ(mid.value, 12u);
    EXPECT_TRUE(mid.isModal);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(log.dialog));
    EXPECT_EQ(WinapiModalDialog(), nullptr);
    EXPECT_EQ(GetFocus(), owner);
    // Clicking OK took the focus from the edit before the command came.
    EXPECT_EQ(log.valueOnKillFocus, "12");
    EXPECT_EQ(log.nameAtOk, "Pump 1");
    size_t kill = 0, ok = 0;
    for (size_t i = 0; i < log.commands.size(); i++) {
        if (log.commands[i] == N{IDC_VALUE, EN_KILLFOCUS}) kill = i;
        if (log.commands[i] == N{IDOK, BN_CLICKED}) ok = i;
    }
    EXPECT_LT(kill, ok);

    // What the dialog held when it ended.
    EXPECT_EQ(WinapiDialogResult("EDITDLG"), IDOK);
    char buf[64];
    WinapiDialogText("EDITDLG", IDC_NAME, buf, sizeof buf);
    EXPECT_STREQ(buf, "Pump 1");
    WinapiLastDialogText(IDC_PORT, buf, sizeof buf);
    EXPECT_STREQ(buf, "COM2");
    WinapiControlInfo port;
    ASSERT_TRUE(WinapiDialogControl("EDITDLG", IDC_PORT, &port));
    EXPECT_EQ(port.itemCount, 3);
    EXPECT_EQ(port.selection, 1);
    EXPECT_STREQ(port.className, "ComboBox");
    WinapiDialogItem("EDITDLG", IDC_PORT, 2, buf, sizeof buf);
    EXPECT_STREQ(buf, "COM3");
    EXPECT_EQ(WinapiLastDialogCheck(IDC_ENABLE), 1);
    EXPECT_EQ(WinapiLastDialogCheck(IDC_RADIO_B), 1);
    EXPECT_EQ(WinapiLastDialogCheck(IDC_RADIO_A), 0);
    EXPECT_EQ(WinapiLastDialogCheck(4242), -1);
    EXPECT_EQ(WinapiDialogCancelledByRun("EDITDLG"), 0);
    DestroyWindow(owner);
}

class LeftWaiting : public DialogTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LeftWaiting, EndsAsCancelledAndIsCounted) {
    log.ignoreCancel = GetParam(); // a procedure that does not end on IDCANCEL
    WinapiQueueType(IDC_NAME, "half done");
    INT_PTR r = DialogBoxParamA(instance, "EDITDLGEX", nullptr, RecordingDialogProc, 0);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(log.cancelsSeen, 1); // told first, so it could clean up
    ASSERT_EQ(WinapiUnfinishedDialogCount(), 1);
    char name[32];
    ASSERT_TRUE(WinapiUnfinishedDialogName(0, name, sizeof name));
    EXPECT_STREQ(name, "EDITDLGEX");
    EXPECT_EQ(WinapiDialogCancelledByRun("EDITDLGEX"), 1);
    char buf[32];
    WinapiDialogText("EDITDLGEX", IDC_NAME, buf, sizeof buf);
    EXPECT_STREQ(buf, "half done");
    EXPECT_FALSE(IsWindow(log.dialog));
}

INSTANTIATE_TEST_SUITE_P(EndingOrNot, LeftWaiting, ::testing::Values(false, true));

TEST_F(DialogTest, CloseBoxCancelsThroughThePostedCommand) {
    WinapiQueueMessage(0, WM_CLOSE, 0, 0);
    EXPECT_EQ(DialogBoxParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0), IDCANCEL);
    EXPECT_EQ(WinapiUnfinishedDialogCount(), 0);
    EXPECT_EQ(log.cancelsSeen, 1);
}

TEST_F(DialogTest, MessagesAndRefusedActionsInAScript) {
    WinapiQueueMessage(IDC_NAME, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("sent"));
    WinapiQueueType(4242, "nowhere");
    WinapiQueuePick(IDC_PORT, "no entry");
    WinapiQueueOk();
    EXPECT_EQ(DialogBoxParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0), IDOK);
    EXPECT_EQ(WinapiFailedActionCount(), 2);
    EXPECT_EQ(log.nameAtOk, "sent");
}

struct Nested {
    INT_PTR innerResult = 0;
    bool focusBack = false;
};

void openInner(HWND outer, void* user) {
    static_cast<Nested*>(user)->innerResult = DialogBoxParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_NUMBERED), outer, RecordingDialogProc, 0);
}

void focusIsBack(HWND outer, void* user) {
    static_cast<Nested*>(user)->focusBack = GetFocus() == GetDlgItem(outer, IDC_NAME);
}

TEST_F(DialogTest, ScriptWalksThroughNestedDialogs) {
    Nested n;
    WinapiQueueCallback(openInner, &n); // plays the next actions in the inner dialog
    WinapiQueueClick(IDC_TRI);
    WinapiQueueOk();
    WinapiQueueCallback(focusIsBack, &n);
    WinapiQueueType(IDC_NAME, "after");
    WinapiQueueOk();
    EXPECT_EQ(DialogBoxParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0), IDOK);
    EXPECT_EQ(n.innerResult, IDOK);
    EXPECT_TRUE(n.focusBack); // the outer dialog's control has the focus again
    EXPECT_EQ(WinapiLastDialogCheck(IDC_NAME), 0);
    char buf[32];
    WinapiLastDialogText(IDC_NAME, buf, sizeof buf);
    EXPECT_STREQ(buf, "after");
    WinapiControlInfo tri;
    ASSERT_TRUE(WinapiDialogControl(MAKEINTRESOURCEA(IDD_NUMBERED), IDC_TRI, &tri));
    EXPECT_EQ(tri.check, BST_CHECKED);
    EXPECT_EQ(WinapiDialogResult("#200"), IDOK);
    EXPECT_EQ(WinapiDialogSnapshotCount(), 2);
}

struct CtrlSeen {
    SHORT key = 0;
};

void readCtrl(HWND, void* user) {
    static_cast<CtrlSeen*>(user)->key = GetKeyState(VK_CONTROL);
}

TEST_F(DialogTest, RegisteredControlGetsMouseMessagesWithCtrl) {
    CtrlSeen seen;
    WinapiQueueCtrl(1);
    WinapiQueueCallback(readCtrl, &seen);
    WinapiQueueDoubleClick(IDC_CHANNEL);
    WinapiQueueCtrl(0);
    WinapiQueueMouseDown(IDC_CHANNEL);
    WinapiQueueMouseUp(IDC_CHANNEL);
    WinapiQueueRightDoubleClick(IDC_CHANNEL);
    WinapiQueueOk();
    EXPECT_EQ(DialogBoxParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0), IDOK);
    EXPECT_LT(seen.key, 0);
    ASSERT_EQ(log.channel.size(), 4u);
    UINT msgs[] = {WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDBLCLK};
    for (size_t i = 0; i < 4; i++) {
        EXPECT_EQ(log.channel[i].msg, msgs[i]) << i;
        EXPECT_EQ(log.channel[i].mkControl, i == 0) << i;
        EXPECT_EQ(log.channel[i].ctrlKeyDown, i == 0) << i;
    }
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
}

TEST_F(DialogTest, MessageBoxAnswersInOrderOrByDefault) {
    WinapiQueueClick(IDC_ASK);
    WinapiQueueOk();
    WinapiQueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(DialogBoxParamA(instance, "EDITDLG", nullptr, RecordingDialogProc, 0), IDOK);
    EXPECT_EQ(log.askAnswer, IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Saved.", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Replace?", "Q", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(WinapiUnansweredMessageBoxCount(), 2);
    ASSERT_EQ(WinapiMessageBoxCount(), 3);
    WinapiMessageBoxCall c;
    ASSERT_TRUE(WinapiMessageBoxAt(0, &c));
    EXPECT_STREQ(c.caption, "Edit test");
    EXPECT_STREQ(c.text, "Really?");
    EXPECT_EQ(c.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(c.answer, IDNO);
    EXPECT_EQ(c.answered, 1);
    EXPECT_EQ(c.owner, log.dialog);
    ASSERT_TRUE(WinapiMessageBoxAt(1, &c));
    EXPECT_STREQ(c.caption, "Error");
    EXPECT_EQ(c.answered, 0);
}

struct FileCase {
    const char* answer;
    const char* initialDir;
    const char* defExt;
    DWORD maxFile;
    BOOL ok;
    const char* file;
    DWORD error;
    WORD offset;
};

class SaveFileName : public DialogTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(SaveFileName, TakesTheQueuedAnswer) {
    const FileCase& fc = GetParam();
    WinapiQueueFileName(fc.answer);
    char file[256];
    snprintf(file, sizeof file, "Logfile0.txt");
    char title[64] = "";
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Text\0*.txt\0\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = fc.maxFile;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = fc.initialDir;
    ofn.lpstrDefExt = fc.defExt;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    EXPECT_EQ(GetSaveFileNameA(&ofn), fc.ok);
    EXPECT_EQ(CommDlgExtendedError(), fc.error);
    if (fc.ok) {
        EXPECT_STREQ(file, fc.file);
        EXPECT_EQ(ofn.nFileOffset, fc.offset);
        EXPECT_STREQ(title, fc.file + fc.offset);
    }
    ASSERT_EQ(WinapiFileDialogCount(), 1);
    WinapiFileDialogCall c;
    ASSERT_TRUE(WinapiFileDialogAt(0, &c));
    EXPECT_EQ(c.save, 1);
    EXPECT_STREQ(c.filter, "Text|*.txt|");
    if (fc.maxFile > 12) {
        EXPECT_STREQ(c.initialFile, "Logfile0.txt");
    }
    EXPECT_EQ(c.flags,
              static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN));
    EXPECT_EQ(c.answered, 1);
    EXPECT_EQ(c.accepted, fc.ok);
    EXPECT_EQ(WinapiUnansweredFileDialogCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SaveFileName,
    ::testing::Values(FileCase{"Z:\\tmp\\run.txt", "C:\\data", nullptr, 256, TRUE,
                               "Z:\\tmp\\run.txt", 0, 7},
                      FileCase{"run1", "C:\\data", "txt", 256, TRUE, "C:\\data\\run1.txt", 0, 8},
                      FileCase{"/tmp/a.log", nullptr, "txt", 256, TRUE, "Z:\\tmp\\a.log", 0, 7},
                      FileCase{nullptr, "C:\\data", nullptr, 256, FALSE, nullptr, 0, 0},
                      FileCase{"C:\\a\\long_name.txt", nullptr, nullptr, 8, FALSE, nullptr,
                               FNERR_BUFFERTOOSMALL, 0}));

TEST_F(DialogTest, UnansweredFileDialogCancels) {
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(WinapiUnansweredFileDialogCount(), 1);
    WinapiFileDialogCall c;
    ASSERT_TRUE(WinapiFileDialogAt(0, &c));
    EXPECT_EQ(c.save, 0);
    EXPECT_EQ(c.answered, 0);
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

} // namespace
