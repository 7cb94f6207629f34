// Number texts in the host's conventions: decimal separator, leading zero,
// the exponent form with three digits, parsing with either separator, and
// none of it moved by the C library's locale.
#include "host/numbers.h"
#include "serial_fixture.h"

#include <locale.h>
#include <math.h>

namespace {

using serialtest::SerialTest;

class Numbers : public SerialTest {
  protected:
    // The host's DezTrenn and bDecLeadingZero, as the plug-in binds them.
    void HostConventions(const char* separator, int leadingZero) {
        hostsim::SetVariableValue("DezTrenn",
                                  static_cast<DWORD>(reinterpret_cast<uintptr_t>(separator)));
        hostsim::SetVariableValue("bDecLeadingZero", static_cast<DWORD>(leadingZero));
        ASSERT_EQ(1, ResolveHostInterface(hostsim::MainWindow()));
    }
    std::string Format(double value, int digits) {
        char text[NUMBER_TEXT_SIZE];
        memset(text, 'x', sizeof text);
        FormatNumber(text, value, digits);
        EXPECT_LT(strlen(text), sizeof text);
        return text;
    }
};

struct FormatCase {
    const char* separator;
    int leadingZero;
    double value;
    int digits;
    const char* text;
};

const char kComma[] = ",";
const char kPoint[] = ".";
const char kSemicolon[] = ";";

const FormatCase kFormats[] = {
    {kComma, 0, 1.5, 2, "1,50"},
    {kComma, 0, 0.25, -2, " ,25"},
    {kComma, 0, 0.05, -2, "5,00e-002"},
    {kComma, 0, 2500000.0, 1, "2,5e+006"},
    {kComma, 0, -0.5, 1, "- ,5"},
    {kComma, 0, 0.0, -2, " ,00"},
    {kComma, 0, -12345678.0, 2, "-1,23e+007"},
    {kComma, 0, 0.00001234, -3, "1,234e-005"},
    {kComma, 0, 1.5, 40, "1,5000000000000000"},
    {kComma, 0, 1.0, -40, "1,0000000000000000"},
    {kComma, 1, 0.25, -2, "0,25"},
    {kPoint, 0, 0.25, -2, " .25"},
    {kPoint, 1, 0.25, -2, "0.25"},
    {kPoint, 1, 1.5, 2, "1.50"},
    {kPoint, 1, 0.05, -2, "5.00e-002"},
    {kPoint, 1, 1e300, 3, "1.000e+300"},
    {kPoint, 1, -1000000.0, 1, "-1000000.0"},
};

TEST_F(Numbers, FormatNumberFollowsTheHostConventions) {
    for (const FormatCase& c : kFormats) {
        HostConventions(c.separator, c.leadingZero);
        EXPECT_EQ(c.text, Format(c.value, c.digits))
            << c.value << " with " << c.digits << " digits, separator '" << c.separator
            << "', leading zero " << c.leadingZero;
    }
}

struct ParseCase {
    const char* separator;
    const char* text;
    double value;
};

const ParseCase kParses[] = {
    {kComma, "1,5", 1.5},          {kPoint, "1,5", 1.5},   {kSemicolon, "1;5", 1.5},
    {kSemicolon, "1,5", 1.5},      {kComma, "1.5", 1.5},   {kComma, "abc", 0.0},
    {kComma, "-2,5e+006", -2.5e6}, {kComma, " ,25", 0.25}, {kPoint, "12.75 mA", 12.75},
};

TEST_F(Numbers, ParseNumberTakesEitherSeparator) {
    for (const ParseCase& c : kParses) {
        HostConventions(c.separator, 0);
        char text[32];
        snprintf(text, sizeof text, "%s", c.text);
        EXPECT_DOUBLE_EQ(c.value, ParseNumber(text)) << c.text << " with '" << c.separator << "'";
    }
}

TEST_F(Numbers, FormattedNumbersParseBack) {
    HostConventions(kComma, 0);
    const double values[] = {0.125, -3.5, 2500000.0, 0.0625, 1234.5678};
    for (double v : values) {
        char text[NUMBER_TEXT_SIZE];
        FormatNumber(text, v, -4);
        EXPECT_NEAR(v, ParseNumber(text), 1e-4 * (1.0 + fabs(v))) << text;
    }
}

// A German C locale (decimal comma) built into the test folder; empty when
// the system cannot build one.
std::string BuildCommaLocale(const std::string& dir) {
    std::string cmd = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (system(cmd.c_str()) != 0) return "";
    setenv("LOCPATH", dir.c_str(), 1);
    const char* name = setlocale(LC_NUMERIC, "de_DE.UTF-8");
    return name ? name : "";
}

TEST_F(Numbers, TheCLocaleChangesNothing) {
    if (BuildCommaLocale(dir).empty()) GTEST_SKIP() << "no locale with a decimal comma here";
    ASSERT_STREQ(",", localeconv()->decimal_point);
    HostConventions(kPoint, 1);
    EXPECT_EQ("1.50", Format(1.5, 2));
    EXPECT_EQ("5.00e-002", Format(0.05, -2));
    char text[16] = "2.75";
    EXPECT_DOUBLE_EQ(2.75, ParseNumber(text));
    EXPECT_STREQ("-03.142", FormatValue(-3.14159));
    setlocale(LC_NUMERIC, "C");
}

TEST_F(Numbers, FormatValueKeepsSevenCharacters) {
    struct {
        double value;
        const char* text;
    } cases[] = {
        {-3.14159, "-03.142"},
        {1234.5, "+1234.5"},
        {12.5, "+12.500"},
        {250.25, "+250.25"},
        {99999.0, "+099999"},
        {0.0, "+00.000"},
        {150000.0, "+099999"},
        {-250000.0, "-099999"},
        // Rounded first, then the width chosen: just below a boundary the
        // value rounds up into the next width.
        {99.9999, "+100.00"},
        {-99.9996, "-100.00"},
        {999.996, "+1000.0"},
        {9999.96, "+010000"},
        {99999.6, "+099999"},
        {99.9994, "+99.999"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.text, FormatValue(c.value)) << c.value;
}

TEST_F(Numbers, HexadecimalFields) {
    EXPECT_EQ(127, ParseHexByte("7F"));
    EXPECT_EQ(7, ParseHexByte("7"));
    EXPECT_EQ(0, ParseHexByte("7f"));
    EXPECT_EQ(0, ParseHexByte("G1"));
    EXPECT_EQ(0xB6, ParseHexByte("B6\r"));
    EXPECT_EQ(0x1234ABCDu, ParseHex32("1234ABCD99"));
    EXPECT_EQ(0x10u, ParseHex32("1x"));
    EXPECT_EQ(0, HexDigitValue('a'));
    EXPECT_EQ(15, HexDigitValue('F'));
}

TEST_F(Numbers, NearlyEqualAndCountBits) {
    EXPECT_EQ(1, NearlyEqual(0.995, 1.0, 0.01));
    EXPECT_EQ(0, NearlyEqual(0.5, 1.0, 0.01));
    EXPECT_EQ(0, CountBits(0));
    EXPECT_EQ(32, CountBits(0xFFFFFFFFu));
    EXPECT_EQ(3, CountBits(0x80000101u));
}

} // namespace

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

class Centring : public SerialTest {
  protected:
    void SetUp() override {
        SerialTest::SetUp();
        dialog = CreateDialogParamA(hInstDriver, "DLG_COM_PARAM", nullptr, PlainDialogProc, 0);
        ASSERT_NE(nullptr, dialog);
        GetWindowRect(dialog, &box);
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        if (parent) DestroyWindow(parent);
        SerialTest::TearDown();
    }
    HWND Parent(int x, int y, int width, int height) {
        parent = CreateWindowExA(0, "VarnixMainWindow", "parent", WS_OVERLAPPED, x, y, width,
                                 height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        return parent;
    }
    RECT Placed() {
        RECT r;
        GetWindowRect(dialog, &r);
        return r;
    }
    HWND dialog = nullptr;
    HWND parent = nullptr;
    RECT box;
};

TEST_F(Centring, OverTheParentsClientArea) {
    ASSERT_NE(nullptr, Parent(100, 80, 600, 400));
    CenterDialog(dialog, parent);
    RECT client;
    GetClientRect(parent, &client);
    POINT centre = {client.right / 2, client.bottom / 2};
    ClientToScreen(parent, &centre);
    RECT r = Placed();
    EXPECT_EQ(centre.x - (box.right - box.left) / 2, r.left);
    EXPECT_EQ(centre.y - (box.bottom - box.top) / 2, r.top);
    EXPECT_EQ(box.right - box.left, r.right - r.left);
    EXPECT_EQ(box.bottom - box.top, r.bottom - r.top);
}

TEST_F(Centring, NearTheRightEdgeItEndsFlushWithTheScreen) {
    int screen = GetSystemMetrics(SM_CXSCREEN);
    ASSERT_NE(nullptr, Parent(screen - 60, 50, 100, 100));
    CenterDialog(dialog, parent);
    EXPECT_EQ(screen, Placed().right);
}

TEST_F(Centring, NeverAboveOrLeftOfTheScreen) {
    ASSERT_NE(nullptr, Parent(0, 0, 40, 30));
    CenterDialog(dialog, parent);
    EXPECT_EQ(0, Placed().left);
    EXPECT_EQ(0, Placed().top);
}

TEST_F(Centring, WithoutAParentOverTheScreen) {
    CenterDialog(dialog, nullptr);
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    RECT r = Placed();
    EXPECT_EQ((desk.right - desk.left) / 2 - (box.right - box.left) / 2, r.left);
    EXPECT_EQ((desk.bottom - desk.top) / 2 - (box.bottom - box.top) / 2, r.top);
}

} // namespace
