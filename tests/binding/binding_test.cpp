// The plug-in binds to its host: names resolved in order, DLL variables,
// family from the library's own file name, menu, commands, finish.
#include "../common/remove_tree.h"
#include "hostsim/hostsim.h"
#include "winapi_headless.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

std::string MakeTempDir() {
    char tmpl[] = "/tmp/telvio-binding-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

void CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

class Binding : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = MakeTempDir();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        WinapiHelpCallsClear();
    }
    void TearDown() override {
        if (plugin.module) hostsim::UnloadPlugin(&plugin);
        RemoveTree(dir);
    }
    // Copies the plug-in to dir/sub/name and binds it.
    int Bind(const std::string& name, const std::string& sub = "") {
        std::string folder = dir;
        if (!sub.empty()) {
            folder += "/" + sub;
            mkdir(folder.c_str(), 0755);
        }
        std::string path = folder + "/" + name;
        CopyFile(TELVIO_PLUGIN, path);
        if (!hostsim::LoadPlugin(path.c_str(), &plugin)) return -1;
        return plugin.setupResult;
    }
    std::string MenuTitleAt3() {
        char text[64] = "";
        GetMenuStringA(hostsim::MainMenu(), 3, text, sizeof text, MF_BYPOSITION);
        return text;
    }
    bool CommandRegistered(UINT id) {
        for (const auto& e : hostsim::MenuEntries()) {
            if (e.id == id) return true;
        }
        return false;
    }
    std::string HelpFileOfFamily() {
        WinapiHelpCallsClear();
        if (!hostsim::ChooseMenuCommand(4992)) return "no help command";
        WinapiHelpCall c;
        if (!WinapiHelpCallAt(0, &c)) return "no help call";
        std::string file = c.file;
        return file.substr(file.find_last_of("/\\") + 1);
    }

    std::string dir;
    hostsim::Plugin plugin;
};

struct FamilyCase {
    const char* fileName;
    const char* folder;
    const char* menuTitle;
    const char* helpFile;
    bool extraCommand;
};

const FamilyCase kFamilies[] = {
    {"Telvio.so", "", "Telvio", "Evehzem.hlp", false},
    {"telvio.dll", "", "Telvio", "Evehzem.hlp", false},
    {"TELVIO.DLL", "", "Telvio", "Evehzem.hlp", false},
    {"tElV.dll", "", "Telvio", "Evehzem.hlp", false},
    {"xx04driver.dll", "", "placeholder", "ZivaXX04.hlp", true},
    {"XX01.dll", "", "placeholder", "ZivaXX01.hlp", false},
    {"xx03.dll", "", "placeholder", "ZivaXX03.hlp", false},
    {"XX05abc.dll", "", "placeholder", "Evehomr.hlp", false},
    {"xx06.dll", "", "placeholder", "Evehsup.hlp", false},
    {"tel.dll", "", "placeholder", "Evehdflt.hlp", false},
    {"abc", "", "placeholder", "Evehdflt.hlp", false},
    {"other.dll", "TELV", "placeholder", "Evehdflt.hlp", false},
    {"other.dll", "telvio", "placeholder", "Evehdflt.hlp", false},
};

class FamilyByName : public Binding, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(FamilyByName, SelectsMenuCommandsAndHelpFile) {
    const FamilyCase& c = GetParam();
    ASSERT_EQ(1, Bind(c.fileName, c.folder));
    EXPECT_EQ(c.menuTitle, MenuTitleAt3());
    EXPECT_TRUE(CommandRegistered(4991));
    EXPECT_TRUE(CommandRegistered(4992));
    EXPECT_EQ(c.extraCommand, CommandRegistered(4993));
    EXPECT_EQ(c.helpFile, HelpFileOfFamily());
}

INSTANTIATE_TEST_SUITE_P(Names, FamilyByName, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) {
                             std::string n = std::to_string(info.index) + "_";
                             for (const char* p = info.param.fileName; *p; p++) {
                                 n += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return n;
                         });

TEST_F(Binding, HostNamesAreAskedInOrderWithTheirMessages) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    std::vector<std::string> asked = hostsim::NamesAskedInOrder();
    ASSERT_EQ(165u, asked.size());
    EXPECT_EQ("hInstVarnix", asked[0]);
    EXPECT_EQ("&nWindowOrder", asked[59]);
    EXPECT_EQ("NewMemAlloc", asked[60]);
    EXPECT_EQ("GlvoModuleNotifyGlobalVar", asked[164]);
}

