// GetPrivateProfileStringA, WritePrivateProfileStringA, GetPrivateProfileIntA
// on real files, by the documented rules.
#include <windows.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "temp_dir.h"

namespace {

const char kDriverIni[] = "; serial ports of the driver\n"
                          "[Com Ports]\n"
                          "NumComPorts = 2 \n"
                          "ComPort#0=13,5,8,1,0,12\n"
                          "Quoted=\"  spaced  \"\n"
                          "Single='x'\n"
                          "Mismatched=\"abc'\n"
                          "Empty=\n"
                          "\n"
                          "[Settings]\n"
                          "BusyTimeOut=1500\n"
                          "Negative=-3\n"
                          "Trailing=12abc\n";

std::string crlf(const std::string& lf) {
    std::string s;
    for (char c : lf) {
        if (c == '\n') s += '\r';
        s += c;
    }
    return s;
}

struct ReadCase {
    const char* section;
    const char* key;
    const char* def;
    const char* expected;
};

const ReadCase kReadCases[] = {
    {"Com Ports", "NumComPorts", "0", "2"},                 // blanks around key and value
    {"COM PORTS", "numcomports", "0", "2"},                 // no case
    {"com ports", "COMPORT#0", "", "13,5,8,1,0,12"},        // no case
    {"Com Ports", "Quoted", "", "  spaced  "},              // quotes go, blanks inside stay
    {"Com Ports", "Single", "", "x"},                       // single quotes too
    {"Com Ports", "Mismatched", "", "\"abc'"},              // only a matching pair goes
    {"Com Ports", "Empty", "dflt", ""},                     // present but empty: no default
    {"Com Ports", "Missing", "0,0,0,0,0,0", "0,0,0,0,0,0"}, // missing key: the default
    {"Com Ports", "BusyTimeOut", "x", "x"},                 // a key of another section
    {"Nowhere", "NumComPorts", "none", "none"},             // missing section: the default
    {"Settings", "Missing", "dflt  ", "dflt"},              // the default loses trailing blanks
    {"Settings", "Missing", NULL, ""},                      // NULL default is ""
    {"Settings", "BusyTimeOut", "0", "1500"},
};

class ProfileRead : public ::testing::TestWithParam<bool> {};

TEST_P(ProfileRead, ValuesFollowTheIniRules) {
    TempDir dir;
    std::string ini = dir.file("XX02.ini");
    writeText(ini, GetParam() ? crlf(kDriverIni) : std::string(kDriverIni));
    for (const ReadCase& c : kReadCases) {
        char buf[80];
        memset(buf, '#', sizeof(buf));
        DWORD n = GetPrivateProfileStringA(c.section, c.key, c.def, buf, sizeof(buf), ini.c_str());
        EXPECT_STREQ(c.expected, buf) << c.section << "/" << c.key;
        EXPECT_EQ(strlen(c.expected), n) << c.section << "/" << c.key;
    }
}

INSTANTIATE_TEST_SUITE_P(LfAndCrLf, ProfileRead, ::testing::Values(false, true));

TEST(Profile, MissingFileGivesTheDefaultAndFileNotFound) {
    TempDir dir;
    char buf[32];
    SetLastError(0);
    DWORD n = GetPrivateProfileStringA("Com Ports", "NumComPorts", "0", buf, sizeof(buf),
                                       dir.file("absent.ini").c_str());
    EXPECT_EQ(1u, n);
    EXPECT_STREQ("0", buf);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(7u,
              GetPrivateProfileIntA("Settings", "BusyTimeOut", 7, dir.file("absent.ini").c_str()));
}

TEST(Profile, ValueTooLongIsCutToTheBufferAndGivesSizeMinusOne) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, kDriverIni);
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(4u, GetPrivateProfileStringA("Com Ports", "ComPort#0", "", buf, 5, ini.c_str()));
    EXPECT_STREQ("13,5", buf);
    EXPECT_EQ('#', buf[5]);
    EXPECT_EQ(0u, GetPrivateProfileStringA("Com Ports", "ComPort#0", "", buf, 1, ini.c_str()));
    EXPECT_EQ('\0', buf[0]);
    // The default is cut the same way.
    EXPECT_EQ(2u, GetPrivateProfileStringA("Com Ports", "Missing", "abcdef", buf, 3, ini.c_str()));
    EXPECT_STREQ("ab", buf);
}

