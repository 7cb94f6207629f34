// Line framing and checksums of the module protocol.
#include "modsim.h"

#include <gtest/gtest.h>

namespace {

struct ChecksumCase {
    const char* text;
    const char* digits;
};

TEST(Framing, ChecksumIsTheEightBitSumInUpperCaseHex) {
    const ChecksumCase cases[] = {
        {"#012", "B6"},
        {"$01M", "D2"},
        {">+025.30", "91"},
        {"", "00"},
    };
    for (const ChecksumCase& c : cases) {
        EXPECT_EQ(modsim::ChecksumDigits(c.text), c.digits) << c.text;
    }
}

TEST(Framing, LineIsTextChecksumWhenUsedThenCarriageReturn) {
    EXPECT_EQ(modsim::FrameLine("#012", true), "#012B6\r");
    EXPECT_EQ(modsim::FrameLine("#012", false), "#012\r");
    EXPECT_EQ(modsim::FrameLine("$01M", true), "$01MD2\r");
}

struct UnframeCase {
    const char* line;
    bool checksum;
    int ok;
    const char* text;
};

TEST(Framing, ReceivedLineIsCheckedAndCut) {
    const UnframeCase cases[] = {
        {">+025.3091", true, 1, ">+025.30"},
        {">+025.3092", true, 0, ""},
        {"#012b6", true, 0, ""}, // lower-case digits are not a checksum
        {"#012B6", false, 1, "#012B6"},
        {"9", true, 0, ""},  // too short to hold two digits
        {"00", true, 1, ""}, // an empty text sums to 00
    };
    for (const UnframeCase& c : cases) {
        std::string text = "unchanged";
        EXPECT_EQ(modsim::UnframeLine(c.line, c.checksum, &text), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(text, c.text) << c.line;
        }
    }
}

TEST(Waveform, FollowsItsShapeOverThePeriod) {
    modsim::Waveform ramp{modsim::Wave::Ramp, 1.0, 2.0, 4.0};
    EXPECT_DOUBLE_EQ(modsim::WaveValue(ramp, 1.0), 1.5);
    EXPECT_DOUBLE_EQ(modsim::WaveValue(ramp, 5.0), 1.5); // next period
    modsim::Waveform square{modsim::Wave::Square, 0.0, 3.0, 2.0};
    EXPECT_DOUBLE_EQ(modsim::WaveValue(square, 0.5), 3.0);
    EXPECT_DOUBLE_EQ(modsim::WaveValue(square, 1.5), -3.0);
    modsim::Waveform sine{modsim::Wave::Sine, 0.0, 1.0, 4.0};
    EXPECT_NEAR(modsim::WaveValue(sine, 1.0), 1.0, 1e-12);
}

} // namespace