TEST_F(Binding, AnUnknownNameRefusesTheHostAndStopsAsking) {
    struct {
        const char* name;
        int asked;
    } cases[] = {{"hInstVarnix", 1},
                 {"&nWindowOrder", 60},
                 {"NewMemAlloc", 61},
                 {"TimeBaseDialog", 164},
                 {"GlvoModuleNotifyGlobalVar", 165}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetNameUnknown(c.name);
        ASSERT_EQ(0, Bind(std::string("Telvio-") + std::to_string(c.asked) + ".so"));
        EXPECT_EQ(c.asked, hostsim::NamesAsked());
        EXPECT_EQ(0, hostsim::DllModuleDefined());
        EXPECT_TRUE(hostsim::DllVariables().empty());
        EXPECT_EQ(5, GetMenuItemCount(hostsim::MainMenu())) << "no menu inserted";
        hostsim::UnloadPlugin(&plugin);
    }
}

TEST_F(Binding, AFlagOfZeroStillBinds) {
    const char* flags[] = {
        "bDateDayLeadingZero", "bDateMonthLeadingZero", "bDateYearLong", "wDateFormat", "bTime24h",
        "bTimeLeadingZero",    "bDecLeadingZero"};
    for (const char* f : flags) {
        SCOPED_TRACE(f);
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetVariableValue(f, 0);
        ASSERT_EQ(1, Bind(std::string("Telvio-") + f + ".so"));
        EXPECT_EQ(165, hostsim::NamesAsked());
        hostsim::UnloadPlugin(&plugin);
    }
}

TEST_F(Binding, DllVariablesAreOfferedInOrderWithTheirSizes) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    EXPECT_EQ(1, hostsim::DllModuleDefined());
    const auto& v = hostsim::DllVariables();
    const char* names[] = {"fGlobalMilliSecondsPerSample",
                           "uiGlobalBlockSize",
                           "bAnimation",
                           "bExperimentIsRunning",
                           "bExperimentIsPaused",
                           "dwExperimentStartTimeTicks",
                           "BBoxModul"};
    ASSERT_EQ(7u, v.size());
    for (size_t i = 0; i < 7; i++) {
        EXPECT_EQ(names[i], v[i].name);
        EXPECT_EQ(i == 0 ? 8 : 4, v[i].size);
        EXPECT_NE(nullptr, v[i].address);
    }
    // The host writes them through the addresses it was given.
    double ms = 250.0;
    EXPECT_EQ(1, hostsim::WriteDllVariable("fGlobalMilliSecondsPerSample", &ms, 8));
    EXPECT_EQ(250.0, *static_cast<double*>(v[0].address));
    unsigned block = 50;
    EXPECT_EQ(1, hostsim::WriteDllVariable("uiGlobalBlockSize", &block, 4));
    EXPECT_EQ(0, hostsim::WriteDllVariable("uiGlobalBlockSize", &ms, 8)) << "size must match";
}

TEST_F(Binding, RefusedDllModuleEndsTheSetUp) {
    hostsim::RefuseDefineDllModule(true);
    EXPECT_EQ(0, Bind("Telvio.so"));
    EXPECT_TRUE(hostsim::DllVariables().empty());
    EXPECT_TRUE(hostsim::MenuEntries().empty());
}

TEST_F(Binding, RefusedDllVariableEndsTheSetUpAndKeepsTheEarlierOnes) {
    hostsim::RefuseDllVariable("bAnimation");
    EXPECT_EQ(0, Bind("Telvio.so"));
    ASSERT_EQ(2u, hostsim::DllVariables().size());
    EXPECT_EQ("uiGlobalBlockSize", hostsim::DllVariables()[1].name);
    EXPECT_TRUE(hostsim::MenuEntries().empty()) << "no family chosen, no commands";
    EXPECT_EQ(5, GetMenuItemCount(hostsim::MainMenu()));
}

