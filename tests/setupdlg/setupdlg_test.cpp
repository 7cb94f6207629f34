// The setup dialog of the thermocouple types, opened by the host's message
// on blocks of the shipped plug-in and played like a user: what OK keeps,
// what Cancel drops, the channel gestures, the copies of a channel's name,
// help, the port warning, the range box and caption of each family, the
// module test, and the controls an experiment locks.
#include "plugin_fixture.h"

#include "frame/chanbar.h"
#include "modsim.h"
#include "modules/analog/nd6018.h"
#include "resource.h"
#include "winapi_headless.h"

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kDialog[] = "DLG_ND6018";
const int kMenuND6018 = 2955;
const int kMenuND6018P = 2956;

// Queued as Windows delivers a double click with the left button.
void QueueDoubleClick(int ch) {
    int id = IDC_CHANNEL_FIRST + ch;
    WinapiQueueMouseDown(id);
    WinapiQueueMouseUp(id);
    WinapiQueueDoubleClick(id);
    WinapiQueueMouseUp(id);
}

void QueueCtrlDoubleClick(int ch) {
    WinapiQueueCtrl(1);
    QueueDoubleClick(ch);
    WinapiQueueCtrl(0);
}

void QueueRightDoubleClick(int ch, int ctrl) {
    if (ctrl) WinapiQueueCtrl(1);
    WinapiQueueRightDoubleClick(IDC_CHANNEL_FIRST + ch);
    if (ctrl) WinapiQueueCtrl(0);
}

// Runs `check` on the open dialog at this point of the script.
std::vector<std::function<void(HWND)>> checks;
void QueueCheck(std::function<void(HWND)> check) {
    checks.push_back(std::move(check));
    WinapiQueueCallback(
        [](HWND dialog, void* index) { checks[reinterpret_cast<size_t>(index)](dialog); },
        reinterpret_cast<void*>(checks.size() - 1));
}

std::string Text(HWND dialog, int id) {
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string States(HWND dialog) {
    std::string s;
    for (int i = 0; i < 8; i++)
        s += static_cast<char>('0' + GetWindowWord(GetDlgItem(dialog, IDC_CHANNEL_FIRST + i), 0));
    return s;
}

WinapiControlInfo Control(int id) {
    WinapiControlInfo info;
    memset(&info, 0, sizeof info);
    WinapiDialogControl(kDialog, id, &info);
    return info;
}

std::string Item(int id, int index) {
    char text[128];
    WinapiDialogItem(kDialog, id, index, text, sizeof text);
    return text;
}

class SetupDialog : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        setenv("TELVIO_COM_DIR", dir.c_str(), 1);
        WinapiDialogsReset();
        WinapiHelpCallsClear();
        checks.clear();
    }
    void TearDown() override {
        WinapiDialogsReset();
        if (plugin.module) hostsim::FinishPlugin(&plugin);
        bus.Close();
        PluginTest::TearDown();
    }
    // The driver INI file holds these ports (COM number, 9600 baud, 8N1).
    void Ports(const std::vector<int>& ports, const char* file = "XX02.ini") {
        std::ofstream ini(dir + "/" + file);
        ini << "[Com Ports]\nNumComPorts=" << ports.size() << "\n";
        for (size_t i = 0; i < ports.size(); i++)
            ini << "ComPort#" << i << "=" << ports[i] << ",3,8,1,0,1\n";
    }
    // The plug-in under this file name; a plug-in bound before is finished.
    void Load(const std::string& name = "Telvio.so") {
        if (plugin.module) {
            hostsim::FinishPlugin(&plugin);
            ASSERT_TRUE(hostsim::Start());
            hostsim::SetExeFileDir((dir + "/").c_str());
        }
        ASSERT_EQ(1, Bind(name));
    }
    hostsim::Block* NewBlock(int menuId = kMenuND6018) {
        return hostsim::CreateBlock(hostsim::FindClassByMenuId(menuId));
    }
    static ND6018_Param* P(hostsim::Block* b) {
        return reinterpret_cast<ND6018_Param*>(b->param.data());
    }
    // The host's message; the dialog plays what was queued.
    int Open(hostsim::Block* b) { return hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0); }
    void SetRunning(BOOL running) {
        ASSERT_EQ(1, hostsim::WriteDllVariable("bExperimentIsRunning", &running, sizeof running));
    }
    // The block's channels: the channel number of each output.
    static std::vector<int> Outputs(hostsim::Block* b) {
        std::vector<int> out;
        for (UINT k = 0; k < b->record.uOutputs && k < 16; k++)
            out.push_back(b->record.aiOutputChannel[k]);
        return out;
    }

    modsim::Bus bus;
};

