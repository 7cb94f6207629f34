// The walk through every dialog of the shipped plug-in (`hostsim dialogs`),
// played headless: each registered class gets a new block and its setup
// dialog, a class whose type is not built yet is listed as skipped, the
// shared dialogs open once, nothing is left open or changed, and the host's
// font reaches the controls. A class registered later joins the walk by its
// registration alone.
#include "plugin_fixture.h"

#include "winapi_headless.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

class Walk : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        std::ofstream ini(dir + "/XX02.ini");
        ini << "[Com Ports]\nNumComPorts=1\nComPort#0=1,3,8,1,0,1\n";
    }
    // Walks and answers the listing.
    std::string Run(hostsim::WalkResult* result, int* answer = nullptr) {
        char* text = nullptr;
        size_t size = 0;
        FILE* listing = open_memstream(&text, &size);
        hostsim::WalkOptions options;
        options.listing = listing;
        int a = hostsim::WalkDialogs(options, plugin.module, result);
        if (answer) *answer = a;
        fclose(listing);
        std::string out(text, size);
        free(text);
        return out;
    }
    std::string Ini() {
        std::ifstream in(dir + "/XX02.ini");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

// The section of the listing that begins with the line starting `head`.
std::string Section(const std::string& listing, const std::string& head) {
    size_t at = listing.find("\n" + head);
    if (at == std::string::npos) return std::string();
    size_t end = listing.find("\n==", at + 1);
    return listing.substr(at + 1, end == std::string::npos ? std::string::npos : end - at);
}

TEST_F(Walk, OpensEveryDialogOnceAndLeavesNothingOpenOrChanged) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    std::string ini = Ini();
    int unfinished = WinapiUnfinishedDialogCount();
    hostsim::WalkResult r;
    int answer = 0;
    std::string listing = Run(&r, &answer);
    EXPECT_EQ(1, answer) << listing;
    EXPECT_EQ(38, r.classes);
    // Every class is walked through its setup dialog or listed as not built;
    // the thermocouple types at least have theirs.
    EXPECT_EQ(38 + r.functionBlocks, r.setupDialogs + r.skipped);
    EXPECT_GE(r.setupDialogs, 2);
    // ND6014 and ND6016 with the blocks of their second and third function.
    EXPECT_EQ(4, r.functionBlocks);
    // Each setup dialog, Measurement with Copy from, the serial ports with
    // their parameters and the monitor (and Watchdog where a type has one).
    int shown = 0;
    for (size_t at = listing.find("\ndialog \""); at != std::string::npos;
         at = listing.find("\ndialog \"", at + 1))
        shown++;
    EXPECT_EQ(shown, r.dialogs);
    EXPECT_GE(r.dialogs, r.setupDialogs + 5);
    EXPECT_EQ(0, r.missing);
    EXPECT_EQ(unfinished, WinapiUnfinishedDialogCount()) << "a dialog waited for a person";

    EXPECT_NE(std::string::npos, listing.find("== class 2991 Q7005_I_MODULE sizes 2096,56,8 name "
                                              "\"Q7005-I-00\""));
    // The creation dialog of a type that asks for the hardware module, as
    // its block is made.
    EXPECT_NE(std::string::npos,
              listing.find("dialog \"Create ZEM 7014\"\ncontrol -1 BUTTON \" Hardware Module \"\n"
                           "control 1330 BUTTON \"New Hardware Module\" checked\n"));
    std::string setup = Section(listing, "== class 2955 Q7018_I_MODULE");
    EXPECT_NE(std::string::npos, setup.find(": setup dialog\ndialog \"ZEMX Q7018-I\"\n"));
    EXPECT_NE(std::string::npos, setup.find("control 1050 COMBOBOX \"COM1\"\n  1 entries, entry 0 "
                                            "selected: \"COM1\"\n"));
    std::string measurement = Section(listing, "== measurement settings");
    EXPECT_NE(std::string::npos,
              measurement.find("control 1011 BUTTON \"Stop Experiment\" checked"));
    EXPECT_NE(std::string::npos, measurement.find("control 1014 BUTTON \"Set Glob. String, #:\" "
                                                  "disabled"));
    // Copy from lists every block the walk made but the blocks of the next
    // functions of a shared module.
    std::string copy = Section(listing, "== copy parameters");
    EXPECT_NE(std::string::npos, copy.find(std::to_string(r.setupDialogs - r.functionBlocks) +
                                           " entries, entry -1 selected: "))
        << copy;
    EXPECT_NE(std::string::npos, copy.find("selected: \"Q7005-I-00\" \"Q7005-R-00\"")) << copy;
    EXPECT_NE(std::string::npos,
              Section(listing, "== serial ports")
                  .find("\"COM1: 9600 Baud, 8 Bit, 1 Stop, No Parity, 4 kByte\""));
    EXPECT_NE(std::string::npos, Section(listing, "== port parameters")
                                     .find("control 1020 COMBOBOX \"COM2\"\n  15 entries"));
    EXPECT_NE(std::string::npos,
              Section(listing, "== RS-232 monitor").find("control 1030 LISTBOX \"\"\n  0 entries"));
    EXPECT_NE(std::string::npos,
              listing.find("== walked 38 classes: " + std::to_string(r.setupDialogs) +
                           " setup dialogs, " + std::to_string(r.skipped) + " skipped; " +
                           std::to_string(r.dialogs) + " dialogs in all, 0 not shown\n"));

    // The port dialogs were cancelled and the monitor switched off again.
    EXPECT_EQ(ini, Ini());
    hostsim::MonitorCounts counts;
    EXPECT_EQ(0, hostsim::MonitorRead(&counts, false));
    // The new blocks stay in the worksheet.
    EXPECT_EQ(r.setupDialogs, hostsim::BlockCount());
}

