// The layout check of the dialog walk on setup dialogs of the shipped
// plug-in, as the stand-in host opens them: each dialog passes as it ships,
// and fails once a control is put back where an earlier template had it (the
// button column of ND6022 over its Test button and slew rate box, the
// channels' group of ND6014 ending in its Unit row) or moved out of the
// dialog, and when the type's text names fewer channels than it offers.
#include "plugin_fixture.h"

#include "resource.h"

#include <stdio.h>

#include <string>

namespace {

// What a case does to the open dialog before the second check.
enum Change { kButtonColumnAt224, kChannelsGroup72High, kNameEditOutside, kFewerChannelsNamed };

struct Case {
    const char* name;
    const char* plugin; // the family's file name
    int menuId;
    Change change;
    const char* fault; // a part of the fault line the check writes
};

const Case kCases[] = {
    {"ND6022 Test under Help", "Telvio.so", 2967, kButtonColumnAt224,
     "control 1052 BUTTON \"Test\""},
    {"ND6022 slew rate under Measurement", "Telvio.so", 2967, kButtonColumnAt224,
     "control 1055 COMBOBOX"},
    {"ND6024 Test under Help", "Ndxx.so", 2968, kButtonColumnAt224,
     "and control 9 BUTTON \"Help\""},
    {"ND6014 Unit row through the channels' group", "Telvio.so", 2989, kChannelsGroup72High,
     "runs through the edge of group box"},
    {"ND6018 name edit outside", "Telvio.so", 2955, kNameEditOutside, "lies outside the dialog"},
    {"ND6053 more buttons than channels", "Telvio.so", 2972, kFewerChannelsNamed,
     "offers 16 channel buttons for \"ND6053 8 Digital Input\""},
};

struct Seen {
    const Case* c = nullptr;
    int shipped = -1; // faults of the dialog as it ships
    int changed = -1; // after the change
    std::string report;
};
Seen seen;

// Moves the control to x, y (dialog units), keeping its size.
void MoveTo(HWND dialog, int id, int x, int y) {
    RECT r = {x, y, 0, 0};
    MapDialogRect(dialog, &r);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The group box with the caption; nullptr when the dialog has none.
struct Finding {
    const char* caption;
    HWND found;
};
BOOL CALLBACK FindCaption(HWND control, LPARAM param) {
    Finding* f = reinterpret_cast<Finding*>(param);
    char text[64];
    GetWindowTextA(control, text, sizeof text);
    if (std::string(text) != f->caption) return TRUE;
    f->found = control;
    return FALSE;
}
HWND GroupBox(HWND dialog, const char* caption) {
    Finding f = {caption, nullptr};
    EnumChildWindows(dialog, FindCaption, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

int Check(HWND dialog, const std::string& description, std::string* report) {
    FILE* f = tmpfile();
    int faults = hostsim::CheckDialogLayout(dialog, "case", description, f);
    rewind(f);
    char line[512];
    while (fgets(line, sizeof line, f))
        *report += line;
    fclose(f);
    return faults;
}

void Step(HWND dialog) {
    const Case& c = *seen.c;
    const hostsim::ModuleClass* mc = hostsim::FindClassByMenuId(c.menuId);
    std::string description = mc->description;
    seen.shipped = Check(dialog, description, &seen.report);
    switch (c.change) {
    case kButtonColumnAt224: // as the template had it before
        MoveTo(dialog, IDOK, 224, 8);
        MoveTo(dialog, IDCANCEL, 224, 26);
        MoveTo(dialog, IDHELP, 224, 44);
        MoveTo(dialog, IDC_SETUP_MEASUREMENT, 224, 70);
        break;
    case kChannelsGroup72High: {
        HWND group = GroupBox(dialog, " Channels ");
        RECT r = {0, 0, 208, 72};
        MapDialogRect(dialog, &r);
        SetWindowPos(group, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    case kNameEditOutside: MoveTo(dialog, IDC_SETUP_NAME, 300, 8); break;
    case kFewerChannelsNamed: description = "ND6053 8 Digital Input"; break;
    }
    seen.changed = Check(dialog, description, &seen.report);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

class Layout : public PluginTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Layout, TheShippedDialogPassesAndTheChangedOneFails) {
    const Case& c = GetParam();
    ASSERT_EQ(1, Bind(c.plugin));
    const hostsim::ModuleClass* mc = hostsim::FindClassByMenuId(c.menuId);
    ASSERT_NE(nullptr, mc) << c.name;
    hostsim::AnswerCreationDialogs([](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    hostsim::Block* block = hostsim::CreateBlock(mc);
    hostsim::AnswerCreationDialogs(nullptr);
    ASSERT_NE(nullptr, block);
    seen = Seen();
    seen.c = &c;
    hostsim::QueueDialogStep(IDC_SETUP_NAME, Step);
    hostsim::SendClassMessage(block, MODMSG_SETUP_DIALOG, 0, 0);
    ASSERT_EQ(1, hostsim::DialogStepRan()) << c.name;
    EXPECT_EQ(0, seen.shipped) << c.name << ":\n" << seen.report;
    EXPECT_GT(seen.changed, 0) << c.name;
    EXPECT_NE(std::string::npos, seen.report.find(c.fault)) << c.name << ":\n" << seen.report;
    hostsim::FinishPlugin(&plugin);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Layout, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; p++)
                                 if (isalnum(static_cast<unsigned char>(*p))) n += *p;
                             return n;
                         });

} // namespace