TEST_F(Binding, TelvioMenuIsInsertedAtPositionThree) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    HMENU main = hostsim::MainMenu();
    ASSERT_EQ(6, GetMenuItemCount(main));
    EXPECT_EQ("Telvio", MenuTitleAt3());
    HMENU popup = GetSubMenu(main, 3);
    ASSERT_NE(nullptr, popup);
    char text[64];
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&Serial Port Configurtion", text);
    EXPECT_EQ(4991u, GetMenuItemID(popup, 0));
    EXPECT_EQ(3, GetMenuItemCount(popup));
    // A block type's item carries its menu id.
    GetMenuStringA(popup, 2955, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("Q-7018", text);
    // The host's own menus keep their order around it.
    GetMenuStringA(main, 4, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&Window", text);
}

TEST_F(Binding, OtherFamiliesInsertAPlaceholderWithoutSubmenu) {
    ASSERT_EQ(1, Bind("xx01.dll"));
    EXPECT_EQ("placeholder", MenuTitleAt3());
    EXPECT_EQ(nullptr, GetSubMenu(hostsim::MainMenu(), 3));
}

TEST_F(Binding, WindowClassesOfTheControlsLiveFromSetUpToFinish) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(plugin.module);
    for (const char* name : {"VUV:CONTROLKANAL", "VUV:CONTROLLESSMORE"}) {
        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(inst, name, &wc)) << name;
        EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), wc.style);
        EXPECT_EQ(2, wc.cbWndExtra);
        EXPECT_EQ(0, wc.cbClsExtra);
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
        EXPECT_EQ(GetStockObject(DKGRAY_BRUSH), wc.hbrBackground);
    }
    typedef int(WINAPI * FinishProc)(DWORD);
    FinishProc finish = reinterpret_cast<FinishProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin.module, "FinishVarnixDLL")));
    ASSERT_NE(nullptr, finish);
    EXPECT_EQ(1, finish(12345));
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(inst, "VUV:CONTROLKANAL", &wc));
    EXPECT_FALSE(GetClassInfoA(inst, "VUV:CONTROLLESSMORE", &wc));
}

TEST_F(Binding, FinishWithoutADialogReleasesNoFont) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    EXPECT_EQ(1, hostsim::FinishPlugin(&plugin));
    EXPECT_EQ(0, hostsim::StackedObjectsDeleted());
}

TEST_F(Binding, WepDoesNothingAndAnswersOne) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    typedef int(WINAPI * WepProc)(DWORD);
    WepProc wep =
        reinterpret_cast<WepProc>(reinterpret_cast<void*>(GetProcAddress(plugin.module, "WEP")));
    ASSERT_NE(nullptr, wep);
    int asked = hostsim::NamesAsked();
    EXPECT_EQ(1, wep(7));
    EXPECT_EQ(asked, hostsim::NamesAsked());
}

TEST_F(Binding, DriverHelpOpensTheFamilyFileInTheHostFolder) {
    ASSERT_EQ(1, Bind("Telvio.so"));
    ASSERT_TRUE(hostsim::ChooseMenuCommand(4992));
    WinapiHelpCall c;
    ASSERT_TRUE(WinapiHelpCallAt(0, &c));
    EXPECT_EQ(hostsim::MainWindow(), c.hwnd);
    EXPECT_EQ(dir + "/Evehzem.hlp", c.file);
    EXPECT_EQ(static_cast<UINT>(HELP_CONTENTS), c.command);
    EXPECT_EQ(0u, c.data);
}

TEST_F(Binding, AHostFolderTooLongForTheHelpPathOpensNothing) {
    // A Windows path holds at most MAX_PATH characters; the help name does not fit.
    std::string longDir = "/" + std::string(250, 'd') + "/";
    ASSERT_EQ(1, Bind("Telvio.so"));
    hostsim::SetExeFileDir(longDir.c_str());
    ASSERT_TRUE(hostsim::ChooseMenuCommand(4992));
    EXPECT_EQ(0, WinapiHelpCallCount());
}

// The file name is read into 256 characters: a longer path is cut, and the
// cut text still ends the name, so a path at the limit cannot run on.
TEST_F(Binding, LibraryPathAtTheLimitStillGivesATerminatedName) {
    // "Z:" + dir + "/" + padding folders + "/Telvio.so"
    std::string base = dir;
    std::string prefix = "Z:" + base + "/";
    struct {
        int cut; // characters of the file name that fit in 255
        const char* title;
    } cases[] = {{3, "placeholder"}, {4, "Telvio"}, {9, "Telvio"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cut);
        ASSERT_TRUE(hostsim::Start());
        // Choose a folder so that exactly c.cut characters of the name fit.
        int folderLen = 255 - c.cut - static_cast<int>(prefix.size()) - 1;
        ASSERT_GT(folderLen, 10);
        std::string folder =
            std::to_string(c.cut) +
            std::string(static_cast<size_t>(folderLen) - std::to_string(c.cut).size(), 'p');
        EXPECT_EQ(1, Bind("Telvio.so", folder));
        EXPECT_EQ(c.title, MenuTitleAt3());
        hostsim::UnloadPlugin(&plugin);
    }
}

} // namespace
