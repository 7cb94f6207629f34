// The serial-port dialogs and the monitor dialog, driven headless: add,
// delete and edit ports, OK and Cancel, the monitor switch, the monitor list
// and its file; then the plug-in itself: menu command 4991 in the stand-in
// host, the INI file at start-up, at OK and at finish.
#include "../common/remove_tree.h"
#include "serial_fixture.h"

#include "resource.h"

#include <commdlg.h>

#include <sys/stat.h>

#include <vector>

namespace {

using serialtest::Row;
using serialtest::SerialTest;

std::string Table() {
    std::string out;
    for (int i = 0; i < NumComPorts; i++) {
        char text[40];
        const ComSettings& r = PortTable[i];
        snprintf(text, sizeof text, "%s%d,%d,%d,%d,%d,%d", i ? " " : "", r.Port_Number, r.Baud_Rate,
                 r.Data_Bits, r.Stop_Bits, r.Parity, r.RS232_Buffer);
        out += text;
    }
    return out;
}

std::vector<std::string> Items(const char* dialog, int id) {
    std::vector<std::string> items;
    WinapiControlInfo info;
    if (!WinapiDialogControl(dialog, id, &info)) return items;
    for (int i = 0; i < info.itemCount; i++) {
        char text[256] = "";
        WinapiDialogItem(dialog, id, i, text, sizeof text);
        items.push_back(text);
    }
    return items;
}

WinapiControlInfo Control(const char* dialog, int id) {
    WinapiControlInfo info;
    memset(&info, 0, sizeof info);
    WinapiDialogControl(dialog, id, &info);
    return info;
}

std::string PortLine(int port, int baud, int bits, int stop, const char* parity, int kb) {
    char text[96];
    snprintf(text, sizeof text, "COM%d: %d Baud, %d Bit, %d Stop, %s Parity, %d kByte", port, baud,
             bits, stop, parity, kb);
    return text;
}

const char kPorts[] = "DLG_COM_PORTS";
const char kParam[] = "DLG_COM_PARAM";
const char kMonitor[] = "DLG_RS232MON";

class PortDialog : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        WinapiDialogsReset();
    }
    void TearDown() override {
        EXPECT_EQ(0, WinapiFailedActionCount());
        WinapiDialogsReset();
        SerialTest::TearDown();
    }
    void Rows(std::initializer_list<ComSettings> rows) {
        for (ComSettings r : rows)
            ASSERT_EQ(1, PortTableMerge(&r));
    }
    int Run() { return ShowComPortsDialog(hostsim::MainWindow()); }
    int IniExists() {
        struct stat st;
        return stat(IniPath().c_str(), &st) == 0;
    }
};

TEST_F(PortDialog, TheListShowsEveryRow) {
    Rows({Row(1), Row(13, 5, 8, 1, 0, 12), Row(16, 5, 8, 2, 2, 1)});
    WinapiQueueCancel();
    EXPECT_EQ(0, Run());
    EXPECT_EQ(std::vector<std::string>({PortLine(1, 9600, 8, 1, "No", 4),
                                        PortLine(13, 38400, 8, 1, "No", 48),
                                        PortLine(16, 38400, 8, 2, "Even", 4)}),
              Items(kPorts, IDC_PORT_LIST));
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_DELETE).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_PARAM).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_MONITOR_SHOW).enabled);
    EXPECT_EQ(0, WinapiDialogCancelledByRun(kPorts));
}

TEST_F(PortDialog, AddOffersTheFreePortsAndCopiesTheLastRow) {
    Rows({Row(1), Row(4, 2, 7, 2, 1, 5)});
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueueOk(); // COM Port Parameters
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    std::vector<std::string> offered = Items(kParam, IDC_PARAM_PORT);
    ASSERT_EQ(14u, offered.size());
    EXPECT_EQ("COM2", offered[0]);
    EXPECT_EQ("COM3", offered[1]);
    EXPECT_EQ("COM5", offered[2]);
    EXPECT_EQ("COM16", offered[13]);
    EXPECT_EQ(0, Control(kParam, IDC_PARAM_PORT).selection);
    EXPECT_EQ("1,3,8,1,0,1 2,2,7,2,1,5 4,2,7,2,1,5", Table());
    EXPECT_EQ(PortLine(2, 4800, 7, 2, "Odd", 20), Items(kPorts, IDC_PORT_LIST)[1]);
}