TEST(Profile, KeyListHoldsEveryKeyOfTheSectionInFileOrder) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, crlf(kDriverIni));
    char buf[256];
    memset(buf, '#', sizeof(buf));
    DWORD n = GetPrivateProfileStringA("com ports", NULL, "ignored", buf, sizeof(buf), ini.c_str());
    const char expected[] = "NumComPorts\0ComPort#0\0Quoted\0Single\0Mismatched\0Empty\0";
    ASSERT_EQ(sizeof(expected) - 1, n);
    EXPECT_EQ(0, memcmp(expected, buf, sizeof(expected))); // with the second null
    EXPECT_EQ('#', buf[sizeof(expected)]);
}

TEST(Profile, KeyListTooLongEndsInTwoNullsAndGivesSizeMinusTwo) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, kDriverIni);
    char buf[32];
    memset(buf, '#', sizeof(buf));
    // "NumComPorts\0ComPort#0\0..." in 20 characters: 18 of the list, two nulls.
    EXPECT_EQ(18u, GetPrivateProfileStringA("Com Ports", NULL, "", buf, 20, ini.c_str()));
    EXPECT_EQ(0, memcmp("NumComPorts\0ComPor\0\0", buf, 20));
    EXPECT_EQ('#', buf[20]);
    // A list that fits exactly is not cut.
    EXPECT_EQ(30u, GetPrivateProfileStringA("Settings", NULL, "", buf, 31, ini.c_str()));
    EXPECT_EQ(0, memcmp("BusyTimeOut\0Negative\0Trailing\0\0", buf, 31));
}

TEST(Profile, SectionListAndEmptyKeyList) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, kDriverIni);
    char buf[64];
    EXPECT_EQ(19u, GetPrivateProfileStringA(NULL, NULL, "", buf, sizeof(buf), ini.c_str()));
    EXPECT_EQ(0, memcmp("Com Ports\0Settings\0\0", buf, 20));
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(0u, GetPrivateProfileStringA("Nowhere", NULL, "dflt", buf, sizeof(buf), ini.c_str()));
    EXPECT_EQ(0, memcmp("\0\0", buf, 2));
}

TEST(Profile, IntReadsTheLeadingDecimalNumber) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, kDriverIni);
    EXPECT_EQ(1500u, GetPrivateProfileIntA("settings", "busytimeout", 0, ini.c_str()));
    EXPECT_EQ(static_cast<UINT>(-3), GetPrivateProfileIntA("Settings", "Negative", 0, ini.c_str()));
    EXPECT_EQ(12u, GetPrivateProfileIntA("Settings", "Trailing", 0, ini.c_str()));
    EXPECT_EQ(2u, GetPrivateProfileIntA("Com Ports", "NumComPorts", 9, ini.c_str()));
    EXPECT_EQ(9u, GetPrivateProfileIntA("Com Ports", "Missing", 9, ini.c_str()));
    EXPECT_EQ(9u, GetPrivateProfileIntA("Com Ports", "Empty", 9, ini.c_str()));
    EXPECT_EQ(0u, GetPrivateProfileIntA("Com Ports", "Single", 9, ini.c_str())); // no digits
}

