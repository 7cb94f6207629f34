// The channel bar driven like a user in two small setup dialogs: one whose
// channels in use are a count changed by the less and more buttons, one whose
// channels in use are any set changed by double clicks.
#include "frame/chanbar.h"
#include "host/driver.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>

namespace {

const int kName = 23021;

struct Bar {
    int max;
    int used;    // the count dialog
    int current; // NO_CHANNEL for none
    WORD mask;   // the mask dialog
    int running;
    int refresh; // RefreshChannelButtons instead of InitChannelBar
};

// What the stand-in setup dialog saw.
int lessCommands;
int moreCommands;
std::string names[CHANNEL_BUTTONS_MAX];

void StoreName(HWND dialog) {
    if (CurrentChannel < 0 || CurrentChannel >= CHANNEL_BUTTONS_MAX) return;
    char text[21];
    GetDlgItemTextA(dialog, kName, text, sizeof text);
    names[CurrentChannel] = text;
}

void ShowName(HWND dialog) {
    if (CurrentChannel < 0 || CurrentChannel >= CHANNEL_BUTTONS_MAX) return;
    SetDlgItemTextA(dialog, kName, names[CurrentChannel].c_str());
}

// A setup dialog reduced to its channel bar and the name of the current
// channel.
INT_PTR CALLBACK BarDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        const Bar* bar = reinterpret_cast<const Bar*>(lParam);
        MaxChannels = bar->max;
        CurrentChannel = bar->current;
        bExperimentIsRunning = bar->running;
        if (GetDlgItem(dialog, IDC_LESS) != nullptr) {
            UsedChannels = bar->used;
            for (int i = MaxChannels; i < CHANNEL_BUTTONS_MAX; i++)
                SendDlgItemMessageA(dialog, IDC_CHANNEL_FIRST + i, CHANBTN_SETSTATE,
                                    CHANNEL_NOT_AVAILABLE, 0);
            if (bar->refresh)
                RefreshChannelButtons(dialog);
            else
                InitChannelBar(dialog);
        } else {
            UsedChannels = 0;
            for (int i = 0; i < CHANNEL_BUTTONS_MAX; i++) {
                int set = i < MaxChannels && (bar->mask >> i & 1);
                UsedChannels += set;
                int state = i >= MaxChannels      ? CHANNEL_NOT_AVAILABLE
                            : i == CurrentChannel ? CHANNEL_CURRENT
                            : set                 ? CHANNEL_IN_USE
                                                  : CHANNEL_AVAILABLE;
                SendDlgItemMessageA(dialog, IDC_CHANNEL_FIRST + i, CHANBTN_SETSTATE, state, 0);
            }
        }
        ShowName(dialog);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_LESS || LOWORD(wParam) == IDC_MORE) {
            (LOWORD(wParam) == IDC_LESS ? lessCommands : moreCommands)++;
            StoreName(dialog);
            ChangeChannelCount(dialog, LOWORD(wParam));
            ShowName(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    case CHANBTN_DOWN:
        if (LOWORD(lParam) == CHANNEL_IN_USE) {
            StoreName(dialog);
            SelectChannelButton(dialog, reinterpret_cast<HWND>(wParam));
            ShowName(dialog);
        }
        return TRUE;
    case CHANBTN_DBLCLK:
        StoreName(dialog);
        ChannelBarDoubleClick(dialog, reinterpret_cast<HWND>(wParam));
        ShowName(dialog);
        return FALSE;
    case CHANBTN_RDBLCLK:
        StoreName(dialog);
        ChannelBarRightDoubleClick(dialog, reinterpret_cast<HWND>(wParam));
        ShowName(dialog);
        return FALSE;
    }
    return FALSE;
}

std::function<void(HWND)> body;

// Opens the dialog, runs `what` on it as the user, then cancels it.
void Play(const char* dialogName, Bar bar, std::function<void(HWND)> what) {
    body = std::move(what);
    WinapiQueueCallback([](HWND dialog, void*) { body(dialog); }, nullptr);
    WinapiQueueCancel();
    DialogBoxParamA(GetModuleHandleA(nullptr), dialogName, nullptr, BarDlgProc,
                    reinterpret_cast<LPARAM>(&bar));
}

