// Engineering texts and their limits, the ranged texts that switch to them,
// positional texts from 20 significant digits, and radix texts.
#include "host/notation.h"
#include "host_fixture.h"

#include <math.h>
#include <string.h>

#include <string>

namespace {

using numberstest::Conventions;
using numberstest::HostTest;

class Notation : public HostTest {};

struct EngineeringCase {
    double value;
    int digits;
    int width;
    int notation;
    const char* text;
    int answer;
};

const EngineeringCase kEngineering[] = {
    {1234.5, 2, 10, NOTATION_FIXED, "1234.50", 1},
    {1234.5, 2, 6, NOTATION_FIXED, "1234.5", 1},      // a decimal given up for the width
    {123456789.0, 2, 6, NOTATION_FIXED, "Overfl", 0}, // no decimals left: the host's text
    {1234.56, 3, 12, NOTATION_SCIENTIFIC, "1.235e+003", 1},
    {-0.00456, 2, 12, NOTATION_SCIENTIFIC, "-4.56e-003", 1},
    {0.000123, 2, 12, NOTATION_ENGINEERING, "123.00e-006", 1},
    {-47000.0, 1, 12, NOTATION_ENGINEERING, "-47.0e+003", 1},
    {999999.6, 0, 12, NOTATION_ENGINEERING, "1e+006", 1}, // the mantissa carries to 1000
    {0.5, 1, 12, NOTATION_ENGINEERING, "500.0e-003", 1},
    {0.0, 2, 12, NOTATION_ENGINEERING, "0.00e+000", 1},
    {1234.5, -2, 10, NOTATION_FIXED, "1234.50", 1}, // a negative count asks for as many
    {1234.5, 2, 40, NOTATION_FIXED, "1234.50", 1},  // width limited to 25
    {NAN, 2, 12, NOTATION_FIXED, "Invalid", 0},
    {1e39, 2, 12, NOTATION_ENGINEERING, "Overflow", 0},
    {-INFINITY, 2, 12, NOTATION_SCIENTIFIC, "Overflow", 0},
    {1e-39, 2, 12, NOTATION_ENGINEERING, "Underflow", 0},
    {-1e-39, 2, 12, NOTATION_FIXED, "Underflow", 0},
};

TEST_F(Notation, EngineeringTextsWithinTheirWidth) {
    for (const EngineeringCase& c : kEngineering) {
        char text[32];
        memset(text, 'x', sizeof text);
        EXPECT_EQ(c.answer,
                  FormatEngineering(text, sizeof text, c.value, c.digits, c.width, c.notation))
            << c.value;
        EXPECT_STREQ(c.text, text) << c.value << " in " << c.width;
        EXPECT_LE(strlen(text), static_cast<size_t>(c.width > 25 ? 25 : c.width));
    }
}

TEST_F(Notation, EngineeringTextsInTheHostsConventions) {
    Conventions comma;
    comma.decimal = ",";
    comma.decimalLeadingZero = 0;
    Use(comma);
    char text[32];
    EXPECT_EQ(1, FormatEngineering(text, sizeof text, 0.5, 2, 10, NOTATION_FIXED));
    EXPECT_STREQ(" ,50", text);
    EXPECT_EQ(1, FormatEngineering(text, sizeof text, 1234.56, 2, 12, NOTATION_ENGINEERING));
    EXPECT_STREQ("1,23e+003", text);
    // A buffer too small for the text is left empty.
    char small[5];
    EXPECT_EQ(0, FormatEngineering(small, sizeof small, 1234.56, 2, 12, NOTATION_ENGINEERING));
    EXPECT_STREQ("", small);
}

TEST_F(Notation, RangedTextsSwitchToEngineeringOutsideTheBounds) {
    struct {
        double value;
        int digits;
        int width;
        const char* text;
        const char* automatic;
    } cases[] = {
        {1.5, 2, 10, "1.50", "1.5"},
        {0.0, 2, 10, "0.00", "0"},
        {999.0, 1, 10, "999.0", "999"},
        {1000.0, 1, 10, "1.0e+003", "1.0e+003"}, // the bound itself is outside
        {0.001, 2, 12, "1.00e-003", "1.00e-003"},
        {-5000.0, 2, 12, "-5.00e+003", "-5.00e+003"},
        {1.5, 16, 5, "1.500", "1.5"}, // digits limited to width - 2
        {125000.0, 16, 40, "125.0000000000000000e+003", "125.0000000000000000e+003"}, // 25 wide
    };
    for (const auto& c : cases) {
        char text[32];
        FormatRanged(text, sizeof text, c.value, c.digits, c.width, 0.001, 1000.0);
        EXPECT_STREQ(c.text, text) << c.value;
        FormatRangedAuto(text, sizeof text, c.value, c.digits, c.width, 0.001, 1000.0);
        EXPECT_STREQ(c.automatic, text) << c.value;
    }
}

TEST_F(Notation, PositionalTextsFromTwentySignificantDigits) {
    struct {
        double value;
        const char* text;
    } cases[] = {
        {1e25, "10000000000000000906000000"},
        {0.1, "0.10000000000000000555"},
        {1.5, "1.5"},
        {-1.52587890625e-5, "-0.0000152587890625"},
        {123456.0, "123456"},
        {0.0, "0"},
        {-0.0, "0"},
        {12345678901234567890123.0, "12345678901234567741000"}, // zeros beyond the 20th digit
    };
    for (const auto& c : cases) {
        char text[POSITIONAL_TEXT_SIZE];
        EXPECT_EQ(1, FormatPositional(text, sizeof text, c.value)) << c.value;
        EXPECT_STREQ(c.text, text) << c.value;
    }
    char text[POSITIONAL_TEXT_SIZE];
    EXPECT_EQ(1, FormatPositional(text, sizeof text, 1.7976931348623157e308));
    EXPECT_EQ(309u, strlen(text));
    EXPECT_EQ(1, FormatPositional(text, sizeof text, 4.9406564584124654e-324));
    EXPECT_EQ(0, FormatPositional(text, sizeof text, INFINITY));
    EXPECT_STREQ("", text);
    char small[4];
    EXPECT_EQ(0, FormatPositional(small, sizeof small, 12345.0));
    EXPECT_STREQ("", small);

    Conventions comma;
    comma.decimal = ",";
    comma.decimalLeadingZero = 0;
    Use(comma);
    EXPECT_EQ(1, FormatPositional(text, sizeof text, 0.5));
    EXPECT_STREQ(" ,5", text);
}

TEST_F(Notation, RadixTextsKeepTheLastDigits) {
    struct {
        int (*format)(char*, size_t, DWORD, int);
        DWORD value;
        int digits;
        const char* text;
    } cases[] = {
        {FormatHex, 0x1234ABCDu, 8, "1234ABCD"},
        {FormatHex, 0x1234ABCDu, 4, "ABCD"},
        {FormatHex, 0xFFu, 12, "000000FF"},
        {FormatHex, 0xFFu, 0, ""},
        {FormatHex, 0xFFu, -3, ""},
        {FormatOctal, 8u, 3, "010"},
        {FormatOctal, 0xFFFFFFFFu, 11, "37777777777"},
        {FormatOctal, 0xFFFFFFFFu, 20, "37777777777"},
        {FormatBinary, 5u, 4, "0101"},
        {FormatBinary, 0x80000001u, 40, "10000000000000000000000000000001"},
    };
    for (const auto& c : cases) {
        char text[40];
        EXPECT_EQ(1, c.format(text, sizeof text, c.value, c.digits)) << c.text;
        EXPECT_STREQ(c.text, text);
    }
    char small[4] = "abc";
    EXPECT_EQ(0, FormatHex(small, sizeof small, 0x1234u, 4));
    EXPECT_STREQ("", small);
}

} // namespace