// The plug-in's dialog font is made by the host: a real font, the dialog's
// own font made regular, handed to the texts and buttons (edits and boxes
// keep the dialog's), and deleted when the plug-in is finished.
struct Fonts {
    LOGFONTA text;
    bool textIsDialogFont;
    bool editIsDialogFont;
    int described;
};
Fonts fonts;

void ReadFonts(HWND dialog, void*) {
    HGDIOBJ own = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HGDIOBJ label = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, 1042, WM_GETFONT, 0, 0));
    HGDIOBJ edit = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dialog, 23018, WM_GETFONT, 0, 0));
    fonts.textIsDialogFont = label == own;
    fonts.editIsDialogFont = edit == own;
    fonts.described = GetObjectA(label, sizeof fonts.text, &fonts.text);
    WinapiUserOk(dialog);
}

TEST_F(Walk, TheHostsFontReachesTheControlsAndGoesAtFinish) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::Block* block = hostsim::CreateBlock(hostsim::FindClassByMenuId(2955));
    ASSERT_NE(nullptr, block);
    fonts = Fonts();
    WinapiQueueCallback(ReadFonts, nullptr);
    EXPECT_EQ(1, hostsim::SendClassMessage(block, MODMSG_SETUP_DIALOG, 0, 0));
    EXPECT_EQ(1, hostsim::StackedObjectsCreated());
    ASSERT_EQ(static_cast<int>(sizeof(LOGFONTA)), fonts.described);
    EXPECT_FALSE(fonts.textIsDialogFont);
    EXPECT_TRUE(fonts.editIsDialogFont);
    EXPECT_STREQ("MS Sans Serif", fonts.text.lfFaceName);
    EXPECT_EQ(-11, fonts.text.lfHeight); // 8 points at 96 dots per inch
    EXPECT_EQ(FW_NORMAL, fonts.text.lfWeight);
    EXPECT_EQ(1, hostsim::FinishPlugin(&plugin));
    EXPECT_EQ(1, hostsim::StackedObjectsDeleted());
    EXPECT_EQ(0, hostsim::ReleaseStackedObjects()); // nothing left for the host
}

