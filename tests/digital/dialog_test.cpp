// The setup dialogs of the digital types, opened by the host's message on
// blocks of the shipped plug-in and played like a user: the caption of the
// family, the channel buttons the module has, what OK keeps, the module test
// with the type's model, the output types' copy check box, the watchdog
// button where the family offers it, and the family's own channel bars.
#include "digital_fixture.h"

#include "frame/chanbar.h"
#include "resource.h"

#include <functional>

namespace {

using digitaltest::DigitalTest;
using digitaltest::kDefault;
using digitaltest::kTelv;
using digitaltest::kXX03;
using digitaltest::kXX04;

struct DialogType {
    const char* type;
    int menu;
    const char* plugin;
    const char* dialog;
    const char* caption; // in that family
    int buttons;         // channel buttons in the template
    int maxChannels;     // buttons offered
    int output;
    const char* passes; // a module the Test button accepts
    const char* fails;  // one it reports as another type
    int watchdogLines;  // safe-value lines of the watchdog button, 0: no button in the family
};

void PrintTo(const DialogType& t, std::ostream* os) {
    *os << t.type;
}

const std::vector<DialogType>& Types() {
    static const std::vector<DialogType> types = {
        {"ND6050I", 2958, kTelv, "DLG_ND6050I", "ZEMX-7050-I", 7, 8, 0, "7050", "6052", 2},
        {"ND6044I", 2976, kTelv, "DLG_ND6044I", "ZEMX-7044-I", 4, 4, 0, "7044", "6050", 2},
        {"ND6055I", 2996, kTelv, "DLG_ND6055I", "ZEMX-7055-I", 8, 8, 0, "6055", "6050", 2},
        {"ND6060I", 2961, kTelv, "DLG_ND6060I", "ZEMX-7060 Input", 4, 8, 0, "7060", "6065", 0},
        {"ND6063I", 2990, kTelv, "DLG_ND6063I", "ZEMX-7063 Input", 8, 8, 0, "7063", "6063", 0},
        {"ND6065I", 2963, kTelv, "DLG_ND6065I", "ZEMX-7065 Input", 4, 8, 0, "7065", "6060", 0},
        {"ND6052", 2960, kTelv, "DLG_ND6052", "ZEMX-7052", 8, 8, 0, "6052", "6053", 0},
        {"ND6053", 2972, kTelv, "DLG_ND6053", "ZEMX-7053-I", 16, 16, 0, "4053", "6054", 0},
        {"ND6054", 2973, kDefault, "DLG_ND6054", "XX02 Module ND6054 (Digital Input)", 16, 15, 0,
         "6054", "6053", 0},
        {"ND6751", 2994, kTelv, "DLG_ND6751", "ZEMX-7751-I", 16, 16, 0, "87051", "6053", 0},
        {"ND6041I", 2978, kTelv, "DLG_ND6041I", "ZEMX-7041-I", 14, 14, 0, "7041", "7042", 0},
        {"ND6050O", 2959, kTelv, "DLG_ND6050O", "ZEMX-7050-O", 8, 8, 1, "7050", "6055", 8},
        {"ND6055O", 2997, kTelv, "DLG_ND6055O", "ZEMX-7055-O", 8, 8, 1, "6055", "6050", 8},
        {"ND6044O", 2977, kTelv, "DLG_ND6044O", "ZEMX-7044-O", 8, 8, 1, "7044", "6043", 8},
        {"ND6067", 2981, kTelv, "DLG_ND6067O", "ZEMX-7067-O", 7, 7, 1, "8067", "6063", 7},
        {"ND6063", 2971, kTelv, "DLG_ND6063", "ZEM-7063 Output", 8, 8, 1, "7063", "6067", 3},
        {"ND6042O", 2979, kTelv, "DLG_ND6042O", "ZEMX-7042-O", 13, 13, 1, "7042", "6043", 13},
        {"ND6043O", 2980, kTelv, "DLG_ND6043O", "ZEMX-7043-O", 16, 16, 1, "7043", "6042", 16},
        {"ND6757O", 2993, kTelv, "DLG_ND6757O", "ZEMX-87057-O", 16, 16, 1, "87057", "6043", 16},
        {"ND6056", 2974, kDefault, "DLG_ND6056", "XX02 Module ND6056 (Digital Output)", 15, 16, 1,
         "6056", "6050", 15},
        {"ND6060O", 2962, kTelv, "DLG_ND6060O", "ZEMX-7060 Output", 4, 8, 1, "6060", "6065", 4},
        {"ND6065O", 2964, kTelv, "DLG_ND6065O", "ZEMX-7065 Output", 5, 8, 1, "7065", "6060", 5},
    };
    return types;
}

// Runs `check` on the open dialog at this point of the script.
std::vector<std::function<void(HWND)>> checks;
void QueueCheck(std::function<void(HWND)> check) {
    checks.push_back(std::move(check));
    WinapiQueueCallback(
        [](HWND dialog, void* index) { checks[reinterpret_cast<size_t>(index)](dialog); },
        reinterpret_cast<void*>(checks.size() - 1));
}

// Queued as Windows delivers a double click with the left button.
void QueueDoubleClick(int ch) {
    int id = IDC_CHANNEL_FIRST + ch;
    WinapiQueueMouseDown(id);
    WinapiQueueMouseUp(id);
    WinapiQueueDoubleClick(id);
    WinapiQueueMouseUp(id);
}

std::string Text(HWND dialog, int id) {
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The states of the channel buttons the template has, one digit each.
std::string States(HWND dialog) {
    std::string s;
    for (int i = 0; i < 16; i++) {
        HWND button = GetDlgItem(dialog, IDC_CHANNEL_FIRST + i);
        if (button) s += static_cast<char>('0' + GetWindowWord(button, 0));
    }
    return s;
}

int Visible(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control);
}

class DialogTypes : public DigitalTest, public ::testing::WithParamInterface<DialogType> {
  protected:
    void SetUp() override {
        DigitalTest::SetUp();
        checks.clear();
        ASSERT_EQ(1, Load(GetParam().plugin));
    }
    int Open(hostsim::Block* b) { return hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0); }
    // The channels of the block as numbered by the host.
    static std::vector<int> Channels(hostsim::Block* b) {
        std::vector<int> out;
        UINT n = GetParam().output ? static_cast<UINT>(b->record.uInputs)
                                   : static_cast<UINT>(b->record.uOutputs);
        for (UINT k = 0; k < n && k < 16; k++)
            out.push_back(GetParam().output ? static_cast<int>(b->record.aiInputChannel[k])
                                            : static_cast<int>(b->record.aiOutputChannel[k]));
        return out;
    }
};

