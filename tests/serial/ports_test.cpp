// The port table and the driver INI file: the examples read and written,
// limits on every value the INI file brings, a worksheet's rows taken as
// saved, and paths that do not fit.
#include "serial_fixture.h"

#include <limits.h>
#include <sys/stat.h>

namespace {

using serialtest::Row;
using serialtest::SerialTest;

std::string Describe(const ComSettings& r) {
    char text[64];
    snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d", r.Port_Number, r.Baud_Rate, r.Data_Bits,
             r.Stop_Bits, r.Parity, r.RS232_Buffer);
    return text;
}

std::string Table() {
    std::string out;
    for (int i = 0; i < NumComPorts; i++)
        out += (i ? " " : "") + Describe(PortTable[i]);
    return out;
}

class Ports : public SerialTest {
  protected:
    std::string IniValue(const char* section, const char* key, const std::string& path = "") {
        char value[128];
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 (path.empty() ? IniPath() : path).c_str());
        return value;
    }
};

TEST_F(Ports, TheIniExamplesLoad) {
    serialtest::WriteFileText(IniPath(), "[Com Ports]\r\n"
                                         "NumComPorts=2\r\n"
                                         "ComPort#0=13,5,8,1,0,12\r\n"
                                         "ComPort#1=20,9,9,3,5,0\r\n"
                                         "MonitorOn=1\r\n"
                                         "ReOpenComOnError=1\r\n"
                                         "FlowControl=2\r\n"
                                         "[Settings]\r\n"
                                         "BusyTimeOut=0\r\n");
    ReadBusyTimeOut();
    ReadComPortsIni();
    EXPECT_EQ("13,5,8,1,0,12 16,5,8,2,2,1", Table());
    EXPECT_EQ(1, ComPortsDefined);
    EXPECT_EQ(1, MonitorIsOn());
    EXPECT_EQ(1, ReOpenComOnError);
    EXPECT_EQ(FLOW_XONXOFF, FlowControl);
    EXPECT_EQ(1500, BusyTimeOut);
}

TEST_F(Ports, ValuesOutsideTheirRanges) {
    serialtest::WriteFileText(IniPath(), "[Com Ports]\r\n"
                                         "NumComPorts=40\r\n"
                                         "ComPort#0=3,2\r\n"
                                         "ComPort#1=-4,-1,0,0,-2,99\r\n"
                                         "ComPort#2=99999999999,1,7,2,1,4\r\n"
                                         "MonitorOn=0\r\n"
                                         "ReOpenComOnError=-1\r\n"
                                         "FlowControl=6\r\n");
    ReadComPortsIni();
    ASSERT_EQ(16, NumComPorts);
    EXPECT_EQ("3,2,7,1,0,1", Describe(PortTable[0]));
    EXPECT_EQ("1,0,7,1,0,12", Describe(PortTable[1]));
    EXPECT_EQ("16,1,7,2,1,4", Describe(PortTable[2]));
    // Rows without a key read "0,0,0,0,0,0".
    EXPECT_EQ("1,0,7,1,0,1", Describe(PortTable[15]));
    EXPECT_EQ(0, MonitorIsOn());
    EXPECT_EQ(0, ReOpenComOnError);
    EXPECT_EQ(FLOW_NONE, FlowControl);
}

TEST_F(Ports, AMissingFileReadsAsNoPorts) {
    NumComPorts = 3;
    ComPortsDefined = 1;
    ReOpenComOnError = 1;
    FlowControl = 3;
    BusyTimeOut = 77;
    ReadBusyTimeOut();
    ReadComPortsIni();
    EXPECT_EQ(0, NumComPorts);
    EXPECT_EQ(0, ComPortsDefined);
    EXPECT_EQ(0, MonitorIsOn());
    EXPECT_EQ(0, ReOpenComOnError);
    EXPECT_EQ(FLOW_NONE, FlowControl);
    EXPECT_EQ(1500, BusyTimeOut);
}

TEST_F(Ports, BusyTimeOutByFamily) {
    struct {
        int* family;
        const char* file;
        const char* value;
        int timeOut;
    } cases[] = {
        {&FAMILY_TELV, "XX02.ini", "0", 1500},
        {&FAMILY_XX04, "XX04.ini", "0", 100},
        {&FAMILY_TELV, "XX02.ini", "-250", 1500},
        {&FAMILY_XX04, "XX04.ini", "-1", 100},
        {&FAMILY_TELV, "XX02.ini", "250", 250},
        {&FAMILY_XX04, "XX04.ini", "3000", 3000},
        {&FAMILY_ND, "XX02.ini", "junk", 1500},
        // A long one is taken as it stands.
        {&FAMILY_TELV, "XX02.ini", "60001", 60001},
        {&FAMILY_TELV, "XX02.ini", "2147483647", 2147483647},
        {&FAMILY_XX04, "XX04.ini", "99999999999", 2147483647},
    };
    for (const auto& c : cases) {
        serialtest::SelectFamily(c.family);
        std::string path = dir + "/" + c.file;
        serialtest::WriteFileText(path,
                                  std::string("[Settings]\r\nBusyTimeOut=") + c.value + "\r\n");
        ReadBusyTimeOut();
        EXPECT_EQ(c.timeOut, BusyTimeOut) << c.file << " " << c.value;
        unlink(path.c_str());
    }
}