int Less(HWND d) {
    return GetWindowWord(GetDlgItem(d, IDC_LESS), 0);
}
int More(HWND d) {
    return GetWindowWord(GetDlgItem(d, IDC_MORE), 0);
}
// The states of the eight buttons as digits, button 0 first.
std::string States(HWND d) {
    std::string s;
    for (int i = 0; i < 8; i++)
        s += static_cast<char>('0' + ChannelButtonState(d, i));
    return s;
}
void Press(HWND d, int id) {
    WinapiUserMouseDown(d, id);
    WinapiUserMouseUp(d, id);
}

class ChannelBar : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The classes as start-up registers them.
        for (int i = 0; i < 2; i++) {
            WNDCLASSA wc;
            memset(&wc, 0, sizeof wc);
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = i == 0 ? ChannelButtonProc : LessMoreButtonProc;
            wc.cbWndExtra = 2;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = i == 0 ? "VUV:CONTROLKANAL" : "VUV:CONTROLLESSMORE";
            ASSERT_NE(0, RegisterClassA(&wc));
        }
    }
    void SetUp() override {
        lessCommands = moreCommands = 0;
        for (std::string& n : names)
            n.clear();
        WinapiSetCtrlHeld(0);
        bExperimentIsRunning = 0;
    }
    void TearDown() override {
        WinapiSetCtrlHeld(0);
        bExperimentIsRunning = 0;
    }
};

TEST_F(ChannelBar, TheBarStartsFromTheCount) {
    struct Case {
        Bar bar;
        const char* states;
        int less, more;
    } cases[] = {
        {{8, 3, 1, 0, 0, 0}, "21233333", LESS_NORMAL, MORE_NORMAL},
        {{8, 1, 0, 0, 0, 0}, "13333333", LESS_DISABLED, MORE_NORMAL},
        {{8, 8, 7, 0, 0, 0}, "22222221", LESS_NORMAL, MORE_DISABLED},
        {{6, 6, 0, 0, 0, 0}, "12222233", LESS_NORMAL, MORE_DISABLED},
        // Buttons beyond the count are available after a refresh.
        {{8, 3, 1, 0, 0, 1}, "21200000", LESS_NORMAL, MORE_NORMAL},
        // While an experiment runs neither button can send a command.
        {{8, 3, 1, 0, 1, 0}, "21233333", LESS_DISABLED, MORE_DISABLED},
    };
    for (const Case& c : cases) {
        lessCommands = moreCommands = 0;
        Play("COUNTBAR", c.bar, [&](HWND d) {
            EXPECT_EQ(c.states, States(d)) << c.bar.max << "/" << c.bar.used;
            EXPECT_EQ(c.less, Less(d));
            EXPECT_EQ(c.more, More(d));
            // A disabled button sends nothing.
            if (c.less == LESS_DISABLED) Press(d, IDC_LESS);
            if (c.more == MORE_DISABLED) Press(d, IDC_MORE);
        });
        EXPECT_EQ(0, lessCommands + moreCommands);
    }
}

TEST_F(ChannelBar, LessTakesTheLastChannelAndMovesTheCurrentOne) {
    struct Case {
        int used, current;
        const char* states;
        int current_after, less, more;
    } cases[] = {
        {8, 7, "22222213", 6, LESS_NORMAL, MORE_NORMAL},
        {8, 3, "22212223", 3, LESS_NORMAL, MORE_NORMAL},
        {2, 1, "13333333", 0, LESS_DISABLED, MORE_NORMAL},
    };
    for (const Case& c : cases) {
        lessCommands = moreCommands = 0;
        Play("COUNTBAR", {8, c.used, c.current, 0, 0, 0}, [&](HWND d) {
            Press(d, IDC_LESS);
            EXPECT_EQ(c.states, States(d)) << c.used;
            EXPECT_EQ(c.less, Less(d));
            EXPECT_EQ(c.more, More(d));
            EXPECT_EQ(c.used - 1, UsedChannels);
            EXPECT_EQ(c.current_after, CurrentChannel);
            // A disabled less button sends nothing.
            if (c.less == LESS_DISABLED) Press(d, IDC_LESS);
        });
        EXPECT_EQ(1, lessCommands);
    }
}