TEST_F(PortDialog, AddToAnEmptyTableStartsFrom9600) {
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueueOk();
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("1,3,8,1,0,1", Table());
    char value[64];
    GetPrivateProfileStringA("Com Ports", "ComPort#0", "", value, sizeof value, IniPath().c_str());
    EXPECT_STREQ("1,3,8,1,0,1", value);
}

TEST_F(PortDialog, EditingEveryField) {
    Rows({Row(3)});
    WinapiQueuePick(IDC_PORT_LIST, PortLine(3, 9600, 8, 1, "No", 4).c_str());
    WinapiQueueClick(IDC_PORT_PARAM);
    WinapiQueuePick(IDC_PARAM_BAUD, "19200");
    WinapiQueuePick(IDC_PARAM_PARITY, "Even");
    WinapiQueuePick(IDC_PARAM_STOP, "2");
    WinapiQueuePick(IDC_PARAM_DATA, "7");
    WinapiQueuePick(IDC_PARAM_BUFFER, "48 KB");
    WinapiQueueOk();
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("3,4,7,2,2,12", Table());
    EXPECT_EQ(PortLine(3, 19200, 7, 2, "Even", 48), Items(kPorts, IDC_PORT_LIST)[0]);
    // The parameter dialog showed the row as it was.
    EXPECT_EQ(std::vector<std::string>({"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
                                        "COM8", "COM9", "COM10", "COM11", "COM12", "COM13", "COM14",
                                        "COM15", "COM16"}),
              Items(kParam, IDC_PARAM_PORT));
    EXPECT_EQ(12, Control(kParam, IDC_PARAM_BUFFER).itemCount);
}

TEST_F(PortDialog, ChangingAPortKeepsThePortOrder) {
    Rows({Row(1), Row(3), Row(5), Row(7, 5)});
    WinapiQueuePick(IDC_PORT_LIST, PortLine(7, 38400, 8, 1, "No", 4).c_str());
    WinapiQueueClick(IDC_PORT_PARAM);
    WinapiQueuePick(IDC_PARAM_PORT, "COM2");
    WinapiQueueOk();
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("1,3,8,1,0,1 2,5,8,1,0,1 3,3,8,1,0,1 5,3,8,1,0,1", Table());
    std::vector<std::string> lines = Items(kPorts, IDC_PORT_LIST);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(PortLine(2, 38400, 8, 1, "No", 4), lines[1]);
    // Offered: its own port and the free ones.
    EXPECT_EQ(13u, Items(kParam, IDC_PARAM_PORT).size());
}

TEST_F(PortDialog, ADoubleClickOpensTheParameters) {
    Rows({Row(2)});
    WinapiQueuePick(IDC_PORT_LIST, PortLine(2, 9600, 8, 1, "No", 4).c_str());
    WinapiQueueDoubleClick(IDC_PORT_LIST);
    WinapiQueuePick(IDC_PARAM_BAUD, "1200");
    WinapiQueueOk();
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("2,0,8,1,0,1", Table());
}

TEST_F(PortDialog, DeleteSelectsTheNextLine) {
    Rows({Row(1), Row(3), Row(8)});
    WinapiQueuePick(IDC_PORT_LIST, PortLine(3, 9600, 8, 1, "No", 4).c_str());
    WinapiQueueClick(IDC_PORT_DELETE);
    WinapiQueueClick(IDC_PORT_DELETE); // COM8, now at that place
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("1,3,8,1,0,1", Table());
    // The last line went: nothing is selected, the row buttons are off.
    EXPECT_EQ(-1, Control(kPorts, IDC_PORT_LIST).selection);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_DELETE).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_PARAM).enabled);
    char value[16];
    GetPrivateProfileStringA("Com Ports", "NumComPorts", "", value, sizeof value,
                             IniPath().c_str());
    EXPECT_STREQ("1", value);
}