// The host's message opens the type's own dialog on the block and no longer
// goes to the host's default action.
TEST_F(SetupDialog, TheHostsMessageOpensTheDialogOfTheBlock) {
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    size_t defaults = hostsim::DefaultActionCalls().size();
    QueueCheck([&](HWND d) {
        EXPECT_EQ(std::string(b->record.szName), Text(d, IDC_SETUP_NAME));
        EXPECT_EQ(std::string(b->record.szDescription), Text(d, IDC_SETUP_DESCRIPTION));
        EXPECT_EQ("Vin 0", Text(d, IDC_SETUP_CHANNEL_NAME));
        EXPECT_EQ("\260C", Text(d, IDC_SETUP_UNIT));
        EXPECT_EQ("10000000", States(d));
        EXPECT_EQ(GetDlgItem(d, IDC_SETUP_NAME), GetFocus());
    });
    WinapiQueueCancel();
    EXPECT_EQ(1, Open(b));
    EXPECT_TRUE(WinapiDialogFound(kDialog));
    EXPECT_EQ(0, WinapiDialogCancelledByRun(kDialog));
    EXPECT_EQ(defaults, hostsim::DefaultActionCalls().size());
    EXPECT_EQ(0, WinapiFailedActionCount());
}

// Ctrl with a double click on button 5 while button 2 is current brings 2
// to 5 into use and makes 5 current; what was typed for 2 stays with 2.
TEST_F(SetupDialog, CtrlDoubleClickBringsARangeIntoUseAndKeepsTheTypedName) {
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    P(b)->Channel_Mask = 0x0004;
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Oven left");
    QueueCtrlDoubleClick(5);
    QueueCheck([&](HWND d) {
        EXPECT_EQ("00222100", States(d));
        EXPECT_EQ("Vin 5", Text(d, IDC_SETUP_CHANNEL_NAME));
    });
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(1, WinapiDialogResult(kDialog));
    EXPECT_EQ(0x003C, P(b)->Channel_Mask);
    EXPECT_STREQ("Oven left", P(b)->Channel_Name[2]);
    EXPECT_STREQ("Vin 5", P(b)->Channel_Name[5]);
    EXPECT_EQ((std::vector<int>{3, 4, 5, 6}), Outputs(b));
}

// The gestures change the set of channels in use; OK gives the block one
// output per channel in use, numbered by its channel.
TEST_F(SetupDialog, ChannelGesturesChangeTheChannelsInUse) {
    struct Case {
        const char* name;
        WORD mask;
        std::function<void()> act;
        WORD after;
        std::vector<int> outputs;
    } cases[] = {
        {"Ctrl double click backwards", 0x0004, [] { QueueCtrlDoubleClick(0); }, 0x0007, {1, 2, 3}},
        {"double click on a free button", 0x0001, [] { QueueDoubleClick(6); }, 0x0041, {1, 7}},
        {"double click on a button in use", 0x0005, [] { QueueDoubleClick(2); }, 0x0005, {1, 3}},
        {"right double click", 0x000F, [] { QueueRightDoubleClick(1, 0); }, 0x000D, {1, 3, 4}},
        {"right double click on the current one",
         0x0003,
         [] { QueueRightDoubleClick(0, 0); },
         0x0002,
         {2}},
        {"right double click on a free button",
         0x0003,
         [] { QueueRightDoubleClick(5, 0); },
         0x0003,
         {1, 2}},
        {"Ctrl right double click", 0x000F, [] { QueueRightDoubleClick(2, 1); }, 0x0008, {4}},
        {"everything out of use", 0x0001, [] { QueueRightDoubleClick(0, 0); }, 0x0000, {}},
    };
    Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        P(b)->Channel_Mask = c.mask;
        c.act();
        WinapiQueueOk();
        Open(b);
        EXPECT_EQ(c.after, P(b)->Channel_Mask);
        EXPECT_EQ(c.outputs, Outputs(b));
        EXPECT_EQ(c.outputs.size(), static_cast<UINT>(b->record.uOutputs));
        hostsim::DeleteBlock(b);
    }
    EXPECT_EQ(0, WinapiFailedActionCount());
}

