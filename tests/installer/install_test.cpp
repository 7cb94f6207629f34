// The installer on the headless Win32 layer: where the files go, and the
// whole program run as a user runs it (the file dialog answered, the error
// message read back) on real files in a folder of the test's own.
#include "installer/inilink.h"
#include "installer/install.h"

#include <windows.h>

#include <commdlg.h>

#include "winapi_headless.h"

#include "tests/winapi_kernel32/temp_dir.h"

#include <dirent.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---- Where the files go ----

struct FolderCase {
    const char* iniFile;
    int ok;
    const char* folder;
};

const FolderCase kFolders[] = {
    {"D:\\Apps\\Host\\Varnix.ini", 1, "D:\\Apps\\Host\\"},
    // The file's name in another case, or another name: still its folder.
    {"D:\\Apps\\Host\\VARNIX.INI", 1, "D:\\Apps\\Host\\"},
    {"D:\\Apps\\Host\\varnix.ini", 1, "D:\\Apps\\Host\\"},
    {"D:\\Apps\\Host\\Other.ini", 1, "D:\\Apps\\Host\\"},
    // The name in the folder's path stays there.
    {"C:\\Varnix.ini\\Varnix.ini", 1, "C:\\Varnix.ini\\"},
    {"C:\\Varnix.ini", 1, "C:\\"},
    {"\\\\lab\\share\\Varnix\\Varnix.ini", 1, "\\\\lab\\share\\Varnix\\"},
    {"Z:/work/host/Varnix.ini", 1, "Z:/work/host/"},
    {"C:\\Program Files\\Varnix/Varnix.ini", 1, "C:\\Program Files\\Varnix/"},
    // No file, or no folder to put the copies in.
    {"", 0, ""},
    {"Varnix.ini", 0, ""},
    {"C:\\Host\\", 0, ""},
};

TEST(InstallTargetFolder, IsTheFolderOfTheChosenFileWhateverItsName) {
    for (const FolderCase& c : kFolders) {
        char folder[MAX_PATH] = "junk";
        EXPECT_EQ(c.ok, InstallTargetFolder(c.iniFile, folder, sizeof folder)) << c.iniFile;
        EXPECT_STREQ(c.folder, folder) << c.iniFile;
    }
    char folder[8] = "junk";
    EXPECT_EQ(0, InstallTargetFolder(nullptr, folder, sizeof folder));
    EXPECT_STREQ("", folder);
}

TEST(InstallTargetFolder, AFolderThatDoesNotFitIsRefused) {
    char folder[8];
    EXPECT_EQ(1, InstallTargetFolder("C:\\abc\\Varnix.ini", folder, sizeof folder));
    EXPECT_STREQ("C:\\abc\\", folder);
    EXPECT_EQ(0, InstallTargetFolder("C:\\abcd\\Varnix.ini", folder, sizeof folder));
    EXPECT_STREQ("", folder);
}

TEST(InstallMakePlan, CopiesFromTheShippedFolderIntoTheIniFilesFolder) {
    InstallPlan plan;
    ASSERT_EQ(1, InstallMakePlan("D:\\Apps\\Host\\VARNIX.INI", nullptr, &plan));
    EXPECT_STREQ("D:\\Apps\\Host\\VARNIX.INI", plan.IniFile);
    EXPECT_STREQ("D:\\Apps\\Host\\", plan.Folder);
    EXPECT_STREQ("C:\\Ardane\\TRAX Varnix\\Driver\\Telvio.dll", plan.Copies[0].Source);
    EXPECT_STREQ("D:\\Apps\\Host\\Telvio.dll", plan.Copies[0].Target);
    EXPECT_STREQ("C:\\Ardane\\TRAX Varnix\\Manual\\EVEHZEM.HLP", plan.Copies[1].Source);
    EXPECT_STREQ("D:\\Apps\\Host\\EVEHZEM.HLP", plan.Copies[1].Target);
}