TEST_F(Ports, WritingTheFile) {
    serialtest::WriteFileText(IniPath(),
                              "[Com Ports]\r\nNumComPorts=3\r\nComPort#2=9,1,8,1,0,1\r\n");
    ComSettings a = Row(2, 4, 7, 2, 1, 3), b = Row(11, 5, 8, 1, 2, 12);
    ASSERT_EQ(1, PortTableMerge(&b));
    ASSERT_EQ(1, PortTableMerge(&a));
    ReOpenComOnError = 1;
    MonitorStart();
    BusyTimeOut = 2500;
    WriteComPortsIni();
    WriteBusyTimeOut();
    EXPECT_EQ("2", IniValue("Com Ports", "NumComPorts"));
    EXPECT_EQ("2,4,7,2,1,3", IniValue("Com Ports", "ComPort#0"));
    EXPECT_EQ("11,5,8,1,2,12", IniValue("Com Ports", "ComPort#1"));
    // Keys beyond the count stay.
    EXPECT_EQ("9,1,8,1,0,1", IniValue("Com Ports", "ComPort#2"));
    EXPECT_EQ("1", IniValue("Com Ports", "MonitorOn"));
    EXPECT_EQ("1", IniValue("Com Ports", "ReOpenComOnError"));
    EXPECT_EQ("(none)", IniValue("Com Ports", "FlowControl"));
    EXPECT_EQ("2500", IniValue("Settings", "BusyTimeOut"));

    // What was written reads back.
    NumComPorts = 0;
    MonitorStop();
    ReOpenComOnError = 0;
    ReadComPortsIni();
    ReadBusyTimeOut();
    EXPECT_EQ("2,4,7,2,1,3 11,5,8,1,2,12", Table());
    EXPECT_EQ(1, MonitorIsOn());
    EXPECT_EQ(1, ReOpenComOnError);
    EXPECT_EQ(2500, BusyTimeOut);
}

TEST_F(Ports, TheFamilyXX04HasItsOwnFile) {
    serialtest::SelectFamily(&FAMILY_XX04);
    WriteBusyTimeOut();
    EXPECT_EQ("1500", IniValue("Settings", "BusyTimeOut", dir + "/XX04.ini"));
    struct stat st;
    EXPECT_NE(0, stat(IniPath().c_str(), &st));
}

TEST_F(Ports, MergeKeepsPortOrder) {
    ComSettings c1 = Row(1), c5 = Row(5), c3 = Row(3, 1);
    ASSERT_EQ(1, PortTableMerge(&c1));
    ASSERT_EQ(1, PortTableMerge(&c5));
    ASSERT_EQ(1, PortTableMerge(&c3));
    EXPECT_EQ("1,3,8,1,0,1 3,1,8,1,0,1 5,3,8,1,0,1", Table());
    ComSettings c5b = Row(5, 0, 7, 2, 2, 6);
    ASSERT_EQ(1, PortTableMerge(&c5b));
    EXPECT_EQ("1,3,8,1,0,1 3,1,8,1,0,1 5,0,7,2,2,6", Table());
}

// A worksheet's row is taken as it was saved; opening the port reports what
// it cannot take, and its line in the port dialog is within what the text
// can hold.
TEST_F(Ports, MergeKeepsEveryFieldAWorksheetBrings) {
    ComSettings wild = Row(4, 9, 9, 3, 5, 0);
    ASSERT_EQ(1, PortTableMerge(&wild));
    ComSettings low = Row(6, -1, 0, -3, -1, -7);
    ASSERT_EQ(1, PortTableMerge(&low));
    ComSettings huge = Row(8, 3, 8, 1, 0, INT_MAX);
    ASSERT_EQ(1, PortTableMerge(&huge));
    EXPECT_EQ("4,9,9,3,5,0 6,-1,0,-3,-1,-7 8,3,8,1,0,2147483647", Table());
    char line[128];
    FormatPortLine(line, sizeof line, &PortTable[2]);
    EXPECT_STREQ("COM8: 9600 Baud, 8 Bit, 1 Stop, No Parity, 2147483647 kByte", line);
}