// OK keeps what the user set, each text within its field, and the port
// chosen becomes the port of the next new block.
TEST_F(SetupDialog, OkStoresTheBlocksSettings) {
    Ports({3, 5});
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    int allocations = hostsim::LiveAllocations();
    std::vector<unsigned char> before = b->param;
    WinapiQueueType(IDC_SETUP_NAME, "Oven 1234567890");
    WinapiQueueType(IDC_SETUP_DESCRIPTION, "Thermocouples of the left oven, upper and lower shelf");
    WinapiQueuePick(IDC_SETUP_PORT, "COM5");
    WinapiQueuePick(IDC_SETUP_ADDRESS, "17");
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Door");
    QueueDoubleClick(3);
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Upper shelf, rear left corner");
    WinapiQueueType(IDC_SETUP_UNIT, "mV");
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(1, WinapiDialogResult(kDialog));
    EXPECT_STREQ("Oven 1234567", b->record.szName);
    EXPECT_STREQ("Thermocouples of the left oven, upper an", b->record.szDescription);
    EXPECT_EQ(5, P(b)->Com.Port_Number);
    EXPECT_EQ(17, P(b)->Module_Address);
    EXPECT_EQ(0x0009, P(b)->Channel_Mask);
    EXPECT_EQ((std::vector<int>{1, 4}), Outputs(b));
    EXPECT_STREQ("Door", P(b)->Channel_Name[0]);
    EXPECT_STREQ("Upper shelf, rear le", P(b)->Channel_Name[3]);
    EXPECT_STREQ("\260C", P(b)->Unit[0]);
    EXPECT_STREQ("mV", P(b)->Unit[3]);
    EXPECT_EQ(0, memcmp(before.data() + offsetof(ND6018_Param, Mess),
                        b->param.data() + offsetof(ND6018_Param, Mess), sizeof(MessParam)));
    EXPECT_EQ(allocations, hostsim::LiveAllocations()) << "the working copy is released";

    hostsim::Block* next = NewBlock();
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(5, P(next)->Com.Port_Number);
}

// Texts of a record that fill their fields without a terminator come back
// cut and terminated within the field.
TEST_F(SetupDialog, UnterminatedTextsComeBackTerminated) {
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    memset(P(b)->Channel_Name[0], 'N', sizeof P(b)->Channel_Name[0]);
    memset(P(b)->Unit[0], 'U', sizeof P(b)->Unit[0]);
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(std::string(20, 'N'), P(b)->Channel_Name[0]);
    EXPECT_EQ(std::string(63, 'U'), P(b)->Unit[0]);
    EXPECT_STREQ("Vin 1", P(b)->Channel_Name[1]);
}

// Cancel, and a dialog left waiting, keep the block as it was, and release
// the working copy.
TEST_F(SetupDialog, CancelChangesNothing) {
    Ports({3, 5});
    Load();
    for (int explicitCancel = 0; explicitCancel < 2; explicitCancel++) {
        SCOPED_TRACE(explicitCancel ? "Cancel" : "left waiting");
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        std::vector<unsigned char> param = b->param;
        ModuleRecord record = b->record;
        int allocations = hostsim::LiveAllocations();
        WinapiQueueType(IDC_SETUP_NAME, "Renamed");
        WinapiQueueType(IDC_SETUP_DESCRIPTION, "Other");
        WinapiQueuePick(IDC_SETUP_PORT, "COM3");
        WinapiQueuePick(IDC_ND6018_RANGE, "Type K");
        QueueCtrlDoubleClick(4);
        WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Changed");
        if (explicitCancel) WinapiQueueCancel();
        Open(b);
        EXPECT_EQ(0, WinapiDialogResult(kDialog));
        EXPECT_EQ(param, b->param);
        EXPECT_EQ(0, memcmp(&record, &b->record, sizeof record));
        EXPECT_EQ(allocations, hostsim::LiveAllocations());
        hostsim::Block* next = NewBlock();
        ASSERT_NE(nullptr, next);
        EXPECT_EQ(3, P(next)->Com.Port_Number) << "the port chosen stays the port of new blocks";
        hostsim::DeleteBlock(next);
        hostsim::DeleteBlock(b);
    }
}