TEST(Profile, WriteCreatesTheFileAndTheSection) {
    TempDir dir;
    std::string ini = dir.file("Varnix.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("Extend", "DLL8", "Telvio.DLL", ini.c_str()));
    EXPECT_EQ("[Extend]\r\nDLL8=Telvio.DLL\r\n", fileText(ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Settings", "BusyTimeOut", "1500", ini.c_str()));
    EXPECT_EQ("[Extend]\r\nDLL8=Telvio.DLL\r\n[Settings]\r\nBusyTimeOut=1500\r\n", fileText(ini));
    char buf[32];
    EXPECT_EQ(10u, GetPrivateProfileStringA("EXTEND", "dll8", "", buf, sizeof(buf), ini.c_str()));
    EXPECT_STREQ("Telvio.DLL", buf);
}

TEST(Profile, WriteReplacesTheKeyInPlaceAndKeepsEverythingElse) {
    TempDir dir;
    std::string ini = dir.file("Varnix.ini");
    writeText(ini, "; host settings\n"
                   "[General]\n"
                   "Title=Varnix\n"
                   "\n"
                   "[Extend]\n"
                   "DLL1=Other.DLL\n"
                   "dll8 = Old.DLL\n"
                   "; the last one\n"
                   "DLL9=Last.DLL\n");
    ASSERT_TRUE(WritePrivateProfileStringA("extend", "DLL8", "Telvio.DLL", ini.c_str()));
    EXPECT_EQ("; host settings\r\n"
              "[General]\r\n"
              "Title=Varnix\r\n"
              "\r\n"
              "[Extend]\r\n"
              "DLL1=Other.DLL\r\n"
              "dll8=Telvio.DLL\r\n"
              "; the last one\r\n"
              "DLL9=Last.DLL\r\n",
              fileText(ini));
}

TEST(Profile, NewKeyGoesAfterTheLastLineOfItsSection) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, "[Com Ports]\r\nNumComPorts=1\r\n\r\n[Settings]\r\nBusyTimeOut=1500\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Com Ports", "MonitorOn", "0", ini.c_str()));
    EXPECT_EQ(
        "[Com Ports]\r\nNumComPorts=1\r\nMonitorOn=0\r\n\r\n[Settings]\r\nBusyTimeOut=1500\r\n",
        fileText(ini));
}

TEST(Profile, NullStringDeletesTheKeyAndNullKeyTheSection) {
    TempDir dir;
    std::string ini = dir.file("a.ini");
    writeText(ini, "[A]\r\nx=1\r\ny=2\r\n[B]\r\n; note\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "X", NULL, ini.c_str()));
    EXPECT_EQ("[A]\r\ny=2\r\n[B]\r\n; note\r\nz=3\r\n[C]\r\nw=4\r\n", fileText(ini));
    ASSERT_TRUE(WritePrivateProfileStringA("b", NULL, NULL, ini.c_str()));
    EXPECT_EQ("[A]\r\ny=2\r\n[C]\r\nw=4\r\n", fileText(ini));
    // Deleting what is not there changes nothing and succeeds.
    ASSERT_TRUE(WritePrivateProfileStringA("A", "missing", NULL, ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Missing", NULL, NULL, ini.c_str()));
    EXPECT_EQ("[A]\r\ny=2\r\n[C]\r\nw=4\r\n", fileText(ini));
    char buf[8];
    EXPECT_EQ(1u, GetPrivateProfileStringA("B", "z", "-", buf, sizeof(buf), ini.c_str()));
    EXPECT_STREQ("-", buf);
}

TEST(Profile, WriteIntoAMissingFolderFails) {
    TempDir dir;
    std::string ini = dir.file("no/such/folder/a.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("A", "x", "1", ini.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

// Windows refuses to write a read-only file to everyone, whatever the rights
// of the process.
TEST(Profile, WriteIntoAReadOnlyFileFailsAndLeavesIt) {
    TempDir dir;
    std::string ini = dir.file("Varnix.ini");
    writeText(ini, "[Extend]\r\nDLL1=Other.DLL\r\n");
    ASSERT_EQ(0, chmod(ini.c_str(), 0444));
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("Extend", "DLL8", "Telvio.DLL", ini.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ("[Extend]\r\nDLL1=Other.DLL\r\n", fileText(ini));
}

TEST(Profile, WindowsStylePathNamesTheHostFile) {
    TempDir dir;
    std::string winPath = "Z:" + dir.file("Telvio.ini");
    for (char& c : winPath)
        if (c == '/') c = '\\';
    ASSERT_TRUE(WritePrivateProfileStringA("Settings", "BusyTimeOut", "250", winPath.c_str()));
    EXPECT_EQ("[Settings]\r\nBusyTimeOut=250\r\n", fileText(dir.file("Telvio.ini")));
    EXPECT_EQ(250u, GetPrivateProfileIntA("Settings", "BusyTimeOut", 0, winPath.c_str()));
}

} // namespace