TEST_F(PortDialog, CancelKeepsTableAndFile) {
    Rows({Row(1)});
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueueOk();
    WinapiQueueCancel();
    EXPECT_EQ(0, Run());
    EXPECT_EQ("1,3,8,1,0,1", Table());
    EXPECT_EQ(0, IniExists());
}

TEST_F(PortDialog, CancelledParametersAddNothing) {
    Rows({Row(1)});
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueueCancel(); // COM Port Parameters
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ("1,3,8,1,0,1", Table());
    EXPECT_EQ(1u, Items(kPorts, IDC_PORT_LIST).size());
}

TEST_F(PortDialog, ASeventeenthPortIsRefused) {
    for (int port = 1; port <= 16; port++) {
        ComSettings r = Row(port);
        ASSERT_EQ(1, PortTableMerge(&r));
    }
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Sorry", hostsim::Warnings()[0].caption);
    EXPECT_EQ("max. number ports reached", hostsim::Warnings()[0].text);
    EXPECT_EQ(0, WinapiDialogFound(kParam));
    EXPECT_EQ(16, NumComPorts);
}

TEST_F(PortDialog, TheMonitorSwitchActsAtOnce) {
    WinapiQueueClick(IDC_MONITOR_ACTIVE);
    WinapiQueueCancel();
    EXPECT_EQ(0, Run());
    EXPECT_EQ(1, MonitorIsOn());
    EXPECT_EQ(1, Control(kPorts, IDC_MONITOR_SHOW).enabled);
    EXPECT_EQ(0, IniExists());

    WinapiQueueClick(IDC_MONITOR_ACTIVE);
    WinapiQueueOk();
    EXPECT_EQ(1, Run());
    EXPECT_EQ(0, MonitorIsOn());
    EXPECT_EQ(0, Control(kPorts, IDC_MONITOR_SHOW).enabled);
    char value[16];
    GetPrivateProfileStringA("Com Ports", "MonitorOn", "", value, sizeof value, IniPath().c_str());
    EXPECT_STREQ("0", value);
}

TEST_F(PortDialog, AnExperimentLocksThePorts) {
    Rows({Row(1)});
    bExperimentIsRunning = 1;
    WinapiQueueCancel();
    Run();
    bExperimentIsRunning = 0;
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_LIST).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_ADD).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_DELETE).enabled);
    EXPECT_EQ(0, Control(kPorts, IDC_PORT_PARAM).enabled);
    EXPECT_EQ(1, Control(kPorts, IDC_MONITOR_ACTIVE).enabled);
}

TEST_F(PortDialog, HelpOpensTheDriverHelp) {
    WinapiHelpCallsClear();
    WinapiQueueClick(IDHELP);
    WinapiQueueCancel();
    Run();
    ASSERT_EQ(1, WinapiHelpCallCount());
    WinapiHelpCall call;
    ASSERT_EQ(1, WinapiHelpCallAt(0, &call));
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), call.command);
    EXPECT_EQ(1020u, call.data);
    EXPECT_NE(nullptr, strstr(call.file, "Evehzem.hlp"));
}

TEST_F(PortDialog, NoMemoryEndsTheDialogAtOnce) {
    Rows({Row(1)});
    int live = hostsim::LiveAllocations();
    hostsim::FailAllocations(1);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(0, WinapiDialogCancelledByRun(kPorts));
    EXPECT_EQ(live, hostsim::LiveAllocations());
}