// Help shows the host's topic of the field that last had the focus, the
// type's own topic otherwise; after Help the type's topic again.
TEST_F(SetupDialog, HelpShowsTheTopicOfTheLastFocusedField) {
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* file;
        ULONG_PTR topic;
    } cases[] = {
        {"nothing focused yet", [] {}, "Evehzem.hlp", 1120},
        {"description", [] { WinapiQueueClick(IDC_SETUP_DESCRIPTION); }, "Varnix.hlp", 13030},
        {"block name",
         [] {
             WinapiQueueClick(IDC_SETUP_DESCRIPTION);
             WinapiQueueClick(IDC_SETUP_NAME);
         },
         "Varnix.hlp", 13020},
        {"channel name", [] { WinapiQueueClick(IDC_SETUP_CHANNEL_NAME); }, "Varnix.hlp", 14650},
        {"channel button",
         [] {
             WinapiQueueClick(IDC_SETUP_CHANNEL_NAME);
             WinapiQueueClick(IDC_CHANNEL_FIRST + 1);
         },
         "Varnix.hlp", 10030},
        {"port box", [] { WinapiQueueClick(IDC_SETUP_PORT); }, "Evehzem.hlp", 1120},
        {"after Help",
         [] {
             WinapiQueueClick(IDC_SETUP_CHANNEL_NAME);
             WinapiQueueClick(IDHELP);
         },
         "Evehzem.hlp", 1120},
    };
    Ports({3});
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WinapiHelpCallsClear();
        c.act();
        WinapiQueueClick(IDHELP);
        WinapiQueueCancel();
        Open(b);
        ASSERT_GE(WinapiHelpCallCount(), 1);
        WinapiHelpCall call;
        WinapiHelpCallAt(WinapiHelpCallCount() - 1, &call);
        std::string file = call.file;
        EXPECT_EQ(c.file,
                  file.substr(file.size() > strlen(c.file) ? file.size() - strlen(c.file) : 0));
        EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), call.command);
        EXPECT_EQ(c.topic, call.data);
    }
}

// Without configured ports the port box says so once per opening, the
// first time it takes the focus; with ports it says nothing.
TEST_F(SetupDialog, ThePortBoxWarnsOncePerOpeningWhileNoPortIsConfigured) {
    for (int configured = 0; configured < 2; configured++) {
        SCOPED_TRACE(configured ? "ports configured" : "no ports");
        if (configured) Ports({2});
        Load();
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        int boxes = WinapiMessageBoxCount();
        for (int opening = 0; opening < 2; opening++) {
            if (!configured) WinapiQueueMessageBoxAnswer(IDOK);
            WinapiQueueClick(IDC_SETUP_PORT);
            WinapiQueueClick(IDC_SETUP_NAME);
            WinapiQueueClick(IDC_SETUP_PORT);
            WinapiQueueCancel();
            Open(b);
        }
        if (configured) {
            EXPECT_EQ(boxes, WinapiMessageBoxCount());
            continue;
        }
        ASSERT_EQ(boxes + 2, WinapiMessageBoxCount());
        WinapiMessageBoxCall box;
        WinapiMessageBoxAt(boxes, &box);
        EXPECT_STREQ("No serial ports are defined.\nPlease add new ports in menu 'Serial Port "
                     "Configuration'.",
                     box.text);
        EXPECT_STREQ(b->record.szName, box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type & MB_ICONMASK);
    }
}