std::string Name(const ::testing::TestParamInfo<DialogType>& info) {
    return info.param.type;
}

// The family's caption, the buttons the module has (those beyond it not
// available), and OK gives the block one channel per button in use.
TEST_P(DialogTypes, TheChannelsInUseBecomeTheBlocksChannels) {
    const DialogType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    std::string initial(static_cast<size_t>(t.buttons), '0');
    initial[0] = '1';
    for (int i = t.maxChannels; i < t.buttons; i++)
        initial[static_cast<size_t>(i)] = '3';
    // The last button the family shows.
    int last = t.maxChannels < t.buttons ? t.maxChannels - 1 : t.buttons - 1;
    if (strcmp(t.type, "ND6063") == 0 && strcmp(t.plugin, kTelv) == 0) last = 2;
    QueueCheck([&](HWND d) {
        char caption[128];
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_STREQ(t.caption, caption);
        EXPECT_EQ(initial, States(d));
        EXPECT_EQ(std::string(P(b)->Channel_Name[0]), Text(d, IDC_SETUP_CHANNEL_NAME));
    });
    QueueDoubleClick(last);
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Last line");
    WinapiQueueOk();
    EXPECT_EQ(1, Open(b));
    EXPECT_EQ(1, WinapiDialogResult(t.dialog));
    EXPECT_EQ(0, WinapiFailedActionCount());
    EXPECT_EQ(static_cast<WORD>(1u | 1u << last), P(b)->Channel_Mask);
    EXPECT_EQ((std::vector<int>{1, last + 1}), Channels(b));
    EXPECT_STREQ("Last line", P(b)->Channel_Name[last]);
}