TEST_F(ChannelBar, TheLessMoreCommandFollowsTheCapturedPress) {
    Play("COUNTBAR", {8, 3, 0, 0, 0, 0}, [&](HWND d) {
        WinapiUserMouseDown(d, IDC_MORE);
        EXPECT_EQ(MORE_PRESSED, More(d));
        EXPECT_EQ(GetDlgItem(d, IDC_MORE), GetCapture());
        WinapiUserMouseUp(d, IDC_MORE);
        EXPECT_EQ(MORE_NORMAL, More(d));
        EXPECT_EQ(nullptr, GetCapture());
        // A release without a press on the button sends nothing.
        WinapiUserMouseUp(d, IDC_LESS);
        // The command follows the state, not the id.
        SendMessageA(GetDlgItem(d, IDC_LESS), CHANBTN_SETSTATE, MORE_NORMAL, 0);
        Press(d, IDC_LESS);
    });
    EXPECT_EQ(0, lessCommands);
    EXPECT_EQ(2, moreCommands);
    EXPECT_EQ(5, UsedChannels);
}

TEST_F(ChannelBar, CtrlGesturesRepeatLessAndMore) {
    struct Case {
        const char* name;
        int used, current;
        int id;    // the control double clicked
        int right; // right double click
        int less, more, used_after;
        const char* states;
    } cases[] = {
        {"channel 5 from 2", 2, 0, IDC_CHANNEL_FIRST + 5, 0, 0, 4, 6, "22222133"},
        {"channel 1 in use", 4, 3, IDC_CHANNEL_FIRST + 1, 0, 0, 0, 4, "21223333"},
        {"less from 6", 6, 5, IDC_LESS, 0, 5, 0, 1, "13333333"},
        {"more from 2", 2, 1, IDC_MORE, 0, 0, 6, 8, "21222222"},
        {"right on less from 6", 6, 2, IDC_LESS, 1, 1, 0, 5, "22122333"},
        {"right on channel 3 from 6", 6, 5, IDC_CHANNEL_FIRST + 3, 1, 3, 0, 3, "22133333"},
        {"right on channel 0 from 4", 4, 0, IDC_CHANNEL_FIRST, 1, 3, 0, 1, "13333333"},
    };
    for (const Case& c : cases) {
        lessCommands = moreCommands = 0;
        Play("COUNTBAR", {8, c.used, c.current, 0, 0, 0}, [&](HWND d) {
            WinapiSetCtrlHeld(1);
            if (c.right)
                WinapiUserRightDoubleClick(d, c.id);
            else
                WinapiUserDoubleClick(d, c.id);
            WinapiSetCtrlHeld(0);
            EXPECT_EQ(c.states, States(d)) << c.name;
        });
        EXPECT_EQ(c.less, lessCommands) << c.name;
        EXPECT_EQ(c.more, moreCommands) << c.name;
        EXPECT_EQ(c.used_after, UsedChannels) << c.name;
    }
}

TEST_F(ChannelBar, NoGestureWhileAnExperimentRuns) {
    Play("COUNTBAR", {8, 3, 0, 0, 1, 0}, [&](HWND d) {
        WinapiSetCtrlHeld(1);
        WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 6);
        WinapiUserRightDoubleClick(d, IDC_CHANNEL_FIRST + 1);
        WinapiUserDoubleClick(d, IDC_MORE);
        WinapiUserRightDoubleClick(d, IDC_LESS);
        WinapiSetCtrlHeld(0);
        EXPECT_EQ("12233333", States(d));
    });
    EXPECT_EQ(0, lessCommands + moreCommands);
    EXPECT_EQ(3, UsedChannels);
}