// The host's copy messages reach the other channels in use, found by their
// bits, and no channel out of use; the focused form copies only when the
// channel name had the focus last.
TEST_F(SetupDialog, CopiesOfTheNameReachTheChannelsInUse) {
    struct Case {
        const char* name;
        int leaveName; // focus to the description after typing
        UINT msg;
        int copied;
    } cases[] = {
        {"focused copy", 0, DLGMSG_COPY_NAME_FOCUSED, 1},
        {"focused copy after another field", 1, DLGMSG_COPY_NAME_FOCUSED, 0},
        {"copy to all", 1, DLGMSG_COPY_NAME_ALL, 1},
    };
    Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        P(b)->Channel_Mask = 0x00A5; // channels 0, 2, 5 and 7
        WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Probe twenty chars!!");
        if (c.leaveName) WinapiQueueClick(IDC_SETUP_DESCRIPTION);
        WinapiQueueMessage(0, c.msg, 0, 0);
        WinapiQueueOk();
        Open(b);
        EXPECT_STREQ("Probe twenty chars!!", P(b)->Channel_Name[0]);
        for (int ch = 1; ch < 16; ch++) {
            bool inUse = (0x00A5 >> ch) & 1;
            std::string expected =
                c.copied && inUse ? "Probe twenty chars!!" : "Vin " + std::to_string(ch);
            EXPECT_EQ(expected, P(b)->Channel_Name[ch]) << ch;
        }
        hostsim::DeleteBlock(b);
    }
}

// Channel-button messages that name no button of this dialog's bar are
// ignored.
TEST_F(SetupDialog, ChannelMessagesNamingNoButtonOfTheBarAreIgnored) {
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    WPARAM host = reinterpret_cast<WPARAM>(hostsim::MainWindow());
    WinapiQueueMessage(0, CHANBTN_DBLCLK, host, CHANNEL_AVAILABLE);
    WinapiQueueMessage(0, CHANBTN_DOWN, host, CHANNEL_IN_USE);
    WinapiQueueMessage(0, CHANBTN_RDBLCLK, 0x7FFF0, CHANNEL_CURRENT);
    QueueCheck([&](HWND d) {
        // The name edit is not a channel button either.
        WPARAM edit = reinterpret_cast<WPARAM>(GetDlgItem(d, IDC_SETUP_NAME));
        SendMessageA(d, CHANBTN_DBLCLK, edit, CHANNEL_AVAILABLE);
        EXPECT_EQ("10000000", States(d));
    });
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(0x0001, P(b)->Channel_Mask);
    EXPECT_EQ((std::vector<int>{1}), Outputs(b));
}

// The range box by type and family: the fixed ranges first in every family
// but the default one, then the type's thermocouple letters.
TEST_F(SetupDialog, TheRangeBoxListsTheRangesOfTheFamily) {
    struct Case {
        const char* file;
        int menuId;
        int count;
        const char* first;
        const char* seventh; // entry 7
        const char* last;
    } cases[] = {
        {"Telvio.so", kMenuND6018, 16, "\26115 mV", "Type J", "Type C"},
        {"Telvio.so", kMenuND6018P, 18, "\26115 mV", "Type J", "Type M"},
        {"xx04.so", kMenuND6018, 16, "\26115 mV", "Type J", "Type C"},
        {"other.so", kMenuND6018, 9, "Type J", "Type N", "Type C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.menuId));
        Load(c.file);
        hostsim::Block* b = NewBlock(c.menuId);
        ASSERT_NE(nullptr, b);
        WinapiQueueCancel();
        Open(b);
        WinapiControlInfo range = Control(IDC_ND6018_RANGE);
        EXPECT_EQ(c.count, range.itemCount);
        EXPECT_EQ(c.first, Item(IDC_ND6018_RANGE, 0));
        EXPECT_EQ(c.seventh, Item(IDC_ND6018_RANGE, 7));
        EXPECT_EQ(c.last, Item(IDC_ND6018_RANGE, c.count - 1));
        if (c.count == 16) {
            EXPECT_EQ("\26120 mA", Item(IDC_ND6018_RANGE, 6));
        }
        // A new block measures with Type J.
        EXPECT_EQ(c.count == 9 ? 0 : 7, range.selection);
    }
}

// Choosing an entry stores its type code; opening the dialog again selects
// the entry of the stored code, none for a code the box does not offer.
TEST_F(SetupDialog, TheRangeEntryStoresItsCodeAndIsSelectedAgain) {
    struct Case {
        const char* file;
        int menuId;
        int entry;
        int code;
    } cases[] = {
        {"Telvio.so", kMenuND6018, 7, 14},   {"Telvio.so", kMenuND6018, 6, 6},
        {"Telvio.so", kMenuND6018, 0, 0},    {"Telvio.so", kMenuND6018, 15, 22},
        {"Telvio.so", kMenuND6018P, 16, 23}, {"Telvio.so", kMenuND6018P, 17, 24},
        {"other.so", kMenuND6018, 1, 15},    {"other.so", kMenuND6018, 8, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.menuId) + " entry " +
                     std::to_string(c.entry));
        Load(c.file);
        hostsim::Block* b = NewBlock(c.menuId);
        ASSERT_NE(nullptr, b);
        std::string text;
        QueueCheck([&](HWND d) {
            char item[64] = "";
            SendDlgItemMessageA(d, IDC_ND6018_RANGE, CB_GETLBTEXT, c.entry,
                                reinterpret_cast<LPARAM>(item));
            text = item;
            EXPECT_EQ(1, WinapiUserPick(d, IDC_ND6018_RANGE, item));
        });
        WinapiQueueOk();
        Open(b);
        EXPECT_EQ(c.code, P(b)->TC_Type) << text;

        WinapiQueueCancel();
        Open(b);
        EXPECT_EQ(c.entry, Control(IDC_ND6018_RANGE).selection);
    }
    // Codes without an entry select none.
    struct Missing {
        const char* file;
        int menuId;
        int code;
    } missing[] = {
        {"Telvio.so", kMenuND6018, 23},
        {"Telvio.so", kMenuND6018, 9},
        {"other.so", kMenuND6018, 6},
    };
    for (const Missing& m : missing) {
        SCOPED_TRACE(std::string(m.file) + " code " + std::to_string(m.code));
        Load(m.file);
        hostsim::Block* b = NewBlock(m.menuId);
        ASSERT_NE(nullptr, b);
        P(b)->TC_Type = m.code;
        WinapiQueueOk();
        Open(b);
        EXPECT_EQ(-1, Control(IDC_ND6018_RANGE).selection);
        EXPECT_EQ(m.code, P(b)->TC_Type) << "OK without a choice keeps the code";
    }
}