TEST_F(PortDialog, TheWorkingCopyIsReleased) {
    int live = hostsim::LiveAllocations();
    WinapiQueueOk();
    Run();
    WinapiQueueCancel();
    Run();
    EXPECT_EQ(live, hostsim::LiveAllocations());
}

// The monitor dialog, from the port dialog's &Monitor button.
class MonitorDialog : public PortDialog {
  protected:
    void SetUp() override {
        PortDialog::SetUp();
        WinapiUseManualClock(20000);
        MonitorStart();
        MonitorNote("Repeat");
        WinapiAdvanceClock(1250);
        MonitorLogLine(2, 1, "#012B6\r");
    }
    LRESULT refreshed = 0;
};

TEST_F(MonitorDialog, ListsTheEntries) {
    WinapiQueueClick(IDC_MONITOR_SHOW);
    WinapiQueueOk(); // &Close
    WinapiQueueCancel();
    Run();
    ASSERT_EQ(1, WinapiDialogFound(kMonitor));
    EXPECT_EQ(std::vector<std::string>(
                  {"-1:\t-- ! --\t0.00 sec\t \tRepeat", "0:\tCOM2 \t1.25 sec\t+\t#012B6"}),
              Items(kMonitor, IDC_MON_LIST));
    EXPECT_EQ(1, Control(kMonitor, IDC_MON_LIST).selection);
    EXPECT_EQ(0, WinapiDialogCancelledByRun(kMonitor));
}

TEST_F(MonitorDialog, RefreshAndClear) {
    WinapiQueueClick(IDC_MONITOR_SHOW);
    WinapiQueueCallback([](HWND, void*) { MonitorNote("later"); }, nullptr);
    WinapiQueueClick(IDC_MON_REFRESH);
    WinapiQueueCallback(
        [](HWND dialog, void* count) {
            *static_cast<LRESULT*>(count) =
                SendDlgItemMessageA(dialog, IDC_MON_LIST, LB_GETCOUNT, 0, 0);
        },
        &refreshed);
    WinapiQueueClick(IDC_MON_CLEAR);
    WinapiQueueOk();
    WinapiQueueCancel();
    Run();
    EXPECT_EQ(3, refreshed);
    EXPECT_TRUE(Items(kMonitor, IDC_MON_LIST).empty());
    char line[96];
    EXPECT_EQ(0, MonitorFormatEntry(0, 0, line, sizeof line));
}

TEST_F(MonitorDialog, SavesTheFile) {
    std::string file = dir + "/saved.txt";
    WinapiQueueClick(IDC_MONITOR_SHOW);
    WinapiQueueFileName(file.c_str());
    WinapiQueueClick(IDC_MON_FILE);
    WinapiQueueOk();
    WinapiQueueCancel();
    Run();
    EXPECT_EQ("-1:\t--!--\t0.00 sec\t  Repeat\r\n"
              "0:\tCOM2 \t1.25 sec\t+ #012B6\r\n",
              serialtest::ReadFileText(file));
    ASSERT_EQ(1, WinapiFileDialogCount());
    WinapiFileDialogCall call;
    ASSERT_EQ(1, WinapiFileDialogAt(0, &call));
    EXPECT_EQ(1, call.save);
    EXPECT_STREQ("Logfile0.txt", call.initialFile);
    // "*.txt||" with its last character made the terminator: one text "*.txt".
    EXPECT_STREQ("*.txt|", call.filter);
    EXPECT_EQ(256u, call.maxFile);
    EXPECT_EQ(static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN),
              call.flags);
    // The host program's folder.
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetHostFolder(folder, sizeof folder));
    EXPECT_STREQ(folder, call.initialDir);
}

TEST_F(MonitorDialog, AFileThatCannotBeOpenedIsReported) {
    std::string file = dir + "/no such folder/saved.txt";
    WinapiQueueClick(IDC_MONITOR_SHOW);
    WinapiQueueFileName(file.c_str());
    WinapiQueueClick(IDC_MON_FILE);
    WinapiQueueOk();
    WinapiQueueCancel();
    Run();
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Error", hostsim::Warnings()[0].caption);
    EXPECT_EQ("Could not open file", hostsim::Warnings()[0].text);
}