// The range gesture in both kinds of dialog: channels 2 to 5 come into use,
// 5 becomes current, and the name typed for channel 2 stays with channel 2.
// Every channel is counted once, however it came into use.
TEST_F(ChannelBar, CtrlDoubleClickMarksARangeAndCountsEachChannelOnce) {
    struct Case {
        const char* dialog;
        Bar bar;
        const char* states;
        int used;
    } cases[] = {
        {"COUNTBAR", {8, 3, 2, 0, 0, 0}, "22222133", 6},
        {"MASKBAR", {8, 0, 2, 0x04, 0, 0}, "00222100", 4},
        {"MASKBAR", {8, 0, 2, 0x0D, 0, 0}, "20222100", 5},
    };
    for (const Case& c : cases) {
        for (std::string& n : names)
            n.clear();
        Play(c.dialog, c.bar, [&](HWND d) {
            WinapiUserType(d, kName, "Two");
            WinapiSetCtrlHeld(1);
            WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 5);
            WinapiSetCtrlHeld(0);
            EXPECT_EQ(c.states, States(d)) << c.dialog;
            EXPECT_EQ(WORD(0x3C | c.bar.mask | (c.bar.used ? 0x03 : 0)), ChannelBarMask(d));
        });
        EXPECT_EQ(5, CurrentChannel) << c.dialog;
        EXPECT_EQ(c.used, UsedChannels) << c.dialog;
        EXPECT_EQ("Two", names[2]) << c.dialog;
        EXPECT_EQ("", names[5]) << c.dialog;
    }
}

TEST_F(ChannelBar, DoubleClicksChangeTheSetOfAMaskDialog) {
    Play("MASKBAR", {6, 0, 2, 0x06, 0, 0}, [&](HWND d) {
        EXPECT_EQ("021000"
                  "33",
                  States(d));
        EXPECT_EQ(2, UsedChannels);
        // An available channel comes into use and becomes current.
        WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 4);
        EXPECT_EQ("022010"
                  "33",
                  States(d));
        EXPECT_EQ(3, UsedChannels);
        // A double click on a channel in use or not available changes nothing.
        WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 1);
        WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 7);
        EXPECT_EQ("022010"
                  "33",
                  States(d));
        // A right double click takes one channel out of use.
        WinapiUserRightDoubleClick(d, IDC_CHANNEL_FIRST + 1);
        EXPECT_EQ("002010"
                  "33",
                  States(d));
        EXPECT_EQ(4, CurrentChannel);
        WinapiUserRightDoubleClick(d, IDC_CHANNEL_FIRST + 4);
        EXPECT_EQ(NO_CHANNEL, CurrentChannel);
        EXPECT_EQ(1, UsedChannels);
        // With Ctrl, from the current channel down to the clicked one.
        WinapiUserDoubleClick(d, IDC_CHANNEL_FIRST + 5);
        WinapiSetCtrlHeld(1);
        WinapiUserRightDoubleClick(d, IDC_CHANNEL_FIRST + 1);
        WinapiSetCtrlHeld(0);
        EXPECT_EQ("000000"
                  "33",
                  States(d));
        EXPECT_EQ(0, ChannelBarMask(d));
    });
    EXPECT_EQ(0, UsedChannels);
    EXPECT_EQ(NO_CHANNEL, CurrentChannel);
    EXPECT_EQ(0, lessCommands + moreCommands);
}

TEST_F(ChannelBar, AClickOnAChannelInUseMakesItCurrent) {
    Play("COUNTBAR", {8, 4, 1, 0, 0, 0}, [&](HWND d) {
        WinapiUserType(d, kName, "One");
        Press(d, IDC_CHANNEL_FIRST + 3);
        EXPECT_EQ("22213333", States(d));
        // Not available: nothing.
        Press(d, IDC_CHANNEL_FIRST + 6);
        EXPECT_EQ("22213333", States(d));
    });
    EXPECT_EQ(3, CurrentChannel);
    EXPECT_EQ("One", names[1]);
}

} // namespace