// The caption names the module as the family sells it; the default family
// keeps the template's.
TEST_F(SetupDialog, TheCaptionFollowsTheFamily) {
    struct Case {
        const char* file;
        int menuId;
        const char* caption;
    } cases[] = {
        {"Telvio.so", kMenuND6018, "ZEMX Q7018-I"},
        {"Telvio.so", kMenuND6018P, "ZEMX Q7018P-I"},
        {"xx01.so", kMenuND6018, "XX01-4018"},
        {"xx04.so", kMenuND6018, "YY04 PAD-VTH8"},
        {"xx03.so", kMenuND6018, "XX03 S7018-I"},
        {"xx05.so", kMenuND6018, "ZAV-6018"},
        {"xx06.so", kMenuND6018, "YY06-8018"},
        {"other.so", kMenuND6018, "XX02 Module ND-6018 (Thermocouple Measurement)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Load(c.file);
        hostsim::Block* b = NewBlock(c.menuId);
        ASSERT_NE(nullptr, b);
        std::string caption;
        QueueCheck([&](HWND d) {
            char text[128];
            GetWindowTextA(d, text, sizeof text);
            caption = text;
        });
        WinapiQueueCancel();
        Open(b);
        EXPECT_EQ(c.caption, caption);
    }
}

// While an experiment runs the port, address, test and range controls are
// disabled, and the channel buttons take no double clicks.
TEST_F(SetupDialog, AnExperimentLocksTheModuleControls) {
    Ports({3});
    Load();
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    SetRunning(1);
    QueueDoubleClick(4);
    WinapiQueueOk();
    Open(b);
    for (int id : {IDC_SETUP_PORT, IDC_SETUP_ADDRESS, IDC_SETUP_TEST, IDC_ND6018_RANGE})
        EXPECT_EQ(0, Control(id).enabled) << id;
    for (int id : {IDC_SETUP_NAME, IDC_SETUP_CHANNEL_NAME, IDC_SETUP_MEASUREMENT, IDOK, IDCANCEL})
        EXPECT_EQ(1, Control(id).enabled) << id;
    EXPECT_EQ(0x0001, P(b)->Channel_Mask);

    SetRunning(0);
    WinapiQueueCancel();
    Open(b);
    for (int id : {IDC_SETUP_PORT, IDC_SETUP_ADDRESS, IDC_SETUP_TEST, IDC_ND6018_RANGE})
        EXPECT_EQ(1, Control(id).enabled) << id;
}

// "Measurement" edits the working copy: its OK reaches the block only with
// the setup dialog's OK.
TEST_F(SetupDialog, MeasurementSettingsGoWithTheSetupDialog) {
    Load();
    for (int ok = 0; ok < 2; ok++) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        hostsim::Block* b = NewBlock();
        ASSERT_NE(nullptr, b);
        ASSERT_EQ(1, P(b)->Mess.Error_Stop);
        WinapiQueueClick(IDC_SETUP_MEASUREMENT);
        WinapiQueueClick(IDC_MP_CONTINUE);
        WinapiQueueOk(); // "Measurement"
        if (ok)
            WinapiQueueOk();
        else
            WinapiQueueCancel();
        Open(b);
        EXPECT_TRUE(WinapiDialogFound("DLG_MESSPARAM"));
        EXPECT_EQ(ok ? 0 : 1, P(b)->Mess.Error_Stop);
        EXPECT_EQ(0, WinapiUnfinishedDialogCount());
        hostsim::DeleteBlock(b);
    }
}