TEST_F(Ports, MergeRefusesBadPortsAndASeventeenthRow) {
    ComSettings zero = Row(0), high = Row(17), negative = Row(-3);
    EXPECT_EQ(0, PortTableMerge(&zero));
    EXPECT_EQ(0, PortTableMerge(&high));
    EXPECT_EQ(0, PortTableMerge(&negative));
    EXPECT_EQ(0, NumComPorts);
    for (int port = 16; port >= 1; port--) {
        ComSettings r = Row(port);
        ASSERT_EQ(1, PortTableMerge(&r));
    }
    ASSERT_EQ(16, NumComPorts);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(i + 1, PortTable[i].Port_Number);
    ComSettings again = Row(7, 5);
    EXPECT_EQ(1, PortTableMerge(&again));
    EXPECT_EQ(5, PortTable[6].Baud_Rate);
}

TEST_F(Ports, GetCopiesTheRowOfThePort) {
    ComSettings c2 = Row(2, 5, 7, 2, 1, 8);
    ASSERT_EQ(1, PortTableMerge(&c2));
    ComSettings block = Row(9, 1);
    PortTableGet(&block, 4);
    EXPECT_EQ("9,1,8,1,0,1", Describe(block));
    PortTableGet(&block, 2);
    EXPECT_EQ("2,5,7,2,1,8", Describe(block));
}

// The host's module deep in a folder tree, so that its folder and the INI
// name together do not fit.
class LongPaths : public Ports {
  protected:
    // A folder whose Windows form ("Z:" + path + "\") has `length` characters.
    std::string DeepFolder(size_t length) {
        std::string folder = dir;
        while (folder.size() + 3 + 101 < length) {
            folder += "/" + std::string(100, 'd');
            mkdir(folder.c_str(), 0755);
        }
        folder += "/" + std::string(length - folder.size() - 4, 'e');
        mkdir(folder.c_str(), 0755);
        return folder;
    }
    void HostModuleIn(const std::string& folder, const std::string& name) {
        std::string copy = folder + "/" + name;
        serialtest::CopyFile(TELVIO_PLUGIN, copy);
        deep = LoadLibraryA(copy.c_str());
        ASSERT_NE(nullptr, deep);
        hostsim::SetVariableValue("hInstVarnix",
                                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(deep)));
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
    }
    void TearDown() override {
        if (deep) FreeLibrary(deep);
        Ports::TearDown();
    }
    int IniFilesUnder(const std::string& folder) {
        std::string cmd =
            "find '" + folder + "' -name '*.ini' -o -name 'XX0*' | grep -c . >/dev/null";
        return system(cmd.c_str()) == 0;
    }
    HMODULE deep = nullptr;
};

TEST_F(LongPaths, APathThatDoesNotFitIsReportedOnceAndNotUsed) {
    // The module's path fits 260 characters, the folder and "XX02.ini" do not.
    std::string folder = DeepFolder(254);
    HostModuleIn(folder, "T.so");
    char path[MAX_PATH];
    EXPECT_EQ(0, GetDriverIniPath(path, sizeof path));
    EXPECT_STREQ("", path);
    ComSettings r = Row(3);
    ASSERT_EQ(1, PortTableMerge(&r));
    WriteComPortsIni();
    WriteBusyTimeOut();
    ReadComPortsIni();
    ReadBusyTimeOut();
    EXPECT_EQ(1500, BusyTimeOut);
    EXPECT_EQ(0, IniFilesUnder(dir));
    ASSERT_EQ(1u, hostsim::Warnings().size());
    EXPECT_EQ("Path of the driver INI file too long", hostsim::Warnings()[0].text);
}

TEST_F(LongPaths, AModulePathThatWasCutIsNotUsed) {
    std::string folder = DeepFolder(250);
    HostModuleIn(folder, std::string(20, 'm') + ".so");
    char path[MAX_PATH];
    EXPECT_EQ(0, GetDriverIniPath(path, sizeof path));
    WriteComPortsIni();
    EXPECT_EQ(0, IniFilesUnder(dir));
    EXPECT_EQ(1u, hostsim::Warnings().size());
}

TEST_F(LongPaths, APathThatJustFitsIsUsed) {
    // Folder and name of 259 characters: the terminator fits too.
    std::string folder = DeepFolder(251);
    HostModuleIn(folder, "T.so");
    char path[MAX_PATH];
    ASSERT_EQ(1, GetDriverIniPath(path, sizeof path));
    EXPECT_EQ(259u, strlen(path));
    WriteComPortsIni();
    EXPECT_EQ("0", IniValue("Com Ports", "NumComPorts", folder + "/XX02.ini"));
    EXPECT_TRUE(hostsim::Warnings().empty());
}

} // namespace