// "Test" asks the module on the block's port and address for its model and
// accepts the models the type's start accepts.
TEST_P(DialogTypes, TheTestButtonExpectsTheTypesModel) {
    const DialogType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    P(b)->Module_Address = 5;
    struct Case {
        const char* model;
        const char* text;
    } cases[] = {{t.passes, "Status: OKAY"}, {t.fails, "Wrong Module Type: ND-"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        CaseGuard guard(this);
        bus.RemoveModule(5);
        ASSERT_EQ(1, bus.AddModule(5, c.model, 0));
        int boxes = WinapiMessageBoxCount();
        WinapiQueueMessageBoxAnswer(IDOK);
        WinapiQueueClick(IDC_SETUP_TEST);
        WinapiQueueCancel();
        Open(b);
        ASSERT_EQ(boxes + 1, WinapiMessageBoxCount());
        WinapiMessageBoxCall box;
        WinapiMessageBoxAt(boxes, &box);
        EXPECT_NE(nullptr, strstr(box.text, c.text)) << box.text;
        EXPECT_STREQ("Test module: COM1, address 5", box.caption);
    }
}

// The watchdog button, where the family offers it, opens "Watchdog" with one
// safe-value line per output of the module.
TEST_P(DialogTypes, TheWatchdogButtonOffersTheModulesLines) {
    const DialogType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    P(b)->Mess.Watchdog_On = 1;
    P(b)->Mess.Watchdog_Time = 4;
    QueueCheck([&](HWND d) { EXPECT_EQ(t.watchdogLines > 0, Visible(d, IDC_WATCHDOG_BUTTON)); });
    if (t.watchdogLines > 0) {
        WinapiQueueClick(IDC_WATCHDOG_BUTTON);
        WinapiQueueClick(IDC_WD_BIT0 + t.watchdogLines - 1);
        WinapiQueueOk();
    }
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(0, WinapiFailedActionCount());
    if (t.watchdogLines == 0) return;
    ASSERT_TRUE(WinapiDialogFound("DLG_WATCHDOG"));
    for (int i = 0; i < 16; i++) {
        WinapiControlInfo info;
        ASSERT_EQ(1, WinapiDialogControl("DLG_WATCHDOG", IDC_WD_BIT0 + i, &info));
        EXPECT_EQ(i < t.watchdogLines, info.enabled != 0) << "line " << i;
    }
    EXPECT_EQ(1u << (t.watchdogLines - 1), P(b)->Mess.Watchdog_Value);
}

INSTANTIATE_TEST_SUITE_P(Digital, DialogTypes, ::testing::ValuesIn(Types()), Name);

// The output types' copy check box: checked while the channel keeps a name
// of its own; cleared, the channel takes the name of what feeds it, and the
// name field is closed.
class CopyBox : public DialogTypes {};

TEST_P(CopyBox, TheCopyBoxTurnsTheChannelsNameOver) {
    const DialogType& t = GetParam();
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(t.menu));
    ASSERT_NE(nullptr, b);
    QueueCheck([&](HWND d) {
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, IDC_SETUP_COPY_NAME));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_SETUP_CHANNEL_NAME)));
    });
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Valve");
    WinapiQueueClick(IDC_SETUP_COPY_NAME);
    QueueCheck([&](HWND d) {
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d, IDC_SETUP_COPY_NAME));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_SETUP_CHANNEL_NAME)));
        EXPECT_EQ("Valve", Text(d, IDC_SETUP_CHANNEL_NAME));
    });
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(1, P(b)->Copy_Channel_Name[0]);
    EXPECT_STREQ("Valve", P(b)->Channel_Name[0]);
    // The host's name now reaches the channel; a click gives it its own back.
    hostsim::SendClassMessage(b, MODMSG_INPUT_NAME, 0, reinterpret_cast<LPARAM>("Source"));
    EXPECT_STREQ("Source", P(b)->Channel_Name[0]);
    WinapiQueueClick(IDC_SETUP_COPY_NAME);
    WinapiQueueType(IDC_SETUP_CHANNEL_NAME, "Own");
    WinapiQueueOk();
    Open(b);
    EXPECT_EQ(0, P(b)->Copy_Channel_Name[0]);
    EXPECT_STREQ("Own", P(b)->Channel_Name[0]);
}