// "Test" asks the module on the chosen port and address for its model, and
// accepts what the type's start accepts: a module it calls okay starts, one
// it calls wrong is refused by the start too.
TEST_F(SetupDialog, TestAcceptsTheModelsTheStartAccepts) {
    struct Case {
        const char* model;
        const char* text;
        UINT icon;
    } cases[] = {
        {"6018", "1. Module type 6018.", MB_ICONINFORMATION},
        {"7018", "1. Module type 7018.", MB_ICONINFORMATION},
        {"4018", "1. Module type 4018.", MB_ICONINFORMATION},
        {"8018", "1. Module type 8018.", MB_ICONINFORMATION},
        {"5018", "Wrong Module Type: ND-5018.", MB_ICONERROR},
        {"9018", "Wrong Module Type: ND-9018.", MB_ICONERROR},
        {"87018", "Wrong Module Type: ND-87018.", MB_ICONERROR},
        {"6017", "Wrong Module Type: ND-6017.", MB_ICONERROR},
    };
    Ports({3});
    Load();
    std::string error;
    ASSERT_EQ(1, bus.Open(&error)) << error;
    ASSERT_EQ(1, bus.SetLink(dir + "/com3"));
    ASSERT_EQ(1, bus.Start());
    hostsim::Block* b = NewBlock();
    ASSERT_NE(nullptr, b);
    std::vector<modsim::Profile> profiles;
    for (const Case& c : cases)
        profiles.push_back({c.model, "A1.0", 14, 0, 8, "%+07.2f", nullptr});
    for (size_t i = 0; i < profiles.size(); i++) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.model);
        bus.RemoveModule(1);
        ASSERT_EQ(1, bus.AddModule(1, profiles[i], 0));
        int boxes = WinapiMessageBoxCount();
        WinapiQueuePick(IDC_SETUP_PORT, "COM3");
        WinapiQueuePick(IDC_SETUP_ADDRESS, "1");
        WinapiQueueMessageBoxAnswer(IDOK);
        WinapiQueueClick(IDC_SETUP_TEST);
        WinapiQueueOk();
        Open(b);
        ASSERT_EQ(boxes + 1, WinapiMessageBoxCount());
        WinapiMessageBoxCall box;
        WinapiMessageBoxAt(boxes, &box);
        EXPECT_NE(nullptr, strstr(box.text, c.text)) << box.text;
        EXPECT_STREQ("Test module: COM3, address 1", box.caption);
        EXPECT_EQ(c.icon, box.type & MB_ICONMASK);

        size_t warnings = hostsim::Warnings().size();
        int started = hostsim::SendClassMessage(b, MODMSG_START, 0, 0);
        hostsim::SendClassMessage(b, MODMSG_STOP, 0, 0);
        EXPECT_EQ(c.icon == MB_ICONINFORMATION ? 1 : 0, started);
        if (!started) {
            ASSERT_EQ(warnings + 1, hostsim::Warnings().size());
            EXPECT_EQ("Wrong module type connected.", hostsim::Warnings().back().text);
        }
    }
}

} // namespace