// A class registered after the plug-in's own: one that answers with a dialog
// of the plug-in's templates, one that hands everything to the host.
int(WINAPI* performDefault)(ModuleRecord*, UINT, WPARAM, LPARAM);
HINSTANCE pluginInstance;

INT_PTR CALLBACK LaterDialog(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int MODULE_CALL LaterClassProc(ModuleRecord* module, int msg, int, int) {
    if (msg == MODMSG_CREATE) return 1;
    if (msg == MODMSG_SETUP_DIALOG)
        return static_cast<int>(
            DialogBoxParamA(pluginInstance, "DLG_ND6018", module->hwndModule, LaterDialog, 0));
    return 0;
}

int MODULE_CALL NotYetClassProc(ModuleRecord* module, int msg, int wParam, int lParam) {
    return performDefault(module, static_cast<UINT>(msg), static_cast<WPARAM>(wParam),
                          static_cast<LPARAM>(lParam));
}

void Register(const char* name, int menuId, ModuleClassProc proc) {
    ModuleClassRecord r;
    memset(&r, 0, sizeof r);
    r.hInstance = pluginInstance;
    r.pszClassName = name;
    r.uParamSize = 64;
    r.uRuntimeSize = 16;
    r.uChannelDataSize = 8;
    r.uMenuId = menuId;
    r.pszDefaultName = name;
    r.pszDescription = "later";
    r.pszHelpFile = "";
    r.pfnClassProc = proc;
    ASSERT_EQ(1, hostsim::RegisterClassRecord(&r));
}

TEST_F(Walk, AClassRegisteredLaterJoinsByItsRegistrationAlone) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    pluginInstance = reinterpret_cast<HINSTANCE>(plugin.module);
    performDefault = reinterpret_cast<int(WINAPI*)(ModuleRecord*, UINT, WPARAM, LPARAM)>(
        SendMessageA(hostsim::MainWindow(), HOSTMSG_GET_FUNCTION, 0,
                     reinterpret_cast<LPARAM>("PerformDefaultAction")));
    ASSERT_NE(nullptr, performDefault);
    Register("LATER_MODULE", 9001, LaterClassProc);
    Register("NOT_YET_MODULE", 9002, NotYetClassProc);
    hostsim::WalkResult r;
    std::string listing = Run(&r);
    EXPECT_EQ(40, r.classes);
    EXPECT_EQ(40 + r.functionBlocks, r.setupDialogs + r.skipped);
    EXPECT_GE(r.skipped, 1); // NOT_YET_MODULE at least
    EXPECT_EQ(0, r.missing);
    std::string later = Section(listing, "== class 9001 LATER_MODULE");
    EXPECT_NE(std::string::npos,
              later.find(": setup dialog\ndialog \"XX02 Module ND-6018 (Thermocouple "
                         "Measurement)\"\n"))
        << later;
    EXPECT_NE(std::string::npos, listing.find("9002 NOT_YET_MODULE sizes 64,16,8 name "
                                              "\"NOT_YET_MODULE\" description \"later\" help 0  "
                                              "icon none symbol none: skipped, not built"));
}

// Only the class asked for: one setup dialog, and the other dialogs still.
TEST_F(Walk, OnlyOneClassWhenAsked) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::WalkResult r;
    char* text = nullptr;
    size_t size = 0;
    FILE* listing = open_memstream(&text, &size);
    hostsim::WalkOptions options;
    options.listing = listing;
    options.onlyMenuIds = {2956};
    EXPECT_EQ(1, hostsim::WalkDialogs(options, plugin.module, &r));
    fclose(listing);
    std::string out(text, size);
    free(text);
    EXPECT_EQ(1, r.classes);
    EXPECT_EQ(1, r.setupDialogs);
    // A second block of the class, so Copy from has a block to copy from.
    EXPECT_NE(std::string::npos, out.find(": a second block, to copy settings from\n"));
    EXPECT_EQ(2, hostsim::BlockCount());
    EXPECT_EQ(6, r.dialogs);
}

} // namespace