TEST(InstallMakePlan, AnotherSourceFolderWithOrWithoutItsSeparator) {
    const char* const folders[] = {"E:\\Setup", "E:\\Setup\\"};
    for (const char* folder : folders) {
        InstallPlan plan;
        ASSERT_EQ(1, InstallMakePlan("D:\\Host\\Varnix.ini", folder, &plan)) << folder;
        EXPECT_STREQ("E:\\Setup\\Driver\\Telvio.dll", plan.Copies[0].Source) << folder;
        EXPECT_STREQ("E:\\Setup\\Manual\\EVEHZEM.HLP", plan.Copies[1].Source) << folder;
    }
}

TEST(InstallMakePlan, NamesTooLongForAPathAreRefused) {
    InstallPlan plan;
    // The INI file's name fits, the help file's name beside it does not.
    std::string folder = "D:\\" + std::string(MAX_PATH - 10, 'h') + "\\";
    std::string ini = folder + "V.ini";
    ASSERT_LT(ini.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(0, InstallMakePlan(ini.c_str(), nullptr, &plan));
    std::string longIni = "D:\\Host\\" + std::string(MAX_PATH, 'v') + ".ini";
    EXPECT_EQ(0, InstallMakePlan(longIni.c_str(), nullptr, &plan));
    std::string longSource = "E:\\" + std::string(MAX_PATH - 10, 's');
    EXPECT_EQ(0, InstallMakePlan("D:\\Host\\Varnix.ini", longSource.c_str(), &plan));
    EXPECT_EQ(0, InstallMakePlan("D:\\Host\\Varnix.ini", "", &plan));
}

// ---- The arguments ----

struct ArgsCase {
    std::vector<const char*> argv;
    int ok;
    const char* ini;
    const char* source;
    const char* wrong = nullptr;
};

TEST(InilinkParseArgs, NamesTheIniFileAndTheSourceFolder) {
    const ArgsCase cases[] = {
        {{}, 1, nullptr, nullptr},
        {{"--ini", "D:\\Host\\Varnix.ini"}, 1, "D:\\Host\\Varnix.ini", nullptr},
        {{"--source", "E:\\Setup"}, 1, nullptr, "E:\\Setup"},
        {{"--source", "E:\\S", "--ini", "D:\\V.ini"}, 1, "D:\\V.ini", "E:\\S"},
        {{"--ini"}, 0, nullptr, nullptr, "--ini"},
        {{"--ini", ""}, 0, nullptr, nullptr, "--ini"},
        {{"--ini", "a.ini", "--ini", "b.ini"}, 0, nullptr, nullptr, "--ini"},
        {{"D:\\Host\\Varnix.ini"}, 0, nullptr, nullptr, "D:\\Host\\Varnix.ini"},
        {{"/ini", "D:\\Host\\Varnix.ini"}, 0, nullptr, nullptr, "/ini"},
    };
    for (const ArgsCase& c : cases) {
        std::vector<char*> argv;
        for (const char* a : c.argv)
            argv.push_back(const_cast<char*>(a));
        InilinkArgs args;
        int ok = InilinkParseArgs(static_cast<int>(argv.size()), argv.data(), &args);
        EXPECT_EQ(c.ok, ok) << c.argv.size() << " arguments";
        // A refusal names the first argument it could not take.
        EXPECT_STREQ(c.wrong, args.Wrong) << c.argv.size() << " arguments";
        if (!ok || !c.ok) continue;
        EXPECT_STREQ(c.ini, args.IniFile);
        EXPECT_STREQ(c.source, args.SourceFolder);
    }
}

// ---- The program on real files ----

void removeTree(const std::string& path) {
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
}

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* d = opendir(path.c_str())) {
        while (dirent64* e = readdir64(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

const char kPluginBytes[] = "MZ\x90\0\3\0\0\0 Telvio\r\n\x1a";
const std::string kPlugin(kPluginBytes, sizeof kPluginBytes - 1);
const std::string kHostIni = "[Varnix]\r\nVersion=5.1\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\n"
                             "[Recent Files]\r\nFile1=D:\\oven.wks\r\n";
const std::string kInstalledIni = "[Varnix]\r\nVersion=5.1\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\n"
                                  "DLL8=Telvio.DLL\r\n[Recent Files]\r\nFile1=D:\\oven.wks\r\n";

// A source folder as shipped (the plug-in in Driver, the help file in
// Manual) and a host folder with its INI file.
class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        WinapiDialogsReset();
        ASSERT_FALSE(dir_.path().empty());
        source_ = dir_.file("TRAX Varnix");
        host_ = dir_.file("Host");
        ASSERT_EQ(0, mkdir(source_.c_str(), 0755));
        ASSERT_EQ(0, mkdir((source_ + "/Driver").c_str(), 0755));
        ASSERT_EQ(0, mkdir((source_ + "/Manual").c_str(), 0755));
        ASSERT_EQ(0, mkdir(host_.c_str(), 0755));
        writeText(source_ + "/Driver/Telvio.dll", kPlugin);
        help_ = fileText(TELVIO_TEST_HELP_FILE);
        ASSERT_FALSE(help_.empty());
        writeText(source_ + "/Manual/EVEHZEM.HLP", help_);
        writeText(host_ + "/Varnix.ini", kHostIni);
    }
    void TearDown() override { WinapiDialogsReset(); }

    // The program as a user starts it: the dialog answered with `chosen`
    // (null: cancelled).
    int runWithDialog(const char* chosen) {
        WinapiQueueFileName(chosen);
        WinapiQueueMessageBoxAnswer(IDOK);
        InilinkArgs args = {nullptr, source_.c_str(), nullptr};
        return Form_Load(&args);
    }
    int runUnattended(const std::string& ini) {
        InilinkArgs args = {ini.c_str(), source_.c_str(), nullptr};
        return Form_Load(&args);
    }
    void expectOneErrorMessage() {
        ASSERT_EQ(1, WinapiMessageBoxCount());
        WinapiMessageBoxCall box;
        ASSERT_EQ(1, WinapiMessageBoxAt(0, &box));
        EXPECT_STREQ("Fatal Error!!", box.caption);
        EXPECT_STREQ("Driver cannt find the Varnix.ini .Please modify the file in correct "
                     "directory by manual",
                     box.text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.type);
    }
    void expectHostUntouched() {
        EXPECT_EQ(std::vector<std::string>{"Varnix.ini"}, folderEntries(host_));
        EXPECT_EQ(kHostIni, fileText(host_ + "/Varnix.ini"));
    }

    TempDir dir_;
    std::string source_, host_, help_;
};

TEST_F(Installer, CopiesBesideTheChosenIniFileAndRegistersThePlugin) {
    EXPECT_EQ(INILINK_INSTALLED, runWithDialog((host_ + "/Varnix.ini").c_str()));
    EXPECT_EQ(kPlugin, fileText(host_ + "/Telvio.dll"));
    EXPECT_EQ(help_, fileText(host_ + "/EVEHZEM.HLP"));
    EXPECT_EQ(kInstalledIni, fileText(host_ + "/Varnix.ini"));
    EXPECT_EQ(0, WinapiMessageBoxCount());
}

TEST_F(Installer, TheDialogAsksWithTheInstallersTexts) {
    runWithDialog((host_ + "/Varnix.ini").c_str());
    ASSERT_EQ(1, WinapiFileDialogCount());
    WinapiFileDialogCall call;
    ASSERT_EQ(1, WinapiFileDialogAt(0, &call));
    EXPECT_EQ(0, call.save);
    EXPECT_STREQ("Please select the \"Varnix.ini\"  in Varnix directory ...      ", call.title);
    EXPECT_STREQ("Varnix.ini", call.initialFile);
    EXPECT_STREQ("Varnix.ini|Varnix.ini|", call.filter);
    EXPECT_STREQ("C:\\Program Files\\", call.initialDir);
    EXPECT_STREQ("exe", call.defExt);
    EXPECT_GE(call.maxFile, static_cast<DWORD>(MAX_PATH));
    // An INI file that is not there yet may be named: the entry makes it.
    EXPECT_EQ(0u, call.flags & OFN_FILEMUSTEXIST);
}

// An INI file not there yet, chosen in the dialog, is made by the entry.
TEST_F(Installer, AnIniFileNotThereYetIsMadeByTheEntry) {
    EXPECT_EQ(INILINK_INSTALLED, runWithDialog((host_ + "/New.ini").c_str()));
    EXPECT_EQ((std::vector<std::string>{"EVEHZEM.HLP", "New.ini", "Telvio.dll", "Varnix.ini"}),
              folderEntries(host_));
    EXPECT_EQ("[Extend]\r\nDLL8=Telvio.DLL\r\n", fileText(host_ + "/New.ini"));
    EXPECT_EQ(kHostIni, fileText(host_ + "/Varnix.ini"));
    EXPECT_EQ(0, WinapiMessageBoxCount());
}

// The INI file's name in another case: the copies still go into its folder,
// not to names that begin with the file's name.
TEST_F(Installer, TheIniFilesNameInAnotherCaseLeavesTheFolderAlone) {
    ASSERT_EQ(0, rename((host_ + "/Varnix.ini").c_str(), (host_ + "/VARNIX.INI").c_str()));
    EXPECT_EQ(INILINK_INSTALLED, runWithDialog((host_ + "/VARNIX.INI").c_str()));
    EXPECT_EQ((std::vector<std::string>{"EVEHZEM.HLP", "Telvio.dll", "VARNIX.INI"}),
              folderEntries(host_));
    EXPECT_EQ(kInstalledIni, fileText(host_ + "/VARNIX.INI"));
}

struct IniCase {
    const char* name;
    const char* before;
    const char* after;
};

// What the entry does to the host's INI file: only its own line changes.
const IniCase kIniFiles[] = {
    {"an earlier value is replaced in place",
     "[Varnix]\r\nVersion=5.1\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\nDLL8=Oldtel.DLL\r\n"
     "DLL9=Plotx.DLL\r\n",
     "[Varnix]\r\nVersion=5.1\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\nDLL8=Telvio.DLL\r\n"
     "DLL9=Plotx.DLL\r\n"},
    {"section and key in another case are the same ones",
     "[extend]\r\ndll8=Oldtel.DLL\r\n[Paths]\r\nData=D:\\Data\r\n",
     "[extend]\r\ndll8=Telvio.DLL\r\n[Paths]\r\nData=D:\\Data\r\n"},
    {"DLL8 of another section stays",
     "[Plugins]\r\nDLL8=Other.DLL\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\n\r\n[Paths]\r\n"
     "Data=D:\\Data\r\n",
     "[Plugins]\r\nDLL8=Other.DLL\r\n[Extend]\r\nDLL1=Mathpack.DLL\r\nDLL8=Telvio.DLL\r\n"
     "\r\n[Paths]\r\nData=D:\\Data\r\n"},
    {"comments, blanks and lines without a key stay",
     "; Varnix settings\r\n[Varnix]\r\nVersion = 5.1\r\nNoKey\r\n[Extend]\r\n;DLL8=Off.DLL\r\n"
     "DLL8 = Oldtel.DLL\r\n",
     "; Varnix settings\r\n[Varnix]\r\nVersion = 5.1\r\nNoKey\r\n[Extend]\r\n;DLL8=Off.DLL\r\n"
     "DLL8=Telvio.DLL\r\n"},
    {"no section yet", "[Varnix]\r\nVersion=5.1\r\n",
     "[Varnix]\r\nVersion=5.1\r\n[Extend]\r\nDLL8=Telvio.DLL\r\n"},
    {"an empty file", "", "[Extend]\r\nDLL8=Telvio.DLL\r\n"},
    {"no file yet: the entry makes it", nullptr, "[Extend]\r\nDLL8=Telvio.DLL\r\n"},
};

TEST_F(Installer, TheEntryChangesOnlyItsOwnLine) {
    for (const IniCase& c : kIniFiles) {
        if (c.before)
            writeText(host_ + "/Varnix.ini", c.before);
        else
            ASSERT_EQ(0, remove((host_ + "/Varnix.ini").c_str())) << c.name;
        EXPECT_EQ(INILINK_INSTALLED, runUnattended(host_ + "/Varnix.ini")) << c.name;
        EXPECT_EQ(c.after, fileText(host_ + "/Varnix.ini")) << c.name;
    }
}

TEST_F(Installer, EarlierCopiesAreReplaced) {
    writeText(host_ + "/Telvio.dll", "old plug-in, longer than the new one ......................");
    writeText(host_ + "/EVEHZEM.HLP", "old help");
    EXPECT_EQ(INILINK_INSTALLED, runUnattended(host_ + "/Varnix.ini"));
    EXPECT_EQ(kPlugin, fileText(host_ + "/Telvio.dll"));
    EXPECT_EQ(help_, fileText(host_ + "/EVEHZEM.HLP"));
}

// A missing source, an INI file whose folder is missing or one that cannot
// be written: the error message, and the host's folder as it was (nothing
// copied).
enum Missing { MISSING_SOURCE_FOLDER, MISSING_HELP_FILE, MISSING_INI_FOLDER, READ_ONLY_INI_FILE };

class InstallerMissing : public Installer, public ::testing::WithParamInterface<Missing> {};

TEST_P(InstallerMissing, IsReportedBeforeAnythingChanges) {
    std::string chosen = host_ + "/Varnix.ini";
    switch (GetParam()) {
    case MISSING_SOURCE_FOLDER: removeTree(source_); break;
    case MISSING_HELP_FILE: remove((source_ + "/Manual/EVEHZEM.HLP").c_str()); break;
    case MISSING_INI_FOLDER: chosen = host_ + "/Absent/Varnix.ini"; break;
    case READ_ONLY_INI_FILE: ASSERT_EQ(0, chmod(chosen.c_str(), 0444)); break;
    }
    EXPECT_EQ(INILINK_FAILED, runWithDialog(chosen.c_str()));
    expectOneErrorMessage();
    expectHostUntouched();
}

INSTANTIATE_TEST_SUITE_P(SourceFolderHelpFileIniFile, InstallerMissing,
                         ::testing::Values(MISSING_SOURCE_FOLDER, MISSING_HELP_FILE,
                                           MISSING_INI_FOLDER, READ_ONLY_INI_FILE));

// A copy that fails stops the installation: nothing is registered.
TEST_F(Installer, ACopyThatFailsIsReportedAndNothingIsRegistered) {
    ASSERT_EQ(0, mkdir((host_ + "/EVEHZEM.HLP").c_str(), 0755));
    EXPECT_EQ(INILINK_FAILED, runWithDialog((host_ + "/Varnix.ini").c_str()));
    expectOneErrorMessage();
    EXPECT_EQ(kHostIni, fileText(host_ + "/Varnix.ini"));
}

// Without a chosen file nothing can be installed: the user is told so.
TEST_F(Installer, CancellingTheDialogShowsTheErrorMessageAndChangesNothing) {
    EXPECT_EQ(INILINK_CANCELLED, runWithDialog(nullptr));
    EXPECT_EQ(1, WinapiFileDialogCount());
    expectOneErrorMessage();
    expectHostUntouched();
}

// Named on the command line: no dialog and no message box; the plan on
// standard output, the error message on standard error.
TEST_F(Installer, UnattendedItAsksAndShowsNothing) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(INILINK_INSTALLED, runUnattended(host_ + "/Varnix.ini"));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("will copy " + source_ + "\\Driver\\Telvio.dll to " +
                                          host_ + "/Telvio.dll\n"))
        << out;
    EXPECT_NE(std::string::npos, out.find("\ninstalled\n")) << out;

    removeTree(source_);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(INILINK_FAILED, runUnattended(host_ + "/Varnix.ini"));
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, err.find("Fatal Error!! Driver cannt find the Varnix.ini .Please modify the file "
                           "in correct directory by manual\n"))
        << err;
    EXPECT_EQ(0, WinapiFileDialogCount());
    EXPECT_EQ(0, WinapiMessageBoxCount());
}

} // namespace