TEST_F(MonitorDialog, WithTheMonitorOffItClosesAtOnce) {
    MonitorStop();
    EXPECT_EQ(0, DialogBoxParamA(hInstDriver, kMonitor, hostsim::MainWindow(), Rs232MonDlgProc, 0));
    EXPECT_EQ(0, WinapiDialogCancelledByRun(kMonitor));
}

// The plug-in itself in the stand-in host.
class PluginPorts : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = serialtest::MakeTempDir();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(hostsim::Start());
        hostsim::SetExeFileDir((dir + "/").c_str());
        WinapiDialogsReset();
        path = dir + "/Telvio.so";
        serialtest::CopyFile(TELVIO_PLUGIN, path);
        // The host's module lives in the test folder, and with it the INI file.
        hostModule = LoadLibraryA(path.c_str());
        ASSERT_NE(nullptr, hostModule);
        hostsim::SetVariableValue("hInstVarnix",
                                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(hostModule)));
    }
    void TearDown() override {
        if (plugin.module) hostsim::UnloadPlugin(&plugin);
        if (hostModule) FreeLibrary(hostModule);
        WinapiDialogsReset();
        RemoveTree(dir);
    }
    void Load() {
        ASSERT_EQ(1, hostsim::LoadPlugin(path.c_str(), &plugin));
        ASSERT_EQ(1, plugin.setupResult);
    }
    std::string Ini(const char* section, const char* key) {
        char value[64];
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 (dir + "/XX02.ini").c_str());
        return value;
    }
    std::string dir, path;
    HMODULE hostModule = nullptr;
    hostsim::Plugin plugin;
};

TEST_F(PluginPorts, MenuCommand4991OpensThePortDialogAndOkWritesTheIniFile) {
    Load();
    WinapiQueueClick(IDC_PORT_ADD);
    WinapiQueuePick(IDC_PARAM_PORT, "COM5");
    WinapiQueueOk();
    WinapiQueueOk();
    ASSERT_EQ(1, hostsim::ChooseMenuCommand(4991));
    EXPECT_EQ(1, WinapiDialogResult(kPorts));
    EXPECT_EQ(0, WinapiUnfinishedDialogCount());
    EXPECT_EQ("1", Ini("Com Ports", "NumComPorts"));
    EXPECT_EQ("5,3,8,1,0,1", Ini("Com Ports", "ComPort#0"));
    EXPECT_EQ("0", Ini("Com Ports", "MonitorOn"));
    EXPECT_EQ("0", Ini("Com Ports", "ReOpenComOnError"));
}

TEST_F(PluginPorts, TheIniFileIsReadAtStartAndTheTimeOutWrittenAtFinish) {
    serialtest::WriteFileText(dir + "/XX02.ini", "[Com Ports]\r\n"
                                                 "NumComPorts=1\r\n"
                                                 "ComPort#0=13,5,8,1,0,12\r\n"
                                                 "MonitorOn=1\r\n"
                                                 "ReOpenComOnError=1\r\n"
                                                 "[Settings]\r\n"
                                                 "BusyTimeOut=-20\r\n");
    Load();
    WinapiQueueCancel();
    ASSERT_EQ(1, hostsim::ChooseMenuCommand(4991));
    EXPECT_EQ(std::vector<std::string>({PortLine(13, 38400, 8, 1, "No", 48)}),
              Items(kPorts, IDC_PORT_LIST));
    EXPECT_EQ(1, Control(kPorts, IDC_MONITOR_ACTIVE).check);
    EXPECT_EQ(1, hostsim::FinishPlugin(&plugin));
    EXPECT_EQ("1500", Ini("Settings", "BusyTimeOut"));
    EXPECT_EQ("13,5,8,1,0,12", Ini("Com Ports", "ComPort#0"));
}

} // namespace
