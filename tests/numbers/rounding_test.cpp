// Rounding to the integer types at their limits and halves, powers of ten,
// polynomials, and number texts with the decimals the value has.
#include "host/numbers.h"
#include "host/rounding.h"
#include "host_fixture.h"

#include <limits.h>
#include <math.h>
#include <string.h>

#include <string>

namespace {

using numberstest::Conventions;
using numberstest::HostTest;

class Rounding : public HostTest {};

struct RoundCase {
    double value;
    int toInt;
    short toShort;
    WORD toWord;
    LONG toLong;
    DWORD toDword;
};

const RoundCase kRounds[] = {
    {2.5, 3, 3, 3, 3, 3},
    {-2.5, -3, -3, 0, -3, 0},
    {2.4999999, 2, 2, 2, 2, 2},
    {0.49999999999999994, 0, 0, 0, 0, 0}, // x + 0.5 would round this up
    {-0.0, 0, 0, 0, 0, 0},
    {-0.4, 0, 0, 0, 0, 0},
    {32766.5, 32767, 32767, 32767, 32767, 32767},
    {32767.5, 32768, 32767, 32768, 32768, 32768},
    {-32768.5, -32769, -32768, 0, -32769, 0},
    {65534.5, 65535, 32767, 65535, 65535, 65535},
    {65535.5, 65536, 32767, 65535, 65536, 65536},
    {2147483646.5, INT_MAX, 32767, 65535, 2147483647L, 2147483647UL},
    {2147483647.6, INT_MAX, 32767, 65535, 2147483647L, 2147483648UL},
    {-2147483648.4, INT_MIN, -32768, 0, -2147483647L - 1, 0},
    {4294967294.5, INT_MAX, 32767, 65535, 2147483647L, 4294967295UL},
    {4294967295.6, INT_MAX, 32767, 65535, 2147483647L, 4294967295UL},
    {1e300, INT_MAX, 32767, 65535, 2147483647L, 4294967295UL},
    {-1e300, INT_MIN, -32768, 0, -2147483647L - 1, 0},
    {NAN, 0, 0, 0, 0, 0},
};

TEST_F(Rounding, HalvesAndLimitsOfEveryType) {
    for (const RoundCase& c : kRounds) {
        EXPECT_EQ(c.toInt, RoundToInt(c.value)) << c.value;
        EXPECT_EQ(c.toShort, RoundToShort(c.value)) << c.value;
        EXPECT_EQ(c.toWord, RoundToWord(c.value)) << c.value;
        EXPECT_EQ(c.toLong, RoundToLong(c.value)) << c.value;
        EXPECT_EQ(c.toDword, RoundToDword(c.value)) << c.value;
    }
}

TEST_F(Rounding, DecimalExponentAndPowerOfTen) {
    struct {
        double x;
        int exponent;
    } cases[] = {{0.0, 0},     {1.0, 0},       {9.99, 0},     {10.0, 1},     {1000.0, 3},
                 {1e15, 15},   {0.001, -3},    {0.00099, -4}, {-250.0, 2},   {1e38, 38},
                 {3.5e38, 38}, {INFINITY, 38}, {NAN, 38},     {1e-300, -300}};
    for (const auto& c : cases)
        EXPECT_EQ(c.exponent, DecimalExponent(c.x)) << c.x;
    EXPECT_NEAR(1.0, PowerOfTen(0), 1e-15);
    EXPECT_NEAR(100.0, PowerOfTen(2), 1e-12);
    EXPECT_NEAR(0.001, PowerOfTen(-3), 1e-17);
    EXPECT_NEAR(sqrt(10.0), PowerOfTen(0.5), 1e-14);
}

TEST_F(Rounding, PolynomialByHorner) {
    const double c[] = {1.0, -2.0, 3.0};
    EXPECT_DOUBLE_EQ(9.0, Polynomial(c, 2, 2.0)); // 1 - 4 + 12
    EXPECT_DOUBLE_EQ(6.0, Polynomial(c, 2, -1.0));
    EXPECT_DOUBLE_EQ(1.0, Polynomial(c, 0, 5.0));
    EXPECT_DOUBLE_EQ(0.0, Polynomial(c, -1, 5.0));
}

TEST_F(Rounding, SignificantDecimals) {
    struct {
        double value;
        int decimals;
    } cases[] = {{1.25, 2},  {1.0, 0}, {0.1, 1},      {1.0 / 3.0, 10},    {-0.5, 1},
                 {1e-11, 0}, {0.0, 0}, {INFINITY, 0}, {123456789.125, 3}, {1e300, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.decimals, SignificantDecimals(c.value)) << c.value;
}

TEST_F(Rounding, AutomaticDecimalsInTheHostsConventions) {
    Conventions comma;
    comma.decimal = ",";
    comma.decimalLeadingZero = 0;
    Use(comma);
    struct {
        double value;
        const char* text;
    } cases[] = {
        {1.5, "1,5"},
        {0.25, " ,25"},
        {-0.5, "- ,5"},
        {2500000.0, "2,5e+006"},
        {100000.0, "100000"},
        {100000.5, "1,000005e+005"},
        {1.0 / 3.0, " ,333333"},
        {2.0000004, "2"},
        {0.0, "0"},
        {-123.456, "-123,456"},
    };
    for (const auto& c : cases) {
        char text[NUMBER_TEXT_SIZE];
        memset(text, 'x', sizeof text);
        FormatAutoDecimals(text, c.value);
        EXPECT_STREQ(c.text, text) << c.value;
    }
}

TEST_F(Rounding, NegativeZeroLosesItsSign) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"-0.00", " 0.00"}, {"-0,0", " 0,0"}, {"-0.01", "-0.01"}, {"0.00", "0.00"},
        {" -0", "  0"},     {"-", "-"},       {"-inf", "-inf"},   {"-0.0e+000", " 0.0e+000"},
        {"-1", "-1"}};
    for (const auto& c : cases) {
        char text[16];
        strcpy(text, c.in);
        BlankNegativeZero(text);
        EXPECT_STREQ(c.out, text) << c.in;
    }
}

TEST_F(Rounding, DrawNumberWritesTheHostsFormOnTheContext) {
    Conventions comma;
    comma.decimal = ",";
    comma.decimalLeadingZero = 0;
    Use(comma);
    HDC dc = GetDC(hostsim::MainWindow());
    ASSERT_NE(nullptr, dc);
    char negativeZero[] = "-0.00";
    char half[] = "-0.5";
    EXPECT_TRUE(DrawNumber(dc, 10, 20, negativeZero));
    EXPECT_TRUE(DrawNumber(dc, 10, 40, half));
    ReleaseDC(hostsim::MainWindow(), dc);
    ASSERT_EQ(2, WinapiTextOutCount());
    WinapiTextOutCall call;
    ASSERT_EQ(1, WinapiTextOutAt(0, &call));
    EXPECT_STREQ(" 0,00", call.text);
    EXPECT_EQ(10, call.x);
    EXPECT_EQ(20, call.y);
    EXPECT_EQ(hostsim::MainWindow(), call.window);
    ASSERT_EQ(1, WinapiTextOutAt(1, &call));
    EXPECT_STREQ("- ,5", call.text);
}

TEST_F(Rounding, StepToTen) {
    EXPECT_EQ(-8, StepToTen(-9));
    EXPECT_EQ(10, StepToTen(9));
    EXPECT_EQ(-9, StepToTen(10));
    EXPECT_EQ(-9, StepToTen(INT_MAX));
}

} // namespace