std::vector<DialogType> Outputs() {
    std::vector<DialogType> out;
    for (const DialogType& t : Types())
        if (t.output) out.push_back(t);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Digital, CopyBox, ::testing::ValuesIn(Outputs()), Name);

// The family XX04's module has seven outputs: the eighth button and its
// label are hidden; a mask that holds the eighth channel keeps it.
using ND6055O = DigitalTest;

TEST_F(ND6055O, TheFamilyXX04ShowsSevenButtons) {
    ASSERT_EQ(1, Load(kXX04));
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2997));
    ASSERT_NE(nullptr, b);
    P(b)->Channel_Mask = 0x0081;
    QueueCheck([](HWND d) {
        char caption[64];
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_STREQ("YY04 PAD-DO7", caption);
        EXPECT_TRUE(Visible(d, IDC_CHANNEL_FIRST + 6));
        EXPECT_FALSE(Visible(d, IDC_CHANNEL_FIRST + 7));
        EXPECT_FALSE(Visible(d, IDC_DIGITAL_LABEL7));
        EXPECT_FALSE(Visible(d, IDC_WATCHDOG_BUTTON));
    });
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_EQ(0x0081, P(b)->Channel_Mask);
    EXPECT_EQ(2u, static_cast<UINT>(b->record.uInputs));
}

// The family TELV's relay module has three relays: three buttons, centred
// where the eight were, 3 pixels apart, their labels above them.
using ND6063 = DigitalTest;

TEST_F(ND6063, TheFamilyTelvShowsThreeButtonsCentred) {
    ASSERT_EQ(1, Load(kTelv));
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2971));
    ASSERT_NE(nullptr, b);
    P(b)->Channel_Mask = 0x0005;
    QueueCheck([](HWND d) {
        RECT r[3], l[3];
        for (int k = 0; k < 8; k++) {
            EXPECT_EQ(k < 3, Visible(d, IDC_CHANNEL_FIRST + k)) << k;
            EXPECT_EQ(k < 3, Visible(d, IDC_DIGITAL_LABEL_FIRST + k)) << k;
            if (k >= 3) continue;
            GetWindowRect(GetDlgItem(d, IDC_CHANNEL_FIRST + k), &r[k]);
            GetWindowRect(GetDlgItem(d, IDC_DIGITAL_LABEL_FIRST + k), &l[k]);
        }
        const int w = r[0].right - r[0].left;
        EXPECT_EQ(r[0].left + w + 3, r[1].left);
        EXPECT_EQ(r[1].left + w + 3, r[2].left);
        EXPECT_EQ(r[0].top, r[2].top);
        EXPECT_EQ(r[1].left - r[0].left, l[1].left - l[0].left);
        // The states still follow the mask.
        EXPECT_EQ(1, GetWindowWord(GetDlgItem(d, IDC_CHANNEL_FIRST), 0));
        EXPECT_EQ(0, GetWindowWord(GetDlgItem(d, IDC_CHANNEL_FIRST + 1), 0));
        EXPECT_EQ(2, GetWindowWord(GetDlgItem(d, IDC_CHANNEL_FIRST + 2), 0));
    });
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_EQ(0x0005, P(b)->Channel_Mask);
}

// The input types' watchdog button is the family TELV's only.
using ND6044I = DigitalTest;

TEST_F(ND6044I, TheWatchdogButtonIsTheFamilyTelvsOnly) {
    ASSERT_EQ(1, Load(kXX03));
    hostsim::Block* b = hostsim::CreateBlock(hostsim::FindClassByMenuId(2976));
    ASSERT_NE(nullptr, b);
    QueueCheck([](HWND d) {
        char caption[64];
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_STREQ("XX03-7044-I", caption);
        EXPECT_FALSE(Visible(d, IDC_WATCHDOG_BUTTON));
    });
    WinapiQueueClick(IDC_WATCHDOG_BUTTON);
    WinapiQueueOk();
    hostsim::SendClassMessage(b, MODMSG_SETUP_DIALOG, 0, 0);
    EXPECT_FALSE(WinapiDialogFound("DLG_WATCHDOG"));
}

} // namespace
