// What the test dialogs hear: a dialog procedure and a registered control
// class that log the messages they get, and a fixture that starts each test
// with no queued actions, records or windows left over.
#ifndef TEST_DIALOG_FIXTURE_H
#define TEST_DIALOG_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_ids.h"
#include "winapi_headless.h"

#include <string>
#include <utility>
#include <vector>

struct Notification {
    int id;
    int code;
    bool operator==(const Notification& o) const { return id == o.id && code == o.code; }
};
inline std::ostream& operator<<(std::ostream& os, const Notification& n) {
    return os << "{" << n.id << ", 0x" << std::hex << n.code << std::dec << "}";
}

struct ChannelMessage {
    UINT msg;
    bool mkControl;
    bool ctrlKeyDown;
};

struct DialogLog {
    std::vector<Notification> commands;  // WM_COMMAND (id, code)
    std::vector<ChannelMessage> channel; // mouse messages of the registered control
    bool channelCreated = false;
    int initDialogs = 0;
    bool endOnOkCancel = true;
    bool ignoreCancel = false;
    int cancelsSeen = 0;
    std::string valueOnKillFocus; // IDC_VALUE's text when it lost the focus
    std::string nameAtOk;
    HWND dialog = nullptr;
    int askAnswer = 0;
};

inline DialogLog* gLog = nullptr;

inline INT_PTR CALLBACK RecordingDialogProc(HWND h, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        gLog->initDialogs++;
        gLog->dialog = h;
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        gLog->commands.push_back({id, code});
        if (id == IDC_VALUE && code == EN_KILLFOCUS) {
            char buf[64];
            GetDlgItemTextA(h, IDC_VALUE, buf, sizeof buf);
            gLog->valueOnKillFocus = buf;
        }
        if (id == IDC_ASK && code == BN_CLICKED)
            gLog->askAnswer = MessageBoxA(h, "Really?", "Edit test", MB_YESNO | MB_ICONQUESTION);
        if (id == IDOK && gLog->endOnOkCancel) {
            char buf[64];
            GetDlgItemTextA(h, IDC_NAME, buf, sizeof buf);
            gLog->nameAtOk = buf;
            EndDialog(h, IDOK);
        }
        if (id == IDCANCEL) {
            gLog->cancelsSeen++;
            if (gLog->endOnOkCancel && !gLog->ignoreCancel) EndDialog(h, IDCANCEL);
        }
        return TRUE;
    }
    default: return FALSE;
    }
}

inline LRESULT CALLBACK ChannelControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: gLog->channelCreated = true; return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        gLog->channel.push_back({msg, (wp & MK_CONTROL) != 0, GetAsyncKeyState(VK_CONTROL) < 0});
        return 0;
    default: return DefWindowProcA(h, msg, wp, lp);
    }
}

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gLog = &log;
        WinapiDialogsReset();
        instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ChannelControlProc;
        wc.cbWndExtra = 4;
        wc.hInstance = instance;
        wc.lpszClassName = "VUV:CONTROLKANAL";
        RegisterClassA(&wc); // once per process; later calls find it
    }
    void TearDown() override {
        if (modeless && IsWindow(modeless)) DestroyWindow(modeless);
        WinapiDialogsReset();
        gLog = nullptr;
    }
    HWND openModeless(LPCSTR name) {
        modeless = CreateDialogParamA(instance, name, nullptr, RecordingDialogProc, 0);
        log.commands.clear();
        return modeless;
    }
    std::string text(HWND h) {
        char buf[256];
        GetWindowTextA(h, buf, sizeof buf);
        return buf;
    }
    std::string itemText(int id) {
        char buf[256];
        GetDlgItemTextA(modeless, id, buf, sizeof buf);
        return buf;
    }

    DialogLog log;
    HINSTANCE instance = nullptr;
    HWND modeless = nullptr;
};

#endif
